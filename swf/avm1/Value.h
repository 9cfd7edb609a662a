// A script value: undefined, null, boolean, number (double), string, object
// or a movie-clip reference.
//
// Strings are shared and immutable, so pushing a constant or copying a value
// never copies characters. Objects are owned by the heap (Heap.h) and live
// until a collection finds them unreachable; a value holds a plain pointer.
// A clip reference holds the clip and its absolute path ("_level0.a.b"):
// it reaches the clip while that lives, and once the clip is removed,
// whatever the path names then (a clip placed again under the name).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace swf::avm1 {

class Object;
using Str = std::shared_ptr<const std::string>;

Str MakeStr(std::string s);
const Str& EmptyStr();

struct Value {
    enum class Kind : uint8_t { Undefined, Null, Bool, Number, String, Object, Clip };

    Kind kind = Kind::Undefined;
    bool b = false;
    double n = 0;
    Object* o = nullptr;  // Object
    Str s;                // String; Clip: its path
    // Clip: the clip it reaches, checked while the host's tree version was clipAt.
    mutable uint32_t clipId = 0;
    mutable uint32_t clipAt = 0;

    static Value Undef() { return Value(); }
    static Value Null() { Value v; v.kind = Kind::Null; return v; }
    static Value Bool(bool x) { Value v; v.kind = Kind::Bool; v.b = x; return v; }
    static Value Num(double x) { Value v; v.kind = Kind::Number; v.n = x; return v; }
    static Value String(Str x) { Value v; v.kind = Kind::String; v.s = std::move(x); return v; }
    static Value String(std::string x) { return String(MakeStr(std::move(x))); }
    static Value Obj(Object* x) {
        if (!x) return Null();
        Value v; v.kind = Kind::Object; v.o = x; return v;
    }
    static Value ClipPath(std::string path) {
        Value v; v.kind = Kind::Clip; v.s = MakeStr(std::move(path)); return v;
    }

    bool IsUndefined() const { return kind == Kind::Undefined; }
    bool IsNullish() const { return kind == Kind::Undefined || kind == Kind::Null; }
    bool IsNumber() const { return kind == Kind::Number; }
    bool IsString() const { return kind == Kind::String; }
    bool IsObject() const { return kind == Kind::Object; }
    bool IsClip() const { return kind == Kind::Clip; }
    const std::string& Text() const { return s ? *s : *EmptyStr(); }
};

// Number to text as scripts see it: integers plainly, others with up to 15
// significant digits, in exponent form from 1e15 up and below 0.00001.
std::string NumberToString(double d);
// Text to number, as ToNumber reads strings. From SWF 5: decimal, "0x" hex
// and "010" octal (both wrapping to 32 bits), blanks before but not after;
// anything else is NaN ("" is 0 before SWF 7). SWF 4 reads the longest
// decimal prefix, 0 when there is none.
double StringToNumber(const std::string& s, int version);
// ToInt32 of the language: wraps modulo 2^32; NaN and infinities are 0.
int32_t ToInt32(double d);

}  // namespace swf::avm1
