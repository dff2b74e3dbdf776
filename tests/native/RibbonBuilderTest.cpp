#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "RibbonBuilder.h"
#include "RibbonTestSupport.h"
#include "SettingKeys.h"

#include <gtest/gtest.h>

#include <set>

namespace cornice {
namespace {

using test::Between;
using test::BuildDocument;
using test::CountOf;
using test::IdsIn;
using test::Settings;

const std::wstring kStart = L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" >";
const std::wstring kEnd = L"</group ></tab></tabs></ribbon></customUI>";

Settings AllTabs(const wchar_t* value)
{
    Settings settings;
    for (const wchar_t* key : kTabKeys) settings.emplace_back(key, value);
    return settings;
}

Settings With(Settings settings, const Settings& more)
{
    settings.insert(settings.end(), more.begin(), more.end());
    return settings;
}

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.rfind(start, 0) == 0; }

TEST(RibbonFrame, EmptyStoreGivesClassicTabBeforeHomeWithTheAllMenu)
{
    const std::wstring document = BuildDocument();
    EXPECT_TRUE(StartsWith(document,
                           kStart + L"<ribbon><tabs>"
                                    LR"(<tab id="Menus" label="Classic" insertBeforeMso="TabHome">)"
                                    LR"(<group id="ToolsPanel" label="Tools panel">)"
                                    LR"(<box id="boxNew1" boxStyle="horizontal">)"
                                    LR"(<menu id="AddAll0" label="All"><menu id="AllB30002" label="File" tag = "B30002">)"))
        << document.substr(0, 400);
    EXPECT_EQ(document.substr(document.size() - kEnd.size()), kEnd);
    EXPECT_EQ(CountOf(document, L"<customUI"), 1u);
    EXPECT_EQ(document.find_first_of(L"\r\n\t"), std::wstring::npos);
    EXPECT_GT(document.size(), 25000u); // both copies of the menus
}

TEST(RibbonFrame, TheRowsFollowTheMenuBarInOrder)
{
    const std::wstring document = BuildDocument();
    const std::size_t menuBarEnd = document.find(L"</box>");
    EXPECT_EQ(document.find(LR"(<box id="boxNew2" boxStyle="horizontal">)"), menuBarEnd + 6);
    EXPECT_LT(document.find(L"boxNew2"), document.find(L"boxNew3"));
    EXPECT_NE(document.find(LR"(<control idMso="Help" showLabel="false"/></buttonGroup></box>)" + kEnd),
              std::wstring::npos);
}

TEST(RibbonFrame, OnlyAnExcelHostGetsADocument)
{
    for (const wchar_t* name : {L"", L"Microsoft Word", L"microsoft excel", L"EXCEL", L"Exce"})
        EXPECT_EQ(BuildDocument({}, name), L"") << "host \"" << name << '"';
    for (const wchar_t* name : {L"Excel", L"Microsoft Excel", L"Microsoft Excel 2010 (x64)"})
        EXPECT_EQ(BuildDocument({}, name), BuildDocument()) << "host \"" << name << '"';
}

TEST(RibbonFrame, ClassicZeroMeansNoDocumentWhateverElseIsStored)
{
    const Settings bad = {{L"Left", L"x"}, {L"All", L"x"}, {L"Hide built-in Tabs", L"x"}};
    for (const wchar_t* classic : {L"0", L" 0 ", L"-0", L"0.5", L"-0.5", L"0e5"})
        EXPECT_EQ(BuildDocument(With({{L"Classic", classic}}, bad)), L"") << "Classic " << classic;
    for (const wchar_t* classic : {L"1", L"2", L"1.5", L"-1", L"0.51"})
        EXPECT_EQ(BuildDocument({{L"Classic", classic}}), BuildDocument()) << "Classic " << classic;
}

TEST(RibbonFrame, LeftPlacesTheTabOnlyWhenItIsOne)
{
    const std::wstring placed = LR"(<tab id="Menus" label="Classic" insertBeforeMso="TabHome">)";
    const std::wstring unplaced = LR"(<tab id="Menus" label="Classic">)";
    for (const wchar_t* left : {L"1", L" 1 ", L"1.0", L"1.4", L"0.6", L"+1"})
        EXPECT_NE(BuildDocument({{L"Left", left}}).find(placed), std::wstring::npos) << "Left " << left;
    for (const wchar_t* left : {L"0", L"2", L"1.5", L"0.5", L"-1"}) {
        const std::wstring document = BuildDocument({{L"Left", left}});
        EXPECT_NE(document.find(unplaced), std::wstring::npos) << "Left " << left;
        EXPECT_EQ(document.find(L"insertBeforeMso"), std::wstring::npos) << "Left " << left;
    }
}

TEST(RibbonFrame, HiddenTabsAreWrittenInTableOrderBetweenTabsAndTheClassicTab)
{
    const std::wstring document = BuildDocument(
        With(AllTabs(L"0"), {{L"Hide built-in Tabs", L"1"}, {L"View", L"1"}, {L"Home", L"1"}}));
    EXPECT_TRUE(StartsWith(document, kStart + L"<ribbon><tabs>"
                                              LR"(<tab idMso="TabHome" visible="false"/>)"
                                              LR"(<tab idMso="TabView" visible="false"/>)"
                                              LR"(<tab id="Menus" label="Classic")"));
    EXPECT_EQ(CountOf(document, L"visible=\"false\""), 2u);
}

TEST(RibbonFrame, EveryTabKeyHidesItsOwnTab)
{
    const wchar_t* const idMso[] = {L"TabHome", L"TabPageLayoutExcel", L"TabInsert", L"TabFormulas",
                                    L"TabData", L"TabReview", L"TabView", L"TabDeveloper"};
    for (std::size_t i = 0; i < kTabKeys.size(); ++i) {
        const std::wstring document = BuildDocument({{L"Hide built-in Tabs", L"1"}, {kTabKeys[i], L"1"}});
        EXPECT_NE(document.find(L"<tabs><tab idMso=\"" + std::wstring(idMso[i]) + L"\" visible=\"false\"/><tab id=\"Menus\""),
                  std::wstring::npos)
            << kTabKeys[i];
        EXPECT_EQ(CountOf(document, L"visible=\"false\""), 1u) << kTabKeys[i];
    }
}

TEST(RibbonFrame, OnlyAValueOfExactlyOneHidesATab)
{
    const std::wstring document = BuildDocument({{L"Hide built-in Tabs", L"1"}, {L"Home", L"1.0"},
                                                 {L"Insert", L"0.9999"}, {L"Data", L"2"}, {L"Review", L" 1e0 "}});
    EXPECT_NE(document.find(LR"(<tab idMso="TabHome" visible="false"/><tab idMso="TabReview" visible="false"/><tab id="Menus")"),
              std::wstring::npos);
    EXPECT_EQ(CountOf(document, L"visible=\"false\""), 2u);
}

TEST(RibbonFrame, ASumOfEightStartsFromScratchHoweverItIsReached)
{
    const std::wstring scratch = kStart + LR"(<ribbon startFromScratch="true"><tabs><tab id="Menus")";
    const Settings ways[] = {
        AllTabs(L"1"),
        {{L"Home", L"8"}},
        {{L"Home", L"4"}, {L"Developer", L"4"}},
        {{L"Home", L"9"}, {L"Insert", L"-1"}},
        {{L"Home", L"1.5"}, {L"Page Layout", L"1.5"}, {L"Insert", L"1.5"}, {L"Formulas", L"1.5"}},
        {{L"Home", L"7.6"}},
        {{L"Review", L"8.4"}},
        {{L"Home", L"8.5"}}, // halfway goes to the even 8
    };
    for (const Settings& tabs : ways) {
        const std::wstring document = BuildDocument(With(tabs, {{L"Hide built-in Tabs", L"1"}}));
        EXPECT_TRUE(StartsWith(document, scratch)) << tabs.front().first << '=' << tabs.front().second;
        EXPECT_EQ(CountOf(document, L"visible=\"false\""), 0u);
    }
    // Close to 8 is not 8; seven ones hide seven tabs one by one.
    const std::wstring seven = BuildDocument(With(AllTabs(L"1"), {{L"Hide built-in Tabs", L"1"}, {L"Data", L"0"}}));
    EXPECT_TRUE(StartsWith(seven, kStart + L"<ribbon><tabs>"));
    EXPECT_EQ(CountOf(seven, L"visible=\"false\""), 7u);
    EXPECT_TRUE(StartsWith(BuildDocument({{L"Hide built-in Tabs", L"1"}, {L"Home", L"8.6"}}), kStart + L"<ribbon><tabs>"));
}

TEST(RibbonFrame, HidingNeedsHideBuiltInTabsToBeOne)
{
    for (const wchar_t* hide : {L"0", L"2", L"1.5", L"0.5", L"-1"}) {
        const std::wstring document = BuildDocument(With(AllTabs(L"1"), {{L"Hide built-in Tabs", hide}}));
        EXPECT_TRUE(StartsWith(document, kStart + L"<ribbon><tabs><tab id=\"Menus\"")) << "Hide " << hide;
    }
    EXPECT_TRUE(StartsWith(BuildDocument(With(AllTabs(L"1"), {{L"Hide built-in Tabs", L"1.4"}})),
                           kStart + LR"(<ribbon startFromScratch="true">)"));
}

TEST(RibbonFrame, KeysIgnoreCase)
{
    EXPECT_EQ(BuildDocument({{L"HIDE BUILT-IN TABS", L"1"}, {L"home", L"1"}, {L"left", L"0"}, {L"ALL", L"0"}}),
              BuildDocument({{L"Hide built-in Tabs", L"1"}, {L"Home", L"1"}, {L"Left", L"0"}, {L"All", L"0"}}));
}

struct Counts {
    std::size_t buttonGroups, separatorButtons, menuSeparators;
};

Counts CountNumberedElements(const std::wstring& document)
{
    return {CountOf(document, L"<buttonGroup id=\"btnGr00"), CountOf(document, L"<button id=\"sep00"),
            CountOf(document, L"<menuSeparator id=\"msep00")};
}

// The numbers of one kind run 1, 2, 3 ... in document order, without gaps or repeats.
void ExpectConsecutive(const std::wstring& document, const std::wstring& prefix, const std::wstring& suffix,
                       std::size_t count)
{
    std::size_t at = 0;
    for (std::size_t n = 1; n <= count; ++n) {
        const std::wstring id = L"id=\"" + prefix + std::to_wstring(n) + suffix + L"\"";
        const std::size_t next = document.find(id, at);
        ASSERT_NE(next, std::wstring::npos) << "missing or out of order: " << id;
        at = next;
    }
}

TEST(Numbering, DefaultDocumentCounts)
{
    const std::wstring document = BuildDocument();
    const Counts counts = CountNumberedElements(document);
    EXPECT_EQ(counts.buttonGroups, 12u);
    EXPECT_EQ(counts.separatorButtons, 18u);
    EXPECT_EQ(counts.menuSeparators, 75u);
    ExpectConsecutive(document, L"btnGr00", L"", 12);
    ExpectConsecutive(document, L"sep00", L"", 18);
    ExpectConsecutive(document, L"msep00", L"d", 75);
}

TEST(Numbering, WithoutTheAllMenu)
{
    const std::wstring document = BuildDocument({{L"All", L"0"}});
    const Counts counts = CountNumberedElements(document);
    EXPECT_EQ(counts.buttonGroups, 12u);
    EXPECT_EQ(counts.separatorButtons, 17u);
    EXPECT_EQ(counts.menuSeparators, 39u);
    EXPECT_EQ(document.find(L"AddAll0"), std::wstring::npos);
    // The first separator button is the menu bar's, after File.
    EXPECT_NE(document.find(LR"(</menu><button id="sep001" label=" " enabled="false"/><menu id="B30003")"),
              std::wstring::npos);
    EXPECT_NE(document.find(LR"(</menu><button id="sep008" label=" " enabled="false"/><menu id="B30010")"),
              std::wstring::npos);
    const std::wstring standard = Between(document, L"boxNew2", L"</box>");
    const std::wstring formatting = Between(document, L"boxNew3", L"</box>");
    for (int n = 9; n <= 14; ++n)
        EXPECT_NE(standard.find(L"id=\"sep00" + std::to_wstring(n) + L"\" label=\"  \""), std::wstring::npos) << n;
    for (int n = 15; n <= 17; ++n)
        EXPECT_NE(formatting.find(L"id=\"sep00" + std::to_wstring(n) + L"\" label=\" \""), std::wstring::npos) << n;
    for (int n = 37; n <= 39; ++n)
        EXPECT_NE(standard.find(L"id=\"msep00" + std::to_wstring(n) + L"d\""), std::wstring::npos) << n;
    EXPECT_NE(Between(document, L"<menu id=\"B30002\"", L"</menu>").find(L"msep001d"), std::wstring::npos);
}

TEST(Numbering, WithTheAllMenuItsCopyComesFirst)
{
    const std::wstring document = BuildDocument();
    EXPECT_NE(document.find(LR"(</menu></menu><button id="sep001" label=" " enabled="false"/><menu id="B30002")"),
              std::wstring::npos)
        << "the All menu is closed and followed by the first separator button";
    const std::wstring allMenu = document.substr(0, document.find(L"<button id=\"sep001\""));
    EXPECT_EQ(CountOf(allMenu, L"<menuSeparator"), 36u);
    EXPECT_NE(allMenu.find(L"msep0036d"), std::wstring::npos);
    EXPECT_NE(Between(document, L"<menu id=\"B30002\"", L"d\"/>").find(L"msep0037d"), std::wstring::npos);
    const std::wstring standard = Between(document, L"boxNew2", L"</box>");
    for (int n = 73; n <= 75; ++n)
        EXPECT_NE(standard.find(L"id=\"msep00" + std::to_wstring(n) + L"d\""), std::wstring::npos) << n;
    for (int n = 10; n <= 15; ++n)
        EXPECT_NE(standard.find(L"id=\"sep00" + std::to_wstring(n) + L"\""), std::wstring::npos) << n;
}

TEST(Numbering, ButtonGroupsAreTheToolbarsAloneWithOrWithoutAll)
{
    for (const wchar_t* all : {L"0", L"1"}) {
        const std::wstring document = BuildDocument({{L"All", all}});
        const std::wstring standard = Between(document, L"boxNew2", L"</box>");
        const std::wstring formatting = Between(document, L"boxNew3", L"</box>");
        for (int n = 1; n <= 8; ++n)
            EXPECT_NE(standard.find(L"id=\"btnGr00" + std::to_wstring(n) + L"\""), std::wstring::npos) << n;
        for (int n = 9; n <= 12; ++n)
            EXPECT_NE(formatting.find(L"id=\"btnGr00" + std::to_wstring(n) + L"\""), std::wstring::npos) << n;
    }
}

TEST(Ids, NoIdTwiceInAnyCombination)
{
    const Settings combinations[] = {
        {},
        {{L"All", L"0"}},
        {{L"Left", L"0"}},
        {{L"All", L"0"}, {L"Left", L"0"}},
        With(AllTabs(L"1"), {{L"Hide built-in Tabs", L"1"}}),
        {{L"Hide built-in Tabs", L"1"}, {L"Home", L"1"}, {L"View", L"1"}},
        With(AllTabs(L"1"), {{L"Hide built-in Tabs", L"1"}, {L"Data", L"0"}, {L"All", L"0"}}),
    };
    for (const Settings& settings : combinations) {
        const std::wstring document = BuildDocument(settings);
        std::set<std::wstring> seen;
        for (const std::wstring& id : IdsIn(document)) EXPECT_TRUE(seen.insert(id).second) << "id twice: " << id;
        EXPECT_GT(seen.size(), 100u);
    }
}

// Ids of our own, without the numbered separators, which differ between the copies.
std::vector<std::wstring> NamedIds(const std::wstring& text)
{
    std::vector<std::wstring> named;
    for (const std::wstring& id : IdsIn(text))
        if (id.rfind(L"msep", 0) != 0 && id.rfind(L"sep", 0) != 0) named.push_back(id);
    return named;
}

TEST(Ids, TheAllCopyIsTheMenuBarWithPrefixedIds)
{
    const std::wstring document = BuildDocument();
    const std::size_t copyStart = document.find(L"<menu id=\"AllB30002\"");
    const std::size_t copyEnd = document.find(L"<button id=\"sep001\"");
    const std::size_t barEnd = document.find(L"</box>");
    std::vector<std::wstring> copy = NamedIds(document.substr(copyStart, copyEnd - copyStart));
    for (std::wstring& id : copy) {
        EXPECT_EQ(id.rfind(L"All", 0), 0u) << id;
        id.erase(0, 3);
    }
    EXPECT_EQ(copy, NamedIds(document.substr(copyEnd, barEnd - copyEnd)));
    for (const std::wstring& id : IdsIn(document.substr(copyEnd))) EXPECT_NE(id.rfind(L"All", 0), 0u) << id;
}

TEST(ToolbarRows, KeepTheirExactTexts)
{
    const std::wstring document = BuildDocument();
    const std::wstring standard = Between(document, L"<box id=\"boxNew2\"", L"</box>");
    const std::wstring formatting = Between(document, L"<box id=\"boxNew3\"", L"</box>");
    EXPECT_TRUE(StartsWith(standard, LR"(<box id="boxNew2" boxStyle="horizontal"><buttonGroup id="btnGr001"><control idMso="FileNew" showLabel="false"/>)"));
    EXPECT_NE(standard.find(L"<control idMso=\"FileSaveAsExcel97_2003\" screentip=\"Save as \u2026  Excel 97-2003 WorkBook\" showLabel=\"false\"/></buttonGroup>"),
              std::wstring::npos);
    EXPECT_EQ(CountOf(standard, L"screentip=\"Save"), 1u);
    EXPECT_NE(standard.find(LR"(<control idMso="PageSetupPageDialog" showLabel="false"/></buttonGroup><buttonGroup id="btnGr004"><control idMso="Spelling")"),
              std::wstring::npos)
        << "no separator between printing and proofing";
    EXPECT_NE(standard.find(LR"(<control idMso="AutoSumMenu" showLabel="false"/><menu id="BRB30005" screentip="Function Library" imageMso="FunctionWizard" tag = "BRB30005"><control idMso="AutoSumMenu"/>)"),
              std::wstring::npos);
    EXPECT_NE(standard.find(LR"(<menu id="BRM30007" screentip="Comments" imageMso="ReviewNewComment" tag = "BRM30007"><control idMso="ReviewNewComment" label="New comment"/>)"),
              std::wstring::npos);
    EXPECT_NE(standard.find(LR"(</menu><menu id="B3000235" imageMso="TraceError" screentip="Formula auditing"><control idMso="TracePrecedents"/>)"),
              std::wstring::npos);
    EXPECT_TRUE(StartsWith(formatting, LR"(<box id="boxNew3" boxStyle="horizontal"><comboBox idMso="Font"/><comboBox idMso="FontSize"/><buttonGroup id=)"));
    EXPECT_NE(formatting.find(LR"(<control idMso="BordersGallery" showLabel="false"/><control idMso="DecimalsIncrease" showLabel="false"/><control idMso="DecimalsDecrease" showLabel="false"/><control idMso="CellFillColorPicker")"),
              std::wstring::npos);
    EXPECT_NE(formatting.find(LR"(enabled="false"/><comboBox idMso="NumberFormatGallery"/><buttonGroup)"), std::wstring::npos);
    EXPECT_EQ(CountOf(formatting, L"screentip"), 0u);
    EXPECT_EQ(CountOf(formatting, L"label=\"  \""), 0u);
}

TEST(Failures, ABadValueFailsTheBuildOnlyWhereItIsRead)
{
    // Tab keys are read only while hiding is on.
    EXPECT_EQ(BuildDocument({{L"Home", L"abc"}, {L"Developer", L""}}), BuildDocument());
    EXPECT_EQ(BuildDocument({{L"Classic", L"0"}, {L"Left", L"abc"}}), L"");
    EXPECT_EQ(BuildDocument({{L"Classic", L"abc"}}, L"Calc"), L"");

    const std::pair<Settings, const wchar_t*> failing[] = {
        {{{L"Hide built-in Tabs", L"1"}, {L"Formulas", L"abc"}}, L"Formulas"},
        {{{L"Hide built-in Tabs", L"1"}, {L"Home", L""}}, L"Home"},
        {{{L"Hide built-in Tabs", L"1"}, {L"Home", L"1e400"}}, L"Home"},
        {{{L"Hide built-in Tabs", L"1"}, {L"Home", L"2e9"}, {L"Page Layout", L"2e9"}}, L"Page Layout"},
        {{{L"Hide built-in Tabs", L"yes"}}, L"Hide built-in Tabs"},
        {{{L"Classic", L"1,0"}}, L"Classic"},
        {{{L"Classic", L"3e9"}}, L"Classic"},
        {{{L"Left", L"true"}}, L"Left"},
        {{{L"All", L"-"}}, L"All"},
    };
    for (const auto& [settings, key] : failing) {
        try {
            const std::wstring document = BuildDocument(settings);
            ADD_FAILURE() << "built a document of " << document.size() << " characters despite " << key;
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Key(), key);
        }
    }
}

TEST(Failures, TheBuilderStaysUsableAndEveryCallStartsAfresh)
{
    InMemorySettingsStore store;
    test::TestHost host;
    RibbonBuilder builder(store, host);
    const std::wstring first = builder.GetRibbonXML();
    EXPECT_EQ(builder.GetRibbonXML(), first);

    store.SaveSetting(kSettingsApplication, kSettingsSection, L"Left", L"abc");
    EXPECT_THROW(builder.GetRibbonXML(), SettingValueError);
    host.FailNextCalls(true);
    EXPECT_THROW(builder.GetRibbonXML(), std::runtime_error);
    host.FailNextCalls(false);
    store.SaveSetting(kSettingsApplication, kSettingsSection, L"Left", L"1");
    EXPECT_EQ(builder.GetRibbonXML(), first) << "a failed call must not leave its counters or text behind";

    store.SaveSetting(kSettingsApplication, kSettingsSection, L"All", L"0");
    EXPECT_EQ(builder.GetRibbonXML(), BuildDocument({{L"All", L"0"}}));
}

} // namespace
} // namespace cornice
