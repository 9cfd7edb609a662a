// Operators given a missing operand throw the null-reference errors, as the
// reference does, rather than their own.
#include <gtest/gtest.h>

#include "tests/native/script/Avm2TestUtil.h"

namespace {

using namespace avm2test;
using namespace swfmake::abcop;

TEST(Avm2OperandErrorsTest, MissingOperandsAreNullReferences) {
    struct Case {
        const char* what;
        uint8_t left, right, op;  // operands pushed, then the operator
        const char* error;
    } cases[] = {
        {"as with a null class", kNewObject, kPushNull, kAsTypeLate, "#1009"},
        {"as with an undefined class", kNewObject, kPushUndefined, kAsTypeLate, "#1010"},
        {"as with a number for a class", kNewObject, kPushByte, kAsTypeLate, "#1009"},
        {"as with an object for a class", kNewObject, kNewObject, kAsTypeLate, "#1041"},
        {"instanceof of undefined", kPushUndefined, kNewObject, kInstanceOf, "#1010"},
        {"a filter over null", 0, kPushNull, kCheckFilter, "#1009"},
        {"a filter over a number", 0, kPushByte, kCheckFilter, "#1123"},
    };
    for (const Case& c : cases) {
        Outcome r = RunAbc(Script([&](AbcWriter&, Code& code) {
            for (uint8_t push : {c.left, c.right}) {
                if (push == kNewObject) AbcWriter::Op(code, kNewObject, {0});
                else if (push == kPushByte) AbcWriter::Op(code, kPushByte, {5});
                else if (push) AbcWriter::Op(code, push);
            }
            AbcWriter::Op(code, c.op);
            AbcWriter::Op(code, kPop);
        }));
        EXPECT_NE(r.reported.find(c.error), std::string::npos) << c.what << " reported " << r.reported;
    }
}

}  // namespace
