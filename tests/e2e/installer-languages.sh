#!/usr/bin/env bash
# The installer's pages as a user of each Windows language sees them (Wine takes the language
# from LANG): started for real, its welcome page must carry our title in that language, and after
# a real installation its finish page our check box; both are saved as pictures for a look.
# Excel stands at Office's usual place, so that the welcome page says the longest of its usual
# notes, with the path.
#   installer-languages.sh SETUP TOOL TEXTS SHOTS SOURCE LANGUAGE...
# (inside a prefix of its own: fresh-prefix.sh); TEXTS is CorniceText.nsh, LANGUAGE en, de, fr,
# es, it, pt-BR, ru, ja or zh-CN. Pictures: SHOTS/LANGUAGE-welcome.png, LANGUAGE-finish.png.
set -euo pipefail
. "$(dirname "$0")/in-prefix.sh"
setup=$1 tool=$2 texts=$3 shots=$4 source=$5
shift 5
name=$(basename "$setup" -setup.exe) # Cornice-7.0
product=${name%%-*} version=${name#*-}
status=0

# What a Windows machine has and a bare prefix lacks (as about-e2e.sh); Japanese and Chinese
# need fonts with their glyphs, which only their prefix gets.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
case " $* " in *" ja "* | *" zh-CN "*) "$source/cmake/wine-cjk-fonts.sh" "$WINEPREFIX" --in-use ;; esac
excel='C:\Program Files\Microsoft Office\Office14\EXCEL.EXE'
mkdir -p "$WINEPREFIX/drive_c/Program Files/Microsoft Office/Office14"
cp "$WINEPREFIX/drive_c/windows/system32/notepad.exe" "$WINEPREFIX/drive_c/Program Files/Microsoft Office/Office14/EXCEL.EXE"
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\excel.exe' /ve /d "$excel" /f >/dev/null
mkdir -p "$shots"

# text KEY TABLE: our text KEY for NSIS's language TABLE (GERMAN), as the installer shows it.
text() {
  local line
  line=$(grep -m 1 "^LangString $1 \${LANG_$2} \"" "$texts") || { echo "no $1 for $2 in $texts" >&2; return 1; }
  line=${line#*\"}
  line=${line%\"}
  line=${line//\$\{PRODUCT\}/$product}
  line=${line//\$\{VERSION\}/$version}
  printf '%s' "${line//\$\\\"/\"}"
}

fail() {
  echo "FAIL $language: $*" >&2
  status=1
}

for language in "$@"; do
  case $language in
    en) locale=en_US table=ENGLISH ;;
    de) locale=de_DE table=GERMAN ;;
    fr) locale=fr_FR table=FRENCH ;;
    es) locale=es_ES table=SPANISH ;;
    it) locale=it_IT table=ITALIAN ;;
    pt-BR) locale=pt_BR table=PORTUGUESEBR ;;
    ru) locale=ru_RU table=RUSSIAN ;;
    ja) locale=ja_JP table=JAPANESE ;;
    zh-CN) locale=zh_CN table=SIMPCHINESE ;;
    *) fail "no such language"; continue ;;
  esac
  started=$(date +%s%N)
  caption=$(text S_CAPTION $table) title=$(text S_WELCOME_TITLE $table) run=$(text S_FINISH_RUN $table)
  LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8 wine "$setup" &
  setup_pid=$!
  if ! wine "$tool" wait-text "$caption" "$title"; then
    fail "no welcome page titled \"$title\" in a window \"$caption\""
    kill "$setup_pid"
    wait "$setup_pid" || true
    continue
  fi
  wine "$tool" shot "$caption" "$shots" "$language-welcome"
  wine "$tool" press '#32770' 1 # Next: the folder
  wine "$tool" wait-text-gone "$caption" "$title" || fail "the welcome page stayed"
  wine "$tool" press '#32770' 1 # Install
  if wine "$tool" wait-text "$caption" "$run"; then
    wine "$tool" uncheck "$caption" "$run" # no settings window opens
    wine "$tool" shot "$caption" "$shots" "$language-finish"
    wine "$tool" press '#32770' 1 # Finish
  else
    fail "no finish page with \"$run\""
    kill "$setup_pid" # closing would ask whether to quit
  fi
  code=0
  wait "$setup_pid" || code=$?
  [ "$code" = 0 ] || fail "the installer ended with $code"
  echo "$language: \"$title\" in \"$caption\", $((($(date +%s%N) - started) / 1000000)) ms"
done

for bitmap in "$shots"/*.bmp; do
  [ -e "$bitmap" ] || continue
  convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
done
exit "$status"
