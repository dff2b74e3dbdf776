// Corbel.dll as an in-process COM server: DllMain, the four exports, the class factory, the
// module's reference count and the registration table.
#include "AddInIdentity.h"
#include "AddInRepair.h"
#include "Connect.h"
#include "Corbel.h"
#include "Module.h"
#include "WinHandles.h"

#include <string>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace cornice {
namespace {

LONG g_moduleReferences = 0;

// ---------------------------------------------------------------------------------------------
// Class factory: one static object; only LockServer counts towards the module's references.

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

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

ClassFactory g_connectFactory;

// ---------------------------------------------------------------------------------------------
// Registration
//
// Everything is written per user, so that a user without administrator rights can install the
// add-in. The COM entries (below Software\Classes) are also written below
// HKEY_LOCAL_MACHINE\Software\Classes when that key is writable: Wine 8's COM reads classes only
// from there (it never merges HKEY_CURRENT_USER\Software\Classes into HKEY_CLASSES_ROOT as
// Windows does), and on Windows it is writable only to an elevated administrator, for whom a
// machine-wide registration is what one expects. Excel's add-in entry is always per user.

enum class Hive {
    Classes, // HKCU\Software\Classes, and HKLM\Software\Classes when writable
    User,    // HKCU only
};

struct RegistryRow {
    Hive hive;
    std::wstring key;
    const wchar_t* name; // nullptr: the key's default value
    std::wstring text;   // a REG_SZ, unless number is used
    bool isNumber = false;
    DWORD number = 0;
};

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[39];
    ::StringFromGUID2(guid, text, 39);
    return text;
}

// The type library's platform key; several bitnesses of the DLL may be registered side by side.
const wchar_t* TypeLibPlatform() { return sizeof(void*) == 8 ? L"win64" : L"win32"; }

std::wstring TypeLibVersionKey() { return L"TypeLib\\" + GuidText(LIBID_Corbel) + L"\\1.0"; }

// What registration writes, in writing order. Unregistration removes the owned keys below.
std::vector<RegistryRow> RegistrationRows(const std::wstring& modulePath)
{
    const std::wstring clsidKey = L"CLSID\\" + GuidText(CLSID_Connect);
    const std::wstring interfaceKey = L"Interface\\" + GuidText(IID__Connect);
    const std::wstring typeLib = TypeLibVersionKey();
    std::wstring folder = modulePath.substr(0, modulePath.find_last_of(L'\\'));
    if (!folder.empty() && folder.back() == L':') folder += L'\\'; // "C:" alone means the current folder
    // Automation's own marshaller (PSOAInterface) carries dual interfaces by their type library.
    const std::wstring oleAutomationMarshaller = L"{00020424-0000-0000-C000-000000000046}";
    const std::wstring addInKey = std::wstring(kExcelAddInsKey) + L'\\' + kProgId;

    std::vector<RegistryRow> rows = {
        {Hive::Classes, clsidKey, nullptr, kProgId},
        {Hive::Classes, clsidKey + L"\\InprocServer32", nullptr, modulePath},
        {Hive::Classes, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {Hive::Classes, clsidKey + L"\\ProgID", nullptr, kProgId},
        {Hive::Classes, clsidKey + L"\\TypeLib", nullptr, GuidText(LIBID_Corbel)},
        {Hive::Classes, kProgId, nullptr, kProgId},
        {Hive::Classes, std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(CLSID_Connect)},
        {Hive::Classes, typeLib, nullptr, L"Corbel"},
        {Hive::Classes, typeLib + L"\\0\\" + TypeLibPlatform(), nullptr, modulePath},
        {Hive::Classes, typeLib + L"\\FLAGS", nullptr, L"0"},
        {Hive::Classes, typeLib + L"\\HELPDIR", nullptr, folder},
        {Hive::Classes, interfaceKey, nullptr, L"_Connect"},
        {Hive::Classes, interfaceKey + L"\\ProxyStubClsid", nullptr, oleAutomationMarshaller},
        {Hive::Classes, interfaceKey + L"\\ProxyStubClsid32", nullptr, oleAutomationMarshaller},
        {Hive::Classes, interfaceKey + L"\\TypeLib", nullptr, GuidText(LIBID_Corbel)},
        {Hive::Classes, interfaceKey + L"\\TypeLib", L"Version", L"1.0"},
        {Hive::User, addInKey, L"FriendlyName", kAddInFriendlyName},
        {Hive::User, addInKey, L"Description", kAddInDescription},
        {Hive::User, addInKey, L"LoadBehavior", {}, true, kAddInLoadBehavior},
        {Hive::User, addInKey, L"CommandLineSafe", {}, true, 0},
    };
    return rows;
}

// Keys that belong to the add-in alone and go as a whole. The type library's key is shared
// with the other bitness and is handled by RemoveTypeLibrary.
std::vector<std::pair<Hive, std::wstring>> OwnedKeys()
{
    return {
        {Hive::Classes, L"CLSID\\" + GuidText(CLSID_Connect)},
        {Hive::Classes, kProgId},
        {Hive::Classes, L"Interface\\" + GuidText(IID__Connect)},
        {Hive::User, std::wstring(kExcelAddInsKey) + L'\\' + kProgId},
    };
}

// The roots a row of each hive goes to: HKCU always, HKLM too for classes when writable.
struct Root {
    HKEY key;
    std::wstring prefix;
};

std::vector<Root> RootsOf(Hive hive, bool machineWritable)
{
    if (hive == Hive::User) return {{HKEY_CURRENT_USER, L""}};
    std::vector<Root> roots = {{HKEY_CURRENT_USER, L"Software\\Classes\\"}};
    if (machineWritable) roots.push_back({HKEY_LOCAL_MACHINE, L"Software\\Classes\\"});
    return roots;
}

bool MachineClassesWritable()
{
    UniqueHkey classes;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                           classes.Put()) == ERROR_SUCCESS;
}

// A key that is already gone counts as removed.
LSTATUS DeleteTree(HKEY root, const std::wstring& key)
{
    const LSTATUS status = ::RegDeleteTreeW(root, key.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

bool HasSubkeys(HKEY root, const std::wstring& key)
{
    UniqueHkey opened;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.Put()) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0;
    return ::RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys > 0;
}

// Removes this bitness's type library entry, and the library's key once no bitness is left,
// as UnRegisterTypeLib does.
LSTATUS RemoveTypeLibrary(const Root& root)
{
    const std::wstring version = root.prefix + TypeLibVersionKey();
    LSTATUS status = DeleteTree(root.key, version + L"\\0\\" + TypeLibPlatform());
    if (status != ERROR_SUCCESS || HasSubkeys(root.key, version + L"\\0")) return status;
    return DeleteTree(root.key, root.prefix + L"TypeLib\\" + GuidText(LIBID_Corbel));
}

HRESULT Unregister(bool machineWritable)
{
    LSTATUS firstFailure = ERROR_SUCCESS;
    auto note = [&](LSTATUS status) {
        if (firstFailure == ERROR_SUCCESS) firstFailure = status;
    };
    for (const auto& [hive, key] : OwnedKeys())
        for (const Root& root : RootsOf(hive, machineWritable)) note(DeleteTree(root.key, root.prefix + key));
    for (const Root& root : RootsOf(Hive::Classes, machineWritable)) note(RemoveTypeLibrary(root));
    // Excel's records of having disabled the add-in go with it; and since registration starts
    // here, registering again is what turns a disabled add-in back on.
    note(ForgetDisabledAddIn());
    return HRESULT_FROM_WIN32(firstFailure);
}

HRESULT WriteRow(const Root& root, const RegistryRow& row)
{
    UniqueHkey key;
    CORNICE_RETURN_IF_WIN32_ERROR(::RegCreateKeyExW(root.key, (root.prefix + row.key).c_str(), 0, nullptr,
                                                    REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Put(),
                                                    nullptr));
    if (row.isNumber)
        CORNICE_RETURN_IF_WIN32_ERROR(::RegSetValueExW(key.Get(), row.name, 0, REG_DWORD,
                                                       reinterpret_cast<const BYTE*>(&row.number), sizeof row.number));
    else
        CORNICE_RETURN_IF_WIN32_ERROR(::RegSetValueExW(key.Get(), row.name, 0, REG_SZ,
                                                       reinterpret_cast<const BYTE*>(row.text.c_str()),
                                                       static_cast<DWORD>((row.text.size() + 1) * sizeof(wchar_t))));
    return S_OK;
}

HRESULT Register()
{
    const bool machineWritable = MachineClassesWritable();
    // A clean slate first, so that nothing of an older registration (another path) survives.
    CORNICE_RETURN_IF_FAILED(Unregister(machineWritable));
    for (const RegistryRow& row : RegistrationRows(ModulePath())) {
        for (const Root& root : RootsOf(row.hive, machineWritable)) {
            const HRESULT hr = WriteRow(root, row);
            if (FAILED(hr)) {
                // No half registration: Excel must not find an add-in entry without its class.
                Unregister(machineWritable);
                return hr;
            }
        }
    }
    return S_OK;
}

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
    return cornice::Register();
}
CORNICE_CATCH_RETURN()

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
try {
    return cornice::Unregister(cornice::MachineClassesWritable());
}
CORNICE_CATCH_RETURN()
