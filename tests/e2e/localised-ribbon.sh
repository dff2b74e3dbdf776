#!/usr/bin/env bash
# The Classic tab in the language of the user's Excel, with the add-in loaded by excel-host
# playing a localised Excel from the test data in DATA (excel-words/*.tsv):
#   localised-ribbon.sh CORBEL_DLL EXCEL_HOST CORBEL_RIBBON DATA
# Runs inside fresh-prefix.sh (WINEPREFIX set, display available).
set -euo pipefail
corbel=$1 excel_host=$2 corbel_ribbon=$3 data=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wine regsvr32 /s "$(winepath -w "$corbel")"
"$corbel_ribbon" >"$work/english.xml"
cmp -s "$work/english.xml" "$data/ribbon/empty-store.xml" || { echo "corbel-ribbon no longer gives the reference"; exit 1; }

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
host() { # NAME, then excel-host's arguments: writes $work/NAME.xml
  local name=$1; shift
  if ! wine "$excel_host" "$@" --ribbon-out "$(winepath -w "$work/$name.xml")" >"$work/$name.log" 2>&1; then
    fail "$name: excel-host failed"; cat "$work/$name.log"
  fi
}
valid() { # NAME: the document is valid customUI
  xmllint --noout --schema "$data/office/customUI.xsd" "$work/$1.xml" 2>"$work/$1.xmllint" ||
    { fail "$1: not valid customUI"; head -5 "$work/$1.xmllint"; }
}
has() { # NAME TEXT
  grep -qF -- "$2" "$work/$1.xml" || fail "$1: no $2"
}

host english --ui-language 1033 --excel-words "$(winepath -w "$data/excel-words/german.tsv")"
cmp -s "$work/english.xml" "$data/ribbon/empty-store.xml" || fail "an English Excel's document changed"
host british --ui-language 2057
cmp -s "$work/british.xml" "$data/ribbon/empty-store.xml" || fail "a British English Excel's document changed"

# Excel's own words where it gives them (both copies of each menu), the product's table elsewhere.
host german --ui-language 1031 --excel-words "$(winepath -w "$data/excel-words/german.tsv")"
valid german
for pair in B30002=Datei B30003=Bearbeiten B30004=Ansicht B30005=Einfügen B30006=Format B30007=Extras \
            B30011=Daten B30009=Fenster B30010='?'; do
  has german "<menu id=\"${pair%%=*}\" label=\"${pair#*=}\""
  has german "<menu id=\"All${pair%%=*}\" label=\"${pair#*=}\""
done
has german 'label="Dokumentprüfung"'
has german 'label="Berechnung"'
has german '<menu id="dFilter" label="Filtern"'
has german '<tab id="Menus" label="Klassisch"'

# An Excel whose command bars raise: the product's German table, exactly as corbel-ribbon prints it.
host raising --ui-language 1031
"$corbel_ribbon" --language 1031 >"$work/table.xml"
cmp -s "$work/raising.xml" "$work/table.xml" || fail "raising CommandBars: not the product's German table"
has raising '<menu id="B30007" label="Tools"'

# A Japanese and a Russian Excel whose command bars raise: the product's own tables.
for language in 1041 1049; do
  host "raising-$language" --ui-language "$language"
  valid "raising-$language"
  "$corbel_ribbon" --language "$language" >"$work/table-$language.xml"
  cmp -s "$work/raising-$language.xml" "$work/table-$language.xml" || fail "$language: not the product's table"
done
has raising-1041 '<tab id="Menus" label="クラシック"'
has raising-1049 '<menu id="B30002" label="Файл"'

# A language the product does not ship, with command bars that raise: English.
host dutch --ui-language 1043
cmp -s "$work/dutch.xml" "$data/ribbon/empty-store.xml" || fail "an unshipped language did not give English"

host markup --ui-language 1031 --excel-words "$(winepath -w "$data/excel-words/markup.tsv")"
valid markup
has markup '<menu id="B30002" label="Datei &lt;&amp;&gt; &quot;neu&quot;"'
has markup '<menu id="B30007" label="&lt;/menu&gt;&lt;menu id=&quot;x&quot;&gt;"'
has markup 'label="A &amp; B"'
has markup 'screentip="&quot;Funktionen&quot; &lt;Bibliothek&gt;"'

[ "$failures" -eq 0 ] && echo "all localised documents as expected"
