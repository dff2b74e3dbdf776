#include "RibbonLabels.h"
#include "Trace.h"

#include <exception>

namespace cornice {
namespace {

struct LabelRow {
    LabelId id;
    std::wstring_view english;
    ExcelWordFor excel;
};

// In LabelId order. The menu titles are the controls of Excel's old worksheet menu bar, which
// Excel 2007 to 2016 still keep as command bars (File 30002 ... Data 30011); the other words
// are the labels of the built-in ribbon controls and groups that mean the same.
constexpr LabelRow kLabels[] = {
    {LabelId::None, L"", {0, L""}},
    {LabelId::MenuFile, L"File", {30002, L""}},
    {LabelId::MenuEdit, L"Edit", {30003, L""}},
    {LabelId::MenuView, L"View", {30004, L""}},
    {LabelId::MenuInsert, L"Insert", {30005, L""}},
    {LabelId::MenuFormat, L"Format", {30006, L""}},
    {LabelId::MenuTools, L"Tools", {30007, L""}},
    {LabelId::MenuData, L"Data", {30011, L""}},
    {LabelId::MenuWindow, L"Windows", {30009, L""}},
    {LabelId::MenuHelp, L"Help", {30010, L""}},
    {LabelId::ClassicTab, L"Classic", {0, L""}},
    {LabelId::ToolsPanel, L"Tools panel", {0, L""}},
    {LabelId::AllMenus, L"All", {0, L""}},
    {LabelId::RestrictPermission, L"Restrict Permission", {0, L"FilePermissionRestrictMenu"}},
    {LabelId::FunctionLibrary, L"Function Library", {0, L"GroupFunctionLibrary"}},
    {LabelId::Name, L"Name", {0, L"GroupNamedCells"}},
    {LabelId::Comments, L"Comments", {0, L"GroupComments"}},
    {LabelId::Picture, L"Picture", {0, L"PictureInsertFromFile"}},
    {LabelId::Row, L"Row", {0, L""}},
    {LabelId::Column, L"Column", {0, L""}},
    {LabelId::Sheet, L"Sheet", {0, L""}},
    {LabelId::Arrange, L"Arrange", {0, L"GroupArrange"}},
    {LabelId::Proofing, L"Proofing", {0, L"GroupProofing"}},
    {LabelId::FormulaAuditing, L"Formula auditing", {0, L"GroupFormulaAuditing"}},
    {LabelId::Filter, L"Filter", {0, L"Filter"}},
    {LabelId::Calculation, L"Calculation", {0, L"GroupCalculation"}},
    {LabelId::GroupAndOutline, L"Group and Outline", {0, L"GroupOutline"}},
    {LabelId::ImportExternalData, L"Import External Data", {0, L"GroupGetExternalData"}},
    {LabelId::Connections, L"Connections", {0, L"GroupConnections"}},
    {LabelId::List, L"List", {0, L""}},
    {LabelId::Xml, L"XML", {0, L"GroupXml"}},
    // One blank, the ellipsis character, two blanks, and WorkBook with a capital B.
    {LabelId::SaveAsExcel97_2003, L"Save as \u2026  Excel 97-2003 WorkBook", {0, L"FileSaveAsExcel97_2003"}},
    {LabelId::ViewGridlines, L"View Gridlines", {0, L"ViewSheetGridlines"}},
    {LabelId::ViewHeadings, L"View Headings", {0, L"ViewSheetHeadings"}},
    {LabelId::NewComment, L"New comment", {0, L"ReviewNewComment"}},
    {LabelId::DeleteComment, L"Delete", {0, L"ReviewDeleteComment"}},
    {LabelId::PreviousComment, L"Previous", {0, L"ReviewPreviousComment"}},
    {LabelId::NextComment, L"Next", {0, L"ReviewNextComment"}},
    {LabelId::ShowOrHideComment, L"Show/Hide comment", {0, L"ReviewShowOrHideComment"}},
    {LabelId::ShowAllComments, L"Show All comments", {0, L"ReviewShowAllComments"}},
    {LabelId::ShowInk, L"Show Ink", {0, L"ReviewShowInk"}},
};
static_assert(std::size(kLabels) == kLabelCount, "one row per label id");

constexpr bool InLabelIdOrder()
{
    for (std::size_t i = 0; i < kLabelCount; ++i)
        if (static_cast<std::size_t>(kLabels[i].id) != i) return false;
    return true;
}
static_assert(InLabelIdOrder(), "rows in LabelId order");

const LabelRow& RowOf(LabelId id) { return kLabels[static_cast<std::size_t>(id)]; }

// Excel's answer as a label, or empty when Excel has none.
std::wstring LabelOrNothing(const std::optional<std::wstring>& answer, ExcelText kind) noexcept
{
    try {
        return answer ? LabelFromExcel(*answer, kind) : std::wstring();
    } catch (...) {
        TraceCaughtException("Excel's words");
        return {};
    }
}

template <typename Ask>
std::optional<std::wstring> AnswerIfAny(Ask&& ask) noexcept
{
    try {
        return ask();
    } catch (...) {
        TraceCaughtException("Excel's words");
        return std::nullopt;
    }
}

} // namespace

std::optional<std::wstring> ExcelWords::MenuCaptionIfAny(int controlId) noexcept
{
    return AnswerIfAny([&] { return MenuCaption(controlId); });
}

std::optional<std::wstring> ExcelWords::LabelIfAny(std::wstring_view idMso) noexcept
{
    return AnswerIfAny([&] { return LabelOf(idMso); });
}

std::optional<std::wstring> ExcelWords::SupertipIfAny(std::wstring_view idMso) noexcept
{
    return AnswerIfAny([&] { return SupertipOf(idMso); });
}

bool IsEnglishLanguage(int languageId)
{
    constexpr int kPrimaryEnglish = 0x09;
    return (languageId & 0x3FF) == kPrimaryEnglish;
}

ExcelWordFor ExcelWordOf(LabelId id) { return RowOf(id).excel; }
std::wstring_view EnglishLabel(LabelId id) { return RowOf(id).english; }

std::wstring EscapeXml(std::wstring_view text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::wstring LabelFromExcel(std::wstring_view caption, ExcelText kind)
{
    const bool accelerator = kind == ExcelText::MenuCaption;
    // East Asian captions carry the accelerator as a suffix: "ファイル(&F)".
    if (accelerator && caption.size() >= 4 && caption[caption.size() - 4] == L'(' && caption[caption.size() - 3] == L'&' &&
        caption.back() == L')')
        caption.remove_suffix(4);

    std::wstring label;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const wchar_t c = caption[i];
        // XML 1.0 allows no control characters but tab, line feed and carriage return, and a
        // label shows none of them.
        if (c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF) return {};
        if (c == L'&' && accelerator) {
            if (i + 1 < caption.size() && caption[i + 1] == L'&') label += caption[++i];
            continue;
        }
        label += c;
    }
    if (label.find_first_not_of(L' ') == std::wstring::npos) return {};
    std::wstring escaped = EscapeXml(label);
    if (escaped.size() > kMaxLabelLength) return {};
    return escaped;
}

RibbonLabels::RibbonLabels()
{
    for (std::size_t i = 0; i < kLabelCount; ++i) texts_[i] = std::wstring(kLabels[i].english);
}

RibbonLabels RibbonLabels::For(int languageId, ExcelWords* excel)
{
    RibbonLabels labels;
    if (IsEnglishLanguage(languageId)) return labels;

    labels.english_ = false;
    for (std::size_t i = 1; i < kLabelCount; ++i) {
        const LabelId id = static_cast<LabelId>(i);
        const ExcelWordFor word = kLabels[i].excel;
        std::wstring text;
        if (excel && word.menuControlId != 0)
            text = LabelOrNothing(excel->MenuCaptionIfAny(word.menuControlId), ExcelText::MenuCaption);
        if (text.empty() && excel && !word.idMso.empty())
            text = LabelOrNothing(excel->LabelIfAny(word.idMso), ExcelText::Label);
        if (text.empty()) text = EscapeXml(TranslatedLabel(languageId, id));
        if (!text.empty()) labels.texts_[i] = std::move(text);
    }
    return labels;
}

} // namespace cornice
