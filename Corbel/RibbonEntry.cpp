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
    Control(L"ReviewNewComment", LabelId::NewComment),
    Control(L"ReviewDeleteComment", LabelId::DeleteComment),
    Control(L"ReviewPreviousComment", LabelId::PreviousComment),
    Control(L"ReviewNextComment", LabelId::NextComment),
    Control(L"ReviewShowOrHideComment", LabelId::ShowOrHideComment),
    Control(L"ReviewShowAllComments", LabelId::ShowAllComments),
    Control(L"ReviewShowInk", LabelId::ShowInk),
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

std::wstring WithLabel(std::wstring_view tag, std::wstring_view label)
{
    std::wstring written;
    std::size_t from = 0;
    for (std::size_t at = tag.find(L"{}"); at != std::wstring_view::npos; at = tag.find(L"{}", from)) {
        written.append(tag, from, at - from);
        written += label;
        from = at + 2;
    }
    written.append(tag, from, std::wstring_view::npos);
    return written;
}

void AppendEntries(RibbonDocument& document, const RibbonEntry* entries, std::size_t count,
                   std::wstring_view idPrefix, const RibbonLabels& labels)
{
    for (const RibbonEntry* entry = entries; entry != entries + count; ++entry) {
        switch (entry->kind) {
        case EntryKind::Icon: document.AddControlNoLabel(entry->text, labels.Text(entry->label)); break;
        case EntryKind::Control: document.AddControl(entry->text, labels.Text(entry->label)); break;
        case EntryKind::ComboBox: document.AddComboBox(entry->text); break;
        case EntryKind::ButtonGroup: document.OpenButtonGroup(); break;
        case EntryKind::EndButtonGroup: document.CloseButtonGroup(); break;
        case EntryKind::SeparatorButton: document.AddLabelSeparator(entry->text); break;
        case EntryKind::MenuSeparator: document.AddMenuSeparator(); break;
        case EntryKind::Submenu:
            AppendWithIdPrefix(document, WithLabel(entry->text, labels.Text(entry->label)), idPrefix);
            break;
        case EntryKind::Button: AppendWithIdPrefix(document, entry->text, idPrefix); break;
        case EntryKind::EndSubmenu: document.CloseMenu(); break;
        case EntryKind::Entries: AppendEntries(document, entry->nested, entry->nestedCount, idPrefix, labels); break;
        }
    }
}

void VisitControls(const RibbonEntry* entries, std::size_t count, std::vector<LabelId>& menus,
                   const ControlVisitor& visit)
{
    for (const RibbonEntry* entry = entries; entry != entries + count; ++entry) {
        switch (entry->kind) {
        case EntryKind::Icon:
        case EntryKind::Control:
        case EntryKind::ComboBox: visit(*entry, menus); break;
        case EntryKind::Submenu: menus.push_back(entry->label); break;
        case EntryKind::EndSubmenu: menus.pop_back(); break;
        case EntryKind::Entries: VisitControls(entry->nested, entry->nestedCount, menus, visit); break;
        default: break;
        }
    }
}

} // namespace cornice
