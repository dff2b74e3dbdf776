// What a window laid out in twips needs from Windows: its DPI, the frame around a client area
// of a given size at that DPI, system metrics at that DPI, and fonts made for it. Functions of
// later Windows versions are looked up at run time, so that both programs still run on
// Windows 7, where the system DPI stands in.
#pragma once

#include "Twips.h"
#include "WinHandles.h"

#include <map>

namespace cornice {

// The window's own DPI (per monitor from Windows 10 1607), else the screen's.
int DpiOfWindow(HWND window);

// The window rectangle, relative to the client area's top left corner, for a client area of
// width x height pixels with these styles at `dpi`.
RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

// GetSystemMetrics at `dpi` (icon sizes, for instance).
int SystemMetricForDpi(int index, int dpi);

// `design` at `dpi`, underlined when `underline` (a link switches its underline on and off).
UniqueHfont MakeFont(const FontDesign& design, int dpi, bool underline);

// Moves and sizes a control to its design place at `dpi`.
void PlaceControl(HWND control, const TwipRect& place, int dpi);

// The caller keeps `font` alive for as long as the control uses it.
void SetControlFont(HWND control, const UniqueHfont& font);

// Solid brushes by colour, made on first use and kept: an answer to WM_CTLCOLOR* must return a
// brush that outlives the message.
class SolidBrushes {
public:
    HBRUSH For(COLORREF color)
    {
        UniqueHbrush& brush = brushes_[color];
        if (!brush) brush.Reset(::CreateSolidBrush(color));
        return brush.Get();
    }
    void Clear() { brushes_.clear(); }

private:
    std::map<COLORREF, UniqueHbrush> brushes_;
};

} // namespace cornice
