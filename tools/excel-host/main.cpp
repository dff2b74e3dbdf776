// excel-host: a stand-in for Excel's add-in loader, so that COM add-ins can be run and tested
// without Excel. It loads the add-ins listed for Excel as Excel does at start-up, asks each for
// its ribbon, clicks ribbon controls on request and reports everything the add-ins show.
#include "AddInList.h"
#include "AutomationObjects.h"
#include "Console.h"
#include "ExcelRelease.h"
#include "LocalisedExcel.h"
#include "Markup.h"
#include "RibbonTiming.h"
#include "RibbonView.h"
#include "RibbonWindow.h"
#include "StartTiming.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowWatcher.h"
#include "WindowsErrorText.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <cwchar>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace cornice;
using namespace cornice::host;

namespace {

// Exit codes; when several things fail, the first in this list that happened wins.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,       // excel-host itself could not work (COM, output file)
    kExitBadArguments = 2,
    kExitNoAddIn = 3,       // no add-in is listed to load at start-up
    kExitLoadFailed = 4,    // an add-in could not be created or connected
    kExitRibbonFailed = 5,  // GetCustomUI failed
    kExitBadDocument = 6,   // the ribbon document is not well-formed XML
    kExitClickFailed = 7,   // no such control, no onAction, or the callback failed
};

constexpr const wchar_t* kUsage =
    L"usage: excel-host [options]\n"
    L"\n"
    L"Loads the COM add-ins listed for Excel under\n"
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Excel\\Addins and the same key of\n"
    L"HKEY_LOCAL_MACHINE (where the user's entry of an add-in wins) as Excel does at start-up:\n"
    L"each one whose LoadBehavior asks for it is created by ProgID and connected\n"
    L"(OnConnection with ext_cm_Startup, OnAddInsUpdate, OnStartupComplete), then asked\n"
    L"for its ribbon with GetCustomUI(\"Microsoft.Excel.Workbook\"); the document must be\n"
    L"well-formed XML. Every window an add-in shows is reported (caption, text, buttons)\n"
    L"and closed. At the end: OnBeginShutdown, OnDisconnection, release, and what the\n"
    L"add-in's DllCanUnloadNow says.\n"
    L"\n"
    L"  --name TEXT        the Application's Name (default \"Microsoft Excel\")\n"
    L"  --release N        play Excel 2007 (12), 2010 (14, the default), 2013 (15) or\n"
    L"                     2016 to 365 (16): Application.Version \"N.0\", and an add-in\n"
    L"                     that Excel N.0's Disabled Items hold is not loaded\n"
    L"  --controls FILE    the built-in controls the release knows (one idMso per line,\n"
    L"                     as tests/data/office/excel2013-idmso.txt): every idMso of a\n"
    L"                     ribbon document that is not there is reported, as Excel does\n"
    L"                     with \"Show add-in user interface errors\" on\n"
    L"  --ui-language N    play an Excel whose user interface is in language N (1031\n"
    L"                     German ...): Application.LanguageSettings.LanguageID(2)\n"
    L"  --excel-words FILE that Excel's words (with --ui-language): its CommandBars give\n"
    L"                     the captions and GetLabelMso labels of FILE (as tests/data/\n"
    L"                     excel-words/german.tsv); without it every question raises\n"
    L"  --ribbon-out FILE  write the ribbon document to FILE: UTF-8, no BOM, no newline\n"
    L"                     added (an empty document gives an empty file)\n"
    L"  --print-ribbon     print the ribbon document\n"
    L"  --outline          print the ribbon as an outline: tabs, groups, menus, callbacks\n"
    L"  --click ID         invoke the onAction callback of the control with id ID, by name\n"
    L"                     through IDispatch, with an IRibbonControl (repeatable, in order)\n"
    L"  --wait             leave the add-in's windows open; end when the user closed them\n"
    L"  --keep-open        leave the add-in's windows open and shut the add-ins down with\n"
    L"                     them open, as Excel does when it closes\n"
    L"  --show-text        print the tabs the add-in adds as a person meets them: the menus\n"
    L"                     of the menu bar with their entries, the toolbar rows' buttons\n"
    L"  --show             show those tabs in a window: the menu bar with drop-down menus,\n"
    L"                     the toolbar rows as buttons; the add-in's own entries call it\n"
    L"                     back; ends when the window is closed (needs a display)\n"
    L"  --measure ROUNDS   time GetCustomUI against 12 bare reads of its settings, and the\n"
    L"                     add-in's start: from CoCreateInstance to the first document, and\n"
    L"                     once more from LoadLibrary of its DLL\n"
    L"  --help             this text\n"
    L"\n"
    L"Exit codes: 0 all well; 1 excel-host failed; 2 bad arguments; 3 no add-in to load;\n"
    L"4 an add-in failed to load; 5 a ribbon request failed; 6 a ribbon document is not\n"
    L"well-formed XML; 7 a click failed.\n";

// How long a click waits for the windows it opened to be reported and closed.
constexpr DWORD kWindowsGoneMilliseconds = 15000;

struct Options {
    std::wstring hostName = L"Microsoft Excel";
    int release = 14;
    std::optional<std::wstring> controlList;
    std::optional<std::wstring> ribbonOut;
    bool printRibbon = false;
    bool outline = false;
    bool wait = false;
    bool keepOpen = false;
    bool showText = false;
    bool show = false;
    std::vector<std::wstring> clicks;
    int measureRounds = 0;
    int uiLanguage = 0;
    std::optional<std::wstring> excelWords;
};

struct LoadedAddIn {
    AddInEntry entry;
    CLSID clsid = {};
    ComPtr<_IDTExtensibility2> connection;
    ComPtr<IRibbonExtensibility> ribbon;
    std::optional<markup::Element> document;
    StartClock start; // from CoCreateInstance to the first document, with --measure
};

class Run {
public:
    explicit Run(Options options) : options_(std::move(options)) {}
    int Execute();

private:
    void Fail(ExitCode code)
    {
        if (exitCode_ == kExitOk || code < exitCode_) exitCode_ = code;
    }
    bool Load(const AddInEntry& entry);
    void AskForRibbon(LoadedAddIn& addIn);
    void Click(const std::wstring& id);
    void Show();
    void ShutDown();
    void MeasureStartsFromLoadLibrary(const std::vector<AddInEntry>& entries);

    Options options_;
    std::optional<std::set<std::wstring>> knownControls_;
    ComPtr<IDispatch> application_;
    std::vector<LoadedAddIn> addIns_;
    WindowWatcher* watcher_ = nullptr;
    bool ribbonWritten_ = false;
    int exitCode_ = kExitOk;
};

// An empty array of VARIANTs, which Excel passes as `custom` to every connection event.
class CustomArray {
public:
    CustomArray() : array_(::SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
    CustomArray(const CustomArray&) = delete;
    CustomArray& operator=(const CustomArray&) = delete;
    ~CustomArray()
    {
        if (array_) ::SafeArrayDestroy(array_);
    }
    SAFEARRAY** Get() { return &array_; }

private:
    SAFEARRAY* array_;
};

std::wstring Hex(HRESULT hr)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// "0x80020005: The setting ..." with the object's IErrorInfo description when it gave one.
std::wstring Failure(HRESULT hr, IUnknown* object, REFIID iid)
{
    std::wstring description;
    ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.PutVoid())) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        ComPtr<IErrorInfo> info;
        UniqueBstr text;
        if (::GetErrorInfo(0, info.Put()) == S_OK && info && SUCCEEDED(info->GetDescription(text.Put())))
            description = text.Text();
    }
    if (description.empty()) description = WindowsErrorText(static_cast<DWORD>(hr));
    return Hex(hr) + L": " + description;
}

std::wstring Failure(HRESULT hr, EXCEPINFO& exception)
{
    if (hr != DISP_E_EXCEPTION) return Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr));
    const AutomationException raised = TakeAutomationException(exception);
    return Hex(raised.code) + L": " + raised.description;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::wstring LoadBehaviorText(const AddInEntry& entry)
{
    return entry.loadBehavior ? L"LoadBehavior " + std::to_wstring(*entry.loadBehavior) : L"no LoadBehavior";
}

// The in-process server of a class, as COM would find it.
std::wstring ServerPath(const CLSID& clsid)
{
    wchar_t guid[39];
    ::StringFromGUID2(clsid, guid, 39);
    const std::wstring key = L"CLSID\\" + std::wstring(guid) + L"\\InprocServer32";
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = sizeof path;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
        return {};
    return path;
}

std::wstring TagOf(const markup::Element& element)
{
    const std::wstring* tag = element.Attribute(L"tag");
    return tag ? *tag : L"";
}

enum class CallOutcome { Returned, NoCallback, Failed };

// Calls `onAction` back for the control, as Office does: bound by name on the IDispatch of the
// ribbon interface it holds, with an IRibbonControl. `failure` says what went wrong.
CallOutcome InvokeCallback(IDispatch* dispatch, const std::wstring& onAction, const std::wstring& id,
                           const std::wstring& tag, IDispatch* application, std::wstring& failure)
{
    LPOLESTR name = const_cast<LPOLESTR>(onAction.c_str());
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) {
        failure = Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr));
        return CallOutcome::NoCallback;
    }
    const ComPtr<IRibbonControl> control = MakeRibbonControl(id, tag, application);
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_DISPATCH;
    V_DISPATCH(&argument) = control.Get();
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    EXCEPINFO exception = {};
    UniqueVariant result;
    hr = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.Get(), &exception,
                          nullptr);
    if (FAILED(hr)) {
        failure = Failure(hr, exception);
        return CallOutcome::Failed;
    }
    return CallOutcome::Returned;
}

int Run::Execute()
{
    if (options_.ribbonOut) ::DeleteFileW(options_.ribbonOut->c_str()); // no stale document on failure

    if (options_.controlList) {
        std::wstring error;
        knownControls_ = ReadControlList(*options_.controlList, error);
        if (!knownControls_) {
            Say(L"excel-host: " + error);
            return kExitFailure;
        }
    }
    const std::wstring version = ReleaseVersion(options_.release);
    std::vector<Property> localised;
    if (options_.uiLanguage != 0) {
        std::shared_ptr<const ExcelWordsFixture> words;
        if (options_.excelWords) {
            std::wstring error;
            std::optional<ExcelWordsFixture> read = ReadExcelWords(*options_.excelWords, error);
            if (!read) {
                Say(L"excel-host: " + error);
                return kExitFailure;
            }
            words = std::make_shared<const ExcelWordsFixture>(std::move(*read));
        }
        localised = LocalisedMembers(options_.uiLanguage, words);
    }
    application_ = MakeApplication(options_.hostName, version, std::move(localised));
    const std::vector<AddInEntry> entries = ReadExcelAddIns();
    Say(L"excel-host: Application.Name is " + Quoted(options_.hostName) + L", Version " + Quoted(version) + L"; " +
        std::to_wstring(entries.size()) + (entries.size() == 1 ? L" add-in" : L" add-ins") + L" listed for Excel");

    if (options_.measureRounds > 0) LoadExcelsOwnLibraries();
    std::optional<WindowWatcher> watcher;
    watcher.emplace(!options_.wait && !options_.keepOpen);
    watcher_ = &*watcher;
    int tried = 0;
    for (const AddInEntry& entry : entries) {
        if (!entry.LoadsAtStartup()) {
            Say(L"add-in " + entry.progId + L": " + LoadBehaviorText(entry) + L", not loaded at start-up");
            continue;
        }
        CLSID clsid = {};
        if (SUCCEEDED(::CLSIDFromProgID(entry.progId.c_str(), &clsid)) &&
            DisabledByExcel(options_.release, ServerPath(clsid))) {
            Say(L"add-in " + entry.progId + L": in Excel " + version + L"'s Disabled Items, not loaded");
            continue;
        }
        ++tried;
        Load(entry);
    }
    if (tried == 0) {
        Say(L"excel-host: no add-in to load");
        return kExitNoAddIn;
    }

    for (LoadedAddIn& addIn : addIns_) AskForRibbon(addIn);
    for (const std::wstring& id : options_.clicks) Click(id);

    if (options_.measureRounds > 0) {
        for (LoadedAddIn& addIn : addIns_) {
            if (!addIn.ribbon) continue;
            Say(L"add-in " + addIn.entry.progId + L": timing");
            Say(L"  " + addIn.start.Line(L"start, CoCreateInstance to first document"));
            for (const std::wstring& line : MeasureRibbonRequest(addIn.ribbon.Get(), options_.measureRounds)) Say(L"  " + line);
        }
    }

    if (options_.showText) {
        for (const LoadedAddIn& addIn : addIns_)
            if (addIn.document) {
                std::wstring text = TextView(ViewTabs(*addIn.document));
                if (!text.empty() && text.back() == L'\n') text.pop_back();
                Say(text);
            }
    }
    if (options_.show) {
        // The window and whatever the add-in opens from it are the user's to close.
        watcher_ = nullptr;
        watcher.reset();
        Show();
    }
    if (options_.wait) {
        Say(L"excel-host: waiting for the add-ins' windows to be closed");
        WindowWatcher::PumpMessagesUntilNoWindows();
    }
    std::vector<AddInEntry> measuredStarts;
    if (options_.measureRounds > 0)
        for (const LoadedAddIn& addIn : addIns_)
            if (addIn.ribbon) measuredStarts.push_back(addIn.entry);
    ShutDown();
    if (!measuredStarts.empty()) MeasureStartsFromLoadLibrary(measuredStarts);
    return exitCode_;
}

bool Run::Load(const AddInEntry& entry)
{
    const std::wstring name = entry.friendlyName.empty() ? L"" : L" " + Quoted(entry.friendlyName);
    Say(L"add-in " + entry.progId + name + (entry.machineWide ? L" (for all users)" : L"") + L": " +
        LoadBehaviorText(entry) + L", loading");

    LoadedAddIn addIn;
    addIn.entry = entry;
    HRESULT hr = ::CLSIDFromProgID(entry.progId.c_str(), &addIn.clsid);
    if (FAILED(hr)) {
        Say(L"  cannot find the class of " + entry.progId + L": " + Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr)));
        Fail(kExitLoadFailed);
        return false;
    }
    ComPtr<IUnknown> object;
    if (options_.measureRounds > 0) addIn.start.Start();
    hr = ::CoCreateInstance(addIn.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid());
    if (FAILED(hr)) {
        Say(L"  cannot create " + entry.progId + L": " + Hex(hr) + L": " + WindowsErrorText(static_cast<DWORD>(hr)));
        Fail(kExitLoadFailed);
        return false;
    }
    addIn.start.Mark(L"CoCreateInstance");
    hr = object.As(addIn.connection, IID__IDTExtensibility2);
    if (FAILED(hr)) {
        Say(L"  " + entry.progId + L" is no COM add-in: it has no IDTExtensibility2 (" + Hex(hr) + L")");
        Fail(kExitLoadFailed);
        return false;
    }

    const ComPtr<IDispatch> comAddIn = MakeComAddIn(entry.progId, entry.description);
    CustomArray custom;
    hr = addIn.connection->OnConnection(application_.Get(), ext_cm_Startup, comAddIn.Get(), custom.Get());
    if (FAILED(hr)) {
        Say(L"  OnConnection failed: " + Failure(hr, addIn.connection.Get(), IID__IDTExtensibility2));
        Fail(kExitLoadFailed);
        return false;
    }
    addIn.start.Pause();
    Say(L"  connected (OnConnection, ext_cm_Startup)");
    addIn.start.Resume();
    hr = addIn.connection->OnAddInsUpdate(custom.Get());
    if (FAILED(hr)) Say(L"  OnAddInsUpdate failed: " + Failure(hr, addIn.connection.Get(), IID__IDTExtensibility2));
    hr = addIn.connection->OnStartupComplete(custom.Get());
    if (FAILED(hr)) Say(L"  OnStartupComplete failed: " + Failure(hr, addIn.connection.Get(), IID__IDTExtensibility2));

    object.As(addIn.ribbon, IID_IRibbonExtensibility);
    addIn.start.Mark(L"connect");
    addIn.start.Pause(); // the other add-ins load before the ribbon is asked for
    addIns_.push_back(std::move(addIn));
    return true;
}

void Run::AskForRibbon(LoadedAddIn& addIn)
{
    if (!addIn.ribbon) {
        Say(L"add-in " + addIn.entry.progId + L": no IRibbonExtensibility, no ribbon");
        return;
    }
    const UniqueBstr ribbonId = UniqueBstr::FromText(L"Microsoft.Excel.Workbook");
    UniqueBstr document;
    ::SetErrorInfo(0, nullptr);
    addIn.start.Resume();
    const HRESULT hr = addIn.ribbon->GetCustomUI(ribbonId.Get(), document.Put());
    addIn.start.Mark(L"GetCustomUI");
    if (FAILED(hr)) {
        Say(L"add-in " + addIn.entry.progId + L": ribbon request failed: " +
            Failure(hr, addIn.ribbon.Get(), IID_IRibbonExtensibility));
        Fail(kExitRibbonFailed);
        return;
    }
    const std::wstring text = document.Text();
    if (text.empty()) {
        Say(L"add-in " + addIn.entry.progId + L": empty ribbon document (the add-in adds nothing to the ribbon)");
    } else {
        try {
            addIn.document = markup::Parse(text);
        } catch (const markup::MarkupError& error) {
            Say(L"add-in " + addIn.entry.progId + L": the ribbon document is " + FromUtf8(error.what()).value_or(L"?"));
            Fail(kExitBadDocument);
            return;
        }
        Say(L"add-in " + addIn.entry.progId + L": ribbon document of " + std::to_wstring(text.size()) +
            L" characters, well-formed XML");
        if (knownControls_)
            for (const std::wstring& name : UnknownControls(*addIn.document, *knownControls_))
                Say(L"add-in " + addIn.entry.progId + L": Excel " + ReleaseVersion(options_.release) +
                    L" does not know the control " + Quoted(name) + L" and skips it");
    }
    if (options_.printRibbon) Say(text);
    if (options_.outline && addIn.document) {
        std::wstring outline = markup::Outline(*addIn.document);
        if (!outline.empty() && outline.back() == L'\n') outline.pop_back();
        Say(outline);
    }
    if (options_.ribbonOut && !ribbonWritten_) {
        ribbonWritten_ = true;
        if (!WriteFileBytes(*options_.ribbonOut, ToUtf8(text))) {
            Say(L"excel-host: cannot write " + *options_.ribbonOut + L": " + WindowsErrorText(::GetLastError()));
            Fail(kExitFailure);
        }
    }
}

void Run::Click(const std::wstring& id)
{
    for (LoadedAddIn& addIn : addIns_) {
        const markup::Element* element = addIn.document ? markup::FindById(*addIn.document, id) : nullptr;
        if (!element) continue;
        const std::wstring* onAction = element->Attribute(L"onAction");
        if (!onAction) {
            Say(L"click " + id + L": the control has no onAction");
            Fail(kExitClickFailed);
            return;
        }
        const std::wstring tag = TagOf(*element);
        Say(L"click " + id + L": " + *onAction + L"(control with Id " + Quoted(id) + L", Tag " + Quoted(tag) + L")");

        std::wstring failure;
        const CallOutcome outcome = InvokeCallback(addIn.ribbon.Get(), *onAction, id, tag, application_.Get(), failure);
        if (outcome == CallOutcome::NoCallback) {
            Say(L"  the add-in has no callback " + Quoted(*onAction) + L": " + failure);
            Fail(kExitClickFailed);
            return;
        }
        // A window shown without waiting (a modeless one) is reported once the watcher has
        // looked again; when excel-host closes the windows, the next click waits until this
        // one's are gone, so that each click meets the add-in as a user's would.
        if (watcher_ && !watcher_->PumpMessagesUntilLookedAt(kWindowsGoneMilliseconds))
            Say(L"  excel-host's watch did not look at the windows within " +
                std::to_wstring(kWindowsGoneMilliseconds / 1000) + L" seconds");
        if (!options_.wait && !options_.keepOpen &&
            !WindowWatcher::PumpMessagesUntilNoWindows(kWindowsGoneMilliseconds))
            Say(L"  the add-in's windows did not close within " + std::to_wstring(kWindowsGoneMilliseconds / 1000) +
                L" seconds");
        if (outcome == CallOutcome::Failed) {
            Say(L"  " + *onAction + L" failed: " + failure);
            Fail(kExitClickFailed);
        } else {
            Say(L"  " + *onAction + L" returned");
        }
        return;
    }
    Say(L"click " + id + L": no control with that id in any ribbon document");
    Fail(kExitClickFailed);
}

void Run::Show()
{
    for (LoadedAddIn& addIn : addIns_) {
        if (!addIn.document) continue;
        const std::vector<TabView> tabs = ViewTabs(*addIn.document);
        if (tabs.empty()) continue;
        const std::wstring title = L"excel-host: " + (addIn.entry.friendlyName.empty() ? addIn.entry.progId
                                                                                        : addIn.entry.friendlyName);
        const CallBack callBack = [&](const std::wstring& id) -> std::wstring {
            const markup::Element* element = markup::FindById(*addIn.document, id);
            const std::wstring* onAction = element ? element->Attribute(L"onAction") : nullptr;
            if (!onAction) return L"no such control";
            Say(L"show: " + *onAction + L"(control with Id " + Quoted(id) + L")");
            std::wstring failure;
            if (InvokeCallback(addIn.ribbon.Get(), *onAction, id, TagOf(*element), application_.Get(), failure) ==
                CallOutcome::Returned)
                return *onAction + L" returned";
            Say(L"  " + *onAction + L" failed: " + failure);
            return *onAction + L" failed: " + failure;
        };
        Say(L"excel-host: showing the add-in's tabs in a window; close it to go on");
        if (!ShowRibbonWindow(tabs, title, callBack)) {
            Say(L"excel-host: cannot show a window: " + WindowsErrorText(::GetLastError()));
            Fail(kExitFailure);
        }
    }
}

void Run::ShutDown()
{
    for (LoadedAddIn& addIn : addIns_) {
        CustomArray custom;
        HRESULT hr = addIn.connection->OnBeginShutdown(custom.Get());
        if (FAILED(hr)) Say(L"add-in " + addIn.entry.progId + L": OnBeginShutdown failed: " + Hex(hr));
        hr = addIn.connection->OnDisconnection(ext_dm_HostShutdown, custom.Get());
        if (FAILED(hr)) Say(L"add-in " + addIn.entry.progId + L": OnDisconnection failed: " + Hex(hr));
    }
    // Excel may unload a library soon after it disconnected it: what it left open would be
    // left to code that is gone.
    if (options_.keepOpen)
        Say(L"excel-host: windows open after OnDisconnection: " + std::to_wstring(WindowWatcher::VisibleWindows()));
    std::vector<std::pair<std::wstring, std::wstring>> servers;
    for (LoadedAddIn& addIn : addIns_) {
        servers.emplace_back(addIn.entry.progId, ServerPath(addIn.clsid));
        addIn.ribbon.Reset();
        addIn.connection.Reset();
    }
    addIns_.clear();
    application_.Reset();
    for (const auto& [progId, path] : servers) {
        const HMODULE module = path.empty() ? nullptr : ::GetModuleHandleW(path.c_str());
        using CanUnload = HRESULT(STDAPICALLTYPE*)();
        const auto canUnload = module ? reinterpret_cast<CanUnload>(reinterpret_cast<void*>(
                                            ::GetProcAddress(module, "DllCanUnloadNow")))
                                      : nullptr;
        if (!canUnload) {
            Say(L"add-in " + progId + L": disconnected and released");
            continue;
        }
        const HRESULT hr = canUnload();
        Say(L"add-in " + progId + L": disconnected and released; DllCanUnloadNow: " +
            (hr == S_OK ? L"S_OK (can unload)" : Hex(hr) + L" (still in use)"));
    }
}

// After the shut-down, once COM has freed the DLLs it no longer needs, each add-in starts once
// more from LoadLibrary of its DLL, so that the load itself is timed cold.
void Run::MeasureStartsFromLoadLibrary(const std::vector<AddInEntry>& entries)
{
    ::CoFreeUnusedLibrariesEx(0, 0);
    Say(L"excel-host: " + MeasureSmallLibraryLoad());
    const ComPtr<IDispatch> application = MakeApplication(options_.hostName);
    for (const AddInEntry& entry : entries) {
        CLSID clsid;
        if (FAILED(::CLSIDFromProgID(entry.progId.c_str(), &clsid))) continue;
        const std::wstring path = ServerPath(clsid);
        if (path.empty()) continue;
        const ComPtr<IDispatch> comAddIn = MakeComAddIn(entry.progId, entry.description);
        Say(L"add-in " + entry.progId + L": " + MeasureStartFromLoadLibrary(path, clsid, application.Get(), comAddIn.Get()));
    }
}

int BadArguments(const std::wstring& why)
{
    std::fputs(ToUtf8(L"excel-host: " + why + L"\n" + kUsage).c_str(), stderr);
    return kExitBadArguments;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Lines end in "\n" alone, as Linux tools and the tests read them.
    _setmode(_fileno(stdout), _O_BINARY);
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--help" || option == L"-h" || option == L"/?") {
            std::fputs(ToUtf8(kUsage).c_str(), stdout);
            return kExitOk;
        }
        if (option == L"--print-ribbon") { options.printRibbon = true; continue; }
        if (option == L"--outline") { options.outline = true; continue; }
        if (option == L"--wait") { options.wait = true; continue; }
        if (option == L"--keep-open") { options.keepOpen = true; continue; }
        if (option == L"--show-text") { options.showText = true; continue; }
        if (option == L"--show") { options.show = true; continue; }
        if (option != L"--name" && option != L"--ribbon-out" && option != L"--click" && option != L"--measure" &&
            option != L"--release" && option != L"--controls" && option != L"--ui-language" &&
            option != L"--excel-words")
            return BadArguments(L"unknown argument " + option);
        if (i + 1 == argc) return BadArguments(option + L" needs a value");
        const std::wstring value = argv[++i];
        if (option == L"--name") options.hostName = value;
        else if (option == L"--controls") options.controlList = value;
        else if (option == L"--release") {
            const std::optional<int> release = ParseRelease(value);
            if (!release) return BadArguments(L"--release wants 12, 14, 15 or 16, not " + value);
            options.release = *release;
        }
        else if (option == L"--ribbon-out") options.ribbonOut = value;
        else if (option == L"--click") options.clicks.push_back(value);
        else if (option == L"--excel-words") options.excelWords = value;
        else if (option == L"--ui-language") {
            wchar_t* end = nullptr;
            const long language = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end || language < 1 || language > 0xFFFF)
                return BadArguments(L"--ui-language wants a language id from 1 to 65535");
            options.uiLanguage = static_cast<int>(language);
        }
        else {
            wchar_t* end = nullptr;
            const long rounds = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end || rounds < 1 || rounds > 1000000)
                return BadArguments(L"--measure wants a number of rounds from 1 to 1000000");
            options.measureRounds = static_cast<int>(rounds);
        }
    }

    const ScopedCoInitialize com;
    if (FAILED(com.Result())) {
        Say(L"excel-host: COM cannot start: " + Hex(com.Result()));
        return kExitFailure;
    }
    try {
        return Run(std::move(options)).Execute();
    } catch (const std::exception& error) {
        Say(L"excel-host: " + FromUtf8(error.what()).value_or(L"unexpected failure"));
        return kExitFailure;
    }
}
