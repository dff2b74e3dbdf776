// The program's names and addresses, shown in its window and its messages.
#pragma once

#include "Maker.h"

namespace cornice {

inline constexpr const wchar_t* C_AppName = L"Trellis";
inline constexpr const wchar_t* C_Version = L"7.0";

} // namespace cornice
