// Functions, closures, registers and exceptions.
#include "ScriptTestUtil.h"

namespace {

using namespace scripttest;

// function add(a, b) { return a + b; } trace(add(2, 3));
const char* kAdd = R"(
    definefunction add(a, b) end
    push 'a'; getvariable; push 'b'; getvariable; add2; return
  end:
)";

TEST(FunctionsTest, CallsClosuresAndArguments) {
    RunTable({
        {(std::string(kAdd) + "push 3, 2, 2, 'add'; callfunction; trace").c_str(), "5"},
        // A counter made by a closure keeps its own variable.
        {R"(
            definefunction make() mend
              push 'n', 0; definelocal
              definefunction - () iend
                push 'n', 'n'; getvariable; increment; setvariable
                push 'n'; getvariable; return
              iend:
              return
            mend:
            push 'c', 0, 'make'; callfunction; setvariable
            push 0, 'c'; callfunction; pop
            push 0, 'c'; callfunction; trace
            push 'n'; getvariable; trace)", "2|undefined"},
        // arguments.length and arguments[i] beyond the named parameters.
        {R"(
            definefunction f(a) end
              push 'arguments'; getvariable; push 'length'; getmember; trace
              push 'arguments'; getvariable; push 2; getmember; trace
            end:
            push 'z', 'y', 'x', 3, 'f'; callfunction; pop)", "3|z"},
        // An undeclared assignment inside a function lands on the timeline.
        {R"(
            definefunction f() end
              push 'g', 7; setvariable
            end:
            push 0, 'f'; callfunction; pop; push 'g'; getvariable; trace)", "7"},
        // Function.call and apply set this.
        {R"(
            definefunction f(x) end
              push 'this'; getvariable; push 'v'; getmember; push 'x'; getvariable; add2; return
            end:
            push 'o', 'v', 10, 1; initobject; setvariable
            push 5, 'o'; getvariable; push 2, 'f'; getvariable; push 'call'; callmethod; trace
            push 6, 1; initarray; push 'o'; getvariable; push 2, 'f'; getvariable; push 'apply'; callmethod; trace
        )", "15|16"},
    });
}

TEST(FunctionsTest, DefineFunction2PreloadsRegisters) {
    // flags 0x05: preload this into r1 and arguments into r2; a in r3.
    RunTable({
        {R"(
            push 'o', 'v', 'me', 1; initobject; setvariable
            push 'o'; getvariable; push 'f'
            definefunction2 - 4 0x05 (3:a) end
              push r:1; push 'v'; getmember; trace
              push r:2; push 'length'; getmember; trace
              push r:3; trace
              push 'a'; getvariable; trace
            end:
            setmember
            push 8, 9, 2, 'o'; getvariable; push 'f'; callmethod; pop)", "me|2|9|undefined"},
        // _global preloaded (0x100) into r1.
        {R"(
            push '_global'; getvariable; push 'k', 4; setmember
            definefunction2 f 2 0x100 () end
              push r:1; push 'k'; getmember; return
            end:
            push 0, 'f'; callfunction; trace)", "4"},
        // storeregister keeps the top of the stack.
        {"push 3; storeregister 1; pop; push r:1; trace", "3"},
        // The root has no parent: _global (0x180) moves up into r1.
        {R"(
            push '_global'; getvariable; push 'k', 4; setmember
            definefunction2 f 3 0x180 () end
              push r:1; push 'k'; getmember; return
            end:
            push 0, 'f'; callfunction; trace)", "4"},
        // With this in a register (0x01) the name reads the timeline.
        {R"(
            definefunction2 f 2 0x01 () end
              push r:1; push 'this'; getvariable; strictequals; trace
              push 'arguments'; getvariable; push 'Array'; getvariable; instanceof; trace
            end:
            push 0, 'f'; newobject; pop)", "false|true"},
    });
}

TEST(FunctionsTest, TryCatchFinallyAndThrow) {
    RunTable({
        {R"(
            try e catch fin end
              push 'boom'; throw
              push 'not reached'; trace
            catch:
              push 'e'; getvariable; trace
            fin:
              push 'finally'; trace
            end:
            push 'after'; trace)", "boom|finally|after"},
        // A throw inside a called function reaches the caller's catch,
        // in a register.
        {R"(
            definefunction f() fend
              push 42; throw
            fend:
            try r:1 catch - end
              push 0, 'f'; callfunction; pop
            catch:
              push r:1; trace
            end:)", "42"},
        // Finally without catch runs, then the throw goes on to the outer try.
        {R"(
            try e c1 - e1
              try x - f2 e2
                push 'inner'; throw
              f2:
                push 'f2'; trace
              e2:
              push 'skipped'; trace
            c1:
              push 'e'; getvariable; trace
            e1:)", "f2|inner"},
        // A return inside try or catch still runs finally, outer ones too,
        // and a return in finally wins.
        {R"(
            definefunction f() fend
              try e - fin1 end1
                try x - fin2 end2
                  push 'r'; return
                fin2:
                  push 'f2'; trace
                end2:
                push 'skipped'; trace
              fin1:
                push 'f1'; trace
              end1:
              push 'skipped'; trace
            fend:
            definefunction g() gend
              try e c fin end
                push 1; throw
              c:
                push 'c'; return
              fin:
                push 'g'; return
              end:
            gend:
            push 0, 'f'; callfunction; trace
            push 0, 'g'; callfunction; trace)", "f2|f1|r|g"},
        // An uncaught throw ends the block only, with the player's warning.
        {"push 'a'; trace; push 1; throw; push 'b'; trace", "a|Warning: Uncaught exception, 1"},
    });
}

// SWF 5 functions keep no scope: a returned inner function reads the
// caller's timeline, not the outer function's locals. Registers past a
// function's own are the timeline's.
TEST(FunctionsTest, Swf5ScopeAndSharedRegisters) {
    const char* inner = R"(
        definefunction f() fend
          push 'foo', 'f'; definelocal
          definefunction - () gend
            push 'foo'; getvariable; trace
          gend:
          return
        fend:
        push 'foo', 'root'; setvariable
        push 0, 'f'; callfunction; storeregister 1; pop
        push 0; push r:1; push undefined; callmethod; pop)";
    RunTable({{inner, "root"}}, 5);
    RunTable({{inner, "f"}}, 6);
    RunTable({{R"(
        push 3; storeregister 3; pop
        definefunction2 g 2 0 () gend
          push r:3; trace; push 9; storeregister 3; pop
        gend:
        push 0, 'g'; callfunction; pop; push r:3; trace)", "3|9"}});
}

TEST(FunctionsTest, RecursionDeeperThan256StopsTheChain) {
    Machine m;
    std::string out = m.Run(R"(
        definefunction r(n) end
          push 'n'; getvariable; push 1; add2; push 1, 'r'; callfunction; return
        end:
        push 'start'; trace
        push 0, 1, 'r'; callfunction; trace
        push 'not reached'; trace)");
    EXPECT_EQ(out, "start");
    ASSERT_FALSE(m.vm.Errors().empty());
    EXPECT_NE(m.vm.Errors().back().find("256"), std::string::npos);
    // The machine still runs the next block.
    EXPECT_EQ(m.Run("push 'next'; trace"), "next");
}

}  // namespace
