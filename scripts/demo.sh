#!/usr/bin/env bash
# make demo: Cornice as a newcomer meets it, on a Windows of its own (a Wine prefix in the build
# folder) with a stand-in Excel. The installer runs silently; the settings window, Trellis,
# opens (on your display when there is one, else on a virtual one, where this script works it
# and takes screenshots) and is confirmed; then "Excel" (excel-host, the stand-in for Excel's
# add-in loader) loads the add-in and shows its Classic tab: as text here, and with a display
# in a window with the menu bar's drop-down menus and the toolbars' buttons.
#
#   scripts/demo.sh [--scripted] [--x64] [--build DIR] [--out DIR]
#     --scripted   never use your display: a virtual one, driven by the script (as CI runs it)
#     --x64        a 64-bit Windows with x64 Excel, the x64 programs copied where the installer
#                  puts them (the installer is an x86 program); the default on a machine that
#                  runs no 32-bit x86 code (cmake/x86-code-runs.sh)
#     --build DIR  the build folder (default build/win32, with --x64 build/win64)
#     --out DIR    where the prefix, screenshots and ribbon document go (default build/demo)
set -euo pipefail
. "$(dirname "$0")/../cmake/wine-fixed-addresses.sh"
cd "$(dirname "$0")/.."
scripted=${CORNICE_DEMO_SCRIPTED:-} build= out=build/demo bits=32
cmake/x86-code-runs.sh || bits=64
while [ $# -gt 0 ]; do
  case $1 in
    --scripted) scripted=1 ;;
    --x64) bits=64 ;;
    --build) build=$2; shift ;;
    --out) out=$2; shift ;;
    *) echo "usage: scripts/demo.sh [--scripted] [--x64] [--build DIR] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done
[ -n "$build" ] || build=build/win$bits
cmake/x86-code-runs.sh || export PATH="$PWD/cmake/wine64-only:$PATH"
[ -n "${DISPLAY:-}" ] || scripted=1

# Without a display of your own, the whole demo runs on a virtual screen: Wine's programs take
# their display from the first one that starts.
if [ -n "$scripted" ] && [ -z "${CORNICE_DEMO_ON_XVFB:-}" ]; then
  CORNICE_DEMO_ON_XVFB=1 CORNICE_DEMO_SCRIPTED=1 exec xvfb-run -a -n $((100 + $$ % 800)) \
    -s "-screen 0 1280x1024x24" "$0" --build "$build" --out "$out" $([ "$bits" = 32 ] || echo --x64) 2> >(grep -v 'X connection' >&2)
fi

mkdir -p "$out"
build=$(cd "$build" && pwd) out=$(cd "$out" && pwd)
setup=$build/Corbel/Corbel.dll
[ "$bits" = 64 ] || setup=$(ls "$build"/installer/Cornice-*-setup.exe 2>/dev/null | head -n 1 || true)
host=$build/tools/excel-host/excel-host.exe
tool=$build/tests/e2e/installer/installer-test-tool.exe
for file in "$setup" "$host" "$tool"; do
  [ -f "$file" ] || { echo "demo: ${file:-the installer} is missing: build first (make demo does)" >&2; exit 1; }
done
shots=$out/screenshots
# A fresh Windows every time (and nothing left of what earlier versions of the demo made); a
# Wine still running in the old one, from trying it by hand, ends first.
[ ! -d "$out/wine" ] || WINEPREFIX=$out/wine wineserver -k 2>/dev/null || true
rm -rf "$shots" "$out/wine" "$out/wine-win32" "$out/trellis" "$out"/ribbon-*.xml
mkdir -p "$shots"

export WINEPREFIX=$out/wine WINEARCH=win$bits WINEDEBUG=-all LC_ALL=C.UTF-8
# No Mono or Gecko prompts; and no copies of the Start menu's shortcuts in your desktop's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

started=$(date +%s)
bold="" plain=""
if [ -t 1 ]; then bold=$(tput bold 2>/dev/null || true) plain=$(tput sgr0 2>/dev/null || true); fi
step() { printf '\n%s== %s%s\n' "$bold" "$*" "$plain"; }
since() { echo "$(($(date +%s) - $1)) s"; }
value() { wine "$tool" value "$@" | tr -d '\r'; }
# shot NAME X Y WIDTH HEIGHT: that part of the (virtual) screen as a PNG.
shot() {
  import -window root -crop "$4x$5+$2+$3" +repage "$shots/$1.png"
  echo "   screenshot: $shots/$1.png"
}

step "A Windows for the demo: a $bits-bit Wine prefix in $out/wine (about 15 seconds)"
t=$(date +%s)
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p # one server for everything below: each program starts faster
# What a Windows machine has and a bare prefix lacks: Wine's own fonts (Tahoma is the dialog
# font), and Arial, for which the metric-compatible Liberation Sans stands in.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Arial /d 'Liberation Sans' /f >/dev/null
# A virtual screen has no window manager: Wine draws the title bars itself.
[ -z "$scripted" ] || wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
echo "   ready in $(since "$t")"

step "\"Excel\": excel-host put where Office 2010 puts Excel, and listed under App Paths"
office='C:\Program Files\Microsoft Office\Office14'
mkdir -p "$(winepath -u "$office")"
cp "$host" "$(winepath -u "$office")/EXCEL.EXE"
# Windows finds Excel as App Paths\excel.exe; Wine 8 looks up the name as given ("Excel").
for name in excel.exe Excel; do
  wine reg add "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\$name" /ve /d "$office\\EXCEL.EXE" /f >/dev/null
done
echo "   $office\\EXCEL.EXE"

if [ "$bits" = 32 ]; then
  step "Installing silently: $(basename "$setup") /S"
  t=$(date +%s%N)
  wine "$setup" /S
  echo "   installed in $((($(date +%s%N) - t) / 1000000)) ms ($(du -k "$setup" | cut -f1) KB installer)"
  arp='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cornice'
  folder=$(value "$arp" InstallLocation)
  echo "   folder:     $folder"
  ( cd "$(winepath -u "$folder")" && find . -type f | sed 's|^\./|                 |' | sort )
  echo "   Start menu: Cornice > Cornice, Uninstall Cornice"
  echo "   Add/Remove Programs: $(value "$arp" DisplayName) $(value "$arp" DisplayVersion), $(value "$arp" Publisher), $(value "$arp" EstimatedSize) KB"
  addin='HKCU\Software\Microsoft\Office\Excel\Addins\Corbel.Connect'
  echo "   Excel's add-in entry: $(value "$addin" FriendlyName), LoadBehavior $(value "$addin" LoadBehavior) (load at start-up)"
else
  step "Installing: the x64 programs copied where the installer puts them"
  echo "   (this machine runs no 32-bit code, and the installer is an x86 program)"
  folder='C:\users\'"$(id -un)"'\AppData\Local\Programs\Cornice'
  dir=$(winepath -u "$folder")
  mkdir -p "$dir/x" "$dir/Xtreme"
  cp "$build/Trellis/Trellis.exe" "$build/Corbel/Corbel.dll" installer/HAND-M.CUR "$dir/"
  cp installer/x/o.cjs "$dir/x/"
  cp installer/Xtreme/Office2007.cjstyles "$dir/Xtreme/"
  echo "   folder:     $folder"
  ( cd "$dir" && find . -type f | sed 's|^\./|                 |' | sort )
  echo "   Trellis's OK registers the add-in (regsvr32) and writes Excel's add-in entry"
fi

trellis="$folder\\Trellis.exe"
if [ -z "$scripted" ]; then
  step "Trellis, the settings window, is open on your display: choose, then press OK"
  echo "   (OK saves the settings, registers the add-in and starts \"Excel\"; Cancel changes nothing)"
  wine "$trellis" &
  shot trellis $(wine "$tool" window TrellisForm1 | tr -d '\r')
  wait
else
  step "Trellis, the settings window, worked by the script on a virtual screen"
  wine "$trellis" &
  bounds=$(wine "$tool" window TrellisForm1 | tr -d '\r')
  shot trellis-excel-page $bounds
  wine "$tool" keys TrellisForm1 ctrl+tab
  shot trellis-about-page $(wine "$tool" window TrellisForm1 | tr -d '\r')
  wine "$tool" keys TrellisForm1 ctrl+tab
  shot trellis-help-page $(wine "$tool" window TrellisForm1 | tr -d '\r')
  wine "$tool" keys TrellisForm1 ctrl+tab
  echo "   OK"
  wine "$tool" press TrellisForm1 1
  message=$(wine "$tool" message Trellis | tr -d '\r')
  shot trellis-installation-complete $(head -n 1 <<<"$message")
  echo "   message: \"$(tail -n +2 <<<"$message")\"; answered OK"
  wine "$tool" answer Trellis
  wait
fi
wine "$tool" wait-gone EXCEL.EXE # the "Excel" that Trellis starts

step "\"Excel\" starts: excel-host loads the add-in and asks for its ribbon"
wine "$office\\EXCEL.EXE" --show-text --ribbon-out "$(winepath -w "$out/ribbon.xml")"

step "The Classic tab in a window: the menu bar with drop-down menus, the toolbars' buttons"
if [ -z "$scripted" ]; then
  echo "   Open the menus, press the buttons (Help > About Cornice calls the add-in); close the window to end."
  wine "$office\\EXCEL.EXE" --show >/dev/null &
  shot classic-tab $(wine "$tool" window ExcelHostRibbon | tr -d '\r')
  wait
else
  wine "$office\\EXCEL.EXE" --show >/dev/null &
  shot classic-tab $(wine "$tool" window ExcelHostRibbon | tr -d '\r')
  wine "$tool" keys ExcelHostRibbon alt+f
  shot classic-tab-file-menu $(wine "$tool" window ExcelHostRibbon | tr -d '\r')
  wine "$tool" keys ExcelHostRibbon escape escape alt+h
  shot classic-tab-help-menu $(wine "$tool" window ExcelHostRibbon | tr -d '\r')
  wine "$tool" keys ExcelHostRibbon escape escape
  wine "$tool" close ExcelHostRibbon
  wait
fi
wineserver -k

step "Done in $(since "$started")"
if ls "$shots"/*.png >/dev/null 2>&1; then
  echo "Screenshots:     $shots/"
  for picture in "$shots"/*.png; do echo "                   $(basename "$picture")"; done
fi
echo "Ribbon document: $out/ribbon.xml ($(wc -c <"$out/ribbon.xml") bytes, as the add-in hands it to Excel)"
echo "The Windows:     WINEPREFIX=$WINEPREFIX"
echo "Try it again:    WINEPREFIX=$WINEPREFIX wine '$office\\EXCEL.EXE' --show"
if [ "$bits" = 32 ]; then
  echo "Uninstall:       WINEPREFIX=$WINEPREFIX wine '$folder\\Uninstall.exe'"
  echo "                 (what Start > Programs > Cornice > Uninstall Cornice runs; or: wine uninstaller)"
fi
