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

CallOutcome InvokeCallback(IDispatch* dispatch, const std::wstring& onAction, const std::wstring& id,
                           const std::wstring& tag, IDispatch* application, std::wstring& failure)
{
    DISPID dispid = DISPID_UNKNOWN;
    const HRESULT hr = IdOfName(*dispatch, onAction.c_str(), dispid);
    if (FAILED(hr)) {
        failure = Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr));
        return CallOutcome::NoCallback;
    }
    const ComPtr<IRibbonControl> control = MakeRibbonControl(id, tag, application);
    DispatchOutcome outcome;
    InvokeInto(outcome, *dispatch, dispid, DISPATCH_METHOD, {ObjectArgument(control.Get())});
    if (FAILED(outcome.hr)) {
        failure = Failure(outcome.hr, outcome.exception);
        return CallOutcome::Failed;
    }
    return CallOutcome::Returned;
}

} // namespace cornice::host
