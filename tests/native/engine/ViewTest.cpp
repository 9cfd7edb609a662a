// ViewMatrix: the scale and align modes the program uses.
#include <gtest/gtest.h>

#include "swf/Player.h"

namespace {

using swf::Matrix;
constexpr int kOne = swf::kFixedOne;

Matrix M(int32_t a, int32_t d, int32_t tx, int32_t ty) {
    Matrix m;
    m.a = a;
    m.d = d;
    m.tx = tx;
    m.ty = ty;
    return m;
}

const swf::Rect kStage{0, 4000, 0, 2000};  // 200 x 100 px

TEST(ViewTest, ShowAllFitsAndCentresTheSlack) {
    // 400 x 400 target: scale 2, 200 px of vertical slack split evenly.
    EXPECT_EQ(swf::ViewMatrix(kStage, 400, 400, swf::kShowAll, 0), M(2 * kOne, 2 * kOne, 0, 2000));
    // Taller stage than target: fit the height, centre horizontally.
    EXPECT_EQ(swf::ViewMatrix(kStage, 400, 100, swf::kShowAll, 0), M(kOne, kOne, 2000, 0));
}

TEST(ViewTest, ShowAllHonoursAlignFlags) {
    EXPECT_EQ(swf::ViewMatrix(kStage, 400, 100, swf::kShowAll, swf::kAlignLeft), M(kOne, kOne, 0, 0));
    EXPECT_EQ(swf::ViewMatrix(kStage, 400, 100, swf::kShowAll, swf::kAlignRight), M(kOne, kOne, 4000, 0));
    EXPECT_EQ(swf::ViewMatrix(kStage, 400, 400, swf::kShowAll, swf::kAlignBottom), M(2 * kOne, 2 * kOne, 0, 4000));
}

TEST(ViewTest, NoScaleKeepsSizeAndMapsTheStageOriginToTheAlignedCorner) {
    const swf::Rect offset{1000, 5000, -200, 1800};
    EXPECT_EQ(swf::ViewMatrix(offset, 300, 300, swf::kNoScale, swf::kAlignLeft | swf::kAlignTop),
              M(kOne, kOne, -1000, 200));
    // Centred: (6000 - 4000) / 2 of horizontal slack.
    EXPECT_EQ(swf::ViewMatrix(kStage, 300, 100, swf::kNoScale, 0), M(kOne, kOne, 1000, 0));
    // Smaller target than stage: negative slack, still centred.
    EXPECT_EQ(swf::ViewMatrix(kStage, 100, 100, swf::kNoScale, 0), M(kOne, kOne, -1000, 0));
}

TEST(ViewTest, ExactFitAndNoBorder) {
    EXPECT_EQ(swf::ViewMatrix(kStage, 100, 100, swf::kExactFit, 0), M(kOne / 2, kOne, 0, 0));
    // Cover 100 x 100 with a 2:1 stage: scale 1, 100 px spill split.
    EXPECT_EQ(swf::ViewMatrix(kStage, 100, 100, swf::kNoBorder, 0), M(kOne, kOne, -1000, 0));
}

TEST(ViewTest, EmptyStageOrTargetDoesNotDivideByZero) {
    EXPECT_EQ(swf::ViewMatrix({0, 0, 0, 0}, 100, 100, swf::kShowAll, 0).a, kOne);
    EXPECT_EQ(swf::ViewMatrix(kStage, 0, 0, swf::kShowAll, 0).a, kOne);
    swf::ViewMatrix({INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}, 1 << 20, 1 << 20, swf::kShowAll, 0);
}

}  // namespace
