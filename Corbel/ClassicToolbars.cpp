#include "ClassicToolbars.h"

#include "RibbonEntry.h"

#include <iterator>

namespace cornice {
namespace {

// The Standard row's spacers are two blanks wide, the Formatting row's one.
constexpr std::wstring_view kStandardGap = L"  ";
constexpr std::wstring_view kFormattingGap = L" ";

constexpr RibbonEntry kStandardToolbar[] = {
    ButtonGroup(),
        Icon(L"FileNew"),
        Icon(L"FileOpen"),
        Icon(L"FileSave"),
        Icon(L"FileSaveAsExcel97_2003", LabelId::SaveAsExcel97_2003),
    EndButtonGroup(),
    SeparatorButton(kStandardGap),
    ButtonGroup(),
        Icon(L"FilePermission"),
        Icon(L"FileSendAsAttachment"),
    EndButtonGroup(),
    SeparatorButton(kStandardGap),
    ButtonGroup(),
        Icon(L"FilePrint"),
        Icon(L"FilePrintPreview"),
        Icon(L"PageSetupPageDialog"),
    EndButtonGroup(),
    ButtonGroup(),
        Icon(L"Spelling"),
        Icon(L"ResearchPane"),
    EndButtonGroup(),
    SeparatorButton(kStandardGap),
    ButtonGroup(),
        Icon(L"Cut"),
        Icon(L"Copy"),
        Icon(L"Paste"),
        Icon(L"FormatPainter"),
        Icon(L"Undo"),
        Icon(L"Repeat"),
    EndButtonGroup(),
    SeparatorButton(kStandardGap),
    ButtonGroup(),
        Icon(L"HyperlinkInsert"),
        Icon(L"AutoSumMenu"),
        Submenu(LabelId::FunctionLibrary, LR"(<menu id="BRB30005" screentip="{}" imageMso="FunctionWizard" tag = "BRB30005">)"),
            Entries(kFunctionLibraryEntries),
        EndSubmenu(),
    EndButtonGroup(),
    SeparatorButton(kStandardGap),
    ButtonGroup(),
        Icon(L"SortAscendingExcel"),
        Icon(L"SortDescendingExcel"),
        Icon(L"Filter"),
    EndButtonGroup(),
    SeparatorButton(kStandardGap),
    ButtonGroup(),
        Icon(L"ChartTypeAllInsertDialog"),
        Icon(L"ShapesInsertGallery"),
        Icon(L"TableInsertExcel"),
        Submenu(LabelId::Comments, LR"(<menu id="BRM30007" screentip="{}" imageMso="ReviewNewComment" tag = "BRM30007">)"),
            Entries(kCommentsEntries),
        EndSubmenu(),
        Submenu(LabelId::FormulaAuditing, LR"(<menu id="B3000235" imageMso="TraceError" screentip="{}">)"),
            Entries(kFormulaAuditingEntries),
        EndSubmenu(),
    EndButtonGroup(),
};

constexpr RibbonEntry kFormattingToolbar[] = {
    ComboBox(L"Font"),
    ComboBox(L"FontSize"),
    ButtonGroup(),
        Icon(L"Bold"),
        Icon(L"Italic"),
        Icon(L"Underline"),
        Icon(L"AlignLeft"),
        Icon(L"AlignMiddleExcel"),
        Icon(L"AlignRight"),
        Icon(L"MergeCenter"),
        Icon(L"WrapText"),
    EndButtonGroup(),
    SeparatorButton(kFormattingGap),
    ComboBox(L"NumberFormatGallery"),
    ButtonGroup(),
        Icon(L"AccountingFormatMenu"),
        Icon(L"PercentStyle"),
        Icon(L"DecimalsIncrease"),
        Icon(L"DecimalsDecrease"),
    EndButtonGroup(),
    SeparatorButton(kFormattingGap),
    ButtonGroup(),
        Icon(L"IndentIncreaseExcel"),
        Icon(L"IndentDecreaseExcel"),
        Icon(L"BordersGallery"),
        Icon(L"DecimalsIncrease"),
        Icon(L"DecimalsDecrease"),
        Icon(L"CellFillColorPicker"),
        Icon(L"FontColorPicker"),
    EndButtonGroup(),
    SeparatorButton(kFormattingGap),
    ButtonGroup(),
        Icon(L"FormatCellsMenu"),
        Icon(L"ZoomClassic"),
        Icon(L"Help"),
    EndButtonGroup(),
};

} // namespace

void AddStandardToolbar(RibbonDocument& document, const RibbonLabels& labels)
{
    document.Append(LR"(<box id="boxNew2" boxStyle="horizontal">)");
    AppendEntries(document, kStandardToolbar, labels);
    document.Append(L"</box>");
}

void AddFormattingToolbar(RibbonDocument& document, const RibbonLabels& labels)
{
    document.Append(LR"(<box id="boxNew3" boxStyle="horizontal">)");
    AppendEntries(document, kFormattingToolbar, labels);
    document.Append(L"</box>");
}

void VisitToolbarControls(const ControlVisitor& visit)
{
    std::vector<LabelId> menus;
    VisitControls(kStandardToolbar, std::size(kStandardToolbar), menus, visit);
    VisitControls(kFormattingToolbar, std::size(kFormattingToolbar), menus, visit);
}

} // namespace cornice
