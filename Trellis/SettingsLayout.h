// The settings window as designed (WindowDesign.h): its controls in control order, places in
// twips relative to their container, captions, fonts and colours. Three pages lie side by side
// with the tab control, not in it: "Excel" with the twelve boxes, "About", and "Help" with the
// check for what keeps Excel from showing the Classic tab.
#pragma once

#include "CheckBoxRules.h"
#include "AboutPanel.h"
#include "SettingKeys.h"
#include "WindowDesign.h"

#include <array>

namespace cornice {

// The window's class, for people and programs that look for it.
inline constexpr const wchar_t* kSettingsWindowClassName = L"TrellisForm1";
inline constexpr const wchar_t* kSettingsPageClassName = L"TrellisPage";

// Control identifiers: the boxes are kFirstBoxId + index; "OK" and "Cancel" are kOkId and
// kCancelId (IDOK and IDCANCEL), which is also what Enter and Esc send.
inline constexpr int kFirstBoxId = 100;
inline constexpr int kTabControlId = 200;
inline constexpr int kTitleId = 300;
inline constexpr int kVersionId = 301;
inline constexpr int kWebsiteCaptionId = 302;
inline constexpr int kWebsiteId = 303;
inline constexpr int kPolicyNoteId = 304;
inline constexpr int kCheckButtonId = 305;
inline constexpr int kRepairButtonId = 306;
inline constexpr int kFindingsId = 307;
inline constexpr int kTipsBoxId = 308;
inline constexpr int kSearchBoxId = 309;
inline constexpr int kExcelPageId = 400;
inline constexpr int kAboutPageId = 401;
inline constexpr int kHelpPageId = 402;

namespace settings {

inline constexpr FontDesign kTabFont{.face = L"Arial", .hundredthsOfPoint = 900, .bold = true, .charset = kAnsiCharset};
inline constexpr FontDesign kBoxFont{.face = L"Arial", .hundredthsOfPoint = 900, .bold = true,
                                     .charset = kCyrillicCharset};
inline constexpr FontDesign kTitleFont{.face = L"Arial", .hundredthsOfPoint = 1200, .bold = true,
                                       .charset = kCyrillicCharset};
inline constexpr FontDesign kVersionFont{.face = L"Arial", .hundredthsOfPoint = 975, .bold = true,
                                         .charset = kCyrillicCharset};
inline constexpr FontDesign kWebsiteCaptionFont = kVersionFont;
inline constexpr FontDesign kWebsiteFont{.face = L"Arial", .hundredthsOfPoint = 975, .underline = true,
                                         .charset = kCyrillicCharset};
inline constexpr FontDesign kButtonFont{.face = L"Arial", .hundredthsOfPoint = 1125, .bold = true,
                                        .charset = kAnsiCharset};

// Fixed border, minimise button, white: WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
// | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT.
inline constexpr std::uint32_t kStyle = 0x00C00000 | 0x00080000 | 0x00020000 | style::kClipChildren;
inline constexpr int kProgramIconId = 1;
inline constexpr int kClientWidth = 6240;
inline constexpr int kClientHeight = 5100;

inline constexpr TwipRect kTabControl{120, 90, 6000, 4335};
// The pages cover the tab control below its strip, which ends kPageInset.top twips down.
inline constexpr TwipRect kPageInset{45, 315, 5895, 3945};
inline constexpr TwipRect kPage{kTabControl.left + kPageInset.left, kTabControl.top + kPageInset.top, kPageInset.width,
                                kPageInset.height};

// Indexed by box. The captions are shown as they stand: " View" has its leading blank.
struct BoxDesign {
    const wchar_t* caption;
    TwipRect place; // on the "Excel" page
    const wchar_t* key;
    int defaultState; // when the store holds nothing
};
inline constexpr std::array<BoxDesign, CheckBoxRules::kBoxCount> kBoxes{{
    {L"Show Classic Menu and Toolbars in Microsoft Excel", {240, 480, 5295, 375}, kClassicKey, 1},
    {L"Show menu tabs on the left of home tab", {600, 840, 3975, 375}, kLeftKey, 1},
    {L"Show all items in main menu", {600, 1200, 3375, 375}, kAllKey, 1},
    {L"Home", {960, 1920, 1095, 375}, kTabKeys[0], 0},
    {L"Page Layout", {960, 2235, 1455, 375}, kTabKeys[1], 0},
    {L"Insert", {960, 2565, 1095, 375}, kTabKeys[2], 0},
    {L"Formulas", {960, 2880, 1215, 375}, kTabKeys[3], 0},
    {L"Data", {2640, 2565, 975, 375}, kTabKeys[4], 0},
    {L"Review", {2640, 2280, 1095, 375}, kTabKeys[5], 0},
    {L" View", {2640, 1920, 975, 375}, kTabKeys[6], 0},
    {L"Developer", {2640, 2880, 1215, 375}, kTabKeys[7], 0},
    {L"Hide built-in tabs", {600, 1560, 1815, 375}, kHideBuiltInTabsKey, 0},
}};

// Three states, drawn by the window but changed only through the model: a click asks the
// rules, and the rules set every box that changes. The boxes are taller than their spacing;
// clipping keeps a neighbour from painting over a check mark.
constexpr ControlDesign Box(int box)
{
    return {.kind = ControlKind::CheckBox,
            .id = kFirstBoxId + box,
            .container = kExcelPageId,
            .windowClass = kButtonClass,
            .style = style::kVisible | style::kTabStop | style::kClipSiblings | style::kThreeState | style::kMultiline,
            .place = kBoxes[box].place,
            .font = kBoxFont,
            .foreColor = kBlack,
            .backColor = kWhite,
            .text = kBoxes[box].caption};
}

// A page and the caption of its tab.
constexpr ControlDesign Page(int id, std::uint32_t visible, const wchar_t* caption)
{
    return {.kind = ControlKind::Page,
            .id = id,
            .windowClass = kSettingsPageClassName,
            .style = visible | style::kClipChildren | style::kClipSiblings,
            .exStyle = style::kControlParent,
            .place = kPage,
            .backColor = kWhite,
            .text = caption};
}

constexpr ControlDesign Button(int id, std::uint32_t kind, TwipRect place, const wchar_t* caption,
                               int container = kInWindow)
{
    return {.kind = ControlKind::PushButton,
            .id = id,
            .container = container,
            .windowClass = kButtonClass,
            .style = style::kVisible | style::kTabStop | kind,
            .place = place,
            .font = kButtonFont,
            .foreColor = kBlack,
            .backColor = kButtonFaceOleColor,
            .text = caption};
}

// The rectangle that frames the eight tab boxes, with box 11 on its top edge as their heading.
inline constexpr ControlDesign kTabBoxesFrame{.kind = ControlKind::Rectangle,
                                              .container = kExcelPageId,
                                              .place = {600, 1680, 3375, 1695},
                                              .foreColor = kBlack,
                                              .backColor = kWhite};

// The tab control and its pages; the "Excel" page's boxes, their rectangle and the policy note.
inline constexpr std::array<ControlDesign, 17> kPages{{
    {.kind = ControlKind::TabControl,
     .id = kTabControlId,
     .windowClass = kTabControlClass,
     .style = style::kVisible | style::kClipSiblings | style::kTabStop,
     .place = kTabControl,
     .font = kTabFont,
     .foreColor = kBlack,
     .backColor = kButtonFaceOleColor},
    Page(kExcelPageId, style::kVisible, L"Excel"),
    Box(0), Box(1), Box(2), Box(3), Box(4), Box(5), Box(6), Box(7), Box(8), Box(9), Box(10), Box(11),
    kTabBoxesFrame,
    // Below the rectangle, shown only when a policy sets a box: such boxes are disabled, and
    // this says why.
    {.kind = ControlKind::Label,
     .id = kPolicyNoteId,
     .container = kExcelPageId,
     .windowClass = kStaticClass,
     .style = style::kLeft,
     .place = {240, 3495, 5415, 375},
     .font = kBoxFont,
     .foreColor = kBlack,
     .backColor = kWhite,
     .text = L"Dimmed boxes are set by your administrator."},
    Page(kAboutPageId, 0, L"About"),
}};

// The "About" page: the title and the version line centred, set when the window opens; the
// separator; the link after its caption.
inline constexpr std::array<ControlDesign, 6> kAboutPanel = AboutPanel({
    .container = kAboutPageId,
    .titleId = kTitleId,
    .versionId = kVersionId,
    .websiteCaptionId = kWebsiteCaptionId,
    .linkId = kWebsiteId,
    .headingAlignment = style::kCenter,
    .title = {225, 495, 5415, 615},
    .version = {90, 1350, 5715, 225},
    .websiteCaption = {405, 2745, 885, 240},
    .link = {1950, 2760, 2190, 240},
    .titleFont = kTitleFont,
    .versionFont = kVersionFont,
    .websiteCaptionFont = kWebsiteCaptionFont,
    .linkFont = kWebsiteFont,
    .versionColor = kBlack,
    .separator = {0, 2160, 5805, 2160, kLightGrey},
    .separatorHighlight = {0, 2160, 5480, 2160, kGrey},
});
// The check's findings, read-only text that wraps; until "Check" is pressed it says what the
// button does.
inline constexpr ControlDesign kFindings{.kind = ControlKind::Other,
                                         .id = kFindingsId,
                                         .container = kHelpPageId,
                                         .windowClass = kEditClass,
                                         .style = style::kVisible | style::kVerticalScroll | style::kEditMultiline |
                                                  style::kEditReadOnly,
                                         .exStyle = style::kClientEdge,
                                         .place = {240, 780, 5415, 1740},
                                         .font = {.face = L"Arial", .hundredthsOfPoint = 900, .charset = kDefaultCharset},
                                         .foreColor = kBlack,
                                         .backColor = kWhite,
                                         .text = L"Is the Classic tab missing in Excel? Check finds out why."};

// "Tips" and "Search" below the findings: plain boxes outside the rules, on or off, dimmed when a
// policy sets them.
constexpr ControlDesign SwitchBox(int id, int top, const wchar_t* caption)
{
    return {.kind = ControlKind::CheckBox,
            .id = id,
            .container = kHelpPageId,
            .windowClass = kButtonClass,
            .style = style::kVisible | style::kTabStop | style::kCheckBox | style::kMultiline,
            .place = {240, top, 5415, 495},
            .font = kBoxFont,
            .foreColor = kBlack,
            .backColor = kWhite,
            .text = caption};
}

// The "Help" page: the check's buttons, its findings, "Tips" and "Search".
inline constexpr std::array<ControlDesign, 6> kHelpPage{{
    Page(kHelpPageId, 0, L"Help"),
    Button(kCheckButtonId, style::kPushButton, {240, 240, 1695, 405}, L"Check", kHelpPageId),
    // Enabled while a finding is the user's to mend.
    Button(kRepairButtonId, style::kPushButton | style::kDisabled, {2055, 240, 1695, 405}, L"Repair", kHelpPageId),
    kFindings,
    SwitchBox(kTipsBoxId, 2640, L"Show where each command is now in the Classic tab's tips"),
    SwitchBox(kSearchBoxId, 3195, L"Find commands by their old menu names, in a box on the Classic tab"),
}};

inline constexpr std::array<ControlDesign, 3> kButtons{{
    Button(kOkId, style::kDefPushButton, {1920, 4560, 2055, 405}, L"OK"),
    Button(kCancelId, style::kPushButton, {4080, 4560, 2040, 405}, L"Cancel"),
    kSkinComponentDesign,
}};

// Creation order is the tab order: the boxes by index, the check's buttons, findings, "Tips" and "Search", then
// "OK" and "Cancel".
inline constexpr std::array<ControlDesign, 32> kControls = JoinControls(kPages, kAboutPanel, kHelpPage, kButtons);

inline constexpr WindowDesign kWindow{.className = kSettingsWindowClassName,
                                      .pageClassName = kSettingsPageClassName,
                                      .style = kStyle,
                                      .exStyle = style::kControlParent,
                                      .iconId = kProgramIconId,
                                      .clientWidth = kClientWidth,
                                      .clientHeight = kClientHeight,
                                      .backColor = kWhite,
                                      .skinFile = kSettingsWindowSkinFile,
                                      .controls = kControls.data(),
                                      .controlCount = kControls.size()};

} // namespace settings
} // namespace cornice
