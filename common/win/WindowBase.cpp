#include "WindowBase.h"

#include "Files.h"
#include "SkinComponent.h"
#include "Utf8.h"
#include "WindowsErrorText.h"

#include <commctrl.h>

#include <algorithm>

namespace cornice {

static_assert(style::kVisible == WS_VISIBLE && style::kClipSiblings == WS_CLIPSIBLINGS &&
              style::kClipChildren == WS_CLIPCHILDREN && style::kTabStop == WS_TABSTOP &&
              style::kControlParent == WS_EX_CONTROLPARENT && style::kDefPushButton == BS_DEFPUSHBUTTON &&
              style::kPushButton == BS_PUSHBUTTON && style::kThreeState == BS_3STATE &&
              style::kMultiline == BS_MULTILINE && style::kLeft == SS_LEFT && style::kCenter == SS_CENTER &&
              style::kNoPrefix == SS_NOPREFIX && style::kNotify == SS_NOTIFY && style::kDisabled == WS_DISABLED &&
              style::kVerticalScroll == WS_VSCROLL && style::kEditMultiline == ES_MULTILINE &&
              style::kEditReadOnly == ES_READONLY && style::kClientEdge == WS_EX_CLIENTEDGE && kOkId == IDOK &&
              kCancelId == IDCANCEL);

namespace {

// Within `slack` pixels of a line from (x1, y1) to (x2, y2); the lines here are straight.
bool NearLine(POINT p, int x1, int y1, int x2, int y2, int slack)
{
    const int left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
    const int top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
    return p.x >= left - slack && p.x <= right + slack && p.y >= top - slack && p.y <= bottom + slack;
}

} // namespace

void WindowBase::RegisterClasses(const WindowDesign& design, HINSTANCE instance)
{
    for (const wchar_t* name : {design.className, design.pageClassName}) {
        if (!name) continue;
        ::UnregisterClassW(name, instance);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        if (name == design.className && design.iconId)
            windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(design.iconId));
        windowClass.hCursor = nullptr; // the pointer effects choose it (WM_SETCURSOR)
        windowClass.lpszClassName = name;
        if (!::RegisterClassExW(&windowClass))
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()),
                               "The window class " + ToUtf8(name) + " could not be registered.");
    }
}

HWND WindowBase::CreateDesigned(int x, int y, int width, int height)
{
    return ::CreateWindowExW(design_.exStyle, design_.className, L"", design_.style, x, y, width, height, nullptr,
                             nullptr, instance_, this);
}

HWND WindowBase::Control(int id) const
{
    for (const Entry& control : controls_)
        if (control.design->id == id && control.window) return control.window;
    return nullptr;
}

bool WindowBase::IsKeyForWindow(const MSG& message) const
{
    return window_ && (message.hwnd == window_ || ::IsChild(window_, message.hwnd));
}

bool WindowBase::DialogKey(MSG& message)
{
    if (!IsKeyForWindow(message)) return false;
    const Entry* tab = TabControl();
    if (tab && message.message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000)) {
        const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (message.wParam == VK_TAB || message.wParam == VK_NEXT || message.wParam == VK_PRIOR) {
            const bool previous = message.wParam == VK_PRIOR || (message.wParam == VK_TAB && back);
            const int count = TabCtrl_GetItemCount(tab->window);
            SelectPage((TabCtrl_GetCurSel(tab->window) + (previous ? count - 1 : 1)) % count);
            return true;
        }
    }
    return ::IsDialogMessageW(window_, &message) != FALSE;
}

// ---- Pages of a tab control -------------------------------------------------------------------

const WindowBase::Entry* WindowBase::TabControl() const
{
    for (const Entry& control : controls_)
        if (control.design->kind == ControlKind::TabControl) return &control;
    return nullptr;
}

// In table order, which is the order of their tabs.
std::vector<HWND> WindowBase::Pages() const
{
    std::vector<HWND> pages;
    for (const Entry& control : controls_)
        if (control.design->kind == ControlKind::Page) pages.push_back(control.window);
    return pages;
}

void WindowBase::SelectPage(int page)
{
    if (const Entry* tab = TabControl()) TabCtrl_SetCurSel(tab->window, page);
    ShowSelectedPage();
}

void WindowBase::ShowSelectedPage()
{
    const Entry* tab = TabControl();
    const std::vector<HWND> pages = Pages();
    const int selected = tab ? TabCtrl_GetCurSel(tab->window) : -1;
    if (selected < 0 || selected >= static_cast<int>(pages.size())) return;
    // Keyboard focus must not stay on a control that goes out of sight.
    const HWND focus = ::GetFocus();
    for (std::size_t page = 0; page < pages.size(); ++page)
        if (static_cast<int>(page) != selected && focus && ::IsChild(pages[page], focus)) ::SetFocus(tab->window);
    // Show the new page before hiding the others, so that nothing flickers through.
    ::ShowWindow(pages[selected], SW_SHOW);
    for (std::size_t page = 0; page < pages.size(); ++page)
        if (static_cast<int>(page) != selected) ::ShowWindow(pages[page], SW_HIDE);
}

// A window that handles its own dialog keys must also keep its focus across activation, as the
// dialog manager does for dialog boxes: the control that had it gets it back, the first in the
// tab order at the start.
void WindowBase::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam)) return; // minimised
    if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_))
        ::SetFocus(lastFocus_);
    else if (const HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE))
        ::SetFocus(first);
}

void WindowBase::CentreOn(const RECT& area)
{
    RECT window;
    ::GetWindowRect(window_, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    const int left = area.left + ((area.right - area.left) - width) / 2;
    const int top = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(window_, nullptr, left < area.left ? area.left : left, top < area.top ? area.top : top, 0, 0,
                   SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowBase::ShowUnderline(int id, bool underline)
{
    for (Entry& control : controls_) {
        if (control.design->id != id || control.underlined == underline) continue;
        UniqueHfont font = MakeFont(control.design->font, dpi_, underline);
        SetControlFont(control.window, font);
        // The old font goes only once the control no longer uses it.
        control.font = std::move(font);
        control.underlined = underline;
    }
}

bool WindowBase::OnDrawing(HWND container, POINT screenPoint) const
{
    POINT p = screenPoint;
    ::ScreenToClient(container, &p);
    const int slack = TwipsToPixels(15, dpi_);
    const int id = ContainerId(container);
    for (const Entry& control : controls_) {
        const ControlDesign& design = *control.design;
        if (design.container != id) continue;
        const PixelRect r = design.kind == ControlKind::Rectangle ? ShapeRect(control) : ToPixels(design.place, dpi_);
        if (design.kind == ControlKind::Line) {
            if (NearLine(p, r.left, r.top, r.Right(), r.Bottom(), slack)) return true;
        } else if (design.kind == ControlKind::Rectangle) {
            const int right = r.Right() - 1, bottom = r.Bottom() - 1;
            if (NearLine(p, r.left, r.top, right, r.top, slack) || NearLine(p, r.left, bottom, right, bottom, slack) ||
                NearLine(p, r.left, r.top, r.left, bottom, slack) || NearLine(p, right, r.top, right, bottom, slack))
                return true;
        }
    }
    return false;
}

std::wstring WindowBase::ProgramFolder() { return cornice::ProgramFolder(); }

bool WindowBase::FileExists(const std::wstring& path) { return cornice::FileExists(path); }

void WindowBase::LoadCustomPointer(const std::wstring& path)
{
    UniqueHcursor cursor(::LoadCursorFromFileW(path.c_str()));
    if (!cursor) {
        const DWORD error = ::GetLastError();
        throw WindowsError(HRESULT_FROM_WIN32(error), ToUtf8(L"The pointer file " + path + L" could not be loaded: " +
                                                             WindowsErrorText(error)));
    }
    // Kept with the window object: a window opened again has its pointer again.
    customPointer_ = std::move(cursor);
}

void WindowBase::SetBackColor(OleColor color)
{
    backColor_ = color;
    ::InvalidateRect(window_, nullptr, TRUE);
}

void WindowBase::SetControlBackColor(int index, OleColor color)
{
    Entry& control = controls_.at(index);
    control.backColor = color;
    if (control.window) ::InvalidateRect(control.window, nullptr, TRUE);
}

// ---- Creation and layout --------------------------------------------------------------------

HWND WindowBase::ContainerWindow(int container) const
{
    return container == kInWindow ? window_ : Control(container);
}

int WindowBase::ContainerId(HWND window) const
{
    if (window == window_) return kInWindow;
    const Entry* control = Find(window);
    return control ? control->design->id : kNoId;
}

// In table order, which is the tab order; a page comes before what it holds.
void WindowBase::CreateControls()
{
    controls_.clear();
    backColor_ = design_.backColor;
    for (std::size_t index = 0; index < design_.controlCount; ++index) {
        const ControlDesign& design = design_.controls[index];
        HWND window = nullptr;
        std::wstring text = ControlText(design);
        if (design.kind == ControlKind::SkinComponent) {
            skinComponent_ = CreateSkinComponent();
        } else if (design.windowClass) {
            // A page's text is its tab's caption.
            const bool shown = design.text && design.kind != ControlKind::Page;
            window = ::CreateWindowExW(design.exStyle, design.windowClass, shown ? text.c_str() : L"",
                                       WS_CHILD | design.style, 0, 0, 0, 0, ContainerWindow(design.container),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance_, this);
            if (!window)
                throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "A control of the window could not be created.");
        }
        controls_.push_back(
            {&design, window, design.backColor, design.font.underline, UniqueHfont(), std::move(text), PixelRect{}});
    }
    if (const Entry* tab = TabControl()) {
        int item = 0;
        for (const Entry& page : controls_) {
            if (page.design->kind != ControlKind::Page) continue;
            TCITEMW tabItem{};
            tabItem.mask = TCIF_TEXT;
            tabItem.pszText = const_cast<wchar_t*>(page.text.c_str());
            TabCtrl_InsertItem(tab->window, item++, &tabItem);
        }
        // The tab strip goes to the bottom of the z-order, so that the pages lie on top of it.
        ::SetWindowPos(tab->window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// Everything that depends on the DPI. Runs at creation and again when the window moves to a
// monitor of another DPI.
void WindowBase::Layout()
{
    std::vector<UniqueHfont> previous; // the old fonts go only once no control uses them
    for (Entry& control : controls_) {
        control.placed = ToPixels(control.design->place, dpi_);
        if (!control.window) continue;
        if (control.design->font.face) {
            previous.push_back(std::exchange(control.font, MakeFont(control.design->font, dpi_, control.underlined)));
            SetControlFont(control.window, control.font);
        }
        PlaceControl(control.window, control.design->place, dpi_);
        GiveRoomToText(control);
    }
    if (const Entry* tab = TabControl()) {
        // The tabs end where the pages begin, a little above the pages' top.
        for (const Entry& page : controls_)
            if (page.design->kind == ControlKind::Page) {
                const int strip = TwipsToPixels(page.design->place.top - tab->design->place.top, dpi_);
                TabCtrl_SetItemSize(tab->window, 0, strip - 2 * TwipsToPixels(15, dpi_));
                break;
            }
        TabCtrl_SetMinTabWidth(tab->window, TwipsToPixels(kMinTabWidth, dpi_));
    }
    LaidOut();
    ::InvalidateRect(window_, nullptr, TRUE);
}

namespace {

// Controls of a design may overlap a little (boxes taller than their spacing): one lies beside
// another when it reaches the other's middle.
bool Beside(const TwipRect& a, const TwipRect& b)
{
    const int middle = a.top + a.height / 2, otherMiddle = b.top + b.height / 2;
    return (middle > b.top && middle < b.top + b.height) || (otherMiddle > a.top && otherMiddle < a.top + a.height);
}

bool Above(const TwipRect& a, const TwipRect& b)
{
    return a.top + a.height / 2 < b.top && a.left < b.left + b.width && b.left < a.left + a.width;
}

} // namespace

// In twips: the right edge of the container, or the left edge of the nearest control beside
// this one to its right. A rectangle drawn around it grows with it (ShapeRect).
int WindowBase::RightmostEdge(const Entry& control) const
{
    const TwipRect& place = control.design->place;
    const int container = control.design->container;
    int edge = design_.clientWidth;
    for (const Entry& other : controls_)
        if (container != kInWindow && other.design->id == container) edge = other.design->place.width;
    for (const Entry& other : controls_) {
        const TwipRect& o = other.design->place;
        if (&other == &control || other.design->container != container || !other.window) continue;
        if (Beside(place, o) && o.left > place.left && o.left < edge) edge = o.left;
    }
    return edge;
}

// In twips: the container's top, or the bottom of the nearest control above this one.
int WindowBase::TopmostEdge(const Entry& control) const
{
    const TwipRect& place = control.design->place;
    int edge = 0;
    for (const Entry& other : controls_) {
        const TwipRect& o = other.design->place;
        if (&other == &control || other.design->container != control.design->container || !other.window) continue;
        if (Above(o, place) && o.top + o.height > edge) edge = o.top + o.height;
    }
    return edge;
}

// A rectangle drawn around controls keeps its margin to those that grew to its right.
PixelRect WindowBase::ShapeRect(const Entry& shape) const
{
    const TwipRect& s = shape.design->place;
    PixelRect r = ToPixels(s, dpi_);
    int designedRight = 0, placedRight = 0;
    for (const Entry& control : controls_) {
        const TwipRect& c = control.design->place;
        if (control.design->container != shape.design->container || !control.window || c.left <= s.left ||
            c.left >= s.left + s.width || c.top <= s.top || c.top >= s.top + s.height)
            continue;
        designedRight = std::max(designedRight, ToPixels(c, dpi_).Right());
        placedRight = std::max(placedRight, control.placed.Right());
    }
    if (placedRight > designedRight) r.width += placedRight - designedRight;
    return r;
}

// The design's own texts fit as designed, and keep their places to the pixel. Another text
// that is wider than its control widens it to the right, as far as RightmostEdge allows; left
// aligned labels, check boxes and push buttons only, whose text starts where it did. A check
// box that may wrap and still lacks room grows upwards, where it has room, for its lines.
void WindowBase::GiveRoomToText(Entry& control)
{
    const ControlDesign& design = *control.design;
    if (control.text.empty() || (design.text && control.text == design.text)) return;
    const bool box = design.kind == ControlKind::CheckBox || design.kind == ControlKind::OptionButton;
    const bool leftLabel = design.kind == ControlKind::Label && (design.style & SS_TYPEMASK) == SS_LEFT;
    if (!box && !leftLabel && design.kind != ControlKind::PushButton) return;
    const HDC dc = ::GetDC(control.window);
    if (!dc) return;
    SIZE size{};
    {
        ScopedSelectObject font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control.window, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32W(dc, control.text.c_str(), static_cast<int>(control.text.size()), &size);
    }
    ::ReleaseDC(control.window, dc);
    // A check box's mark and the gap after it; a push button's edges.
    const int extra = box ? MulDiv(13 + 6, dpi_, USER_DEFAULT_SCREEN_DPI)
                          : design.kind == ControlKind::PushButton ? MulDiv(12, dpi_, USER_DEFAULT_SCREEN_DPI) : 1;
    PixelRect& place = control.placed;
    const int needed = size.cx + extra;
    if (needed <= place.width) return;
    const int room = TwipsToPixels(RightmostEdge(control), dpi_) - place.left;
    place.width = needed < room ? needed : room;
    if (needed > room && box && (design.style & BS_MULTILINE)) {
        RECT lines{0, 0, place.width - extra, 0};
        const HDC again = ::GetDC(control.window);
        if (again) {
            ScopedSelectObject font(again, reinterpret_cast<HGDIOBJ>(::SendMessageW(control.window, WM_GETFONT, 0, 0)));
            ::DrawTextW(again, control.text.c_str(), static_cast<int>(control.text.size()), &lines,
                        DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        }
        if (again) ::ReleaseDC(control.window, again);
        // The lines, with the margin a single line has in the design.
        const int height = lines.bottom + (place.height - size.cy);
        const int top = std::max(place.Bottom() - height, TwipsToPixels(TopmostEdge(control), dpi_));
        if (top < place.top) {
            place.height += place.top - top;
            place.top = top;
        }
    }
    ::SetWindowPos(control.window, nullptr, place.left, place.top, place.width, place.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::ResizeForDpi(const RECT* suggested)
{
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
    const RECT frame = WindowRectForClient(TwipsToPixels(design_.clientWidth, dpi_),
                                           TwipsToPixels(design_.clientHeight, dpi_), style, exStyle, dpi_);
    RECT current;
    ::GetWindowRect(window_, &current);
    const POINT origin = suggested ? POINT{suggested->left, suggested->top} : POINT{current.left, current.top};
    ::SetWindowPos(window_, nullptr, origin.x, origin.y, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Painting -------------------------------------------------------------------------------

void WindowBase::Paint(HWND container)
{
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(container, &paint);
    const int id = ContainerId(container);
    for (const Entry& control : controls_) {
        const ControlDesign& design = *control.design;
        if (design.container != id || (design.kind != ControlKind::Line && design.kind != ControlKind::Rectangle))
            continue;
        UniqueHpen pen(::CreatePen(PS_SOLID, 1, ColorFromOle(design.foreColor)));
        ScopedSelectObject selectPen(dc, pen.Get());
        const PixelRect r = design.kind == ControlKind::Rectangle ? ShapeRect(control) : ToPixels(design.place, dpi_);
        if (design.kind == ControlKind::Line) {
            ::MoveToEx(dc, r.left, r.top, nullptr);
            ::LineTo(dc, r.Right(), r.Bottom());
        } else {
            ScopedSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
            ::Rectangle(dc, r.left, r.top, r.Right(), r.Bottom());
        }
    }
    ::EndPaint(container, &paint);
}

const WindowBase::Entry* WindowBase::Find(HWND window) const
{
    for (const Entry& control : controls_)
        if (control.window && control.window == window) return &control;
    return nullptr;
}

OleColor WindowBase::BackColorOf(HWND container) const
{
    if (container == window_) return backColor_;
    const Entry* control = Find(container);
    return control ? control->backColor : backColor_;
}

LRESULT WindowBase::ControlColor(HDC dc, HWND controlWindow)
{
    const Entry* control = Find(controlWindow);
    if (!control) return 0;
    const OleColor back = control->backColor == kContainerColor
                              ? BackColorOf(ContainerWindow(control->design->container))
                              : control->backColor;
    ::SetTextColor(dc, ColorFromOle(control->design->foreColor));
    ::SetBkColor(dc, ColorFromOle(back));
    return reinterpret_cast<LRESULT>(brushes_.For(ColorFromOle(back)));
}

// ---- Messages -------------------------------------------------------------------------------

LRESULT WindowBase::DesignMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (target != window_) break;
        dpi_ = DpiOfWindow(window_);
        CreateControls();
        Layout();
        ResizeForDpi(nullptr);
        Created();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        ::GetClientRect(target, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, brushes_.For(ColorFromOle(BackColorOf(target))));
        return 1;
    }
    case WM_PAINT:
        Paint(target);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (const LRESULT brush = ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return brush;
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const Entry* tab = TabControl();
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (tab && header->hwndFrom == tab->window && header->code == TCN_SELCHANGE) ShowSelectedPage();
        break;
    }
    case WM_ACTIVATE:
        if (target != window_) break;
        OnActivate(wParam);
        return 0;
    case WM_SETCURSOR:
        if (target == window_ && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(PointerOver(reinterpret_cast<HWND>(wParam)));
            return TRUE;
        }
        break;
    case WM_DPICHANGED:
        if (target != window_) break;
        dpi_ = HIWORD(wParam);
        Layout();
        ResizeForDpi(reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(target, message, wParam, lParam);
}

LRESULT WindowBase::Message(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (target == window_ && OwnMessage(message, wParam, lParam, result)) return result;
    return DesignMessage(target, message, wParam, lParam);
}

// Once the window is gone only the window object is left: the texts, colours and pointer state
// of the next creation start from the design again; the custom pointer stays.
LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (!self->window_) self->window_ = window; // the window comes first, its pages after
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY && window == self->window_) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->Destroyed();
        self->window_ = self->lastFocus_ = nullptr;
        self->controls_.clear();
        self->skinComponent_.Reset();
        self->brushes_.Clear();
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        self->Released();
        return result;
    }
    try {
        return self->Message(window, message, wParam, lParam);
    } catch (...) {
        // No exception may unwind into user32 or its caller. A control that failed to come into
        // being fails the window's creation; anything else leaves the window as it is.
        if (message == WM_CREATE) return -1;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace cornice
