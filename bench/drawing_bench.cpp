// Drawing-API cost, one core: 100 clips moving over a 550 x 400 stage, each
// redrawn every frame with the drawing API (clear, styles, a curved outline,
// endFill) next to the same scene whose shapes are built once and only
// moved, as a movie without scripts plays. Renders through the software
// backend and prints frames per second for both. Build in Release. Never
// fails.
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "swf/render/RasterBackend.h"
#include "swf/classes/Drawing.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kClips = 100;
constexpr int kFrames = 300;
constexpr int kWidth = 550, kHeight = 400;
constexpr int kPetals = 6;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiusTwips = 400;

// A flower of curves round the origin, as a card's script would draw it.
void DrawFlower(swf::Drawing& d, int frame, int clip) {
    d.Clear();
    swf::PenStyle pen;
    pen.width = 40;
    pen.color = {20, 20, 80, 255};
    d.LineStyle(pen);
    d.BeginFill({uint8_t(clip * 2), uint8_t(255 - clip), uint8_t(frame), 200});
    const double spin = frame * 0.05 + clip;
    for (int i = 0; i <= kPetals * 2; ++i) {
        const double a = spin + i * kPi / kPetals;
        const double r = (i % 2) ? kRadiusTwips * 0.4 : kRadiusTwips;
        const swf::Point p{int32_t(std::lround(r * std::cos(a))), int32_t(std::lround(r * std::sin(a)))};
        if (i == 0) {
            d.MoveTo(p);
        } else {
            const double ca = a - kPi / (2 * kPetals);
            d.CurveTo({int32_t(std::lround(kRadiusTwips * std::cos(ca))), int32_t(std::lround(kRadiusTwips * std::sin(ca)))}, p);
        }
    }
    d.EndFill();
}

swf::Matrix Place(int frame, int clip) {
    const int x = (clip * 97 + frame * 3) % kWidth, y = (clip * 53 + frame * 2) % kHeight;
    return swf::Matrix::Translate(x * swf::kTwipsPerPixel, y * swf::kTwipsPerPixel);
}

struct Fps {
    double wall;
    double cpu;  // per second of this process's processor time: steadier on a busy machine
};

Fps RunFps(bool redraw) {
    swf::FrameBuffer fb(kWidth, kHeight);
    swf::RasterBackend backend(fb);
    std::vector<swf::Drawing> clips(kClips);
    for (int c = 0; c < kClips; ++c) DrawFlower(clips[size_t(c)], 0, c);
    const Clock::time_point start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    for (int f = 0; f < kFrames; ++f) {
        backend.BeginFrame({255, 255, 255, 255});
        for (int c = 0; c < kClips; ++c) {
            swf::Drawing& d = clips[size_t(c)];
            if (redraw) DrawFlower(d, f, c);
            backend.DrawShape(d.GetShape(), Place(f, c), {});
        }
        backend.EndFrame();
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return {kFrames * 1000.0 / ms, kFrames / cpuSeconds};
}

}  // namespace

int main() {
    const Fps still = RunFps(false);
    const Fps redrawn = RunFps(true);
    std::printf("drawing bench: %d clips, %dx%d, %d frames (frames/s by wall clock, by CPU time)\n", kClips,
                kWidth, kHeight, kFrames);
    std::printf("  shapes built once, moved:   %7.1f  %7.1f\n", still.wall, still.cpu);
    std::printf("  redrawn every frame:        %7.1f  %7.1f\n", redrawn.wall, redrawn.cpu);
    return 0;
}
