#include "Shell.h"

#include "Files.h"
#include "Trace.h"
#include "WinHandles.h"

#include <shellapi.h>

namespace cornice {

void ShellOpen(HWND owner, const std::wstring& target) noexcept
{
    try {
        const std::wstring folder = ProgramFolder();
        // The wide function: a target or folder outside the ANSI code page (a user folder
        // with Cyrillic or Chinese letters) must reach the shell as it is, not as '?'.
        ::ShellExecuteW(owner, nullptr, target.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
    } catch (...) {
        // No folder, no memory: the target is not opened; the trace says why.
        TraceCaughtException("opening a link");
    }
}

// "explorer" with the quoted address, minimised with focus, not waited for. The program is
// named by its full path in the Windows folder: a bare name would first be looked for in
// Excel's folder and in Excel's current folder, which is wherever the user last opened a
// workbook (CreateProcess, "lpApplicationName": the search order). What became of it is not
// looked at; the shell tells the user itself if it cannot open the address.
void StartExplorer(const std::wstring& address)
{
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring program(folder, length);
    if (program.back() != L'\\') program += L'\\';
    program += L"explorer.exe";
    std::wstring commandLine = L"explorer \"" + address + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED; // 2: minimised, with focus
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process)) {
        UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    }
}

} // namespace cornice
