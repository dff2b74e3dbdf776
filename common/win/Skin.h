// ApplySkin: gives a window the look of the skin style file next to the program, when that
// file is there. The window's plain controls first take the system's button-face colour, then
// the window's skin component loads the style and applies it.
#pragma once

#include "SkinComponent.h"
#include "WindowDesign.h"

#include <windows.h>
#include <oaidl.h>

namespace cornice {

COLORREF ColorFromOle(OleColor color) noexcept;

// A window as ApplySkin sees it.
class SkinnableWindow {
public:
    virtual ~SkinnableWindow() = default;
    virtual HWND Handle() const = 0;
    virtual void SetBackColor(OleColor color) = 0;
    // The controls in the window's control order.
    virtual int ControlCount() const = 0;
    virtual ControlKind KindOfControl(int index) const = 0;
    virtual void SetControlBackColor(int index, OleColor color) = 0;
    // The window's skin component (SkinComponent.h).
    virtual IDispatch* SkinComponent() const = 0;
};

// Looks for the program folder plus `skinFile` as a normal file (hidden or system files and
// folders do not count) and returns at once when there is none. Otherwise recolours the window
// and its option buttons, check boxes, frames and labels to the button-face colour, then calls
// the skin component: load the style, set option bit 0, switch on members 5 and 10, apply to
// the window. A failing call ends it there with WindowsError, for the caller to report.
void ApplySkin(SkinnableWindow& window, const wchar_t* skinFile);

} // namespace cornice
