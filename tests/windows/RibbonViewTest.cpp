// excel-host's view of a ribbon tab (--show, --show-text): which rows are menu bars, what each
// entry is called and does, where the gaps go; for a small document and for the add-in's own.
#include "RibbonTestSupport.h"
#include "RibbonView.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

namespace cornice::host {
namespace {

using Kind = ViewItem::Kind;

std::vector<std::wstring> Labels(const std::vector<ViewItem>& items)
{
    std::vector<std::wstring> labels;
    for (const ViewItem& item : items) labels.push_back(item.kind == Kind::Separator ? L"|" : item.label);
    return labels;
}

constexpr const wchar_t* kSmallDocument =
    L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"><ribbon><tabs>"
    L"<tab idMso=\"TabHome\" visible=\"false\"/>"
    L"<tab id=\"T\" label=\"Classic\"><group id=\"G\" label=\"Tools panel\">"
    L"<box id=\"b1\"><menu id=\"m1\" label=\"File\"><control idMso=\"FileNew\"/><menuSeparator id=\"s1\"/>"
    L"<menuSeparator id=\"s2\"/><button id=\"x\" label=\"Mine &amp; yours\" onAction=\"Go\"/><menuSeparator id=\"s3\"/></menu>"
    L"<button id=\"sp\" label=\" \" enabled=\"false\"/>"
    L"<menu id=\"m2\" label=\"Help\"><menu id=\"m3\" screentip=\"Deeper\"><control idMso=\"Copy\"/></menu>"
    L"<button id=\"off\" label=\"Later\" enabled=\"false\"/></menu></box>"
    L"<box id=\"b2\"><buttonGroup id=\"g1\"><control idMso=\"FileSave\"/>"
    L"<menu id=\"m4\" imageMso=\"FunctionWizard\"><control idMso=\"AutoSumMenu\"/></menu></buttonGroup>"
    L"<button id=\"sp2\" label=\"  \" enabled=\"false\"/><buttonGroup id=\"g2\"><toggleButton idMso=\"Bold\"/></buttonGroup>"
    L"<comboBox idMso=\"Font\"/></box>"
    L"</group></tab></tabs></ribbon></customUI>";

TEST(RibbonView, MenuBarsToolbarsAndTheirEntries)
{
    const std::vector<TabView> tabs = ViewTabs(markup::Parse(kSmallDocument));
    ASSERT_EQ(tabs.size(), 1u) << "Excel's own Home tab is changed, not added";
    EXPECT_EQ(tabs[0].label, L"Classic");
    EXPECT_EQ(tabs[0].groups, std::vector<std::wstring>{L"Tools panel"});
    ASSERT_EQ(tabs[0].rows.size(), 2u);

    const ViewRow& bar = tabs[0].rows[0];
    EXPECT_TRUE(bar.menuBar);
    EXPECT_EQ(Labels(bar.items), (std::vector<std::wstring>{L"File", L"Help"})) << "the spacer between menus goes";
    const ViewItem& file = bar.items[0];
    EXPECT_EQ(Labels(file.children), (std::vector<std::wstring>{L"File New", L"|", L"Mine & yours"}))
        << "one line for two separators, none at the end";
    EXPECT_EQ(file.children[0].idMso, L"FileNew");
    EXPECT_TRUE(file.children[0].onAction.empty());
    EXPECT_EQ(file.children[2].id, L"x");
    EXPECT_EQ(file.children[2].onAction, L"Go");
    const ViewItem& help = bar.items[1];
    ASSERT_EQ(help.children.size(), 2u);
    EXPECT_EQ(help.children[0].kind, Kind::Menu);
    EXPECT_EQ(help.children[0].label, L"Deeper") << "a menu without a label is named by its screentip";
    EXPECT_EQ(Labels(help.children[0].children), std::vector<std::wstring>{L"Copy"});
    EXPECT_FALSE(help.children[1].enabled);

    const ViewRow& toolbar = tabs[0].rows[1];
    EXPECT_FALSE(toolbar.menuBar);
    EXPECT_EQ(Labels(toolbar.items),
              (std::vector<std::wstring>{L"File Save", L"Function Wizard", L"|", L"Bold", L"|", L"Font"}))
        << "a gap between groups of buttons, one only where a spacer stands there too";
    EXPECT_EQ(toolbar.items[1].kind, Kind::Menu);
    EXPECT_EQ(toolbar.items[3].kind, Kind::Command);
    EXPECT_EQ(toolbar.items[5].kind, Kind::Field);
}

TEST(RibbonView, TextForATerminal)
{
    const std::wstring text = TextView(ViewTabs(markup::Parse(kSmallDocument)));
    EXPECT_EQ(text, L"Tab \"Classic\", group \"Tools panel\"\n"
                    L"  Menu bar: File, Help\n"
                    L"    File: File New | Mine & yours (calls Go)\n"
                    L"    Help: Deeper \u25B8, Later (off)\n"
                    L"      Deeper: Copy\n"
                    L"  Toolbar 1: File Save, Function Wizard \u25B8 | Bold | [Font]\n"
                    L"    Function Wizard: Auto Sum Menu\n");

    // Narrow: wrapped under the first entry; a break at a separator takes the bar along.
    EXPECT_EQ(TextView(ViewTabs(markup::Parse(kSmallDocument)), 30),
              L"Tab \"Classic\", group \"Tools panel\"\n"
              L"  Menu bar: File, Help\n"
              L"    File: File New\n"
              L"          | Mine & yours (calls Go)\n"
              L"    Help: Deeper \u25B8,\n"
              L"          Later (off)\n"
              L"      Deeper: Copy\n"
              L"  Toolbar 1: File Save,\n"
              L"             Function Wizard \u25B8\n"
              L"             | Bold | [Font]\n"
              L"    Function Wizard: Auto Sum Menu\n");
}

TEST(RibbonView, ExcelsControlsNamedInWords)
{
    EXPECT_EQ(WordsOf(L"FileSaveAs"), L"File Save As");
    EXPECT_EQ(WordsOf(L"FileSaveAsExcel97_2003"), L"File Save As Excel 97 2003");
    EXPECT_EQ(WordsOf(L"PDFExport"), L"PDF Export");
    EXPECT_EQ(WordsOf(L"ZoomCurrent100"), L"Zoom Current 100");
    EXPECT_EQ(WordsOf(L"Bold"), L"Bold");
    EXPECT_EQ(WordsOf(L""), L"");
}

// The search group: an edit box and a menu whose entries the add-in gives when it opens.
TEST(RibbonView, EditBoxAndDynamicMenu)
{
    const std::vector<TabView> tabs = ViewTabs(markup::Parse(
        L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" onLoad=\"Loaded\"><ribbon><tabs>"
        L"<tab id=\"T\" label=\"Classic\"><group id=\"G\" label=\"Find\">"
        L"<editBox id=\"W\" label=\"Find a command\" showLabel=\"false\" keytip=\"FC\" sizeString=\"WWW\" "
        L"getText=\"GetWords\" onChange=\"Changed\"/>"
        L"<dynamicMenu id=\"R\" label=\"Results\" keytip=\"FR\" getContent=\"GetResults\"/>"
        L"</group></tab></tabs></ribbon></customUI>"));
    ASSERT_EQ(tabs.size(), 1u);
    ASSERT_EQ(tabs[0].rows.size(), 1u);
    const std::vector<ViewItem>& items = tabs[0].rows[0].items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, Kind::EditBox);
    EXPECT_EQ(items[0].getText, L"GetWords");
    EXPECT_EQ(items[0].onChange, L"Changed");
    EXPECT_EQ(items[0].sizeString, L"WWW");
    EXPECT_EQ(items[1].kind, Kind::Menu);
    EXPECT_EQ(items[1].getContent, L"GetResults");
    EXPECT_EQ(items[1].keytip, L"FR");
    EXPECT_FALSE(tabs[0].rows[0].menuBar) << "an edit box is no menu";
    EXPECT_EQ(TextView(tabs), L"Tab \"Classic\", group \"Find\"\n"
                              L"  Toolbar 1: [Find a command] (keytip FC) (text from GetWords) (Enter calls Changed),\n"
                              L"             Results \u25B8 (keytip FR) (entries from GetResults)\n")
        << "no line for the dynamic menu's entries, which only its opening gives";
}

TEST(RibbonView, DynamicMenuContent)
{
    const std::vector<ViewItem> items = DynamicMenuItems(
        L"<menu xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">"
        L"<button idMso=\"ApplicationOptionsDialog\" label=\"Tools &gt; Options\u2026\"/><menuSeparator id=\"s\"/>"
        L"<gallery idMso=\"TableStylesGallery\"/><toggleButton idMso=\"Bold\" label=\"&quot;B&quot; &amp; more\"/>"
        L"<splitButton idMso=\"PasteMenu\"><button idMso=\"Paste\"/><menu idMso=\"PasteGallery\"/></splitButton>"
        L"<button id=\"SearchNoMatch\" label=\"No command found\" enabled=\"false\"/></menu>");
    ASSERT_EQ(Labels(items), (std::vector<std::wstring>{L"Tools > Options\u2026", L"|", L"Table Styles Gallery",
                                                         L"\"B\" & more", L"Paste Menu", L"No command found"}));
    EXPECT_EQ(items[0].idMso, L"ApplicationOptionsDialog");
    EXPECT_EQ(items[4].kind, Kind::Menu);
    EXPECT_TRUE(items[0].enabled);
    EXPECT_FALSE(items[5].enabled);
    EXPECT_EQ(items[5].id, L"SearchNoMatch");

    EXPECT_TRUE(DynamicMenuItems(L"<menu xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\"/>").empty());
    for (const wchar_t* wrong : {L"<menu><button id=\"a\" label=\"b\"/></menu>",
                                 L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"/>",
                                 L"<menu xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"><button>", L""})
        EXPECT_THROW(DynamicMenuItems(wrong), std::runtime_error) << std::string(wrong, wrong + std::wcslen(wrong));
}

// Every entry has a name; no menu or row starts or ends with a separator or has two in a row.
void CheckTidy(const std::vector<ViewItem>& items, const std::wstring& where)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool separator = items[i].kind == Kind::Separator;
        EXPECT_FALSE(separator && (i == 0 || i + 1 == items.size() || items[i - 1].kind == Kind::Separator))
            << "stray separator in " << std::string(where.begin(), where.end()) << " at " << i;
        if (!separator) {
            EXPECT_FALSE(items[i].label.empty()) << "an entry without a name in " << std::string(where.begin(), where.end());
        }
        CheckTidy(items[i].children, items[i].label);
    }
}

TEST(RibbonView, TheAddInsClassicTab)
{
    for (const bool all : {true, false}) {
        const std::wstring document = test::BuildDocument({{L"All", all ? L"1" : L"0"}});
        const std::vector<TabView> tabs = ViewTabs(markup::Parse(document));
        ASSERT_EQ(tabs.size(), 1u);
        EXPECT_EQ(tabs[0].label, L"Classic");
        ASSERT_EQ(tabs[0].rows.size(), 3u) << "the menu bar, the Standard and the Formatting toolbar";
        const ViewRow& bar = tabs[0].rows[0];
        EXPECT_TRUE(bar.menuBar);
        std::vector<std::wstring> menus = {L"File", L"Edit", L"View", L"Insert", L"Format",
                                           L"Tools", L"Data", L"Windows", L"Help"};
        if (all) menus.insert(menus.begin(), L"All");
        EXPECT_EQ(Labels(bar.items), menus);
        EXPECT_FALSE(tabs[0].rows[1].menuBar);
        EXPECT_FALSE(tabs[0].rows[2].menuBar);
        for (const ViewRow& row : tabs[0].rows) CheckTidy(row.items, L"a row");

        // The add-in's own two entries end the Help menu, each after a line, and call it back.
        const std::vector<ViewItem>& help = bar.items.back().children;
        ASSERT_GE(help.size(), 4u);
        const std::vector<std::wstring> labels = Labels(help);
        EXPECT_EQ(std::vector<std::wstring>(labels.end() - 4, labels.end()),
                  (std::vector<std::wstring>{L"|", L"Uninstall Cornice", L"|", L"About Cornice"}));
        EXPECT_EQ(help[help.size() - 3].onAction, L"Uninstall0");
        EXPECT_EQ(help[help.size() - 3].id, L"d24224025");
        EXPECT_EQ(help.back().onAction, L"ShowAbout0");
        EXPECT_EQ(help.back().id, L"d242242");

        // The "All" menu repeats the bar; the text shows each menu's entries once.
        const std::wstring text = TextView(tabs);
        EXPECT_EQ(test::CountOf(text, L"Uninstall Cornice (calls Uninstall0)"), 1u);
    }
}

} // namespace
} // namespace cornice::host
