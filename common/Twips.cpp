#include "Twips.h"

#include <cstdint>
#include <stdexcept>

namespace cornice {
namespace {

// round(value * numerator / denominator) for a non-negative denominator, halves away from
// zero, in 64 bits so that no product overflows.
int Scale(std::int64_t value, std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t product = value * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

void CheckDpi(int dpi)
{
    if (dpi <= 0) throw std::invalid_argument("A DPI must be positive.");
}

} // namespace

int TwipsToPixels(int twips, int dpi)
{
    CheckDpi(dpi);
    return Scale(twips, dpi, kTwipsPerInch);
}

PixelRect ToPixels(const TwipRect& rect, int dpi)
{
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    return {left, top, TwipsToPixels(rect.left + rect.width, dpi) - left,
            TwipsToPixels(rect.top + rect.height, dpi) - top};
}

int FontHeight(int hundredthsOfPoint, int dpi)
{
    CheckDpi(dpi);
    return -Scale(hundredthsOfPoint, dpi, 72 * 100);
}

} // namespace cornice
