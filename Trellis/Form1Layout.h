// The settings window as designed: every control's place in twips (relative to its container),
// its caption, font and colours. The window converts the places to pixels at its DPI.
#pragma once

#include "CheckBoxRules.h"
#include "Twips.h"

#include <array>
#include <cstdint>

namespace cornice::form1 {

// Colours as OLE colour values, 0x00BBGGRR; the high bit names a system colour by its index.
using OleColor = std::uint32_t;
inline constexpr OleColor kWhite = 0x00FFFFFF;
inline constexpr OleColor kBlack = 0x00000000;
inline constexpr OleColor kGreen = 0x00008000;      // red 0, green 128, blue 0
inline constexpr OleColor kBlue = 0x00FF0000;       // red 0, green 0, blue 255
inline constexpr OleColor kLightGrey = 0x00C0C0C0;  // 192, 192, 192
inline constexpr OleColor kGrey = 0x00808080;       // 128, 128, 128
inline constexpr OleColor kButtonFace = 0x8000000F; // system colour 15

inline constexpr int kAnsiCharset = 0;
inline constexpr int kCyrillicCharset = 204;

inline constexpr FontDesign kTabFont{L"Arial", 900, true, false, kAnsiCharset};
inline constexpr FontDesign kBoxFont{L"Arial", 900, true, false, kCyrillicCharset};
inline constexpr FontDesign kTitleFont{L"Arial", 1200, true, false, kCyrillicCharset};
inline constexpr FontDesign kVersionFont{L"Arial", 975, true, false, kCyrillicCharset};
inline constexpr FontDesign kWebsiteLabelFont{L"Arial", 975, true, false, kCyrillicCharset};
inline constexpr FontDesign kWebsiteFont{L"Arial", 975, false, true, kCyrillicCharset};
inline constexpr FontDesign kButtonFont{L"Arial", 1125, true, false, kAnsiCharset};

// The window. Fixed border, minimise button, centred on the screen, white.
inline constexpr int kClientWidth = 6240;
inline constexpr int kClientHeight = 5100;
inline constexpr OleColor kWindowBackColor = kWhite;

// SSTab1, in the window: tab 0 "Excel" holds Frame1, tab 1 "About" holds Frame2.
inline constexpr TwipRect kTabControl{120, 90, 6000, 4335};
inline constexpr std::array<const wchar_t*, 2> kTabCaptions{L"Excel", L"About"};
// Frame1 and Frame2, borderless and white, in the tab control.
inline constexpr TwipRect kPage{45, 315, 5895, 3945};
inline constexpr OleColor kPageBackColor = kWhite;

// Frame1: the twelve boxes (white, black text) and Shape1, the rectangle that frames the eight
// tab boxes with box 11 on its top edge as their heading.
struct BoxDesign {
    const wchar_t* caption;
    TwipRect place;
    const wchar_t* key;
    bool restored;   // read back when the window opens
    int defaultState; // when the store holds nothing
};

// Indexed by box. The captions are shown as they stand: " View" has its leading blank.
inline constexpr std::array<BoxDesign, CheckBoxRules::kBoxCount> kBoxes{{
    {L"Show Classic Menu and Toolbars in Microsoft Excel", {240, 480, 5295, 375}, L"Classic", true, 1},
    {L"Show menu tabs on the left of home tab", {600, 840, 3975, 375}, L"Left", true, 1},
    {L"Show all items in main menu", {600, 1200, 3375, 375}, L"All", true, 1},
    {L"Home", {960, 1920, 1095, 375}, L"Home", true, 0},
    {L"Page Layout", {960, 2235, 1455, 375}, L"Page Layout", true, 0},
    {L"Insert", {960, 2565, 1095, 375}, L"Insert", true, 0},
    {L"Formulas", {960, 2880, 1215, 375}, L"Formulas", true, 0},
    {L"Data", {2640, 2565, 975, 375}, L"Data", true, 0},
    {L"Review", {2640, 2280, 1095, 375}, L"Review", true, 0},
    {L" View", {2640, 1920, 975, 375}, L"View", true, 0},
    {L"Developer", {2640, 2880, 1215, 375}, L"Developer", true, 0},
    {L"Hide built-in tabs", {600, 1560, 1815, 375}, L"Hide built-in Tabs", false, 0},
}};
inline constexpr OleColor kBoxBackColor = kWhite;
inline constexpr OleColor kBoxForeColor = kBlack;
inline constexpr TwipRect kShape1{600, 1680, 3375, 1695};
inline constexpr OleColor kShape1Color = kBlack;
// Below Shape1, shown only when a policy sets a box: such boxes are disabled, and this says why.
inline constexpr TwipRect kPolicyNote{240, 3495, 5415, 375};
inline constexpr const wchar_t* kPolicyNoteCaption = L"Dimmed boxes are set by your administrator.";

// Frame2, the About page.
struct LabelDesign {
    TwipRect place;
    const FontDesign& font;
    OleColor foreColor;
    bool centred;
};
inline constexpr LabelDesign kTitleLabel{{225, 495, 5415, 615}, kTitleFont, kGreen, true};
inline constexpr LabelDesign kVersionLabel{{90, 1350, 5715, 225}, kVersionFont, kBlack, true};
inline constexpr LabelDesign kWebsiteLabelLabel{{405, 2745, 885, 240}, kWebsiteLabelFont, kBlack,
                                                false};
inline constexpr LabelDesign kWebsiteLink{{1950, 2760, 2190, 240}, kWebsiteFont, kBlue, false};
inline constexpr const wchar_t* kWebsiteLabelCaption = L"Website: ";
inline constexpr OleColor kLabelBackColor = kWhite;

struct LineDesign {
    int x1, y1, x2, y2;
    OleColor color;
};
// Line1(0) and Line1(1), drawn in this order.
inline constexpr std::array<LineDesign, 2> kLines{{
    {0, 2160, 5805, 2160, kLightGrey},
    {0, 2160, 5480, 2160, kGrey},
}};

// PushButton22(1) "OK" and PushButton22(2) "Cancel", in the window.
inline constexpr TwipRect kOkButton{1920, 4560, 2055, 405};
inline constexpr TwipRect kCancelButton{4080, 4560, 2040, 405};
inline constexpr const wchar_t* kOkCaption = L"OK";
inline constexpr const wchar_t* kCancelCaption = L"Cancel";
inline constexpr int kOkIndex = 1;
inline constexpr int kCancelIndex = 2;

} // namespace cornice::form1
