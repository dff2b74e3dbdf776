#include "Form1.h"

#include "CheckBoxRules.h"
#include "Files.h"
#include "Form1Layout.h"
#include "Form1Procedures.h"
#include "Globals.h"
#include "MachineInstallation.h"
#include "NumberedSteps.h"
#include "Options.h"
#include "PointerEffects.h"
#include "RegistryPolicySource.h"
#include "Shell.h"
#include "Skin.h"
#include "SkinComponent.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowDpi.h"
#include "WindowsErrorText.h"

#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace cornice {
namespace {

using namespace form1;

constexpr const wchar_t* kPageClassName = L"TrellisPage";
constexpr int kProgramIconId = 1;

// One entry of the window's control order, as ApplySkin walks it.
struct Control {
    ControlKind kind;
    HWND window; // none for the windowless lines, the rectangle and the skin component
    OleColor backColor;
    OleColor foreColor;
};

class Form1 final : private Form1Actions, private ErrorReporter, private SkinnableWindow {
public:
    explicit Form1(HINSTANCE instance)
        : instance_(instance),
          rules_([this](int box, int state) { ShowBoxState(box, state); }),
          procedures_(*this, settings_.Store(), rules_, *this)
    {
    }

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    static void RegisterClasses(HINSTANCE instance)
    {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = FormProc;
        form.hInstance = instance;
        form.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconId));
        form.hCursor = nullptr; // the pointer effects choose it (WM_SETCURSOR)
        form.lpszClassName = kForm1ClassName;
        if (!::RegisterClassExW(&form))
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The window class could not be registered.");

        WNDCLASSEXW page{};
        page.cbSize = sizeof page;
        page.lpfnWndProc = PageProc;
        page.hInstance = instance;
        page.lpszClassName = kPageClassName;
        if (!::RegisterClassExW(&page))
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The page class could not be registered.");
    }

    // Creates the window and its controls, runs opening (load and initialisation), centres and
    // shows the window.
    void Open(int showCommand)
    {
        constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
        constexpr DWORD exStyle = WS_EX_CONTROLPARENT;
        if (!::CreateWindowExW(exStyle, kForm1ClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this))
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The settings window could not be created.");

        procedures_.FormLoad();
        procedures_.FormInitialize();
        ShowPolicyLocks();

        CentreOnScreen();
        ::ShowWindow(window_, showCommand);
        ::UpdateWindow(window_);
    }

    HWND Window() const noexcept { return window_; }

    // Keyboard handling that a dialog box gets for free: Tab, arrows, Enter, Esc, and
    // Ctrl+Tab / Ctrl+PageDown to change pages.
    bool TranslateKeyboard(MSG& message)
    {
        if (!window_ || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) return false;
        if (message.message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000)) {
            const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            if (message.wParam == VK_TAB || message.wParam == VK_NEXT || message.wParam == VK_PRIOR) {
                const bool previous = message.wParam == VK_PRIOR || (message.wParam == VK_TAB && back);
                const int count = TabCtrl_GetItemCount(tab_);
                const int current = TabCtrl_GetCurSel(tab_);
                SelectPage((current + (previous ? count - 1 : 1)) % count);
                return true;
            }
        }
        return ::IsDialogMessageW(window_, &message) != FALSE;
    }

private:
    // ---- Form1Actions --------------------------------------------------------------------
    std::wstring ProgramFolder() override { return cornice::ProgramFolder(); }
    void SetCaption(const std::wstring& caption) override { ::SetWindowTextW(window_, caption.c_str()); }
    void SetProgramIcon() override { LoadIcons(); }
    void ApplySkin() override { cornice::ApplySkin(*this, kSettingsWindowSkinFile); }
    bool FileExists(const std::wstring& path) override { return cornice::FileExists(path); }
    void LoadCustomPointer(const std::wstring& path) override
    {
        UniqueHcursor cursor(::LoadCursorFromFileW(path.c_str()));
        if (!cursor) {
            const DWORD error = ::GetLastError();
            throw WindowsError(HRESULT_FROM_WIN32(error),
                               ToUtf8(L"The pointer file " + path + L" could not be loaded: " +
                                      WindowsErrorText(error)));
        }
        handCursor_ = std::move(cursor);
    }
    void SetTitleLabel(const std::wstring& text) override { ::SetWindowTextW(title_, text.c_str()); }
    void SetVersionLabel(const std::wstring& text) override { ::SetWindowTextW(version_, text.c_str()); }
    // Installed for all users, the registration is the administrator's: OK with the first box
    // ticked repairs what belongs to this user, and with it clear only the settings change
    // (Classic 0 already gives Excel an empty document).
    void InstallAddIn() override
    {
        const std::wstring library = LibraryPath(cornice::ProgramFolder());
        if (InstalledForAllUsers(library))
            RepairAddInForUser(window_, library);
        else
            cornice::InstallAddIn(window_);
    }
    void UninstallAddIn() override
    {
        if (!InstalledForAllUsers(LibraryPath(cornice::ProgramFolder()))) cornice::UninstallAddIn(window_);
    }
    void ShellOpen(const std::wstring& target) override { cornice::ShellOpen(window_, target); }
    void Close() override { closeRequested_ = true; }

    // ---- ErrorReporter -------------------------------------------------------------------
    void ShowApplicationError(const std::wstring& text) override
    {
        ::MessageBoxW(window_, text.c_str(), kApplicationErrorTitle, MB_OK | MB_ICONEXCLAMATION);
    }

    // ---- SkinnableWindow -----------------------------------------------------------------
    HWND Handle() const override { return window_; }
    void SetBackColor(OleColor color) override
    {
        windowBackColor_ = color;
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    ControlKind KindOfControl(int index) const override { return controls_.at(index).kind; }
    void SetControlBackColor(int index, OleColor color) override
    {
        Control& control = controls_.at(index);
        control.backColor = color;
        if (control.window) ::InvalidateRect(control.window, nullptr, TRUE);
    }
    IDispatch* SkinComponent() const override { return skinComponent_.Get(); }

    // ---- Creation and layout ------------------------------------------------------------
    HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
                     DWORD exStyle = 0)
    {
        const HWND child = ::CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, this);
        if (!child)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "A control of the settings window could not be created.");
        return child;
    }

    void CreateControls()
    {
        // Creation order is the tab order: the boxes by index, then "OK" and "Cancel"; the tab
        // strip goes to the bottom of the z-order afterwards so that the pages lie on top of it.
        tab_ = CreateChild(WC_TABCONTROLW, L"", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, window_, kTabControlId);
        controls_.push_back({ControlKind::TabControl, tab_, kButtonFaceOleColor, kBlack});
        for (int i = 0; i < static_cast<int>(kTabCaptions.size()); ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
            TabCtrl_InsertItem(tab_, i, &item);
        }

        pages_[0] = CreateChild(kPageClassName, L"", WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, window_,
                                kExcelPageId, WS_EX_CONTROLPARENT);
        controls_.push_back({ControlKind::Frame, pages_[0], kPageBackColor, kBlack});
        for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) {
            // Three states, drawn by the window but changed only through the model: a click
            // asks the rules, and the rules set every box that changes. The boxes are taller
            // than their spacing; clipping keeps a neighbour from painting over a check mark.
            boxes_[box] = CreateChild(WC_BUTTONW, kBoxes[box].caption,
                                      WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_3STATE | BS_MULTILINE, pages_[0],
                                      kFirstBoxId + box);
            controls_.push_back({ControlKind::CheckBox, boxes_[box], kBoxBackColor, kBoxForeColor});
        }
        controls_.push_back({ControlKind::Shape, nullptr, kPageBackColor, kShape1Color});
        policyNote_ = CreateChild(WC_STATICW, kPolicyNoteCaption, SS_LEFT, pages_[0], kPolicyNoteId);
        controls_.push_back({ControlKind::Label, policyNote_, kBoxBackColor, kBoxForeColor});

        pages_[1] = CreateChild(kPageClassName, L"", WS_CLIPCHILDREN | WS_CLIPSIBLINGS, window_, kAboutPageId,
                                WS_EX_CONTROLPARENT);
        controls_.push_back({ControlKind::Frame, pages_[1], kPageBackColor, kBlack});
        // Labels notify so that the pointer effects can tell them from the page beneath.
        title_ = CreateChild(WC_STATICW, L"", WS_VISIBLE | SS_CENTER | SS_NOTIFY, pages_[1], kTitleId);
        controls_.push_back({ControlKind::Label, title_, kLabelBackColor, kTitleLabel.foreColor});
        version_ = CreateChild(WC_STATICW, L"", WS_VISIBLE | SS_CENTER | SS_NOTIFY, pages_[1], kVersionId);
        controls_.push_back({ControlKind::Label, version_, kLabelBackColor, kVersionLabel.foreColor});
        for (const LineDesign& line : kLines) controls_.push_back({ControlKind::Line, nullptr, kPageBackColor, line.color});
        websiteLabel_ = CreateChild(WC_STATICW, kWebsiteLabelCaption, WS_VISIBLE | SS_LEFT | SS_NOTIFY, pages_[1],
                                    kWebsiteLabelId);
        controls_.push_back({ControlKind::Label, websiteLabel_, kLabelBackColor, kWebsiteLabelLabel.foreColor});
        website_ = CreateChild(WC_STATICW, kMakerWebsiteText, WS_VISIBLE | SS_LEFT | SS_NOTIFY, pages_[1], kWebsiteId);
        controls_.push_back({ControlKind::Label, website_, kLabelBackColor, kWebsiteLink.foreColor});

        buttons_[0] = CreateChild(WC_BUTTONW, kOkCaption, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, window_, IDOK);
        controls_.push_back({ControlKind::PushButton, buttons_[0], kButtonFaceOleColor, kBlack});
        buttons_[1] = CreateChild(WC_BUTTONW, kCancelCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, window_, IDCANCEL);
        controls_.push_back({ControlKind::PushButton, buttons_[1], kButtonFaceOleColor, kBlack});

        skinComponent_ = CreateSkinComponent();
        controls_.push_back({ControlKind::SkinComponent, nullptr, kButtonFaceOleColor, kBlack});

        ::SetWindowPos(tab_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    struct Fonts {
        UniqueHfont tab, box, title, version, websiteLabel, website, websitePlain, button;
    };

    Fonts MakeFonts() const
    {
        Fonts fonts;
        fonts.tab = MakeFont(kTabFont, dpi_, false);
        fonts.box = MakeFont(kBoxFont, dpi_, false);
        fonts.title = MakeFont(kTitleFont, dpi_, false);
        fonts.version = MakeFont(kVersionFont, dpi_, false);
        fonts.websiteLabel = MakeFont(kWebsiteLabelFont, dpi_, false);
        fonts.website = MakeFont(kWebsiteFont, dpi_, true);
        fonts.websitePlain = MakeFont(kWebsiteFont, dpi_, false);
        fonts.button = MakeFont(kButtonFont, dpi_, false);
        return fonts;
    }

    void Place(HWND control, const TwipRect& place, int offsetX = 0, int offsetY = 0)
    {
        PlaceControl(control, {place.left + offsetX, place.top + offsetY, place.width, place.height}, dpi_);
    }

    // Everything that depends on the DPI: fonts, places and sizes. Runs at creation and again
    // when the window moves to a monitor of another DPI.
    void Layout()
    {
        // The old fonts go only when no control uses them any more.
        const Fonts previous = std::exchange(fonts_, MakeFonts());
        SetControlFont(tab_, fonts_.tab);
        // The pages begin 315 twips below the tab control's top; the tabs must end there.
        const int stripHeight = TwipsToPixels(kPage.top, dpi_) - 2 * TwipsToPixels(15, dpi_);
        TabCtrl_SetItemSize(tab_, 0, stripHeight);
        TabCtrl_SetMinTabWidth(tab_, TwipsToPixels(1200, dpi_));
        Place(tab_, kTabControl);
        for (HWND page : pages_) Place(page, kPage, kTabControl.left, kTabControl.top);
        for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) {
            SetControlFont(boxes_[box], fonts_.box);
            Place(boxes_[box], kBoxes[box].place);
        }
        SetControlFont(policyNote_, fonts_.box);
        Place(policyNote_, kPolicyNote);
        SetControlFont(title_, fonts_.title);
        Place(title_, kTitleLabel.place);
        SetControlFont(version_, fonts_.version);
        Place(version_, kVersionLabel.place);
        SetControlFont(websiteLabel_, fonts_.websiteLabel);
        Place(websiteLabel_, kWebsiteLabelLabel.place);
        SetControlFont(website_, pointer_.websiteUnderlined ? fonts_.website : fonts_.websitePlain);
        Place(website_, kWebsiteLink.place);
        SetControlFont(buttons_[0], fonts_.button);
        Place(buttons_[0], kOkButton);
        SetControlFont(buttons_[1], fonts_.button);
        Place(buttons_[1], kCancelButton);
        ::InvalidateRect(window_, nullptr, TRUE);
    }

    void ResizeForDpi(const RECT* suggested)
    {
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
        const RECT frame = WindowRectForClient(TwipsToPixels(kClientWidth, dpi_), TwipsToPixels(kClientHeight, dpi_),
                                               style, exStyle, dpi_);
        RECT current;
        ::GetWindowRect(window_, &current);
        const POINT origin = suggested ? POINT{suggested->left, suggested->top} : POINT{current.left, current.top};
        ::SetWindowPos(window_, nullptr, origin.x, origin.y, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void CentreOnScreen()
    {
        RECT window;
        ::GetWindowRect(window_, &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& area = monitor.rcWork;
        const int width = window.right - window.left, height = window.bottom - window.top;
        const int left = area.left + ((area.right - area.left) - width) / 2;
        const int top = area.top + ((area.bottom - area.top) - height) / 2;
        ::SetWindowPos(window_, nullptr, left, top < area.top ? area.top : top, 0, 0,
                       SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    void LoadIcons()
    {
        const auto metric = [&](int index) { return SystemMetricForDpi(index, dpi_); };
        UniqueHicon big(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                        metric(SM_CXICON), metric(SM_CYICON), LR_DEFAULTCOLOR)));
        UniqueHicon small(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                          metric(SM_CXSMICON), metric(SM_CYSMICON), LR_DEFAULTCOLOR)));
        if (!big || !small)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The program's icon could not be loaded.");
        ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
        ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
        bigIcon_ = std::move(big);
        smallIcon_ = std::move(small);
    }

    // ---- Behaviour ----------------------------------------------------------------------
    void ShowPolicyLocks()
    {
        bool any = false;
        for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) {
            if (!rules_.Locked(box)) continue;
            ::EnableWindow(boxes_[box], FALSE);
            any = true;
        }
        ::ShowWindow(policyNote_, any ? SW_SHOW : SW_HIDE);
    }

    void ShowBoxState(int box, int state)
    {
        if (boxes_[box])
            ::SendMessageW(boxes_[box], BM_SETCHECK,
                           state == CheckBoxRules::kGreyed ? BST_INDETERMINATE
                                                           : (state ? BST_CHECKED : BST_UNCHECKED),
                           0);
    }

    void SelectPage(int page)
    {
        TabCtrl_SetCurSel(tab_, page);
        ShowSelectedPage();
    }

    void ShowSelectedPage()
    {
        const int selected = TabCtrl_GetCurSel(tab_);
        const HWND shown = pages_[selected == 1 ? 1 : 0], hidden = pages_[selected == 1 ? 0 : 1];
        // Keyboard focus must not stay on a box that goes out of sight.
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(hidden, focus)) ::SetFocus(tab_);
        // Show the new page before hiding the old, so that nothing flickers through.
        ::ShowWindow(shown, SW_SHOW);
        ::ShowWindow(hidden, SW_HIDE);
    }

    // A window that handles its own dialog keys must also keep its focus across activation, as
    // the dialog manager does for dialog boxes: the control that had it gets it back, the first
    // box at the start.
    void OnActivate(WPARAM wParam)
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

    void ClickPushButton(int index)
    {
        if (busy_) return;
        busy_ = true;
        procedures_.PushButton22Click(index);
        busy_ = false;
        if (closeRequested_) ::DestroyWindow(window_);
    }

    void OnCommand(int id, int code, HWND control)
    {
        if (id >= kFirstBoxId && id < kFirstBoxId + CheckBoxRules::kBoxCount && control) {
            if (code == BN_CLICKED && !busy_) rules_.Click(id - kFirstBoxId);
        } else if (id == IDOK || id == IDCANCEL) {
            if (!control || code == BN_CLICKED) ClickPushButton(id == IDOK ? kOkIndex : kCancelIndex);
        } else if (id == kWebsiteId && code == STN_CLICKED) {
            cornice::ShellOpen(window_, kMakerWebsiteAddress);
        }
    }

    const Control* FindControl(HWND window) const
    {
        for (const Control& control : controls_)
            if (control.window && control.window == window) return &control;
        return nullptr;
    }

    HBRUSH BrushFor(OleColor color) { return brushes_.For(ColorFromOle(color)); }

    LRESULT ControlColor(HDC dc, HWND controlWindow)
    {
        const Control* control = FindControl(controlWindow);
        if (!control) return 0;
        ::SetTextColor(dc, ColorFromOle(control->foreColor));
        ::SetBkColor(dc, ColorFromOle(control->backColor));
        return reinterpret_cast<LRESULT>(BrushFor(control->backColor));
    }

    // Within `slack` pixels of a line from (x1, y1) to (x2, y2); the lines here are straight.
    static bool NearLine(POINT p, int x1, int y1, int x2, int y2, int slack)
    {
        const int left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
        const int top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
        return p.x >= left - slack && p.x <= right + slack && p.y >= top - slack && p.y <= bottom + slack;
    }

    bool OnDrawing(HWND page, POINT screenPoint) const
    {
        POINT p = screenPoint;
        ::ScreenToClient(page, &p);
        const int slack = TwipsToPixels(15, dpi_);
        if (page == pages_[0]) {
            const PixelRect r = ToPixels(kShape1, dpi_);
            const int right = r.Right() - 1, bottom = r.Bottom() - 1;
            return NearLine(p, r.left, r.top, right, r.top, slack) || NearLine(p, r.left, bottom, right, bottom, slack) ||
                   NearLine(p, r.left, r.top, r.left, bottom, slack) || NearLine(p, right, r.top, right, bottom, slack);
        }
        for (const LineDesign& line : kLines)
            if (NearLine(p, TwipsToPixels(line.x1, dpi_), TwipsToPixels(line.y1, dpi_), TwipsToPixels(line.x2, dpi_),
                         TwipsToPixels(line.y2, dpi_), slack))
                return true;
        return false;
    }

    PointerArea AreaOf(HWND under) const
    {
        if (under == window_) return PointerArea::WindowBackground;
        if (under == website_) return PointerArea::WebsiteLink;
        if (under == buttons_[0] || under == buttons_[1]) return PointerArea::PushButton;
        for (HWND box : boxes_)
            if (under == box) return PointerArea::CheckBox;
        if (under == pages_[0] || under == pages_[1]) {
            POINT cursor;
            ::GetCursorPos(&cursor);
            if (OnDrawing(under, cursor)) return PointerArea::Other;
            return under == pages_[0] ? PointerArea::ExcelPage : PointerArea::AboutPage;
        }
        return PointerArea::Other;
    }

    void OnPointerOver(HWND under)
    {
        const PointerState next = PointerMovedOver(AreaOf(under), pointer_);
        if (next.websiteUnderlined != pointer_.websiteUnderlined)
            SetControlFont(website_, next.websiteUnderlined ? fonts_.website : fonts_.websitePlain);
        pointer_ = next;
        // Without HAND-M.CUR the custom pointer has no image and shows as the arrow.
        ::SetCursor(pointer_.customPointer && handCursor_ ? handCursor_.Get() : ::LoadCursorW(nullptr, IDC_ARROW));
    }

    void PaintPage(HWND page)
    {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(page, &paint);
        if (page == pages_[0]) {
            UniqueHpen pen(::CreatePen(PS_SOLID, 1, ColorFromOle(kShape1Color)));
            ScopedSelectObject selectPen(dc, pen.Get());
            ScopedSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
            const PixelRect r = ToPixels(kShape1, dpi_);
            ::Rectangle(dc, r.left, r.top, r.Right(), r.Bottom());
        } else {
            for (const LineDesign& line : kLines) {
                UniqueHpen pen(::CreatePen(PS_SOLID, 1, ColorFromOle(line.color)));
                ScopedSelectObject selectPen(dc, pen.Get());
                ::MoveToEx(dc, TwipsToPixels(line.x1, dpi_), TwipsToPixels(line.y1, dpi_), nullptr);
                ::LineTo(dc, TwipsToPixels(line.x2, dpi_), TwipsToPixels(line.y2, dpi_));
            }
        }
        ::EndPaint(page, &paint);
    }

    void FillBackground(HWND window, HDC dc, OleColor color)
    {
        RECT client;
        ::GetClientRect(window, &client);
        ::FillRect(dc, &client, BrushFor(color));
    }

    OleColor PageBackColor(HWND page) const
    {
        const Control* control = FindControl(page);
        return control ? control->backColor : kPageBackColor;
    }

    LRESULT HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CREATE:
            dpi_ = DpiOfWindow(window_);
            CreateControls();
            Layout();
            ResizeForDpi(nullptr);
            return 0;
        case WM_ERASEBKGND:
            FillBackground(window_, reinterpret_cast<HDC>(wParam), windowBackColor_);
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (const LRESULT brush = ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return brush;
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == tab_ && header->code == TCN_SELCHANGE) ShowSelectedPage();
            break;
        }
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                OnPointerOver(reinterpret_cast<HWND>(wParam));
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            dpi_ = HIWORD(wParam);
            Layout();
            ResizeForDpi(reinterpret_cast<const RECT*>(lParam));
            if (bigIcon_) LoadIcons();
            return 0;
        case WM_CLOSE:
            // Not while a push button's procedure runs (regsvr32 or a message box may be
            // pumping messages): it closes the window itself when it is done.
            if (busy_) return 0;
            break;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
        default:
            break;
        }
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }

    LRESULT HandlePageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_ERASEBKGND:
            FillBackground(page, reinterpret_cast<HDC>(wParam), PageBackColor(page));
            return 1;
        case WM_PAINT:
            PaintPage(page);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (const LRESULT brush = ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return brush;
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        default:
            break;
        }
        return ::DefWindowProcW(page, message, wParam, lParam);
    }

    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCCREATE) {
            form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            form->window_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        }
        if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
        try {
            return form->HandleFormMessage(message, wParam, lParam);
        } catch (...) {
            // No exception may unwind into user32. A control that failed to come into being
            // fails the window's creation; anything else leaves the window as it is.
            if (message == WM_CREATE) return -1;
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
    }

    static LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(page, GWLP_USERDATA));
        if (message == WM_NCCREATE) {
            form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            ::SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        }
        if (!form) return ::DefWindowProcW(page, message, wParam, lParam);
        try {
            return form->HandlePageMessage(page, message, wParam, lParam);
        } catch (...) {
            return ::DefWindowProcW(page, message, wParam, lParam);
        }
    }

    HINSTANCE instance_;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    RegistrySettingsAfterPolicy settings_;
    CheckBoxRules rules_;
    Form1Procedures procedures_;
    PointerState pointer_;
    bool busy_ = false;
    bool closeRequested_ = false;

    HWND tab_ = nullptr;
    std::array<HWND, 2> pages_{};
    std::array<HWND, CheckBoxRules::kBoxCount> boxes_{};
    HWND policyNote_ = nullptr;
    HWND title_ = nullptr;
    HWND version_ = nullptr;
    HWND websiteLabel_ = nullptr;
    HWND website_ = nullptr;
    std::array<HWND, 2> buttons_{};
    HWND lastFocus_ = nullptr;
    std::vector<Control> controls_;
    OleColor windowBackColor_ = kWindowBackColor;
    ComPtr<IDispatch> skinComponent_;

    Fonts fonts_;
    UniqueHicon bigIcon_, smallIcon_;
    UniqueHcursor handCursor_;
    SolidBrushes brushes_;
};

} // namespace

int RunForm1(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    Form1::RegisterClasses(instance);

    Form1 form(instance);
    form.Open(showCommand);

    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (form.TranslateKeyboard(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace cornice
