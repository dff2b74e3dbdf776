#include "ExcelApplicationHost.h"

#include "Utf8.h"
#include "WindowsErrorText.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

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

// Asks `object` for a member by name, with the arguments in the order a caller writes them, into
// `result`; throws WindowsError when it has no such member or the call fails.
void Call(UniqueVariant& result, IDispatch* object, const wchar_t* member, std::initializer_list<VARIANT> arguments = {})
{
    if (!object) throw WindowsError(E_POINTER, "Excel answered Nothing");
    LPOLESTR name = const_cast<LPOLESTR>(member);
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, kExcelLocale, &dispid);
    if (FAILED(hr)) throw WindowsError(hr, ToUtf8(std::wstring(L"Excel has no ") + member));

    // IDispatch takes its arguments last first.
    std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS parameters = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception = {};
    hr = object->Invoke(dispid, IID_NULL, kExcelLocale, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &parameters,
                        result.Put(), &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) hr = TakeAutomationException(exception).code;
    if (FAILED(hr)) throw WindowsError(hr, ToUtf8(std::wstring(L"Excel's ") + member + L" failed"));
}

// The object a call answered; throws for anything else, Nothing included.
ComPtr<IDispatch> ObjectOf(UniqueVariant& value)
{
    if (V_VT(value.Get()) != VT_DISPATCH || !V_DISPATCH(value.Get()))
        throw WindowsError(DISP_E_TYPEMISMATCH, "Excel answered no object");
    return ComPtr<IDispatch>(V_DISPATCH(value.Get()));
}

// Text as a late-bound client reads it; never an object (see Name below).
std::wstring TextOf(UniqueVariant& value)
{
    const VARTYPE type = V_VT(value.Get()) & VT_TYPEMASK;
    if (type == VT_DISPATCH || type == VT_UNKNOWN) throw WindowsError(DISP_E_TYPEMISMATCH, "Excel answered an object");
    const HRESULT hr = ::VariantChangeType(value.Get(), value.Get(), 0, VT_BSTR);
    if (FAILED(hr)) throw WindowsError(hr, "Excel answered no text");
    return std::wstring(V_BSTR(value.Get()), ::SysStringLen(V_BSTR(value.Get())));
}

VARIANT Long(LONG n)
{
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
}

VARIANT Missing()
{
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_ERROR;
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return v;
}

ComPtr<IDispatch> CommandBarsOf(IDispatch* application)
{
    UniqueVariant bars;
    Call(bars, application, L"CommandBars");
    return ObjectOf(bars);
}

// A number as a late-bound client reads it; never an object.
LONG NumberOf(UniqueVariant& value, const char* what)
{
    const VARTYPE type = V_VT(value.Get()) & VT_TYPEMASK;
    if (type == VT_DISPATCH || type == VT_UNKNOWN) throw WindowsError(DISP_E_TYPEMISMATCH, std::string(what) + " is an object");
    const HRESULT hr = ::VariantChangeType(value.Get(), value.Get(), 0, VT_I4);
    if (FAILED(hr)) throw WindowsError(hr, std::string(what) + " is no number");
    return V_I4(value.Get());
}

// CommandBars.GetLabelMso(idMso) and its kin.
std::wstring MsoText(IDispatch* application, const wchar_t* member, std::wstring_view idMso)
{
    UniqueBstr name = UniqueBstr::FromText(std::wstring(idMso));
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = name.Get();
    UniqueVariant text;
    Call(text, CommandBarsOf(application).Get(), member, {argument});
    return TextOf(text);
}

} // namespace

int ExcelApplicationHost::UiLanguage()
{
    constexpr LONG kMsoLanguageIdUi = 2;
    UniqueVariant settings, language;
    Call(settings, application_.Get(), L"LanguageSettings");
    Call(language, ObjectOf(settings).Get(), L"LanguageID", {Long(kMsoLanguageIdUi)});
    return NumberOf(language, "Excel's language");
}

std::wstring ExcelApplicationHost::Version()
{
    UniqueVariant version;
    Call(version, application_.Get(), L"Version");
    return TextOf(version);
}

long ExcelApplicationHost::Build()
{
    UniqueVariant build;
    Call(build, application_.Get(), L"Build");
    return NumberOf(build, "Excel's build");
}

std::wstring ExcelApplicationHost::MenuCaption(int controlId)
{
    UniqueVariant control, caption;
    Call(control, CommandBarsOf(application_.Get()).Get(), L"FindControl", {Missing(), Long(controlId)});
    Call(caption, ObjectOf(control).Get(), L"Caption");
    return TextOf(caption);
}

std::wstring ExcelApplicationHost::LabelOf(std::wstring_view idMso)
{
    return MsoText(application_.Get(), L"GetLabelMso", idMso);
}

std::wstring ExcelApplicationHost::SupertipOf(std::wstring_view idMso)
{
    return MsoText(application_.Get(), L"GetSupertipMso", idMso);
}

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
