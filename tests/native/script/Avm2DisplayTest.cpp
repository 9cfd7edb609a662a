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
    void Local(int r, bool set) {
        if (r < 4) AbcWriter::Op(c, uint8_t((set ? 0xD4 : 0xD0) + r));
        else AbcWriter::Op(c, set ? 0x63 : 0x62, {uint32_t(r)});  // setlocal / getlocal
    }
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
    void Str(const char* s) { AbcWriter::Op(c, kPushString, {w.String(s)}); }
    // reg.graphics.method(args...)
    void Draw(int r, const char* method, int argc, const std::function<void()>& push) {
        Get(r, "graphics");
        if (push) push();
        AbcWriter::Op(c, kCallPropVoid, {w.QName(method), uint32_t(argc)});
    }
    // A BitmapData of the given arguments into register r.
    void NewBitmap(int r, int argc, const std::function<void()>& push) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("BitmapData", "flash.display")});
        push();
        AbcWriter::Op(c, kConstructProp, {w.QName("BitmapData", "flash.display"), uint32_t(argc)});
        Local(r, true);
    }
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
    b.w.Script(b.w.Method(0, 8, 7, 2, b.c));
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

TEST(Avm2DisplayTest, DrawingSizesSpritesAndShapes) {
    Played r = Play([](Builder& b) {
        b.Draw(3, "beginFill", 1, [&] { b.Byte(0x33); });
        b.Draw(3, "drawRect", 4, [&] { b.Byte(0); b.Byte(0); b.Byte(100); b.Byte(50); });
        b.Trace([&] { b.Get(3, "width"); });
        b.Trace([&] { b.Get(3, "height"); });
        // One Graphics each, the same on every read.
        b.Trace([&] { b.Get(3, "graphics"); b.Get(3, "graphics"); AbcWriter::Op(b.c, kStrictEquals); });
        b.Draw(3, "clear", 0, nullptr);
        b.Trace([&] { b.Get(3, "width"); });
        // Without a fill or a line, the pen only moves.
        b.Draw(2, "drawCircle", 3, [&] { b.Byte(0); b.Byte(0); b.Byte(10); });
        b.Trace([&] { b.Get(2, "width"); });
        b.Draw(2, "lineStyle", 0, nullptr);
        b.Draw(2, "beginFill", 1, [&] { b.Byte(1); });
        b.Draw(2, "drawCircle", 3, [&] { b.Byte(0); b.Byte(0); b.Byte(10); });
        b.Trace([&] { b.Get(2, "width"); });
        b.Draw(2, "clear", 0, nullptr);
        b.Draw(2, "beginFill", 1, [&] { b.Byte(1); });
        b.Draw(2, "drawRoundRect", 6, [&] { b.Byte(10); b.Byte(10); b.Byte(40); b.Byte(20); b.Byte(100); b.Byte(100); });
        b.Trace([&] { b.Get(2, "height"); });
        // The clip's drawing copied onto the shape.
        b.Draw(3, "copyFrom", 1, [&] { b.Get(2, "graphics"); });
        b.Trace([&] { b.Get(3, "width"); });
    });
    EXPECT_EQ(r.traced, "100|50|true|0|0|20|20|40") << (r.errors.empty() ? "" : r.errors[0]);
}

TEST(Avm2DisplayTest, BitmapDataKeepsItsPixels) {
    Played r = Play([](Builder& b) {
        b.NewBitmap(4, 4, [&] { b.Byte(4); b.Byte(3); AbcWriter::Op(b.c, 0x27); b.Str("4278255360"); });
        b.Trace([&] { b.Get(4, "width"); });
        b.Trace([&] { b.Get(4, "transparent"); });
        b.Trace([&] { b.Call(4, "getPixel", 2, [&] { b.Byte(1); b.Byte(1); }, true); });
        // An opaque bitmap keeps its pixels opaque.
        b.Call(4, "setPixel32", 3, [&] { b.Byte(0); b.Byte(0); b.Str("16711935"); });
        b.Trace([&] { b.Call(4, "getPixel32", 2, [&] { b.Byte(0); b.Byte(0); }, true); });
        b.Call(4, "clone", 0, nullptr, true);
        b.Local(5, true);
        b.Trace([&] { b.Call(5, "getPixel", 2, [&] { b.Byte(0); b.Byte(0); }, true); });
        // A Bitmap is the size of its pixels.
        AbcWriter::Op(b.c, kFindPropStrict, {b.w.QName("Bitmap", "flash.display")});
        b.Local(4, false);
        AbcWriter::Op(b.c, kConstructProp, {b.w.QName("Bitmap", "flash.display"), 1});
        b.Local(6, true);
        b.Trace([&] { b.Get(6, "height"); });
        b.Trace([&] { b.Get(6, "bitmapData"); b.Local(4, false); AbcWriter::Op(b.c, kStrictEquals); });
    });
    EXPECT_EQ(r.traced, "4|false|65280|4294902015|16711935|3|true") << (r.errors.empty() ? "" : r.errors[0]);
}

TEST(Avm2DisplayTest, DrawingAndBitmapsRefuseBadArguments) {
    struct Case {
        const char* what;
        std::function<void(Builder&)> step;
        const char* error;
    } cases[] = {
        {"gradient type", [](Builder& b) { b.Draw(2, "beginGradientFill", 1, [&] { b.Str("conic"); }); }, "Error #2008"},
        {"winding", [](Builder& b) {
             b.Draw(2, "drawPath", 3, [&] { AbcWriter::Op(b.c, kPushNull); AbcWriter::Op(b.c, kPushNull); b.Str("evenodd"); });
         }, "Error #2008"},
        {"empty bitmap", [](Builder& b) { b.NewBitmap(4, 2, [&] { b.Byte(0); b.Byte(4); }); }, "Error #2015"},
        {"disposed bitmap", [](Builder& b) {
             b.NewBitmap(4, 2, [&] { b.Byte(2); b.Byte(4); });
             b.Call(4, "dispose", 0, nullptr);
             b.Trace([&] { b.Get(4, "width"); });
         }, "Error #2015"},
        {"null rectangle", [](Builder& b) {
             b.NewBitmap(4, 2, [&] { b.Byte(2); b.Byte(4); });
             b.Call(4, "fillRect", 2, [&] { AbcWriter::Op(b.c, kPushNull); b.Byte(0); });
         }, "Error #2007"},
    };
    for (const Case& c : cases) {
        Played r = Play(c.step);
        std::string all;
        for (const std::string& e : r.errors) all += e + "\n";
        EXPECT_NE(all.find(c.error), std::string::npos) << c.what << ": " << all;
    }
}

}  // namespace
