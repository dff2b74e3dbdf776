#include "RibbonCallback.h"

#include "Automation.h"
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

CallOutcome CallBackByName(IDispatch* dispatch, const std::wstring& name, std::initializer_list<VARIANT> arguments,
                           UniqueVariant* result, std::wstring& failure)
{
    DISPID dispid = DISPID_UNKNOWN;
    const HRESULT hr = IdOfName(*dispatch, name.c_str(), dispid);
    if (FAILED(hr)) {
        failure = Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr));
        return CallOutcome::NoCallback;
    }
    DispatchOutcome outcome;
    InvokeInto(outcome, *dispatch, dispid, DISPATCH_METHOD, arguments);
    if (FAILED(outcome.hr)) {
        failure = Failure(outcome.hr, outcome.exception);
        return CallOutcome::Failed;
    }
    if (result) *result = std::move(outcome.result);
    return CallOutcome::Returned;
}

CallOutcome InvokeCallback(IDispatch* dispatch, const std::wstring& onAction, const std::wstring& id,
                           const std::wstring& tag, IDispatch* application, std::wstring& failure)
{
    const ComPtr<IRibbonControl> control = MakeRibbonControl(id, tag, application);
    return CallBackByName(dispatch, onAction, {ObjectArgument(control.Get())}, nullptr, failure);
}

} // namespace cornice::host
