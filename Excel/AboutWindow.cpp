#include "AboutWindow.h"

#include "AboutForm.h"
#include "AboutLayout.h"
#include "AboutPointer.h"
#include "AddInIdentity.h"
#include "ComError.h"
#include "Corbel.h"
#include "Files.h"
#include "Maker.h"
#include "Module.h"
#include "Skin.h"
#include "SkinComponent.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowDpi.h"
#include "WindowsErrorText.h"

#include <commctrl.h>

#include <map>
#include <utility>
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

// A fixed dialog frame: caption and close button, no minimise, no maximise, no resizing.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

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

// One entry of the window's control order, as ApplySkin walks it.
struct Control {
    ControlKind kind;
    HWND window; // none for the windowless lines and the skin component
    OleColor backColor;
    OleColor foreColor;
};

LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam);

class AboutWindow final : private AboutWindowActions, private SkinnableWindow {
public:
    AboutWindow() : form_(*this, kAddInFriendlyName, OwnVersion()) {}
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;
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

    HWND Window() const noexcept { return window_; }
    bool Opening() const noexcept { return opening_; }

    // Enter, Esc and Tab as a dialog box has them. Excel's message loop calls no
    // IsDialogMessage for a window of an add-in, so a message hook of this thread calls it
    // (KB 233263, "How to use a modeless dialog box in a DLL").
    bool TranslateDialogKey(MSG& message)
    {
        if (!window_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
        if (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) return false;
        return ::IsDialogMessageW(window_, &message) != FALSE;
    }

private:
    // ---- AboutWindowActions ---------------------------------------------------------------
    std::wstring ProgramFolder() override { return cornice::ProgramFolder(); }
    bool FileExists(const std::wstring& path) override { return cornice::FileExists(path); }
    bool IsLoaded() const override { return window_ != nullptr; }

    void Build() override
    {
        RegisterWindowClass();
        // The monitor that the user works on: the one of Excel's window, which is in front.
        const HMONITOR monitor = ::MonitorFromWindow(::GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(monitor, &info);

        const UniqueActCtx context = OwnActivationContext();
        const ScopedActivation active(context.Get());
        // Created on that monitor, so that it gets that monitor's DPI from the start; no owner,
        // so that it is a window of its own beside Excel's.
        if (!::CreateWindowExW(kExStyle, kAboutWindowClassName, L"", kStyle, info.rcWork.left, info.rcWork.top, 0, 0,
                               nullptr, nullptr, ModuleHandle(), this)) {
            const DWORD error = ::GetLastError();
            throw WindowsError(HRESULT_FROM_WIN32(error ? error : ERROR_CANNOT_MAKE),
                               ToUtf8(L"The About window could not be created: " +
                                      WindowsErrorText(error ? error : ERROR_CANNOT_MAKE)));
        }
        CentreOnWorkArea(info.rcWork);
    }

    void Unload() noexcept override
    {
        if (window_) ::DestroyWindow(window_);
    }

    void ApplySkin() override { cornice::ApplySkin(*this, kAboutWindowSkinFile); }
    void SetCaption(const std::wstring& caption) override { ::SetWindowTextW(window_, caption.c_str()); }
    void SetTitleLabel(const std::wstring& text) override { ::SetWindowTextW(title_, text.c_str()); }
    void SetVersionLabel(const std::wstring& text) override { ::SetWindowTextW(version_, text.c_str()); }

    void LoadCustomPointer(const std::wstring& path) override
    {
        UniqueHcursor cursor(::LoadCursorFromFileW(path.c_str()));
        if (!cursor) {
            const DWORD error = ::GetLastError();
            throw WindowsError(HRESULT_FROM_WIN32(error), ToUtf8(L"The pointer file " + path +
                                                                 L" could not be loaded: " + WindowsErrorText(error)));
        }
        // Kept with the window object: a reopened window has its hand again.
        hand_ = std::move(cursor);
    }

    void Show() override
    {
        ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOWNORMAL);
        // Excel is in front (its ribbon was just clicked), so it may hand the foreground on.
        ::SetForegroundWindow(window_);
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
    static void RegisterWindowClass()
    {
        // Windows keeps a DLL's classes when the DLL is unloaded; a class left by an earlier
        // load of this library (at this same address) would point into code that is gone.
        ::UnregisterClassW(kAboutWindowClassName, ModuleHandle());
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = WindowProc;
        form.hInstance = ModuleHandle();
        form.hCursor = nullptr; // the pointer effects choose it (WM_SETCURSOR)
        form.lpszClassName = kAboutWindowClassName;
        if (!::RegisterClassExW(&form))
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The About window's class could not be registered.");
    }

    HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, int id)
    {
        const HWND child = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleHandle(), nullptr);
        if (!child)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "A control of the About window could not be created.");
        return child;
    }

    // In the window's control order; the labels notify, so that the pointer effects can tell
    // them from the window beneath, and show their texts as they stand (no "&" mnemonics).
    void CreateControls()
    {
        controls_.clear();
        constexpr DWORD label = SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
        title_ = CreateChild(WC_STATICW, L"", label, kAboutTitleId);
        controls_.push_back({ControlKind::Label, title_, kLabelBackColor, kTitle.foreColor});
        version_ = CreateChild(WC_STATICW, L"", label, kAboutVersionId);
        controls_.push_back({ControlKind::Label, version_, kLabelBackColor, kVersion.foreColor});
        for (const LineDesign& line : kLines) controls_.push_back({ControlKind::Line, nullptr, kWindowBackColor, line.color});
        websiteCaption_ = CreateChild(WC_STATICW, kWebsiteCaptionText, label, kAboutWebsiteCaptionId);
        controls_.push_back({ControlKind::Label, websiteCaption_, kLabelBackColor, kWebsiteCaption.foreColor});
        link_ = CreateChild(WC_STATICW, kMakerWebsiteText, label, kAboutLinkId);
        controls_.push_back({ControlKind::Label, link_, kLabelBackColor, kLink.foreColor});
        ok_ = CreateChild(WC_BUTTONW, kOkCaption, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
        controls_.push_back({ControlKind::PushButton, ok_, kButtonFaceOleColor, kBlack});
        skinComponent_ = CreateSkinComponent();
        controls_.push_back({ControlKind::SkinComponent, nullptr, kButtonFaceOleColor, kBlack});
    }

    struct Fonts {
        UniqueHfont title, version, websiteCaption, link, linkPlain, ok;
    };

    Fonts MakeFonts() const
    {
        Fonts fonts;
        fonts.title = MakeFont(kTitle.font, dpi_, kTitle.font.underline);
        fonts.version = MakeFont(kVersion.font, dpi_, kVersion.font.underline);
        fonts.websiteCaption = MakeFont(kWebsiteCaption.font, dpi_, kWebsiteCaption.font.underline);
        fonts.link = MakeFont(kLink.font, dpi_, true);
        fonts.linkPlain = MakeFont(kLink.font, dpi_, false);
        fonts.ok = MakeFont(kOkFont, dpi_, kOkFont.underline);
        return fonts;
    }

    void Place(HWND control, const TwipRect& place) { PlaceControl(control, place, dpi_); }

    // Everything that depends on the DPI. Runs at creation and again when the window moves to
    // a monitor of another DPI.
    void Layout()
    {
        // The old fonts go only when no control uses them any more.
        const Fonts previous = std::exchange(fonts_, MakeFonts());
        SetControlFont(title_, fonts_.title);
        Place(title_, kTitle.place);
        SetControlFont(version_, fonts_.version);
        Place(version_, kVersion.place);
        SetControlFont(websiteCaption_, fonts_.websiteCaption);
        Place(websiteCaption_, kWebsiteCaption.place);
        SetControlFont(link_, pointer_.linkUnderlined ? fonts_.link : fonts_.linkPlain);
        Place(link_, kLink.place);
        SetControlFont(ok_, fonts_.ok);
        Place(ok_, kOkButton);
        ::InvalidateRect(window_, nullptr, TRUE);
    }

    void ResizeForDpi(const RECT* suggested)
    {
        const RECT frame = WindowRectForClient(TwipsToPixels(kClientWidth, dpi_), TwipsToPixels(kClientHeight, dpi_),
                                               kStyle, kExStyle, dpi_);
        RECT current;
        ::GetWindowRect(window_, &current);
        const POINT origin = suggested ? POINT{suggested->left, suggested->top} : POINT{current.left, current.top};
        ::SetWindowPos(window_, nullptr, origin.x, origin.y, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void CentreOnWorkArea(const RECT& area)
    {
        RECT window;
        ::GetWindowRect(window_, &window);
        const int width = window.right - window.left, height = window.bottom - window.top;
        const int left = area.left + ((area.right - area.left) - width) / 2;
        const int top = area.top + ((area.bottom - area.top) - height) / 2;
        ::SetWindowPos(window_, nullptr, left < area.left ? area.left : left, top < area.top ? area.top : top, 0, 0,
                       SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    // ---- Behaviour ----------------------------------------------------------------------
    void Close() { ::DestroyWindow(window_); }

    void OnCommand(int id, int code, HWND control)
    {
        if (id == IDOK || id == IDCANCEL) {
            // The button's click, or Enter and Esc through the dialog keys.
            if (!control || code == BN_CLICKED) Close();
        } else if (id == kAboutLinkId && code == STN_CLICKED) {
            StartExplorer(kMakerWebsiteAddress);
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
        // The push button shows the window's background in its corners.
        const OleColor back = control->kind == ControlKind::PushButton ? windowBackColor_ : control->backColor;
        ::SetTextColor(dc, ColorFromOle(control->foreColor));
        ::SetBkColor(dc, ColorFromOle(back));
        return reinterpret_cast<LRESULT>(BrushFor(back));
    }

    PointerArea AreaOf(HWND under) const
    {
        if (under == window_) return PointerArea::FreeArea;
        if (under == link_) return PointerArea::Link;
        if (under == ok_) return PointerArea::OkButton;
        return PointerArea::Other;
    }

    HCURSOR CursorFor(MousePointer pointer) const
    {
        switch (pointer) {
        case MousePointer::Hourglass:
            return ::LoadCursorW(nullptr, IDC_WAIT);
        case MousePointer::Custom:
            // Without HAND-M.CUR the custom pointer has no image and shows as the arrow.
            if (hand_) return hand_.Get();
            break;
        case MousePointer::Default:
            break;
        }
        return ::LoadCursorW(nullptr, IDC_ARROW);
    }

    void OnPointerOver(HWND under)
    {
        const PointerState next = PointerMovedOver(AreaOf(under), pointer_);
        if (next.linkUnderlined != pointer_.linkUnderlined)
            SetControlFont(link_, next.linkUnderlined ? fonts_.link : fonts_.linkPlain);
        pointer_ = next;
        ::SetCursor(CursorFor(pointer_.pointer));
    }

    void Paint()
    {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(window_, &paint);
        for (const LineDesign& line : kLines) {
            UniqueHpen pen(::CreatePen(PS_SOLID, 1, ColorFromOle(line.color)));
            ScopedSelectObject selectPen(dc, pen.Get());
            ::MoveToEx(dc, TwipsToPixels(line.x1, dpi_), TwipsToPixels(line.y1, dpi_), nullptr);
            ::LineTo(dc, TwipsToPixels(line.x2, dpi_), TwipsToPixels(line.y2, dpi_));
        }
        ::EndPaint(window_, &paint);
    }

    void OnCreate()
    {
        dpi_ = DpiOfWindow(window_);
        windowBackColor_ = kWindowBackColor;
        pointer_ = PointerState{};
        CreateControls();
        Layout();
        ResizeForDpi(nullptr);
        hook_.Reset(::SetWindowsHookExW(WH_GETMESSAGE, DialogKeysHook, ModuleHandle(), ::GetCurrentThreadId()));
        if (!hook_)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "The About window's keyboard hook could not be set.");
    }

    // Once the window is gone only the window object is left: the texts, colours and pointer
    // state of the next build start from the design again; the hand pointer stays.
    void OnFinalDestroy()
    {
        hook_.Reset();
        window_ = nullptr;
        title_ = version_ = websiteCaption_ = link_ = ok_ = nullptr;
        controls_.clear();
        skinComponent_.Reset();
        fonts_ = Fonts{};
        brushes_.Clear();
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(window_, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, BrushFor(windowBackColor_));
            return 1;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (const LRESULT brush = ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return brush;
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_ACTIVATE:
            // The button is the one control that takes the focus, as a dialog box gives it.
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && ok_) ::SetFocus(ok_);
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
            return 0;
        case WM_DESTROY:
            hook_.Reset();
            break;
        default:
            break;
        }
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<AboutWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCCREATE) {
            self = static_cast<AboutWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->window_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            // The window's code is this library's: it stays loaded while the window exists.
            ModuleAddRef();
        }
        if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            try {
                self->OnFinalDestroy();
            } catch (...) {
            }
            const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
            ModuleRelease();
            return result;
        }
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            // No exception may unwind into user32 or Excel. A control that failed to come into
            // being fails the window's creation; anything else leaves the window as it is.
            if (message == WM_CREATE) return -1;
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
    }

    AboutForm form_;
    bool opening_ = false;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    PointerState pointer_;
    OleColor windowBackColor_ = kWindowBackColor;

    HWND title_ = nullptr;
    HWND version_ = nullptr;
    HWND websiteCaption_ = nullptr;
    HWND link_ = nullptr;
    HWND ok_ = nullptr;
    std::vector<Control> controls_;
    ComPtr<IDispatch> skinComponent_;
    UniqueHhook hook_;

    Fonts fonts_;
    UniqueHcursor hand_;
    SolidBrushes brushes_;
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
