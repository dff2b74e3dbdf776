// The old Standard and Formatting toolbars, as two rows of Excel's own controls.
#pragma once

#include "RibbonDocument.h"
#include "RibbonLabels.h"

namespace cornice {

void AddStandardToolbar(RibbonDocument& document, const RibbonLabels& labels);
void AddFormattingToolbar(RibbonDocument& document, const RibbonLabels& labels);

} // namespace cornice
