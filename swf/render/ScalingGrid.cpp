#include "swf/render/ScalingGrid.h"

#include <algorithm>
#include <cstdlib>

namespace swf {

namespace {

// |(u, v)| of two 16.16 values, 16.16 (integer square root).
int32_t Length16(int32_t u, int32_t v) {
    uint64_t sq = uint64_t(int64_t(u) * u) + uint64_t(int64_t(v) * v);
    uint64_t r = 0;
    for (uint64_t bit = uint64_t(1) << 62; bit != 0; bit >>= 2) {
        if (sq >= r + bit) {
            sq -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
    }
    return int32_t(std::min<uint64_t>(r, INT32_MAX));
}

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void NineSlice::Axis::Set(int32_t boundLo, int32_t boundHi, int32_t centerLo, int32_t centerHi,
                          int32_t scale16) {
    lo = boundLo;
    hi = boundHi;
    cLo = std::clamp(centerLo, lo, hi);
    cHi = std::clamp(centerHi, cLo, hi);
    scale = scale16;
    warps = false;
    if (scale <= 0 || cHi <= cLo || scale == kFixedOne) return;
    int64_t left = (int64_t(cLo - lo) << 16) / scale, right = (int64_t(hi - cHi) << 16) / scale;
    if (left + right > int64_t(hi) - lo) return;  // sides would overlap: draw unwarped
    newCLo = Clamp32(lo + left);
    newCHi = Clamp32(hi - right);
    warps = true;
}

int32_t NineSlice::Axis::Map(int32_t v) const {
    if (!warps) return v;
    if (v <= cLo) return Clamp32(lo + ((int64_t(v) - lo) << 16) / scale);
    if (v >= cHi) return Clamp32(hi - ((int64_t(hi) - v) << 16) / scale);
    return Clamp32(newCLo + (int64_t(v) - cLo) * (int64_t(newCHi) - newCLo) / (int64_t(cHi) - cLo));
}

NineSlice::NineSlice(const Rect& bounds, const Rect& center, const Matrix& own) {
    x_.Set(bounds.xMin, bounds.xMax, center.xMin, center.xMax, Length16(own.a, own.b));
    y_.Set(bounds.yMin, bounds.yMax, center.yMin, center.yMax, Length16(own.c, own.d));
}

Shape NineSlice::Warp(const Shape& shape, const Matrix& toObject) const {
    Shape out = shape;
    auto map = [&](Point p) { return Map(toObject.Apply(p)); };
    for (ShapeLayer& layer : out.layers)
        for (ShapeEdge& e : layer.edges) {
            e.from = map(e.from);
            e.to = map(e.to);
            e.control = map(e.control);
        }
    for (Rect* r : {&out.bounds, &out.edgeBounds}) {
        Rect t = TransformRect(toObject, *r);
        Point lo = Map({t.xMin, t.yMin}), hi = Map({t.xMax, t.yMax});
        *r = {lo.x, hi.x, lo.y, hi.y};
    }
    for (ShapeLayer& layer : out.layers)
        for (FillStyle& f : layer.fills) f.matrix = toObject.Concat(f.matrix);
    return out;
}

}  // namespace swf
