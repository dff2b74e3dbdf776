// The style files of the product's skin component: a small text format of our own.
//
//   ; Comment lines start with ";" or "#". Blank lines are ignored.
//   [Style]
//   Name = Office 2007 (blue)
//
//   [Colors]
//   Window = #D5E3F4          background of the window and of its pages and boxes
//   Text = #15428B            text of check boxes, option buttons and frames
//   ButtonFace = #F3F7FD      push buttons: face (top of the gradient) ...
//   ButtonFaceBottom = #CCDDF2  ... and bottom of the gradient; flat when missing
//   ButtonText = #15428B
//   ButtonBorder = #7F9DB9
//   ButtonHot = #FFE8A6       face under the pointer
//   ButtonPressed = #FFC76B   face while pressed
//
//   [Font]
//   Face = Tahoma             typeface for every control; sizes and weights stay
//   Buttons = Tahoma          typeface for push buttons, before Face
//
// The file is UTF-8 (a byte-order mark is allowed), at most 64 KiB. Section and key names
// ignore case, blanks around names and values are dropped, and the explanations above are
// not part of the format (there are no comments at the end of a line). Colours are written
// #RRGGBB. Every key is optional: what a style leaves out keeps the window's own look.
// Sections and keys that this version does not know are skipped, so that newer style files
// still load; a malformed line, a bad colour or a face name longer than 31 characters makes
// the whole file invalid (SkinStyleError, with the line number).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cornice {

// A colour as Windows' COLORREF: 0x00BBGGRR.
using StyleColor = std::uint32_t;

struct SkinStyle {
    std::wstring name;
    std::optional<StyleColor> window;
    std::optional<StyleColor> text;
    std::optional<StyleColor> buttonFace;
    std::optional<StyleColor> buttonFaceBottom;
    std::optional<StyleColor> buttonText;
    std::optional<StyleColor> buttonBorder;
    std::optional<StyleColor> buttonHot;
    std::optional<StyleColor> buttonPressed;
    std::wstring fontFace;       // empty: the controls keep their typefaces
    std::wstring buttonFontFace; // push buttons; empty: as fontFace
};

class SkinStyleError : public std::runtime_error {
public:
    SkinStyleError(int line, const std::string& message);
    int Line() const noexcept { return line_; } // 0 for the file as a whole

private:
    int line_;
};

inline constexpr std::size_t kLargestStyleFile = 64 * 1024;
inline constexpr std::size_t kLongestFontFace = 31; // LOGFONT keeps 32 characters with the NUL

SkinStyle ParseSkinStyle(std::string_view fileBytes);

} // namespace cornice
