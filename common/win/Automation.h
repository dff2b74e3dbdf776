// Automation written once, for both ends of IDispatch.
//
// Calling: CallByName and Invoke ask an object for a member with the arguments in the order a
// caller writes them and hand back the result as an owned VARIANT; TextOf, NumberOf and
// ObjectOf read it as a late-bound client would, but never convert an object. A failure is a
// WindowsError whose text is what the callee raised or the system's words for its HRESULT.
//
// Answering: DispatchObject gives a ComObject the four IDispatch methods from one table of
// names and dispatch ids; the class answers Call(id, flags, arguments, result, exception).
#pragma once

#include "ComObject.h"
#include "WinHandles.h"

#include <oaidl.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace cornice {

// ---------------------------------------------------------------------------------------------
// Arguments: borrowed values, owned by the caller for the length of the call

inline VARIANT TypedVariant(VARTYPE type) noexcept
{
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = type;
    return value;
}
inline VARIANT LongArgument(LONG value) noexcept
{
    VARIANT v = TypedVariant(VT_I4);
    V_I4(&v) = value;
    return v;
}
inline VARIANT BoolArgument(bool value) noexcept
{
    VARIANT v = TypedVariant(VT_BOOL);
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
inline VARIANT TextArgument(BSTR text) noexcept
{
    VARIANT v = TypedVariant(VT_BSTR);
    V_BSTR(&v) = text;
    return v;
}
inline VARIANT ObjectArgument(IDispatch* object) noexcept
{
    VARIANT v = TypedVariant(VT_DISPATCH);
    V_DISPATCH(&v) = object;
    return v;
}
// An optional argument left out ("FindControl(, id)").
inline VARIANT MissingArgument() noexcept
{
    VARIANT v = TypedVariant(VT_ERROR);
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return v;
}

// ---------------------------------------------------------------------------------------------
// The exception a callee raised

// Owns an EXCEPINFO's strings; Put() hands it to Invoke, empty.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() { Clear(); }

    EXCEPINFO* Put() noexcept
    {
        Clear();
        return &info_;
    }
    // After the callee's deferred fill-in: its code (DISP_E_EXCEPTION when it gave none) and its
    // description (the system's text for the code when it gave none).
    HRESULT Code() noexcept;
    std::wstring Description();

private:
    void FillIn() noexcept;
    void Clear() noexcept
    {
        ::SysFreeString(info_.bstrSource);
        ::SysFreeString(info_.bstrDescription);
        ::SysFreeString(info_.bstrHelpFile);
        info_ = {};
    }
    EXCEPINFO info_{};
};

// For a callee: fills `exception` (when the caller gave one) and returns DISP_E_EXCEPTION.
inline HRESULT RaiseException(EXCEPINFO* exception, HRESULT code, std::wstring_view source,
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
// Calling

// The whole answer of one call, for callers that judge every HRESULT themselves.
struct DispatchOutcome {
    HRESULT hr = E_FAIL;
    UniqueVariant result;
    ExceptionInfo exception;
};

// A property put passes its one argument as the named DISPID_PROPERTYPUT; anything else
// positionally.
void InvokeInto(DispatchOutcome& outcome, IDispatch& object, DISPID id, WORD flags, const VARIANT* arguments,
                std::size_t count, LCID locale = LOCALE_USER_DEFAULT);
inline void InvokeInto(DispatchOutcome& outcome, IDispatch& object, DISPID id, WORD flags,
                       std::initializer_list<VARIANT> arguments = {}, LCID locale = LOCALE_USER_DEFAULT)
{
    InvokeInto(outcome, object, id, flags, arguments.begin(), arguments.size(), locale);
}

// The dispatch id of a member's name, as GetIDsOfNames answers it.
inline HRESULT IdOfName(IDispatch& object, const wchar_t* member, DISPID& id, LCID locale = LOCALE_USER_DEFAULT) noexcept
{
    LPOLESTR name = const_cast<LPOLESTR>(member);
    return object.GetIDsOfNames(IID_NULL, &name, 1, locale, &id);
}

// Throw WindowsError: the raised code and description, or the failed HRESULT and its text.
UniqueVariant Invoke(IDispatch& object, DISPID id, WORD flags, std::initializer_list<VARIANT> arguments = {},
                     LCID locale = LOCALE_USER_DEFAULT);
// Asked as Visual Basic asks `object.member(arguments)`: a method or a property get.
UniqueVariant CallByName(IDispatch* object, const wchar_t* member, std::initializer_list<VARIANT> arguments = {},
                         LCID locale = LOCALE_USER_DEFAULT);

// Any value that reads as text, as it would for a late-bound client; but not an object:
// converting one asks it for its default value, and an object whose default value is itself
// sends VariantChangeType round until the stack overflows. `name` words the failure ("its Name
// is not text.").
std::wstring TextOf(const VARIANT& value, const char* name);
LONG NumberOf(const VARIANT& value, const char* name);
// The object a call answered; Nothing and anything else fail.
ComPtr<IDispatch> ObjectOf(const VARIANT& value, const char* name);

// ---------------------------------------------------------------------------------------------
// Answering

struct DispatchName {
    const wchar_t* name;
    DISPID id;
};
struct DispatchTable {
    const DispatchName* names = nullptr;
    std::size_t count = 0;
};

// GetIDsOfNames over a table: names ignore case, as automation's do; an object without type
// information knows no argument names.
HRESULT IdsOfNames(DispatchTable table, LPOLESTR* names, UINT count, DISPID* ids) noexcept;

// The arguments of one call as the callee sees them, in the order the caller wrote them.
class DispatchArguments {
public:
    DispatchArguments(DISPPARAMS& parameters, UINT* argumentError) noexcept
        : parameters_(parameters), argumentError_(argumentError)
    {
    }
    const DISPPARAMS& Parameters() const noexcept { return parameters_; }
    UINT Count() const noexcept { return parameters_.cArgs - parameters_.cNamedArgs; }
    const VARIANT& operator[](UINT index) const noexcept { return parameters_.rgvarg[parameters_.cArgs - 1 - index]; }

    // Converted to `type`; objects are refused. DISP_E_PARAMNOTFOUND or DISP_E_TYPEMISMATCH
    // (naming the argument in the caller's argumentError).
    HRESULT At(UINT index, VARTYPE type, UniqueVariant& value) const noexcept
    {
        return index < Count() ? Converted(parameters_.cArgs - 1 - index, type, value) : DISP_E_PARAMNOTFOUND;
    }
    // The value of a property put, converted: DISP_E_BADPARAMCOUNT unless it is the one
    // argument, named DISPID_PROPERTYPUT.
    HRESULT PutValue(VARTYPE type, UniqueVariant& value) const noexcept
    {
        const bool put = parameters_.cArgs == 1 && parameters_.cNamedArgs == 1 &&
                         parameters_.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        return put ? Converted(0, type, value) : DISP_E_BADPARAMCOUNT;
    }

private:
    HRESULT Converted(UINT position, VARTYPE type, UniqueVariant& value) const noexcept;
    DISPPARAMS& parameters_;
    UINT* argumentError_;
};

// Results; each leaves a null `result` alone.
inline HRESULT ReturnLong(VARIANT* result, LONG value) noexcept
{
    if (result) *result = LongArgument(value);
    return S_OK;
}
inline HRESULT ReturnBool(VARIANT* result, bool value) noexcept
{
    if (result) *result = BoolArgument(value);
    return S_OK;
}
inline HRESULT ReturnText(VARIANT* result, std::wstring_view text) // throws std::bad_alloc
{
    if (result) *result = TextArgument(UniqueBstr::FromText(text).Detach());
    return S_OK;
}
inline HRESULT ReturnObject(VARIANT* result, IDispatch* object) noexcept
{
    if (result) {
        *result = ObjectArgument(object);
        if (object) object->AddRef();
    }
    return S_OK;
}

// IDispatch without type information over Derived::Names() (a DispatchTable); Invoke goes to
//   HRESULT Derived::Call(DISPID, WORD flags, const DispatchArguments&, VARIANT* result, EXCEPINFO*)
// and no exception leaves it (WindowsError's code, E_OUTOFMEMORY, E_FAIL).
template <typename Derived, typename... Interfaces>
class DispatchObject : public ComObject<Derived, Interfaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (!info) return E_POINTER;
        *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return IdsOfNames(static_cast<Derived*>(this)->Names(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override
    try {
        if (!parameters) return E_POINTER;
        if (result) ::VariantInit(result);
        return static_cast<Derived*>(this)->Call(id, flags, DispatchArguments(*parameters, argumentError), result,
                                                 exception);
    }
    CORNICE_CATCH_RETURN()
};

} // namespace cornice
