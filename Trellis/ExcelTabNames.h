// The tab boxes named as the user's Excel names its tabs. The add-in records Excel's words
// (ExcelWordsRecord.h), the labels of the tabs among them; Trellis cannot ask Excel itself.
#pragma once

#include "ExcelWordsRecord.h"

#include <map>
#include <string>

namespace cornice {

// Puts Excel's tab labels from `record` over the tab boxes' texts (ids from TrellisText.h), and
// Excel's word for the Home tab into the "Left" box's text where that names the Home tab by the
// table's word. A label that is no usable caption leaves the table's text.
void NameTabsAsExcelDoes(std::map<unsigned, std::wstring>& texts, const ExcelWordsRecord& record);

} // namespace cornice
