#include "ControlCheck.h"

#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"

#include <vector>

namespace cornice {
namespace {

class Excel final : public Host {
public:
    std::wstring Name() override { return L"Microsoft Excel"; }
};

void CollectIdMso(const std::wstring& document, std::set<std::wstring>& names)
{
    static const std::wstring kAttribute = L" idMso=\"";
    for (std::size_t at = document.find(kAttribute); at != std::wstring::npos;
         at = document.find(kAttribute, at + 1)) {
        const std::size_t begin = at + kAttribute.size();
        names.insert(document.substr(begin, document.find(L'"', begin) - begin));
    }
}

} // namespace

std::set<std::wstring> IdMsoOfEveryDocument()
{
    // A hidden tab adds its own element and nothing else, so each tab alone and all eight together
    // give every name that any set of hidden tabs gives; the three switches go through all eight
    // combinations.
    std::vector<std::vector<const wchar_t*>> hiddenTabs = {{}, {kTabKeys.begin(), kTabKeys.end()}};
    for (const wchar_t* tab : kTabKeys) hiddenTabs.push_back({tab});

    std::set<std::wstring> names;
    Excel excel;
    for (unsigned switches = 0; switches < 8; ++switches) {
        for (const auto& tabs : hiddenTabs) {
            InMemorySettingsStore store;
            const auto save = [&](const wchar_t* key, bool on) {
                store.SaveSetting(kSettingsApplication, kSettingsSection, key, on ? L"1" : L"0");
            };
            save(kLeftKey, switches & 1);
            save(kAllKey, switches & 2);
            save(kHideBuiltInTabsKey, switches & 4);
            for (const wchar_t* tab : tabs) save(tab, true);
            RibbonBuilder builder(store, excel);
            CollectIdMso(builder.GetRibbonXML(), names);
        }
    }
    return names;
}

std::set<std::wstring> ReadControlList(std::istream& list)
{
    std::set<std::wstring> names;
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::string name = line.substr(0, line.find_first_of("\t\r"));
        names.insert(std::wstring(name.begin(), name.end())); // identifiers are ASCII
    }
    return names;
}

} // namespace cornice
