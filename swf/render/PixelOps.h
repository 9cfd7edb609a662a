// Integer helpers on premultiplied 0xAARRGGBB pixels, shared by the
// compositor, the blend modes and the filters.
#pragma once

#include <cstdint>

namespace swf {

// t / 255 rounded to nearest, for t up to 255 * 255.
inline uint32_t Div255(uint32_t t) { return (t + 128 + ((t + 128) >> 8)) >> 8; }

// Each channel times k / 255, rounded; two channels per multiply.
inline uint32_t ScalePacked(uint32_t c, uint32_t k) {
    const uint32_t mask = 0x00FF00FFu, bias = 0x00800080u;
    uint32_t rb = (c & mask) * k + bias;
    rb = ((rb + ((rb >> 8) & mask)) >> 8) & mask;
    uint32_t ag = ((c >> 8) & mask) * k + bias;
    ag = (ag + ((ag >> 8) & mask)) & ~mask;
    return rb | ag;
}

// Source-over of an already scaled source.
inline uint32_t BlendPacked(uint32_t dst, uint32_t scaledSrc) {
    return scaledSrc + ScalePacked(dst, 255 - (scaledSrc >> 24));
}

}  // namespace swf
