// Runtime objects: broadcasters, Key, Mouse, Stage, System, Sound and
// SharedObject.
#include "ScriptTestUtil.h"
#include "swf/avm1/Runtime.h"

namespace {

using namespace scripttest;

TEST(RuntimeTest, ListenersHearBroadcastsOnceEachInOrder) {
    Machine m;
    m.Run(R"(
        push 'a', 'onKeyDown'
        definefunction - () aend
          push 'a'; trace
        aend:
        push 1; initobject; setvariable
        push 'b', 'onKeyDown'
        definefunction - () bend
          push 'b'; trace
          push 'b'; getvariable; push 1, 'Key'; getvariable; push 'removeListener'; callmethod; pop
        bend:
        push 1; initobject; setvariable
        push 'a'; getvariable; push 1, 'Key'; getvariable; push 'addListener'; callmethod; pop
        push 'b'; getvariable; push 1, 'Key'; getvariable; push 'addListener'; callmethod; pop
        push 'a'; getvariable; push 1, 'Key'; getvariable; push 'addListener'; callmethod; pop)");
    m.vm.BeginHostCall();
    swf::avm1::Broadcast(m.vm, "Key", "onKeyDown");
    swf::avm1::Broadcast(m.vm, "Key", "onKeyDown");
    EXPECT_EQ(Joined(m.host.traces), "b|a|a");
    // A broadcaster made by script carries its arguments.
    EXPECT_EQ(m.Run(R"(
        push 'o', 0; initobject; setvariable
        push 'o'; getvariable; push 1, 'AsBroadcaster'; getvariable; push 'initialize'; callmethod; pop
        push 'l', 'm'
        definefunction - (x, y) lend
          push 'x'; getvariable; push 'y'; getvariable; add2; trace
        lend:
        push 1; initobject; setvariable
        push 'l'; getvariable; push 1, 'o'; getvariable; push 'addListener'; callmethod; pop
        push 4, 3, 'm', 3, 'o'; getvariable; push 'broadcastMessage'; callmethod; trace)"), "7|true");
}

TEST(RuntimeTest, KeyReportsWhatThePlayerFedIn) {
    Machine m;
    m.vm.Runtime().keys.Down(65, 'a');
    m.vm.Runtime().keys.Down(20, 0);
    EXPECT_EQ(m.Run(R"(
        push 65, 1, 'Key'; getvariable; push 'isDown'; callmethod; trace
        push 66, 1, 'Key'; getvariable; push 'isDown'; callmethod; trace
        push 0, 'Key'; getvariable; push 'getCode'; callmethod; trace
        push 0, 'Key'; getvariable; push 'getAscii'; callmethod; trace
        push 'Key'; getvariable; push 'CAPSLOCK'; getmember; push 1, 'Key'; getvariable; push 'isToggled'; callmethod; trace
        push 'Key'; getvariable; push 'LEFT'; getmember; trace)"),
              "true|false|20|0|true|37");
}

TEST(RuntimeTest, StageMouseSystemSoundAndSharedObjects) {
    Machine m;
    EXPECT_EQ(m.Run(R"(
        push 'Stage'; getvariable; push 'scaleMode'; getmember; trace
        push 'Stage'; getvariable; push 'width', 5; setmember
        push 'Stage'; getvariable; push 'width'; getmember; trace
        push 0, 'Mouse'; getvariable; push 'hide'; callmethod; trace
        push 0, 'Mouse'; getvariable; push 'hide'; callmethod; trace
        push 'System'; getvariable; push 'capabilities'; getmember; push 'screenResolutionX'; getmember; trace
        push 's', 0, 'Sound'; newobject; setvariable
        push 40, 1, 's'; getvariable; push 'setVolume'; callmethod; pop
        push 0, 's'; getvariable; push 'getVolume'; callmethod; trace
        push 0, 's'; getvariable; push 'start'; callmethod; trace)"),
              "showAll|0|1|0|1536|40|undefined");
    EXPECT_TRUE(m.vm.Runtime().mouseHidden);
    // The same name gives the same object, data and all; bad names give null.
    EXPECT_EQ(m.Run(R"(
        push 'hi', 1, 'SharedObject'; getvariable; push 'getLocal'; callmethod; push 'data'; getmember
        push 'score', 9; setmember
        push 'hi', 1, 'SharedObject'; getvariable; push 'getLocal'; callmethod; push 'data'; getmember
        push 'score'; getmember; trace
        push 'a b~', 1, 'SharedObject'; getvariable; push 'getLocal'; callmethod; trace)"),
              "9|null");
}

}  // namespace
