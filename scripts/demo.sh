#!/usr/bin/env bash
# Shows what is built so far: the Classic ribbon document for default settings.
set -euo pipefail
cd "$(dirname "$0")/.."
ribbon=build/native/tools/corbel-ribbon/corbel-ribbon
out=build/demo
mkdir -p "$out"
"$ribbon" >"$out/ribbon-default.xml"
echo "The Classic tab's ribbon document for a user with no settings stored yet:"
echo
cat "$out/ribbon-default.xml"
echo
echo
echo "Saved as $out/ribbon-default.xml ($(wc -c <"$out/ribbon-default.xml") bytes)."
echo "The Windows binaries are in build/win32 and build/win64."

scripts/demo-addin.sh
scripts/demo-trellis.sh
