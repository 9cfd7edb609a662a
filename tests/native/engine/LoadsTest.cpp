// Files scripts load from beside the movie: LoadVars, XML, loadVariables
// actions, _url. Fixture movies and their files are written to a temp
// folder; a file beside the movie arrives once the frame's actions have run.
#include <fstream>

#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

std::string New(const std::string& cls, const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + ", '" + cls + "'; newobject";
}

swfmake::SwfWriter Movie(const std::string& script) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().SetBackgroundColor({255, 255, 255, 255});
    w.Tags().DoAction(Asm(script));
    w.Tags().ShowFrame();
    return w;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Plays `script` from a movie in the temp folder with `files` beside it;
// returns the trace log of the first frame and of the next, and the
// addresses the host was asked to open.
struct LoadRun {
    std::string first, next;
    std::vector<std::string> urls;
};
LoadRun PlayBeside(const std::string& name, const std::string& script,
               const std::vector<std::pair<std::string, std::string>>& files = {}) {
    const std::string dir = testing::TempDir();
    for (const auto& f : files) WriteText(dir + "/" + f.first, f.second);
    LoadRun run;
    if (!Movie(script).WriteFile(dir + "/" + name, false)) return run;
    swf::Player p;
    Traced log;
    log.Attach(p);
    p.SetGetUrlHandler([&](const std::string& url, const std::string& target) { run.urls.push_back(url + " " + target); });
    if (!p.LoadFile(dir + "/" + name)) return run;
    run.first = log.Take();
    p.Tick();
    run.next = log.Take();
    return run;
}

std::string OnLoadTracing(const std::string& expr) { return Fn(Trace(expr), "ok"); }

TEST(LoadsTest, LoadVarsLoadsByTheEndOfTheFrameAndTellsOnLoad) {
    const LoadRun r = PlayBeside(
        "lv.swf",
        Lines({
            SetV("v", New("LoadVars")),
            SetM(Var("v"), "onLoad",
                 OnLoadTracing(Var("ok") + "; push ' '; add2; " + Var("this.a") + "; add2; push ' '; add2; " +
                               CallM(Var("this"), "getBytesTotal") + "; add2; push ' '; add2; " + Var("this.loaded") +
                               "; add2")),
            Do(CallM(Var("v"), "load", {Str("lv.txt")})),
            SetV("gone", New("LoadVars")),
            SetM(Var("gone"), "onLoad", OnLoadTracing("push 'missing '; " + Var("ok") + "; add2")),
            Do(CallM(Var("gone"), "load", {Str("nothing-here.txt")})),
            SetV("web", New("LoadVars")),
            SetM(Var("web"), "onLoad", OnLoadTracing("push 'web '; " + Var("ok") + "; add2")),
            Do(CallM(Var("web"), "load", {Str("http://example.invalid/a.txt")})),
            Trace(Var("v.loaded")),
        }),
        {{"lv.txt", "a=one+two&b=2"}});
    // Nothing arrives while the frame's actions run; all of it before the next.
    EXPECT_EQ(r.first, "false|true one two 13 true|missing false|web false");
    EXPECT_EQ(r.next, "");
    EXPECT_EQ(r.urls, std::vector<std::string>{"http://example.invalid/a.txt "});
}

TEST(LoadsTest, LoadVarsDecodesSendsAndOverridesOnData) {
    const LoadRun r = PlayBeside(
        "lvsend.swf",
        Lines({
            SetV("v", New("LoadVars")),
            Do(CallM(Var("v"), "decode", {Str("x=1&y=a+b%21")})),
            Trace(CallM(Var("v"), "toString")),
            Do(CallM(Var("v"), "send", {Str("http://example.invalid/s"), Str("_blank"), Str("GET")})),
            SetV("raw", New("LoadVars")),
            SetM(Var("raw"), "onData", Fn(Trace("push 'raw '; " + Var("src") + "; add2"), "src")),
            Do(CallM(Var("raw"), "load", {Str("raw.txt")})),
        }),
        {{"raw.txt", "not=decoded"}});
    EXPECT_EQ(r.first, "y=a%20b%21&x=1|raw not=decoded");  // newest first, as for-in lists them
    EXPECT_EQ(r.urls, std::vector<std::string>{"http://example.invalid/s?y=a%20b%21&x=1 _blank"});
}

TEST(LoadsTest, XmlParsesWalksAndWritesBack) {
    const std::string doc = "<?xml version=\"1.0\"?><a x=\"1\"><b>hi &amp; bye</b><p:c/></a>";
    struct Case {
        std::string expr, expected;
    };
    const Case cases[] = {
        {CallM(Var("d"), "toString"), "<?xml version=\"1.0\"?><a x=\"1\"><b>hi &amp; bye</b><p:c /></a>"},
        {Var("d.firstChild.firstChild.firstChild.nodeValue"), "hi & bye"},
        {Var("d.firstChild.attributes.x"), "1"},
        {Var("d.firstChild.childNodes.length"), "2"},
        {Var("d.firstChild.lastChild.previousSibling.nodeName"), "b"},
        {Var("d.firstChild.firstChild.nextSibling.parentNode.nodeName"), "a"},
        {Var("d.firstChild.lastChild.nextSibling"), "null"},
        {Var("d.firstChild.firstChild.firstChild.nodeType"), "3"},
        {Var("d.status"), "0"},
        {Var("d.xmlDecl"), "<?xml version=\"1.0\"?>"},
        {CallM(Var("d.firstChild.lastChild"), "hasChildNodes"), "false"},
        {Var("d.firstChild.lastChild.prefix") + "; " + Var("d.firstChild.lastChild.localName") + "; add2", "pc"},
        {Var("d.firstChild.prefix") + "; push '/'; add2; " + Var("d.firstChild.localName") + "; add2", "/a"},
        {Var("d.localName"), "null"},
    };
    std::vector<std::string> lines{SetV("d", New("XML", {Str(doc)}))};
    std::string expected;
    for (const Case& c : cases) {
        lines.push_back(Trace(c.expr));
        expected += (expected.empty() ? "" : "|") + c.expected;
    }
    ScriptedMovie m(Movie(Lines(lines)));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), expected);
}

TEST(LoadsTest, XmlTreeEditsKeepOneParentAndRefuseCycles) {
    ScriptedMovie m(Movie(Lines({
        SetV("d", New("XML")),
        SetV("r", CallM(Var("d"), "createElement", {Str("r")})),
        Do(CallM(Var("d"), "appendChild", {Var("r")})),
        SetV("t", CallM(Var("d"), "createTextNode", {Str("1 < 2")})),
        Do(CallM(Var("r"), "appendChild", {Var("t")})),
        SetV("e", CallM(Var("d"), "createElement", {Str("e")})),
        Do(CallM(Var("r"), "insertBefore", {Var("e"), Var("t")})),
        Trace(CallM(Var("d"), "toString")),
        // A copy is separate; moving a node takes it from its old parent.
        SetV("copy", CallM(Var("r"), "cloneNode", {"push true"})),
        Do(CallM(Var("e"), "appendChild", {Var("t")})),
        Trace(CallM(Var("d"), "toString")),
        Trace(CallM(Var("copy"), "toString")),
        Do(CallM(Var("e"), "appendChild", {Var("r")})),  // r holds e: refused
        Do(CallM(Var("t"), "removeNode")),
        Trace(CallM(Var("d"), "toString")),
        Do(CallM(Var("d"), "parseXML", {Str("<p> <q/> </p>")})),
        Trace(Var("d.firstChild.childNodes.length")),
        SetM(Var("d"), "ignoreWhite", "push true"),
        Do(CallM(Var("d"), "parseXML", {Str("<p> <q/> </p>")})),
        Trace(Var("d.firstChild.childNodes.length")),
        Do(CallM(Var("d"), "parseXML", {Str("<p><q></p>")})),
        Trace("push 'status '; " + Var("d.status") + "; add2"),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(),
              "<r><e />1 &lt; 2</r>|<r><e>1 &lt; 2</e></r>|<r><e />1 &lt; 2</r>|<r><e /></r>|3|1|status -10");
}

TEST(LoadsTest, XmlLoadsAFileBesideTheMovie) {
    const LoadRun r = PlayBeside(
        "xmlload.swf",
        Lines({
            SetV("d", New("XML")),
            SetM(Var("d"), "ignoreWhite", "push true"),
            SetM(Var("d"), "onLoad",
                 OnLoadTracing(Var("ok") + "; push ' '; add2; " + Var("this.firstChild.firstChild.nodeName") +
                               "; add2; push ' '; add2; " + CallM(Var("this"), "getBytesLoaded") + "; add2")),
            Do(CallM(Var("d"), "load", {Str("data.xml")})),
        }),
        {{"data.xml", "<list>\n  <item/>\n</list>\n"}});
    EXPECT_EQ(r.first, "true item 25");
}

TEST(LoadsTest, LoadVariablesNumSetsTheLevelsVariablesAndUrlNamesTheFile) {
    const LoadRun r = PlayBeside("levelvars.swf",
                             Lines({
                                 Str("levelvars.txt") + "; " + Str("_level0") + "; geturl2 128",
                                 Trace(Var("_root._url")),
                                 SetV("check", Fn(Trace(Var("_root.n")))),
                                 CallF("setInterval", {Var("check"), Num(1)}) + "; pop",
                             }),
                             {{"levelvars.txt", "n=42"}});
    const std::string url = "file://" + std::string(testing::TempDir()[0] == '/' ? "" : "/") + testing::TempDir();
    EXPECT_EQ(r.first.substr(0, url.size()), url);
    EXPECT_NE(r.first.find("/levelvars.swf"), std::string::npos) << r.first;
    EXPECT_EQ(r.next, "42");
}

// A 10 px square at (40, 20) px that traces `text` on its first frame.
swfmake::SwfWriter LevelMovie(const std::string& text) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DefineShape(1, Square(200));
    t.PlaceObject2(swfmake::NewPlacement(1, 1, swf::Matrix::Translate(800, 400)));
    t.DoAction(Asm(Trace(Str(text))));
    t.ShowFrame();
    return w;
}

TEST(LoadsTest, LoadMovieNumDrawsALevelAboveAndUnloadMovieNumTakesItAway) {
    const std::string dir = testing::TempDir();
    ASSERT_TRUE(LevelMovie("level one").WriteFile(dir + "/level1.swf", false));
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DoAction(Asm(Str("level1.swf") + "; " + Str("_level1") + "; geturl2 0"));
    t.ShowFrame();
    t.DoAction(Asm("stop; " + Str("") + "; " + Str("_level1") + "; geturl2 0"));
    t.ShowFrame();
    ASSERT_TRUE(w.WriteFile(dir + "/levels.swf", false));
    swf::Player p;
    Traced log;
    log.Attach(p);
    ASSERT_TRUE(p.LoadFile(dir + "/levels.swf"));
    EXPECT_EQ(Pixels(p).At(45, 25), kWhitePixel);
    p.Tick();
    EXPECT_EQ(log.Take(), "level one");
    EXPECT_EQ(Pixels(p).At(45, 25), 0xFFC80000u);
    EXPECT_EQ(Pixels(p).At(55, 25), kWhitePixel);
    p.Tick();
    EXPECT_EQ(Pixels(p).At(45, 25), kWhitePixel);
    EXPECT_TRUE(p.Errors().empty());
}

// A level's clips have its root for _root and are named from it.
TEST(LoadsTest, ALevelIsTheRootOfWhatItHolds) {
    const std::string dir = testing::TempDir();
    swfmake::SwfWriter level(8, kStage, 12);
    level.Tags().DoAction(Asm(Lines({
        Trace(Var("_root")),
        Do(CallM(Var("this"), "createEmptyMovieClip", {Str("c"), Num(1)})),
        Trace(Var("c._target")),
        Trace(Var("c._root")),
        Trace(CallM(Var("c"), "getSWFVersion")),
    })));
    level.Tags().ShowFrame();
    ASSERT_TRUE(level.WriteFile(dir + "/rootlevel.swf", false));
    swfmake::SwfWriter w(6, kStage, 12);
    w.Tags().DoAction(Asm(Str("rootlevel.swf") + "; " + Str("_level3") + "; geturl2 0"));
    w.Tags().ShowFrame();
    w.Tags().DoAction(Asm("stop; " + Trace(Var("_level3.c._name"))));
    w.Tags().ShowFrame();
    ASSERT_TRUE(w.WriteFile(dir + "/rootmain.swf", false));
    swf::Player p;
    Traced log;
    log.Attach(p);
    ASSERT_TRUE(p.LoadFile(dir + "/rootmain.swf"));
    p.Tick();
    EXPECT_EQ(log.Take(), "_level3|_level3/c|_level3|8|c");
    EXPECT_TRUE(p.Errors().empty());
}

// A level's clips take the pointer over the levels below, where their
// level puts them.
TEST(LoadsTest, ALevelsClipsTakeThePointerOverTheLevelsBelow) {
    const std::string dir = testing::TempDir();
    const std::string onPress = SetM(Var("s"), "onPress", Fn(Trace(Var("this"))));
    ASSERT_TRUE(SquareClipScene(Lines({onPress, SetM(Var("this"), "_x", Num(30))})).WriteFile(dir + "/presslevel.swf", false));
    ASSERT_TRUE(SquareClipScene(Lines({onPress, Str("presslevel.swf") + "; " + Str("_level1") + "; geturl2 0"}))
                    .WriteFile(dir + "/pressmain.swf", false));
    swf::Player p;
    Traced log;
    log.Attach(p);
    ASSERT_TRUE(p.LoadFile(dir + "/pressmain.swf"));
    p.Tick();
    Pixels(p);
    for (int x : {25, 55}) {
        p.PointerDown(x, 25);
        p.PointerUp(x, 25);
    }
    EXPECT_EQ(log.Take(), "_level0.s|_level1.s");
}

TEST(LoadsTest, AMovieLoadingItselfIntoALevelEveryFrameStaysBounded) {
    const std::string dir = testing::TempDir();
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DoAction(Asm(Trace(Str("again")) + "\n" + Str("self.swf") + "; " + Str("_level1") + "; geturl2 0"));
    w.Tags().ShowFrame();
    ASSERT_TRUE(w.WriteFile(dir + "/self.swf", false));
    swf::Player p;
    Traced log;
    log.Attach(p);
    ASSERT_TRUE(p.LoadFile(dir + "/self.swf"));
    for (int i = 0; i < 5; ++i) p.Tick();
    // Each frame: _level0 and the fresh copy in _level1 ask again; one load a frame.
    EXPECT_EQ(log.lines.size(), 6u);
}

// A file's tags reach the script as id3, onID3 first, even when its audio
// cannot be played.
TEST(LoadsTest, LoadSoundSharesTheFilesTagsAsId3) {
    std::string tag = "ID3";
    tag += std::string("\x03\x00\x00\x00\x00\x00\x10", 7);  // version 3, 16 bytes of frames
    tag += std::string("TPE1\x00\x00\x00\x06\x00\x00\x00" "Band!", 16);
    const LoadRun r = PlayBeside(
        "snd.swf",
        Lines({
            SetV("s", New("Sound")),
            SetM(Var("s"), "onID3", Fn(Trace("push 'id3 '; " + Var("this.id3.artist") + "; add2; push ' '; add2; " +
                                              Var("this.id3.TPE1") + "; add2"))),
            SetM(Var("s"), "onLoad", OnLoadTracing("push 'loaded '; " + Var("ok") + "; add2")),
            Do(CallM(Var("s"), "loadSound", {Str("tagged.mp3"), "push 0"})),
        }),
        {{"tagged.mp3", tag}});
    EXPECT_EQ(r.first + "|" + r.next, "id3 Band! Band!|loaded false|");
}

}  // namespace

