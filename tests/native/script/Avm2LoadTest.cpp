// ActionScript 3 loads of files beside the movie: the events each load
// hears, in order and when (by the end of the frame that asked), with what
// they carry, for URLLoader, URLStream and Loader (pictures, unknown and
// missing files).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "swf/Player.h"
#include "tools/swfmake/AbcOps.h"
#include "tools/swfmake/AbcWriter.h"
#include "tools/swfmake/ImageEncode.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

using swfmake::AbcWriter;
using Code = std::vector<uint8_t>;
using namespace swfmake::abcop;

const char* const kEvents[] = {"open", "progress", "init", "httpStatus", "complete", "ioError", "unload"};

// new <pkg>::<cls>() in register 1, trace listening to every load event of
// it (or of its contentLoaderInfo), then `then` runs.
struct Script {
    AbcWriter w;
    Code c;
    void Str(const std::string& s) { AbcWriter::Op(c, kPushString, {w.String(s)}); }
    void NewIn1(const char* pkg, const char* cls) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName(cls, pkg)});
        AbcWriter::Op(c, kConstructProp, {w.QName(cls, pkg), 0});
        AbcWriter::Op(c, 0xD5);  // setlocal1
    }
    void Dispatcher(bool info) {
        AbcWriter::Op(c, 0xD1);  // getlocal1
        if (info) AbcWriter::Op(c, kGetProperty, {w.QName("contentLoaderInfo")});
    }
    void ListenAll(bool info) {
        for (const char* e : kEvents) {
            Dispatcher(info);
            Str(e);
            AbcWriter::Op(c, kGetLex, {w.QName("trace")});
            AbcWriter::Op(c, kCallPropVoid, {w.QName("addEventListener"), 2});
        }
    }
    // local1.method(new URLRequest(url))
    void Load(const char* method, const std::string& url) {
        AbcWriter::Op(c, 0xD1);
        AbcWriter::Op(c, kFindPropStrict, {w.QName("URLRequest", "flash.net")});
        Str(url);
        AbcWriter::Op(c, kConstructProp, {w.QName("URLRequest", "flash.net"), 1});
        AbcWriter::Op(c, kCallPropVoid, {w.QName(method), 1});
    }
    void TraceProp(bool info, const char* prop) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
        Dispatcher(info);
        AbcWriter::Op(c, kGetProperty, {w.QName(prop)});
        AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
    }
};

struct Played {
    std::vector<std::string> frames;  // what each frame traced, joined with '|'
    std::string errors;
};

Played Play(const std::map<std::string, std::vector<uint8_t>>& files, const std::function<void(Script&)>& body,
            int frames = 2) {
    Script s;
    AbcWriter::Op(s.c, 0xD0);
    AbcWriter::Op(s.c, kPushScope);
    body(s);
    AbcWriter::Op(s.c, kReturnVoid);
    s.w.Script(s.w.Method(0, 8, 3, 2, s.c));
    swfmake::SwfWriter movie(10, swf::Rect{0, 0, 2000, 2000}, 24);
    movie.Tags().Raw(82, swfmake::DoAbcBody(s.w.Bytes(), false, "frame1"), true);
    movie.Tags().ShowFrame();
    movie.Tags().ShowFrame();
    swf::Player p;
    Played out;
    std::string line;
    p.SetTraceHandler([&](const std::string& t) { line += (line.empty() ? "" : "|") + t; });
    p.SetFileReader([&](const std::string& name, size_t limit, std::vector<uint8_t>& bytes) {
        auto it = files.find(name);
        if (it == files.end() || it->second.size() > limit) return false;
        bytes = it->second;
        return true;
    });
    EXPECT_TRUE(p.LoadBytes(movie.Write(false)));
    for (int i = 0; i < frames; ++i) {
        if (i) p.Tick();
        out.frames.push_back(line);
        line.clear();
    }
    for (const std::string& e : p.Errors()) out.errors += e + "\n";
    return out;
}

const std::vector<uint8_t> kText = {'a', '=', '1'};

TEST(Avm2LoadTest, UrlLoadersHearTheirEventsByTheEndOfTheFrame) {
    struct Case {
        const char* cls;
        const char* file;
        const char* before;  // a property traced before the load ran
        std::string events;
    } cases[] = {
        {"URLLoader", "data.txt", "bytesLoaded",
         "[Event type=\"open\" bubbles=false cancelable=false eventPhase=2]|"
         "[ProgressEvent type=\"progress\" bubbles=false cancelable=false eventPhase=2 bytesLoaded=3 bytesTotal=3]|"
         "[HTTPStatusEvent type=\"httpStatus\" bubbles=false cancelable=false eventPhase=2 status=0 redirected=false "
         "responseURL=null]|"
         "[Event type=\"complete\" bubbles=false cancelable=false eventPhase=2]"},
        {"URLLoader", "gone.txt", "bytesTotal",
         "[IOErrorEvent type=\"ioError\" bubbles=false cancelable=false eventPhase=2 text=\"Error #2032: Stream "
         "Error. URL: gone.txt\"]"},
        {"URLStream", "data.txt", "bytesAvailable",
         "[Event type=\"open\" bubbles=false cancelable=false eventPhase=2]|"
         "[ProgressEvent type=\"progress\" bubbles=false cancelable=false eventPhase=2 bytesLoaded=3 bytesTotal=3]|"
         "[HTTPStatusEvent type=\"httpStatus\" bubbles=false cancelable=false eventPhase=2 status=0 redirected=false "
         "responseURL=null]|"
         "[Event type=\"complete\" bubbles=false cancelable=false eventPhase=2]"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.cls) + " " + k.file);
        Played r = Play({{"data.txt", kText}}, [&](Script& s) {
            s.NewIn1("flash.net", k.cls);
            s.ListenAll(false);
            s.Load("load", k.file);
            s.TraceProp(false, k.before);
        });
        EXPECT_EQ(r.frames[0], "0|" + k.events);
        EXPECT_EQ(r.frames[1], "");
    }
}

TEST(Avm2LoadTest, LoadersShowPicturesAndRefuseUnknownFiles) {
    swfmake::Image red(3, 2, {255, 0, 0, 255});
    const std::map<std::string, std::vector<uint8_t>> files = {{"pic.png", swfmake::EncodePng(red)}, {"data.txt", kText}};
    const std::string png = std::to_string(files.at("pic.png").size());
    const std::string progress = "[ProgressEvent type=\"progress\" bubbles=false cancelable=false eventPhase=2 ";
    struct Case {
        const char* file;
        std::string events;
    } cases[] = {
        {"pic.png", "[Event type=\"open\" bubbles=false cancelable=false eventPhase=2]|" + progress +
                        "bytesLoaded=0 bytesTotal=" + png + "]|" + progress + "bytesLoaded=" + png +
                        " bytesTotal=" + png + "]|[Event type=\"init\" bubbles=false cancelable=false eventPhase=2]|"
                        "[HTTPStatusEvent type=\"httpStatus\" bubbles=false cancelable=false eventPhase=2 status=0 "
                        "redirected=false responseURL=null]|"
                        "[Event type=\"complete\" bubbles=false cancelable=false eventPhase=2]"},
        {"data.txt", "[Event type=\"open\" bubbles=false cancelable=false eventPhase=2]|" + progress +
                         "bytesLoaded=0 bytesTotal=3]|" + progress + "bytesLoaded=3 bytesTotal=3]|"
                         "[IOErrorEvent type=\"ioError\" bubbles=false cancelable=false eventPhase=2 text=\"Error "
                         "#2124: Loaded file is an unknown type. URL: data.txt\"]"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.file);
        Played r = Play(files, [&](Script& s) {
            s.NewIn1("flash.display", "Loader");
            s.ListenAll(true);
            s.Load("load", k.file);
            s.TraceProp(true, "url");
        }, 3);
        EXPECT_EQ(r.frames[0], "null|" + k.events);
        EXPECT_EQ(r.frames[1], "");
    }
}

TEST(Avm2LoadTest, LoadedPicturesBecomeBitmapsInTheLoader) {
    swfmake::Image half(4, 3, {0, 0, 255, 128});
    Played r = Play({{"pic.png", swfmake::EncodePng(half)}}, [&](Script& s) {
        s.NewIn1("flash.display", "Loader");
        // What a movie cannot tell before it loads is refused.
        s.TraceProp(true, "bytesTotal");
        s.Load("load", "pic.png");
        // By the end of the frame: content, its size and what the info says.
        AbcWriter::Op(s.c, 0xD1);
        AbcWriter::Op(s.c, kGetProperty, {s.w.QName("contentLoaderInfo")});
        s.Str("complete");
        AbcWriter::Op(s.c, kGetLex, {s.w.QName("trace")});
        AbcWriter::Op(s.c, kCallPropVoid, {s.w.QName("addEventListener"), 2});
        s.TraceProp(true, "width");
    });
    // The uncaught error is printed among the traces as well.
    EXPECT_EQ(r.frames[0],
              "0|Error: Error #2099: The loading object is not sufficiently loaded to provide this information.\n"
              "\tat flash.display::LoaderInfo/get width()\n\tat global$init()|"
              "[Event type=\"complete\" bubbles=false cancelable=false eventPhase=2]");
    EXPECT_NE(r.errors.find("Error #2099: The loading object is not sufficiently loaded"), std::string::npos)
        << r.errors;
}

// A loaded picture is the root of what it loaded, and its loaderInfo is the
// Loader's: a second frame's block asks, the load having finished by the
// end of the first.
TEST(Avm2LoadTest, LoadedPictureIsItsOwnRoot) {
    swfmake::Image red(3, 2, {255, 0, 0, 255});
    std::map<std::string, std::vector<uint8_t>> files = {{"pic.png", swfmake::EncodePng(red)}};
    Script first;
    AbcWriter::Op(first.c, 0xD0);
    AbcWriter::Op(first.c, kPushScope);
    first.NewIn1("flash.display", "Loader");
    first.Load("load", "pic.png");
    // The Loader class, which takes new properties, keeps it for the next frame.
    AbcWriter::Op(first.c, kGetLex, {first.w.QName("Loader", "flash.display")});
    AbcWriter::Op(first.c, 0xD1);
    AbcWriter::Op(first.c, kSetProperty, {first.w.QName("kept")});
    AbcWriter::Op(first.c, kReturnVoid);
    first.w.Script(first.w.Method(0, 8, 3, 2, first.c));

    Script second;
    AbcWriter& w = second.w;
    auto kept = [&] {
        AbcWriter::Op(second.c, kGetLex, {w.QName("Loader", "flash.display")});
        AbcWriter::Op(second.c, kGetProperty, {w.QName("kept")});
    };
    auto content = [&](const char* then) {
        kept();
        AbcWriter::Op(second.c, kGetProperty, {w.QName("content")});
        if (then) AbcWriter::Op(second.c, kGetProperty, {w.QName(then)});
    };
    AbcWriter::Op(second.c, 0xD0);
    AbcWriter::Op(second.c, kPushScope);
    AbcWriter::Op(second.c, kFindPropStrict, {w.QName("trace")});
    content("root");
    content(nullptr);
    AbcWriter::Op(second.c, kStrictEquals);
    AbcWriter::Op(second.c, kCallPropVoid, {w.QName("trace"), 1});
    AbcWriter::Op(second.c, kFindPropStrict, {w.QName("trace")});
    content("loaderInfo");
    kept();
    AbcWriter::Op(second.c, kGetProperty, {w.QName("contentLoaderInfo")});
    AbcWriter::Op(second.c, kStrictEquals);
    AbcWriter::Op(second.c, kCallPropVoid, {w.QName("trace"), 1});
    AbcWriter::Op(second.c, kReturnVoid);
    w.Script(w.Method(0, 8, 1, 2, second.c));

    swfmake::SwfWriter movie(10, swf::Rect{0, 0, 2000, 2000}, 24);
    movie.Tags().Raw(82, swfmake::DoAbcBody(first.w.Bytes(), false, "frame1"), true);
    movie.Tags().ShowFrame();
    movie.Tags().Raw(82, swfmake::DoAbcBody(second.w.Bytes(), false, "frame2"), true);
    movie.Tags().ShowFrame();
    swf::Player p;
    std::string traced;
    p.SetTraceHandler([&](const std::string& t) { traced += t + "|"; });
    p.SetFileReader([&](const std::string& name, size_t limit, std::vector<uint8_t>& bytes) {
        auto it = files.find(name);
        if (it == files.end() || it->second.size() > limit) return false;
        bytes = it->second;
        return true;
    });
    ASSERT_TRUE(p.LoadBytes(movie.Write(false)));
    p.Tick();
    EXPECT_EQ(traced, "true|true|");
    for (const std::string& e : p.Errors()) ADD_FAILURE() << e;
}

}  // namespace
