#include "ExcelApplicationHost.h"

#include "Utf8.h"
#include "WindowsErrorText.h"

namespace cornice {
namespace {

[[noreturn]] void Fail(HRESULT code, const std::wstring& why)
{
    throw WindowsError(code, ToUtf8(L"Excel could not tell its name: " + why));
}

// Excel's IDispatch is asked in US English: with another locale Excel can fail late-bound calls
// with "Old format or invalid type library" (0x80028018) unless that language's user interface
// pack is installed (Microsoft KB 320369).
const LCID kExcelLocale = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

} // namespace

std::wstring ExcelApplicationHost::Name()
{
    if (!application_)
        throw WindowsError(E_UNEXPECTED, "Corbel is not connected to Excel: no OnConnection has handed it "
                                         "Excel's Application object.");

    LPOLESTR name = const_cast<LPOLESTR>(L"Name");
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = application_->GetIDsOfNames(IID_NULL, &name, 1, kExcelLocale, &dispid);
    if (FAILED(hr)) Fail(hr, WindowsErrorText(static_cast<DWORD>(hr)));

    DISPPARAMS noArguments = {};
    UniqueVariant result;
    EXCEPINFO exception = {};
    hr = application_->Invoke(dispid, IID_NULL, kExcelLocale, DISPATCH_PROPERTYGET, &noArguments,
                              result.Get(), &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        const AutomationException raised = TakeAutomationException(exception);
        Fail(raised.code, raised.description);
    }
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
