#include "RegistryPolicySource.h"

#include "Utf8.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <cstring>

namespace cornice {
namespace {

std::wstring RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE" : L"HKEY_CURRENT_USER"; }

[[noreturn]] void Fail(const std::wstring& what, LSTATUS status)
{
    throw PolicyUnreadableError(ToUtf8(what + L": " + WindowsErrorText(static_cast<DWORD>(status))));
}

// "0" or "1" with blanks around, as `reg add` without /t and Group Policy Preferences write it.
std::optional<std::uint32_t> FlagText(std::wstring text)
{
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start])) ++start;
    text.erase(0, start);
    if (text == L"0") return 0;
    if (text == L"1") return 1;
    return std::nullopt;
}

} // namespace

std::optional<std::uint32_t> RegistryPolicySource::PolicyValue(const std::wstring& key)
{
    const REGSAM view = root_ == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
    UniqueHkey policies;
    LSTATUS status = ::RegOpenKeyExW(root_, kPolicyKey, 0, KEY_QUERY_VALUE | view, policies.Put());
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    const std::wstring where = RootName(root_) + L"\\" + kPolicyKey;
    if (status != ERROR_SUCCESS) Fail(L"Cannot open the policies in " + where, status);

    // Room for any text that could be "0" or "1" with blanks around; longer text is neither.
    wchar_t data[32] = {};
    DWORD type = REG_NONE, size = sizeof data - sizeof(wchar_t);
    status = ::RegQueryValueExW(policies.Get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
        Fail(L"Cannot read the policy \"" + key + L"\" in " + where, status);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data, sizeof value);
        return value;
    }
    if (status == ERROR_SUCCESS && type == REG_SZ)
        if (const std::optional<std::uint32_t> flag = FlagText(std::wstring(data, size / sizeof(wchar_t))))
            return flag;
    // An administrator's setting that cannot be understood, never one that is not there.
    throw PolicyUnreadableError(
        ToUtf8(L"The policy \"" + key + L"\" in " + where + L" is neither a number nor \"0\" or \"1\"."));
}

} // namespace cornice
