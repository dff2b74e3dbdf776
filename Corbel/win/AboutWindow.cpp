#include "AboutWindow.h"

#include "AboutOpening.h"
#include "AboutPointer.h"
#include "AddInIdentity.h"
#include "ComError.h"
#include "Corbel.h"
#include "CorbelText.h"
#include "WindowBase.h"
#include "LanguageChoice.h"
#include "LibraryResources.h"
#include "LocalisedText.h"
#include "Module.h"
#include "Shell.h"
#include "Utf8.h"
#include "WindowsErrorText.h"
#include "Trace.h"

namespace cornice {
namespace {

using namespace about;

LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam);

static_assert(kStyle == (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN) &&
              kExStyle == (WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT));

class AboutWindow final : public WindowBase, private AboutWindowActions {
public:
    AboutWindow() : WindowBase(kWindow, ModuleHandle()), steps_(*this, kAddInFriendlyName, LibraryVersion()) {}
    ~AboutWindow() override { Unload(); }

    void Open(int language)
    {
        // A call that arrives while the window is being built (Excel pumping messages inside
        // one of its steps) finds it on its way already.
        if (opening_) return;
        opening_ = true;
        try {
            language_ = language;
            steps_.SetTexts({Text(IDS_ABOUT_CAPTION), Text(IDS_ABOUT_VERSION)});
            steps_.Show();
        } catch (...) {
            opening_ = false;
            throw;
        }
        opening_ = false;
    }

    bool Opening() const noexcept { return opening_; }

    // Enter, Esc and Tab as a dialog box has them. Excel's message loop calls no
    // IsDialogMessage for a window of an add-in, so a message hook of this thread calls it
    // (KB 233263, "How to use a modeless dialog box in a DLL").
    bool TranslateDialogKey(MSG& message)
    {
        return message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && DialogKey(message);
    }

private:
    std::wstring Text(unsigned id) const { return LoadText(ModuleHandle(), id, language_); }

    // ---- AboutWindowActions ---------------------------------------------------------------
    bool IsLoaded() const override { return Window() != nullptr; }

    void Build() override
    {
        RegisterClasses(kWindow, ModuleHandle());
        // The monitor that the user works on: the one of Excel's window, which is in front.
        const HMONITOR monitor = ::MonitorFromWindow(::GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(monitor, &info);

        const UniqueActCtx context = LibraryActivationContext();
        const ScopedActivation active(context.Get());
        // Created on that monitor, so that it gets that monitor's DPI from the start; no owner,
        // so that it is a window of its own beside Excel's.
        if (!CreateDesigned(info.rcWork.left, info.rcWork.top, 0, 0)) {
            const DWORD error = ::GetLastError();
            throw WindowsError(HRESULT_FROM_WIN32(error ? error : ERROR_CANNOT_MAKE),
                               ToUtf8(FillIn(Text(IDS_ABOUT_NOT_CREATED),
                                             {WindowsErrorText(error ? error : ERROR_CANNOT_MAKE)})));
        }
        CentreOn(info.rcWork);
    }

    void Unload() noexcept override
    {
        if (Window()) ::DestroyWindow(Window());
    }

    void SetTitleLabel(const std::wstring& text) override { ::SetWindowTextW(Control(kAboutTitleId), text.c_str()); }
    void SetVersionLabel(const std::wstring& text) override
    {
        ::SetWindowTextW(Control(kAboutVersionId), text.c_str());
    }

    void Show() override
    {
        ::ShowWindow(Window(), ::IsIconic(Window()) ? SW_RESTORE : SW_SHOWNORMAL);
        // Excel is in front (its ribbon was just clicked), so it may hand the foreground on.
        ::SetForegroundWindow(Window());
    }

    // ---- Behaviour ----------------------------------------------------------------------
    void OnCommand(int id, int code, HWND control) override
    {
        if (id == IDOK || id == IDCANCEL) {
            // The button's click, or Enter and Esc through the dialog keys.
            if (!control || code == BN_CLICKED) ::DestroyWindow(Window());
        } else if (id == kAboutLinkId && code == STN_CLICKED) {
            StartExplorer(kWebsiteAddress);
        }
    }

    // The design's texts are English; the window speaks Excel's language.
    std::wstring ControlText(const ControlDesign& design) override
    {
        const unsigned id = design.id == kAboutWebsiteCaptionId ? IDS_ABOUT_WEBSITE_LABEL
                            : design.id == IDOK                  ? IDS_ABOUT_OK
                                                                 : 0;
        std::wstring text = id ? Text(id) : std::wstring();
        return text.empty() ? WindowBase::ControlText(design) : text;
    }

    HCURSOR PointerOver(HWND under) override
    {
        const PointerArea area = under == Window()               ? PointerArea::FreeArea
                                 : under == Control(kAboutLinkId) ? PointerArea::Link
                                 : under == Control(IDOK)         ? PointerArea::OkButton
                                                                  : PointerArea::Other;
        pointer_ = PointerMovedOver(area, pointer_);
        ShowUnderline(kAboutLinkId, pointer_.linkUnderlined);
        if (pointer_.pointer == MousePointer::Hourglass) return ::LoadCursorW(nullptr, IDC_WAIT);
        // Without HAND-M.CUR the custom pointer has no image and shows as the arrow.
        if (pointer_.pointer == MousePointer::Custom && CustomPointer()) return CustomPointer();
        return ::LoadCursorW(nullptr, IDC_ARROW);
    }

    void Created() override
    {
        pointer_ = PointerState{};
        hook_.Reset(::SetWindowsHookExW(WH_GETMESSAGE, DialogKeysHook, ModuleHandle(), ::GetCurrentThreadId()));
        if (!hook_)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The About window's keyboard hook could not be set.");
    }

    void Destroyed() noexcept override { hook_.Reset(); }
    // The window's code is this library's: it stays loaded while the window exists.
    void Released() noexcept override { ModuleRelease(); }

    bool OwnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override
    {
        switch (message) {
        case WM_NCCREATE:
            ModuleAddRef();
            return false;
        case DM_GETDEFID:
            result = MAKELRESULT(IDOK, DC_HASDEFID);
            return true;
        case WM_DESTROY:
            hook_.Reset();
            return false;
        default:
            return false;
        }
    }

    AboutOpening steps_;
    int language_ = kEnglishText;
    bool opening_ = false;
    PointerState pointer_;
    UniqueHhook hook_;
};

// The window object: made by the first opening, kept until Excel lets go of the add-in
// (DiscardAboutWindow). A plain pointer, so that no destructor of it runs when the process
// ends, when user32 must not be called from a DLL's teardown.
AboutWindow* g_aboutWindow = nullptr;

LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && g_aboutWindow) {
        try {
            MSG& message = *reinterpret_cast<MSG*>(lParam);
            // Handled here: Excel's loop gets a message that does nothing.
            if (g_aboutWindow->TranslateDialogKey(message)) {
                message.message = WM_NULL;
                message.wParam = 0;
                message.lParam = 0;
            }
        } catch (...) {
            TraceCaughtException("About window keys");
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

HRESULT ShowAboutWindow(int language) noexcept
try {
    if (!g_aboutWindow) g_aboutWindow = new AboutWindow();
    g_aboutWindow->Open(language);
    return S_OK;
} catch (...) {
    return ReportCaughtException(IID__Connect);
}

void DiscardAboutWindow() noexcept
{
    if (g_aboutWindow) {
        const HWND window = g_aboutWindow->Window();
        // Only the window's own thread may destroy it; Excel disconnects on that thread.
        if (window && ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) return;
        if (g_aboutWindow->Opening()) {
            // Disconnected from inside the opening (Excel pumping messages in one of its
            // steps): the object is still in use further up this stack, only its window goes.
            if (window) ::DestroyWindow(window);
            return;
        }
        delete g_aboutWindow;
        g_aboutWindow = nullptr;
    }
    ::UnregisterClassW(kAboutWindowClassName, ModuleHandle());
}

} // namespace cornice
