#include "swf/classes/ClipTransform.h"

#include <cmath>
#include <limits>

namespace swf {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegrees = 180 / kPi;

// An infinite position lands at the lowest twip, as the reference's
// conversion to int does.
int32_t PositionTwips(double px) {
    return std::isinf(px) ? std::numeric_limits<int32_t>::min() : PixelsToTwips(px);
}

double NormaliseDegrees(double d) {
    d = std::fmod(d, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d;
}

}  // namespace

void ClipTransform::SetMatrix(const Matrix& m) {
    matrix_ = m;
    partsValid_ = false;
}

const ClipTransform::Parts& ClipTransform::Read() const {
    if (partsValid_) return parts_;
    const double a = double(matrix_.a) / kFixedOne, b = double(matrix_.b) / kFixedOne;
    const double c = double(matrix_.c) / kFixedOne, d = double(matrix_.d) / kFixedOne;
    Parts p;
    p.xScale = std::sqrt(a * a + b * b);
    p.yScale = std::sqrt(c * c + d * d);
    if (a * d - b * c < 0) p.yScale = -p.yScale;
    const double rotX = std::atan2(b, a);
    // The y axis is (-sin, cos) times the y scale, so a flip turns it round.
    const double rotY = p.yScale < 0 ? std::atan2(c, -d) : std::atan2(-c, d);
    p.rotation = NormaliseDegrees(rotX * kDegrees);
    p.skew = rotY - rotX;
    parts_ = p;
    partsValid_ = true;
    return parts_;
}

void ClipTransform::Rebuild() {
    const double r = parts_.rotation / kDegrees;
    const double ry = r + parts_.skew;
    matrix_.a = ToFixed16(parts_.xScale * std::cos(r));
    matrix_.b = ToFixed16(parts_.xScale * std::sin(r));
    matrix_.c = ToFixed16(-parts_.yScale * std::sin(ry));
    matrix_.d = ToFixed16(parts_.yScale * std::cos(ry));
}

double ClipTransform::X() const { return double(matrix_.tx) / kTwipsPerPixel; }
double ClipTransform::Y() const { return double(matrix_.ty) / kTwipsPerPixel; }
double ClipTransform::XScale() const { return Read().xScale * 100; }
double ClipTransform::YScale() const { return Read().yScale * 100; }
double ClipTransform::Rotation() const { return Read().rotation; }

void ClipTransform::SetX(double px) {
    if (!std::isnan(px)) matrix_.tx = PositionTwips(px);
}

void ClipTransform::SetY(double px) {
    if (!std::isnan(px)) matrix_.ty = PositionTwips(px);
}

// An infinite scale or rotation is kept and read back as set; the matrix
// holds what fixed point can of it.
void ClipTransform::SetXScale(double percent) {
    if (std::isnan(percent)) return;
    Read();
    parts_.xScale = percent / 100;
    Rebuild();
}

void ClipTransform::SetYScale(double percent) {
    if (std::isnan(percent)) return;
    Read();
    parts_.yScale = percent / 100;
    Rebuild();
}

void ClipTransform::SetRotation(double degrees) {
    if (std::isnan(degrees)) return;
    Read();
    parts_.rotation = NormaliseDegrees(degrees);
    Rebuild();
}

void ClipTransform::SetWidth(double px, const Rect& local) {
    const double now = double(TransformRect(matrix_, local).Width()) / kTwipsPerPixel;
    if (!std::isfinite(px) || !(now > 0)) return;
    SetXScale(XScale() * px / now);
}

void ClipTransform::SetHeight(double px, const Rect& local) {
    const double now = double(TransformRect(matrix_, local).Height()) / kTwipsPerPixel;
    if (!std::isfinite(px) || !(now > 0)) return;
    SetYScale(YScale() * px / now);
}

GeomRect BoundsIn(const Matrix& toSpace, const Rect& local, bool empty) {
    if (empty) return {kNowherePixels, kNowherePixels, 0, 0};
    return GeomRect::FromTwips(TransformRect(toSpace, local));
}

}  // namespace swf
