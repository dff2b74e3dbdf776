// The add-in's About window as designed (WindowDesign.h): its controls in control order, places
// in twips in the client area, fonts and colours.
#pragma once

#include "Maker.h"
#include "WindowDesign.h"

#include <array>

namespace cornice {

// The window's class, and its controls' ids, for people and programs that look for it. The
// "Ok" button is kOkId (IDOK), which is also what Enter sends; Esc sends IDCANCEL.
inline constexpr const wchar_t* kAboutWindowClassName = L"CorbelAboutForm1";
inline constexpr int kAboutTitleId = 100;
inline constexpr int kAboutVersionId = 101;
inline constexpr int kAboutWebsiteCaptionId = 102;
inline constexpr int kAboutLinkId = 103;

namespace about {

// A fixed dialog frame without minimise and maximise buttons, white: WS_POPUP | WS_CAPTION |
// WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT.
inline constexpr std::uint32_t kStyle = 0x80000000 | 0x00C00000 | 0x00080000 | style::kClipChildren;
inline constexpr std::uint32_t kExStyle = 0x00000001 | style::kControlParent;
inline constexpr int kClientWidth = 5730;
inline constexpr int kClientHeight = 3555;

// The labels notify, so that the pointer effects can tell them from the window beneath, and
// show their texts as they stand (no "&" mnemonics).
inline constexpr std::uint32_t kLabelStyle = style::kVisible | style::kLeft | style::kNotify | style::kNoPrefix;

// The application title, set when the window loads.
inline constexpr ControlDesign kTitle{ControlKind::Label, kAboutTitleId, kInWindow, kStaticClass, kLabelStyle, 0,
                                      {1050, 240, 3885, 960}, {L"Arial", 1200, false, false, kDefaultCharset},
                                      kGreen, kWhite, nullptr};
// "Version 7.0.0", set when the window loads.
inline constexpr ControlDesign kVersion{ControlKind::Label, kAboutVersionId, kInWindow, kStaticClass, kLabelStyle, 0,
                                        {1050, 1440, 3885, 225}, {L"Arial", 900, true, false, kDefaultCharset},
                                        kButtonText, kWhite, nullptr};
// A grey line with a white one below and one pixel to the right, an etched separator wherever
// the background is not white; drawn in this order.
inline constexpr ControlDesign kSeparator = Line(kInWindow, 90, 2445, 5654, 2445, kGrey);
inline constexpr ControlDesign kSeparatorHighlight = Line(kInWindow, 105, 2460, 5654, 2460, kWhite);
// The caption before the link.
inline constexpr ControlDesign kWebsiteCaption{
    ControlKind::Label, kAboutWebsiteCaptionId, kInWindow, kStaticClass, kLabelStyle, 0, {255, 2640, 795, 225},
    {L"Arial", 900, true, false, kDefaultCharset}, kBlack, kWhite, L"Website: "};
// The link to the maker's web site; underlined by design.
inline constexpr ControlDesign kLink{ControlKind::Label, kAboutLinkId, kInWindow, kStaticClass, kLabelStyle, 0,
                                     {1800, 2640, 2055, 225}, {L"Arial", 900, false, true, kDefaultCharset}, kBlue,
                                     kWhite, kMakerWebsiteText};
// "Ok", the default button; its corners show the window's background.
inline constexpr TwipRect kOkButton{4200, 3000, 1215, 375};
inline constexpr FontDesign kOkFont{L"Arial", 900, false, false, kDefaultCharset};
inline constexpr ControlDesign kOk{ControlKind::PushButton, kOkId, kInWindow, kButtonClass,
                                   style::kVisible | style::kTabStop | style::kDefPushButton, 0, kOkButton, kOkFont,
                                   kBlack, kContainerColor, L"Ok"};

inline constexpr std::array<ControlDesign, 8> kControls{
    {kTitle, kVersion, kSeparator, kSeparatorHighlight, kWebsiteCaption, kLink, kOk, kSkinComponentDesign}};

inline constexpr WindowDesign kWindow{kAboutWindowClassName, nullptr, kStyle, kExStyle, 0, kClientWidth, kClientHeight,
                                      kWhite, kAboutWindowSkinFile, kControls.data(), kControls.size()};

} // namespace about
} // namespace cornice
