// The one place where a placed object meets its effects: filters, blend
// mode, bitmap caching, scroll rect and 9-slice scaling.
#pragma once

#include "swf/display/DisplayObject.h"

namespace swf {

// Draws `obj` placed by `m` and `cx` (its own placement included): straight
// through, or in an offscreen layer when it has filters, a blend mode other
// than normal, bitmap caching or a scroll rect. Filters imply caching.
void RenderPlaced(RenderContext& rc, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx);

// Changes whenever anything drawn inside `obj` changes: its children, their
// placements and frames, a button's state, and with `ctx`, where the masks
// scripts set on them are. The object's own placement is not part of it
// (the cache key holds that).
uint64_t ContentVersion(const DisplayObject& obj, const PlayContext* ctx = nullptr);

// `h` mixed with `v`, for versions made of parts.
uint64_t MixVersion(uint64_t h, uint64_t v);
// `masks` (RenderContext::masks) with `mask`, drawn by `m`, cutting too.
uint64_t WithMask(uint64_t masks, const DisplayObject& mask, const Matrix& m);

// The bounds of what `obj` draws, in its own twips (empty when nothing).
Rect LocalBounds(const DisplayObject& obj);

}  // namespace swf
