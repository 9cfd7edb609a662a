#include "swf/model/MorphShape.h"

#include <algorithm>

namespace swf {

namespace {

class Lerp {
public:
    explicit Lerp(uint16_t ratio) : ratio_(ratio) {}

    int32_t operator()(int32_t a, int32_t b) const {
        const int64_t d = (int64_t(b) - a) * ratio_;
        const int64_t half = kMorphRatioEnd / 2;
        return int32_t(a + (d >= 0 ? (d + half) / kMorphRatioEnd : -((-d + half) / kMorphRatioEnd)));
    }
    uint8_t U8(uint8_t a, uint8_t b) const { return uint8_t((*this)(a, b)); }
    uint16_t U16(uint16_t a, uint16_t b) const { return uint16_t((*this)(a, b)); }
    Point P(Point a, Point b) const { return {(*this)(a.x, b.x), (*this)(a.y, b.y)}; }
    Rgba C(Rgba a, Rgba b) const { return {U8(a.r, b.r), U8(a.g, b.g), U8(a.b, b.b), U8(a.a, b.a)}; }
    Rect R(const Rect& a, const Rect& b) const {
        return {(*this)(a.xMin, b.xMin), (*this)(a.xMax, b.xMax), (*this)(a.yMin, b.yMin), (*this)(a.yMax, b.yMax)};
    }
    Matrix M(const Matrix& a, const Matrix& b) const {
        Matrix m;
        m.a = (*this)(a.a, b.a);
        m.b = (*this)(a.b, b.b);
        m.c = (*this)(a.c, b.c);
        m.d = (*this)(a.d, b.d);
        m.tx = (*this)(a.tx, b.tx);
        m.ty = (*this)(a.ty, b.ty);
        return m;
    }

    FillStyle Fill(const FillStyle& a, const FillStyle& b) const {
        FillStyle f = a;
        f.color = C(a.color, b.color);
        f.matrix = M(a.matrix, b.matrix);
        f.gradient.focalPoint = int16_t((*this)(a.gradient.focalPoint, b.gradient.focalPoint));
        const size_t n = std::min(a.gradient.stops.size(), b.gradient.stops.size());
        f.gradient.stops.resize(n);
        uint8_t last = 0;
        for (size_t i = 0; i < n; ++i) {
            const GradientStop &s = a.gradient.stops[i], &e = b.gradient.stops[i];
            // Both ends are non-decreasing, so their blend is too; keep it so.
            last = std::max(last, U8(s.ratio, e.ratio));
            f.gradient.stops[i] = {last, C(s.color, e.color)};
        }
        return f;
    }

    LineStyle Line(const LineStyle& a, const LineStyle& b) const {
        LineStyle l = a;
        l.width = U16(a.width, b.width);
        l.color = C(a.color, b.color);
        if (a.hasFill) l.fill = Fill(a.fill, b.fill);
        return l;
    }

private:
    int64_t ratio_;
};

// A straight edge as a curve: its control point at its midpoint.
Point ControlOf(const ShapeEdge& e) {
    if (e.curved) return e.control;
    return {int32_t((int64_t(e.from.x) + e.to.x) / 2), int32_t((int64_t(e.from.y) + e.to.y) / 2)};
}

}  // namespace

void MorphShapeAt(const MorphShape& morph, uint16_t ratio, Shape& out) {
    const Lerp lerp(ratio);
    out.bounds = lerp.R(morph.startBounds, morph.endBounds);
    out.edgeBounds = lerp.R(morph.startEdgeBounds, morph.endEdgeBounds);
    out.layers.resize(1);
    ShapeLayer& layer = out.layers.front();
    layer.fills.clear();
    layer.lines.clear();
    layer.edges.clear();
    for (size_t i = 0; i < morph.startFills.size() && i < morph.endFills.size(); ++i)
        layer.fills.push_back(lerp.Fill(morph.startFills[i], morph.endFills[i]));
    for (size_t i = 0; i < morph.startLines.size() && i < morph.endLines.size(); ++i)
        layer.lines.push_back(lerp.Line(morph.startLines[i], morph.endLines[i]));
    for (size_t i = 0; i < morph.startEdges.size() && i < morph.endEdges.size(); ++i) {
        const ShapeEdge &s = morph.startEdges[i], &e = morph.endEdges[i];
        if (s.fill0 == 0 && s.fill1 == 0 && s.line == 0) continue;
        ShapeEdge edge = s;
        edge.from = lerp.P(s.from, e.from);
        edge.curved = s.curved || e.curved;
        edge.control = edge.curved ? lerp.P(ControlOf(s), ControlOf(e)) : edge.from;
        edge.to = lerp.P(s.to, e.to);
        layer.edges.push_back(edge);
    }
}

}  // namespace swf
