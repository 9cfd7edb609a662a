// Capture sizes and Every Frame's ranges: the numbers the menu and the
// dialog turn into pictures and files.
#include <gtest/gtest.h>

#include "capture/CaptureSize.h"
#include "capture/FrameRange.h"

namespace {

struct SizeCase {
    CaptureSize size;
    PixelSize screen, want;
};

TEST(CaptureSizeTest, SizesScaleTheScreenAndPrintKeepsTheAspect) {
    const SizeCase cases[] = {
        {CaptureSize::Screen, {550, 400}, {550, 400}},
        {CaptureSize::Double, {550, 400}, {1100, 800}},
        {CaptureSize::Quadruple, {550, 400}, {2200, 1600}},
        {CaptureSize::Print, {550, 400}, {3000, 2182}},  // 2181.8 rounds up
        {CaptureSize::Print, {600, 401}, {3000, 2005}},
        {CaptureSize::Print, {4000, 1}, {3000, 1}},      // never 0 high
        {CaptureSize::Print, {0, 400}, {0, 0}},
    };
    for (const SizeCase& c : cases) {
        const PixelSize got = CapturePixels(c.size, c.screen);
        EXPECT_EQ(got.width, c.want.width) << static_cast<int>(c.size) << " " << c.screen.width;
        EXPECT_EQ(got.height, c.want.height) << static_cast<int>(c.size) << " " << c.screen.width;
    }
}

TEST(CaptureSizeTest, TheLimitIsSixtyFourMegapixelsWithoutOverflow) {
    EXPECT_TRUE(WithinCaptureLimit({8000, 8000}));
    EXPECT_FALSE(WithinCaptureLimit({8000, 8001}));
    const PixelSize huge = CapturePixels(CaptureSize::Quadruple, {1 << 30, 1 << 30});
    EXPECT_FALSE(WithinCaptureLimit(huge));
    EXPECT_FALSE(WithinCaptureLimit(CapturePixels(CaptureSize::Print, {10, 1 << 30})));
    EXPECT_NE(CaptureTooLargeText({3000, 75000}).Find("3000 x 75000"), -1);
}

TEST(CaptureSizeTest, SettingsRoundTripAndUnknownValuesMeanTheScreen) {
    for (CaptureSize s : {CaptureSize::Screen, CaptureSize::Double, CaptureSize::Quadruple, CaptureSize::Print})
        EXPECT_EQ(CaptureSizeFromSetting(CaptureSizeSetting(s)), s);
    for (int bad : {-1, 4, 1000}) EXPECT_EQ(CaptureSizeFromSetting(bad), CaptureSize::Screen) << bad;
}

TEST(FrameRangeTest, RangesAreCheckedAgainstTheMovie) {
    const struct {
        FrameRange range;
        bool fine;
    } cases[] = {
        {{1, 60, 1}, true}, {{60, 60, 7}, true}, {{0, 60, 1}, false}, {{61, 61, 1}, false},
        {{10, 9, 1}, false}, {{1, 61, 1}, false}, {{1, 60, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameRangeProblem(c.range, 60).IsEmpty(), c.fine) << c.range.from << ".." << c.range.to;
    EXPECT_FALSE(FrameRangeProblem({1, 1, 1}, 0).IsEmpty());
}

TEST(FrameRangeTest, StepsCountTheFramesTheyLandOn) {
    const FrameRange fives{1, 60, 5};
    EXPECT_EQ(FrameRangeCount(fives), 12);
    EXPECT_EQ(FrameRangeFrame(fives, 0), 1);
    EXPECT_EQ(FrameRangeFrame(fives, 11), 56);
    EXPECT_EQ(FrameRangeCount({3, 3, 1}), 1);
    EXPECT_EQ(FrameRangeCount({2, 9, 4}), 2);  // 2 and 6
}

}  // namespace
