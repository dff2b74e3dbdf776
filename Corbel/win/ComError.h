// Failures handed back to a COM caller: an HRESULT plus a description in IErrorInfo, which
// Excel, scripts and the Excel stand-in show to people.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// Sets the thread's error info (source Corbel.Connect) and returns `code`.
HRESULT ReportError(HRESULT code, const std::wstring& description, REFIID iid) noexcept;

// For use inside catch (...): the exception in flight as TranslateCaughtException says it, an
// exception without words of its own described as "Unexpected failure.".
HRESULT ReportCaughtException(REFIID iid) noexcept;

} // namespace cornice
