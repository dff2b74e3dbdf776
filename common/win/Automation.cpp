#include "Automation.h"

#include "Utf8.h"
#include "WindowsErrorText.h"

#include <utility>

namespace cornice {
namespace {

// "its Name is not text."
[[noreturn]] void Refuse(HRESULT code, const char* name, const char* what)
{
    std::string text = "its ";
    text += name;
    text += what;
    throw WindowsError(code, text);
}

// `value` as `type`, refused in the words given when it is an object or does not convert.
UniqueVariant Converted(const VARIANT& value, VARTYPE type, const char* name, const char* anObject,
                        const char* notConverted)
{
    const VARTYPE given = V_VT(&value) & VT_TYPEMASK;
    if (given == VT_DISPATCH || given == VT_UNKNOWN) Refuse(DISP_E_TYPEMISMATCH, name, anObject);
    UniqueVariant converted;
    // VariantChangeType only reads its source, though mingw-w64 declares it writable.
    const HRESULT hr = ::VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value), 0, type);
    if (FAILED(hr)) Refuse(hr, name, notConverted);
    return converted;
}

// The system's words for a failed call.
[[noreturn]] void Fail(HRESULT hr)
{
    throw WindowsError(hr, ToUtf8(WindowsErrorText(static_cast<DWORD>(hr))));
}

} // namespace

// ---------------------------------------------------------------------------------------------

void ExceptionInfo::FillIn() noexcept
{
    if (const auto fill = info_.pfnDeferredFillIn) {
        info_.pfnDeferredFillIn = nullptr;
        fill(&info_);
    }
}

HRESULT ExceptionInfo::Code() noexcept
{
    FillIn();
    return info_.scode ? info_.scode : DISP_E_EXCEPTION;
}

std::wstring ExceptionInfo::Description()
{
    const HRESULT code = Code();
    if (::SysStringLen(info_.bstrDescription) == 0) return WindowsErrorText(static_cast<DWORD>(code));
    return std::wstring(info_.bstrDescription, ::SysStringLen(info_.bstrDescription));
}

// ---------------------------------------------------------------------------------------------

UniqueVariant Invoke(IDispatch& object, DISPID id, WORD flags, std::initializer_list<VARIANT> arguments, LCID locale)
{
    DispatchOutcome outcome;
    InvokeInto(outcome, object, id, flags, arguments, locale);
    if (outcome.hr == DISP_E_EXCEPTION)
        throw WindowsError(outcome.exception.Code(), ToUtf8(outcome.exception.Description()));
    if (FAILED(outcome.hr)) Fail(outcome.hr);
    return std::move(outcome.result);
}

UniqueVariant CallByName(IDispatch* object, const wchar_t* member, std::initializer_list<VARIANT> arguments,
                         LCID locale)
{
    if (!object) Fail(E_POINTER);
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = IdOfName(*object, member, id, locale);
    if (FAILED(hr)) Fail(hr);
    return Invoke(*object, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, locale);
}

std::wstring TextOf(const VARIANT& value, const char* name)
{
    UniqueVariant text = Converted(value, VT_BSTR, name, " is an object, not text.", " is not text.");
    return UniqueBstr(std::exchange(V_BSTR(text.Get()), nullptr)).Text();
}

LONG NumberOf(const VARIANT& value, const char* name)
{
    return V_I4(Converted(value, VT_I4, name, " is an object, not a number.", " is not a number.").Get());
}

ComPtr<IDispatch> ObjectOf(const VARIANT& value, const char* name)
{
    if (V_VT(&value) != VT_DISPATCH || !V_DISPATCH(&value)) Refuse(DISP_E_TYPEMISMATCH, name, " is no object.");
    return ComPtr<IDispatch>(V_DISPATCH(&value));
}

} // namespace cornice
