// The Classic tab's own labels in the language of the user's Excel.
#include "InMemorySettingsStore.h"
#include "LanguageChoice.h"
#include "RibbonBuilder.h"
#include "RibbonLabels.h"
#include "RibbonTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace cornice {
namespace {

using test::LocalisedHost;

constexpr ExcelText kCaption = ExcelText::MenuCaption;

TEST(LabelFromExcel, DropsACaptionsAcceleratorAndEscapesWhatRemains)
{
    EXPECT_EQ(LabelFromExcel(L"&Datei", kCaption), L"Datei");
    EXPECT_EQ(LabelFromExcel(L"E&xtras", kCaption), L"Extras");
    EXPECT_EQ(LabelFromExcel(L"\u30D5\u30A1\u30A4\u30EB(&F)", kCaption), L"\u30D5\u30A1\u30A4\u30EB");
    EXPECT_EQ(LabelFromExcel(L"Save && <Go> \"now\"", kCaption), L"Save &amp; &lt;Go&gt; &quot;now&quot;");
    EXPECT_EQ(LabelFromExcel(L"Sort & Filter (&F)", ExcelText::Label), L"Sort &amp; Filter (&amp;F)");
}

TEST(LabelFromExcel, RefusesWhatIsNoLabel)
{
    EXPECT_EQ(LabelFromExcel(L"", ExcelText::Label), L"");
    EXPECT_EQ(LabelFromExcel(L"&", kCaption), L"");
    EXPECT_EQ(LabelFromExcel(L"  ", ExcelText::Label), L"");
    EXPECT_EQ(LabelFromExcel(L"Da\x01tei", kCaption), L"");
    EXPECT_EQ(LabelFromExcel(L"Da\ntei", ExcelText::Label), L"");
    // The limit counts the escaped text: 1024 characters pass, one more does not.
    EXPECT_EQ(LabelFromExcel(std::wstring(1024, L'x'), kCaption).size(), 1024u);
    EXPECT_EQ(LabelFromExcel(std::wstring(1025, L'x'), kCaption), L"");
    EXPECT_EQ(LabelFromExcel(std::wstring(257, L'<'), ExcelText::Label), L"") << "257 x &lt; is 1028 characters";
}

TEST(RibbonLabels, AnEnglishExcelIsAskedNothing)
{
    for (const int english : {1033, 2057, 3081, 4105}) {
        LocalisedHost excel(english);
        excel.captions[30002] = L"&Datei";
        const RibbonLabels labels = RibbonLabels::For(english, &excel);
        EXPECT_TRUE(labels.IsEnglish());
        EXPECT_EQ(labels.Text(LabelId::MenuFile), L"File");
        EXPECT_EQ(excel.questions, 0) << english;
    }
}

TEST(RibbonLabels, ExcelsWordsComeFirstThenTheTableThenEnglish)
{
    LocalisedHost excel(1031);
    excel.captions[30007] = L"E&xtras";
    excel.labels[L"GroupProofing"] = L"Dokumentpr\u00FCfung";
    excel.labels[L"GroupXml"] = L""; // an odd answer falls through
    const RibbonLabels labels = RibbonLabels::For(1031, &excel);

    EXPECT_FALSE(labels.IsEnglish());
    EXPECT_EQ(labels.Text(LabelId::MenuTools), L"Extras");
    EXPECT_EQ(labels.Text(LabelId::Proofing), L"Dokumentpr\u00FCfung");
    for (std::size_t i = 1; i < kLabelCount; ++i) {
        const auto id = static_cast<LabelId>(i);
        if (id == LabelId::MenuTools || id == LabelId::Proofing) continue;
        const std::wstring_view table = TranslatedLabel(1031, id);
        EXPECT_EQ(labels.Text(id), table.empty() ? EnglishLabel(id) : table) << i;
    }
}

TEST(RibbonLabels, AnExcelThatRaisesGivesTheTableOrEnglish)
{
    LocalisedHost raising(1031);
    raising.raise = true;
    const RibbonLabels german = RibbonLabels::For(1031, &raising);
    EXPECT_GT(raising.questions, 0);
    EXPECT_EQ(german.Text(LabelId::MenuFile), TranslatedLabel(1031, LabelId::MenuFile));
    EXPECT_FALSE(TranslatedLabel(1031, LabelId::MenuFile).empty());

    LocalisedHost dutch(1043);
    dutch.raise = true;
    const RibbonLabels english = RibbonLabels::For(1043, &dutch);
    for (std::size_t i = 1; i < kLabelCount; ++i)
        EXPECT_EQ(english.Text(static_cast<LabelId>(i)), EnglishLabel(static_cast<LabelId>(i)));
    EXPECT_EQ(RibbonLabels::For(1043, nullptr).Text(LabelId::MenuHelp), L"Help");
}

TEST(RibbonLabels, ExcelIsAskedOncePerConnectionAndItsWordsReachBothCopiesOfTheMenus)
{
    LocalisedHost excel(1031);
    excel.captions[30007] = L"E&xtras";
    InMemorySettingsStore store;
    RibbonBuilder builder(store, excel);

    const std::wstring first = builder.GetRibbonXML();
    const int asked = excel.questions;
    EXPECT_GT(asked, 0);
    EXPECT_EQ(builder.GetRibbonXML(), first);
    EXPECT_EQ(excel.questions, asked);
    EXPECT_EQ(test::CountOf(first, L"<menu id=\"B30007\" label=\"Extras\""), 1u);
    EXPECT_EQ(test::CountOf(first, L"<menu id=\"AllB30007\" label=\"Extras\""), 1u);

    builder.ForgetLabels();
    excel.captions[30007] = L"&Werkzeuge";
    EXPECT_NE(builder.GetRibbonXML().find(L"label=\"Werkzeuge\""), std::wstring::npos);
    EXPECT_EQ(excel.questions, 2 * asked);
}

// Each menu title is asked by the id of the old worksheet menu bar's control, the ids that VBA
// code finds these menus by (Data is 30011, between Tools 30007 and Window 30009 lies 30008,
// the chart menu bar's Chart).
TEST(RibbonLabels, EveryMenuTitleIsAskedByItsCommandBarId)
{
    const std::pair<LabelId, int> menus[] = {
        {LabelId::MenuFile, 30002},   {LabelId::MenuEdit, 30003},  {LabelId::MenuView, 30004},
        {LabelId::MenuInsert, 30005}, {LabelId::MenuFormat, 30006}, {LabelId::MenuTools, 30007},
        {LabelId::MenuData, 30011},   {LabelId::MenuWindow, 30009}, {LabelId::MenuHelp, 30010},
    };
    LocalisedHost excel(1031);
    for (const auto& [id, control] : menus) excel.captions[control] = L"&Menu" + std::to_wstring(control);
    const RibbonLabels labels = RibbonLabels::For(1031, &excel);
    for (const auto& [id, control] : menus) EXPECT_EQ(labels.Text(id), L"Menu" + std::to_wstring(control));
}

// Every country's variant of a shipped language reaches that language's table: the table is
// chosen as the product's other texts are (TextLanguageFor).
TEST(RibbonTranslations, EveryVariantOfAShippedLanguageGetsItsTable)
{
    const std::pair<int, int> variants[] = {
        {3079, 1031}, {2055, 1031}, {4108, 1036}, {2058, 3082}, {1034, 3082},
        {2064, 1040}, {4100, 2052}, {0x0004, 2052},
    };
    for (const auto& [variant, table] : variants) {
        EXPECT_FALSE(TranslatedLabel(table, LabelId::ClassicTab).empty()) << table;
        EXPECT_EQ(TranslatedLabel(variant, LabelId::ClassicTab), TranslatedLabel(table, LabelId::ClassicTab)) << variant;
    }
    EXPECT_TRUE(TranslatedLabel(1028, LabelId::ClassicTab).empty()) << "Traditional Chinese is not shipped";
}

// Every shipped table names each label at most once, and every text fits into customUI.
TEST(RibbonTranslations, EveryTableIsComplete)
{
    // Keyed to the languages the product's other texts are in, English aside: a table under
    // another id is never reached.
    EXPECT_EQ(TranslatedLanguages(), std::vector<int>(kTextLanguages.begin() + 1, kTextLanguages.end()));
    const std::vector<int> languages = TranslatedLanguages();
    for (const int language : languages) {
        std::set<LabelId> seen;
        for (const auto& [id, text] : TranslationRows(language)) {
            EXPECT_TRUE(id != LabelId::None && id < LabelId::Count) << language;
            EXPECT_TRUE(seen.insert(id).second) << language << ": label " << static_cast<int>(id) << " twice";
            EXPECT_FALSE(text.empty()) << language;
            EXPECT_EQ(LabelFromExcel(text, ExcelText::Label), EscapeXml(text)) << language << ": label " << static_cast<int>(id)
                                                             << " is no usable label";
        }
        EXPECT_FALSE(IsEnglishLanguage(language));
        // Every label is translated or listed as left English, never both.
        const std::vector<LabelId> leftEnglish = LabelsLeftEnglish(language);
        for (std::size_t i = 1; i < kLabelCount; ++i) {
            const auto id = static_cast<LabelId>(i);
            const bool listed = std::find(leftEnglish.begin(), leftEnglish.end(), id) != leftEnglish.end();
            EXPECT_NE(TranslatedLabel(language, id).empty(), !listed) << language << ": label " << i;
        }
    }
}

} // namespace
} // namespace cornice
