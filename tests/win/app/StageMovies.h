// Tiny SWF movies with a chosen stage, written by hand: an FWS header, the
// stage RECT, frame rate and count, then `frames` ShowFrame tags and End.
#pragma once

#include <cstdint>
#include <vector>

namespace opentest {

std::vector<uint8_t> StageMovie(int widthPixels, int heightPixels, int frames = 1);

}  // namespace opentest
