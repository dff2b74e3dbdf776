#include "RibbonBuilder.h"

#include "CommandSearch.h"
#include "ClassicMenus.h"
#include "ClassicToolbars.h"
#include "ControlTips.h"
#include "NumberConversion.h"
#include "RememberedWords.h"
#include "ExcelTabs.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "Trace.h"

#include <array>

namespace cornice {
struct RibbonBuilder::Parts {
    explicit Parts(const RibbonLabels& labels, ControlTips* tips = nullptr)
        : labels(labels),
          menuBar(RibbonDocument::Record([&](RibbonDocument& d) { AddMenus(d, MenuLevel::MenuBar, labels); }, tips)),
          allCopy(RibbonDocument::Record([&](RibbonDocument& d) { AddMenus(d, MenuLevel::InsideAll, labels); }, tips)),
          toolbarRows(RibbonDocument::Record(
              [&](RibbonDocument& d) {
                  AddStandardToolbar(d, labels);
                  AddFormattingToolbar(d, labels);
              },
              tips))
    {
    }

    RibbonLabels labels;
    RibbonTemplate menuBar;
    RibbonTemplate allCopy;
    RibbonTemplate toolbarRows;
};

namespace {

// English serves nearly every connection, so it is recorded once for all (thread-safe static
// initialisation).
std::shared_ptr<const RibbonBuilder::Parts> EnglishParts()
{
    static const auto english = std::make_shared<const RibbonBuilder::Parts>(RibbonLabels());
    return english;
}

} // namespace

void RibbonBuilder::ChooseLabels()
{
    // A host that cannot tell its language gets the English tab rather than none.
    int language = 1033;
    try {
        language = host_.UiLanguage();
    } catch (...) {
        TraceCaughtException("Excel's language");
    }
    ExcelWords* words = host_.Words();
    // Without a version Excel's words cannot be kept, and are asked as they always were.
    std::wstring version;
    if (words && memory_ && !IsEnglishLanguage(language)) {
        try {
            version = host_.Version();
        } catch (...) {
        }
    }
    RibbonLabels labels = RememberedLabels(language, words, version, memory_);
    parts_ = labels.IsEnglish() ? EnglishParts() : std::make_shared<const Parts>(labels);
    language_ = language;
    labelsChosen_ = true;
}

void RibbonBuilder::ChooseTips()
{
    const HostRelease release = ReleaseOf(host_);
    // Excel's descriptions and the names of its tabs and groups join the record of its other
    // words (in every language: English Excel's descriptions are its own too), so that a later
    // start asks nothing.
    tipParts_ = ThroughRecord(host_.Words(), memory_, release.version, language_, [&](ExcelWords* words) {
        ControlTips tips(PlaceListFor(release.version, release.build), language_, words);
        return std::make_shared<const Parts>(parts_->labels, &tips);
    });
}

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
    if (!labelsChosen_) ChooseLabels();
    const bool tips = ToWholeNumber(kTipsKey, Read(kTipsKey, 0)) == 1;
    if (tips && !tipParts_) ChooseTips();
    const Parts& parts = tips ? *tipParts_ : *parts_;
    const RibbonLabels& labels = parts.labels;

    // "Search" needs the ribbon's object (onLoad) to show the results of new words.
    const bool search = ToWholeNumber(kSearchKey, Read(kSearchKey, 0)) == 1;

    document_.Clear();
    document_.Append(L"<customUI xmlns=\"");
    document_.Append(kCustomUiNamespace);
    document_.Append(search ? LR"(" onLoad="SearchRibbonLoaded" >)" : L"\" >");

    AddRibbonAndTabs();

    document_.Append(LR"(<tab id="Menus" label=")");
    document_.Append(labels.Text(LabelId::ClassicTab));
    if (ToWholeNumber(kLeftKey, Read(kLeftKey, 1)) == 1)
        document_.Append(LR"(" insertBeforeMso="TabHome">)");
    else
        document_.Append(LR"(">)");

    document_.Append(LR"(<group id="ToolsPanel" label=")");
    document_.Append(labels.Text(LabelId::ToolsPanel));
    document_.Append(LR"(">)");
    document_.Append(LR"(<box id="boxNew1" boxStyle="horizontal">)");
    if (ToWholeNumber(kAllKey, Read(kAllKey, 1)) == 1) {
        document_.Append(LR"(<menu id="AddAll0" label=")");
        document_.Append(labels.Text(LabelId::AllMenus));
        document_.Append(LR"(">)");
        document_.AppendTemplate(parts.allCopy);
        document_.CloseMenu();
        document_.AddLabelSeparator(L" ");
    }
    document_.AppendTemplate(parts.menuBar);
    document_.Append(L"</box>");
    document_.AppendTemplate(parts.toolbarRows);

    document_.Append(L"</group >");
    if (search) AddSearchGroup();
    document_.Append(L"</tab></tabs></ribbon></customUI>");
    return document_.Text();
}

const RibbonLabels& RibbonBuilder::Labels()
{
    if (!labelsChosen_) ChooseLabels();
    return parts_->labels;
}

int RibbonBuilder::Language()
{
    if (!labelsChosen_) ChooseLabels();
    return language_;
}

// "Find a command": the words, and the menu of what they found, built when it opens. Keytips
// are given so that the keyboard reaches the box the same way in every Excel.
void RibbonBuilder::AddSearchGroup()
{
    const SearchTexts texts = SearchTextsFor(language_);
    const std::wstring find = EscapeXml(texts.findCommand);
    document_.Append(LR"(<group id="CommandSearch" label=")");
    document_.Append(find);
    document_.Append(LR"("><editBox id="SearchWords" label=")");
    document_.Append(find);
    document_.Append(LR"(" showLabel="false" keytip=")");
    document_.Append(EscapeXml(texts.editKeytip));
    document_.Append(LR"(" sizeString="WWWWWWWWWWWWWWWWWW" getText="GetSearchWords" onChange="SearchWordsChanged"/>)");
    document_.Append(LR"(<dynamicMenu id="SearchResults" label=")");
    document_.Append(EscapeXml(texts.results));
    document_.Append(LR"(" keytip=")");
    document_.Append(EscapeXml(texts.resultsKeytip));
    document_.Append(LR"(" imageMso="FindDialog" getContent="GetSearchResults"/></group>)");
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
