// What scripts do to the display tree through the engine's calls: depths,
// clips made, copied and removed, drawings on clips, bounds, and the
// timeline leaving scripted clips alone.
#include <gtest/gtest.h>

#include <cmath>

#include "swf/display/ClipGeometry.h"
#include "swf/display/ClipProperties.h"
#include "swf/display/DepthOps.h"
#include "swf/render/RasterBackend.h"
#include "swf/classes/ClipTransform.h"
#include "swf/classes/Drawing.h"

namespace swf {
namespace {

constexpr uint16_t kSprite = 1;

DisplayCommand Place(uint16_t depth, uint16_t id, int32_t x, bool move = false) {
    DisplayCommand c;
    c.depth = depth;
    c.characterId = id;
    c.hasCharacter = !move;
    c.move = move;
    c.hasMatrix = true;
    c.matrix = Matrix::Translate(x, 0);
    return c;
}

// Frame 0 places a sprite at depth 1, frame 1 moves it to x = 100 px.
struct Stage {
    Stage() {
        auto sprite = std::make_unique<SpriteCharacter>();
        sprite->id = kSprite;
        sprite->timeline.frames.emplace_back();
        movie.dictionary[kSprite] = std::move(sprite);
        movie.root.frames.resize(2);
        movie.root.frames[0].commands.push_back(Place(1, kSprite, 0));
        movie.root.frames[1].commands.push_back(Place(1, kSprite, 2000, true));
        root = std::make_unique<MovieClip>(ctx, movie.root, 0);
        root->Start(nullptr);
    }
    FrameBuffer Render(int w, int h) {
        FrameBuffer fb(w, h);
        RasterBackend backend(fb);
        backend.BeginFrame({255, 255, 255, 255});
        RenderContext rc{backend};
        root->Render(rc, Matrix{}, ColorTransform{});
        return fb;
    }
    Movie movie;
    PlayContext ctx{movie};
    std::unique_ptr<MovieClip> root;
};

void Square(MovieClip& clip, Rgba color, int px) {
    Drawing& d = clip.Graphics();
    d.BeginFill(color);
    d.LineTo({px * 20, 0});
    d.LineTo({px * 20, px * 20});
    d.LineTo({0, px * 20});
    d.EndFill();
}

TEST(ClipScriptTest, DepthsLookUpSwapAndNextHighest) {
    Stage s;
    EXPECT_EQ(NextHighestDepth(*s.root), 0);
    DisplayObject* placed = InstanceAtDepth(*s.root, -16383);  // the file's depth 1
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(ScriptDepth(*placed), -16383);
    MovieClip* a = CreateEmptyClip(s.ctx, *s.root, "a", 5);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(NextHighestDepth(*s.root), 6);
    EXPECT_EQ(InstanceAtDepth(*s.root, 5), a);

    EXPECT_TRUE(SwapDepths(*s.root, *placed, 5));  // trade places
    EXPECT_EQ(InstanceAtDepth(*s.root, 5), placed);
    EXPECT_EQ(InstanceAtDepth(*s.root, -16383), a);
    EXPECT_EQ(ScriptDepth(*a), -16383);
    EXPECT_TRUE(SwapDepths(*s.root, *a, 100));  // to an empty depth
    EXPECT_EQ(InstanceAtDepth(*s.root, -16383), nullptr);
    EXPECT_EQ(NextHighestDepth(*s.root), 101);
    EXPECT_FALSE(SwapDepths(*s.root, *a, 3e9));
    EXPECT_FALSE(SwapDepths(*a, *placed, 1));  // not a's child
    EXPECT_EQ(InstanceAtDepth(*s.root, std::nan("")), nullptr);
}

TEST(ClipScriptTest, DrawingsShowUnderChildrenAndCountInBounds) {
    Stage s;
    MovieClip* back = CreateEmptyClip(s.ctx, *s.root, "back", 0);
    Square(*back, {255, 0, 0, 255}, 4);
    MovieClip* inner = CreateEmptyClip(s.ctx, *back, "inner", 0);
    Square(*inner, {0, 0, 255, 255}, 2);
    inner->matrix = Matrix::Translate(40, 40);
    FrameBuffer fb = s.Render(6, 6);
    EXPECT_EQ(fb.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(fb.At(2, 2), 0xFF0000FFu);  // the child over its parent's drawing
    EXPECT_EQ(fb.At(4, 4), 0xFFFFFFFFu);

    Rect box;
    bool any = false;
    back->AddBounds(Matrix::Translate(100, 0), box, any);
    EXPECT_TRUE(any);
    EXPECT_EQ(box, (Rect{100, 180, 0, 80}));
    EXPECT_TRUE(back->HitTest(Matrix{}, {70, 70}));
    EXPECT_FALSE(back->HitTest(Matrix{}, {90, 10}));
}

TEST(ClipScriptTest, DuplicatesCopyPlacementAndDrawingAndRemoveOnlyScriptDepths) {
    Stage s;
    MovieClip* a = CreateEmptyClip(s.ctx, *s.root, "a", 1);
    Square(*a, {0, 255, 0, 255}, 2);
    a->matrix = Matrix::Translate(60, 0);
    DisplayObject* b = DuplicateClip(s.ctx, *a, "b", 2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->name, "b");
    EXPECT_EQ(b->matrix, a->matrix);
    a->Graphics().Clear();  // the copy keeps its own drawing
    FrameBuffer fb = s.Render(6, 3);
    EXPECT_EQ(fb.At(3, 1), 0xFF00FF00u);

    DisplayObject* sprite = InstanceAtDepth(*s.root, -16383);
    DisplayObject* spriteCopy = DuplicateClip(s.ctx, *sprite, "c", 3);
    ASSERT_NE(spriteCopy, nullptr);
    EXPECT_EQ(spriteCopy->characterId, kSprite);
    EXPECT_FALSE(RemoveClip(*sprite));  // the timeline's own
    EXPECT_TRUE(RemoveClip(*b));
    EXPECT_EQ(InstanceAtDepth(*s.root, 2), nullptr);
}

TEST(ClipScriptTest, ClipsMadeInALoopStopAtTheBudget) {
    Stage s;
    size_t made = 0;
    for (int i = 0; i < 400000 && CreateEmptyClip(s.ctx, *s.root, "x", i); ++i) ++made;
    EXPECT_LT(made, 400000u);
    EXPECT_LE(s.ctx.liveClips.size(), PlayContext::kMaxLiveClips);
    Stage deep;
    MovieClip* c = CreateEmptyClip(deep.ctx, *deep.root, "nest", 0);
    int levels = 0;
    for (; c && levels < 100; ++levels) c = CreateEmptyClip(deep.ctx, *c, "n", 0);
    EXPECT_EQ(levels, PlayContext::kMaxNesting - 1);  // nesting is bounded too
}

TEST(ClipScriptTest, TimelineLeavesScriptedAndScriptMadeClipsAlone) {
    Stage s;
    DisplayObject* sprite = InstanceAtDepth(*s.root, -16383);
    ClipTransform t;
    t.SetMatrix(sprite->matrix);
    t.SetY(7);
    sprite->matrix = t.GetMatrix();
    sprite->scripted = true;
    MovieClip* made = CreateEmptyClip(s.ctx, *s.root, "made", 0);
    s.root->Goto(1, 1, nullptr);  // moves depth 1 to x = 100
    EXPECT_EQ(sprite->matrix, Matrix::Translate(0, 140));
    s.root->Goto(0, 0, nullptr);  // rewind: frame 0 has no script clip
    EXPECT_EQ(InstanceAtDepth(*s.root, 0), made);
}

TEST(ClipScriptTest, PointsBoundsAndHitTestsBetweenSpaces) {
    Stage s;
    MovieClip* outer = CreateEmptyClip(s.ctx, *s.root, "outer", 0);
    outer->matrix = Matrix{2 * kFixedOne, 0, 0, 2 * kFixedOne, 200, 100};  // x2, at (10, 5) px
    MovieClip* tri = CreateEmptyClip(s.ctx, *outer, "tri", 0);
    tri->matrix = Matrix::Translate(100, 0);  // (5, 0) px inside outer
    Drawing& d = tri->Graphics();
    d.BeginFill({0, 0, 0, 255});
    d.LineTo({200, 0});
    d.LineTo({0, 200});  // right triangle, 10 px legs
    d.EndFill();

    const GeomPoint g = LocalToGlobal(*tri, {1, 2});
    EXPECT_DOUBLE_EQ(g.x, 10 + 2 * (5 + 1));
    EXPECT_DOUBLE_EQ(g.y, 5 + 2 * 2);
    const GeomPoint back = GlobalToLocal(*tri, g);
    EXPECT_DOUBLE_EQ(back.x, 1);
    EXPECT_DOUBLE_EQ(back.y, 2);

    const GeomRect own = GetBounds(*tri, nullptr);
    EXPECT_DOUBLE_EQ(own.Right(), 10);
    const GeomRect onStage = GetBounds(*tri, s.root.get());
    EXPECT_DOUBLE_EQ(onStage.x, 20);
    EXPECT_DOUBLE_EQ(onStage.Right(), 40);
    EXPECT_DOUBLE_EQ(onStage.Bottom(), 25);
    EXPECT_DOUBLE_EQ(GetBounds(*CreateEmptyClip(s.ctx, *s.root, "e", 9), nullptr).x, kNowherePixels);

    EXPECT_TRUE(HitTestPoint(*tri, {38, 23}, false));  // inside the box, off the triangle
    EXPECT_FALSE(HitTestPoint(*tri, {38, 23}, true));
    EXPECT_TRUE(HitTestPoint(*tri, {22, 7}, true));
    EXPECT_FALSE(HitTestPoint(*tri, {19, 7}, false));
    MovieClip* other = CreateEmptyClip(s.ctx, *s.root, "other", 1);
    Square(*other, {0, 0, 0, 255}, 4);
    other->matrix = Matrix::Translate(700, 400);  // (35, 20) .. (39, 24)
    EXPECT_TRUE(HitTestObject(*tri, *other));
    other->matrix = Matrix::Translate(900, 400);
    EXPECT_FALSE(HitTestObject(*tri, *other));
}

TEST(ClipScriptTest, PropertiesReadBackAsWrittenAndFreezeTheTimeline) {
    Stage s;
    DisplayObject* sprite = InstanceAtDepth(*s.root, -16383);
    Square(*sprite->AsClip(), {0, 0, 0, 255}, 10);
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropWidth), 10);
    EXPECT_FALSE(GetTransformProperty(*sprite, kPropName));
    EXPECT_FALSE(sprite->scripted);  // reading changes nothing
    for (int i = 0; i < 100; ++i)
        SetTransformProperty(*sprite, kPropRotation, *GetTransformProperty(*sprite, kPropRotation) + 45);
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropRotation), 180);  // 4500 = 12.5 turns
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropXScale), 100);
    EXPECT_NEAR(*GetTransformProperty(*sprite, kPropWidth), 10, 0.1);
    SetTransformProperty(*sprite, kPropWidth, 25);
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropXScale), 250);
    SetTransformProperty(*sprite, kPropX, 33);
    SetTransformProperty(*sprite, kPropAlpha, 50);
    EXPECT_EQ(sprite->cxform.aMul, 128);
    EXPECT_TRUE(sprite->scripted);
    s.root->Goto(1, 1, nullptr);  // would move it to x = 100
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropX), 33);
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropRotation), 180);

    sprite->matrix = Matrix::Translate(20, 0);  // changed elsewhere: read afresh
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropRotation), 0);
    EXPECT_DOUBLE_EQ(*GetTransformProperty(*sprite, kPropXScale), 100);
}

}  // namespace
}  // namespace swf
