#include "ModuleFolder.h"

namespace cornice {

std::wstring FolderOfModulePath(std::wstring_view modulePath)
{
    const std::size_t separator = modulePath.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos) return {};
    // A drive's root keeps its separator: "C:" alone would mean the drive's current folder.
    const bool driveRoot = separator > 0 && modulePath[separator - 1] == L':';
    return std::wstring(modulePath.substr(0, driveRoot ? separator + 1 : separator));
}

} // namespace cornice
