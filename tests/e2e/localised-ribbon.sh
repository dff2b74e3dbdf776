#!/usr/bin/env bash
# The Classic tab in the language of the user's Excel, with the add-in loaded by excel-host
# playing a localised Excel from the test data in DATA (excel-words/*.tsv):
#   localised-ribbon.sh CORBEL_DLL EXCEL_HOST CORBEL_RIBBON DATA
# Runs inside fresh-prefix.sh (WINEPREFIX set, display available).
set -euo pipefail
. "$(dirname "$0")/in-prefix.sh"
corbel=$1 excel_host=$2 corbel_ribbon=$3 data=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wine regsvr32 /s "$(windows_path "$corbel")"
"$corbel_ribbon" >"$work/english.xml"
cmp -s "$work/english.xml" "$data/ribbon/empty-store.xml" || { echo "corbel-ribbon no longer gives the reference"; exit 1; }

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
host() { # NAME, then excel-host's arguments: writes $work/NAME.xml
  local name=$1; shift
  if ! wine "$excel_host" "$@" --ribbon-out "$(windows_path "$work/$name.xml")" >"$work/$name.log" 2>&1; then
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
# Excel's words as the add-in keeps them between starts, one value per version and language.
words_key='HKCU\Software\Quillmark\Cornice\ExcelWords'
forget() { wine reg delete "$words_key" /f >/dev/null 2>&1 || true; }
kept() { wine reg query "$words_key" /v "$1" >/dev/null 2>&1; }
asked() { # NAME: excel-host saw the add-in ask Excel's command bars
  grep 'object-model calls' "$work/$1.log" | grep 'CommandBars' >/dev/null
}

host english --ui-language 1033 --excel-words "$(windows_path "$data/excel-words/german.tsv")"
cmp -s "$work/english.xml" "$data/ribbon/empty-store.xml" || fail "an English Excel's document changed"
host british --ui-language 2057
cmp -s "$work/british.xml" "$data/ribbon/empty-store.xml" || fail "a British English Excel's document changed"

kept "14.0 1033" && fail "an English Excel's words were kept"

# Excel's own words where it gives them (both copies of each menu), the product's table elsewhere.
german_words=$(windows_path "$data/excel-words/german.tsv")
host german --ui-language 1031 --excel-words "$german_words"
valid german
asked german || fail "german: the first start did not ask Excel"
kept "14.0 1031" || fail "german: Excel's words were not kept"
for pair in B30002=Datei B30003=Bearbeiten B30004=Ansicht B30005=Einfügen B30006=Format B30007=Extras \
            B30011=Daten B30009=Fenster B30010='?'; do
  has german "<menu id=\"${pair%%=*}\" label=\"${pair#*=}\""
  has german "<menu id=\"All${pair%%=*}\" label=\"${pair#*=}\""
done
has german 'label="Dokumentprüfung"'
has german 'label="Berechnung"'
has german '<menu id="dFilter" label="Filtern"'
has german '<tab id="Menus" label="Klassisch"'

# A later start of the same Excel asks nothing and gives the same document; another version or
# language asks again; a damaged record is asked again and rewritten.
host german-later --ui-language 1031 --excel-words "$german_words"
cmp -s "$work/german.xml" "$work/german-later.xml" || fail "german-later: not the first start's document"
asked german-later && fail "german-later: asked Excel again"
host german-16 --release 16 --ui-language 1031 --excel-words "$german_words"
asked german-16 || fail "german-16: another version was not asked"
host austrian --ui-language 3079 --excel-words "$german_words"
asked austrian || fail "austrian: another language was not asked"
wine reg add "$words_key" /v "14.0 1031" /d "ExcelWords 1" /f >/dev/null
host german-damaged --ui-language 1031 --excel-words "$german_words"
cmp -s "$work/german.xml" "$work/german-damaged.xml" || fail "german-damaged: not the first start's document"
asked german-damaged || fail "german-damaged: a damaged record was believed"
host german-rebuilt --ui-language 1031 --excel-words "$german_words"
asked german-rebuilt && fail "german-rebuilt: the damaged record was not rewritten"

# An Excel whose command bars raise: the product's German table, exactly as corbel-ribbon prints it.
forget
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

kept "14.0 1031" && fail "an Excel that answered nothing was kept as wordless"
host markup --ui-language 1031 --excel-words "$(windows_path "$data/excel-words/markup.tsv")"
valid markup
has markup '<menu id="B30002" label="Datei &lt;&amp;&gt; &quot;neu&quot;"'
has markup '<menu id="B30007" label="&lt;/menu&gt;&lt;menu id=&quot;x&quot;&gt;"'
has markup 'label="A &amp; B"'
has markup 'screentip="&quot;Funktionen&quot; &lt;Bibliothek&gt;"'

[ "$failures" -eq 0 ] && echo "all localised documents as expected"
