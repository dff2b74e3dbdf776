#include "RibbonWindow.h"

#include "WinHandles.h"

#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <memory>

namespace cornice::host {
namespace {

constexpr int kFirstCommandId = 1000;
constexpr int kStatusId = 900;

// Sizes in pixels at 96 dpi, scaled to the screen's.
constexpr int kMargin = 8;
constexpr int kRowGap = 6;
constexpr int kGroupGap = 10;
constexpr int kButtonPadding = 14;
constexpr int kFieldWidth = 130;
constexpr int kMaximumRowWidth = 1180;

// Menus and buttons take "&" as the mark of the next letter's shortcut; a label's own "&" is
// doubled to show as itself.
std::wstring Literal(const std::wstring& label)
{
    std::wstring text;
    for (wchar_t c : label) {
        if (c == L'&') text += L'&';
        text += c;
    }
    return text;
}

class RibbonWindow {
public:
    RibbonWindow(const std::vector<TabView>& tabs, const CallBack& callBack) : tabs_(tabs), callBack_(callBack) {}
    bool Create(const std::wstring& title);
    int Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    int Scale(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }
    int CommandId(const ViewItem& item)
    {
        items_.push_back(&item);
        return kFirstCommandId + static_cast<int>(items_.size()) - 1;
    }
    HMENU PopupOf(const std::vector<ViewItem>& children);
    HWND AddControl(const wchar_t* className, const std::wstring& text, DWORD style, int id, int x, int y, int width,
                    int height);
    int TextWidth(const std::wstring& text) const;
    void Layout();
    void AddTip(HWND button, const std::wstring& supertip);
    void Pick(int id, HWND button);
    void Say(const std::wstring& text) { ::SetDlgItemTextW(window_, kStatusId, text.c_str()); }

    const std::vector<TabView>& tabs_;
    const CallBack& callBack_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    UniqueHfont font_;
    UniqueHfont boldFont_;
    std::vector<const ViewItem*> items_; // by command id
    HWND tips_ = nullptr;                // the buttons' tooltips; the window destroys it
    std::deque<std::wstring> tipTexts_;  // what the tooltips point to, for as long as they live
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

HMENU RibbonWindow::PopupOf(const std::vector<ViewItem>& children)
{
    UniqueHmenu popup(::CreatePopupMenu());
    for (const ViewItem& child : children) {
        if (child.kind == ViewItem::Kind::Separator) {
            ::AppendMenuW(popup.Get(), MF_SEPARATOR, 0, nullptr);
        } else if (child.kind == ViewItem::Kind::Menu) {
            // The popup belongs to its parent menu from here on.
            ::AppendMenuW(popup.Get(), MF_POPUP | (child.enabled ? 0 : MF_GRAYED),
                          reinterpret_cast<UINT_PTR>(PopupOf(child.children)), Literal(child.label).c_str());
        } else {
            std::wstring text = Literal(child.label);
            if (!child.onAction.empty()) text += L"\t" + child.onAction;
            ::AppendMenuW(popup.Get(), MF_STRING | (child.enabled ? 0 : MF_GRAYED),
                          static_cast<UINT_PTR>(CommandId(child)), text.c_str());
        }
    }
    return popup.Detach();
}

HWND RibbonWindow::AddControl(const wchar_t* className, const std::wstring& text, DWORD style, int id, int x, int y,
                              int width, int height)
{
    const HWND control = ::CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width,
                                           height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                           ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return control;
}

// The document's supertip, shown while the pointer rests on the button.
void RibbonWindow::AddTip(HWND button, const std::wstring& supertip)
{
    if (!tips_ || supertip.empty()) return;
    std::wstring& text = tipTexts_.emplace_back();
    for (const wchar_t c : supertip) text += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text.data();
    ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int RibbonWindow::TextWidth(const std::wstring& text) const
{
    const WindowDc screen(nullptr);
    const ScopedSelectObject selected(screen.Get(), font_.Get());
    SIZE size{};
    ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The menu bar from the menu bar rows; below it, per tab, a heading and the toolbar rows,
// wrapped where a row is wider than a screen; a status line at the bottom.
void RibbonWindow::Layout()
{
    UniqueHmenu bar(::CreateMenu());
    for (const TabView& tab : tabs_)
        for (const ViewRow& row : tab.rows)
            if (row.menuBar)
                for (const ViewItem& menu : row.items)
                    ::AppendMenuW(bar.Get(), MF_POPUP | (menu.enabled ? 0 : MF_GRAYED),
                                  reinterpret_cast<UINT_PTR>(PopupOf(menu.children)),
                                  (L"&" + Literal(menu.label)).c_str());
    if (::SetMenu(window_, bar.Get())) (void)bar.Detach(); // the window destroys its menu

    const int lineHeight = Scale(23);
    const int maximumRight = Scale(kMaximumRowWidth);
    int y = Scale(kMargin);
    int widest = Scale(480);
    for (const TabView& tab : tabs_) {
        std::wstring heading = L"Tab \"" + tab.label + L"\"";
        for (const std::wstring& group : tab.groups) heading += L", group \"" + group + L"\"";
        const HWND headingLabel = AddControl(L"STATIC", heading, SS_LEFT | SS_NOPREFIX, -1, Scale(kMargin), y,
                                             maximumRight, lineHeight - Scale(6));
        ::SendMessageW(headingLabel, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
        y += lineHeight;
        int toolbar = 0;
        for (const ViewRow& row : tab.rows) {
            if (row.menuBar) continue;
            AddControl(L"STATIC", L"Toolbar " + std::to_wstring(++toolbar), SS_LEFT, -1, Scale(kMargin),
                       y + Scale(4), Scale(60), lineHeight - Scale(6));
            const int left = Scale(kMargin + 64);
            int x = left;
            for (const ViewItem& item : row.items) {
                if (item.kind == ViewItem::Kind::Separator) {
                    x += Scale(kGroupGap);
                    continue;
                }
                const bool field = item.kind == ViewItem::Kind::Field;
                const std::wstring text = Literal(item.kind == ViewItem::Kind::Menu ? item.label + L" \u00BB" : item.label);
                const int width = field ? Scale(kFieldWidth) : TextWidth(text) + Scale(kButtonPadding);
                if (x > left && x + width > maximumRight) {
                    x = left;
                    y += lineHeight;
                }
                if (field) {
                    // Excel's font, size and number format boxes: one entry, their name.
                    const HWND box = AddControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                                                CommandId(item), x, y, width, Scale(200));
                    ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.label.c_str()));
                    ::SendMessageW(box, CB_SETCURSEL, 0, 0);
                } else {
                    const HWND button = AddControl(L"BUTTON", text, BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
                                                   CommandId(item), x, y, width, lineHeight - Scale(2));
                    if (!item.enabled) ::EnableWindow(button, FALSE);
                    AddTip(button, item.supertip);
                }
                x += width + Scale(2);
                widest = std::max(widest, x);
            }
            y += lineHeight + Scale(kRowGap);
        }
    }
    AddControl(L"STATIC", L"Excel's own commands are named after their idMso; the add-in's entries call it back.",
               SS_LEFT | SS_NOPREFIX | SS_SUNKEN, kStatusId, 0, y + Scale(kRowGap), widest + Scale(kMargin),
               lineHeight);
    clientWidth_ = widest + Scale(kMargin);
    clientHeight_ = y + Scale(kRowGap) + lineHeight;
}

void RibbonWindow::Pick(int id, HWND button)
{
    const std::size_t index = static_cast<std::size_t>(id - kFirstCommandId);
    if (id < kFirstCommandId || index >= items_.size()) return;
    const ViewItem& item = *items_[index];
    if (item.kind == ViewItem::Kind::Menu && button) {
        // A menu in a toolbar drops down from its button.
        UniqueHmenu popup(PopupOf(item.children));
        RECT rect;
        ::GetWindowRect(button, &rect);
        ::TrackPopupMenu(popup.Get(), TPM_LEFTALIGN | TPM_TOPALIGN, rect.left, rect.bottom, 0, window_, nullptr);
        return;
    }
    if (item.kind == ViewItem::Kind::Field) return;
    if (!item.onAction.empty()) {
        Say(item.label + L": calling the add-in's " + item.onAction + L"...");
        Say(item.label + L": " + callBack_(item.id));
        return;
    }
    Say(item.label + L": Excel's own command " + (item.idMso.empty() ? item.id : item.idMso) +
        L", which this stand-in does not carry out");
}

LRESULT RibbonWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // A button's BN_CLICKED and a menu entry's choice both come with 0 above the id.
        if (HIWORD(wParam) == 0) Pick(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_MENUSELECT: {
        // A menu entry has no tooltip of its own: its supertip goes to the status line.
        const int id = LOWORD(wParam);
        const std::size_t index = static_cast<std::size_t>(id - kFirstCommandId);
        if ((HIWORD(wParam) & MF_POPUP) || id < kFirstCommandId || index >= items_.size()) return 0;
        std::wstring tip = items_[index]->supertip;
        for (std::size_t at; (at = tip.find(L'\n')) != std::wstring::npos;) tip.replace(at, 1, L" / ");
        if (!tip.empty()) Say(tip);
        return 0;
    }
    case WM_CLOSE:
        ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK RibbonWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
try {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<RibbonWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RibbonWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : ::DefWindowProcW(window, message, wParam, lParam);
} catch (...) {
    // Nothing may unwind into user32; the window goes on without this message.
    return 0;
}

bool RibbonWindow::Create(const std::wstring& title)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kRibbonWindowClass;
    ::RegisterClassExW(&windowClass);

    {
        const WindowDc screen(nullptr);
        dpi_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_.Reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    metrics.lfMessageFont.lfWeight = FW_BOLD;
    boldFont_.Reset(::CreateFontIndirectW(&metrics.lfMessageFont));

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    window_ = ::CreateWindowExW(0, kRibbonWindowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&common);
    tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    if (tips_) {
        ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Scale(360));
        // Long enough to read a supertip while the pointer rests.
        ::SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    }
    Layout();
    RECT frame{0, 0, clientWidth_, clientHeight_};
    ::AdjustWindowRect(&frame, style, TRUE);
    ::SetWindowPos(window_, nullptr, Scale(20), Scale(20), frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER);
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    return true;
}

int RibbonWindow::Run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys walk the buttons, as in a dialog; Alt and its letters stay
        // with the menu bar.
        const bool menuKey = message.message >= WM_SYSKEYDOWN && message.message <= WM_SYSDEADCHAR;
        if (!menuKey && ::IsWindow(window_) && ::IsDialogMessageW(window_, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

bool ShowRibbonWindow(const std::vector<TabView>& tabs, const std::wstring& title, const CallBack& callBack)
{
    RibbonWindow window(tabs, callBack);
    if (!window.Create(title)) return false;
    window.Run();
    return true;
}

} // namespace cornice::host
