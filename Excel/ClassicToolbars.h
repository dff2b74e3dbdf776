// The old Standard and Formatting toolbars, as two rows of Excel's own controls.
#pragma once

#include "RibbonDocument.h"

namespace cornice {

void AddStandardToolbar(RibbonDocument& document);
void AddFormattingToolbar(RibbonDocument& document);

} // namespace cornice
