// Thumbnails of BMP captures made in one pass over the file: every source
// pixel is added into the thumbnail pixel whose box it falls in, and the
// sums are divided at the end. A print-size capture thus costs one read of
// its rows and no full-size picture in memory. Portable: the picker's list
// uses it, native tests check it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct Thumbnail {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// Reads `size` bytes of the file at `offset` into `out`; false past its end
// or on a failure.
using ByteReader = std::function<bool(uint64_t offset, size_t size, uint8_t* out)>;

// Uncompressed 24- and 32-bit BMPs (BI_RGB, or BI_BITFIELDS with the plain
// masks), either row order, at least width x height, scaled down to that
// (the aspect ratio is not kept). False for anything else: the caller
// decodes those itself.
bool BmpThumbnail(const ByteReader& read, int width, int height, Thumbnail& out);
