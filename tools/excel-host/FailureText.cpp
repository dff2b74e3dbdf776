#include "FailureText.h"

#include "Automation.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <cwchar>

namespace cornice::host {

std::wstring Hex(HRESULT hr)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring Failure(HRESULT hr, IUnknown* object, REFIID iid)
{
    std::wstring description;
    ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.PutVoid())) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        ComPtr<IErrorInfo> info;
        UniqueBstr text;
        if (::GetErrorInfo(0, info.Put()) == S_OK && info && SUCCEEDED(info->GetDescription(text.Put())))
            description = text.Text();
    }
    if (description.empty()) description = WindowsErrorText(static_cast<DWORD>(hr));
    return Hex(hr) + L": " + description;
}

std::wstring Failure(HRESULT hr, ExceptionInfo& exception)
{
    if (hr != DISP_E_EXCEPTION) return Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr));
    return Hex(exception.Code()) + L": " + exception.Description();
}

} // namespace cornice::host
