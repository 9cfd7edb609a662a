// A render backend that writes SVG: every shape becomes paths (one per fill
// and per run of a line style), with gradients as SVG gradients and colour
// transforms applied to the colours. Each draw call appends to the body, so
// a new kind of draw call is a new method here and nothing else changes.
// Bitmap fills are left out until the engine draws bitmaps.
#pragma once

#include <string>

#include "swf/RenderBackend.h"

namespace swf {

class SvgBackend : public RenderBackend {
public:
    SvgBackend(int width, int height) : width_(width), height_(height) {}
    // No background rectangle: what nothing covers stays transparent.
    void SetTransparent(bool on) { transparent_ = on; }

    void BeginFrame(Rgba background) override;
    void DrawShape(const Shape& shape, const Matrix& toTarget, const ColorTransform& cxform) override;
    void EndFrame() override;

    // The document of the last finished frame.
    const std::string& Document() const { return document_; }

private:
    // ` fill="..."` (or stroke) for a fill style; a gradient's definition is
    // appended to the body first. Empty when the fill cannot be drawn.
    std::string PaintAttributes(const char* attribute, const FillStyle& fill, const Matrix& toTarget,
                                const ColorTransform& cxform);
    std::string GradientDefinition(const FillStyle& fill, const Matrix& toTarget,
                                   const ColorTransform& cxform, const std::string& id) const;
    void DrawStrokes(const ShapeLayer& layer, const Matrix& toTarget, const ColorTransform& cxform);

    int width_, height_;
    bool transparent_ = false;
    int nextId_ = 1;
    std::string body_;
    std::string document_;
};

// ` NAME="#rrggbb"` plus ` NAME-opacity` when not opaque.
std::string SvgColorAttributes(const char* name, Rgba color);

}  // namespace swf
