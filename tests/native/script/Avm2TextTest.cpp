// ActionScript 3 text: TextField over the engine's field (text with its
// line breaks, settings with their accepted values, formats over ranges)
// and TextFormat's conversions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "swf/Player.h"
#include "tools/swfmake/AbcOps.h"
#include "tools/swfmake/AbcWriter.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

using swfmake::AbcWriter;
using Code = std::vector<uint8_t>;

using namespace swfmake::abcop;
constexpr uint8_t kPushTrue = 0x26;
constexpr uint8_t kConstructOp = 0x42;
constexpr uint8_t kApplyType = 0x53;

// Register 1 holds a new TextField, register 2 a new TextFormat.
struct Builder {
    AbcWriter w;
    Code c;
    void Op(uint8_t op, std::initializer_list<uint32_t> args = {}) { AbcWriter::Op(c, op, args); }
    void Local(int r) { Op(uint8_t(0xD0 + r)); }
    void New(int r, const char* cls, const char* pkg = "flash.text") {
        Op(kFindPropStrict, {w.QName(cls, pkg)});
        Op(kConstructProp, {w.QName(cls, pkg), 0});
        Op(uint8_t(0xD4 + r));
    }
    void Str(const char* s) { Op(kPushString, {w.String(s)}); }
    void Set(int r, const char* prop, const std::function<void()>& push) {
        Local(r);
        push();
        Op(kSetProperty, {w.QName(prop)});
    }
    void Get(int r, const char* prop) {
        Local(r);
        Op(kGetProperty, {w.QName(prop)});
    }
    // reg.method(args); the result stays on the stack.
    void Call(int r, const char* method, int argc, const std::function<void()>& push) {
        Local(r);
        if (push) push();
        Op(kCallProperty, {w.QName(method), uint32_t(argc)});
    }
    void Trace(const std::function<void()>& push) {
        Op(kFindPropStrict, {w.QName("trace")});
        push();
        Op(kCallPropVoid, {w.QName("trace"), 1});
    }
    void Byte(int v) { Op(kPushByte, {uint32_t(v & 0xff)}); }
};

struct Played {
    std::string traced;
    std::string errors;
};

Played Play(const std::function<void(Builder&)>& steps) {
    Builder b;
    b.Local(0);
    b.Op(kPushScope);
    b.New(1, "TextField");
    b.New(2, "TextFormat");
    steps(b);
    b.Op(kReturnVoid);
    b.w.Script(b.w.Method(0, 8, 4, 2, b.c));
    swfmake::SwfWriter movie(10, swf::Rect{0, 0, 2000, 2000}, 24);
    movie.Tags().Raw(82, swfmake::DoAbcBody(b.w.Bytes(), false, "frame1"), true);
    movie.Tags().ShowFrame();
    swf::Player p;
    Played out;
    p.SetTraceHandler([&](const std::string& s) { out.traced += (out.traced.empty() ? "" : "|") + s; });
    EXPECT_TRUE(p.LoadBytes(movie.Write(false)));
    for (const std::string& e : p.Errors()) out.errors += e + "\n";
    return out;
}

TEST(Avm2TextTest, FieldsKeepTextSettingsAndFormats) {
    struct Case {
        const char* what;
        std::function<void(Builder&)> steps;
        const char* traced;
    } cases[] = {
        {"line breaks read back as CR", [](Builder& b) {
             b.Set(1, "text", [&] { b.Str("ab\ncd\r\nef"); });
             b.Trace([&] { b.Get(1, "text"); });
             b.Trace([&] { b.Get(1, "length"); });
         }, "ab\rcd\ref|8"},
        {"a script's field starts 100 pixels square in Times New Roman", [](Builder& b) {
             b.Trace([&] { b.Get(1, "width"); });
             b.Trace([&] { b.Get(1, "defaultTextFormat"); b.Op(kGetProperty, {b.w.QName("font")}); });
             b.Trace([&] { b.Get(1, "type"); });
         }, "100|Times New Roman|dynamic"},
        {"settings take their names", [](Builder& b) {
             b.Set(1, "type", [&] { b.Str("input"); });
             b.Set(1, "autoSize", [&] { b.Str("center"); });
             b.Trace([&] { b.Get(1, "type"); });
             b.Trace([&] { b.Get(1, "autoSize"); });
         }, "input|center"},
        {"a format on a range leaves the rest", [](Builder& b) {
             b.Set(1, "text", [&] { b.Str("abcd"); });
             b.Set(2, "bold", [&] { b.Op(kPushTrue); });
             b.Call(1, "setTextFormat", 3, [&] { b.Local(2); b.Byte(1); b.Byte(3); });
             b.Op(kPop);
             b.Trace([&] { b.Call(1, "getTextFormat", 2, [&] { b.Byte(1); b.Byte(3); }); b.Op(kGetProperty, {b.w.QName("bold")}); });
             b.Trace([&] { b.Call(1, "getTextFormat", 0, nullptr); b.Op(kGetProperty, {b.w.QName("bold")}); });
             b.Trace([&] { b.Call(1, "getTextFormat", 1, [&] { b.Byte(0); }); b.Op(kGetProperty, {b.w.QName("bold")}); });
         }, "true|null|false"},
        {"appended and replaced text", [](Builder& b) {
             b.Set(1, "text", [&] { b.Str("abc"); });
             b.Call(1, "appendText", 1, [&] { b.Str("de"); });
             b.Op(kPop);
             b.Call(1, "replaceText", 3, [&] { b.Byte(0); b.Byte(2); b.Str("X"); });
             b.Op(kPop);
             b.Trace([&] { b.Get(1, "text"); });
         }, "Xcde"},
        {"a format's font name is cut at 64 characters", [](Builder& b) {
             b.Set(2, "font", [&] { b.Str("0123456789012345678901234567890123456789012345678901234567890123456789"); });
             b.Trace([&] { b.Get(2, "font"); b.Op(kGetProperty, {b.w.QName("length")}); });
             b.Trace([&] { b.Get(2, "size"); });
             b.Trace([&] { b.Get(2, "display"); });
         }, "64|null|block"},
    };
    for (const Case& c : cases) {
        Played r = Play(c.steps);
        EXPECT_EQ(r.traced, c.traced) << c.what << "\n" << r.errors;
    }
}

TEST(Avm2TextTest, WrongValuesThrowTheReferenceErrors) {
    struct Case {
        const char* what;
        std::function<void(Builder&)> step;
        const char* error;
    } cases[] = {
        {"unknown autoSize", [](Builder& b) { b.Set(1, "autoSize", [&] { b.Str("middle"); }); }, "Error #2008"},
        {"unknown type", [](Builder& b) { b.Set(1, "type", [&] { b.Str("static"); }); }, "Error #2008"},
        {"null text", [](Builder& b) { b.Set(1, "text", [&] { b.Op(kPushNull); }); }, "Error #2007"},
        {"range past the end", [](Builder& b) { b.Call(1, "getTextFormat", 2, [&] { b.Byte(0); b.Byte(5); }); }, "Error #2006"},
        {"line past the end", [](Builder& b) { b.Call(1, "getLineText", 1, [&] { b.Byte(3); }); }, "Error #2006"},
        {"unknown align", [](Builder& b) { b.Set(2, "align", [&] { b.Str("middle"); }); }, "Error #2008"},
    };
    for (const Case& c : cases) {
        Played r = Play(c.step);
        EXPECT_NE(r.errors.find(c.error), std::string::npos) << c.what << ": " << r.errors;
    }
}

// Register 3: a StyleSheet that has read `css`; traces style `name`'s
// property `prop`.
std::string CssRead(const char* css, const char* name, const char* prop) {
    Played r = Play([&](Builder& b) {
        b.New(3, "StyleSheet");
        b.Call(3, "parseCSS", 1, [&] { b.Str(css); });
        b.Op(kPop);
        b.Trace([&] {
            b.Call(3, "getStyle", 1, [&] { b.Str(name); });
            b.Op(kGetProperty, {b.w.QName(prop)});
        });
    });
    return r.traced + r.errors;
}

TEST(Avm2TextTest, StyleSheetsReadTheLooseCss) {
    struct Case {
        const char* css;
        const char* name;
        const char* prop;
        const char* traced;
    } cases[] = {
        {"one { color: red; }", "ONE", "color", "red"},
        {"a, b { kerning: 5 }", "b", "kerning", "5 "},
        {"KeY { color: blue; } key { color: pink }", "key", "color", "pink "},
        {"x { font-size: 12px;\n text-align: center }", "x", "fontSize", "12px"},
        {"x { a: 1\r\n b: 2 }", "x", "b", "2 "},
        {"/* note */ x{;:v}", "x", ";", "v"},
        {"x{a: v;;}", "x", "a", "undefined"},
        {"long key { a: 1 }", "long", "a", "undefined"},
        {"x { a b: 1 }", "x", "a b", "undefined"},
        {"x { a: 1", "x", "a", "undefined"},
        {"x { a:", "x", "a", "undefined"},
        {"x { a: ; ", "x", "a", ""},
        {"/* open x { a: 1; }", "x", "a", "undefined"},
    };
    for (const Case& c : cases) EXPECT_EQ(CssRead(c.css, c.name, c.prop), c.traced) << c.css;
}

TEST(Avm2TextTest, StyleSheetTransformMakesTextFormats) {
    struct Case {
        const char* property;
        const char* value;
        const char* format;  // the TextFormat property read back
        const char* traced;
    } cases[] = {
        {"color", "#12", "color", "18"},
        {"color", "#1234567", "color", "0"},
        {"color", "", "color", "null"},
        {"fontFamily", "mono,  sans-serif , x y ,", "font", "_typewriter,sans-serif ,x y "},
        {"fontSize", " 50.5 px", "size", "50"},
        {"fontSize", "-5", "size", "null"},
        {"leading", "x", "leading", "-2147483648"},
        {"letterSpacing", "1.5em", "letterSpacing", "1.5"},
        {"fontWeight", "bold", "bold", "true"},
        {"fontStyle", "bold", "italic", "null"},
        {"kerning", "lots", "kerning", "false"},
        {"kerning", "2", "kerning", "true"},
        {"display", "invalid", "display", "null"},
        {"textDecoration", "none", "underline", "false"},
    };
    for (const Case& c : cases) {
        Played r = Play([&](Builder& b) {
            b.New(3, "StyleSheet");
            b.Trace([&] {
                b.Local(3);
                b.Str(c.property);
                b.Str(c.value);
                b.Op(kNewObject, {1});
                b.Op(kCallProperty, {b.w.QName("transform"), 1});
                b.Op(kGetProperty, {b.w.QName(c.format)});
            });
        });
        EXPECT_EQ(r.traced, c.traced) << c.property << ": " << c.value << "\n" << r.errors;
    }
    Played bad = Play([](Builder& b) {
        b.New(3, "StyleSheet");
        b.Call(3, "transform", 1, [&] { b.Byte(5); });
    });
    EXPECT_NE(bad.errors.find("Error #1069"), std::string::npos) << bad.errors;
}

TEST(Avm2TextTest, StylesAreShallowCopiesByLowerCaseName) {
    Played r = Play([](Builder& b) {
        b.New(3, "StyleSheet");
        b.Str("c");
        b.Str("red");
        b.Op(kNewObject, {1});
        b.Op(uint8_t(0xD4 + 2));
        b.Call(3, "setStyle", 2, [&] { b.Str("Title"); b.Local(2); });
        b.Op(kPop);
        b.Trace([&] { b.Call(3, "getStyle", 1, [&] { b.Str("TITLE"); }); b.Local(2); b.Op(kStrictEquals); });
        b.Trace([&] { b.Call(3, "getStyle", 1, [&] { b.Str("title"); }); b.Op(kGetProperty, {b.w.QName("c")}); });
        b.Trace([&] { b.Get(3, "styleNames"); });
        b.Trace([&] { b.Call(3, "getStyle", 1, [&] { b.Str("missing"); }); b.Op(kGetProperty, {b.w.QName("c")}); });
        b.Call(3, "clear", 0, nullptr);
        b.Op(kPop);
        b.Trace([&] { b.Get(3, "styleNames"); b.Op(kGetProperty, {b.w.QName("length")}); });
    });
    EXPECT_EQ(r.traced, "false|red|title|undefined|0") << r.errors;
}

// Halves of a surrogate pair cut apart by charAt join again when added.
TEST(Avm2TextTest, AddingSurrogateHalvesMakesOneCharacter) {
    Played r = Play([](Builder& b) {
        b.Str("x\xF0\x9F\x98\x9C");
        b.Op(uint8_t(0xD4 + 3));
        b.Trace([&] {
            b.Call(3, "charAt", 1, [&] { b.Byte(1); });
            b.Call(3, "charAt", 1, [&] { b.Byte(2); });
            b.Op(kAdd);
        });
    });
    EXPECT_EQ(r.traced, "\xF0\x9F\x98\x9C") << r.errors;
}

constexpr const char* kEngine = "flash.text.engine";

TEST(Avm2TextTest, FontDescriptionsAndElementFormatsKeepAcceptedValues) {
    struct Case {
        const char* what;
        std::function<void(Builder&)> steps;
        const char* traced;
        const char* error;  // or null
    } cases[] = {
        {"defaults", [](Builder& b) {
             b.New(3, "ElementFormat", kEngine);
             b.Trace([&] { b.Get(3, "fontDescription"); b.Op(kGetProperty, {b.w.QName("fontName")}); });
             b.Trace([&] { b.Get(3, "fontSize"); });
             b.Trace([&] { b.Get(3, "kerning"); });
         }, "_serif|12|on", nullptr},
        {"a clone copies and is not locked", [](Builder& b) {
             b.New(3, "FontDescription", kEngine);
             b.Set(3, "fontWeight", [&] { b.Str("bold"); });
             b.Set(3, "locked", [&] { b.Op(kPushTrue); });
             b.Trace([&] { b.Call(3, "clone", 0, nullptr); b.Op(kGetProperty, {b.w.QName("fontWeight")}); });
             b.Trace([&] { b.Call(3, "clone", 0, nullptr); b.Op(kGetProperty, {b.w.QName("locked")}); });
         }, "bold|false", nullptr},
        {"an unknown weight", [](Builder& b) {
             b.New(3, "FontDescription", kEngine);
             b.Set(3, "fontWeight", [&] { b.Str("heavy"); });
         }, "ArgumentError: Error #2008: Parameter fontWeight must be one of the accepted values.\n"
            "\tat flash.text.engine::FontDescription/set fontWeight()\n\tat global$init()", "Error #2008"},
        {"a null posture", [](Builder& b) {
             b.New(3, "FontDescription", kEngine);
             b.Set(3, "fontPosture", [&] { b.Op(kPushNull); });
         }, "TypeError: Error #2007: Parameter fontPosture must be non-null.\n"
            "\tat flash.text.engine::FontDescription/set fontPosture()\n\tat global$init()", "Error #2007"},
        {"a locked description", [](Builder& b) {
             b.New(3, "FontDescription", kEngine);
             b.Set(3, "locked", [&] { b.Op(kPushTrue); });
             b.Set(3, "fontName", [&] { b.Str("x"); });
         }, "Error: Error #2185: Cannot modify a locked object.\n"
            "\tat flash.text.engine::FontDescription/set fontName()\n\tat global$init()", "Error #2185"},
    };
    for (const Case& c : cases) {
        Played r = Play(c.steps);
        EXPECT_EQ(r.traced, c.traced) << c.what << "\n" << r.errors;
        if (c.error) EXPECT_NE(r.errors.find(c.error), std::string::npos) << c.what << ": " << r.errors;
        else EXPECT_EQ(r.errors, "") << c.what;
    }
}

// Register 3: a group of TextElements "ab", "cd", "ef".
void Group(Builder& b) {
    b.Op(kGetLex, {b.w.QName("Vector", "__AS3__.vec")});
    b.Op(kGetLex, {b.w.QName("ContentElement", kEngine)});
    b.Op(kApplyType, {1});
    b.Op(kConstructOp, {0});
    b.Op(uint8_t(0xD4 + 3));
    for (const char* t : {"ab", "cd", "ef"}) {
        b.Local(3);
        b.Op(kFindPropStrict, {b.w.QName("TextElement", kEngine)});
        b.Str(t);
        b.Op(kConstructProp, {b.w.QName("TextElement", kEngine), 1});
        b.Op(kCallPropVoid, {b.w.QName("push"), 1});
    }
    b.Op(kFindPropStrict, {b.w.QName("GroupElement", kEngine)});
    b.Local(3);
    b.Op(kConstructProp, {b.w.QName("GroupElement", kEngine), 1});
    b.Op(uint8_t(0xD4 + 3));
}

TEST(Avm2TextTest, GroupElementsReplaceAndSplitTheirElements) {
    struct Case {
        const char* what;
        std::function<void(Builder&)> steps;
        const char* traced;
    } cases[] = {
        {"a group reads as its elements' text", [](Builder& b) {
             b.Trace([&] { b.Get(3, "text"); });
             b.Trace([&] { b.Get(3, "elementCount"); });
         }, "abcdef|3"},
        {"replacing returns what was removed", [](Builder& b) {
             b.Trace([&] { b.Call(3, "replaceElements", 3, [&] { b.Byte(0); b.Byte(2); b.Op(kPushNull); }); b.Op(kGetProperty, {b.w.QName("length")}); });
             b.Trace([&] { b.Get(3, "text"); });
         }, "2|ef"},
        {"removing nothing gives null", [](Builder& b) {
             b.Trace([&] { b.Call(3, "replaceElements", 3, [&] { b.Byte(9); b.Byte(9); b.Op(kPushNull); }); });
         }, "null"},
        {"splitting keeps the head and inserts the tail", [](Builder& b) {
             b.Trace([&] { b.Call(3, "splitTextElement", 2, [&] { b.Byte(1); b.Byte(1); }); b.Op(kGetProperty, {b.w.QName("text")}); });
             b.Trace([&] { b.Call(3, "getElementAt", 1, [&] { b.Byte(1); }); b.Op(kGetProperty, {b.w.QName("text")}); });
             b.Trace([&] { b.Get(3, "elementCount"); });
         }, "d|c|4"},
    };
    for (const Case& c : cases) {
        Played r = Play([&](Builder& b) {
            Group(b);
            c.steps(b);
        });
        EXPECT_EQ(r.traced, c.traced) << c.what << "\n" << r.errors;
    }
    Played bad = Play([](Builder& b) {
        Group(b);
        b.Call(3, "getElementAt", 1, [&] { b.Byte(3); });
    });
    EXPECT_NE(bad.errors.find("Error #2006"), std::string::npos) << bad.errors;
}

}  // namespace
