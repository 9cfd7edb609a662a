// The blend modes as per-pixel functions over premultiplied 0xAARRGGBB.
//
// For the separable modes each colour channel is
//   result = f(s, d) + s * (1 - da) + d * (1 - sa)
// where f works on premultiplied values (f = s*d for multiply, ...), and the
// alpha is sa + da - sa*da, so a mode only changes what the two overlap to.
// Products are /255 rounded to nearest. Add and subtract work on the colours
// as stored; invert inverts what lies under the source; alpha and erase keep
// the destination's colours and scale its alpha by the source's alpha (or
// its complement), so they cut into the layer they are drawn in.
#pragma once

#include <cstdint>

#include "swf/model/Effects.h"
#include "swf/model/FrameBuffer.h"

namespace swf {

uint32_t BlendModePixel(BlendMode mode, uint32_t dst, uint32_t src);

// Composites `src` onto `dst` with its top-left pixel at (x, y), clipped to
// `dst`, scaling the source by `alpha` (0..255) first.
void CompositeBlend(FrameBuffer& dst, const FrameBuffer& src, int x, int y, BlendMode mode,
                    uint8_t alpha = 255);

}  // namespace swf
