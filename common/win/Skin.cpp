#include "Skin.h"

#include "Automation.h"
#include "Files.h"
#include "NumberText.h"
#include "WinHandles.h"

#include <string>
#include <utility>

namespace cornice {
namespace {

[[noreturn]] void ThrowSkinFailure(HRESULT hr, const char* what)
{
    std::string text = "The skin component failed to ";
    text += what;
    text += " (";
    text += HexCodeText<char>(static_cast<unsigned long>(hr));
    text += ").";
    throw WindowsError(hr, text);
}

// The message names `what` the component failed at; the HRESULT says how.
UniqueVariant Ask(IDispatch& component, DISPID member, WORD flags, std::initializer_list<VARIANT> arguments,
                  const char* what)
{
    DispatchOutcome outcome;
    InvokeInto(outcome, component, member, flags, arguments);
    if (FAILED(outcome.hr)) ThrowSkinFailure(outcome.hr, what);
    return std::move(outcome.result);
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

    const UniqueBstr pathText = UniqueBstr::FromText(path);
    const UniqueBstr noName = UniqueBstr::FromText(L"");
    Ask(*component, kSkinLoadStyle, DISPATCH_METHOD, {TextArgument(pathText.Get()), TextArgument(noName.Get())},
        "load the style file");

    UniqueVariant options = Ask(*component, kSkinOptions, DISPATCH_PROPERTYGET, {}, "report its options");
    UniqueVariant number;
    const HRESULT hr = ::VariantChangeType(number.Get(), options.Get(), 0, VT_I4);
    if (FAILED(hr)) ThrowSkinFailure(hr, "report its options as a number");
    Ask(*component, kSkinOptions, DISPATCH_PROPERTYPUT, {LongArgument(V_I4(number.Get()) | 1)}, "take its options");

    for (const DISPID member : {kSkinUseStyleFont, kSkinPaintButtons})
        Ask(*component, member, DISPATCH_PROPERTYPUT, {BoolArgument(true)}, "switch on a setting");

    // Window handles fit in 32 bits on 64-bit Windows too, which is what lets 32-bit and 64-bit
    // programs share them ("Interprocess Communication Between 32-bit and 64-bit Applications").
    Ask(*component, kSkinApplyWindow, DISPATCH_METHOD,
        {LongArgument(static_cast<LONG>(reinterpret_cast<LONG_PTR>(window.Handle())))}, "apply the style to the window");
}

} // namespace cornice
