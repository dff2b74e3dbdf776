#include "RibbonCallback.h"

#include "AutomationObjects.h"
#include "FailureText.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

namespace cornice::host {

std::wstring TagOf(const markup::Element& element)
{
    const std::wstring* tag = element.Attribute(L"tag");
    return tag ? *tag : L"";
}

CallOutcome InvokeCallback(IDispatch* dispatch, const std::wstring& onAction, const std::wstring& id,
                           const std::wstring& tag, IDispatch* application, std::wstring& failure)
{
    LPOLESTR name = const_cast<LPOLESTR>(onAction.c_str());
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) {
        failure = Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr));
        return CallOutcome::NoCallback;
    }
    const ComPtr<IRibbonControl> control = MakeRibbonControl(id, tag, application);
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_DISPATCH;
    V_DISPATCH(&argument) = control.Get();
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    EXCEPINFO exception = {};
    UniqueVariant result;
    hr = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.Get(), &exception,
                          nullptr);
    if (FAILED(hr)) {
        failure = Failure(hr, exception);
        return CallOutcome::Failed;
    }
    return CallOutcome::Returned;
}

} // namespace cornice::host
