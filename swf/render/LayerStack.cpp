#include "swf/render/LayerStack.h"

#include <algorithm>

#include "swf/render/BlendModes.h"

namespace swf {

void LayerStack::Retarget(FrameBuffer& base) {
    base_ = &base;
    depth_ = overflow_ = 0;
    styles_.clear();
}

void LayerStack::Push(const LayerEffects& fx) {
    styles_.push_back(fx);
    if (depth_ >= kMaxLayers) {
        ++overflow_;
        return;
    }
    if (pool_.size() <= depth_) pool_.push_back(std::make_unique<FrameBuffer>());
    FrameBuffer& layer = *pool_[depth_];
    if (layer.Width() != base_->Width() || layer.Height() != base_->Height())
        layer.Resize(base_->Width(), base_->Height());
    ++depth_;
}

EffectImage LayerStack::TakeTop(bool* cutByEdge) {
    FrameBuffer& layer = *pool_[depth_ - 1];
    EffectImage img = CropToDrawn(layer, cutByEdge);
    for (int y = 0; y < img.pixels.Height(); ++y) {
        uint32_t* row = layer.Row(img.y + y) + img.x;
        std::fill(row, row + img.pixels.Width(), 0u);
    }
    --depth_;
    return img;
}

LayerEffects LayerStack::ForBelow(const LayerEffects& fx) const {
    LayerEffects out = fx;
    if (depth_ == 0 && (fx.blendMode == BlendMode::Alpha || fx.blendMode == BlendMode::Erase))
        out.blendMode = BlendMode::Normal;
    return out;
}

void LayerStack::Pop() {
    if (styles_.empty()) return;
    const LayerEffects fx = styles_.back();
    styles_.pop_back();
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (depth_ == 0) return;
    EffectImage img = TakeTop(nullptr);
    CompositeEffects(Top(), std::move(img), ForBelow(fx));
}

bool LayerStack::BeginCached(uint64_t id, const CacheKey& key, const LayerEffects& fx) {
    if (const EffectImage* img = cache_.Find(id, key)) {
        LayerEffects plain = ForBelow(fx);
        CompositeBlend(Top(), img->pixels, img->x, img->y, plain.blendMode, plain.alpha);
        return true;
    }
    Push(fx);
    return false;
}

void LayerStack::PopCached(uint64_t id, const CacheKey& key) {
    if (overflow_ > 0 || depth_ == 0 || styles_.empty()) {
        Pop();
        return;
    }
    const LayerEffects fx = styles_.back();
    styles_.pop_back();
    bool cut = false;
    EffectImage img = TakeTop(&cut);
    if (fx.clipped) ClipImage(img, fx.clipX0, fx.clipY0, fx.clipX1, fx.clipY1);
    if (fx.filters) ApplyFilters(*fx.filters, fx.scale, img);
    if (!fx.cxform.IsIdentity()) TransformImage(img.pixels, fx.cxform);
    LayerEffects plain = ForBelow(fx);
    if (img.pixels.Width() > 0)
        CompositeBlend(Top(), img.pixels, img.x, img.y, plain.blendMode, plain.alpha);
    cache_.Store(id, key, std::move(img), cut);
}

void LayerStack::EndFrame() {
    while (!styles_.empty()) Pop();
    cache_.EndFrame();
}

}  // namespace swf
