#include "SkinStyle.h"

#include "Utf8.h"

#include <algorithm>

namespace cornice {
namespace {

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b)
{
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<StyleColor> ParseColor(std::string_view value)
{
    if (value.size() != 7 || value[0] != '#') return std::nullopt;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(value[1 + 2 * i]), low = HexDigit(value[2 + 2 * i]);
        if (high < 0 || low < 0) return std::nullopt;
        channels[i] = high * 16 + low;
    }
    return static_cast<StyleColor>(channels[0] | channels[1] << 8 | channels[2] << 16);
}

struct ColorKey {
    const char* name;
    std::optional<StyleColor> SkinStyle::*member;
};

constexpr ColorKey kColorKeys[] = {
    {"Window", &SkinStyle::window},
    {"Text", &SkinStyle::text},
    {"ButtonFace", &SkinStyle::buttonFace},
    {"ButtonFaceBottom", &SkinStyle::buttonFaceBottom},
    {"ButtonText", &SkinStyle::buttonText},
    {"ButtonBorder", &SkinStyle::buttonBorder},
    {"ButtonHot", &SkinStyle::buttonHot},
    {"ButtonPressed", &SkinStyle::buttonPressed},
};

enum class Section { None, Style, Colors, Font, Unknown };

} // namespace

SkinStyleError::SkinStyleError(int line, const std::string& message)
    : std::runtime_error(line > 0 ? "Style file, line " + std::to_string(line) + ": " + message
                                  : "Style file: " + message),
      line_(line)
{
}

SkinStyle ParseSkinStyle(std::string_view bytes)
{
    if (bytes.size() > kLargestStyleFile)
        throw SkinStyleError(0, "larger than " + std::to_string(kLargestStyleFile / 1024) + " KiB.");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (!FromUtf8(bytes)) throw SkinStyleError(0, "not UTF-8 text.");

    SkinStyle style;
    Section section = Section::None;
    int lineNumber = 0;
    while (!bytes.empty()) {
        ++lineNumber;
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;

        if (line.front() == '[') {
            if (line.back() != ']') throw SkinStyleError(lineNumber, "a section name ends with \"]\".");
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            section = SameName(name, "Style")    ? Section::Style
                      : SameName(name, "Colors") ? Section::Colors
                      : SameName(name, "Font")   ? Section::Font
                                                 : Section::Unknown;
            continue;
        }

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            throw SkinStyleError(lineNumber, "expected [Section] or Key = Value.");
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (key.empty()) throw SkinStyleError(lineNumber, "a key has no name.");
        if (section == Section::None)
            throw SkinStyleError(lineNumber, "\"" + std::string(key) + "\" stands before any section.");

        if (section == Section::Style && SameName(key, "Name")) {
            style.name = *FromUtf8(value);
        } else if (section == Section::Colors) {
            for (const ColorKey& known : kColorKeys) {
                if (!SameName(key, known.name)) continue;
                const auto color = ParseColor(value);
                if (!color)
                    throw SkinStyleError(lineNumber, "\"" + std::string(key) +
                                                         "\" needs a colour written #RRGGBB, not \"" +
                                                         std::string(value.substr(0, 32)) + "\".");
                style.*known.member = color;
            }
        } else if (section == Section::Font && (SameName(key, "Face") || SameName(key, "Buttons"))) {
            std::wstring face = *FromUtf8(value);
            if (face.empty() || face.size() > kLongestFontFace)
                throw SkinStyleError(lineNumber, "a font face has 1 to " +
                                                     std::to_string(kLongestFontFace) + " characters.");
            (SameName(key, "Face") ? style.fontFace : style.buttonFontFace) = std::move(face);
        }
    }
    return style;
}

} // namespace cornice
