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
// Posted when the add-in invalidated controls.
constexpr UINT kInvalidatedMessage = WM_APP + 1;

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
    RibbonWindow(const std::vector<TabView>& tabs, RibbonActions& actions) : tabs_(tabs), actions_(actions) {}
    ~RibbonWindow() { actions_.TellWindow(nullptr, 0); }
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
    void Open(const ViewItem& menu, HWND button);
    void Say(const std::wstring& text) { ::SetDlgItemTextW(window_, kStatusId, text.c_str()); }

    // The controls that the add-in fills in or the keyboard reaches by keytip.
    struct Placed {
        const ViewItem* item;
        HWND control;
        HWND badge; // its keytip, while keytip mode shows it
    };
    const Placed* PlacedFor(HWND control) const;
    void Place(const ViewItem& item, HWND control);
    void ShowTexts();
    void Confirm(const Placed& edit);
    bool PreTranslate(const MSG& message);
    void EnterKeytips();
    void LeaveKeytips(const std::wstring& status = L"");
    void TypeKeytip(wchar_t letter);

    const std::vector<TabView>& tabs_;
    RibbonActions& actions_;
    std::vector<Placed> placed_;
    std::vector<UniqueHwnd> badges_; // the keytips shown
    bool altAlone_ = false; // Alt is down and no other key came with it
    bool keytipMode_ = false;
    std::wstring typed_;
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
                const bool edit = item.kind == ViewItem::Kind::EditBox;
                const std::wstring text = Literal(item.kind == ViewItem::Kind::Menu ? item.label + L" \u00BB" : item.label);
                const int width = edit ? (item.sizeString.empty() ? Scale(kFieldWidth)
                                                                   : TextWidth(item.sizeString) + Scale(kButtonPadding))
                                : field ? Scale(kFieldWidth)
                                        : TextWidth(text) + Scale(kButtonPadding);
                if (x > left && x + width > maximumRight) {
                    x = left;
                    y += lineHeight;
                }
                if (edit) {
                    const HWND box = AddControl(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, CommandId(item), x,
                                                y + Scale(1), width, lineHeight - Scale(4));
                    if (!item.enabled) ::EnableWindow(box, FALSE);
                    AddTip(box, item.supertip.empty() ? item.label : item.supertip);
                    Place(item, box);
                } else if (field) {
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
                    Place(item, button);
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
        Open(item, button);
        return;
    }
    if (item.kind == ViewItem::Kind::Field || item.kind == ViewItem::Kind::EditBox) return;
    if (!item.onAction.empty()) {
        Say(item.label + L": calling the add-in's " + item.onAction + L"...");
        Say(item.label + L": " + actions_.Click(item.id));
        return;
    }
    Say(item.label + L": Excel's own command " + (item.idMso.empty() ? item.id : item.idMso) +
        L", which this stand-in does not carry out");
    if (!item.idMso.empty()) actions_.Ran(item.idMso);
}

// A menu in a toolbar drops down from its button; a dynamic one with the entries its add-in gives
// now. The entries' command ids last as long as the menu is open.
void RibbonWindow::Open(const ViewItem& menu, HWND button)
{
    std::vector<ViewItem> content;
    if (!menu.getContent.empty()) {
        std::wstring said;
        if (!actions_.Content(menu.id, content, said)) {
            Say(menu.label + L": " + said);
            return;
        }
    }
    const std::size_t commands = items_.size();
    UniqueHmenu popup(PopupOf(menu.getContent.empty() ? menu.children : content));
    RECT rect;
    ::GetWindowRect(button, &rect);
    const int chosen = static_cast<int>(::TrackPopupMenu(popup.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                                         rect.left, rect.bottom, 0, window_, nullptr));
    if (chosen != 0) Pick(chosen, nullptr);
    items_.resize(commands);
}

const RibbonWindow::Placed* RibbonWindow::PlacedFor(HWND control) const
{
    for (const Placed& placed : placed_)
        if (placed.control == control) return &placed;
    return nullptr;
}

void RibbonWindow::Place(const ViewItem& item, HWND control)
{
    if (!item.keytip.empty() || item.kind == ViewItem::Kind::EditBox || !item.getContent.empty())
        placed_.push_back({&item, control, nullptr});
}

// Each edit box with the add-in's text where it gave it anew; a box already showing it is left
// alone, caret and all.
void RibbonWindow::ShowTexts()
{
    for (const Placed& placed : placed_) {
        if (placed.item->kind != ViewItem::Kind::EditBox || placed.item->getText.empty()) continue;
        std::wstring text, said;
        if (!actions_.Text(placed.item->id, text, said)) {
            if (!said.empty()) Say(placed.item->label + L": " + said);
            continue;
        }
        const int length = ::GetWindowTextLengthW(placed.control);
        std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
        shown.resize(static_cast<std::size_t>(::GetWindowTextW(placed.control, shown.data(), length + 1)));
        if (shown == text) continue;
        ::SetWindowTextW(placed.control, text.c_str());
        ::SendMessageW(placed.control, EM_SETMODIFY, FALSE, 0);
    }
}

void RibbonWindow::Confirm(const Placed& edit)
{
    ::SendMessageW(edit.control, EM_SETMODIFY, FALSE, 0);
    if (edit.item->onChange.empty()) return;
    const int length = ::GetWindowTextLengthW(edit.control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(edit.control, text.data(), length + 1)));
    Say(edit.item->label + L": " + actions_.Change(edit.item->id, text));
}

void RibbonWindow::EnterKeytips()
{
    keytipMode_ = true;
    typed_.clear();
    std::wstring keys;
    for (Placed& placed : placed_) {
        if (placed.item->keytip.empty()) continue;
        // As Excel's: a small window of its own over the lower middle of the control, above all.
        RECT rect;
        ::GetWindowRect(placed.control, &rect);
        const int width = TextWidth(placed.item->keytip) + Scale(8), height = Scale(16);
        UniqueHwnd badge(::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", placed.item->keytip.c_str(),
                                           WS_POPUP | WS_BORDER | SS_CENTER | SS_NOPREFIX,
                                           (rect.left + rect.right - width) / 2, rect.bottom - height / 2, width,
                                           height, window_, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        if (!badge) continue;
        ::SendMessageW(badge.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        ::ShowWindow(badge.Get(), SW_SHOWNA);
        placed.badge = badge.Get();
        badges_.push_back(std::move(badge));
        keys += (keys.empty() ? L"" : L", ") + placed.item->keytip + L" " + placed.item->label;
    }
    Say(L"Keytips: " + keys + L"; Esc leaves");
}

void RibbonWindow::LeaveKeytips(const std::wstring& status)
{
    keytipMode_ = false;
    typed_.clear();
    for (Placed& placed : placed_) placed.badge = nullptr;
    badges_.clear();
    Say(status);
}

// The letters typed so far narrow the keytips down; a whole one activates its control.
void RibbonWindow::TypeKeytip(wchar_t letter)
{
    typed_ += letter;
    const Placed* whole = nullptr;
    bool goesOn = false;
    for (const Placed& placed : placed_) {
        if (!placed.badge) continue;
        const std::wstring& keytip = placed.item->keytip;
        const int length = static_cast<int>(typed_.size());
        const bool matches = keytip.size() >= typed_.size() &&
                             ::CompareStringOrdinal(keytip.c_str(), length, typed_.c_str(), length, TRUE) == CSTR_EQUAL;
        if (matches && keytip.size() == typed_.size()) whole = &placed;
        goesOn = goesOn || matches;
        ::ShowWindow(placed.badge, matches ? SW_SHOWNA : SW_HIDE);
    }
    if (!whole) {
        if (!goesOn) LeaveKeytips(L"No keytip " + typed_);
        return;
    }
    const Placed target = *whole;
    LeaveKeytips();
    if (!::IsWindowEnabled(target.control)) return;
    if (target.item->kind == ViewItem::Kind::EditBox) {
        ::SetFocus(target.control);
        ::SendMessageW(target.control, EM_SETSEL, 0, -1);
    } else if (target.item->kind == ViewItem::Kind::Menu) {
        ::SetFocus(target.control);
        Open(*target.item, target.control);
    } else {
        Pick(::GetDlgCtrlID(target.control), target.control);
    }
}

// The keys that this window takes before the dialog keys and the menu bar do: true when done.
bool RibbonWindow::PreTranslate(const MSG& message)
{
    if (!::IsWindow(window_) || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) return false;
    const bool anyKeytip =
        std::any_of(placed_.begin(), placed_.end(), [](const Placed& placed) { return !placed.item->keytip.empty(); });
    const auto key = static_cast<UINT>(message.wParam);
    switch (message.message) {
    case WM_SYSKEYDOWN:
        if (key == VK_MENU) {
            if (!(message.lParam & (1 << 30))) altAlone_ = anyKeytip; // not a repeat
            return false;
        }
        altAlone_ = false;
        if (keytipMode_) LeaveKeytips();
        return false;
    case WM_SYSKEYUP:
        if (key != VK_MENU || !altAlone_) return false;
        altAlone_ = false;
        if (keytipMode_) LeaveKeytips();
        else EnterKeytips();
        return true; // not to the menu bar
    case WM_KEYDOWN:
        if (keytipMode_) {
            if (key == VK_SHIFT || key == VK_CONTROL) return true;
            // The letter in the user's keyboard layout: keytips are Cyrillic in a Russian Excel.
            BYTE state[256] = {};
            wchar_t typed[4] = {};
            const UINT scanCode = (static_cast<UINT>(message.lParam) >> 16) & 0xFF;
            const bool letter = key != VK_ESCAPE && ::GetKeyboardState(state) &&
                                ::ToUnicode(key, scanCode, state, typed, 4, 0) == 1 && ::IsCharAlphaNumericW(typed[0]);
            if (letter) {
                ::CharUpperBuffW(typed, 1); // keytips are written in capitals
                TypeKeytip(typed[0]);
                return true;
            }
            LeaveKeytips();
            return key == VK_ESCAPE;
        }
        if (const Placed* placed = PlacedFor(message.hwnd)) {
            if (placed->item->kind == ViewItem::Kind::EditBox && key == VK_RETURN) {
                Confirm(*placed);
                return true;
            }
            if (!placed->item->getContent.empty() && (key == VK_RETURN || key == VK_SPACE || key == VK_DOWN)) {
                Open(*placed->item, placed->control);
                return true;
            }
        }
        return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        if (keytipMode_) LeaveKeytips();
        return false;
    default:
        return false;
    }
}

LRESULT RibbonWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // A button's BN_CLICKED and a menu entry's choice both come with 0 above the id.
        if (HIWORD(wParam) == 0) Pick(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        // Leaving an edit box after a change confirms it, as Enter does.
        if (HIWORD(wParam) == EN_KILLFOCUS)
            if (const Placed* edit = PlacedFor(reinterpret_cast<HWND>(lParam));
                edit && ::SendMessageW(edit->control, EM_GETMODIFY, 0, 0))
                Confirm(*edit);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && keytipMode_) LeaveKeytips();
        return ::DefWindowProcW(window_, message, wParam, lParam);
    case kInvalidatedMessage:
        ShowTexts();
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
    actions_.TellWindow(window_, kInvalidatedMessage);
    ShowTexts();
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
        if (PreTranslate(message)) continue;
        const bool menuKey = message.message >= WM_SYSKEYDOWN && message.message <= WM_SYSDEADCHAR;
        if (!menuKey && ::IsWindow(window_) && ::IsDialogMessageW(window_, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

bool ShowRibbonWindow(const std::vector<TabView>& tabs, const std::wstring& title, RibbonActions& actions)
{
    RibbonWindow window(tabs, actions);
    if (!window.Create(title)) return false;
    window.Run();
    return true;
}

} // namespace cornice::host
