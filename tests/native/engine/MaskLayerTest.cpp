// Masks and layers drawn by the raster backend, pixel for pixel: a mask's
// edge coverage (its fills only), nested and crossing masks, a sprite as a
// mask (with masks of its own), the hit test of a masked button, and a
// layer's alpha applied to its content as one picture.
//
// Colours are premultiplied 0xAARRGGBB over an opaque white stage. Half a
// pixel of red over white: coverage 128 gives red 255, green and blue
// 255 * 127 / 255 = 127, so 0xFFFF7F7F.
#include "EngineTestUtil.h"
#include "swf/model/FrameBuffer.h"

namespace {

using namespace enginetest;
using swf::Matrix;

constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
constexpr uint32_t kHalfRed = 0xFFFF7F7F;
constexpr swf::Rgba kRedRgba{255, 0, 0, 255}, kBlueRgba{0, 0, 255, 255};

// A rectangle in pixels (edges may be fractional: twips / 20).
swf::Shape Box(int32_t x0Twips, int32_t x1Twips, int32_t y0Twips, int32_t y1Twips, swf::Rgba c = kRedRgba) {
    swfmake::ShapeBuilder b;
    b.FillRect({x0Twips, x1Twips, y0Twips, y1Twips}, b.AddSolidFill(c));
    return b.Build();
}

constexpr int32_t Px(int32_t px) { return px * swf::kTwipsPerPixel; }

swfmake::SwfWriter NewMovie() {
    swfmake::SwfWriter w(10, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    return w;
}

swfmake::Placement Mask(uint16_t depth, uint16_t id, uint16_t clipDepth) {
    swfmake::Placement p = swfmake::NewPlacement(depth, id);
    p.clipDepth = clipDepth;
    return p;
}

swf::FrameBuffer Render(swf::Player& p) {
    swf::FrameBuffer fb(kStage.Width() / swf::kTwipsPerPixel, kStage.Height() / swf::kTwipsPerPixel);
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    p.Render(fb);
    return fb;
}

// Pixels of row `y` at the given columns.
std::vector<uint32_t> RowAt(const swf::FrameBuffer& fb, int y, std::initializer_list<int> xs) {
    std::vector<uint32_t> out;
    for (int x : xs) out.push_back(fb.At(x, y));
    return out;
}

TEST(MaskTest, MaskedContentShowsOnlyInsideTheMaskWithItsEdgeCoverage) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Box(Px(10) + 10, Px(30), 0, Px(20)));  // left edge half way through pixel 10
    t.DefineShape(2, Box(0, Px(50), 0, Px(40)));
    t.DefineShape(3, Box(0, Px(50), Px(30), Px(40), kBlueRgba));
    t.PlaceObject2(Mask(1, 1, 2));
    t.PlaceObject2(swfmake::NewPlacement(2, 2));
    t.PlaceObject2(swfmake::NewPlacement(3, 3));  // above the clip depth: unmasked
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    const swf::FrameBuffer fb = Render(p);
    EXPECT_EQ(RowAt(fb, 5, {9, 10, 11, 29, 30, 45}),
              (std::vector<uint32_t>{kWhite, kHalfRed, kRed, kRed, kWhite, kWhite}));
    EXPECT_EQ(fb.At(20, 25), kWhite);  // content below the mask's rows
    EXPECT_EQ(RowAt(fb, 35, {0, 20, 45}), (std::vector<uint32_t>{kBlue, kBlue, kBlue}));
}

TEST(MaskTest, AMasksOutlineMasksNothing) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    swfmake::ShapeBuilder b;
    b.FillRect({Px(10), Px(30), Px(10), Px(30)}, b.AddSolidFill(kRedRgba), b.AddSolidLine(Px(6), kRedRgba));
    t.DefineShape(1, b.Build());
    t.DefineShape(2, Box(0, Px(50), 0, Px(40)));
    t.PlaceObject2(Mask(1, 1, 2));
    t.PlaceObject2(swfmake::NewPlacement(2, 2));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    const swf::FrameBuffer fb = Render(p);
    // The 6 px line would reach 3 px beyond the fill on each side.
    EXPECT_EQ(RowAt(fb, 20, {8, 9, 10, 29, 30, 31}),
              (std::vector<uint32_t>{kWhite, kWhite, kRed, kRed, kWhite, kWhite}));
    EXPECT_EQ(fb.At(20, 8), kWhite);
}

TEST(MaskTest, NestedMasksShowOnlyWhereBothCover) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Box(0, Px(20), 0, Px(20)));
    t.DefineShape(2, Box(Px(10), Px(30), 0, Px(20)));
    t.DefineShape(3, Box(0, Px(40), 0, Px(20)));
    t.PlaceObject2(Mask(1, 1, 3));
    t.PlaceObject2(Mask(2, 2, 3));
    t.PlaceObject2(swfmake::NewPlacement(3, 3));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_EQ(RowAt(Render(p), 5, {5, 10, 19, 20, 25, 35}),
              (std::vector<uint32_t>{kWhite, kRed, kRed, kWhite, kWhite, kWhite}));
}

// Red over the first 40 pixels of the stage, masked by a sprite holding
// `sprite`'s placements of shapes `one` and `two`.
swf::FrameBuffer UnderSpriteMask(const swf::Shape& one, const swf::Shape& two, swfmake::TagList sprite) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, one);
    t.DefineShape(2, two);
    t.DefineShape(3, Box(0, Px(40), 0, Px(20)));
    sprite.ShowFrame();
    t.DefineSprite(4, sprite);
    t.PlaceObject2(Mask(1, 4, 2));
    t.PlaceObject2(swfmake::NewPlacement(2, 3));
    t.ShowFrame();
    swf::Player p;
    EXPECT_TRUE(Load(p, w));
    return Render(p);
}

TEST(MaskTest, ASpriteMasksWithAllItsShapesAndIsNotDrawn) {
    swfmake::TagList sprite;
    sprite.PlaceObject2(swfmake::NewPlacement(1, 1));
    sprite.PlaceObject2(swfmake::NewPlacement(2, 2));
    const swf::FrameBuffer fb =
        UnderSpriteMask(Box(0, Px(10), 0, Px(20), kBlueRgba), Box(Px(20), Px(30), 0, Px(20), kBlueRgba), sprite);
    EXPECT_EQ(RowAt(fb, 5, {5, 15, 25, 35, 45}), (std::vector<uint32_t>{kRed, kWhite, kRed, kWhite, kWhite}));
}

TEST(MaskTest, CrossingMaskRangesCutByWhatIsStillOpenAtEachDepth) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Box(0, Px(20), 0, Px(20)));
    t.DefineShape(2, Box(Px(10), Px(30), 0, Px(20)));
    t.DefineShape(3, Box(0, Px(40), 0, Px(20)));
    t.DefineShape(4, Box(0, Px(40), Px(10), Px(20), kBlueRgba));
    t.PlaceObject2(Mask(1, 1, 3));  // masks depths 2..3
    t.PlaceObject2(Mask(2, 2, 4));  // masks depths 3..4, past the first
    t.PlaceObject2(swfmake::NewPlacement(3, 3));
    t.PlaceObject2(swfmake::NewPlacement(4, 4));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    const swf::FrameBuffer fb = Render(p);
    EXPECT_EQ(RowAt(fb, 5, {5, 15, 25, 35}), (std::vector<uint32_t>{kWhite, kRed, kWhite, kWhite}));
    // Depth 4 is past the first mask: only the second cuts it.
    EXPECT_EQ(RowAt(fb, 15, {5, 15, 25, 35}), (std::vector<uint32_t>{kWhite, kBlue, kBlue, kWhite}));
}

TEST(MaskTest, ASpriteMaskKeepsTheMasksInsideIt) {
    swfmake::TagList sprite;  // shape 2 cut to shape 1's 15 pixels
    sprite.PlaceObject2(Mask(1, 1, 2));
    sprite.PlaceObject2(swfmake::NewPlacement(2, 2));
    const swf::FrameBuffer fb =
        UnderSpriteMask(Box(0, Px(15), 0, Px(20), kBlueRgba), Box(0, Px(30), 0, Px(20), kBlueRgba), sprite);
    EXPECT_EQ(RowAt(fb, 5, {5, 14, 15, 25, 35}), (std::vector<uint32_t>{kRed, kRed, kWhite, kWhite, kWhite}));
}

TEST(MaskTest, AMaskedButtonIsHitOnlyInsideItsMask) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Box(0, Px(100), 0, Px(20)));
    t.DefineShape(2, Box(0, Px(50), 0, Px(20)));
    t.DefineButton2(10, {{swf::kButtonUp | swf::kButtonHit, 1, 1, {}, {}}}, {});
    swfmake::TagList masked;  // the same button under a mask, inside a sprite
    masked.PlaceObject2(Mask(1, 2, 2));
    masked.PlaceObject2(swfmake::NewPlacement(2, 10));
    masked.ShowFrame();
    t.DefineSprite(11, masked);
    t.PlaceObject2(swfmake::NewPlacement(1, 10));
    t.PlaceObject2(swfmake::NewPlacement(2, 11, Matrix::Translate(0, Px(50))));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    Render(p);
    struct Case {
        int x, y;
        bool over;
    };
    const Case cases[] = {{75, 10, true}, {25, 60, true}, {75, 60, false}, {75, 90, false}};
    for (const Case& c : cases) {
        p.PointerMove(c.x, c.y);
        EXPECT_EQ(p.PointerOverButton(), c.over) << c.x << "," << c.y;
    }
}

// A red and a blue square overlapping, in a sprite placed at half alpha.
swfmake::SwfWriter FadedPair(std::optional<uint8_t> blendMode) {
    swfmake::SwfWriter w = NewMovie();
    swfmake::TagList& t = w.Tags();
    t.DefineShape(1, Box(0, Px(20), 0, Px(20)));
    t.DefineShape(2, Box(Px(10), Px(30), 0, Px(20), kBlueRgba));
    swfmake::TagList pair;
    pair.PlaceObject2(swfmake::NewPlacement(1, 1));
    pair.PlaceObject2(swfmake::NewPlacement(2, 2));
    pair.ShowFrame();
    t.DefineSprite(3, pair);
    swfmake::Placement place = swfmake::NewPlacement(1, 3);
    swf::ColorTransform half;
    half.aMul = 128;
    place.cxform = half;
    place.blendMode = blendMode;
    t.PlaceObject3(place);
    t.ShowFrame();
    return w;
}

TEST(LayerTest, LayerBlendFadesTheSpriteAsOnePicture) {
    swf::Player p;
    ASSERT_TRUE(Load(p, FadedPair(uint8_t(swf::BlendMode::Layer))));
    // Layer alpha 128: red 0xFFFF7F7F; the overlap shows only blue at half,
    // never the red beneath it.
    EXPECT_EQ(RowAt(Render(p), 5, {5, 15, 25, 35}),
              (std::vector<uint32_t>{kHalfRed, 0xFF7F7FFF, 0xFF7F7FFF, kWhite}));

    // Without the layer each square fades on its own (alpha 255 * 128 >> 8
    // = 127): the red shows through the blue.
    swf::Player normal;
    ASSERT_TRUE(Load(normal, FadedPair(std::nullopt)));
    EXPECT_EQ(RowAt(Render(normal), 5, {5, 15}), (std::vector<uint32_t>{0xFFFF8080, 0xFF8040BF}));
}

}  // namespace
