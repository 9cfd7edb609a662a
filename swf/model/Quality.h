// The stage quality: how edges (and bitmaps) are smoothed.
#pragma once

#include <string>

namespace swf {

// Low: no anti-aliasing (a pixel is in when its centre is), bitmaps never
// smoothed. Medium: coverage in quarters, as a 2x2 grid of samples gives,
// bitmaps not smoothed. High: exact area coverage, bitmaps smoothed where
// their fill says. Best: as High, bitmaps always smoothed.
enum class Quality { Low, Medium, High, Best };

// The names hosts and scripts use, in any case: low, medium, high, best,
// and autolow and autohigh, which stay low and high (the player never
// switches by itself). False (and `out` untouched) for anything else.
bool QualityFromName(const std::string& name, Quality& out);
// "Low", "Medium", "High" or "Best".
const char* QualityName(Quality quality);

}  // namespace swf
