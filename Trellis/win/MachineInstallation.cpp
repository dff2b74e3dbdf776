#include "MachineInstallation.h"

#include "AddInIdentity.h"
#include "AddInRegistration.h"
#include "AddInRepair.h"
#include "Files.h"
#include "ProgramName.h"
#include "OwnTexts.h"
#include "TrellisText.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <optional>

namespace cornice {
namespace {

std::optional<std::wstring> MachineText(const std::wstring& key, const wchar_t* name)
{
    DWORD size = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

bool MachineKeyExists(const std::wstring& key)
{
    UniqueHkey opened;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
}

std::optional<unsigned long> MachineLoadBehavior()
{
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, ExcelAddInKey().c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr,
                       &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

} // namespace

bool InstalledForAllUsers(const std::wstring& libraryPath)
{
    const auto names = [&](const std::optional<std::wstring>& path) {
        return path && ::lstrcmpiW(path->c_str(), libraryPath.c_str()) == 0;
    };
    // The package names its copy also when the class rows are gone (an earlier version's
    // regsvr32 could delete them), which a registration for this user alone must not replace.
    return (names(MachineText(MachineClassServerKey(), nullptr)) || names(MachineText(kPackageKey, kPackageLibraryValue))) &&
           MachineKeyExists(ExcelAddInKey());
}

void RepairAddInForUser(HWND owner, const std::wstring& libraryPath)
{
    MachineWideCheck check;
    LSTATUS status = ForgetDisabledAddIn(SystemRegistry());
    const LSTATUS deleted = ::RegDeleteTreeW(HKEY_CURRENT_USER, ExcelAddInKey().c_str());
    if (status == ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) status = deleted;
    if (status != ERROR_SUCCESS) check.userRepairFailure = WindowsErrorText(static_cast<DWORD>(status));
    check.libraryPresent = FileExists(libraryPath);
    check.loadBehavior = MachineLoadBehavior();
    const std::wstring problem = MachineWideProblemText(libraryPath, check);
    if (problem.empty())
        ::MessageBoxW(owner, OwnText(IDS_INSTALLATION_COMPLETE, kInstallationComplete).c_str(), kProgramName, MB_OK);
    else
        ::MessageBoxW(owner, problem.c_str(), kProgramName, MB_OK | MB_ICONERROR);
}

} // namespace cornice
