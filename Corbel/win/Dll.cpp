// Corbel.dll as an in-process COM server: DllMain, the four exports, the class factory, the
// module's reference count; registration is Registration.cpp's.
#include "ComObject.h"
#include "Connect.h"
#include "Corbel.h"
#include "Module.h"
#include "Registration.h"
#include "WinHandles.h"

#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace cornice {
namespace {

LONG g_moduleReferences = 0;

// ---------------------------------------------------------------------------------------------
// Class factory: one static object; only LockServer counts towards the module's references,
// not the references to the factory itself.

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    static const InterfaceEntry kInterfaces[];
    void Destroy() noexcept {} // static: lives as long as the library

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return Connect_CreateInstance(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ModuleAddRef() : ModuleRelease();
        return S_OK;
    }
};

const InterfaceEntry ClassFactory::kInterfaces[] = {CORNICE_INTERFACE(ClassFactory, IClassFactory), {}};

ClassFactory g_connectFactory;

} // namespace

// ---------------------------------------------------------------------------------------------
// Module

HMODULE ModuleHandle() noexcept { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(ModuleHandle(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()), "GetModuleFileName failed");
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2); // cut short: the path is longer than the buffer
    }
}

void ModuleAddRef() noexcept { ::InterlockedIncrement(&g_moduleReferences); }
void ModuleRelease() noexcept { ::InterlockedDecrement(&g_moduleReferences); }

} // namespace cornice

// ---------------------------------------------------------------------------------------------
// Exports (Corbel.def)

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    // No thread notifications: the add-in runs on Excel's user-interface thread only. Nothing
    // else happens here: under the loader lock user32 and gdi32 must not be called, so the
    // About window goes when Excel disconnects the add-in (Connect.cpp).
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_Connect) return CLASS_E_CLASSNOTAVAILABLE;
    return cornice::g_connectFactory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return cornice::g_moduleReferences == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
try {
    return cornice::Register(cornice::SystemRegistry(), cornice::ModulePath());
}
CORNICE_CATCH_RETURN()

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
try {
    return cornice::Unregister(cornice::SystemRegistry(), cornice::ModulePath());
}
CORNICE_CATCH_RETURN()
