#!/usr/bin/env bash
# Checks the Group Policy template:  check-policy-template.sh POLICY_DIR SCHEMA_DIR SETTING_KEYS_H
# Every ADMX and ADML must validate against Microsoft's schema; every $(string.X) and
# $(presentation.X) of the ADMX must name an entry of each language's ADML, and every
# presentation's refId an element of the ADMX (the schema sees none of this); the policies
# must write exactly the settings' keys, as REG_DWORD 1 and 0, under the product's policy key.
set -uo pipefail
policy=$1 schema=$2 keys_header=$3
admx=$policy/Cornice.admx
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

values() { xmllint --xpath "$2" "$1" 2>/dev/null | sed 's/^ *[a-zA-Z]*="\(.*\)"$/\1/' | sort -u; }

languages=("$policy"/*/Cornice.adml)
[ -e "${languages[0]}" ] || fail "no language folder holds Cornice.adml"
for file in "$admx" "${languages[@]}"; do
  xmllint --noout --schema "$schema/PolicyDefinitionFiles.xsd" "$file" 2>&1 | grep -v ' validates$' &&
    fail "$file does not validate"
done

for adml in "${languages[@]}"; do
  for kind in string presentation; do
    wanted=$(grep -o "\$($kind\.[^)]*)" "$admx" | sed "s/^\$($kind\.\(.*\))$/\1/" | sort -u)
    defined=$(values "$adml" "//*[local-name()='$kind' or local-name()='${kind}Table']/*/@id | //*[local-name()='$kind']/@id")
    missing=$(comm -23 <(echo "$wanted") <(echo "$defined") | grep -v '^$')
    [ -z "$missing" ] || fail "$adml lacks the ${kind}s:" $missing
  done
  elements=$(values "$admx" "//*[local-name()='elements']/*/@id")
  refs=$(values "$adml" "//*[local-name()='presentation']//@refId")
  dangling=$(comm -23 <(echo "$refs") <(echo "$elements") | grep -v '^$')
  [ -z "$dangling" ] || fail "$adml has presentation parts for no element:" $dangling
done

# The keys as the programs spell them (Trellis's twelve, "Tips" and "Search"): every quoted text of the
# header but the application and section names.
expected=$(grep -o 'L"[^"]*"' "$keys_header" | sed 's/^L"\(.*\)"$/\1/' | grep -vx 'Quillmark\|Architrave' | sort)
[ "$(echo "$expected" | wc -l)" -eq 14 ] || fail "expected fourteen keys in $keys_header, found: $expected"
written=$(xmllint --xpath "//*[local-name()='policy']/@valueName" "$admx" | sed 's/^ *valueName="\(.*\)"$/\1/' | sort)
[ "$written" = "$expected" ] || fail "the policies write the values" "$(echo $written)" "instead of" "$(echo $expected)"

count=$(xmllint --xpath "count(//*[local-name()='policy'])" "$admx")
for query in "count(//*[local-name()='policy'][@key='Software\\Policies\\Quillmark\\Cornice'])" \
             "count(//*[local-name()='policy'][@class='Both'])" \
             "count(//*[local-name()='policy'][*[local-name()='enabledValue']/*[local-name()='decimal']/@value='1'])" \
             "count(//*[local-name()='policy'][*[local-name()='disabledValue']/*[local-name()='decimal']/@value='0'])"; do
  [ "$(xmllint --xpath "$query" "$admx")" = "$count" ] || fail "not every one of the $count policies matches $query"
done

[ "$failures" -eq 0 ] && echo "the policy template is sound: $count policies, ${#languages[@]} language(s)"
exit "$failures"
