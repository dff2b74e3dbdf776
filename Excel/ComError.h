// Failures handed back to a COM caller: an HRESULT plus a description in IErrorInfo, which
// Excel, scripts and the Excel stand-in show to people.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// Sets the thread's error info (source Corbel.Connect) and returns `code`.
HRESULT ReportError(HRESULT code, const std::wstring& description, REFIID iid) noexcept;

// For use inside catch (...): turns the exception in flight into an HRESULT and a description.
//   SettingValueError   DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, its Describe() text
//   WindowsError        its code, its text
//   std::bad_alloc      E_OUTOFMEMORY
//   anything else       E_FAIL
HRESULT ReportCaughtException(REFIID iid) noexcept;

} // namespace cornice
