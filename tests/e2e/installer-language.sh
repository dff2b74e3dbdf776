#!/usr/bin/env bash
# The installer speaks the user's Windows language (Wine takes it from LANG): a refusal in silent
# mode, written to %TEMP%\Cornice-setup.log, in German for a German Windows; in English, as it
# always was, for an English one and for a language the installer does not ship (Dutch).
#   installer-language.sh SETUP   (inside a prefix of its own: fresh-prefix.sh)
set -euo pipefail
. "$(dirname "$0")/in-prefix.sh"
setup=$1
status=0

refusal_in() {
  local locale=$1 code=0
  LANG=$locale LC_ALL=$locale wine "$setup" /S /BITNESS=bogus || code=$?
  [ "$code" = 2 ] || { echo "installer-language: $locale: exit code $code, not 2" >&2; return 1; }
  local log
  log=$(find "$WINEPREFIX/drive_c/users" -name Cornice-setup.log | head -n 1)
  [ -n "$log" ] || { echo "installer-language: $locale: no Cornice-setup.log" >&2; return 1; }
  iconv -f UTF-16 -t UTF-8 "$log" | tr -d '\r'
}

expect() {
  local locale=$1 expected=$2 got
  got=$(refusal_in "$locale") || { status=1; return; }
  if [ "$got" = "$expected" ]; then
    echo "$locale: $got"
  else
    printf 'installer-language: %s: expected\n  %s\ngot\n  %s\n' "$locale" "$expected" "$got" >&2
    status=1
  fi
}

expect de_DE.UTF-8 '/BITNESS= erwartet x86 oder x64, nicht "bogus".'
expect en_US.UTF-8 '/BITNESS= takes x86 or x64, not "bogus".'
expect nl_NL.UTF-8 '/BITNESS= takes x86 or x64, not "bogus".'
exit "$status"
