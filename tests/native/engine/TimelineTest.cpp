// Display list, sprites and seeking: a seek shows what playing shows.
#include "EngineTestUtil.h"

namespace {

using namespace enginetest;
using swf::Matrix;

constexpr uint16_t kSpriteLoop = 10;    // 3 frames: move, then add a shape
constexpr uint16_t kSpriteNested = 11;  // places kSpriteLoop inside itself

swfmake::TagList LoopSprite() {
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 3));
    s.ShowFrame();
    s.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(50, 0)));
    s.ShowFrame();
    s.PlaceObject2(swfmake::NewPlacement(2, 4));
    s.ShowFrame();
    return s;
}

// Seven root frames of places, moves, removes, replaces and re-creations.
swfmake::SwfWriter BusyMovie() {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    for (uint16_t id = 1; id <= 4; ++id) t.DefineShape(id, Square(100 * id));
    t.DefineSprite(kSpriteLoop, LoopSprite());
    swfmake::TagList nested;
    nested.PlaceObject2(swfmake::NewPlacement(1, kSpriteLoop, Matrix::Translate(1000, 0)));
    nested.ShowFrame();
    nested.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(1100, 0)));
    nested.ShowFrame();
    t.DefineSprite(kSpriteNested, nested);

    t.PlaceObject2(swfmake::NewPlacement(1, 1));
    t.PlaceObject2(swfmake::NewPlacement(2, kSpriteLoop, Matrix::Translate(500, 500)));
    t.ShowFrame();  // 0
    t.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(10, 10)));
    t.PlaceObject2(swfmake::NewPlacement(3, 2));
    t.ShowFrame();  // 1
    t.RemoveObject2(3);
    t.PlaceObject2(swfmake::NewPlacement(4, kSpriteNested));
    t.ShowFrame();  // 2
    swfmake::Placement replace = swfmake::MovePlacement(1, std::nullopt);
    replace.characterId = 2;
    t.PlaceObject2(replace);
    t.ShowFrame();  // 3
    t.RemoveObject2(2);
    t.PlaceObject2(swfmake::NewPlacement(2, kSpriteLoop, Matrix::Translate(600, 600)));
    t.ShowFrame();  // 4
    t.PlaceObject(3, 5);
    t.RemoveObject2(4);
    t.ShowFrame();  // 5
    t.ShowFrame();  // 6
    return w;
}

constexpr int kBusyFrames = 7;

TEST(TimelineTest, NestedSpritesDrawInsideTheirParents) {
    swf::Player p;
    ASSERT_TRUE(Load(p, BusyMovie()));
    EXPECT_EQ(p.TotalFrames(), kBusyFrames);
    p.Tick();
    p.Tick();
    ASSERT_EQ(p.CurrentFrame(), 2);
    const std::vector<DrawCall> expected = {
        {SquareBounds(100), Matrix::Translate(10, 10), {}},     // depth 1, moved in frame 1
        {SquareBounds(300), Matrix::Translate(550, 500), {}},   // sprite at its frame 2
        {SquareBounds(400), Matrix::Translate(500, 500), {}},
        {SquareBounds(300), Matrix::Translate(1000, 0), {}},    // sprite in sprite, frame 0
    };
    EXPECT_EQ(Draw(p), expected);
}

TEST(TimelineTest, SeekForwardEqualsPlayingForEveryFrame) {
    for (int start = 0; start < kBusyFrames; ++start) {
        for (int target = start; target < kBusyFrames; ++target) {
            swf::Player played, sought;
            ASSERT_TRUE(Load(played, BusyMovie()));
            ASSERT_TRUE(Load(sought, BusyMovie()));
            for (int i = 0; i < target; ++i) played.Tick();
            for (int i = 0; i < start; ++i) sought.Tick();
            sought.GotoFrame(target);
            ASSERT_EQ(sought.CurrentFrame(), target);
            EXPECT_EQ(Draw(sought), Draw(played)) << "seek " << start << " -> " << target;
        }
    }
}

TEST(TimelineTest, PlayingPastTheLastFrameLoopsKeepingAndTickingTheSprite) {
    swf::Player p;
    ASSERT_TRUE(Load(p, BusyMovie()));
    for (int i = 0; i < kBusyFrames; ++i) p.Tick();
    EXPECT_EQ(p.CurrentFrame(), 0);
    // The sprite re-created in frame 4 stays (same character at depth 2),
    // gets frame 0's matrix and ticks on from its frame 2 to its frame 0.
    const std::vector<DrawCall> expected = {
        {SquareBounds(100), Matrix(), {}},
        {SquareBounds(300), Matrix::Translate(500, 500), {}},
    };
    EXPECT_EQ(Draw(p), expected);
}

TEST(TimelineTest, BackwardSeekRestartsASpriteThatStaysAtItsDepth) {
    swf::Player p;
    ASSERT_TRUE(Load(p, BusyMovie()));
    for (int i = 0; i < 5; ++i) p.Tick();  // sprite re-created in frame 4, now at its frame 1
    p.GotoFrame(0);
    // Frame 0 has the same sprite at depth 2, shown at its frame 0 as
    // playing shows it, not at the frame the other instance had reached.
    const std::vector<DrawCall> expected = {
        {SquareBounds(100), Matrix(), {}},
        {SquareBounds(300), Matrix::Translate(500, 500), {}},
    };
    EXPECT_EQ(Draw(p), expected);
}

TEST(TimelineTest, BackwardSeekRebuildsRemovedAndReplacedObjects) {
    swf::Player p;
    ASSERT_TRUE(Load(p, BusyMovie()));
    p.GotoFrame(kBusyFrames - 1);
    p.GotoFrame(1);
    // Depth 1 is shape 1 again (it was replaced by shape 2), depth 3 is
    // back, depth 4 and 5 are gone; the sprite is at its frame 1.
    const std::vector<DrawCall> expected = {
        {SquareBounds(100), Matrix::Translate(10, 10), {}},
        {SquareBounds(300), Matrix::Translate(550, 500), {}},
        {SquareBounds(200), Matrix(), {}},
    };
    EXPECT_EQ(Draw(p), expected);
}

TEST(TimelineTest, GotoFrameClampsAndKeepsPlayState) {
    swf::Player p;
    ASSERT_TRUE(Load(p, BusyMovie()));
    p.Stop();
    p.GotoFrame(99);
    EXPECT_EQ(p.CurrentFrame(), kBusyFrames - 1);
    EXPECT_FALSE(p.IsPlaying());
    p.GotoFrame(-5);
    EXPECT_EQ(p.CurrentFrame(), 0);
    p.Tick();  // stopped: the root stays
    EXPECT_EQ(p.CurrentFrame(), 0);
}

TEST(TimelineTest, AdvanceRunsFramesByTheClockAtMostFourPerCall) {
    swf::Player p;
    ASSERT_TRUE(Load(p, BusyMovie()));  // 12 fps: one frame per 83.3 ms
    EXPECT_EQ(p.FrameRate(), 12.0);
    EXPECT_EQ(p.Advance(80), 0);
    EXPECT_EQ(p.Advance(10), 1);
    EXPECT_EQ(p.CurrentFrame(), 1);
    EXPECT_EQ(p.Advance(10000), 4);
    EXPECT_EQ(p.CurrentFrame(), 5);
}

TEST(TimelineTest, ZeroFrameRatePlaysAtTwelveFps) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.SetFrameRateFixed(0);
    w.Tags().ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_EQ(p.FrameRate(), 12.0);
}

TEST(TimelineTest, MasksAreNotDrawnAndMaskedObjectsDrawPlain) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Square(100));
    t.DefineShape(2, Square(200));
    swfmake::Placement mask = swfmake::NewPlacement(1, 1);
    mask.clipDepth = 5;
    t.PlaceObject2(mask);
    t.PlaceObject2(swfmake::NewPlacement(2, 2));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    std::vector<DrawCall> calls = Draw(p);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].shape, SquareBounds(200));
}

TEST(TimelineTest, SpritePlacingItselfStopsAtTheNestingLimit) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Square(100));
    swfmake::TagList self;
    self.PlaceObject2(swfmake::NewPlacement(1, 1));
    self.PlaceObject2(swfmake::NewPlacement(2, 5, Matrix::Translate(1, 0)));
    self.ShowFrame();
    self.ShowFrame();
    t.DefineSprite(5, self);
    t.PlaceObject2(swfmake::NewPlacement(1, 5));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    for (int i = 0; i < 3; ++i) p.Tick();
    std::vector<DrawCall> calls = Draw(p);
    EXPECT_GT(calls.size(), 10u);
    EXPECT_LT(calls.size(), 100u);
}

TEST(TimelineTest, BackgroundFollowsTheCurrentFrame) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor({1, 2, 3, 255});
    t.ShowFrame();
    t.ShowFrame();
    t.SetBackgroundColor({9, 8, 7, 255});
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_EQ(p.Background(), (swf::Rgba{1, 2, 3, 255}));
    p.GotoFrame(2);
    EXPECT_EQ(p.Background(), (swf::Rgba{9, 8, 7, 255}));
    p.GotoFrame(1);
    EXPECT_EQ(p.Background(), (swf::Rgba{1, 2, 3, 255}));
}

}  // namespace
