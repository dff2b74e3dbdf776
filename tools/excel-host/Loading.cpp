// The add-ins' lifetime as Excel gives it: created by ProgID and connected, then, at the end,
// disconnected and released; and, with --measure, started once more from LoadLibrary.
#include "Run.h"

#include "Console.h"
#include "FailureText.h"
#include "WindowsErrorText.h"

namespace cornice::host {
namespace {

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

} // namespace

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
        addIn.live.reset();
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

} // namespace cornice::host
