#!/usr/bin/env bash
# Runs the About window's driver in the current Wine prefix (fresh-prefix.sh makes it and the
# display):  about-e2e.sh BUILD_DIR SOURCE_DIR SHOTS_DIR SCENARIO...
# Screenshots come out as PNG files in SHOTS_DIR.
set -euo pipefail
. "$(dirname "$0")/../in-prefix.sh"
build=$1 source=$2 shots=$3
shift 3

# What a Windows machine has and a bare prefix lacks: Wine's own fonts, and Arial, for which
# the metric-compatible Liberation Sans stands in. Xvfb has no window manager: Wine draws the
# title bars itself.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Arial /d 'Liberation Sans' /f >/dev/null
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

# explorer.exe in the Windows folder is the stand-in that writes down how the link started it.
# The prefix's files are hard links into the template: replace the file, never write into it.
cp --remove-destination "$build/tests/e2e/about/explorer-stand-in.exe" "$WINEPREFIX/drive_c/windows/explorer.exe"

# "SCENARIO=LOCALE" runs SCENARIO in a Wine of that locale (which only the Unix environment at a
# program's start sets; no system locales needed): a Japanese or Chinese Excel on a Windows of its
# language, where the system's default character set is that language's, so that a font asked
# for with it (Arial, DEFAULT_CHARSET) is drawn in the locale's default font where Arial has no
# glyph. In an English Windows locale Wine draws such Arial text as boxes.
scenarios=() localised=() nodisplay=
for scenario in "$@"; do
  case $scenario in
    no-display) nodisplay=1 ;;
    *=*) localised+=("$scenario") ;;
    *) scenarios+=("$scenario") ;;
  esac
done
# Japanese and Chinese need fonts with their glyphs; only the prefix that shows them gets them.
[ ${#localised[@]} -eq 0 ] || "$source/cmake/wine-cjk-fonts.sh" "$WINEPREFIX" --in-use

mkdir -p "$shots"
status=0
driver() {
  env ${locale:+LANG=$locale LC_ALL=$locale} wine "$build/tests/e2e/about/about-driver.exe" --build "$build" \
    --installer "$source/installer" --shots "$shots" "$@" || {
    status=$?
    echo "about-e2e: the driver${locale:+ in $locale} exited with $status" >&2
  }
}
locale=
[ ${#scenarios[@]} -eq 0 ] || driver "${scenarios[@]}"
for scenario in "${localised[@]}"; do
  locale=${scenario#*=}
  driver "${scenario%%=*}"
done

# Where no window can be made (here: no display for Excel's process), the About entry fails
# with a description of its own, and nothing of the add-in stays behind. The driver's children
# would inherit its display, so this one runs from here.
if [ -n "$nodisplay" ]; then
  host=$(env -u DISPLAY wine "$build/tools/excel-host/excel-host.exe" --click d242242 2>&1) && code=0 || code=$?
  if [ "$code" -eq 7 ] &&
     grep -q '^  ShowAbout0 failed: 0x8[0-9A-F]\{7\}: The About window could not be created' <<<"$host" &&
     grep -q 'DllCanUnloadNow: S_OK' <<<"$host"; then
    echo "ok   no-display"
  else
    printf 'FAIL no-display: excel-host exit code %s, expected 7 (a click failed):\n%s\n' "$code" "$host"
    status=1
  fi
fi

for bitmap in "$shots"/*.bmp; do
  [ -e "$bitmap" ] || continue
  convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
done
exit "$status"
