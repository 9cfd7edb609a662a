// Image decoders for bitmap tags. The formats are decoded by well-kept
// libraries (libjpeg-turbo, libpng, giflib) in both trees; this layer only
// bounds what they may allocate and turns their output into swf::Bitmap.
//
// Every decoder checks the image's sides against the player's limits and
// its decoded size against `maxBytes` before any pixel memory is taken, and
// fails (false, `error` says why) on damaged or truncated data; `out` is
// then left empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/Bitmap.h"

namespace swf {

struct ImageLimits {
    static constexpr int64_t kMaxSide = 8191;
    static constexpr int64_t kMaxPixels = 16777215;
};

enum class ImageFormat : uint8_t { Unknown, Jpeg, Png, Gif };

// Tells the format from the first bytes (after any stray EOI/SOI pair).
ImageFormat SniffImage(const uint8_t* data, size_t size);

// False (with the reason) when a w x h image breaks a limit or needs more
// than `maxBytes` of pixels.
bool CheckImageSize(int64_t width, int64_t height, size_t maxBytes, std::string& error);

// JPEG data as movies store it, into one plain JPEG stream: the tables (may
// be empty) and the image joined, a leading stray EOI/SOI pair dropped and
// every EOI/SOI pair before the first scan removed.
std::vector<uint8_t> JoinJpeg(const uint8_t* tables, size_t tablesSize, const uint8_t* data,
                              size_t size);

bool DecodeJpeg(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out, std::string& error);
bool DecodePng(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out, std::string& error);
// The first frame of a GIF89a/87a, on its logical screen.
bool DecodeGif(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out, std::string& error);

// Smooths small steps on the 8x8 block grid of an opaque decoded JPEG;
// `strength` is 8.8 (DefineBitsJPEG4's deblocking value), 0 leaves it.
void DeblockJpeg(Bitmap& bitmap, uint16_t strength);

// Straight-alpha 0xAARRGGBB pixels to premultiplied, in place; sets `opaque`.
void PremultiplyPixels(Bitmap& bitmap);
// Premultiplied pixels from a file: clamps every channel to its alpha and
// sets `opaque`.
void ClampPremultiplied(Bitmap& bitmap);

}  // namespace swf
