// The player control with a movie that has sound: it plays on the clock
// whether or not the machine has an audio device (Wine here has none, and
// the control must stay silent about it), pause and seek stop its sounds,
// and the mute setting reads back.
#include <gtest/gtest.h>

#include "player/PlayerControl.h"
#include "tests/win/common/WinTestUtil.h"
#include "tests/win/player/PlayerTestUtil.h"

namespace {

// Any visible top-level window of this thread but the host: a message box.
BOOL CALLBACK FindOtherWindow(HWND hwnd, LPARAM lp) {
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(lp);
    if (hwnd != found->first && ::IsWindowVisible(hwnd)) {
        found->second = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND OtherThreadWindow(HWND host) {
    std::pair<HWND, HWND> found{host, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOtherWindow, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

TEST(SoundOutputTest, MovieWithSoundPlaysStopsAndMutes) {
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, 40, 40);
    player.SetMovie(playertest::MoviePath("sound_seed.swf").c_str());
    ASSERT_EQ(player.GetTotalFrames(), 3);
    PlayerControl* control = PlayerControl::FromWindow(player.m_hWnd);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->Engine().HasSound());
    EXPECT_GT(control->Engine().SoundsPlaying(), 0u);  // started on load, device or not
    ASSERT_TRUE(wintest::PollUntil([&] { return player.GetFrameNum() > 0; })) << "the movie did not play";
    EXPECT_EQ(OtherThreadWindow(host.Window()), nullptr) << "a machine without sound is not worth a message";

    player.Stop();
    EXPECT_EQ(control->Engine().SoundsPlaying(), 0u);
    player.Play();
    player.SetFrameNum(0);
    EXPECT_EQ(control->Engine().SoundsPlaying(), 0u);  // a seek plays nothing

    EXPECT_FALSE(player.GetMuted());
    player.SetMuted(true);
    EXPECT_TRUE(player.GetMuted());
    player.SetMuted(false);
    EXPECT_FALSE(player.GetMuted());
}

// Muted before any movie: the setting holds across loads.
TEST(SoundOutputTest, MuteHoldsAcrossMovies) {
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, 40, 40);
    player.SetMuted(true);
    player.SetMovie(playertest::MoviePath("sound_seed.swf").c_str());
    EXPECT_TRUE(player.GetMuted());
    player.SetMovie(playertest::MoviePath("frames100.swf").c_str());
    EXPECT_TRUE(player.GetMuted());
}

}  // namespace
