// regsvr32's exit codes, the same on Windows and Wine, and the words for each: Trellis.exe's
// message box names the cause in full, the installer's in short. installer/CMakeLists.txt reads
// the constants of this file for the installer's script.
#pragma once

namespace cornice {

inline constexpr unsigned long kRegsvr32BadArguments = 1;
inline constexpr unsigned long kRegsvr32NoCom = 2;
inline constexpr unsigned long kRegsvr32LoadFailed = 3;
inline constexpr unsigned long kRegsvr32NoEntryPoint = 4;
inline constexpr unsigned long kRegsvr32EntryPointFailed = 5;

// Trellis.exe, installing or removing; each is followed by " (regsvr32 exit code N).", except
// the missing file's, which says all there is to say.
inline constexpr const wchar_t* kBadArgumentsText = L"regsvr32 did not accept its command line";
inline constexpr const wchar_t* kNoComText = L"regsvr32 could not start COM";
inline constexpr const wchar_t* kLibraryMissingText =
    L"The file does not exist. Reinstall the program to restore it.";
inline constexpr const wchar_t* kLoadFailedText =
    L"Windows could not load the library: it may be damaged, or built for another kind of Windows";
inline constexpr const wchar_t* kNoRegisterEntryText = L"The file is not a library that can register itself";
inline constexpr const wchar_t* kNoUnregisterEntryText =
    L"The file is not a library that can unregister itself";
inline constexpr const wchar_t* kRegisterEntryFailedText =
    L"The library's registration failed; you may not have the rights to change the registry";
inline constexpr const wchar_t* kUnregisterEntryFailedText =
    L"The library's unregistration failed; you may not have the rights to change the registry";
inline constexpr const wchar_t* kOtherFailureText = L"regsvr32 reported a failure";

// The installer: "The add-in ...\Corbel.dll could not be registered for Excel: <cause>
// (regsvr32 ended with code N)."
inline constexpr const wchar_t* kSetupLoadFailedText = L"Windows could not load it";
inline constexpr const wchar_t* kSetupNoEntryText = L"it has no registration entry";
inline constexpr const wchar_t* kSetupOtherFailureText = L"its registration failed";

} // namespace cornice
