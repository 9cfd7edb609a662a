#include "swf/render/RasterBackend.h"

#include "swf/render/ShapeRenderer.h"

namespace swf {

RasterBackend::RasterBackend(FrameBuffer& target)
    : target_(&target), renderer_(std::make_unique<ShapeRenderer>()) {}

RasterBackend::~RasterBackend() = default;

void RasterBackend::BeginFrame(Rgba background) {
    background.a = 255;
    target_->Fill(background);
}

void RasterBackend::DrawShape(const Shape& shape, const Matrix& toTarget, const ColorTransform& cxform) {
    renderer_->Draw(*target_, shape, toTarget, cxform);
}

void RasterBackend::EndFrame() {}

}  // namespace swf
