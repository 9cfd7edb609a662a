// flash.geom maths, Color, and a clip's matrix as scripts read and write it.
#include <gtest/gtest.h>

#include <cmath>

#include "swf/classes/ClipTransform.h"
#include "swf/classes/Drag.h"
#include "swf/classes/Geom.h"

namespace swf {
namespace {

TEST(GeomTest, MatrixBoxesConcatAndInverse) {
    GeomMatrix g = GeomMatrix::CreateGradientBox(1638.4, 819.2, 0, 100, 50);
    EXPECT_DOUBLE_EQ(g.a, 1.0);
    EXPECT_DOUBLE_EQ(g.d, 0.5);
    EXPECT_DOUBLE_EQ(g.tx, 100 + 819.2);
    EXPECT_DOUBLE_EQ(g.ty, 50 + 409.6);
    GeomMatrix r = GeomMatrix::CreateBox(2, 3, 3.14159265358979323846 / 2, 0, 0);
    GeomPoint p = r.TransformPoint({1, 0});  // rotated onto +y, then scaled by 3
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 3, 1e-12);

    // concat: the argument acts after the matrix.
    GeomMatrix move{1, 0, 0, 1, 10, 0}, twice{2, 0, 0, 2, 0, 0};
    EXPECT_DOUBLE_EQ(move.Then(twice).TransformPoint({1, 0}).x, 22);
    EXPECT_DOUBLE_EQ(twice.Then(move).TransformPoint({1, 0}).x, 12);

    GeomMatrix m{2, 1, -1, 3, 5, -7}, inv = m;
    ASSERT_TRUE(inv.Invert());
    GeomPoint back = inv.TransformPoint(m.TransformPoint({4, 9}));
    EXPECT_NEAR(back.x, 4, 1e-12);
    EXPECT_NEAR(back.y, 9, 1e-12);
    GeomMatrix flat{1, 2, 2, 4, 1, 1};
    EXPECT_FALSE(flat.Invert());
    EXPECT_DOUBLE_EQ(flat.a, 1);

    const Matrix e = GeomMatrix{0.5, 0, 0, -2, 10.5, -3.07}.ToEngine();
    EXPECT_EQ(e, (Matrix{32768, 0, 0, -131072, 210, -61}));
}

TEST(GeomTest, RectangleSetOperations) {
    const GeomRect a{0, 0, 10, 10}, b{5, 5, 10, 10}, far{20, 20, 1, 1};
    EXPECT_TRUE(a.Intersects(b));
    EXPECT_FALSE(a.Intersects(far));
    const GeomRect i = a.Intersection(b);
    EXPECT_EQ(i.x, 5);
    EXPECT_EQ(i.width, 5);
    EXPECT_TRUE(a.Intersection(far).IsEmpty());
    const GeomRect u = a.Union(far);
    EXPECT_EQ(u.Right(), 21);
    EXPECT_EQ(u.Bottom(), 21);
    EXPECT_EQ(GeomRect{}.Union(b).x, 5);  // an empty side is ignored
    EXPECT_TRUE(a.Contains(0, 9.5));
    EXPECT_FALSE(a.Contains(10, 5));  // right edge is outside
    EXPECT_TRUE(a.ContainsRect({1, 1, 9, 9}));
    EXPECT_FALSE(a.ContainsRect(b));
}

TEST(GeomTest, ColorTransformConcatAppliesTheArgumentFirst) {
    GeomColorTransform half;
    half.redMultiplier = 0.5;
    GeomColorTransform plus;
    plus.redOffset = 100;
    const GeomColorTransform t = half.Concat(plus);  // (x + 100) / 2
    EXPECT_DOUBLE_EQ(t.redOffset, 50);
    EXPECT_DOUBLE_EQ(t.redMultiplier, 0.5);
    EXPECT_EQ(t.ToEngine().Apply({100, 0, 0, 255}).r, 100);

    GeomColorTransform solid;
    solid.SetRgb(0x336699);
    EXPECT_EQ(solid.Rgb(), 0x336699u);
    EXPECT_EQ(solid.ToEngine().Apply({1, 2, 3, 200}), (Rgba{0x33, 0x66, 0x99, 200}));
}

TEST(GeomTest, ColorObjectKeepsWhatAScriptLeavesOut) {
    ColorTransform t = ColorSetRgb({}, 0xFF8000);
    EXPECT_EQ(ColorGetRgb(t), 0xFF8000);
    EXPECT_EQ(t.aMul, 256);  // alpha untouched

    ColorTransformObject o;
    o.ra = 33;   // percent: 84.48 of 256, truncated
    o.ab = -40;
    t = ColorSetTransform(t, o);
    EXPECT_EQ(t.rMul, 84);
    EXPECT_EQ(t.gMul, 0);  // left as setRGB made it
    EXPECT_EQ(t.aAdd, -40);
    const ColorTransformObject back = ColorGetTransform(t);
    EXPECT_DOUBLE_EQ(*back.ra, 32.8125);
    EXPECT_DOUBLE_EQ(*back.gb, 0x80);
    EXPECT_DOUBLE_EQ(*back.aa, 100);
    EXPECT_EQ(t.Apply({100, 0, 0, 255}), (Rgba{255, 128, 0, 215}));
}

TEST(GeomTest, RotationAndScaleStayPutWhenSetAgainAndAgain) {
    ClipTransform t;
    t.SetXScale(37);
    for (int i = 0; i < 1000; ++i) t.SetRotation(t.Rotation() + 7);  // 7000 = 19*360 + 160
    EXPECT_DOUBLE_EQ(t.XScale(), 37);
    EXPECT_NEAR(t.Rotation(), 160, 1e-9);
    EXPECT_DOUBLE_EQ(t.YScale(), 100);

    ClipTransform r;
    r.SetRotation(270);
    EXPECT_DOUBLE_EQ(r.Rotation(), -90);
    EXPECT_EQ(r.GetMatrix(), (Matrix{0, -65536, 65536, 0, 0, 0}));
    r.SetXScale(0);  // rotation survives a zero scale
    r.SetXScale(200);
    EXPECT_EQ(r.GetMatrix(), (Matrix{0, -131072, 65536, 0, 0, 0}));
    r.SetX(12.34);
    EXPECT_DOUBLE_EQ(r.X(), 12.3);  // twips
    r.SetY(std::nan(""));
    EXPECT_DOUBLE_EQ(r.Y(), 0);
}

TEST(GeomTest, TimelineMatrixIsReadBackWithFlipAndSkew) {
    ClipTransform t;
    t.SetMatrix({-65536, 0, 0, 65536, 0, 0});  // mirrored left to right
    EXPECT_DOUBLE_EQ(t.XScale(), 100);
    EXPECT_DOUBLE_EQ(t.YScale(), -100);
    EXPECT_DOUBLE_EQ(t.Rotation(), 180);
    t.SetXScale(100);  // rebuilding changes nothing
    EXPECT_EQ(t.GetMatrix(), (Matrix{-65536, 0, 0, 65536, 0, 0}));

    ClipTransform s;
    s.SetMatrix({65536, 0, 32768, 65536, 0, 0});  // x leans with y
    s.SetRotation(0);
    EXPECT_EQ(s.GetMatrix().c, 32768);
    s.SetXScale(50);
    EXPECT_EQ(s.GetMatrix(), (Matrix{32768, 0, 32768, 65536, 0, 0}));
}

TEST(GeomTest, WidthAndBoundsFollowTheMatrix) {
    const Rect local{0, 2000, 0, 400};  // 100 x 20 px
    ClipTransform t;
    t.SetWidth(50, local);
    EXPECT_DOUBLE_EQ(t.XScale(), 50);
    t.SetHeight(40, local);
    EXPECT_DOUBLE_EQ(t.YScale(), 200);
    ClipTransform none;
    none.SetXScale(0);
    none.SetWidth(10, local);  // zero wide now: cannot be scaled to a width
    EXPECT_DOUBLE_EQ(none.XScale(), 0);

    const GeomRect b = BoundsIn(Matrix::Translate(200, -100), local, false);
    EXPECT_DOUBLE_EQ(b.x, 10);
    EXPECT_DOUBLE_EQ(b.y, -5);
    EXPECT_DOUBLE_EQ(b.Right(), 110);
    const GeomRect nowhere = BoundsIn({}, {}, true);
    EXPECT_DOUBLE_EQ(nowhere.x, 6710886.35);
    EXPECT_DOUBLE_EQ(nowhere.Bottom(), 6710886.35);
}

TEST(GeomTest, DraggedClipKeepsItsGripOrCentresAndStaysInItsLimits) {
    Drag d;
    d.Start(7, {100, 50}, {110, 60}, false, std::nullopt);  // grabbed 10 px in
    GeomPoint p = d.Follow({200, 200});
    EXPECT_DOUBLE_EQ(p.x, 190);
    EXPECT_DOUBLE_EQ(p.y, 190);
    d.Start(7, {100, 50}, {110, 60}, true, GeomRect{300, 100, -300, -100});  // limits given backwards
    p = d.Follow({500, 20});
    EXPECT_DOUBLE_EQ(p.x, 300);
    EXPECT_DOUBLE_EQ(p.y, 20);
    p = d.Follow({-5, 150});
    EXPECT_DOUBLE_EQ(p.x, 0);
    EXPECT_DOUBLE_EQ(p.y, 100);
    EXPECT_TRUE(d.Active());
    d.Stop();
    EXPECT_FALSE(d.Active());
}

}  // namespace
}  // namespace swf
