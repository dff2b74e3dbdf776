#include "ClassicMenus.h"

#include "RibbonEntry.h"

#include <iterator>

namespace cornice {
namespace {

constexpr RibbonEntry kFileMenu[] = {
    Control(L"FileNew"),
    Control(L"FileOpen"),
    Control(L"FileClose"),
    MenuSeparator(),
    Control(L"FileSave"),
    Control(L"FileSaveAsMenu"),
    Control(L"FileSaveAsExcel97_2003", LabelId::SaveAsExcel97_2003),
    Control(L"FileSaveAsWebPage"),
    Control(L"WindowSaveWorkspace"),
    MenuSeparator(),
    Submenu(LabelId::RestrictPermission, LR"(<menu id="BR3000234" label="{}" imageMso="FilePermissionView" tag = "BR3000234">)"),
        Control(L"FilePermissionUnrestricted"),
        Control(L"FilePermissionDoNotDistribute"),
        Control(L"FilePermissionRestrictAs"),
    EndSubmenu(),
    Control(L"FileCheckOut"),
    Control(L"FileCheckIn"),
    Control(L"FileVersionHistory"),
    MenuSeparator(),
    Control(L"WebPagePreview"),
    MenuSeparator(),
    Control(L"PageSetupPageDialog"),
    Control(L"PrintAreaMenu"),
    Control(L"FilePrintPreview"),
    Control(L"FilePrint"),
    MenuSeparator(),
    Control(L"FilePrepareMenu"),
    Control(L"FileSendMenu"),
    Control(L"MenuPublish"),
    Control(L"AdvancedFileProperties"),
    MenuSeparator(),
    Control(L"FileExit"),
};

constexpr RibbonEntry kEditMenu[] = {
    Control(L"Undo"),
    Control(L"Redo"),
    MenuSeparator(),
    Control(L"Cut"),
    Control(L"Copy"),
    Control(L"ShowClipboard"),
    Control(L"PasteMenu"),
    Control(L"PasteSpecialDialog"),
    Control(L"PasteAsHyperlink"),
    MenuSeparator(),
    Control(L"FillMenu"),
    Control(L"ClearMenu"),
    Control(L"TableDeleteRowsAndColumnsMenu"),
    Control(L"SheetMoveOrCopy"),
    MenuSeparator(),
    Control(L"FindDialogExcel"),
    Control(L"ReplaceDialog"),
    Control(L"GoTo"),
    MenuSeparator(),
    Control(L"SelectMenuExcel"),
    Control(L"ObjectFormatDialog"),
};

constexpr RibbonEntry kViewMenu[] = {
    Control(L"ViewNormalViewExcel"),
    Control(L"ViewPageLayoutView"),
    Control(L"ViewPageBreakPreviewView"),
    MenuSeparator(),
    Control(L"ViewFormulaBar"),
    Control(L"ViewMessageBar"),
    Control(L"ViewRulerExcel"),
    Control(L"ViewSheetGridlines", LabelId::ViewGridlines),
    Control(L"ViewSheetHeadings", LabelId::ViewHeadings),
    MenuSeparator(),
    Control(L"HeaderFooterInsert"),
    Control(L"ReviewShowAllComments"),
    MenuSeparator(),
    Control(L"ViewCustomViews"),
    Control(L"ViewFullScreenView"),
    Control(L"ZoomDialog"),
    Control(L"ZoomCurrent100"),
    Control(L"ZoomToSelection"),
    MenuSeparator(),
    Control(L"FileProperties"),
};

constexpr RibbonEntry kInsertMenu[] = {
    Control(L"CellsInsertDialog"),
    Control(L"SheetRowsInsert"),
    Control(L"SheetColumnsInsert"),
    Control(L"SheetInsert"),
    Control(L"ChartTypeAllInsertDialog"),
    Control(L"SymbolInsert"),
    MenuSeparator(),
    Control(L"PageBreakInsertExcel"),
    Submenu(LabelId::FunctionLibrary, LR"(<menu id="BR30005" label="{}" imageMso="FunctionWizard" tag = "BR30005">)"),
        Entries(kFunctionLibraryEntries),
    EndSubmenu(),
    Submenu(LabelId::Name, LR"(<menu id="BR30006" label="{}" imageMso="NameDefineMenu" tag = "BR30006">)"),
        Control(L"NameManager"),
        MenuSeparator(),
        Control(L"NameDefineMenu"),
        Control(L"NamePasteName"),
        Control(L"NameCreateFromSelection"),
        Control(L"NamesApply"),
        Control(L"NameUseInFormula"),
    EndSubmenu(),
    Submenu(LabelId::Comments, LR"(<menu id="BR30007" label="{}" imageMso="ReviewNewComment" tag = "BR30007">)"),
        Entries(kCommentsEntries),
    EndSubmenu(),
    MenuSeparator(),
    Submenu(LabelId::Picture, LR"(<menu id="BR30008" label="{}" imageMso="PictureInsertFromFile" tag = "BR30008">)"),
        Control(L"ClipArtInsert"),
        Control(L"PictureInsertFromFile"),
        Control(L"ShapesInsertGallery"),
        Control(L"WordArtInsertGallery"),
        Control(L"SmartArtInsert"),
    EndSubmenu(),
    Control(L"SmartArtInsert"),
    Control(L"OleObjectctInsert"),
    Control(L"HyperlinkInsert"),
    MenuSeparator(),
    Control(L"TableInsertExcel"),
    Control(L"SignatureLineInsertMenu"),
    Control(L"HyperlinkInsert"),
    Control(L"HeaderFooterInsert"),
};

constexpr RibbonEntry kFormatMenu[] = {
    Control(L"FormatCellsDialog"),
    Submenu(LabelId::Row, LR"(<menu id="FormatCellsDialog" label="{}" imageMso="FormatCellsDialog">)"),
        Control(L"RowHeight"),
        Control(L"RowHeightAutoFit"),
        Control(L"RowsHide"),
        Control(L"RowsUnhide"),
    EndSubmenu(),
    Submenu(LabelId::Column, LR"(<menu id="d656576" label="{}" imageMso="FormatCellsDialog">)"),
        Control(L"ColumnWidth"),
        Control(L"ColumnWidthAutoFit"),
        Control(L"ColumnsHide"),
        Control(L"ColumnsUnhide"),
        Control(L"ColumnWidthDefault"),
    EndSubmenu(),
    Submenu(LabelId::Sheet, LR"(<menu id="d356456" label="{}" imageMso="FormatCellsDialog">)"),
        Control(L"SheetRename"),
        Control(L"SheetHide"),
        Control(L"SheetUnhide"),
        Control(L"SheetBackground"),
        Control(L"SheetTabColorGallery"),
    EndSubmenu(),
    MenuSeparator(),
    Control(L"AutoFormatDialog"),
    Control(L"ConditionalFormattingMenu"),
    Control(L"FormatAsTableGallery"),
    Control(L"CellStylesGallery"),
    Control(L"StylesDialogClassic"),
    Control(L"PhoneticGuideMenu"),
    MenuSeparator(),
    Control(L"ThemesGallery"),
    Control(L"ThemeColorsGallery"),
    Control(L"ThemeFontsGallery"),
    Control(L"ThemeEffectsGallery"),
    MenuSeparator(),
    Submenu(LabelId::Arrange, LR"(<menu id="d366569" label="{}">)"),
        Control(L"ObjectBringToFrontMenu"),
        Control(L"ObjectSendToBackMenu"),
        Control(L"SelectionPane"),
        Control(L"ObjectAlignMenu"),
        Control(L"ObjectsGroupMenu"),
        Control(L"ObjectRotateGallery"),
    EndSubmenu(),
};

constexpr RibbonEntry kToolsMenu[] = {
    Control(L"Spelling"),
    Control(L"ResearchPane"),
    Submenu(LabelId::Proofing, LR"(<menu id="BR300081" label="{}" tag = "BR300081">)"),
        Control(L"Thesaurus"),
        Control(L"TranslationPane"),
    EndSubmenu(),
    Control(L"ErrorChecking"),
    MenuSeparator(),
    Control(L"FileCreateDocumentWorkspace"),
    Control(L"ReviewShareWorkbook"),
    Control(L"ReviewTrackChangesMenu"),
    Control(L"CompareAndMergeWorkbooks"),
    Control(L"ReviewProtectWorkbookMenu"),
    MenuSeparator(),
    Control(L"GoalSeek"),
    Control(L"ScenarioManager"),
    Submenu(LabelId::FormulaAuditing, LR"(<menu id="B30002351" imageMso="TraceError" label="{}" screentip="{}">)"),
        Entries(kFormulaAuditingEntries),
    EndSubmenu(),
    Control(L"FormulaAuditingMenu"),
    MenuSeparator(),
    Control(L"MenuMacros"),
    Control(L"AddInManager"),
    Control(L"FileAddDigitalSignature"),
    Control(L"ApplicationOptionsDialog"),
};

constexpr RibbonEntry kDataMenu[] = {
    Control(L"SortDialogClassic"),
    Submenu(LabelId::Filter, LR"(<menu id="dFilter" label="{}" imageMso="Filter">)"),
        Control(L"Filter"),
        Control(L"SortClear"),
        Control(L"AdvancedFilterDialog"),
    EndSubmenu(),
    Control(L"DataFormExcel"),
    Control(L"OutlineSubtotals"),
    Control(L"DataValidation"),
    MenuSeparator(),
    Control(L"WhatIfAnalysisMenu"),
    Control(L"ConvertTextToTable"),
    Control(L"RemoveDuplicates"),
    Control(L"Consolidate"),
    Submenu(LabelId::Calculation, LR"(<menu id="Calculation5736" label="{}">)"),
        Control(L"CalculationOptionsMenu"),
        Control(L"CalculateNow"),
        Control(L"CalculateSheet"),
    EndSubmenu(),
    Submenu(LabelId::GroupAndOutline, LR"(<menu id="OutlineSettings" label="{}" imageMso="OutlineSettings">)"),
        Control(L"OutlineHideDetail"),
        Control(L"OutlineShowDetail"),
        Control(L"OutlineGroup"),
        Control(L"OutlineUngroup"),
        Control(L"OutlineAuto"),
        Control(L"OutlineClear"),
        Control(L"OutlineSettings"),
    EndSubmenu(),
    MenuSeparator(),
    Control(L"PivotTableReport"),
    Submenu(LabelId::ImportExternalData, LR"(<menu id="GetExternalDataImportClassic" label="{}" imageMso="GetExternalDataImportClassic">)"),
        Control(L"GetExternalDataImportClassic"),
        Control(L"GetExternalDataFromWeb"),
        Control(L"DatabaseQueryNew"),
        Control(L"EditQuery"),
        Control(L"DataRangeProperties"),
        Control(L"QueryParameters"),
    EndSubmenu(),
    Submenu(LabelId::Connections, LR"(<menu id="Connections001" label="{}" imageMso="Connections">)"),
        Control(L"RefreshAllMenu"),
        Control(L"Connections"),
        Control(L"ConnectionProperties"),
        Control(L"EditLinks"),
    EndSubmenu(),
    Submenu(LabelId::List, LR"(<menu id="ListI97499" label="{}">)"),
        Control(L"TableInsertExcel"),
        Control(L"TableResize"),
        Control(L"TableStyleTotalsRow"),
        Control(L"TableConvertToRange"),
        Control(L"TableExportTableToSharePointList"),
        Control(L"TableOpenInBrowser"),
        Control(L"TableUnlinkExternalData"),
        Control(L"ListSynchronize"),
        Control(L"ChangesDiscardAndRefresh"),
    EndSubmenu(),
    Submenu(LabelId::Xml, LR"(<menu id="dGroupXML" label="{}" imageMso="GroupXML">)"),
        Control(L"XmlImport"),
        Control(L"XmlExport"),
        Control(L"XmlDataRefresh"),
        Control(L"XmlMapProperties"),
        Control(L"XmlExpansionPacksExcel"),
    EndSubmenu(),
    MenuSeparator(),
    Control(L"Refresh"),
};

constexpr RibbonEntry kWindowsMenu[] = {
    Control(L"WindowNew"),
    Control(L"WindowsArrangeAll"),
    Control(L"ViewSideBySide"),
    Control(L"WindowSideBySideSynchronousScrolling"),
    MenuSeparator(),
    Control(L"WindowResetPosition"),
    Control(L"WindowHide"),
    Control(L"WindowUnhide"),
    MenuSeparator(),
    Control(L"WindowSplitToggle"),
    Control(L"ViewFreezePanesGallery"),
    MenuSeparator(),
    Control(L"WindowSwitchWindowsMenuExcel"),
};

constexpr RibbonEntry kHelpMenu[] = {
    Control(L"Help"),
    MenuSeparator(),
    Control(L"ContactUs"),
    Control(L"CheckForUpdates"),
    Control(L"PrivacyOptionsDialog"),
    MenuSeparator(),
    Button(LR"(<button id="d24224025" label="Uninstall Cornice" screentip="You can uninstall using this option." onAction="Uninstall0"/>)"),
    MenuSeparator(),
    Button(LR"(<button id="d242242" label="About Cornice" onAction="ShowAbout0"/>)"),
};

struct ClassicMenu {
    LabelId title;
    std::wstring_view startTag; // as at level 1, the title written where it says {}
    const RibbonEntry* entries;
    std::size_t count;
};

template <std::size_t N>
constexpr ClassicMenu Menu(LabelId title, std::wstring_view startTag, const RibbonEntry (&entries)[N])
{
    return {title, startTag, entries, N};
}

// Data is menu 11, not 8: the ids are part of what users' ribbons already know.
constexpr ClassicMenu kMenuBar[] = {
    Menu(LabelId::MenuFile, LR"(<menu id="B30002" label="{}" tag = "B30002">)", kFileMenu),
    Menu(LabelId::MenuEdit, LR"(<menu id="B30003" label="{}" tag = "B30003">)", kEditMenu),
    Menu(LabelId::MenuView, LR"(<menu id="B30004" label="{}" tag = "B30004">)", kViewMenu),
    Menu(LabelId::MenuInsert, LR"(<menu id="B30005" label="{}" tag = "B30005">)", kInsertMenu),
    Menu(LabelId::MenuFormat, LR"(<menu id="B30006" label="{}" tag = "B30006">)", kFormatMenu),
    Menu(LabelId::MenuTools, LR"(<menu id="B30007" label="{}" tag = "B30007">)", kToolsMenu),
    Menu(LabelId::MenuData, LR"(<menu id="B30011" label="{}" tag = "B30011">)", kDataMenu),
    Menu(LabelId::MenuWindow, LR"(<menu id="B30009" label="{}" tag = "B30009">)", kWindowsMenu),
    Menu(LabelId::MenuHelp, LR"(<menu id="B30010" label="{}" tag = "B30010">)", kHelpMenu),
};

} // namespace

void AddMenus(RibbonDocument& document, MenuLevel Level, const RibbonLabels& labels)
{
    const std::wstring_view Prefix = Level == MenuLevel::MenuBar ? L"" : L"All";
    for (const ClassicMenu& menu : kMenuBar) {
        AppendWithIdPrefix(document, WithLabel(menu.startTag, labels.Text(menu.title)), Prefix);
        AppendEntries(document, menu.entries, menu.count, Prefix, labels);
        document.CloseMenu();
        const bool isLast = &menu == &kMenuBar[std::size(kMenuBar) - 1];
        if (Level == MenuLevel::MenuBar && !isLast) document.AddLabelSeparator(L" ");
    }
}

void VisitMenuControls(const ControlVisitor& visit)
{
    std::vector<LabelId> menus;
    for (const ClassicMenu& menu : kMenuBar) {
        menus.assign(1, menu.title);
        VisitControls(menu.entries, menu.count, menus, visit);
    }
}

} // namespace cornice
