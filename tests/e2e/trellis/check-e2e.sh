#!/usr/bin/env bash
# Trellis.exe /check and /repair in the current Wine prefix (fresh-prefix.sh makes it), one
# scenario after another in that one prefix, each starting from a clean installation:
#   check-e2e.sh BUILD_DIR BITS
# For each cause: set it up, /check names it (exit 1); for the user's own, /repair mends it
# (exit 0) and /check then finds nothing; an administrator's is named by both, /repair exits 1
# and the registry value is still there. A clean installation gives exit 0 and no finding.
set -uo pipefail
build=$1 bits=$2
export LC_ALL=C.UTF-8
loader=wine
[ "$bits" = 64 ] && command -v wine64 >/dev/null && loader=wine64

drive=$WINEPREFIX/drive_c
program='C:\Cornice' unix_program=$drive/Cornice
mkdir -p "$unix_program"
cp "$build/Trellis/Trellis.exe" "$build/Corbel/Corbel.dll" "$unix_program/"
library="$program\\Corbel.dll"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
failures=0 scenario=
fail() { echo "FAIL $scenario: $*"; sed 's/^/    /' "$out"; failures=$((failures + 1)); }

reg() { "$loader" reg "$@" >/dev/null 2>&1; }
regsvr32() { "$loader" regsvr32 /s "$@" >/dev/null 2>&1; }
# trellis MODE EXIT: Trellis.exe /MODE with its standard output in $out, which must exit EXIT.
trellis() {
  local status
  (cd "$unix_program" && "$loader" Trellis.exe "/$1" >"$out" 2>/dev/null)
  status=$?
  grep -qv $'\r$' "$out" && fail "a line that does not end in CR LF"
  sed -i 's/\r$//' "$out"
  [ "$status" = "$2" ] || fail "/$1 exited $status, expected $2"
}
says() { grep -q -e "$1" "$out" || fail "no line '$1'"; }
says_not() { ! grep -q -e "$1" "$out" || fail "a line '$1'"; }

# Excel where Click-to-Run puts it and App Paths names it: the stand-in of this build's bitness.
excel='C:\Program Files\Microsoft Office\root\Office16\EXCEL.EXE'
mkdir -p "$drive/Program Files/Microsoft Office/root/Office16"
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\excel.exe'
use_excel() { # use_excel PE_FILE: Excel is now that program's bitness
  cp "$1" "$drive/Program Files/Microsoft Office/root/Office16/EXCEL.EXE"
  reg add "$app_paths" /ve /d "$excel" /f
}
use_excel "$build/tools/excel-host/excel-host.exe"
reg add 'HKCU\Software\Microsoft\Office\16.0\Excel\Options' /f
reg add 'HKCU\Software\Microsoft\Office\14.0\Excel\Options' /f

policies='Software\Policies\Quillmark\Cornice'
office_policies='HKCU\Software\Policies\Microsoft\Office\16.0\Excel'
classes_clsid='Software\Classes\CLSID\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}'
addin='Software\Microsoft\Office\Excel\Addins\Corbel.Connect'
settings='HKCU\Software\VB and VBA Program Settings\Quillmark\Architrave'

# What the installer leaves: the add-in registered per user, nothing of anyone else's. One
# import clears every place a scenario writes (in both views), then regsvr32 registers.
clean_reg='C:\clean.reg'
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  for key in "HKEY_LOCAL_MACHINE\\$policies" "HKEY_CURRENT_USER\\$policies" \
             'HKEY_CURRENT_USER\Software\Policies\Microsoft\Office' \
             'HKEY_CURRENT_USER\Software\Microsoft\Office\16.0\Excel\Resiliency' \
             'HKEY_CURRENT_USER\Software\Microsoft\Office\14.0\Excel\Resiliency' \
             "HKEY_LOCAL_MACHINE\\$addin" 'HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Office\Excel\Addins\Corbel.Connect' \
             "HKEY_LOCAL_MACHINE\\$classes_clsid" "HKEY_CURRENT_USER\\$classes_clsid" \
             'HKEY_LOCAL_MACHINE\Software\Wow6432Node\Classes\CLSID\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}' \
             'HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Quillmark'; do
    printf '[-%s]\r\n\r\n' "$key"
  done
} >"$drive/clean.reg"
clean() {
  "$loader" regedit /s "$clean_reg" >/dev/null 2>&1
  regsvr32 "$library"
}

# A file that says it is a 32-bit Windows program, which is all the check reads of Excel's or
# a library's: "MZ", the PE header at 0x80, machine 0x14C, optional header magic 0x10B.
x86_image() {
  head -c 1024 /dev/zero >"$1"
  poke() { printf "$2" | dd of="$1" bs=1 seek=$(($3)) conv=notrunc status=none; }
  poke "$1" 'MZ' 0
  poke "$1" '\x80' 0x3C
  poke "$1" 'PE\0\0\x4c\x01' 0x80
  poke "$1" '\x0b\x01' 0x98
}

# Excel's record of having disabled a library, as DisabledItems.h describes it.
disabled_record() {
  le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
  utf16() { local i; for ((i = 0; i < ${#1}; i++)); do printf '%02x00' "'${1:i:1}"; done; printf '0000'; }
  local path=${1,,} name=Architrave
  echo "$(le32 1)$(le32 $(((${#path} + 1) * 2)))$(le32 $(((${#name} + 1) * 2)))$(utf16 "$path")$(utf16 "$name")"
}

# user_cause NAME SETUP...: the setup (a shell command) makes the cause, which /repair mends.
user_cause() {
  scenario=$1
  shift
  clean
  eval "$*"
  trellis check 1
  says "^$scenario: "
  trellis repair 0
  says "^Repaired $scenario: "
  says_not '^Remains '
  trellis check 0
}

# admin_cause NAME KEY VALUE SETUP...: named, never changed, and /repair exits 1.
admin_cause() {
  scenario=$1 key=$2 value=$3
  shift 3
  clean
  eval "$*"
  trellis check 1
  says "^$scenario: .*Only your administrator can change this\.$"
  trellis repair 1
  says "^Remains $scenario: "
  says_not "^Repaired $scenario"
  reg query "$key" /v "$value" $([ "$bits" = 32 ] || echo /reg:64) || fail "/repair changed $key"
}

scenario=clean
clean
trellis check 0
says '^Nothing keeps Excel from showing the Classic tab\.$'
[ "$(wc -l <"$out")" = 1 ] || fail "more than one line"
# A pipe is an output too.
(cd "$unix_program" && "$loader" Trellis.exe /check 2>/dev/null | grep '^Nothing keeps' >/dev/null) || fail "nothing through a pipe"

user_cause DisabledItems \
  'reg add "HKCU\Software\Microsoft\Office\16.0\Excel\Resiliency\DisabledItems" /v 5F1A /t REG_BINARY /d $(disabled_record "$library") /f;
   reg add "HKCU\Software\Microsoft\Office\14.0\Excel\Resiliency\DisabledItems" /v 0C2B /t REG_BINARY /d $(disabled_record "$library") /f'
trellis check 0 # (the repair above took both versions' records)
user_cause LoadBehavior "reg add 'HKCU\\$addin' /v LoadBehavior /t REG_DWORD /d 2 /f"
user_cause ClassicOff "reg add '$settings' /v Classic /d 0 /f"
user_cause NotRegistered 'regsvr32 /u "$library"'
user_cause LibraryMissing "reg add 'HKCU\\$classes_clsid\\InprocServer32' /ve /d 'C:\\Gone\\Corbel.dll' /f"
says_not LibraryMissing

# Installed for all users, as the package writes it in Excel's view: the user's own
# registration stands in its way, which the repair removes; the machine's rows stay.
view=$([ "$bits" = 32 ] || echo /reg:64)
machine_copy='C:\Program Files\Cornice\Corbel.dll'
mkdir -p "$drive/Program Files/Cornice"
cp "$build/Corbel/Corbel.dll" "$drive/Program Files/Cornice/"
for_all_users() {
  reg add "HKLM\\$classes_clsid\\InprocServer32" /ve /d "$machine_copy" /f $view
  reg add "HKLM\\$addin" /v LoadBehavior /t REG_DWORD /d 3 /f $view
}
user_cause ShadowedByUser 'regsvr32 /u "$library"; for_all_users; reg add "HKCU\\$classes_clsid\\InprocServer32" /ve /d "$library" /f'
reg query "HKLM\\$classes_clsid\\InprocServer32" $view || fail "the machine's class went"
# The user's entry switched off stands in for the machine's: it goes, the machine's serves.
user_cause LoadBehavior 'regsvr32 /u "$library"; for_all_users; reg add "HKCU\\$addin" /v LoadBehavior /t REG_DWORD /d 2 /f'
! reg query "HKCU\\$addin" || fail "the user's entry stayed"

admin_cause MachineLoadBehavior "HKLM\\$addin" LoadBehavior \
  'regsvr32 /u "$library"; for_all_users; reg add "HKLM\\$addin" /v LoadBehavior /t REG_DWORD /d 0 /f $view'
admin_cause PolicyClassicOff "HKLM\\$policies" Classic "reg add 'HKLM\\$policies' /v Classic /t REG_DWORD /d 0 /f $view"
admin_cause PolicyAddinList "$office_policies\\Resiliency\\AddinList" Corbel.Connect \
  "reg add '$office_policies\\Resiliency\\AddinList' /v Corbel.Connect /d 0 /f"
admin_cause PolicyDisableAllAddins "$office_policies\\Security" DisableAllAddins \
  "reg add '$office_policies\\Security' /v DisableAllAddins /t REG_DWORD /d 1 /f"
admin_cause PolicyRequireSignature "$office_policies\\Security" RequireAddinSig \
  "reg add '$office_policies\\Security' /v RequireAddinSig /t REG_DWORD /d 1 /f"
# The user's own cause beside an administrator's: mended, and the administrator's remains.
scenario=mixed
clean
reg add "$settings" /v Classic /d 0 /f
reg add "HKCU\\$policies" /v Classic /t REG_DWORD /d 0 /f
trellis check 1
says '^PolicyClassicOff: '
says_not '^ClassicOff' # a policy decides; the user's own value waits for the day it goes

if [ "$bits" = 64 ]; then
  # 32-bit Excel on 64-bit Windows reads the 32-bit view: there the x64 library registered per
  # user is of the other bitness, which only another installation mends...
  x86_image "$drive/x86-excel.exe"
  use_excel "$drive/x86-excel.exe"
  scenario=WrongBitness
  clean
  trellis check 1
  says '^WrongBitness: .*a 64-bit library, but Excel is 32-bit\. Install Cornice again'
  trellis repair 1
  says '^Remains WrongBitness: '
  # ...and an installation for all users in the 32-bit view is found there and serves.
  scenario=x86-for-all-users
  regsvr32 /u "$library"
  mkdir -p "$drive/Program Files (x86)/Cornice"
  x86_image "$drive/Program Files (x86)/Cornice/Corbel.dll"
  reg add "HKLM\\$classes_clsid\\InprocServer32" /ve /d 'C:\Program Files (x86)\Cornice\Corbel.dll' /f /reg:32
  reg add "HKLM\\$addin" /v LoadBehavior /t REG_DWORD /d 3 /f /reg:32
  trellis check 0
  reg delete "HKLM\\$classes_clsid" /f /reg:32
  reg delete "HKLM\\$addin" /f /reg:32
fi

[ "$failures" = 0 ] && echo "check-e2e: every scenario passed"
exit $((failures > 0))
