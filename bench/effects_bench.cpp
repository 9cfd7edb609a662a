// Speed of the effects, one core.
//
// 1. Blur cost per pixel against the blur width: a 550 x 400 picture blurred
//    at widths 2..255 with 1 and 3 passes. Box passes with running sums
//    should stay flat as the width grows.
// 2. A filter pass per object: 20 pictures of 110 x 80 pixels, each with a
//    drop shadow and a glow at high quality (3 passes), as a frame of 20
//    filtered objects costs before compositing.
// 3. A movie of ours: 20 sprites with a drop shadow and a glow (3 passes)
//    on a 550 x 400 stage, rendered by the player. "Changing": each
//    sprite's content moves every frame, so every picture is filtered
//    again; "cached": the content stands still and the cached pictures are
//    reused (filters imply caching); "moving": the sprites move by whole
//    pixels and the pictures are reused at their new places.
// Times are the thread's CPU time, which a busy shared machine disturbs far
// less than the wall clock. Prints figures; never fails. Build in Release.
#include <time.h>

#include <cstdio>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"
#include "swf/render/Blur.h"
#include "swf/render/Filters.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

constexpr int kWidth = 550, kHeight = 400;
constexpr double kNsPerMs = 1e6;

// Thread CPU milliseconds, as a time point.
struct CpuClock {
    using time_point = double;
    static double now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
};

using Clock = CpuClock;
double MsSince(Clock::time_point start) { return Clock::now() - start; }

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

enum class Motion { Changing, Cached, Moving };

std::vector<uint8_t> FilteredMovie(Motion motion) {
    constexpr int kTw = swf::kTwipsPerPixel, kFrames = 10;
    swfmake::SwfWriter w(8, {0, kWidth * kTw, 0, kHeight * kTw}, 30);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor({240, 240, 240, 255});
    swfmake::ShapeBuilder b;
    b.FillRoundedRect({0, 80 * kTw, 0, 50 * kTw}, 8 * kTw, b.AddSolidFill({40, 120, 220, 255}));
    t.DefineShape(1, b.Build());
    swfmake::TagList sprite;
    sprite.PlaceObject2(swfmake::NewPlacement(1, 1));
    for (int f = 0; f < kFrames; ++f) {
        if (motion == Motion::Changing)
            sprite.PlaceObject2(swfmake::MovePlacement(1, swf::Matrix::Translate(f * 7, f * 3)));
        sprite.ShowFrame();
    }
    t.DefineSprite(2, sprite);
    swf::FilterList filters = {swfmake::DropShadowFilter({0, 0, 0, 160}, 8, 6, 45, 3),
                               swfmake::GlowFilter({255, 200, 0, 255}, 6, 3)};
    for (int f = 0; f < kFrames; ++f) {
        for (int i = 0; i < 20; ++i) {
            int shift = motion == Motion::Moving ? f * kTw : 0;
            swf::Matrix m = swf::Matrix::Translate((20 + (i % 5) * 105) * kTw + shift, (30 + (i / 5) * 90) * kTw);
            swfmake::Placement p = f == 0 ? swfmake::NewPlacement(uint16_t(i + 1), 2, m)
                                          : swfmake::MovePlacement(uint16_t(i + 1), m);
            if (f == 0) p.filters = filters;
            t.PlaceObject3(p);
        }
        t.ShowFrame();
    }
    return w.Write(false);
}

void MovieFrames() {
    const char* names[] = {"changing", "cached", "moving"};
    for (Motion motion : {Motion::Changing, Motion::Cached, Motion::Moving}) {
        swf::Player player;
        if (!player.LoadBytes(FilteredMovie(motion))) return;
        swf::FrameBuffer target(kWidth, kHeight);
        player.Render(target);
        constexpr int kRenders = 60;
        double ms = 0;
        for (int i = 0; i < kRenders; ++i) {
            player.Tick();
            Clock::time_point t = Clock::now();
            player.Render(target);
            ms += MsSince(t);
        }
        std::printf("movie, 20 objects with drop shadow + glow at %d x %d, %s: %.2f ms per frame, %.0f frames/s\n",
                    kWidth, kHeight, names[int(motion)], ms / kRenders, 1000 * kRenders / ms);
    }
}

}  // namespace

int main() {
    BlurSweep();
    FilterPasses();
    MovieFrames();
    return 0;
}
