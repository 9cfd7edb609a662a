// Operators and conversions per SWF version: one table per area, each case
// a script that traces its results.
#include "ScriptTestUtil.h"

namespace {

using namespace scripttest;

TEST(OperatorsTest, ConversionsDifferBetweenSwf6And7) {
    // {script, SWF 6 result, SWF 7 result}
    struct VersionCase {
        const char* script;
        const char* v6;
        const char* v7;
    };
    const VersionCase cases[] = {
        {"push undefined; tostring; trace", "", "undefined"},
        {"push 'x', undefined; add2; trace", "x", "xundefined"},
        {"push undefined; tonumber; trace", "0", "NaN"},
        {"push null, 1; add2; trace", "1", "NaN"},
        {"push 'abc'; not; not; trace", "false", "true"},
        {"push '0'; not; not; trace", "false", "true"},
        {"push '2'; not; not; trace", "true", "true"},
        {"push ''; tonumber; trace", "NaN", "NaN"},  // empty is no number in either
        {"push 'Ab', 5; setvariable; push 'aB'; getvariable; trace", "5", "undefined"},
    };
    for (const VersionCase& c : cases) {
        Machine m6(6), m7(7);
        EXPECT_EQ(m6.Run(c.script), c.v6) << "SWF 6: " << c.script;
        EXPECT_EQ(m7.Run(c.script), c.v7) << "SWF 7: " << c.script;
    }
}

TEST(OperatorsTest, NumbersPrintAsScriptsExpect) {
    RunTable({
        {"push 0.1, 0.2; add2; trace", "0.3"},
        {"push 1, 3; divide; trace", "0.333333333333333"},
        {"push 1e21; trace", "1e+21"},
        {"push 123456789012345; trace", "123456789012345"},
        {"push 1e15; trace", "1e+15"},
        {"push 1234567890123456; trace", "1.23456789012346e+15"},
        {"push 999999999999999.9; trace", "1e+15"},
        {"push 0.00001; trace", "0.00001"},
        {"push 0.0000123; trace", "0.0000123"},
        {"push 0.000001; trace", "1e-6"},
        {"push -1.5e-7; trace", "-1.5e-7"},
        {"push 2, 0.5; divide; trace", "4"},
        {"push 100.25; trace", "100.25"},
        {"push -0.5; trace", "-0.5"},
        {"push 1, 0; divide; trace", "Infinity"},
        {"push -1, 0; divide; trace", "-Infinity"},
        {"push 0, 0; divide; trace", "NaN"},
        {"push ' 0x1F'; tonumber; trace", "31"},
        {"push '0x1F '; tonumber; trace", "NaN"},
        {"push '-010'; tonumber; trace", "-8"},
        {"push '08'; tonumber; trace", "8"},
        {"push '12px'; tonumber; trace", "NaN"},
        {"push '1e3'; tonumber; trace", "1000"},
    });
}

// SWF 4 comparisons give booleans that read as 1 and 0; code in functions
// (SWF 5 and later compilers) follows the later rules even there.
TEST(OperatorsTest, Swf4FormsWorkOnNumbersAndPrintBooleansAsDigits) {
    RunTable({
        {"push 2, 3; less; typeof; trace", "boolean"},
        {"push true; trace; push 3, 3; equals; push 1; strictequals; trace", "1|0"},
        {"definefunction f() end; push true; trace; push 1, 0; divide; trace; end: push 0, 'f'; callfunction; pop",
         "true|Infinity"},
        {"push '2', '3'; add; trace", "5"},
        {"push 2, 3; less; trace", "1"},
        {"push 3, 3; equals; trace", "1"},
        {"push 1, 0; and; trace", "0"},
        {"push 'ab', 'ab'; stringequals; trace", "1"},
        {"push 1, 0; divide; trace", "#ERROR#"},
    }, 4);
    RunTable({
        {"push 2, 3; less; trace", "true"},
        {"push 'b', 'a'; stringless; trace", "false"},
    }, 5);
}

TEST(OperatorsTest, Swf5FormsConvertLikeTheLanguage) {
    RunTable({
        {"push '2', 3; add2; trace", "23"},
        {"push 2, 3; add2; trace", "5"},
        {"push true, 1; add2; trace", "2"},
        {"push 'a', 'b'; less2; trace", "true"},
        {"push '10', '9'; less2; trace", "true"},
        {"push '10', 9; less2; trace", "false"},
        {"push 'x', 1; less2; trace", "false"},
        {"push 3, 2; greater; trace", "true"},
        {"push '1', 1; equals2; trace", "true"},
        {"push '1', 1; strictequals; trace", "false"},
        {"push null, undefined; equals2; trace", "true"},
        {"push null, 0; equals2; trace", "false"},
        {"push true, '1'; equals2; trace", "true"},
        {"push 7, 3; modulo; trace", "1"},
        {"push -7, 3; modulo; trace", "-1"},
        {"push 5; increment; trace", "6"},
        {"push -3.7; tointeger; trace", "-3"},
    });
    RunTable({{"push 'x', 1; less2; trace", "undefined"}}, 6);
}

TEST(OperatorsTest, BitOperatorsWrapTo32Bits) {
    RunTable({
        {"push 4294967297, 1; bitand; trace", "1"},
        {"push -1, 0; biturshift; trace", "4294967295"},
        {"push -8, 1; bitrshift; trace", "-4"},
        {"push 1, 33; bitlshift; trace", "2"},
        {"push 1, 31; bitlshift; trace", "-2147483648"},
        {"push 12, 10; bitxor; trace", "6"},
        {"push 12, 3; bitor; trace", "15"},
        {"push 'x', 1; bitor; trace", "1"},
    });
}

TEST(OperatorsTest, StringActionsCountCharactersFromSwf6) {
    RunTable({
        {"push 'h\xC3\xA9llo'; stringlength; trace", "5"},
        {"push 'h\xC3\xA9llo', 2, 3; stringextract; trace", "\xC3\xA9ll"},
        {"push 'hello', 0, -1; stringextract; trace", "hello"},
        {"push '\xC3\xA9'; chartoascii; trace", "233"},
        {"push 233; asciitochar; trace", "\xC3\xA9"},
        {"push 'h\xC3\xA9llo'; mbstringlength; trace", "5"},
        {"push 'abc', 'de'; stringadd; trace", "abcde"},
        {"push 'abc'; typeof; trace", "string"},
        {"push 'b', 'a'; stringgreater; trace", "true"},
    });
    RunTable({
        {"push 'h\xC3\xA9llo'; stringlength; trace", "6"},
        {"push 'h\xC3\xA9llo'; mbstringlength; trace", "5"},
    }, 5);
}

TEST(OperatorsTest, TypeOfNamesEveryKind) {
    RunTable({
        {"push undefined; typeof; trace", "undefined"},
        {"push null; typeof; trace", "null"},
        {"push true; typeof; trace", "boolean"},
        {"push 1; typeof; trace", "number"},
        {"push 0, 'Object'; newobject; typeof; trace", "object"},
        {"push 'Math'; getvariable; push 'abs'; getmember; typeof; trace", "function"},
        {"push 'this'; getvariable; typeof; trace", "movieclip"},
    });
}

}  // namespace
