// Integer helpers shared by the renderer.
//
// Units: `Subpixel` is 1/256 target pixel (kPixelBits fractional bits), kept
// in 64 bits until the clipper has brought a line inside the target, after
// which it fits 32 bits. Nothing here uses floating point to decide a value,
// so i686 (x87) and x86-64 (SSE) builds draw identical bytes.
#pragma once

#include <cstdint>

#include "swf/model/Geometry.h"

namespace swf {

constexpr int kPixelBits = 8;
constexpr int32_t kOnePixel = 1 << kPixelBits;  // subpixels per pixel
constexpr int64_t kSubpixelsPerTwipNum = kOnePixel;      // subpixel = twips * 256 / 20
constexpr int64_t kSubpixelsPerTwipDen = kTwipsPerPixel;

using Subpixel = int64_t;

// Curves and round joins stay within 1/16 pixel of the true outline: a
// quarter pixel would already look right edge by edge, but chords always
// fall inside, and that bias visibly shrinks small round shapes.
constexpr Subpixel kFlattenTolerance = kOnePixel / 16;

struct Point64 {
    Subpixel x = 0;
    Subpixel y = 0;
    bool operator==(const Point64& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point64& o) const { return !(*this == o); }
};

// Receives directed lines in subpixels: the rasteriser, the hit tester.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void Line(Point64 from, Point64 to) = 0;
};

// An axis-aligned region in subpixels (inclusive bounds).
struct Box {
    Subpixel xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    Box Expanded(Subpixel by) const { return {xMin - by, yMin - by, xMax + by, yMax + by}; }
    bool Contains(Point64 p) const { return p.x >= xMin && p.x <= xMax && p.y >= yMin && p.y <= yMax; }
};

// Floor division for a positive divisor.
inline int64_t FloorDiv(int64_t num, int64_t den) {
    int64_t q = num / den;
    return (num % den != 0 && num < 0) ? q - 1 : q;
}

// num / den rounded to nearest, halves away from zero; den != 0 and
// |num| + |den| / 2 must not overflow.
inline int64_t RoundDiv(int64_t num, int64_t den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
}

// Exact floor(sqrt(v)) for v >= 0.
uint64_t ISqrt(uint64_t v);

// a * b / c with a 128-bit intermediate, truncated toward zero and saturated
// to +-2^62. c must not be 0.
int64_t MulDiv(int64_t a, int64_t b, int64_t c);

// Maps shape twips through `m` (shape twips -> target twips) straight into
// subpixels, rounding once. Sums that would overflow saturate.
Point64 ToSubpixels(const Matrix& m, Point p);

// Target twips -> subpixels (floor).
Point64 TwipsToSubpixels(Point targetTwips);

// sqrt(|det|) of the 2x2 part as 16.16; the average linear scale of `m`.
int64_t AverageScale(const Matrix& m);
// Length of a unit x (or y) vector mapped through `m`, as 16.16.
int64_t XScale(const Matrix& m);
int64_t YScale(const Matrix& m);

}  // namespace swf
