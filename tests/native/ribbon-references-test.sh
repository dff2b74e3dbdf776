#!/usr/bin/env bash
# The documents themselves, pinned: for each settings case, corbel-ribbon must write exactly the
# reviewed reference beside the cases file. A change to a menu or a toolbar is a change to these
# files, reviewed as a diff; regenerate them with --update after reviewing the new output.
#   ribbon-references-test.sh CORBEL_RIBBON CASES [--update]
set -u
tool=$1 cases=$2 update=${3:-}
references=$(dirname "$cases")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first byte where two files differ, with some context of each around it.
show_difference() { # expected actual
  local offset
  offset=$(cmp "$1" "$2" 2>/dev/null | sed -n 's/.* byte \([0-9]*\),.*/\1/p')
  [ -n "$offset" ] || offset=$(( $(stat -c %s "$1") < $(stat -c %s "$2") ? $(stat -c %s "$1") + 1 : $(stat -c %s "$2") + 1 ))
  local from=$(( offset > 80 ? offset - 80 : 1 ))
  echo "  first difference at byte $offset (of $(stat -c %s "$1") expected, $(stat -c %s "$2") written)"
  echo "  expected: ...$(tail -c +"$from" "$1" | head -c 160)..."
  echo "  written:  ...$(tail -c +"$from" "$2" | head -c 160)..."
}

failures=0 count=0
while IFS=$'\t' read -r -a fields; do
  [ "${#fields[@]}" -eq 0 ] || [[ "${fields[0]}" == \#* ]] && continue
  name=${fields[0]} host=${fields[1]}
  sets=()
  for pair in "${fields[@]:2}"; do sets+=(--set "$pair"); done
  count=$((count + 1))
  if ! "$tool" --host "$host" "${sets[@]}" >"$work/$name.xml"; then
    echo "FAILED $name: corbel-ribbon exit $?"; failures=$((failures + 1)); continue
  fi
  if [ "$update" = --update ]; then
    cp "$work/$name.xml" "$references/$name.xml"
  elif [ ! -f "$references/$name.xml" ]; then
    echo "FAILED $name: no reference $references/$name.xml"; failures=$((failures + 1))
  elif ! cmp -s "$references/$name.xml" "$work/$name.xml"; then
    echo "FAILED $name: the document differs from $name.xml"
    show_difference "$references/$name.xml" "$work/$name.xml"
    failures=$((failures + 1))
  fi
done <"$cases"

echo "$((count - failures)) of $count documents equal their references"
[ "$count" -gt 0 ] && [ "$failures" -eq 0 ]
