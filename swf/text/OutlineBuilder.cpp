#include "swf/text/OutlineBuilder.h"

namespace swf {

namespace {

Point Flip(Point p) { return {p.x, -p.y}; }

}  // namespace

// Flipping y mirrors the outline, which swaps the ink's side.
OutlineBuilder::OutlineBuilder(bool inkOnRight) : inkOnLeftAfterFlip_(inkOnRight) {}

void OutlineBuilder::MoveTo(Point p) {
    Close();
    pen_ = start_ = Flip(p);
}

void OutlineBuilder::LineTo(Point p) { Add(Flip(p), Flip(p), false); }

void OutlineBuilder::QuadTo(Point control, Point p) { Add(Flip(control), Flip(p), true); }

void OutlineBuilder::CubicTo(Point c1, Point c2, Point p) {
    const Point p0 = pen_, p1 = Flip(c1), p2 = Flip(c2), p3 = Flip(p);
    const Point mid{static_cast<int32_t>((int64_t(p0.x) + 3 * int64_t(p1.x) + 3 * int64_t(p2.x) + p3.x) / 8),
                    static_cast<int32_t>((int64_t(p0.y) + 3 * int64_t(p1.y) + 3 * int64_t(p2.y) + p3.y) / 8)};
    // Each half's quadratic control: the average of where its end tangents
    // point, the usual three-quarters rule.
    const Point q1{static_cast<int32_t>((int64_t(p0.x) + 3 * int64_t(p1.x)) / 4),
                   static_cast<int32_t>((int64_t(p0.y) + 3 * int64_t(p1.y)) / 4)};
    const Point q2{static_cast<int32_t>((3 * int64_t(p2.x) + p3.x) / 4),
                   static_cast<int32_t>((3 * int64_t(p2.y) + p3.y) / 4)};
    Add(q1, mid, true);
    Add(q2, p3, true);
}

void OutlineBuilder::Close() {
    if (pen_ != start_) Add(start_, start_, false);
}

void OutlineBuilder::Add(Point control, Point to, bool curved) {
    ShapeEdge e;
    e.from = pen_;
    e.control = control;
    e.to = to;
    e.curved = curved;
    (inkOnLeftAfterFlip_ ? e.fill0 : e.fill1) = 1;
    layer_.edges.push_back(e);
    pen_ = to;
}

Shape OutlineBuilder::Take() {
    Close();
    Shape s;
    if (!layer_.edges.empty()) {
        layer_.fills.emplace_back();
        s.layers.push_back(std::move(layer_));
    }
    layer_ = ShapeLayer();
    return s;
}

}  // namespace swf
