#include "InMemorySettingsStore.h"

#include "NumberText.h"

namespace cornice {
namespace {

// ASCII folding is enough: every name the product uses is ASCII.
std::wstring Address(const std::wstring& application, const std::wstring& section,
                     const std::wstring& key)
{
    std::wstring address = application + L'\0' + section + L'\0' + key;
    for (wchar_t& c : address)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return address;
}

} // namespace

std::wstring InMemorySettingsStore::ReadSetting(const std::wstring& application,
                                                const std::wstring& section,
                                                const std::wstring& key, int defaultValue)
{
    const auto found = values_.find(Address(application, section, key));
    return found != values_.end() ? found->second : DecimalText(defaultValue);
}

void InMemorySettingsStore::SaveSetting(const std::wstring& application, const std::wstring& section,
                                        const std::wstring& key, const std::wstring& value)
{
    values_[Address(application, section, key)] = value;
}

} // namespace cornice
