#include "Registration.h"

#include "AddInIdentity.h"
#include "AddInRepair.h"
#include "Corbel.h"

#include <string>
#include <vector>

namespace cornice {
namespace {

// Everything is written per user, so that a user without administrator rights can install the
// add-in. Windows' COM reads the user's classes (HKEY_CLASSES_ROOT merges
// HKEY_CURRENT_USER\Software\Classes over the machine's); Wine 8's does not, and reads only
// HKEY_LOCAL_MACHINE\Software\Classes. So the system is asked after the per-user class is
// written, and only where HKEY_CLASSES_ROOT does not show it do the classes go to the machine
// as well, marked as such a mirror (kMirrorMark) and never over another copy's unmarked rows.
// Being able to write there is no reason: on Windows an elevated regsvr32 can, and a
// machine-wide class pointing into one user's profile is what a later per-user removal cannot
// take away. Excel's add-in entry is per user.
//
// The copy that a package for all users installed (kPackageKey names it) is registered for the
// machine instead: its rows are Windows Installer's, one set for every user. Registering it
// writes them again where the process may (an administrator's repair) and leaves nothing per
// user that would stand in for them and outlive the package; unregistering it removes only
// what the user has of it, since only msiexec may take the package's rows away.

enum class Hive {
    Classes, // HKCU\Software\Classes, and HKLM\Software\Classes where COM reads only that
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

struct Root {
    HKEY key;
    std::wstring prefix;
};

const Root kUser = {HKEY_CURRENT_USER, L""};
const Root kUserClasses = {HKEY_CURRENT_USER, L"Software\\Classes\\"};
const Root kMachineClasses = {HKEY_LOCAL_MACHINE, L"Software\\Classes\\"};
const Root kMachine = {HKEY_LOCAL_MACHINE, L""};

// A value of the class key that tells machine-wide rows mirrored from a per-user registration
// from the rows a package wrote.
constexpr const wchar_t* kMirrorMark = L"CorniceMirror";

std::wstring ClassKey() { return L"CLSID\\" + GuidText(CLSID_Connect); }
std::wstring ClassServerKey() { return ClassKey() + L"\\InprocServer32"; }

// Whether the text value `name` of root\path is the library at `modulePath` (Windows compares
// file names without regard to case).
bool NamesLibrary(Registry& registry, HKEY root, const std::wstring& path, const std::wstring& modulePath,
                  const wchar_t* name = nullptr)
{
    UniqueHkey key;
    if (registry.Open(root, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return false;
    std::wstring server(modulePath.size() + 2, L'\0');
    DWORD size = static_cast<DWORD>(server.size() * sizeof(wchar_t));
    DWORD type = 0;
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(server.data()), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    server.resize(size / sizeof(wchar_t));
    while (!server.empty() && server.back() == L'\0') server.pop_back();
    return ::CompareStringOrdinal(server.c_str(), static_cast<int>(server.size()), modulePath.c_str(),
                                  static_cast<int>(modulePath.size()), TRUE) == CSTR_EQUAL;
}

bool KeyExists(Registry& registry, HKEY root, const std::wstring& path)
{
    UniqueHkey key;
    return registry.Open(root, path, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

bool MirrorMarked(Registry& registry)
{
    UniqueHkey key;
    return registry.Open(HKEY_LOCAL_MACHINE, kMachineClasses.prefix + ClassKey(), KEY_QUERY_VALUE, key) ==
               ERROR_SUCCESS &&
           ::RegQueryValueExW(key.Get(), kMirrorMark, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The copy a package installed: the package names it, or (a package of before that name) the
// machine's unmarked class does.
bool IsPackageCopy(Registry& registry, const std::wstring& modulePath)
{
    return NamesLibrary(registry, HKEY_LOCAL_MACHINE, kPackageKey, modulePath, kPackageLibraryValue) ||
           (NamesLibrary(registry, HKEY_LOCAL_MACHINE, kMachineClasses.prefix + ClassServerKey(), modulePath) &&
            !MirrorMarked(registry));
}

// A key that is already gone counts as removed.
LSTATUS DeleteTree(Registry& registry, HKEY root, const std::wstring& key)
{
    const LSTATUS status = registry.DeleteTree(root, key);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

bool HasSubkeys(Registry& registry, HKEY root, const std::wstring& key)
{
    UniqueHkey opened;
    if (registry.Open(root, key, KEY_READ, opened) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0;
    return ::RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys > 0;
}

// Removes this bitness's type library entry, and the library's key once no bitness is left,
// as UnRegisterTypeLib does.
LSTATUS RemoveTypeLibrary(Registry& registry, const Root& root)
{
    const std::wstring version = root.prefix + TypeLibVersionKey();
    LSTATUS status = DeleteTree(registry, root.key, version + L"\\0\\" + TypeLibPlatform());
    if (status != ERROR_SUCCESS || HasSubkeys(registry, root.key, version + L"\\0")) return status;
    return DeleteTree(registry, root.key, root.prefix + L"TypeLib\\" + GuidText(LIBID_Corbel));
}

// Removes the owned keys of one hive below `root`; returns the first failure.
LSTATUS RemoveFrom(Registry& registry, const Root& root, Hive hive)
{
    LSTATUS firstFailure = ERROR_SUCCESS;
    auto note = [&](LSTATUS status) {
        if (firstFailure == ERROR_SUCCESS) firstFailure = status;
    };
    for (const auto& [owner, key] : OwnedKeys())
        if (owner == hive) note(DeleteTree(registry, root.key, root.prefix + key));
    if (hive == Hive::Classes) note(RemoveTypeLibrary(registry, root));
    return firstFailure;
}

// Everything of the user's registration, and the machine's classes where they are the mirror
// of this very library's; another copy's machine-wide classes, and a package's, are theirs.
// Returns the first failure.
LSTATUS RemoveRegistration(Registry& registry, const std::wstring& modulePath)
{
    LSTATUS status = RemoveFrom(registry, kUserClasses, Hive::Classes);
    const LSTATUS entry = RemoveFrom(registry, kUser, Hive::User);
    if (status == ERROR_SUCCESS) status = entry;
    if (NamesLibrary(registry, kMachineClasses.key, kMachineClasses.prefix + ClassServerKey(), modulePath) &&
        MirrorMarked(registry)) {
        const LSTATUS machine = RemoveFrom(registry, kMachineClasses, Hive::Classes);
        if (status == ERROR_SUCCESS) status = machine;
    }
    return status;
}

// What the user has that would stand in for a package's registration: a class of the user's
// naming the package's copy (as an elevated regsvr32 of an earlier version wrote it) and the
// user's own add-in entry. A per-user installation of another copy is that user's, and stays.
void RemoveUserShadow(Registry& registry, const std::wstring& modulePath)
{
    if (KeyExists(registry, HKEY_CURRENT_USER, kUserClasses.prefix + ClassKey()) &&
        !NamesLibrary(registry, HKEY_CURRENT_USER, kUserClasses.prefix + ClassServerKey(), modulePath))
        return;
    RemoveFrom(registry, kUserClasses, Hive::Classes);
    RemoveFrom(registry, kUser, Hive::User);
}

// Whether the package's rows that make Excel load the add-in stand as registration would write
// them.
bool PackageRowsStand(Registry& registry, const std::wstring& modulePath)
{
    UniqueHkey entry;
    DWORD behavior = 0, size = sizeof behavior, type = 0;
    return NamesLibrary(registry, HKEY_LOCAL_MACHINE, kMachineClasses.prefix + ClassServerKey(), modulePath) &&
           registry.Open(HKEY_LOCAL_MACHINE, std::wstring(kExcelAddInsKey) + L'\\' + kProgId, KEY_QUERY_VALUE,
                         entry) == ERROR_SUCCESS &&
           ::RegQueryValueExW(entry.Get(), L"LoadBehavior", nullptr, &type, reinterpret_cast<BYTE*>(&behavior),
                              &size) == ERROR_SUCCESS &&
           type == REG_DWORD && behavior == kAddInLoadBehavior;
}

HRESULT WriteRow(Registry& registry, const Root& root, const RegistryRow& row)
{
    UniqueHkey key;
    CORNICE_RETURN_IF_WIN32_ERROR(registry.Create(root.key, root.prefix + row.key, KEY_SET_VALUE, key));
    if (row.isNumber)
        CORNICE_RETURN_IF_WIN32_ERROR(::RegSetValueExW(key.Get(), row.name, 0, REG_DWORD,
                                                       reinterpret_cast<const BYTE*>(&row.number), sizeof row.number));
    else
        CORNICE_RETURN_IF_WIN32_ERROR(::RegSetValueExW(key.Get(), row.name, 0, REG_SZ,
                                                       reinterpret_cast<const BYTE*>(row.text.c_str()),
                                                       static_cast<DWORD>((row.text.size() + 1) * sizeof(wchar_t))));
    return S_OK;
}

// The rows of the classes below `classes`, and Excel's entry below `entry` unless that is null.
HRESULT WriteRows(Registry& registry, const std::wstring& modulePath, const Root& classes, const Root* entry)
{
    for (const RegistryRow& row : RegistrationRows(modulePath)) {
        if (row.hive == Hive::User && !entry) continue;
        CORNICE_RETURN_IF_FAILED(WriteRow(registry, row.hive == Hive::User ? *entry : classes, row));
    }
    return S_OK;
}

HRESULT RegisterPackageCopy(Registry& registry, const std::wstring& modulePath)
{
    RemoveUserShadow(registry, modulePath);
    const LSTATUS stillDisabled = ForgetDisabledAddIn(registry);
    // Only an administrator can write them; for anyone else rows that already stand will do.
    const HRESULT hr = WriteRows(registry, modulePath, kMachineClasses, &kMachine);
    if (FAILED(hr) && !PackageRowsStand(registry, modulePath)) return hr;
    return HRESULT_FROM_WIN32(stillDisabled);
}

} // namespace

HRESULT Register(Registry& registry, const std::wstring& modulePath)
{
    if (IsPackageCopy(registry, modulePath)) return RegisterPackageCopy(registry, modulePath);
    // A clean slate first, so that nothing of an older registration (another path) survives. It
    // is done where the profile allows: what cannot be removed is written over, and only the
    // writes below decide whether the registration worked.
    RemoveRegistration(registry, modulePath);
    // Registering again is how a user turns a disabled add-in back on; a record of it that
    // stays would keep it off, which the registration then reports.
    const LSTATUS stillDisabled = ForgetDisabledAddIn(registry);
    HRESULT hr = WriteRows(registry, modulePath, kUserClasses, &kUser);
    if (SUCCEEDED(hr) && !NamesLibrary(registry, HKEY_CLASSES_ROOT, ClassServerKey(), modulePath)) {
        // Never over another copy's rows that are no mirror: a package's, which every user needs.
        if (KeyExists(registry, HKEY_LOCAL_MACHINE, kMachineClasses.prefix + ClassKey()) && !MirrorMarked(registry))
            return HRESULT_FROM_WIN32(stillDisabled);
        // The mark first, so that even rows half written are known as the mirror they are.
        hr = WriteRow(registry, kMachineClasses, {Hive::Classes, ClassKey(), kMirrorMark, {}, true, 1});
        if (SUCCEEDED(hr)) hr = WriteRows(registry, modulePath, kMachineClasses, nullptr);
    }
    if (FAILED(hr)) {
        // No half registration: Excel must not find an add-in entry without its class.
        RemoveRegistration(registry, modulePath);
        return hr;
    }
    return HRESULT_FROM_WIN32(stillDisabled);
}

HRESULT Unregister(Registry& registry, const std::wstring& modulePath)
{
    if (IsPackageCopy(registry, modulePath)) {
        // The package's rows are every user's and Windows Installer's to remove (msiexec /x);
        // what goes here is what this user has of the add-in.
        RemoveUserShadow(registry, modulePath);
        ForgetDisabledAddIn(registry);
        return S_OK;
    }
    const LSTATUS status = RemoveRegistration(registry, modulePath);
    // Records of an add-in that is gone keep nothing off; they go where the profile allows.
    ForgetDisabledAddIn(registry);
    return HRESULT_FROM_WIN32(status);
}

} // namespace cornice
