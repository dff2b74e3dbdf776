#include "WineTestSupport.h"

#include "RegistrySettingsStore.h"
#include "SettingKeys.h"
#include "Utf8.h"
#include "WinHandles.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace cornice::test {

std::wstring WindowsPathOf(const std::string& path)
{
    std::wstring wide = FromUtf8(path).value_or(L"");
    if (wide.empty() || wide[0] != L'/') return wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

std::wstring ThisProgramsFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring file(path, length);
    return file.substr(0, file.find_last_of(L'\\'));
}

ProcessResult RunProcess(const std::wstring& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    UniqueHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0)) throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION process = {};
    std::wstring mutableLine = commandLine;
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + ToUtf8(commandLine));
    const UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    writeEnd.Reset(); // the child holds the only write end now: reading ends when it exits

    ProcessResult result;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) result.output.append(buffer, read);
    ::WaitForSingleObject(processHandle.Get(), INFINITE);
    ::GetExitCodeProcess(processHandle.Get(), &result.exitCode);
    return result;
}

std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key, const std::wstring& name)
{
    DWORD size = 0;
    if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
}

std::optional<DWORD> ReadRegistryDword(HKEY root, const std::wstring& key, const std::wstring& name)
{
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool RegistryKeyExists(HKEY root, const std::wstring& key)
{
    UniqueHkey opened;
    return ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
}

void WriteRegistryString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    UniqueHkey opened;
    ::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Put(), nullptr);
    ::RegSetValueExW(opened.Get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteRegistryDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value)
{
    UniqueHkey opened;
    ::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Put(), nullptr);
    ::RegSetValueExW(opened.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::map<std::wstring, std::wstring> ReadSettings()
{
    const std::wstring section = std::wstring(RegistrySettingsStore::kRoot) + L'\\' + kSettingsApplication + L'\\' +
                                 kSettingsSection;
    std::map<std::wstring, std::wstring> settings;
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return settings;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        if (::RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        const auto value = ReadRegistryString(HKEY_CURRENT_USER, section, name);
        settings[name] = type == REG_SZ && value ? *value : L"(not REG_SZ)";
    }
    return settings;
}

void ReplaceSettings(const std::vector<std::pair<std::wstring, std::wstring>>& values)
{
    const std::wstring application = std::wstring(RegistrySettingsStore::kRoot) + L'\\' + kSettingsApplication;
    const LSTATUS status = ::RegDeleteTreeW(HKEY_CURRENT_USER, application.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) throw std::runtime_error("cannot clear the settings");
    RegistrySettingsStore store;
    for (const auto& [key, value] : values) store.SaveSetting(kSettingsApplication, kSettingsSection, key, value);
}

namespace {

std::wstring ValueText(DWORD type, const std::vector<BYTE>& data)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
                  reinterpret_cast<BYTE*>(text.data()));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return (type == REG_SZ ? L"REG_SZ:" : L"REG_EXPAND_SZ:") + text;
    }
    case REG_DWORD: {
        DWORD value = 0;
        std::copy_n(data.begin(), std::min<std::size_t>(data.size(), sizeof value), reinterpret_cast<BYTE*>(&value));
        return L"REG_DWORD:" + std::to_wstring(value);
    }
    default: {
        std::wstring hex = L"type " + std::to_wstring(type) + L":";
        static const wchar_t digits[] = L"0123456789abcdef";
        for (BYTE b : data) hex += {digits[b >> 4], digits[b & 15]};
        return hex;
    }
    }
}

void Walk(HKEY parent, const std::wstring& path, const std::wstring& name, RegistrySnapshot& out)
{
    UniqueHkey key;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
    out.insert(FoldNames(path));
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        LSTATUS status = ::RegEnumValueW(key.Get(), index, valueName, &nameLength, nullptr, &type, nullptr, &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
        std::vector<BYTE> data(size);
        nameLength = 16384;
        status = ::RegEnumValueW(key.Get(), index, valueName, &nameLength, nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS) continue;
        data.resize(size);
        out.insert(FoldNames(path + L" [" + (nameLength ? std::wstring(valueName, nameLength) : L"@") + L"] = " +
                             ValueText(type, data)));
    }
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[256];
        DWORD length = 256;
        const LSTATUS status = ::RegEnumKeyExW(key.Get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) break;
        Walk(key.Get(), path + L'\\' + subkey, subkey, out);
    }
}

} // namespace

std::wstring FoldNames(std::wstring entry)
{
    const std::size_t data = entry.find(L"] = ");
    const std::size_t end = data == std::wstring::npos ? entry.size() : data;
    ::CharUpperBuffW(entry.data(), static_cast<DWORD>(end));
    return entry;
}

RegistrySnapshot SnapshotRegistry(const std::vector<std::pair<HKEY, std::wstring>>& roots)
{
    RegistrySnapshot snapshot;
    for (const auto& [root, path] : roots) {
        const std::wstring rootName = root == HKEY_CURRENT_USER ? L"HKCU" : root == HKEY_LOCAL_MACHINE ? L"HKLM" : L"?";
        Walk(root, rootName + L'\\' + path, path, snapshot);
    }
    return snapshot;
}

std::string Difference(const RegistrySnapshot& a, const RegistrySnapshot& b)
{
    std::string lines;
    for (const std::wstring& entry : a)
        if (!b.count(entry)) lines += "  " + ToUtf8(entry) + "\n";
    return lines.empty() ? "  (nothing)\n" : lines;
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string Hex(COLORREF colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

} // namespace cornice::test
