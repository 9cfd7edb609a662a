// Deblocking of decoded JPEG pictures: smooths the steps that coarse
// quantisation leaves on the 8x8 block grid, and only small steps, so that
// real edges lying on the grid stay sharp.
//
// Across each block edge, with p1 p0 | q0 q1 the two pixels either side,
// a channel is filtered when |p0 - q0| is below the threshold and both
// sides are flat (|p1 - p0| and |q1 - q0| below half of it):
//   p0' = (p1 + 2 p0 + q0 + 2) / 4,  q0' = (p0 + 2 q0 + q1 + 2) / 4.
// The threshold grows with the strength: kStepAtOne channel levels at 1.0.
#include <algorithm>
#include <cstdlib>

#include "swf/decode/ImageDecode.h"

namespace swf {

namespace {

constexpr int kBlock = 8;
constexpr int kStepAtOne = 16;
constexpr int kMaxStep = 255;

void FilterEdge(uint32_t* p1, uint32_t* p0, uint32_t* q0, uint32_t* q1, int threshold) {
    uint32_t outP = *p0, outQ = *q0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = int(*p1 >> shift) & 0xFF, b = int(*p0 >> shift) & 0xFF;
        const int c = int(*q0 >> shift) & 0xFF, d = int(*q1 >> shift) & 0xFF;
        if (std::abs(b - c) >= threshold || 2 * std::abs(a - b) >= threshold ||
            2 * std::abs(d - c) >= threshold)
            continue;
        const uint32_t mask = ~(0xFFu << shift);
        outP = (outP & mask) | (uint32_t((a + 2 * b + c + 2) >> 2) << shift);
        outQ = (outQ & mask) | (uint32_t((b + 2 * c + d + 2) >> 2) << shift);
    }
    *p0 = outP;
    *q0 = outQ;
}

}  // namespace

void DeblockJpeg(Bitmap& bitmap, uint16_t strength) {
    if (strength == 0 || bitmap.Empty()) return;
    const int threshold = std::min(kMaxStep, (int(strength) * kStepAtOne + 128) >> 8);
    if (threshold <= 0) return;
    const int w = bitmap.width, h = bitmap.height;
    uint32_t* px = bitmap.pixels.data();
    for (int y = 0; y < h; ++y) {
        uint32_t* row = px + size_t(y) * size_t(w);
        for (int x = kBlock; x + 1 < w; x += kBlock)
            FilterEdge(row + x - 2, row + x - 1, row + x, row + x + 1, threshold);
    }
    for (int y = kBlock; y + 1 < h; y += kBlock) {
        uint32_t* q0 = px + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
            FilterEdge(q0 + x - 2 * w, q0 + x - w, q0 + x, q0 + x + w, threshold);
    }
}

}  // namespace swf
