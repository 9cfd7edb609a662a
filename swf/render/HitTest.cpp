// The button hit test: the same geometry the renderer draws, asked for the
// winding number at one point instead of coverage.
//
// Units: the point arrives in target twips and is taken to subpixels like
// every outline, so what is hit is what is drawn (hairlines included).
// Each fill is tested on its own (fills of one shape must not cancel) by the
// shape's fill rule, and each stroke run by the winding of its stroke polygons.
#include <algorithm>

#include "swf/render/RenderBackend.h"
#include "swf/render/ShapeRenderer.h"

namespace swf {

namespace {

constexpr Subpixel kExactRange = Subpixel(1) << 30;
constexpr int kMaxSplitDepth = 64;
constexpr Subpixel kKeepMargin = 2 * kOnePixel;

// Nonzero winding of the lines around `at`, crossings counted on the ray
// towards +x with half-open rows.
class WindingCounter : public LineSink {
public:
    explicit WindingCounter(Point64 at) : at_(at) {}
    void Line(Point64 a, Point64 b) override { Count(a, b, 0); }
    int64_t Winding() const { return winding_; }
    void Clear() { winding_ = 0; }

private:
    void Count(Point64 a, Point64 b, int depth) {
        const bool down = a.y < b.y;
        const Point64 lo = down ? a : b, hi = down ? b : a;
        if (a.y == b.y || !(lo.y <= at_.y && at_.y < hi.y) || depth > kMaxSplitDepth) return;
        const int64_t dir = down ? 1 : -1;
        if (lo.x > at_.x && hi.x > at_.x) {
            winding_ += dir;
            return;
        }
        if (lo.x <= at_.x && hi.x <= at_.x) return;
        const Point64 dl{lo.x - at_.x, lo.y - at_.y}, dh{hi.x - at_.x, hi.y - at_.y};
        if (Small(dl) && Small(dh)) {
            // Positive when the upward ray lo->hi passes right of the point.
            if (dl.x * dh.y - dl.y * dh.x > 0) winding_ += dir;
            return;
        }
        const Point64 mid{a.x + (b.x - a.x) / 2, a.y + (b.y - a.y) / 2};
        Count(a, mid, depth + 1);
        Count(mid, b, depth + 1);
    }

    static bool Small(Point64 p) {
        return p.x > -kExactRange && p.x < kExactRange && p.y > -kExactRange && p.y < kExactRange;
    }

    Point64 at_;
    int64_t winding_ = 0;
};

bool FillsHit(const ShapeLayer& layer, const FlatLayer& flat, bool evenOdd, WindingCounter& counter) {
    std::vector<FillEdgeRef> refs;
    SortFillEdges(layer, refs);
    for (size_t begin = 0; begin < refs.size();) {
        size_t end = begin;
        while (end < refs.size() && refs[end].fill == refs[begin].fill) ++end;
        counter.Clear();
        EmitFillLines(flat, refs.data() + begin, refs.data() + end, counter);
        const bool inside = evenOdd ? (counter.Winding() & 1) != 0 : counter.Winding() != 0;
        if (inside && refs[begin].fill <= layer.fills.size()) return true;
        begin = end;
    }
    return false;
}

bool StrokesHit(const ShapeLayer& layer, const FlatLayer& flat, const Matrix& m, const Box& keep,
                WindingCounter& counter) {
    bool hit = false;
    ForEachPolyline(layer, flat, [&](const StrokeRun& run) {
        if (hit) return;
        counter.Clear();
        StrokePolyline(run.points, run.closed, MakeStrokeStyle(layer.lines[run.line - 1], m), keep, counter);
        hit = counter.Winding() != 0;
    });
    return hit;
}

}  // namespace

bool ShapeHitTest(const Shape& shape, const Matrix& toTarget, Point targetPoint) {
    const Point64 at = TwipsToSubpixels(targetPoint);
    WindingCounter counter(at);
    FlatLayer flat;
    for (const ShapeLayer& layer : shape.layers) {
        const Box keep = Box{at.x, at.y, at.x, at.y}.Expanded(MaxHalfWidth(layer, toTarget) + kKeepMargin);
        FlattenLayer(layer, toTarget, keep, flat);
        if (FillsHit(layer, flat, shape.evenOdd, counter) || StrokesHit(layer, flat, toTarget, keep, counter)) return true;
    }
    return false;
}

}  // namespace swf
