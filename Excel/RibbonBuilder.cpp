#include "RibbonBuilder.h"

#include "ClassicMenus.h"
#include "ClassicToolbars.h"
#include "NumberConversion.h"
#include "SettingKeys.h"
#include "SettingsStore.h"

#include <array>

namespace cornice {
namespace {

constexpr std::wstring_view kCustomUiNamespace = L"http://schemas.microsoft.com/office/2006/01/customui";

// Excel's built-in tabs, parallel to kTabKeys.
constexpr std::array<const wchar_t*, kTabKeys.size()> kTabIdMso = {
    L"TabHome", L"TabPageLayoutExcel", L"TabInsert", L"TabFormulas",
    L"TabData", L"TabReview", L"TabView", L"TabDeveloper",
};

// The fixed parts of the document, recorded on first use (thread-safe static initialisation).
const RibbonTemplate& MenusAt(int level)
{
    static const RibbonTemplate menuBar = RibbonDocument::Record([](RibbonDocument& d) { AddMenus(d, MenuLevel::MenuBar); });
    static const RibbonTemplate allCopy = RibbonDocument::Record([](RibbonDocument& d) { AddMenus(d, MenuLevel::InsideAll); });
    return level == 1 ? menuBar : allCopy;
}

const RibbonTemplate& ToolbarRows()
{
    static const RibbonTemplate rows = RibbonDocument::Record([](RibbonDocument& d) {
        AddStandardToolbar(d);
        AddFormattingToolbar(d);
    });
    return rows;
}

} // namespace

std::wstring RibbonBuilder::Read(const wchar_t* key, int defaultValue)
{
    return store_.ReadSetting(kSettingsApplication, kSettingsSection, key, defaultValue);
}

std::wstring RibbonBuilder::GetRibbonXML()
{
    document_.ResetCounters();

    // The host check is case-sensitive on purpose: only Excel gets the Classic tab.
    if (host_.Name().find(L"Excel") == std::wstring::npos) return {};
    if (ToWholeNumber(kClassicKey, Read(kClassicKey, 1)) == 0) return {};

    document_.Clear();
    document_.Append(L"<customUI xmlns=\"");
    document_.Append(kCustomUiNamespace);
    document_.Append(L"\" >");

    AddRibbonAndTabs();

    if (ToWholeNumber(kLeftKey, Read(kLeftKey, 1)) == 1)
        document_.Append(LR"(<tab id="Menus" label="Classic" insertBeforeMso="TabHome">)");
    else
        document_.Append(LR"(<tab id="Menus" label="Classic">)");

    document_.Append(LR"(<group id="ToolsPanel" label="Tools panel">)");
    document_.Append(LR"(<box id="boxNew1" boxStyle="horizontal">)");
    if (ToWholeNumber(kAllKey, Read(kAllKey, 1)) == 1) {
        document_.Append(LR"(<menu id="AddAll0" label="All">)");
        document_.AppendTemplate(MenusAt(2));
        document_.CloseMenu();
        document_.AddLabelSeparator(L" ");
    }
    document_.AppendTemplate(MenusAt(1));
    document_.Append(L"</box>");
    document_.AppendTemplate(ToolbarRows());

    document_.Append(L"</group ></tab></tabs></ribbon></customUI>");
    return document_.Text();
}

void RibbonBuilder::AddRibbonAndTabs()
{
    if (ToWholeNumber(kHideBuiltInTabsKey, Read(kHideBuiltInTabsKey, 0)) != 1) {
        document_.Append(L"<ribbon><tabs>");
        return;
    }

    // Each tab key is read once and the same values serve the sum and the hiding. The settings
    // window may be saving meanwhile (nothing is locked); reading them twice could see all eight
    // set only the second time and hide eight tabs one by one, a document no settings give.
    std::array<double, kTabKeys.size()> values{};
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < kTabKeys.size(); ++i) {
        const std::wstring text = Read(kTabKeys[i], 0);
        values[i] = ToNumber(kTabKeys[i], text);
        sum = AddToRunningSum(sum, values[i], kTabKeys[i], text);
    }
    // Every tab hidden: Excel's whole ribbon gives way to ours.
    if (sum == static_cast<std::int32_t>(kTabKeys.size())) {
        document_.Append(LR"(<ribbon startFromScratch="true"><tabs>)");
        return;
    }

    document_.Append(L"<ribbon><tabs>");
    for (std::size_t i = 0; i < kTabKeys.size(); ++i) {
        if (values[i] == 1.0) {
            document_.Append(L"<tab idMso=\"");
            document_.Append(kTabIdMso[i]);
            document_.Append(L"\" visible=\"false\"/>");
        }
    }
}

} // namespace cornice
