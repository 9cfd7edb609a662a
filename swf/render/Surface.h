// Where a draw's spans go: painted into a frame buffer (the frame or an
// offscreen layer), possibly through a mask's coverage, or added to the
// coverage of a mask being drawn.
//
// Coverage buffers are one byte per target pixel, 255 = fully in. Products
// of alphas round to nearest: a * c / 255 as (t + (t >> 8)) >> 8 with
// t = a * c + 128, the rounding of FrameBuffer::Premultiply. A mask adds a
// span to its coverage as alphas combine: c + a - a * c / 255.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "swf/render/Rasterizer.h"

namespace swf {

struct Surface {
    FrameBuffer* pixels = nullptr;  // painted; or, when null,
    uint8_t* coverage = nullptr;    // only the spans' coverage is added
    const uint8_t* clip = nullptr;  // when set, every span is cut by it
    int width = 0;
    int height = 0;
};

inline uint8_t MulAlpha(unsigned a, unsigned c) {
    const unsigned t = a * c + 128;
    return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

// Adds spans to a coverage buffer (a mask being drawn).
class CoverageSink : public SpanSink {
public:
    CoverageSink(uint8_t* coverage, int width) : coverage_(coverage), width_(width) {}
    void Row(int32_t y, const Span* spans, size_t count) override;

private:
    uint8_t* coverage_;
    int width_;
};

// Cuts spans by a coverage buffer (the active mask) and passes the pieces
// on; runs of equal coverage stay whole spans.
class ClipSink : public SpanSink {
public:
    ClipSink(SpanSink& next, const uint8_t* clip, int width, std::vector<Span>& scratch)
        : next_(next), clip_(clip), width_(width), cut_(scratch) {}
    void Row(int32_t y, const Span* spans, size_t count) override;

private:
    SpanSink& next_;
    const uint8_t* clip_;
    int width_;
    std::vector<Span>& cut_;
};

}  // namespace swf
