// Runtime objects in a playing movie: Key follows the keys the player is
// given, Stage reports the movie's size, Color recolours clips.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

TEST(RuntimeObjectsTest, KeyAndStageSeeThePlayersInput) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DoAction(Asm(Lines({Trace(Var("Stage.width")), Trace(Var("Stage.height"))})));
    t.ShowFrame();
    t.DoAction(Asm(Lines({Trace(CallM(Var("Key"), "isDown", {Num(65)})), Trace(CallM(Var("Key"), "getAscii"))})));
    t.ShowFrame();
    ScriptedMovie r(w);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Take(), std::to_string(kStage.Width() / 20) + "|" + std::to_string(kStage.Height() / 20));
    r.player.KeyDown('A', 'a');
    r.player.Tick();
    EXPECT_EQ(r.log.Take(), "true|97");
    // Losing the focus lets every key go (the movie loops back to frame 0
    // on the way).
    r.player.Focus(false);
    r.player.Tick();
    r.player.Tick();
    EXPECT_EQ(r.log.Take(), "200|150|false|97");
}

TEST(RuntimeObjectsTest, ColorRecoloursItsClipByReferenceOrPath) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(1, Square(200));
    swfmake::TagList sprite;
    sprite.PlaceObject(1, 1);
    sprite.ShowFrame();
    t.DefineSprite(2, sprite);
    swfmake::Placement p = swfmake::NewPlacement(1, 2, swf::Matrix());
    p.name = "s";
    t.PlaceObject2(p);
    const std::string color = "push 's'; getvariable; push 1, 'Color'; newobject";
    const std::string byPath = "push 's', 1, 'Color'; newobject";
    t.DoAction(Asm(Lines({
        Do(CallM(color, "setRGB", {Num(0xFF8000)})),
        Trace(CallM(CallM(byPath, "getRGB"), "toString", {Num(16)})),
        Trace(Member(CallM(color, "getTransform"), "rb")),
        Trace(Member(CallM(color, "getTransform"), "ra")),
        Do(CallM(color, "setTransform", {"push 'aa', 50, 1; initobject"})),
        Trace(Member(CallM(byPath, "getTransform"), "aa")),
        Trace(Member(CallM(byPath, "getTransform"), "gb")),
        Trace(CallM("push 'nowhere', 1, 'Color'; newobject", "getRGB")),
    })));
    t.ShowFrame();
    ScriptedMovie r(w);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Take(), "ff8000|255|0|50|128|undefined");
    std::vector<DrawCall> calls = Draw(r.player);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].cxform.rAdd, 255);
    EXPECT_EQ(calls[0].cxform.gAdd, 128);
    EXPECT_EQ(calls[0].cxform.rMul, 0);
    EXPECT_EQ(calls[0].cxform.aMul, 128);
}

}  // namespace
