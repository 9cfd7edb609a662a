// "script_seed.swf": a small movie whose scripts call clip methods, the
// drawing API, masks, BitmapData, events, listeners (resize included) and
// timers, and fill a scrolling text field, so the player fuzzer starts from
// bytes that reach them (random bytes seldom form such scripts).
#include <string>
#include <vector>

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

// Pushes the object at a dotted path such as "flash.geom.Point".
std::string Path(const std::string& dotted) {
    std::string out;
    size_t from = 0;
    for (bool first = true;; first = false) {
        const size_t dot = dotted.find('.', from);
        out += "push '" + dotted.substr(from, dot - from) + "'; " + (first ? "getvariable; " : "getmember; ");
        if (dot == std::string::npos) return out;
        from = dot + 1;
    }
}

// Pushes the arguments (each a snippet pushing one value) last first, then their count.
std::string Args(const std::vector<std::string>& args) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + "; ";
}

// Pushes new a.b.C(args).
std::string New(const std::string& dotted, const std::vector<std::string>& args) {
    const size_t dot = dotted.rfind('.');
    return Args(args) + Path(dotted.substr(0, dot)) + "push '" + dotted.substr(dot + 1) + "'; newmethod";
}

// target.method(args) with its result left to `then` (pop, trace).
std::string Invoke(const std::string& target, const std::string& method, const std::vector<std::string>& args,
                   const std::string& then = "pop") {
    return Args(args) + Path(target) + "push '" + method + "'; callmethod; " + then + "\n";
}

std::string SetVar(const std::string& name, const std::string& value) {
    return "push '" + name + "'; " + value + "; setvariable\n";
}

// Bitmaps drawn, filled, copied, filtered, attached and used as a fill;
// one used after dispose.
std::string BitmapScript() {
    const std::string rect = "push 'bd'; getvariable; push 'rectangle'; getmember";
    return SetVar("bd", New("flash.display.BitmapData", {"push 16", "push 16", "push true", "push 2147549184"})) +
           Invoke("bd", "fillRect", {New("flash.geom.Rectangle", {"push 2", "push 2", "push 4", "push 4"}),
                                     "push 4294901760"}) +
           Invoke("bd", "setPixel32", {"push 1", "push 1", "push 4278190335"}) +
           Invoke("bd", "getPixel32", {"push 1", "push 1"}, "trace") +
           Invoke("bd", "draw", {"push '_root'; getvariable",
                                 New("flash.geom.Matrix", {"push 0.5", "push 0", "push 0", "push 0.5", "push 3",
                                                           "push 3"})}) +
           Invoke("bd", "copyPixels", {"push 'bd'; getvariable",
                                       New("flash.geom.Rectangle", {"push 0", "push 0", "push 8", "push 8"}),
                                       New("flash.geom.Point", {"push 8", "push 8"})}) +
           Invoke("bd", "colorTransform",
                  {rect, New("flash.geom.ColorTransform", {"push 1", "push 0.5", "push 1", "push 1", "push 0",
                                                           "push 0", "push 0", "push 0"})}) +
           Invoke("bd", "applyFilter", {"push 'bd'; getvariable", rect, New("flash.geom.Point", {"push 0", "push 0"}),
                                        New("flash.filters.BlurFilter", {"push 4", "push 4", "push 1"})}) +
           Invoke("d", "attachBitmap", {"push 'bd'; getvariable", "push 7"}) +
           Invoke("d", "beginBitmapFill", {"push 'bd'; getvariable"}) + Invoke("d", "moveTo", {"push 0", "push 50"}) +
           Invoke("d", "lineTo", {"push 30", "push 50"}) + Invoke("d", "lineTo", {"push 30", "push 70"}) +
           Invoke("d", "endFill", {}) + Invoke("flash.display.BitmapData", "loadBitmap", {"push 'box'"}, "trace") +
           SetVar("gone", New("flash.display.BitmapData", {"push 4", "push 4"})) + Invoke("gone", "dispose", {}) +
           Invoke("gone", "setPixel", {"push 0", "push 0", "push 255"});
}

// Masks by clip and by path; a text field taller than its box, so the
// wheel scrolls it; a resize listener that moves a clip.
std::string MaskScrollResizeScript() {
    return Invoke("c", "setMask", {"push 'b'; getvariable"}) + Invoke("d", "setMask", {"push 'c'"}) + R"(
        push 't'; getvariable; push 'multiline', true; setmember
        push 't'; getvariable; push 'html', true; setmember
        push 't'; getvariable; push 'htmlText', '<p>a</p><p>b</p><p>c</p><p>d</p><p>e</p><p>f</p>'; setmember
        push 'Stage'; getvariable; push 'scaleMode', 'noScale'; setmember
        push r:1; push 'onResize'
        definefunction -() fr
          push 'b'; getvariable; push '_x'; push 'Stage'; getvariable; push 'width'; getmember; setmember
          push 'b'; getvariable; push '_x'; getmember; trace
        fr:
        setmember
        push r:1; push 1, 'Stage'; getvariable; push 'addListener'; callmethod; pop
    )";
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
    )" + BitmapScript() + MaskScrollResizeScript();
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
