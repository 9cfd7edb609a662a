#include "swf/classes/DrawingStyles.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

constexpr size_t kMaxGradientStops = 15;
constexpr double kMaxThicknessPixels = 255;

double Finite(double v) { return std::isfinite(v) ? v : 0; }

uint32_t RgbBits(double rgb) {
    const double v = std::trunc(Finite(rgb));
    // Numbers wrap to 32 bits as the player converts them.
    return static_cast<uint32_t>(static_cast<int64_t>(std::fmod(v, 4294967296.0)));
}

}  // namespace

uint8_t AlphaFromPercent(double percent) {
    const double p = std::clamp(Finite(percent), 0.0, 100.0);
    return static_cast<uint8_t>(p * 255 / 100);
}

Rgba ColorFromScript(double rgb, double alphaPercent) {
    const uint32_t v = RgbBits(rgb);
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), AlphaFromPercent(alphaPercent)};
}

PenStyle PenFromArgs(const LineStyleArgs& args) {
    PenStyle pen;
    const double px = std::clamp(Finite(args.thickness), 0.0, kMaxThicknessPixels);
    pen.width = static_cast<uint16_t>(std::lround(px * kTwipsPerPixel));
    pen.color = ColorFromScript(args.rgb, args.alpha);
    pen.pixelHinting = args.pixelHinting;
    // "vertical": the thickness scales only vertically, so not horizontally.
    pen.noHScale = args.noScale == "none" || args.noScale == "vertical";
    pen.noVScale = args.noScale == "none" || args.noScale == "horizontal";
    pen.caps = args.caps == "none" ? CapStyle::None : args.caps == "square" ? CapStyle::Square : CapStyle::Round;
    pen.join = args.joint == "bevel" ? JoinStyle::Bevel : args.joint == "miter" ? JoinStyle::Miter : JoinStyle::Round;
    const double limit = std::clamp(Finite(args.miterLimit), 1.0, 255.0);
    pen.miterLimit = static_cast<uint16_t>(std::lround(limit * 256));
    return pen;
}

std::optional<FillStyle> GradientFromArgs(const GradientArgs& args) {
    FillStyle fill;
    if (args.type == "linear") {
        fill.kind = FillKind::LinearGradient;
    } else if (args.type == "radial") {
        fill.kind = args.focalPointRatio != 0 ? FillKind::FocalRadialGradient : FillKind::RadialGradient;
    } else {
        return std::nullopt;
    }
    // A malformed gradient is dropped whole rather than guessed at.
    if (!args.hasMatrix || args.colors.size() != args.ratios.size()) return std::nullopt;
    const size_t n = std::min({args.colors.size(), args.alphas.size(), kMaxGradientStops});
    if (n == 0) return std::nullopt;
    int lastRatio = 0;
    for (size_t i = 0; i < n; ++i) {
        GradientStop stop;
        stop.color = ColorFromScript(args.colors[i], args.alphas[i]);
        const int ratio = static_cast<int>(std::clamp(Finite(args.ratios[i]), 0.0, 255.0));
        lastRatio = std::max(lastRatio, ratio);
        stop.ratio = static_cast<uint8_t>(lastRatio);
        fill.gradient.stops.push_back(stop);
    }
    fill.gradient.spread = args.spread == "reflect" ? SpreadMode::Reflect
                           : args.spread == "repeat" ? SpreadMode::Repeat
                                                     : SpreadMode::Pad;
    fill.gradient.interpolation =
        args.interpolation == "linearRGB" ? InterpolationMode::Linear : InterpolationMode::Normal;
    const double focal = std::clamp(Finite(args.focalPointRatio), -1.0, 1.0);
    fill.gradient.focalPoint = static_cast<int16_t>(std::lround(focal * 256));
    fill.matrix = args.matrix.ToEngine();
    return fill;
}

FillStyle BitmapFillStyle(uint16_t bitmapId, const GeomMatrix& matrix, bool repeat, bool smooth) {
    FillStyle fill;
    fill.kind = FillKind::Bitmap;
    fill.bitmapId = bitmapId;
    fill.matrix = matrix.ToEngine();
    fill.bitmapRepeat = repeat;
    fill.bitmapSmooth = smooth;
    return fill;
}

GeomMatrix GradientBoxMatrix(double x, double y, double w, double h, double r) {
    return GeomMatrix::CreateGradientBox(w, h, r, x, y);
}

GeomMatrix GradientAbcMatrix(double a, double b, double d, double e, double g, double h) {
    // This form maps a unit square centred on the origin, not the gradient
    // square, so its terms are scaled down to it.
    constexpr double k = 1 / 1638.4;
    return {a * k, b * k, d * k, e * k, g, h};
}

}  // namespace swf
