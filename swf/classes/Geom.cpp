#include "swf/classes/Geom.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

// The gradient square is 32768 twips, 1638.4 pixels, a side.
constexpr double kGradientSquarePixels = 1638.4;

int32_t SaturateToInt32(double v) {
    if (!std::isfinite(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int16_t TruncateInt16(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int16_t>(std::clamp(std::trunc(v), -32768.0, 32767.0));
}

// Color's fields wrap to 16 bits as the player stores them (12800% is
// -12800%), where flash.geom.ColorTransform saturates.
int16_t WrapInt16(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(std::fmod(std::trunc(v), 65536.0))));
}

}  // namespace

int32_t PixelsToTwips(double pixels) { return SaturateToInt32(std::trunc(pixels * kTwipsPerPixel)); }

int32_t ToFixed16(double v) { return SaturateToInt32(std::round(v * kFixedOne)); }

GeomMatrix GeomMatrix::CreateBox(double scaleX, double scaleY, double rotation, double tx, double ty) {
    const double cs = std::cos(rotation), sn = std::sin(rotation);
    return {cs * scaleX, sn * scaleY, -sn * scaleX, cs * scaleY, tx, ty};
}

GeomMatrix GeomMatrix::CreateGradientBox(double width, double height, double rotation, double tx,
                                         double ty) {
    return CreateBox(width / kGradientSquarePixels, height / kGradientSquarePixels, rotation,
                     tx + width / 2, ty + height / 2);
}

GeomMatrix GeomMatrix::Then(const GeomMatrix& m) const {
    return {a * m.a + b * m.c,         a * m.b + b * m.d,         c * m.a + d * m.c,
            c * m.b + d * m.d,         tx * m.a + ty * m.c + m.tx, tx * m.b + ty * m.d + m.ty};
}

bool GeomMatrix::Invert() {
    const double det = a * d - b * c;
    if (det == 0 || !std::isfinite(det)) return false;
    const GeomMatrix m{d / det, -b / det, -c / det, a / det, 0, 0};
    const GeomPoint t = m.DeltaTransformPoint({-tx, -ty});
    *this = {m.a, m.b, m.c, m.d, t.x, t.y};
    return true;
}

GeomPoint GeomMatrix::TransformPoint(GeomPoint p) const {
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
}

GeomPoint GeomMatrix::DeltaTransformPoint(GeomPoint p) const { return {a * p.x + c * p.y, b * p.x + d * p.y}; }

Matrix GeomMatrix::ToEngine() const {
    Matrix m;
    m.a = ToFixed16(a);
    m.b = ToFixed16(b);
    m.c = ToFixed16(c);
    m.d = ToFixed16(d);
    m.tx = PixelsToTwips(tx);
    m.ty = PixelsToTwips(ty);
    return m;
}

GeomMatrix GeomMatrix::FromEngine(const Matrix& m) {
    return {double(m.a) / kFixedOne, double(m.b) / kFixedOne, double(m.c) / kFixedOne,
            double(m.d) / kFixedOne, double(m.tx) / kTwipsPerPixel, double(m.ty) / kTwipsPerPixel};
}

bool GeomRect::Contains(double px, double py) const {
    return px >= x && px < Right() && py >= y && py < Bottom();
}

bool GeomRect::ContainsRect(const GeomRect& r) const {
    return !r.IsEmpty() && r.x >= x && r.y >= y && r.Right() <= Right() && r.Bottom() <= Bottom();
}

bool GeomRect::Intersects(const GeomRect& r) const { return !Intersection(r).IsEmpty(); }

GeomRect GeomRect::Intersection(const GeomRect& r) const {
    const double l = std::max(x, r.x), t = std::max(y, r.y);
    const double rr = std::min(Right(), r.Right()), bb = std::min(Bottom(), r.Bottom());
    if (!(rr > l) || !(bb > t)) return {};
    return {l, t, rr - l, bb - t};
}

GeomRect GeomRect::Union(const GeomRect& r) const {
    if (IsEmpty()) return r;
    if (r.IsEmpty()) return *this;
    const double l = std::min(x, r.x), t = std::min(y, r.y);
    return {l, t, std::max(Right(), r.Right()) - l, std::max(Bottom(), r.Bottom()) - t};
}

GeomRect GeomRect::FromTwips(const Rect& r) {
    return {double(r.xMin) / kTwipsPerPixel, double(r.yMin) / kTwipsPerPixel,
            double(r.Width()) / kTwipsPerPixel, double(r.Height()) / kTwipsPerPixel};
}

GeomColorTransform GeomColorTransform::Concat(const GeomColorTransform& s) const {
    GeomColorTransform t;
    t.redOffset = redOffset + redMultiplier * s.redOffset;
    t.greenOffset = greenOffset + greenMultiplier * s.greenOffset;
    t.blueOffset = blueOffset + blueMultiplier * s.blueOffset;
    t.alphaOffset = alphaOffset + alphaMultiplier * s.alphaOffset;
    t.redMultiplier = redMultiplier * s.redMultiplier;
    t.greenMultiplier = greenMultiplier * s.greenMultiplier;
    t.blueMultiplier = blueMultiplier * s.blueMultiplier;
    t.alphaMultiplier = alphaMultiplier * s.alphaMultiplier;
    return t;
}

uint32_t GeomColorTransform::Rgb() const {
    auto ch = [](double v) { return uint32_t(SaturateToInt32(v)) & 0xFF; };
    return (ch(redOffset) << 16) | (ch(greenOffset) << 8) | ch(blueOffset);
}

void GeomColorTransform::SetRgb(uint32_t rgb) {
    redMultiplier = greenMultiplier = blueMultiplier = 0;
    redOffset = (rgb >> 16) & 0xFF;
    greenOffset = (rgb >> 8) & 0xFF;
    blueOffset = rgb & 0xFF;
}

ColorTransform GeomColorTransform::ToEngine() const {
    ColorTransform t;
    t.rMul = TruncateInt16(redMultiplier * 256);
    t.gMul = TruncateInt16(greenMultiplier * 256);
    t.bMul = TruncateInt16(blueMultiplier * 256);
    t.aMul = TruncateInt16(alphaMultiplier * 256);
    t.rAdd = TruncateInt16(redOffset);
    t.gAdd = TruncateInt16(greenOffset);
    t.bAdd = TruncateInt16(blueOffset);
    t.aAdd = TruncateInt16(alphaOffset);
    return t;
}

GeomColorTransform GeomColorTransform::FromEngine(const ColorTransform& t) {
    return {t.rMul / 256.0, t.gMul / 256.0, t.bMul / 256.0, t.aMul / 256.0,
            double(t.rAdd), double(t.gAdd), double(t.bAdd), double(t.aAdd)};
}

ColorTransform ColorSetTransform(const ColorTransform& now, const ColorTransformObject& o) {
    ColorTransform t = now;
    auto percent = [](const std::optional<double>& v, int16_t& out) {
        if (v) out = WrapInt16(*v * 256 / 100);
    };
    auto offset = [](const std::optional<double>& v, int16_t& out) {
        if (v) out = WrapInt16(*v);
    };
    percent(o.ra, t.rMul);
    percent(o.ga, t.gMul);
    percent(o.ba, t.bMul);
    percent(o.aa, t.aMul);
    offset(o.rb, t.rAdd);
    offset(o.gb, t.gAdd);
    offset(o.bb, t.bAdd);
    offset(o.ab, t.aAdd);
    return t;
}

ColorTransformObject ColorGetTransform(const ColorTransform& t) {
    ColorTransformObject o;
    o.ra = t.rMul * 100 / 256.0;
    o.ga = t.gMul * 100 / 256.0;
    o.ba = t.bMul * 100 / 256.0;
    o.aa = t.aMul * 100 / 256.0;
    o.rb = t.rAdd;
    o.gb = t.gAdd;
    o.bb = t.bAdd;
    o.ab = t.aAdd;
    return o;
}

ColorTransform ColorSetRgb(const ColorTransform& now, uint32_t rgb) {
    ColorTransform t = now;
    t.rMul = t.gMul = t.bMul = 0;
    t.rAdd = int16_t((rgb >> 16) & 0xFF);
    t.gAdd = int16_t((rgb >> 8) & 0xFF);
    t.bAdd = int16_t(rgb & 0xFF);
    return t;
}

int32_t ColorGetRgb(const ColorTransform& t) {
    // The offsets as stored, sign and all: a negative one fills the bits above it.
    return int32_t(uint32_t(t.rAdd) << 16) | int32_t(uint32_t(t.gAdd) << 8) | t.bAdd;
}

}  // namespace swf
