// Frame actions: timeline control, GetURL / FSCommand to the host, and the
// limits that keep hostile action lists from hanging the player.
#include "EngineTestUtil.h"

namespace {

using namespace enginetest;

struct HostLog {
    std::vector<std::pair<std::string, std::string>> fs, urls;
    void Attach(swf::Player& p) {
        p.SetFsCommandHandler([this](const std::string& c, const std::string& a) { fs.emplace_back(c, a); });
        p.SetGetUrlHandler([this](const std::string& u, const std::string& t) { urls.emplace_back(u, t); });
    }
};

// `frames` empty frames, with `actions[i]` in frame i when given.
swfmake::SwfWriter WithActions(int frames, const std::vector<std::pair<int, swfmake::Actions>>& actions) {
    swfmake::SwfWriter w(6, kStage, 12);
    for (int f = 0; f < frames; ++f) {
        for (const auto& [frame, a] : actions)
            if (frame == f) w.Tags().DoAction(a);
        w.Tags().ShowFrame();
    }
    return w;
}

TEST(ActionsTest, StopInAFrameStopsThePlayhead) {
    swfmake::Actions stop;
    stop.Stop();
    swf::Player p;
    ASSERT_TRUE(Load(p, WithActions(5, {{2, stop}})));
    for (int i = 0; i < 6; ++i) p.Tick();
    EXPECT_EQ(p.CurrentFrame(), 2);
    EXPECT_FALSE(p.IsPlaying());
    p.Play();
    p.Tick();
    EXPECT_EQ(p.CurrentFrame(), 3);
}

TEST(ActionsTest, StopInFrameZeroRunsAtLoad) {
    swfmake::Actions stop;
    stop.Stop();
    swf::Player p;
    ASSERT_TRUE(Load(p, WithActions(3, {{0, stop}})));
    EXPECT_FALSE(p.IsPlaying());
    p.Tick();
    EXPECT_EQ(p.CurrentFrame(), 0);
}

TEST(ActionsTest, GotoFrameLabelNextAndPrevMoveAndStop) {
    swfmake::SwfWriter w(6, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.ShowFrame();  // 0
    t.DoAction(swfmake::Actions().GotoFrame(4));
    t.ShowFrame();  // 1
    t.DoAction(swfmake::Actions().NextFrame());
    t.ShowFrame();  // 2
    t.FrameLabel("here");
    t.ShowFrame();  // 3
    t.DoAction(swfmake::Actions().GotoLabel("here"));
    t.ShowFrame();  // 4
    t.DoAction(swfmake::Actions().PrevFrame());
    t.ShowFrame();  // 5
    t.DoAction(swfmake::Actions().GotoLabel("nowhere"));
    t.ShowFrame();  // 6
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    p.Tick();  // 1: goto 4, whose actions run on entry: label "here" is 3
    EXPECT_EQ(p.CurrentFrame(), 3);
    EXPECT_FALSE(p.IsPlaying());

    p.GotoFrame(1);
    p.Play();
    p.Tick();  // 2: next frame, and stop
    EXPECT_EQ(p.CurrentFrame(), 3);
    EXPECT_FALSE(p.IsPlaying());

    p.GotoFrame(4);
    p.Play();
    p.Tick();  // 5: previous frame is 4, whose label goto leads to 3
    EXPECT_EQ(p.CurrentFrame(), 3);

    p.GotoFrame(5);
    p.Play();
    p.Tick();  // 6: an unknown label changes nothing
    EXPECT_EQ(p.CurrentFrame(), 6);
    EXPECT_TRUE(p.IsPlaying());
}

TEST(ActionsTest, HostSeekRunsNoFrameActions) {
    HostLog log;
    swfmake::Actions fs;
    fs.FsCommand("seen", "x").Stop();
    swf::Player p;
    log.Attach(p);
    ASSERT_TRUE(Load(p, WithActions(4, {{2, fs}})));
    p.GotoFrame(2);
    EXPECT_TRUE(log.fs.empty());
    EXPECT_TRUE(p.IsPlaying());
    p.GotoFrame(1);
    p.Tick();
    ASSERT_EQ(log.fs.size(), 1u);
    EXPECT_FALSE(p.IsPlaying());
}

TEST(ActionsTest, FsCommandReachesTheHostFromGetUrlAndGetUrl2) {
    HostLog log;
    swfmake::Actions a;
    a.FsCommand("action", "open");
    a.PushString("FSCommand:action").PushString("capture").GetUrl2(0);
    a.GetUrl("http://example.invalid/", "_blank");
    a.Raw({0x96, 0x0B, 0x00, 0x00, 'f', 's', 'c', 'o', 'm', 'm', 'a', 'n', 'd', 0x00});  // Push "fscommand"
    a.Raw({0x17});  // Pop
    swf::Player p;
    log.Attach(p);
    ASSERT_TRUE(Load(p, WithActions(2, {{1, a}})));
    p.Tick();
    const std::vector<std::pair<std::string, std::string>> fs = {{"action", "open"}, {"action", "capture"}};
    EXPECT_EQ(log.fs, fs);
    ASSERT_EQ(log.urls.size(), 1u);
    EXPECT_EQ(log.urls[0].first, "http://example.invalid/");
    EXPECT_EQ(log.urls[0].second, "_blank");
}

TEST(ActionsTest, ConstantPoolStringsFeedGetUrl2) {
    HostLog log;
    // ConstantPool {"FSCommand:print", "now"}; Push c8:0, c8:1; GetURL2.
    std::vector<uint8_t> pool = {0x88, 0x16, 0x00, 0x02, 0x00};
    for (char c : std::string("FSCommand:print")) pool.push_back(static_cast<uint8_t>(c));
    pool.push_back(0);
    for (char c : std::string("now")) pool.push_back(static_cast<uint8_t>(c));
    pool.push_back(0);
    swfmake::Actions a;
    a.Raw(pool).Raw({0x96, 0x04, 0x00, 0x08, 0x00, 0x08, 0x01}).GetUrl2(0);
    swf::Player p;
    log.Attach(p);
    ASSERT_TRUE(Load(p, WithActions(1, {{0, a}})));
    ASSERT_EQ(log.fs.size(), 1u);
    EXPECT_EQ(log.fs[0], (std::pair<std::string, std::string>("print", "now")));
}

TEST(ActionsTest, UnknownActionsAreSkippedByTheirLength) {
    HostLog log;
    swfmake::Actions a;
    a.Raw({0x0A, 0x0B});                    // Add, Subtract: no payload
    a.Raw({0xF0, 0x03, 0x00, 0x07, 0x07, 0x07});  // unknown, 3 bytes that look like Stop
    a.FsCommand("after", "");
    swf::Player p;
    log.Attach(p);
    ASSERT_TRUE(Load(p, WithActions(2, {{0, a}})));
    EXPECT_TRUE(p.IsPlaying());
    ASSERT_EQ(log.fs.size(), 1u);
    EXPECT_EQ(log.fs[0].first, "after");
}

TEST(ActionsTest, FramesThatGotoEachOtherDoNotHang) {
    swfmake::Actions to0, to1;
    to0.GotoFrame(0).Play();
    to1.GotoFrame(1).Play();
    swf::Player p;
    ASSERT_TRUE(Load(p, WithActions(2, {{0, to1}, {1, to0}})));
    p.Tick();
    EXPECT_GE(p.CurrentFrame(), 0);
}

TEST(ActionsTest, HandlerMayCallBackIntoThePlayer) {
    swfmake::Actions a;
    a.FsCommand("stopme", "");
    swf::Player p;
    p.SetFsCommandHandler([&p](const std::string&, const std::string&) {
        p.GotoFrame(3);
        p.Stop();
    });
    ASSERT_TRUE(Load(p, WithActions(5, {{1, a}})));
    p.Tick();
    EXPECT_EQ(p.CurrentFrame(), 3);
    EXPECT_FALSE(p.IsPlaying());
}

TEST(ActionsTest, SpriteFrameActionsTargetTheSprite) {
    swfmake::SwfWriter w(6, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Square(100));
    t.DefineShape(2, Square(200));
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 1));
    s.ShowFrame();
    s.RemoveObject2(1);
    s.PlaceObject2(swfmake::NewPlacement(1, 2));
    s.DoAction(swfmake::Actions().Stop());
    s.ShowFrame();
    s.ShowFrame();
    t.DefineSprite(3, s);
    t.PlaceObject2(swfmake::NewPlacement(1, 3));
    t.ShowFrame();
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    for (int i = 0; i < 4; ++i) p.Tick();
    EXPECT_TRUE(p.IsPlaying());  // the root plays on
    std::vector<DrawCall> calls = Draw(p);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].shape, SquareBounds(200));  // the sprite stopped at its frame 1
}

}  // namespace
