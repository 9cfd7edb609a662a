#include "swf/render/Layers.h"

#include "swf/render/Paint.h"

namespace swf {

namespace {

void SourceOver(FrameBuffer& below, const FrameBuffer& layer, uint8_t alpha) {
    const size_t n = size_t(below.Width()) * below.Height();
    uint32_t* dst = below.Data();
    const uint32_t* src = layer.Data();
    for (size_t i = 0; i < n; ++i) {
        const uint32_t s = src[i];
        if (s == 0) continue;  // transparent: most of a layer
        dst[i] = (alpha == 255 && (s >> 24) == 255) ? s : BlendPixel(dst[i], s, alpha);
    }
}

}  // namespace

void CompositeLayer(FrameBuffer& below, const FrameBuffer& layer, const LayerStyle& style) {
    if (style.alpha == 0 || below.Width() != layer.Width() || below.Height() != layer.Height()) return;
    switch (style.blendMode) {
    default: SourceOver(below, layer, style.alpha); break;
    }
}

}  // namespace swf
