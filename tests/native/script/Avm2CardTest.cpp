// A card made the ActionScript 3 way, played as the program plays it: the
// document class builds the card, enterFrame moves it, a click on a
// sprite that is only a drawing moves the timeline, and keys reach the stage.
#include <gtest/gtest.h>

#include "swf/Player.h"
#include "swf/model/FrameBuffer.h"
#include "tools/moviegen/Movies.h"
#include "tools/moviegen/TestMovies.h"

namespace {

using F = moviegen::Card3Facts;

struct Card {
    swf::Player player;
    swf::FrameBuffer frame{F::kWidth, F::kHeight};
    Card() {
        EXPECT_TRUE(player.LoadBytes(moviegen::Card3Movie().Write(true)));
    }
    uint32_t Rgb(int x, int y) {
        player.Render(frame);
        return frame.At(x, y) & 0xFFFFFF;
    }
    // The ball's left edge on its row, -1 when not found.
    int BallLeft() {
        player.Render(frame);
        for (int x = 0; x < F::kWidth; ++x)
            if ((frame.At(x, F::kBallTop + F::kBallSize / 2) & 0xFFFFFF) == F::kBallRgb) return x;
        return -1;
    }
    void Click(int x, int y) {
        player.PointerMove(x, y);
        player.PointerDown(x, y);
        player.PointerUp(x, y);
    }
};

uint32_t Rgb(swf::Rgba c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

TEST(Avm2CardTest, TheDocumentClassBuildsTheCardAndMovesItEveryFrame) {
    Card card;
    EXPECT_EQ(card.Rgb(F::kTextLeft + F::kTextWidth - 2, F::kTextTop + F::kTextHeight - 2), F::kTextRgb);
    EXPECT_EQ(card.Rgb(F::kButtonLeft + 1, F::kButtonTop + 1), F::kButtonRgb);
    EXPECT_EQ(card.Rgb(F::kWidth - 1, F::kHeight - 1), Rgb(F::kFront));
    const int start = card.BallLeft();
    ASSERT_GE(start, 0);
    for (int i = 0; i < 3; ++i) card.player.Tick();
    EXPECT_EQ(card.BallLeft(), start + 3 * F::kBallStep);
    EXPECT_EQ(card.player.CurrentFrame(), 0) << "the document class stops on its first frame";
    // Played on, the timeline loops; what the script added stays.
    card.player.Play();
    for (int i = 0; i < 4; ++i) card.player.Tick();
    EXPECT_EQ(card.BallLeft(), start + 7 * F::kBallStep);
    for (const std::string& e : card.player.Errors()) ADD_FAILURE() << e;
}

TEST(Avm2CardTest, AClickOnADrawnSpriteReachesItsListener) {
    Card card;
    card.Click(F::kTextLeft + 5, F::kTextTop + 5);  // not the button
    card.Click(F::kButtonLeft - 2, F::kButtonTop + 5);
    card.player.Tick();
    EXPECT_EQ(card.player.CurrentFrame(), 0);
    EXPECT_FALSE(card.player.PointerOverButton());
    card.player.PointerMove(F::kButtonLeft + 5, F::kButtonTop + 5);
    EXPECT_TRUE(card.player.PointerOverButton()) << "a sprite in button mode shows the hand";
    card.Click(F::kButtonLeft + F::kButtonWidth / 2, F::kButtonTop + F::kButtonHeight / 2);
    EXPECT_EQ(card.player.CurrentFrame(), 1);
    EXPECT_EQ(card.Rgb(F::kWidth - 1, F::kHeight - 1), Rgb(F::kBack));
    EXPECT_EQ(card.Rgb(F::kButtonLeft + 1, F::kButtonTop + 1), F::kButtonRgb) << "script children stay";
    card.player.KeyDown('K', 'k');
    EXPECT_EQ(card.Rgb(F::kTextLeft + F::kTextWidth - 2, F::kTextTop + F::kTextHeight - 2), F::kTextKeyRgb);
}

}  // namespace
