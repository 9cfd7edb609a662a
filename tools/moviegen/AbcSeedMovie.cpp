// "abc_seed.swf": a movie whose DoABC block traces, computes, branches,
// throws and catches, so the player fuzzer starts from bytes that reach the
// ABC reader, the verifier and the interpreter.
#include <vector>

#include "tools/moviegen/Movies.h"
#include "tools/swfmake/AbcWriter.h"

namespace moviegen {

namespace {

using swfmake::AbcWriter;

enum : uint8_t {
    kThrow = 0x03, kLabel = 0x09, kIfLt = 0x15, kPushScope = 0x30, kPushByte = 0x24, kPushString = 0x2C,
    kPushDouble = 0x2F, kCallPropVoid = 0x4F, kReturnVoid = 0x47, kFindPropStrict = 0x5D, kGetLex = 0x60,
    kCallProperty = 0x46, kAdd = 0xA0, kMultiply = 0xA2, kIncLocalI = 0xC2, kGetLocal0 = 0xD0,
    kGetLocal1 = 0xD1, kSetLocal1 = 0xD5, kNewArray = 0x56, kNewObject = 0x55, kPop = 0x29,
};

}  // namespace

swfmake::SwfWriter AbcSeedMovie() {
    AbcWriter w;
    std::vector<uint8_t> c;
    const uint32_t trace = w.QName("trace");
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    // for (i = 0; i < 5; i++) trace(i * 1.5 + "x")
    AbcWriter::Op(c, kPushByte, {0});
    AbcWriter::Op(c, kSetLocal1);
    const size_t top = c.size();
    AbcWriter::Op(c, kLabel);
    AbcWriter::Op(c, kFindPropStrict, {trace});
    AbcWriter::Op(c, kGetLocal1);
    AbcWriter::Op(c, kPushDouble, {w.Double(1.5)});
    AbcWriter::Op(c, kMultiply);
    AbcWriter::Op(c, kPushString, {w.String("x")});
    AbcWriter::Op(c, kAdd);
    AbcWriter::Op(c, kCallPropVoid, {trace, 1});
    AbcWriter::Op(c, kIncLocalI, {1});
    AbcWriter::Op(c, kGetLocal1);
    AbcWriter::Op(c, kPushByte, {5});
    const int32_t back = int32_t(top) - int32_t(c.size() + 4);
    c.insert(c.end(), {kIfLt, uint8_t(back), uint8_t(back >> 8), uint8_t(back >> 16)});
    // trace(Math.max(3, 7)), an array and an object literal
    AbcWriter::Op(c, kFindPropStrict, {trace});
    AbcWriter::Op(c, kGetLex, {w.QName("Math")});
    AbcWriter::Op(c, kPushByte, {3});
    AbcWriter::Op(c, kPushByte, {7});
    AbcWriter::Op(c, kCallProperty, {w.QName("max"), 2});
    AbcWriter::Op(c, kCallPropVoid, {trace, 1});
    AbcWriter::Op(c, kPushByte, {1});
    AbcWriter::Op(c, kPushByte, {2});
    AbcWriter::Op(c, kNewArray, {2});
    AbcWriter::Op(c, kPop);
    AbcWriter::Op(c, kPushString, {w.String("k")});
    AbcWriter::Op(c, kPushByte, {1});
    AbcWriter::Op(c, kNewObject, {1});
    AbcWriter::Op(c, kPop);
    // try { throw "seed" } catch (e) { trace(e) }
    const uint32_t from = uint32_t(c.size());
    AbcWriter::Op(c, kPushString, {w.String("seed")});
    AbcWriter::Op(c, kThrow);
    const uint32_t to = uint32_t(c.size());
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    AbcWriter::Op(c, kSetLocal1);
    AbcWriter::Op(c, kFindPropStrict, {trace});
    AbcWriter::Op(c, kGetLocal1);
    AbcWriter::Op(c, kCallPropVoid, {trace, 1});
    AbcWriter::Op(c, kReturnVoid);
    w.Script(w.Method(0, 8, 2, 2, c, {{from, to, to}}));

    constexpr uint16_t kDoAbc = 82, kSymbolClass = 76;
    swfmake::SwfWriter movie(10, swf::Rect{0, 100 * kTwips, 0, 100 * kTwips}, 24);
    movie.Tags().Raw(kDoAbc, swfmake::DoAbcBody(w.Bytes(), false, "seed"), true);
    movie.Tags().Raw(kSymbolClass, swfmake::SymbolClassBody({{0, "Seed"}}));
    movie.Tags().ShowFrame();
    movie.Tags().ShowFrame();
    return movie;
}

}  // namespace moviegen
