// Filter lists of PlaceObject3 and DefineButton2 records, and
// DefineScalingGrid. Counts are bounded by what the slice can hold; the
// file's floats become 16.16 fixed point here, clamped to a sane range.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr double kFixedScale = 65536.0;
// Factors and offsets beyond this change nothing visible and could overflow.
constexpr double kMaxFactor = 32767.0;
constexpr size_t kFloatBytes = 4, kStopBytes = 5;  // a stop is RGBA and a ratio

float Float(ByteReader& r) {
    uint32_t bits = r.U32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

int32_t ToFixed(double v) {
    if (!std::isfinite(v)) return 0;
    return int32_t(std::lround(std::clamp(v, -kMaxFactor, kMaxFactor) * kFixedScale));
}

int32_t Fixed(ByteReader& r) { return static_cast<int32_t>(r.U32()); }

// The flag byte closing the shadow, glow and bevel records: inner,
// knockout, composite source, then (bevels) on top, then the passes.
void ReadFlags(ByteReader& r, Filter& f, bool withOnTop) {
    uint8_t b = r.U8();
    f.inner = (b & 0x80) != 0;
    f.knockout = (b & 0x40) != 0;
    f.hideObject = (b & 0x20) == 0;
    if (withOnTop) {
        f.onTop = (b & 0x10) != 0;
        f.passes = b & 0x0F;
    } else {
        f.passes = b & 0x1F;
    }
}

// Blur sizes, the offset (when the kind has one), strength and flags.
void ReadBlurTail(ByteReader& r, Filter& f, bool withOffset, bool withOnTop) {
    f.blurX = Fixed(r);
    f.blurY = Fixed(r);
    if (withOffset) {
        f.angle = Fixed(r);
        f.distance = Fixed(r);
    }
    f.strength = r.S16();
    ReadFlags(r, f, withOnTop);
}

void ReadGradientFilter(ByteReader& r, Filter& f) {
    size_t count = r.U8();
    if (count == 0 || count > size_t(kMaxFilterStops)) throw ReadError("gradient filter with " +
                                                          std::to_string(count) + " colours");
    r.RequireItems(count, kStopBytes, "gradient filter colours");
    f.stops.resize(count);
    for (FilterStop& s : f.stops) s.color = r.Rgba32();
    uint8_t last = 0;
    for (FilterStop& s : f.stops) last = s.ratio = std::max(last, r.U8());
    ReadBlurTail(r, f, true, true);
}

void ReadConvolution(ByteReader& r, Filter& f) {
    f.matrixX = r.U8();
    f.matrixY = r.U8();
    if (f.matrixX == 0 || f.matrixY == 0 || f.matrixX > kMaxConvolutionSide ||
        f.matrixY > kMaxConvolutionSide)
        throw ReadError("convolution matrix of " + std::to_string(f.matrixX) + " x " +
                        std::to_string(f.matrixY));
    double divisor = Float(r);
    if (!std::isfinite(divisor) || divisor == 0) divisor = 1;
    f.bias = ToFixed(Float(r));
    size_t n = size_t(f.matrixX) * f.matrixY;
    r.RequireItems(n, kFloatBytes, "convolution matrix");
    f.weights.resize(n);
    for (int32_t& w : f.weights) w = ToFixed(Float(r) / divisor);
    f.defaultColor = r.Rgba32();
    uint8_t b = r.U8();
    f.clamp = (b & 0x02) != 0;
    f.preserveAlpha = (b & 0x01) != 0;
}

Filter ReadFilter(ByteReader& r) {
    Filter f;
    uint8_t kind = r.U8();
    if (kind > kLastFilterKind) throw ReadError("unknown filter type " + std::to_string(kind));
    f.kind = static_cast<FilterKind>(kind);
    switch (f.kind) {
    case FilterKind::DropShadow:
    case FilterKind::Glow:
        f.color = r.Rgba32();
        ReadBlurTail(r, f, f.kind == FilterKind::DropShadow, false);
        break;
    case FilterKind::Blur:
        f.blurX = Fixed(r);
        f.blurY = Fixed(r);
        f.passes = r.U8() >> 3;
        break;
    case FilterKind::Bevel:
        // The highlight comes first in the record.
        f.highlight = r.Rgba32();
        f.color = r.Rgba32();
        ReadBlurTail(r, f, true, true);
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: ReadGradientFilter(r, f); break;
    case FilterKind::Convolution: ReadConvolution(r, f); break;
    case FilterKind::ColorMatrix:
        for (int32_t& m : f.matrix) m = ToFixed(Float(r));
        break;
    }
    return f;
}

}  // namespace

FilterList ReadFilterList(ByteReader& r) {
    size_t count = r.U8();
    if (count > kMaxFiltersPerObject)
        throw ReadError(std::to_string(count) + " filters on one object");
    FilterList list;
    list.reserve(count);
    for (size_t i = 0; i < count; ++i) list.push_back(ReadFilter(r));
    return list;
}

void ReadDefineScalingGrid(ByteReader& r, ReadContext& ctx) {
    ScalingGrid grid;
    grid.characterId = r.U16();
    grid.center = r.ReadRect();
    if (grid.center.xMin >= grid.center.xMax || grid.center.yMin >= grid.center.yMax)
        throw ReadError("scaling grid of character " + std::to_string(grid.characterId) + " is empty");
    ctx.movie.scalingGrids.emplace(grid.characterId, grid.center);  // the first one wins
}

}  // namespace swf
