// excel-host --show: the tabs an add-in adds, in a window a person can look at and use as in an
// older Excel. The menu bar rows become the window's own menu bar, with real drop-down menus;
// the toolbar rows become rows of buttons (a menu among them drops down from its button).
// Excel's own commands do nothing here but say what they are; an entry of the add-in's own
// calls it back, as Excel would.
#pragma once

#include "RibbonView.h"

#include <functional>
#include <string>
#include <vector>

namespace cornice::host {

// Calls the add-in back for the control with this id; returns what to say about it.
using CallBack = std::function<std::wstring(const std::wstring& id)>;

// Window class of the window, for tests and scripts that look for it.
inline constexpr const wchar_t* kRibbonWindowClass = L"ExcelHostRibbon";

// Shows the window and returns when the user has closed it. False when it could not be made.
bool ShowRibbonWindow(const std::vector<TabView>& tabs, const std::wstring& title, const CallBack& callBack);

} // namespace cornice::host
