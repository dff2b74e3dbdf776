// The languages the product's own texts are written in, which of them a user gets, and the
// filling in of a text's numbered places.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace cornice {

// Windows language ids (LANGID) of the string tables. English is the one every other falls
// back to.
inline constexpr int kEnglishText = 0x0409;
inline constexpr std::array<int, 9> kTextLanguages{
    kEnglishText, // English (United States)
    0x0407,       // German
    0x040C,       // French
    0x0C0A,       // Spanish, modern sort
    0x0410,       // Italian
    0x0416,       // Portuguese (Brazil)
    0x0419,       // Russian
    0x0411,       // Japanese
    0x0804,       // Chinese, Simplified (PRC)
};

// The table for a language the user reads (a Windows UI language or Excel's): every country's
// German, French, Spanish, Italian and Russian get that language's table; Portuguese only
// Brazil's, Chinese only the Simplified (PRC, Singapore); everything else English.
int TextLanguageFor(int languageId);

// `pattern` with %1 ... %9 replaced by the arguments in order and "%%" by one "%". A number
// without its argument stays as written.
std::wstring FillIn(std::wstring_view pattern, std::initializer_list<std::wstring_view> arguments);

} // namespace cornice
