#!/usr/bin/env bash
# Runs a command in a Wine prefix of its own, under a virtual X display:
#   fresh-prefix.sh BITS PREFIX_ROOT NAME COMMAND [ARGS...]
# The prefix is a copy of the template PREFIX_ROOT/winBITS (made by cmake/wine-run.sh on first
# use) at PREFIX_ROOT/e2e/NAME, so that a test may register, write settings and unregister
# without meeting another test. Debian's Wine puts its PE DLLs into every prefix (about 1 GB for
# 64-bit), so the copy hard-links files and copies for real only the registry hives, which
# wineserver replaces by rename and never rewrites in place. The copy is removed afterwards,
# and kept when the command fails, for a look. Exit code: the command's.
set -euo pipefail
. "$(dirname "$0")/../../cmake/wine-fixed-addresses.sh"
bits=$1 root=$2 name=$3
shift 3
mkdir -p "$root"
root=$(cd "$root" && pwd) # Wine wants an absolute WINEPREFIX
here=$(cd "$(dirname "$0")" && pwd)
template="$root/win$bits"
# See cmake/wine-run.sh: a machine without 32-bit x86 code starts 64-bit Wine directly.
"$here/../../cmake/x86-code-runs.sh" || export PATH="$here/../../cmake/wine64-only:$PATH"
prefix="$root/e2e/$name"

# Make the template if no test has yet.
if [ ! -f "$template/system.reg" ]; then
  "$here/../../cmake/wine-run.sh" "$bits" "$root" cmd /c exit 0 >/dev/null 2>&1 || true
fi
[ -f "$template/system.reg" ] || { echo "fresh-prefix: no template prefix at $template" >&2; exit 1; }

# Hard-linked copy with the hives copied for real (see above).
copy_prefix() {
  cp -al "$1" "$2" &&
    for hive in system.reg user.reg userdef.reg; do
      [ ! -f "$1/$hive" ] || cp --remove-destination "$1/$hive" "$2/$hive" || return 1
    done
}

# The shared template may be in use by a test's wineserver, which saves the hives through
# temporary files that vanish under cp; so the end-to-end tests copy it once, retrying, into a
# template of their own that no wineserver ever runs in.
pristine="$root/e2e/.template-win$bits"
mkdir -p "$root/e2e"
(
  flock 9
  for attempt in 1 2 3 4 5; do
    [ -f "$pristine/system.reg" ] && break
    rm -rf "$pristine.partial"
    copy_prefix "$template" "$pristine.partial" 2>/dev/null && mv "$pristine.partial" "$pristine" && break
    sleep 1 # between attempts at the copy, at most five
  done
) 9>"$root/e2e/.lock-win$bits"
[ -f "$pristine/system.reg" ] || { echo "fresh-prefix: cannot copy $template" >&2; exit 1; }

# A crash ends the program at once instead of waiting in winedbg for ever.
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH="win$bits" WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
xvfb_log="$prefix.xvfb.log"
if [ -d "$prefix" ]; then
  wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
fi
copy_prefix "$pristine" "$prefix"

# `wine` starts 64-bit programs with the 64-bit loader by itself.
# A persistent wineserver makes each of the test's many Wine processes start faster.
wineserver -p
status=0
rm -f "$xvfb_log" "$prefix.display-died"
# A display number of our own, so that tests started together do not race for :99 (-n before -a:
# the search for a free number starts there). The X server's own messages go to a log, and
# whether it still answered at the end is noted: with Wine's messages off, windows on a display
# that died fail without a word.
xvfb-run -n $((100 + $$ % 800)) -a -e "$xvfb_log" -s "-screen 0 1280x1024x24" \
  bash -c '"$@"; code=$?; xdpyinfo >/dev/null 2>&1 || touch "$WINEPREFIX.display-died"; exit $code' \
  fresh-prefix "$@" || status=$?
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
if [ "$status" -eq 0 ]; then
  rm -rf "$prefix" "$xvfb_log" "$prefix.display-died"
else
  echo "fresh-prefix: $name failed (exit $status); its prefix stays at $prefix" >&2
  [ ! -e "$prefix.display-died" ] || echo "fresh-prefix: its X server had died by the end" >&2
  [ ! -s "$xvfb_log" ] || sed 's/^/  X server: /' "$xvfb_log" >&2
fi
rm -f "$prefix.display-died"
exit "$status"
