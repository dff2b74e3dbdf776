// The add-in's About window as designed: every control's place in twips in the client area,
// its font and colours. The window converts the places to pixels at its own DPI.
#pragma once

#include "Twips.h"

#include <array>
#include <cstdint>

namespace cornice::about {

// Colours as OLE colour values, 0x00BBGGRR; the high bit names a system colour by its index.
using OleColor = std::uint32_t;
inline constexpr OleColor kWhite = 0x00FFFFFF;
inline constexpr OleColor kBlack = 0x00000000;
inline constexpr OleColor kGreen = 0x00008000;      // red 0, green 128, blue 0
inline constexpr OleColor kBlue = 0x00FF0000;       // red 0, green 0, blue 255
inline constexpr OleColor kGrey = 0x00808080;       // 128, 128, 128
inline constexpr OleColor kButtonText = 0x80000012; // system colour 18, a label's own text colour

// The texts are plain ASCII; the system's default character set keeps any font mapping open.
inline constexpr int kDefaultCharset = 1;

// Form1: a fixed dialog frame without minimise and maximise buttons, white.
inline constexpr int kClientWidth = 5730;
inline constexpr int kClientHeight = 3555;
inline constexpr OleColor kWindowBackColor = kWhite;

struct LabelDesign {
    TwipRect place;
    FontDesign font;
    OleColor foreColor;
};

// lblTitle: the application title, set when the window loads.
inline constexpr LabelDesign kTitle{{1050, 240, 3885, 960}, {L"Arial", 1200, false, false, kDefaultCharset}, kGreen};
// lblVersion: "Version 7.0.0", set when the window loads.
inline constexpr LabelDesign kVersion{{1050, 1440, 3885, 225}, {L"Arial", 900, true, false, kDefaultCharset}, kButtonText};
// lblDisclaimer, the caption before the link.
inline constexpr LabelDesign kWebsiteCaption{{255, 2640, 795, 225}, {L"Arial", 900, true, false, kDefaultCharset}, kBlack};
inline constexpr const wchar_t* kWebsiteCaptionText = L"Website: ";
// Label1, the link to the maker's web site; underlined by design.
inline constexpr LabelDesign kLink{{1800, 2640, 2055, 225}, {L"Arial", 900, false, true, kDefaultCharset}, kBlue};
inline constexpr OleColor kLabelBackColor = kWhite;

// Line1(0) and Line1(1), drawn in this order: a grey line with a white one below and one
// pixel to the right, an etched separator wherever the background is not white.
struct LineDesign {
    int x1, y1, x2, y2;
    OleColor color;
};
inline constexpr std::array<LineDesign, 2> kLines{{
    {90, 2445, 5654, 2445, kGrey},
    {105, 2460, 5654, 2460, kWhite},
}};

// PushButton22(1), "Ok".
inline constexpr TwipRect kOkButton{4200, 3000, 1215, 375};
inline constexpr FontDesign kOkFont{L"Arial", 900, false, false, kDefaultCharset};
inline constexpr const wchar_t* kOkCaption = L"Ok";

} // namespace cornice::about
