// Box blur with running sums, the blur under every blur-based filter.
//
// One pass averages a window `width` pixels wide centred on each pixel: the
// 2r+1 middle pixels count whole and the two pixels just outside count by the
// fraction left over, so fractional widths blur smoothly. Widths are 16.16
// pixels, kept to 1/256 pixel. A pass costs the same per pixel whatever the
// width: the window sum is updated by one sample in and one out. Repeated
// passes (the filter's quality) approach a gaussian. Samples beyond the
// plane count as 0; callers grow the plane by BlurReach first.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/FrameBuffer.h"

namespace swf {

// Samples `channels` per pixel (1 for an alpha plane, 4 for BGRA), row by row.
struct Plane {
    int width = 0;
    int height = 0;
    int channels = 1;
    std::vector<uint8_t> data;

    Plane() = default;
    Plane(int w, int h, int c, uint8_t fill = 0)
        : width(w), height(h), channels(c), data(size_t(w) * h * c, fill) {}
    uint8_t* Row(int y) { return data.data() + size_t(y) * width * channels; }
    const uint8_t* Row(int y) const { return data.data() + size_t(y) * width * channels; }
};

// Widths past this are cut to it.
constexpr int32_t kMaxBlurPixels = 255;

struct BoxWindow {
    int32_t radius = 0;  // whole pixels on each side of the centre
    int32_t frac = 0;    // weight of the next pixel out, 1/256
    bool Blurs() const { return radius > 0 || frac > 0; }
    int32_t Reach() const { return radius + (frac > 0 ? 1 : 0); }
};

BoxWindow BoxWindowFor(int32_t width16);
// How far `passes` passes of a `width16` blur spread a pixel, in pixels.
int32_t BlurReach(int32_t width16, int passes);

// Blurs the plane in place: `passes` horizontal passes, then as many vertical.
void BoxBlur(Plane& plane, int32_t widthX16, int32_t widthY16, int passes);
// The same on premultiplied pixels, each channel alone.
void BoxBlur(FrameBuffer& pixels, int32_t widthX16, int32_t widthY16, int passes);

}  // namespace swf
