# Sourced by the scripts that run inside fresh-prefix.sh.

# Wine's programs say nothing under WINEDEBUG=-all: a step that fails and ends a script under
# `set -e` still says where.
[[ $- != *e* ]] || trap 'echo "$(basename "$0"): line $LINENO failed" >&2' ERR

# windows_path PATH: the Windows name of a Unix path, as `winepath -w` gives it, without starting
# a Wine process: C: for the prefix's drive_c, else Z:, which a new prefix maps to /. A winepath
# that dies at its start (cmake/wine-fixed-addresses.sh) prints nothing, and the test then fails
# on a name it was never given.
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
