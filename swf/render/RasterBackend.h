// The software renderer behind the player: draws shapes into a FrameBuffer.
//
// Each DrawShape converts the shape's two-fill edges into one directed line
// set per fill (and one stroke outline per run of a line style), rasterises
// each set with exact area coverage (Rasterizer.h) and composites the spans
// with that fill's paint (Paint.h). Units: toTarget maps shape twips to
// target twips; everything below works in 1/256 target pixels.
#pragma once

#include <memory>

#include "swf/FrameBuffer.h"
#include "swf/RenderBackend.h"

namespace swf {

class ShapeRenderer;

class RasterBackend : public RenderBackend {
public:
    explicit RasterBackend(FrameBuffer& target);
    ~RasterBackend() override;

    void BeginFrame(Rgba background) override;
    void DrawShape(const Shape& shape, const Matrix& toTarget,
                   const ColorTransform& cxform) override;
    void EndFrame() override;
    // Draw into another buffer, keeping the scratch buffers.
    void Retarget(FrameBuffer& target) { target_ = &target; }

private:
    FrameBuffer* target_;
    // Scratch buffers live across draws so a frame allocates once.
    std::unique_ptr<ShapeRenderer> renderer_;
};

}  // namespace swf
