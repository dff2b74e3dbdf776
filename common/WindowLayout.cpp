#include "WindowLayout.h"

#include <algorithm>

namespace cornice {
namespace {

// Controls of a design may overlap a little (boxes taller than their spacing): one lies beside
// another when it reaches the other's middle.
bool Beside(const TwipRect& a, const TwipRect& b)
{
    const int middle = a.top + a.height / 2, otherMiddle = b.top + b.height / 2;
    return (middle > b.top && middle < b.top + b.height) || (otherMiddle > a.top && otherMiddle < a.top + a.height);
}

bool Above(const TwipRect& a, const TwipRect& b)
{
    return a.top + a.height / 2 < b.top && a.left < b.left + b.width && b.left < a.left + a.width;
}

// Within `slack` pixels of a line from (x1, y1) to (x2, y2); the lines here are straight.
bool NearLine(PixelPoint p, int x1, int y1, int x2, int y2, int slack)
{
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    return p.x >= left - slack && p.x <= right + slack && p.y >= top - slack && p.y <= bottom + slack;
}

// What has a window of its own takes room; lines, rectangles and the skin component do not.
bool Windowed(const ControlDesign& design) { return design.windowClass != nullptr; }

} // namespace

int ScaleFrom96(int pixels, int dpi)
{
    const long long product = static_cast<long long>(pixels) * dpi;
    return static_cast<int>(product >= 0 ? (product + 48) / 96 : (product - 48) / 96);
}

WindowLayout::WindowLayout(const WindowDesign& design, int dpi) : design_(&design), dpi_(dpi)
{
    placed_.reserve(design.controlCount);
    for (std::size_t index = 0; index < design.controlCount; ++index)
        placed_.push_back(ToPixels(design.controls[index].place, dpi));
}

// In twips: the right edge of the container, or the left edge of the nearest control beside
// this one to its right.
int WindowLayout::RightmostEdge(std::size_t index) const
{
    const TwipRect& place = Design(index).place;
    const int container = Design(index).container;
    int edge = design_->clientWidth;
    for (std::size_t other = 0; other < design_->controlCount; ++other)
        if (container != kInWindow && Design(other).id == container) edge = Design(other).place.width;
    for (std::size_t other = 0; other < design_->controlCount; ++other) {
        const TwipRect& o = Design(other).place;
        if (other == index || Design(other).container != container || !Windowed(Design(other))) continue;
        if (Beside(place, o) && o.left > place.left && o.left < edge) edge = o.left;
    }
    return edge;
}

// In twips: the container's top, or the bottom of the nearest control above this one.
int WindowLayout::TopmostEdge(std::size_t index) const
{
    const TwipRect& place = Design(index).place;
    int edge = 0;
    for (std::size_t other = 0; other < design_->controlCount; ++other) {
        const TwipRect& o = Design(other).place;
        if (other == index || Design(other).container != Design(index).container || !Windowed(Design(other)))
            continue;
        if (Above(o, place) && o.top + o.height > edge) edge = o.top + o.height;
    }
    return edge;
}

bool WindowLayout::GiveRoomToText(std::size_t index, std::wstring_view text, const TextMeasure& measure)
{
    const ControlDesign& design = Design(index);
    if (text.empty() || (design.text && text == design.text)) return false;
    const bool box = design.kind == ControlKind::CheckBox || design.kind == ControlKind::OptionButton;
    const bool leftLabel = design.kind == ControlKind::Label && (design.style & style::kStaticTypeMask) == style::kLeft;
    if (!box && !leftLabel && design.kind != ControlKind::PushButton) return false;
    const std::optional<PixelSize> size = measure.Line(text);
    if (!size) return false;
    // A check box's mark and the gap after it; a push button's edges.
    const int extra = box ? ScaleFrom96(13 + 6, dpi_) : design.kind == ControlKind::PushButton ? ScaleFrom96(12, dpi_) : 1;
    PixelRect& place = placed_.at(index);
    const int needed = size->width + extra;
    if (needed <= place.width) return false;
    const int room = TwipsToPixels(RightmostEdge(index), dpi_) - place.left;
    place.width = std::min(needed, room);
    if (needed > room && box && (design.style & style::kMultiline)) {
        // The lines, with the margin a single line has in the design.
        const int height = measure.WrappedHeight(text, place.width - extra) + (place.height - size->height);
        const int top = std::max(place.Bottom() - height, TwipsToPixels(TopmostEdge(index), dpi_));
        if (top < place.top) {
            place.height += place.top - top;
            place.top = top;
        }
    }
    return true;
}

PixelRect WindowLayout::Outline(std::size_t rectangle) const
{
    const TwipRect& s = Design(rectangle).place;
    PixelRect r = ToPixels(s, dpi_);
    int designedRight = 0, placedRight = 0;
    for (std::size_t index = 0; index < design_->controlCount; ++index) {
        const ControlDesign& control = Design(index);
        const TwipRect& c = control.place;
        if (control.container != Design(rectangle).container || !Windowed(control) || c.left <= s.left ||
            c.left >= s.left + s.width || c.top <= s.top || c.top >= s.top + s.height)
            continue;
        designedRight = std::max(designedRight, ToPixels(c, dpi_).Right());
        placedRight = std::max(placedRight, placed_.at(index).Right());
    }
    if (placedRight > designedRight) r.width += placedRight - designedRight;
    return r;
}

bool WindowLayout::OnDrawing(int container, PixelPoint p) const
{
    const int slack = TwipsToPixels(15, dpi_);
    for (std::size_t index = 0; index < design_->controlCount; ++index) {
        const ControlDesign& design = Design(index);
        if (design.container != container) continue;
        if (design.kind == ControlKind::Line) {
            const PixelRect r = ToPixels(design.place, dpi_);
            if (NearLine(p, r.left, r.top, r.Right(), r.Bottom(), slack)) return true;
        } else if (design.kind == ControlKind::Rectangle) {
            const PixelRect r = Outline(index);
            const int right = r.Right() - 1, bottom = r.Bottom() - 1;
            if (NearLine(p, r.left, r.top, right, r.top, slack) || NearLine(p, r.left, bottom, right, bottom, slack) ||
                NearLine(p, r.left, r.top, r.left, bottom, slack) || NearLine(p, right, r.top, right, bottom, slack))
                return true;
        }
    }
    return false;
}

} // namespace cornice
