// Every main combination of settings gives a document that Office's own schema accepts.
#include "CommandSearch.h"
#include "ControlCheck.h"
#include "ExcelPlaces.h"
#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"
#include "RibbonTestSupport.h"
#include "SettingKeys.h"
#include "Utf8.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <memory>
#include <set>
#include <string>

namespace cornice {
namespace {

class Schema {
public:
    Schema()
    {
        std::unique_ptr<xmlSchemaParserCtxt, decltype(&xmlSchemaFreeParserCtxt)> parser(
            xmlSchemaNewParserCtxt(CUSTOMUI_XSD), xmlSchemaFreeParserCtxt);
        schema_ = xmlSchemaParse(parser.get());
    }
    ~Schema() { xmlSchemaFree(schema_); }
    Schema(const Schema&) = delete;
    Schema& operator=(const Schema&) = delete;

    bool Loaded() const { return schema_ != nullptr; }

    // Empty when the document is well-formed and valid; otherwise libxml2's complaints.
    std::string Problems(const std::wstring& document)
    {
        problems_.clear();
        const std::string bytes = ToUtf8(document);
        std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> parsed(
            xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "ribbon.xml", "UTF-8",
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
            xmlFreeDoc);
        if (!parsed) return "not well-formed XML";
        std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> validator(
            xmlSchemaNewValidCtxt(schema_), xmlSchemaFreeValidCtxt);
        xmlSchemaSetValidStructuredErrors(validator.get(), &Schema::Collect, this);
        if (xmlSchemaValidateDoc(validator.get(), parsed.get()) != 0 && problems_.empty())
            problems_ = "invalid";
        return problems_;
    }

private:
    static void Collect(void* self, xmlErrorPtr error)
    {
        auto* schema = static_cast<Schema*>(self);
        if (schema->problems_.size() < 2000)
            schema->problems_ += "line " + std::to_string(error->line) + ": " + error->message;
    }

    xmlSchemaPtr schema_ = nullptr;
    std::string problems_;
};

TEST(RibbonSchema, EveryMainCombinationIsValidCustomUi)
{
    Schema schema;
    ASSERT_TRUE(schema.Loaded()) << CUSTOMUI_XSD;

    test::Settings everyTab = {{L"Hide built-in Tabs", L"1"}};
    for (const wchar_t* key : kTabKeys) everyTab.emplace_back(key, L"1");
    const test::Settings combinations[] = {
        {},
        {{L"All", L"0"}},
        {{L"Left", L"0"}},
        {{L"All", L"0"}, {L"Left", L"0"}},
        {{L"Classic", L"2"}},
        {{L"Hide built-in Tabs", L"1"}, {L"Home", L"1"}, {L"View", L"1"}},
        {{L"Hide built-in Tabs", L"1"}, {L"Home", L"1"}, {L"Page Layout", L"1"}, {L"Insert", L"1"},
         {L"Formulas", L"1"}, {L"Data", L"1"}, {L"Review", L"1"}, {L"View", L"1"}},
        everyTab,
        [&] { auto s = everyTab; s.emplace_back(L"All", L"0"); s.emplace_back(L"Left", L"0"); return s; }(),
    };
    for (const test::Settings& settings : combinations) {
        const std::wstring document = test::BuildDocument(settings);
        ASSERT_FALSE(document.empty());
        EXPECT_EQ(schema.Problems(document), "") << "settings: " << settings.size() << " values";
    }
}

// Excel's words may hold anything; written escaped, every menu title and label stays valid.
TEST(RibbonSchema, ExcelsWordsWithMarkupCharactersAreEscaped)
{
    Schema schema;
    ASSERT_TRUE(schema.Loaded());
    test::LocalisedHost excel(1031);
    for (int id = 30002; id <= 30011; ++id) excel.captions[id] = L"&A&&B <" + std::to_wstring(id) + L"> \"q\"";
    for (std::size_t i = 1; i < kLabelCount; ++i)
        if (const std::wstring_view idMso = ExcelWordOf(static_cast<LabelId>(i)).idMso; !idMso.empty())
            excel.labels[std::wstring(idMso)] = L"</menu><x a=\"&\">";
    InMemorySettingsStore store;
    const std::wstring document = RibbonBuilder(store, excel).GetRibbonXML();
    EXPECT_EQ(schema.Problems(document), "");
    EXPECT_NE(document.find(L"label=\"A&amp;B &lt;30007&gt; &quot;q&quot;\""), std::wstring::npos);
    EXPECT_NE(document.find(L"screentip=\"&lt;/menu&gt;&lt;x a=&quot;&amp;&quot;&gt;\""), std::wstring::npos);
}

// With "Tips", every Excel's controls carry supertips: Excel's descriptions and names, markup
// and line breaks included, stay valid in every release's document.
TEST(RibbonSchema, TipsOfEveryReleaseAreValidCustomUi)
{
    Schema schema;
    ASSERT_TRUE(schema.Loaded());
    for (const auto& [version, build] : {std::pair{L"15.0", 4569L}, {L"16.0", 4266L}, {L"16.0", 10827L}, {L"16.0", 0L}}) {
        test::LocalisedHost excel(1031);
        excel.version = version;
        excel.build = build;
        for (std::uint8_t number = 1; number <= PlaceNameCount(); ++number)
            excel.labels[std::wstring(PlaceNameId(number).begin(), PlaceNameId(number).end())] = L"</x> & \"y\"";
        for (const std::wstring& idMso : IdMsoOfEveryDocument())
            excel.supertips[idMso] = L"a\r\nb <c> & " + std::wstring(900, L'd');
        InMemorySettingsStore store;
        store.SaveSetting(kSettingsApplication, kSettingsSection, kTipsKey, L"1");
        const std::wstring document = RibbonBuilder(store, excel).GetRibbonXML();
        EXPECT_EQ(schema.Problems(document), "") << build;
        EXPECT_NE(document.find(L"&#13;"), std::wstring::npos);
    }
}

// The results menu's content is a document of its own (getContent's root element), with every
// kind of control it clones, Excel's words with markup, nothing found, and before any search.
TEST(RibbonSchema, CommandSearchResultsAreValidCustomUi)
{
    Schema schema;
    ASSERT_TRUE(schema.Loaded());
    test::LocalisedHost excel(1031);
    excel.labels[L"Camera"] = L"</menu> & \"x\"";
    CommandSearch search(PlaceList::Excel365, 1031, RibbonLabels::For(1031, &excel), &excel);
    std::set<std::wstring> elements;
    for (const wchar_t* words : {L"camera", L"zoom", L"save", L"gridlines", L"format", L"xyzzy"}) {
        const std::vector<SearchHit> hits = search.Find(words);
        for (const SearchHit& hit : hits) elements.insert(hit.element);
        const std::wstring menu = ResultsMenu(hits, 1031);
        EXPECT_EQ(schema.Problems(menu), "") << ToUtf8(menu);
    }
    EXPECT_EQ(elements, (std::set<std::wstring>{L"button", L"checkBox", L"control", L"gallery", L"menu", L"splitButton", L"toggleButton"}));
    EXPECT_EQ(schema.Problems(HintMenu(1041)), "");
}

// With "Search" the Classic tab ends with "Find a command", valid beside the tips and in every
// language of the product's texts, and the root asks for the ribbon's object.
TEST(RibbonSchema, TheSearchGroupIsValidCustomUi)
{
    Schema schema;
    ASSERT_TRUE(schema.Loaded());
    for (int language : {1033, 1031, 1049, 1041}) {
        test::LocalisedHost excel(language);
        InMemorySettingsStore store;
        store.SaveSetting(kSettingsApplication, kSettingsSection, kSearchKey, L"1");
        store.SaveSetting(kSettingsApplication, kSettingsSection, kTipsKey, L"1");
        const std::wstring document = RibbonBuilder(store, excel).GetRibbonXML();
        EXPECT_EQ(schema.Problems(document), "") << language;
        EXPECT_NE(document.find(L"onLoad=\"SearchRibbonLoaded\""), std::wstring::npos);
        const std::wstring group = L"<group id=\"CommandSearch\" label=\"" + std::wstring(SearchTextsFor(language).findCommand);
        EXPECT_NE(document.find(group), std::wstring::npos) << language;
        const std::wstring_view end = L"getContent=\"GetSearchResults\"/></group></tab></tabs></ribbon></customUI>";
        EXPECT_TRUE(document.size() > end.size() && document.compare(document.size() - end.size(), end.size(), end) == 0)
            << "the search is the tab's last group";
    }
}

TEST(RibbonSchema, ValidatorCatchesADuplicateId)
{
    Schema schema;
    ASSERT_TRUE(schema.Loaded());
    std::wstring document = test::BuildDocument({{L"All", L"0"}});
    const std::wstring second = L"<box id=\"boxNew2\"";
    document.replace(document.find(second), second.size(), L"<box id=\"boxNew1\"");
    EXPECT_NE(schema.Problems(document), "");
}

} // namespace
} // namespace cornice
