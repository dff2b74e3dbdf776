#include "RegistrySettingsStore.h"

#include "NumberText.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cornice {
namespace {

// Names in messages are cut: a message box must not grow with a name of thousands of characters.
std::wstring Shown(const std::wstring& name)
{
    constexpr std::size_t kLongest = 64;
    return name.size() <= kLongest ? name : name.substr(0, kLongest) + L"\u2026";
}

std::wstring SectionForPeople(const std::wstring& application, const std::wstring& section)
{
    return L"HKEY_CURRENT_USER\\" + std::wstring(RegistrySettingsStore::kRoot) + L'\\' + Shown(application) +
           L'\\' + Shown(section);
}

std::wstring SettingForPeople(const std::wstring& application, const std::wstring& section, const std::wstring& key)
{
    return L"the setting \"" + Shown(key) + L"\" in " + SectionForPeople(application, section);
}

[[noreturn]] void Fail(const std::wstring& what, LSTATUS status)
{
    throw SettingsStoreError(ToUtf8(what + L": " + WindowsErrorText(static_cast<DWORD>(status))));
}

const wchar_t* TypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_DWORD: return L"REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return L"REG_DWORD_BIG_ENDIAN";
    case REG_QWORD: return L"REG_QWORD";
    case REG_BINARY: return L"REG_BINARY";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_LINK: return L"REG_LINK";
    default: return L"an unknown type";
    }
}

} // namespace

std::wstring RegistrySettingsStore::SectionPath(const std::wstring& application, const std::wstring& section)
{
    for (const std::wstring* name : {&application, &section}) {
        if (name->empty() || name->find(L'\\') != std::wstring::npos || name->find(L'\0') != std::wstring::npos)
            throw SettingsStoreError(ToUtf8(L"\"" + Shown(*name) + L"\" cannot name a settings key."));
    }
    return std::wstring(kRoot) + L'\\' + application + L'\\' + section;
}

std::wstring RegistrySettingsStore::ReadSetting(const std::wstring& application, const std::wstring& section,
                                                const std::wstring& key, int defaultValue)
{
    const std::wstring path = SectionPath(application, section);
    UniqueHkey sectionKey;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, sectionKey.Put());
    if (status == ERROR_FILE_NOT_FOUND) return DecimalText(defaultValue);
    if (status != ERROR_SUCCESS) Fail(L"Cannot open " + SectionForPeople(application, section), status);

    // The value may grow between the size query and the read (the settings program saves
    // while Excel reads), so ask again until the buffer holds it whole.
    std::vector<BYTE> bytes(64);
    DWORD type = REG_NONE;
    for (;;) {
        DWORD size = static_cast<DWORD>(bytes.size());
        status = ::RegQueryValueExW(sectionKey.Get(), key.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND) return DecimalText(defaultValue);
        if (status == ERROR_MORE_DATA) {
            bytes.resize(std::max<std::size_t>(size, bytes.size() * 2));
            continue;
        }
        if (status != ERROR_SUCCESS) Fail(L"Cannot read " + SettingForPeople(application, section, key), status);
        bytes.resize(size);
        break;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw SettingsStoreError(ToUtf8(L"Cannot read " + SettingForPeople(application, section, key) +
                                        L": it is of registry type " + TypeName(type) + L", not text."));

    // An odd trailing byte is half a character and cannot be text.
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
}

void RegistrySettingsStore::SaveSetting(const std::wstring& application, const std::wstring& section,
                                        const std::wstring& key, const std::wstring& value)
{
    const std::wstring path = SectionPath(application, section);
    if (value.find(L'\0') != std::wstring::npos)
        throw SettingsStoreError(ToUtf8(L"Cannot save " + SettingForPeople(application, section, key) +
                                        L": the value holds a NUL character."));
    const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    if (bytes > MAXDWORD)
        throw SettingsStoreError(ToUtf8(L"Cannot save " + SettingForPeople(application, section, key) +
                                        L": the value is too long."));

    UniqueHkey sectionKey;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_SET_VALUE, nullptr, sectionKey.Put(), nullptr);
    if (status != ERROR_SUCCESS) Fail(L"Cannot create " + SectionForPeople(application, section), status);
    status = ::RegSetValueExW(sectionKey.Get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(bytes));
    if (status != ERROR_SUCCESS) Fail(L"Cannot save " + SettingForPeople(application, section, key), status);
}

} // namespace cornice
