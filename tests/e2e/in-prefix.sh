# Sourced by the scripts that run inside fresh-prefix.sh.

# Wine's programs say nothing under WINEDEBUG=-all: a step that fails and ends a script under
# `set -e` still says where.
[[ $- != *e* ]] || trap 'echo "$(basename "$0"): line $LINENO failed" >&2' ERR

# windows_path PATH: the Windows name of a Unix path, as `winepath -w` gives it, without starting
# a Wine process: C: for the prefix's drive_c, else Z:, which a new prefix maps to /. A CI run
# once got an empty line from winepath for a file that was there, and the test then failed on a
# name it had never been given.
windows_path() {
  local path=$1
  [[ $path == /* ]] || path=$PWD/$path
  if [[ -n ${WINEPREFIX:-} && $path == "$WINEPREFIX/drive_c/"* ]]; then
    path=${path#"$WINEPREFIX/drive_c"}
    printf 'C:%s\n' "${path//\//\\}"
  else
    printf 'Z:%s\n' "${path//\//\\}"
  fi
}
