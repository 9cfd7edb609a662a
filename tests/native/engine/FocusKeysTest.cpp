// Keys through the player's focus: typing into the focused input field
// (with onChanged after each change) and Tab moving the focus with its
// yellow rectangle.
#include "MovieScriptUtil.h"
#include "StubFonts.h"
#include "swf/model/FrameBuffer.h"
#include "tools/swfmake/TextTags.h"

namespace {

using namespace enginetest;

TEST(FocusKeysTest, KeysEditTheFocusedInputField) {
    swfmake::SwfWriter w(8, kStage, 12);
    swf::EditTextData f;
    f.bounds = {0, 2000, 0, 400};
    f.initialText = "hello";
    f.variable = "v";
    swfmake::DefineEditText(w.Tags(), 1, f);
    swfmake::Placement p = swfmake::NewPlacement(1, 1);
    p.name = "t";
    w.Tags().PlaceObject2(p);
    w.Tags().DoAction(Asm(Lines({
        SetM(Var("t"), "onChanged", Fn(Trace(Var("t.text")))),
        Do(CallM(Var("Selection"), "setFocus", {Var("t")})),
        Do(CallM(Var("Selection"), "setSelection", {Num(5), Num(5)})),
    })));
    w.Tags().ShowFrame();
    w.Tags().DoAction(Asm(Trace(Var("v"))));
    w.Tags().ShowFrame();
    ScriptedMovie m(w);
    ASSERT_TRUE(m.loaded);
    m.player.KeyDown('X', 'x');
    m.player.KeyDown(swf::kKeyBackspace, 8);
    m.player.KeyDown(swf::kKeyLeft, 0);
    m.player.KeyDown('A', 'a');
    m.player.KeyDown(swf::kKeyShift, 0);
    m.player.KeyDown(swf::kKeyHome, 0);  // selects "hella"
    m.player.KeyUp(swf::kKeyShift, 0);
    m.player.KeyDown('Z', 'Z');
    m.player.Tick();  // the bound variable has followed
    EXPECT_EQ(m.log.Joined(), "hellox|hello|hellao|Zo|Zo");
}

TEST(FocusKeysTest, TabFocusesButtonsInReadingOrderWithAYellowRectangle) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(1, Square(400));
    swfmake::ButtonRecord rec;
    rec.states = swf::kButtonUp | swf::kButtonHit;
    rec.characterId = 1;
    t.DefineButton2(2, {rec}, {});
    for (int i = 0; i < 2; ++i) {
        swfmake::Placement p = swfmake::NewPlacement(uint16_t(1 + i), 2, swf::Matrix::Translate(800 + 1600 * i, 800));
        p.name = i ? "right" : "left";
        t.PlaceObject2(p);
    }
    t.DoAction(Asm(Lines({
        SetM(Var("right"), "onSetFocus", Fn(Trace(Str("right")))),
        SetM(Var("left"), "onSetFocus", Fn(Trace(Str("left")))),
    })));
    t.ShowFrame();
    ScriptedMovie m(w);
    ASSERT_TRUE(m.loaded);
    m.player.SetScaleMode(swf::kNoScale);
    m.player.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    m.player.KeyDown(swf::kKeyTab, 9);
    swf::FrameBuffer fb(200, 100);
    m.player.Render(fb);
    // "left" (x 40..60 px) is first; its rectangle is 3 px inside, y 40..42.
    const uint32_t yellow = swf::FrameBuffer::Pack(255, 255, 255, 0);
    const uint32_t white = swf::FrameBuffer::Pack(255, 255, 255, 255);
    EXPECT_EQ(fb.At(50, 40), yellow);
    EXPECT_EQ(fb.At(50, 42), yellow);
    EXPECT_EQ(fb.At(50, 39), white);
    EXPECT_NE(fb.At(130, 40), yellow);
    m.player.KeyDown(swf::kKeyTab, 9);
    m.player.KeyDown(swf::kKeyShift, 0);
    m.player.KeyDown(swf::kKeyTab, 9);
    m.player.Render(fb);
    EXPECT_EQ(fb.At(50, 40), yellow);
    EXPECT_EQ(m.log.Joined(), "left|right|left");
    // A middle press leaves it; a move hides it (version 8), until Tab.
    m.player.PointerDown(150, 90, swf::MouseButton::Middle);
    m.player.Render(fb);
    EXPECT_EQ(fb.At(50, 40), yellow);
    m.player.PointerMove(150, 90);
    m.player.Render(fb);
    EXPECT_NE(fb.At(50, 40), yellow);
    m.player.KeyUp(swf::kKeyShift, 0);
    m.player.KeyDown(swf::kKeyTab, 9);
    m.player.Render(fb);
    EXPECT_EQ(fb.At(130, 40), yellow);
}

}  // namespace
