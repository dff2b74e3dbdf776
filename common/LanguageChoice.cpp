#include "LanguageChoice.h"

namespace cornice {
namespace {

constexpr int PrimaryOf(int languageId) { return languageId & 0x3FF; }
constexpr int SubOf(int languageId) { return (languageId >> 10) & 0x3F; }

constexpr int kPortuguese = 0x16;
constexpr int kPortugueseBrazil = 0x01;
constexpr int kChinese = 0x04;
// SUBLANG_CHINESE_SIMPLIFIED (PRC), SUBLANG_CHINESE_SINGAPORE, and 0x0004, Windows' "zh-Hans".
constexpr int kChinesePrc = 0x02;
constexpr int kChineseSingapore = 0x04;
constexpr int kChineseHans = 0x00;

} // namespace

int TextLanguageFor(int languageId)
{
    const int primary = PrimaryOf(languageId);
    const int sub = SubOf(languageId);
    if (primary == kPortuguese) return sub == kPortugueseBrazil ? 0x0416 : kEnglishText;
    if (primary == kChinese)
        return sub == kChinesePrc || sub == kChineseSingapore || sub == kChineseHans ? 0x0804 : kEnglishText;
    for (const int table : kTextLanguages)
        if (PrimaryOf(table) == primary) return table;
    return kEnglishText;
}

std::wstring FillIn(std::wstring_view pattern, std::initializer_list<std::wstring_view> arguments)
{
    std::wstring text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'%' && i + 1 < pattern.size()) {
            const wchar_t next = pattern[i + 1];
            if (next == L'%') {
                text += L'%';
                ++i;
                continue;
            }
            const std::size_t number = next >= L'1' && next <= L'9' ? static_cast<std::size_t>(next - L'0') : 0;
            if (number != 0 && number <= arguments.size()) {
                text += *(arguments.begin() + (number - 1));
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

} // namespace cornice
