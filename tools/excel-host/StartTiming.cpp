#include "StartTiming.h"

#include "WinHandles.h"

#include <cwchar>

namespace cornice::host {
namespace {

long long Counter()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Seconds(long long ticks)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

std::wstring Milliseconds(double seconds)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%.2f ms", seconds * 1e3);
    return text;
}

// Frees a library on every way out, after the COM objects made from it (declared later) are gone.
class LibraryHandle {
public:
    explicit LibraryHandle(HMODULE module) : module_(module) {}
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;
    ~LibraryHandle()
    {
        if (module_) ::FreeLibrary(module_);
    }
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

} // namespace

void StartClock::Start()
{
    started_ = running_ = true;
    elapsed_ = 0;
    marks_.clear();
    since_ = Counter();
}

void StartClock::Pause()
{
    if (!running_) return;
    elapsed_ += Seconds(Counter() - since_);
    running_ = false;
}

void StartClock::Resume()
{
    if (running_ || !started_) return;
    since_ = Counter();
    running_ = true;
}

double StartClock::Elapsed() const
{
    return elapsed_ + (running_ ? Seconds(Counter() - since_) : 0);
}

void StartClock::Mark(const wchar_t* phase)
{
    if (started_) marks_.emplace_back(phase, Elapsed());
}

std::wstring StartClock::Total() const { return Milliseconds(Elapsed()); }

std::wstring StartClock::Line(const std::wstring& title) const
{
    if (marks_.empty()) return title + L": not measured";
    std::wstring phases;
    double previous = 0;
    for (const auto& [phase, at] : marks_) {
        phases += (phases.empty() ? L"" : L", ") + std::wstring(phase) + L" " + Milliseconds(at - previous);
        previous = at;
    }
    return title + L": " + Milliseconds(previous) + L" (" + phases + L")";
}

void LoadExcelsOwnLibraries()
{
    for (const wchar_t* name : {L"comctl32.dll", L"version.dll", L"shell32.dll", L"uxtheme.dll"})
        ::LoadLibraryW(name);
}

std::wstring MeasureSmallLibraryLoad()
{
    const wchar_t* const name = L"msimg32.dll";
    if (::GetModuleHandleW(name)) return L"for scale: msimg32.dll was already loaded";
    StartClock clock;
    clock.Start();
    const LibraryHandle library(::LoadLibraryW(name));
    clock.Mark(L"LoadLibrary");
    if (!library.Get()) return L"for scale: msimg32.dll did not load";
    return clock.Line(L"for scale, a small Windows DLL (msimg32.dll)");
}

std::wstring MeasureStartFromLoadLibrary(const std::wstring& path, const CLSID& clsid, IDispatch* application,
                                         IDispatch* comAddIn)
{
    const wchar_t* const title = L"start, LoadLibrary to first document";
    const bool cold = ::GetModuleHandleW(path.c_str()) == nullptr;
    StartClock clock;
    clock.Start();
    const LibraryHandle library(::LoadLibraryW(path.c_str()));
    clock.Mark(L"LoadLibrary");
    if (!library.Get()) return std::wstring(title) + L": LoadLibrary failed";

    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(::GetProcAddress(library.Get(), "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (!getClassObject || FAILED(getClassObject(clsid, IID_IClassFactory, factory.PutVoid())))
        return std::wstring(title) + L": no class object";
    ComPtr<_IDTExtensibility2> connection;
    if (FAILED(factory->CreateInstance(nullptr, IID__IDTExtensibility2, connection.PutVoid())))
        return std::wstring(title) + L": no instance";
    clock.Mark(L"class object and instance");

    // Excel's `custom`: an empty array of VARIANTs.
    SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
    HRESULT hr = connection->OnConnection(application, ext_cm_Startup, comAddIn, &custom);
    if (SUCCEEDED(hr)) hr = connection->OnAddInsUpdate(&custom);
    if (SUCCEEDED(hr)) hr = connection->OnStartupComplete(&custom);
    clock.Mark(L"connect");
    ComPtr<IRibbonExtensibility> ribbon;
    UniqueBstr document;
    const UniqueBstr ribbonId = UniqueBstr::FromText(L"Microsoft.Excel.Workbook");
    if (SUCCEEDED(hr)) hr = connection.As(ribbon, IID_IRibbonExtensibility);
    if (SUCCEEDED(hr)) hr = ribbon->GetCustomUI(ribbonId.Get(), document.Put());
    clock.Mark(L"GetCustomUI");

    connection->OnBeginShutdown(&custom);
    connection->OnDisconnection(ext_dm_HostShutdown, &custom);
    if (custom) ::SafeArrayDestroy(custom);
    if (FAILED(hr)) return std::wstring(title) + L": the add-in failed to start";
    return clock.Line(title) + (cold ? L"" : L"; the DLL was already loaded, so not a cold start");
}

} // namespace cornice::host
