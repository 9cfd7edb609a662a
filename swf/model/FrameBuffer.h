// A 32-bit premultiplied frame buffer, top row first.
//
// Each pixel is one uint32_t 0xAARRGGBB, which in memory on a little-endian
// machine is B, G, R, A: the layout of a 32-bpp top-down Windows DIB, so the
// player control shows a frame with one copy.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Color.h"

namespace swf {

class FrameBuffer {
public:
    FrameBuffer() = default;
    FrameBuffer(int width, int height) { Resize(width, height); }

    // Negative sizes become 0. Contents are cleared to transparent black.
    void Resize(int width, int height) {
        width_ = width > 0 ? width : 0;
        height_ = height > 0 ? height : 0;
        pixels_.assign(static_cast<size_t>(width_) * height_, 0u);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    uint32_t* Data() { return pixels_.data(); }
    const uint32_t* Data() const { return pixels_.data(); }
    uint32_t At(int x, int y) const { return Row(y)[x]; }

    void Fill(Rgba c) {
        uint32_t v = Premultiply(c);
        for (uint32_t& p : pixels_) p = v;
    }

    static uint32_t Pack(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
        return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
    }
    // Rounds channel * alpha / 255 to nearest.
    static uint32_t Premultiply(Rgba c) {
        auto m = [a = c.a](uint8_t v) {
            unsigned t = unsigned(v) * a + 128;
            return static_cast<uint8_t>((t + (t >> 8)) >> 8);
        };
        return Pack(c.a, m(c.r), m(c.g), m(c.b));
    }
    // The inverse, rounding to nearest; a channel above its alpha (not a valid
    // premultiplied pixel) clamps to 255.
    static Rgba Unpremultiply(uint32_t argb) {
        const unsigned a = argb >> 24;
        if (a == 0) return {0, 0, 0, 0};
        auto u = [a](uint32_t v) {
            const unsigned s = ((v & 0xFF) * 255 + a / 2) / a;
            return static_cast<uint8_t>(s > 255 ? 255 : s);
        };
        if (a == 255) return {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), 255};
        return {u(argb >> 16), u(argb >> 8), u(argb), uint8_t(a)};
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace swf
