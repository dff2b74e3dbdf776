#include "SkinStyle.h"

#include <gtest/gtest.h>

#include <string>

namespace cornice {
namespace {

TEST(SkinStyle, ReadsEveryKeyOfTheFormat)
{
    const SkinStyle style = ParseSkinStyle(
        "\xEF\xBB\xBF; a comment\r\n"
        "# another\r\n"
        "\r\n"
        "[Style]\r\n"
        "Name = Office 2007 \xE2\x80\x94 blue\r\n"
        "[colors]\n"
        "  window=#D5E3F4\n"
        "Text = #15428b\n"
        "ButtonFace=#F3F7FD\n"
        "ButtonFaceBottom=#CCDDF2\n"
        "ButtonText=#000080\n"
        "ButtonBorder=#7F9DB9\n"
        "ButtonHot=#FFE8A6\n"
        "ButtonPressed=#FFC76B\n"
        "[FONT]\n"
        "Face = Tahoma\n"
        "buttons = Verdana");
    EXPECT_EQ(style.name, L"Office 2007 \u2014 blue");
    EXPECT_EQ(style.window, 0xF4E3D5u); // COLORREF order: blue, green, red
    EXPECT_EQ(style.text, 0x8B4215u);
    EXPECT_EQ(style.buttonFace, 0xFDF7F3u);
    EXPECT_EQ(style.buttonFaceBottom, 0xF2DDCCu);
    EXPECT_EQ(style.buttonText, 0x800000u);
    EXPECT_EQ(style.buttonBorder, 0xB99D7Fu);
    EXPECT_EQ(style.buttonHot, 0xA6E8FFu);
    EXPECT_EQ(style.buttonPressed, 0x6BC7FFu);
    EXPECT_EQ(style.fontFace, L"Tahoma");
    EXPECT_EQ(style.buttonFontFace, L"Verdana");
}

TEST(SkinStyle, WhatAStyleLeavesOutStaysUnsetAndUnknownNamesAreSkipped)
{
    const SkinStyle style = ParseSkinStyle(
        "[Colors]\nWindow=#FFFFFF\nShadow=#000000\n[Sounds]\nClick=ding.wav\nAnything at all=1\n");
    EXPECT_EQ(style.window, 0xFFFFFFu);
    EXPECT_FALSE(style.text.has_value());
    EXPECT_FALSE(style.buttonFace.has_value());
    EXPECT_TRUE(style.fontFace.empty());
    EXPECT_TRUE(style.buttonFontFace.empty());
    EXPECT_TRUE(ParseSkinStyle("").name.empty());
}

int ErrorLine(const std::string& text)
{
    try {
        ParseSkinStyle(text);
    } catch (const SkinStyleError& error) {
        return error.Line();
    }
    return -1;
}

TEST(SkinStyle, MalformedFilesAreRejectedWithTheLine)
{
    EXPECT_EQ(ErrorLine("[Colors]\nWindow=#FFF\n"), 2);
    EXPECT_EQ(ErrorLine("[Colors]\nWindow=FFFFFF\n"), 2);
    EXPECT_EQ(ErrorLine("[Colors]\n\nText=#GG0000\n"), 3);
    EXPECT_EQ(ErrorLine("[Colors]\r\nText=#12345678\r\n"), 2);
    EXPECT_EQ(ErrorLine("Window=#FFFFFF\n"), 1);      // before any section
    EXPECT_EQ(ErrorLine("[Colors\n"), 1);             // unterminated section
    EXPECT_EQ(ErrorLine("[Colors]\njust words\n"), 2); // neither section nor key
    EXPECT_EQ(ErrorLine("[Colors]\n=#FFFFFF\n"), 2);
    EXPECT_EQ(ErrorLine("[Font]\nFace=\n"), 2);
    EXPECT_EQ(ErrorLine("[Font]\nFace=" + std::string(32, 'x') + "\n"), 2);
    EXPECT_EQ(ErrorLine("[Font]\nFace=" + std::string(31, 'x') + "\n"), -1);
    EXPECT_EQ(ErrorLine("[Font]\nButtons=" + std::string(32, 'x') + "\n"), 2);
    EXPECT_EQ(ErrorLine("[Style]\nName=\xC3\x28\n"), 0); // not UTF-8
    EXPECT_EQ(ErrorLine(std::string(kLargestStyleFile + 1, ';')), 0);

    try {
        ParseSkinStyle("[Colors]\nWindow = blue\n");
        FAIL();
    } catch (const SkinStyleError& error) {
        EXPECT_STREQ(error.what(),
                     "Style file, line 2: \"Window\" needs a colour written #RRGGBB, not \"blue\".");
    }
}

} // namespace
} // namespace cornice
