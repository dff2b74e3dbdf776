#!/usr/bin/env bash
# A binary loaded into Excel, or run on a bare Windows, may import only Windows' own DLLs: the
# C++ runtime is linked in (-static), never taken from a DLL that Excel's folder may lack.
#   imports-check.sh OBJDUMP BINARY...
set -euo pipefail
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|comctl32|comdlg32|shlwapi|uxtheme|version|msvcrt)\.dll$'
status=0
for binary in "$@"; do
  imports=$("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$imports" ] || { echo "$binary: no import table found" >&2; status=1; continue; }
  bad=$(printf '%s\n' "$imports" | tr 'A-Z' 'a-z' | grep -Ev "$allowed" || true)
  if [ -n "$bad" ]; then
    echo "$(basename "$binary") imports DLLs that are not Windows' own: $bad" >&2
    status=1
  else
    echo "$(basename "$binary"): $(printf '%s ' $imports)"
  fi
done
exit "$status"
