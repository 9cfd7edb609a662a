// The player control with a movie that has sound: it plays on the clock
// whether or not the machine has an audio device (Wine here has none, and
// the control must stay silent about it), pause and seek stop its sounds,
// and the mute setting reads back.
#include <gtest/gtest.h>

#include "player/PlayerControl.h"
#include "tests/win/common/WinTestUtil.h"
#include "tests/win/player/PlayerTestUtil.h"

namespace {

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

}  // namespace
