// The fill rule of DefineShape4 and the four qualities, through the player,
// pixel for pixel over an opaque white stage (premultiplied 0xAARRGGBB).
#include <set>
#include <vector>

#include "EngineTestUtil.h"
#include "swf/model/FrameBuffer.h"

namespace {

using namespace enginetest;

constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000;

swf::FrameBuffer RenderMovie(const swfmake::SwfWriter& w, swf::Quality quality) {
    swf::Player p;
    EXPECT_TRUE(Load(p, w));
    p.SetQuality(quality);
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    swf::FrameBuffer fb(kStage.Width() / swf::kTwipsPerPixel, kStage.Height() / swf::kTwipsPerPixel);
    p.Render(fb);
    return fb;
}

swfmake::SwfWriter OneShape(const swf::Shape& shape, int version, bool nonZero = false) {
    swfmake::SwfWriter w(10, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    swfmake::ShapeOptions options;
    options.fillWindingNonZero = nonZero;
    t.DefineShape(1, shape, version, options);
    t.PlaceObject2(swfmake::NewPlacement(1, 1));
    t.ShowFrame();
    return w;
}

TEST(FillRuleTest, EvenOddEmptiesWhereOneFillOverlapsItselfNonZeroFillsIt) {
    // One fill, two overlapping squares drawn the same way round: the
    // overlap (pixels 10..19) has winding 2.
    swfmake::ShapeBuilder b;
    const uint16_t red = b.AddSolidFill({255, 0, 0, 255});
    b.FillRect({0, 400, 0, 400}, red).FillRect({200, 600, 0, 400}, red);
    const swf::Shape shape = b.Build();
    struct Case {
        int version;
        bool nonZeroFlag;
        uint32_t overlap;
    };
    const Case cases[] = {
        {4, false, kWhite},  // DefineShape4 without its winding flag: even-odd
        {4, true, kRed},
        {3, false, kRed},  // earlier shapes: nonzero
    };
    for (const Case& c : cases) {
        const swf::FrameBuffer fb = RenderMovie(OneShape(shape, c.version, c.nonZeroFlag), swf::Quality::High);
        EXPECT_EQ(fb.At(5, 5), kRed) << c.version << c.nonZeroFlag;
        EXPECT_EQ(fb.At(15, 5), c.overlap) << c.version << c.nonZeroFlag;
        EXPECT_EQ(fb.At(25, 5), kRed) << c.version << c.nonZeroFlag;
    }
}

// A square from 10.25 to 30.75 pixels: a quarter pixel off each grid line.
swf::Shape OffGridSquare() {
    swfmake::ShapeBuilder b;
    b.FillRect({205, 615, 205, 615}, b.AddSolidFill({255, 0, 0, 255}));
    return b.Build();
}

TEST(QualityTest, EdgePixelsFollowTheQuality) {
    struct Case {
        swf::Quality quality;
        uint32_t left, right;  // pixels 10 and 30 on row 20 (both 3/4 covered)
    };
    // 3/4 coverage: exact alpha 191, red 255 and the rest 255 * 64 / 255.
    const Case cases[] = {
        {swf::Quality::Low, kRed, kRed},  // both centres are inside
        {swf::Quality::Medium, 0xFFFF4040, 0xFFFF4040},
        {swf::Quality::High, 0xFFFF4040, 0xFFFF4040},
        {swf::Quality::Best, 0xFFFF4040, 0xFFFF4040},
    };
    for (const Case& c : cases) {
        const swf::FrameBuffer fb = RenderMovie(OneShape(OffGridSquare(), 3), c.quality);
        EXPECT_EQ(fb.At(10, 20), c.left) << int(c.quality);
        EXPECT_EQ(fb.At(30, 20), c.right) << int(c.quality);
        EXPECT_EQ(fb.At(9, 20), kWhite) << int(c.quality);
        EXPECT_EQ(fb.At(31, 20), kWhite) << int(c.quality);
        EXPECT_EQ(fb.At(20, 20), kRed) << int(c.quality);
    }
}

TEST(QualityTest, LowHasHardEdgesMediumQuarterLevelsHighEveryLevel) {
    swfmake::ShapeBuilder b;
    b.FillEllipse(1000, 1000, 730, 530, b.AddSolidFill({255, 0, 0, 255}));
    const swfmake::SwfWriter movie = OneShape(b.Build(), 3);
    auto greens = [&](swf::Quality q) {  // red over white: green is 255 - alpha
        std::set<int> out;
        const swf::FrameBuffer fb = RenderMovie(movie, q);
        for (int y = 0; y < fb.Height(); ++y)
            for (int x = 0; x < fb.Width(); ++x) out.insert(int((fb.At(x, y) >> 8) & 0xFF));
        return out;
    };
    EXPECT_EQ(greens(swf::Quality::Low), (std::set<int>{0, 255}));
    EXPECT_EQ(greens(swf::Quality::Medium), (std::set<int>{0, 64, 127, 191, 255}));
    EXPECT_GT(greens(swf::Quality::High).size(), 20u);
}

TEST(QualityTest, HighByDefaultAndKeptAcrossLoads) {
    swf::Player p;
    EXPECT_EQ(p.GetQuality(), swf::Quality::High);
    p.SetQuality(swf::Quality::Low);
    ASSERT_TRUE(Load(p, OneShape(OffGridSquare(), 3)));
    EXPECT_EQ(p.GetQuality(), swf::Quality::Low);
}

// The inked pixels of `row` (or of a column when `column` is set) at low quality.
std::vector<int> Inked(const swf::FrameBuffer& fb, int line, bool column) {
    std::vector<int> out;
    const int n = column ? fb.Height() : fb.Width();
    for (int i = 0; i < n; ++i)
        if ((column ? fb.At(line, i) : fb.At(i, line)) != kWhite) out.push_back(i);
    return out;
}

TEST(QualityTest, LowThinLinesWithoutHintingFillThePixelBeforeAWholePixelEdge) {
    // An outline 10..30 and an open line 10..30 at y 40, on pixel edges:
    // sampled at centres each is one pixel band, before the edge it lies
    // on, and no cap reaches past an open line's ends.
    for (uint16_t width : {0, 20}) {
        SCOPED_TRACE(width);
        swfmake::ShapeBuilder b;
        b.SetLine(b.AddSolidLine(width, {255, 0, 0, 255})).Rectangle({200, 600, 200, 600});
        b.MoveTo(200, 800).LineTo(600, 800);
        const swf::FrameBuffer fb = RenderMovie(OneShape(b.Build(), 3), swf::Quality::Low);
        EXPECT_EQ(Inked(fb, 20, false), (std::vector<int>{9, 29}));
        EXPECT_EQ(Inked(fb, 20, true), (std::vector<int>{9, 29, 39}));
        std::vector<int> open;
        for (int x = 10; x < 30; ++x) open.push_back(x);
        EXPECT_EQ(Inked(fb, 39, false), open);
        EXPECT_TRUE(Inked(fb, 40, false).empty());
    }
}

}  // namespace
