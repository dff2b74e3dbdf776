// The Classic tab's own labels in the language of the user's Excel.
#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"
#include "RibbonLabels.h"
#include "RibbonTestSupport.h"

#include <gtest/gtest.h>

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

// Every shipped table names each label at most once, and every text fits into customUI.
TEST(RibbonTranslations, EveryTableIsComplete)
{
    const std::vector<int> languages = TranslatedLanguages();
    EXPECT_EQ(languages.size(), 8u) << "German, French, Spanish, Italian, Brazilian Portuguese, Russian, "
                                       "Japanese, Simplified Chinese";
    for (const int language : languages) {
        std::set<LabelId> seen;
        for (const auto& [id, text] : TranslationRows(language)) {
            EXPECT_TRUE(id != LabelId::None && id < LabelId::Count) << language;
            EXPECT_TRUE(seen.insert(id).second) << language << ": label " << static_cast<int>(id) << " twice";
            EXPECT_FALSE(text.empty()) << language;
            EXPECT_EQ(LabelFromExcel(text, ExcelText::Label), EscapeXml(text)) << language << ": label " << static_cast<int>(id)
                                                             << " is no usable label";
            EXPECT_NE(text, EnglishLabel(id)) << language << ": an English word needs no row";
        }
        EXPECT_FALSE(IsEnglishLanguage(language));
    }
}

} // namespace
} // namespace cornice
