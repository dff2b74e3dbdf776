#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine: wine-run.sh BITS PREFIX_ROOT PROGRAM [ARGS...]
# The prefix PREFIX_ROOT/winBITS is made on first use (32-bit or 64-bit Windows) and kept for
# later runs; ~/.wine is never touched. Exit code: the program's.
set -euo pipefail
. "$(dirname "$0")/wine-fixed-addresses.sh"
bits=$1 root=$2
shift 2
mkdir -p "$root"
root=$(cd "$root" && pwd) # Wine wants an absolute WINEPREFIX
prefix="$root/win$bits"
tools=$(cd "$(dirname "$0")" && pwd)
if ! "$tools/x86-code-runs.sh"; then
  if [ "$bits" = 32 ]; then
    echo "wine-run: this machine cannot run 32-bit x86 code, so no x86 Windows program runs under Wine here" >&2
    exit 125
  fi
  export PATH="$tools/wine64-only:$PATH"
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH="win$bits"
# Skips the Mono and Gecko download prompts, which would hang a machine without a network.
export WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$root"
(
  flock 9
  # A crashing program must end, not wait for someone to close Wine's crash dialog on the
  # (virtual) display: without it winedbg prints its report to stderr and lets the program die.
  no_crash_dialog() {
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 &&
      touch "$prefix/.no-crash-dialog"
  }
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-run: creating the $bits-bit Wine prefix $prefix" >&2
    wineboot -i >/dev/null 2>&1
    no_crash_dialog
    wineserver -w # the hives are on disk before anyone copies the prefix
  fi
  # Prefixes made before that step existed: a marker file records that it was done.
  [ -f "$prefix/.no-crash-dialog" ] || no_crash_dialog || true
) 9>"$root/.lock-win$bits"

loader=wine
[ "$bits" = 64 ] && command -v wine64 >/dev/null && loader=wine64

# Wine 8 can lose the exit code of a program that crashes: a 64-bit program that dies of a stack
# overflow exits with 0 after Wine printed "wine: Unhandled stack overflow ..., starting
# debugger...". So Wine's own crash lines on stderr fail the run whatever the exit code says.
errors=$(mktemp "$root/.stderr.XXXXXX")
trap 'rm -f "$errors"' EXIT
# stderr goes to a file and is shown once the program has ended. Not through a pipe: Wine's
# services inherit it and would hold it open as long as the prefix's wineserver runs.
set +e
"$loader" "$@" 2>"$errors"
status=$?
set -e
cat "$errors" >&2
if [ "$status" -eq 0 ] && grep -q '^wine: Unhandled' "$errors"; then
  echo "wine-run: the program crashed (Wine's report above) but exited with 0" >&2
  status=134
fi
exit "$status"
