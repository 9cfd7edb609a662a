// Display objects as scripts see them: clips, buttons and text fields by
// name with their own prototypes, timeline properties read and written
// through the display side, and scripted objects left alone by the
// timeline.
#include "MovieScriptUtil.h"
#include "tools/swfmake/TextTags.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1, kSprite = 2, kButton = 3, kText = 4;

// A 10 px box in a sprite "s" at (20, 0), a button "b" and a text field
// "t"; frame 1 moves the sprite to x = 100 px.
swfmake::SwfWriter Scene(const std::string& frame0, const std::string& frame1 = "") {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(kBox, Square(200));
    swfmake::TagList sprite;
    sprite.PlaceObject(kBox, 1);
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    swfmake::ButtonRecord rec;
    rec.states = swf::kButtonUp | swf::kButtonHit;
    rec.characterId = kBox;
    t.DefineButton2(kButton, {rec}, {});
    swf::EditTextData field;
    field.bounds = {0, 2000, 0, 400};
    field.initialText = "hi";
    swfmake::DefineEditText(t, kText, field);
    swfmake::Placement p = swfmake::NewPlacement(1, kSprite, swf::Matrix::Translate(400, 0));
    p.name = "s";
    t.PlaceObject2(p);
    p = swfmake::NewPlacement(2, kButton, swf::Matrix::Translate(0, 1000));
    p.name = "b";
    t.PlaceObject2(p);
    p = swfmake::NewPlacement(3, kText, swf::Matrix::Translate(0, 2000));
    p.name = "t";
    t.PlaceObject2(p);
    if (!frame0.empty()) t.DoAction(Asm(frame0));
    t.ShowFrame();
    t.PlaceObject2(swfmake::MovePlacement(1, swf::Matrix::Translate(2000, 0)));
    if (!frame1.empty()) t.DoAction(Asm(frame1));
    t.ShowFrame();
    return w;
}

TEST(ScriptObjectsTest, ButtonsAndTextFieldsAreNamedWithTheirOwnPrototypes) {
    ScriptedMovie r(Scene(Lines({
        Trace(Var("s") + "; typeof"), Trace(Var("b") + "; typeof"), Trace(Var("t") + "; typeof"),
        Trace(Var("b") + "; " + Var("Button") + "; instanceof"),
        Trace(Var("t") + "; " + Var("TextField") + "; instanceof"),
        Trace(Var("s") + "; " + Var("MovieClip") + "; instanceof"),
        Trace(Var("b") + "; " + Var("MovieClip") + "; instanceof"),
        Trace(Var("t._name")), Trace(Var("b._target")), Trace(Var("t._parent") + "; " + Var("_root") + "; equals2"),
        Trace(Var("b._y")),
    })));
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Joined(), "movieclip|object|object|true|true|true|false|t|/b|true|50");
}

TEST(ScriptObjectsTest, MembersAddedToAPrototypeReachEveryObjectOfItsKind) {
    ScriptedMovie r(Scene(Lines({
        SetM(Var("TextField.prototype"), "kind", Str("field")),
        SetM(Var("Button.prototype"), "kind", Str("button")),
        Trace(Var("t.kind")), Trace(Var("b.kind")), Trace(Var("s.kind")),
        Trace(Var("b.enabled")), Trace(Var("s.useHandCursor")),
    })));
    EXPECT_EQ(r.log.Joined(), "field|button|undefined|true|true");
}

TEST(ScriptObjectsTest, TransformPropertiesReadAndWriteThroughTheDisplaySide) {
    ScriptedMovie r(Scene(Lines({
        Trace(Var("s._x")), Trace(Var("s._width")),
        SetM(Var("s"), "_width", Num(30)), Trace(Var("s._width")), Trace(Var("s._xscale")),
        SetM(Var("s"), "_rotation", Num(90)), Trace(Var("s._rotation")), Trace(Var("s._height")),
        SetM(Var("b"), "_alpha", Num(50)), Trace(Var("b._alpha")),
        SetM(Var("t"), "_x", Num(7)), Trace(Var("t._x")),
    })));
    EXPECT_EQ(r.log.Joined(), "20|10|30|300|90|30|50|7");
}

TEST(ScriptObjectsTest, ScriptedClipNoLongerFollowsTheTimeline) {
    // The timeline's move on frame 1 leaves a clip a script has moved.
    ScriptedMovie r(Scene(SetM(Var("s"), "_y", Num(30))));
    r.player.Tick();
    std::vector<DrawCall> calls = Draw(r.player);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].matrix.tx, 400);
    EXPECT_EQ(calls[0].matrix.ty, 600);
    // Untouched, it moves.
    ScriptedMovie plain(Scene(""));
    plain.player.Tick();
    EXPECT_EQ(Draw(plain.player)[0].matrix.tx, 2000);
}

}  // namespace
