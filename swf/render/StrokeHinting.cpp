#include "swf/render/StrokeHinting.h"

#include <algorithm>

namespace swf {

namespace {

Subpixel FloorPixel(Subpixel v) { return v >= 0 ? v / kOnePixel : -((-v + kOnePixel - 1) / kOnePixel); }

// The centre of the pixel a line one pixel wide along `v` covers when it is
// sampled at centres, lines half-open: along x = 60 that is column 59.
Subpixel CentreBefore(Subpixel v) { return (FloorPixel(v + kOnePixel - 1) - 1) * kOnePixel + kOnePixel / 2; }

Point64 Snap(Point64 p, StrokeHint hint) {
    if (hint == StrokeHint::CentresBefore) return {CentreBefore(p.x), CentreBefore(p.y)};
    if (hint == StrokeHint::Centres)
        return {FloorPixel(p.x) * kOnePixel + kOnePixel / 2, FloorPixel(p.y) * kOnePixel + kOnePixel / 2};
    return {FloorPixel(p.x + kOnePixel / 2) * kOnePixel, FloorPixel(p.y + kOnePixel / 2) * kOnePixel};
}

}  // namespace

StrokeHint HintStroke(const LineStyle& style, Subpixel& halfWidth) {
    if (halfWidth <= kOnePixel / 2) return style.pixelHinting ? StrokeHint::Centres : StrokeHint::CentresBefore;
    if (!style.pixelHinting) return StrokeHint::None;
    const Subpixel pixels = std::max<Subpixel>(1, (2 * halfWidth + kOnePixel / 2) / kOnePixel);
    halfWidth = pixels * kOnePixel / 2;
    return pixels % 2 ? StrokeHint::Centres : StrokeHint::Corners;
}

void HintEdge(Point64* points, size_t count, StrokeHint hint) {
    if (hint == StrokeHint::None || count == 0) return;
    const Point64 first = points[0], last = points[count - 1];
    const Point64 a = Snap(first, hint), b = Snap(last, hint);
    const Subpixel dxa = a.x - first.x, dya = a.y - first.y;
    const Subpixel dxb = b.x - last.x, dyb = b.y - last.y;
    const Subpixel n = Subpixel(count) - 1;
    for (size_t i = 0; i < count; ++i) {
        const Subpixel k = Subpixel(i);
        if (n == 0) {
            points[i] = a;
            continue;
        }
        points[i].x += (dxa * (n - k) + dxb * k) / n;
        points[i].y += (dya * (n - k) + dyb * k) / n;
    }
}

}  // namespace swf
