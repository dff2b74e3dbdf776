#!/usr/bin/env bash
# The installer under Wine, run silently as an administrator deploys it, in the current Wine
# prefix (fresh-prefix.sh makes the prefix and the display):
#   installer-e2e.sh INSTALLER TEST_TOOL EXCEL_HOST_X86 EXCEL_HOST_X64 SCENARIO...
# A stand-in Excel (excel-host, which loads add-ins as Excel does) is put where Office puts
# Excel and registered under App Paths, so that the installer finds it and reads its bitness;
# it then shows whether the add-in really loads. One line per scenario; exit code: the number
# of failed checks.
set -uo pipefail
. "$(dirname "$0")/../in-prefix.sh"
installer=$1 tool=$2 host_x86=$3 host_x64=$4
shift 4
for program in "$installer" "$host_x86"; do
  [ -f "$program" ] || { echo "installer-e2e: $program is missing (the win32 preset's build makes it)"; exit 1; }
done
# The project's version, from CMake: the package's own (7.0.0), and the one Add/Remove Programs
# shows for the per-user installation (7.0).
product_version=${CORNICE_VERSION:?CORNICE_VERSION, the project version, is not set (CMake sets it)}
display_version=${product_version%.*}
export LC_ALL=C.UTF-8 # Wine names files from the Unix locale; the folders have non-ASCII letters
# Wine's winemenubuilder would mirror the Start menu shortcuts into the Linux desktop's menus,
# outside the prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"
prefix_bits=32
[ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && prefix_bits=64

arp_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cornice'
addin_key='HKCU\Software\Microsoft\Office\Excel\Addins\Corbel.Connect'
clsid_key='HKCU\Software\Classes\CLSID\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}'
typelib_key='HKCU\Software\Classes\TypeLib\{67C9FEE9-AA4A-454B-87B1-7AD7C73F9F45}\1.0\0'
settings_key='HKCU\Software\VB and VBA Program Settings\Quillmark\Architrave'
app_paths='Software\Microsoft\Windows\CurrentVersion\App Paths\excel.exe'
resiliency='HKCU\Software\Microsoft\Office\VERSION\Excel\Resiliency\DisabledItems'
click_to_run='HKLM\Software\Microsoft\Office\ClickToRun\Configuration'
# The version keys of Excel 2007, 2010, 2013, and 2016 to 365 (one key for all of those).
versions='12.0 14.0 15.0 16.0'

failures=0
scenario=""
fail() {
  echo "FAIL [$scenario] $*"
  failures=$((failures + 1))
  return 1
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# ---------------------------------------------------------------------------------------------
# The registry, files and images

# reg_value KEY NAME [32|64]: a value's data in UTF-8, a number in decimal (NAME "" for the
# default value); nothing, and status 1, when there is none. (`reg query` would print through
# the console's code page and lose the letters outside it.)
reg_value() { wine "$tool" value "$@" 2>/dev/null | tr -d '\r'; }
reg_exists() { wine reg query "$1" ${2:+/reg:$2} >/dev/null 2>&1; }
unix_path() { winepath -u "$1" 2>/dev/null; }

# The machine type in an image's PE header: 014c (x86) or 8664 (x64).
machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
machine_of() { case $1 in x86) echo 014c ;; x64) echo 8664 ;; esac; }

# One Excel record of a disabled item, as hex for `reg add /t REG_BINARY`: the kind, the sizes
# of the two UTF-16 strings with their NULs, the strings (the layout Excel 2007 to 365 write).
record() {
  local path name
  path=$(printf '%s\0' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n')
  name=$(printf '%s\0' "$3" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n')
  le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
  echo "$(le32 "$1")$(le32 $((${#path} / 2)))$(le32 $((${#name} / 2)))$path$name"
}

# ---------------------------------------------------------------------------------------------
# Excel, the installer and the uninstaller

# put_excel x86|x64 [32|64|none] [LAYOUT]: the stand-in Excel of that bitness, where Office puts
# it (Office14 as 2010 does, or root\Office16 as Click-to-Run 2016 to 365 does), listed under
# App Paths in the machine's registry view given (default: the one Office uses; none: not listed).
excel=""
put_excel() {
  local host=$host_x86 office='C:\Program Files\Microsoft Office' view=${2:-} folder
  if [ "$1" = x64 ]; then
    host=$host_x64
    view=${view:-64}
  elif [ "$prefix_bits" = 64 ]; then
    office='C:\Program Files (x86)\Microsoft Office'
  fi
  view=${view:-32}
  folder="$office\\${3:-Office14}"
  mkdir -p "$(unix_path "$folder")"
  cp "$host" "$(unix_path "$folder")/EXCEL.EXE"
  excel="$folder\\EXCEL.EXE"
  [ "$view" = none ] && return
  wine reg add "HKLM\\$app_paths" /ve /d "$excel" /f "/reg:$view" >/dev/null
  wine reg add "HKLM\\$app_paths" /v Path /d "$folder" /f "/reg:$view" >/dev/null
}

# install ARGS...: the installer, silent, with ARGS after /S. Sets install_status, install_ms.
install() {
  local start
  start=$(now_ms)
  install_status=0
  wine "$installer" /S "$@" >/dev/null 2>&1 || install_status=$?
  install_ms=$(($(now_ms) - start))
}

# install_into FOLDER: the same with /D=FOLDER, passed as Windows passes it (last, unquoted).
install_into() {
  local start
  start=$(now_ms)
  install_status=0
  CORNICE_COMMAND_LINE="\"$(windows_path "$installer")\" /S /D=$1" wine "$tool" run >/dev/null 2>&1 ||
    install_status=$?
  install_ms=$(($(now_ms) - start))
}

# uninstall: runs the QuietUninstallString of the Add/Remove Programs entry, as deployment tools
# do. The uninstaller copies itself to the temporary folder and goes on from there, so that it
# can delete itself; this waits until that copy has finished. Sets uninstall_ms.
uninstall() {
  local command start
  command=$(reg_value "$arp_key" QuietUninstallString) || { fail "no Add/Remove Programs entry to uninstall with"; return 1; }
  start=$(now_ms)
  CORNICE_COMMAND_LINE="$command" wine "$tool" run >/dev/null 2>&1 || { fail "the uninstaller did not start: $command"; return 1; }
  wine "$tool" wait-gone Un.exe || fail "the uninstaller is still running after a minute"
  uninstall_ms=$(($(now_ms) - start))
}

# loads_addin [ARGS...]: "Excel" (given ARGS, such as --release 16) starts, loads the add-in and
# gets the Classic tab. The document is kept in $WINEPREFIX/ribbon.xml.
loads_addin() {
  local status=0 out="$WINEPREFIX/ribbon.xml"
  rm -f "$out"
  wine "$excel" --ribbon-out "$(windows_path "$out")" "$@" >"$WINEPREFIX/excel.txt" 2>&1 || status=$?
  [ "$status" = 0 ] || { fail "Excel (excel-host) ended with $status: $(tr -d '\r' <"$WINEPREFIX/excel.txt" | head -c 400)"; return 1; }
  grep -q '<tab id="Menus" label="Classic"' "$out" || fail "Excel's ribbon has no Classic tab: $(head -c 200 "$out")"
}

# The reason for a failure that a silent installation writes down.
setup_log() {
  local temp
  temp=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
  iconv -f UTF-16 -t UTF-8 "$(unix_path "$temp")/Cornice-setup.log" 2>/dev/null | tr -d '\r'
}

# ---------------------------------------------------------------------------------------------
# What an installation leaves

# installed BITNESS [FOLDER]: everything of the installation is in place, for that bitness.
installed() {
  local bitness=$1 expected_folder=${2:-} folder unix appdata menu
  [ "$install_status" = 0 ] || { fail "the installer ended with $install_status: $(setup_log)"; return 1; }
  folder=$(reg_value "$arp_key" InstallLocation) || { fail "no Add/Remove Programs entry"; return 1; }
  if [ -n "$expected_folder" ]; then
    [ "$folder" = "$expected_folder" ] || fail "installed into '$folder', not '$expected_folder'"
  else
    local local_appdata
    local_appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
    [ "$folder" = "$local_appdata\\Programs\\Cornice" ] || fail "installed into '$folder', not the user's programs folder"
  fi
  unix=$(unix_path "$folder")
  for file in Corbel.dll Trellis.exe HAND-M.CUR x/o.cjs Xtreme/Office2007.cjstyles Uninstall.exe; do
    [ -f "$unix/$file" ] || fail "$file is missing from $folder"
  done
  [ "$(machine "$unix/Corbel.dll")" = "$(machine_of "$bitness")" ] || fail "Corbel.dll is $(machine "$unix/Corbel.dll"), not $bitness"
  [ "$(machine "$unix/Trellis.exe")" = "$(machine_of "$bitness")" ] || fail "Trellis.exe is $(machine "$unix/Trellis.exe"), not $bitness"

  # Start > Programs > Cornice > "Cornice" and "Uninstall Cornice", as the add-in's message says.
  appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
  menu=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Cornice")
  [ -f "$menu/Cornice.lnk" ] || fail "no Start menu shortcut Cornice"
  [ -f "$menu/Uninstall Cornice.lnk" ] || fail "no Start menu shortcut Uninstall Cornice"
  [ "$(ls "$menu" 2>/dev/null | wc -l)" = 2 ] || fail "the Start menu folder holds $(ls "$menu" | tr '\n' ' ')"
  strings -e l "$menu/Cornice.lnk" 2>/dev/null | grep 'Trellis\.exe' >/dev/null || grep -aq 'Trellis\.exe' "$menu/Cornice.lnk" ||
    fail "the shortcut Cornice does not lead to Trellis.exe"

  [ "$(reg_value "$arp_key" DisplayName)" = Cornice ] || fail "DisplayName '$(reg_value "$arp_key" DisplayName)'"
  [ "$(reg_value "$arp_key" DisplayVersion)" = "$display_version" ] || fail "DisplayVersion '$(reg_value "$arp_key" DisplayVersion)'"
  [ "$(reg_value "$arp_key" Publisher)" = Quillmark ] || fail "Publisher '$(reg_value "$arp_key" Publisher)'"
  [ "$(reg_value "$arp_key" UninstallString)" = "\"$folder\\Uninstall.exe\"" ] || fail "UninstallString '$(reg_value "$arp_key" UninstallString)'"
  local size
  size=$(reg_value "$arp_key" EstimatedSize)
  [ "${size:-0}" -ge 500 ] && [ "${size:-0}" -le 5000 ] || fail "EstimatedSize ${size:-none} KB"

  # The registration: Excel's entry, and the class pointing at this Corbel.dll.
  [ "$(reg_value "$addin_key" LoadBehavior)" = 3 ] || fail "LoadBehavior '$(reg_value "$addin_key" LoadBehavior)'"
  [ "$(reg_value "$addin_key" FriendlyName)" = Architrave ] || fail "FriendlyName '$(reg_value "$addin_key" FriendlyName)'"
  [ "$(reg_value "$clsid_key\\InprocServer32" "")" = "$folder\\Corbel.dll" ] ||
    fail "the class's server is '$(reg_value "$clsid_key\\InprocServer32" "")'"
  local platform=win32
  [ "$bitness" = x64 ] && platform=win64
  [ "$(reg_value "$typelib_key\\$platform" "")" = "$folder\\Corbel.dll" ] || fail "no $platform type library entry"
}

# registry_rows: the registry as wineserver saves it, both hives, one "hive [key] | line" a line,
# without the time Wine keeps with each key. It stops the prefix's wineserver to read them.
registry_rows() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  local hive
  for hive in system user; do
    awk -v hive="$hive" '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); key = hive " " key; next }
      /^#/ || NF == 0 { next } { print key " | " $0 }' "$WINEPREFIX/$hive.reg"
  done | LC_ALL=C sort
}
# What changes besides the product between an installation and its removal: the user's settings,
# which stay, Excel's keys that the scenario's stand-in records make, and what Wine itself keeps
# (the console's colours, the display driver's dates).
others_changes='VB and VBA Program Settings|\\Office\\1[2-6]\.0|App Paths\\\\Excel\]|^. user \[Console\]|^. system \[System\\\\CurrentControlSet\\\\(Control\\\\Class|Enum\\\\DISPLAY)\\'

# registry_before: the registry to compare with after removal (nothing_left).
registry_before=""
remember_registry() { registry_before=$(registry_rows); }

# nothing_left: after removal, no file, shortcut, registry key or value of the product is left in
# the prefix, only the user's settings (which the caller checks); and when the registry was
# remembered before the installation, nothing else in it changed either.
nothing_left() {
  reg_exists "$arp_key" && fail "the Add/Remove Programs entry is still there"
  local files
  files=$(cd "$WINEPREFIX/drive_c" && find . \( -iname '*corbel*' -o -iname '*cornice*' -o -iname '*trellis*' \
    -o -iname 'HAND-M.CUR' -o -iname '*.cjs' -o -iname '*.cjstyles' -o -ipath '*/Programs/Uninstall.exe' \) -print)
  [ -z "$files" ] || fail "files left: $files"
  # The registry as wineserver saves it, both views; only Excel's own stand-in may mention Excel.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  local left
  left=$(grep -i -n -E 'corbel|cornice|trellis|1AF9AC43|67C9FEE9|CC933909' "$WINEPREFIX"/*.reg)
  [ -z "$left" ] || fail "registry entries left: $left"
  if [ -n "$registry_before" ]; then
    local changed
    changed=$(diff <(echo "$registry_before") <(registry_rows) | grep '^[<>]' | grep -v -E "$others_changes")
    # All of it beside the prefix, which stays when the test fails.
    echo "$changed" >"$WINEPREFIX/registry-changes.txt"
    [ -z "$changed" ] || fail "installing and removing changed the registry: $(head -c 1500 <<<"$changed")"
    registry_before=""
  fi
}

settings_kept() {
  [ "$(reg_value "$settings_key" All)" = 0 ] || fail "the user's setting All is '$(reg_value "$settings_key" All)', not the stored 0"
}

report() {
  [ "$failures" = "$1" ] && echo "ok   $scenario ($2)" || echo "FAIL $scenario"
}

# ---------------------------------------------------------------------------------------------
# Scenarios

# Install for the Excel found, load, remove, and find the settings again on the next install.
install_for() {
  local bitness=$1 view=${2:-} before=$failures
  put_excel "$bitness" "$view"
  wine reg add "$settings_key" /v All /d 0 /f >/dev/null
  remember_registry
  install
  installed "$bitness" || { report "$before" ""; return; }
  loads_addin
  grep -q 'id="AddAll0"' "$WINEPREFIX/ribbon.xml" && fail "the stored setting All=0 was not applied"
  local first_install=$install_ms
  uninstall
  reg_exists "$addin_key" && fail "Excel's add-in entry is still there"
  settings_kept
  nothing_left
  # Excel no longer finds an add-in to load (exit 3).
  wine "$excel" >/dev/null 2>&1
  [ $? = 3 ] || fail "Excel still found an add-in after removal"

  # A later installation finds the settings the user left.
  install
  installed "$bitness" && loads_addin
  grep -q 'id="AddAll0"' "$WINEPREFIX/ribbon.xml" && fail "the reinstalled add-in ignores the kept setting All=0"
  report "$before" "install ${first_install} ms, uninstall ${uninstall_ms} ms, reinstall ${install_ms} ms"
}

no_excel() {
  local before=$failures
  install
  installed x86 || { report "$before" ""; return; }
  uninstall
  nothing_left
  report "$before" "no Excel: x86, install ${install_ms} ms, uninstall ${uninstall_ms} ms"
}

# A folder with blanks and letters outside any ANSI code page, given with /D=.
unusual_folder() {
  local before=$failures folder='C:\Users\Public\Prográmmé Ω 表\Cornice Тест'
  put_excel x86
  install_into "$folder"
  installed x86 "$folder" || { report "$before" ""; return; }
  loads_addin
  uninstall
  nothing_left
  [ ! -e "$(unix_path "$folder")" ] || fail "the folder $folder is still there"
  [ -d "$(unix_path 'C:\Users\Public\Prográmmé Ω 表')" ] || fail "the uninstaller removed the parent folder, which it did not make"
  report "$before" "$folder"
}

# Excel disabled the add-in after a crash: LoadBehavior 2, and records in DisabledItems for every
# Excel version in $versions. Installing again, and regsvr32 by hand, turn it back on; Excel's
# records of other items stay as they were, byte for byte, and no version key is made.
disable_like_excel() {
  local folder=$1
  wine reg add "$addin_key" /v LoadBehavior /t REG_DWORD /d 2 /f >/dev/null
  local lower
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$folder\\corbel.dll")
  for version in $versions; do
    local key=${resiliency/VERSION/$version}
    wine reg add "$key" /v 5A0F31B2 /t REG_BINARY /d "$(record 1 "$lower" Architrave)" /f >/dev/null
    wine reg add "$key" /v 1C3D4E5F /t REG_BINARY /d "$(record 1 'c:\program files\other\addin.dll' 'Other add-in')" /f >/dev/null
    wine reg add "$key" /v 6B7C8D9E /t REG_BINARY /d "$(record 2 'c:\users\public\corbel.dll' 'corbel.dll')" /f >/dev/null
    wine reg add "$key" /v 2E3F4A5B /t REG_BINARY /d 0100000040 /f >/dev/null
    wine reg add "$key" /v Note /d "$lower" /f >/dev/null
  done
}
others_untouched() {
  for version in $versions; do
    local key=${resiliency/VERSION/$version} listing
    listing=$(wine reg query "$key" 2>/dev/null | tr -d '\r' | sed -n 's/^    //p' | sort)
    grep -q '^5A0F31B2 ' <<<"$listing" && fail "$version: our record is still there"
    local expected
    expected=$(printf '%s\n' \
      "1C3D4E5F    REG_BINARY    $(record 1 'c:\program files\other\addin.dll' 'Other add-in' | tr a-f A-F)" \
      "2E3F4A5B    REG_BINARY    0100000040" \
      "6B7C8D9E    REG_BINARY    $(record 2 'c:\users\public\corbel.dll' 'corbel.dll' | tr a-f A-F)" \
      "Note    REG_SZ    $(tr '[:upper:]' '[:lower:]' <<<"$1\\corbel.dll")" | sort)
    [ "$listing" = "$expected" ] || fail "$version: Excel's other records changed: $listing"
  done
}
repair() {
  local before=$failures folder
  put_excel "${1:-x86}"
  install
  installed "${1:-x86}" || { report "$before" ""; return; }
  folder=$(reg_value "$arp_key" InstallLocation)

  disable_like_excel "$folder"
  wine "$excel" >/dev/null 2>&1
  [ $? = 3 ] || fail "the stand-in Excel loaded the add-in that Excel disabled (the test's disabling does not hold)"
  # Each release's records alone keep that release from loading it.
  wine reg add "$addin_key" /v LoadBehavior /t REG_DWORD /d 3 /f >/dev/null
  for release in $versions; do
    wine "$excel" --release "$release" >/dev/null 2>&1
    [ $? = 3 ] || fail "the stand-in Excel $release loaded the add-in that its Disabled Items hold"
  done
  install
  [ "$install_status" = 0 ] || fail "installing over the disabled add-in ended with $install_status"
  [ "$(reg_value "$addin_key" LoadBehavior)" = 3 ] || fail "the installer left LoadBehavior '$(reg_value "$addin_key" LoadBehavior)'"
  others_untouched "$folder"
  for release in $versions; do loads_addin --release "$release"; done

  # regsvr32 by hand, the way of every other path (the settings window's OK runs the same), on a
  # machine that never had Excel 2007: its version key is not made.
  wine reg delete 'HKCU\Software\Microsoft\Office\12.0' /f >/dev/null 2>&1
  local versions='14.0 15.0 16.0'
  disable_like_excel "$folder"
  wine regsvr32 /s "$folder\\Corbel.dll"
  [ "$(reg_value "$addin_key" LoadBehavior)" = 3 ] || fail "regsvr32 left LoadBehavior '$(reg_value "$addin_key" LoadBehavior)'"
  others_untouched "$folder"
  reg_exists 'HKCU\Software\Microsoft\Office\12.0' && fail "registration made Excel 2007's key"
  loads_addin --release 16

  # Removal takes Excel's records of the add-in too, and nothing else of Excel's.
  disable_like_excel "$folder"
  uninstall
  others_untouched "$folder"
  report "$before" "${1:-x86}"
}

# Click-to-Run Office 2016 to 365: Excel below root\Office16, and the configuration naming the
# kind of Office (in the 64-bit view on 64-bit Windows). With App Paths the installer reads the
# program, as for 2010; without, the configuration decides.
click_to_run() {
  local before=$failures
  put_excel "$1" "${2:-}" 'root\Office16'
  wine reg add "$click_to_run" /v Platform /d "$1" /f "/reg:$prefix_bits" >/dev/null
  install
  installed "$1" || { report "$before" ""; return; }
  loads_addin --release 16
  uninstall
  nothing_left
  report "$before" "Click-to-Run $1 Excel${2:+, no App Paths}, install ${install_ms} ms"
}

# The administrator's choice beats the Excel found; a wrong choice changes nothing.
override() {
  local before=$failures
  put_excel x64
  install /BITNESS=x86
  installed x86 || { report "$before" ""; return; }
  # Over it, the other bitness: the old registration goes, the new one stands alone.
  install /BITNESS=x64
  installed x64
  reg_exists "$typelib_key\\win32" && fail "the x86 type library entry survived the change to x64"
  loads_addin
  install /BITNESS=arm
  [ "$install_status" = 2 ] || fail "/BITNESS=arm ended with $install_status, not 2"
  [ "$(setup_log)" = '/BITNESS= takes x86 or x64, not "arm".' ] || fail "the log says '$(setup_log)'"
  [ "$(machine "$(unix_path "$(reg_value "$arp_key" InstallLocation)")/Corbel.dll")" = 8664 ] ||
    fail "/BITNESS=arm changed the installed Corbel.dll"
  uninstall
  nothing_left
  report "$before" "/BITNESS=x86 under x64 Excel, then x64 over it"
}

# On 32-bit Windows there is no x64 to force.
override_refused() {
  local before=$failures
  install /BITNESS=x64
  [ "$install_status" = 2 ] || fail "/BITNESS=x64 on 32-bit Windows ended with $install_status, not 2"
  [ "$(setup_log)" = "The 64-bit Cornice (/BITNESS=x64) needs 64-bit Windows." ] || fail "the log says '$(setup_log)'"
  reg_exists "$arp_key" && fail "/BITNESS=x64 on 32-bit Windows installed something"
  report "$before" "/BITNESS=x64 on 32-bit Windows refused"
}

# hold FILE: a process holds the file open without sharing it, as Windows keeps a loaded DLL or a
# running program from being written (Wine does not, but it honours share modes); release ends it.
holder=""
hold() {
  local flag="$WINEPREFIX/drive_c/held" waited=0
  rm -f "$flag"
  wine "$tool" hold "$1" 'C:\held' &
  holder=$!
  while [ ! -e "$flag" ] && [ "$waited" -lt 600 ] && kill -0 "$holder" 2>/dev/null; do
    sleep 0.1
    waited=$((waited + 1))
  done
  [ -e "$flag" ] || fail "the helper did not come to hold $1 within a minute"
}
release() {
  rm -f "$WINEPREFIX/drive_c/held"
  wait "$holder" || fail "the helper holding a file ended with $?"
}

# uninstall_in_place FOLDER: the folder's uninstaller, silent and waited for (_?= runs it where it
# is, as the installer does for an earlier folder), so that its exit code shows. Sets uninstall_status.
uninstall_in_place() {
  uninstall_status=0
  CORNICE_COMMAND_LINE="\"$1\\Uninstall.exe\" /S _?=$1" wine "$tool" run >/dev/null 2>&1 || uninstall_status=$?
}

# Excel runs with the add-in loaded, or the settings window is left open: the installer finds
# Corbel.dll or Trellis.exe in use before it changes anything, and so does the uninstaller; silent,
# either ends with 2 and the reason in the log, leaving the installation whole. A failed
# unregistration ends a silent removal with 2 as well.
in_use() {
  local before=$failures folder unix
  put_excel x86
  install
  installed x86 || { report "$before" ""; return; }
  folder=$(reg_value "$arp_key" InstallLocation)
  unix=$(unix_path "$folder")
  # A mark after each image, which a replaced file would not carry (NSIS keeps file times).
  printf 'older copy' >>"$unix/Corbel.dll"
  printf 'older copy' >>"$unix/Trellis.exe"
  local file holder_name
  for file in Corbel.dll Trellis.exe; do
    holder_name=Excel
    [ "$file" = Trellis.exe ] && holder_name=Cornice
    hold "$folder\\$file"
    install
    [ "$install_status" = 2 ] || fail "installing over a $file in use ended with $install_status, not 2"
    [ "$(setup_log)" = "$folder\\$file is in use, most likely by $holder_name: close $holder_name and install again. Nothing was changed." ] ||
      fail "the log says '$(setup_log)'"
    uninstall_in_place "$folder"
    [ "$uninstall_status" = 2 ] || fail "removing with a $file in use ended with $uninstall_status, not 2"
    [ "$(setup_log)" = "$folder\\$file is in use, most likely by $holder_name: close $holder_name and uninstall again. Nothing was changed." ] ||
      fail "the uninstaller's log says '$(setup_log)'"
    release
    [ "$(tail -c 10 "$unix/Corbel.dll" | tr -d '\0')" = 'older copy' ] || fail "Corbel.dll was replaced while $file was in use"
    [ "$(tail -c 10 "$unix/Trellis.exe" | tr -d '\0')" = 'older copy' ] || fail "Trellis.exe was replaced while $file was in use"
  done
  install_status=0 # the refused runs'; what follows checks the installation they left
  installed x86 "$folder" && loads_addin
  # Excel closed: the installation goes through.
  install
  installed x86 "$folder"
  [ "$(tail -c 10 "$unix/Corbel.dll" | tr -d '\0')" = 'older copy' ] && fail "Corbel.dll was not replaced once it was free"
  [ "$(tail -c 10 "$unix/Trellis.exe" | tr -d '\0')" = 'older copy' ] && fail "Trellis.exe was not replaced once it was free"
  # A Corbel.dll that regsvr32 cannot load: the files go, and the exit code says what stayed.
  printf 'not an image' >"$unix/Corbel.dll"
  uninstall_in_place "$folder"
  [ "$uninstall_status" = 2 ] || fail "a removal whose unregistration failed ended with $uninstall_status, not 2"
  grep -q 'Corbel.dll could not be unregistered' <<<"$(setup_log)" || fail "the uninstaller's log says '$(setup_log)'"
  rm -f "$unix/Uninstall.exe" && rmdir "$unix"
  # The registration it could not undo (Wine mirrors the classes to the machine).
  local root key
  for root in HKCU HKLM; do
    for key in "${class_keys[@]}"; do wine reg delete "$root\\Software\\Classes\\$key" /f >/dev/null 2>&1; done
  done
  nothing_left
  report "$before" "installation and removal with Corbel.dll or Trellis.exe in use refused"
}

# Installed once elsewhere: a new folder takes over and the old one goes.
moved() {
  local before=$failures old='C:\Users\Public\Cornice old' new
  put_excel x86
  install_into "$old"
  installed x86 "$old" || { report "$before" ""; return; }
  # The directory page (and a plain /S) offers the earlier folder; /D= names another.
  new='C:\Users\Public\Cornice new'
  install_into "$new"
  installed x86 "$new" && loads_addin
  [ ! -e "$(unix_path "$old")" ] || fail "the earlier folder $old is still there"
  uninstall
  nothing_left
  report "$before" "from $old to $new"
}

# ---------------------------------------------------------------------------------------------
# The Windows Installer packages, for all users of the machine (built beside the installer)

msi_x86=${installer%-setup.exe}-x86.msi
msi_x64=${installer%-setup.exe}-x64.msi
make_msi=$(dirname "$installer")/make-msi.sh
uninstall_keys='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
machine_addin='HKLM\Software\Microsoft\Office\Excel\Addins\Corbel.Connect'
machine_classes='HKLM\Software\Classes'
class_keys=('CLSID\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}' 'Corbel.Connect'
  'TypeLib\{67C9FEE9-AA4A-454B-87B1-7AD7C73F9F45}' 'Interface\{CC933909-3BB1-4860-8AA0-A8E6DFBD01F8}')

# msiexec ARGS...: Wine's msiexec, waited for, with a verbose log in $WINEPREFIX/msi.log. Wine
# cuts a process's exit code to 8 bits (1603 would read 67): cmd reads the whole one. Sets
# msi_status and msi_ms.
msiexec() {
  local start batch="$WINEPREFIX/drive_c/run-msiexec.bat"
  [ -f "$batch" ] || printf '@start /wait msiexec %%*\r\n@echo %%ERRORLEVEL%%\r\n' >"$batch"
  start=$(now_ms)
  msi_status=$(wine cmd /c 'C:\run-msiexec.bat' "$@" /l*v "$(windows_path "$WINEPREFIX/msi.log")" 2>/dev/null |
    tr -d '\r' | tail -n 1)
  msi_ms=$(($(now_ms) - start))
}

# The Add/Remove Programs entries that Windows Installer made for Cornice: "VERSION VIEW" lines.
msi_products() {
  local view key
  for view in 32 64; do
    [ "$view" = 64 ] && [ "$prefix_bits" = 32 ] && continue
    wine reg query "$uninstall_keys" "/reg:$view" 2>/dev/null | tr -d '\r' | grep '{' |
      sed 's/^HKEY_LOCAL_MACHINE/HKLM/' | while read -r key; do
      [ "$(reg_value "$key" DisplayName "$view")" = Cornice ] && echo "$(reg_value "$key" DisplayVersion "$view") $view"
    done
  done
}

# msi_installed x86|x64 [VERSION]: the package of that bitness is installed, as it should be.
msi_installed() {
  local bitness=$1 version=${2:-$product_version} view=32 other=64 folder unix
  [ "$msi_status" = 0 ] || { fail "msiexec /i ended with '$msi_status'"; return 1; }
  folder='C:\Program Files\Cornice'
  if [ "$bitness" = x64 ]; then
    view=64 other=32
  elif [ "$prefix_bits" = 64 ]; then
    folder='C:\Program Files (x86)\Cornice'
  fi
  unix=$(unix_path "$folder")
  for file in Corbel.dll Trellis.exe HAND-M.CUR x/o.cjs Xtreme/Office2007.cjstyles; do
    [ -f "$unix/$file" ] || fail "$file is missing from $folder"
  done
  [ "$(machine "$unix/Corbel.dll")" = "$(machine_of "$bitness")" ] || fail "Corbel.dll is $(machine "$unix/Corbel.dll"), not $bitness"
  [ "$(machine "$unix/Trellis.exe")" = "$(machine_of "$bitness")" ] || fail "Trellis.exe is $(machine "$unix/Trellis.exe"), not $bitness"

  # Excel's entry for all users and the class, in the view of Excel of this bitness, and only there.
  [ "$(reg_value "$machine_addin" LoadBehavior $view)" = 3 ] || fail "machine LoadBehavior '$(reg_value "$machine_addin" LoadBehavior $view)' in the $view-bit view"
  [ "$(reg_value "$machine_addin" CommandLineSafe $view)" = 0 ] || fail "machine CommandLineSafe '$(reg_value "$machine_addin" CommandLineSafe $view)'"
  [ "$(reg_value "$machine_addin" FriendlyName $view)" = Architrave ] || fail "machine FriendlyName '$(reg_value "$machine_addin" FriendlyName $view)'"
  [ "$(reg_value "$machine_addin" Description $view)" = "Add-In Project Template" ] || fail "machine Description '$(reg_value "$machine_addin" Description $view)'"
  [ "$(reg_value "$machine_classes\\${class_keys[0]}\\InprocServer32" "" $view)" = "$folder\\Corbel.dll" ] ||
    fail "the machine's class server is '$(reg_value "$machine_classes\\${class_keys[0]}\\InprocServer32" "" $view)'"
  local platform=win32
  [ "$bitness" = x64 ] && platform=win64
  [ "$(reg_value "$machine_classes\\${class_keys[2]}\\1.0\\0\\$platform" "" $view)" = "$folder\\Corbel.dll" ] || fail "no $platform type library entry"
  if [ "$prefix_bits" = 64 ]; then
    reg_exists "$machine_addin" $other && fail "Excel's machine entry is in the $other-bit view too"
    reg_exists "$machine_classes\\${class_keys[0]}" $other && fail "the class is in the $other-bit view too"
  fi
  # Nothing for the installing user alone.
  reg_exists "$addin_key" && fail "the package wrote a per-user add-in entry"
  reg_exists "$clsid_key" && fail "the package wrote a per-user class"

  # Start > Programs > Cornice (Wine puts all users' shortcuts into the user's Start menu).
  local menus
  menus=$(cd "$WINEPREFIX/drive_c" && find . -ipath '*/Start Menu/Programs/Cornice/*.lnk' | sort | tr '\n' ' ')
  case $menus in *'/Cornice.lnk '*'/Uninstall Cornice.lnk '*) ;; *) fail "Start menu: '$menus'" ;; esac
  [ "$(msi_products | cut -d' ' -f1)" = "$version" ] || fail "Add/Remove Programs lists '$(msi_products | tr '\n' ';')', not $version once"
  msi_folder=$folder msi_view=$view
}

# A Trellis of the installation, for this user: OK with the first box ticked takes away what
# switched the add-in off for the user (Excel's records, the user's LoadBehavior 2) and says
# "Installation complete."; with it clear, it saves and says nothing; neither registers.
trellis_for_user() {
  local trellis="$msi_folder\\Trellis.exe" text
  disable_like_excel "$msi_folder"
  wine "$excel" >/dev/null 2>&1
  [ $? = 3 ] || fail "the stand-in Excel loaded the add-in that the user's entry switched off"
  # Trellis starts "Excel" when it closes; Wine 8 looks up App Paths under the name as given.
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Excel' /ve /d "$excel" /f "/reg:$msi_view" >/dev/null
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null # a display for the windows (see PLATFORM-NOTES)
  wine "$trellis" >/dev/null 2>&1 &
  wine "$tool" press TrellisForm1 1 >/dev/null 2>&1 || fail "no Trellis window"
  text=$(wine "$tool" message Trellis 2>/dev/null | tr -d '\r' | tail -n +2)
  [ "$text" = "Installation complete." ] || fail "Trellis said '$text'"
  wine "$tool" answer Trellis >/dev/null 2>&1
  wine "$tool" wait-gone Trellis.exe >/dev/null 2>&1 || fail "Trellis is still open after its message"
  wine "$tool" wait-gone EXCEL.EXE >/dev/null 2>&1
  reg_exists "$addin_key" && fail "the user's LoadBehavior override is still there"
  reg_exists "$clsid_key" && fail "Trellis registered the add-in for the user"
  others_untouched "$msi_folder"
  loads_addin
  grep -q '(for all users)' "$WINEPREFIX/excel.txt" || fail "the stand-in did not load the machine's entry: $(head -c 300 "$WINEPREFIX/excel.txt")"

  # Left and All would tick the first box again (CheckBoxRules.h).
  for name in Classic Left All; do wine reg add "$settings_key" /v $name /d 0 /f >/dev/null; done
  wine "$trellis" >/dev/null 2>&1 &
  wine "$tool" press TrellisForm1 1 >/dev/null 2>&1 || fail "no Trellis window"
  # A message box would keep Trellis open.
  wine "$tool" wait-gone Trellis.exe >/dev/null 2>&1 || fail "Trellis is still open: $(wine "$tool" message Trellis 2>/dev/null | tail -n +2)"
  wine "$tool" wait-gone EXCEL.EXE >/dev/null 2>&1
  [ "$(reg_value "$settings_key" Classic)" = 0 ] || fail "Trellis did not keep Classic 0"
  reg_exists "$addin_key" && fail "Trellis with the first box clear wrote a per-user entry"
  [ "$(reg_value "$machine_addin" LoadBehavior "$msi_view")" = 3 ] || fail "Trellis changed the machine's entry"
  for name in Classic Left All; do wine reg delete "$settings_key" /v $name /f >/dev/null; done
  wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Excel' /f "/reg:$msi_view" >/dev/null
  for version in $versions; do wine reg delete "${resiliency/VERSION/$version}" /f >/dev/null; done
}

# The package's rows are what Corbel.dll's own registration writes, and stay the package's:
# regsvr32 of the installed library, as an administrator's repair runs it, writes its rows over
# the package's and changes none (but HELPDIR's closing backslash, which wixl cannot drop),
# writes nothing for the user alone, and regsvr32 /u takes none of them away.
rows_match_registration() {
  local before after
  # "key | value" lines, sorted: the order in which values were written does not matter.
  machine_rows() {
    local key
    { for key in "${class_keys[@]}"; do wine reg query "$machine_classes\\$key" /s; done
      wine reg query "$machine_addin" /s; } 2>&1 | tr -d '\r' |
      sed 's/^\(    (Default)    REG_SZ    .*\)\\$/\1/' | awk '/^HKEY/ { key = $0; next } NF { print key " | " $0 }' | sort
  }
  before=$(machine_rows)
  grep -q 'InprocServer32 | ' <<<"$before" && grep -q 'LoadBehavior' <<<"$before" ||
    fail "no rows to compare: $(head -c 300 <<<"$before")"
  wine regsvr32 /s "$msi_folder\\Corbel.dll" || fail "regsvr32 on the installed library failed"
  after=$(machine_rows)
  [ "$before" = "$after" ] || fail "the package's rows differ from the library's: $(diff <(echo "$before") <(echo "$after") | head -20)"
  reg_exists "$addin_key" && fail "regsvr32 of the package's copy wrote a per-user add-in entry"
  reg_exists "$clsid_key" && fail "regsvr32 of the package's copy wrote a per-user class"
  wine regsvr32 /u /s "$msi_folder\\Corbel.dll" || fail "regsvr32 /u on the installed library failed"
  after=$(machine_rows)
  [ "$before" = "$after" ] || fail "regsvr32 /u took the package's rows: $(diff <(echo "$before") <(echo "$after") | head -20)"
}

# Install, check, use, compare, remove: the package of that bitness in this prefix.
msi_for() {
  local bitness=$1 msi=$msi_x86 before=$failures
  [ "$bitness" = x64 ] && msi=$msi_x64
  put_excel "$bitness"
  remember_registry
  msiexec /i "$(windows_path "$msi")" /qn
  local installed_ms=$msi_ms
  msi_installed "$bitness" || { report "$before" ""; return; }
  loads_addin
  grep -q 'id="AddAll0"' "$WINEPREFIX/ribbon.xml" || fail "not the default document: no All menu"
  trellis_for_user
  [ "$bitness" = x86 ] && [ "$prefix_bits" = 32 ] && rows_match_registration
  wine reg add "$settings_key" /v All /d 0 /f >/dev/null
  msiexec /x "$(windows_path "$msi")" /qn
  [ "$msi_status" = 0 ] || fail "msiexec /x ended with '$msi_status'"
  settings_kept
  nothing_left
  report "$before" "install ${installed_ms} ms, uninstall ${msi_ms} ms"
}

# A newer package replaces an older one; an older one is refused over a newer one (1603).
msi_upgrade() {
  local before=$failures older="$WINEPREFIX/Cornice-6.9-x86.msi"
  sh "$make_msi" x86 6.9.0 "$older" >/dev/null || { fail "cannot make the older package"; report "$before" ""; return; }
  put_excel x86
  msiexec /i "$(windows_path "$older")" /qn
  msi_installed x86 6.9.0 || { report "$before" ""; return; }
  msiexec /i "$(windows_path "$msi_x86")" /qn
  msi_installed x86
  loads_addin
  msiexec /i "$(windows_path "$older")" /qn
  [ "$msi_status" = 1603 ] || fail "the older package over the newer one ended with '$msi_status', not 1603"
  [ "$(msi_products)" = "$product_version 32" ] || fail "after the refused downgrade Add/Remove Programs lists '$(msi_products | tr '\n' ';')'"
  msiexec /x "$(windows_path "$msi_x86")" /qn
  [ "$msi_status" = 0 ] || fail "msiexec /x ended with '$msi_status'"
  nothing_left
  report "$before" "6.9.0 to $product_version, then 6.9.0 refused"
}

# Per user and for all users exclude each other, both ways, and so do the two packages.
msi_refusals() {
  local before=$failures
  put_excel x86
  install
  [ "$install_status" = 0 ] || { fail "the per-user installation failed"; report "$before" ""; return; }
  msiexec /i "$(windows_path "$msi_x86")" /qn
  [ "$msi_status" = 1603 ] || fail "the package over a per-user installation ended with '$msi_status', not 1603"
  reg_exists "$machine_addin" && fail "the refused package installed something"
  uninstall

  msiexec /i "$(windows_path "$msi_x86")" /qn
  msi_installed x86 || { report "$before" ""; return; }
  install
  [ "$install_status" = 2 ] || fail "the per-user installer over the package ended with $install_status, not 2"
  [ "$(setup_log)" = "Cornice is installed for all users of this computer: ask your administrator for it, or remove that installation (Add/Remove Programs) before installing Cornice for yourself." ] ||
    fail "the log says '$(setup_log)'"
  # The log is the administrator's to read; it stays where the refused run wrote it.
  rm -f "$(unix_path "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')")/Cornice-setup.log"
  reg_exists "$arp_key" && fail "the refused per-user installer installed something"
  if [ "$prefix_bits" = 64 ]; then
    msiexec /i "$(windows_path "$msi_x64")" /qn
    [ "$msi_status" = 1603 ] || fail "the x64 package over the x86 one ended with '$msi_status', not 1603"
    reg_exists "$machine_addin" 64 && fail "the refused x64 package installed something"
  fi
  msiexec /x "$(windows_path "$msi_x86")" /qn
  nothing_left
  report "$before" "per user and for all users, both ways$([ "$prefix_bits" = 64 ] && echo "; x64 over x86")"
}

for name in "$@"; do
  scenario=$name
  case $name in
    x86-excel) install_for x86 ;;
    x64-excel) install_for x64 ;;
    x86-excel-on-x64) install_for x86 32 ;;
    click-to-run-x64) click_to_run x64 ;;
    click-to-run-x64-no-app-paths) click_to_run x64 none ;;
    no-excel) no_excel ;;
    unusual-folder) unusual_folder ;;
    repair) repair x86 ;;
    repair-x64) repair x64 ;;
    override) override ;;
    override-refused) override_refused ;;
    moved) moved ;;
    in-use) in_use ;;
    msi-x86) msi_for x86 ;;
    msi-x64) msi_for x64 ;;
    msi-upgrade) msi_upgrade ;;
    msi-refusals) msi_refusals ;;
    *) fail "no such scenario" ;;
  esac
done
exit "$failures"
