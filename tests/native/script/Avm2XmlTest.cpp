// XML values: parsing under the settings, printing, errors for bad markup,
// and the E4X reads and writes by name.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "swf/avm2/Machine.h"

namespace {

namespace avm2 = swf::avm2;
using avm2::Value;

struct Env {
    avm2::Machine m;
    std::string reported;
    Env() {
        m.report = [this](const std::string& s) { reported += s; };
    }
    Value Call(const Value& self, const char* name, std::vector<Value> args = {}) {
        return m.CallProperty(self, m.PublicName(name), args.data(), int(args.size()));
    }
    Value Xml(const std::string& text) {
        Value s = Value::Str(m.Str(text));
        return m.Construct(Value::Obj(m.xmlClass), &s, 1);
    }
    // Runs `fn`; its text, or the uncaught error's report.
    std::string Run(const std::function<std::string()>& fn) {
        std::string out;
        reported.clear();
        m.Entry([&] { out = fn(); });
        return reported.empty() ? out : reported;
    }
};

TEST(Avm2XmlTest, ParsesAndPrintsAsTheSettingsSay) {
    struct Case {
        const char* what;
        const char* markup;
        bool pretty, ignoreWhite, ignoreComments;
        const char* printed;
    } cases[] = {
        {"children indent by two", "<a><b>t</b><c/></a>", true, true, true, "<a>\n  <b>t</b>\n  <c/>\n</a>"},
        {"one text child stays inline", "<a>t</a>", true, true, true, "<a>t</a>"},
        {"flat without pretty printing", "<a> <b x=\"1\"/> </a>", false, true, true, "<a><b x=\"1\"/></a>"},
        {"white space kept when asked", "<a> <b/></a>", false, false, true, "<a> <b/></a>"},
        {"comments kept when asked", "<a><!--c--></a>", false, true, false, "<a><!--c--></a>"},
        {"comments dropped by default", "<a><!--c--></a>", false, true, true, "<a/>"},
        {"CDATA printed back", "<a><![CDATA[<x>]]></a>", false, true, true, "<a><![CDATA[<x>]]></a>"},
        {"entities decoded and escaped again", "<a b=\"&quot;&lt;\">&amp;&#65;</a>", false, true, true,
         "<a b=\"&quot;&lt;\">&amp;A</a>"},
        {"declarations printed where made", "<p:a xmlns:p=\"u\"><p:b/></p:a>", false, true, true,
         "<p:a xmlns:p=\"u\"><p:b/></p:a>"},
        {"end tag may carry junk after its name", "<a></a hello=\"x\">", false, true, true, "<a/>"},
    };
    for (const Case& c : cases) {
        Env e;
        e.Run([&] {
            Value s = Value::Obj(e.m.NewObject());
            e.m.SetPublic(s, "prettyPrinting", Value::Bool(c.pretty));
            e.m.SetPublic(s, "ignoreWhitespace", Value::Bool(c.ignoreWhite));
            e.m.SetPublic(s, "ignoreComments", Value::Bool(c.ignoreComments));
            e.Call(Value::Obj(e.m.xmlClass), "setSettings", {s});
            return std::string();
        });
        EXPECT_EQ(e.Run([&] { return e.m.ToStdString(e.Call(e.Xml(c.markup), "toXMLString")); }), c.printed)
            << c.what;
    }
}

TEST(Avm2XmlTest, BadMarkupIsATypeErrorWithTheReferenceId) {
    struct Case {
        const char* markup;
        const char* error;
    } cases[] = {
        {"<a><b>", "Error #1085: The element type \"b\" must be terminated"},
        {"<a></b>", "Error #1085: The element type \"a\""},
        {"<a x=1/>", "Error #1090"},
        {"<a><![CDATA[x</a>", "Error #1091"},
        {"<a><!-- x</a>", "Error #1094"},
        {"<a/><b/>", "Error #1088"},
        {"<p:a/>", "Error #1083"},
        {"<a x=\"1\" x=\"2\"/>", "Error #1104"},
        {"<a x=\"1/>", "Error #1095"},
    };
    for (const Case& c : cases) {
        Env e;
        std::string got = e.Run([&] { return e.m.ToStdString(e.Call(e.Xml(c.markup), "toXMLString")); });
        EXPECT_NE(got.find(c.error), std::string::npos) << c.markup << " gave " << got;
    }
    // Nesting past the bound is refused, not recursed into.
    Env e;
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    EXPECT_NE(e.Run([&] { return e.m.ToStdString(e.Xml(deep)); }).find("Error #1090"), std::string::npos);
}

TEST(Avm2XmlTest, ReadsAndWritesByName) {
    Env e;
    auto text = [&](const Value& v) { return e.m.ToStdString(v); };
    auto name = [&](const char* n) { return e.m.PublicName(n); };
    e.Run([&] {
        Value s = Value::Obj(e.m.NewObject());
        e.m.SetPublic(s, "prettyPrinting", Value::Bool(false));
        e.Call(Value::Obj(e.m.xmlClass), "setSettings", {s});
        return std::string();
    });
    struct Case {
        const char* what;
        std::function<std::string()> run;
        const char* expected;
    } cases[] = {
        {"children by name, in order",
         [&] { return text(e.m.GetProperty(e.Xml("<a><b>1</b><c/><b>2</b></a>"), name("b"))); }, "<b>1</b>\n<b>2</b>"},
        {"attributes by name",
         [&] {
             avm2::Name n = name("x");
             n.attribute = true;
             return text(e.m.GetProperty(e.Xml("<a x=\"7\"/>"), n));
         },
         "7"},
        {"a text write replaces the matched child's content",
         [&] {
             Value x = e.Xml("<a><b><c/></b></a>");
             e.m.SetProperty(x, name("b"), Value::Str(e.m.Str("t")));
             return text(e.Call(x, "toXMLString"));
         },
         "<a><b>t</b></a>"},
        {"a write to a missing name appends an element",
         [&] {
             Value x = e.Xml("<a>x</a>");
             e.m.SetProperty(x, name("n"), Value::Int(3));
             return text(e.Call(x, "toXMLString"));
         },
         "<a>x<n>3</n></a>"},
        {"a write through an empty list makes its target",
         [&] {
             Value x = e.Xml("<a/>");
             Value list = e.m.GetProperty(x, name("b"));
             e.m.SetProperty(list, name("c"), Value::Str(e.m.Str("v")));
             return text(e.Call(x, "toXMLString"));
         },
         "<a><b><c>v</c></b></a>"},
        {"delete detaches",
         [&] {
             Value x = e.Xml("<a><b/><c/></a>");
             avm2::Name first = name("0");
             first.hasKey = true;
             first.key = Value::Int(0);
             Value b = e.m.GetProperty(e.m.GetProperty(x, name("b")), first);
             e.m.DeleteProperty(x, name("b"));
             return text(e.Call(x, "toXMLString")) + "|" + text(e.Call(b, "parent"));
         },
         "<a><c/></a>|undefined"},
        {"simple content compares as text", [&] { return e.m.LooseEquals(e.Xml("<a>5</a>"), Value::Int(5)) ? "eq" : "ne"; },
         "eq"},
        {"copies are equal but not the same",
         [&] {
             Value x = e.Xml("<a k=\"1\"><b/></a>");
             Value c = e.Call(x, "copy");
             return std::string(e.m.LooseEquals(x, c) ? "eq" : "ne") + (e.m.StrictEquals(x, c) ? " same" : " other");
         },
         "eq other"},
        {"a method missing on simple content runs on its text",
         [&] { return text(e.Call(e.Xml("<a>abc</a>"), "toUpperCase")); }, "ABC"},
    };
    for (const Case& c : cases) EXPECT_EQ(e.Run(c.run), c.expected) << c.what;
}

}  // namespace
