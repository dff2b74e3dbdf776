#include "WindowBase.h"

#include "Files.h"
#include "SkinComponent.h"
#include "Trace.h"
#include "Utf8.h"
#include "WindowsErrorText.h"

#include <commctrl.h>

#include <algorithm>

namespace cornice {

static_assert(style::kVisible == WS_VISIBLE && style::kClipSiblings == WS_CLIPSIBLINGS &&
              style::kClipChildren == WS_CLIPCHILDREN && style::kTabStop == WS_TABSTOP &&
              style::kControlParent == WS_EX_CONTROLPARENT && style::kDefPushButton == BS_DEFPUSHBUTTON &&
              style::kPushButton == BS_PUSHBUTTON && style::kThreeState == BS_3STATE && style::kCheckBox == BS_CHECKBOX &&
              style::kMultiline == BS_MULTILINE && style::kLeft == SS_LEFT && style::kCenter == SS_CENTER &&
              style::kNoPrefix == SS_NOPREFIX && style::kNotify == SS_NOTIFY && style::kDisabled == WS_DISABLED &&
              style::kVerticalScroll == WS_VSCROLL && style::kEditMultiline == ES_MULTILINE &&
              style::kEditReadOnly == ES_READONLY && style::kClientEdge == WS_EX_CLIENTEDGE && kOkId == IDOK &&
              kCancelId == IDCANCEL && style::kStaticTypeMask == SS_TYPEMASK);

namespace {

// A control's text as Windows draws it in the control's font.
class ControlTextMeasure final : public TextMeasure {
public:
    explicit ControlTextMeasure(HWND control) : control_(control) {}

    std::optional<PixelSize> Line(std::wstring_view text) const override
    {
        SIZE size{};
        const HDC dc = ::GetDC(control_);
        if (!dc) return std::nullopt;
        {
            ScopedSelectObject font(dc, Font());
            ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        }
        ::ReleaseDC(control_, dc);
        return PixelSize{size.cx, size.cy};
    }

    int WrappedHeight(std::wstring_view text, int width) const override
    {
        RECT lines{0, 0, width, 0};
        const HDC dc = ::GetDC(control_);
        if (!dc) return 0;
        {
            ScopedSelectObject font(dc, Font());
            ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &lines, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        }
        ::ReleaseDC(control_, dc);
        return lines.bottom;
    }

private:
    HGDIOBJ Font() const { return reinterpret_cast<HGDIOBJ>(::SendMessageW(control_, WM_GETFONT, 0, 0)); }

    HWND control_;
};

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
    return layout_.OnDrawing(ContainerId(container), {p.x, p.y});
}

HCURSOR WindowBase::FollowPointer(PointerArea area, int linkId)
{
    pointer_ = PointerMovedOver(area, pointer_);
    ShowUnderline(linkId, pointer_.linkUnderlined);
    if (pointer_.pointer == MousePointer::Hourglass) return ::LoadCursorW(nullptr, IDC_WAIT);
    // Without HAND-M.CUR the custom pointer has no image and shows as the arrow.
    if (pointer_.pointer == MousePointer::Custom && CustomPointer()) return CustomPointer();
    return ::LoadCursorW(nullptr, IDC_ARROW);
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
        controls_.push_back({&design, window, design.backColor, design.font.underline, UniqueHfont(), std::move(text)});
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
    layout_ = WindowLayout(design_, dpi_);
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        Entry& control = controls_[index];
        if (!control.window) continue;
        if (control.design->font.face) {
            previous.push_back(std::exchange(control.font, MakeFont(control.design->font, dpi_, control.underlined)));
            SetControlFont(control.window, control.font);
        }
        PlaceControl(control.window, control.design->place, dpi_);
        if (layout_.GiveRoomToText(index, control.text, ControlTextMeasure(control.window))) {
            const PixelRect& place = layout_.Placed(index);
            ::SetWindowPos(control.window, nullptr, place.left, place.top, place.width, place.height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
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
        const PixelRect r = design.kind == ControlKind::Rectangle
                                ? layout_.Outline(static_cast<std::size_t>(&control - controls_.data()))
                                : ToPixels(design.place, dpi_);
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
        pointer_ = PointerState{};
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
        TraceCaughtException("window message");
        if (message == WM_CREATE) return -1;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace cornice
