// Host seeks: from any state, any frame shows exactly what playing from the
// start to it shows; a goto of actions still keeps what persists.
#include <sstream>

#include "EngineTestUtil.h"
#include "swf/play/Timeline.h"
#include "swf/read/MovieReader.h"
#include "tools/moviegen/Movies.h"

namespace {

using namespace enginetest;
using swf::Matrix;

constexpr uint16_t kSpin = 20;    // 4 frames: moves, a named dot with a ratio
constexpr uint16_t kHolder = 21;  // 3 frames: kSpin kept across its own loop
constexpr int kRootFrames = 9;

swf::ColorTransform Alpha(int16_t aMul) {
    swf::ColorTransform c;
    c.aMul = aMul;
    return c;
}

swfmake::Placement Full(uint16_t depth, uint16_t id, Matrix m, uint16_t ratio, const char* name) {
    swfmake::Placement p = swfmake::NewPlacement(depth, id, m);
    p.ratio = ratio;
    p.name = name;
    p.cxform = Alpha(200);
    return p;
}

swfmake::Placement Replace(uint16_t depth, uint16_t id) {
    swfmake::Placement p = swfmake::MovePlacement(depth, std::nullopt);
    p.characterId = id;
    return p;
}

swfmake::TagList Spin() {
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 1));
    s.PlaceObject2(swfmake::MovePlacement(2, std::nullopt));  // moves nothing
    s.ShowFrame();
    s.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(20, 0), Alpha(128)));
    s.ShowFrame();
    s.PlaceObject2(Full(3, 3, Matrix::Translate(0, 40), 7, "dot"));
    s.ShowFrame();
    s.RemoveObject2(3);
    s.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(40, 0)));
    s.ShowFrame();
    return s;
}

swfmake::TagList Holder() {
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, kSpin, Matrix::Translate(100, 0)));
    s.ShowFrame();
    s.PlaceObject2(swfmake::NewPlacement(2, 4));
    s.ShowFrame();
    s.PlaceObject2(Replace(2, 5));
    s.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(120, 0)));
    s.ShowFrame();
    return s;
}

// Nine root frames: sprites in sprites, placed, moved, masked, removed,
// replaced and re-created, with names, ratios and colour transforms.
swfmake::SwfWriter SpriteMovie() {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    for (uint16_t id = 1; id <= 5; ++id) t.DefineShape(id, Square(100 * id));
    t.DefineSprite(kSpin, Spin());
    t.DefineSprite(kHolder, Holder());
    t.PlaceObject2(swfmake::NewPlacement(1, kHolder, Matrix::Translate(1000, 0)));
    t.PlaceObject2(Full(2, 1, Matrix::Translate(0, 500), 0, "plain"));
    t.ShowFrame();  // 0
    t.PlaceObject2(Full(3, kSpin, Matrix::Translate(0, 1000), 3, "spin"));
    t.ShowFrame();  // 1
    t.PlaceObject2(swfmake::MovePlacement(3, Matrix::Translate(50, 1000)));
    swfmake::Placement mask = swfmake::NewPlacement(4, 2);
    mask.clipDepth = 6;
    t.PlaceObject2(mask);
    t.ShowFrame();  // 2
    t.RemoveObject2(3);
    t.ShowFrame();  // 3
    t.PlaceObject2(swfmake::NewPlacement(3, kSpin, Matrix::Translate(0, 1200)));
    t.PlaceObject2(Replace(2, kSpin));
    t.ShowFrame();  // 4
    t.ShowFrame();  // 5
    t.PlaceObject2(swfmake::NewPlacement(5, kHolder, Matrix::Translate(2000, 0)));
    t.RemoveObject2(4);
    t.ShowFrame();  // 6
    t.RemoveObject2(1);
    t.ShowFrame();  // 7
    t.PlaceObject2(swfmake::NewPlacement(1, kHolder, Matrix::Translate(1000, 500)));
    t.ShowFrame();  // 8
    return w;
}

// How the player got to the frame a seek starts from.
enum class Via { Seek, Play, Loop, StoppedTicks };
constexpr Via kVias[] = {Via::Seek, Via::Play, Via::Loop, Via::StoppedTicks};

void Reach(swf::Player& p, int from, Via via) {
    switch (via) {
    case Via::Seek: p.GotoFrame(from); break;
    case Via::Play:
        for (int i = 0; i < from; ++i) p.Tick();
        break;
    case Via::Loop:  // past the end: sprites kept at frame 0 tick on
        for (int i = 0; i < p.TotalFrames() + from; ++i) p.Tick();
        break;
    case Via::StoppedTicks:  // the root holds, its sprites play on
        p.GotoFrame(from);
        p.Stop();
        p.Tick();
        p.Tick();
        p.Play();
        break;
    }
}

// played[f]: the draw list after playing from the start to frame f.
std::vector<std::vector<DrawCall>> PlayedDraws(const swfmake::SwfWriter& movie) {
    swf::Player p;
    EXPECT_TRUE(Load(p, movie));
    std::vector<std::vector<DrawCall>> played;
    for (int f = 0; f < p.TotalFrames(); ++f) {
        if (f > 0) p.Tick();
        played.push_back(Draw(p));
    }
    return played;
}

TEST(SeekTest, HostSeekBetweenAnyTwoFramesDrawsWhatPlayingDraws) {
    const swfmake::SwfWriter movie = SpriteMovie();
    const auto played = PlayedDraws(movie);
    ASSERT_EQ(played.size(), static_cast<size_t>(kRootFrames));
    for (Via via : kVias) {
        for (int from = 0; from < kRootFrames; ++from) {
            for (int to = 0; to < kRootFrames; ++to) {
                swf::Player p;
                ASSERT_TRUE(Load(p, movie));
                Reach(p, from, via);
                p.GotoFrame(to);
                ASSERT_EQ(p.CurrentFrame(), to);
                EXPECT_EQ(Draw(p), played[static_cast<size_t>(to)])
                    << "via " << static_cast<int>(via) << ": " << from << " -> " << to;
            }
        }
    }
}

// Everything a clip holds, sprites' frames and play state included.
void DumpList(std::ostream& os, const swf::DisplayList& list, int indent);

void DumpClip(std::ostream& os, const swf::MovieClip& clip, int indent) {
    os << std::string(static_cast<size_t>(indent), ' ') << "frame " << clip.CurrentFrame()
       << (clip.IsPlaying() ? " playing\n" : " stopped\n");
    DumpList(os, clip.List(), indent + 2);
}

void DumpList(std::ostream& os, const swf::DisplayList& list, int indent) {
    for (const auto& [depth, object] : list) {
        const swf::DisplayObject& o = *object;
        const Matrix& m = o.matrix;
        const swf::ColorTransform& c = o.cxform;
        os << std::string(static_cast<size_t>(indent), ' ') << depth << ": #" << o.characterId
           << " m " << m.a << ' ' << m.b << ' ' << m.c << ' ' << m.d << ' ' << m.tx << ' ' << m.ty
           << " cx " << c.rMul << ' ' << c.gMul << ' ' << c.bMul << ' ' << c.aMul << ' ' << c.rAdd
           << ' ' << c.gAdd << ' ' << c.bAdd << ' ' << c.aAdd << " ratio " << o.ratio << " clip "
           << o.clipDepth << " blend " << int(o.blendMode) << " name '" << o.name << "'\n";
        if (const swf::MovieClip* clip = o.AsClip()) DumpClip(os, *clip, indent + 2);
    }
}

std::string Dump(const swf::Timeline& t) {
    std::ostringstream os;
    DumpClip(os, t.Root(), 0);
    return os.str();
}

TEST(SeekTest, HostSeekLeavesEveryObjectAndSpriteFrameAsPlayingDoes) {
    const std::vector<uint8_t> bytes = SpriteMovie().Write(false);
    swf::ReadResult read = swf::ReadMovie(bytes);
    ASSERT_TRUE(read.movie);
    std::vector<std::string> played;
    swf::Timeline player(*read.movie);
    player.Start();
    for (int f = 0; f < kRootFrames; ++f) {
        if (f > 0) player.Tick();
        played.push_back(Dump(player));
    }
    EXPECT_NE(played[1].find("name 'spin'"), std::string::npos);  // the dump sees names
    for (int from = 0; from < 2 * kRootFrames; ++from) {  // the second lap is after a loop
        for (int to = 0; to < kRootFrames; ++to) {
            swf::Timeline t(*read.movie);
            t.Start();
            for (int i = 0; i < from; ++i) t.Tick();
            t.Seek(to);
            EXPECT_EQ(Dump(t), played[static_cast<size_t>(to)]) << from << " -> " << to;
        }
    }
}

// Frame 0 places a 4-frame sprite; frame 2 has `actions`.
swfmake::SwfWriter GotoMovie(const swfmake::Actions& actions) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    for (uint16_t id = 1; id <= 3; ++id) t.DefineShape(id, Square(100 * id));
    t.DefineSprite(kSpin, Spin());
    t.PlaceObject2(swfmake::NewPlacement(1, kSpin));
    t.ShowFrame();
    t.ShowFrame();
    t.DoAction(actions);
    t.ShowFrame();
    t.ShowFrame();
    return w;
}

TEST(SeekTest, ActionGotoKeepsTheSpriteWhereAHostSeekRestartsIt) {
    swfmake::Actions back;
    back.GotoFrame(0).Stop();
    swf::Player p;
    ASSERT_TRUE(Load(p, GotoMovie(back)));
    p.Tick();
    p.Tick();  // frame 2 sends the root back to 0; the sprite stays at its frame 2
    ASSERT_EQ(p.CurrentFrame(), 0);
    const std::vector<DrawCall> kept = {
        {SquareBounds(100), Matrix::Translate(20, 0), Alpha(128)},
        {SquareBounds(300), Matrix::Translate(0, 40), Alpha(200)},
    };
    EXPECT_EQ(Draw(p), kept);

    p.GotoFrame(0);  // the same frame, from a state actions made
    const std::vector<DrawCall> fresh = {{SquareBounds(100), Matrix(), {}}};
    EXPECT_EQ(Draw(p), fresh);
    EXPECT_FALSE(p.IsPlaying());  // a host seek keeps the play state
}

TEST(SeekTest, HostSeekShowsAHoveredButtonAsPlayingDoes) {
    constexpr uint16_t kUp = 1, kOver = 2, kButton = 10;
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(kUp, Square(1000));
    t.DefineShape(kOver, Square(1002));
    t.DefineButton2(kButton,
                    {{swf::kButtonUp, kUp, 1, {}, {}},
                     {swf::kButtonOver, kOver, 1, {}, {}},
                     {swf::kButtonHit, kUp, 2, {}, {}}},
                    {});  // no actions: only the phase changes
    t.PlaceObject2(swfmake::NewPlacement(1, kButton));
    t.ShowFrame();
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    Draw(p);  // sets the view the pointer is seen through
    p.PointerMove(10, 10);
    ASSERT_EQ(Draw(p).at(0).shape, SquareBounds(1002));
    p.GotoFrame(1);  // forward, from a state the pointer changed
    EXPECT_EQ(Draw(p).at(0).shape, SquareBounds(1000));
}

TEST(SeekTest, SampleMovieSeeksToEveryFrameAsPlayed) {
    const swfmake::SwfWriter movie = moviegen::SampleMovie();
    const auto played = PlayedDraws(movie);
    const int frames = static_cast<int>(played.size());
    ASSERT_GT(frames, 1);
    swf::Player p;
    ASSERT_TRUE(Load(p, movie));
    for (int i = 0; i < frames + frames / 3; ++i) p.Tick();  // looped once
    Reach(p, p.CurrentFrame(), Via::StoppedTicks);  // the flower plays on alone
    for (int f = frames - 1; f >= 0; --f) {  // every seek goes back
        p.GotoFrame(f);
        ASSERT_EQ(Draw(p), played[static_cast<size_t>(f)]) << "back to " << f;
    }
    constexpr int kStride = 7;  // forward seeks of varying length
    for (int f = 0; f < frames; f += 1 + f % kStride) {
        p.GotoFrame(f);
        ASSERT_EQ(Draw(p), played[static_cast<size_t>(f)]) << "on to " << f;
    }
}

}  // namespace
