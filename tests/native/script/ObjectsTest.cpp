// Objects: prototype chains, classes (Extends, super, InstanceOf,
// ImplementsOp, CastOp), getters and setters, watchers, property flags,
// enumeration and Delete.
#include "ScriptTestUtil.h"

namespace {

using namespace scripttest;

// class A { function A(x) { this.x = x; } function who() { return "A" + this.x; } }
// class B extends A { function B() { super(5); } function who() { return "B" + super.who(); } }
const char* kClasses = R"(
    push 'A'
    definefunction - (x) aend
      push 'this'; getvariable; push 'x', 'x'; getvariable; setmember
    aend:
    setvariable
    push 'A'; getvariable; push 'prototype'; getmember; push 'who'
    definefunction - () wend
      push 'A', 'this'; getvariable; push 'x'; getmember; add2; return
    wend:
    setmember
    push 'B'
    definefunction - () bend
      push 5, 1, 'super'; getvariable; push undefined; callmethod; pop
    bend:
    setvariable
    push 'B'; getvariable; push 'A'; getvariable; extends
    push 'B'; getvariable; push 'prototype'; getmember; push 'who'
    definefunction - () w2end
      push 'B', 0, 'super'; getvariable; push 'who'; callmethod; add2; return
    w2end:
    setmember
    push 'b', 0, 'B'; newobject; setvariable
)";

std::string WithClasses(const char* tail) { return std::string(kClasses) + tail; }

TEST(ObjectsTest, PrototypeChainsAndClasses) {
    RunPairs({
        {WithClasses("push 0, 'b'; getvariable; push 'who'; callmethod; trace"), "BA5"},
        {WithClasses("push 'b'; getvariable; push 'A'; getvariable; instanceof; trace"), "true"},
        {WithClasses("push 'b'; getvariable; push 'Array'; getvariable; instanceof; trace"), "false"},
        {WithClasses("push 'A'; getvariable; push 'b'; getvariable; castop; push 'x'; getmember; trace"), "5"},
        {WithClasses("push 'Array'; getvariable; push 'b'; getvariable; castop; trace"), "null"},
        {WithClasses("push 'b'; getvariable; push '__proto__'; getmember; push '__proto__'; getmember;"
                     "push 'A'; getvariable; push 'prototype'; getmember; strictequals; trace"), "true"},
        // An interface counts for instanceof, with the interfaces it extends.
        {WithClasses("push 'I'; definefunction - () iend; iend: ; setvariable;"
                     "push 'J'; definefunction - () jend; jend: ; setvariable;"
                     "push 'J'; getvariable; push 1, 'I'; getvariable; implementsop;"
                     "push 'I'; getvariable; push 1, 'B'; getvariable; implementsop;"
                     "push 'b'; getvariable; push 'J'; getvariable; instanceof; trace"), "true"},
        {WithClasses("push 'I'; definefunction - () iend; iend: ; setvariable;"
                     "push 'I'; getvariable; push 1, 'B'; getvariable; implementsop;"
                     "push 'b'; getvariable; push 'I'; getvariable; instanceof; trace"), "true"},
        // A method that gives its object a new __proto__ and then calls
        // super() reaches the new constructor; Boolean sets `this` up and
        // gives it back.
        {WithClasses(R"(
            push 'B'; getvariable; push 'prototype'; getmember; push 'm'
            definefunction - () mend
              push 'this'; getvariable; push '__proto__'
              push '__constructor__', 'Boolean'; getvariable
              push '__proto__', 'Boolean'; getvariable; push 'prototype'; getmember; push 2; initobject
              setmember
              push true, 1, 'super'; getvariable; push undefined; callmethod; return
            mend:
            setmember
            push 0, 'b'; getvariable; push 'm'; callmethod; trace
            push 'b'; getvariable; push 'Boolean'; getvariable; instanceof; trace)"), "true|true"},
    });
}

TEST(ObjectsTest, GettersSettersAndWatchers) {
    RunTable({
        // o.addProperty("p", function() { return 7; }, function(v) { this.q = v * 2; })
        {R"(
            push 'o', 0, 'Object'; newobject; setvariable
            definefunction - (v) send
              push 'this'; getvariable; push 'q', 'v'; getvariable; push 2; multiply; setmember
            send:
            definefunction - () gend
              push 7; return
            gend:
            push 'p', 3, 'o'; getvariable; push 'addProperty'; callmethod; pop
            push 'o'; getvariable; push 'p'; getmember; trace
            push 'o'; getvariable; push 'p', 4; setmember
            push 'o'; getvariable; push 'q'; getmember; trace)", "7|8"},
        // A getter on a prototype serves every instance.
        {R"(
            definefunction - () gend
              push 'this'; getvariable; push 'n'; getmember; push 1; add2; return
            gend:
            push 'g'; stackswap; setvariable
            push null, 'g'; getvariable; push 'p', 3, 'Object'; getvariable; push 'prototype'; getmember
            push 'addProperty'; callmethod; pop
            push 'o', 'n', 1, 1; initobject; setvariable
            push 'o'; getvariable; push 'p'; getmember; trace)", "2"},
        // watch can change the value being written.
        {R"(
            push 'o', 0; initobject; setvariable
            definefunction - (name, old, nv) wend
              push 'nv'; getvariable; push 10; multiply; return
            wend:
            push 'w'; stackswap; setvariable
            push 'w'; getvariable; push 'x', 2, 'o'; getvariable; push 'watch'; callmethod; pop
            push 'o'; getvariable; push 'x', 3; setmember
            push 'o'; getvariable; push 'x'; getmember; trace)", "30"},
        // A missing member asks __resolve; members that exist do not.
        {R"(
            push 'o', 'k', 1, 1; initobject; setvariable
            push 'o'; getvariable; push '__resolve'
            definefunction - (n) rend
              push 'r:'; push 'n'; getvariable; add2; return
            rend:
            setmember
            push 'o'; getvariable; push 'xyz'; getmember; trace
            push 'o'; getvariable; push 'k'; getmember; trace)", "r:xyz|1"},
    });
}

// A setter that writes its own property runs 65 deep from SWF 7 on, and
// not inside itself before; past that the write stores the plain value.
TEST(ObjectsTest, AccessorsNestToALimit) {
    const char* script = R"(
        push 'o', 0; initobject; setvariable; push 'n', 0; setvariable
        definefunction - (v) send
          push 'n', 'n'; getvariable; increment; setvariable
          push 'o'; getvariable; push 'p', 'f'; setmember
        send:
        definefunction - () gend
          push 'g'; return
        gend:
        push 'p', 3, 'o'; getvariable; push 'addProperty'; callmethod; pop
        push 'o'; getvariable; push 'p', 'b'; setmember
        push 'n'; getvariable; trace
        push 'o'; getvariable; push 'p'; getmember; trace)";
    RunTable({{script, "65|g"}}, 7);
    RunTable({{script, "1|g"}}, 6);
}

TEST(ObjectsTest, PropFlagsEnumerationAndDelete) {
    RunTable({
        // ASSetPropFlags(o, "a", 1 don't-enum): for-in sees only b.
        {R"(
            push 'o', 'a', 1, 'b', 2, 2; initobject; setvariable
            push 0, 1, 'a', 'o'; getvariable; push 4, 'ASSetPropFlags'; callfunction; pop
            push 'o'; getvariable; enumerate2
            loop:
            pushduplicate; push null; equals2; if done
            trace; jump loop
            done:
            pop)", "b"},
        // Read-only (4) ignores writes; don't-delete (2) refuses delete.
        {R"(
            push 'o', 'a', 1, 1; initobject; setvariable
            push 0, 6, 'a', 'o'; getvariable; push 4, 'ASSetPropFlags'; callfunction; pop
            push 'o'; getvariable; push 'a', 9; setmember
            push 'o'; getvariable; push 'a'; delete; trace
            push 'o'; getvariable; push 'a'; getmember; trace)", "false|1"},
        {R"(
            push 'o', 'a', 1, 1; initobject; setvariable
            push 'o'; getvariable; push 'a'; delete; trace
            push 'o'; getvariable; push 'a'; getmember; trace
            push 'v', 3; setvariable; push 'v'; delete2; trace; push 'v'; getvariable; trace)",
         "true|undefined|true|undefined"},
        {R"(
            push 'o', 'x', 1, 1; initobject; setvariable
            push 'x'; push 1; push 'o'; getvariable; push 'hasOwnProperty'; callmethod; trace
            push 'toString'; push 1; push 'o'; getvariable; push 'hasOwnProperty'; callmethod; trace)",
         "true|false"},
    });
}

// DefineLocal2 on the timeline leaves a name its clip inherits; the
// player leaves a null _global.o behind.
TEST(ObjectsTest, TimelineLocalsAndPlayerGlobals) {
    RunTable({
        {R"(
            push 'MovieClip'; getvariable; push 'prototype'; getmember; push 'q', 5; setmember
            push 'q'; definelocal2
            push 'q'; getvariable; trace)", "5"},
        {"push 'o'; getvariable; typeof; trace", "null"},
    });
}

TEST(ObjectsTest, WithPutsAnObjectInScope) {
    RunTable({
        {R"(
            push 'o', 'a', 5, 1; initobject; setvariable
            push 'o'; getvariable; with wend
              push 'a'; getvariable; trace
              push 'a', 6; setvariable
            wend:
            push 'o'; getvariable; push 'a'; getmember; trace
            push 'a'; getvariable; trace)", "5|6|undefined"},
    });
}

}  // namespace
