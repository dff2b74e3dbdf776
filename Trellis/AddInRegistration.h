// What installing and removing the add-in says to the system and to the user: the regsvr32
// command lines, Excel's add-in key, and the texts that report the outcome.
#pragma once

#include "AddInIdentity.h"

#include <optional>
#include <string>
#include <string_view>

namespace cornice {

inline constexpr const wchar_t* kLibraryFile = L"\\Corbel.dll";
inline constexpr const wchar_t* kInstallationComplete = L"Installation complete.";
// Where an elevated registration puts the add-in's class for all users.
inline constexpr const wchar_t* kMachineClassServerKey =
    L"Software\\Classes\\CLSID\\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}\\InprocServer32";

// regsvr32 normally finishes in well under a second; a registration still running after this
// long has hung, and the user must not wait for ever for the window to answer.
inline constexpr unsigned kRegistrationTimeoutMilliseconds = 30'000;

// The program's folder followed by "\Corbel.dll", appended as it stands.
std::wstring LibraryPath(std::wstring_view programFolder);

// The library path goes in double quotation marks, so that a folder with blanks stays one
// argument: regsvr32 /s "C:\Program Files\Cornice\Corbel.dll".
std::wstring RegisterCommandLine(std::wstring_view libraryPath);
std::wstring UnregisterCommandLine(std::wstring_view libraryPath);

// Excel's entry for the add-in below HKEY_CURRENT_USER: the Addins key plus "\Corbel.Connect".
std::wstring ExcelAddInKey();

// How a run of regsvr32 ended.
struct RegistrationRun {
    enum class Outcome { Finished, NotStarted, TimedOut };
    Outcome outcome = Outcome::Finished;
    unsigned long exitCode = 0;    // when Finished; 0 is success
    std::wstring startFailure;     // when NotStarted: the system's words
    // After a failed removal: the class is still registered for all users, naming this library
    // (an elevated registration wrote it), which a user's own removal cannot take away.
    bool machineClassRemains = false;
    bool Succeeded() const noexcept { return outcome == Outcome::Finished && exitCode == 0; }
};

// The message shown when registering (install) or unregistering (remove) did not succeed: it
// names the library and says what went wrong in words a user can act on. `libraryPresent`
// tells a missing file from one that Windows could not load.
std::wstring RegistrationFailureText(bool install, std::wstring_view libraryPath,
                                     const RegistrationRun& run, bool libraryPresent);

// ---------------------------------------------------------------------------------------------
// Installed for all users (the Windows Installer packages): the class and Excel's add-in entry
// below HKEY_LOCAL_MACHINE, which a standard user cannot change. Trellis then leaves the
// registration alone and repairs only what belongs to the user.

// The add-in's class, as Excel\Corbel.idl declares it.
inline constexpr const wchar_t* kAddInClassId = L"{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}";
// Below HKEY_LOCAL_MACHINE: the class's server, the library of an installation for all users.
std::wstring MachineClassServerKey();

// What decides, after the user's repair, whether Excel loads the add-in installed for all users.
struct MachineWideCheck {
    std::optional<unsigned long> loadBehavior; // of the machine's add-in entry; none: no entry
    bool libraryPresent = true;
    std::wstring userRepairFailure;            // the system's words; empty when the repair worked
};

// Empty when Excel will load the add-in at its next start; otherwise the message saying why not.
std::wstring MachineWideProblemText(std::wstring_view libraryPath, const MachineWideCheck& check);

} // namespace cornice
