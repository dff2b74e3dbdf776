// The product's string tables as their .rc sources write them: ids from the header, texts per
// language. What the completeness test checks, and what the Wine test expects to load back.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cornice::test {

struct StringTableSource {
    std::map<std::string, unsigned> ids;                                 // #define NAME number
    std::map<int, std::map<std::string, std::wstring>> textsByLanguage; // LANGID -> name -> text
};

// Throws std::runtime_error, naming the line, on anything it does not understand.
StringTableSource ReadStringTables(const std::string& rcPath, const std::string& headerPath);

// Every "%" sequence of a text but "%%": "%1" ... "%9", and printf's ("%s", "%ls", "%d" ...)
// as written, sorted, so that two texts with the same places compare equal.
std::vector<std::wstring> PlacesOf(std::wstring_view text);

} // namespace cornice::test
