#include "ExcelApplicationHost.h"

#include "Utf8.h"
#include "WindowsErrorText.h"

namespace cornice {
namespace {

[[noreturn]] void Fail(HRESULT code, const std::wstring& why)
{
    throw WindowsError(code, ToUtf8(L"Excel could not tell its name: " + why));
}

// An automation exception's own words, or the system's text for its code.
[[noreturn]] void FailWithException(EXCEPINFO& exception)
{
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    const UniqueBstr source(exception.bstrSource), description(exception.bstrDescription), help(exception.bstrHelpFile);
    const HRESULT code = exception.scode ? exception.scode : DISP_E_EXCEPTION;
    Fail(code, description.Text().empty() ? WindowsErrorText(static_cast<DWORD>(code)) : description.Text());
}

} // namespace

std::wstring ExcelApplicationHost::Name()
{
    if (!application_)
        throw WindowsError(E_UNEXPECTED, "Corbel is not connected to Excel: no OnConnection has handed it "
                                         "Excel's Application object.");

    LPOLESTR name = const_cast<LPOLESTR>(L"Name");
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = application_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) Fail(hr, WindowsErrorText(static_cast<DWORD>(hr)));

    DISPPARAMS noArguments = {};
    UniqueVariant result;
    EXCEPINFO exception = {};
    hr = application_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                              result.Get(), &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) FailWithException(exception);
    if (FAILED(hr)) Fail(hr, WindowsErrorText(static_cast<DWORD>(hr)));

    // Any value that reads as text will do, as it would for a late-bound client; but not an
    // object: converting one asks it for its default value, and an object whose default value is
    // itself sends VariantChangeType round until the stack overflows and takes Excel with it.
    const VARTYPE type = V_VT(result.Get()) & VT_TYPEMASK;
    if (type == VT_DISPATCH || type == VT_UNKNOWN) Fail(DISP_E_TYPEMISMATCH, L"its Name is an object, not text.");
    hr = ::VariantChangeType(result.Get(), result.Get(), 0, VT_BSTR);
    if (FAILED(hr)) Fail(hr, L"its Name is not text.");
    return std::wstring(V_BSTR(result.Get()), ::SysStringLen(V_BSTR(result.Get())));
}

} // namespace cornice
