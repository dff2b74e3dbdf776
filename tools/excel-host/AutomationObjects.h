// The objects Excel hands an add-in, made just real enough for the stand-in: the Application
// (its Name), the COMAddIn that describes the add-in, the IRibbonControl of a callback and the
// IRibbonUI of onLoad. All are late-bound through IDispatch, as add-ins written for Excel use them.
#pragma once

#include "Corbel.h"
#include "WinHandles.h"

#include <functional>
#include <string>
#include <vector>

namespace cornice::host {

// A read-only property: fills the result, or fails with an automation exception whose
// description the caller sees. A member that takes arguments (each as text, "" when missing)
// sets `withArguments` or, answering an object (null: Nothing), `object`, instead of `value`.
struct Property {
    using Arguments = std::vector<std::wstring>;
    std::wstring name;
    std::function<std::wstring()> value; // throws std::runtime_error to raise
    std::function<std::wstring(const Arguments&)> withArguments = nullptr;
    std::function<ComPtr<IDispatch>(const Arguments&)> object = nullptr;
};

// An IDispatch answering exactly the given properties (names ignore case, as automation's do).
ComPtr<IDispatch> MakeAutomationObject(std::vector<Property> properties);

// Excel's Application object: Name, Version ("14.0"), and any further members.
ComPtr<IDispatch> MakeApplication(const std::wstring& name, const std::wstring& version = L"14.0",
                                  std::vector<Property> more = {});

// Excel's COMAddIn object for one add-in: ProgId, Description, Connect.
ComPtr<IDispatch> MakeComAddIn(const std::wstring& progId, const std::wstring& description);

// The control a ribbon callback gets: Id and Tag of the clicked element, Context the window
// (here the Application, since the stand-in has no workbook windows).
ComPtr<IRibbonControl> MakeRibbonControl(const std::wstring& id, const std::wstring& tag, IDispatch* context);

// Office's IRibbonUI, which the document's onLoad gets: Invalidate() and InvalidateControl(id)
// pass the id to `invalidate` (empty: every control), as late-bound and as early-bound calls;
// the tab activations are accepted and change nothing. Its calls are not counted below: they
// ask Excel nothing.
ComPtr<IDispatch> MakeRibbonUI(std::function<void(const std::wstring& id)> invalidate);

// The calls made into Excel's objects (not the control's or the ribbon's) since the last
// ForgetCalls: "5 (LanguageID 1, Name 2 ...)".
std::wstring CallsMade();
void ForgetCalls();

} // namespace cornice::host
