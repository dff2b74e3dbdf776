#!/usr/bin/env bash
# The settings program as a user meets it: Trellis.exe (x86) and Corbel.dll installed side by
# side in a Wine prefix of the demo's own, on a virtual screen. A driver works the real window:
# it looks at both pages, plain and with the sample style; then, with "Review" stored, it ticks
# " View", presses OK, answers "Installation complete." and checks that "Excel" (excel-host in
# this prefix) then loaded the add-in with both tabs hidden. Screenshots are kept to look at.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/win32
shots=$PWD/build/demo/trellis
rm -rf "$shots"

printf '\n== %s\n' "Trellis.exe: the settings window, driven through its window under Wine (about 30 seconds)"
tests/e2e/fresh-prefix.sh 32 "$build/wine" demo-trellis \
  tests/e2e/trellis/trellis-e2e.sh "$build" "$PWD" "$shots" first-start styled ok-installs \
  2> >(grep -v 'X connection' >&2)
echo
echo "Screenshots of the window and its messages, in $shots:"
for picture in "$shots"/*.png; do echo "    $(basename "$picture")"; done
