// flash.geom from scripts: each class's methods and toString as traced,
// then a clip's transform read as copies and written back, seen in its
// position, its pixels and the timeline leaving it alone.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

std::string New(const std::string& cls, const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + "; " + Var("flash.geom") + "; push '" + cls +
           "'; newmethod";
}
std::string Static(const std::string& cls, const std::string& method, const std::vector<std::string>& args) {
    return CallM(Var("flash.geom." + cls), method, args);
}
std::string Pt(double x, double y) { return New("Point", {Num(x), Num(y)}); }
std::string Rc(double x, double y, double w, double h) { return New("Rectangle", {Num(x), Num(y), Num(w), Num(h)}); }

// The square clip "s" at (20, 20); frame 2 moves it to (100, 20).
swfmake::SwfWriter Scene(const std::string& script) {
    return SquareClipScene(script, swf::Matrix::Translate(100 * swf::kTwipsPerPixel, 20 * swf::kTwipsPerPixel));
}

struct Case {
    std::vector<std::string> script;
    const char* expected;
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const std::string text = Lines(c.script);
        ScriptedMovie m(Scene(text));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Joined(), c.expected) << text;
    }
}

TEST(GeomScriptTest, Point) {
    RunCases({
        {{Trace(New("Point")), Trace(New("Point", {Num(5)}))}, "(x=0, y=0)|(x=5, y=undefined)"},
        {{SetV("p", Pt(3, 4)), Trace(Member(Var("p"), "length")), Trace(CallM(Var("p"), "add", {Pt(1, 1)})),
          Trace(CallM(Var("p"), "subtract", {Pt(1, 1)})), Trace(Var("p"))},
         "5|(x=4, y=5)|(x=2, y=3)|(x=3, y=4)"},
        {{SetV("p", Pt(3, 4)), Do(CallM(Var("p"), "normalize", {Num(10)})), Trace(Var("p")),
          Do(CallM(Var("p"), "offset", {Num(1), Num(-1)})), Trace(Var("p")),
          SetV("z", Pt(0, 0)), Do(CallM(Var("z"), "normalize", {Num(1)})), Trace(Var("z"))},
         "(x=6, y=8)|(x=7, y=7)|(x=0, y=0)"},
        {{SetV("p", Pt(3, 4)), SetV("q", CallM(Var("p"), "clone")), SetM(Var("q"), "x", Num(9)),
          Trace(Var("p")), Trace(CallM(Var("p"), "equals", {Pt(3, 4)})), Trace(CallM(Var("p"), "equals", {Var("q")})),
          Trace(CallM(Var("p"), "equals", {Num(3)})), Trace(Member(Var("q"), "length") + "; typeof")},
         "(x=3, y=4)|true|false|false|number"},
        {{Trace(Static("Point", "distance", {Pt(0, 0), Pt(3, 4)})),
          Trace(Static("Point", "interpolate", {Pt(0, 0), Pt(10, 20), Num(0.25)})),
          Trace(Static("Point", "polar", {Num(2), Num(0)})),
          // Any object with x and y will do.
          Trace(CallM(Pt(1, 2), "add", {"push 'x', 10, 'y', 20, 2; initobject"}))},
         "5|(x=7.5, y=15)|(x=2, y=0)|(x=11, y=22)"},
    });
}

TEST(GeomScriptTest, Rectangle) {
    RunCases({
        {{Trace(New("Rectangle")), SetV("r", Rc(10, 20, 30, 40)), Trace(Var("r")), Trace(Member(Var("r"), "right")),
          Trace(Member(Var("r"), "bottom")), Trace(Member(Var("r"), "topLeft")),
          Trace(Member(Var("r"), "bottomRight")), Trace(Member(Var("r"), "size"))},
         "(x=0, y=0, w=0, h=0)|(x=10, y=20, w=30, h=40)|40|60|(x=10, y=20)|(x=40, y=60)|(x=30, y=40)"},
        // Members never given stay undefined in the near edges and corner;
        // the far ones are sums.
        {{SetV("r", New("Rectangle", {Num(1)})), Trace(Member(Var("r"), "top")), Trace(Member(Var("r"), "right")),
          Trace(Member(Var("r"), "topLeft")), Trace(Member(Var("r"), "size"))},
         "undefined|NaN|(x=1, y=undefined)|(x=undefined, y=undefined)"},
        // Moving an edge or corner keeps the opposite one.
        {{SetV("r", Rc(10, 20, 30, 40)), SetM(Var("r"), "left", Num(0)), Trace(Var("r")),
          SetM(Var("r"), "bottom", Num(100)), Trace(Var("r")), SetM(Var("r"), "topLeft", Pt(5, 50)), Trace(Var("r")),
          SetM(Var("r"), "bottomRight", Pt(10, 60)), Trace(Var("r")), SetM(Var("r"), "size", Pt(1, 2)),
          Trace(Var("r"))},
         "(x=0, y=20, w=40, h=40)|(x=0, y=20, w=40, h=80)|(x=5, y=50, w=35, h=50)|(x=5, y=50, w=5, h=10)|"
         "(x=5, y=50, w=1, h=2)"},
        // The right and bottom edges are outside.
        {{SetV("r", Rc(10, 20, 30, 40)), Trace(CallM(Var("r"), "contains", {Num(10), Num(20)})),
          Trace(CallM(Var("r"), "contains", {Num(40), Num(20)})), Trace(CallM(Var("r"), "containsPoint", {Pt(39, 59)})),
          Trace(CallM(Var("r"), "containsRectangle", {Rc(15, 25, 5, 5)})),
          Trace(CallM(Var("r"), "containsRectangle", {Rc(15, 25, 50, 5)}))},
         "true|false|true|true|false"},
        {{SetV("r", Rc(10, 20, 30, 40)), Trace(CallM(Var("r"), "intersection", {Rc(30, 50, 100, 100)})),
          Trace(CallM(Var("r"), "intersection", {Rc(40, 0, 5, 5)})),
          Trace(CallM(Var("r"), "intersects", {Rc(40, 0, 5, 5)})),
          Trace(CallM(Var("r"), "union", {Rc(0, 0, 5, 5)})), Trace(CallM(Var("r"), "union", {New("Rectangle")}))},
         "(x=30, y=50, w=10, h=10)|(x=0, y=0, w=0, h=0)|false|(x=0, y=0, w=40, h=60)|(x=10, y=20, w=30, h=40)"},
        {{SetV("r", Rc(10, 20, 30, 40)), Do(CallM(Var("r"), "inflate", {Num(1), Num(2)})), Trace(Var("r")),
          Do(CallM(Var("r"), "inflatePoint", {Pt(-1, -2)})), Do(CallM(Var("r"), "offset", {Num(5), Num(5)})),
          Do(CallM(Var("r"), "offsetPoint", {Pt(-5, 0)})), Trace(Var("r")),
          Trace(CallM(Var("r"), "equals", {Rc(10, 25, 30, 40)})), Trace(CallM(Var("r"), "isEmpty")),
          Do(CallM(Var("r"), "setEmpty")), Trace(CallM(Var("r"), "isEmpty")), Trace(Var("r")),
          Trace(CallM(Rc(0, 0, 5, -1), "isEmpty"))},
         "(x=9, y=18, w=32, h=44)|(x=10, y=25, w=30, h=40)|true|false|true|(x=0, y=0, w=0, h=0)|true"},
    });
}

TEST(GeomScriptTest, Matrix) {
    const std::string m2 = New("Matrix", {Num(2), Num(0), Num(0), Num(4), Num(10), Num(20)});
    RunCases({
        {{Trace(New("Matrix")), SetV("m", New("Matrix")), Do(CallM(Var("m"), "translate", {Num(10), Num(20)})),
          Do(CallM(Var("m"), "scale", {Num(2), Num(3)})), Trace(Var("m")), Do(CallM(Var("m"), "identity")),
          Trace(Var("m"))},
         "(a=1, b=0, c=0, d=1, tx=0, ty=0)|(a=2, b=0, c=0, d=3, tx=20, ty=60)|(a=1, b=0, c=0, d=1, tx=0, ty=0)"},
        // A quarter turn leaves the cosine's rounding showing.
        {{SetV("m", New("Matrix")), Do(CallM(Var("m"), "rotate", {Var("Math.PI") + "; push 2; divide"})),
          Trace(Var("m"))},
         "(a=6.12323399573677e-17, b=1, c=-1, d=6.12323399573677e-17, tx=0, ty=0)"},
        {{SetV("m", m2), Trace(CallM(Var("m"), "transformPoint", {Pt(1, 1)})),
          Trace(CallM(Var("m"), "deltaTransformPoint", {Pt(1, 1)})), SetV("n", CallM(Var("m"), "clone")),
          Do(CallM(Var("m"), "invert")), Trace(Var("m")), Do(CallM(Var("n"), "concat", {Var("m")})), Trace(Var("n"))},
         "(x=12, y=24)|(x=2, y=4)|(a=0.5, b=0, c=0, d=0.25, tx=-5, ty=-5)|(a=1, b=0, c=0, d=1, tx=0, ty=0)"},
        // Singular: left as it was.
        {{SetV("m", New("Matrix", {Num(0), Num(0), Num(0), Num(0), Num(1), Num(1)})), Do(CallM(Var("m"), "invert")),
          Trace(Var("m"))},
         "(a=0, b=0, c=0, d=0, tx=1, ty=1)"},
        {{SetV("m", New("Matrix")), Do(CallM(Var("m"), "createBox", {Num(2), Num(3), Num(0), Num(5), Num(6)})),
          Trace(Var("m")), Do(CallM(Var("m"), "createGradientBox", {Num(1638.4), Num(819.2)})), Trace(Var("m"))},
         "(a=2, b=0, c=0, d=3, tx=5, ty=6)|(a=1, b=0, c=0, d=0.5, tx=819.2, ty=409.6)"},
    });
}

TEST(GeomScriptTest, ColorTransform) {
    RunCases({
        {{Trace(New("ColorTransform")), Trace(New("ColorTransform", {Num(0.5)}))},
         "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=0, greenOffset=0, "
         "blueOffset=0, alphaOffset=0)|(redMultiplier=0.5, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, "
         "redOffset=0, greenOffset=0, blueOffset=0, alphaOffset=0)"},
        {{SetV("c", New("ColorTransform")), SetM(Var("c"), "rgb", Num(0x123456)), Trace(Member(Var("c"), "rgb")),
          Trace(Member(Var("c"), "redMultiplier")), Trace(Member(Var("c"), "greenOffset")),
          Trace(Member(Var("c"), "alphaMultiplier"))},
         "1193046|0|52|1"},
        // The argument applies first.
        {{SetV("c", New("ColorTransform", {Num(0.5), Num(1), Num(1), Num(1), Num(10)})),
          Do(CallM(Var("c"), "concat", {New("ColorTransform", {Num(0.5), Num(1), Num(1), Num(0.5), Num(20)})})),
          Trace(Member(Var("c"), "redMultiplier")), Trace(Member(Var("c"), "redOffset")),
          Trace(Member(Var("c"), "alphaMultiplier"))},
         "0.25|20|0.5"},
    });
}

TEST(GeomScriptTest, TransformReadsCopiesAndWritesBack) {
    const std::string cm = Member(Member(Var("c"), "transform"), "concatenatedMatrix");
    RunCases({
        {{Trace(Member(Member(Var("s"), "transform"), "matrix")), SetV("m", Member(Member(Var("s"), "transform"), "matrix")),
          SetM(Var("m"), "tx", Num(50)), Trace(Var("s._x")), SetV("t", Member(Var("s"), "transform")),
          SetM(Var("t"), "matrix", Var("m")), Trace(Var("s._x")),
          Trace(Member(Member(Var("t"), "colorTransform"), "alphaMultiplier")),
          Trace(Member(Var("t"), "pixelBounds"))},
         "(a=1, b=0, c=0, d=1, tx=20, ty=20)|20|50|1|(x=50, y=20, w=10, h=10)"},
        // Parents count in the concatenated forms.
        {{SetM(Var("s"), "_xscale", Num(200)), SetM(Var("s"), "_alpha", Num(50)),
          Do(CallM(Var("s"), "createEmptyMovieClip", {Str("c"), Num(1)})), SetV("c", Var("s.c")),
          SetM(Var("c"), "_x", Num(5)), SetM(Var("c"), "_alpha", Num(50)), Trace(cm),
          Trace(Member(Member(Member(Var("c"), "transform"), "concatenatedColorTransform"), "alphaMultiplier")),
          Trace(Member(Member(Var("c"), "transform"), "pixelBounds")),
          // Another clip's transform copies both parts.
          SetM(Var("c"), "transform", Member(Var("s"), "transform")), Trace(Var("c._x")),
          Trace(Member(New("Transform", {Var("c")}), "matrix"))},
         "(a=2, b=0, c=0, d=1, tx=30, ty=20)|0.25|(x=0, y=0, w=0, h=0)|20|(a=2, b=0, c=0, d=1, tx=20, ty=20)"},
        {{SetV("e", CallM(Var("s"), "createEmptyMovieClip", {Str("e"), Num(2)})), SetV("t", New("Transform", {Var("e")})),
          Trace(Member(Member(Var("t"), "matrix"), "a")), Do(CallM(Var("e"), "removeMovieClip")),
          Trace(Member(Var("t"), "matrix"))},
         "1|undefined"},
    });
}

TEST(GeomScriptTest, AssignedTransformIsDrawnAndKeptByTheTimeline) {
    struct PixelCase {
        std::string script;
        int x, y;
        uint32_t before, after;  // frame 1, frame 2
    };
    const std::string t = Member(Var("s"), "transform");
    const PixelCase cases[] = {
        {"", 25, 25, 0xFFC80000u, kWhitePixel},
        // Twice the size at (40, 40), and still there after frame 2's move.
        {SetM(t, "matrix", New("Matrix", {Num(2), Num(0), Num(0), Num(2), Num(40), Num(40)})), 59, 59, 0xFFC80000u,
         0xFFC80000u},
        {SetM(t, "colorTransform", New("ColorTransform", {Num(0), Num(0), Num(0), Num(1), Num(0), Num(0), Num(255)})),
         25, 25, 0xFF0000FFu, 0xFF0000FFu},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.script);
        ScriptedMovie m(Scene(c.script));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(Pixels(m.player).At(c.x, c.y), c.before);
        m.player.Tick();
        EXPECT_EQ(Pixels(m.player).At(c.x, c.y), c.after);
    }
}

}  // namespace
