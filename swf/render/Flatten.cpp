#include "swf/render/Flatten.h"

#include <algorithm>

namespace swf {

namespace {

// A curve larger than the keep box (or this) is halved before stepping:
// pieces outside become chords, so the points spent on one curve depend on
// the target's size, never on how far a hostile coordinate reaches, and the
// step products stay inside 64 bits.
constexpr Subpixel kMaxStepExtent = Subpixel(1) << 28;
constexpr Subpixel kMinSplitExtent = 64 * kOnePixel;
constexpr int kMaxSplitDepth = 48;

bool HullOutside(Point64 p0, Point64 p1, Point64 p2, const Box& keep) {
    auto all = [&](auto pred) { return pred(p0) && pred(p1) && pred(p2); };
    return all([&](Point64 p) { return p.x < keep.xMin; }) ||
           all([&](Point64 p) { return p.x > keep.xMax; }) ||
           all([&](Point64 p) { return p.y < keep.yMin; }) ||
           all([&](Point64 p) { return p.y > keep.yMax; });
}

Subpixel Extent(Point64 p0, Point64 p1, Point64 p2) {
    Subpixel w = std::max({p0.x, p1.x, p2.x}) - std::min({p0.x, p1.x, p2.x});
    Subpixel h = std::max({p0.y, p1.y, p2.y}) - std::min({p0.y, p1.y, p2.y});
    return std::max(w, h);
}

Point64 Mid(Point64 a, Point64 b) { return {a.x + (b.x - a.x) / 2, a.y + (b.y - a.y) / 2}; }

void Step(Point64 p0, Point64 p1, Point64 p2, std::vector<Point64>& out) {
    const int64_t ddx = p0.x - 2 * p1.x + p2.x, ddy = p0.y - 2 * p1.y + p2.y;
    const uint64_t dd = uint64_t(ddx < 0 ? -ddx : ddx) + uint64_t(ddy < 0 ? -ddy : ddy);
    int64_t n = int64_t(ISqrt(dd / (4 * kFlattenTolerance))) + 1;
    n = std::min<int64_t>(n, kMaxCurveSteps);
    const int64_t nn = n * n;
    for (int64_t i = 1; i < n; ++i) {
        // B(i/n) = p0 + (2 i n (p1 - p0) + i^2 D) / n^2, rounded.
        auto at = [&](Subpixel a, Subpixel b, int64_t d) {
            return a + FloorDiv(2 * i * n * (b - a) + i * i * d + nn / 2, nn);
        };
        out.push_back({at(p0.x, p1.x, ddx), at(p0.y, p1.y, ddy)});
    }
    out.push_back(p2);
}

Subpixel SplitExtent(const Box& keep) {
    const Subpixel side = std::max(keep.xMax - keep.xMin, keep.yMax - keep.yMin);
    return std::clamp(side, kMinSplitExtent, kMaxStepExtent);
}

void Flatten(Point64 p0, Point64 p1, Point64 p2, const Box& keep, int depth, std::vector<Point64>& out) {
    if (HullOutside(p0, p1, p2, keep) || depth > kMaxSplitDepth) {
        out.push_back(p2);
        return;
    }
    if (Extent(p0, p1, p2) <= SplitExtent(keep)) return Step(p0, p1, p2, out);
    const Point64 a = Mid(p0, p1), b = Mid(p1, p2), m = Mid(a, b);
    Flatten(p0, a, m, keep, depth + 1, out);
    Flatten(m, b, p2, keep, depth + 1, out);
}

}  // namespace

void FlattenQuad(Point64 p0, Point64 p1, Point64 p2, const Box& keep, std::vector<Point64>& out) {
    Flatten(p0, p1, p2, keep, 0, out);
}

void FlattenLayer(const ShapeLayer& layer, const Matrix& m, const Box& keep, FlatLayer& out) {
    out.points.clear();
    out.start.clear();
    for (const ShapeEdge& e : layer.edges) {
        out.start.push_back(uint32_t(out.points.size()));
        const Point64 from = ToSubpixels(m, e.from), to = ToSubpixels(m, e.to);
        out.points.push_back(from);
        if (e.curved) FlattenQuad(from, ToSubpixels(m, e.control), to, keep, out.points);
        else out.points.push_back(to);
    }
    out.start.push_back(uint32_t(out.points.size()));
}

void SortFillEdges(const ShapeLayer& layer, std::vector<FillEdgeRef>& out) {
    out.clear();
    for (uint32_t i = 0; i < layer.edges.size(); ++i) {
        const ShapeEdge& e = layer.edges[i];
        // An edge with the same fill on both sides adds nothing to it.
        if (e.fill0 == e.fill1) continue;
        if (e.fill1 != 0) out.push_back({e.fill1, false, i});
        if (e.fill0 != 0) out.push_back({e.fill0, true, i});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const FillEdgeRef& a, const FillEdgeRef& b) { return a.fill < b.fill; });
}

void EmitFillLines(const FlatLayer& flat, const FillEdgeRef* begin, const FillEdgeRef* end, LineSink& sink) {
    for (const FillEdgeRef* r = begin; r != end; ++r) {
        const uint32_t first = flat.start[r->edge], last = flat.start[r->edge + 1] - 1;
        for (uint32_t i = first; i < last; ++i) {
            const Point64 a = flat.points[i], b = flat.points[i + 1];
            if (r->reversed) sink.Line(b, a);
            else sink.Line(a, b);
        }
    }
}

}  // namespace swf
