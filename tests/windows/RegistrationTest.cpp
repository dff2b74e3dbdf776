// The library's registration on machines that Wine cannot play by itself: a profile whose keys
// the user may not change (Wine enforces no registry permissions), and a Windows whose COM
// reads per-user classes (Wine 8's does not). A registry that refuses chosen openings and can
// show HKEY_CLASSES_ROOT as Windows merges it stands in for them, over Wine's real registry.
#include "AddInIdentity.h"
#include "DisabledItems.h"
#include "Registration.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace cornice {
namespace {

constexpr const wchar_t* kLibrary = L"C:\\Program Files\\Cornice\\Corbel.dll";
constexpr const wchar_t* kOldLibrary = L"C:\\Old Place\\Cornice\\Corbel.dll";
constexpr const wchar_t* kClassServer =
    L"Software\\Classes\\CLSID\\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}\\InprocServer32";
constexpr const wchar_t* kClassKey = L"Software\\Classes\\CLSID\\{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}";
constexpr const wchar_t* kDisabledItems = kDisabledItemsKeys[0];
constexpr HRESULT kAccessDenied = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

bool Within(const std::wstring& path, const std::wstring& top)
{
    return _wcsnicmp(path.c_str(), top.c_str(), top.size()) == 0 && (path.size() == top.size() || path[top.size()] == L'\\');
}

// The system's registry, with keys whose permissions refuse some access to the user.
class LockedDownRegistry final : public Registry {
public:
    // Refuses `access` on root\path and every key below it.
    LockedDownRegistry& Deny(HKEY root, std::wstring path, REGSAM access)
    {
        rules_.push_back({root, std::move(path), access});
        return *this;
    }
    // HKEY_CLASSES_ROOT as Windows shows it: the user's classes over the machine's.
    LockedDownRegistry& MergeUserClasses()
    {
        merge_ = true;
        return *this;
    }

    LSTATUS Open(HKEY root, const std::wstring& path, REGSAM access, UniqueHkey& key) override
    {
        key.Reset();
        if (Refused(root, path, access)) return ERROR_ACCESS_DENIED;
        if (root == HKEY_CLASSES_ROOT && merge_) {
            const LSTATUS user = SystemRegistry().Open(HKEY_CURRENT_USER, L"Software\\Classes\\" + path, access, key);
            if (user != ERROR_FILE_NOT_FOUND) return user;
            return SystemRegistry().Open(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + path, access, key);
        }
        return SystemRegistry().Open(root, path, access, key);
    }
    LSTATUS Create(HKEY root, const std::wstring& path, REGSAM access, UniqueHkey& key) override
    {
        key.Reset();
        if (Refused(root, path, access | KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        return SystemRegistry().Create(root, path, access, key);
    }
    LSTATUS DeleteTree(HKEY root, const std::wstring& path) override
    {
        for (const Rule& rule : rules_)
            if (rule.root == root && (rule.access & DELETE) && (Within(path, rule.path) || Within(rule.path, path)))
                return ERROR_ACCESS_DENIED;
        return SystemRegistry().DeleteTree(root, path);
    }

private:
    struct Rule {
        HKEY root;
        std::wstring path;
        REGSAM access;
    };
    bool Refused(HKEY root, const std::wstring& path, REGSAM access) const
    {
        for (const Rule& rule : rules_)
            if (rule.root == root && (rule.access & access) && Within(path, rule.path)) return true;
        return false;
    }
    std::vector<Rule> rules_;
    bool merge_ = false;
};

std::optional<std::wstring> Text(HKEY root, const std::wstring& key, const wchar_t* name = nullptr)
{
    wchar_t value[512];
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

std::optional<DWORD> LoadBehavior()
{
    DWORD value = 0, size = sizeof value;
    const std::wstring entry = std::wstring(kExcelAddInsKey) + L"\\" + kProgId;
    if (::RegGetValueW(HKEY_CURRENT_USER, entry.c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool Exists(HKEY root, const std::wstring& key)
{
    UniqueHkey opened;
    return ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
}

// Excel's record of having disabled the library at `path` (DisabledItems.h), under `name`.
void PutDisabledRecord(const wchar_t* name, const std::wstring& path)
{
    const std::wstring friendly = kAddInFriendlyName;
    std::vector<unsigned char> data;
    const auto add32 = [&](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<unsigned char>(value >> shift));
    };
    const auto addText = [&](const std::wstring& text) {
        for (const wchar_t c : text + L'\0') {
            data.push_back(static_cast<unsigned char>(c & 0xFF));
            data.push_back(static_cast<unsigned char>(c >> 8));
        }
    };
    add32(kDisabledAddIn);
    add32(static_cast<std::uint32_t>((path.size() + 1) * 2));
    add32(static_cast<std::uint32_t>((friendly.size() + 1) * 2));
    addText(path);
    addText(friendly);
    UniqueHkey key;
    ASSERT_EQ(SystemRegistry().Create(HKEY_CURRENT_USER, kDisabledItems, KEY_SET_VALUE, key), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.Get(), name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

std::optional<DWORD> ValueSize(const wchar_t* name)
{
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kDisabledItems, name, RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return size;
}

// Every key and value below root\path, one "key | name = data" line each, sorted.
std::wstring Rows(HKEY root, const std::wstring& path)
{
    UniqueHkey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return {};
    std::vector<std::wstring> lines;
    wchar_t name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, size = sizeof data, type = 0;
        if (::RegEnumValueW(key.Get(), i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring shown = type == REG_DWORD ? std::to_wstring(*reinterpret_cast<const DWORD*>(data))
                                               : std::wstring(reinterpret_cast<const wchar_t*>(data), size / 2);
        lines.push_back(path + L" | " + name + L" = " + shown.c_str());
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256;
        if (::RegEnumKeyExW(key.Get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        lines.push_back(Rows(root, path + L"\\" + name));
    }
    std::sort(lines.begin(), lines.end());
    std::wstring all;
    for (const std::wstring& line : lines) all += line + L"\n";
    return all;
}

const std::wstring kMachineEntry = std::wstring(kExcelAddInsKey) + L"\\" + kProgId;
const std::vector<std::wstring> kMachineKeys = {
    kClassKey,
    L"Software\\Classes\\Corbel.Connect",
    L"Software\\Classes\\TypeLib\\{67C9FEE9-AA4A-454B-87B1-7AD7C73F9F45}",
    L"Software\\Classes\\Interface\\{CC933909-3BB1-4860-8AA0-A8E6DFBD01F8}",
    kMachineEntry,
    kPackageKey,
};

// What a package for all users leaves below HKEY_LOCAL_MACHINE.
std::wstring MachineRows()
{
    std::wstring all;
    for (const std::wstring& key : kMachineKeys) all += Rows(HKEY_LOCAL_MACHINE, key);
    return all;
}

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    ASSERT_EQ(::RegSetKeyValueW(root, key.c_str(), name, REG_SZ, text.c_str(),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

// The rows the package for all users writes (installer/Cornice.wxs): the class rows of the
// library's own registration, below HKEY_LOCAL_MACHINE and unmarked, Excel's entry for all
// users, and the package's name of its copy. (The installer's tests compare the package's rows
// with the library's.)
void PutPackageRows(const std::wstring& library)
{
    ASSERT_EQ(Register(SystemRegistry(), library), S_OK); // Wine: mirrored to the machine
    ASSERT_EQ(::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClassKey, L"CorniceMirror"), ERROR_SUCCESS);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kMachineEntry.c_str());
    SetText(HKEY_LOCAL_MACHINE, kMachineEntry, L"FriendlyName", kAddInFriendlyName);
    SetText(HKEY_LOCAL_MACHINE, kMachineEntry, L"Description", kAddInDescription);
    const DWORD load = kAddInLoadBehavior, zero = 0;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMachineEntry.c_str(), L"LoadBehavior", REG_DWORD, &load, 4), 0);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMachineEntry.c_str(), L"CommandLineSafe", REG_DWORD, &zero, 4), 0);
    SetText(HKEY_LOCAL_MACHINE, kPackageKey, kPackageLibraryValue, library);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        for (const wchar_t* library : {kLibrary, kOldLibrary}) Unregister(SystemRegistry(), library);
        for (const std::wstring& key : kMachineKeys) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kDisabledItems);
    }
};

TEST_F(Registration, CleanUpThatTheProfileRefusesDoesNotStopIt)
{
    // A DisabledItems key the user may not change, with Excel's record of another add-in only.
    PutDisabledRecord(L"Other", L"c:\\program files\\other\\addin.dll");
    LockedDownRegistry lockedRecords;
    lockedRecords.Deny(HKEY_CURRENT_USER, kDisabledItems, kWriteAccess);
    EXPECT_EQ(Register(lockedRecords, kLibrary), S_OK);
    EXPECT_EQ(LoadBehavior(), std::optional<DWORD>(kAddInLoadBehavior));
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kClassServer), std::optional<std::wstring>(kLibrary));
    EXPECT_EQ(Unregister(lockedRecords, kLibrary), S_OK);
    EXPECT_FALSE(LoadBehavior().has_value());

    // An earlier registration's class key that may be written but not deleted: written over.
    ASSERT_EQ(Register(SystemRegistry(), kOldLibrary), S_OK);
    LockedDownRegistry lockedClass;
    lockedClass.Deny(HKEY_CURRENT_USER, kClassKey, DELETE);
    EXPECT_EQ(Register(lockedClass, kLibrary), S_OK);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kClassServer), std::optional<std::wstring>(kLibrary));
    EXPECT_EQ(LoadBehavior(), std::optional<DWORD>(kAddInLoadBehavior));
}

TEST_F(Registration, ARecordThatKeepsTheAddInDisabledFailsOnlyRegistration)
{
    PutDisabledRecord(L"Ours", L"c:\\program files\\cornice\\corbel.dll");
    LockedDownRegistry locked;
    locked.Deny(HKEY_CURRENT_USER, kDisabledItems, kWriteAccess);
    // Excel would not load it: that is a failure, though everything else is written.
    EXPECT_EQ(Register(locked, kLibrary), kAccessDenied);
    EXPECT_EQ(LoadBehavior(), std::optional<DWORD>(kAddInLoadBehavior));
    EXPECT_TRUE(ValueSize(L"Ours").has_value());
    // Once the add-in is gone, the record no longer matters.
    EXPECT_EQ(Unregister(locked, kLibrary), S_OK);
    EXPECT_FALSE(LoadBehavior().has_value());
    // Where the record can go, it goes.
    EXPECT_EQ(Register(SystemRegistry(), kLibrary), S_OK);
    EXPECT_FALSE(ValueSize(L"Ours").has_value());
}

TEST_F(Registration, ClassesGoMachineWideOnlyWhereComReadsNoPerUserClasses)
{
    // Windows: HKEY_CLASSES_ROOT shows the user's class, so nothing goes to the machine, even
    // for an administrator who could write there.
    LockedDownRegistry windows;
    windows.MergeUserClasses();
    EXPECT_EQ(Register(windows, kLibrary), S_OK);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kClassServer), std::optional<std::wstring>(kLibrary));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, kClassKey)) << "an elevated registration wrote a machine-wide class";
    EXPECT_EQ(Unregister(windows, kLibrary), S_OK);

    // Wine 8: HKEY_CLASSES_ROOT is the machine's classes alone, so they are mirrored there.
    EXPECT_EQ(Register(SystemRegistry(), kLibrary), S_OK);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kClassServer), std::optional<std::wstring>(kLibrary));
}

TEST_F(Registration, UnregistrationTakesMachineWideEntriesOfThisLibraryOrSaysItCannot)
{
    // Machine-wide entries of this library, mirrored where COM reads no per-user classes; a user
    // who may not change the machine's classes cannot remove them.
    ASSERT_EQ(Register(SystemRegistry(), kLibrary), S_OK);
    ASSERT_TRUE(Exists(HKEY_LOCAL_MACHINE, kClassKey));
    LockedDownRegistry user;
    user.MergeUserClasses().Deny(HKEY_LOCAL_MACHINE, L"Software\\Classes", kWriteAccess);
    EXPECT_EQ(Unregister(user, kLibrary), kAccessDenied);
    EXPECT_FALSE(LoadBehavior().has_value()) << "what could go must go";
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kClassKey));
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kClassServer), std::optional<std::wstring>(kLibrary));

    // An administrator can.
    LockedDownRegistry administrator;
    administrator.MergeUserClasses();
    EXPECT_EQ(Unregister(administrator, kLibrary), S_OK);
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, kClassKey));

    // Machine-wide entries of another copy of Corbel.dll are that copy's, and stay.
    ASSERT_EQ(Register(SystemRegistry(), kOldLibrary), S_OK);
    EXPECT_EQ(Register(administrator, kLibrary), S_OK);
    EXPECT_EQ(Unregister(administrator, kLibrary), S_OK);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kClassServer), std::optional<std::wstring>(kOldLibrary));
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kClassKey));
}

// An administrator's regsvr32 of the copy a package installed, as a repair step or a deployment
// script runs it, over Windows' merged classes: the package's rows stay every user's.
TEST_F(Registration, ThePackagesCopyIsRegisteredForTheMachineAndNeverUnregisteredByTheLibrary)
{
    PutPackageRows(kLibrary);
    const std::wstring rows = MachineRows();
    const auto nothingPerUser = [] {
        EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kClassKey)) << "a per-user class stands in for the machine's";
        EXPECT_FALSE(LoadBehavior().has_value()) << "a per-user add-in entry stands in for the machine's";
    };
    LockedDownRegistry administrator;
    administrator.MergeUserClasses();
    EXPECT_EQ(Register(administrator, kLibrary), S_OK);
    EXPECT_EQ(MachineRows(), rows);
    nothingPerUser();
    EXPECT_EQ(Unregister(administrator, kLibrary), S_OK);
    EXPECT_EQ(MachineRows(), rows) << "unregistration took the package's rows";

    // Rows that went (an earlier version's repair deleted them) come back.
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Corbel.Connect");
    EXPECT_EQ(Register(administrator, kLibrary), S_OK);
    EXPECT_EQ(MachineRows(), rows);

    // A standard user's: the user's shadow of the package's copy goes, and where the machine's
    // rows cannot be repaired, that is the failure, not a registration for the user alone.
    SetText(HKEY_CURRENT_USER, kClassServer, nullptr, kLibrary);
    SetText(HKEY_CURRENT_USER, kMachineEntry, L"FriendlyName", kAddInFriendlyName);
    LockedDownRegistry user;
    user.MergeUserClasses()
        .Deny(HKEY_LOCAL_MACHINE, L"Software\\Classes", kWriteAccess)
        .Deny(HKEY_LOCAL_MACHINE, kExcelAddInsKey, kWriteAccess);
    EXPECT_EQ(Register(user, kLibrary), S_OK);
    nothingPerUser();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
    EXPECT_EQ(Register(user, kLibrary), kAccessDenied);
    nothingPerUser();

    // A package of before the name of its copy: the machine's unmarked class says it.
    EXPECT_EQ(Register(administrator, kLibrary), S_OK);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPackageKey);
    const std::wstring olderRows = MachineRows();
    EXPECT_EQ(Unregister(administrator, kLibrary), S_OK);
    EXPECT_EQ(MachineRows(), olderRows);

    // Where COM reads the machine's classes alone (Wine), a per-user registration of another
    // copy writes nothing over the package's rows, and removes none.
    EXPECT_EQ(Register(SystemRegistry(), kOldLibrary), S_OK);
    EXPECT_EQ(Unregister(SystemRegistry(), kOldLibrary), S_OK);
    EXPECT_EQ(MachineRows(), olderRows);
}

} // namespace
} // namespace cornice
