#include "RibbonTestSupport.h"

#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"

namespace cornice::test {

std::wstring BuildDocument(const Settings& settings, const std::wstring& hostName)
{
    InMemorySettingsStore store;
    for (const auto& [key, value] : settings)
        store.SaveSetting(kSettingsApplication, kSettingsSection, key, value);
    TestHost host(hostName);
    return RibbonBuilder(store, host).GetRibbonXML();
}

std::vector<std::wstring> IdsIn(const std::wstring& document)
{
    std::vector<std::wstring> ids;
    const std::wstring attribute = L" id=\"";
    for (std::size_t at = document.find(attribute); at != std::wstring::npos;
         at = document.find(attribute, at + 1)) {
        const std::size_t start = at + attribute.size();
        ids.push_back(document.substr(start, document.find(L'"', start) - start));
    }
    return ids;
}

std::size_t CountOf(const std::wstring& text, const std::wstring& needle)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

std::wstring Between(const std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    const std::size_t start = text.find(from);
    if (start == std::wstring::npos) return {};
    const std::size_t end = text.find(to, start + from.size());
    if (end == std::wstring::npos) return {};
    return text.substr(start, end + to.size() - start);
}

} // namespace cornice::test
