// Compositing an offscreen layer onto what lies below it: the one place
// where a layer's blend mode, alpha (and later its filters) take effect.
//
// Both buffers are premultiplied and of the same size. Normal and Layer
// composite source-over with the layer's alpha, pixel by pixel exactly as
// BlendPixel does with that alpha as coverage.
#pragma once

#include "swf/FrameBuffer.h"
#include "swf/RenderBackend.h"

namespace swf {

void CompositeLayer(FrameBuffer& below, const FrameBuffer& layer, const LayerStyle& style);

}  // namespace swf
