// One row of a menu or toolbar table, so that the builders read like the lists they come from.
#pragma once

#include "RibbonDocument.h"
#include "RibbonLabels.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace cornice {

enum class EntryKind {
    Icon,            // a built-in control shown as an icon, with an optional screen tip
    Control,         // a built-in control with an optional label of our own
    ComboBox,        // a built-in combo box
    ButtonGroup,     // start of a numbered button group
    EndButtonGroup,
    SeparatorButton, // a disabled button with the given label, as a spacer
    MenuSeparator,   // a numbered menu separator
    Submenu,         // a menu start tag, appended as written (with the id prefix), its label
                     // written where the tag says {}
    EndSubmenu,
    Button,          // a button element of our own, appended as written (with the id prefix)
    Entries,         // the rows of another table, for menus that stand in two places
};

struct RibbonEntry {
    EntryKind kind;
    std::wstring_view text; // idMso, label of a separator button, or the whole tag
    LabelId label;          // label or screen tip of a control or submenu; None: Excel's own
    const RibbonEntry* nested = nullptr;
    std::size_t nestedCount = 0;
};

constexpr RibbonEntry Icon(std::wstring_view idMso, LabelId screentip = LabelId::None)
{
    return {EntryKind::Icon, idMso, screentip};
}
constexpr RibbonEntry Control(std::wstring_view idMso, LabelId label = LabelId::None)
{
    return {EntryKind::Control, idMso, label};
}
constexpr RibbonEntry ComboBox(std::wstring_view idMso) { return {EntryKind::ComboBox, idMso, LabelId::None}; }
constexpr RibbonEntry ButtonGroup() { return {EntryKind::ButtonGroup, {}, LabelId::None}; }
constexpr RibbonEntry EndButtonGroup() { return {EntryKind::EndButtonGroup, {}, LabelId::None}; }
constexpr RibbonEntry SeparatorButton(std::wstring_view label)
{
    return {EntryKind::SeparatorButton, label, LabelId::None};
}
constexpr RibbonEntry MenuSeparator() { return {EntryKind::MenuSeparator, {}, LabelId::None}; }
constexpr RibbonEntry Submenu(LabelId label, std::wstring_view startTag)
{
    return {EntryKind::Submenu, startTag, label};
}
constexpr RibbonEntry EndSubmenu() { return {EntryKind::EndSubmenu, {}, LabelId::None}; }
constexpr RibbonEntry Button(std::wstring_view element) { return {EntryKind::Button, element, {}}; }
template <std::size_t N>
constexpr RibbonEntry Entries(const RibbonEntry (&entries)[N])
{
    return {EntryKind::Entries, {}, LabelId::None, entries, N};
}

// Submenu contents that the menu bar and the Standard toolbar share.
extern const RibbonEntry kFunctionLibraryEntries[10];
extern const RibbonEntry kCommentsEntries[7];
extern const RibbonEntry kFormulaAuditingEntries[10];

// Appends `tag` with `idPrefix` inserted right after the opening quote of its id attribute.
void AppendWithIdPrefix(RibbonDocument& document, std::wstring_view tag, std::wstring_view idPrefix);

// `tag` with every {} replaced by `label` (already escaped).
std::wstring WithLabel(std::wstring_view tag, std::wstring_view label);

void AppendEntries(RibbonDocument& document, const RibbonEntry* entries, std::size_t count,
                   std::wstring_view idPrefix, const RibbonLabels& labels);

template <std::size_t N>
void AppendEntries(RibbonDocument& document, const RibbonEntry (&entries)[N], const RibbonLabels& labels)
{
    AppendEntries(document, entries, N, {}, labels);
}

// Called for each of Excel's controls (Icon, Control, ComboBox) of a table, nested tables
// included, with the labels of the menus and submenus around it, outermost first.
using ControlVisitor = std::function<void(const RibbonEntry& control, std::span<const LabelId> menus)>;

// `menus` holds the labels around the table; it is the same again on return.
void VisitControls(const RibbonEntry* entries, std::size_t count, std::vector<LabelId>& menus,
                   const ControlVisitor& visit);

} // namespace cornice
