// Where a designed window's controls lie at one DPI: as designed, or grown for a text that is not
// the design's (another language's). Portable, so that the rules run natively in the tests; the
// Windows side only measures the texts (TextMeasure) and moves the controls to what this says.
#pragma once

#include "Twips.h"
#include "WindowDesign.h"

#include <optional>
#include <string_view>
#include <vector>

namespace cornice {

struct PixelSize {
    int width, height;
};

struct PixelPoint {
    int x, y;
};

// How wide and high a control's text comes out in the control's font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // One line; nothing when it cannot be measured, and then the control keeps its place.
    virtual std::optional<PixelSize> Line(std::wstring_view text) const = 0;
    // Word-wrapped to `width`: the height of its lines.
    virtual int WrappedHeight(std::wstring_view text, int width) const = 0;
};

// `pixels` at 96 dpi, at `dpi`: rounded to the nearest, as MulDiv rounds.
int ScaleFrom96(int pixels, int dpi);

class WindowLayout {
public:
    // Every control where its design puts it.
    WindowLayout(const WindowDesign& design, int dpi);

    int Dpi() const noexcept { return dpi_; }
    const PixelRect& Placed(std::size_t index) const { return placed_.at(index); }

    // The design's own texts fit as designed, and keep their places to the pixel. Another text
    // that is wider than its control widens it to the right, as far as the next control beside
    // it or its container's edge; left aligned labels, check boxes and push buttons only, whose
    // text starts where it did. A check box that may wrap and still lacks room grows upwards,
    // where it has room, for its lines. True when the control moved or grew.
    bool GiveRoomToText(std::size_t index, std::wstring_view text, const TextMeasure& measure);

    // A rectangle drawn around controls keeps its margin to those that grew to its right.
    PixelRect Outline(std::size_t rectangle) const;

    // Near a line or the outline of a rectangle of `container` (within 15 twips); `point` is in
    // the container's pixels.
    bool OnDrawing(int container, PixelPoint point) const;

private:
    int RightmostEdge(std::size_t index) const;
    int TopmostEdge(std::size_t index) const;
    const ControlDesign& Design(std::size_t index) const { return design_->controls[index]; }

    const WindowDesign* design_;
    int dpi_;
    std::vector<PixelRect> placed_;
};

} // namespace cornice
