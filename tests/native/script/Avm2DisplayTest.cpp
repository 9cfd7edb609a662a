// ActionScript 3 display objects over the player's own: containers built
// and reordered by script, their errors, and properties kept by the engine.
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

// Local registers 1..3 hold a MovieClip, a Sprite and a Shape; each step
// is code run after them, one line traced per `trace` step.
struct Builder {
    AbcWriter w;
    Code c;
    void Local(int r, bool set) { AbcWriter::Op(c, uint8_t((set ? 0xD4 : 0xD0) + r)); }
    void New(int r, const char* cls) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName(cls, "flash.display")});
        AbcWriter::Op(c, kConstructProp, {w.QName(cls, "flash.display"), 0});
        Local(r, true);
    }
    // reg.method(args...) with args pushed by `push`; the result stays when `keep`.
    void Call(int r, const char* method, int argc, const std::function<void()>& push, bool keep = false) {
        Local(r, false);
        if (push) push();
        AbcWriter::Op(c, keep ? kCallProperty : kCallPropVoid, {w.QName(method), uint32_t(argc)});
    }
    void Get(int r, const char* prop) {
        Local(r, false);
        AbcWriter::Op(c, kGetProperty, {w.QName(prop)});
    }
    void Trace(const std::function<void()>& push) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
        push();
        AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
    }
    void Byte(int v) { AbcWriter::Op(c, kPushByte, {uint32_t(v & 0xff)}); }
};

struct Played {
    std::string traced;
    std::vector<std::string> errors;
};

Played Play(const std::function<void(Builder&)>& steps) {
    Builder b;
    b.Local(0, false);
    AbcWriter::Op(b.c, kPushScope);
    b.New(1, "MovieClip");
    b.New(2, "Sprite");
    b.New(3, "Shape");
    steps(b);
    AbcWriter::Op(b.c, kReturnVoid);
    b.w.Script(b.w.Method(0, 8, 4, 2, b.c));
    swfmake::SwfWriter movie(10, swf::Rect{0, 0, 2000, 2000}, 24);
    movie.Tags().Raw(82, swfmake::DoAbcBody(b.w.Bytes(), false, "frame1"), true);
    movie.Tags().ShowFrame();
    swf::Player p;
    Played out;
    p.SetTraceHandler([&](const std::string& s) { out.traced += (out.traced.empty() ? "" : "|") + s; });
    EXPECT_TRUE(p.LoadBytes(movie.Write(false)));
    out.errors = p.Errors();
    return out;
}

TEST(Avm2DisplayTest, ContainersKeepTheirChildrenInOrder) {
    Played r = Play([](Builder& b) {
        b.Call(1, "addChild", 1, [&] { b.Local(2, false); });
        b.Call(1, "addChildAt", 2, [&] { b.Local(3, false); b.Byte(0); });
        b.Trace([&] { b.Get(1, "numChildren"); });
        b.Trace([&] { b.Call(1, "getChildIndex", 1, [&] { b.Local(2, false); }, true); });
        b.Trace([&] { b.Get(2, "parent"); b.Local(1, false); AbcWriter::Op(b.c, kStrictEquals); });
        // Moving a child to the bottom pushes the others up.
        b.Call(1, "setChildIndex", 2, [&] { b.Local(2, false); b.Byte(0); });
        b.Trace([&] { b.Call(1, "getChildIndex", 1, [&] { b.Local(3, false); }, true); });
        b.Call(1, "swapChildrenAt", 2, [&] { b.Byte(0); b.Byte(1); });
        b.Trace([&] { b.Call(1, "getChildIndex", 1, [&] { b.Local(2, false); }, true); });
        // Added to another parent, it leaves the first.
        b.Call(2, "addChild", 1, [&] { b.Local(3, false); });
        b.Trace([&] { b.Get(1, "numChildren"); });
        b.Call(1, "removeChild", 1, [&] { b.Local(2, false); });
        b.Trace([&] { b.Get(1, "numChildren"); });
        b.Trace([&] { b.Get(2, "parent"); });
        b.Trace([&] { b.Call(2, "contains", 1, [&] { b.Local(3, false); }, true); });
        // Positions are kept in twips; names can be set.
        b.Local(2, false);
        AbcWriter::Op(b.c, kPushString, {b.w.String("7.03")});
        AbcWriter::Op(b.c, kSetProperty, {b.w.QName("x")});
        b.Trace([&] { b.Get(2, "x"); });
        b.Local(2, false);
        AbcWriter::Op(b.c, kPushString, {b.w.String("kid")});
        AbcWriter::Op(b.c, kSetProperty, {b.w.QName("name")});
        b.Call(1, "addChild", 1, [&] { b.Local(2, false); });
        b.Trace([&] { b.Call(1, "getChildByName", 1, [&] { AbcWriter::Op(b.c, kPushString, {b.w.String("kid")}); }, true);
                      b.Local(2, false); AbcWriter::Op(b.c, kStrictEquals); });
        b.Trace([&] { b.Get(1, "stage"); });
    });
    EXPECT_EQ(r.traced, "2|1|true|1|1|1|0|null|true|7.05|true|null");
}

TEST(Avm2DisplayTest, WrongChildrenThrowTheReferenceErrors) {
    struct Case {
        const char* what;
        std::function<void(Builder&)> step;
        const char* error;
    } cases[] = {
        {"index past the end", [](Builder& b) { b.Call(1, "getChildAt", 1, [&] { b.Byte(3); }); }, "Error #2006"},
        {"not a child", [](Builder& b) { b.Call(1, "removeChild", 1, [&] { b.Local(2, false); }); }, "Error #2025"},
        {"null child", [](Builder& b) { b.Call(1, "addChild", 1, [&] { AbcWriter::Op(b.c, kPushNull); }); }, "Error #2007"},
        {"itself", [](Builder& b) { b.Call(1, "addChild", 1, [&] { b.Local(1, false); }); }, "Error #2024"},
        {"its parent", [](Builder& b) {
             b.Call(1, "addChild", 1, [&] { b.Local(2, false); });
             b.Call(2, "addChild", 1, [&] { b.Local(1, false); });
         }, "Error #2150"},
    };
    for (const Case& c : cases) {
        Played r = Play(c.step);
        std::string all;
        for (const std::string& e : r.errors) all += e + "\n";
        EXPECT_NE(all.find(c.error), std::string::npos) << c.what << ": " << all;
    }
}

}  // namespace
