// The classic menu bar: File, Edit, View, Insert, Format, Tools, Data, Windows and Help.
#pragma once

#include "RibbonDocument.h"

namespace cornice {

// Level 1 writes the menu bar itself, with a blank separator button between neighbouring
// menus. Any other level writes the copy inside the "All" menu: every id of our own gets the
// prefix "All" and no separator buttons are written.
void AddMenus(RibbonDocument& document, int Level);

} // namespace cornice
