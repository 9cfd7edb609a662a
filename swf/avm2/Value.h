// Script values: undefined, null, Boolean, int, Number, String and object
// references, 16 bytes, copied freely. Strings and objects live in the
// collected heap (Heap.h); a Value never owns what it points at. uint values
// above int's range are held as Number; `is uint` looks at the number.
#pragma once

#include <cstdint>
#include <string>

namespace swf::avm2 {

class Object;
class Tracer;

// Heap cells: strings and objects. The collector marks from the roots and
// frees what it did not reach.
class Cell {
public:
    virtual ~Cell() = default;
    Cell* nextCell = nullptr;
    uint32_t cellBytes = 0;  // counted against the heap's budget
    bool marked = false;
    // Marks what this cell refers to.
    virtual void Trace(Tracer&) {}
};

// An immutable string (UTF-8). Interned ones are unique per text, so
// property names compare by pointer.
class String final : public Cell {
public:
    explicit String(std::string t) : text(std::move(t)) {}
    const std::string text;
    bool interned = false;
    String* internedAs = nullptr;  // cache: the interned twin
    // Length in UTF-16 units, as scripts count it.
    int32_t Length16() const;
    void Trace(Tracer& t) override;
};

enum class Tag : uint8_t { Undefined, Null, Boolean, Int, Number, String, Object };

struct Value {
    Tag tag = Tag::Undefined;
    union {
        bool b;
        int32_t i;
        double d;
        String* s;
        Object* o;
    };
    Value() : d(0) {}
    static Value Undefined() { return Value(); }
    // An array slot never written or deleted: reads as undefined, but
    // lookups go on to the prototype and it is not an own property.
    static Value Hole() {
        Value v;
        v.i = 1;
        return v;
    }
    bool IsHole() const { return tag == Tag::Undefined && i == 1; }
    static Value Null() {
        Value v;
        v.tag = Tag::Null;
        return v;
    }
    static Value Bool(bool x) {
        Value v;
        v.tag = Tag::Boolean;
        v.b = x;
        return v;
    }
    static Value Int(int32_t x) {
        Value v;
        v.tag = Tag::Int;
        v.i = x;
        return v;
    }
    static Value Uint(uint32_t x) { return x <= INT32_MAX ? Int(int32_t(x)) : Number(x); }
    static Value Number(double x) {
        Value v;
        v.tag = Tag::Number;
        v.d = x;
        return v;
    }
    static Value Str(String* x) {
        Value v;
        v.tag = Tag::String;
        v.s = x;
        return v;
    }
    static Value Obj(Object* x) {
        if (!x) return Null();
        Value v;
        v.tag = Tag::Object;
        v.o = x;
        return v;
    }
    bool IsUndefined() const { return tag == Tag::Undefined; }
    bool IsNull() const { return tag == Tag::Null; }
    bool IsNullish() const { return tag <= Tag::Null; }
    bool IsNumber() const { return tag == Tag::Int || tag == Tag::Number; }
    bool IsString() const { return tag == Tag::String; }
    bool IsObject() const { return tag == Tag::Object; }
    bool IsBool() const { return tag == Tag::Boolean; }
    double Num() const { return tag == Tag::Int ? double(i) : d; }
};

}  // namespace swf::avm2
