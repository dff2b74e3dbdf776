#!/usr/bin/env bash
# Runs the settings-window driver in the current Wine prefix (fresh-prefix.sh makes it and the
# display):  trellis-e2e.sh BUILD_DIR SOURCE_DIR SHOTS_DIR SCENARIO...
# Screenshots come out as PNG files in SHOTS_DIR.
set -euo pipefail
build=$1 source=$2 shots=$3
shift 3
# Wine names files from the Unix locale; the program folder has non-ASCII letters.
export LC_ALL=C.UTF-8

# What a Windows machine has and a bare prefix lacks: Wine's own fonts (Marlett draws the
# caption buttons, Tahoma is the dialog font), which Debian's Wine does not put into the
# prefix, and Arial, for which the metric-compatible Liberation Sans stands in.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Arial /d 'Liberation Sans' /f >/dev/null
# Xvfb has no window manager: Wine draws the title bars itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

mkdir -p "$shots"
status=0
wine "$build/tests/e2e/trellis/trellis-driver.exe" --build "$build" --installer "$source/installer" \
  --shots "$shots" "$@" || status=$?
for bitmap in "$shots"/*.bmp; do
  [ -e "$bitmap" ] || continue
  convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
done
exit "$status"
