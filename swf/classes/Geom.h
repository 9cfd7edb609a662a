// The maths behind flash.geom and Color, in script units: pixels and plain
// numbers (doubles, as scripts hold them), with the conversions into the
// engine's integer Matrix and ColorTransform in one place.
#pragma once

#include <optional>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"

namespace swf {

struct GeomPoint {
    double x = 0;
    double y = 0;
};

// x' = a*x + c*y + tx ; y' = b*x + d*y + ty, in pixels.
struct GeomMatrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    // Rotate by `rotation` radians, then scale, then translate.
    static GeomMatrix CreateBox(double scaleX, double scaleY, double rotation, double tx, double ty);
    // Maps the gradient square onto a width x height box at (tx, ty).
    static GeomMatrix CreateGradientBox(double width, double height, double rotation, double tx,
                                        double ty);

    // this followed by `after` (what Matrix.concat leaves in this).
    GeomMatrix Then(const GeomMatrix& after) const;
    // False (and unchanged) when singular.
    bool Invert();
    GeomPoint TransformPoint(GeomPoint p) const;
    GeomPoint DeltaTransformPoint(GeomPoint p) const;

    // Engine matrices: 16.16 terms, translation in twips.
    Matrix ToEngine() const;
    static GeomMatrix FromEngine(const Matrix& m);
};

struct GeomRect {
    double x = 0, y = 0, width = 0, height = 0;

    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
    bool IsEmpty() const { return !(width > 0) || !(height > 0); }
    bool Contains(double px, double py) const;
    bool ContainsRect(const GeomRect& r) const;
    bool Intersects(const GeomRect& r) const;
    // Empty (all zero) when they do not meet.
    GeomRect Intersection(const GeomRect& r) const;
    // An empty side is ignored.
    GeomRect Union(const GeomRect& r) const;
    static GeomRect FromTwips(const Rect& r);
};

// flash.geom.ColorTransform: multipliers (1 = unchanged) and offsets.
struct GeomColorTransform {
    double redMultiplier = 1, greenMultiplier = 1, blueMultiplier = 1, alphaMultiplier = 1;
    double redOffset = 0, greenOffset = 0, blueOffset = 0, alphaOffset = 0;

    // ColorTransform.concat: `second` is applied first, then this.
    GeomColorTransform Concat(const GeomColorTransform& second) const;
    // The `rgb` property: offsets of a solid colour, multipliers zero.
    uint32_t Rgb() const;
    void SetRgb(uint32_t rgb);

    ColorTransform ToEngine() const;
    static GeomColorTransform FromEngine(const ColorTransform& t);
};

// Color.setTransform / getTransform: ra..aa are percentages (-100..100),
// rb..ab offsets (-255..255). Fields a script leaves out stay as they are.
struct ColorTransformObject {
    std::optional<double> ra, rb, ga, gb, ba, bb, aa, ab;
};

ColorTransform ColorSetTransform(const ColorTransform& now, const ColorTransformObject& o);
ColorTransformObject ColorGetTransform(const ColorTransform& t);
// Color.setRGB: a solid colour, alpha untouched.
ColorTransform ColorSetRgb(const ColorTransform& now, uint32_t rgb);
int32_t ColorGetRgb(const ColorTransform& t);

// Script number of pixels to twips, the precision positions are kept at
// (truncated towards zero; NaN and infinities give 0, huge values saturate).
int32_t PixelsToTwips(double pixels);
// Script multiplier to 16.16 fixed, rounded and saturated.
int32_t ToFixed16(double v);

}  // namespace swf
