// Movies in by every door and looked at frame by frame: a movie named on
// the command line or dropped on the window opens as "1. Open SWF" opens
// it; Left, Right, Home and End step the paused movie with the slider
// following; a capture holds the whole frame even half off the screen.
#include <gtest/gtest.h>

#include "app/res/resource.h"
#include "tests/win/e2e/PictaroSession.h"
#include "tests/win/e2e/ScreenPixels.h"
#include "tests/win/e2e/UserActions.h"
#include "tools/moviegen/Movies.h"

namespace e2e {
namespace {

constexpr DWORD kPausedMs = 600;  // many frames of a 24 fps movie

class CommandLine : public PictaroSession {
protected:
    std::string Arguments() const override { return "\"" + m_files.File("sample.swf") + "\""; }
    std::string StartCaption() const override { return "Ready to print" + m_files.File("sample.swf"); }
};

TEST_F(CommandLine, NamedMovieOpensAtStartUpSizedAndCaptioned) {
    EXPECT_EQ(Caption(), "Ready to print" + m_sample);
    RECT player = ControlRect(IDC_PLAYER);
    EXPECT_EQ(player.right - player.left, kStageWidth);
    EXPECT_EQ(player.bottom - player.top, kStageHeight);
    EXPECT_TRUE(::IsWindowVisible(Control(IDC_SEEK_SLIDER)));
    EXPECT_TRUE(WaitForMoviePicture()) << "the named movie does not show";
    EXPECT_TRUE(CloseWithCloseBox());
}

class MovieDoors : public PictaroSession {
protected:
    // The player's and the slider's pixels once they stop changing.
    bool Settled(Pixels* player, Pixels* slider) {
        Pixels lastPlayer, lastSlider;
        return wintest::PollUntil([&] {
            ::Sleep(kPausedMs);
            bool read = GrabScreen(Control(IDC_PLAYER), player) && GrabScreen(Control(IDC_SEEK_SLIDER), slider);
            bool same = read && *player == lastPlayer && *slider == lastSlider;
            lastPlayer = *player;
            lastSlider = *slider;
            return same;
        });
    }
    // frames100.swf: a bar as long as the frame number and no sprite, so
    // nothing moves while the movie is paused (the sample's flower would).
    std::string StillMovie() {
        std::string path = m_files.File("frames100.swf");
        EXPECT_TRUE(wintest::WriteBytes(path, moviegen::Frames100Movie().Write(true)));
        return path;
    }
};

TEST_F(MovieDoors, DroppedMovieOpensTheFirstOfSeveralFiles) {
    std::string other = m_files.File("notes.txt");
    ASSERT_TRUE(wintest::WriteBytes(other, {'n', 'o'}));
    ASSERT_TRUE(DropFiles(m_app.Handle(), m_main, {m_sample, other}));
    EXPECT_TRUE(WaitForCaption("Ready to print" + m_sample)) << "caption after the drop: " << Caption();
    RECT player = ControlRect(IDC_PLAYER);
    EXPECT_EQ(player.right - player.left, kStageWidth);
    EXPECT_TRUE(WaitForMoviePicture()) << "the dropped movie does not show";

    // A missing file says what "1. Open SWF" says of it.
    ASSERT_TRUE(DropFiles(m_app.Handle(), m_main, {m_files.File("gone.swf")}));
    HWND box = m_app.WaitForWindow("pictaro");
    ASSERT_NE(box, nullptr) << "no message for a dropped file that is not there";
    EXPECT_EQ(DialogText(box), "Can not find SWF:" + m_files.File("gone.swf"));
    PressButton(box, IDOK);
    EXPECT_TRUE(CloseWithCloseBox());
}

TEST_F(MovieDoors, ArrowKeysStepThePausedMovieAndTheSliderFollows) {
    ASSERT_TRUE(OpenThroughToolbar(StillMovie()));
    ASSERT_TRUE(WaitForMoviePicture());
    Pixels first, firstSlider;
    PressKey(m_main, VK_HOME);
    ASSERT_TRUE(Settled(&first, &firstSlider)) << "Home did not leave the movie paused";

    PressKey(m_main, VK_RIGHT);
    Pixels second, secondSlider;
    ASSERT_TRUE(Settled(&second, &secondSlider)) << "Right did not leave the movie paused";
    EXPECT_FALSE(second == first) << "Right did not step to another frame";
    PressKey(m_main, VK_LEFT);
    Pixels back, backSlider;
    ASSERT_TRUE(Settled(&back, &backSlider));
    EXPECT_EQ(back, first) << "Left did not step back to the first frame";

    PressKey(m_main, VK_END);
    Pixels last, lastSlider;
    ASSERT_TRUE(Settled(&last, &lastSlider));
    EXPECT_FALSE(last == first);
    EXPECT_FALSE(lastSlider == firstSlider) << "the slider did not follow End";
    PressKey(m_main, VK_HOME);
    Pixels home, homeSlider;
    ASSERT_TRUE(Settled(&home, &homeSlider));
    EXPECT_EQ(home, first);
    EXPECT_EQ(homeSlider, firstSlider) << "the slider did not follow Home";
    EXPECT_TRUE(CloseWithCloseBox());
}

TEST_F(MovieDoors, CaptureHalfOffTheScreenHoldsTheWholeFrame) {
    ASSERT_TRUE(OpenThroughToolbar(StillMovie()));
    ASSERT_TRUE(WaitForMoviePicture());
    PressKey(m_main, VK_HOME);  // paused: both captures are of one frame
    Pixels player, slider;
    ASSERT_TRUE(Settled(&player, &slider));
    ASSERT_TRUE(CaptureWithF2(1));

    RECT window = {};
    ASSERT_TRUE(::GetWindowRect(m_main, &window));
    const int halfOff = -(window.right - window.left) / 2;
    ASSERT_TRUE(::SetWindowPos(m_main, nullptr, halfOff, window.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    ASSERT_TRUE(CaptureWithF2(1));
    ::SetWindowPos(m_main, nullptr, window.left, window.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    ASSERT_TRUE(WaitForCaptureFiles(2));
    ImageFile onScreen = ReadImageFile(CaptureFile(0));
    ImageFile halfOffScreen = ReadImageFile(CaptureFile(1));
    EXPECT_EQ(halfOffScreen.samples, onScreen.samples) << "the capture half off the screen lost pixels";
    EXPECT_TRUE(CloseWithCloseBox(true));
}

}  // namespace
}  // namespace e2e
