// The data classes on blocks built in code: flash.geom values, ByteArray
// and AMF, JSON, Date, the URI functions and timers' errors.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "Avm2TestUtil.h"

namespace {

using swfmake::AbcWriter;
using Code = std::vector<uint8_t>;
using namespace swfmake::abcop;

constexpr uint8_t kPushDouble = 0x2F, kGetLocal = 0x62, kSetLocal = 0x63;

// An operand: a number, a string, or a local register (1..).
struct Reg {
    uint32_t n;
};
struct Null {};
using Operand = std::variant<double, std::string, Reg, Null>;

// Builds a script step by step: locals hold objects, each step traces.
class Steps {
public:
    void Push(const Operand& a) {
        if (auto* d = std::get_if<double>(&a)) AbcWriter::Op(c, kPushDouble, {w.Double(*d)});
        else if (auto* s = std::get_if<std::string>(&a)) AbcWriter::Op(c, kPushString, {w.String(*s)});
        else if (auto* r = std::get_if<Reg>(&a)) AbcWriter::Op(c, kGetLocal, {r->n});
        else AbcWriter::Op(c, kPushNull);
    }
    void PushAll(const std::vector<Operand>& args) {
        for (const Operand& a : args) Push(a);
    }
    // local[reg] = new pkg.name(args)
    Steps& New(uint32_t reg, const char* name, const char* pkg, const std::vector<Operand>& args = {}) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName(name, pkg)});
        PushAll(args);
        AbcWriter::Op(c, kConstructProp, {w.QName(name, pkg), uint32_t(args.size())});
        AbcWriter::Op(c, kSetLocal, {reg});
        return *this;
    }
    // local[reg].method(args), result dropped
    Steps& Do(uint32_t reg, const char* method, const std::vector<Operand>& args = {}) {
        AbcWriter::Op(c, kGetLocal, {reg});
        PushAll(args);
        AbcWriter::Op(c, kCallPropVoid, {w.QName(method), uint32_t(args.size())});
        return *this;
    }
    // local[reg].prop = value
    Steps& Set(uint32_t reg, const char* prop, const Operand& v) {
        AbcWriter::Op(c, kGetLocal, {reg});
        Push(v);
        AbcWriter::Op(c, kSetProperty, {w.QName(prop)});
        return *this;
    }
    // trace(local[reg].method(args)), or of pkg.Class.method(args) with reg 0
    Steps& Trace(uint32_t reg, const char* method, const std::vector<Operand>& args = {}, const char* cls = "",
                 const char* pkg = "") {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
        if (reg) AbcWriter::Op(c, kGetLocal, {reg});
        else AbcWriter::Op(c, kGetLex, {w.QName(cls, pkg)});
        PushAll(args);
        AbcWriter::Op(c, kCallProperty, {w.QName(method), uint32_t(args.size())});
        AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
        return *this;
    }
    // local[reg] = pkg.Class.method(args)
    Steps& Let(uint32_t reg, const char* cls, const char* method, const std::vector<Operand>& args) {
        AbcWriter::Op(c, kGetLex, {w.QName(cls)});
        PushAll(args);
        AbcWriter::Op(c, kCallProperty, {w.QName(method), uint32_t(args.size())});
        AbcWriter::Op(c, kSetLocal, {reg});
        return *this;
    }
    // local[reg] = local[from].method(args)
    Steps& Keep(uint32_t reg, uint32_t from, const char* method, const std::vector<Operand>& args = {}) {
        AbcWriter::Op(c, kGetLocal, {from});
        PushAll(args);
        AbcWriter::Op(c, kCallProperty, {w.QName(method), uint32_t(args.size())});
        AbcWriter::Op(c, kSetLocal, {reg});
        return *this;
    }
    // trace(pkg.fn(args))
    Steps& TraceFn(const char* fn, const char* pkg, const std::vector<Operand>& args) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
        AbcWriter::Op(c, kFindPropStrict, {w.QName(fn, pkg)});
        PushAll(args);
        AbcWriter::Op(c, kCallProperty, {w.QName(fn, pkg), uint32_t(args.size())});
        AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
        return *this;
    }
    // trace(local[reg].prop)
    Steps& TraceProp(uint32_t reg, const char* prop) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
        AbcWriter::Op(c, kGetLocal, {reg});
        AbcWriter::Op(c, kGetProperty, {w.QName(prop)});
        AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
        return *this;
    }

    // trace(pkg.Class.prop)
    Steps& TraceStatic(const char* cls, const char* pkg, const char* prop) {
        AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
        AbcWriter::Op(c, kGetLex, {w.QName(cls, pkg)});
        AbcWriter::Op(c, kGetProperty, {w.QName(prop)});
        AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
        return *this;
    }
    // pkg.Class.prop = value
    Steps& SetStatic(const char* cls, const char* pkg, const char* prop, const Operand& v) {
        AbcWriter::Op(c, kGetLex, {w.QName(cls, pkg)});
        Push(v);
        AbcWriter::Op(c, kSetProperty, {w.QName(prop)});
        return *this;
    }

    AbcWriter w;
    Code c;
};

avm2test::Outcome Run(Steps& s) {
    Code body;
    AbcWriter::Op(body, kGetLocal0);
    AbcWriter::Op(body, kPushScope);
    body.insert(body.end(), s.c.begin(), s.c.end());
    AbcWriter::Op(body, kReturnVoid);
    s.w.Script(s.w.Method(0, 12, 6, 2, body));
    avm2test::Outcome r = avm2test::RunAbc(s.w.Bytes());
    r.reported += r.error;
    return r;
}

struct Case {
    const char* what;
    void (*build)(Steps&);
    const char* traced;
    const char* reported;  // a part of the report, "" for none
};

void Check(const std::vector<Case>& cases) {
    for (const Case& k : cases) {
        Steps s;
        k.build(s);
        avm2test::Outcome r = Run(s);
        EXPECT_EQ(r.traced, k.traced) << k.what;
        if (*k.reported) EXPECT_NE(r.reported.find(k.reported), std::string::npos) << k.what << ": " << r.reported;
        else EXPECT_EQ(r.reported, "") << k.what;
    }
}

const char* const G = "flash.geom";
const char* const U = "flash.utils";

TEST(Avm2DataTest, GeomValuesComputeAndPrint) {
    Check({
        {"points add and print", [](Steps& s) {
             s.New(1, "Point", G, {1.0, 2.0}).New(2, "Point", G, {3.0, 4.5}).Trace(1, "add", {Reg{2}});
         }, "(x=4, y=6.5)", ""},
        {"a rectangle's overlap and union", [](Steps& s) {
             s.New(1, "Rectangle", G, {0.0, 0.0, 10.0, 10.0}).New(2, "Rectangle", G, {5.0, 5.0, 10.0, 10.0});
             s.Trace(1, "intersection", {Reg{2}}).Trace(1, "union", {Reg{2}});
         }, "(x=5, y=5, w=5, h=5)|(x=0, y=0, w=15, h=15)", ""},
        {"moving the left edge keeps the right one", [](Steps& s) {
             s.New(1, "Rectangle", G, {0.0, 0.0, 10.0, 10.0}).Set(1, "left", 4.0).TraceProp(1, "width").TraceProp(1, "right");
         }, "6|10", ""},
        {"no overlap is an empty rectangle", [](Steps& s) {
             s.New(1, "Rectangle", G, {0.0, 0.0, 1.0, 1.0}).New(2, "Rectangle", G, {5.0, 5.0, 1.0, 1.0});
             s.Trace(1, "intersects", {Reg{2}}).Trace(1, "intersection", {Reg{2}});
         }, "false|(x=0, y=0, w=0, h=0)", ""},
        {"matrix steps apply in order", [](Steps& s) {
             s.New(1, "Matrix", G).Do(1, "translate", {5.0, 0.0}).Do(1, "scale", {2.0, 2.0}).Trace(1, "toString");
         }, "(a=2, b=0, c=0, d=2, tx=10, ty=0)", ""},
        {"matrix inverse undoes it", [](Steps& s) {
             s.New(1, "Matrix", G, {2.0, 0.0, 0.0, 4.0, 10.0, 20.0}).Do(1, "invert").Trace(1, "toString");
             s.New(2, "Point", G, {10.0, 20.0}).Trace(1, "transformPoint", {Reg{2}});
         }, "(a=0.5, b=0, c=0, d=0.25, tx=-5, ty=-5)|(x=0, y=0)", ""},
        {"colour sets offsets and clears multipliers", [](Steps& s) {
             s.New(1, "ColorTransform", G).Set(1, "color", 0x336699 * 1.0).TraceProp(1, "redOffset").TraceProp(1, "redMultiplier").TraceProp(1, "color");
         }, "51|0|3368601", ""},
        {"vectors cross", [](Steps& s) {
             s.New(1, "Vector3D", G, {1.0, 0.0, 0.0}).New(2, "Vector3D", G, {0.0, 1.0, 0.0}).Trace(1, "crossProduct", {Reg{2}});
         }, "Vector3D(0, 0, 1)", ""},
        {"a matrix comes apart into translation, Euler angles and scale", [](Steps& s) {
             s.New(1, "Matrix3D", G).Do(1, "appendScale", {2.0, 3.0, 4.0});
             s.New(2, "Vector3D", G, {0.0, 0.0, 1.0}).Do(1, "appendRotation", {90.0, Reg{2}});
             s.Do(1, "appendTranslation", {5.0, 6.0, 7.0}).Keep(3, 1, "decompose").Trace(3, "toString");
         }, "Vector3D(5, 6, 7),Vector3D(0, 0, 1.5707963267948966),Vector3D(2, 3, 4)", ""},
        {"recomposing what decompose gave is the same matrix", [](Steps& s) {
             s.New(1, "Matrix3D", G).Do(1, "appendScale", {2.0, 1.0, 1.0}).Do(1, "appendTranslation", {1.0, 2.0, 3.0});
             s.Keep(2, 1, "decompose").New(3, "Matrix3D", G).Trace(3, "recompose", {Reg{2}});
             s.TraceProp(3, "rawData");
         }, "true|2,0,0,0,0,1,0,0,0,0,1,0,1,2,3,1", ""},
        {"no scale on an axis cannot be recomposed", [](Steps& s) {
             s.New(1, "Matrix3D", G).Do(1, "appendScale", {0.0, 1.0, 1.0}).Keep(2, 1, "decompose");
             s.New(3, "Matrix3D", G).Trace(3, "recompose", {Reg{2}}).TraceProp(3, "rawData");
         }, "false|1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1", ""},
        {"a null point is #1009", [](Steps& s) { s.New(1, "Point", G).Trace(1, "add", {Null{}}); }, "", "#1009"},
        {"a rectangle is not a point", [](Steps& s) {
             s.New(1, "Point", G).New(2, "Rectangle", G).Trace(1, "add", {Reg{2}});
         }, "", "#1034"},
    });
}

TEST(Avm2DataTest, ByteArraysReadWriteAndSerialize) {
    Check({
        {"big endian by default, little when asked (and read so)", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeShort", {258.0}).Set(1, "endian", std::string("littleEndian"));
             s.Do(1, "writeShort", {258.0}).Set(1, "position", 0.0).Trace(1, "readUnsignedInt");
         }, "16908801", ""},
        {"UTF strings carry their byte length", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeUTF", {std::string("h\xC3\xA9")}).TraceProp(1, "length");
             s.Set(1, "position", 0.0).Trace(1, "readUTF");
         }, "5|h\xC3\xA9", ""},
        {"text stops at NUL and skips a BOM", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeByte", {0xEF * 1.0}).Do(1, "writeByte", {0xBB * 1.0});
             s.Do(1, "writeByte", {0xBF * 1.0}).Do(1, "writeUTFBytes", {std::string("ab")}).Do(1, "writeByte", {0.0});
             s.Do(1, "writeUTFBytes", {std::string("c")}).Set(1, "position", 0.0).Trace(1, "readUTFBytes", {7.0});
         }, "ab", ""},
        {"bad UTF-8 bytes are characters of their own", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeByte", {0xE9 * 1.0}).Do(1, "writeByte", {0x41 * 1.0});
             s.TraceFn("escape", "", {Reg{1}});
         }, "%E9A", ""},
        {"compress and back", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeUTFBytes", {std::string("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa")});
             s.Do(1, "compress").TraceProp(1, "length").Do(1, "uncompress").Trace(1, "toString");
         }, "11|aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", ""},
        {"reading past the end is EOFError", [](Steps& s) { s.New(1, "ByteArray", U).Trace(1, "readByte"); },
         "", "#2030"},
        {"a bad endian is ArgumentError", [](Steps& s) {
             s.New(1, "ByteArray", U).Set(1, "endian", std::string("middle"));
         }, "", "#2008"},
        {"AMF3 writes small numbers as integers", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeObject", {5.0}).Do(1, "writeObject", {0.5}).TraceProp(1, "length");
         }, "11", ""},
        {"AMF0 writes every number as a double", [](Steps& s) {
             s.New(1, "ByteArray", U).Set(1, "objectEncoding", 0.0).Do(1, "writeObject", {5.0}).TraceProp(1, "length");
         }, "9", ""},
        {"bytes that are not compressed data are IOError", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeUTFBytes", {std::string("not compressed")}).Do(1, "uncompress");
         }, "", "#2058"},
        {"AMF3 arrays nested far deeper than any real data are refused, not recursed", [](Steps& s) {
             std::string nested;
             for (int i = 0; i < 100000; ++i) nested += "\x09\x03\x01";  // array of one, no named items
             s.New(1, "ByteArray", U).Do(1, "writeUTFBytes", {nested}).Set(1, "position", 0.0).Trace(1, "readObject");
         }, "", "RangeError"},
        {"AMF3 data cut short is EOFError", [](Steps& s) {
             s.New(1, "ByteArray", U).Do(1, "writeUTFBytes", {std::string("\x06\x0b" "ab")});  // a 5-byte string, 2 there
             s.Set(1, "position", 0.0).Trace(1, "readObject");
         }, "", "#2030"},
        {"objects come back through AMF3 and AMF0", [](Steps& s) {
             for (double enc : {3.0, 0.0}) {
                 s.New(2, "ByteArray", U).Set(2, "objectEncoding", enc);
                 s.New(1, "Rectangle", G, {1.0, 2.0, 3.0, 4.0}).Do(2, "writeObject", {std::string("text")});
                 s.Do(2, "writeObject", {Reg{2}}).Set(2, "position", 0.0).Trace(2, "readObject");
             }
         }, "text|text", ""},
    });
}

TEST(Avm2DataTest, JsonParsesAndPrints) {
    Check({
        {"round trip", [](Steps& s) {
             s.Let(1, "JSON", "parse", {std::string("{\"a\":[1,2.5,{\"b\":null}],\"c\":\"\\u00e9\\n\"}")});
             s.Trace(0, "stringify", {Reg{1}}, "JSON");
         }, "{\"a\":[1,2.5,{\"b\":null}],\"c\":\"\xC3\xA9\\n\"}", ""},
        {"object literal", [](Steps& s) {
             s.Push(std::string("k"));
             s.Push(std::string("v"));
             AbcWriter::Op(s.c, kNewObject, {1});
             AbcWriter::Op(s.c, kSetLocal, {1});
             s.Trace(0, "stringify", {Reg{1}}, "JSON");
         }, "{\"k\":\"v\"}", ""},
        {"indent", [](Steps& s) {
             s.Let(1, "JSON", "parse", {std::string("[1,{\"a\":[]}]")});
             s.Trace(0, "stringify", {Reg{1}, Null{}, 2.0}, "JSON");
         }, "[\n  1,\n  {\n    \"a\": []\n  }\n]", ""},
        {"bad input is SyntaxError #1132", [](Steps& s) { s.Trace(0, "parse", {std::string("{bad")}, "JSON"); },
         "", "#1132"},
        {"trailing text is refused", [](Steps& s) { s.Trace(0, "parse", {std::string("[1] 2")}, "JSON"); }, "",
         "#1132"},
    });
}

TEST(Avm2DataTest, DatesInUtcAndText) {
    Check({
        {"fields of a time value", [](Steps& s) {
             s.New(1, "Date", "", {929156400000.0}).Trace(1, "getUTCFullYear").Trace(1, "getUTCMonth");
             s.Trace(1, "getUTCDate").Trace(1, "getUTCDay").Trace(1, "getUTCHours");
         }, "1999|5|12|6|3", ""},
        {"UTC text", [](Steps& s) { s.New(1, "Date", "", {0.0}).Trace(1, "toUTCString"); },
         "Thu Jan 1 00:00:00 1970 UTC", ""},
        {"Date.UTC counts leap days", [](Steps& s) {
             s.Trace(0, "UTC", {2000.0, 1.0, 29.0}, "Date");
         }, "951782400000", ""},
        {"parse with a zone", [](Steps& s) {
             s.Trace(0, "parse", {std::string("Tue Feb 1 05:12:30 GMT+0100 2005")}, "Date");
             s.Trace(0, "parse", {std::string("12")}, "Date");
         }, "1107231150000|NaN", ""},
        {"setters carry over", [](Steps& s) {
             s.New(1, "Date", "", {0.0}).Do(1, "setUTCMonth", {13.0}).Trace(1, "getUTCFullYear").Trace(1, "getUTCMonth");
         }, "1971|1", ""},
        {"an invalid date stays invalid but for the year", [](Steps& s) {
             s.New(1, "Date", "", {std::string("nonsense")}).Trace(1, "toString").Do(1, "setUTCDate", {3.0});
             s.Trace(1, "getTime").Do(1, "setUTCFullYear", {2001.0}).Trace(1, "getTime");
         }, "Invalid Date|NaN|978307200000", ""},
    });
}

TEST(Avm2DataTest, UriFunctionsEncodeAsUtf8) {
    Check({
        {"component escapes reserved characters",
         [](Steps& s) { s.TraceFn("encodeURIComponent", "", {std::string("a b&/\xE2\x82\xAC")}); },
         "a%20b%26%2F%E2%82%AC", ""},
        {"URI keeps them", [](Steps& s) { s.TraceFn("encodeURI", "", {std::string("a b&/")}); }, "a%20b&/", ""},
        {"decodeURI leaves reserved escapes",
         [](Steps& s) { s.TraceFn("decodeURI", "", {std::string("%E2%82%AC%2F%41")}); }, "\xE2\x82\xAC%2FA", ""},
        {"a broken escape is URIError", [](Steps& s) { s.TraceFn("decodeURIComponent", "", {std::string("%E2%82")}); },
         "", "#1052"},
        {"escapeMultiByte uses UTF-8 bytes",
         [](Steps& s) { s.TraceFn("escapeMultiByte", U, {std::string("a\xC3\xA9 ")}); }, "a%C3%A9%20", ""},
        {"a timer's delay must be a number of ms", [](Steps& s) { s.New(1, "Timer", U, {-1.0}); }, "", "#2066"},
    });
}

TEST(Avm2DataTest, KeyboardAndMouseNameTheirValues) {
    Check({
        {"key codes are the virtual keys'", [](Steps& s) {
             s.TraceStatic("Keyboard", "flash.ui", "LEFT").TraceStatic("Keyboard", "flash.ui", "A");
             s.TraceStatic("Keyboard", "flash.ui", "NUMPAD_5").TraceStatic("Keyboard", "flash.ui", "F12");
             s.TraceStatic("Keyboard", "flash.ui", "capsLock");
         }, "37|65|101|123|false", ""},
        {"neither can be made", [](Steps& s) { s.New(1, "Mouse", "flash.ui"); }, "", "#2012"},
        {"the cursor takes its kinds only", [](Steps& s) {
             s.SetStatic("Mouse", "flash.ui", "cursor", std::string("ibeam")).TraceStatic("Mouse", "flash.ui", "cursor");
             s.SetStatic("Mouse", "flash.ui", "cursor", std::string("zebra"));
         }, "ibeam", "#2008"},
    });
}

}  // namespace
