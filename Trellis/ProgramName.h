// The program's names and addresses, shown in its window and its messages.
#pragma once

#include "CorniceVersion.h"
#include "ContactAddresses.h"

namespace cornice {

inline constexpr const wchar_t* kProgramName = L"Trellis";
inline constexpr const wchar_t* kProgramVersion = CORNICE_VERSION_WIDE_TEXT;

} // namespace cornice
