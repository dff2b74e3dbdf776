#include "Skin.h"

#include "Files.h"
#include "NumberText.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <string>

namespace cornice {
namespace {

[[noreturn]] void ThrowSkinFailure(HRESULT hr, const char* what)
{
    throw WindowsError(hr, std::string("The skin component failed to ") + what + " (" +
                               HexCodeText<char>(static_cast<unsigned long>(hr)) + ").");
}

void Invoke(IDispatch& component, DISPID member, WORD flags, DISPPARAMS& parameters,
            VARIANT* result, const char* what)
{
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr = component.Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                        result, &exception, &badArgument);
    TakeAutomationException(exception); // only to free its strings: the message names `what`
    if (FAILED(hr)) ThrowSkinFailure(hr, what);
}

void PutProperty(IDispatch& component, DISPID member, VARIANT& value, const char* what)
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{&value, &named, 1, 1};
    Invoke(component, member, DISPATCH_PROPERTYPUT, parameters, nullptr, what);
}

} // namespace

COLORREF ColorFromOle(OleColor color) noexcept
{
    if (color & 0x80000000u) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0x00FFFFFF);
}

void ApplySkin(SkinnableWindow& window, const wchar_t* skinFile)
{
    const std::wstring path = ProgramFolder() + skinFile;
    if (!NormalFileListed(path)) return;

    window.SetBackColor(kButtonFaceOleColor);
    for (int index = 0; index < window.ControlCount(); ++index) {
        switch (window.KindOfControl(index)) {
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::Page:
        case ControlKind::Label:
            window.SetControlBackColor(index, kButtonFaceOleColor);
            break;
        default:
            break;
        }
    }

    IDispatch* component = window.SkinComponent();
    if (!component) ThrowSkinFailure(E_POINTER, "start, because the window has none");

    {
        // Arguments go in reverse order: the last one first.
        const UniqueBstr pathText = UniqueBstr::FromText(path);
        const UniqueBstr empty = UniqueBstr::FromText(L"");
        VARIANT raw[2];
        raw[0].vt = VT_BSTR;
        raw[0].bstrVal = empty.Get();
        raw[1].vt = VT_BSTR;
        raw[1].bstrVal = pathText.Get();
        DISPPARAMS parameters{raw, nullptr, 2, 0};
        UniqueVariant ignored;
        Invoke(*component, kSkinLoadStyle, DISPATCH_METHOD, parameters, ignored.Put(), "load the style file");
    }

    {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        UniqueVariant options;
        Invoke(*component, kSkinOptions, DISPATCH_PROPERTYGET, none, options.Put(), "report its options");
        const HRESULT hr = ::VariantChangeType(options.Get(), options.Get(), 0, VT_I4);
        if (FAILED(hr)) ThrowSkinFailure(hr, "report its options as a number");
        VARIANT value;
        value.vt = VT_I4;
        value.lVal = options.Get()->lVal | 1;
        PutProperty(*component, kSkinOptions, value, "take its options");
    }

    for (const DISPID member : {kSkinUseStyleFont, kSkinPaintButtons}) {
        VARIANT on;
        on.vt = VT_BOOL;
        on.boolVal = VARIANT_TRUE;
        PutProperty(*component, member, on, "switch on a setting");
    }

    {
        // Window handles fit in 32 bits on 64-bit Windows too, which is what lets 32-bit and
        // 64-bit programs share them ("Interprocess Communication Between 32-bit and 64-bit
        // Applications").
        VARIANT handle;
        handle.vt = VT_I4;
        handle.lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(window.Handle()));
        DISPPARAMS parameters{&handle, nullptr, 1, 0};
        UniqueVariant ignored;
        Invoke(*component, kSkinApplyWindow, DISPATCH_METHOD, parameters, ignored.Put(), "apply the style to the window");
    }
}

} // namespace cornice
