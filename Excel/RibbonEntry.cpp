#include "RibbonEntry.h"

namespace cornice {

constexpr RibbonEntry kFunctionLibraryEntries[10] = {
    Control(L"AutoSumMenu"),
    Control(L"FunctionsRecentlyUsedtInsertGallery"),
    MenuSeparator(),
    Control(L"FunctionsFinancialInsertGallery"),
    Control(L"FunctionsLogicalInsertGallery"),
    Control(L"FunctionsTextInsertGallery"),
    Control(L"FunctionsDateTimeInsertGallery"),
    Control(L"FunctionsLookupReferenceInsertGallery"),
    Control(L"FunctionsMathTrigInsertGallery"),
    Control(L"FormulaMoreFunctionsMenu"),
};

constexpr RibbonEntry kCommentsEntries[7] = {
    Control(L"ReviewNewComment", L"New comment"),
    Control(L"ReviewDeleteComment", L"Delete"),
    Control(L"ReviewPreviousComment", L"Previous"),
    Control(L"ReviewNextComment", L"Next"),
    Control(L"ReviewShowOrHideComment", L"Show/Hide comment"),
    Control(L"ReviewShowAllComments", L"Show All comments"),
    Control(L"ReviewShowInk", L"Show Ink"),
};

constexpr RibbonEntry kFormulaAuditingEntries[10] = {
    Control(L"TracePrecedents"),
    Control(L"TraceDependents"),
    Control(L"TraceError"),
    Control(L"TraceRemoveArrowsMenu"),
    MenuSeparator(),
    Control(L"CircularReferences"),
    MenuSeparator(),
    Control(L"FormulaEvaluate"),
    Control(L"WatchWindow"),
    Control(L"ShowFormulas"),
};

void AppendWithIdPrefix(RibbonDocument& document, std::wstring_view tag, std::wstring_view idPrefix)
{
    constexpr std::wstring_view kIdAttribute = L" id=\"";
    const std::size_t at = tag.find(kIdAttribute);
    if (idPrefix.empty() || at == std::wstring_view::npos) {
        document.Append(tag);
        return;
    }
    const std::size_t split = at + kIdAttribute.size();
    document.Append(tag.substr(0, split));
    document.Append(idPrefix);
    document.Append(tag.substr(split));
}

void AppendEntries(RibbonDocument& document, const RibbonEntry* entries, std::size_t count,
                   std::wstring_view idPrefix)
{
    for (const RibbonEntry* entry = entries; entry != entries + count; ++entry) {
        switch (entry->kind) {
        case EntryKind::Icon: document.AddControlNoLabel(entry->text, entry->label); break;
        case EntryKind::Control: document.AddControl(entry->text, entry->label); break;
        case EntryKind::ComboBox: document.AddComboBox(entry->text); break;
        case EntryKind::ButtonGroup: document.OpenButtonGroup(); break;
        case EntryKind::EndButtonGroup: document.CloseButtonGroup(); break;
        case EntryKind::SeparatorButton: document.AddLabelSeparator(entry->text); break;
        case EntryKind::MenuSeparator: document.AddMenuSeparator(); break;
        case EntryKind::Submenu:
        case EntryKind::Button: AppendWithIdPrefix(document, entry->text, idPrefix); break;
        case EntryKind::EndSubmenu: document.CloseMenu(); break;
        case EntryKind::Entries: AppendEntries(document, entry->nested, entry->nestedCount, idPrefix); break;
        }
    }
}

} // namespace cornice
