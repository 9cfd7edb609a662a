// Display-list, sprite, button and action tags written with swfmake and
// read back by the engine's reader.
#include <gtest/gtest.h>

#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

constexpr swf::Rect kStage{0, 11000, 0, 8000};

std::unique_ptr<swf::Movie> ReadBack(const swfmake::SwfWriter& writer) {
    swf::ReadResult result = swf::ReadMovie(writer.Write(false));
    for (const std::string& e : result.errors) ADD_FAILURE() << "reader: " << e;
    return std::move(result.movie);
}

swf::Shape Box() {
    swfmake::ShapeBuilder b;
    b.FillRect({0, 400, 0, 400}, b.AddSolidFill({1, 2, 3, 255}));
    return b.Build();
}

swf::Matrix Rotated() {
    swf::Matrix m;
    m.a = 46341;
    m.b = 46341;
    m.c = -46341;
    m.d = 46341;
    m.tx = -300;
    m.ty = 9000;
    return m;
}

swf::ColorTransform Fade() {
    swf::ColorTransform t;
    t.aMul = 128;
    t.rAdd = -40;
    return t;
}

TEST(RoundTripTimelineTest, PlacementsRemovalsAndLabels) {
    swfmake::SwfWriter w(8, kStage, 24);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Box());
    t.PlaceObject(1, 3, swf::Matrix::Translate(20, 40), Fade());
    swfmake::Placement p = swfmake::NewPlacement(5, 1, Rotated());
    p.cxform = Fade();
    p.ratio = 77;
    p.name = "box";
    p.clipDepth = 9;
    t.PlaceObject2(p);
    t.FrameLabel("start");
    t.ShowFrame();
    swfmake::Placement p3 = swfmake::MovePlacement(5, swf::Matrix::Translate(1, 2));
    p3.blendMode = 3;
    p3.cacheAsBitmap = true;
    t.PlaceObject3(p3);
    t.RemoveObject(1, 3);
    t.RemoveObject2(5);
    t.FrameLabel("end", true);
    t.ShowFrame();

    auto movie = ReadBack(w);
    ASSERT_TRUE(movie);
    EXPECT_EQ(2, movie->header.frameCount);
    EXPECT_EQ(24 * 256, movie->header.frameRate88);
    const auto& frames = movie->root.frames;
    ASSERT_EQ(2u, frames.size());
    ASSERT_EQ(2u, frames[0].commands.size());
    const swf::DisplayCommand& a = frames[0].commands[0];
    EXPECT_TRUE(a.hasCharacter && a.hasMatrix && a.hasCxform);
    EXPECT_EQ(3, a.depth);
    EXPECT_EQ(swf::Matrix::Translate(20, 40), a.matrix);
    // PlaceObject's CXFORM carries no alpha.
    swf::ColorTransform noAlpha = Fade();
    noAlpha.aMul = 256;
    EXPECT_EQ(noAlpha, a.cxform);
    const swf::DisplayCommand& b = frames[0].commands[1];
    EXPECT_FALSE(b.move);
    EXPECT_EQ(1, b.characterId);
    EXPECT_EQ(Rotated(), b.matrix);
    EXPECT_EQ(Fade(), b.cxform);
    EXPECT_TRUE(b.hasRatio && b.hasName && b.hasClipDepth);
    EXPECT_EQ(77, b.ratio);
    EXPECT_EQ("box", b.name);
    EXPECT_EQ(9, b.clipDepth);
    EXPECT_EQ("start", frames[0].label);

    ASSERT_EQ(3u, frames[1].commands.size());
    const swf::DisplayCommand& c = frames[1].commands[0];
    EXPECT_TRUE(c.move);
    EXPECT_FALSE(c.hasCharacter || c.hasCxform);
    EXPECT_EQ(swf::Matrix::Translate(1, 2), c.matrix);
    EXPECT_TRUE(c.hasBlendMode);
    EXPECT_EQ(3, c.blendMode);
    EXPECT_EQ(swf::DisplayCommand::Kind::Remove, frames[1].commands[1].kind);
    EXPECT_EQ(3, frames[1].commands[1].depth);
    EXPECT_EQ(5, frames[1].commands[2].depth);
    EXPECT_EQ(1, movie->root.labels.at("end"));
}

TEST(RoundTripTimelineTest, SpritesKeepTheirOwnFrames) {
    swfmake::SwfWriter w(8, kStage, 24);
    swfmake::TagList sprite;
    sprite.PlaceObject2(swfmake::NewPlacement(1, 1));
    sprite.ShowFrame();
    sprite.DoAction(swfmake::Actions().Stop());
    sprite.ShowFrame();
    sprite.ShowFrame();
    w.Tags().DefineShape(1, Box());
    w.Tags().DefineSprite(2, sprite);
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 2));
    w.Tags().ShowFrame();
    auto movie = ReadBack(w);
    ASSERT_TRUE(movie);
    auto* s = static_cast<const swf::SpriteCharacter*>(movie->Find(2));
    ASSERT_TRUE(s && s->kind == swf::CharacterKind::Sprite);
    ASSERT_EQ(3u, s->timeline.frames.size());
    EXPECT_EQ(1u, s->timeline.frames[0].commands.size());
    ASSERT_EQ(1u, s->timeline.frames[1].actions.size());
    EXPECT_EQ(0x07, s->timeline.frames[1].actions[0].records.at(0).code);
}

TEST(RoundTripTimelineTest, ButtonsAndActions) {
    swfmake::SwfWriter w(8, kStage, 24);
    w.Tags().DefineShape(1, Box());
    swfmake::ButtonRecord up{swf::kButtonUp | swf::kButtonHit, 1, 2, Rotated(), Fade()};
    swfmake::ButtonRecord over{swf::kButtonOver, 1, 3, swf::Matrix(), {}};
    swfmake::ButtonCondAction click;
    click.actions.FsCommand("action", "open");
    swfmake::ButtonCondAction press{swf::kCondOverUpToOverDown, {}};
    press.actions.Play().NextFrame();
    w.Tags().DefineButton2(4, {up, over}, {click, press});
    w.Tags().DefineButton(5, {over}, swfmake::Actions().GotoLabel("x").PrevFrame());
    w.Tags().DoAction(swfmake::Actions().GotoFrame(3).GetUrl("http://a", "_blank").Raw({0x42}));
    w.Tags().ShowFrame();

    auto movie = ReadBack(w);
    ASSERT_TRUE(movie);
    auto* b = static_cast<const swf::ButtonCharacter*>(movie->Find(4));
    ASSERT_TRUE(b && b->kind == swf::CharacterKind::Button);
    ASSERT_EQ(2u, b->records.size());
    EXPECT_EQ(swf::kButtonUp | swf::kButtonHit, b->records[0].states);
    EXPECT_EQ(2, b->records[0].depth);
    EXPECT_EQ(Rotated(), b->records[0].matrix);
    EXPECT_EQ(Fade(), b->records[0].cxform);
    ASSERT_EQ(2u, b->actions.size());
    EXPECT_EQ(swf::kCondOverDownToOverUp, b->actions[0].conditions);
    const swf::ActionRecord& getUrl = b->actions[0].actions.records.at(0);
    EXPECT_EQ(0x83, getUrl.code);
    const std::string payload(getUrl.payload.begin(), getUrl.payload.end());
    EXPECT_EQ(std::string("FSCommand:action\0open\0", 22), payload);
    EXPECT_EQ(swf::kCondOverUpToOverDown, b->actions[1].conditions);
    EXPECT_EQ(2u, b->actions[1].actions.records.size());

    auto* old = static_cast<const swf::ButtonCharacter*>(movie->Find(5));
    ASSERT_TRUE(old);
    ASSERT_EQ(1u, old->actions.size());
    ASSERT_EQ(2u, old->actions[0].actions.records.size());
    EXPECT_EQ(0x8C, old->actions[0].actions.records[0].code);

    const auto& frameActions = movie->root.frames.at(0).actions;
    ASSERT_EQ(1u, frameActions.size());
    const auto& records = frameActions[0].records;
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(0x81, records[0].code);
    EXPECT_EQ((std::vector<uint8_t>{3, 0}), records[0].payload);
    EXPECT_EQ(0x42, records[2].code);
}

}  // namespace
