#include "PolicySettingsStore.h"

#include "SettingKeys.h"

#include <cwctype>

namespace cornice {
namespace {

std::wstring Folded(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

} // namespace

void InMemoryPolicySource::Set(const std::wstring& key, std::uint32_t value) { values_[Folded(key)] = value; }

std::optional<std::uint32_t> InMemoryPolicySource::PolicyValue(const std::wstring& key)
{
    const auto found = values_.find(Folded(key));
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<std::wstring> PolicySettingsStore::Enforced(const std::wstring& application,
                                                          const std::wstring& section, const std::wstring& key)
{
    if (Folded(application) != Folded(kSettingsApplication) || Folded(section) != Folded(kSettingsSection))
        return std::nullopt;
    std::optional<std::uint32_t> value = computerPolicy_.PolicyValue(key);
    if (!value) value = userPolicy_.PolicyValue(key);
    if (!value) return std::nullopt;
    return std::wstring(*value == 0 ? L"0" : L"1");
}

std::wstring PolicySettingsStore::ReadSetting(const std::wstring& application, const std::wstring& section,
                                              const std::wstring& key, int defaultValue)
{
    if (std::optional<std::wstring> enforced = Enforced(application, section, key)) return *enforced;
    return user_.ReadSetting(application, section, key, defaultValue);
}

void PolicySettingsStore::SaveSetting(const std::wstring& application, const std::wstring& section,
                                      const std::wstring& key, const std::wstring& value)
{
    user_.SaveSetting(application, section, key, value);
}

bool PolicySettingsStore::SetByPolicy(const std::wstring& application, const std::wstring& section,
                                      const std::wstring& key)
{
    return Enforced(application, section, key).has_value();
}

} // namespace cornice
