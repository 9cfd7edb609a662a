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
// placements and frames, a button's state. The object's own placement is not
// part of it (the cache key holds that).
uint64_t ContentVersion(const DisplayObject& obj);

// The bounds of what `obj` draws, in its own twips (empty when nothing).
Rect LocalBounds(const DisplayObject& obj);

}  // namespace swf
