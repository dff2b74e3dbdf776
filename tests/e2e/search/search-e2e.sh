#!/usr/bin/env bash
# The command search through excel-host with Corbel.dll and "Search" on, in English and German:
# --search (each search's own results, none found, the first search's object-model calls),
# --show-text, and the window driven by the keyboard alone (search-driver); screenshots in SHOTS:
#   search-e2e.sh EXCEL_HOST CORBEL_DLL DRIVER DATA SHOTS
# Runs inside fresh-prefix.sh (WINEPREFIX set, display available).
set -euo pipefail
. "$(dirname "$0")/../in-prefix.sh"
excel_host=$1 corbel=$2 driver=$3 data=$4 shots=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"
rm -f "$shots"/*.png

# Wine's own fonts (Tahoma), and no window manager: Wine draws the title bars itself.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
has() { # NAME LINE: excel-host's report NAME has the line exactly
  tr -d '\r' <"$work/$1.log" | grep -xF -- "$2" >/dev/null || { fail "$1: no line \"$2\" in:"; cat "$work/$1.log"; }
}
drive() { # NAME WORDS KEYTIP POSITION IDMSO, then excel-host's arguments
  local name=$1; shift
  wine "$driver" "$(windows_path "$work/$name-show.log")" "$(windows_path "$shots")" "$name" "$@" || fail "$name: the window"
}
host_exe=$(windows_path "$excel_host")

# Corbel.dll with "Search" on: --search with the object-model calls of the first search, and the
# window in English and German (its keytip as --show-text reads it from the document).
wine regsvr32 /s "$(windows_path "$corbel")"
wine reg add 'HKCU\Software\VB and VBA Program Settings\Quillmark\Architrave' /v Search /d 1 /f >/dev/null
words() { windows_path "$data/excel-words/$1.tsv"; }
english=(--release 16 --ui-language 1033 --excel-words "$(words english-tips)")
german=(--release 16 --ui-language 1031 --excel-words "$(words german-search)")
for language in en de; do
  case $language in en) args=("${english[@]}") search='tools options' none='No command found' ;;
                    de) args=("${german[@]}") search='optionen extras' none='Kein Befehl gefunden' ;; esac
  # --search and --show-text: the command among the first three, then a search that finds
  # nothing (the menu's content asked anew after onChange), and the box's keytip.
  wine "$excel_host" "${args[@]}" --search "$search" --search 'qqq zzz' --measure 1 --show-text \
    >"$work/corbel-$language.log" 2>&1 || fail "corbel-$language: excel-host failed"
  [ "$(tr -d '\r' <"$work/corbel-$language.log" | sed -n '/^search "qqq zzz"/,+2p' | tail -n +2)" = \
    "$(printf '  SearchResults holds:\n  1. %s  (disabled)' "$none")" ] || fail "corbel-$language: no \"$none\" entry"
  has "corbel-$language" 'add-in Corbel.Connect: onLoad SearchRibbonLoaded(ribbon) returned'
  position=$(tr -d '\r' <"$work/corbel-$language.log" | sed -n 's/^  \([123]\)\. .*  ApplicationOptionsDialog$/\1/p' | head -1)
  [ -n "$position" ] || { fail "corbel-$language: Options is not among the first three results"; cat "$work/corbel-$language.log"; }
  tr -d '\r' <"$work/corbel-$language.log" | grep '^excel-host: object-model calls of the first search: [0-9]' ||
    fail "corbel-$language: the first search's calls are not counted"
  keytip=$(tr -d '\r' <"$work/corbel-$language.log" | sed -n 's/.*\] (keytip \([A-Z0-9]*\)) (text from GetSearchWords).*/\1/p')
  [ -n "$keytip" ] || fail "corbel-$language: --show-text shows no search box with a keytip"
  drive "$language" "$search" "${keytip:-FC}" "${position:-1}" ApplicationOptionsDialog "$host_exe" "${args[@]}"
done

for bitmap in "$shots"/*.bmp; do
  [ -e "$bitmap" ] || continue
  convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
done
[ "$failures" -eq 0 ] && echo "the search as expected"
exit "$failures"
