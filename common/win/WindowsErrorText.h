// The system's own words for a Windows error code or HRESULT, for messages that people read.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace cornice {

// "Access is denied. (error 5)", "Class not registered. (0x80040154)"; the number alone when
// the system has no text for it.
std::wstring WindowsErrorText(DWORD code);

// What an IDispatch::Invoke that returned DISP_E_EXCEPTION reported: the exception's code
// (DISP_E_EXCEPTION when it gave none) and its description, or the system's text for the code
// when it gave none. Fills in a deferred EXCEPINFO first and frees its strings.
struct AutomationException {
    HRESULT code;
    std::wstring description;
};
AutomationException TakeAutomationException(EXCEPINFO& exception);

} // namespace cornice
