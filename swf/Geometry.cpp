#include "swf/Geometry.h"

#include <algorithm>

namespace swf {

namespace {

// Round-to-nearest (halves away from zero) of v / 2^16, saturated to int32.
int32_t RoundFixed(int64_t v) {
    int64_t r = v >= 0 ? (v + (1 << 15)) >> 16 : -((-v + (1 << 15)) >> 16);
    return static_cast<int32_t>(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

Point Matrix::Apply(Point p) const {
    int64_t x = int64_t(a) * p.x + int64_t(c) * p.y;
    int64_t y = int64_t(b) * p.x + int64_t(d) * p.y;
    return {Saturate(int64_t(RoundFixed(x)) + tx), Saturate(int64_t(RoundFixed(y)) + ty)};
}

Matrix Matrix::Concat(const Matrix& in) const {
    Matrix m;
    m.a = RoundFixed(int64_t(a) * in.a + int64_t(c) * in.b);
    m.b = RoundFixed(int64_t(b) * in.a + int64_t(d) * in.b);
    m.c = RoundFixed(int64_t(a) * in.c + int64_t(c) * in.d);
    m.d = RoundFixed(int64_t(b) * in.c + int64_t(d) * in.d);
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
