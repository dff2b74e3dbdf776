// The old Standard and Formatting toolbars, as two rows of Excel's own controls.
#pragma once

#include "RibbonDocument.h"
#include "RibbonEntry.h"
#include "RibbonLabels.h"

namespace cornice {

void AddStandardToolbar(RibbonDocument& document, const RibbonLabels& labels);
void AddFormattingToolbar(RibbonDocument& document, const RibbonLabels& labels);

// Each of Excel's controls of the Standard and then the Formatting row; `menus` holds the
// submenus around it (a toolbar has no title of its own).
void VisitToolbarControls(const ControlVisitor& visit);

} // namespace cornice
