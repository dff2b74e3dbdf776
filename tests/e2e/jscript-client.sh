#!/usr/bin/env bash
# An independent automation client: JScript under Wine's cscript creates the registered add-in
# by its ProgID and calls it late-bound, as any script or VBA could.
#   jscript-client.sh CORBEL_DLL
# Runs inside fresh-prefix.sh.
set -euo pipefail
. "$(dirname "$0")/in-prefix.sh"
corbel=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wine regsvr32 /s "$(windows_path "$corbel")"
cat >"$work/client.js" <<'JS'
var failures = [];
function check(condition, what) { if (!condition) failures.push(what); }
function hex(n) { return "0x" + (n >>> 0).toString(16).toUpperCase(); }

var addIn = new ActiveXObject("Corbel.Connect");
// Unconnected, the add-in has no Excel to ask for its name: a clean automation error.
for (var round = 0; round < 2; ++round) {
    try {
        var document = addIn.GetRibbonXML();
        failures.push("GetRibbonXML gave a document without a connection: " + document.length);
    } catch (e) {
        WScript.Echo("GetRibbonXML: " + hex(e.number) + " " + e.description);
        check((e.number >>> 0) == 0x8000FFFF, "error number " + hex(e.number));
        check(e.description.indexOf("not connected to Excel") >= 0, "description: " + e.description);
    }
}
try {
    addIn.IRibbonExtensibility_GetCustomUI("Microsoft.Excel.Workbook");
    failures.push("IRibbonExtensibility_GetCustomUI gave a document without a connection");
} catch (e) {
    check(e.description.indexOf("not connected to Excel") >= 0, "GetCustomUI description: " + e.description);
}
try {
    addIn.NoSuchMember();
    failures.push("an unknown member was called");
} catch (e) {
    check((e.number >>> 0) == 0x800A01B6, "unknown member: " + hex(e.number) + " " + e.description);
}
for (var i = 0; i < failures.length; ++i) WScript.Echo("FAILED: " + failures[i]);
WScript.Quit(failures.length == 0 ? 0 : 1);
JS
wine cscript //nologo "$(windows_path "$work/client.js")"
