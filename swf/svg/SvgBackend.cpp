#include "swf/svg/SvgBackend.h"

#include <algorithm>
#include <cstdio>

#include "swf/render/Stroker.h"
#include "swf/svg/SvgPath.h"

namespace swf {

namespace {

constexpr double kFixed = 65536.0;
constexpr int kGradientHalfSize = 16384;  // the gradient square, twips
constexpr double kRatioMax = 255.0;
constexpr double kFocalOne = 256.0;  // 8.8 focal point
constexpr double kMiterOne = 256.0;  // 8.8 miter limit

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

const char* CapName(CapStyle c) {
    switch (c) {
    case CapStyle::None: return "butt";
    case CapStyle::Square: return "square";
    case CapStyle::Round: break;
    }
    return "round";
}

const char* JoinName(JoinStyle j) {
    switch (j) {
    case JoinStyle::Bevel: return "bevel";
    case JoinStyle::Miter: return "miter";
    case JoinStyle::Round: break;
    }
    return "round";
}

const char* SpreadName(SpreadMode s) {
    switch (s) {
    case SpreadMode::Reflect: return "reflect";
    case SpreadMode::Repeat: return "repeat";
    case SpreadMode::Pad: break;
    }
    return "pad";
}

// gradient space -> pixels, composed in doubles so small gradient scales
// keep their precision.
std::string GradientTransform(const Matrix& toTarget, const Matrix& g) {
    const double a = (toTarget.a * double(g.a) + toTarget.c * double(g.b)) / kFixed / kFixed;
    const double b = (toTarget.b * double(g.a) + toTarget.d * double(g.b)) / kFixed / kFixed;
    const double c = (toTarget.a * double(g.c) + toTarget.c * double(g.d)) / kFixed / kFixed;
    const double d = (toTarget.b * double(g.c) + toTarget.d * double(g.d)) / kFixed / kFixed;
    const double tx = (toTarget.a * double(g.tx) + toTarget.c * double(g.ty)) / kFixed + toTarget.tx;
    const double ty = (toTarget.b * double(g.tx) + toTarget.d * double(g.ty)) / kFixed + toTarget.ty;
    const double px = kTwipsPerPixel;
    return "matrix(" + Number(a / px) + " " + Number(b / px) + " " + Number(c / px) + " " +
           Number(d / px) + " " + Number(tx / px) + " " + Number(ty / px) + ")";
}

}  // namespace

std::string SvgColorAttributes(const char* name, Rgba c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " %s=\"#%02x%02x%02x\"", name, c.r, c.g, c.b);
    std::string out = buf;
    if (c.a != 255) out += std::string(" ") + name + "-opacity=\"" + Number(c.a / kRatioMax) + "\"";
    return out;
}

void SvgBackend::BeginFrame(Rgba background) {
    body_.clear();
    nextId_ = 1;
    if (transparent_) return;
    background.a = 255;
    body_ += "<rect width=\"" + std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\"" +
             SvgColorAttributes("fill", background) + "/>\n";
}

std::string SvgBackend::GradientDefinition(const FillStyle& fill, const Matrix& toTarget,
                                           const ColorTransform& cxform, const std::string& id) const {
    const Gradient& g = fill.gradient;
    const bool linear = fill.kind == FillKind::LinearGradient;
    std::string def = linear ? "<linearGradient" : "<radialGradient";
    def += " id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\"";
    const std::string half = std::to_string(kGradientHalfSize);
    if (linear) {
        def += " x1=\"-" + half + "\" y1=\"0\" x2=\"" + half + "\" y2=\"0\"";
    } else {
        def += " cx=\"0\" cy=\"0\" r=\"" + half + "\"";
        if (fill.kind == FillKind::FocalRadialGradient)
            def += " fx=\"" + Number(g.focalPoint / kFocalOne * kGradientHalfSize) + "\" fy=\"0\"";
    }
    def += std::string(" spreadMethod=\"") + SpreadName(g.spread) + "\"";
    if (g.interpolation == InterpolationMode::Linear) def += " color-interpolation=\"linearRGB\"";
    def += " gradientTransform=\"" + GradientTransform(toTarget, fill.matrix) + "\">";
    for (const GradientStop& s : g.stops)
        def += "<stop offset=\"" + Number(s.ratio / kRatioMax) + "\"" +
               SvgColorAttributes("stop-color", cxform.Apply(s.color)) + "/>";
    def += linear ? "</linearGradient>\n" : "</radialGradient>\n";
    return def;
}

std::string SvgBackend::PaintAttributes(const char* attribute, const FillStyle& fill, const Matrix& toTarget,
                                        const ColorTransform& cxform) {
    switch (fill.kind) {
    case FillKind::Solid: return SvgColorAttributes(attribute, cxform.Apply(fill.color));
    case FillKind::LinearGradient:
    case FillKind::RadialGradient:
    case FillKind::FocalRadialGradient: {
        if (fill.gradient.stops.empty()) return {};
        const std::string id = "g" + std::to_string(nextId_++);
        body_ += GradientDefinition(fill, toTarget, cxform, id);
        return std::string(" ") + attribute + "=\"url(#" + id + ")\"";
    }
    case FillKind::Bitmap: break;
    }
    return {};
}

void SvgBackend::DrawShape(const Shape& shape, const Matrix& toTarget, const ColorTransform& cxform) {
    for (const ShapeLayer& layer : shape.layers) {
        for (size_t f = 0; f < layer.fills.size(); ++f) {
            const std::string d = FillPathData(layer, static_cast<uint16_t>(f + 1), toTarget);
            if (d.empty()) continue;
            const std::string paint = PaintAttributes("fill", layer.fills[f], toTarget, cxform);
            if (!paint.empty()) body_ += "<path d=\"" + d + "\"" + paint + "/>\n";
        }
        DrawStrokes(layer, toTarget, cxform);
    }
}

void SvgBackend::DrawStrokes(const ShapeLayer& layer, const Matrix& toTarget, const ColorTransform& cxform) {
    ForEachStrokePath(layer, toTarget, [&](uint16_t line, const std::string& d) {
        if (line > layer.lines.size()) return;
        const LineStyle& style = layer.lines[line - 1];
        const std::string paint = style.hasFill ? PaintAttributes("stroke", style.fill, toTarget, cxform)
                                                : SvgColorAttributes("stroke", cxform.Apply(style.color));
        if (paint.empty()) return;
        // The same width as the raster backend, hairlines included.
        const double width = 2.0 * StrokeHalfWidth(style, toTarget) / kOnePixel;
        std::string path = "<path d=\"" + d + "\" fill=\"none\"" + paint + " stroke-width=\"" + Number(width) +
                           "\" stroke-linecap=\"" + CapName(style.startCap) + "\" stroke-linejoin=\"" +
                           JoinName(style.join) + "\"";
        if (style.join == JoinStyle::Miter)
            path += " stroke-miterlimit=\"" + Number(std::max(1.0, style.miterLimit / kMiterOne)) + "\"";
        body_ += path + "/>\n";
    });
}

void SvgBackend::EndFrame() {
    const std::string w = std::to_string(width_), h = std::to_string(height_);
    document_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                "\" viewBox=\"0 0 " + w + " " + h + "\">\n" + body_ + "</svg>\n";
}

}  // namespace swf
