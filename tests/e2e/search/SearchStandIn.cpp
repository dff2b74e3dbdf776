// A COM add-in of a few lines whose ribbon has a search group, for trying excel-host's edit box,
// dynamic menu, onLoad and invalidation on their own: it finds its three commands by words the
// label contains, remembers the words for getText and invalidates both controls on a change,
// as an add-in with a command search does. Registered by the test (search-e2e.sh).
#include "Automation.h"
#include "ComObject.h"
#include "Corbel.h"
#include "WinHandles.h"

#include <cwctype>
#include <new>
#include <string>

using namespace cornice;

namespace {

LONG g_objects = 0;

constexpr const wchar_t* kDocument =
    L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" onLoad=\"Loaded\"><ribbon><tabs>"
    L"<tab id=\"T\" label=\"Stand-in\"><group id=\"G\" label=\"Find a command\">"
    L"<button id=\"Hello\" label=\"Hello\" keytip=\"H\" onAction=\"Hello\"/>"
    L"<editBox id=\"Words\" label=\"Find a command\" showLabel=\"false\" keytip=\"FC\" sizeString=\"WWWWWWWWWWWW\" "
    L"getText=\"GetWords\" onChange=\"Changed\"/>"
    L"<dynamicMenu id=\"Results\" label=\"Results\" keytip=\"FR\" getContent=\"GetResults\"/>"
    L"</group></tab></tabs></ribbon></customUI>";

struct Command {
    const wchar_t* label;
    const wchar_t* idMso;
};
constexpr Command kCommands[] = {{L"Tools &gt; Options\u2026", L"ApplicationOptionsDialog"},
                                 {L"Data &gt; Form\u2026", L"DataFormExcel"},
                                 {L"Format &gt; Cells\u2026", L"FormatCellsDialog"}};

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Every word of `words` somewhere in the label.
bool Matches(const std::wstring& label, const std::wstring& words)
{
    const std::wstring haystack = Lower(label);
    std::size_t start = 0;
    bool any = false;
    for (;;) {
        const std::size_t space = words.find(L' ', start);
        const std::wstring word = Lower(words.substr(start, space == std::wstring::npos ? space : space - start));
        if (!word.empty()) {
            if (haystack.find(word) == std::wstring::npos) return false;
            any = true;
        }
        if (space == std::wstring::npos) return any;
        start = space + 1;
    }
}

enum : DISPID { kHello = 100, kLoaded, kGetWords, kChanged, kGetResults };
constexpr DispatchName kNames[] = {{L"Hello", kHello},       {L"Loaded", kLoaded},         {L"GetWords", kGetWords},
                                   {L"Changed", kChanged},   {L"GetResults", kGetResults}, {L"GetCustomUI", 1}};

class StandIn final : public DispatchObject<StandIn, _IDTExtensibility2, IRibbonExtensibility> {
public:
    static const InterfaceEntry kInterfaces[];
    StandIn() { ::InterlockedIncrement(&g_objects); }
    ~StandIn() { ::InterlockedDecrement(&g_objects); }

    DispatchTable Names() const noexcept { return {kNames, sizeof kNames / sizeof kNames[0]}; }
    HRESULT Call(DISPID id, WORD, const DispatchArguments& arguments, VARIANT* result, EXCEPINFO*)
    {
        switch (id) {
        case kLoaded:
            if (arguments.Count() != 1 || V_VT(&arguments[0]) != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
            ribbon_ = ComPtr<IDispatch>(V_DISPATCH(&arguments[0]));
            return S_OK;
        case kHello:
            return S_OK;
        case kGetWords:
            return ReturnText(result, words_);
        case kChanged: {
            UniqueVariant text;
            CORNICE_RETURN_IF_FAILED(arguments.At(1, VT_BSTR, text));
            words_ = V_BSTR(text.Get()) ? V_BSTR(text.Get()) : L"";
            if (!ribbon_) return E_UNEXPECTED;
            for (const wchar_t* control : {L"Results", L"Words"}) {
                const UniqueBstr name = UniqueBstr::FromText(control);
                CallByName(ribbon_.Get(), L"InvalidateControl", {TextArgument(name.Get())});
            }
            return S_OK;
        }
        case kGetResults: {
            std::wstring menu = L"<menu xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">";
            bool found = false;
            for (const Command& command : kCommands)
                if (Matches(command.label, words_)) {
                    menu += L"<button idMso=\"" + std::wstring(command.idMso) + L"\" label=\"" + command.label + L"\"/>";
                    found = true;
                }
            if (!found) menu += L"<button id=\"NoMatch\" label=\"No command found\" enabled=\"false\"/>";
            return ReturnText(result, menu + L"</menu>");
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, ext_ConnectMode, IDispatch*, SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override
    {
        ribbon_.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR, BSTR* document) override
    {
        if (!document) return E_POINTER;
        *document = ::SysAllocString(kDocument);
        return *document ? S_OK : E_OUTOFMEMORY;
    }

private:
    ComPtr<IDispatch> ribbon_;
    std::wstring words_;
};

const InterfaceEntry StandIn::kInterfaces[] = {CORNICE_INTERFACE(StandIn, _IDTExtensibility2),
                                               CORNICE_INTERFACE_AS(StandIn, _IDTExtensibility2, IID_IDispatch),
                                               CORNICE_INTERFACE(StandIn, IRibbonExtensibility), {}};

class Factory final : public ComObject<Factory, IClassFactory> {
public:
    static const InterfaceEntry kInterfaces[];
    void Destroy() noexcept {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* standIn = new (std::nothrow) StandIn;
        if (!standIn) return E_OUTOFMEMORY;
        const HRESULT hr = standIn->QueryInterface(iid, object);
        standIn->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
const InterfaceEntry Factory::kInterfaces[] = {CORNICE_INTERFACE(Factory, IClassFactory), {}};
Factory g_factory;

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID iid, void** object)
{
    return g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }
