#include "AddInRepair.h"

#include "AddInIdentity.h"
#include "DisabledItems.h"
#include "WinHandles.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cornice {
namespace {

constexpr const wchar_t* kLibraryFileName = L"Corbel.dll";

// The names of the values in `key` that are Excel's records of Corbel.dll, collected first
// because deleting while enumerating would skip values.
LSTATUS FindOurRecords(HKEY key, std::vector<std::wstring>& names)
{
    DWORD valueCount = 0, longestName = 0, largestData = 0;
    LSTATUS status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                                        &longestName, &largestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    std::vector<wchar_t> name(longestName + 1);
    std::vector<unsigned char> data(largestData);
    for (DWORD index = 0; index < valueCount; ++index) {
        DWORD nameLength = 0, dataSize = 0, type = 0;
        // A running Excel may write a larger value meanwhile: grow and read that one again.
        for (int attempt = 0; attempt < 4; ++attempt) {
            nameLength = static_cast<DWORD>(name.size());
            dataSize = static_cast<DWORD>(data.size());
            status = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
            if (status != ERROR_MORE_DATA) break;
            name.resize(name.size() * 2);
            data.resize(std::max<std::size_t>(dataSize, data.size() * 2));
        }
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) return status;
        if (type == REG_BINARY && IsDisabledLibrary(data.data(), dataSize, kLibraryFileName))
            names.emplace_back(name.data(), nameLength);
    }
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS ForgetDisabledAddIn(Registry& registry)
{
    LSTATUS firstFailure = ERROR_SUCCESS;
    for (const wchar_t* path : kDisabledItemsKeys) {
        // Read first: under a managed profile the key may be closed to changes, which matters
        // only when it holds a record of ours.
        UniqueHkey key;
        std::vector<std::wstring> ours;
        if (registry.Open(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS ||
            FindOurRecords(key.Get(), ours) != ERROR_SUCCESS || ours.empty())
            continue;
        LSTATUS status = registry.Open(HKEY_CURRENT_USER, path, KEY_SET_VALUE, key);
        for (const std::wstring& name : ours) {
            if (status != ERROR_SUCCESS) break;
            status = ::RegDeleteValueW(key.Get(), name.c_str());
            if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS; // Excel removed it meanwhile
        }
        if (status != ERROR_SUCCESS && firstFailure == ERROR_SUCCESS) firstFailure = status;
    }
    return firstFailure;
}

LSTATUS LoadAddInAtStartup(Registry& registry, bool machineEntry)
{
    UniqueHkey key;
    if (machineEntry) {
        LSTATUS status = registry.Open(HKEY_CURRENT_USER, kExcelAddInsKey, KEY_READ | KEY_SET_VALUE | DELETE, key);
        if (status == ERROR_SUCCESS) status = registry.DeleteTree(key.Get(), kProgId);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    const LSTATUS status =
        registry.Open(HKEY_CURRENT_USER, std::wstring(kExcelAddInsKey) + L"\\" + kProgId, KEY_SET_VALUE, key);
    if (status != ERROR_SUCCESS) return status;
    const DWORD loadAtStartup = kAddInLoadBehavior;
    return ::RegSetValueExW(key.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&loadAtStartup),
                            sizeof loadAtStartup);
}

bool HoldsDisabledAddIn(Registry& registry, const wchar_t* disabledItemsKey)
{
    UniqueHkey key;
    std::vector<std::wstring> ours;
    return registry.Open(HKEY_CURRENT_USER, disabledItemsKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
           FindOurRecords(key.Get(), ours) == ERROR_SUCCESS && !ours.empty();
}

} // namespace cornice
