// Decoding of damaged blocks and the limits that keep any script from
// hanging the player or claiming unbounded memory.
#include "ScriptTestUtil.h"

namespace {

using namespace scripttest;
namespace avm1 = swf::avm1;

TEST(LimitsTest, DecoderResolvesBranchesAndRejectsBadTargets) {
    // push true; if +1 (into the middle of the next record); trace
    std::vector<uint8_t> bad = {0x96, 2, 0, 5, 1, 0x9D, 2, 0, 1, 0, 0x96, 3, 0, 0, 'x', 0, 0x26};
    avm1::Program p = avm1::Decode(bad.data(), bad.size());
    ASSERT_EQ(p.code.size(), 4u);
    EXPECT_EQ(p.code[1].target, avm1::kBadTarget);

    std::vector<uint8_t> good = swfmake::Assemble("push true; if skip; push 'x'; trace; skip: push 'y'; trace");
    p = avm1::Decode(good.data(), good.size());
    ASSERT_EQ(p.code.size(), 6u);
    EXPECT_EQ(p.code[1].target, 4u);

    // A record longer than the block ends it; what came before stays.
    std::vector<uint8_t> cut = {0x07, 0x96, 40, 0, 0};
    std::vector<std::string> errors;
    p = avm1::Decode(cut.data(), cut.size(), &errors);
    EXPECT_EQ(p.code.size(), 1u);
    EXPECT_EQ(errors.size(), 1u);
}

TEST(LimitsTest, BadBranchTargetEndsTheBlockCleanly) {
    std::vector<uint8_t> bad = {0x96, 2, 0, 5, 1, 0x9D, 2, 0, 1, 0, 0x96, 3, 0, 0, 'x', 0, 0x26};
    Machine m;
    auto prog = std::make_shared<const avm1::Program>(avm1::Decode(bad.data(), bad.size()));
    m.vm.RunProgram(prog, 1);
    EXPECT_TRUE(m.host.traces.empty());
    EXPECT_EQ(m.Run("push 'then'; trace"), "then");
}

TEST(LimitsTest, EndlessLoopStopsAtTheBudgetAndTheMovieGoesOn) {
    Machine m;
    m.vm.SetBudget(100000);
    EXPECT_EQ(m.Run("push 'a'; trace; top: jump top"), "a");
    ASSERT_FALSE(m.vm.Errors().empty());
    EXPECT_NE(m.vm.Errors().back().find("budget"), std::string::npos);
    EXPECT_EQ(m.Run("push 'b'; trace"), "b");
}

TEST(LimitsTest, LoopsThatAllocateDoNotGrowTheHeap) {
    // Each iteration makes an object, an array and a closure and calls it.
    const char* loop = R"(
        push 'i', 0; setvariable
        top:
        push 'i'; getvariable; push %d; less2; not; if done
        push 'o', 'k', 1, 1; initobject; setvariable
        push 1, 2, 2; initarray; pop
        definefunction - (x) fend
          push 'x'; getvariable; return
        fend:
        push 3; stackswap; push 1; stackswap; push undefined; callmethod; pop
        push 'i', 'i'; getvariable; increment; setvariable
        jump top
        done:
        push 'i'; getvariable; trace)";
    char small[1024], large[1024];
    std::snprintf(small, sizeof small, loop, 20000);
    std::snprintf(large, sizeof large, loop, 100000);
    Machine a, b;
    EXPECT_EQ(a.Run(small), "20000");
    EXPECT_EQ(b.Run(large), "100000");
    // Five times the iterations, about the same heap.
    EXPECT_LT(b.vm.LiveObjects(), 3 * avm1::Heap::kMinCollect);
    EXPECT_LT(a.vm.LiveObjects(), 3 * avm1::Heap::kMinCollect);
}

TEST(LimitsTest, HandlersCalledByTheHostDoNotGrowTheHeap) {
    // Regression: handlers run pinned, so a movie whose scripts were all
    // event handlers never collected and grew by their garbage each frame.
    auto live = [](int calls) {
        Machine m;
        m.Run(R"(
            push '_global'; getvariable; push 'h', 0; initobject; setmember
            push '_global'; getvariable; push 'h'; getmember; push 'f'
            definefunction - (x) fend
              push 'o', 'k', 1, 1; initobject; setvariable
              push 1, 2, 2; initarray; pop
            fend:
            setmember)");
        const Value self = m.vm.GetMember(Value::Obj(m.vm.global), "h");
        for (int i = 0; i < calls; ++i) {
            m.vm.BeginHostCall();
            EXPECT_TRUE(m.vm.CallHandler(self, "f", {Value::Num(i)}));
            m.vm.CollectIfDue();
        }
        return m.vm.LiveObjects();
    };
    EXPECT_LT(live(20000), 3 * avm1::Heap::kMinCollect);
    EXPECT_LT(live(100000), 3 * avm1::Heap::kMinCollect);
}

TEST(LimitsTest, HostileSizesAreBounded) {
    RunTable({
        // a[1e9] = 1 moves the length and allocates nothing between.
        {"push 0; initarray; storeregister 1; push 1000000000, 1; setmember; push r:1; push 'length'; getmember; trace",
         "1000000001"},
        {"push 1e9, 1, 'Array'; newobject; storeregister 1; push 'length'; getmember; trace;"
         "push 0, r:1, 'pop'; callmethod; pop; push r:1, 'length'; getmember; trace",
         "1000000000|999999999"},
        // Popping an empty stack gives undefined.
        {"pop; pop; add2; trace", "NaN"},
        // with(undefined) skips its body; a primitive is wrapped.
        {"push undefined; with e; push 'in'; trace; e: push 'out'; trace", "out"},
        {"push 'abc'; with e; push 'length'; getvariable; trace; e:", "3"},
        // `this` can be assigned for the rest of the call.
        {"push 'this', 'x'; setvariable; push 'this'; getvariable; typeof; trace", "string"},
    });
    // Nesting with deeper than the scope bound stops the chain.
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "push 0; initobject; with e" + std::to_string(i) + ";";
    deep += "push 'deep'; trace;";
    for (int i = 99; i >= 0; --i) deep += "e" + std::to_string(i) + ":;";
    Machine m;
    EXPECT_EQ(m.Run(deep), "");
    EXPECT_FALSE(m.vm.Errors().empty());
}

}  // namespace

namespace {

// The movie's recursion limit counts the timeline's code: a limit of 5
// lets four calls nest; the next stops the whole script, try or not. A
// prototype loop stops it too.
TEST(LimitsTest, DeepCallsAndEndlessPrototypeChainsStopTheScript) {
    const char* recurse = R"(
        definefunction r() end
          push 'in'; trace; push 0, 'r'; callfunction; pop
        end:
        try e catch - done
          push 0, 'r'; callfunction; pop
        catch:
          push 'caught'; trace
        done:
        push 'after'; trace)";
    Machine m;
    m.vm.SetMaxDepth(5);
    EXPECT_EQ(m.Run(recurse), "in|in|in|in");
    Machine loop;
    EXPECT_EQ(loop.Run("push 0; initobject; storeregister 1; pop; push r:1, '__proto__', r:1; setmember; "
                       "push 'a'; trace; push r:1; push 'x'; getmember; push 'b'; trace"),
              "a");
}

}  // namespace
