; Cornice's installer: one program for x86 and x64 Excel, per user, no administrator rights.
;
; It carries both builds of Corbel.dll and Trellis.exe and installs the pair that matches the
; Excel it finds (or the one an administrator names with /BITNESS=x86 or /BITNESS=x64), with the
; hand pointer and the style files, into one folder under the user's local programs folder;
; makes the Start menu folder "Cornice", an entry in Add/Remove Programs and the uninstaller;
; and registers the add-in with regsvr32, waiting for it and checking what it left.
;
; Built by CMake (installer/CMakeLists.txt), which defines:
;   VERSION, VERSION_MAJOR, VERSION_MINOR  the product's version ("7.0", 7, 0)
;   OUTFILE                                 the installer to write
;   X86_CORBEL, X86_TRELLIS                 the x86 builds of Corbel.dll and Trellis.exe
;   X64_CORBEL, X64_TRELLIS                 the x64 builds
;   X86_PAIR_KB, X64_PAIR_KB                the size of each pair in KB
;   ART_DIR                                 installer/: HAND-M.CUR, x\o.cjs, Xtreme\Office2007.cjstyles
;   ICON                                    the program's icon
;   FACTS                                   AddInFacts.nsh: the add-in's ProgID and Excel's key,
;                                           regsvr32's exit codes and the words for them
;
; Exit codes: 0 installed, 1 cancelled by the user, 2 failed. The reason for a failure is shown,
; and in silent mode (/S) written to %TEMP%\Cornice-setup.log (UTF-16). A Corbel.dll or a
; Trellis.exe in use (Excel or the settings window running) is found before anything changes,
; by the installer and the uninstaller alike: Retry or Cancel, or in silent mode exit 2.

Unicode true
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh
!include MUI2.nsh

!define PRODUCT "Cornice"
!define PUBLISHER "Quillmark"
!define WEBSITE "http://www.quillmark.example/"
!define UNINSTALLER "Uninstall.exe"
; Add/Remove Programs reads per-user entries from here as well as from the machine's.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Cornice"
; Excel's per-user entry for the add-in, written by the add-in's own registration.
!include "${FACTS}"
!define ADDIN_KEY "${ExcelAddInsKey}\${ProgId}"
; The add-in's COM class, below a Classes key.
!define CLASS_KEY "CLSID\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}"
; Where the shell looks up "excel.exe" (and Office's own installer registers Excel).
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\excel.exe"
; Where Click-to-Run Office (2013 to 365) records its configuration, among it "Platform".
!define CLICK_TO_RUN_KEY "Software\Microsoft\Office\ClickToRun\Configuration"
; IMAGE_FILE_MACHINE_I386 and IMAGE_FILE_MACHINE_AMD64, in decimal for IntCmp.
!define MACHINE_X86 332
!define MACHINE_X64 34404

; A signing build hands in the command that signs a file in place (cmake/Signing.cmake):
; the installer and the uninstaller inside it are signed as makensis writes them.
!ifdef SIGN_CMAKE
  !uninstfinalize '"${SIGN_CMAKE}" -P "${SIGN_SCRIPT}" "%1"' = 0
  !finalize '"${SIGN_CMAKE}" -P "${SIGN_SCRIPT}" "%1"' = 0
!endif

Name "${PRODUCT}"
Caption "$(S_CAPTION)"
OutFile "${OUTFILE}"
; FOLDERID_UserProgramFiles: the per-user counterpart of "Program Files" since Windows 7.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

Var Bitness      ; "x86" or "x64": the Corbel.dll and Trellis.exe to install
Var BitnessNote  ; why that one, for the welcome page and the details
Var ExcelPath    ; the Excel found through App Paths, or ""

; ---------------------------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "$(S_WELCOME_TITLE)"
!define MUI_WELCOMEPAGE_TEXT "$(S_WELCOME_TEXT)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(S_FINISH_TEXT)"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(S_FINISH_RUN)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSettings
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The user's Windows display language chooses, English first as the fallback. Where the country has
; no table of its own NSIS takes its language's (Portugal's Portuguese reads Brazil's, Traditional
; Chinese the Simplified): a choice made after .onInit would come too late for the refusals made
; there. NSIS's own pages come from its language files; our texts from CorniceText.nsh.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"
!include "${__FILEDIR__}/CorniceText.nsh"


; ---------------------------------------------------------------------------------------------
; Helpers shared by the installer and the uninstaller

; ImageMachine: the machine type in the PE header of the image whose path is on the stack
; (332 x86, 34404 x64); 0 when the file cannot be read or is no image. GetBinaryType would
; answer for programs only, and the uninstaller asks about Corbel.dll.
!macro ImageMachineFunction un
Function ${un}ImageMachine
  Exch $0 ; path
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 0
  ; An Excel below the system folder must be read there, not in its 32-bit twin.
  ${DisableX64FSRedirection}
  ClearErrors
  FileOpen $1 $0 r
  StrCpy $2 1
  ${If} ${Errors}
    StrCpy $2 0
  ${EndIf}
  ${EnableX64FSRedirection}
  ${If} $2 = 1
    FileReadByte $1 $2
    FileReadByte $1 $3
    ${If} $2 = 77 ; "MZ"
    ${AndIf} $3 = 90
      ; e_lfanew, at 0x3C: where the "PE\0\0" signature and the file header start.
      FileSeek $1 60 SET
      Push $1
      Call ${un}ReadUInt32
      Pop $2
      FileSeek $1 $2 SET
      Push $1
      Call ${un}ReadUInt32
      Pop $3
      ${If} $3 = 17744 ; "PE\0\0"
        FileReadByte $1 $2
        FileReadByte $1 $3
        IntOp $3 $3 << 8
        IntOp $4 $2 | $3
      ${EndIf}
    ${EndIf}
    FileClose $1
  ${EndIf}
  StrCpy $0 $4
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; ReadUInt32: the little-endian 32-bit number at the position of the file handle on the stack.
Function ${un}ReadUInt32
  Exch $0 ; file handle
  Push $1
  Push $2
  Push $3
  StrCpy $1 0
  StrCpy $2 0
  ${DoWhile} $2 < 32
    ClearErrors
    FileReadByte $0 $3
    ${If} ${Errors}
      StrCpy $3 0
    ${EndIf}
    IntOp $3 $3 << $2
    IntOp $1 $1 | $3
    IntOp $2 $2 + 8
  ${Loop}
  StrCpy $0 $1
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; RunRegistrationTool: runs regsvr32 with the switches on the stack ("/s" or "/u /s") on the
; Corbel.dll of the folder below them, in the DLL's own bitness, and waits for it. Leaves
; regsvr32's exit code on the stack (0: done), or "not started".
;   Push "/s"  Push "$INSTDIR"  Call RunRegistrationTool  Pop $0
Function ${un}RunRegistrationTool
  Exch $0 ; folder
  Exch
  Exch $1 ; switches
  Push $2
  Push "$0\Corbel.dll"
  Call ${un}ImageMachine
  Pop $2
  ; A 32-bit process such as this one gets SysWOW64 for the system folder on 64-bit Windows;
  ; the real System32 holds the 64-bit regsvr32, which a 64-bit DLL needs.
  ${If} $2 = ${MACHINE_X64}
    ${DisableX64FSRedirection}
  ${EndIf}
  StrCpy $2 "not started"
  ClearErrors
  ExecWait '"$SYSDIR\regsvr32.exe" $1 "$0\Corbel.dll"' $2
  ${If} ${Errors}
    StrCpy $2 "not started"
  ${EndIf}
  ${EnableX64FSRedirection}
  StrCpy $0 $2
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro ImageMachineFunction ""
!insertmacro ImageMachineFunction "un."

; In silent mode, where nobody sees a message box, the reason goes into a log for the
; administrator.
!macro LogWhenSilent message
  ${If} ${Silent}
    FileOpen $9 "$TEMP\${PRODUCT}-setup.log" w
    FileWriteUTF16LE /BOM $9 "${message}$\r$\n"
    FileClose $9
  ${EndIf}
!macroend

; Says why the installation cannot go on.
!macro Refuse message
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  !insertmacro LogWhenSilent "${message}"
!macroend

; EnsureFileFree: makes sure that the file whose path is on the stack, below the name of the
; program most likely holding it, can be replaced or removed, before anything is changed. Windows
; refuses to open a loaded DLL or a running program for writing, so an Excel that runs with the
; add-in, or a settings window left open, shows here (the file is opened, never changed). The
; user closes it and retries, or cancels (exit code 1); in silent mode the run ends with exit
; code 2 and the reason in the log, and the installation there stays whole.
;   Push "$INSTDIR\Corbel.dll"  Push "Excel"  Call EnsureFileFree
!macro EnsureFileFreeFunction un text silentText
Function ${un}EnsureFileFree
  Exch $1 ; the program
  Exch
  Exch $0 ; path
  Push $2
  ${If} ${FileExists} $0
    retry:
    ClearErrors
    FileOpen $2 $0 a
    ${If} ${Errors}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(${text})" /SD IDCANCEL IDRETRY retry
      ${If} ${Silent}
        !insertmacro LogWhenSilent "$(${silentText})"
        SetErrorLevel 2
      ${Else}
        SetErrorLevel 1
      ${EndIf}
      Quit
    ${EndIf}
    FileClose $2
  ${EndIf}
  Pop $2
  Pop $0
  Pop $1
FunctionEnd
!macroend
!insertmacro EnsureFileFreeFunction "" S_IN_USE S_IN_USE_SILENT
!insertmacro EnsureFileFreeFunction "un." S_UN_IN_USE S_UN_IN_USE_SILENT

; EnsureFilesFree: the same for the two programs of the folder on the stack.
!macro EnsureFilesFree folder un
  Push "${folder}\Corbel.dll"
  Push "Excel"
  Call ${un}EnsureFileFree
  Push "${folder}\Trellis.exe"
  Push "${PRODUCT}"
  Call ${un}EnsureFileFree
!macroend

; ---------------------------------------------------------------------------------------------
; Which Corbel.dll

; Finds Excel as the shell does for "excel.exe": the user's App Paths first, then the
; machine's, in the 64-bit view before the 32-bit one (32-bit Office on 64-bit Windows may
; register in either). Sets $ExcelPath, or "" when there is none.
Function FindExcel
  StrCpy $ExcelPath ""
  SetRegView 64
  ReadRegStr $0 HKCU "${APP_PATHS_KEY}" ""
  ${If} $0 == ""
    ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  ${EndIf}
  SetRegView 32
  ${If} $0 == ""
    ReadRegStr $0 HKCU "${APP_PATHS_KEY}" ""
  ${EndIf}
  ${If} $0 == ""
    ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  ${EndIf}
  SetRegView default
  ${If} $0 == ""
    Return
  ${EndIf}
  ; The value may be REG_EXPAND_SZ, and some installers put it in quotation marks.
  ExpandEnvStrings $0 $0
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $1 $0 1 -1
    ${If} $1 == '"'
      StrCpy $0 $0 -1
    ${EndIf}
  ${EndIf}
  StrCpy $ExcelPath $0
FunctionEnd

; Sets $0 to the kind of Click-to-Run Office (2013 to 365) that its configuration names, "x86"
; or "x64", or "" when there is none. The Click-to-Run service is a 64-bit program and keeps the
; configuration in the 64-bit view on 64-bit Windows, whatever kind of Office it installed.
Function ClickToRunPlatform
  SetRegView 64
  ReadRegStr $0 HKLM "${CLICK_TO_RUN_KEY}" "Platform"
  ${If} $0 == ""
    SetRegView 32
    ReadRegStr $0 HKLM "${CLICK_TO_RUN_KEY}" "Platform"
  ${EndIf}
  SetRegView default
  ${If} $0 != "x86"
  ${AndIf} $0 != "x64"
    StrCpy $0 ""
  ${EndIf}
  ; A value left over from another machine's image does not make 32-bit Windows run x64 Excel.
  ${If} $0 == "x64"
  ${AndIfNot} ${RunningX64}
    StrCpy $0 ""
  ${EndIf}
FunctionEnd

; Sets $Bitness and $BitnessNote: what /BITNESS= says, else the machine type of Excel's image,
; else the kind of Click-to-Run Office configured, else x86, which is what Office 2007 always is
; and Office 2010 to 2016 install by default.
Function ChooseBitness
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/BITNESS=" $1
  ${IfNot} ${Errors}
    ${If} $1 == "x86"
      StrCpy $Bitness "x86"
    ${ElseIf} $1 == "x64"
      StrCpy $Bitness "x64"
    ${Else}
      !insertmacro Refuse "$(S_BITNESS_BAD)"
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy $BitnessNote "$(S_NOTE_ASKED)"
    Return
  ${EndIf}

  Call FindExcel
  StrCpy $0 0
  ${If} $ExcelPath != ""
    Push $ExcelPath
    Call ImageMachine
    Pop $0
  ${EndIf}
  ${If} $0 = ${MACHINE_X64}
    StrCpy $Bitness "x64"
    StrCpy $BitnessNote "$(S_NOTE_X64_AT)"
    Return
  ${ElseIf} $0 = ${MACHINE_X86}
    StrCpy $Bitness "x86"
    StrCpy $BitnessNote "$(S_NOTE_X86_AT)"
    Return
  ${EndIf}
  Call ClickToRunPlatform
  ${If} $0 == "x64"
    StrCpy $Bitness "x64"
    StrCpy $BitnessNote "$(S_NOTE_C2R_X64)"
  ${ElseIf} $0 == "x86"
    StrCpy $Bitness "x86"
    StrCpy $BitnessNote "$(S_NOTE_C2R_X86)"
  ${ElseIf} $ExcelPath == ""
    StrCpy $Bitness "x86"
    StrCpy $BitnessNote "$(S_NOTE_NONE)"
  ${Else}
    StrCpy $Bitness "x86"
    StrCpy $BitnessNote "$(S_NOTE_UNREADABLE)"
  ${EndIf}
FunctionEnd

Function OpenSettings
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Trellis.exe"'
FunctionEnd

; Stops the installation with `message`.
!macro Fail message
  DetailPrint "${message}"
  !insertmacro Refuse "${message}"
  Abort "${message}"
!macroend

; ---------------------------------------------------------------------------------------------
; Installation

Section "${PRODUCT}" SectionMain
  SectionIn RO
  DetailPrint "$BitnessNote"

  ; A Corbel.dll that Excel has loaded, or a Trellis.exe left open (the finish page starts it),
  ; cannot be replaced: found before anything changes, here and where an earlier installation
  ; is to be removed from. One replaced without the other would pair programs of two versions.
  !insertmacro EnsureFilesFree "$INSTDIR" ""
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    !insertmacro EnsureFilesFree "$0" ""
  ${EndIf}

  ; Cornice installed in another folder before: that copy goes, by its own uninstaller, so that
  ; one Corbel.dll is registered and one entry stands in Add/Remove Programs.
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    DetailPrint "$(S_REMOVING)"
    ; _?= runs the uninstaller in place, so that ExecWait waits for it; it cannot remove
    ; itself then, which the two lines after it do.
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0'
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
  ${EndIf}

  ; A Corbel.dll already here, from an earlier version or of the other bitness, is unregistered
  ; first: the type library keeps an entry per bitness, and the old one must not stay behind.
  ${If} ${FileExists} "$INSTDIR\Corbel.dll"
    Push "/u /s"
    Push "$INSTDIR"
    Call RunRegistrationTool
    Pop $0
  ${EndIf}

  SetOutPath "$INSTDIR"
  ${If} $Bitness == "x64"
    File "/oname=Corbel.dll" "${X64_CORBEL}"
    File "/oname=Trellis.exe" "${X64_TRELLIS}"
  ${Else}
    File "/oname=Corbel.dll" "${X86_CORBEL}"
    File "/oname=Trellis.exe" "${X86_TRELLIS}"
  ${EndIf}
  File "${ART_DIR}/HAND-M.CUR"
  SetOutPath "$INSTDIR\x"
  File "${ART_DIR}/x/o.cjs"
  SetOutPath "$INSTDIR\Xtreme"
  File "${ART_DIR}/Xtreme/Office2007.cjstyles"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The add-in's uninstall message sends the user to Start > Program Files > Cornice.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Trellis.exe" "" "$INSTDIR\Trellis.exe" 0 \
    SW_SHOWNORMAL "" "$(S_SHORTCUT_SETTINGS)"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}" "" \
    "$INSTDIR\${UNINSTALLER}" 0 SW_SHOWNORMAL "" "$(S_SHORTCUT_UNINSTALL)"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Trellis.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Registration writes the COM class and Excel's add-in entry (and repairs an add-in that
  ; Excel disabled). regsvr32 /s shows nothing, so its exit code and the entry it must leave
  ; are what tell whether it worked.
  DetailPrint "$(S_REGISTERING)"
  Push "/s"
  Push "$INSTDIR"
  Call RunRegistrationTool
  Pop $0
  ${If} $0 == "not started"
    !insertmacro Fail "$(S_REGSVR_NOT_STARTED)"
  ${ElseIf} $0 != 0
    ${If} $0 = ${Regsvr32LoadFailed}
      StrCpy $1 "$(S_WHY_NOT_LOADED)"
    ${ElseIf} $0 = ${Regsvr32NoEntryPoint}
      StrCpy $1 "$(S_WHY_NO_ENTRY)"
    ${Else}
      StrCpy $1 "$(S_WHY_FAILED)"
    ${EndIf}
    !insertmacro Fail "$(S_NOT_REGISTERED)"
  ${EndIf}
  ClearErrors
  ReadRegDWORD $0 HKCU "${ADDIN_KEY}" "LoadBehavior"
  ${If} ${Errors}
  ${OrIf} $0 <> 3
    !insertmacro Fail "$(S_NO_ADDIN_ENTRY)"
  ${EndIf}
SectionEnd

; Cornice installed for all users (the Windows Installer package) writes Excel's add-in entry
; below HKEY_LOCAL_MACHINE, in the registry view of its bitness. A registration for one user
; over it would hide it from that user and be undone by nobody the administrator can reach.
!macro RefuseOverMachineInstallationIn view
  SetRegView ${view}
  ClearErrors
  EnumRegValue $0 HKLM "${ADDIN_KEY}" 0
  SetRegView default
  ${IfNot} ${Errors}
    !insertmacro Refuse "$(S_MACHINE_INSTALLED)"
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend
Function RefuseOverMachineInstallation
  !insertmacro RefuseOverMachineInstallationIn 32
  !insertmacro RefuseOverMachineInstallationIn 64
FunctionEnd

; Runs first: which programs to install, and whether that can be done here. (After the
; section, whose index it uses.)
Function .onInit
  SetShellVarContext current
  Delete "$TEMP\${PRODUCT}-setup.log" ; a log tells of this run only
  Call RefuseOverMachineInstallation
  Call ChooseBitness
  ${If} $Bitness == "x64"
  ${AndIfNot} ${RunningX64}
    !insertmacro Refuse "$(S_X64_NEEDS_X64)"
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; The section holds both pairs of programs; the directory page tells the space of one.
  SectionGetSize ${SectionMain} $0
  ${If} $Bitness == "x64"
    IntOp $0 $0 - ${X86_PAIR_KB}
  ${Else}
    IntOp $0 $0 - ${X64_PAIR_KB}
  ${EndIf}
  SectionSetSize ${SectionMain} $0
FunctionEnd

; ---------------------------------------------------------------------------------------------
; Removal: everything the installation made, except the user's settings, which a later
; installation finds again.

Function un.onInit
  SetShellVarContext current
  Delete "$TEMP\${PRODUCT}-setup.log" ; a log tells of this run only
FunctionEnd

Section "Uninstall"
  ; Files in use could not be deleted: the installation stays whole rather than half removed
  ; with its entry in Add/Remove Programs gone.
  !insertmacro EnsureFilesFree "$INSTDIR" "un."
  ${If} ${FileExists} "$INSTDIR\Corbel.dll"
    DetailPrint "$(S_UNREGISTERING)"
    Push "/u /s"
    Push "$INSTDIR"
    Call un.RunRegistrationTool
    Pop $0
    ${If} $0 != 0
      DetailPrint "$(S_UNREG_ENDED)"
      ; An elevated registration may have put the class where only an administrator can remove
      ; it; that is said as it is. (StrCmp ignores case, as Windows does for file names.)
      Push "$INSTDIR\Corbel.dll"
      Call un.ImageMachine
      Pop $1
      ${If} $1 = ${MACHINE_X64}
        SetRegView 64
      ${EndIf}
      ReadRegStr $1 HKLM "Software\Classes\${CLASS_KEY}\InprocServer32" ""
      SetRegView default
      ${If} $1 == "$INSTDIR\Corbel.dll"
        StrCpy $1 "$(S_CLASS_REMAINS)"
      ${Else}
        StrCpy $1 "$(S_NOT_UNREGISTERED)"
      ${EndIf}
      MessageBox MB_OK|MB_ICONEXCLAMATION "$1" /SD IDOK
      !insertmacro LogWhenSilent "$1"
      ; A deployment tool reads the exit code alone.
      ${If} ${Silent}
        SetErrorLevel 2
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ; The add-in's own unregistration removes it too; this holds when Corbel.dll is gone.
  DeleteRegKey HKCU "${ADDIN_KEY}"

  Delete "$INSTDIR\Corbel.dll"
  Delete "$INSTDIR\Trellis.exe"
  Delete "$INSTDIR\HAND-M.CUR"
  Delete "$INSTDIR\x\o.cjs"
  Delete "$INSTDIR\Xtreme\Office2007.cjstyles"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Folders go only when empty: a file the user put there stays.
  RMDir "$INSTDIR\x"
  RMDir "$INSTDIR\Xtreme"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; Last, so that an uninstallation that stopped half-way can be run again from there.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
