#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine: wine-run.sh BITS PREFIX_ROOT PROGRAM [ARGS...]
# The prefix PREFIX_ROOT/winBITS is made on first use (32-bit or 64-bit Windows) and kept for
# later runs; ~/.wine is never touched. Exit code: the program's.
set -euo pipefail
bits=$1 root=$2
shift 2
prefix="$root/win$bits"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH="win$bits"
# Skips the Mono and Gecko download prompts, which would hang a machine without a network.
export WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$root"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-run: creating the $bits-bit Wine prefix $prefix" >&2
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$root/.lock-win$bits"

loader=wine
[ "$bits" = 64 ] && command -v wine64 >/dev/null && loader=wine64
exec "$loader" "$@"
