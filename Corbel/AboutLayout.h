// The add-in's About window as designed (WindowDesign.h): its controls in control order, places
// in twips in the client area, fonts and colours.
#pragma once

#include "ContactAddresses.h"
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

inline constexpr FontDesign kArial9{.face = L"Arial", .hundredthsOfPoint = 900, .charset = kDefaultCharset};
inline constexpr FontDesign kArial9Bold{.face = L"Arial", .hundredthsOfPoint = 900, .bold = true,
                                        .charset = kDefaultCharset};

// The application title, set when the window opens.
inline constexpr ControlDesign kTitle{.kind = ControlKind::Label,
                                      .id = kAboutTitleId,
                                      .windowClass = kStaticClass,
                                      .style = kLabelStyle,
                                      .place = {1050, 240, 3885, 960},
                                      .font = {.face = L"Arial", .hundredthsOfPoint = 1200,
                                               .charset = kDefaultCharset},
                                      .foreColor = kGreen,
                                      .backColor = kWhite};
// "Version 7.0.0", set when the window opens.
inline constexpr ControlDesign kVersion{.kind = ControlKind::Label,
                                        .id = kAboutVersionId,
                                        .windowClass = kStaticClass,
                                        .style = kLabelStyle,
                                        .place = {1050, 1440, 3885, 225},
                                        .font = kArial9Bold,
                                        .foreColor = kButtonText,
                                        .backColor = kWhite};
// A grey line with a white one below and one pixel to the right, an etched separator wherever
// the background is not white; drawn in this order.
inline constexpr ControlDesign kSeparator = Line(kInWindow, 90, 2445, 5654, 2445, kGrey);
inline constexpr ControlDesign kSeparatorHighlight = Line(kInWindow, 105, 2460, 5654, 2460, kWhite);
// The caption before the link.
inline constexpr ControlDesign kWebsiteCaption{.kind = ControlKind::Label,
                                               .id = kAboutWebsiteCaptionId,
                                               .windowClass = kStaticClass,
                                               .style = kLabelStyle,
                                               .place = {255, 2640, 795, 225},
                                               .font = kArial9Bold,
                                               .foreColor = kBlack,
                                               .backColor = kWhite,
                                               .text = L"Website: "};
// The link to the web site; underlined by design.
inline constexpr ControlDesign kLink{.kind = ControlKind::Label,
                                     .id = kAboutLinkId,
                                     .windowClass = kStaticClass,
                                     .style = kLabelStyle,
                                     .place = {1800, 2640, 2055, 225},
                                     .font = {.face = L"Arial", .hundredthsOfPoint = 900, .underline = true,
                                              .charset = kDefaultCharset},
                                     .foreColor = kBlue,
                                     .backColor = kWhite,
                                     .text = kWebsiteText};
// "Ok", the default button; its corners show the window's background.
inline constexpr TwipRect kOkButton{4200, 3000, 1215, 375};
inline constexpr FontDesign kOkFont = kArial9;
inline constexpr ControlDesign kOk{.kind = ControlKind::PushButton,
                                   .id = kOkId,
                                   .windowClass = kButtonClass,
                                   .style = style::kVisible | style::kTabStop | style::kDefPushButton,
                                   .place = kOkButton,
                                   .font = kOkFont,
                                   .foreColor = kBlack,
                                   .backColor = kContainerColor,
                                   .text = L"Ok"};

inline constexpr std::array<ControlDesign, 8> kControls{
    {kTitle, kVersion, kSeparator, kSeparatorHighlight, kWebsiteCaption, kLink, kOk, kSkinComponentDesign}};

inline constexpr WindowDesign kWindow{.className = kAboutWindowClassName,
                                      .style = kStyle,
                                      .exStyle = kExStyle,
                                      .clientWidth = kClientWidth,
                                      .clientHeight = kClientHeight,
                                      .backColor = kWhite,
                                      .skinFile = kAboutWindowSkinFile,
                                      .controls = kControls.data(),
                                      .controlCount = kControls.size()};

} // namespace about
} // namespace cornice
