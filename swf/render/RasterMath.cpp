// Integer helpers; 128-bit products are built from 32-bit halves because
// the i686 compilers have no __int128.
#include "swf/render/RasterMath.h"

#include <cmath>

namespace swf {

namespace {

constexpr int64_t kSaturation = int64_t(1) << 62;
// Matrix terms are 16.16; ToSubpixels divides by 2^16 * 20 / 256.
constexpr int64_t kMatrixToSubpixelDen = int64_t(kFixedOne) * kTwipsPerPixel / kOnePixel;

struct U128 {
    uint64_t hi = 0;
    uint64_t lo = 0;
};

U128 Mul64(uint64_t a, uint64_t b) {
    const uint64_t mask = 0xFFFFFFFFu;
    uint64_t a0 = a & mask, a1 = a >> 32, b0 = b & mask, b1 = b >> 32;
    uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    uint64_t mid = (p00 >> 32) + (p01 & mask) + (p10 & mask);
    U128 r;
    r.lo = (p00 & mask) | (mid << 32);
    r.hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
    return r;
}

// Quotient of n / d, or UINT64_MAX when it does not fit 64 bits.
uint64_t Div128(U128 n, uint64_t d) {
    if (n.hi >= d) return UINT64_MAX;
    uint64_t rem = n.hi, q = 0;
    for (int i = 63; i >= 0; --i) {
        bool carry = (rem >> 63) != 0;
        rem = (rem << 1) | ((n.lo >> i) & 1);
        q <<= 1;
        if (carry || rem >= d) {
            rem -= d;
            q |= 1;
        }
    }
    return q;
}

uint64_t Abs64(int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); }

int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r)) return a < 0 ? INT64_MIN : INT64_MAX;
    return r;
}

}  // namespace

uint64_t ISqrt(uint64_t v) {
    // The double square root is only a first guess; the integer correction
    // makes the result exact whatever the FPU rounded.
    uint64_t s = static_cast<uint64_t>(std::sqrt(static_cast<double>(v)));
    const uint64_t kMaxRoot = 0xFFFFFFFFu;
    if (s > kMaxRoot) s = kMaxRoot;
    while (s > 0 && s * s > v) --s;
    while (s < kMaxRoot && (s + 1) * (s + 1) <= v) ++s;
    return s;
}

int64_t MulDiv(int64_t a, int64_t b, int64_t c) {
    bool negative = (a < 0) != (b < 0) ? (c > 0) : (c < 0);
    if (a == 0 || b == 0) return 0;
    uint64_t q = Div128(Mul64(Abs64(a), Abs64(b)), Abs64(c));
    int64_t r = q >= uint64_t(kSaturation) ? kSaturation : static_cast<int64_t>(q);
    return negative ? -r : r;
}

Point64 ToSubpixels(const Matrix& m, Point p) {
    auto axis = [](int32_t k0, int32_t v0, int32_t k1, int32_t v1, int32_t t) {
        int64_t sum = SaturatingAdd(int64_t(k0) * v0, int64_t(k1) * v1);
        sum = SaturatingAdd(sum, int64_t(t) * kFixedOne);
        // Round to nearest; the saturated extremes stay far outside any target.
        return FloorDiv(SaturatingAdd(sum, kMatrixToSubpixelDen / 2), kMatrixToSubpixelDen);
    };
    return {axis(m.a, p.x, m.c, p.y, m.tx), axis(m.b, p.x, m.d, p.y, m.ty)};
}

Point64 TwipsToSubpixels(Point t) {
    return {FloorDiv(int64_t(t.x) * kSubpixelsPerTwipNum, kSubpixelsPerTwipDen),
            FloorDiv(int64_t(t.y) * kSubpixelsPerTwipNum, kSubpixelsPerTwipDen)};
}

int64_t AverageScale(const Matrix& m) {
    // |det| <= 2^63 only when every term is -2^31; saturate that one case.
    int64_t ad = int64_t(m.a) * m.d, bc = int64_t(m.b) * m.c;
    int64_t det;
    if (__builtin_sub_overflow(ad, bc, &det)) det = INT64_MAX;
    return static_cast<int64_t>(ISqrt(Abs64(det)));
}

namespace {

int64_t Length(int32_t u, int32_t v) {
    const uint64_t uu = uint64_t(int64_t(u) * u), vv = uint64_t(int64_t(v) * v);  // each <= 2^62
    return static_cast<int64_t>(ISqrt(uu + vv));
}

}  // namespace

int64_t XScale(const Matrix& m) { return Length(m.a, m.b); }
int64_t YScale(const Matrix& m) { return Length(m.c, m.d); }

}  // namespace swf
