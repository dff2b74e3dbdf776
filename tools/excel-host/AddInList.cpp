#include "AddInList.h"

#include "AddInIdentity.h"
#include "WinHandles.h"

#include <algorithm>

namespace cornice::host {
namespace {

std::wstring Text(HKEY key, const wchar_t* name)
{
    DWORD size = 0;
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return {};
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return text;
}

// The entries of one list, in the registry's order.
void ReadList(HKEY root, bool machineWide, std::vector<AddInEntry>& entries)
{
    UniqueHkey addIns;
    if (::RegOpenKeyExW(root, kExcelAddInsKey, 0, KEY_READ, addIns.Put()) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LSTATUS status = ::RegEnumKeyExW(addIns.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        // The user's entry of an add-in stands in for the machine's.
        const auto sameProgId = [&](const AddInEntry& known) { return ::lstrcmpiW(known.progId.c_str(), name) == 0; };
        if (machineWide && std::any_of(entries.begin(), entries.end(), sameProgId)) continue;
        UniqueHkey entryKey;
        if (::RegOpenKeyExW(addIns.Get(), name, 0, KEY_READ, entryKey.Put()) != ERROR_SUCCESS) continue;
        AddInEntry entry;
        entry.progId = name;
        entry.machineWide = machineWide;
        entry.friendlyName = Text(entryKey.Get(), L"FriendlyName");
        entry.description = Text(entryKey.Get(), L"Description");
        DWORD value = 0, size = sizeof value;
        if (::RegGetValueW(entryKey.Get(), nullptr, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &value, &size) ==
            ERROR_SUCCESS)
            entry.loadBehavior = value;
        entries.push_back(std::move(entry));
    }
}

} // namespace

std::vector<AddInEntry> ReadExcelAddIns()
{
    std::vector<AddInEntry> entries;
    ReadList(HKEY_CURRENT_USER, false, entries);
    ReadList(HKEY_LOCAL_MACHINE, true, entries);
    return entries;
}

std::wstring LoadBehaviorText(const AddInEntry& entry)
{
    return entry.loadBehavior ? L"LoadBehavior " + std::to_wstring(*entry.loadBehavior) : L"no LoadBehavior";
}

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

} // namespace cornice::host
