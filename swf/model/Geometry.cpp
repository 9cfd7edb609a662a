#include "swf/model/Geometry.h"

#include <algorithm>

namespace swf {

namespace {

// Round-to-nearest (halves away from zero) of v / 2^16, saturated to int32.
int32_t RoundFixed(int64_t v) {
    constexpr int64_t kHalf = 1 << 15;
    if (v > INT64_MAX - kHalf) return INT32_MAX;
    if (v < -(INT64_MAX - kHalf)) return INT32_MIN;
    int64_t r = v >= 0 ? (v + kHalf) >> 16 : -((-v + kHalf) >> 16);
    return static_cast<int32_t>(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// p*q + r*s for 32-bit terms: each product fits in int64, but their sum can
// overflow when both are near 2^62 (nested placements saturate to INT32_MIN).
int64_t DotSaturated(int32_t p, int32_t q, int32_t r, int32_t s) {
    int64_t sum;
    if (__builtin_add_overflow(int64_t(p) * q, int64_t(r) * s, &sum))
        return (int64_t(p) * q > 0) ? INT64_MAX : INT64_MIN;
    return sum;
}

}  // namespace

Point Matrix::Apply(Point p) const {
    int64_t x = DotSaturated(a, p.x, c, p.y);
    int64_t y = DotSaturated(b, p.x, d, p.y);
    return {Saturate(int64_t(RoundFixed(x)) + tx), Saturate(int64_t(RoundFixed(y)) + ty)};
}

Matrix Matrix::Concat(const Matrix& in) const {
    Matrix m;
    m.a = RoundFixed(DotSaturated(a, in.a, c, in.b));
    m.b = RoundFixed(DotSaturated(b, in.a, d, in.b));
    m.c = RoundFixed(DotSaturated(a, in.c, c, in.d));
    m.d = RoundFixed(DotSaturated(b, in.c, d, in.d));
    Point t = Apply({in.tx, in.ty});
    m.tx = t.x;
    m.ty = t.y;
    return m;
}

bool Matrix::Invert(Matrix* out) const {
    // Only pointer input and hit tests need the inverse, so doubles are fine
    // here; everything that draws stays integer.
    int64_t det = int64_t(a) * d - int64_t(b) * c;
    if (det == 0) return false;
    const double scale = 4294967296.0 / static_cast<double>(det);  // 2^32 / det
    auto div = [scale](int64_t num) -> int32_t {
        double q = static_cast<double>(num) * scale;
        if (q > 2147483647.0) return INT32_MAX;
        if (q < -2147483648.0) return INT32_MIN;
        return static_cast<int32_t>(q < 0 ? q - 0.5 : q + 0.5);
    };
    Matrix m;
    m.a = div(d);
    m.b = div(-int64_t(b));
    m.c = div(-int64_t(c));
    m.d = div(a);
    Point t = m.Apply({-tx, -ty});
    // Apply adds m.tx/m.ty (still 0 here), so t is the inverse translation.
    m.tx = t.x;
    m.ty = t.y;
    *out = m;
    return true;
}

Rect TransformRect(const Matrix& m, const Rect& r) {
    Point p[4] = {m.Apply({r.xMin, r.yMin}), m.Apply({r.xMax, r.yMin}),
                  m.Apply({r.xMin, r.yMax}), m.Apply({r.xMax, r.yMax})};
    Rect out{p[0].x, p[0].x, p[0].y, p[0].y};
    for (const Point& q : p) {
        out.xMin = std::min(out.xMin, q.x);
        out.xMax = std::max(out.xMax, q.x);
        out.yMin = std::min(out.yMin, q.y);
        out.yMax = std::max(out.yMax, q.y);
    }
    return out;
}

}  // namespace swf
