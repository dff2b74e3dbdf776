#!/usr/bin/env bash
# The add-in in Wine must hand Excel exactly the document that the native corbel-ribbon prints
# for the same settings: for each case of CASES, store the settings in the registry, let
# excel-host load the registered add-in and write its document, and compare the bytes.
#   ribbon-matches-corbel-ribbon.sh CORBEL_DLL EXCEL_HOST CORBEL_RIBBON CASES
# Runs inside fresh-prefix.sh (WINEPREFIX set, display available).
set -euo pipefail
. "$(dirname "$0")/in-prefix.sh"
corbel=$1 excel_host=$2 corbel_ribbon=$3 cases=$4

if [ ! -x "$corbel_ribbon" ]; then
  echo "the native corbel-ribbon is missing at $corbel_ribbon;" \
       "build the native preset first (make test does), or set CORNICE_NATIVE_BUILD_DIR" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
settings='HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Quillmark'

wine regsvr32 /s "$(windows_path "$corbel")"

failures=0 count=0
while IFS=$'\t' read -r -a fields; do
  [ "${#fields[@]}" -eq 0 ] || [[ "${fields[0]}" == \#* ]] && continue
  name=${fields[0]} host=${fields[1]}
  sets=()
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[-%s]\r\n\r\n[%s\\Architrave]\r\n' "$settings" "$settings"
    for pair in "${fields[@]:2}"; do
      printf '"%s"="%s"\r\n' "${pair%%=*}" "${pair#*=}"
      sets+=(--set "$pair")
    done
  } >"$work/settings.reg"
  wine reg import "$(windows_path "$work/settings.reg")" >/dev/null 2>&1

  "$corbel_ribbon" --host "$host" "${sets[@]}" >"$work/expected.xml"
  status=0
  wine "$excel_host" --name "$host" --ribbon-out "$(windows_path "$work/actual.xml")" >"$work/log.txt" 2>&1 || status=$?
  count=$((count + 1))
  if [ "$status" -ne 0 ] || ! cmp -s "$work/expected.xml" "$work/actual.xml"; then
    failures=$((failures + 1))
    echo "FAILED $name: excel-host exit $status"
    cat "$work/log.txt"
    cmp "$work/expected.xml" "$work/actual.xml" || true
  else
    echo "ok     $name ($(wc -c <"$work/actual.xml") bytes)"
  fi
done <"$cases"

echo "$((count - failures)) of $count cases match"
[ "$count" -gt 0 ] && [ "$failures" -eq 0 ]
