#include "AddInRegistration.h"

#include "NumberText.h"
#include "OwnTexts.h"
#include "Regsvr32Outcome.h"
#include "TrellisText.h"

namespace cornice {
namespace {

std::wstring Quoted(std::wstring_view path)
{
    std::wstring quoted = L"\"";
    quoted += path;
    quoted += L'"';
    return quoted;
}

// Each followed by " (regsvr32 exit code N).", but the missing file's, which says all there is.
std::wstring WithExitCode(unsigned id, const wchar_t* english, unsigned long code)
{
    return OwnText(id, std::wstring(english) + L" (regsvr32 exit code %1).", {DecimalText(code)});
}

std::wstring ExitCodeReason(bool install, unsigned long code, bool libraryPresent)
{
    switch (code) {
    case kRegsvr32BadArguments:
        return WithExitCode(IDS_REGSVR32_BAD_COMMAND_LINE, kBadArgumentsText, code);
    case kRegsvr32NoCom:
        return WithExitCode(IDS_REGSVR32_NO_COM, kNoComText, code);
    case kRegsvr32LoadFailed:
        if (!libraryPresent) return OwnText(IDS_LIBRARY_MISSING_REINSTALL, kLibraryMissingText);
        return WithExitCode(IDS_LIBRARY_NOT_LOADED, kLoadFailedText, code);
    case kRegsvr32NoEntryPoint:
        return install ? WithExitCode(IDS_CANNOT_REGISTER_ITSELF, kNoRegisterEntryText, code)
                       : WithExitCode(IDS_CANNOT_UNREGISTER_ITSELF, kNoUnregisterEntryText, code);
    case kRegsvr32EntryPointFailed:
        return install ? WithExitCode(IDS_REGISTRATION_REFUSED, kRegisterEntryFailedText, code)
                       : WithExitCode(IDS_UNREGISTRATION_REFUSED, kUnregisterEntryFailedText, code);
    default:
        return WithExitCode(IDS_REGSVR32_FAILED, kOtherFailureText, code);
    }
}

} // namespace

std::wstring LibraryPath(std::wstring_view programFolder)
{
    return std::wstring(programFolder) + kLibraryFile;
}

std::wstring RegisterCommandLine(std::wstring_view libraryPath)
{
    return L"regsvr32 /s " + Quoted(libraryPath);
}

std::wstring UnregisterCommandLine(std::wstring_view libraryPath)
{
    return L"regsvr32 /u /s " + Quoted(libraryPath);
}

std::wstring ExcelAddInKey() { return std::wstring(kExcelAddInsKey) + L"\\" + kProgId; }

std::wstring RegistrationFailureText(bool install, std::wstring_view libraryPath,
                                     const RegistrationRun& run, bool libraryPresent)
{
    const std::wstring headline =
        install ? OwnText(IDS_INSTALL_FAILED,
                          L"The add-in could not be installed, so Excel will not show the Classic menus.")
                : OwnText(IDS_UNINSTALL_INCOMPLETE, L"The add-in could not be removed completely.");
    std::wstring reason;
    switch (run.outcome) {
    case RegistrationRun::Outcome::NotStarted:
        reason = OwnText(IDS_REGSVR32_NOT_STARTED, L"regsvr32 could not be started: %1", {run.startFailure});
        break;
    case RegistrationRun::Outcome::TimedOut:
        reason = OwnText(IDS_REGSVR32_TIMED_OUT, L"regsvr32 did not finish within %1 seconds; it may still be running.",
                         {DecimalText(kRegistrationTimeoutMilliseconds / 1000)});
        break;
    case RegistrationRun::Outcome::Finished:
        if (!install && run.machineClassRemains)
            reason = OwnText(IDS_MACHINE_CLASS_REMAINS,
                             L"Excel no longer loads it, but it stays registered for all users of this computer "
                             L"(HKEY_LOCAL_MACHINE\\Software\\Classes), which only an administrator can change: "
                             L"run \"regsvr32 /u\" on the library as an administrator.");
        else
            reason = ExitCodeReason(install, run.exitCode, libraryPresent);
        break;
    }
    return OwnText(IDS_REGISTRATION_FAILURE, L"%1\r\n\r\nLibrary: %2\r\n\r\n%3", {headline, libraryPath, reason});
}

std::wstring MachineClassServerKey()
{
    return std::wstring(L"Software\\Classes\\CLSID\\") + kAddInClassId + L"\\InprocServer32";
}

std::wstring MachineWideProblemText(std::wstring_view libraryPath, const MachineWideCheck& check)
{
    // What the user can mend comes first; the rest only an administrator can.
    std::wstring reason;
    if (!check.userRepairFailure.empty())
        reason = OwnText(IDS_USER_REPAIR_FAILED,
                         L"Excel's records that switch the add-in off for you could not be removed: %1",
                         {check.userRepairFailure});
    else if (!check.libraryPresent)
        reason = OwnText(IDS_LIBRARY_MISSING, L"The file does not exist.");
    else if (!check.loadBehavior)
        reason = OwnText(IDS_ENTRY_MISSING, L"Excel's add-in entry for all users is missing.");
    else if ((*check.loadBehavior & 3) != 3)
        reason = OwnText(IDS_ENTRY_NOT_LOADING,
                         L"Excel's add-in entry for all users does not load it when Excel starts (LoadBehavior %1).",
                         {std::to_wstring(*check.loadBehavior)});
    if (reason.empty()) return {};
    if (check.userRepairFailure.empty())
        reason = OwnText(IDS_ASK_ADMINISTRATOR, L"%1 Ask your administrator to repair the installation.", {reason});
    return OwnText(IDS_MACHINE_WIDE_PROBLEM,
                   L"The add-in is installed for all users of this computer, but Excel will not load it."
                   L"\r\n\r\nLibrary: %1\r\n\r\n%2",
                   {libraryPath, reason});
}

} // namespace cornice
