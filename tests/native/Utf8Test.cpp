#include "Utf8.h"

#include <gtest/gtest.h>

#include <utility>

namespace cornice {
namespace {

TEST(Utf8, RoundTripsEveryPlane)
{
    const std::wstring text = L"Save as \u2026 \u0416\u00E9 \U0001F600 end";
    const std::string bytes = ToUtf8(text);
    EXPECT_EQ(bytes, "Save as \xE2\x80\xA6 \xD0\x96\xC3\xA9 \xF0\x9F\x98\x80 end");
    EXPECT_EQ(FromUtf8(bytes), text);
}

TEST(Utf8, EachLengthEndsWhereItShould)
{
    // The last and first code points of each encoded length.
    const std::pair<std::wstring, std::string> cases[] = {
        {L"\u007F", "\x7F"},
        {L"\u0080", "\xC2\x80"},
        {L"\u07FF", "\xDF\xBF"},
        {L"\u0800", "\xE0\xA0\x80"},
        {L"\uFFFF", "\xEF\xBF\xBF"},
        {L"\U00010000", "\xF0\x90\x80\x80"},
        {L"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(ToUtf8(text), bytes);
        EXPECT_EQ(FromUtf8(bytes), text);
    }
}

TEST(Utf8, RefusesMalformedBytes)
{
    // F8 to FF start no sequence: their low bits would pass for a four-byte lead's.
    for (const char* bad : {"\xC3", "\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\xFF",
                            "\xF8\x90\x80\x80", "\xFC\x90\x80\x80", "\xFF\x90\x80\x80"})
        EXPECT_FALSE(FromUtf8(bad).has_value()) << "accepted a malformed sequence";
}

TEST(Utf8, ALoneSurrogateBecomesTheReplacementCharacter)
{
    std::wstring text = L"a";
    text += static_cast<wchar_t>(0xD800);
    text += L"b";
    EXPECT_EQ(ToUtf8(text), "a\xEF\xBF\xBD" "b");
}

} // namespace
} // namespace cornice
