// Excel's words, kept between starts: the record's text, and the add-in asking Excel only what
// the record of this Excel does not hold.
#include "ExcelTabNames.h"
#include "ExcelWordsRecord.h"
#include "InMemorySettingsStore.h"
#include "RememberedWords.h"
#include "RibbonBuilder.h"
#include "RibbonTestSupport.h"
#include "SearchSession.h"
#include "SettingKeys.h"
#include "ExcelTabs.h"
#include "TrellisText.h"

#include <gtest/gtest.h>

#include <map>

namespace cornice {
namespace {

using test::LocalisedHost;

ExcelWordsRecord Sample(std::wstring version = L"16.0", int language = 1031)
{
    ExcelWordsRecord record;
    record.excelVersion = std::move(version);
    record.language = language;
    record.words[{WordKind::MenuCaption, L"30002"}] = L"&Datei";
    record.words[{WordKind::Label, L"TabHome"}] = L"Start";
    record.words[{WordKind::Label, L"GroupXml"}] = std::nullopt;
    // What the separators and escapes of the text must carry through.
    record.words[{WordKind::Supertip, L"Filter"}] = std::wstring(L"a\tb\nc\rd\\t\\e") + L'\0' + L"\U0001F600 =!";
    record.words[{WordKind::Label, L"Empty"}] = L"";
    return record;
}

TEST(ExcelWordsRecord, ReadsBackWhatWasWritten)
{
    const ExcelWordsRecord record = Sample();
    const std::optional<ExcelWordsRecord> read = ParseWordsRecord(SerialiseWordsRecord(record));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->excelVersion, L"16.0");
    EXPECT_EQ(read->language, 1031);
    EXPECT_EQ(read->words, record.words);
    EXPECT_EQ(SerialiseWordsRecord(record).find(L'\0'), std::wstring::npos) << "REG_SZ carries no NUL";
}

// A record cut anywhere, or with any one character changed, reads as none.
TEST(ExcelWordsRecord, ADamagedOrPartialRecordReadsAsNone)
{
    const std::wstring text = SerialiseWordsRecord(Sample());
    for (std::size_t length = 0; length < text.size(); ++length)
        EXPECT_FALSE(ParseWordsRecord(text.substr(0, length))) << "cut at " << length;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::wstring changed = text;
        changed[i] = changed[i] == L'x' ? L'y' : L'x';
        EXPECT_FALSE(ParseWordsRecord(changed)) << "changed at " << i;
    }
    EXPECT_FALSE(ParseWordsRecord(text + L"\n"));
    std::wstring otherFormat = text;
    otherFormat.replace(0, 12, L"ExcelWords 2");
    EXPECT_FALSE(ParseWordsRecord(otherFormat));
}

class FakeMemory final : public ExcelWordsMemory {
public:
    std::wstring Recall(const std::wstring& version, int language) noexcept override
    {
        const auto found = kept.find({version, language});
        return found == kept.end() ? std::wstring() : found->second;
    }
    void Keep(const std::wstring& version, int language, const std::wstring& text) noexcept override
    {
        ++writes;
        if (!failWrites) kept[{version, language}] = text;
    }
    std::map<std::pair<std::wstring, int>, std::wstring> kept;
    int writes = 0;
    bool failWrites = false;
};

// An Excel that answers some questions and raises for the rest, as a real one does for an idMso
// it does not know.
LocalisedHost GermanExcel(int language = 1031)
{
    LocalisedHost excel(language);
    excel.captions[30002] = L"&Datei";
    excel.captions[30011] = L"Da&ten";
    excel.labels[L"GroupProofing"] = L"Dokumentpr\u00FCfung";
    excel.labels[L"TabHome"] = L"Start";
    excel.labels[L"TabDeveloper"] = L"Entwicklertools";
    return excel;
}

std::wstring Start(Host& excel, FakeMemory& memory)
{
    InMemorySettingsStore store;
    RibbonBuilder builder(store, excel, &memory);
    return builder.GetRibbonXML();
}

TEST(RememberedWords, AFirstStartAsksAndKeepsALaterStartAsksNothing)
{
    FakeMemory memory;
    LocalisedHost first = GermanExcel();
    const std::wstring document = Start(first, memory);
    EXPECT_GT(first.questions, 0);
    ASSERT_EQ(memory.kept.size(), 1u);
    const std::optional<ExcelWordsRecord> kept = ParseWordsRecord(memory.kept.begin()->second);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->excelVersion, L"16.0");
    EXPECT_EQ(kept->language, 1031);
    // The tabs the settings program names are asked too, answered or not.
    for (const wchar_t* tab : kTabIdMso) EXPECT_TRUE(kept->Find(WordKind::Label, tab)) << tab;
    EXPECT_EQ(*kept->Find(WordKind::Label, L"TabHome"), std::optional<std::wstring>(L"Start"));
    EXPECT_EQ(*kept->Find(WordKind::MenuCaption, L"30011"), std::optional<std::wstring>(L"Da&ten"));

    LocalisedHost later = GermanExcel();
    EXPECT_EQ(Start(later, memory), document);
    EXPECT_EQ(later.questions, 0);
    EXPECT_EQ(memory.writes, 1) << "nothing new, nothing written";
}

// "Tips": Excel's descriptions and the names of its tabs and groups join the record in English
// too, and a later start's tips ask Excel nothing.
TEST(RememberedWords, TipsAreAskedAtTheFirstStartOnlyInEveryLanguage)
{
    for (const int language : {1031, 1033}) {
        FakeMemory memory;
        std::wstring first;
        for (int start = 0; start < 2; ++start) {
            LocalisedHost excel = GermanExcel(language);
            excel.supertips[L"GoalSeek"] = L"Zielwert suchen";
            InMemorySettingsStore store;
            store.SaveSetting(kSettingsApplication, kSettingsSection, kTipsKey, L"1");
            const std::wstring document = RibbonBuilder(store, excel, &memory).GetRibbonXML();
            EXPECT_NE(document.find(L"Zielwert suchen"), std::wstring::npos) << language;
            if (start == 0) {
                EXPECT_GT(excel.questions, 200) << language;
                first = document;
            } else {
                EXPECT_EQ(excel.questions, 0) << language << ": a later start's tips asked Excel again";
                EXPECT_EQ(document, first) << language;
            }
        }
    }
}

TEST(RememberedWords, AnotherLanguageOrVersionIsAskedAndKeptBesideTheFirst)
{
    FakeMemory memory;
    LocalisedHost german = GermanExcel();
    Start(german, memory);

    LocalisedHost austrian = GermanExcel(3079);
    Start(austrian, memory);
    EXPECT_EQ(austrian.questions, german.questions);

    LocalisedHost newer = GermanExcel();
    newer.version = L"17.0";
    Start(newer, memory);
    EXPECT_EQ(newer.questions, german.questions);
    EXPECT_EQ(memory.kept.size(), 3u);

    // A record kept under the wrong name (another Excel's) is no answer for this one.
    memory.kept[{L"16.0", 1031}] = memory.kept[{L"17.0", 1031}];
    LocalisedHost misfiled = GermanExcel();
    Start(misfiled, memory);
    EXPECT_EQ(misfiled.questions, german.questions);
}

TEST(RememberedWords, ADamagedOrPartialRecordIsAskedAgainAndRewritten)
{
    FakeMemory memory;
    LocalisedHost first = GermanExcel();
    const std::wstring document = Start(first, memory);
    const std::wstring whole = memory.kept.begin()->second;

    memory.kept.begin()->second = whole.substr(0, whole.size() / 2);
    LocalisedHost afterDamage = GermanExcel();
    EXPECT_EQ(Start(afterDamage, memory), document);
    EXPECT_EQ(afterDamage.questions, first.questions);
    EXPECT_EQ(memory.kept.begin()->second, whole);

    // A whole record of fewer questions (an older add-in's): only the rest are asked.
    ExcelWordsRecord older = *ParseWordsRecord(whole);
    older.words.erase({WordKind::Label, L"TabDeveloper"});
    older.words.erase({WordKind::MenuCaption, L"30011"});
    memory.kept.begin()->second = SerialiseWordsRecord(older);
    LocalisedHost afterOlder = GermanExcel();
    EXPECT_EQ(Start(afterOlder, memory), document);
    EXPECT_EQ(afterOlder.questions, 2);
    EXPECT_EQ(memory.kept.begin()->second, whole);
}

TEST(RememberedWords, WhatCannotBeKeptCostsOnlyTheQuestions)
{
    FakeMemory memory;
    memory.failWrites = true;
    LocalisedHost first = GermanExcel();
    const std::wstring document = Start(first, memory);
    LocalisedHost second = GermanExcel();
    EXPECT_EQ(Start(second, memory), document);
    EXPECT_EQ(second.questions, first.questions);

    // An Excel that answers nothing (its command bars not ready) is not remembered as wordless;
    // one that cannot tell its version is asked as before.
    memory.failWrites = false;
    LocalisedHost raising = GermanExcel();
    raising.raise = true;
    Start(raising, memory);
    LocalisedHost unversioned = GermanExcel();
    unversioned.version.clear();
    EXPECT_EQ(Start(unversioned, memory), document);
    EXPECT_TRUE(memory.kept.empty());

    // English asks nothing and keeps nothing.
    LocalisedHost english(1033);
    Start(english, memory);
    EXPECT_EQ(english.questions, 0);
    EXPECT_TRUE(memory.kept.empty());
}

// "Search": nothing is asked until the first words; their labels join the record, and the next
// start's search asks Excel nothing and finds the same.
TEST(RememberedWords, TheSearchAsksAtItsFirstWordsAndALaterStartAsksNothing)
{
    LocalisedHost excel = GermanExcel();
    excel.captions[30007] = L"E&xtras";
    excel.labels[L"ApplicationOptionsDialog"] = L"Optionen";
    FakeMemory memory;
    std::wstring firstResults;
    for (int start = 0; start < 2; ++start) {
        excel.questions = 0;
        InMemorySettingsStore store;
        RibbonBuilder builder(store, excel, &memory);
        builder.GetRibbonXML();
        const int atStart = excel.questions;
        SearchSession session(excel, &memory);
        EXPECT_EQ(session.ResultsMenu().find(L"idMso"), std::wstring::npos) << "results before any search";
        EXPECT_EQ(excel.questions, atStart) << "the search asked Excel before the first words";
        session.Search(L"optionen extras", builder.Labels(), builder.Language());
        const std::wstring results = session.ResultsMenu();
        EXPECT_NE(results.find(L"idMso=\"ApplicationOptionsDialog\" label=\"Extras &gt; Optionen"), std::wstring::npos)
            << start;
        EXPECT_EQ(session.Words(), L"optionen extras");
        session.Search(L"  ", builder.Labels(), builder.Language());
        EXPECT_NE(session.ResultsMenu().find(L"id=\"SearchHint\""), std::wstring::npos) << "blank words are no search";
        session.Search(L"optionen extras", builder.Labels(), builder.Language());
        if (start == 0) {
            EXPECT_GT(excel.questions, atStart + 100) << "the first search asks for the release's labels";
            firstResults = results;
        } else {
            EXPECT_EQ(excel.questions, 0) << "a later start asked Excel again";
            EXPECT_EQ(results, firstResults);
        }
    }
}

TEST(ExcelWordsRecord, TheSettingsProgramTakesTheNewestExcelInItsLanguage)
{
    const std::vector<std::wstring> texts = {
        SerialiseWordsRecord(Sample(L"14.0", 1031)), SerialiseWordsRecord(Sample(L"16.0", 3079)),
        SerialiseWordsRecord(Sample(L"9.0", 1031)),  SerialiseWordsRecord(Sample(L"17.0", 1036)),
        L"damaged",
    };
    const std::optional<ExcelWordsRecord> german = RecordForTextLanguage(texts, 0x0407);
    ASSERT_TRUE(german);
    EXPECT_EQ(german->excelVersion, L"16.0");
    EXPECT_EQ(german->language, 3079);
    EXPECT_FALSE(RecordForTextLanguage(texts, 0x0411));
}

TEST(ExcelTabNames, TheBoxesTakeExcelsWordsAndTheLeftBoxNamesItsHomeTab)
{
    std::map<unsigned, std::wstring> texts = {
        {IDS_BOX_LEFT, L"Men\u00FCregisterkarten links von \u201EStart\u201C anzeigen"},
        {IDS_BOX_HOME, L"Start"},
        {IDS_BOX_DATA, L"Daten"},
        {IDS_BOX_VIEW, L"Ansicht"},
    };
    ExcelWordsRecord record = Sample();
    record.words[{WordKind::Label, L"TabHome"}] = L"Anfang";
    record.words[{WordKind::Label, L"TabReview"}] = L"Pr\u00FCfen & Freigeben";
    record.words[{WordKind::Label, L"TabData"}] = L"Da\nten"; // no caption: the table's word stays
    record.words[{WordKind::Label, L"TabView"}] = std::nullopt;
    NameTabsAsExcelDoes(texts, record);
    EXPECT_EQ(texts[IDS_BOX_HOME], L"Anfang");
    EXPECT_EQ(texts[IDS_BOX_LEFT], L"Men\u00FCregisterkarten links von \u201EAnfang\u201C anzeigen");
    EXPECT_EQ(texts[IDS_BOX_REVIEW], L"Pr\u00FCfen && Freigeben");
    EXPECT_EQ(texts[IDS_BOX_DATA], L"Daten");
    EXPECT_EQ(texts[IDS_BOX_VIEW], L"Ansicht");
    EXPECT_FALSE(texts.count(IDS_BOX_INSERT)) << "a tab the record does not hold keeps the table's text";
}

} // namespace
} // namespace cornice
