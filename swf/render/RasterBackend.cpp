#include "swf/render/RasterBackend.h"

#include "swf/render/ShapeRenderer.h"

namespace swf {

RasterBackend::RasterBackend(FrameBuffer& target)
    : target_(&target), layers_(target), renderer_(std::make_unique<ShapeRenderer>()) {}

RasterBackend::~RasterBackend() = default;

uint64_t RasterBackend::Work() const { return renderer_->Work(); }

void RasterBackend::SetQuality(Quality quality) {
    if (quality != quality_) spanCache_.Clear();
    quality_ = quality;
    switch (quality) {
    case Quality::Low: renderer_->SetSampling(Sampling::Centre); break;
    case Quality::Medium: renderer_->SetSampling(Sampling::Quarters); break;
    case Quality::High:
    case Quality::Best: renderer_->SetSampling(Sampling::Exact); break;
    }
}

void RasterBackend::BeginFrame(Rgba background) {
    maskDepth_ = 0;
    spanCache_.NextFrame();
    layers_.Retarget(*target_);
    background.a = transparent_ ? 0 : 255;
    target_->Fill(background);
}

Surface RasterBackend::Current() {
    Surface s;
    s.width = target_->Width();
    s.height = target_->Height();
    s.pixels = &layers_.Top();
    if (maskDepth_ == 0) return s;
    Mask& top = masks_[maskDepth_ - 1];
    if (!top.active) {
        s.pixels = nullptr;
        s.coverage = top.coverage.data();
        return s;
    }
    s.clip = top.coverage.data();
    // Masks inside a mask being drawn (a sprite mask) cut what it adds.
    for (size_t i = maskDepth_ - 1; i-- > 0;) {
        if (masks_[i].active) continue;
        s.pixels = nullptr;
        s.coverage = masks_[i].coverage.data();
        break;
    }
    return s;
}

void RasterBackend::DrawShape(const Shape& shape, const Matrix& toTarget, const ColorTransform& cxform) {
    renderer_->Draw(Current(), shape, toTarget, cxform);
}

void RasterBackend::DrawCachedShape(const Shape& shape, uint64_t key, const Matrix& toTarget,
                              const ColorTransform& cxform) {
    const Surface s = Current();
    bool fresh = false;
    ShapeRecording* recording = spanCache_.Find(key, toTarget, s.width, s.height, &fresh);
    if (!recording) return renderer_->Draw(s, shape, toTarget, cxform);
    renderer_->DrawRecorded(s, shape, toTarget, cxform, *recording, fresh);
}

void RasterBackend::EndFrame() {
    layers_.EndFrame();
    maskDepth_ = 0;
}

void RasterBackend::PushMask() {
    if (masks_.size() <= maskDepth_) masks_.emplace_back();
    Mask& m = masks_[maskDepth_++];
    m.coverage.assign(size_t(target_->Width()) * target_->Height(), 0);
    m.active = false;
}

// A nested mask shows only where the one around it does too.
void RasterBackend::ActivateMask() {
    if (maskDepth_ == 0) return;
    Mask& m = masks_[maskDepth_ - 1];
    m.active = true;
    if (maskDepth_ < 2 || !masks_[maskDepth_ - 2].active) return;
    const std::vector<uint8_t>& outer = masks_[maskDepth_ - 2].coverage;
    for (size_t i = 0; i < m.coverage.size(); ++i) m.coverage[i] = MulAlpha(m.coverage[i], outer[i]);
}

void RasterBackend::PopMask() {
    if (maskDepth_ > 0) --maskDepth_;
}

void RasterBackend::SetBitmaps(const BitmapSource* bitmaps) { renderer_->SetBitmaps(bitmaps); }

}  // namespace swf
