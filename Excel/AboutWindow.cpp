#include "AboutWindow.h"

#include "AboutForm.h"
#include "AboutLayout.h"
#include "AboutPointer.h"
#include "AddInIdentity.h"
#include "ComError.h"
#include "Corbel.h"
#include "Files.h"
#include "Maker.h"
#include "DesignedWindow.h"
#include "Module.h"
#include "Utf8.h"
#include "WindowsErrorText.h"

#include <vector>

namespace cornice {
namespace {

using namespace about;

// Corbel.rc's manifest, which asks for common controls 6 (visual styles, and the custom draw
// through which the skin paints push buttons). Excel's own manifest decides for Excel's
// windows only; a DLL's windows get it from an activation context made from the DLL's
// manifest around their creation ("Using ComCtl32 Version 6 in Control Panel or a DLL That Is
// Run by RunDll32.exe"; ISOLATIONAWARE_MANIFEST_RESOURCE_ID).
constexpr WORD kManifestResourceId = 2;

// The library's own version, from its version resource: Windows numbers the four fields
// major.minor.build.revision, and the window shows major.minor.revision.
VersionNumbers OwnVersion()
{
    const HMODULE module = ModuleHandle();
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    if (!bytes || size == 0)
        throw WindowsError(HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND), "The library has no version resource.");
    // VerQueryValue may write into the block it reads, which a resource must not see: it gets
    // a copy, as GetFileVersionInfo would hand it one.
    std::vector<BYTE> block(bytes, bytes + size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
        throw WindowsError(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), "The library's version resource holds no version.");
    return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionLS)};
}

UniqueActCtx OwnActivationContext()
{
    const std::wstring path = ModulePath();
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.hModule = ModuleHandle();
    context.lpResourceName = MAKEINTRESOURCEW(kManifestResourceId);
    // Without it the window still works, only in the plain look of common controls 5.
    return UniqueActCtx(::CreateActCtxW(&context));
}

// "explorer" with the quoted address, minimised with focus, not waited for. The program is
// named by its full path in the Windows folder: a bare name would first be looked for in
// Excel's folder and in Excel's current folder, which is wherever the user last opened a
// workbook (CreateProcess, "lpApplicationName": the search order). What became of it is not
// looked at; the shell tells the user itself if it cannot open the address.
void StartExplorer(const std::wstring& address)
{
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring program(folder, length);
    if (program.back() != L'\\') program += L'\\';
    program += L"explorer.exe";
    std::wstring commandLine = L"explorer \"" + address + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED; // 2: minimised, with focus
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process)) {
        UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    }
}

LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam);

static_assert(kStyle == (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN) &&
              kExStyle == (WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT));

class AboutWindow final : public DesignedWindow, private AboutWindowActions {
public:
    AboutWindow() : DesignedWindow(kWindow, ModuleHandle()), form_(*this, kAddInFriendlyName, OwnVersion()) {}
    ~AboutWindow() override { Unload(); }

    void Open()
    {
        // A call that arrives while the window is being built (Excel pumping messages inside
        // one of its steps) finds it on its way already.
        if (opening_) return;
        opening_ = true;
        try {
            form_.Show();
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
        if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !IsKeyForWindow(message)) return false;
        return ::IsDialogMessageW(Window(), &message) != FALSE;
    }

private:
    // ---- AboutWindowActions ---------------------------------------------------------------
    std::wstring ProgramFolder() override { return cornice::ProgramFolder(); }
    bool FileExists(const std::wstring& path) override { return cornice::FileExists(path); }
    bool IsLoaded() const override { return Window() != nullptr; }

    void Build() override
    {
        RegisterClasses(kWindow, ModuleHandle());
        // The monitor that the user works on: the one of Excel's window, which is in front.
        const HMONITOR monitor = ::MonitorFromWindow(::GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(monitor, &info);

        const UniqueActCtx context = OwnActivationContext();
        const ScopedActivation active(context.Get());
        // Created on that monitor, so that it gets that monitor's DPI from the start; no owner,
        // so that it is a window of its own beside Excel's.
        if (!CreateDesigned(info.rcWork.left, info.rcWork.top, 0, 0)) {
            const DWORD error = ::GetLastError();
            throw WindowsError(HRESULT_FROM_WIN32(error ? error : ERROR_CANNOT_MAKE),
                               ToUtf8(L"The About window could not be created: " +
                                      WindowsErrorText(error ? error : ERROR_CANNOT_MAKE)));
        }
        CentreOn(info.rcWork);
    }

    void Unload() noexcept override
    {
        if (Window()) ::DestroyWindow(Window());
    }

    void ApplySkin() override { cornice::ApplySkin(*this, kAboutWindowSkinFile); }
    void SetCaption(const std::wstring& caption) override { ::SetWindowTextW(Window(), caption.c_str()); }
    void SetTitleLabel(const std::wstring& text) override { ::SetWindowTextW(Control(kAboutTitleId), text.c_str()); }
    void SetVersionLabel(const std::wstring& text) override
    {
        ::SetWindowTextW(Control(kAboutVersionId), text.c_str());
    }
    void LoadCustomPointer(const std::wstring& path) override { DesignedWindow::LoadCustomPointer(path); }

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
            StartExplorer(kMakerWebsiteAddress);
        }
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

    bool OwnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        switch (message) {
        case WM_NCCREATE:
            ModuleAddRef();
            return false;
        case DM_GETDEFID:
            result = MAKELRESULT(IDOK, DC_HASDEFID);
            return true;
        case WM_ACTIVATE:
            // The button is the one control that takes the focus, as a dialog box gives it.
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && Control(IDOK)) ::SetFocus(Control(IDOK));
            return true;
        case WM_DESTROY:
            hook_.Reset();
            return false;
        default:
            return false;
        }
    }

    AboutForm form_;
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
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

HRESULT ShowAboutWindow() noexcept
try {
    if (!g_aboutWindow) g_aboutWindow = new AboutWindow();
    g_aboutWindow->Open();
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
