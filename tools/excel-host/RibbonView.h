// The tabs of a ribbon document as a person would meet them in an older Excel: a row whose
// items are menus is a menu bar with drop-down menus, every other row a toolbar of buttons.
// excel-host shows this in a window (--show) and prints it as text (--show-text). Portable.
//
// Excel draws its own controls (idMso) with its own labels and pictures, which a stand-in does
// not have: such a control is named after its idMso, split into words ("FileSaveAs" gives
// "File Save As"), unless the document gives it a label or a screentip.
//
// An edit box and a dynamic menu get their text and entries from the add-in while Excel runs
// (getText, getContent): the view names their callbacks, and DynamicMenuItems reads what
// getContent answered.
#pragma once

#include "Markup.h"

#include <string>
#include <string_view>
#include <vector>

namespace cornice::host {

struct ViewItem {
    enum class Kind {
        Command,   // a button, toggle button, check box, gallery...: one click
        Menu,      // opens `children`
        Separator, // a line in a menu; a gap between groups of buttons in a toolbar
        Field,     // a combo box or drop-down (Excel's font box, for one)
        EditBox,   // text the user types: `getText` fills it, `onChange` hears it
    };
    Kind kind = Kind::Command;
    std::wstring label;
    std::wstring id;       // the element's id; empty for Excel's own controls
    std::wstring idMso;    // Excel's own control, or empty
    std::wstring onAction; // the add-in's callback, or empty
    std::wstring supertip; // the document's, line breaks as "\n"; or empty
    std::wstring keytip;   // the letters that reach it from the keyboard, or empty
    std::wstring getText, onChange, sizeString; // an edit box's callbacks and width
    std::wstring getContent; // a dynamic menu's callback: its children come from the add-in
    bool enabled = true;
    std::vector<ViewItem> children;
};

struct ViewRow {
    bool menuBar = false; // only menus (and the blank spacers between them)
    std::vector<ViewItem> items;
};

struct TabView {
    std::wstring label;
    std::vector<std::wstring> groups; // the labels of its groups, in order
    std::vector<ViewRow> rows;        // every box of every group is a row
};

// The tabs that the document adds (tabs with an id of their own; Excel's tabs, named by
// idMso, are only changed, not added), in document order.
std::vector<TabView> ViewTabs(const markup::Element& root);

// The entries of a dynamic menu from the document its getContent answered: a <menu> in the
// customUI namespace. Throws markup::MarkupError when it is not well-formed, std::runtime_error
// when it is not such a menu.
std::vector<ViewItem> DynamicMenuItems(std::wstring_view content);

// "FileSaveAsExcel97_2003" -> "File Save As Excel 97 2003"; "PDFExport" -> "PDF Export".
std::wstring WordsOf(std::wstring_view identifier);

// The tabs as indented text for a terminal, lines no longer than `width` where the labels
// allow: each menu with its entries, each toolbar row with its buttons; then, per tab, each
// control's supertip once ("  Tip Cut: ...", a line break shown as " / ").
std::wstring TextView(const std::vector<TabView>& tabs, std::size_t width = 100);

} // namespace cornice::host
