// A decoded bitmap as the renderer samples it: premultiplied 0xAARRGGBB
// pixels, top row first, the layout of FrameBuffer. Every channel is at most
// its alpha, whatever the file said, so blending can never carry into the
// next channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    bool opaque = true;  // every alpha is 255

    bool Empty() const { return width <= 0 || height <= 0; }
    uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    size_t Bytes() const { return pixels.size() * sizeof(uint32_t); }
};

// What the renderer asks for a bitmap fill's id; null when there is none
// (undefined, not a bitmap, or a bitmap that could not be decoded).
class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    virtual const Bitmap* FindBitmap(uint16_t id) const = 0;
};

}  // namespace swf
