// Fixed-point matrices: composition order, rounding, inversion, and the
// saturation that keeps hostile placements from overflowing.
#include <gtest/gtest.h>

#include <climits>

#include "swf/model/Geometry.h"

namespace swf {
namespace {

TEST(GeometryTest, ConcatAppliesInnerFirst) {
    Matrix scale2 = Matrix::Scale(2 * kFixedOne, 2 * kFixedOne);
    Matrix move = Matrix::Translate(100, -40);
    // scale after move: (10, 10) -> (110, -30) -> (220, -60)
    EXPECT_EQ(scale2.Concat(move).Apply({10, 10}), (Point{220, -60}));
    // move after scale: (10, 10) -> (20, 20) -> (120, -20)
    EXPECT_EQ(move.Concat(scale2).Apply({10, 10}), (Point{120, -20}));
}

TEST(GeometryTest, ApplyRoundsHalvesAwayFromZero) {
    Matrix half = Matrix::Scale(kFixedOne / 2, kFixedOne / 2);
    EXPECT_EQ(half.Apply({3, -3}), (Point{2, -2}));
    EXPECT_EQ(half.Apply({4, -5}), (Point{2, -3}));
}

TEST(GeometryTest, InvertUndoesRotationAndTranslation) {
    Matrix m;
    m.a = 0;
    m.b = kFixedOne;   // 90 degrees
    m.c = -kFixedOne;
    m.d = 0;
    m.tx = 500;
    m.ty = -200;
    Matrix inv;
    ASSERT_TRUE(m.Invert(&inv));
    Point p{1234, -567};
    EXPECT_EQ(inv.Apply(m.Apply(p)), p);
    Matrix singular = Matrix::Scale(0, kFixedOne);
    Matrix untouched = Matrix::Translate(7, 7);
    EXPECT_FALSE(singular.Invert(&untouched));
    EXPECT_EQ(untouched, Matrix::Translate(7, 7));
}

TEST(GeometryTest, ExtremeTermsSaturateInsteadOfOverflowing) {
    Matrix m;
    m.a = m.b = m.c = m.d = INT32_MIN;
    Point p = m.Apply({INT32_MIN, INT32_MIN});
    EXPECT_EQ(p, (Point{INT32_MAX, INT32_MAX}));
    Matrix twice = m.Concat(m);
    EXPECT_EQ(twice.a, INT32_MAX);
    EXPECT_EQ(twice.d, INT32_MAX);
}

TEST(GeometryTest, TransformRectBoundsAllCorners) {
    Matrix m;
    m.a = 0;
    m.b = kFixedOne;
    m.c = -kFixedOne;
    m.d = 0;
    Rect r = TransformRect(m, Rect{0, 100, 0, 50});
    EXPECT_EQ(r, (Rect{-50, 0, 0, 100}));
}

}  // namespace
}  // namespace swf
