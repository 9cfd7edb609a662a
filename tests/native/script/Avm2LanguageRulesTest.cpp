// Language rules of the ActionScript 3 machine that scripts see directly:
// string order, class lengths, what Function.prototype is, typed slots and
// the texts of coercion errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Avm2TestUtil.h"

namespace {

using namespace avm2test;
using namespace swfmake::abcop;

TEST(Avm2LanguageRulesTest, ExpressionsTraceAsTheReferenceDoes) {
    struct Case {
        const char* what;
        std::function<void(AbcWriter&, Code&)> push;
        const char* traced;
    } cases[] = {
        // U+FF61 is one unit; U+10002 starts with the surrogate 0xD800.
        {"strings order by UTF-16 units", [](AbcWriter& w, Code& c) {
             AbcWriter::Op(c, kPushString, {w.String("\xEF\xBD\xA1")});
             AbcWriter::Op(c, kPushString, {w.String("\xF0\x90\x80\x82")});
             AbcWriter::Op(c, kLessThan);
         }, "false"},
        {"plain strings still order by units", [](AbcWriter& w, Code& c) {
             AbcWriter::Op(c, kPushString, {w.String("A")});
             AbcWriter::Op(c, kPushString, {w.String("B")});
             AbcWriter::Op(c, kLessThan);
         }, "true"},
        {"Date takes seven arguments", [](AbcWriter& w, Code& c) {
             AbcWriter::Op(c, kGetLex, {w.QName("Date")});
             AbcWriter::Op(c, kGetProperty, {w.QName("length")});
         }, "7"},
        {"Function.prototype is a function", [](AbcWriter& w, Code& c) {
             AbcWriter::Op(c, kGetLex, {w.QName("Function")});
             AbcWriter::Op(c, kGetProperty, {w.QName("prototype")});
             AbcWriter::Op(c, kGetLex, {w.QName("Function")});
             AbcWriter::Op(c, kIsTypeLate);
         }, "true"},
        {"Function.prototype prints as a function", [](AbcWriter& w, Code& c) {
             AbcWriter::Op(c, kGetLex, {w.QName("Function")});
             AbcWriter::Op(c, kGetProperty, {w.QName("prototype")});
         }, "function Function() {}"},
    };
    for (const Case& k : cases) {
        Outcome r = RunAbc(Script([&](AbcWriter& w, Code& c) { Trace(w, c, [&] { k.push(w, c); }); }));
        EXPECT_TRUE(r.loaded) << k.what << ": " << r.error;
        EXPECT_EQ(r.traced, k.traced) << k.what;
        EXPECT_EQ(r.reported, "") << k.what;
    }
}

TEST(Avm2LanguageRulesTest, CoercionErrorsShowStringsQuotedAndObjectsByClass) {
    struct Case {
        const char* what;
        std::function<void(AbcWriter&, Code&)> push;
        const char* shown;
    } cases[] = {
        {"a string", [](AbcWriter& w, Code& c) { AbcWriter::Op(c, kPushString, {w.String("abc")}); }, "\"abc\""},
        {"a number", [](AbcWriter&, Code& c) { AbcWriter::Op(c, kPushByte, {1}); }, "1"},
        {"an object", [](AbcWriter&, Code& c) { AbcWriter::Op(c, kNewObject, {0}); }, "Object@00000000000"},
    };
    for (const Case& k : cases) {
        Outcome r = RunAbc(Script([&](AbcWriter& w, Code& c) {
            k.push(w, c);
            AbcWriter::Op(c, kCoerce, {w.QName("RegExp")});
            AbcWriter::Op(c, kPop);
        }));
        EXPECT_NE(r.reported.find(std::string("Error #1034: Type Coercion failed: cannot convert ") + k.shown +
                                  " to RegExp."),
                  std::string::npos)
            << k.what << ": " << r.reported;
    }
}

}  // namespace
