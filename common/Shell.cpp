#include "Shell.h"

#include "Files.h"

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
        // No folder, no memory: the target is not opened, and nothing is reported.
    }
}

} // namespace cornice
