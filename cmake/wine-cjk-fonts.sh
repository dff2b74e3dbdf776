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
for face in "MS UI Gothic=JP" "MS Gothic=JP" "MS PGothic=JP" "Yu Gothic UI=JP" "Meiryo UI=JP" \
            "SimSun=SC" "NSimSun=SC" "Microsoft YaHei=SC" "Microsoft YaHei UI=SC" \
            "PMingLiU=TC" "Microsoft JhengHei UI=TC"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%=*}" /t REG_SZ \
    /d "Noto Sans CJK ${face#*=}" /f >/dev/null
done
# The hives are on disk before the prefix is used or copied. A prefix in use (--in-use) keeps its
# wineserver running, which holds the change already and which the wait would wait for for ever.
[ "${2:-}" = --in-use ] || wineserver -w
