// What a ribbon request costs next to the registry reads it cannot avoid: GetCustomUI against
// 13 bare reads of the add-in's settings (the reads the add-in makes when built-in tabs are
// hidden but not all of them), interleaved in one run so that both see the same machine.
#pragma once

#include "Corbel.h"

#include <string>
#include <vector>

namespace cornice::host {

// Lines for people: median and mean of each, and the ratio of the medians.
std::vector<std::wstring> MeasureRibbonRequest(IRibbonExtensibility* ribbon, int rounds);

} // namespace cornice::host
