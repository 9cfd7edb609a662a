// loadMovie and unloadMovie into clips: movies and pictures beside the
// movie replace a clip's content on the next frame. Fixtures are written to
// the temp folder; tests check the pixels, the trace log and Errors().
#include <fstream>

#include "MovieScriptUtil.h"
#include "tools/swfmake/ImageEncode.h"

namespace {

using namespace enginetest;
constexpr int32_t tw = swf::kTwipsPerPixel;

std::string Dir() { return testing::TempDir(); }

void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(Dir() + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

size_t FileSize(const std::string& name) {
    std::ifstream in(Dir() + "/" + name, std::ios::binary | std::ios::ate);
    return size_t(in.tellg());
}

// Frames of actions, the last one stopping; `define` adds characters first.
swfmake::SwfWriter Frames(const std::vector<std::string>& frames,
                          const std::function<void(swfmake::TagList&)>& define = {}) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    if (define) define(t);
    for (size_t i = 0; i < frames.size(); ++i) {
        t.DoAction(Asm(frames[i] + (i + 1 == frames.size() ? "\nstop" : "")));
        t.ShowFrame();
    }
    return w;
}

// holder = createEmptyMovieClip at (x, y) px, holder.v = 1.
std::string Holder(int x, int y) {
    return Lines({Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("holder"), Num(1)})),
                  SetM(Var("holder"), "_x", Num(x)), SetM(Var("holder"), "_y", Num(y)),
                  SetM(Var("holder"), "v", Num(1))});
}

// Sprite 5, initialised by a trace of `text`.
void InitSprite(swfmake::TagList& t, const std::string& text) {
    swfmake::TagList sprite;
    sprite.ShowFrame();
    t.DefineSprite(5, sprite);
    t.DoInitAction(5, Asm(Trace(Str(text))));
}

struct LoadRun {
    swf::Player player;
    Traced log;
    std::vector<std::string> urls;
    bool loaded = false;
    explicit LoadRun(const std::string& name) {
        log.Attach(player);
        player.SetGetUrlHandler([this](const std::string& url, const std::string& target) {
            urls.push_back(url + " " + target);
        });
        loaded = player.LoadFile(Dir() + "/" + name);
    }
};

std::string JoinedErrors(const swf::Player& p) {
    std::string out;
    for (const std::string& e : p.Errors()) out += e + "\n";
    return out;
}

TEST(ClipLoadsTest, LoadMovieReplacesTheClipsContentWithTheLoadedRootAndUnloadEmptiesIt) {
    // The loaded movie's character 1 is a 10 px red square; the host's
    // character 1 is a bigger blue one, so a shared dictionary shows.
    ASSERT_TRUE(Frames({Lines({
                            Trace(Var("this._name") + "; push ' '; add2; " + Var("_parent.marker") +
                                  "; add2; push ' '; add2; " + Var("_root.marker") + "; add2; push ' '; add2; " +
                                  Var("this.v") + "; add2"),
                            Trace(CallM(Var("this"), "getBytesTotal")),
                            SetM(Var("this"), "onLoad", Fn(Trace(Str("onLoad")))),
                            SetM(Var("this"), "onUnload", Fn(Trace(Str("onUnload")))),
                            SetM(Var("this"), "_lockroot", "push true"),
                            Trace(Var("_root._name")),
                            Trace(Var("this._url")),
                        })},
                       [](swfmake::TagList& t) {
                           t.DefineShape(1, Square(10 * tw));
                           t.PlaceObject(1, 1);
                           InitSprite(t, "child init");
                       })
                    .WriteFile(Dir() + "/child.swf", false));
    ASSERT_TRUE(Frames({Lines({SetV("marker", Str("host")), Holder(40, 20),
                               Do(CallM(Var("holder"), "loadMovie", {Str("child.swf")})), Trace(Var("holder.v"))}),
                        Do(CallM(Var("holder"), "unloadMovie"))},
                       [](swfmake::TagList& t) {
                           t.DefineShape(1, Square(40 * tw, {0, 0, 200, 255}));
                           InitSprite(t, "host init");
                       })
                    .WriteFile(Dir() + "/host.swf", false));
    LoadRun r("host.swf");
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Take(), "host init|1");  // nothing arrives within the frame
    r.player.Tick();
    // The loaded movie's sprite 5 is not the host's: its init runs too. The
    // clip loads before its first frame, so the onLoad that frame sets is late.
    EXPECT_EQ(r.log.Take(), "child init|holder host host undefined|" + std::to_string(FileSize("child.swf")) + "|holder|file://" +
                                  Dir() + "/child.swf");
    swf::FrameBuffer shown = Pixels(r.player);
    EXPECT_EQ(shown.At(45, 25), 0xFFC80000u);  // the child's square at the holder's place
    EXPECT_EQ(shown.At(55, 25), kWhitePixel);
    EXPECT_EQ(shown.At(45, 35), kWhitePixel);
    r.player.Tick();  // frame 2 asked for the unload
    r.player.Tick();
    EXPECT_EQ(r.log.Take(), "onUnload");
    EXPECT_EQ(Pixels(r.player).At(45, 25), kWhitePixel);
    EXPECT_EQ(JoinedErrors(r.player), "");
}

TEST(ClipLoadsTest, PicturesLoadAtTheClipsOriginAndBadFilesKeepTheClip) {
    swfmake::Image green(8, 8, {0, 160, 0, 255});
    WriteBytes("pic.png", swfmake::EncodePng(green));
    WriteBytes("pic.gif", swfmake::EncodeGif(green));
    WriteBytes("pic.jpg", swfmake::EncodeJpeg(green, 100));
    WriteBytes("broken.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0});
    const char* const pictures[] = {"pic.png", "pic.gif", "pic.jpg"};
    for (const char* pic : pictures) {
        SCOPED_TRACE(pic);
        // The global loadMovie(url, target): GetURL2 with a clip path.
        ASSERT_TRUE(Frames({Lines({Holder(60, 30), Str(pic) + "; " + Str("_root.holder") + "; geturl2 64"}),
                            Trace(CallM(Var("holder"), "getBytesLoaded"))})
                        .WriteFile(Dir() + "/pichost.swf", false));
        LoadRun r("pichost.swf");
        ASSERT_TRUE(r.loaded);
        r.player.Tick();
        EXPECT_EQ(r.log.Take(), std::to_string(FileSize(pic)));
        const swf::FrameBuffer shown = Pixels(r.player);
        const uint32_t p = shown.At(67, 37);
        EXPECT_NEAR(int(p >> 8 & 0xFF), 160, 2);
        EXPECT_EQ(p & 0xFF00FF, 0u);
        EXPECT_EQ(shown.At(68, 30), kWhitePixel);
        EXPECT_EQ(shown.At(59, 37), kWhitePixel);
        EXPECT_EQ(JoinedErrors(r.player), "");
    }
    // A damaged picture, a missing file and a web address: the clip keeps
    // its square; only the web address reaches the host.
    ASSERT_TRUE(SquareClipScene(Lines({Do(CallM(Var("s"), "loadMovie", {Str("broken.png")})),
                                       Do(CallM(Var("s"), "loadMovie", {Str("missing.swf")})),
                                       Do(CallM(Var("s"), "loadMovie", {Str("http://example.invalid/m.swf")}))}))
                    .WriteFile(Dir() + "/badhost.swf", false));
    LoadRun r("badhost.swf");
    ASSERT_TRUE(r.loaded);
    r.player.Tick();
    EXPECT_EQ(Pixels(r.player).At(25, 25), 0xFFC80000u);
    const std::string errors = JoinedErrors(r.player);
    EXPECT_NE(errors.find("broken.png"), std::string::npos) << errors;
    EXPECT_NE(errors.find("cannot read missing.swf"), std::string::npos) << errors;
    EXPECT_EQ(r.urls, std::vector<std::string>{"http://example.invalid/m.swf _level0.s"});
}

TEST(ClipLoadsTest, AMovieLoadingItselfIntoAChildEveryFrameStopsAtTheNestingLimit) {
    ASSERT_TRUE(Frames({Lines({Trace(Str("again")),
                               Do(CallM(Var("this"), "createEmptyMovieClip", {Str("c"), Num(1)})),
                               Do(CallM(Var("c"), "loadMovie", {Str("nest.swf")}))})})
                    .WriteFile(Dir() + "/nest.swf", false));
    LoadRun r("nest.swf");
    ASSERT_TRUE(r.loaded);
    for (int i = 0; i < 3; ++i) r.player.Tick();
    EXPECT_EQ(r.log.lines.size(), 4u);  // one load a frame, each one level deeper
    for (int i = 0; i < 60; ++i) r.player.Tick();
    EXPECT_EQ(r.log.lines.size(), size_t(32));  // the nesting limit
    EXPECT_FALSE(r.player.Errors().empty());  // the limit is reported
}

TEST(ClipLoadsTest, MovieClipLoaderTellsItsListenersHowEachLoadWentItselfFirst) {
    ASSERT_TRUE(Frames({Trace(Str("child ") + "; " + Var("this.v") + "; add2")}).WriteFile(Dir() + "/mclchild.swf", false));
    const std::string t = "push 't'; getvariable";
    auto heard = [&](const std::string& what, const std::string& extra) {
        return Fn(Trace(Str(what + " ") + "; " + Member(t, "_name") + "; add2; push ' '; add2; " + extra + "; add2"),
                  "t, a, b");
    };
    ASSERT_TRUE(Frames({Lines({Holder(0, 0), SetV("mcl", "push 0, 'MovieClipLoader'; newobject"),
                               SetM(Var("mcl"), "onLoadStart", Fn(Trace(Str("self start")), "t")),
                               SetV("l", "push 0; initobject"),
                               SetM(Var("l"), "onLoadStart", heard("start", Member(t, "v"))),
                               SetM(Var("l"), "onLoadProgress", heard("progress", Var("a") + "; " + Var("b") + "; equals2")),
                               SetM(Var("l"), "onLoadComplete", heard("complete", Var("a"))),
                               SetM(Var("l"), "onLoadInit", heard("init", Member(t, "v"))),
                               SetM(Var("l"), "onLoadError", heard("error", Var("a"))),
                               Do(CallM(Var("mcl"), "addListener", {Var("l")})),
                               Trace(CallM(Var("mcl"), "loadClip", {Str("mclchild.swf"), Var("holder")})),
                               Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("other"), Num(2)})),
                               Trace(CallM(Var("mcl"), "loadClip", {Str("nothere.swf"), Str("other")})),
                               Trace(CallM(Var("mcl"), "loadClip", {Str("mclchild.swf"), Str("noclip")}))}),
                        Lines({SetV("p", CallM(Var("mcl"), "getProgress", {Str("holder")})),
                               Trace(Var("p.bytesLoaded") + "; " + Var("p.bytesTotal") + "; equals2"),
                               Trace(Var("p.bytesTotal")), Trace(CallM(Var("mcl"), "getProgress", {"push 0; initobject"})),
                               Trace(Member(CallM(Var("mcl"), "getProgress", {Str("noclip")}), "bytesTotal"))})})
                    .WriteFile(Dir() + "/mclhost.swf", false));
    LoadRun r("mclhost.swf");
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.log.Take(), "true|true|false");
    r.player.Tick();
    // The clip is new from the first event on; its first frame runs before
    // onLoadInit, and a missing file only gets onLoadError.
    // The host's second frame, run after the loads, reads the progress.
    EXPECT_EQ(r.log.Take(), "self start|start holder undefined|progress holder true|complete holder 0|"
                            "error other URLNotFound|child undefined|init holder undefined|true|" +
                                std::to_string(FileSize("mclchild.swf")) + "|undefined|undefined");
}

}  // namespace
