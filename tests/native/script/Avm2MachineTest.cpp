// The ActionScript 3 machine on blocks built in code: what scripts print,
// errors caught and uncaught, the verifier's refusals, the step budget, and
// hostile bytes (refused with a message, never a crash).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Avm2TestUtil.h"
#include "swf/Player.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

using namespace avm2test;
using namespace swfmake::abcop;

TEST(Avm2MachineTest, ScriptsPrintWhatTheReferencePrints) {
    struct Case {
        const char* what;
        std::function<void(AbcWriter&, Code&)> body;
        const char* traced;
    } cases[] = {
        {"int sum", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] { AbcWriter::Op(c, kPushByte, {2}); AbcWriter::Op(c, kPushByte, {3}); AbcWriter::Op(c, kAdd); });
         }, "5"},
        {"string and number", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] { AbcWriter::Op(c, kPushString, {w.String("a")}); AbcWriter::Op(c, kPushByte, {1}); AbcWriter::Op(c, kAdd); });
         }, "a1"},
        {"division to a fraction", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] { AbcWriter::Op(c, kPushByte, {1}); AbcWriter::Op(c, kPushByte, {4}); AbcWriter::Op(c, kDivide); });
         }, "0.25"},
        {"division by zero", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] { AbcWriter::Op(c, kPushByte, {1}); AbcWriter::Op(c, kPushByte, {0}); AbcWriter::Op(c, kDivide); });
         }, "Infinity"},
        // Strings are UTF-16 to scripts: an emoji is two units.
        {"length in units", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kPushString, {w.String("a\xF0\x9F\x98\x8B")});
                 AbcWriter::Op(c, kGetProperty, {w.QName("length")});
             });
         }, "3"},
        {"charCodeAt of a surrogate", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kPushString, {w.String("\xF0\x9F\x98\x8B")});
                 AbcWriter::Op(c, kPushByte, {0});
                 AbcWriter::Op(c, kCallProperty, {w.QName("charCodeAt"), 1});
             });
         }, "55357"},
        {"localeCompare is the units' difference", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kPushString, {w.String("aaaaaa")});
                 AbcWriter::Op(c, kPushString, {w.String("aaaazz")});
                 AbcWriter::Op(c, kCallProperty, {w.QName("localeCompare"), 1});
             });
         }, "-25"},
        {"substr keeps a pair whole", [](AbcWriter& w, Code& c) {
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kPushString, {w.String("x\xF0\x9F\x98\x8By")});
                 AbcWriter::Op(c, kPushByte, {1});
                 AbcWriter::Op(c, kPushByte, {2});
                 AbcWriter::Op(c, kCallProperty, {w.QName("substr"), 2});
             });
         }, "\xF0\x9F\x98\x8B"},
    };
    for (const Case& k : cases) {
        Outcome r = RunAbc(Script(k.body));
        EXPECT_TRUE(r.loaded) << k.what << ": " << r.error;
        EXPECT_EQ(r.traced, k.traced) << k.what;
        EXPECT_EQ(r.reported, "") << k.what;
    }
}

TEST(Avm2MachineTest, ThrownValuesAreCaughtOrReported) {
    Outcome uncaught = RunAbc(Script([](AbcWriter& w, Code& c) {
        AbcWriter::Op(c, kPushString, {w.String("boom")});
        AbcWriter::Op(c, kThrow);
    }));
    EXPECT_EQ(uncaught.reported, "Uncaught boom");

    // try { throw "boom" } catch (e) { trace("caught " + e) }
    AbcWriter w;
    Code c;
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    const uint32_t from = uint32_t(c.size());
    AbcWriter::Op(c, kPushString, {w.String("boom")});
    AbcWriter::Op(c, kThrow);
    const uint32_t to = uint32_t(c.size());
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    AbcWriter::Op(c, kSetLocal1);
    Trace(w, c, [&] {
        AbcWriter::Op(c, kPushString, {w.String("caught ")});
        AbcWriter::Op(c, kGetLocal1);
        AbcWriter::Op(c, kAdd);
    });
    AbcWriter::Op(c, kReturnVoid);
    w.Script(w.Method(0, 8, 2, 2, c, {{from, to, to}}));
    Outcome caught = RunAbc(w.Bytes());
    EXPECT_EQ(caught.traced, "caught boom");
    EXPECT_EQ(caught.reported, "");
}

TEST(Avm2MachineTest, BadBodiesAreRefusedByTheVerifier) {
    struct Case {
        const char* what;
        std::function<void(AbcWriter&, Code&)> body;
    } cases[] = {
        {"stack underflow", [](AbcWriter&, Code& c) { AbcWriter::Op(c, kPop); }},
        {"branch past the end", [](AbcWriter&, Code& c) { c.insert(c.end(), {kJump, 100, 0, 0}); }},
        {"branch into an operand", [](AbcWriter&, Code& c) { c.insert(c.end(), {kJump, 0xfd, 0xff, 0xff}); }},
        {"unknown opcode", [](AbcWriter&, Code& c) { c.push_back(0xff); }},
        {"falls off the end", [](AbcWriter&, Code& c) { AbcWriter::Op(c, kPushByte, {1}); c.push_back(kJump); }},
    };
    for (const Case& k : cases) {
        Outcome r = RunAbc(Script(k.body));
        EXPECT_NE(r.reported.find("VerifyError"), std::string::npos) << k.what << ": " << r.reported << r.error;
        EXPECT_EQ(r.traced, "") << k.what;
    }
}

TEST(Avm2MachineTest, EndlessLoopStopsAtTheStepBudget) {
    Outcome r = RunAbc(Script([](AbcWriter&, Code& c) {
                       AbcWriter::Op(c, kLabel);
                       c.insert(c.end(), {kJump, 0xfc, 0xff, 0xff});  // back to the label
                   }),
                   100000);
    EXPECT_NE(r.reported.find("Script stopped"), std::string::npos) << r.reported;
}

// A collection in the middle of a method must keep what only its registers
// hold: here an object in local 1 while a doubling string in local 3 forces
// collections on the loop's backward branch.
TEST(Avm2MachineTest, ObjectsHeldOnlyByARunningMethodSurviveCollections) {
    AbcWriter w;
    Code c;
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    AbcWriter::Op(c, kPushString, {w.String("kept")});
    AbcWriter::Op(c, kPushString, {w.String("yes")});
    AbcWriter::Op(c, kNewObject, {1});
    AbcWriter::Op(c, kSetLocal1);
    AbcWriter::Op(c, kPushByte, {0});
    AbcWriter::Op(c, kSetLocal2);
    AbcWriter::Op(c, kPushString, {w.String("ab")});
    AbcWriter::Op(c, kSetLocal3);
    const size_t loop = c.size();
    AbcWriter::Op(c, kLabel);
    AbcWriter::Op(c, kGetLocal3);
    AbcWriter::Op(c, kGetLocal3);
    AbcWriter::Op(c, kAdd);
    AbcWriter::Op(c, kSetLocal3);
    AbcWriter::Op(c, kIncLocalI, {2});
    AbcWriter::Op(c, kGetLocal2);
    AbcWriter::Op(c, kPushByte, {22});  // 8 MB at the end, 16 MB made in all
    c.push_back(kIfLt);
    const int32_t back = int32_t(loop) - int32_t(c.size() + 3);
    c.insert(c.end(), {uint8_t(back), uint8_t(back >> 8), uint8_t(back >> 16)});
    Trace(w, c, [&] {
        AbcWriter::Op(c, kGetLocal1);
        AbcWriter::Op(c, kGetProperty, {w.QName("kept")});
    });
    AbcWriter::Op(c, kReturnVoid);
    w.Script(w.Method(0, 8, 4, 2, c));
    Outcome r = RunAbc(w.Bytes());
    EXPECT_TRUE(r.loaded) << r.error;
    EXPECT_EQ(r.traced, "yes") << r.reported;
}

// A catch inside a loop: the traits the machine holds after `rounds` throws.
size_t TraitsAfterCatchesInALoop(int rounds) {
    constexpr uint8_t kNewCatch = 0x5A;
    AbcWriter w;
    Code c;
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    AbcWriter::Op(c, kPushByte, {0});
    AbcWriter::Op(c, kSetLocal1);
    const size_t loop = c.size();
    AbcWriter::Op(c, kLabel);
    const uint32_t from = uint32_t(c.size());
    AbcWriter::Op(c, kPushByte, {1});
    AbcWriter::Op(c, kThrow);
    const uint32_t to = uint32_t(c.size());
    AbcWriter::Op(c, kPop);  // the thrown value
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    AbcWriter::Op(c, kNewCatch, {0});
    AbcWriter::Op(c, kPop);
    AbcWriter::Op(c, kIncLocalI, {1});
    AbcWriter::Op(c, kGetLocal1);
    AbcWriter::Op(c, kPushByte, {uint32_t(rounds)});
    c.push_back(kIfLt);
    const int32_t back = int32_t(loop) - int32_t(c.size() + 3);
    c.insert(c.end(), {uint8_t(back), uint8_t(back >> 8), uint8_t(back >> 16)});
    AbcWriter::Op(c, kReturnVoid);
    AbcWriter::Exception any{from, to, to};
    any.var = w.QName("e");
    w.Script(w.Method(0, 4, 2, 3, c, {any}));
    const std::vector<uint8_t> abc = w.Bytes();
    swf::avm2::Machine m;
    std::string error;
    EXPECT_TRUE(m.LoadAbc(abc.data(), abc.size(), true, &error)) << error;
    return m.traitsStore.size();
}

TEST(Avm2MachineTest, ACatchInALoopDoesNotGrowTheMachine) {
    EXPECT_EQ(TraitsAfterCatchesInALoop(100), TraitsAfterCatchesInALoop(1));
}

TEST(Avm2MachineTest, HostileBlocksAreRefusedWithoutCrashing) {
    const std::vector<uint8_t> good = Script([](AbcWriter& w, Code& c) {
        Trace(w, c, [&] { AbcWriter::Op(c, kPushString, {w.String("fine")}); });
    });
    ASSERT_EQ(RunAbc(good).traced, "fine");
    // Every cut of the block, and every byte set to 0xff in turn.
    for (size_t n = 0; n < good.size(); ++n) {
        Outcome r = RunAbc(std::vector<uint8_t>(good.begin(), good.begin() + n));
        EXPECT_EQ(r.traced, "") << "cut at " << n;
        if (!r.loaded) EXPECT_FALSE(r.error.empty()) << "cut at " << n;
    }
    for (size_t i = 0; i < good.size(); ++i) {
        std::vector<uint8_t> bad = good;
        bad[i] = 0xff;
        RunAbc(bad);
    }
}

TEST(Avm2MachineTest, PlayerRunsTheFirstFramesBlockAndTracesToTheHost) {
    const std::vector<uint8_t> abc = Script([](AbcWriter& w, Code& c) {
        Trace(w, c, [&] { AbcWriter::Op(c, kPushString, {w.String("from abc")}); });
    });
    swfmake::SwfWriter movie(10, swf::Rect{0, 0, 2000, 2000}, 24);
    movie.Tags().Raw(82, swfmake::DoAbcBody(abc, false, "frame1"), true);
    movie.Tags().Raw(82, swfmake::DoAbcBody(abc, true, "lazy"), true);  // defines only
    movie.Tags().ShowFrame();
    movie.Tags().Raw(82, swfmake::DoAbcBody({1, 2, 3}, false, "broken"), true);  // a later frame: kept, not run
    movie.Tags().ShowFrame();
    swf::Player p;
    std::string traced;
    p.SetTraceHandler([&](const std::string& s) { traced += s; });
    ASSERT_TRUE(p.LoadBytes(movie.Write(false)));
    EXPECT_EQ(traced, "from abc");
    p.Tick();
    p.Tick();
    EXPECT_EQ(traced, "from abc");
}

}  // namespace
