// The software renderer behind the player: draws shapes into a FrameBuffer.
//
// Each DrawShape converts the shape's two-fill edges into one directed line
// set per fill (and one stroke outline per run of a line style), rasterises
// each set with exact area coverage (Rasterizer.h) and composites the spans
// with that fill's paint (Paint.h). Units: toTarget maps shape twips to
// target twips; everything below works in 1/256 target pixels.
//
// Masks are coverage buffers of the target's size: drawing a mask adds its
// shapes' coverage; an active mask cuts every span drawn until it is popped
// (Surface.h). Layers, with their filters, blend modes and the bitmap cache,
// are the LayerStack's (LayerStack.h). Both come from pools that live
// across frames.
#pragma once

#include <memory>
#include <vector>

#include "swf/model/Bitmap.h"
#include "swf/model/FrameBuffer.h"
#include "swf/render/RenderBackend.h"
#include "swf/render/LayerStack.h"
#include "swf/render/SpanRecording.h"

namespace swf {

class ShapeRenderer;
struct Surface;

class RasterBackend : public RenderBackend {
public:
    explicit RasterBackend(FrameBuffer& target);
    ~RasterBackend() override;

    void SetQuality(Quality quality) override;
    void BeginFrame(Rgba background) override;
    void DrawShape(const Shape& shape, const Matrix& toTarget,
                   const ColorTransform& cxform) override;
    void DrawCachedShape(const Shape& shape, uint64_t key, const Matrix& toTarget, const ColorTransform& cxform) override;
    void EndFrame() override;
    void PushMask() override;
    void ActivateMask() override;
    void PopMask() override;
    void PushLayer(const LayerStyle& style) override { layers_.Push(style); }
    void PopLayer() override { layers_.Pop(); }
    bool BeginCachedLayer(uint64_t id, const CacheKey& key, const LayerStyle& style) override {
        return layers_.BeginCached(id, key, style);
    }
    void PopCachedLayer(uint64_t id, const CacheKey& key) override { layers_.PopCached(id, key); }
    // The movie's bitmaps, for bitmap fills (null: they draw nothing).
    void SetBitmaps(const BitmapSource* bitmaps) override;
    // Draw into another buffer, keeping the scratch buffers.
    void Retarget(FrameBuffer& target) {
        target_ = &target;
        layers_.Retarget(target);
    }
    size_t CachedPictures() const { return layers_.CachedPictures(); }
    // The rasteriser's work so far (lines and touched cells).
    uint64_t Work() const;
    // Frames start transparent (alpha 0) instead of on the background.
    void SetTransparent(bool on) { transparent_ = on; }

private:
    struct Mask {
        std::vector<uint8_t> coverage;
        bool active = false;
    };
    Surface Current();

    FrameBuffer* target_;
    LayerStack layers_;
    bool transparent_ = false;
    // Scratch buffers live across draws so a frame allocates once.
    std::unique_ptr<ShapeRenderer> renderer_;
    std::vector<Mask> masks_;  // the first maskDepth_ are in use
    size_t maskDepth_ = 0;
    SpanCache spanCache_;  // kept spans are only good at one quality
    Quality quality_ = Quality::High;
};

}  // namespace swf
