// The folder of a running module, written the way the product has always joined optional file
// names onto it: no trailing separator, except at a drive's root ("C:\"), so that appending
// "\Corbel.dll" gives "C:\\Corbel.dll" there, which Windows reads as "C:\Corbel.dll".
#pragma once

#include <string>
#include <string_view>

namespace cornice {

// "C:\Program Files\Cornice\Trellis.exe" -> "C:\Program Files\Cornice"; "C:\Trellis.exe" ->
// "C:\"; "\\server\share\Trellis.exe" -> "\\server\share". A path without a separator has no
// folder: "".
std::wstring FolderOfModulePath(std::wstring_view modulePath);

} // namespace cornice
