// swfshot over every frame of the sample movie: seconds in all, and per
// image with PNG writing (the whole tool, seeking with -f all and playing
// with --ticks all) and without it (seek and render only). Files go to a
// scratch folder under /tmp. Build in Release. Never fails.
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "tools/swfshot/Options.h"
#include "tools/swfshot/Renderer.h"

namespace {

// Processor time, not wall time: the figures stay steady on a busy machine.
using Clock = std::clock_t;
double SecondsSince(Clock t) { return double(std::clock() - t) / CLOCKS_PER_SEC; }

double RunTool(const std::vector<std::string>& args) {
    swfshot::Options options;
    std::string error;
    if (!swfshot::ParseArgs(args, &options, &error)) {
        std::printf("bad arguments: %s\n", error.c_str());
        return 0;
    }
    std::ostringstream out, err;
    const Clock t = std::clock();
    if (swfshot::RunSwfshot(options, out, err) != swfshot::kExitOk) std::printf("swfshot: %s", err.str().c_str());
    return SecondsSince(t);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string movie = argc > 1 ? argv[1] : std::string(PICTARO_MOVIES) + "/sample.swf";
    const std::string dir = "/tmp/swfshot_bench";
    std::system(("mkdir -p " + dir).c_str());
    swf::Player player;
    if (!player.LoadFile(movie)) {
        std::printf("cannot load %s\n", movie.c_str());
        return 0;
    }
    const int frames = player.TotalFrames();
    const swf::Rect stage = player.StageRect();
    swf::FrameBuffer image(stage.Width() / swf::kTwipsPerPixel, stage.Height() / swf::kTwipsPerPixel);
    player.Stop();
    const Clock t = std::clock();
    for (int f = 0; f < frames; ++f) {
        player.GotoFrame(f);
        player.Render(image);
    }
    const double renderOnly = SecondsSince(t);
    const double seek = RunTool({movie, "-f", "all", "-o", dir + "/seek_%04d.png", "-q"});
    const double ticks = RunTool({movie, "--ticks", "all", "-o", dir + "/tick_%04d.png", "-q"});
    const double svg = RunTool({movie, "-f", "all", "--svg", "-o", dir + "/seek_%04d.svg", "-q"});
    std::printf("%d frames at %dx%d (processor time)\n", frames, image.Width(), image.Height());
    std::printf("seek + render, no files: %.2f s in all, %.2f ms per image\n", renderOnly, 1000 * renderOnly / frames);
    std::printf("swfshot -f all (PNG):     %.2f s in all, %.2f ms per image\n", seek, 1000 * seek / frames);
    std::printf("swfshot --ticks all (PNG): %.2f s in all, %.2f ms per image\n", ticks, 1000 * ticks / frames);
    std::printf("swfshot -f all --svg:     %.2f s in all, %.2f ms per image\n", svg, 1000 * svg / frames);
    std::printf("PNG writing: %.2f ms per image\n", 1000 * (seek - renderOnly) / frames);
    std::system(("rm -rf " + dir).c_str());
    return 0;
}
