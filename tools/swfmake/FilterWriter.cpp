#include "tools/swfmake/FilterWriter.h"

#include <cmath>
#include <cstring>

namespace swfmake {

namespace {

void Float(ByteWriter& w, double v) {
    float f = static_cast<float>(v);
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    w.U32(bits);
}

void FixedFloat(ByteWriter& w, int32_t v) { Float(w, v / double(swf::kFixedOne)); }

void Flags(ByteWriter& w, const swf::Filter& f, bool withOnTop) {
    uint8_t b = (f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) | (f.hideObject ? 0 : 0x20);
    if (withOnTop)
        b |= (f.onTop ? 0x10 : 0) | (f.passes & 0x0F);
    else
        b |= f.passes & 0x1F;
    w.U8(b);
}

void BlurFields(ByteWriter& w, const swf::Filter& f) {
    w.U32(static_cast<uint32_t>(f.blurX));
    w.U32(static_cast<uint32_t>(f.blurY));
}

// Blur sizes, the offset (when the kind has one), strength and flags.
void BlurTail(ByteWriter& w, const swf::Filter& f, bool withOffset, bool withOnTop) {
    BlurFields(w, f);
    if (withOffset) {
        w.U32(static_cast<uint32_t>(f.angle));
        w.U32(static_cast<uint32_t>(f.distance));
    }
    w.S16(f.strength);
    Flags(w, f, withOnTop);
}

void WriteFilter(ByteWriter& w, const swf::Filter& f) {
    using swf::FilterKind;
    w.U8(static_cast<uint8_t>(f.kind));
    switch (f.kind) {
    case FilterKind::DropShadow:
    case FilterKind::Glow:
        w.Rgba(f.color);
        BlurTail(w, f, f.kind == FilterKind::DropShadow, false);
        break;
    case FilterKind::Blur:
        BlurFields(w, f);
        w.U8(static_cast<uint8_t>(f.passes << 3));
        break;
    case FilterKind::Bevel:
        w.Rgba(f.highlight);
        w.Rgba(f.color);
        BlurTail(w, f, true, true);
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel:
        w.U8(static_cast<uint8_t>(f.stops.size()));
        for (const swf::FilterStop& s : f.stops) w.Rgba(s.color);
        for (const swf::FilterStop& s : f.stops) w.U8(s.ratio);
        BlurTail(w, f, true, true);
        break;
    case FilterKind::Convolution:
        w.U8(f.matrixX);
        w.U8(f.matrixY);
        Float(w, 1.0);
        FixedFloat(w, f.bias);
        for (int32_t v : f.weights) FixedFloat(w, v);
        w.Rgba(f.defaultColor);
        w.U8((f.clamp ? 0x02 : 0) | (f.preserveAlpha ? 0x01 : 0));
        break;
    case FilterKind::ColorMatrix:
        for (int32_t v : f.matrix) FixedFloat(w, v);
        break;
    }
}

int32_t Pixels(int v) { return v * swf::kFixedOne; }

}  // namespace

void WriteFilterList(ByteWriter& w, const swf::FilterList& filters) {
    w.U8(static_cast<uint8_t>(filters.size()));
    for (const swf::Filter& f : filters) WriteFilter(w, f);
}

swf::Filter DropShadowFilter(swf::Rgba color, int blur, int distance, int angleDegrees, int passes) {
    constexpr double kPi = 3.14159265358979323846;
    swf::Filter f;
    f.kind = swf::FilterKind::DropShadow;
    f.color = color;
    f.blurX = f.blurY = Pixels(blur);
    f.distance = Pixels(distance);
    f.angle = static_cast<int32_t>(std::lround(angleDegrees * kPi / 180 * swf::kFixedOne));
    f.passes = static_cast<uint8_t>(passes);
    return f;
}

swf::Filter GlowFilter(swf::Rgba color, int blur, int passes) {
    swf::Filter f;
    f.kind = swf::FilterKind::Glow;
    f.color = color;
    f.blurX = f.blurY = Pixels(blur);
    f.passes = static_cast<uint8_t>(passes);
    return f;
}

swf::Filter BlurFilter(int blurX, int blurY, int passes) {
    swf::Filter f;
    f.kind = swf::FilterKind::Blur;
    f.blurX = Pixels(blurX);
    f.blurY = Pixels(blurY);
    f.passes = static_cast<uint8_t>(passes);
    return f;
}

}  // namespace swfmake
