// The stage quality: how edges (and bitmaps) are smoothed.
#pragma once

namespace swf {

// Low: no anti-aliasing (a pixel is in when its centre is), bitmaps never
// smoothed. Medium: coverage in quarters, as a 2x2 grid of samples gives,
// bitmaps not smoothed. High: exact area coverage, bitmaps smoothed where
// their fill says. Best: as High, bitmaps always smoothed.
enum class Quality { Low, Medium, High, Best };

}  // namespace swf
