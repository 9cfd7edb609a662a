// BitmapData.draw as both script machines do it: a display object through
// the renderer, or another bitmap's pixels, composited over the target.
#pragma once

#include <cstdint>

#include "swf/classes/ScriptBitmaps.h"
#include "swf/display/DisplayObject.h"

namespace swf {

// Draws `obj`, or when it is null `source`, into `target` through `m`
// (target twips are its pixels * 20) and `cx`. With `clip`, pixels outside
// it keep what they were. Returns the rasteriser's work, to charge.
uint64_t DrawIntoBitmap(ScriptBitmaps& bitmaps, ScriptBitmap& target, const DisplayObject* obj,
                        ScriptBitmap* source, const Matrix& m, const ColorTransform& cx, bool smooth,
                        const PixelRect* clip);

}  // namespace swf
