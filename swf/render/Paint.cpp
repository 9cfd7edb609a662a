#include "swf/render/Paint.h"

#include <algorithm>
#include <array>

#include "swf/render/PixelOps.h"

namespace swf {

namespace {

constexpr int kRampSize = 256;
constexpr int kGradientFracBits = 16;      // fractional bits of gradient twips
constexpr int64_t kGradientHalfSide = 16384;  // the gradient square is +-16384 twips
// Linear: 256 ratio steps across 32768 twips = 128 twips per step.
constexpr int kLinearShift = kGradientFracBits + 7;
// Radial: radius 16384 twips with 12 fractional bits = 2^(16+14-12).
constexpr int kRadiusFracBits = 12;
constexpr int kRadialShift = kGradientFracBits + 14 - kRadiusFracBits;
constexpr int64_t kRadiusOne = int64_t(1) << kRadiusFracBits;
constexpr int kRatioFromRadiusShift = kRadiusFracBits - 8;
// The focal point stays just inside the circle so the equation keeps a root.
constexpr int32_t kMaxFocal = int32_t(kRadiusOne) - (int32_t(kRadiusOne) >> 8);
// Bounds that keep x * step + origin inside 64 bits for any pixel.
constexpr int64_t kMaxStep = int64_t(1) << 36;
constexpr int64_t kMaxOrigin = int64_t(1) << 60;
constexpr int64_t kStepNumerator = int64_t(1) << 32;
constexpr int kChunk = 64;

int64_t Sq(int64_t v) { return v * v; }

int64_t Clamp(int64_t v, int64_t bound) { return std::clamp(v, -bound, bound); }

uint64_t Abs(int64_t v) { return v < 0 ? 0 - uint64_t(v) : uint64_t(v); }

// |(dx, dy)| scaled down until the squares fit; returns the shift used.
int Reduce(int64_t& dx, int64_t& dy, int64_t limit) {
    int shift = 0;
    while (Abs(dx) >= uint64_t(limit) || Abs(dy) >= uint64_t(limit)) {
        dx >>= 1;
        dy >>= 1;
        ++shift;
    }
    return shift;
}

// floor(sqrt(v)) for v < 2^16: inside the circle the ratio is
// floor(sqrt(q) / 16) = floor(sqrt(floor(q / 256))), one table look-up.
constexpr int kSqrtTableBits = 16;
constexpr int kSqrtTableShift = 2 * kRatioFromRadiusShift;
using SqrtTable = std::array<uint8_t, size_t(1) << kSqrtTableBits>;

const SqrtTable& RatioSqrtTable() {
    static const SqrtTable table = [] {
        SqrtTable t{};
        uint32_t root = 0;
        for (uint32_t v = 0; v < t.size(); ++v) {
            while ((root + 1) * (root + 1) <= v) ++root;
            t[v] = uint8_t(root);
        }
        return t;
    }();
    return table;
}

// Padded gradients skip the root outside the circle: every ratio there is
// the last one.
template <bool padded>
int64_t RadialPosition(int64_t gx, int64_t gy, const SqrtTable& table) {
    int64_t ux = gx >> kRadialShift, uy = gy >> kRadialShift;
    if (padded) {
        if (uint64_t(ux + kRadiusOne) > uint64_t(2 * kRadiusOne) ||
            uint64_t(uy + kRadiusOne) > uint64_t(2 * kRadiusOne))
            return kRampSize;
        // Both below 2^13 here: 32-bit products, cheap on i686 too.
        const uint32_t x = uint32_t(ux), y = uint32_t(uy);
        const uint32_t q = (x * x + y * y) >> kSqrtTableShift;
        return q < table.size() ? table[q] : kRampSize;
    }
    int shift = Reduce(ux, uy, int64_t(1) << 30);
    const uint64_t q = uint64_t(ux * ux) + uint64_t(uy * uy);
    if (shift == 0 && (q >> kSqrtTableShift) < table.size()) return table[q >> kSqrtTableShift];
    return int64_t(ISqrt(q) << shift) >> kRatioFromRadiusShift;
}

// The ray from the focal point F through P meets the circle at E; the ratio
// is |P - F| / |E - F|. With D = P - F and radius 1 that solves to
// t = (F.x D.x + sqrt((F.x D.x)^2 + |D|^2 (1 - F.x^2))) / (1 - F.x^2).
int64_t FocalPosition(int64_t gx, int64_t gy, int32_t focal) {
    int64_t dx = (gx >> kRadialShift) - focal, dy = gy >> kRadialShift;
    int shift = Reduce(dx, dy, int64_t(1) << 17);
    const int64_t f = focal, den = kRadiusOne * kRadiusOne - f * f;
    const int64_t fd = f * dx;
    int64_t num = fd + int64_t(ISqrt(uint64_t(fd * fd + (dx * dx + dy * dy) * den)));
    return ((num << 8) / den) << shift;
}

template <SpreadMode spread>
inline uint8_t Spread(int64_t position) {
    if (spread == SpreadMode::Repeat) return uint8_t(position & (kRampSize - 1));
    if (spread == SpreadMode::Reflect) {
        int64_t m = position & (2 * kRampSize - 1);
        return uint8_t(m < kRampSize ? m : 2 * kRampSize - 1 - m);
    }
    return uint8_t(std::clamp<int64_t>(position, 0, kRampSize - 1));
}

// The spread on a position with 8 fractional bits: 0 .. 256 * 256 - 1.
template <SpreadMode spread>
inline int32_t FineSpread(int64_t fine) {
    constexpr int64_t kPeriod = int64_t(kRampSize) << 8;
    if (spread == SpreadMode::Repeat) return int32_t(fine & (kPeriod - 1));
    if (spread == SpreadMode::Reflect) {
        const int64_t m = fine & (2 * kPeriod - 1);
        return int32_t(m < kPeriod ? m : 2 * kPeriod - 1 - m);
    }
    return int32_t(std::clamp<int64_t>(fine, 0, kPeriod - 1));
}

// Packed premultiplied colours mixed by f/256, two channels per multiply.
inline uint32_t LerpPacked(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0xFF00FF) * g + (b & 0xFF00FF) * f + 0x800080) >> 8) & 0xFF00FF;
    const uint32_t ag = ((((a >> 8) & 0xFF00FF) * g + ((b >> 8) & 0xFF00FF) * f + 0x800080) >> 8) & 0xFF00FF;
    return rb | ag << 8;
}

template <PaintKind kind, SpreadMode spread>
void FillGradient(const Paint& p, int64_t gx, int64_t gy, int32_t len, uint32_t* out) {
    const SqrtTable& table = RatioSqrtTable();
    constexpr bool padded = spread == SpreadMode::Pad;
    if (kind == PaintKind::Linear && p.mixRamp) {
        // Entries stand for their centres; within a period the ends hold.
        for (int32_t i = 0; i < len; ++i) {
            const int64_t fine = (gx + (kGradientHalfSide << kGradientFracBits)) >> (kLinearShift - 8);
            const int32_t at = std::max(FineSpread<spread>(fine) - 128, 0);
            const int32_t entry = at >> 8;
            out[i] = LerpPacked(p.ramp[entry], p.ramp[std::min(entry + 1, kRampSize - 1)], uint32_t(at & 255));
            gx += p.gxPerX;
            gy += p.gyPerX;
        }
        return;
    }
    for (int32_t i = 0; i < len; ++i) {
        int64_t position;
        if (kind == PaintKind::Linear) position = (gx + (kGradientHalfSide << kGradientFracBits)) >> kLinearShift;
        else if (kind == PaintKind::Radial) position = RadialPosition<padded>(gx, gy, table);
        else position = FocalPosition(gx, gy, p.focal);
        out[i] = p.ramp[Spread<spread>(position)];
        gx += p.gxPerX;
        gy += p.gyPerX;
    }
}

using GradientFiller = void (*)(const Paint&, int64_t, int64_t, int32_t, uint32_t*);

template <PaintKind kind>
GradientFiller PickFiller(SpreadMode spread) {
    switch (spread) {
    case SpreadMode::Repeat: return FillGradient<kind, SpreadMode::Repeat>;
    case SpreadMode::Reflect: return FillGradient<kind, SpreadMode::Reflect>;
    default: return FillGradient<kind, SpreadMode::Pad>;
    }
}

GradientFiller PickFiller(const Paint& p) {
    if (p.kind == PaintKind::Bitmap) return FillBitmapSpan;
    if (p.kind == PaintKind::Linear) return PickFiller<PaintKind::Linear>(p.spread);
    if (p.kind == PaintKind::Radial) return PickFiller<PaintKind::Radial>(p.spread);
    return PickFiller<PaintKind::Focal>(p.spread);
}

void SetGradientMap(const FillStyle& fill, const Matrix& toTarget, Paint& p) {
    if (!SetSampleMap(toTarget.Concat(fill.matrix), p)) {
        // A collapsed gradient has no inside; show its outermost colour.
        p.kind = PaintKind::Solid;
        p.solid = p.ramp[kRampSize - 1];
        return;
    }
    // A linear gradient is sampled on the row's top edge, halfway along the pixel.
    if (p.kind != PaintKind::Linear) return;
    p.gx0 -= p.gxPerY / 2;
    p.gy0 -= p.gyPerY / 2;
}

}  // namespace

bool SetSampleMap(const Matrix& m, Paint& p) {
    int64_t det;
    if (__builtin_sub_overflow(int64_t(m.a) * m.d, int64_t(m.b) * m.c, &det) || det == 0) return false;
    auto step = [det](int64_t k) { return Clamp(MulDiv(k * kTwipsPerPixel, kStepNumerator, det), kMaxStep); };
    auto term = [det](int64_t k) { return Clamp(MulDiv(k, kStepNumerator, det), kMaxOrigin / 2); };
    const int64_t cx = kTwipsPerPixel / 2 - int64_t(m.tx), cy = kTwipsPerPixel / 2 - int64_t(m.ty);
    p.gxPerX = step(m.d);
    p.gxPerY = step(-int64_t(m.c));
    p.gyPerX = step(-int64_t(m.b));
    p.gyPerY = step(m.a);
    p.gx0 = term(int64_t(m.d) * cx) + term(-int64_t(m.c) * cy);
    p.gy0 = term(-int64_t(m.b) * cx) + term(int64_t(m.a) * cy);
    return true;
}

uint8_t SpreadIndex(SpreadMode spread, int64_t position) {
    switch (spread) {
    case SpreadMode::Repeat: return uint8_t(position & (kRampSize - 1));
    case SpreadMode::Reflect: {
        int64_t m = position & (2 * kRampSize - 1);
        return uint8_t(m < kRampSize ? m : 2 * kRampSize - 1 - m);
    }
    case SpreadMode::Pad:
    default: return uint8_t(std::clamp<int64_t>(position, 0, kRampSize - 1));
    }
}

// Straight from the definitions, without the table: the reference the span
// loops are tested against (radial positions within 2^30 radius units).
int64_t GradientPosition(const Paint& p, int64_t gx, int64_t gy) {
    switch (p.kind) {
    case PaintKind::Linear: return (gx + (kGradientHalfSide << kGradientFracBits)) >> kLinearShift;
    case PaintKind::Radial: return int64_t(ISqrt(uint64_t(Sq(gx >> kRadialShift)) + uint64_t(Sq(gy >> kRadialShift))) >> kRatioFromRadiusShift);
    case PaintKind::Focal: return FocalPosition(gx, gy, p.focal);
    default: return 0;
    }
}

Paint MakeSolidPaint(Rgba color, const ColorTransform& cxform) {
    Paint p;
    p.kind = PaintKind::Solid;
    p.solid = FrameBuffer::Premultiply(cxform.Apply(color));
    return p;
}

Paint MakePaint(const FillStyle& fill, const Matrix& toTarget, const ColorTransform& cxform,
                const BitmapSource* bitmaps) {
    Paint p;
    switch (fill.kind) {
    case FillKind::Solid: return MakeSolidPaint(fill.color, cxform);
    case FillKind::LinearGradient: p.kind = PaintKind::Linear; break;
    case FillKind::RadialGradient: p.kind = PaintKind::Radial; break;
    case FillKind::FocalRadialGradient: p.kind = PaintKind::Focal; break;
    case FillKind::Bitmap: return MakeBitmapPaint(fill, toTarget, cxform, bitmaps);
    default: return p;
    }
    if (fill.gradient.stops.empty()) return Paint{};
    p.spread = fill.gradient.spread;
    constexpr int kFocalToRadius = kRadiusFracBits - 8;  // 8.8 -> 12 fractional bits
    p.focal = std::clamp<int32_t>(int32_t(fill.gradient.focalPoint) * (1 << kFocalToRadius),
                                  -kMaxFocal, kMaxFocal);
    BuildRamp(fill.gradient, cxform, p.ramp);
    p.opaque = std::all_of(p.ramp, p.ramp + kRampSize, [](uint32_t c) { return (c >> 24) == 255; });
    SetGradientMap(fill, toTarget, p);
    return p;
}

uint32_t BlendPixel(uint32_t dst, uint32_t src, uint8_t coverage) {
    const uint32_t sa = Div255((src >> 24) * coverage);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t s = Div255(((src >> shift) & 0xFF) * coverage);
        uint32_t d = (dst >> shift) & 0xFF;
        out |= (s + Div255(d * (255 - sa))) << shift;
    }
    return out;
}

void BlendSolidSpan(uint32_t* dst, int32_t len, uint32_t src, uint8_t coverage) {
    if (coverage == 255 && (src >> 24) == 255) {
        std::fill(dst, dst + len, src);
        return;
    }
    const uint32_t scaled = ScalePacked(src, coverage);
    const uint32_t keep = 255 - (scaled >> 24);
    for (int32_t i = 0; i < len; ++i) dst[i] = scaled + ScalePacked(dst[i], keep);
}

void PaintCompositor::Row(int32_t y, const Span* spans, size_t count) {
    uint32_t* row = target_.Row(y);
    for (size_t i = 0; i < count; ++i) {
        const Span& s = spans[i];
        if (paint_.kind == PaintKind::Solid) BlendSolidSpan(row + s.x, s.len, paint_.solid, s.alpha);
        else if (paint_.kind != PaintKind::None) GradientSpan(row + s.x, s.x, y, s.len, s.alpha);
    }
}

void PaintCompositor::GradientSpan(uint32_t* dst, int32_t x, int32_t y, int32_t len, uint8_t coverage) {
    const Paint& p = paint_;
    const GradientFiller fill = PickFiller(p);
    int64_t gx = p.gx0 + x * p.gxPerX + y * p.gxPerY;
    int64_t gy = p.gy0 + x * p.gyPerX + y * p.gyPerY;
    if (coverage == 255 && p.opaque) return fill(p, gx, gy, len, dst);
    uint32_t colors[kChunk];
    for (int32_t done = 0; done < len; done += kChunk) {
        const int32_t n = std::min(kChunk, len - done);
        fill(p, gx, gy, n, colors);
        gx += n * p.gxPerX;
        gy += n * p.gyPerX;
        for (int32_t i = 0; i < n; ++i) {
            const uint32_t c = colors[i];
            dst[done + i] = (coverage == 255 && (c >> 24) == 255)
                                ? c
                                : BlendPacked(dst[done + i], ScalePacked(c, coverage));
        }
    }
}

}  // namespace swf
