// Finding a command by the words a user remembers, in English and in a German Excel's words.
#include "CommandSearch.h"
#include "CommandTables.h"
#include "RibbonTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace cornice {
namespace {

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// The first hits' idMso, for messages.
std::string Top(const std::vector<SearchHit>& hits)
{
    std::string top;
    for (std::size_t i = 0; i < hits.size() && i < 5; ++i) top += Narrow(hits[i].idMso) + " ";
    return top;
}

// The place of the command among the hits; hits.size() when it is not there.
std::size_t RankOf(const std::vector<SearchHit>& hits, std::wstring_view idMso)
{
    return std::find_if(hits.begin(), hits.end(), [&](const SearchHit& hit) { return hit.idMso == idMso; }) - hits.begin();
}

TEST(CommandSearch, EnglishWordsFindTheRememberedCommandInTheTopThree)
{
    CommandSearch search(PlaceList::Excel365, 1033, RibbonLabels(), nullptr);
    const struct {
        const wchar_t* words;
        const wchar_t* idMso;
    } remembered[] = {
        {L"Tools Options", L"ApplicationOptionsDialog"},
        {L"options TOOLS", L"ApplicationOptionsDialog"}, // any order, any case
        {L"too opt", L"ApplicationOptionsDialog"},       // word beginnings
        {L"Tools > Options\u2026", L"ApplicationOptionsDialog"},
        {L"data form", L"DataFormExcel"},
        {L"format c\u00E9lls", L"FormatCellsDialog"}, // accents
        {L"zoom", L"ZoomDialog"},
        {L"sort", L"SortDialogClassic"},
        {L"camera", L"Camera"}, // on no tab of the ribbon
    };
    for (const auto& [words, idMso] : remembered) {
        const std::vector<SearchHit> hits = search.Find(words);
        EXPECT_LT(RankOf(hits, idMso), 3u) << Narrow(words) << ": " << Top(hits);
    }

    const std::vector<SearchHit> hits = search.Find(L"tools options");
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].element, L"button");
    EXPECT_EQ(hits[0].label, L"Tools > Application Options"); // no English Excel to ask
    const std::vector<SearchHit> zoom = search.Find(L"zoom");
    EXPECT_EQ(zoom[RankOf(zoom, L"ZoomClassic")].element, L"gallery");
    EXPECT_EQ(zoom[RankOf(zoom, L"ZoomToSelection")].element, L"toggleButton");

    // At most the limit, each command once although the Classic tab holds some twice.
    const std::vector<SearchHit> many = search.Find(L"e");
    EXPECT_EQ(many.size(), 20u);
    const std::vector<SearchHit> inserts = search.Find(L"insert", 500);
    for (const SearchHit& hit : inserts)
        EXPECT_EQ(std::count_if(inserts.begin(), inserts.end(), [&](const SearchHit& other) { return other.idMso == hit.idMso; }), 1)
            << Narrow(hit.idMso);
    EXPECT_LT(RankOf(inserts, L"HyperlinkInsert"), inserts.size());
    EXPECT_TRUE(search.Find(L" > \u2026 ").empty());
}

TEST(CommandSearch, AGermanExcelsWordsAreAskedAtTheFirstSearchOnly)
{
    test::LocalisedHost excel(1031);
    excel.captions = {{30005, L"&Einf\u00FCgen"}, {30007, L"E&xtras"}};
    excel.labels = {{L"ApplicationOptionsDialog", L"Optionen"}, {L"CellsInsertDialog", L"Zellen"},
                    {L"Camera", L"Kamera & <Bild> \"neu\""}};
    const RibbonLabels labels = RibbonLabels::For(1031, &excel);
    excel.questions = 0;

    CommandSearch search(PlaceList::Excel365, 1031, labels, &excel);
    EXPECT_EQ(excel.questions, 0);
    std::vector<SearchHit> hits = search.Find(L"optionen extras");
    EXPECT_GT(excel.questions, 1000);
    const int asked = excel.questions;
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].idMso, L"ApplicationOptionsDialog");
    EXPECT_EQ(hits[0].label, L"Extras > Optionen");

    hits = search.Find(L"ZELLEN einfugen");
    EXPECT_LT(RankOf(hits, L"CellsInsertDialog"), 3u) << Top(hits);
    EXPECT_LT(RankOf(search.Find(L"tools options"), L"ApplicationOptionsDialog"), 3u); // English too
    EXPECT_LT(RankOf(search.Find(L"extras options"), L"ApplicationOptionsDialog"), 3u); // both at once
    hits = search.Find(L"kamera");
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].label, L"Kamera & <Bild> \"neu\"");
    EXPECT_EQ(excel.questions, asked);

    // Excel's words reach the results menu escaped.
    const std::wstring menu = ResultsMenu(hits, 1031);
    EXPECT_NE(menu.find(LR"(<button idMso="Camera" label="Kamera &amp; &lt;Bild&gt; &quot;neu&quot;"/>)"), std::wstring::npos)
        << Narrow(menu);
}

// Cyrillic capitals fold to small letters; Japanese is written without spaces between words, so
// its words match anywhere in a word.
TEST(CommandSearch, RussianAndJapaneseWords)
{
    const struct {
        int language;
        const wchar_t* label;
        const wchar_t* words;
    } excels[] = {
        {1049, L"\u0424\u043E\u0440\u043C\u0430\u0442 \u044F\u0447\u0435\u0435\u043A", L"\u042F\u0427\u0415\u0415\u041A"},
        {1041, L"\u30BB\u30EB\u306E\u66F8\u5F0F\u8A2D\u5B9A", L"\u66F8\u5F0F"},
    };
    for (const auto& [language, label, words] : excels) {
        test::LocalisedHost excel(language);
        excel.labels = {{L"FormatCellsDialog", label}};
        CommandSearch search(PlaceList::Excel365, language, RibbonLabels::For(language, &excel), &excel);
        const std::vector<SearchHit> hits = search.Find(words);
        EXPECT_LT(RankOf(hits, L"FormatCellsDialog"), 3u) << language << ": " << Top(hits);
    }
}

TEST(CommandSearch, NoMatchGivesOneDisabledEntryInTheUsersLanguage)
{
    CommandSearch search(PlaceList::Excel365, 1033, RibbonLabels(), nullptr);
    const std::vector<SearchHit> none = search.Find(L"xyzzy");
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(ResultsMenu(none, 1033),
              LR"(<menu xmlns="http://schemas.microsoft.com/office/2006/01/customui">)"
              LR"(<button id="SearchNoMatch" enabled="false" label="No command found"/></menu>)");
    EXPECT_NE(ResultsMenu(none, 0x0C07).find(L"label=\"Kein Befehl gefunden\""), std::wstring::npos); // Austrian German
    EXPECT_NE(HintMenu(1033).find(L"label=\"Type words, then press Enter\""), std::wstring::npos);
    EXPECT_EQ(SearchTextsFor(1041).editKeytip, L"FC");
    EXPECT_EQ(SearchTextsFor(0x0813).findCommand, L"Find a command"); // Dutch: English
}

TEST(CommandSearch, OffersOnlyWhatTheRunningReleasesListKnows)
{
    CommandSearch excel2013(PlaceList::Excel2013, 1033, RibbonLabels(), nullptr);
    CommandSearch excel365(PlaceList::Excel365, 1033, RibbonLabels(), nullptr);
    // Research Pane is on the Tools menu and in 2013's list, not in 365's.
    EXPECT_LT(RankOf(excel2013.Find(L"research"), L"ResearchPane"), 3u);
    const std::vector<SearchHit> research = excel365.Find(L"research");
    EXPECT_EQ(RankOf(research, L"ResearchPane"), research.size());
    // Threaded comments came after 2013.
    EXPECT_LT(RankOf(excel365.Find(L"threaded comment"), L"NewThreadedComment"), 3u);
    EXPECT_TRUE(excel2013.Find(L"threaded").empty());
    // Excel 2010 and 2007 are placed by 2013's list; a command 2013 added (Timeline) is none of
    // theirs. 2010 is offered what its own identifiers know; 2007 the Classic tab's entries.
    EXPECT_LT(RankOf(excel2013.Find(L"timeline"), L"InsertTimeline"), 3u);
    CommandSearch excel2010(PlaceList::Excel2013, 1033, RibbonLabels(), nullptr, SearchScopeFor(L"14.0"));
    CommandSearch excel2007(PlaceList::Excel2013, 1033, RibbonLabels(), nullptr, SearchScopeFor(L"12.0"));
    EXPECT_EQ(RankOf(excel2010.Find(L"timeline", 500), L"InsertTimeline"), excel2010.Find(L"timeline", 500).size());
    EXPECT_LT(RankOf(excel2010.Find(L"sparkline column"), L"SparklineColumnInsert"), 3u); // new in 2010
    EXPECT_TRUE(excel2007.Find(L"sparkline").empty());
    EXPECT_LT(RankOf(excel2007.Find(L"data form"), L"DataFormExcel"), 3u);
    // The lists type Format Painter "control", like edit boxes a menu cannot hold; it is offered.
    const std::vector<SearchHit> painter = excel2013.Find(L"format painter");
    ASSERT_LT(RankOf(painter, L"FormatPainter"), 3u);
    EXPECT_NE(ResultsMenu(painter, 1033).find(L"<control idMso=\"FormatPainter\""), std::wstring::npos);
    const std::vector<SearchHit> tableName = excel365.Find(L"table name", 500);
    EXPECT_EQ(RankOf(tableName, L"TableName"), tableName.size()); // an edit box
}

TEST(CommandTables, IdMsoWordsAndTheListsTypes)
{
    const auto words = [](std::wstring_view idMso) {
        std::wstring joined;
        for (const std::wstring_view word : IdMsoWords(idMso)) (joined += word) += L'|';
        return joined;
    };
    EXPECT_EQ(words(L"FileSaveAsExcel97_2003"), L"File|Save|As|Excel|97|2003|");
    EXPECT_EQ(words(L"XmlImport"), L"Xml|Import|");
    EXPECT_EQ(words(L"ExportToPDFOrXPS"), L"Export|To|PDF|Or|XPS|");
    EXPECT_EQ(words(L"_3DBevelOptionsDialog"), L"3|D|Bevel|Options|Dialog|");

    const auto typeIn = [](PlaceList list, std::wstring_view idMso) {
        const std::vector<Command> commands = CommandsOf(list);
        const auto found = std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return c.idMso == idMso; });
        return found == commands.end() ? std::wstring(L"none") : std::wstring(ElementOf(found->type));
    };
    // A toggle button since 2019, a button in 2016's list, unknown to 2013's.
    EXPECT_EQ(typeIn(PlaceList::Excel2016, L"Collaborate"), L"button");
    EXPECT_EQ(typeIn(PlaceList::Excel365, L"Collaborate"), L"toggleButton");
    EXPECT_EQ(typeIn(PlaceList::Excel2013, L"Collaborate"), L"none");
    EXPECT_EQ(typeIn(PlaceList::Excel365, L"PageSetupPageDialog"), L"button"); // a dialog box launcher too
    EXPECT_EQ(typeIn(PlaceList::Excel365, L"FileSaveAsMenu"), L"splitButton");
}

} // namespace
} // namespace cornice
