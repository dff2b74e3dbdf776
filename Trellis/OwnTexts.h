// Trellis's own texts in the user's language. The code names each text by its id (TrellisText.h)
// with its English beside it; Main hands in the string tables of the user's language once at
// start, and until then (and in the native tests) each text is that English, which is also the
// English table's.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

namespace cornice {

std::wstring OwnText(unsigned id, std::wstring_view english);
// The text with its %1, %2 ... filled in (FillIn).
std::wstring OwnText(unsigned id, std::wstring_view english, std::initializer_list<std::wstring_view> places);

// From now on, the texts of these ids; an id without a text keeps its English.
void UseOwnTexts(std::map<unsigned, std::wstring> texts);

} // namespace cornice
