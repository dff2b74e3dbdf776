// Calling an add-in's ribbon callbacks back, as Office does when a control is clicked.
#pragma once

#include "Markup.h"
#include "WinHandles.h"

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>

namespace cornice::host {

// The control's tag attribute; empty when it has none.
std::wstring TagOf(const markup::Element& element);

enum class CallOutcome { Returned, NoCallback, Failed };

// Calls the add-in's callback `name` back as Office does: bound by name on the IDispatch of the
// ribbon interface it holds, with `arguments` in the order a caller writes them. Its answer goes
// to `result` when given; `failure` says what went wrong.
CallOutcome CallBackByName(IDispatch* dispatch, const std::wstring& name, std::initializer_list<VARIANT> arguments,
                           UniqueVariant* result, std::wstring& failure);

// Calls `onAction` back for the control, as Office does: bound by name on the IDispatch of the
// ribbon interface it holds, with an IRibbonControl. `failure` says what went wrong.
CallOutcome InvokeCallback(IDispatch* dispatch, const std::wstring& onAction, const std::wstring& id,
                           const std::wstring& tag, IDispatch* application, std::wstring& failure);

} // namespace cornice::host
