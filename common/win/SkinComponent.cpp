#include "SkinComponent.h"

#include "Automation.h"
#include "SkinStyle.h"
#include "Trace.h"

#include <commctrl.h>

#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace cornice {
namespace {

// ---------------------------------------------------------------------------------------------
// The look applied to one window and everything below it

class WindowSkin {
public:
    WindowSkin(std::shared_ptr<const SkinStyle> style, bool controls, bool useStyleFont,
               bool paintButtons)
        : style_(std::move(style)), controls_(controls),
          useStyleFont_(useStyleFont && !(style_->fontFace.empty() && style_->buttonFontFace.empty())),
          paintButtons_(paintButtons)
    {
        if (style_->window) windowBrush_.Reset(::CreateSolidBrush(*style_->window));
    }

    const SkinStyle& Style() const noexcept { return *style_; }
    bool Controls() const noexcept { return controls_; }
    bool UseStyleFont() const noexcept { return useStyleFont_; }
    bool PaintButtons() const noexcept { return paintButtons_ && style_->buttonFace.has_value(); }
    HBRUSH WindowBrush() const noexcept { return windowBrush_.Get(); }

    // The same font in the style's typeface, made once per distinct font and kept until the
    // window goes. Keyed by the font's description, not its handle: a handle that its owner
    // deleted may come back for a different font.
    HFONT Restyled(HFONT original, bool pushButton)
    {
        const std::wstring& face =
            pushButton && !style_->buttonFontFace.empty() ? style_->buttonFontFace : style_->fontFace;
        LOGFONTW font{};
        if (face.empty() || !::GetObjectW(original, sizeof font, &font)) return original;
        ::lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
        const std::string key(reinterpret_cast<const char*>(&font), sizeof font);
        UniqueHfont& restyled = fonts_[key];
        if (!restyled) restyled.Reset(::CreateFontIndirectW(&font));
        return restyled ? restyled.Get() : original;
    }

private:
    std::shared_ptr<const SkinStyle> style_;
    bool controls_;
    bool useStyleFont_;
    bool paintButtons_;
    UniqueHbrush windowBrush_;
    std::map<std::string, UniqueHfont> fonts_;
};

struct SubclassData {
    std::shared_ptr<WindowSkin> skin;
    bool paintsBackground; // the window itself and the containers of its controls
};

constexpr UINT_PTR kSubclassId = 0x536B696E; // "Skin"
// The window property that remembers a window's subclass data, so that a second ApplyWindow
// can free the first one's (mingw-w64's x64 import library lacks GetWindowSubclass).
constexpr const wchar_t* kSkinProperty = L"Cornice.Skin";

LONG ButtonType(HWND control)
{
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    if (::lstrcmpiW(className, WC_BUTTONW) != 0) return -1;
    return ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
}

bool ShowsCheckText(HWND control)
{
    switch (ButtonType(control)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_GROUPBOX:
        return true;
    default:
        return false;
    }
}

bool IsPushButton(HWND control)
{
    const LONG type = ButtonType(control);
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps)
{
    const auto channel = [&](int shift) {
        const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        return static_cast<COLORREF>(a + (b - a) * step / (steps > 1 ? steps - 1 : 1)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

// comctl32 6 asks the parent before it paints a push button (NM_CUSTOMDRAW, "Custom Draw"
// for buttons); the skin paints the whole button and skips the default drawing.
LRESULT PaintButton(const WindowSkin& skin, const NMCUSTOMDRAW& draw)
{
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    const SkinStyle& style = skin.Style();
    const HWND button = draw.hdr.hwndFrom;
    const HDC dc = draw.hdc;
    const RECT bounds = draw.rc;
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool hot = (draw.uItemState & CDIS_HOT) != 0;
    const bool disabled = (draw.uItemState & CDIS_DISABLED) != 0 || !::IsWindowEnabled(button);
    const bool isDefault = (draw.uItemState & CDIS_DEFAULT) != 0 ||
                           ButtonType(button) == BS_DEFPUSHBUTTON;

    COLORREF top = *style.buttonFace;
    COLORREF bottom = style.buttonFaceBottom.value_or(top);
    if (pressed && style.buttonPressed) top = bottom = *style.buttonPressed;
    else if (hot && style.buttonHot) top = bottom = *style.buttonHot;
    // One row at a time in the DC's own brush, recoloured per row rather than made anew.
    const int height = bounds.bottom - bounds.top;
    const COLORREF previousColor = ::GetDCBrushColor(dc);
    const auto dcBrush = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
    for (int y = 0; y < height; ++y) {
        ::SetDCBrushColor(dc, Blend(top, bottom, y, height));
        const RECT row{bounds.left, bounds.top + y, bounds.right, bounds.top + y + 1};
        ::FillRect(dc, &row, dcBrush);
    }
    ::SetDCBrushColor(dc, previousColor);

    const COLORREF borderColor =
        style.buttonBorder.value_or(style.buttonText.value_or(::GetSysColor(COLOR_BTNTEXT)));
    UniqueHbrush border(::CreateSolidBrush(borderColor));
    RECT frame = bounds;
    for (int ring = 0; ring < (isDefault ? 2 : 1); ++ring) {
        ::FrameRect(dc, &frame, border.Get());
        ::InflateRect(&frame, -1, -1);
    }

    const LRESULT uiState = ::SendMessageW(button, WM_QUERYUISTATE, 0, 0);
    wchar_t caption[256] = {};
    ::GetWindowTextW(button, caption, 256);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    ScopedSelectObject selectFont(dc, font ? static_cast<HGDIOBJ>(font)
                                           : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT)
                                : style.buttonText.value_or(::GetSysColor(COLOR_BTNTEXT)));
    RECT text = bounds;
    if (pressed) ::OffsetRect(&text, 1, 1);
    ::DrawTextW(dc, caption, -1, &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE |
                    ((uiState & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0));

    if ((draw.uItemState & CDIS_FOCUS) && !(uiState & UISF_HIDEFOCUS)) {
        RECT focus = bounds;
        ::InflateRect(&focus, -4, -4);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
    return CDRF_SKIPDEFAULT;
}

LRESULT CALLBACK SkinSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR reference)
{
    auto* data = reinterpret_cast<SubclassData*>(reference);
    try {
        WindowSkin& skin = *data->skin;
        const SkinStyle& style = skin.Style();
        switch (message) {
        case WM_ERASEBKGND:
            if (data->paintsBackground && skin.WindowBrush()) {
                RECT client;
                ::GetClientRect(window, &client);
                ::FillRect(reinterpret_cast<HDC>(wParam), &client, skin.WindowBrush());
                return 1;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
            if (skin.Controls() && (skin.WindowBrush() || style.text)) {
                // The window chooses first (label colours stay its own); the style then sets
                // the background, and the text of check boxes, option buttons and frames.
                LRESULT brush = ::DefSubclassProc(window, message, wParam, lParam);
                const HDC dc = reinterpret_cast<HDC>(wParam);
                if (skin.WindowBrush()) {
                    ::SetBkColor(dc, *style.window);
                    brush = reinterpret_cast<LRESULT>(skin.WindowBrush());
                }
                if (style.text && ShowsCheckText(reinterpret_cast<HWND>(lParam)))
                    ::SetTextColor(dc, *style.text);
                return brush;
            }
            break;
        case WM_SETFONT:
            if (skin.UseStyleFont() && wParam)
                return ::DefSubclassProc(window, message,
                                         reinterpret_cast<WPARAM>(skin.Restyled(reinterpret_cast<HFONT>(wParam), IsPushButton(window))),
                                         lParam);
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (skin.Controls() && skin.PaintButtons() && header && header->code == NM_CUSTOMDRAW &&
                IsPushButton(header->hwndFrom))
                return PaintButton(skin, *reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
            break;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, SkinSubclassProc, id);
            ::RemovePropW(window, kSkinProperty);
            delete data;
            return ::DefSubclassProc(window, message, wParam, lParam);
        default:
            break;
        }
    } catch (...) {
        // No exception may leave a window procedure; the window then paints as it would anyway.
        TraceCaughtException("skin");
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// S_OK, or why the window keeps its own look. Never throws: EnumChildWindows calls it.
HRESULT Attach(HWND window, const std::shared_ptr<WindowSkin>& skin, bool paintsBackground) noexcept
try {
    // comctl32 subclasses only windows of the calling thread ("Subclassing Controls"); Wine
    // does not check, so the skin does.
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) return E_ACCESSDENIED;
    auto data = std::make_unique<SubclassData>(SubclassData{skin, paintsBackground});
    auto* previous = static_cast<SubclassData*>(::GetPropW(window, kSkinProperty));
    if (!::SetWindowSubclass(window, SkinSubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(data.get())))
        return E_FAIL;
    ::SetPropW(window, kSkinProperty, data.release());
    // A second ApplyWindow replaces the look; the first one's data goes.
    delete previous;
    return S_OK;
} catch (...) {
    return E_OUTOFMEMORY; // the one thing that can throw above
}

struct ControlsToAttach {
    std::shared_ptr<WindowSkin> skin;
    HRESULT firstFailure = S_OK;
};

BOOL CALLBACK AttachToControl(HWND control, LPARAM context)
{
    auto& attaching = *reinterpret_cast<ControlsToAttach*>(context);
    const HRESULT hr = Attach(control, attaching.skin, ::GetWindow(control, GW_CHILD) != nullptr && !IsPushButton(control));
    if (FAILED(hr) && SUCCEEDED(attaching.firstFailure)) attaching.firstFailure = hr;
    return TRUE; // the other controls are styled all the same
}

BOOL CALLBACK RestyleFont(HWND control, LPARAM)
{
    // A control of another thread took no skin (Attach), and a send to it could hang.
    if (::GetWindowThreadProcessId(control, nullptr) != ::GetCurrentThreadId()) return TRUE;
    // Sent again, the font passes the skin on its way in and comes out in the style's face.
    const LRESULT font = ::SendMessageW(control, WM_GETFONT, 0, 0);
    if (font) ::SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// The automation object

std::shared_ptr<const SkinStyle> ReadStyleFile(const std::wstring& path)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    std::string bytes(kLargestStyleFile + 1, '\0');
    DWORD total = 0, read = 0;
    while (total < bytes.size() &&
           ::ReadFile(file.Get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &read, nullptr) &&
           read > 0)
        total += read;
    bytes.resize(total);
    try {
        return std::make_shared<const SkinStyle>(ParseSkinStyle(bytes));
    } catch (const SkinStyleError&) {
        return nullptr;
    }
}

constexpr DispatchName kMembers[] = {
    {L"Options", kSkinOptions},           {L"LoadSkin", kSkinLoadStyle},         {L"ApplyWindow", kSkinApplyWindow},
    {L"UseStyleFont", kSkinUseStyleFont}, {L"PaintButtons", kSkinPaintButtons},
};

class SkinComponent final : public DispatchObject<SkinComponent, IDispatch> {
public:
    static const InterfaceEntry kInterfaces[];
    DispatchTable Names() const noexcept { return {kMembers, std::size(kMembers)}; }

    HRESULT Call(DISPID member, WORD flags, const DispatchArguments& arguments, VARIANT* result, EXCEPINFO*)
    {
        const bool get = (flags & DISPATCH_PROPERTYGET) != 0, put = (flags & DISPATCH_PROPERTYPUT) != 0;
        UniqueVariant value;
        switch (member) {
        case kSkinOptions:
            if (get) return ReturnLong(result, options_);
            if (!put) break;
            CORNICE_RETURN_IF_FAILED(arguments.PutValue(VT_I4, value));
            options_ = V_I4(value.Get());
            return S_OK;
        case kSkinUseStyleFont:
            if (get) return ReturnBool(result, useStyleFont_);
            if (!put) break;
            CORNICE_RETURN_IF_FAILED(arguments.PutValue(VT_BOOL, value));
            useStyleFont_ = V_BOOL(value.Get()) != VARIANT_FALSE;
            return S_OK;
        case kSkinPaintButtons:
            if (get) return ReturnBool(result, paintButtons_);
            if (!put) break;
            CORNICE_RETURN_IF_FAILED(arguments.PutValue(VT_BOOL, value));
            paintButtons_ = V_BOOL(value.Get()) != VARIANT_FALSE;
            return S_OK;
        case kSkinLoadStyle:
            if (flags & DISPATCH_METHOD) return LoadSkin(arguments, result);
            break;
        case kSkinApplyWindow:
            if (flags & DISPATCH_METHOD) return ApplyWindow(arguments);
            break;
        default:
            break;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    HRESULT LoadSkin(const DispatchArguments& arguments, VARIANT* result)
    {
        // The style's name inside the file (argument 1) is optional; our files hold one style.
        UniqueVariant path, name;
        CORNICE_RETURN_IF_FAILED(arguments.At(0, VT_BSTR, path));
        if (arguments.Count() > 1) CORNICE_RETURN_IF_FAILED(arguments.At(1, VT_BSTR, name));
        const BSTR text = V_BSTR(path.Get());
        style_ = ReadStyleFile(text ? std::wstring(text, ::SysStringLen(text)) : std::wstring());
        return ReturnBool(result, style_ != nullptr);
    }

    HRESULT ApplyWindow(const DispatchArguments& arguments)
    {
        // Handles travel as 32-bit numbers and are sign-extended back (HandleToLong and
        // LongToHandle in basetsd.h).
        UniqueVariant handle;
        CORNICE_RETURN_IF_FAILED(arguments.At(0, VT_I4, handle));
        const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(V_I4(handle.Get())));
        if (!::IsWindow(window)) return E_INVALIDARG;
        if (!style_) return S_OK;

        auto skin = std::make_shared<WindowSkin>(style_, (options_ & 1) != 0, useStyleFont_, paintButtons_);
        CORNICE_RETURN_IF_FAILED(Attach(window, skin, true));
        ControlsToAttach controls{skin};
        if (skin->Controls()) {
            ::EnumChildWindows(window, AttachToControl, reinterpret_cast<LPARAM>(&controls));
            if (skin->UseStyleFont()) ::EnumChildWindows(window, RestyleFont, 0);
        }
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        // A control that cannot take the style keeps its own look, as a window does with a
        // bad style file: an ornament, not a reason for the window not to open.
        return FAILED(controls.firstFailure) ? S_FALSE : S_OK;
    }

    std::shared_ptr<const SkinStyle> style_;
    LONG options_ = 0;
    bool useStyleFont_ = false;
    bool paintButtons_ = false;
};

const InterfaceEntry SkinComponent::kInterfaces[] = {CORNICE_INTERFACE(SkinComponent, IDispatch), {}};

} // namespace

ComPtr<IDispatch> CreateSkinComponent()
{
    return ComPtr<IDispatch>::Attach(new SkinComponent());
}

} // namespace cornice
