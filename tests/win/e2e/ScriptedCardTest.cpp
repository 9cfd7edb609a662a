// A card whose ActionScript 3 document class builds it, as a user meets it
// in the program: it moves on its own, a click on its button turns it over,
// a key recolours its text field, and F2 captures what is shown.
#include <gtest/gtest.h>

#include "app/res/resource.h"
#include "tests/win/e2e/PictaroSession.h"
#include "tests/win/e2e/ScreenPixels.h"
#include "tests/win/e2e/UserActions.h"
#include "tools/moviegen/Movies.h"
#include "tools/moviegen/TestMovies.h"

namespace e2e {
namespace {

using F = moviegen::Card3Facts;

uint32_t Rgb(swf::Rgba c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

class ScriptedCard : public PictaroSession {
protected:
    std::string CardMovie() {
        std::string path = m_files.File("card3.swf");
        EXPECT_TRUE(wintest::WriteBytes(path, moviegen::Card3Movie().Write(true)));
        return path;
    }
    HWND Player() const { return Control(IDC_PLAYER); }
    // True once the player's pixel at (x, y) is `rgb`.
    bool WaitForPixel(int x, int y, uint32_t rgb) const {
        Pixels shown;
        return wintest::PollUntil([&] { return GrabScreen(Player(), &shown) && shown.At(x, y) == rgb; });
    }
    // The ball's left edge on its row, -1 when not found.
    int BallLeft() const {
        Pixels shown;
        if (!GrabScreen(Player(), &shown)) return -1;
        for (int x = 0; x < shown.width; ++x)
            if (shown.At(x, F::kBallTop + F::kBallSize / 2) == F::kBallRgb) return x;
        return -1;
    }
};

TEST_F(ScriptedCard, MovesOnItsOwnAndAnswersClicksKeysAndCaptures) {
    ASSERT_TRUE(OpenThroughToolbar(CardMovie()));
    const int fieldX = F::kTextLeft + F::kTextWidth - 3, fieldY = F::kTextTop + F::kTextHeight - 3;
    ASSERT_TRUE(WaitForPixel(fieldX, fieldY, F::kTextRgb)) << "the script's text field does not show";
    EXPECT_TRUE(WaitForPixel(F::kButtonLeft + 2, F::kButtonTop + 2, F::kButtonRgb)) << "no button";
    EXPECT_TRUE(WaitForPixel(F::kWidth - 2, F::kHeight - 2, Rgb(F::kFront)));

    const int first = BallLeft();
    EXPECT_GE(first, 0) << "no ball";
    EXPECT_TRUE(wintest::PollUntil([&] { return BallLeft() != first; })) << "the enterFrame tween does not run";

    ClickAt(Player(), F::kButtonLeft + F::kButtonWidth / 2, F::kButtonTop + F::kButtonHeight / 2);
    EXPECT_TRUE(WaitForPixel(F::kWidth - 2, F::kHeight - 2, Rgb(F::kBack))) << "the click did not turn the card";
    PressKey(Player(), 'K');
    EXPECT_TRUE(WaitForPixel(fieldX, fieldY, F::kTextKeyRgb)) << "the key did not reach the card";

    ASSERT_TRUE(CaptureWithF2(1));
    ASSERT_TRUE(WaitForCaptureFiles(1));
    ImageFile shot = ReadImageFile(CaptureFile(0));
    int backSamples = 0;
    for (uint32_t argb : shot.samples) backSamples += (argb & 0xFFFFFF) == Rgb(F::kBack);
    EXPECT_GT(backSamples, int(shot.samples.size()) / 2) << "the capture is not of the turned card";
    EXPECT_TRUE(CloseWithCloseBox(true));
}

}  // namespace
}  // namespace e2e
