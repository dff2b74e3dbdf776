#include "SettingsWindow.h"

#include "CheckBoxRules.h"
#include "CheckPage.h"
#include "WindowBase.h"
#include "Files.h"
#include "ProgramName.h"
#include "MachineInstallation.h"
#include "NumberedSteps.h"
#include "UserInstallation.h"
#include "OwnTexts.h"
#include "RegistryPolicySource.h"
#include "SettingsProcedures.h"
#include "Shell.h"
#include "TrellisText.h"
#include "Utf8.h"
#include "WindowsErrorText.h"

#include <commctrl.h>

#include <optional>

namespace cornice {
namespace {

using namespace settings;

static_assert(kStyle == (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN));
static_assert(IDS_BOX_HIDE_BUILT_IN_TABS == IDS_BOX_CLASSIC + CheckBoxRules::kBoxCount - 1, "box texts follow the boxes");

class SettingsWindow final : public WindowBase,
                             private SettingsActions,
                             private ErrorReporter {
public:
    explicit SettingsWindow(HINSTANCE instance)
        : WindowBase(kWindow, instance),
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

        procedures_.SetUpWindow();
        procedures_.ShowSettings();
        ShowPolicyLocks();

        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
        CentreOn(monitor.rcWork);
        ::ShowWindow(Window(), showCommand);
        ::UpdateWindow(Window());
    }

private:
    // ---- SettingsActions ------------------------------------------------------------------
    void SetProgramIcon() override { LoadIcons(); }
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
        ::MessageBoxW(Window(), text.c_str(), OwnText(IDS_APPLICATION_ERROR_TITLE, kApplicationErrorTitle).c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
    }

    // The design's failure, in the user's words.
    void LoadCustomPointer(const std::wstring& path) override
    {
        try {
            WindowBase::LoadCustomPointer(path);
        } catch (const WindowsError& error) {
            throw WindowsError(error.Code(), ToUtf8(OwnText(IDS_POINTER_NOT_LOADED,
                                                            L"The pointer file %1 could not be loaded: %2",
                                                            {path, WindowsErrorText(HRESULT_CODE(error.Code()))})));
        }
    }

    // ---- The design's hooks ---------------------------------------------------------------
    // The table's texts in the user's language; the boxes' ids follow their order.
    std::wstring ControlText(const ControlDesign& design) override
    {
        const std::wstring english = WindowBase::ControlText(design);
        const int box = design.id - kFirstBoxId;
        if (design.kind == ControlKind::CheckBox && box >= 0 && box < CheckBoxRules::kBoxCount)
            return OwnText(IDS_BOX_CLASSIC + box, english);
        switch (design.id) {
        case kExcelPageId: return OwnText(IDS_TAB_EXCEL, english);
        case kAboutPageId: return OwnText(IDS_TAB_ABOUT, english);
        case kHelpPageId: return OwnText(IDS_TAB_HELP, english);
        case kCheckButtonId: return OwnText(IDS_CHECK_BUTTON, english);
        case kRepairButtonId: return OwnText(IDS_REPAIR_BUTTON, english);
        case kTipsBoxId: return OwnText(IDS_BOX_TIPS, english);
        case kSearchBoxId: return OwnText(IDS_BOX_SEARCH, english);
        case kFindingsId: return OwnText(IDS_CHECK_INTRO, english);
        case kPolicyNoteId: return OwnText(IDS_POLICY_NOTE, english);
        case kWebsiteCaptionId: return OwnText(IDS_WEBSITE_LABEL, english);
        case kOkId: return OwnText(IDS_OK, english);
        case kCancelId: return OwnText(IDS_CANCEL, english);
        default: return english;
        }
    }

    void LaidOut() override
    {
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
        for (const auto& [box, which] : kSwitchBoxes) {
            ShowSwitch(box, which);
            ::EnableWindow(Control(box), !procedures_.Locked(which));
        }
    }

    // The plain boxes of the "Help" page and the settings they stand for.
    static constexpr std::pair<int, SettingsProcedures::Switch> kSwitchBoxes[] = {
        {kTipsBoxId, SettingsProcedures::Switch::Tips},
        {kSearchBoxId, SettingsProcedures::Switch::Search},
    };

    static std::optional<SettingsProcedures::Switch> SwitchOf(int box)
    {
        for (const auto& [id, which] : kSwitchBoxes)
            if (id == box) return which;
        return std::nullopt;
    }

    void ShowSwitch(int box, SettingsProcedures::Switch which)
    {
        ::SendMessageW(Control(box), BM_SETCHECK, procedures_.On(which) ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    void ShowBoxState(int box, int state)
    {
        if (const HWND window = Control(kFirstBoxId + box))
            ::SendMessageW(window, BM_SETCHECK,
                           state == CheckBoxRules::kGreyed ? BST_INDETERMINATE : (state ? BST_CHECKED : BST_UNCHECKED),
                           0);
    }

    void OnCommand(int id, int code, HWND control) override
    {
        if (id >= kFirstBoxId && id < kFirstBoxId + CheckBoxRules::kBoxCount && control) {
            if (code == BN_CLICKED && !busy_) rules_.Click(id - kFirstBoxId);
        } else if (const auto which = SwitchOf(id)) {
            if (code == BN_CLICKED && !busy_) {
                procedures_.Set(*which, !procedures_.On(*which));
                ShowSwitch(id, *which);
            }
        } else if (id == IDOK || id == IDCANCEL) {
            if ((!control || code == BN_CLICKED) && !busy_) {
                busy_ = true;
                if (id == IDOK)
                    procedures_.Ok();
                else
                    procedures_.Cancel();
                busy_ = false;
                if (closeRequested_) ::DestroyWindow(Window());
            }
        } else if ((id == kCheckButtonId || id == kRepairButtonId) && code == BN_CLICKED && !busy_) {
            busy_ = true;
            const CheckPage::Controls page{Window(), Control(kFindingsId), Control(kRepairButtonId)};
            try {
                if (id == kCheckButtonId)
                    checkPage_.Check(page);
                else
                    checkPage_.Repair(page);
            } catch (const std::exception& error) {
                ::SetWindowTextW(page.findings, FromUtf8(error.what()).value_or(L"").c_str());
            }
            busy_ = false;
        } else if (id == kWebsiteId && code == STN_CLICKED) {
            cornice::ShellOpen(Window(), kWebsiteAddress);
        }
    }

    bool IsSwitch(HWND window) const
    {
        const int id = ::GetDlgCtrlID(window);
        return SwitchOf(id) && Control(id) == window;
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
            area = PointerArea::Background;
        else if (under == Control(kWebsiteId))
            area = PointerArea::Link;
        else if (under == Control(IDOK) || under == Control(IDCANCEL) || under == Control(kCheckButtonId) ||
                 under == Control(kRepairButtonId) || IsSwitch(under) || IsBox(under))
            area = PointerArea::Clickable;
        else if (under == Control(kHelpPageId))
            area = PointerArea::PageKeepingUnderline;
        else if (under == Control(kExcelPageId) || under == Control(kAboutPageId)) {
            POINT cursor;
            ::GetCursorPos(&cursor);
            if (!OnDrawing(under, cursor))
                area = under == Control(kExcelPageId) ? PointerArea::Background : PointerArea::PageKeepingUnderline;
        }
        return FollowPointer(area, kWebsiteId);
    }

    bool OwnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        switch (message) {
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
    CheckPage checkPage_;
    bool busy_ = false;
    bool closeRequested_ = false;
    UniqueHicon bigIcon_, smallIcon_;
};

} // namespace

int RunSettingsWindow(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WindowBase::RegisterClasses(kWindow, instance);

    SettingsWindow window(instance);
    window.Open(showCommand);

    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (window.DialogKey(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace cornice
