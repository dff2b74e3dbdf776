// Window geometry is designed in twips (1/1440 inch) and fonts in points; a window turns
// them into pixels at its own DPI, so it keeps its proportions at 96, 120, 144 dpi and beyond.
// Both programs' windows are laid out this way.
#pragma once

namespace cornice {

inline constexpr int kTwipsPerInch = 1440;

struct TwipRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
    int Right() const noexcept { return left + width; }
    int Bottom() const noexcept { return top + height; }
};

// Nearest pixel, halves rounded up (15 twips are one pixel at 96 dpi).
int TwipsToPixels(int twips, int dpi);

// Edges are converted, not sizes, so that controls that meet in twips meet in pixels too.
PixelRect ToPixels(const TwipRect& rect, int dpi);

// A font as designed: typeface, size in hundredths of a point (so that 9.75 and 11.25 points
// stay exact), weight, underline and character set (LOGFONT's lfCharSet: 0 ANSI, 1 the
// system's default, 204 Cyrillic).
struct FontDesign {
    const wchar_t* face = nullptr; // null: no font of its own
    int hundredthsOfPoint = 0;
    bool bold = false;
    bool underline = false;
    int charset = 0;
};

// A font height for LOGFONT (negative: the character height without internal leading) for a
// size in hundredths of a point, so that sizes such as 9.75 and 11.25 points stay exact.
int FontHeight(int hundredthsOfPoint, int dpi);

} // namespace cornice
