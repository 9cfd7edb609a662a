// Array holes, Dictionary and Proxy on blocks built in code, and how
// functions outside classes take their arguments.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Avm2TestUtil.h"

namespace {

using namespace avm2test;
using namespace swfmake::abcop;

// local1 = new <name>(args pushed by `push`)
void New(AbcWriter& w, Code& c, const char* name, const char* pkg, uint32_t argc, const std::function<void()>& push) {
    AbcWriter::Op(c, kFindPropStrict, {w.QName(name, pkg)});
    push();
    AbcWriter::Op(c, kConstructProp, {w.QName(name, pkg), argc});
    AbcWriter::Op(c, kSetLocal1);
}

TEST(Avm2CollectionsTest, HolesDictionariesProxiesAndLooseArguments) {
    struct Case {
        const char* what;
        std::function<void(AbcWriter&, Code&)> body;
        const char* traced;
        const char* reported;  // a part of the report, "" for none
    } cases[] = {
        {"an unwritten item is no own property", [](AbcWriter& w, Code& c) {
             New(w, c, "Array", "", 1, [&] { AbcWriter::Op(c, kPushByte, {3}); });
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kGetLocal1);
                 AbcWriter::Op(c, kPushString, {w.String("1")});
                 AbcWriter::Op(c, kCallProperty, {w.QName("hasOwnProperty"), 1});
             });
         }, "false", ""},
        {"pop takes the last stored item and shortens by one", [](AbcWriter& w, Code& c) {
             New(w, c, "Array", "", 1, [&] { AbcWriter::Op(c, kPushByte, {3}); });
             AbcWriter::Op(c, kGetLocal1);
             AbcWriter::Op(c, kPushByte, {7});
             AbcWriter::Op(c, kSetProperty, {w.QName("0")});
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kGetLocal1);
                 AbcWriter::Op(c, kCallProperty, {w.QName("pop"), 0});
             });
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kGetLocal1);
                 AbcWriter::Op(c, kGetProperty, {w.QName("length")});
             });
         }, "7|2", ""},
        {"a function takes more arguments than it declares", [](AbcWriter& w, Code& c) {
             Code f;
             AbcWriter::Op(f, kGetLocal1);
             AbcWriter::Op(f, kReturnValue);
             uint32_t fn = w.Method(1, 2, 2, 0, f);
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kNewFunction, {fn});
                 AbcWriter::Op(c, kPushNull);
                 AbcWriter::Op(c, kPushByte, {1});
                 AbcWriter::Op(c, kPushByte, {2});
                 AbcWriter::Op(c, kPushByte, {3});
                 AbcWriter::Op(c, kCallProperty, {w.QName("call"), 4});
             });
         }, "1", ""},
        {"a dictionary's keys come and go", [](AbcWriter& w, Code& c) {
             New(w, c, "Dictionary", "flash.utils", 0, [] {});
             AbcWriter::Op(c, kGetLocal1);
             AbcWriter::Op(c, kPushByte, {5});
             AbcWriter::Op(c, kSetProperty, {w.QName("13")});
             for (int round = 0; round < 2; ++round) {
                 Trace(w, c, [&] {
                     AbcWriter::Op(c, kPushString, {w.String("13")});
                     AbcWriter::Op(c, kGetLocal1);
                     AbcWriter::Op(c, kIn);
                 });
                 AbcWriter::Op(c, kGetLocal1);
                 AbcWriter::Op(c, kDeleteProperty, {w.QName("13")});
                 AbcWriter::Op(c, kPop);
             }
         }, "true|false", ""},
        {"a proxy without hooks refuses", [](AbcWriter& w, Code& c) {
             New(w, c, "Proxy", "flash.utils", 0, [] {});
             Trace(w, c, [&] {
                 AbcWriter::Op(c, kGetLocal1);
                 AbcWriter::Op(c, kGetProperty, {w.QName("anything")});
             });
         }, "", "Error #2088: The Proxy class does not implement getProperty."},
    };
    for (const Case& k : cases) {
        Outcome r = RunAbc(Script(k.body));
        EXPECT_EQ(r.traced, k.traced) << k.what;
        if (*k.reported) {
            EXPECT_NE(r.reported.find(k.reported), std::string::npos) << k.what << ": " << r.reported;
        } else {
            EXPECT_TRUE(r.loaded) << k.what << ": " << r.error;
            EXPECT_EQ(r.reported, "") << k.what;
        }
    }
}

}  // namespace
