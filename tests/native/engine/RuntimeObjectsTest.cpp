// Runtime objects in a playing movie: Key follows the keys the player is
// given, Stage reports the movie's size.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

TEST(RuntimeObjectsTest, KeyAndStageSeeThePlayersInput) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DoAction(Asm(Lines({Trace(Var("Stage.width")), Trace(Var("Stage.height"))})));
    t.ShowFrame();
    t.DoAction(Asm(Lines({Trace(CallM(Var("Key"), "isDown", {Num(65)})), Trace(CallM(Var("Key"), "getAscii"))})));
    t.ShowFrame();
    ScriptedMovie r(w);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Take(), std::to_string(kStage.Width() / 20) + "|" + std::to_string(kStage.Height() / 20));
    r.player.KeyDown('A', 'a');
    r.player.Tick();
    EXPECT_EQ(r.log.Take(), "true|97");
    // Losing the focus lets every key go (the movie loops back to frame 0
    // on the way).
    r.player.Focus(false);
    r.player.Tick();
    r.player.Tick();
    EXPECT_EQ(r.log.Take(), "200|150|false|97");
}

}  // namespace
