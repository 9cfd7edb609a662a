#include "swf/render/RasterBackend.h"

namespace swf {

class ShapeRenderer {};

RasterBackend::RasterBackend(FrameBuffer& target)
    : target_(target), renderer_(std::make_unique<ShapeRenderer>()) {}

RasterBackend::~RasterBackend() = default;

void RasterBackend::BeginFrame(Rgba background) {
    background.a = 255;
    target_.Fill(background);
}

void RasterBackend::DrawShape(const Shape&, const Matrix&, const ColorTransform&) {}

void RasterBackend::EndFrame() {}

bool ShapeHitTest(const Shape&, const Matrix&, Point) { return false; }

}  // namespace swf
