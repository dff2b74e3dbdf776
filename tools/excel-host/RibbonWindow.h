// excel-host --show: the tabs an add-in adds, in a window a person can look at and use as in an
// older Excel. The menu bar rows become the window's own menu bar, with real drop-down menus;
// the toolbar rows become rows of buttons (a menu among them drops down from its button).
// Excel's own commands do nothing here but say what they are (and report that they ran); an
// entry of the add-in's own calls it back, as Excel would. An edit box shows its getText and
// hands what was typed to its onChange when Enter is pressed or the box is left after a change;
// a dynamic menu asks its getContent when it first opens and again after the add-in invalidated
// it (IRibbonUI); an invalidated edit box asks its getText again, and keeps what was typed until
// then.
//
// The keyboard, as in Excel's ribbon where the document gives keytips: pressing and releasing Alt
// alone shows the keytips beside their controls (Excel first shows the tabs' keytips; here the
// add-in's tabs are all in view, so their controls' come at once); the letters typed are matched
// against them, and a whole keytip activates its control (an edit box takes the focus, a menu
// opens, a button is clicked); Esc, Alt, a click or a letter that no keytip goes on with leaves
// them. Alt held with a letter still opens the menu bar's menus, and in a document without keytips
// Alt alone goes to the menu bar as it always did. Tab walks the controls (from the edit box to the
// results' menu beside it); Enter, Space or Down opens a focused dynamic menu, whose entries the
// arrows and Enter choose.
#pragma once

#include "RibbonView.h"

#include <windows.h>

#include <string>
#include <vector>

namespace cornice::host {

// What the window asks of the Excel around it: the add-in's callbacks, and reports.
class RibbonActions {
public:
    virtual ~RibbonActions() = default;
    // The add-in's control `id` was clicked (onAction); returns what to say about it.
    virtual std::wstring Click(const std::wstring& id) = 0;
    // One of Excel's own controls was chosen: the stand-in only reports it.
    virtual void Ran(const std::wstring& idMso) = 0;
    // An edit box's text (getText) when the box must show it anew: at first, and after the add-in
    // invalidated it; until then the box keeps what the user typed. False otherwise, with what to
    // say when the add-in failed.
    virtual bool Text(const std::wstring& id, std::wstring& text, std::wstring& said) = 0;
    // What the user typed into it, confirmed (onChange); returns what to say.
    virtual std::wstring Change(const std::wstring& id, const std::wstring& text) = 0;
    // A dynamic menu's entries (getContent); false, with what to say, when there are none to show.
    virtual bool Content(const std::wstring& id, std::vector<ViewItem>& items, std::wstring& said) = 0;
    // Where to post `message` when the add-in invalidates controls (null: nowhere any more).
    virtual void TellWindow(HWND window, UINT message) = 0;
};

// Window class of the window, for tests and scripts that look for it.
inline constexpr const wchar_t* kRibbonWindowClass = L"ExcelHostRibbon";

// Shows the window and returns when the user has closed it. False when it could not be made.
bool ShowRibbonWindow(const std::vector<TabView>& tabs, const std::wstring& title, RibbonActions& actions);

} // namespace cornice::host
