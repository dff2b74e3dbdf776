#include "UserInstallation.h"

#include "Files.h"
#include "ProgramName.h"
#include "OwnTexts.h"
#include "TrellisText.h"
#include "WindowsErrorText.h"

#include <vector>

namespace cornice {
namespace {

// regsvr32 from the system folder, so that a regsvr32.exe lying next to the program or in the
// current folder (which CreateProcess would search first) is never the one that runs. A 32-bit
// program gets the 32-bit tool through the file-system redirector on 64-bit Windows.
std::wstring SystemRegistrationTool()
{
    std::vector<wchar_t> folder(MAX_PATH);
    UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length + 1);
        length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    }
    if (length == 0 || length >= folder.size()) return {};
    return std::wstring(folder.data(), length) + L"\\regsvr32.exe";
}

// Keeps the owner painted while regsvr32 runs, without letting the user click into it.
void PumpWaitingMessages(bool& quitSeen, int& quitCode)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeen = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Whether the class registered for all users is the library at `library`.
bool MachineClassNames(const std::wstring& library)
{
    wchar_t server[MAX_PATH * 2] = {};
    DWORD size = sizeof server;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kMachineClassServerKey, nullptr, RRF_RT_REG_SZ, nullptr, server, &size) !=
        ERROR_SUCCESS)
        return false;
    return ::CompareStringOrdinal(server, -1, library.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

UniqueHkey CreateRegistryKey(const std::wstring& subKey, HKEY root)
{
    UniqueHkey key;
    DWORD disposition = 0;
    // No security attributes: the key gets the default descriptor and the handle is not
    // inherited, as with a record of zeros. A failure leaves the owner empty.
    ::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, key.Put(), &disposition);
    return key;
}

RegistrationRun RunRegistrationTool(const std::wstring& commandLine, HWND owner)
{
    RegistrationRun run;
    const std::wstring tool = SystemRegistrationTool();
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED; // minimised and activated
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(tool.empty() ? nullptr : tool.c_str(), mutableCommandLine.data(), nullptr,
                          nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        run.outcome = RegistrationRun::Outcome::NotStarted;
        run.startFailure = WindowsErrorText(::GetLastError());
        return run;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);

    const bool wasEnabled = owner && ::IsWindowEnabled(owner);
    if (wasEnabled) ::EnableWindow(owner, FALSE);
    bool quitSeen = false;
    int quitCode = 0;
    const ULONGLONG deadline = ::GetTickCount64() + kRegistrationTimeoutMilliseconds;
    run.outcome = RegistrationRun::Outcome::TimedOut;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) break;
        const DWORD waited = ::MsgWaitForMultipleObjects(
            1, &process.hProcess, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) {
            DWORD exitCode = 0;
            ::GetExitCodeProcess(process.hProcess, &exitCode);
            run.outcome = RegistrationRun::Outcome::Finished;
            run.exitCode = exitCode;
            break;
        }
        if (waited != WAIT_OBJECT_0 + 1) break; // timed out or failed
        PumpWaitingMessages(quitSeen, quitCode);
    }
    if (wasEnabled) ::EnableWindow(owner, TRUE);
    // A quit request that arrived meanwhile belongs to the program's own message loop.
    if (quitSeen) ::PostQuitMessage(quitCode);
    return run;
}

void InstallAddIn(HWND owner)
{
    const std::wstring library = LibraryPath(ProgramFolder());
    const RegistrationRun run = RunRegistrationTool(RegisterCommandLine(library), owner);
    if (run.Succeeded()) {
        // This opens the entry the registration wrote and leaves its values alone. Created
        // after a failed registration, an entry without LoadBehavior would show in Excel's
        // dialog as a broken add-in.
        CreateRegistryKey(ExcelAddInKey(), HKEY_CURRENT_USER);
        ::MessageBoxW(owner, OwnText(IDS_INSTALLATION_COMPLETE, kInstallationComplete).c_str(), kProgramName, MB_OK);
    } else {
        const std::wstring text = RegistrationFailureText(true, library, run, FileExists(library));
        ::MessageBoxW(owner, text.c_str(), kProgramName, MB_OK | MB_ICONERROR);
    }
}

void UninstallAddIn(HWND owner)
{
    const std::wstring library = LibraryPath(ProgramFolder());
    RegistrationRun run = RunRegistrationTool(UnregisterCommandLine(library), owner);
    bool entryExisted = false;
    // Opened, never created: removal must not leave Excel an add-in list it never had.
    UniqueHkey addIns;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kExcelAddInsKey, 0, KEY_ALL_ACCESS, addIns.Put()) == ERROR_SUCCESS)
        entryExisted = ::RegDeleteKeyW(addIns.Get(), kProgId) == ERROR_SUCCESS;
    if (run.Succeeded()) return;
    run.machineClassRemains = MachineClassNames(library);
    // Without the library nothing can be unregistered; that is only worth saying when there
    // was an add-in entry, that is, when something had been installed.
    const bool libraryPresent = FileExists(library);
    const bool nothingInstalled = run.outcome == RegistrationRun::Outcome::Finished &&
                                  !libraryPresent && !entryExisted;
    if (nothingInstalled) return;
    const std::wstring text = RegistrationFailureText(false, library, run, libraryPresent);
    ::MessageBoxW(owner, text.c_str(), kProgramName, MB_OK | MB_ICONERROR);
}

} // namespace cornice
