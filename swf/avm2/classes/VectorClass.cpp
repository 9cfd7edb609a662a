// Vector.<T>: typed dense storage. Every item stored is coerced to T; reads
// and writes past the end are RangeErrors (#1125) but a write at the end
// grows a vector that is not fixed (#1126 when it is). Vectors of object
// types are also Vector.<*>; those of int, uint and Number are not.
#include <algorithm>
#include <cmath>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

class VectorObject : public Object {
public:
    VectorObject(ClassObject* cls, Object* proto) : Object(ObjKind::Vector, cls, proto) {}
    std::vector<Value> items;
    ClassObject* type = nullptr;  // null: any
    bool fixed = false;

    Value Default(Machine& m) const {
        if (!type) return Value::Undefined();
        if (type == m.intClass || type == m.uintClass) return Value::Int(0);
        if (type == m.numberClass) return Value::Number(0);
        if (type == m.booleanClass) return Value::Bool(false);
        return Value::Null();
    }
    // pop and shift on an empty vector: the numeric vectors give 0, the
    // others (all vectors of objects underneath) undefined.
    Value EmptyRead(Machine& m) const {
        const bool numeric = type == m.intClass || type == m.uintClass || type == m.numberClass;
        return numeric ? Default(m) : Value::Undefined();
    }
    Value Store(Machine& m, const Value& v) const { return type ? m.Coerce(v, type) : v; }
    // A key as an index; false for names (methods, dynamic reads).
    bool Index(Machine& m, const Value& key, double& d) {
        if (key.IsNumber()) {
            d = key.Num();
            return true;
        }
        if (!key.IsString() || key.s->text.empty()) return false;
        const char c = key.s->text[0];
        if (!(c >= '0' && c <= '9') && c != '-') return false;
        d = m.ToNumber(key);
        return !std::isnan(d);
    }
    [[noreturn]] void OutOfRange(Machine& m, double d) {
        m.RangeError(1125, "The index " + m.ToStdString(Value::Number(d)) + " is out of range " +
                               std::to_string(items.size()) + ".");
    }
    void CheckGrow(Machine& m) {
        if (fixed) m.RangeError(1126, "Cannot change the length of a fixed Vector.");
    }
    bool GetIndexed(Machine& m, const Value& key, Value& out) override {
        double d;
        if (!Index(m, key, d)) return false;
        if (d < 0 || d != std::floor(d) || d >= double(items.size())) OutOfRange(m, d);
        out = items[size_t(d)];
        return true;
    }
    bool SetIndexed(Machine& m, const Value& key, const Value& v) override {
        double d;
        if (!Index(m, key, d)) return false;
        if (d < 0 || d != std::floor(d) || d > double(items.size())) OutOfRange(m, d);
        Value stored = Store(m, v);
        if (size_t(d) == items.size()) {
            CheckGrow(m);
            if (items.size() >= kMaxDenseLength) OutOfRange(m, d);
            items.push_back(stored);
        } else {
            items[size_t(d)] = stored;
        }
        return true;
    }
    // A vector keeps its elements whatever is deleted, yet says it did.
    bool DeleteIndexed(Machine&, const Value&, bool& result) override {
        result = true;
        return true;
    }
    bool HasIndexed(Machine& m, const Value& key, bool& result) override {
        double d;
        if (!Index(m, key, d)) return false;
        result = d >= 0 && d == std::floor(d) && d < double(items.size());
        return true;
    }
    int NextIndex(Machine&, int pos) override { return pos >= 0 && size_t(pos) < items.size() ? pos + 1 : 0; }
    Value NameAt(Machine&, int pos) override { return Value::Int(pos - 1); }
    Value ValueAt(Machine&, int pos) override {
        return pos >= 1 && size_t(pos) <= items.size() ? items[size_t(pos) - 1] : Value::Undefined();
    }
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(type);
        for (const Value& v : items) t.Mark(v);
    }
};

VectorObject* Self(Machine& m, const Value& v) {
    if (!v.IsObject() || v.o->kind != ObjKind::Vector)
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to Vector.");
    return static_cast<VectorObject*>(v.o);
}

Object* AllocVector(Machine& m, ClassObject* cls) {
    auto* v = m.New<VectorObject>(cls, cls->prototype);
    v->type = cls->vectorOf;
    return v;
}

VectorObject* NewLike(Machine& m, VectorObject* like) {
    auto* v = static_cast<VectorObject*>(m.Instantiate(like->cls));
    v->type = like->type;
    return v;
}

uint32_t Length(Machine& m, const Value& v) {
    double d = m.ToNumber(v);
    if (!(d >= 0) || d > kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer (" + m.ToStdString(v) + ").");
    return uint32_t(d);
}

Value VectorInit(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    v->items.assign(argc > 0 ? Length(m, args[0]) : 0, v->Default(m));
    v->fixed = m.ToBoolean(Arg(args, argc, 1));
    return Value::Undefined();
}

// Vector.<T>(source): a new vector with the items of an array or vector.
Value VectorCall(Machine& m, Value cls, Args args, int argc) {
    if (argc != 1)
        m.ArgumentError(1063, "Argument count mismatch on Vector.<T>(). Expected 1, got " + std::to_string(argc) + ".");
    Value src = args[0];
    auto* c = static_cast<ClassObject*>(cls.o);
    if (src.IsObject() && src.o->cls == c) return src;
    std::vector<Value> from;
    if (src.IsObject() && src.o->kind == ObjKind::Array) {
        auto* a = static_cast<ArrayObject*>(src.o);
        for (size_t i = 0; i < a->items.size(); ++i) from.push_back(ItemAt(m, a, i));
    } else if (src.IsObject() && src.o->kind == ObjKind::Vector) {
        from = static_cast<VectorObject*>(src.o)->items;
    } else if (src.IsObject()) {
        // Any other object gives its length and indexed items.
        uint32_t n = std::min<uint32_t>(m.ToUint32(m.GetPublic(src, "length")), kMaxDenseLength);
        for (uint32_t i = 0; i < n; ++i) {
            Value key = Value::Uint(i);
            Name name = m.PublicName(m.Intern(m.ToString(key)));
            name.hasKey = true;
            name.key = key;
            from.push_back(m.GetProperty(src, name));
        }
    } else {
        m.CoercionFailed(src, c->DottedName());
    }
    auto* v = static_cast<VectorObject*>(m.Instantiate(c));
    v->type = c->vectorOf;
    TempRoot keep(m, Value::Obj(v));
    for (const Value& x : from) v->items.push_back(v->Store(m, x));
    return Value::Obj(v);
}

Value GetLength(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Self(m, self)->items.size())); }
Value SetLength(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    uint32_t n = Length(m, Arg(args, argc, 0));
    v->CheckGrow(m);
    v->items.resize(n, v->Default(m));
    return Value::Undefined();
}
Value GetFixed(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->fixed); }
Value SetFixed(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->fixed = m.ToBoolean(Arg(args, argc, 0));
    return Value::Undefined();
}

Value Push(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    if (argc) v->CheckGrow(m);
    if (v->items.size() + size_t(argc) > kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer.");
    for (int i = 0; i < argc; ++i) v->items.push_back(v->Store(m, args[i]));
    return Value::Uint(uint32_t(v->items.size()));
}
Value Pop(Machine& m, Value self, Args, int) {
    VectorObject* v = Self(m, self);
    v->CheckGrow(m);
    if (v->items.empty()) return v->EmptyRead(m);
    Value r = v->items.back();
    v->items.pop_back();
    return r;
}
Value Shift(Machine& m, Value self, Args, int) {
    VectorObject* v = Self(m, self);
    v->CheckGrow(m);
    if (v->items.empty()) return v->EmptyRead(m);
    Value r = v->items.front();
    v->items.erase(v->items.begin());
    return r;
}
Value Unshift(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    if (argc) v->CheckGrow(m);
    if (v->items.size() + size_t(argc) > kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer.");
    std::vector<Value> add;
    for (int i = 0; i < argc; ++i) add.push_back(v->Store(m, args[i]));
    v->items.insert(v->items.begin(), add.begin(), add.end());
    return Value::Uint(uint32_t(v->items.size()));
}
int64_t Rel(Machine& m, const Value& x, int64_t len, int64_t dflt) {
    if (x.IsUndefined()) return dflt;
    double d = std::trunc(m.ToNumber(x));
    if (std::isnan(d)) return 0;
    if (d < 0) return std::max<int64_t>(0, len + int64_t(std::max(d, -1e15)));
    return std::min<int64_t>(len, int64_t(std::min(d, 1e15)));
}
Value InsertAt(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    v->CheckGrow(m);
    int64_t at = Rel(m, Arg(args, argc, 0), int64_t(v->items.size()), 0);
    v->items.insert(v->items.begin() + at, v->Store(m, Arg(args, argc, 1)));
    return Value::Undefined();
}
Value RemoveAt(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    v->CheckGrow(m);
    double d = std::trunc(m.ToNumber(Arg(args, argc, 0)));
    if (d < 0) d += double(v->items.size());
    if (!(d >= 0) || d >= double(v->items.size())) v->OutOfRange(m, d);
    Value r = v->items[size_t(d)];
    v->items.erase(v->items.begin() + int64_t(d));
    return r;
}
Value Splice(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    int64_t len = int64_t(v->items.size());
    int64_t b = Rel(m, Arg(args, argc, 0), len, 0);
    int64_t count = len - b;
    if (argc > 1) {
        // Not a number deletes nothing; past the end, to the end.
        const double n = m.ToNumber(args[1]);
        count = n >= double(len - b) ? len - b : n > 0 ? int64_t(n) : 0;
    }
    if (count != argc - 2) v->CheckGrow(m);
    VectorObject* r = NewLike(m, v);
    TempRoot keep(m, Value::Obj(r));
    r->items.assign(v->items.begin() + b, v->items.begin() + b + count);
    std::vector<Value> add;
    for (int i = 2; i < argc; ++i) add.push_back(v->Store(m, args[i]));
    v->items.erase(v->items.begin() + b, v->items.begin() + b + count);
    v->items.insert(v->items.begin() + b, add.begin(), add.end());
    return Value::Obj(r);
}
Value Slice(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    int64_t len = int64_t(v->items.size());
    int64_t b = Rel(m, Arg(args, argc, 0), len, 0), e = Rel(m, Arg(args, argc, 1), len, len);
    VectorObject* r = NewLike(m, v);
    if (b < e) r->items.assign(v->items.begin() + b, v->items.begin() + e);
    return Value::Obj(r);
}
Value Concat(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    VectorObject* r = NewLike(m, v);
    TempRoot keep(m, Value::Obj(r));
    r->items = v->items;
    for (int i = 0; i < argc; ++i) {
        VectorObject* o = Self(m, args[i]);
        for (const Value& x : o->items) r->items.push_back(r->Store(m, x));
    }
    return Value::Obj(r);
}
Value Reverse(Machine& m, Value self, Args, int) {
    VectorObject* v = Self(m, self);
    std::reverse(v->items.begin(), v->items.end());
    return self;
}
std::string Join(Machine& m, VectorObject* v, const std::string& sep) {
    std::string out;
    for (size_t i = 0; i < v->items.size(); ++i) {
        if (i) out += sep;
        out += m.ToStdString(v->items[i]);
    }
    return out;
}
Value JoinFn(Machine& m, Value self, Args args, int argc) {
    Value sep = Arg(args, argc, 0);
    return Value::Str(m.Str(Join(m, Self(m, self), sep.IsUndefined() ? "," : m.ToStdString(sep))));
}
Value ToStringFn(Machine& m, Value self, Args, int) { return Value::Str(m.Str(Join(m, Self(m, self), ","))); }
Value IndexOf(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    int64_t from = Rel(m, Arg(args, argc, 1), int64_t(v->items.size()), 0);
    for (size_t i = size_t(from); i < v->items.size(); ++i)
        if (m.StrictEquals(v->items[i], Arg(args, argc, 0))) return Value::Int(int32_t(i));
    return Value::Int(-1);
}
Value LastIndexOf(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    int64_t len = int64_t(v->items.size());
    double d = argc > 1 ? std::trunc(m.ToNumber(args[1])) : double(0x7fffffff);
    int64_t from = std::isnan(d) ? 0 : int64_t(std::clamp(d, -double(len) - 1, double(len)));
    if (from < 0) from += len;
    for (int64_t i = std::min(from, len - 1); i >= 0; --i)
        if (m.StrictEquals(v->items[size_t(i)], Arg(args, argc, 0))) return Value::Int(int32_t(i));
    return Value::Int(-1);
}

Value Iterate(Machine& m, Value self, Args args, int argc, Iter kind) {
    VectorObject* v = Self(m, self);
    VectorObject* out = NewLike(m, v);
    TempRoot keep(m, Value::Obj(out));
    // Mapping through no function gives as many empty items.
    if (kind == Iter::Map && Arg(args, argc, 0).IsNullish()) out->items.assign(v->items.size(), out->Default(m));
    return IterateItems(m, self, v->items, args, argc, kind, out,
                        [&](const Value& x) { out->items.push_back(kind == Iter::Map ? out->Store(m, x) : x); });
}
Value ForEach(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::ForEach); }
Value Map(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Map); }
Value Filter(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Filter); }
Value Some(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Some); }
Value Every(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Every); }

// sort(compareFunction or Array flags): the items sorted the Array way.
Value Sort(Machine& m, Value self, Args args, int argc) {
    VectorObject* v = Self(m, self);
    ArrayObject* a = m.NewArray();
    a->items = v->items;
    TempRoot root(m, Value::Obj(a));
    m.CallProperty(Value::Obj(a), m.PublicName("sort"), args, argc);
    for (size_t i = 0; i < v->items.size() && i < a->items.size(); ++i) v->items[i] = a->items[i];
    return self;
}

}  // namespace

void InstallVector(Machine& m) {
    ClassObject* c = m.DefineClass("__AS3__.vec", "Vector", m.objectClass, AllocVector, true);
    c->isFinal = true;
    m.vectorClass = c;
    c->init = m.NewNativeMethod("Vector", VectorInit, 2);
    c->call = VectorCall;
    m.DefineGetter(c, "length", GetLength, SetLength);
    m.DefineGetter(c, "fixed", GetFixed, SetFixed);
    const struct {
        const char* name;
        NativeFn fn;
        int length;
    } methods[] = {
        {"push", Push, 1}, {"pop", Pop, 0}, {"shift", Shift, 0}, {"unshift", Unshift, 1},
        {"insertAt", InsertAt, 2}, {"removeAt", RemoveAt, 1}, {"splice", Splice, 2}, {"slice", Slice, 2},
        {"concat", Concat, 1}, {"reverse", Reverse, 0}, {"join", JoinFn, 1}, {"toString", ToStringFn, 0},
        {"toLocaleString", ToStringFn, 0}, {"indexOf", IndexOf, 1}, {"lastIndexOf", LastIndexOf, 1},
        {"forEach", ForEach, 1}, {"map", Map, 1}, {"filter", Filter, 1}, {"some", Some, 1},
        {"every", Every, 1}, {"sort", Sort, 1},
    };
    for (const auto& e : methods) {
        m.DefineMethod(c, e.name, e.fn, e.length);
        // Typed call sites name the AS3 namespace.
        Binding b = *c->instanceTraits->FindExact(m.Intern(e.name), m.publicNs);
        c->instanceTraits->Add(m.Intern(e.name), m.as3Ns) = b;
    }
}

}  // namespace swf::avm2
