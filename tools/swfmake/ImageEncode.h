// Images for bitmap tags, encoded by the same libraries the engine decodes
// with: JPEG through libjpeg (whole, or split into tables and image as
// JPEGTables and DefineBits want), PNG through libpng, GIF through giflib,
// and the zlib bodies of DefineBitsLossless/Lossless2.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Color.h"

namespace swfmake {

// Straight (not premultiplied) colours, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<swf::Rgba> pixels;

    Image() = default;
    Image(int w, int h, swf::Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    swf::Rgba& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    const swf::Rgba& At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A complete JPEG (alpha is dropped); quality 1..100.
std::vector<uint8_t> EncodeJpeg(const Image& image, int quality);

// The same JPEG as a tables-only stream and an image stream without tables.
struct SplitJpeg {
    std::vector<uint8_t> tables;
    std::vector<uint8_t> image;
};
SplitJpeg EncodeJpegSplit(const Image& image, int quality);

std::vector<uint8_t> EncodePng(const Image& image);
// The one PNG encoder of the tools: 8-bit packed RGB or RGBA rows, top row
// first, straight alpha. The same pixels give the same bytes every time.
// Empty for an empty image or when libpng fails.
std::vector<uint8_t> EncodePngPixels(int width, int height, bool withAlpha, const uint8_t* pixels);
// Every distinct colour must fit a 256-entry table; alpha 0 pixels become
// the transparent index.
std::vector<uint8_t> EncodeGif(const Image& image);

// The alpha channel, one byte per pixel.
std::vector<uint8_t> AlphaPlane(const Image& image);

enum class LosslessFormat : uint8_t { ColorMapped = 3, Rgb15 = 4, Rgb32 = 5 };
// The fields after the character id: format, size, table size and the zlib
// data. withAlpha: DefineBitsLossless2 (premultiplied colours). Colour-mapped
// images must have at most 256 colours.
std::vector<uint8_t> EncodeLosslessBody(const Image& image, LosslessFormat format, bool withAlpha);

}  // namespace swfmake
