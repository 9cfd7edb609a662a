// Runtime objects in a playing movie: Key follows the keys the player is
// given, Stage reports the movie's size, Color recolours clips,
// ExternalInterface writes values as its container's XML.
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

// Empty strings are written as null, functions as <null/>; _arguments
// skips the first value; text is escaped.
TEST(RuntimeObjectsTest, ExternalInterfaceWritesValuesAsXml) {
    const std::string ei = Var("flash.external.ExternalInterface");
    const std::string list = "push 'a<b', true, '', 3, 4; initarray";
    ScriptedMovie r([&] {
        swfmake::SwfWriter w(8, kStage, 12);
        w.Tags().DoAction(Asm(Lines({
            Trace(CallM(ei, "_toXML", {list})),
            Trace(CallM(ei, "_argumentsToXML", {list})),
            Trace(CallM(ei, "_toXML", {"push 'f', 'x', 0, 1; initobject; push 1; initobject"})),
            Trace(CallM(ei, "_toXML", {Fn("push 1; return")})),
            Trace(CallM(ei, "_escapeXML", {Str("&\"<")})),
            Trace(CallM(ei, "_escapeXML", {Str("")})),
            Trace(Member(ei, "available")),
        })));
        w.Tags().ShowFrame();
        return w;
    }());
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Joined(),
              "<array><property id=\"0\"><number>3</number></property>"
              "<property id=\"1\"><string>null</string></property><property id=\"2\"><true/></property>"
              "<property id=\"3\"><string>a&lt;b</string></property></array>|"
              "<arguments><string>null</string><true/><string>a&lt;b</string></arguments>|"
              "<object><property id=\"f\"><object><property id=\"x\"><number>0</number></property>"
              "</object></property></object>|"
              "<null/>|&amp;&quot;&lt;|null|false");
}

}  // namespace
