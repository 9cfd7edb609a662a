// The player control through CShockwaveFlash, as the main window uses it,
// on the movies tools/moviegen makes: frame count, seeking, play and stop,
// what it draws for each scale and alignment, and what a bad file does.
#include <gtest/gtest.h>

#include "player/PlayerControl.h"
#include "player/PlayerDispatch.h"
#include "tests/win/common/TestMovies.h"
#include "tests/win/common/WinTestUtil.h"
#include "tests/win/player/PlayerTestUtil.h"
#include "tools/moviegen/TestMovies.h"

using moviegen::Frames100Facts;
using moviegen::PatternFacts;
using playertest::PixelAt;
using playertest::ToColorRef;

namespace {

constexpr long kNoScale = 3;
constexpr long kAlignLeft = 1;
constexpr int kFramesToSee = 5;

// Frame index n (0-based, as FrameNum counts) shows a bar up to (n + 1) * step.
int BarEnd(int frameIndex) { return (frameIndex + 1) * Frames100Facts::kBarStep; }
constexpr int kBarRow = Frames100Facts::kBarTop + Frames100Facts::kBarHeight / 2;

TEST(PlayerOperationsTest, FrameCountSeekAndReadBackOnFrames100) {
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, Frames100Facts::kWidth, Frames100Facts::kHeight);
    player.SetMovie(playertest::MoviePath("frames100.swf").c_str());
    ASSERT_EQ(player.GetTotalFrames(), Frames100Facts::kFrames) << playertest::MoviePath("frames100.swf");
    player.Stop();
    player.SetFrameNum(42);
    EXPECT_EQ(player.GetFrameNum(), 42);
    // The picture follows the frame number.
    EXPECT_EQ(PixelAt(player, BarEnd(42) - 3, kBarRow), ToColorRef(Frames100Facts::kBar));
    EXPECT_EQ(PixelAt(player, BarEnd(42) + 3, kBarRow), ToColorRef(Frames100Facts::kBackground));
    player.SetFrameNum(7);
    EXPECT_EQ(player.GetFrameNum(), 7);
    EXPECT_EQ(PixelAt(player, BarEnd(42) - 3, kBarRow), ToColorRef(Frames100Facts::kBackground));
    // Out of range: the nearest frame.
    player.SetFrameNum(500);
    EXPECT_EQ(player.GetFrameNum(), Frames100Facts::kFrames - 1);
    player.SetFrameNum(-3);
    EXPECT_EQ(player.GetFrameNum(), 0);
}

// The second player keeps playing as the clock of the test: once it has
// moved on a few frames, the stopped one must not have moved at all.
TEST(PlayerOperationsTest, StopHoldsTheFramePlayMovesItOnWithTime) {
    playertest::PlayerHost host;
    CShockwaveFlash& stopped = host.AddPlayer(0, 0, 275, 200);
    CShockwaveFlash& reference = host.AddPlayer(300, 0, 275, 200);
    std::string movie = playertest::MoviePath("frames100.swf");
    stopped.SetMovie(movie.c_str());
    reference.SetMovie(movie.c_str());
    ASSERT_EQ(stopped.GetTotalFrames(), Frames100Facts::kFrames);
    stopped.Stop();
    stopped.SetFrameNum(10);
    reference.SetFrameNum(0);
    reference.Play();
    ASSERT_TRUE(wintest::PollUntil([&] { return reference.GetFrameNum() >= kFramesToSee; }))
        << "a playing movie did not advance";
    EXPECT_EQ(stopped.GetFrameNum(), 10);
    stopped.Play();
    EXPECT_TRUE(wintest::PollUntil([&] { return stopped.GetFrameNum() >= 10 + kFramesToSee; }));
    // A seek keeps playing from the new frame.
    stopped.SetFrameNum(60);
    EXPECT_TRUE(wintest::PollUntil([&] { return stopped.GetFrameNum() > 60; }));
}

TEST(PlayerOperationsTest, MissingOrDamagedMovieLeavesTheControlHarmless) {
    wintest::TempFolder folder;
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, 200, 100);
    player.SetMovie(playertest::MoviePath("frames100.swf").c_str());
    ASSERT_EQ(player.GetTotalFrames(), Frames100Facts::kFrames);

    // A missing file empties the player, and every operation stays safe.
    player.SetMovie(folder.File("missing.swf").c_str());
    EXPECT_EQ(player.GetTotalFrames(), 0);
    player.SetFrameNum(5);
    player.Play();
    player.Stop();
    player.SetScaleMode(kNoScale);
    player.LoadMovie(0, folder.File("also-missing.swf").c_str());
    EXPECT_EQ(player.GetFrameNum(), 0);
    EXPECT_EQ(PixelAt(player, 50, 50), ::GetSysColor(COLOR_WINDOW));

    // Not a movie at all, and a movie cut off half way: no crash, the cut
    // one plays what it has.
    std::vector<uint8_t> movie = wintest::FramesMovie(50, 30);
    ASSERT_TRUE(wintest::WriteBytes(folder.File("garbage.swf"), std::vector<uint8_t>(300, 0xA5)));
    ASSERT_TRUE(wintest::WriteBytes(folder.File("cut.swf"),
                                    std::vector<uint8_t>(movie.begin(), movie.begin() + movie.size() / 2)));
    player.SetMovie(folder.File("garbage.swf").c_str());
    EXPECT_EQ(player.GetTotalFrames(), 0);
    player.SetMovie(folder.File("cut.swf").c_str());
    player.Play();
    ::UpdateWindow(player);
    EXPECT_TRUE(wintest::PollUntil([&] { return player.GetFrameNum() > 0 || player.GetTotalFrames() <= 1; }));
    EXPECT_TRUE(::IsWindow(player));
    // Only the base layer exists: another layer's load changes nothing.
    player.SetMovie(playertest::MoviePath("frames100.swf").c_str());
    player.LoadMovie(1, folder.File("missing.swf").c_str());
    EXPECT_EQ(player.GetTotalFrames(), Frames100Facts::kFrames);
}

// pattern.swf in a control wider than its stage: points 60 px in and 25 px
// past the stage's right edge tell left alignment from centring.
TEST(PlayerOperationsTest, NoScaleAlignLeftDrawsTheMovieUnscaledAtTheLeft) {
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, 700, PatternFacts::kHeight);
    player.SetMovie(playertest::MoviePath("pattern.swf").c_str());
    ASSERT_EQ(player.GetTotalFrames(), PatternFacts::kFrames);
    player.SetAlignMode(kAlignLeft);
    player.SetScaleMode(kNoScale);
    EXPECT_EQ(PixelAt(player, 60, 100), ToColorRef(PatternFacts::kTopLeft));
    EXPECT_EQ(PixelAt(player, 270, 100), ToColorRef(PatternFacts::kTopLeft));
    EXPECT_EQ(PixelAt(player, 280, 100), ToColorRef(PatternFacts::kTopRight));
    EXPECT_EQ(PixelAt(player, 545, 395), ToColorRef(PatternFacts::kBottomRight));
    EXPECT_EQ(PixelAt(player, 275, 200), ToColorRef(PatternFacts::kSquare));
    EXPECT_NE(PixelAt(player, 575, 100), ToColorRef(PatternFacts::kTopRight));
}

// 275 x 200 is half the stage: "ShowAll" halves the picture, so the square
// spans 112..162 x 75..125; unscaled and centred it would cover (100, 60).
TEST(PlayerOperationsTest, DefaultShowAllScalesToFitAndFollowsResizing) {
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, PatternFacts::kWidth, PatternFacts::kHeight);
    player.SetMovie(playertest::MoviePath("pattern.swf").c_str());
    ASSERT_EQ(player.GetTotalFrames(), PatternFacts::kFrames);
    player.Stop();
    EXPECT_EQ(PixelAt(player, 170, 80), ToColorRef(PatternFacts::kTopLeft));
    player.SetWindowPos(nullptr, 0, 0, 275, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(PixelAt(player, 100, 60), ToColorRef(PatternFacts::kTopLeft));
    EXPECT_EQ(PixelAt(player, 170, 80), ToColorRef(PatternFacts::kTopRight));
    EXPECT_EQ(PixelAt(player, 137, 100), ToColorRef(PatternFacts::kSquare));
    EXPECT_EQ(PixelAt(player, 270, 195), ToColorRef(PatternFacts::kBottomRight));
    EXPECT_EQ(PixelAt(player, 5, 195), ToColorRef(PatternFacts::kBottomLeft));
    EXPECT_EQ(playertest::PrintedPixelAt(player, 170, 80), ToColorRef(PatternFacts::kTopRight));
}

TEST(PlayerOperationsTest, FsCommandReachesTheParentWithBothStrings) {
    wintest::TempFolder folder;
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, 200, 100);
    ASSERT_TRUE(wintest::WriteBytes(folder.File("commands.swf"),
                                    wintest::FsCommandMovie({{"action", "capture"}, {"say", "two words"}})));
    player.SetMovie(folder.File("commands.swf").c_str());
    ASSERT_TRUE(wintest::PollUntil([&] { return host.Events().size() >= 2; })) << "no FSCommand came";
    const auto& events = host.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].ctrlId, static_cast<UINT>(player.GetDlgCtrlID()));
    EXPECT_EQ(events[0].dispid, kDispIdFsCommand);
    EXPECT_EQ(events[0].strings, (std::vector<std::string>{"action", "capture"}));
    EXPECT_EQ(events[1].strings, (std::vector<std::string>{"say", "two words"}));
}

}  // namespace

// text.swf: a field in "_sans" drawn with the system's fonts through GDI
// puts dark pixels inside its box and none outside it.
TEST(PlayerOperationsTest, SansFieldDrawsDarkPixelsInsideItsBoxOnly) {
    using F = moviegen::TextFieldFacts;
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, F::kWidth, F::kHeight);
    player.SetMovie(playertest::MoviePath("text.swf").c_str());
    player.SetAlignMode(kAlignLeft);
    player.SetScaleMode(kNoScale);
    ::UpdateWindow(player);
    HDC dc = ::GetDC(player);
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, F::kWidth, F::kHeight);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, F::kWidth, F::kHeight, dc, 0, 0, SRCCOPY);
    int inside = 0, outside = 0;
    for (int y = 0; y < F::kHeight; y += 1)
        for (int x = 0; x < F::kWidth; x += 1) {
            const COLORREF c = ::GetPixel(memory, x, y);
            const bool dark = GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
            const bool in = x >= F::kLeft && x < F::kLeft + F::kBoxWidth && y >= F::kTop && y < F::kTop + F::kBoxHeight;
            (in ? inside : outside) += dark ? 1 : 0;
        }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(player, dc);
    EXPECT_GT(inside, 200);
    EXPECT_EQ(outside, 0);
}
