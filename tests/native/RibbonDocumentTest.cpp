#include "ClassicMenus.h"
#include "RibbonDocument.h"
#include "RibbonTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace cornice {
namespace {

using test::CountOf;

TEST(Emitters, WriteTheirElementsExactly)
{
    struct Case {
        void (*emit)(RibbonDocument&);
        const wchar_t* expected;
    };
    const Case cases[] = {
        {[](RibbonDocument& d) { d.AddControl(L"FileNew", L""); }, LR"(<control idMso="FileNew"/>)"},
        {[](RibbonDocument& d) { d.AddControl(L"FileNew", L"New"); }, LR"(<control idMso="FileNew" label="New"/>)"},
        {[](RibbonDocument& d) { d.AddControl(L"X", L" "); }, LR"(<control idMso="X" label=" "/>)"},
        {[](RibbonDocument& d) { d.AddControlNoLabel(L"Bold", L""); }, LR"(<control idMso="Bold" showLabel="false"/>)"},
        {[](RibbonDocument& d) { d.AddControlNoLabel(L"Bold", L"Tip"); },
         LR"(<control idMso="Bold" screentip="Tip" showLabel="false"/>)"},
        {[](RibbonDocument& d) { d.AddComboBox(L"Font"); }, LR"(<comboBox idMso="Font"/>)"},
        {[](RibbonDocument& d) { d.OpenButtonGroup(); }, LR"(<buttonGroup id="btnGr001">)"},
        {[](RibbonDocument& d) { d.CloseButtonGroup(); }, L"</buttonGroup>"},
        {[](RibbonDocument& d) { d.AddLabelSeparator(L" "); }, LR"(<button id="sep001" label=" " enabled="false"/>)"},
        {[](RibbonDocument& d) { d.AddLabelSeparator(L""); }, LR"(<button id="sep001" label="" enabled="false"/>)"},
        {[](RibbonDocument& d) { d.AddMenuSeparator(); }, LR"(<menuSeparator id="msep001d"/>)"},
        {[](RibbonDocument& d) { d.CloseMenu(); }, L"</menu>"},
    };
    for (const Case& c : cases) {
        RibbonDocument document;
        c.emit(document);
        EXPECT_EQ(document.Text(), c.expected);
    }
}

TEST(Emitters, NumberEachKindOnItsOwnWithoutPaddingBeyondThePrefix)
{
    RibbonDocument document;
    for (int i = 0; i < 9; ++i) document.OpenButtonGroup();
    document.AddLabelSeparator(L" ");
    document.OpenButtonGroup();
    document.AddMenuSeparator();
    document.AddLabelSeparator(L" ");
    const std::wstring& text = document.Text();
    EXPECT_NE(text.find(LR"(<buttonGroup id="btnGr009"><button id="sep001")"), std::wstring::npos);
    EXPECT_NE(text.find(LR"(<buttonGroup id="btnGr0010"><menuSeparator id="msep001d"/><button id="sep002")"),
              std::wstring::npos)
        << "a button group between two separator buttons must not move their numbers";
}

TEST(Emitters, ResetStartsNumberingAgainButKeepsTheText)
{
    RibbonDocument document;
    document.OpenButtonGroup();
    document.AddMenuSeparator();
    document.ResetCounters();
    document.OpenButtonGroup();
    document.AddMenuSeparator();
    EXPECT_EQ(CountOf(document.Text(), L"btnGr001\""), 2u);
    EXPECT_EQ(CountOf(document.Text(), L"msep001d"), 2u);
}

TEST(Emitters, ACounterRefusesToWrapInsteadOfRepeatingIds)
{
    std::int32_t counter = std::numeric_limits<std::int32_t>::max() - 1;
    EXPECT_EQ(NextElementNumber(counter), std::numeric_limits<std::int32_t>::max());
    EXPECT_THROW(NextElementNumber(counter), std::overflow_error);
    EXPECT_EQ(counter, std::numeric_limits<std::int32_t>::max());
}

TEST(RibbonTemplates, ReplayNumbersElementsExactlyAsTheEmittersWould)
{
    const RibbonTemplate menuBar = RibbonDocument::Record([](RibbonDocument& d) { AddMenus(d, MenuLevel::MenuBar, RibbonLabels()); });
    RibbonDocument direct, replayed;
    for (RibbonDocument* document : {&direct, &replayed}) {
        document->AddMenuSeparator(); // counters already moved by earlier elements
        document->OpenButtonGroup();
        document->AddLabelSeparator(L" ");
    }
    AddMenus(direct, MenuLevel::MenuBar, RibbonLabels());
    replayed.AppendTemplate(menuBar);
    replayed.AppendTemplate(menuBar);
    AddMenus(direct, MenuLevel::MenuBar, RibbonLabels());
    EXPECT_EQ(replayed.Text(), direct.Text());
    EXPECT_NE(direct.Text().find(L"msep0073d"), std::wstring::npos);
}

std::wstring Menus(MenuLevel level)
{
    RibbonDocument document;
    AddMenus(document, level, RibbonLabels());
    return document.Text();
}

TEST(AddMenus, PrefixesOnlyIdsOfOurOwnAtLevelTwo)
{
    const std::wstring level1 = Menus(MenuLevel::MenuBar);
    const std::wstring level2 = Menus(MenuLevel::InsideAll);
    EXPECT_EQ(level1.rfind(LR"(<menu id="B30002" label="File" tag = "B30002">)", 0), 0u);
    EXPECT_EQ(level2.rfind(LR"(<menu id="AllB30002" label="File" tag = "B30002">)", 0), 0u);
    EXPECT_NE(level2.find(LR"(<menu id="AllBR3000234" label="Restrict Permission" imageMso="FilePermissionView" tag = "BR3000234">)"),
              std::wstring::npos);
    EXPECT_NE(level2.find(LR"(<menu id="AllFormatCellsDialog" label="Row" imageMso="FormatCellsDialog">)"),
              std::wstring::npos);
    EXPECT_NE(level2.find(LR"(<menu id="AllB30010" label="Help" tag = "B30010">)"), std::wstring::npos);
    EXPECT_NE(level2.find(LR"(<button id="Alld24224025" label="Uninstall Cornice" screentip="You can uninstall using this option." onAction="Uninstall0"/>)"),
              std::wstring::npos);
    EXPECT_NE(level2.find(LR"(<button id="Alld242242" label="About Cornice" onAction="ShowAbout0"/>)"),
              std::wstring::npos);
    // The built-in control of the same name as the Row submenu keeps its identifier.
    EXPECT_NE(level2.find(LR"(<control idMso="FormatCellsDialog"/>)"), std::wstring::npos);

    for (const std::wstring& id : test::IdsIn(level2)) {
        if (id.rfind(L"msep", 0) != 0) {
            EXPECT_EQ(id.rfind(L"All", 0), 0u) << "id " << id;
        }
    }
    for (const std::wstring& id : test::IdsIn(level1)) EXPECT_NE(id.rfind(L"All", 0), 0u) << "id " << id;
}

TEST(AddMenus, SeparatesNeighbouringMenusOnlyInTheMenuBar)
{
    const std::wstring level1 = Menus(MenuLevel::MenuBar);
    EXPECT_EQ(CountOf(level1, L"<button id=\"sep00"), 8u);
    EXPECT_EQ(CountOf(Menus(MenuLevel::InsideAll), L"<button id=\"sep00"), 0u);
    // One after each of the first eight menus, none after Help, which ends the bar.
    EXPECT_NE(level1.find(LR"(</menu><button id="sep001" label=" " enabled="false"/><menu id="B30003" label="Edit")"),
              std::wstring::npos);
    EXPECT_NE(level1.find(LR"(</menu><button id="sep008" label=" " enabled="false"/><menu id="B30010" label="Help")"),
              std::wstring::npos);
    const std::wstring end = LR"(onAction="ShowAbout0"/></menu>)";
    EXPECT_EQ(level1.substr(level1.size() - end.size()), end);
}

TEST(AddMenus, EachMenuHasItsNumberOfMenuSeparators)
{
    // File 6, Edit 4, View 4, Insert 5, Format 3, Tools 5, Data 3, Windows 3, Help 3: 36.
    const std::wstring level1 = Menus(MenuLevel::MenuBar);
    const std::pair<const wchar_t*, std::size_t> menus[] = {
        {L"B30002", 6}, {L"B30003", 4}, {L"B30004", 4}, {L"B30005", 5}, {L"B30006", 3},
        {L"B30007", 5}, {L"B30011", 3}, {L"B30009", 3}, {L"B30010", 3},
    };
    std::size_t total = 0;
    for (std::size_t i = 0; i < std::size(menus); ++i) {
        const std::wstring start = L"<menu id=\"" + std::wstring(menus[i].first) + L"\"";
        const std::size_t from = level1.find(start);
        const std::size_t to = i + 1 < std::size(menus)
                                   ? level1.find(L"<menu id=\"" + std::wstring(menus[i + 1].first) + L"\"")
                                   : level1.size();
        ASSERT_NE(from, std::wstring::npos) << menus[i].first;
        EXPECT_EQ(CountOf(level1.substr(from, to - from), L"<menuSeparator"), menus[i].second)
            << "menu " << menus[i].first;
        total += menus[i].second;
    }
    EXPECT_EQ(CountOf(level1, L"<menuSeparator"), total);
    // The last one of all stands between the Uninstall and About buttons.
    EXPECT_NE(level1.find(LR"(onAction="Uninstall0"/><menuSeparator id="msep0036d"/><button id="d242242")"),
              std::wstring::npos);
}

TEST(AddMenus, KeepsTheLabelsAndSpellingsExcelKnows)
{
    const std::wstring level1 = Menus(MenuLevel::MenuBar);
    for (const wchar_t* fragment : {
             L"<control idMso=\"FileSaveAsExcel97_2003\" label=\"Save as \u2026  Excel 97-2003 WorkBook\"/>",
             LR"(<control idMso="ViewSheetGridlines" label="View Gridlines"/><control idMso="ViewSheetHeadings" label="View Headings"/>)",
             LR"(<control idMso="ReviewShowAllComments"/>)",
             LR"(<control idMso="ReviewShowAllComments" label="Show All comments"/>)",
             LR"(<control idMso="OleObjectctInsert"/>)",
             LR"(<control idMso="ListSynchronize"/>)",
             LR"(<control idMso="ObjectSendToBackMenu"/>)",
             LR"(<control idMso="FunctionsRecentlyUsedtInsertGallery"/>)",
             LR"(<menu id="B30011" label="Data" tag = "B30011">)",
             LR"(<menu id="B30009" label="Windows" tag = "B30009">)",
             LR"(<menu id="B30002351" imageMso="TraceError" label="Formula auditing" screentip="Formula auditing">)",
             LR"(<menu id="d366569" label="Arrange">)",
             LR"(<control idMso="ObjectRotateGallery"/></menu></menu>)",
             LR"(<control idMso="SmartArtInsert"/></menu><control idMso="SmartArtInsert"/>)",
         })
        EXPECT_NE(level1.find(fragment), std::wstring::npos) << "missing " << fragment;
    EXPECT_EQ(CountOf(level1, LR"(<control idMso="HyperlinkInsert"/>)"), 2u);
}

} // namespace
} // namespace cornice
