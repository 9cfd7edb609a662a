// A scripted scene against the same scene without scripts, at 550x400:
// 100 clips, each moved 3 px per frame by its onEnterFrame and redrawn
// with the drawing API (clear, beginFill, four lineTo, endFill) every
// frame; the plain scene moves 100 sprites of the same square by timeline
// frames. Prints frames per second (tick plus raster draw) of each, in
// processor time so other work on the machine does not skew the figures.
#include <cstdio>
#include <ctime>
#include <string>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "tools/swfmake/ActionAsm.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

constexpr int kClips = 100;
constexpr int kWidth = 550, kHeight = 400;
const swf::Rect kStage{0, kWidth * 20, 0, kHeight * 20};

std::string Call(const std::string& method, const std::string& args, int count) {
    return args + (args.empty() ? "" : "; ") + "push " + std::to_string(count) + "; push 'this'; getvariable; push '" +
           method + "'; callmethod; pop\n";
}

std::string ScriptedSetup() {
    std::string body =
        "push 'this'; getvariable; push '_x'; push 'this'; getvariable; push '_x'; getmember; push 3; add2; "
        "push 550; modulo; setmember\n" +
        Call("clear", "", 0) + Call("beginFill", "push 100, 3355596", 2) + Call("moveTo", "push 0, 0", 2) +
        Call("lineTo", "push 0, 20", 2) + Call("lineTo", "push 20, 20", 2) + Call("lineTo", "push 20, 0", 2) +
        Call("lineTo", "push 0, 0", 2) + Call("endFill", "", 0);
    return R"(
        push 'i', 0; setvariable
        top:
        push 'i'; getvariable; push )" + std::to_string(kClips) + R"(; less2; not; if done
        push 'c'; push 'i'; getvariable; push 'c'; push 'i'; getvariable; add2
        push 2; push '_root'; getvariable; push 'createEmptyMovieClip'; callmethod; setvariable
        push 'c'; getvariable; push '_x'; push 'i'; getvariable; push 5; multiply; setmember
        push 'c'; getvariable; push '_y'; push 'i'; getvariable; push 4; multiply; setmember
        push 'c'; getvariable; push 'onEnterFrame'
        definefunction -() fe
        )" + body + R"(
        fe:
        setmember
        push 'i', 'i'; getvariable; increment; setvariable
        jump top
        done:)";
}

swfmake::SwfWriter Scripted() {
    swfmake::SwfWriter w(8, kStage, 30);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DoAction(swfmake::Actions().Raw(swfmake::Assemble(ScriptedSetup())));
    w.Tags().ShowFrame();
    return w;
}

// 100 sprites of the square, moved 3 px a frame by 60 timeline frames.
swfmake::SwfWriter Plain() {
    swfmake::SwfWriter w(8, kStage, 30);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    swfmake::ShapeBuilder b;
    b.FillRect({0, 400, 0, 400}, b.AddSolidFill({204, 102, 51, 255}));
    t.DefineShape(1, b.Build());
    swfmake::TagList sprite;
    sprite.PlaceObject(1, 1);
    sprite.ShowFrame();
    t.DefineSprite(2, sprite);
    for (int f = 0; f < 60; ++f) {
        for (int i = 0; i < kClips; ++i) {
            const swf::Matrix m = swf::Matrix::Translate(((i * 5 + f * 3) % kWidth) * 20, i * 4 * 20);
            if (f == 0) t.PlaceObject2(swfmake::NewPlacement(static_cast<uint16_t>(i + 1), 2, m));
            else t.PlaceObject2(swfmake::MovePlacement(static_cast<uint16_t>(i + 1), m));
        }
        t.ShowFrame();
    }
    return w;
}

double FramesPerSecond(const swfmake::SwfWriter& w, int frames) {
    swf::Player p;
    if (!p.LoadBytes(w.Write(false))) return 0;
    swf::FrameBuffer fb(kWidth, kHeight);
    for (int i = 0; i < 10; ++i) {  // warm up
        p.Tick();
        p.Render(fb);
    }
    const std::clock_t start = std::clock();
    for (int i = 0; i < frames; ++i) {
        p.Tick();
        p.Render(fb);
    }
    const double s = double(std::clock() - start) / CLOCKS_PER_SEC;
    return s > 0 ? frames / s : 0;
}

}  // namespace

int main() {
    const int frames = 300;
    std::printf("scripted scene (100 clips, onEnterFrame + drawing API), 550x400: %.1f frames/s\n",
                FramesPerSecond(Scripted(), frames));
    std::printf("same scene without scripts (100 sprites moved by the timeline): %.1f frames/s\n",
                FramesPerSecond(Plain(), frames));
    return 0;
}
