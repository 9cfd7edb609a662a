// The drawing API's style arguments as scripts pass them (pixels, percent
// alphas, 0xRRGGBB numbers, names for modes), turned into engine styles.
// Out-of-range values are clamped the way the original player clamps them,
// so any script value yields a drawable style.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "swf/model/Shape.h"
#include "swf/classes/Drawing.h"
#include "swf/classes/Geom.h"

namespace swf {

struct LineStyleArgs {
    double thickness = 0;  // pixels, 0..255; 0 is a hairline
    double rgb = 0;
    double alpha = 100;    // percent
    bool pixelHinting = false;
    std::string noScale = "normal";  // normal, none, vertical, horizontal
    std::string caps = "round";      // round, none, square
    std::string joint = "round";     // round, bevel, miter
    double miterLimit = 3;           // 1..255
};

struct GradientArgs {
    std::string type;  // linear, radial
    std::vector<double> colors, alphas, ratios;
    GeomMatrix matrix;                  // gradient square to pixels
    bool hasMatrix = true;              // false when the script gave none
    std::string spread = "pad";         // pad, reflect, repeat
    std::string interpolation = "RGB";  // RGB, linearRGB
    double focalPointRatio = 0;         // -1..1, radial only
};

// Percent (0..100, clamped) to 0..255, truncated.
uint8_t AlphaFromPercent(double percent);
Rgba ColorFromScript(double rgb, double alphaPercent);
PenStyle PenFromArgs(const LineStyleArgs& args);
// Nothing when the type is unknown, no stop or no matrix is given, or
// colours and ratios differ in count. At most 15 stops; ratios are clamped
// to 0..255 and kept non-decreasing.
std::optional<FillStyle> GradientFromArgs(const GradientArgs& args);
// `bitmapId` names a bitmap the renderer can find (file or script made).
FillStyle BitmapFillStyle(uint16_t bitmapId, const GeomMatrix& matrix, bool repeat, bool smooth);

// The two object forms of a gradient matrix: {matrixType:"box", x, y, w, h, r}
// and the 3x3 {a, b, d, e, g, h} (c, f, i unused) over a unit square.
GeomMatrix GradientBoxMatrix(double x, double y, double w, double h, double r);
GeomMatrix GradientAbcMatrix(double a, double b, double d, double e, double g, double h);

}  // namespace swf
