#include "ExcelRelease.h"

#include "DisabledItems.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace cornice::host {
namespace {

// The key Excel of that release keeps its records in, written out here rather than taken from
// the add-in, so that a wrong key in the add-in's repair shows.
std::wstring DisabledItemsKey(int release)
{
    return L"Software\\Microsoft\\Office\\" + ReleaseVersion(release) + L"\\Excel\\Resiliency\\DisabledItems";
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

} // namespace

std::optional<int> ParseRelease(std::wstring_view text)
{
    for (const int release : {12, 14, 15, 16})
        if (text == std::to_wstring(release) || text == ReleaseVersion(release)) return release;
    return std::nullopt;
}

std::wstring ReleaseVersion(int release) { return std::to_wstring(release) + L".0"; }

long ReleaseBuild(int release)
{
    switch (release) {
    case 12: return 6611; // 2007 SP3
    case 14: return 7015; // 2010 SP2
    case 15: return 4569; // 2013 SP1
    default: return 17328; // a Microsoft 365 build of 2024
    }
}

bool DisabledByExcel(int release, const std::wstring& libraryPath)
{
    UniqueHkey key;
    if (libraryPath.empty() ||
        ::RegOpenKeyExW(HKEY_CURRENT_USER, DisabledItemsKey(release).c_str(), 0, KEY_QUERY_VALUE, key.Put()) !=
            ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384]; // the longest value name the registry allows, and its NUL
        DWORD nameLength = 16384, type = 0, size = 0;
        if (::RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        if (type != REG_BINARY) continue;
        std::vector<unsigned char> data(size);
        if (::RegQueryValueExW(key.Get(), name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) continue;
        const std::optional<DisabledItem> item = ParseDisabledItem(data.data(), size);
        if (item && item->kind == kDisabledAddIn && SamePath(item->path, libraryPath)) return true;
    }
}

std::optional<std::set<std::wstring>> ReadControlList(const std::wstring& path, std::wstring& error)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = L"cannot open " + path + L": " + WindowsErrorText(::GetLastError());
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    const std::optional<std::wstring> text = FromUtf8(bytes);
    if (!text) {
        error = path + L" is not UTF-8 text";
        return std::nullopt;
    }
    std::set<std::wstring> names;
    for (std::size_t at = 0; at < text->size();) {
        std::size_t end = text->find(L'\n', at);
        if (end == std::wstring::npos) end = text->size();
        std::wstring line = text->substr(at, end - at);
        at = end + 1;
        line = line.substr(0, line.find_first_of(L"\t\r"));
        if (!line.empty() && line[0] != L'#') names.insert(line);
    }
    return names;
}

std::vector<std::wstring> UnknownControls(const markup::Element& root, const std::set<std::wstring>& known)
{
    std::vector<std::wstring> unknown;
    std::set<std::wstring> reported;
    const std::function<void(const markup::Element&)> visit = [&](const markup::Element& element) {
        for (const wchar_t* attribute : {L"idMso", L"insertBeforeMso", L"insertAfterMso"}) {
            const std::wstring* name = element.Attribute(attribute);
            if (name && !known.count(*name) && reported.insert(*name).second) unknown.push_back(*name);
        }
        for (const markup::Element& child : element.children) visit(child);
    };
    visit(root);
    return unknown;
}

} // namespace cornice::host
