// A render backend that writes SVG: every shape becomes paths (one per fill
// and per run of a line style), with gradients as SVG gradients and colour
// transforms applied to the colours. Each draw call appends to the body, so
// a new kind of draw call is a new method here and nothing else changes.
//
// Masks become <mask> elements of white shapes; layers become groups with
// their opacity, blend mode and scroll rect. Bitmap fills embed the bitmap
// as PNG. What SVG cannot say (filters, blend modes CSS lacks) is drawn by
// the raster backend and embedded as a PNG of just that object. Images need
// an encoder from the host; without one they are left out.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "swf/render/RenderBackend.h"

namespace swf {

class RasterBackend;
struct Bitmap;

// PNG bytes of an image (premultiplied, as the frame buffer holds it);
// empty when it cannot be encoded.
using ImageEncoder = std::function<std::vector<uint8_t>(const FrameBuffer&)>;

class SvgBackend : public RenderBackend {
public:
    SvgBackend(int width, int height);
    ~SvgBackend() override;
    // No background rectangle: what nothing covers stays transparent.
    void SetTransparent(bool on) { transparent_ = on; }
    void SetImageEncoder(ImageEncoder encoder) { encoder_ = std::move(encoder); }

    void SetQuality(Quality quality) override { quality_ = quality; }
    void SetBitmaps(const BitmapSource* bitmaps) override { bitmaps_ = bitmaps; }
    void BeginFrame(Rgba background) override;
    void DrawShape(const Shape& shape, const Matrix& toTarget, const ColorTransform& cxform) override;
    void EndFrame() override;
    void PushMask() override;
    void ActivateMask() override;
    void PopMask() override;
    void PushLayer(const LayerStyle& style) override;
    void PopLayer() override;

    // The document of the last finished frame.
    const std::string& Document() const { return document_; }

private:
    struct MaskState {
        std::string id;
        bool active = false;
        bool cut = false;  // drawn inside an outer mask's group
    };

    // ` fill="..."` (or stroke) for a fill style; a gradient's definition is
    // appended to the body first. Empty when the fill cannot be drawn.
    std::string PaintAttributes(const char* attribute, const FillStyle& fill, const Matrix& toTarget,
                                const ColorTransform& cxform);
    std::string GradientDefinition(const FillStyle& fill, const Matrix& toTarget,
                                   const ColorTransform& cxform, const std::string& id) const;
    void DrawStrokes(const ShapeLayer& layer, const Matrix& toTarget, const ColorTransform& cxform);
    std::string NewId(char prefix) { return prefix + std::to_string(nextId_++); }

    // SvgImages.cpp: bitmap fills and the raster fallback.
    void DrawBitmapFill(const FillStyle& fill, const std::string& pathData, const char* rule,
                        const Matrix& toTarget, const ColorTransform& cxform);
    std::string ImageId(uint16_t bitmapId, const Bitmap& bitmap);
    std::string ColorFilter(const ColorTransform& cxform);
    static bool NeedsRaster(const LayerStyle& style);
    void BeginRaster(const LayerStyle& style);
    void EndRaster();
    std::string DataUri(const FrameBuffer& image) const;

    int width_, height_;
    bool transparent_ = false;
    Quality quality_ = Quality::High;
    const BitmapSource* bitmaps_ = nullptr;
    ImageEncoder encoder_;
    int nextId_ = 1;
    std::string body_;
    std::string document_;
    std::vector<MaskState> masks_;
    int maskDrawing_ = 0;            // masks whose shapes are being drawn
    std::map<uint16_t, std::string> images_;  // bitmaps defined in this frame
    // The raster fallback: layers nested in one that SVG cannot say.
    int rasterDepth_ = 0;
    std::unique_ptr<FrameBuffer> rasterTarget_;
    std::unique_ptr<RasterBackend> raster_;
};

// ` NAME="#rrggbb"` plus ` NAME-opacity` when not opaque.
std::string SvgColorAttributes(const char* name, Rgba color);
// A number as SVG writes it (up to six significant digits).
std::string SvgNumber(double v);
// `matrix(...)` of `inner` (into shape twips) then `toTarget`, in pixels.
std::string SvgTransform(const Matrix& toTarget, const Matrix& inner);

}  // namespace swf
