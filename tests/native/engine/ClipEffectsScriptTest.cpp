// Effects set from scripts on clips and buttons: filters read back as
// copies and applied when set, blend modes by name and number, bitmap
// caching, opaque backgrounds and rectangles, then drawn.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

std::string New(const std::string& cls, const std::vector<std::string>& args) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + "; " + Var("flash.filters") + "; push '" + cls +
           "'; newmethod";
}
std::string ArrayOf(const std::string& elem) { return elem + "; push 1; initarray"; }

swfmake::SwfWriter Scene(const std::string& script) { return SquareClipScene(script); }

swf::FrameBuffer Draw(swf::Player& p) {
    swf::FrameBuffer fb(200, 150);
    p.SetScaleMode(swf::kExactFit);
    p.Render(fb);
    return fb;
}

TEST(ClipEffectsScriptTest, PropertiesReadBackWhatWasSet) {
    const std::string shadow = New("DropShadowFilter", {Num(4), Num(0), Num(0), Num(1), Num(0), Num(0)});
    ScriptedMovie r(Scene(Lines({
        Trace(Member(Var("s"), "filters") + "; push 'length'; getmember"),
        SetM(Var("s"), "filters", ArrayOf(shadow)),
        SetV("f", Member(Var("s"), "filters")),
        SetM(Var("f") + "; push 0; getmember", "distance", Num(9)),
        Trace(Member(Var("s"), "filters") + "; push 0; getmember; push 'distance'; getmember"),
        Trace(Var("f") + "; push 0; getmember; push 'distance'; getmember"),
        SetM(Var("s"), "blendMode", Str("multiply")),
        Trace(Member(Var("s"), "blendMode")),
        SetM(Var("s"), "blendMode", Num(8)),
        SetM(Var("s"), "blendMode", Str("bogus")),
        Trace(Member(Var("s"), "blendMode")),
        Trace(Member(Var("s"), "cacheAsBitmap")),
        SetM(Var("s"), "cacheAsBitmap", "push true"),
        Trace(Member(Var("s"), "cacheAsBitmap")),
        Trace(Member(Var("s"), "opaqueBackground")),
        SetM(Var("s"), "opaqueBackground", Num(0x1FF00FF)),
        Trace(Member(Var("s"), "opaqueBackground")),
        SetM(Var("s"), "scrollRect", "push 'x', 1, 'y', 2, 'width', 5, 'height', 10, 4; initobject"),
        Trace(Member(Var("s"), "scrollRect") + "; push 'width'; getmember"),
        SetM(Var("s"), "scrollRect", "push null"),
        Trace(Member(Var("s"), "scrollRect")),
    })));
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Joined(), "0|4|9|multiply|add|false|true|null|16711935|5|undefined");
}

TEST(ClipEffectsScriptTest, ScriptedEffectsAreDrawn) {
    struct Case {
        std::string script;
        int x;
        uint32_t pixel;
    };
    const std::string shadow = New("DropShadowFilter", {Num(4), Num(0), Num(0), Num(1), Num(0), Num(0)});
    const Case cases[] = {
        {"", 32, 0xFFFFFFFFu},
        {SetM(Var("s"), "filters", ArrayOf(shadow)), 32, 0xFF000000u},  // the shadow, 4 pixels right
        {SetM(Var("s"), "blendMode", Str("difference")), 25, 0xFF37FFFFu},  // |white - red|
        {SetM(Var("s"), "blendMode", Num(7)), 25, 0xFF37FFFFu},
        // Only the first 3 pixels of the square show, at its origin.
        {SetM(Var("s"), "scrollRect", "push 'x', 0, 'y', 0, 'width', 3, 'height', 10, 4; initobject"), 24,
         0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ScriptedMovie r(Scene(c.script));
        ASSERT_TRUE(r.loaded);
        const swf::FrameBuffer fb = Draw(r.player);
        EXPECT_EQ(fb.At(c.x, 25), c.pixel);
        EXPECT_EQ(fb.At(21, 25), c.script.find("blendMode") == std::string::npos ? 0xFFC80000u : 0xFF37FFFFu);
    }
}

}  // namespace
