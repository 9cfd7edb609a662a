// 9-slice scaling: a sprite or button with a scaling grid is drawn so that,
// whatever its own scale, the parts outside the grid's centre keep their
// size and the centre stretches to make up the rest.
//
// It is a piecewise-linear warp of the object's local coordinates applied
// before its matrix: on each axis, a point left of the centre keeps its
// distance from the left bound divided by the object's scale, a point right
// of it likewise from the right bound, and the centre maps linearly between.
// When the object is scaled so small that the two sides would overlap, that
// axis is drawn unwarped. Only the edges are warped; gradient and bitmap
// fills keep their own matrices.
#pragma once

#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"

namespace swf {

class NineSlice {
public:
    // `bounds`: the object's bounds in local twips; `center`: the grid's
    // centre; `ownMatrix`: the object's matrix in its parent (not the view).
    NineSlice(const Rect& bounds, const Rect& center, const Matrix& ownMatrix);

    Point Map(Point p) const { return {x_.Map(p.x), y_.Map(p.y)}; }
    bool Warps() const { return x_.warps || y_.warps; }

    // A child shape placed by `toObject` (its matrix in the object), as a
    // shape in the object's own space with every edge point warped; draw it
    // with the object's matrix alone.
    Shape Warp(const Shape& shape, const Matrix& toObject) const;

private:
    struct Axis {
        bool warps = false;
        int32_t lo = 0, hi = 0;          // bounds
        int32_t cLo = 0, cHi = 0;        // centre
        int32_t newCLo = 0, newCHi = 0;  // where the centre's ends go
        int32_t scale = kFixedOne;       // 16.16
        void Set(int32_t boundLo, int32_t boundHi, int32_t centerLo, int32_t centerHi, int32_t scale16);
        int32_t Map(int32_t v) const;
    };
    Axis x_, y_;
};

}  // namespace swf
