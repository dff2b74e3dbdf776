// The program's names and addresses, shown in its window and its messages.
#pragma once

#include "CorniceVersion.h"
#include "Maker.h"

namespace cornice {

inline constexpr const wchar_t* C_AppName = L"Trellis";
inline constexpr const wchar_t* C_Version = CORNICE_VERSION_WIDE_TEXT;

} // namespace cornice
