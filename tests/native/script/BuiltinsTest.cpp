// Built-in objects: Array, String, Math, Number, Date and the globals.
#include "ScriptTestUtil.h"

namespace {

using namespace scripttest;

// Calls method `m` of the array literal `elems` with `args` (pushed as
// written, so the last argument first) and traces the result and the array.
std::string OnArray(const std::string& elems, const std::string& args, int argc, const std::string& m) {
    return "push " + elems + "; initarray; storeregister 1; pop;" + (args.empty() ? "" : "push " + args + ";") +
           "push " + std::to_string(argc) + "; push r:1; push '" + m + "'; callmethod; trace; push r:1; trace";
}

TEST(BuiltinsTest, ArrayMethods) {
    RunPairs({
        {OnArray("3, 2, 1, 3", "4", 1, "push"), "4|1,2,3,4"},
        {OnArray("3, 2, 1, 3", "", 0, "pop"), "3|1,2"},
        {OnArray("3, 2, 1, 3", "", 0, "shift"), "1|2,3"},
        {OnArray("3, 2, 1, 3", "0", 1, "unshift"), "4|0,1,2,3"},
        {OnArray("4, 3, 2, 1, 4", "-1, 1", 2, "slice"), "2,3|1,2,3,4"},
        {OnArray("4, 3, 2, 1, 4", "'b', 'a', 2, 1", 4, "splice"), "2,3|1,a,b,4"},
        {OnArray("2, 1, 2", "'x', 1", 2, "concat"), "1,2,1,x|1,2"},
        {OnArray("3, 2, 1, 3", "'-'", 1, "join"), "1-2-3|1,2,3"},
        {OnArray("3, 2, 1, 3", "", 0, "reverse"), "3,2,1|3,2,1"},
        {OnArray("10, 9, 1, 3", "", 0, "sort"), "1,10,9|1,10,9"},
        {OnArray("10, 9, 1, 3", "16", 1, "sort"), "1,9,10|1,9,10"},
        {OnArray("10, 9, 1, 3", "18", 1, "sort"), "10,9,1|10,9,1"},
        {OnArray("'b', 'B', 'a', 3", "1", 1, "sort"), "a,B,b|a,B,b"},
        {OnArray("1, 2, 1, 3", "4", 1, "sort"), "0|1,2,1"},
        {OnArray("30, 10, 20, 3", "24", 1, "sort"), "1,0,2|20,10,30"},
        // NUMERIC leaves strings of digits in string order.
        {OnArray("'9', '10', '1', 3", "16", 1, "sort"), "1,10,9|1,10,9"},
        // A first argument neither function nor number sorts nothing; with
        // a second argument that one holds the flags.
        {OnArray("2, 1, 2", "true", 1, "sort"), "undefined|1,2"},
        {OnArray("2, 1, 2", "0, null", 2, "sort"), "undefined|1,2"},
        {OnArray("10, 1, 3, 3", "16, 2", 2, "sort"), "1,3,10|1,3,10"},
        // What reads as NaN goes after every number.
        {OnArray("-5, 1, 'x', 4, 4", "16", 1, "sort"), "-5,1,4,x|-5,1,4,x"},
        {OnArray("4, 3, 2, 1, 4", "1", 1, "splice"), "2,3,4|1"},
        {OnArray("2, 1, 2", "'x', 'y'", 2, "unshift"), "4|y,x,1,2"},
        {OnArray("2, 1, 2", "", 0, "join"), "1,2|1,2"},
    });
}

TEST(BuiltinsTest, SortWithComparatorAndSortOn) {
    RunTable({
        // A comparator returning b - a sorts descending.
        {R"(
            definefunction - (a, b) cend
              push 'b'; getvariable; push 'a'; getvariable; subtract; return
            cend:
            push 1; push 1, 5, 3, 3; initarray; push 'sort'; callmethod; trace)", "5,3,1"},
        // A comparator that always says "less" still gives some order.
        {R"(
            definefunction - (a, b) cend
              push -1; return
            cend:
            push 1; push 1, 5, 3, 2, 4, 5; initarray; push 'sort'; callmethod; push 'length'; getmember; trace)", "5"},
        // sortOn two fields, the second numeric.
        {R"(
            push 'n', 10, 'k', 'a', 2; initobject
            push 'n', 9, 'k', 'a', 2; initobject
            push 'n', 1, 'k', 'b', 2; initobject
            push 3; initarray; storeregister 1; pop
            push 16, 0, 2; initarray; push 'n', 'k', 2; initarray; push 2; push r:1; push 'sortOn'; callmethod; pop
            push r:1; push 0; getmember; push 'n'; getmember; trace
            push r:1; push 1; getmember; push 'n'; getmember; trace)", "9|10"},
    });
}

TEST(BuiltinsTest, StringMethods) {
    const char* s = "push 'Hello, World'; ";
    auto call = [&](const std::string& args, int argc, const std::string& m) {
        return std::string(args.empty() ? "" : "push " + args + ";") + "push " + std::to_string(argc) + ";" + s +
               "push '" + m + "'; callmethod; trace";
    };
    RunPairs({
        {call("4", 1, "charAt"), "o"},
        {call("0", 1, "charCodeAt"), "72"},
        {call("'o'", 1, "indexOf"), "4"},
        {call("5, 'o'", 2, "indexOf"), "8"},
        {call("'o'", 1, "lastIndexOf"), "8"},
        {call("-3, 7", 2, "slice"), "Wo"},
        {call("0, 5", 2, "substring"), "Hello"},
        {call("3, 7", 2, "substr"), "Wor"},
        {call("", 0, "toUpperCase"), "HELLO, WORLD"},
        {call("', '", 1, "split") + "; push 'x'; trace", "Hello,World|x"},
        {call("'!'", 1, "concat"), "Hello, World!"},
        {call("2, ''", 2, "split"), "H,e"},
        {call("-5, 'o'", 2, "indexOf"), "4"},
        {"push 'abc'; push 'length'; getmember; trace", "3"},
        {"push 66, 65, 2, 'String'; getvariable; push 'fromCharCode'; callmethod; trace", "AB"},
        {"push 5, 1, 'String'; newobject; push 'length'; getmember; trace", "1"},
    });
}

// Indices wrap as 32-bit integers; SWF 5 strings end at a zero and split at
// commas by default.
TEST(BuiltinsTest, StringEdgesPerVersion) {
    auto call = [](const std::string& self, const std::string& args, int argc, const std::string& m) {
        return std::string(args.empty() ? "" : "push " + args + ";") + "push " + std::to_string(argc) + "; push '" +
               self + "'; push '" + m + "'; callmethod; trace";
    };
    // The number of parts split gives.
    auto split = [](const std::string& self, const std::string& args, int argc) {
        return std::string(args.empty() ? "" : "push " + args + ";") + "push " + std::to_string(argc) + "; push '" +
               self + "'; push 'split'; callmethod; push 'length'; getmember; trace";
    };
    const std::vector<std::pair<std::string, std::string>> both = {
        {call("Hello", "4294967297", 1, "charAt"), "e"},
        {call("Hello", "", 0, "indexOf") + "; push 'x'; trace", "undefined|x"},
        {call("Hello", "", 0, "substr") + "; push 'x'; trace", "undefined|x"},
        {call("Hello", "100, ''", 2, "indexOf"), "-1"},
    };
    RunPairs(both, 5);
    RunPairs(both, 7);
    RunPairs({
        {split("a,b", "", 0), "2"},
        {split("ab", "''", 1), "1"},
        {call("ab", "9", 1, "charCodeAt"), "0"},
        {"push 66, 0, 65, 3, 'String'; getvariable; push 'fromCharCode'; callmethod; trace", "A"},
    }, 5);
    RunPairs({
        {split("a,b", "", 0), "1"},
        {call("ab", "9", 1, "charCodeAt"), "NaN"},
        // U+FF61 sorts before a surrogate pair written as two halves.
        {"push '\xef\xbd\xa1', '\xed\xa0\x80\xed\xb0\x82'; less2; trace", "true"},
    }, 7);
}

TEST(BuiltinsTest, MathNumberAndGlobals) {
    RunTable({
        {"push -2.5, 1, 'Math'; getvariable; push 'round'; callmethod; trace", "-2"},
        {"push 2, 10, 2, 'Math'; getvariable; push 'pow'; callmethod; trace", "100"},
        {"push 3, 1, 7, 3, 'Math'; getvariable; push 'max'; callmethod; trace", "7"},
        {"push 0, 'Math'; getvariable; push 'min'; callmethod; trace", "Infinity"},
        // Math reads two arguments at most; one alone leaves the other NaN.
        {"push 1, 9, 2, 3, 'Math'; getvariable; push 'min'; callmethod; trace", "2"},
        {"push 5, 1, 'Math'; getvariable; push 'max'; callmethod; trace", "NaN"},
        {"push 16, 1, 255, 1, 'Number'; newobject; push 'toString'; callmethod; trace", "ff"},
        {"push '  42px', 1, 'parseInt'; callfunction; trace", "42"},
        {"push '0x1f', 1, 'parseInt'; callfunction; trace", "31"},
        {"push '010', 1, 'parseInt'; callfunction; trace", "8"},
        {"push 2, '11', 2, 'parseInt'; callfunction; trace", "3"},
        {"push 'z', 1, 'parseInt'; callfunction; trace", "NaN"},
        {"push '3.5e2x', 1, 'parseFloat'; callfunction; trace", "350"},
        {"push 'abc', 1, 'isNaN'; callfunction; trace", "true"},
        {"push 1, 0; divide; push 1, 'isFinite'; callfunction; trace", "false"},
        {"push 'a b&c', 1, 'escape'; callfunction; trace", "a%20b%26c"},
        {"push 'a%20b%2', 1, 'unescape'; callfunction; trace", "a b%2"},
        {"push 0, 'Math'; getvariable; push 'random'; callmethod; push 1; less2; trace", "true"},
        {"push 0, 0; divide; push 1, 2, 'Math'; getvariable; push 'max'; callmethod; trace", "NaN"},
        {"push '0x10', 1, 'Number'; callfunction; trace", "16"},
        {"push '12px', 1, 'Number'; callfunction; trace", "NaN"},
        // Octal only when every digit after the zero is one.
        {"push '08', 1, 'parseInt'; callfunction; trace", "8"},
        {"push '\xc3\xa9', 1, 'escape'; callfunction; trace", "%C3%A9"},
    });
}

// ASnative(table, index) gives the built-in it stands for; this is `self`.
TEST(BuiltinsTest, AsNativeNumbersReachTheBuiltIns) {
    // `self` pushes the object the function is called on.
    auto call = [](int table, int index, const std::string& self, const std::string& args, int argc) {
        return "push " + std::to_string(index) + ", " + std::to_string(table) +
               ", 2, 'ASnative'; callfunction; storeregister 2; pop;" + (args.empty() ? "" : "push " + args + ";") +
               self + "; push " + std::to_string(argc + 1) + "; push r:2, 'call'; callmethod; trace";
    };
    RunPairs({
        {call(200, 17, "push null", "3, 2", 2), "8"},
        {call(200, 12, "push null", "-1.5", 1), "-2"},
        {call(100, 2, "push null", "'0x1f'", 1), "31"},
        {call(100, 1, "push null", "'a%20b'", 1), "a b"},
        {call(251, 2, "push 'ab'", "", 0), "AB"},
        {call(251, 7, "push 'abcb'", "'b'", 1), "1"},
        {call(252, 1, "push 1, 1; initarray", "7", 1), "2"},
        {call(800, 2, "push null", "65", 1), "false"},
        {call(106, 1, "push 5", "2", 1), "101"},
        {"push 0, 1, 2, 'ASnative'; callfunction; typeof; trace", "function"},
        {"push 3, 999, 2, 'ASnative'; callfunction; typeof; trace", "undefined"},
        // Unused Math numbers still convert their arguments and give NaN.
        {"push 40, 200, 2, 'ASnative'; callfunction; typeof; trace", "function"},
        {"push 0, 252, 2, 'ASnative'; callfunction; typeof; trace", "undefined"},
    });
}

// parseInt: "0x" counts only as the first two characters, octal only for a
// whole string of octal digits, and a radix given must be 2..36.
TEST(BuiltinsTest, ParseIntPrefixesAndRadix) {
    auto parse = [](const std::string& args, int argc) {
        return "push " + args + ", " + std::to_string(argc) + ", 'parseInt'; callfunction; trace";
    };
    RunPairs({
        {parse("'0x-100'", 1), "-256"},
        {parse("' 0x100'", 1), "0"},
        {parse("'-0x100'", 1), "NaN"},
        {parse("36, '0x100'", 2), "1296"},
        {parse("36, '-0x100'", 2), "1540944"},
        {parse("'-0100'", 1), "-64"},
        {parse("'-0100z'", 1), "-100"},
        {parse("'  077'", 1), "77"},
        {parse("undefined, '100'", 2), "NaN"},
        {parse("1, '100'", 2), "NaN"},
        {"push 0, 'parseInt'; callfunction; typeof; trace", "undefined"},
        {"push 0, 'isNaN'; callfunction; trace; push 0, 'isFinite'; callfunction; trace", "true|false"},
        {"push 0, 'Boolean'; callfunction; typeof; trace", "undefined"},
    });
}

// ASSetNative(o, table, names, first) numbers the names from `first`; a
// leading 6..9 or 10 hides a name from older movies, other digits stay.
TEST(BuiltinsTest, AsSetNativeNamesBuiltIns) {
    auto set = [](const std::string& fn, const std::string& names, const std::string& first) {
        return "push 'o', 0; initobject; setvariable; push " + first + ", '" + names + "', 200, 'o'; getvariable;"
               " push 4, '" + fn + "'; callfunction; pop;";
    };
    RunPairs({
        {set("ASSetNative", ",abs", "-1") + "push -3, 1, 'o'; getvariable; push 'abs'; callmethod; trace", "3"},
        {set("ASSetNative", "1a,2b,9c,7d", "0") +
             "push 'o'; getvariable; push 'a'; getmember; typeof; trace;"
             "push 'o'; getvariable; push '2b'; getmember; typeof; trace;"
             "push 'o'; getvariable; push 'c'; getmember; typeof; trace;"
             "push 'o'; getvariable; push 'd'; getmember; typeof; trace",
         "function|function|undefined|function"},
        {set("ASSetNativeAccessor", "p", "0") + "push 'o'; getvariable; push 'p'; getmember; trace", "NaN"},
    });
}

TEST(BuiltinsTest, DateFieldsRoundTrip) {
    // new Date(2004, 1, 29, 13, 5, 9) in the fake host's UTC local time.
    const char* make = "push 9, 5, 13, 29, 1, 2004, 6, 'Date'; newobject; storeregister 1; pop;";
    auto get = [&](const char* m) { return std::string(make) + "push 0; push r:1; push '" + m + "'; callmethod; trace"; };
    RunPairs({
        {get("getFullYear"), "2004"},
        {get("getMonth"), "1"},
        {get("getDate"), "29"},
        {get("getDay"), "0"},
        {get("getHours"), "13"},
        {get("getTime"), "1078059909000"},
        {std::string(make) + "push 40, 1; push r:1; push 'setDate'; callmethod; pop;"
                             "push 0; push r:1; push 'getMonth'; callmethod; trace",
         "2"},
        {std::string(make) + "push r:1; tostring; trace", "Sun Feb 29 13:05:09 GMT+0000 2004"},
        {"push 1, 0, 1970, 3, 'Date'; getvariable; push 'UTC'; callmethod; trace", "0"},
        {"push 0, 99, 2, 'Date'; newobject; push 0; stackswap; push 'getFullYear'; callmethod; trace", "1999"},
        {"push 0, 1, 'Date'; newobject; push 0; stackswap; push 'getUTCYear'; callmethod; trace", "70"},
    });
}

// An infinite time once crashed the string form; times past the range, set
// any way, are no date.
TEST(BuiltinsTest, DateOfNonFiniteTimeIsInvalid) {
    // r:1 = new Date(<time pushed by `time`>), then `then`.
    auto date = [](const std::string& time, const std::string& then) {
        return time + "; push 1, 'Date'; newobject; storeregister 1; pop; " + then;
    };
    const std::string inf = "push 1, 0; divide", ninf = "push -1, 0; divide";
    auto call = [](const std::string& args, int argc, const std::string& m) {
        return args + "; push " + std::to_string(argc) + "; push r:1; push '" + m + "'; callmethod; trace";
    };
    const std::string str = "push r:1; tostring; trace";
    RunPairs({
        {date(inf, str), "Invalid Date"},
        {date(ninf, str), "Invalid Date"},
        {date(inf, call("", 0, "getTime").substr(2)), "NaN"},
        {date("push 8.64e15", call("", 0, "getTime").substr(2)), "8.64e+15"},
        {date("push 8.64e15", call("push 1", 1, "setMilliseconds")), "NaN"},
        {date("push 0", call(inf, 1, "setTime") + ";" + str), "NaN|Invalid Date"},
        {date("push 0", call(inf, 1, "setFullYear") + ";" + str), "NaN|Invalid Date"},
        {date("push 0", call(inf, 1, "setUTCHours") + ";" + str), "NaN|Invalid Date"},
    });
}

TEST(BuiltinsTest, IntervalsFollowThePlayersClock) {
    Machine m;
    m.Run(R"(
        definefunction - () tend
          push 'tick'; trace
        tend:
        push 100; stackswap; push 2, 'setInterval'; callfunction; push 'id'; stackswap; setvariable
        definefunction - () oend
          push 'once'; trace
        oend:
        push 150; stackswap; push 2, 'setTimeout'; callfunction; pop)");
    std::vector<std::string> seen;
    for (double t : {50.0, 100.0, 150.0, 250.0, 300.0}) {
        m.host.now = t;
        m.host.traces.clear();
        m.vm.RunTimers();
        seen.push_back(std::to_string(int(t)) + ":" + Joined(m.host.traces));
    }
    EXPECT_EQ(Joined(seen), "50:|100:tick|150:once|250:tick|300:tick");
    m.Run("push 'id'; getvariable; push 1, 'clearInterval'; callfunction; pop");
    m.host.now = 1000;
    m.host.traces.clear();
    m.vm.RunTimers();
    EXPECT_TRUE(m.host.traces.empty());
}

}  // namespace
