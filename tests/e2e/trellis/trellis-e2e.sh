#!/usr/bin/env bash
# Runs the settings-window driver in the current Wine prefix (fresh-prefix.sh makes it and the
# display):  trellis-e2e.sh BUILD_DIR SOURCE_DIR SHOTS_DIR SCENARIO...
# Screenshots come out as PNG files in SHOTS_DIR.
set -euo pipefail
. "$(dirname "$0")/../in-prefix.sh"
build=$1 source=$2 shots=$3
shift 3
# Wine names files from the Unix locale; the program folder has non-ASCII letters.
export LC_ALL=C.UTF-8

# What a Windows machine has and a bare prefix lacks: Wine's own fonts (Marlett draws the
# caption buttons, Tahoma is the dialog font), which Debian's Wine does not put into the
# prefix, and Arial, for which the metric-compatible Liberation Sans stands in.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Arial /d 'Liberation Sans' /f >/dev/null
# Japanese and Chinese need fonts with their glyphs; only the prefix that shows them gets them,
# since they change how Latin text is drawn.
case " $* " in *" language="*) "$source/cmake/wine-cjk-fonts.sh" "$WINEPREFIX" --in-use ;; esac
# Xvfb has no window manager: Wine draws the title bars itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

mkdir -p "$shots"
status=0
# "language=LOCALE" runs the scenario "language" in a Wine of that locale, which only the Unix
# environment at a program's start sets (no system locales needed).
plain=() locales=()
for scenario in "$@"; do
  case $scenario in language=*) locales+=("${scenario#language=}") ;; *) plain+=("$scenario") ;; esac
done
driver() {
  env ${locale:+LANG=$locale LC_ALL=$locale} wine "$build/tests/e2e/trellis/trellis-driver.exe" \
    --build "$build" --installer "$source/installer" \
    --shots "$shots" "$@" || {
    status=$?
    echo "trellis-e2e: the driver${locale:+ in $locale} exited with $status" >&2
  }
}
locale=
[ ${#plain[@]} -eq 0 ] || driver "${plain[@]}"
for locale in "${locales[@]}"; do driver language; done
for bitmap in "$shots"/*.bmp; do
  [ -e "$bitmap" ] || continue
  convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
done
exit "$status"
