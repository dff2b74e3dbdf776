#!/usr/bin/env bash
# corbel-ribbon as maintainers use it: arguments, exit codes and the exact bytes written.
set -u
tool=$1
failures=0
check() { # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then :; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
run() { # args...: sets out, err, code
  "$tool" "$@" >/tmp/corbel-ribbon-out.$$ 2>/tmp/corbel-ribbon-err.$$
  code=$?
  out=$(cat /tmp/corbel-ribbon-out.$$); err=$(cat /tmp/corbel-ribbon-err.$$)
}

"$tool" >/tmp/corbel-ribbon-default.$$; code=$?
check "default exits 0" test "$code" = 0
check "starts with the customUI tag" grep -q '^<customUI xmlns="http://schemas.microsoft.com/office/2006/01/customui" ><ribbon><tabs>' /tmp/corbel-ribbon-default.$$
check "no trailing newline" test "$(tail -c 11 /tmp/corbel-ribbon-default.$$)" = "</customUI>"
check "UTF-8 ellipsis" grep -q $'Save as \xe2\x80\xa6  Excel 97-2003 WorkBook' /tmp/corbel-ribbon-default.$$
check "one line" test "$(wc -l </tmp/corbel-ribbon-default.$$)" = 0

run --set Classic=0 --set Home=abc
check "Classic 0: exit 0" test "$code" = 0
check "Classic 0: nothing written" test -z "$out"

"$tool" --host "Microsoft Word" >/tmp/corbel-ribbon-word.$$; code=$?
check "other host: exit 0, empty" test "$code" = 0 -a ! -s /tmp/corbel-ribbon-word.$$

run --set "Hide built-in Tabs=1" --set "Review=not a number"
check "bad tab value: exit 3" test "$code" = 3
check "bad tab value: nothing on stdout" test -z "$out"
check "bad tab value: one line naming key and value" test "$(printf '%s\n' "$err" | wc -l)" = 1
check "bad tab value: names key and value" grep -q '"Review" holds "not a number"' <<<"$err"

run --set "Review=not a number"
check "bad value that is not read: exit 0" test "$code" = 0

check "keys ignore case" test "$("$tool" --set all=0 --set LEFT=0)" = "$("$tool" --set All=0 --set Left=0)"
check "later --set wins" test "$("$tool" --set All=1 --set all=0)" = "$("$tool" --set All=0)"

check "--language 1033 and 2057: today's English document" test "$("$tool" --language 1033)" = "$(cat /tmp/corbel-ribbon-default.$$)" -a "$("$tool" --language 2057)" = "$(cat /tmp/corbel-ribbon-default.$$)"
check "--language 1031: German menu titles" grep -q '<menu id="B30002" label="Datei"' <<<"$("$tool" --language 1031)"
check "--language 1043 (not shipped): English" test "$("$tool" --language 1043)" = "$(cat /tmp/corbel-ribbon-default.$$)"

for bad in "--bogus" "--set" "--set NoEquals" "--set =1" "--host" "--language" "--language x" "--language 0"; do
  # shellcheck disable=SC2086
  run $bad
  check "bad arguments '$bad': exit 2" test "$code" = 2
  check "bad arguments '$bad': usage" grep -q '^usage: corbel-ribbon' <<<"$err"
done
run --check-controls
check "--check-controls: exit 0, a line for each of the five releases" test "$code" = 0 -a "$(printf '%s\n' "$out" | wc -l)" = 5
check "--check-controls: Excel 2016 skips the Research pane" grep -q '^excel2016-idmso.txt: .*skipped:.* ResearchPane' <<<"$out"
run --check-controls /nonexistent
check "--check-controls without lists: exit 1" test "$code" = 1
run --help
check "--help: exit 0 with usage" test "$code" = 0
rm -f /tmp/corbel-ribbon-*.$$
exit $((failures > 0))
