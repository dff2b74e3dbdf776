#!/usr/bin/env bash
# Each shipped file against its size budget, so that a change which drags a large part of the
# C++ runtime back in (iostreams, a floating-point parser, the demangler) fails here, not unseen.
#   size-check.sh LABEL BUDGET_KB BEFORE_KB FILE [LABEL BUDGET_KB BEFORE_KB FILE]...
# BEFORE_KB is the size before the binaries were trimmed, shown for comparison only.
set -euo pipefail
status=0
while [ $# -ge 4 ]; do
  label=$1 budget=$2 before=$3 file=$4
  shift 4
  [ -f "$file" ] || { echo "$label: $file is missing" >&2; status=1; continue; }
  kb=$(( ($(stat -c %s "$file") + 1023) / 1024 ))
  verdict="within its budget of $budget KB"
  if [ "$kb" -gt "$budget" ]; then verdict="OVER its budget of $budget KB"; status=1; fi
  printf '%-22s %4d KB (before: %4d KB), %s\n' "$label" "$kb" "$before" "$verdict"
done
[ $# -eq 0 ] || { echo "size-check.sh: arguments come in fours" >&2; exit 2; }
exit "$status"
