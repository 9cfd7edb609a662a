// Host seek speed on the sample movie, next to the cost of drawing a frame.
//
// A backward seek rebuilds the root and replays the display-list commands
// of every frame up to the target; the worst case is the frame before the
// last. The figure to watch: the slowest seek against one 550 x 400
// render. Build in Release. Never fails.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRenderWidth = 550;
constexpr int kRenderHeight = 400;
constexpr int kRenderStride = 10;
constexpr int kRounds = 5;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct SeekFigures {
    double backMeanMs = 0;
    double backWorstMs = 0;   // the slowest target
    int backWorstTarget = 0;
    double forwardAllMs = 0;  // frame 0 to the last in one seek, from a fresh load
};

// Each target's time is its best of kRounds, so that another process
// taking the core does not pass for a slow seek.
SeekFigures MeasureSeeks(swf::Player& player, const std::string& path) {
    SeekFigures s;
    const int last = player.TotalFrames() - 1;
    std::vector<double> best(static_cast<size_t>(last), 1e9);
    for (int round = 0; round < kRounds; ++round) {
        for (int target = 0; target < last; ++target) {
            player.GotoFrame(last);
            Clock::time_point t = Clock::now();
            player.GotoFrame(target);
            best[static_cast<size_t>(target)] = std::min(best[static_cast<size_t>(target)], MsSince(t));
        }
    }
    for (int target = 0; target < last; ++target) {
        const double ms = best[static_cast<size_t>(target)];
        s.backMeanMs += ms / last;
        if (ms > s.backWorstMs) {
            s.backWorstMs = ms;
            s.backWorstTarget = target;
        }
    }
    s.forwardAllMs = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        player.LoadFile(path);
        Clock::time_point t = Clock::now();
        player.GotoFrame(last);
        s.forwardAllMs = std::min(s.forwardAllMs, MsSince(t));
    }
    return s;
}

double MeasureRenderMs(swf::Player& player) {
    swf::FrameBuffer target(kRenderWidth, kRenderHeight);
    player.GotoFrame(0);
    player.Render(target);  // warm caches and scratch buffers
    double total = 0;
    int frames = 0;
    for (int f = 0; f < player.TotalFrames(); f += kRenderStride) {
        player.GotoFrame(f);
        Clock::time_point t = Clock::now();
        player.Render(target);
        total += MsSince(t);
        ++frames;
    }
    return total / frames;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : std::string(PICTARO_MOVIES) + "/sample.swf";
    swf::Player player;
    if (!player.LoadFile(path) || player.TotalFrames() < 2) {
        std::printf("seek_bench: cannot load %s (build the `movies` target first)\n", path.c_str());
        return 0;
    }
#ifndef NDEBUG
    std::printf("note: a debug build; figures are not meaningful\n");
#endif
    SeekFigures s = MeasureSeeks(player, path);
    double renderMs = MeasureRenderMs(player);
    std::printf("seek_bench: %s, %d frames\n", path.c_str(), player.TotalFrames());
    std::printf("  backward seek from the last frame: %.3f ms mean, %.3f ms worst (to frame %d)\n",
                s.backMeanMs, s.backWorstMs, s.backWorstTarget);
    std::printf("  forward seek 0 -> last:            %.3f ms\n", s.forwardAllMs);
    std::printf("  render %dx%d:                    %.3f ms/frame\n", kRenderWidth, kRenderHeight,
                renderMs);
    std::printf("  worst seek / render: %.3f\n", s.backWorstMs / renderMs);
    return 0;
}
