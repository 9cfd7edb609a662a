#include "controls/SliderMapping.h"

#include <climits>

namespace {

// Truncates toward zero like a plain cast, but values outside int (a
// position far outside a new range, drawn extrapolated) saturate instead of
// being undefined.
int TruncateToInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

int PositionToPixel(const SliderGeometry& geometry, int pos) {
    // Differences in double: int subtraction could overflow at the extremes.
    double range = static_cast<double>(geometry.rangeMax) - geometry.rangeMin;
    double fraction = range == 0 ? 0.0 : (static_cast<double>(pos) - geometry.rangeMin) / range;
    int offset = TruncateToInt(fraction * geometry.Span());
    return TruncateToInt(static_cast<double>(geometry.marginLeft) + offset + geometry.thumbWidth / 2);
}

int PixelToPosition(const SliderGeometry& geometry, int pixel) {
    int span = geometry.Span();
    if (span == 0) return geometry.rangeMin;
    double num = static_cast<double>(pixel) - geometry.thumbWidth / 2 - geometry.marginLeft;
    double range = static_cast<double>(geometry.rangeMax) - geometry.rangeMin;
    return TruncateToInt(num / span * range + geometry.rangeMin);
}
