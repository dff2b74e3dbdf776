// A window as designed rather than built: one table of its controls in control order, which is
// also the tab order and the order in which ApplySkin walks them. WindowBase (Windows only)
// creates, places, colours and paints from it; the tables themselves are portable, so that the
// native tests check every window's design with one routine.
#pragma once

#include "Twips.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace cornice {

// Colours as OLE colour values, 0x00BBGGRR; the high bit names a system colour by its index.
using OleColor = std::uint32_t;
inline constexpr OleColor kWhite = 0x00FFFFFF;
inline constexpr OleColor kBlack = 0x00000000;
inline constexpr OleColor kGreen = 0x00008000;     // red 0, green 128, blue 0
inline constexpr OleColor kBlue = 0x00FF0000;      // red 0, green 0, blue 255
inline constexpr OleColor kLightGrey = 0x00C0C0C0; // 192, 192, 192
inline constexpr OleColor kGrey = 0x00808080;      // 128, 128, 128
inline constexpr OleColor kButtonFaceOleColor = 0x8000000F; // system colour 15, COLOR_BTNFACE
inline constexpr OleColor kButtonText = 0x80000012;         // system colour 18, COLOR_BTNTEXT
// Not a colour: the control shows its container's background, whatever that is at the time.
inline constexpr OleColor kContainerColor = 0xFFFFFFFF;

// LOGFONT's lfCharSet values the windows use.
inline constexpr int kAnsiCharset = 0;
inline constexpr int kDefaultCharset = 1;
inline constexpr int kCyrillicCharset = 204;

// The kinds of control a window may hold; ApplySkin recolours option buttons, check boxes,
// pages and labels, and leaves the others as they are.
enum class ControlKind { OptionButton, CheckBox, Page, Label, PushButton, TabControl, Line, Rectangle, SkinComponent, Other };

// Window classes and styles as Windows numbers them (WindowBase.cpp checks them against
// windows.h), so that the tables stay portable.
inline constexpr const wchar_t* kStaticClass = L"Static";
inline constexpr const wchar_t* kEditClass = L"Edit";
inline constexpr const wchar_t* kButtonClass = L"Button";
inline constexpr const wchar_t* kTabControlClass = L"SysTabControl32";
namespace style {
inline constexpr std::uint32_t kVisible = 0x10000000;      // WS_VISIBLE
inline constexpr std::uint32_t kClipSiblings = 0x04000000; // WS_CLIPSIBLINGS
inline constexpr std::uint32_t kClipChildren = 0x02000000; // WS_CLIPCHILDREN
inline constexpr std::uint32_t kTabStop = 0x00010000;      // WS_TABSTOP
inline constexpr std::uint32_t kControlParent = 0x00010000; // WS_EX_CONTROLPARENT (extended)
inline constexpr std::uint32_t kDefPushButton = 0x00000001; // BS_DEFPUSHBUTTON
inline constexpr std::uint32_t kPushButton = 0x00000000;    // BS_PUSHBUTTON
inline constexpr std::uint32_t kThreeState = 0x00000005;    // BS_3STATE
inline constexpr std::uint32_t kCheckBox = 0x00000002;      // BS_CHECKBOX
inline constexpr std::uint32_t kMultiline = 0x00002000;     // BS_MULTILINE
inline constexpr std::uint32_t kLeft = 0x00000000;          // SS_LEFT
inline constexpr std::uint32_t kCenter = 0x00000001;        // SS_CENTER
inline constexpr std::uint32_t kNoPrefix = 0x00000080;      // SS_NOPREFIX
inline constexpr std::uint32_t kNotify = 0x00000100;        // SS_NOTIFY
inline constexpr std::uint32_t kStaticTypeMask = 0x0000001F; // SS_TYPEMASK: a label's alignment
inline constexpr std::uint32_t kDisabled = 0x08000000;      // WS_DISABLED
inline constexpr std::uint32_t kVerticalScroll = 0x00200000; // WS_VSCROLL
inline constexpr std::uint32_t kEditMultiline = 0x00000004;  // ES_MULTILINE
inline constexpr std::uint32_t kEditReadOnly = 0x00000800;   // ES_READONLY
inline constexpr std::uint32_t kClientEdge = 0x00000200;     // WS_EX_CLIENTEDGE (extended)
} // namespace style

// Controls lie in the window's client area or in one of its pages (a control of its own that
// holds others and paints its own lines); places are relative to the container.
inline constexpr int kInWindow = -1;
// No control id (the windowless lines and rectangles, the skin component).
inline constexpr int kNoId = 0;
// IDOK and IDCANCEL: what Enter and Esc send as well.
inline constexpr int kOkId = 1;
inline constexpr int kCancelId = 2;

// Written with designated initialisers; what a control leaves out it does not have (no id, no
// window, no style, no font, no text), drawn in black on its container's background.
struct ControlDesign {
    ControlKind kind = ControlKind::Other;
    int id = kNoId;
    int container = kInWindow; // or the id of a page designed before this control
    const wchar_t* windowClass = nullptr; // null for what has no window of its own; the window's
                                          // page class for a page
    std::uint32_t style = 0;              // WS_CHILD is implied
    std::uint32_t exStyle = 0;
    TwipRect place{}; // a line runs from its top left to its bottom right corner
    FontDesign font{}; // face null: none
    OleColor foreColor = kBlack;
    OleColor backColor = kContainerColor;
    const wchar_t* text = nullptr; // shown as it stands; null for texts the window sets itself;
                                   // a page's is the caption of its tab
};

// The narrowest a tab of a tab control gets.
inline constexpr int kMinTabWidth = 1200;

// The skin file names, appended to the program folder as they stand.
inline constexpr const wchar_t* kSettingsWindowSkinFile = L"\\x\\o.cjs";
inline constexpr const wchar_t* kAboutWindowSkinFile = L"\\Xtreme\\Office2007.cjstyles";

struct WindowDesign {
    const wchar_t* className = nullptr;
    const wchar_t* pageClassName = nullptr; // null when the window has no pages
    std::uint32_t style = 0, exStyle = 0;
    int iconId = 0; // resource id of the class icon; 0 for none
    int clientWidth = 0, clientHeight = 0; // twips
    OleColor backColor = kWhite;
    const wchar_t* skinFile = nullptr; // ApplySkin's
    const ControlDesign* controls = nullptr;
    std::size_t controlCount = 0;
};

// A horizontal or vertical line in `container`, windowless, drawn in the table's order.
constexpr ControlDesign Line(int container, int x1, int y1, int x2, int y2, OleColor color)
{
    return {.kind = ControlKind::Line,
            .container = container,
            .place = {x1, y1, x2 - x1, y2 - y1},
            .foreColor = color};
}

// The skin component: the last entry of a skinnable window.
inline constexpr ControlDesign kSkinComponentDesign{.kind = ControlKind::SkinComponent,
                                                    .backColor = kButtonFaceOleColor};

// A window's controls from the parts of its table, in order.
template <std::size_t... Counts>
constexpr std::array<ControlDesign, (Counts + ...)> JoinControls(const std::array<ControlDesign, Counts>&... parts)
{
    std::array<ControlDesign, (Counts + ...)> all{};
    auto next = all.begin();
    ((next = std::copy(parts.begin(), parts.end(), next)), ...);
    return all;
}

} // namespace cornice
