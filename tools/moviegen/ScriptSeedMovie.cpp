// "script_seed.swf": a small movie whose scripts call clip methods, the
// drawing API, events, listeners and timers, so the player fuzzer starts
// from bytes that reach them (random bytes seldom form such scripts).
#include "tools/moviegen/Movies.h"
#include "tools/swfmake/ActionAsm.h"
#include "tools/swfmake/ShapeBuilder.h"

namespace moviegen {

namespace {

constexpr uint16_t kSquare = 1, kBox = 2;

// m.method(args) with the arguments pushed last first, result dropped.
std::string Call(const std::string& target, const std::string& method, const std::string& args, int count) {
    return (args.empty() ? "" : "push " + args + "; ") + "push " + std::to_string(count) + "; push '" + target +
           "'; getvariable; push '" + method + "'; callmethod; pop\n";
}

std::string FrameScript() {
    return Call("_root", "createEmptyMovieClip", "1, 'd'", 2) +
           Call("d", "lineStyle", "100, 16711680, 2", 3) + Call("d", "beginFill", "50, 255", 2) +
           Call("d", "moveTo", "0, 0", 2) + Call("d", "lineTo", "0, 40", 2) + Call("d", "curveTo", "40, 40, 60, 20", 4) +
           Call("d", "endFill", "", 0) + Call("_root", "attachMovie", "2, 'b', 'box'", 3) +
           Call("b", "duplicateMovieClip", "3, 'c'", 2) + Call("c", "swapDepths", "5", 1) +
           Call("b", "hitTest", "true, 10, 10", 3) + Call("b", "getBounds", "'_root'", 1) +
           Call("_root", "createTextField", "20, 100, 0, 0, 4, 't'", 6) + R"(
        push 't'; getvariable; push 'text', 'seed'; setmember
        push 'b'; getvariable; push 'onEnterFrame'
        definefunction -() fe
          push 'this'; getvariable; push '_x'; push 'this'; getvariable; push '_x'; getmember; push 3; add2; setmember
          push 'this'; getvariable; push '_rotation', 15; setmember
        fe:
        setmember
        push 'k', 0; initobject; storeregister 1; pop
        push r:1; push 'onKeyDown'
        definefunction -() fk
          push 0, 'Key'; getvariable; push 'getCode'; callmethod; trace
        fk:
        setmember
        push r:1; push 1, 'Key'; getvariable; push 'addListener'; callmethod; pop
        definefunction -() ft
          gettime; trace
        ft:
        push 10; stackswap; push 2, 'setInterval'; callfunction; pop
        push '_root'; getvariable; enumerate2
        next:
        storeregister 2; push null; equals2; if done
        push r:2; trace
        jump next
        done:
        push -1, 1, 0, 200, 2, 'ASnative'; callfunction; push undefined; callmethod; trace
    )";
}

}  // namespace

swfmake::SwfWriter ScriptSeedMovie() {
    swfmake::SwfWriter w(kSwfVersion, {0, 100 * kTwips, 0, 80 * kTwips}, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    swfmake::ShapeBuilder b;
    b.FillRect({0, 10 * kTwips, 0, 10 * kTwips}, b.AddSolidFill({0, 128, 0, 255}));
    t.DefineShape(kSquare, b.Build());
    swfmake::TagList sprite;
    sprite.PlaceObject(kSquare, 1);
    sprite.ShowFrame();
    t.DefineSprite(kBox, sprite);
    t.ExportAssets({{kBox, "box"}});
    t.DoAction(swfmake::Actions().Raw(swfmake::Assemble(FrameScript())));
    t.ShowFrame();
    t.DoAction(swfmake::Actions().Raw(swfmake::Assemble("push 1; gotoframe2 play")));
    t.ShowFrame();
    return w;
}

}  // namespace moviegen
