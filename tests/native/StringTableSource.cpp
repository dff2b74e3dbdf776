#include "StringTableSource.h"

#include "Utf8.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace cornice::test {
namespace {

// The LANGUAGE statements the tables use, as Windows' LANGIDs. mingw's headers name no Russian or
// Japanese sublanguage for windres, so those two say SUBLANG_DEFAULT.
const std::map<std::string, int> kLanguages{
    {"LANG_ENGLISH, SUBLANG_ENGLISH_US", 0x0409},          {"LANG_GERMAN, SUBLANG_GERMAN", 0x0407},
    {"LANG_FRENCH, SUBLANG_FRENCH", 0x040C},               {"LANG_SPANISH, SUBLANG_SPANISH_MODERN", 0x0C0A},
    {"LANG_ITALIAN, SUBLANG_ITALIAN", 0x0410},             {"LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN", 0x0416},
    {"LANG_RUSSIAN, SUBLANG_DEFAULT", 0x0419},             {"LANG_JAPANESE, SUBLANG_DEFAULT", 0x0411},
    {"LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED", 0x0804},
};

std::vector<std::string> LinesOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A string literal as windres reads it: "" is one quote; \r \n \t \\ and \" are escapes.
std::wstring Literal(const std::string& body, const std::string& where)
{
    std::string bytes;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"') {
            if (i + 1 < body.size() && body[i + 1] == '"') {
                bytes += '"';
                ++i;
                continue;
            }
            throw std::runtime_error(where + ": a lone quote inside the text");
        }
        if (c == '\\' && i + 1 < body.size()) {
            const char e = body[++i];
            if (e == 'r') bytes += '\r';
            else if (e == 'n') bytes += '\n';
            else if (e == 't') bytes += '\t';
            else if (e == '\\' || e == '"') bytes += e;
            else throw std::runtime_error(where + ": an escape windres would read otherwise");
            continue;
        }
        bytes += c;
    }
    auto text = FromUtf8(bytes);
    if (!text) throw std::runtime_error(where + ": not UTF-8");
    return *text;
}

} // namespace

StringTableSource ReadStringTables(const std::string& rcPath, const std::string& headerPath)
{
    StringTableSource source;
    const std::regex define(R"(#define\s+(\w+)\s+(\d+)\s*)");
    for (const std::string& line : LinesOf(headerPath)) {
        std::smatch match;
        if (std::regex_match(line, match, define)) source.ids[match[1]] = static_cast<unsigned>(std::stoul(match[2]));
    }

    const std::regex language(R"(LANGUAGE\s+(\w+),\s*(\w+)\s*)");
    const std::regex entry(R"re(\s*(\w+)\s+"(.*)"\s*)re");
    const std::vector<std::string> lines = LinesOf(rcPath);
    int current = -1;
    bool inTable = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::string where = rcPath + ":" + std::to_string(n + 1);
        std::smatch match;
        if (std::regex_match(line, match, language)) {
            const auto found = kLanguages.find(match[1].str() + ", " + match[2].str());
            if (found == kLanguages.end()) throw std::runtime_error(where + ": an unknown language");
            current = found->second;
        } else if (line == "BEGIN") {
            inTable = true;
        } else if (line == "END") {
            inTable = false;
        } else if (inTable) {
            if (!std::regex_match(line, match, entry)) throw std::runtime_error(where + ": not NAME \"text\"");
            if (current < 0) throw std::runtime_error(where + ": a table before any LANGUAGE");
            auto& table = source.textsByLanguage[current];
            if (!table.emplace(match[1], Literal(match[2], where)).second)
                throw std::runtime_error(where + ": " + match[1].str() + " twice");
        }
    }
    return source;
}

std::vector<std::wstring> PlacesOf(std::wstring_view text)
{
    std::vector<std::wstring> places;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') continue;
        if (i + 1 < text.size() && text[i + 1] == L'%') {
            ++i;
            continue;
        }
        // Up to the conversion letter or digit: "%1", "%s", "%ls", "%-5d".
        std::size_t end = i + 1;
        while (end < text.size() && !std::iswalnum(text[end])) ++end;
        while (end < text.size() && (text[end] == L'l' || text[end] == L'h')) ++end;
        places.emplace_back(text.substr(i, std::min(end + 1, text.size()) - i));
        i = end;
    }
    std::sort(places.begin(), places.end());
    return places;
}

} // namespace cornice::test
