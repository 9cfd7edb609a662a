#include <gtest/gtest.h>

#include "picker/PrintFit.h"

namespace {

struct FitCase {
    const char* what;
    int pictureW, pictureH, pageW, pageH, dpiX, dpiY;
    PageRect expected;
};

TEST(PrintFitTest, PictureFillsThePageKeepingItsShapeCentred) {
    const FitCase cases[] = {
        // A4 at 600 dpi is about 4960 x 7016 printable pixels.
        {"wide picture on a portrait page: full width", 3000, 2182, 4960, 7016, 600, 600, {0, 1704, 4960, 3608}},
        {"tall picture: full height", 1000, 4000, 4960, 7016, 600, 600, {1603, 0, 1754, 7016}},
        {"small picture grows to the page", 550, 400, 1100, 1600, 300, 300, {0, 400, 1100, 800}},
        {"exactly the page's shape", 200, 100, 400, 200, 96, 96, {0, 0, 400, 200}},
        // 600 x 300 dpi: the page is 2 x 4 inches; a square picture is 2 x 2.
        {"non-square printer pixels", 500, 500, 1200, 1200, 600, 300, {0, 300, 1200, 600}},
    };
    for (const FitCase& c : cases) {
        const PageRect fit = FitToPage(c.pictureW, c.pictureH, c.pageW, c.pageH, c.dpiX, c.dpiY);
        EXPECT_EQ(fit.x, c.expected.x) << c.what;
        EXPECT_EQ(fit.y, c.expected.y) << c.what;
        EXPECT_EQ(fit.width, c.expected.width) << c.what;
        EXPECT_EQ(fit.height, c.expected.height) << c.what;
    }
}

TEST(PrintFitTest, NothingToFitGivesAnEmptyPlace) {
    for (const PageRect& fit : {FitToPage(0, 10, 100, 100, 96, 96), FitToPage(10, 10, 100, 0, 96, 96),
                                FitToPage(10, 10, 100, 100, 0, 96), FitToPage(-5, 10, 100, 100, 96, 96)}) {
        EXPECT_EQ(fit.width, 0);
        EXPECT_EQ(fit.height, 0);
    }
    // A sliver keeps at least one pixel.
    EXPECT_EQ(FitToPage(100000, 1, 100, 100, 96, 96).height, 1);
}

TEST(PrintFitTest, OnlyCapturesDrawnLargerThanTheScreenArePrintedByThePicker) {
    EXPECT_FALSE(DrawnLargerThanScreen(550, 400, 550, 400));
    EXPECT_TRUE(DrawnLargerThanScreen(1100, 800, 550, 400));
    EXPECT_TRUE(DrawnLargerThanScreen(3000, 2182, 550, 400));
    EXPECT_FALSE(DrawnLargerThanScreen(3000, 2182, 0, 0));  // screen unknown
}

}  // namespace
