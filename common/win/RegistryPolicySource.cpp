#include "RegistryPolicySource.h"

#include "Utf8.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

namespace cornice {
namespace {

std::wstring RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE" : L"HKEY_CURRENT_USER"; }

[[noreturn]] void Fail(const std::wstring& what, LSTATUS status)
{
    throw SettingsStoreError(ToUtf8(what + L": " + WindowsErrorText(static_cast<DWORD>(status))));
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

    DWORD type = REG_NONE, value = 0, size = sizeof value;
    status = ::RegQueryValueExW(policies.Get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_MORE_DATA) return std::nullopt;
    if (status != ERROR_SUCCESS) Fail(L"Cannot read the policy \"" + key + L"\" in " + where, status);
    if (type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

} // namespace cornice
