#include "AddInRegistration.h"

#include "NumberText.h"
#include "Regsvr32Outcome.h"

namespace cornice {
namespace {

std::wstring Quoted(std::wstring_view path)
{
    std::wstring quoted = L"\"";
    quoted += path;
    quoted += L'"';
    return quoted;
}

std::wstring ExitCodeReason(bool install, unsigned long code, bool libraryPresent)
{
    const std::wstring codeText = L" (regsvr32 exit code " + DecimalText(code) + L").";
    switch (code) {
    case kRegsvr32BadArguments:
        return kBadArgumentsText + codeText;
    case kRegsvr32NoCom:
        return kNoComText + codeText;
    case kRegsvr32LoadFailed:
        if (!libraryPresent) return kLibraryMissingText;
        return kLoadFailedText + codeText;
    case kRegsvr32NoEntryPoint:
        return (install ? kNoRegisterEntryText : kNoUnregisterEntryText) + codeText;
    case kRegsvr32EntryPointFailed:
        return (install ? kRegisterEntryFailedText : kUnregisterEntryFailedText) + codeText;
    default:
        return kOtherFailureText + codeText;
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
    std::wstring text = install ? L"The add-in could not be installed, so Excel will not show "
                                  L"the Classic menus."
                                : L"The add-in could not be removed completely.";
    text += L"\r\n\r\nLibrary: ";
    text += libraryPath;
    text += L"\r\n\r\n";
    switch (run.outcome) {
    case RegistrationRun::Outcome::NotStarted:
        text += L"regsvr32 could not be started: " + run.startFailure;
        break;
    case RegistrationRun::Outcome::TimedOut:
        text += L"regsvr32 did not finish within " +
                DecimalText(kRegistrationTimeoutMilliseconds / 1000) +
                L" seconds; it may still be running.";
        break;
    case RegistrationRun::Outcome::Finished:
        if (!install && run.machineClassRemains)
            text += L"Excel no longer loads it, but it stays registered for all users of this computer "
                    L"(HKEY_LOCAL_MACHINE\\Software\\Classes), which only an administrator can change: "
                    L"run \"regsvr32 /u\" on the library as an administrator.";
        else
            text += ExitCodeReason(install, run.exitCode, libraryPresent);
        break;
    }
    return text;
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
        reason = L"Excel's records that switch the add-in off for you could not be removed: " +
                 check.userRepairFailure;
    else if (!check.libraryPresent)
        reason = L"The file does not exist.";
    else if (!check.loadBehavior)
        reason = L"Excel's add-in entry for all users is missing.";
    else if ((*check.loadBehavior & 3) != 3)
        reason = L"Excel's add-in entry for all users does not load it when Excel starts (LoadBehavior " +
                 std::to_wstring(*check.loadBehavior) + L").";
    if (reason.empty()) return {};
    if (check.userRepairFailure.empty()) reason += L" Ask your administrator to repair the installation.";
    std::wstring text = L"The add-in is installed for all users of this computer, but Excel will not "
                        L"load it.\r\n\r\nLibrary: ";
    text += libraryPath;
    text += L"\r\n\r\n" + reason;
    return text;
}

} // namespace cornice
