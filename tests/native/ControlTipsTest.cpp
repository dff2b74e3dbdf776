// "Tips": where each release keeps the Classic tab's commands now, in the words of the user's Excel.
#include "ControlTips.h"
#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"
#include "RibbonTestSupport.h"
#include "SettingKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace cornice {
namespace {

using test::LocalisedHost;

std::wstring Document(LocalisedHost& excel, const wchar_t* tips = L"1")
{
    InMemorySettingsStore store;
    if (tips) store.SaveSetting(kSettingsApplication, kSettingsSection, kTipsKey, tips);
    return RibbonBuilder(store, excel).GetRibbonXML();
}

// The supertip of the first element for this idMso; "(none)" when it has none.
std::wstring TipIn(const std::wstring& document, const std::wstring& idMso)
{
    const std::wstring element = test::Between(document, L"idMso=\"" + idMso + L"\"", L"/>");
    const std::wstring attribute = L"supertip=\"";
    const std::size_t at = element.find(attribute);
    if (at == std::wstring::npos) return L"(none)";
    const std::size_t start = at + attribute.size();
    return element.substr(start, element.find(L'"', start) - start);
}

struct Release {
    const wchar_t* version;
    long build;
    PlaceList list;
    const wchar_t* goalSeekGroup; // Excel's word for it in the fixture
    const wchar_t* unknown;       // a Classic control the release does not know
};

class TipsOfARelease : public testing::TestWithParam<Release> {};

TEST_P(TipsOfARelease, NameTheReleasesPlaceInExcelsWords)
{
    const Release& release = GetParam();
    EXPECT_EQ(PlaceListFor(release.version, release.build), release.list);

    LocalisedHost excel(1033);
    excel.version = release.version;
    excel.build = release.build;
    // Words no table holds, so that they show where they come from.
    excel.labels = {{L"TabHome", L"HOME"}, {L"GroupClipboard", L"Clipboard!"}, {L"TabData", L"DATA"},
                    {L"GroupDataTools", L"Data Tools!"}, {L"GroupForecast", L"Forecast!"}};
    excel.supertips = {{L"Cut", L"Remove the selection."}, {L"DataFormExcel", L"Edit rows in a form."}};
    const std::wstring document = Document(excel);

    EXPECT_EQ(TipIn(document, L"Cut"), L"Remove the selection.&#13;&#13;Now on the ribbon: HOME &gt; Clipboard!");
    EXPECT_EQ(TipIn(document, L"GoalSeek"), std::wstring(L"Now on the ribbon: DATA &gt; ") + release.goalSeekGroup);
    EXPECT_EQ(TipIn(document, L"ApplicationOptionsDialog"), L"Now on the File tab");
    EXPECT_EQ(TipIn(document, L"DataFormExcel"),
              L"Edit rows in a form.&#13;&#13;Not on the ribbon: only here, or in 'Commands Not in the Ribbon' when "
              L"customising the ribbon");
    // A control in a table's contextual tab names the tab set, with the table's English where
    // Excel gives no word.
    EXPECT_EQ(TipIn(document, L"TableResize"), L"Now on the ribbon: Table Tools &gt; Design &gt; Properties");
    EXPECT_EQ(TipIn(document, L"FormulaAuditingMenu"), L"(none)");
    EXPECT_EQ(TipIn(document, release.unknown), L"(none)");
    EXPECT_FALSE(PlaceOf(release.list, release.unknown));
}

INSTANTIATE_TEST_SUITE_P(
    Releases, TipsOfARelease,
    testing::Values(Release{L"14.0", 7015, PlaceList::Excel2013, L"Data Tools!", L"FormulaAuditingMenu"},
                    Release{L"15.0", 4569, PlaceList::Excel2013, L"Data Tools!", L"FormulaAuditingMenu"},
                    Release{L"16.0", 4266, PlaceList::Excel2016, L"Forecast!", L"ResearchPane"},
                    Release{L"16.0", 10827, PlaceList::Excel2019, L"Forecast!", L"ResearchPane"},
                    Release{L"16.0", 17328, PlaceList::Excel365, L"Forecast!", L"ReviewShowInk"}));

TEST(Tips, GermanFromExcelsWordsWhenGivenFromTheTablesOtherwise)
{
    LocalisedHost excel(1031);
    excel.version = L"16.0";
    excel.labels = {{L"TabData", L"Daten"}};
    excel.supertips = {{L"GoalSeek", L"Zielwert\r\nsuchen"}};
    const std::wstring document = Document(excel);
    EXPECT_EQ(TipIn(document, L"GoalSeek"), L"Zielwert&#13;suchen&#13;&#13;Jetzt im Menüband: Daten &gt; Forecast");
    EXPECT_EQ(TipIn(document, L"FileSave"), L"Jetzt auf der Registerkarte „Datei“");

    // Excel silent: the product's word for a tab where Microsoft's pages gave one, else English.
    excel.raise = true;
    EXPECT_EQ(TipIn(Document(excel), L"GoalSeek"), L"Jetzt im Menüband: Data &gt; Forecast");
    EXPECT_EQ(TipIn(Document(excel), L"NameManager"), L"Jetzt im Menüband: Formeln &gt; Defined Names");
}

TEST(Tips, ExcelsWordsAreEscapedAndWhatIsNoTextOrTooLongIsLeftOut)
{
    LocalisedHost excel(1033);
    excel.labels = {{L"TabHome", L"<Home & \"more\">"}};
    excel.supertips = {{L"Cut", L"Cut\x01"}, {L"Copy", std::wstring(1000, L'&')}, {L"Paste", L"a < b"}};
    const std::wstring document = Document(excel);
    EXPECT_EQ(TipIn(document, L"Cut"), L"Now on the ribbon: &lt;Home &amp; &quot;more&quot;&gt; &gt; Clipboard");
    EXPECT_EQ(TipIn(document, L"Copy"), L"Now on the ribbon: &lt;Home &amp; &quot;more&quot;&gt; &gt; Clipboard");
    EXPECT_EQ(TipIn(document, L"Paste"), L"a &lt; b&#13;&#13;Now on the ribbon: &lt;Home &amp; &quot;more&quot;&gt; &gt; Clipboard");
}

TEST(Tips, OffByDefaultAsksNothingAndChangesNothing)
{
    LocalisedHost english(1033);
    const std::wstring without = test::BuildDocument();
    EXPECT_EQ(Document(english, nullptr), without);
    EXPECT_EQ(Document(english, L"0"), without);
    EXPECT_EQ(english.questions, 0);

    // On, Excel is asked once per connection, and the tips only add attributes.
    InMemorySettingsStore store;
    store.SaveSetting(kSettingsApplication, kSettingsSection, kTipsKey, L"1");
    RibbonBuilder builder(store, english);
    std::wstring with = builder.GetRibbonXML();
    const int asked = english.questions;
    EXPECT_GT(asked, 0);
    EXPECT_EQ(builder.GetRibbonXML(), with);
    EXPECT_EQ(english.questions, asked);
    for (std::size_t at; (at = with.find(L" supertip=\"")) != std::wstring::npos;)
        with.erase(at, with.find(L'"', at + 11) + 1 - at);
    EXPECT_EQ(with, without);
}

} // namespace
} // namespace cornice
