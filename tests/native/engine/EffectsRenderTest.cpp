// Effects drawn through the player: filters, blend modes, alpha and erase
// in a layer, bitmap caching and its invalidation, scroll rects and 9-slice
// scaling. Movies are written with swfmake; pixels are checked exactly.
#include "EngineTestUtil.h"
#include "swf/display/EffectRender.h"
#include "swf/display/ShapeObject.h"
#include "swf/render/RasterBackend.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

using namespace enginetest;
using swf::FrameBuffer;
using swf::Matrix;

constexpr int32_t kTw = swf::kTwipsPerPixel;
constexpr uint32_t kWhite = 0xFFFFFFFFu, kRedPx = 0xFFC80000u, kBlackPx = 0xFF000000u;

swf::Shape Rect(const swf::Rect& r, swf::Rgba color) {
    swfmake::ShapeBuilder b;
    b.FillRect(r, b.AddSolidFill(color));
    return b.Build();
}

FrameBuffer RenderAt(swf::Player& p, int w, int h) {
    FrameBuffer fb(w, h);
    p.SetScaleMode(swf::kExactFit);
    p.Render(fb);
    return fb;
}

// A 10-pixel red square at (20, 20) placed by PlaceObject3 with `p`'s extras.
swfmake::SwfWriter OneSquare(const swfmake::Placement& extras) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, Square(10 * kTw));
    swfmake::Placement p = extras;
    p.depth = 1;
    p.characterId = 1;
    p.matrix = Matrix::Translate(20 * kTw, 20 * kTw);
    w.Tags().PlaceObject3(p);
    w.Tags().ShowFrame();
    return w;
}

TEST(EffectsRenderTest, DropShadowFollowsTheViewScale) {
    swfmake::Placement p;
    p.filters = swf::FilterList{swfmake::DropShadowFilter({0, 0, 0, 255}, 0, 4, 0)};
    swf::Player player;
    ASSERT_TRUE(Load(player, OneSquare(p)));
    struct Case { int scale; int red, shadow, past; } cases[] = {{1, 25, 32, 35}, {2, 50, 64, 69}};
    for (const Case& c : cases) {
        FrameBuffer fb = RenderAt(player, 200 * c.scale, 150 * c.scale);
        const int y = 25 * c.scale;
        EXPECT_EQ(kRedPx, fb.At(c.red, y)) << c.scale;
        EXPECT_EQ(kBlackPx, fb.At(c.shadow, y)) << c.scale;
        EXPECT_EQ(kWhite, fb.At(c.past, y)) << c.scale;
    }
}

TEST(EffectsRenderTest, ColourTransformAppliesAfterTheFilters) {
    // A black shadow under a red offset of 255 is red; beyond it, nothing.
    swfmake::Placement p;
    p.filters = swf::FilterList{swfmake::DropShadowFilter({0, 0, 0, 255}, 0, 4, 0)};
    swf::ColorTransform red;
    red.rAdd = 255;
    p.cxform = red;
    swf::Player player;
    ASSERT_TRUE(Load(player, OneSquare(p)));
    FrameBuffer fb = RenderAt(player, 200, 150);
    EXPECT_EQ(0xFFFF0000u, fb.At(25, 25));
    EXPECT_EQ(0xFFFF0000u, fb.At(32, 25));
    EXPECT_EQ(kWhite, fb.At(35, 25));
}

TEST(EffectsRenderTest, MultiplyBlendsWithTheBackground) {
    swfmake::Placement p;
    p.blendMode = static_cast<uint8_t>(swf::BlendMode::Multiply);
    swfmake::SwfWriter w = OneSquare(p);
    swf::Player player;
    ASSERT_TRUE(Load(player, w));
    FrameBuffer fb = RenderAt(player, 200, 150);
    EXPECT_EQ(kRedPx, fb.At(25, 25));  // red times white
    EXPECT_EQ(kWhite, fb.At(5, 5));
}

// DefineButton2 records carry their own filters and blend modes, in every
// state the button is drawn in.
TEST(EffectsRenderTest, ButtonRecordsDrawTheirFiltersAndBlendModes) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, Square(10 * kTw));
    const swfmake::ButtonRecord shadowed{swf::kButtonUp | swf::kButtonOver | swf::kButtonHit, 1, 1,
                                         Matrix::Translate(20 * kTw, 20 * kTw), {}};
    const swfmake::ButtonRecord inverted{swf::kButtonUp | swf::kButtonOver, 1, 2,
                                         Matrix::Translate(60 * kTw, 20 * kTw), {}};
    swfmake::ButtonRecordEffects shadow, difference;
    shadow.filters = swf::FilterList{swfmake::DropShadowFilter({0, 0, 0, 255}, 0, 4, 0)};
    difference.blendMode = uint8_t(swf::BlendMode::Difference);
    w.Tags().DefineButton2(2, {shadowed, inverted}, {}, false, {shadow, difference});
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 2));
    w.Tags().ShowFrame();
    swf::Player player;
    ASSERT_TRUE(Load(player, w));
    for (bool over : {false, true}) {
        SCOPED_TRACE(over);
        if (over) player.PointerMove(25, 25);
        FrameBuffer fb = RenderAt(player, 200, 150);
        EXPECT_EQ(kRedPx, fb.At(25, 25));
        EXPECT_EQ(kBlackPx, fb.At(32, 25));  // the shadow, 4 pixels right
        EXPECT_EQ(0xFF37FFFFu, fb.At(65, 25));  // |white - red|
    }
}

// A sprite (blend `outer`) holding a red 10-pixel square and, over its left
// half, a black square drawn with erase.
swfmake::SwfWriter ErasedSprite(swf::BlendMode outer) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, Square(10 * kTw));
    w.Tags().DefineShape(2, Rect({0, 5 * kTw, 0, 10 * kTw}, {0, 0, 0, 255}));
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 1));
    swfmake::Placement erase = swfmake::NewPlacement(2, 2);
    erase.blendMode = static_cast<uint8_t>(swf::BlendMode::Erase);
    s.PlaceObject3(erase);
    s.ShowFrame();
    w.Tags().DefineSprite(3, s);
    swfmake::Placement p = swfmake::NewPlacement(1, 3, Matrix::Translate(20 * kTw, 20 * kTw));
    p.blendMode = static_cast<uint8_t>(outer);
    w.Tags().PlaceObject3(p);
    w.Tags().ShowFrame();
    return w;
}

TEST(EffectsRenderTest, EraseCutsItsLayerButNeverTheStage) {
    struct Case { swf::BlendMode outer; uint32_t left; } cases[] = {
        {swf::BlendMode::Layer, kWhite},      // the hole shows the stage
        {swf::BlendMode::Normal, kBlackPx},  // no layer: erase draws as normal
    };
    for (const Case& c : cases) {
        swf::Player player;
        ASSERT_TRUE(Load(player, ErasedSprite(c.outer)));
        FrameBuffer fb = RenderAt(player, 200, 150);
        EXPECT_EQ(c.left, fb.At(22, 25)) << int(c.outer);
        EXPECT_EQ(kRedPx, fb.At(27, 25)) << int(c.outer);
    }
}

// A cached sprite whose child moves on its second frame, and which itself
// moves 3 whole pixels on the root's second frame.
TEST(EffectsRenderTest, CachedSpriteRedrawsWhenItsChildMoves) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, Square(10 * kTw));
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 1));
    s.ShowFrame();
    s.PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(40 * kTw, 0)));
    s.ShowFrame();
    w.Tags().DefineSprite(2, s);
    swfmake::Placement p = swfmake::NewPlacement(1, 2, Matrix::Translate(20 * kTw, 20 * kTw));
    p.cacheAsBitmap = true;
    w.Tags().PlaceObject3(p);
    w.Tags().ShowFrame();
    w.Tags().PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(23 * kTw, 20 * kTw)));
    w.Tags().ShowFrame();
    swf::Player player;
    ASSERT_TRUE(Load(player, w));
    FrameBuffer first = RenderAt(player, 200, 150);
    EXPECT_EQ(kRedPx, first.At(25, 25));
    EXPECT_EQ(first.Data()[0], RenderAt(player, 200, 150).Data()[0]);
    player.Tick();  // the child jumps 40 pixels right, the sprite 3
    FrameBuffer second = RenderAt(player, 200, 150);
    EXPECT_EQ(kWhite, second.At(25, 25));
    EXPECT_EQ(kRedPx, second.At(65, 25));
    EXPECT_EQ(kWhite, second.At(62, 25));
}

// A cached 40 px sprite under a 10 px clip-depth mask that moves 15
// pixels on the second frame, the sprite staying put.
TEST(EffectsRenderTest, CachedSpriteIsCutAnewWhenItsClipDepthMaskMoves) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, Square(10 * kTw));
    w.Tags().DefineShape(2, Square(40 * kTw));
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 2));
    s.ShowFrame();
    w.Tags().DefineSprite(3, s);
    swfmake::Placement mask = swfmake::NewPlacement(1, 1, Matrix::Translate(20 * kTw, 20 * kTw));
    mask.clipDepth = 2;
    w.Tags().PlaceObject2(mask);
    swfmake::Placement p = swfmake::NewPlacement(2, 3, Matrix::Translate(10 * kTw, 10 * kTw));
    p.cacheAsBitmap = true;
    w.Tags().PlaceObject3(p);
    w.Tags().ShowFrame();
    w.Tags().PlaceObject2(swfmake::MovePlacement(1, Matrix::Translate(35 * kTw, 20 * kTw)));
    w.Tags().ShowFrame();
    swf::Player player;
    ASSERT_TRUE(Load(player, w));
    FrameBuffer first = RenderAt(player, 200, 150);
    EXPECT_EQ(kRedPx, first.At(25, 25));
    EXPECT_EQ(kWhite, first.At(37, 25));
    player.Tick();
    FrameBuffer second = RenderAt(player, 200, 150);
    EXPECT_EQ(kWhite, second.At(25, 25));
    EXPECT_EQ(kRedPx, second.At(37, 25));
}

TEST(EffectsRenderTest, ScrollRectShowsItsPartAtTheOrigin) {
    swf::ShapeCharacter square;
    square.shape = Square(10 * kTw);
    swf::ShapeObject obj(1, 1, square);
    obj.SetScrollRect(swf::Rect{5 * kTw, 10 * kTw, 0, 4 * kTw});  // the right half, 4 rows
    FrameBuffer fb(40, 20);
    swf::RasterBackend backend(fb);
    backend.BeginFrame({255, 255, 255, 255});
    swf::RenderContext rc{backend};
    swf::RenderPlaced(rc, obj, Matrix::Translate(20 * kTw, 0), {});
    backend.EndFrame();
    EXPECT_EQ(kRedPx, fb.At(20, 0));
    EXPECT_EQ(kRedPx, fb.At(24, 3));
    EXPECT_EQ(kWhite, fb.At(25, 0));  // cut at the rect's width
    EXPECT_EQ(kWhite, fb.At(20, 4));  // and height
    EXPECT_EQ(kWhite, fb.At(19, 0));
}

TEST(EffectsRenderTest, NineSliceKeepsTheLeftSideUnscaled) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, Rect({0, 100 * kTw, 0, 10 * kTw}, {0, 0, 255, 255}));
    w.Tags().DefineShape(2, Rect({10 * kTw, 15 * kTw, 0, 10 * kTw}, {200, 0, 0, 255}));
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, 1));
    s.PlaceObject2(swfmake::NewPlacement(2, 2));
    s.ShowFrame();
    w.Tags().DefineSprite(3, s);
    w.Tags().DefineScalingGrid(3, {20 * kTw, 80 * kTw, 0, 10 * kTw});
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 3, Matrix::Scale(2 * swf::kFixedOne, swf::kFixedOne)));
    w.Tags().ShowFrame();
    swf::Player player;
    ASSERT_TRUE(Load(player, w));
    FrameBuffer fb = RenderAt(player, 200, 150);
    EXPECT_EQ(kRedPx, fb.At(12, 5));
    EXPECT_EQ(0xFF0000FFu, fb.At(25, 5));  // unwarped, the bar would be at 20..30
    EXPECT_EQ(0xFF0000FFu, fb.At(199, 5));
}

}  // namespace
