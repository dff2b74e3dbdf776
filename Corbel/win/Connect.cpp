#include "Connect.h"

#include "AboutWindow.h"
#include "Automation.h"
#include "AddInIdentity.h"
#include "ComError.h"
#include "ComObject.h"
#include "Corbel.h"
#include "CorbelText.h"
#include "ExcelApplicationHost.h"
#include "ExcelWordsRegistry.h"
#include "LanguageChoice.h"
#include "LocalisedText.h"
#include "Module.h"
#include "RegistryPolicySource.h"
#include "RibbonBuilder.h"
#include "SearchSession.h"
#include "Trace.h"
#include "WinHandles.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cornice {
namespace {

// The table of the add-in's texts for Excel's UI language; English when Excel cannot tell it
// (no connection yet, or an Excel without LanguageSettings).
int TextLanguageOf(Host& excel) noexcept
{
    try {
        return TextLanguageFor(excel.UiLanguage());
    } catch (...) {
        TraceCaughtException("Excel's language");
        return kEnglishText;
    }
}

// A text for the caller through `result`: all of it, or nothing and the failure's description in
// IErrorInfo.
template <typename Make>
HRESULT AnswerText(BSTR* result, REFIID iid, Make&& make) noexcept
try {
    if (!result) return E_POINTER;
    *result = nullptr;
    *result = UniqueBstr::FromText(make()).Detach();
    return S_OK;
} catch (...) {
    return ReportCaughtException(iid);
}

// The type library's view of _Connect: its ITypeInfo for DispInvoke, and the shape of each
// member, so that Invoke can refuse a malformed call before DispInvoke sees it. Read once per
// process, when the first object is made.
struct DispatchMember {
    DISPID id;
    UINT arguments; // without the [out, retval] result
};

struct DispatchDescription {
    ComPtr<ITypeInfo> typeInfo;
    std::vector<DispatchMember> members;
};
const DispatchDescription& ConnectDispatch();

LONG g_liveConnects = 0;

class Connect final
    : public ComObject<Connect, _Connect, IRibbonExtensibility, _IDTExtensibility2, ISupportErrorInfo> {
public:
    static const InterfaceEntry kInterfaces[];

    Connect() : dispatch_(ConnectDispatch())
    {
        ModuleAddRef();
        ::InterlockedIncrement(&g_liveConnects);
    }

    // IDispatch, for every interface of the object: the type library's _Connect answers, so
    // Office's by-name callbacks resolve whichever interface pointer it kept.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // _Connect
    HRESULT STDMETHODCALLTYPE IRibbonExtensibility_GetCustomUI(BSTR ribbonId, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetRibbonXML(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE ShowAbout0(IDispatch* control) override;
    HRESULT STDMETHODCALLTYPE Uninstall0(IDispatch* control) override;
    HRESULT STDMETHODCALLTYPE SearchRibbonLoaded(IDispatch* ribbon) override;
    HRESULT STDMETHODCALLTYPE GetSearchWords(IDispatch* control, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE SearchWordsChanged(IDispatch* control, BSTR text) override;
    HRESULT STDMETHODCALLTYPE GetSearchResults(IDispatch* control, BSTR* content) override;

    // IRibbonExtensibility
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbonId, BSTR* result) override;

    // _IDTExtensibility2. Excel disconnects before it releases the add-in and may unload the
    // library soon after, so the About window (code of this library) goes then, whatever the
    // mode: Excel closing, or the user switching the add-in off.
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode, IDispatch*,
                                           SAFEARRAY**) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override
    {
        DiscardAboutWindow();
        // The ribbon's object may hold this one: kept, neither would ever be freed.
        ribbon_ = {};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override
    {
        DiscardAboutWindow();
        return S_OK;
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // Only through the last Release. A host that releases without disconnecting leaves no
    // window behind either.
    ~Connect()
    {
        if (::InterlockedDecrement(&g_liveConnects) == 0) DiscardAboutWindow();
        ModuleRelease();
    }

private:
    HRESULT BuildDocument(BSTR* result, REFIID iid) noexcept;

    const DispatchDescription& dispatch_;
    RegistrySettingsAfterPolicy settings_;
    ExcelApplicationHost excelApplication_;
    RegistryExcelWordsMemory excelWords_;
    RibbonBuilder builder_{settings_.Store(), excelApplication_, &excelWords_};
    SearchSession search_{excelApplication_, &excelWords_};
    // The ribbon's IRibbonUI, from onLoad: the results menu is invalidated through it.
    ComPtr<IDispatch> ribbon_;
};

// IUnknown and IDispatch are _Connect's.
const InterfaceEntry Connect::kInterfaces[] = {
    CORNICE_INTERFACE(Connect, _Connect),
    CORNICE_INTERFACE_AS(Connect, _Connect, IID_IDispatch),
    CORNICE_INTERFACE(Connect, IRibbonExtensibility),
    CORNICE_INTERFACE(Connect, _IDTExtensibility2),
    CORNICE_INTERFACE(Connect, ISupportErrorInfo),
    {},
};

HRESULT Connect::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT Connect::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo)
{
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return dispatch_.typeInfo.CopyTo(typeInfo);
}

HRESULT Connect::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* dispids)
{
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    // oleaut32 reads both arrays unchecked (Wine's dereferences a null one).
    if (!names || !dispids) return E_INVALIDARG;
    return ::DispGetIDsOfNames(dispatch_.typeInfo.Get(), names, count, dispids);
}

HRESULT Connect::Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError)
{
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    // Wine's DispInvoke trusts the shape of a call more than a careless host deserves (it has
    // read past the arguments of a named or miscounted call), so the shape is checked here:
    // every member is a method with positional arguments only.
    const auto member = std::find_if(dispatch_.members.begin(), dispatch_.members.end(),
                                     [dispid](const DispatchMember& m) { return m.id == dispid; });
    if (member == dispatch_.members.end() || !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
        return DISP_E_MEMBERNOTFOUND;
    if (!parameters) return E_INVALIDARG;
    if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (parameters->cArgs != member->arguments) return DISP_E_BADPARAMCOUNT;
    // A caller that wants no result still gets the call; the result is dropped here.
    VARIANT dropped;
    ::VariantInit(&dropped);
    // A failing method's IErrorInfo reaches the caller as EXCEPINFO through DispInvoke.
    const HRESULT hr = ::DispInvoke(static_cast<_Connect*>(this), dispatch_.typeInfo.Get(), dispid, DISPATCH_METHOD,
                                    parameters, result ? result : &dropped, exception, argumentError);
    ::VariantClear(&dropped);
    return hr;
}

// The builder reads the settings afresh and either returns the whole document or throws;
// nothing of a failed build reaches the caller, and the next call starts from scratch.
HRESULT Connect::BuildDocument(BSTR* result, REFIID iid) noexcept
{
    return AnswerText(result, iid, [&] { return builder_.GetRibbonXML(); });
}

HRESULT Connect::GetRibbonXML(BSTR* result) { return BuildDocument(result, IID__Connect); }

// Every ribbon id gets the same document.
HRESULT Connect::IRibbonExtensibility_GetCustomUI(BSTR, BSTR* result) { return BuildDocument(result, IID__Connect); }
HRESULT Connect::GetCustomUI(BSTR, BSTR* result) { return BuildDocument(result, IID_IRibbonExtensibility); }

// The one About window, modeless, with no owner, in Excel's language; the control is not
// needed. A failure comes back with its description in IErrorInfo.
HRESULT Connect::ShowAbout0(IDispatch*) { return ShowAboutWindow(TextLanguageOf(excelApplication_)); }

HRESULT Connect::Uninstall0(IDispatch*)
try {
    // The uninstall entry only tells the user how to uninstall; it changes nothing. The caption
    // is the application title; the English text's two carriage returns without line feeds are
    // the message as it always stood.
    const int language = TextLanguageOf(excelApplication_);
    const std::wstring text = LoadText(ModuleHandle(), IDS_UNINSTALL_INSTRUCTIONS, language);
    const std::wstring caption = ApplicationTitle();
    // Owned by Excel's active window, so that Excel waits for the box like for its own.
    if (::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_APPLMODAL) == 0) {
        const DWORD error = ::GetLastError();
        return ReportError(HRESULT_FROM_WIN32(error ? error : ERROR_CANNOT_MAKE),
                           LoadText(ModuleHandle(), IDS_UNINSTALL_NOT_SHOWN, language), IID__Connect);
    }
    return S_OK;
} catch (...) {
    return ReportCaughtException(IID__Connect);
}

HRESULT Connect::OnConnection(IDispatch* application, ext_ConnectMode, IDispatch*, SAFEARRAY**)
{
    excelApplication_.SetApplication(application);
    builder_.ForgetLabels();
    search_.Forget();
    ribbon_ = {};
    return S_OK;
}

HRESULT Connect::SearchRibbonLoaded(IDispatch* ribbon)
{
    ribbon_ = ComPtr<IDispatch>(ribbon);
    return S_OK;
}

HRESULT Connect::GetSearchWords(IDispatch*, BSTR* text)
{
    return AnswerText(text, IID__Connect, [&] { return search_.Words(); });
}

// Enter in the box: the words are searched now, so that the menu opens at once; the menu is
// told that its content changed.
HRESULT Connect::SearchWordsChanged(IDispatch*, BSTR text)
try {
    search_.Search(text ? std::wstring_view(text, ::SysStringLen(text)) : std::wstring_view(), builder_.Labels(),
                   builder_.Language());
    if (ribbon_) {
        const UniqueBstr id = UniqueBstr::FromText(L"SearchResults");
        CallByName(ribbon_.Get(), L"InvalidateControl", {TextArgument(id.Get())});
    }
    return S_OK;
} catch (...) {
    return ReportCaughtException(IID__Connect);
}

HRESULT Connect::GetSearchResults(IDispatch*, BSTR* content)
{
    return AnswerText(content, IID__Connect, [&] { return search_.ResultsMenu(); });
}

HRESULT Connect::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == IID__Connect || iid == IID_IRibbonExtensibility || iid == IID__IDTExtensibility2 ? S_OK : S_FALSE;
}

// The dispatch part of _Connect comes from the type library inside the DLL itself, so it works
// whatever the registry holds. DispInvoke needs the vtable half of the dual interface.
DispatchDescription LoadDispatchDescription()
{
    DispatchDescription result;
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> dispatchInfo;
    HREFTYPE vtablePart = 0;
    TYPEATTR* attributes = nullptr;
    HRESULT hr = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.Put());
    if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(IID__Connect, dispatchInfo.Put());
    if (SUCCEEDED(hr)) hr = dispatchInfo->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtablePart);
    if (SUCCEEDED(hr)) hr = dispatchInfo->GetRefTypeInfo(vtablePart, result.typeInfo.Put());
    if (SUCCEEDED(hr)) hr = result.typeInfo->GetTypeAttr(&attributes);
    ThrowIfFailed(hr, "Corbel.dll's type library cannot be read");
    const WORD functions = attributes->cFuncs;
    result.typeInfo->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < functions; ++i) {
        FUNCDESC* function = nullptr;
        ThrowIfFailed(result.typeInfo->GetFuncDesc(i, &function), "Corbel.dll's type library cannot be read");
        UINT arguments = static_cast<UINT>(function->cParams);
        if (arguments > 0 && (function->lprgelemdescParam[arguments - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
            --arguments;
        const DispatchMember member{function->memid, arguments};
        result.typeInfo->ReleaseFuncDesc(function);
        result.members.push_back(member);
    }
    return result;
}

// A static's initialisation is thread-safe, and one that throws is tried again by the next
// object. Released when the library unloads.
const DispatchDescription& ConnectDispatch()
{
    static const DispatchDescription description = LoadDispatchDescription();
    return description;
}

} // namespace

HRESULT Connect_CreateInstance(REFIID iid, void** object) noexcept
try {
    if (!object) return E_POINTER;
    *object = nullptr;
    auto connect = ComPtr<_Connect>::Attach(new Connect());
    return connect->QueryInterface(iid, object);
}
CORNICE_CATCH_RETURN()

} // namespace cornice
