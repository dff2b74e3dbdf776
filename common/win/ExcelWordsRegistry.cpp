#include "ExcelWordsRegistry.h"

#include "NumberText.h"
#include "WinHandles.h"

namespace cornice {
namespace {

std::wstring ValueName(const std::wstring& excelVersion, int language)
{
    return excelVersion + L' ' + DecimalText(language);
}

// A REG_SZ value whole; empty when it is missing, of another type or unreadable.
std::wstring ReadText(HKEY key, const wchar_t* name)
{
    std::wstring text(256, L'\0');
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status =
            ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &size);
        if (status == ERROR_MORE_DATA) {
            text.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) return {};
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
}

} // namespace

std::wstring RegistryExcelWordsMemory::Recall(const std::wstring& excelVersion, int language) noexcept
try {
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return {};
    return ReadText(key.Get(), ValueName(excelVersion, language).c_str());
} catch (...) {
    return {};
}

void RegistryExcelWordsMemory::Keep(const std::wstring& excelVersion, int language, const std::wstring& text) noexcept
try {
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          key.Put(), nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key.Get(), ValueName(excelVersion, language).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
} catch (...) {
}

std::vector<std::wstring> RegistryExcelWordsMemory::RecallAll() noexcept
try {
    std::vector<std::wstring> texts;
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return texts;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LSTATUS status = ::RegEnumValueW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue; // no name of ours is that long
        if (status != ERROR_SUCCESS) break;
        std::wstring text = ReadText(key.Get(), name);
        if (!text.empty()) texts.push_back(std::move(text));
    }
    return texts;
} catch (...) {
    return {};
}

} // namespace cornice
