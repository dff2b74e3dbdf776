// Excel's own names of its core tabs in the languages of the product's texts, for a tip's place
// line when Excel gives no label of its own. Only names found on Microsoft's end-user pages in
// that language are here; any other tab keeps its English name.
#pragma once

#include <string_view>

namespace cornice {

// The tab's name in the language of the product's texts for languageId (TextLanguageFor), or
// nothing when there is none: English, a tab not in the table, a word not confirmed.
std::wstring_view ExcelTabWord(int languageId, std::string_view tabIdMso);

} // namespace cornice
