#!/usr/bin/env bash
# Makes Japanese and Chinese text render in a Wine prefix: wine-cjk-fonts.sh PREFIX [--in-use]
# Wine has none of the Windows fonts with those glyphs. This links Debian's Noto CJK
# (fonts-noto-cjk) into the prefix's Fonts folder and lets it stand in for the fonts Wine asks for
# in a Japanese or Chinese locale (dialogs in "MS UI Gothic" or "SimSun") and links Tahoma to.
# For prefixes that show Japanese or Chinese only: through Tahoma's font links the stand-ins also
# change how Latin text is drawn, so an English prefix keeps without them.
set -euo pipefail
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all
found=0
for font in /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc; do
  [ -f "$font" ] || continue
  ln -sf "$font" "$prefix/drive_c/windows/Fonts/"
  found=1
done
[ "$found" = 1 ] || { echo "wine-cjk-fonts: no Noto CJK font (install fonts-noto-cjk)" >&2; exit 1; }
# One import for all the stand-ins: each `wine reg add` is a Wine process of its own, and one that
# failed would say so only on its standard output.
replacements=$(mktemp --suffix=.reg) said=$(mktemp)
trap 'rm -f "$replacements" "$said"' EXIT
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for face in "MS UI Gothic=JP" "MS Gothic=JP" "MS PGothic=JP" "Yu Gothic UI=JP" "Meiryo UI=JP" \
              "SimSun=SC" "NSimSun=SC" "Microsoft YaHei=SC" "Microsoft YaHei UI=SC" \
              "PMingLiU=TC" "Microsoft JhengHei UI=TC"; do
    printf '"%s"="Noto Sans CJK %s"\r\n' "${face%=*}" "${face#*=}"
  done
} >"$replacements"
# Into a file, not a pipe: the first Wine process of a prefix starts services that inherit its
# output and never end, and a reader of the pipe would wait for them.
wine reg import "Z:${replacements//\//\\}" >"$said" 2>&1 || {
  echo "wine-cjk-fonts: reg import failed: $(cat "$said")" >&2
  exit 1
}
# The hives are on disk before the prefix is used or copied. A prefix in use (--in-use) keeps its
# wineserver running, which holds the change already and which the wait would wait for for ever.
[ "${2:-}" = --in-use ] || wineserver -w
