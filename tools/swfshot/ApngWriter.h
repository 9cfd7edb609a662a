// An animated PNG: every picture a full frame (no dispose, source blend), so
// transparent pictures replace rather than pile up. Each picture is encoded
// as a PNG by the one encoder as it comes, and its image data is framed as
// the animation's next frame; only that compressed data is kept.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "tools/swfshot/PngWriter.h"

namespace swfshot {

// A frame's display time as a fraction of a second.
struct FrameDelay {
    uint16_t numerator = 1;
    uint16_t denominator = 12;
};
// `ticks` frames at a frame rate of rate88 / 256 per second.
FrameDelay DelayOfTicks(int ticks, uint16_t rate88);

class ApngWriter {
public:
    ApngWriter(int width, int height, PngFormat format) : width_(width), height_(height), format_(format) {}
    // False on an encoder error or a picture of another size.
    bool AddFrame(const swf::FrameBuffer& image, FrameDelay delay);
    int FrameCount() const { return frames_; }
    // The whole file, looping forever; empty before the first frame.
    std::vector<uint8_t> Finish() const;

private:
    int width_, height_;
    PngFormat format_;
    int frames_ = 0;
    uint32_t sequence_ = 0;  // shared by fcTL and fdAT chunks
    std::vector<uint8_t> header_;  // the first picture's chunks before its image data
    std::vector<uint8_t> chunks_;
};

}  // namespace swfshot
