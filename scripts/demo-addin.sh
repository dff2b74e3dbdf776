#!/usr/bin/env bash
# The add-in as Excel meets it: Corbel.dll (x86) registered by regsvr32 in a Wine prefix of the
# demo's own, then loaded by excel-host, the stand-in for Excel's add-in loader, which prints
# the Classic tab and clicks the Help menu's uninstall entry.
set -euo pipefail
cd "$(dirname "$0")/.."
# Every Wine program of the demo shares one wineserver and Wine's desktop, which take their
# display from the first program: so all of them run on one virtual screen (Xvfb), where the
# add-in's message box appears and excel-host closes it.
if [ -z "${CORNICE_DEMO_ON_XVFB:-}" ]; then
  CORNICE_DEMO_ON_XVFB=1 exec xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1280x1024x24" "$0" "$@" \
    2> >(grep -v 'X connection' >&2)
fi
out=build/demo
prefix=$PWD/$out/wine-win32
corbel=build/win32/Excel/Corbel.dll
host=build/win32/tools/excel-host/excel-host.exe
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

step() { printf '\n== %s\n' "$*"; }

if [ ! -f "$prefix/system.reg" ]; then
  step "Making a Wine prefix for the demo in $out/wine-win32 (first run only, about 15 seconds)"
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
wineserver -k 2>/dev/null || true # a server left from another display would keep that display
wineserver -p # one server for the steps below: each program starts faster

step "Installing Corbel.dll into C:\\Program Files\\Cornice and registering it: regsvr32 /s"
installed="$prefix/drive_c/Program Files/Cornice"
mkdir -p "$installed"
cp "$corbel" "$installed/Corbel.dll"
wine regsvr32 /s 'C:\Program Files\Cornice\Corbel.dll'
wine reg query 'HKCU\Software\Microsoft\Office\Excel\Addins\Corbel.Connect' | sed -n 's/^ \{4\}/    /p'

step "excel-host loads the add-in as Excel does, prints its Classic tab and clicks Help > Uninstall Cornice"
wine "$host" --outline --click d24224025 --ribbon-out "$(winepath -w "$out/ribbon-excel-host.xml")"

step "The document excel-host received, against corbel-ribbon's for the same (empty) settings"
if cmp -s "$out/ribbon-excel-host.xml" "$out/ribbon-default.xml"; then
  echo "identical: $(wc -c <"$out/ribbon-excel-host.xml") bytes, saved as $out/ribbon-excel-host.xml"
else
  echo "DIFFERENT: compare $out/ribbon-excel-host.xml with $out/ribbon-default.xml" >&2
  exit 1
fi
wineserver -k
echo
echo "Try it by hand: WINEPREFIX=$prefix wine $host --help"
