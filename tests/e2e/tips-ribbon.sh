#!/usr/bin/env bash
# "Tips" with the add-in loaded by excel-host: off, the document is the reference; on, each
# release's places, Excel's words in English and German, the product's words where Excel gives
# none, and the tooltip of the window (screenshots in SHOTS):
#   tips-ribbon.sh CORBEL_DLL EXCEL_HOST CORBEL_RIBBON TOOL DATA SHOTS
# Runs inside fresh-prefix.sh (WINEPREFIX set, display available).
set -euo pipefail
. "$(dirname "$0")/in-prefix.sh"
corbel=$1 excel_host=$2 corbel_ribbon=$3 tool=$4 data=$5 shots=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"

# Wine's own fonts (Tahoma), and no window manager: Wine draws the title bars itself.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
wine regsvr32 /s "$(windows_path "$corbel")"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
host() { # NAME, then excel-host's arguments: writes $work/NAME.xml and the report $work/NAME.log
  local name=$1; shift
  if ! wine "$excel_host" --show-text "$@" --ribbon-out "$(windows_path "$work/$name.xml")" >"$work/$name.log" 2>&1; then
    fail "$name: excel-host failed"; cat "$work/$name.log"
  fi
}
words() { windows_path "$data/excel-words/$1.tsv"; }
reports() { # NAME LINE: the report prints the supertip line exactly
  # Not grep -q in a pipe: it stops reading at the first match, and pipefail then counts tr's
  # broken pipe as a failure.
  tr -d '\r' <"$work/$1.log" | grep -xF -- "$2" >/dev/null && return
  fail "$1: no line \"$2\"; it printed:"
  tr -d '\r' <"$work/$1.log" | grep -F -- "${2%%:*}:" || echo "(no such line; $(wc -l <"$work/$1.log") lines)"
}
lacks() { # NAME TEXT
  ! tr -d '\r' <"$work/$1.log" | grep -F -- "$2" >/dev/null || fail "$1: reports $2"
}
valid() {
  xmllint --noout --schema "$data/office/customUI.xsd" "$work/$1.xml" 2>"$work/$1.xmllint" ||
    { fail "$1: not valid customUI"; head -5 "$work/$1.xmllint"; }
}

# Off (absent, then "0"): the reference document, and nothing asked that was not asked before.
host absent --ui-language 1033 --excel-words "$(words english-tips)"
cmp -s "$work/absent.xml" "$data/ribbon/empty-store.xml" || fail "without Tips the document changed"
settings='HKCU\Software\VB and VBA Program Settings\Quillmark\Architrave'
wine reg add "$settings" /v Tips /d 0 /f >/dev/null
host zero --ui-language 1033 --excel-words "$(words english-tips)"
cmp -s "$work/zero.xml" "$data/ribbon/empty-store.xml" || fail "with Tips 0 the document changed"
lacks zero "Tip "

wine reg add "$settings" /v Tips /d 1 /f >/dev/null
# Each release's list: Goal Seek moved from Data Tools (2013's list, for 12.0 to 15.0) to
# Forecast (16.0); Excel's own description first.
for release in 12 14 15 16; do
  host "en-$release" --release "$release" --ui-language 1033 --excel-words "$(words english-tips)"
  valid "en-$release"
  group="Forecast Group"; [ "$release" = 16 ] || group="Data Tools Group"
  reports "en-$release" "  Tip GoalSeek: Find the input that gives the result you want. /  / Now on the ribbon: Data > $group"
  reports "en-$release" "  Tip Cut: Remove the selection and put it on the Clipboard so you can paste it somewhere else. /  / Now on the ribbon: Home > Clipboard Group"
  reports "en-$release" "  Tip FileSave: Now on the File tab"
  reports "en-$release" "  Tip DataFormExcel: Edit the rows of a list in a form. /  / Not on the ribbon: only here, or in 'Commands Not in the Ribbon' when customising the ribbon"
  lacks "en-$release" "Tip FormulaAuditingMenu"
done
# 2013 knows Research; 16.0's lists do not, so no line claims a place for it.
reports en-15 "  Tip ResearchPane: Now on the ribbon: Review > Proofing"
lacks en-16 "Tip ResearchPane"
# An Excel 2016 from MSI reads 2016's list: Show Ink still on Review > Comments, which 365's lacks.
host en-2016 --release 16 --build 4266 --ui-language 1033 --excel-words "$(words english-tips)"
reports en-2016 "  Tip ReviewShowInk: Now on the ribbon: Review > Comments"
lacks en-16 "Tip ReviewShowInk"

# German: Excel's words where it gives them, the product's table where not, escaped.
host de --release 16 --ui-language 1031 --excel-words "$(words german-tips)"
valid de
reports de "  Tip GoalSeek: Den Eingabewert finden, der das gewünschte Ergebnis liefert. /  / Jetzt im Menüband: Daten > Forecast"
reports de "  Tip FileSave: Jetzt auf der Registerkarte „Datei“"
reports de "  Tip Copy: <b>Kopieren</b> & \"einfügen\" / zweite Zeile /  / Jetzt im Menüband: Start > Zwischenablage"
grep -qF 'supertip="&lt;b&gt;Kopieren&lt;/b&gt; &amp; &quot;einfügen&quot;&#13;zweite Zeile&#13;&#13;' "$work/de.xml" ||
  fail "de: Copy's supertip not escaped as expected"
# Command bars that raise: the product's words only, exactly as corbel-ribbon gives them.
host de-raising --release 15 --ui-language 1031
"$corbel_ribbon" --set Tips=1 --language 1031 --release 15.0 >"$work/de-table.xml"
cmp -s "$work/de-raising.xml" "$work/de-table.xml" || fail "raising command bars: not corbel-ribbon's document"

# The window: the tip shows while the pointer rests on Cut.
for language in en de; do
  case $language in en) args=(--ui-language 1033 --excel-words "$(words english-tips)") ;;
                    de) args=(--ui-language 1031 --excel-words "$(words german-tips)") ;; esac
  wine "$excel_host" --release 16 "${args[@]}" --show >"$work/show-$language.log" 2>&1 &
  shown=$!
  if bounds=$(wine "$tool" hover ExcelHostRibbon Cut | tr -d '\r'); then
    read -r x y width height <<<"$bounds"
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$shots/tip-$language.png"
  else
    fail "$language: no tooltip over Cut"
  fi
  wine "$tool" close ExcelHostRibbon || fail "$language: the window did not close"
  wait "$shown" || fail "$language: excel-host --show failed"
done

[ "$failures" -eq 0 ] && echo "all tips as expected"
exit "$failures"
