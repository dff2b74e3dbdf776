// The classic menu bar: File, Edit, View, Insert, Format, Tools, Data, Windows and Help.
#pragma once

#include "RibbonDocument.h"
#include "RibbonEntry.h"
#include "RibbonLabels.h"

namespace cornice {

enum class MenuLevel {
    // The menu bar itself, with a blank separator button between neighbouring menus.
    MenuBar = 1,
    // The copy inside the "All" menu: every id of our own gets the prefix "All" and no separator
    // buttons are written.
    InsideAll = 2,
};

void AddMenus(RibbonDocument& document, MenuLevel Level, const RibbonLabels& labels);

// Each of Excel's controls of the menu bar, menu by menu; `menus` begins with the menu's title.
void VisitMenuControls(const ControlVisitor& visit);

} // namespace cornice
