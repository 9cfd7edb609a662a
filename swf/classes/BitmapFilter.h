// BitmapData.applyFilter: one filter over a rectangle of a bitmap, written
// into another (or the same) bitmap.
#pragma once

#include "swf/model/Effects.h"
#include "swf/classes/BitmapData.h"

namespace swf {

// Filters `from` (clipped to `source`) at scale 1 and writes the result,
// grown by what the filter spreads, with the rectangle's corner at
// (toX, toY) in `target`, replacing its pixels there and cut to its edges.
// False when nothing was written (disposed bitmaps, an empty rectangle).
bool ApplyBitmapFilter(BitmapData& target, const BitmapData& source, PixelRect from, int toX, int toY,
                       const Filter& filter);

// The rectangle `r` grown by what the filter spreads at scale 1.
PixelRect FilterRect(PixelRect r, const Filter& filter);

}  // namespace swf
