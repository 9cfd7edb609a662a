// ViewMatrix: the scale and align modes the program uses.
#include <gtest/gtest.h>

#include <algorithm>

#include "swf/Player.h"
#include "EngineTestUtil.h"

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

TEST(ViewTest, MagnifyingScalesEveryPartIncludingTheTranslation) {
    Matrix m = M(kOne, kOne / 2, 300, -40);
    m.b = 10;
    m.c = -6;
    Matrix want = M(4 * kOne, 2 * kOne, 1200, -160);
    want.b = 40;
    want.c = -24;
    EXPECT_EQ(swf::MagnifyView(m, 4, 1), want);
    // Print width: 3000 of a 550 view, rounded towards zero per entry.
    EXPECT_EQ(swf::MagnifyView(M(kOne, kOne, 550, 0), 3000, 550), M(kOne * 3000 / 550, kOne * 3000 / 550, 3000, 0));
    EXPECT_EQ(swf::MagnifyView(m, 0, 550), m);
    EXPECT_EQ(swf::MagnifyView(M(INT32_MAX, kOne, 0, 0), 16, 1).a, INT32_MAX);
}

// A red square at (20, 20)-(40, 40) px on a white 200 x 150 stage.
swfmake::SwfWriter SquareMovie() {
    swfmake::SwfWriter w(6, enginetest::kStage, 12);
    swfmake::ShapeBuilder b;
    b.FillRect({400, 800, 400, 800}, b.AddSolidFill({255, 0, 0, 255}));
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DefineShape(1, b.Build());
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    w.Tags().ShowFrame();
    return w;
}

constexpr uint32_t kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF;

// Magnified under every scale mode, noScale included: a capture is the
// screen's picture made larger, not a larger window's layout.
TEST(ViewTest, AMagnifiedRenderIsTheScreenPictureScaledAndLeavesTheScreensViewAlone) {
    for (int mode : {swf::kShowAll, swf::kNoScale}) {
        swf::Player p;
        ASSERT_TRUE(enginetest::Load(p, SquareMovie()));
        p.SetScaleMode(mode);
        p.SetViewSize(200, 150);
        swf::FrameBuffer screen(200, 150), big(800, 600);
        p.Render(screen);
        const std::vector<uint32_t> before(screen.Data(), screen.Data() + 200 * 150);
        p.RenderMagnified(big, 200, 150, swf::Quality::High);
        EXPECT_EQ(big.At(4 * 20, 4 * 20), kRed) << mode;
        EXPECT_EQ(big.At(4 * 40 - 1, 4 * 40 - 1), kRed) << mode;
        EXPECT_EQ(big.At(4 * 20 - 1, 4 * 30), kWhite) << mode;
        EXPECT_EQ(big.At(4 * 40, 4 * 30), kWhite) << mode;
        p.Render(screen);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), screen.Data())) << mode;
    }
}

TEST(ViewTest, AMagnifiedRenderWithoutAMovieIsBlank) {
    swf::Player p;
    swf::FrameBuffer big(40, 30);
    p.RenderMagnified(big, 10, 0, swf::Quality::High);
    EXPECT_EQ(big.At(39, 29), kWhite);
}

}  // namespace
