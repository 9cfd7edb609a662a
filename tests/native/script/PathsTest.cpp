// Clips as scripts reach them: target paths, slash and dot variables,
// clip references that find a re-created clip again, and timeline actions.
#include "ScriptTestUtil.h"

namespace {

using namespace scripttest;

struct Tree : Machine {
    Tree() {
        a = host.Add(1, "a");
        b = host.Add(a, "b");
        host.clips[a].labels["intro"] = 4;
    }
    ClipId a, b;
};

TEST(PathsTest, VariablesBySlashAndDotPaths) {
    const std::string cases[][2] = {
        {"push '/a/b:v', 1; setvariable; push '_root.a.b.v'; getvariable; trace", "1"},
        {"push 'a.b.w', 2; setvariable; push '/a/b:w'; getvariable; trace", "2"},
        {"push '_root'; getvariable; push 'a'; getmember; push 'b'; getmember; targetpath; trace", "_level0.a.b"},
        {"push 'a/b'; getvariable; push '_parent'; getmember; push '_name'; getmember; trace", "a"},
        {"push '/a/b'; getvariable; push '_name'; getmember; trace", "b"},
        {"push '/nothing'; getvariable; typeof; trace", "undefined"},
        {"push '_level0.a'; getvariable; push 'x', 7; setmember; push '/a:x'; getvariable; trace", "7"},
        {"push 'a/b', 0, 30; setproperty; push 'a/b', 0; getproperty; trace", "30"},
        {"push 'a'; getvariable; push '_x', 12; setmember; push 'a', 0; getproperty; trace", "12"},
    };
    for (const auto& c : cases) {
        Tree t;
        EXPECT_EQ(t.Run(c[0]), c[1]) << c[0];
    }
}

// After a slash a name runs to the next slash or colon; elsewhere a dot
// ends it too. A dot after a slash path reads a member of that clip. Read
// as a variable, a path names its variable after its last colon or dot,
// even one of "..", so "a/b/.." names nothing.
TEST(PathsTest, MixedSeparators) {
    const std::string cases[][2] = {
        {"push 'a.b.w', 2; setvariable; push 'a/b.w'; getvariable; trace", "2"},
        {"push 'a.b.w', 3; setvariable; push 'a.b:w'; getvariable; trace", "3"},
        {"push 'a.b.w', 4; setvariable; push 'a:b.w'; getvariable; trace", "4"},
        {"push 'a/b/..'; getvariable; typeof; trace", "undefined"},
        {"push 'a/b/..:b'; getvariable; push '_name'; getmember; trace", "b"},
        {"push 'a/::b'; getvariable; typeof; trace", "undefined"},
        {"push 'a//b'; getvariable; typeof; trace", "undefined"},
        {"push 'a.b.w', 5; setvariable; push 'a.b/:w'; getvariable; trace", "5"},
    };
    for (const auto& c : cases) {
        Tree t;
        EXPECT_EQ(t.Run(c[0]), c[1]) << c[0];
    }
}

// for (k in clip) lists its variables, newest first, then its named children.
TEST(PathsTest, ForInOverAClipListsItsChildren) {
    Tree t;
    t.host.Add(1, "c");
    const std::string forIn = R"(
        enumerate2
        next:
        storeregister 1; push null; equals2; if done
        push 'out', 'out'; getvariable; push r:1; add2; setvariable
        jump next
        done:
        push 'out'; getvariable; trace)";
    EXPECT_EQ(t.Run("push 'out', ''; setvariable; push 'a'; getvariable" + forIn), "b");
    EXPECT_EQ(t.Run("push 'a'; getvariable; push 'v', 1; setmember; push 'b', 2; setvariable; "
                    "push 'out', ''; setvariable; push '_root'; getvariable" + forIn), "boutca");
    EXPECT_EQ(t.Run("push 'c', 5; setvariable; push 'out', ''; setvariable; push '_root'; getvariable" + forIn),
              "cbouta");
}

TEST(PathsTest, ClipReferenceFindsTheRecreatedClip) {
    Tree t;
    t.Run("push 'keep'; push 'a'; getvariable; setvariable");
    t.host.Remove(t.b);
    t.host.Remove(t.a);
    t.vm.ClipRemoved(t.b);
    t.vm.ClipRemoved(t.a);
    EXPECT_EQ(t.Run("push 'keep'; getvariable; push '_name'; getmember; trace"), "undefined");
    EXPECT_EQ(t.Run("push '[', 'keep'; getvariable; add2; trace"), "[");  // a missing clip reads as ""
    t.host.Add(1, "a");
    EXPECT_EQ(t.Run("push 'keep'; getvariable; push '_name'; getmember; trace"), "a");
    // The new clip starts without the old one's variables.
    EXPECT_EQ(t.Run("push '/a:x'; getvariable; typeof; trace"), "undefined");
}

TEST(PathsTest, TimelineActionsGoToTheTarget) {
    const std::string cases[][2] = {
        {"settarget 'a'; gotoframe 3; settarget ''; gotoframe 1", "goto _level0.a 3|goto _level0 1"},
        {"settarget '/a'; gotolabel 'intro'; gotolabel 'none'", "goto _level0.a 4"},
        {"push 'a'; settarget2; push 'intro'; gotoframe2 play", "goto _level0.a 4 play"},
        {"push '/a:3'; gotoframe2 stop 2", "goto _level0.a 4"},
        {"push 2; gotoframe2 stop", "goto _level0 1"},
        {"settarget 'nowhere'; gotoframe 3; play", ""},
        {"geturl 'FSCommand:quit' 'x'; push 'http://a', '_blank'; geturl2 0", "url FSCommand:quit x|url http://a _blank"},
    };
    for (const auto& c : cases) {
        Tree t;
        t.Run(c[0]);
        EXPECT_EQ(Joined(t.host.log), c[1]) << c[0];
    }
}

TEST(PathsTest, CallRunsAnotherFramesActions) {
    Tree t;
    swf::ActionBlock block;
    swf::ActionRecord push, trace;
    push.code = 0x96;
    push.payload = {0, 'h', 'i', 0};
    trace.code = 0x26;
    block.records = {push, trace};
    t.host.frameActions[{t.a, 4}] = block;
    EXPECT_EQ(t.Run("settarget 'a'; push 'intro'; call; push 'intro'; call"), "hi|hi");
}

}  // namespace
