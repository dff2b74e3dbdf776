// How excel-host words a failed call: the HRESULT in hexadecimal and what the object or Windows
// says of it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace cornice {
class ExceptionInfo;
}

namespace cornice::host {

std::wstring Hex(HRESULT hr);

// "0x80020005: The setting ..." with the object's IErrorInfo description when it gave one.
std::wstring Failure(HRESULT hr, IUnknown* object, REFIID iid);
// An IDispatch::Invoke failure: the exception the callee raised, or the HRESULT's own text.
std::wstring Failure(HRESULT hr, ExceptionInfo& exception);

} // namespace cornice::host
