#include "SettingsWindow.h"

#include "CheckBoxRules.h"
#include "DesignedWindow.h"
#include "Files.h"
#include "Globals.h"
#include "MachineInstallation.h"
#include "NumberedSteps.h"
#include "Options.h"
#include "PointerEffects.h"
#include "RegistryPolicySource.h"
#include "SettingsProcedures.h"
#include "Shell.h"

#include <commctrl.h>

namespace cornice {
namespace {

using namespace settings;

static_assert(kStyle == (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN));

class SettingsWindow final : public DesignedWindow,
                             private SettingsActions,
                             private ErrorReporter {
public:
    explicit SettingsWindow(HINSTANCE instance)
        : DesignedWindow(kWindow, instance),
          rules_([this](int box, int state) { ShowBoxState(box, state); }),
          procedures_(*this, settings_.Store(), rules_, *this)
    {
    }

    // Creates the window and its controls, runs opening (load and initialisation), centres and
    // shows the window.
    void Open(int showCommand)
    {
        if (!CreateDesigned(CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT))
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The settings window could not be created.");

        procedures_.FormLoad();
        procedures_.FormInitialize();
        ShowPolicyLocks();

        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
        CentreOn(monitor.rcWork);
        ::ShowWindow(Window(), showCommand);
        ::UpdateWindow(Window());
    }

    // Keyboard handling that a dialog box gets for free: Tab, arrows, Enter, Esc, and
    // Ctrl+Tab / Ctrl+PageDown to change pages.
    bool TranslateKeyboard(MSG& message)
    {
        if (!IsKeyForWindow(message)) return false;
        if (message.message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000)) {
            const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            if (message.wParam == VK_TAB || message.wParam == VK_NEXT || message.wParam == VK_PRIOR) {
                const bool previous = message.wParam == VK_PRIOR || (message.wParam == VK_TAB && back);
                const HWND tab = Control(kTabControlId);
                const int count = TabCtrl_GetItemCount(tab);
                TabCtrl_SetCurSel(tab, (TabCtrl_GetCurSel(tab) + (previous ? count - 1 : 1)) % count);
                ShowSelectedPage();
                return true;
            }
        }
        return ::IsDialogMessageW(Window(), &message) != FALSE;
    }

private:
    // ---- SettingsActions ------------------------------------------------------------------
    std::wstring ProgramFolder() override { return cornice::ProgramFolder(); }
    void SetCaption(const std::wstring& caption) override { ::SetWindowTextW(Window(), caption.c_str()); }
    void SetProgramIcon() override { LoadIcons(); }
    void ApplySkin() override { cornice::ApplySkin(*this, kSettingsWindowSkinFile); }
    bool FileExists(const std::wstring& path) override { return cornice::FileExists(path); }
    void LoadCustomPointer(const std::wstring& path) override { DesignedWindow::LoadCustomPointer(path); }
    void SetTitleLabel(const std::wstring& text) override { ::SetWindowTextW(Control(kTitleId), text.c_str()); }
    void SetVersionLabel(const std::wstring& text) override { ::SetWindowTextW(Control(kVersionId), text.c_str()); }
    // Installed for all users, the registration is the administrator's: OK with the first box
    // ticked repairs what belongs to this user, and with it clear only the settings change
    // (Classic 0 already gives Excel an empty document).
    void InstallAddIn() override
    {
        const std::wstring library = LibraryPath(cornice::ProgramFolder());
        if (InstalledForAllUsers(library))
            RepairAddInForUser(Window(), library);
        else
            cornice::InstallAddIn(Window());
    }
    void UninstallAddIn() override
    {
        if (!InstalledForAllUsers(LibraryPath(cornice::ProgramFolder()))) cornice::UninstallAddIn(Window());
    }
    void ShellOpen(const std::wstring& target) override { cornice::ShellOpen(Window(), target); }
    void Close() override { closeRequested_ = true; }

    // ---- ErrorReporter -------------------------------------------------------------------
    void ShowApplicationError(const std::wstring& text) override
    {
        ::MessageBoxW(Window(), text.c_str(), kApplicationErrorTitle, MB_OK | MB_ICONEXCLAMATION);
    }

    // ---- The design's hooks ---------------------------------------------------------------
    // The tab strip goes to the bottom of the z-order, so that the pages lie on top of it.
    void Created() override
    {
        ::SetWindowPos(Control(kTabControlId), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    void LaidOut() override
    {
        const HWND tab = Control(kTabControlId);
        for (int i = TabCtrl_GetItemCount(tab); i < static_cast<int>(kTabCaptions.size()); ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
            TabCtrl_InsertItem(tab, i, &item);
        }
        // The tabs must end where the pages begin, a little above the pages' top.
        TabCtrl_SetItemSize(tab, 0, TwipsToPixels(kPageInset.top, Dpi()) - 2 * TwipsToPixels(15, Dpi()));
        TabCtrl_SetMinTabWidth(tab, TwipsToPixels(1200, Dpi()));
        if (bigIcon_) LoadIcons();
    }

    void LoadIcons()
    {
        const auto load = [&](int width, int height) {
            return UniqueHicon(static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                               SystemMetricForDpi(width, Dpi()),
                                                               SystemMetricForDpi(height, Dpi()), LR_DEFAULTCOLOR)));
        };
        UniqueHicon big = load(SM_CXICON, SM_CYICON), small = load(SM_CXSMICON, SM_CYSMICON);
        if (!big || !small)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The program's icon could not be loaded.");
        ::SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
        ::SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
        bigIcon_ = std::move(big);
        smallIcon_ = std::move(small);
    }

    // ---- Behaviour ----------------------------------------------------------------------
    void ShowPolicyLocks()
    {
        bool any = false;
        for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) {
            if (!rules_.Locked(box)) continue;
            ::EnableWindow(Control(kFirstBoxId + box), FALSE);
            any = true;
        }
        ::ShowWindow(Control(kPolicyNoteId), any ? SW_SHOW : SW_HIDE);
    }

    void ShowBoxState(int box, int state)
    {
        if (const HWND window = Control(kFirstBoxId + box))
            ::SendMessageW(window, BM_SETCHECK,
                           state == CheckBoxRules::kGreyed ? BST_INDETERMINATE : (state ? BST_CHECKED : BST_UNCHECKED),
                           0);
    }

    void ShowSelectedPage()
    {
        const bool about = TabCtrl_GetCurSel(Control(kTabControlId)) == 1;
        const HWND shown = Control(about ? kAboutPageId : kExcelPageId);
        const HWND hidden = Control(about ? kExcelPageId : kAboutPageId);
        // Keyboard focus must not stay on a box that goes out of sight.
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(hidden, focus)) ::SetFocus(Control(kTabControlId));
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
            if (focus && ::IsChild(Window(), focus)) lastFocus_ = focus;
            return;
        }
        if (HIWORD(wParam)) return; // minimised
        if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_))
            ::SetFocus(lastFocus_);
        else if (const HWND first = ::GetNextDlgTabItem(Window(), nullptr, FALSE))
            ::SetFocus(first);
    }

    void OnCommand(int id, int code, HWND control) override
    {
        if (id >= kFirstBoxId && id < kFirstBoxId + CheckBoxRules::kBoxCount && control) {
            if (code == BN_CLICKED && !busy_) rules_.Click(id - kFirstBoxId);
        } else if (id == IDOK || id == IDCANCEL) {
            if ((!control || code == BN_CLICKED) && !busy_) {
                busy_ = true;
                procedures_.OkOrCancel(id == IDOK ? kOkButtonNumber : kCancelButtonNumber);
                busy_ = false;
                if (closeRequested_) ::DestroyWindow(Window());
            }
        } else if (id == kWebsiteId && code == STN_CLICKED) {
            cornice::ShellOpen(Window(), kMakerWebsiteAddress);
        }
    }

    bool IsBox(HWND window) const
    {
        const int id = ::GetDlgCtrlID(window);
        return id >= kFirstBoxId && id < kFirstBoxId + CheckBoxRules::kBoxCount && Control(id) == window;
    }

    HCURSOR PointerOver(HWND under) override
    {
        PointerArea area = PointerArea::Other;
        if (under == Window())
            area = PointerArea::WindowBackground;
        else if (under == Control(kWebsiteId))
            area = PointerArea::WebsiteLink;
        else if (under == Control(IDOK) || under == Control(IDCANCEL))
            area = PointerArea::PushButton;
        else if (IsBox(under))
            area = PointerArea::CheckBox;
        else if (under == Control(kExcelPageId) || under == Control(kAboutPageId)) {
            POINT cursor;
            ::GetCursorPos(&cursor);
            if (!OnDrawing(under, cursor))
                area = under == Control(kExcelPageId) ? PointerArea::ExcelPage : PointerArea::AboutPage;
        }
        pointer_ = PointerMovedOver(area, pointer_);
        ShowUnderline(kWebsiteId, pointer_.websiteUnderlined);
        // Without HAND-M.CUR the custom pointer has no image and shows as the arrow.
        return pointer_.customPointer && CustomPointer() ? CustomPointer() : ::LoadCursorW(nullptr, IDC_ARROW);
    }

    bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) override
    {
        switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == Control(kTabControlId) && header->code == TCN_SELCHANGE) ShowSelectedPage();
            return false;
        }
        case WM_ACTIVATE:
            OnActivate(wParam);
            return true;
        case WM_CLOSE:
            // Not while a push button's procedure runs (regsvr32 or a message box may be
            // pumping messages): it closes the window itself when it is done.
            return busy_;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return true;
        default:
            return false;
        }
    }

    RegistrySettingsAfterPolicy settings_;
    CheckBoxRules rules_;
    SettingsProcedures procedures_;
    PointerState pointer_;
    bool busy_ = false;
    bool closeRequested_ = false;
    HWND lastFocus_ = nullptr;
    UniqueHicon bigIcon_, smallIcon_;
};

} // namespace

int RunSettingsWindow(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    DesignedWindow::RegisterClasses(kWindow, instance);

    SettingsWindow window(instance);
    window.Open(showCommand);

    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (window.TranslateKeyboard(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace cornice
