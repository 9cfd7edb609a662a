#include "swf/svg/SvgBackend.h"

#include <algorithm>
#include <cstdio>

#include "swf/render/RasterBackend.h"
#include "swf/render/Stroker.h"
#include "swf/svg/SvgPath.h"

namespace swf {

namespace {

constexpr double kFixed = 65536.0;
constexpr int kGradientHalfSize = 16384;  // the gradient square, twips
constexpr double kRatioMax = 255.0;
constexpr double kFocalOne = 256.0;  // 8.8 focal point
constexpr double kMiterOne = 256.0;  // 8.8 miter limit

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

// Blend modes CSS can say; the rest are drawn by the raster fallback.
const char* CssBlendMode(BlendMode mode) {
    switch (mode) {
    case BlendMode::Multiply: return "multiply";
    case BlendMode::Screen: return "screen";
    case BlendMode::Lighten: return "lighten";
    case BlendMode::Darken: return "darken";
    case BlendMode::Difference: return "difference";
    case BlendMode::Overlay: return "overlay";
    case BlendMode::HardLight: return "hard-light";
    default: break;
    }
    return nullptr;
}

}  // namespace

bool SvgBackend::NeedsRaster(const LayerStyle& style) {
    const bool plain = style.blendMode == BlendMode::Normal || style.blendMode == BlendMode::Layer;
    return (style.filters && !style.filters->empty()) || (!plain && !CssBlendMode(style.blendMode));
}

std::string SvgNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

// Composed in doubles so small gradient and bitmap scales keep their
// precision.
std::string SvgTransform(const Matrix& toTarget, const Matrix& g) {
    const double a = (toTarget.a * double(g.a) + toTarget.c * double(g.b)) / kFixed / kFixed;
    const double b = (toTarget.b * double(g.a) + toTarget.d * double(g.b)) / kFixed / kFixed;
    const double c = (toTarget.a * double(g.c) + toTarget.c * double(g.d)) / kFixed / kFixed;
    const double d = (toTarget.b * double(g.c) + toTarget.d * double(g.d)) / kFixed / kFixed;
    const double tx = (toTarget.a * double(g.tx) + toTarget.c * double(g.ty)) / kFixed + toTarget.tx;
    const double ty = (toTarget.b * double(g.tx) + toTarget.d * double(g.ty)) / kFixed + toTarget.ty;
    const double px = kTwipsPerPixel;
    return "matrix(" + SvgNumber(a / px) + " " + SvgNumber(b / px) + " " + SvgNumber(c / px) + " " +
           SvgNumber(d / px) + " " + SvgNumber(tx / px) + " " + SvgNumber(ty / px) + ")";
}

std::string SvgColorAttributes(const char* name, Rgba c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " %s=\"#%02x%02x%02x\"", name, c.r, c.g, c.b);
    std::string out = buf;
    if (c.a != 255) out += std::string(" ") + name + "-opacity=\"" + SvgNumber(c.a / kRatioMax) + "\"";
    return out;
}

SvgBackend::SvgBackend(int width, int height) : width_(width), height_(height) {}
SvgBackend::~SvgBackend() = default;

void SvgBackend::BeginFrame(Rgba background) {
    body_.clear();
    nextId_ = 1;
    masks_.clear();
    maskDrawing_ = rasterDepth_ = 0;
    images_.clear();
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
            def += " fx=\"" + SvgNumber(g.focalPoint / kFocalOne * kGradientHalfSize) + "\" fy=\"0\"";
    }
    def += std::string(" spreadMethod=\"") + SpreadName(g.spread) + "\"";
    if (g.interpolation == InterpolationMode::Linear) def += " color-interpolation=\"linearRGB\"";
    def += " gradientTransform=\"" + SvgTransform(toTarget, fill.matrix) + "\">";
    for (const GradientStop& s : g.stops)
        def += "<stop offset=\"" + SvgNumber(s.ratio / kRatioMax) + "\"" +
               SvgColorAttributes("stop-color", cxform.Apply(s.color)) + "/>";
    def += linear ? "</linearGradient>\n" : "</radialGradient>\n";
    return def;
}

std::string SvgBackend::PaintAttributes(const char* attribute, const FillStyle& fill, const Matrix& toTarget,
                                        const ColorTransform& cxform) {
    // A mask's shapes give coverage only: white shows through, whatever
    // their paint.
    if (maskDrawing_ > 0) return SvgColorAttributes(attribute, Rgba{255, 255, 255, 255});
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
    if (rasterDepth_ > 0) {
        if (raster_) raster_->DrawShape(shape, toTarget, cxform);
        return;
    }
    const char* rule = shape.evenOdd ? " fill-rule=\"evenodd\"" : "";
    for (const ShapeLayer& layer : shape.layers) {
        for (size_t f = 0; f < layer.fills.size(); ++f) {
            const std::string d = FillPathData(layer, static_cast<uint16_t>(f + 1), toTarget);
            if (d.empty()) continue;
            const FillStyle& fill = layer.fills[f];
            if (fill.kind == FillKind::Bitmap && maskDrawing_ == 0) {
                DrawBitmapFill(fill, d, rule, toTarget, cxform);
                continue;
            }
            const std::string paint = PaintAttributes("fill", fill, toTarget, cxform);
            if (!paint.empty()) body_ += "<path d=\"" + d + "\"" + paint + rule + "/>\n";
        }
        DrawStrokes(layer, toTarget, cxform);
    }
}

void SvgBackend::DrawStrokes(const ShapeLayer& layer, const Matrix& toTarget, const ColorTransform& cxform) {
    ForEachStrokePath(layer, toTarget, [&](uint16_t line, const std::string& d) {
        if (line > layer.lines.size()) return;
        const LineStyle& style = layer.lines[line - 1];
        const std::string paint = style.hasFill || maskDrawing_ > 0 ? PaintAttributes("stroke", style.fill, toTarget, cxform)
                                                : SvgColorAttributes("stroke", cxform.Apply(style.color));
        if (paint.empty()) return;
        // The same width as the raster backend, hairlines included.
        const double width = 2.0 * StrokeHalfWidth(style, toTarget) / kOnePixel;
        std::string path = "<path d=\"" + d + "\" fill=\"none\"" + paint + " stroke-width=\"" + SvgNumber(width) +
                           "\" stroke-linecap=\"" + CapName(style.startCap) + "\" stroke-linejoin=\"" +
                           JoinName(style.join) + "\"";
        if (style.join == JoinStyle::Miter)
            path += " stroke-miterlimit=\"" + SvgNumber(std::max(1.0, style.miterLimit / kMiterOne)) + "\"";
        body_ += path + "/>\n";
    });
}

void SvgBackend::PushMask() {
    if (rasterDepth_ > 0) {
        if (raster_) raster_->PushMask();
        return;
    }
    MaskState mask;
    mask.id = NewId('m');
    body_ += "<mask id=\"" + mask.id + "\" maskUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"" +
             std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\">";
    // A mask drawn under another one is cut by it.
    if (!masks_.empty() && masks_.back().active) {
        body_ += "<g mask=\"url(#" + masks_.back().id + ")\">";
        mask.cut = true;
    }
    body_ += "\n";
    masks_.push_back(mask);
    ++maskDrawing_;
}

void SvgBackend::ActivateMask() {
    if (rasterDepth_ > 0) {
        if (raster_) raster_->ActivateMask();
        return;
    }
    if (masks_.empty() || masks_.back().active) return;
    MaskState& mask = masks_.back();
    body_ += std::string(mask.cut ? "</g>" : "") + "</mask>\n<g mask=\"url(#" + mask.id + ")\">\n";
    mask.active = true;
    --maskDrawing_;
}

void SvgBackend::PopMask() {
    if (rasterDepth_ > 0) {
        if (raster_) raster_->PopMask();
        return;
    }
    if (masks_.empty()) return;
    const MaskState& mask = masks_.back();
    if (mask.active) {
        body_ += "</g>\n";
    } else {
        body_ += std::string(mask.cut ? "</g>" : "") + "</mask>\n";
        --maskDrawing_;
    }
    masks_.pop_back();
}

void SvgBackend::PushLayer(const LayerStyle& style) {
    if (rasterDepth_ > 0) {
        if (raster_) raster_->PushLayer(style);
        ++rasterDepth_;
        return;
    }
    if (NeedsRaster(style)) {
        BeginRaster(style);
        return;
    }
    std::string group = "<g";
    if (style.alpha != 255) group += " opacity=\"" + SvgNumber(style.alpha / kRatioMax) + "\"";
    const char* blend = CssBlendMode(style.blendMode);
    if (blend) group += std::string(" style=\"mix-blend-mode:") + blend + "\"";
    else if (style.blendMode == BlendMode::Layer) group += " style=\"isolation:isolate\"";
    if (style.clipped) {
        const std::string id = NewId('c');
        body_ += "<clipPath id=\"" + id + "\"><rect x=\"" + std::to_string(style.clipX0) + "\" y=\"" +
                 std::to_string(style.clipY0) + "\" width=\"" + std::to_string(style.clipX1 - style.clipX0) +
                 "\" height=\"" + std::to_string(style.clipY1 - style.clipY0) + "\"/></clipPath>\n";
        group += " clip-path=\"url(#" + id + ")\"";
    }
    body_ += group + ">\n";
}

void SvgBackend::PopLayer() {
    if (rasterDepth_ == 0) {
        body_ += "</g>\n";
        return;
    }
    if (raster_) raster_->PopLayer();
    if (--rasterDepth_ == 0) EndRaster();
}

void SvgBackend::EndFrame() {
    const std::string w = std::to_string(width_), h = std::to_string(height_);
    document_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
                w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n" + body_ + "</svg>\n";
}

}  // namespace swf
