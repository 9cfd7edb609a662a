// Damaged movies: truncated at every byte, lengths and counts corrupted,
// hostile headers. The player must report errors, keep what it could read
// and never touch memory outside its buffers (this binary also runs under
// ASan and UBSan).
#include <zlib.h>

#include "EngineTestUtil.h"
#include "swf/model/FrameBuffer.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

using namespace enginetest;
using swf::Matrix;

// One of everything the reader knows, so damage lands in every reader.
swfmake::SwfWriter EverythingMovie() {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor({10, 20, 30, 255});
    swfmake::ShapeBuilder b;
    uint16_t grad = b.AddFill(swfmake::GradientFill(swf::FillKind::FocalRadialGradient,
                                                    swfmake::GradientBox({0, 800, 0, 800}),
                                                    {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}}));
    uint16_t line = b.AddSolidLine(40, {0, 0, 0, 255});
    b.FillEllipse(400, 400, 400, 300, grad, line);
    t.DefineShape(1, b.Build(), 4);
    t.DefineShape(2, Square(300), 1);
    t.DefineShape(3, Square(200), 2);
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 2));
    s.DoAction(swfmake::Actions().Play());
    s.ShowFrame();
    s.RemoveObject2(1);
    s.ShowFrame();
    t.DefineSprite(4, s);
    t.DefineButton(5, {{swf::kButtonUp | swf::kButtonHit, 3, 1, {}, {}}},
                   swfmake::Actions().FsCommand("a", "b"));
    swfmake::ButtonCondAction press;
    press.conditions = swf::kCondOverUpToOverDown;
    press.actions.Stop();
    t.DefineButton2(6, {{swf::kButtonUp | swf::kButtonOver | swf::kButtonHit, 2, 1, {}, {}}},
                    {press, {}});
    t.PlaceObject(1, 1, Matrix::Translate(100, 100));
    swfmake::Placement p = swfmake::NewPlacement(2, 4, Matrix::Translate(5, 5));
    p.name = "clip";
    p.ratio = 3;
    t.PlaceObject2(p);
    swfmake::Placement p3 = swfmake::NewPlacement(3, 5);
    p3.blendMode = 2;
    p3.cacheAsBitmap = true;
    swf::Filter bevel;
    bevel.kind = swf::FilterKind::GradientBevel;
    bevel.stops = {{0, {255, 255, 255, 255}}, {255, {0, 0, 0, 255}}};
    swf::Filter convolution;
    convolution.kind = swf::FilterKind::Convolution;
    convolution.matrixX = convolution.matrixY = 1;
    convolution.weights = {swf::kFixedOne};
    p3.filters = swf::FilterList{swfmake::DropShadowFilter({0, 0, 0, 255}, 4, 4, 45), bevel, convolution};
    t.PlaceObject3(p3);
    t.DefineScalingGrid(4, {10, 200, 10, 200});
    t.PlaceObject2(swfmake::NewPlacement(4, 6, Matrix::Translate(1000, 1000)));
    t.FrameLabel("one");
    t.DoAction(swfmake::Actions().PushString("FSCommand:x").PushString("y").GetUrl2(0));
    t.ShowFrame();
    t.RemoveObject(1, 1);
    t.Raw(200, {1, 2, 3});  // unknown tag
    t.ShowFrame();
    return w;
}

// Loads, plays, renders and clicks around: everything a host does.
void Exercise(const std::vector<uint8_t>& bytes) {
    swf::Player p;
    p.SetFsCommandHandler([](const std::string&, const std::string&) {});
    if (!p.LoadBytes(bytes)) return;
    swf::FrameBuffer fb(16, 12);
    RecordingBackend rec;
    for (int i = 0; i < 3; ++i) {
        p.Tick();
        p.RenderTo(rec, 32, 24);
        p.PointerMove(3, 3);
        p.PointerDown(3, 3);
        p.PointerUp(3, 3);
    }
    p.GotoFrame(1);
    p.GotoFrame(0);
    p.Render(fb);
}

TEST(MalformedTest, TruncatedAtEveryByteReportsAnErrorAndStaysInBounds) {
    for (bool compressed : {false, true}) {
        const std::vector<uint8_t> full = EverythingMovie().Write(compressed);
        for (size_t n = 0; n < full.size(); ++n) {
            std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<ptrdiff_t>(n));
            swf::Player p;
            bool ok = p.LoadBytes(cut);
            EXPECT_FALSE(p.Errors().empty()) << "cut at " << n << (compressed ? " (CWS)" : " (FWS)");
            EXPECT_EQ(ok, p.HasMovie());
            Exercise(cut);
        }
        swf::Player whole;
        EXPECT_TRUE(whole.LoadBytes(full));
        EXPECT_TRUE(whole.Errors().empty());
    }
}

TEST(MalformedTest, EveryByteOverwrittenStaysInBounds) {
    const std::vector<uint8_t> full = EverythingMovie().Write(false);
    for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x3F), uint8_t(0x80)}) {
        for (size_t i = 8; i < full.size(); ++i) {
            std::vector<uint8_t> bad = full;
            bad[i] = value;
            Exercise(bad);
        }
    }
}

TEST(MalformedTest, TagLengthPastTheEndIsReportedWithTagAndOffset) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().ShowFrame();
    w.Tags().RawBytes({0xBF, 0x00, 0xFF, 0xFF, 0xFF, 0x7F});  // DefineShape, long length
    std::vector<uint8_t> bytes = w.Write(false);
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(bytes));
    ASSERT_FALSE(p.Errors().empty());
    EXPECT_NE(p.Errors()[0].find("tag 2 (DefineShape) at offset"), std::string::npos) << p.Errors()[0];
    EXPECT_EQ(p.TotalFrames(), 1);
    EXPECT_EQ(Draw(p).size(), 0u);
}

TEST(MalformedTest, FillStyleCountBeyondTheTagIsReported) {
    swfmake::SwfWriter w(8, kStage, 12);
    // id 1, RECT of 0 bits, 0xFF + 0xFFFF fill styles, nothing else.
    w.Tags().Raw(swf::kTagDefineShape3, {1, 0, 0x00, 0xFF, 0xFF, 0xFF});
    w.Tags().ShowFrame();
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    ASSERT_EQ(p.Errors().size(), 1u);
    EXPECT_NE(p.Errors()[0].find("fill style count exceeds tag"), std::string::npos) << p.Errors()[0];
}

TEST(MalformedTest, CompressedMovieClaimingFourGigabytesInflatesOnlyItsData) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    w.Tags().ShowFrame();
    w.SetFileLength(0xFFFFFFFFu);
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(w.Write(true)));
    EXPECT_FALSE(p.Errors().empty());
    EXPECT_EQ(Draw(p).size(), 1u);  // what was there still plays
}

TEST(MalformedTest, ZlibBombStopsAtTheSizeLimit) {
    // 100 MiB of zeros behind a CWS header: one fully flushed deflate block
    // of 1 MiB, repeated (it refers to nothing before it). The reader stops
    // at 64 MiB.
    const size_t kRepeats = 100;
    std::vector<uint8_t> zeros(1 << 20, 0), out(1 << 16), head, block;
    z_stream zs{};
    ASSERT_EQ(deflateInit(&zs, 9), Z_OK);
    for (std::vector<uint8_t>* dst : {&head, &block}) {
        zs.next_in = zeros.data();
        zs.avail_in = static_cast<uInt>(zeros.size());
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            deflate(&zs, Z_FULL_FLUSH);
            dst->insert(dst->end(), out.data(), out.data() + (out.size() - zs.avail_out));
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    std::vector<uint8_t> packed = head;
    for (size_t i = 1; i < kRepeats; ++i) packed.insert(packed.end(), block.begin(), block.end());
    std::vector<uint8_t> bytes = {'C', 'W', 'S', 8, 0xFF, 0xFF, 0xFF, 0xFF};
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    swf::ReadResult r = swf::ReadMovie(bytes);
    ASSERT_TRUE(r.movie);  // zeros read as an empty header and an End tag
    ASSERT_FALSE(r.errors.empty());
    EXPECT_NE(r.errors[0].find("64 MiB"), std::string::npos);
}

// Found by the every-byte truncation: all the movie's bytes inflated, the
// zlib checksum cut off, and the load reported no error.
TEST(MalformedTest, CompressedMovieCutInsideItsChecksumIsReported) {
    std::vector<uint8_t> bytes = swfmake::SwfWriter(8, kStage, 12).Write(true);
    bytes.resize(bytes.size() - 2);
    swf::Player p;
    EXPECT_TRUE(p.LoadBytes(bytes));
    ASSERT_EQ(p.Errors().size(), 1u);
    EXPECT_EQ(p.Errors()[0], "compressed data ends early");
}

TEST(MalformedTest, SeekingFarAcrossAHeavySpriteStaysWithinItsWorkBudget) {
    // A sprite of 2,000 shapes that loops every frame, under a root of
    // 16,000 frames: a seek to the end would tick it 16,000 times.
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Square(100));
    swfmake::TagList s;
    for (uint16_t d = 1; d <= 2000; ++d) s.PlaceObject2(swfmake::NewPlacement(d, 1));
    s.ShowFrame();
    s.ShowFrame();
    t.DefineSprite(2, s);
    t.PlaceObject2(swfmake::NewPlacement(1, 2));
    t.ShowFrame();
    w.SetFrameCount(16000);
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    p.GotoFrame(15999);
    EXPECT_EQ(p.CurrentFrame(), 15999);
    EXPECT_EQ(Draw(p).size(), 2000u);
}

TEST(MalformedTest, NotAMovieIsRefused) {
    swf::Player p;
    EXPECT_FALSE(p.LoadBytes({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}));
    EXPECT_FALSE(p.HasMovie());
    EXPECT_FALSE(p.Errors().empty());
    EXPECT_FALSE(p.LoadBytes({}));
    EXPECT_FALSE(p.LoadFile("/nonexistent/movie.swf"));
    EXPECT_EQ(p.TotalFrames(), 0);
    RecordingBackend b;
    p.RenderTo(b, 10, 10);
    EXPECT_EQ(b.frames, 1);
}

TEST(MalformedTest, HugeFrameCountsAreCapped) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList s;
    s.ShowFrame();
    for (uint16_t id = 1; id <= 200; ++id) {
        // Sprites claiming 65535 frames each: padding stays within budget.
        std::vector<uint8_t> body = {static_cast<uint8_t>(id), 0, 0xFF, 0xFF, 0x40, 0x00, 0, 0};
        w.Tags().Raw(swf::kTagDefineSprite, body);
    }
    w.SetFrameCount(65535);
    w.Tags().ShowFrame();
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    EXPECT_LE(p.TotalFrames(), 16000);
    p.GotoFrame(15999);
    p.GotoFrame(0);
}

}  // namespace
