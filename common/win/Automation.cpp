#include "Automation.h"

#include "Utf8.h"
#include "WindowsErrorText.h"

#include <iterator>
#include <utility>
#include <vector>

namespace cornice {
namespace {

VARIANT Variant(VARTYPE type) noexcept
{
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = type;
    return value;
}

[[noreturn]] void Refuse(HRESULT code, std::wstring_view name, const wchar_t* what)
{
    throw WindowsError(code, ToUtf8(L"its " + std::wstring(name) + what));
}

bool IsObject(const VARIANT& value) noexcept
{
    const VARTYPE type = V_VT(&value) & VT_TYPEMASK;
    return type == VT_DISPATCH || type == VT_UNKNOWN;
}

// The value converted to `type`, or the failure's HRESULT; objects are never converted.
HRESULT Convert(UniqueVariant& out, const VARIANT& value, VARTYPE type) noexcept
{
    if (IsObject(value)) return DISP_E_TYPEMISMATCH;
    // VariantChangeType only reads its source, though mingw-w64 declares it writable.
    return ::VariantChangeType(out.Put(), const_cast<VARIANT*>(&value), 0, type);
}

} // namespace

VARIANT LongArgument(LONG value) noexcept
{
    VARIANT v = Variant(VT_I4);
    V_I4(&v) = value;
    return v;
}

VARIANT BoolArgument(bool value) noexcept
{
    VARIANT v = Variant(VT_BOOL);
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT TextArgument(BSTR text) noexcept
{
    VARIANT v = Variant(VT_BSTR);
    V_BSTR(&v) = text;
    return v;
}

VARIANT ObjectArgument(IDispatch* object) noexcept
{
    VARIANT v = Variant(VT_DISPATCH);
    V_DISPATCH(&v) = object;
    return v;
}

VARIANT MissingArgument() noexcept
{
    VARIANT v = Variant(VT_ERROR);
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return v;
}

// ---------------------------------------------------------------------------------------------

void ExceptionInfo::FillIn() noexcept
{
    if (const auto fill = info_.pfnDeferredFillIn) {
        info_.pfnDeferredFillIn = nullptr;
        fill(&info_);
    }
}

void ExceptionInfo::Clear() noexcept
{
    ::SysFreeString(info_.bstrSource);
    ::SysFreeString(info_.bstrDescription);
    ::SysFreeString(info_.bstrHelpFile);
    info_ = {};
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

HRESULT RaiseException(EXCEPINFO* exception, HRESULT code, std::wstring_view source,
                       std::wstring_view description) noexcept
{
    if (exception) {
        *exception = {};
        exception->scode = code;
        exception->bstrSource = ::SysAllocStringLen(source.data(), static_cast<UINT>(source.size()));
        exception->bstrDescription = ::SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
    }
    return DISP_E_EXCEPTION;
}

// ---------------------------------------------------------------------------------------------

void InvokeInto(DispatchOutcome& outcome, IDispatch& object, DISPID id, WORD flags,
                std::initializer_list<VARIANT> arguments, LCID locale)
{
    // IDispatch takes its arguments last first.
    std::vector<VARIANT> reversed(std::rbegin(arguments), std::rend(arguments));
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS parameters{reversed.empty() ? nullptr : reversed.data(), isPut ? &put : nullptr,
                          static_cast<UINT>(reversed.size()), isPut ? 1u : 0u};
    outcome.hr = object.Invoke(id, IID_NULL, locale, flags, &parameters, isPut ? nullptr : outcome.result.Put(),
                               outcome.exception.Put(), nullptr);
}

UniqueVariant Invoke(IDispatch& object, DISPID id, WORD flags, std::initializer_list<VARIANT> arguments, LCID locale)
{
    DispatchOutcome outcome;
    InvokeInto(outcome, object, id, flags, arguments, locale);
    if (outcome.hr == DISP_E_EXCEPTION)
        throw WindowsError(outcome.exception.Code(), ToUtf8(outcome.exception.Description()));
    if (FAILED(outcome.hr)) throw WindowsError(outcome.hr, ToUtf8(WindowsErrorText(static_cast<DWORD>(outcome.hr))));
    return std::move(outcome.result);
}

UniqueVariant CallByName(IDispatch* object, const wchar_t* member, std::initializer_list<VARIANT> arguments,
                         LCID locale)
{
    if (!object) throw WindowsError(E_POINTER, ToUtf8(L"Nothing has no " + std::wstring(member)));
    LPOLESTR name = const_cast<LPOLESTR>(member);
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, locale, &id);
    if (FAILED(hr)) throw WindowsError(hr, ToUtf8(WindowsErrorText(static_cast<DWORD>(hr))));
    return Invoke(*object, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, locale);
}

std::wstring TextOf(const VARIANT& value, std::wstring_view name)
{
    if (IsObject(value)) Refuse(DISP_E_TYPEMISMATCH, name, L" is an object, not text.");
    UniqueVariant text;
    const HRESULT hr = Convert(text, value, VT_BSTR);
    if (FAILED(hr)) Refuse(hr, name, L" is not text.");
    return UniqueBstr(std::exchange(V_BSTR(text.Get()), nullptr)).Text();
}

LONG NumberOf(const VARIANT& value, std::wstring_view name)
{
    if (IsObject(value)) Refuse(DISP_E_TYPEMISMATCH, name, L" is an object, not a number.");
    UniqueVariant number;
    const HRESULT hr = Convert(number, value, VT_I4);
    if (FAILED(hr)) Refuse(hr, name, L" is not a number.");
    return V_I4(number.Get());
}

ComPtr<IDispatch> ObjectOf(const VARIANT& value, std::wstring_view name)
{
    if (V_VT(&value) != VT_DISPATCH || !V_DISPATCH(&value)) Refuse(DISP_E_TYPEMISMATCH, name, L" is no object.");
    return ComPtr<IDispatch>(V_DISPATCH(&value));
}

// ---------------------------------------------------------------------------------------------

HRESULT IdsOfNames(DispatchTable table, LPOLESTR* names, UINT count, DISPID* ids) noexcept
{
    if (!names || !ids) return E_POINTER;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (std::size_t n = 0; i == 0 && names[0] && n < table.count; ++n)
            if (::CompareStringOrdinal(names[0], -1, table.names[n].name, -1, TRUE) == CSTR_EQUAL)
                ids[0] = table.names[n].id;
        if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

UniqueVariant DispatchArguments::Converted(UINT position, VARTYPE type) const
{
    UniqueVariant value;
    if (FAILED(Convert(value, parameters_.rgvarg[position], type))) {
        if (argumentError_) *argumentError_ = position;
        throw WindowsError(DISP_E_TYPEMISMATCH, "an argument of the wrong type");
    }
    return value;
}

UniqueVariant DispatchArguments::At(UINT index, VARTYPE type) const
{
    if (index >= Count()) throw WindowsError(DISP_E_PARAMNOTFOUND, "a missing argument");
    return Converted(parameters_.cArgs - 1 - index, type);
}

UniqueVariant DispatchArguments::PutValue(VARTYPE type) const
{
    if (parameters_.cArgs != 1 || parameters_.cNamedArgs != 1 || parameters_.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        throw WindowsError(DISP_E_BADPARAMCOUNT, "a property put of the wrong shape");
    return Converted(0, type);
}

HRESULT ReturnLong(VARIANT* result, LONG value) noexcept
{
    if (result) *result = LongArgument(value);
    return S_OK;
}

HRESULT ReturnBool(VARIANT* result, bool value) noexcept
{
    if (result) *result = BoolArgument(value);
    return S_OK;
}

HRESULT ReturnText(VARIANT* result, std::wstring_view text)
{
    if (result) *result = TextArgument(UniqueBstr::FromText(text).Detach());
    return S_OK;
}

HRESULT ReturnObject(VARIANT* result, IDispatch* object) noexcept
{
    if (result) {
        *result = ObjectArgument(object);
        if (object) object->AddRef();
    }
    return S_OK;
}

} // namespace cornice
