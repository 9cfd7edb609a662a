// The software renderer's offscreen layers and its bitmap cache.
//
// Push starts a transparent layer the size of the frame; drawing goes to
// the top layer; Pop cuts the layer to what was drawn, filters it and
// blends it onto the layer below (EffectLayer.h). Layer buffers are kept
// for the next push and cleared only where they were drawn. Nesting past
// kMaxLayers draws straight into the top layer instead, so a deep tree of
// blended clips costs no more than kMaxLayers frames of memory.
//
// Alpha and erase cut into the layer below; with no layer below (the
// object's parent is the stage itself) they composite as normal, so the
// stage's background is never erased.
#pragma once

#include <memory>
#include <vector>

#include "swf/model/Effects.h"
#include "swf/model/FrameBuffer.h"
#include "swf/render/EffectLayer.h"

namespace swf {

class LayerStack {
public:
    static constexpr size_t kMaxLayers = 16;

    explicit LayerStack(FrameBuffer& base) : base_(&base) {}
    void Retarget(FrameBuffer& base);

    FrameBuffer& Top() { return depth_ == 0 ? *base_ : *pool_[depth_ - 1]; }
    size_t Depth() const { return depth_; }

    void Push(const LayerEffects& fx);
    void Pop();
    // Composites object `id`'s cached picture and returns true, or returns
    // false and pushes a layer the caller draws the object into, to be
    // closed by PopCached.
    bool BeginCached(uint64_t id, const CacheKey& key, const LayerEffects& fx);
    void PopCached(uint64_t id, const CacheKey& key);
    // Closes layers left open and drops cache pictures the frame did not use.
    void EndFrame();

    size_t CachedPictures() const { return cache_.Size(); }

private:
    // Takes the top layer's drawing off it (leaving it clear).
    EffectImage TakeTop(bool* cutByEdge);
    LayerEffects ForBelow(const LayerEffects& fx) const;

    FrameBuffer* base_;
    std::vector<std::unique_ptr<FrameBuffer>> pool_;
    std::vector<LayerEffects> styles_;  // of the open layers, overflow included
    size_t depth_ = 0;     // open layers with a buffer
    size_t overflow_ = 0;  // pushes past kMaxLayers, drawn in place
    BitmapCache cache_;
};

}  // namespace swf
