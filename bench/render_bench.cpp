// Rendering speed of the engine on the sample movies, one core: sample.swf
// (vectors only) and photos.swf (photos, masks and a shape tween), or the
// movie given.
//
// Plays each movie from its first frame and renders every kStride-th frame
// at three target sizes; times Render alone (the timeline's Tick is timed
// apart). Prints frames per second, milliseconds per frame and nanoseconds
// per pixel, so growth with the stage size shows next to the goal of 300
// frames per second at 550 x 400. Frames per second are also given by the
// thread's CPU time, which a busy shared machine disturbs far less than the
// wall clock. Build in Release. Never fails.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStride = 2;
constexpr double kGoalFps = 300;
constexpr double kNsPerMs = 1e6;

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{550, 400}, {1100, 800}, {2200, 1600}};

struct Result {
    int frames = 0;
    double renderMs = 0;
    double renderCpuMs = 0;
    double tickMs = 0;
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

Result Measure(swf::Player& player, Size size) {
    Result r;
    swf::FrameBuffer target(size.width, size.height);
    player.GotoFrame(0);
    player.Render(target);  // warm caches and scratch buffers
    for (int frame = 0; frame < player.TotalFrames(); ++frame) {
        if (frame % kStride == 0) {
            Clock::time_point t = Clock::now();
            const double cpu = CpuMs();
            player.Render(target);
            r.renderCpuMs += CpuMs() - cpu;
            r.renderMs += MsSince(t);
            ++r.frames;
        }
        Clock::time_point t = Clock::now();
        player.Tick();
        r.tickMs += MsSince(t);
    }
    return r;
}

void Bench(const std::string& path) {
    swf::Player player;
    if (!player.LoadFile(path)) {
        std::printf("render_bench: cannot load %s (build the `movies` target first)\n", path.c_str());
        return;
    }
    player.Play();
    std::printf("render_bench: %s, %d frames, rendering every %d\n", path.c_str(),
                player.TotalFrames(), kStride);
    std::printf("%12s %8s %10s %10s %10s %10s %12s\n", "size", "frames", "fps", "cpu fps", "ms/frame",
                "ns/pixel", "cost vs 1x");
    double basePerPixel = 0;
    for (const Size& size : kSizes) {
        Result r = Measure(player, size);
        double msPerFrame = r.renderMs / r.frames;
        double nsPerPixel = msPerFrame * kNsPerMs / (double(size.width) * size.height);
        if (basePerPixel == 0) basePerPixel = nsPerPixel;
        std::printf("%6dx%-5d %8d %10.1f %10.1f %10.3f %10.2f %11.2fx\n", size.width, size.height,
                    r.frames, 1000.0 / msPerFrame, 1000.0 * r.frames / r.renderCpuMs, msPerFrame, nsPerPixel,
                    nsPerPixel / basePerPixel);
        if (&size == &kSizes[0])
            std::printf("%12s goal: %.0f fps (%s); timeline Tick: %.3f ms/frame\n", "",
                        kGoalFps, 1000.0 / msPerFrame >= kGoalFps ? "met" : "not met",
                        r.tickMs / player.TotalFrames());
    }
}

}  // namespace

int main(int argc, char** argv) {
#ifndef NDEBUG
    std::printf("note: a debug build; figures are not meaningful\n");
#endif
    if (argc > 1) {
        Bench(argv[1]);
        return 0;
    }
    for (const char* name : {"sample.swf", "photos.swf"}) Bench(std::string(PICTARO_MOVIES) + "/" + name);
    return 0;
}
