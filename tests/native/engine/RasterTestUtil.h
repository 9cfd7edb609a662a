// Small builders shared by the renderer tests: coverage images from the
// rasteriser, and shapes written in pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Shape.h"
#include "swf/render/Rasterizer.h"

namespace swf::rastertest {

constexpr int32_t kPx = kOnePixel;       // one pixel in subpixels
constexpr int32_t kTw = kTwipsPerPixel;  // one pixel in twips

// Records spans as an 8-bit coverage image and checks their order.
class CoverageImage : public SpanSink {
public:
    CoverageImage(int w, int h) : width(w), height(h), alpha(size_t(w) * h, 0) {}
    void Row(int32_t y, const Span* spans, size_t count) override {
        int32_t lastEnd = -1;
        for (size_t i = 0; i < count; ++i) {
            ordered = ordered && spans[i].x >= lastEnd && spans[i].len > 0 && y >= 0 && y < height;
            lastEnd = spans[i].x + spans[i].len;
            for (int32_t x = spans[i].x; x < lastEnd && x < width; ++x) alpha[size_t(y) * width + x] = spans[i].alpha;
        }
    }
    uint8_t At(int x, int y) const { return alpha[size_t(y) * width + x]; }
    int64_t Sum() const {
        int64_t s = 0;
        for (uint8_t a : alpha) s += a;
        return s;
    }
    int width, height;
    std::vector<uint8_t> alpha;
    bool ordered = true;
};

inline void AddPolygon(Rasterizer& r, const std::vector<Point64>& pts) {
    for (size_t i = 0; i < pts.size(); ++i) r.AddLine(pts[i], pts[(i + 1) % pts.size()]);
}

// A closed polygon (pixel coordinates times `unit` twips) as straight edges
// with fill1 = fill (or fill0 when `leftFill`) and line style `line`.
inline void AddEdges(ShapeLayer& layer, const std::vector<Point>& pts, uint16_t fill, uint16_t line = 0,
                     bool leftFill = false, bool close = true) {
    const size_t n = close ? pts.size() : pts.size() - 1;
    for (size_t i = 0; i < n; ++i) {
        ShapeEdge e;
        e.from = pts[i];
        e.to = pts[(i + 1) % pts.size()];
        (leftFill ? e.fill0 : e.fill1) = fill;
        e.line = line;
        layer.edges.push_back(e);
    }
}

inline std::vector<Point> PixelRect(int x0, int y0, int x1, int y1) {
    return {{x0 * kTw, y0 * kTw}, {x1 * kTw, y0 * kTw}, {x1 * kTw, y1 * kTw}, {x0 * kTw, y1 * kTw}};
}

inline FillStyle SolidFill(Rgba c) {
    FillStyle f;
    f.color = c;
    return f;
}

}  // namespace swf::rastertest
