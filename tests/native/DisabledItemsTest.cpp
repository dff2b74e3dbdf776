#include "DisabledItems.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace cornice {
namespace {

using Bytes = std::vector<unsigned char>;

// One value as `reg export` shows it: "01,00,00,00,..." (commas, blanks and line breaks ignored).
Bytes FromHex(const std::string& text)
{
    Bytes bytes;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

void AppendUInt32(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(value >> shift));
}

// UTF-16LE with its terminating NUL, as Excel writes the two strings (ASCII and BMP letters).
Bytes Utf16(const std::u16string& text)
{
    Bytes bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// A record laid out as Excel 2007 and 2010 write it.
Bytes Record(std::uint32_t kind, const std::u16string& path, const std::u16string& name)
{
    const Bytes pathBytes = Utf16(path), nameBytes = Utf16(name);
    Bytes bytes;
    AppendUInt32(bytes, kind);
    AppendUInt32(bytes, static_cast<std::uint32_t>(pathBytes.size()));
    AppendUInt32(bytes, static_cast<std::uint32_t>(nameBytes.size()));
    bytes.insert(bytes.end(), pathBytes.begin(), pathBytes.end());
    bytes.insert(bytes.end(), nameBytes.begin(), nameBytes.end());
    return bytes;
}

bool Ours(const Bytes& bytes) { return IsDisabledLibrary(bytes.data(), bytes.size(), L"Corbel.dll"); }

TEST(DisabledItems, ReadsARecordAsExcelWritesIt)
{
    // "c:\a\corbel.dll" and "Architrave", after the kind 1 and the sizes 32 and 22.
    const Bytes bytes = FromHex("01,00,00,00,20,00,00,00,16,00,00,00,"
                                "63,00,3a,00,5c,00,61,00,5c,00,63,00,6f,00,72,00,62,00,65,00,6c,00,2e,00,"
                                "64,00,6c,00,6c,00,00,00,"
                                "41,00,72,00,63,00,68,00,69,00,74,00,72,00,61,00,76,00,65,00,00,00");
    const auto item = ParseDisabledItem(bytes.data(), bytes.size());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, 1u);
    EXPECT_EQ(item->path, L"c:\\a\\corbel.dll");
    EXPECT_EQ(item->name, L"Architrave");
    EXPECT_TRUE(Ours(bytes));
    EXPECT_EQ(bytes, Record(1, u"c:\\a\\corbel.dll", u"Architrave"));
}

TEST(DisabledItems, OursWhereverTheLibraryWasInstalled)
{
    // Excel writes the path in lower case; other writers may not.
    EXPECT_TRUE(Ours(Record(1, u"c:\\users\\anna\\appdata\\local\\programs\\cornice\\corbel.dll", u"Architrave")));
    EXPECT_TRUE(Ours(Record(1, u"C:\\Program Files\\Cornice\\CORBEL.DLL", u"Architrave")));
    EXPECT_TRUE(Ours(Record(1, u"d:\\\u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b \u8868\\corbel.dll", u"")));
    EXPECT_TRUE(Ours(Record(1, u"\\\\server\\share\\cornice/Corbel.dll", u"another name")));
    EXPECT_TRUE(Ours(Record(1, u"corbel.dll", u"Architrave")));
}

TEST(DisabledItems, OtherAddInsAndDocumentsAreNotOurs)
{
    EXPECT_FALSE(Ours(Record(1, u"c:\\program files\\other\\addin.dll", u"Architrave")));
    EXPECT_FALSE(Ours(Record(1, u"c:\\program files\\other\\mycorbel.dll", u"Other")));
    EXPECT_FALSE(Ours(Record(1, u"c:\\program files\\other\\corbel.dll.bak", u"Other")));
    EXPECT_FALSE(Ours(Record(1, u"c:\\corbel.dll\\addin.dll", u"Other")));
    EXPECT_FALSE(Ours(Record(1, u"c:\\program files\\other\\corbel.dl", u"Other")));
    EXPECT_FALSE(Ours(Record(1, u"", u"Architrave")));
    // The friendly name alone does not make it ours; the kind must be an add-in.
    EXPECT_FALSE(Ours(Record(1, u"c:\\program files\\common files\\microsoft shared\\vsto\\vstoee.dll",
                             u"Architrave")));
    EXPECT_FALSE(Ours(Record(2, u"c:\\users\\anna\\documents\\corbel.dll", u"corbel.dll")));
    EXPECT_FALSE(Ours(Record(3, u"c:\\a\\corbel.dll", u"Architrave")));
}

TEST(DisabledItems, MalformedValuesAreNeverOurs)
{
    const Bytes good = Record(1, u"c:\\a\\corbel.dll", u"Architrave");
    const auto parses = [](const Bytes& bytes) { return ParseDisabledItem(bytes.data(), bytes.size()).has_value(); };

    EXPECT_FALSE(parses({}));
    EXPECT_FALSE(parses(Bytes(good.begin(), good.begin() + 11)));
    EXPECT_FALSE(parses(Bytes(good.begin(), good.end() - 1))) << "the name reaches past the end";
    EXPECT_FALSE(Ours(Bytes(good.begin(), good.end() - 1)));
    EXPECT_FALSE(ParseDisabledItem(nullptr, 40).has_value());

    Bytes odd = good;
    odd[4] = 31; // a path of 31 bytes is no UTF-16
    EXPECT_FALSE(parses(odd));

    // Sizes near 4 GiB whose sum wraps round in 32 bits must not pass for small ones.
    Bytes wrapping = good;
    for (int i = 4; i < 8; ++i) wrapping[i] = 0xFF;
    wrapping[4] = 0xFE;
    wrapping[8] = 0x24; // 0xFFFFFFFE + 0x24 wraps to 0x22 in 32 bits
    wrapping[9] = wrapping[10] = wrapping[11] = 0;
    EXPECT_FALSE(parses(wrapping));
    EXPECT_FALSE(Ours(wrapping));
}

TEST(DisabledItems, ToleratesWhatDoesNotChangeTheMeaning)
{
    // Bytes after the two strings, a path with more than one NUL, and one whose NUL is missing.
    Bytes padded = Record(1, u"c:\\a\\corbel.dll", u"Architrave");
    padded.insert(padded.end(), {0, 0, 0, 0});
    EXPECT_TRUE(Ours(padded));

    EXPECT_TRUE(Ours(Record(1, std::u16string(u"c:\\a\\corbel.dll") + u'\0', u"Architrave")));

    Bytes unterminated;
    AppendUInt32(unterminated, 1);
    AppendUInt32(unterminated, 20);
    AppendUInt32(unterminated, 0);
    for (char c : std::string("corbel.dll")) {
        unterminated.push_back(static_cast<unsigned char>(c));
        unterminated.push_back(0);
    }
    const auto item = ParseDisabledItem(unterminated.data(), unterminated.size());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->path, L"corbel.dll");
    EXPECT_EQ(item->name, L"");
    EXPECT_TRUE(Ours(unterminated));
}

} // namespace
} // namespace cornice
