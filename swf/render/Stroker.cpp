#include "swf/render/Stroker.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

namespace swf {

namespace {

// sin(i * pi / 128) in 16.16 for i = 0..64: a quarter circle in 64 steps.
constexpr std::array<int32_t, 65> kQuarterSine = {
    0,     1608,  3216,  4821,  6424,  8022,  9616,  11204, 12785, 14359, 15924, 17479, 19024,
    20557, 22078, 23586, 25080, 26558, 28020, 29466, 30893, 32303, 33692, 35062, 36410, 37736,
    39040, 40320, 41576, 42806, 44011, 45190, 46341, 47464, 48559, 49624, 50660, 51665, 52639,
    53581, 54491, 55368, 56212, 57022, 57798, 58538, 59244, 59914, 60547, 61145, 61705, 62228,
    62714, 63162, 63572, 63944, 64277, 64571, 64827, 65043, 65220, 65358, 65457, 65516, 65536};
constexpr int kFullCircleSteps = 256;
constexpr int kMinCircleSteps = 8;
constexpr int kFixedShift = 16;
// Directions are reduced below this before normalising, so squares fit.
constexpr int64_t kDirectionLimit = int64_t(1) << 24;
// Coarser directions for the miter limit test, whose products carry 2^32.
constexpr int64_t kMiterDirectionLimit = int64_t(1) << 10;
constexpr int kMiterFracBits = 8;

struct Vec {
    int64_t x = 0, y = 0;
};

int32_t Sine(int step) {  // step in 1/256 turns
    step &= kFullCircleSteps - 1;
    const int quarter = kFullCircleSteps / 4;
    if (step <= quarter) return kQuarterSine[step];
    if (step <= 2 * quarter) return kQuarterSine[2 * quarter - step];
    return -Sine(step - 2 * quarter);
}

Vec Reduce(Vec d, int64_t limit) {
    while (d.x >= limit || d.x <= -limit || d.y >= limit || d.y <= -limit) {
        d.x /= 2;
        d.y /= 2;
    }
    return d;
}

// Left normal of direction d with length hw.
Vec Normal(Point64 a, Point64 b, Subpixel hw) {
    Vec d = Reduce({b.x - a.x, b.y - a.y}, kDirectionLimit);
    const int64_t len = int64_t(ISqrt(uint64_t(d.x * d.x + d.y * d.y)));
    if (len == 0) return {};
    return {-d.y * hw / len, d.x * hw / len};
}

Point64 Add(Point64 p, Vec v, int64_t s = 1) { return {p.x + s * v.x, p.y + s * v.y}; }

void EmitCircle(Point64 c, Subpixel r, LineSink& sink) {
    // The sagitta r * (1 - cos(pi / n)) stays under the tolerance when
    // n^2 >= pi^2 r / (2 * tolerance); pi^2 is taken as 10.
    constexpr int64_t kPiSquared = 10;
    int steps = kMinCircleSteps;
    while (steps < kFullCircleSteps && int64_t(steps) * steps * 2 * kFlattenTolerance < kPiSquared * r) steps *= 2;
    std::array<Point64, kFullCircleSteps> pts;
    const int stride = kFullCircleSteps / steps;
    for (int i = 0; i < steps; ++i) {
        const int a = i * stride;
        pts[i] = {c.x + ((r * Sine(a + kFullCircleSteps / 4)) >> kFixedShift),
                  c.y + ((r * Sine(a)) >> kFixedShift)};
    }
    EmitConvex(pts.data(), steps, sink);
}

// Segments can be long, so their orientation is fixed by construction
// (the left normal first) rather than measured.
void EmitSegment(Point64 a, Point64 b, Vec n, LineSink& sink) {
    if (n.x == 0 && n.y == 0) return;
    const Point64 quad[4] = {Add(a, n), Add(b, n), Add(b, n, -1), Add(a, n, -1)};
    for (int i = 0; i < 4; ++i) sink.Line(quad[i], quad[(i + 1) % 4]);
}

void EmitSquareDot(Point64 c, Subpixel hw, LineSink& sink) {
    const Point64 square[4] = {{c.x - hw, c.y - hw}, {c.x + hw, c.y - hw}, {c.x + hw, c.y + hw}, {c.x - hw, c.y + hw}};
    EmitConvex(square, 4, sink);
}

bool MiterWithinLimit(Vec d1, Vec d2, uint16_t limit) {
    // tip / hw = sqrt(2 / (1 + cos)): within when 2 |d1||d2| <= L^2 (|d1||d2| + d1.d2).
    d1 = Reduce(d1, kMiterDirectionLimit);
    d2 = Reduce(d2, kMiterDirectionLimit);
    const int64_t l1 = int64_t(ISqrt(uint64_t(d1.x * d1.x + d1.y * d1.y)));
    const int64_t l2 = int64_t(ISqrt(uint64_t(d2.x * d2.x + d2.y * d2.y)));
    const int64_t lens = l1 * l2, dot = d1.x * d2.x + d1.y * d2.y;
    return (2 * lens) << (2 * kMiterFracBits) <= int64_t(limit) * limit * (lens + dot);
}

void EmitJoin(Point64 prev, Point64 p, Point64 next, const StrokeStyle& st, LineSink& sink) {
    const Subpixel hw = st.halfWidth;
    const Vec n1 = Normal(prev, p, hw), n2 = Normal(p, next, hw);
    const int64_t cross = n1.x * n2.y - n1.y * n2.x, dot = n1.x * n2.x + n1.y * n2.y;
    if (cross == 0 && dot > 0) return;
    // The outer side of the turn is where the two offset corners part.
    const int64_t s = cross > 0 ? -1 : 1;
    const Point64 c1 = Add(p, n1, s), c2 = Add(p, n2, s);
    if (st.join == JoinStyle::Round) {
        const Vec gap{n1.x - n2.x, n1.y - n2.y};
        // Sagitta of the arc ~ |gap|^2 / (8 hw).
        const bool gentle = gap.x * gap.x + gap.y * gap.y <= 8 * hw * kFlattenTolerance;
        if (!gentle || dot <= 0) return EmitCircle(p, hw, sink);
    }
    if (st.join == JoinStyle::Miter && dot > -hw * hw &&
        MiterWithinLimit({p.x - prev.x, p.y - prev.y}, {next.x - p.x, next.y - p.y}, st.miterLimit)) {
        // Tip = p + s (n1 + n2) hw^2 / (hw^2 + n1.n2).
        const int64_t hw2 = hw * hw, den = hw2 + dot;
        const Point64 tip{p.x + s * MulDiv(n1.x + n2.x, hw2, den), p.y + s * MulDiv(n1.y + n2.y, hw2, den)};
        const Point64 kite[4] = {p, c1, tip, c2};
        return EmitConvex(kite, 4, sink);
    }
    const Point64 tri[3] = {p, c1, c2};
    EmitConvex(tri, 3, sink);
}

void EmitCap(Point64 end, Point64 inner, CapStyle cap, Subpixel hw, LineSink& sink) {
    if (cap == CapStyle::Round) return EmitCircle(end, hw, sink);
    if (cap != CapStyle::Square) return;
    const Vec n = Normal(inner, end, hw);
    // The outward direction is the normal turned back a quarter.
    const Point64 out = {end.x + n.y, end.y - n.x};
    EmitSegment(end, out, n, sink);
}

Point64 MapPen(const PenShape& p, Point64 v) {
    return {MulDiv(v.x, p.a, kFixedOne) + MulDiv(v.y, p.c, kFixedOne),
            MulDiv(v.x, p.b, kFixedOne) + MulDiv(v.y, p.d, kFixedOne)};
}

PenShape Inverse(const PenShape& p) {
    constexpr int64_t kOneSquared = int64_t(kFixedOne) * kFixedOne;
    const int64_t det = int64_t(p.a) * p.d - int64_t(p.b) * p.c;
    if (det == 0) return {};
    auto term = [&](int64_t v) { return int32_t(MulDiv(v, kOneSquared, det)); };
    return {term(p.d), term(-p.b), term(-p.c), term(p.a)};
}

// Passes the lines of a stroke drawn in pen space on through the pen.
class PenSink : public LineSink {
public:
    PenSink(LineSink& out, const PenShape& pen) : out_(out), pen_(pen) {}
    void Line(Point64 from, Point64 to) override { out_.Line(MapPen(pen_, from), MapPen(pen_, to)); }

private:
    LineSink& out_;
    PenShape pen_;
};

}  // namespace

PenShape StrokePen(const LineStyle& style, const Matrix& m) {
    const bool conformal = (m.a == m.d && m.b == -m.c) || (m.a == -m.d && m.b == m.c);
    if (conformal || style.noHScale || style.noVScale || StrokeHalfWidth(style, m) <= kOnePixel / 2) return {};
    const int64_t scale = AverageScale(m);
    if (scale == 0) return {};
    auto term = [&](int32_t v) { return int32_t(std::clamp<int64_t>(MulDiv(v, kFixedOne, scale), INT32_MIN, INT32_MAX)); };
    return {term(m.a), term(m.b), term(m.c), term(m.d)};
}

Subpixel PenReach(const PenShape& p, Subpixel hw) {
    const int64_t x = int64_t(std::abs(p.a)) + std::abs(p.c), y = int64_t(std::abs(p.b)) + std::abs(p.d);
    return std::min<Subpixel>(MulDiv(hw, std::max(x, y), kFixedOne), kMaxHalfWidth * 4);
}

// A stroke that does not scale horizontally keeps only the vertical scale,
// and the other way round; with both flags it keeps its width.
Subpixel StrokeHalfWidth(const LineStyle& style, const Matrix& m) {
    const int64_t scale = style.noHScale && style.noVScale ? kFixedOne
                          : style.noHScale                 ? YScale(m)
                          : style.noVScale                 ? XScale(m)
                                                           : AverageScale(m);
    // twips * scale(16.16) -> target twips -> subpixels, halved.
    const int64_t den = int64_t(kFixedOne) * kTwipsPerPixel * 2;
    const Subpixel hw = MulDiv(int64_t(style.width) * kOnePixel, scale, den);
    return std::clamp<Subpixel>(hw, kOnePixel / 2, kMaxHalfWidth);
}

void EmitConvex(const Point64* pts, int count, LineSink& sink) {
    // Shoelace sign relative to the first point; pieces are small, so the
    // products fit.
    int64_t twiceArea = 0;
    for (int i = 1; i + 1 < count; ++i) {
        const Vec a{pts[i].x - pts[0].x, pts[i].y - pts[0].y};
        const Vec b{pts[i + 1].x - pts[0].x, pts[i + 1].y - pts[0].y};
        twiceArea += a.x * b.y - a.y * b.x;
    }
    if (twiceArea == 0) return;
    const bool reverse = twiceArea > 0;
    for (int i = 0; i < count; ++i) {
        const Point64 a = pts[i], b = pts[(i + 1) % count];
        if (reverse) sink.Line(b, a);
        else sink.Line(a, b);
    }
}

void StrokePolyline(const std::vector<Point64>& in, bool closed, const StrokeStyle& st,
                    const Box& keep, LineSink& sink) {
    if (!st.pen.IsRound()) {
        // Stroked with a round pen where the pen is round, then mapped back.
        const PenShape inv = Inverse(st.pen);
        std::vector<Point64> local;
        local.reserve(in.size());
        for (const Point64& p : in) local.push_back(MapPen(inv, p));
        Box box{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
        for (Point64 corner : {Point64{keep.xMin, keep.yMin}, Point64{keep.xMax, keep.yMin},
                               Point64{keep.xMin, keep.yMax}, Point64{keep.xMax, keep.yMax}}) {
            const Point64 q = MapPen(inv, corner);
            box = {std::min(box.xMin, q.x), std::min(box.yMin, q.y), std::max(box.xMax, q.x), std::max(box.yMax, q.y)};
        }
        StrokeStyle round = st;
        round.pen = PenShape();
        PenSink mapped(sink, st.pen);
        return StrokePolyline(local, closed, round, box, mapped);
    }
    std::vector<Point64> pts;
    pts.reserve(in.size());
    for (const Point64& p : in)
        if (pts.empty() || pts.back() != p) pts.push_back(p);
    if (pts.empty()) return;
    const Box near = keep.Expanded(st.halfWidth);
    if (pts.size() == 1) {  // a dot: only the caps show
        if (!near.Contains(pts[0])) return;
        if (st.startCap == CapStyle::Square) EmitSquareDot(pts[0], st.halfWidth, sink);
        else EmitCap(pts[0], pts[0], st.startCap, st.halfWidth, sink);
        return;
    }
    closed = closed && pts.size() > 2 && pts.front() == pts.back();
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        EmitSegment(pts[i], pts[i + 1], Normal(pts[i], pts[i + 1], st.halfWidth), sink);
    for (size_t i = 1; i + 1 < pts.size(); ++i)
        if (near.Contains(pts[i])) EmitJoin(pts[i - 1], pts[i], pts[i + 1], st, sink);
    if (closed) {
        if (near.Contains(pts[0])) EmitJoin(pts[pts.size() - 2], pts[0], pts[1], st, sink);
        return;
    }
    if (near.Contains(pts.front())) EmitCap(pts.front(), pts[1], st.startCap, st.halfWidth, sink);
    if (near.Contains(pts.back())) EmitCap(pts.back(), pts[pts.size() - 2], st.endCap, st.halfWidth, sink);
}

}  // namespace swf
