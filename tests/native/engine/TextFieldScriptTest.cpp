// Text fields from scripts: properties read back as a user would see them,
// htmlText in the player's own form, TextFormat by range, Selection and
// focus, and scrolling.
#include "MovieScriptUtil.h"
#include "StubFonts.h"
#include "tools/swfmake/TextTags.h"

namespace {

using namespace enginetest;

inline std::string New(const std::string& cls, const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + ", '" + cls + "'; newobject";
}

// A field "t" 100 x 20 px (a stub font: characters 10 px wide, lines 20
// px), then `script` on frame 1.
struct FieldMovie : ScriptedMovie {
    static swfmake::SwfWriter Build(const std::string& script, const std::string& text, bool multiline) {
        swfmake::SwfWriter w(8, kStage, 12);
        swf::EditTextData f;
        f.bounds = {0, 2000, 0, 400 + (multiline ? 400 : 0)};
        f.fontClass = "_sans";
        f.height = 400;
        f.multiline = f.wordWrap = multiline;
        f.readOnly = true;
        f.initialText = text;
        swfmake::DefineEditText(w.Tags(), 1, f);
        swfmake::Placement p = swfmake::NewPlacement(1, 1);
        p.name = "t";
        w.Tags().PlaceObject2(p);
        w.Tags().DoAction(Asm(script));
        w.Tags().ShowFrame();
        return w;
    }
    FieldMovie(const std::string& script, const std::string& text = "hello", bool multiline = false)
        : ScriptedMovie(Build(script, text, multiline)) {}
};

TEST(TextFieldScriptTest, PropertiesReadBackAsScriptsSetThem) {
    FieldMovie m(Lines({
        Trace(Var("t.text")), Trace(Var("t.length")), Trace(Var("t.type")), Trace(Var("t.maxChars")),
        Trace(Var("t.restrict")), Trace(Var("t.autoSize")), Trace(Var("t.variable")),
        SetM(Var("t"), "text", Str("abc")), Trace(Var("t.text")), Trace(Var("t.length")),
        SetM(Var("t"), "maxChars", Num(5)), Trace(Var("t.maxChars")),
        SetM(Var("t"), "restrict", Str("0-9")), Trace(Var("t.restrict")),
        SetM(Var("t"), "autoSize", "push true"), Trace(Var("t.autoSize")),
        SetM(Var("t"), "type", Str("input")), Trace(Var("t.type")),
        SetM(Var("t"), "type", Str("bogus")), Trace(Var("t.type")),
        SetM(Var("t"), "textColor", Num(0xFF0000)), Trace(Var("t.textColor")),
        SetM(Var("t"), "border", "push true"), Trace(Var("t.border")),
        SetM(Var("t"), "length", Num(99)), Trace(Var("t.length")),  // read-only
    }));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "hello|5|dynamic|null|null|none|null|abc|3|5|0-9|left|input|input|16711680|true|3");
}

// _width and _height size the field, not its scale; autoSize takes true or
// a name in any case, anything else is "none".
TEST(TextFieldScriptTest, SizeAndAutoSizeFromScripts) {
    FieldMovie m(Lines({
        Trace(Var("t._width")), Trace(Var("t._height")), SetM(Var("t"), "_width", Num(50)),
        Trace(Var("t._width")), Trace(Var("t._xscale")), SetM(Var("t"), "autoSize", Str("RIght")),
        Trace(Var("t.autoSize")), SetM(Var("t"), "autoSize", Num(1)), Trace(Var("t.autoSize")),
    }));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "100|20|50|100|right|none");
}

TEST(TextFieldScriptTest, HtmlTextReadsBackInThePlayersForm) {
    FieldMovie m(Lines({
        Trace(Var("t.htmlText")),  // not an HTML field: the plain text
        SetM(Var("t"), "html", "push true"), SetM(Var("t"), "multiline", "push true"),
        SetM(Var("t"), "htmlText", Str("<p align=\"center\"><b>Hi</b> <font color=\"#ff0000\">a&amp;b</font></p>x")),
        Trace(Var("t.htmlText")), Trace(Var("t.text")),
        SetM(Var("t"), "htmlText", Str("<textformat leftmargin=\"3\"><li>one</li></textformat>")),
        Trace(Var("t.htmlText")),
    }));
    const std::string font = "<FONT FACE=\"_sans\" SIZE=\"20\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
    EXPECT_EQ(m.log.Joined(),
              "hello|<P ALIGN=\"CENTER\">" + font + "<B>Hi</B> <FONT COLOR=\"#FF0000\">a&amp;b</FONT></FONT></P>" +
                  "<P ALIGN=\"LEFT\">" + font + "x</FONT></P>|Hi a&b\rx|" + "<TEXTFORMAT LEFTMARGIN=\"3\"><LI>" + font +
                  "one</FONT></LI></TEXTFORMAT>");
}

TEST(TextFieldScriptTest, TextFormatsApplyAndReadByRange) {
    FieldMovie m(Lines({
        SetV("f", New("TextFormat", {Str("Serif"), Num(30)})),
        Trace(Var("f.font")), Trace(Var("f.size")), Trace(Var("f.bold")),
        SetV("b", New("TextFormat")), SetM(Var("b"), "bold", "push true"), SetM(Var("b"), "color", Num(255)),
        Do(CallM(Var("t"), "setTextFormat", {Num(1), Num(3), Var("b")})),
        Trace(Member(CallM(Var("t"), "getTextFormat", {Num(1), Num(3)}), "bold")),
        Trace(Member(CallM(Var("t"), "getTextFormat", {Num(1)}), "color")),
        Trace(Member(CallM(Var("t"), "getTextFormat"), "bold")),  // mixed
        Trace(Member(CallM(Var("t"), "getTextFormat"), "size")),  // shared
        Do(CallM(Var("t"), "setNewTextFormat", {Var("f")})),
        SetM(Var("t"), "text", Str("new")),
        Trace(Member(CallM(Var("t"), "getTextFormat"), "font")),
        Trace(Member(CallM(Var("t"), "getNewTextFormat"), "size")),
        Do(CallM(Var("t"), "replaceText", {Num(0), Num(1), Str("N")})), Trace(Var("t.text")),
        // CR and LF are a line break each, CR LF two, as when text is set.
        SetV("cr", CallM(Var("String"), "fromCharCode", {Num(13)})),
        SetV("lf", CallM(Var("String"), "fromCharCode", {Num(10)})),
        Do(CallM(Var("t"), "replaceText",
                 {Num(3), Num(3), Var("cr") + "; " + Var("lf") + "; add2; " + Str("x") + "; add2; " + Var("cr") +
                                      "; add2; " + Str("y") + "; add2"})),
        Trace(Var("t.length")),
    }));
    EXPECT_EQ(m.log.Joined(), "Serif|30|null|true|255|null|20|Serif|30|New|8");
}

TEST(TextFieldScriptTest, TextFormatPropertiesConvertWhatIsWritten) {
    struct Case {
        const char* prop;
        std::string value;
        const char* fromCtor;  // as the constructor's argument (if it takes one)
        const char* written;   // written over "right" alignment and a margin of 5
    } cases[] = {
        {"size", Num(-10.9), "-10", "-10"},
        {"color", Num(-11), "4294967285", "4294967285"},
        {"bold", Num(2), "true", "true"},
        {"font", Num(1.5), "1.5", "1.5"},
        {"leftMargin", Num(-3.5), "-3", "0"},
        // From version 8 the indent rounds half to even and may be negative.
        {"indent", Num(2.9), "3", "3"},
        {"indent", Num(-3.5), "-4", "-4"},
        {"indent", Num(2.5), "2", "2"},
        {"align", Str("middle"), "null", "right"},
        {"align", "push undefined", "null", "right"},
        {"underline", "push undefined", "null", "null"},
    };
    const std::vector<std::string> order = {"font", "size", "color", "bold", "italic", "underline", "url",
                                            "target", "align", "leftMargin", "rightMargin", "indent", "leading"};
    for (const Case& c : cases) {
        std::vector<std::string> args;
        for (const std::string& name : order) {
            args.push_back(name == c.prop ? c.value : "push undefined");
            if (name == c.prop) break;
        }
        FieldMovie m(Lines({
            SetV("f", New("TextFormat", args)), Trace(Member(Var("f"), c.prop)),
            SetV("g", New("TextFormat")), SetM(Var("g"), "align", Str("right")), SetM(Var("g"), "leftMargin", Num(5)),
            SetM(Var("g"), c.prop, c.value), Trace(Member(Var("g"), c.prop)),
        }));
        EXPECT_EQ(m.log.Joined(), std::string(c.fromCtor) + "|" + c.written) << c.prop;
    }
    // The properties are the prototype's, hidden from enumeration.
    FieldMovie m(Lines({SetV("f", New("TextFormat", {Str("a")})),
                        Trace(CallM(Var("f"), "hasOwnProperty", {Str("font")})),
                        Trace(CallM(Var("TextFormat.prototype"), "hasOwnProperty", {Str("font")}))}));
    EXPECT_EQ(m.log.Joined(), "false|true");
}

TEST(TextFieldScriptTest, SelectionFollowsFocusAndReplacesTheSelectedText) {
    FieldMovie m(Lines({
        Trace(CallM(Var("Selection"), "getFocus")), Trace(CallM(Var("Selection"), "getCaretIndex")),
        SetM(Var("t"), "onSetFocus", Fn(Trace(Str("set")))),
        Do(CallM(Var("Selection"), "setFocus", {Var("t")})),
        Trace(CallM(Var("Selection"), "getFocus")),
        Trace(CallM(Var("Selection"), "getBeginIndex")), Trace(CallM(Var("Selection"), "getEndIndex")),
        Do(CallM(Var("Selection"), "setSelection", {Num(1), Num(3)})),
        Trace(CallM(Var("Selection"), "getCaretIndex")),
        Do(CallM(Var("t"), "replaceSel", {Str("EY")})), Trace(Var("t.text")),
        Trace(CallM(Var("Selection"), "getCaretIndex")),
        Do(CallM(Var("Selection"), "setFocus", {"push null"})), Trace(CallM(Var("Selection"), "getFocus")),
    }));
    EXPECT_EQ(m.log.Joined(), "null|-1|set|_level0.t|0|5|3|hEYlo|3|null");
}

TEST(TextFieldScriptTest, ScrollStopsWhereTheLastLineShows) {
    // Six 20 px lines in a 40 px field less its gutters: one line shows.
    auto provider = std::make_shared<StubProvider>();
    swfmake::SwfWriter w = FieldMovie::Build(Lines({
        Trace(Var("t.maxscroll")), SetM(Var("t"), "scroll", Num(4)), Trace(Var("t.scroll")),
        SetM(Var("t"), "scroll", Num(40)), Trace(Var("t.scroll")), Trace(Var("t.bottomScroll")),
        Trace(Var("t.textHeight")),
    }), "a\rb\rc\rd\re\rf", true);
    swf::Player p;
    Traced log;
    log.Attach(p);
    p.SetFontProvider(provider);
    ASSERT_TRUE(Load(p, w));
    EXPECT_EQ(log.Joined(), "6|4|6|6|120");
}

TEST(TextFieldScriptTest, BoundVariablesAndFieldsFollowEachOther) {
    swfmake::SwfWriter w(8, kStage, 12);
    swf::EditTextData f;
    f.bounds = {0, 2000, 0, 400};
    f.variable = "v";
    f.initialText = "start";
    swfmake::DefineEditText(w.Tags(), 1, f);
    swfmake::Placement p = swfmake::NewPlacement(1, 1);
    p.name = "t";
    w.Tags().PlaceObject2(p);
    w.Tags().ShowFrame();
    w.Tags().DoAction(Asm(Lines({Trace(Var("v")), SetV("v", Str("abc"))})));
    w.Tags().ShowFrame();
    w.Tags().DoAction(Asm(Lines({Trace(Var("t.text")), SetM(Var("t"), "text", Str("typed"))})));
    w.Tags().ShowFrame();
    w.Tags().DoAction(Asm(Trace(Var("v"))));
    w.Tags().ShowFrame();
    ScriptedMovie m(w);
    for (int i = 0; i < 3; ++i) m.player.Tick();
    EXPECT_EQ(m.log.Joined(), "start|abc|typed");
}

// Within one run of actions: the field gives its variable before the
// frame's script, and each side reads the other's change at once.
TEST(TextFieldScriptTest, BoundVariablesFollowWithinOneScript) {
    swfmake::SwfWriter w(8, kStage, 12);
    swf::EditTextData f;
    f.bounds = {0, 2000, 0, 400};
    f.variable = "v";
    f.initialText = "start";
    swfmake::DefineEditText(w.Tags(), 1, f);
    swfmake::Placement p = swfmake::NewPlacement(1, 1);
    p.name = "t";
    w.Tags().PlaceObject2(p);
    w.Tags().DoAction(Asm(Lines({Trace(Var("v")), SetV("v", Str("abc")), Trace(Var("t.text")),
                                 SetM(Var("t"), "text", Str("typed")), Trace(Var("v"))})));
    w.Tags().ShowFrame();
    ScriptedMovie m(w);
    EXPECT_EQ(m.log.Joined(), "start|abc|typed");
}

}  // namespace
