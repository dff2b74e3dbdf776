// The system's own words for a Windows error code or HRESULT, for messages that people read.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// "Access is denied. (error 5)", "Class not registered. (0x80040154)"; the number alone when
// the system has no text for it.
std::wstring WindowsErrorText(DWORD code);

} // namespace cornice
