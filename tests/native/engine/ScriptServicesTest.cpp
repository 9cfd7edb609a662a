// Built-in classes that would talk to the world, in a player that has no
// network: load progress, connections, the container's XML, and bitmaps as
// large as each version allows. Also what SWF 5 traces of 8-bit text.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

struct Case {
    std::vector<std::string> script;
    const char* expected;
    int version = 8;
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const std::string text = Lines(c.script);
        swfmake::SwfWriter w(static_cast<uint8_t>(c.version), kStage, 12);
        w.Tags().DoAction(Asm(text));
        w.Tags().ShowFrame();
        ScriptedMovie m(w);
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Joined(), c.expected) << text;
    }
}

std::string New(const std::string& cls, const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + ", '" + cls + "'; newobject";
}
std::string NewIn(const std::string& package, const std::string& cls, const std::vector<std::string>& args) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + "; " + Var(package) + "; push '" + cls + "'; newmethod";
}
std::string TypeOf(const std::string& expr) { return expr + "; typeof"; }

TEST(ScriptServicesTest, LoadVarsShowProgressAndListNewestFirst) {
    RunCases({
        // The progress members appear with the load and stay.
        {{SetV("lv", New("LoadVars")), Trace(CallM(Var("lv"), "getBytesLoaded")),
          Do(CallM(Var("lv"), "load", {Str("http://example.invalid/a.txt")})), Trace(CallM(Var("lv"), "getBytesLoaded")),
          Trace(CallM(Var("lv"), "getBytesTotal")), Var("lv") + "; push '_bytesLoaded'; delete; pop",
          Trace(Var("lv._bytesLoaded"))},
         "undefined|0|undefined|0"},
        {{SetV("lv", New("LoadVars")), SetM(Var("lv"), "a", Num(1)), SetM(Var("lv"), "b", Str("x y")),
          Do(CallM(Var("lv"), "addProperty", {Str("c"), Fn("push 'g'; return"), "push null"})),
          Trace(CallM(Var("lv"), "toString"))},
         "c=g&b=x%20y&a=1"},
    });
}

TEST(ScriptServicesTest, ConnectionsOpenAndCloseLocally) {
    const std::string onStatus = Fn("push 'e'; getvariable; push 'code'; getmember; trace", "e");
    RunCases({
        // A connection with no server opens at once; opening again closes first.
        {{SetV("nc", New("NetConnection")), SetM(Var("nc"), "onStatus", onStatus), Do(CallM(Var("nc"), "close")),
          Do(CallM(Var("nc"), "connect", {"push null"})), Do(CallM(Var("nc"), "connect", {"push null"})),
          Do(CallM(Var("nc"), "close")), Do(CallM(Var("nc"), "close"))},
         "NetConnection.Connect.Success|NetConnection.Connect.Closed|NetConnection.Connect.Success|"
         "NetConnection.Connect.Closed"},
        // One listener per channel name, whatever its case.
        {{SetV("a", New("LocalConnection")), SetV("b", New("LocalConnection")),
          Trace(CallM(Var("a"), "connect", {Str("ch")})), Trace(CallM(Var("b"), "connect", {Str("CH")})),
          Trace(CallM(Var("a"), "connect", {Str("other")})), Do(CallM(Var("a"), "close")),
          Trace(CallM(Var("b"), "connect", {Str("ch")})), Trace(CallM(Var("a"), "send", {Str("ch"), Str("m")})),
          Trace(CallM(Var("a"), "send", {Str("ch")}))},
         "true|false|false|true|true|false"},
        {{SetV("f", NewIn("flash.net", "FileReferenceList", {})), Trace(Var("f._listeners.length")),
          Trace(TypeOf(Var("f.addListener"))), Trace(CallM(Var("f"), "browse"))},
         "0|function|false"},
    });
}

TEST(ScriptServicesTest, ContainerXmlReadsBackAsValues) {
    auto node = [](const std::string& name, const std::string& child) {
        return "push 'nodeName', '" + name + "', 'firstChild', '" + child + "', 2; initobject";
    };
    auto toAs = [](const std::string& fn, const std::string& arg) {
        return CallM(Var("flash.external.ExternalInterface"), fn, {arg});
    };
    RunCases({
        {{Trace(toAs("_toAS", node("number", " -2.5"))), Trace(toAs("_toAS", node("number", "-2.5 "))),
          Trace(toAs("_toAS", node("number", "Infinity"))), Trace(toAs("_toAS", node("true", ""))),
          Trace(TypeOf(toAs("_toAS", node("TRUE", "")))), Trace(TypeOf(toAs("_toAS", node("null", "")))),
          Trace(toAs("_toAS", node("string", "s&t"))), Trace(TypeOf(toAs("_arrayToAS", Num(5))))},
         "-2.5|NaN|NaN|true|undefined|null|s&t|object"},
        // Parsed XML goes through whole; a String object is written as an
        // array of its length.
        {{SetV("x", New("XML", {Str("<array><property id=\"0\"><number>3</number></property>"
                                    "<property id=\"1\"><string>b</string></property></array>")})),
          Trace(toAs("_toAS", Var("x.firstChild"))),
          Trace(toAs("_toXML", New("String", {Str("ab")})))},
         "3,b|<array><property id=\"0\"><undefined/></property><property id=\"1\"><undefined/></property></array>"},
    });
}

TEST(ScriptServicesTest, BitmapsBySizeVersionAndThreshold) {
    auto bitmap = [](int w, int h) {
        return Trace(NewIn("flash.display", "BitmapData", {Num(w), Num(h)}) + "; typeof");
    };
    RunCases({
        {{bitmap(2880, 1), bitmap(2881, 1), bitmap(1, 2881)}, "object|undefined|undefined", 9},
        {{bitmap(2881, 1), bitmap(8191, 2), bitmap(8192, 1), bitmap(4096, 4096)},
         "object|object|undefined|undefined",
         10},
        {{Trace(Var("flash.display.BitmapData.RED_CHANNEL")), Trace(Var("flash.display.BitmapData.ALPHA_CHANNEL")),
          Trace(NewIn("flash.filters", "BlurFilter", {}) + "; " + Var("flash.filters.BitmapFilter") + "; instanceof"),
          Trace(TypeOf(CallM(NewIn("flash.filters", "BitmapFilter", {}), "clone")))},
         "1|8|true|undefined"},
        // Against a point a zero threshold still needs some alpha.
        {{SetV("b", NewIn("flash.display", "BitmapData", {Num(2), Num(2), "push true", Num(0)})),
          Do(CallM(Var("b"), "setPixel32", {Num(1), Num(1), Num(-1)})),
          SetV("o", NewIn("flash.geom", "Point", {Num(0), Num(0)})),
          Trace(CallM(Var("b"), "hitTest", {Var("o"), Num(0), NewIn("flash.geom", "Point", {Num(0), Num(0)})})),
          Trace(CallM(Var("b"), "hitTest", {Var("o"), Num(0), NewIn("flash.geom", "Point", {Num(1), Num(1)})})),
          Trace(CallM(Var("b"), "hitTest", {Var("o"), Num(0), NewIn("flash.geom", "Point", {Num(5), Num(5)})})),
          Trace(CallM(Var("b"), "hitTest",
                      {Var("o"), Num(0), NewIn("flash.geom", "Rectangle", {Num(0), Num(0), Num(1), Num(1)})}))},
         "false|true|false|true"},
    });
}

TEST(ScriptServicesTest, Swf5TracesEightBitTextAsLatin1) {
    RunCases({
        {{SetV("s", Str("A\xC5")), Trace(Var("s")), Trace(Var("s.length"))}, "A\xC3\x85|2", 5},
        {{SetV("s", Str("A\xC3\x85")), Trace(Var("s")), Trace(Var("s.length"))}, "A\xC3\x85|2", 6},
    });
}

}  // namespace
