// Speed of the effects, one core.
//
// 1. Blur cost per pixel against the blur width: a 550 x 400 picture blurred
//    at widths 2..255 with 1 and 3 passes. Box passes with running sums
//    should stay flat as the width grows.
// 2. A filter pass per object: 20 pictures of 110 x 80 pixels, each with a
//    drop shadow and a glow at high quality (3 passes), as a frame of 20
//    filtered objects costs before compositing.
// Prints figures; never fails. Build in Release.
#include <chrono>
#include <cstdio>

#include "swf/FrameBuffer.h"
#include "swf/render/Blur.h"
#include "swf/render/Filters.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 550, kHeight = 400;
constexpr double kNsPerMs = 1e6;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void FillPattern(swf::FrameBuffer& fb) {
    for (int y = 0; y < fb.Height(); ++y)
        for (int x = 0; x < fb.Width(); ++x)
            fb.Row(y)[x] = ((x / 16 + y / 16) % 2) ? 0xFF80C040u : 0x80402010u;
}

void BlurSweep() {
    std::printf("blur of %d x %d, both axes (ns per pixel per pass)\n", kWidth, kHeight);
    std::printf("  width   1 pass   3 passes\n");
    swf::FrameBuffer fb(kWidth, kHeight);
    for (int width : {2, 4, 8, 16, 32, 64, 128, 255}) {
        double ns[2];
        int passes[2] = {1, 3};
        for (int i = 0; i < 2; ++i) {
            FillPattern(fb);
            constexpr int kRuns = 5;
            Clock::time_point t = Clock::now();
            for (int run = 0; run < kRuns; ++run)
                swf::BoxBlur(fb, width * swf::kFixedOne, width * swf::kFixedOne, passes[i]);
            ns[i] = MsSince(t) * kNsPerMs / (double(kRuns) * passes[i] * kWidth * kHeight);
        }
        std::printf("  %5d  %7.2f  %9.2f\n", width, ns[0], ns[1]);
    }
}

void FilterPasses() {
    constexpr int kObjects = 20, kFrames = 20, kObjW = 110, kObjH = 80;
    swf::FilterList filters = {swfmake::DropShadowFilter({0, 0, 0, 160}, 8, 6, 45, 3),
                               swfmake::GlowFilter({255, 200, 0, 255}, 6, 3)};
    Clock::time_point t = Clock::now();
    for (int frame = 0; frame < kFrames; ++frame)
        for (int i = 0; i < kObjects; ++i) {
            swf::EffectImage img;
            img.pixels.Resize(kObjW, kObjH);
            FillPattern(img.pixels);
            swf::ApplyFilters(filters, {}, img);
        }
    double ms = MsSince(t) / kFrames;
    std::printf("filters: %d objects of %d x %d, drop shadow + glow, 3 passes: %.2f ms per frame "
                "(%.0f frames/s for the filters alone)\n",
                kObjects, kObjW, kObjH, ms, 1000 / ms);
}

}  // namespace

int main() {
    BlurSweep();
    FilterPasses();
    return 0;
}
