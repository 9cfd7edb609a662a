// Array: dense storage with dynamic properties beside it; indices past the
// end grow it (bounded). Holes (never written or deleted) are no own
// property: reads go on to the prototype.
#include <algorithm>
#include <cmath>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

Value ItemAt(Machine& m, ArrayObject* a, size_t i) {
    if (i < a->items.size() && !a->items[i].IsHole()) return a->items[i];
    Value key = Value::Uint(uint32_t(i));
    Name n = m.PublicName(m.Intern(m.ToString(key)));
    n.hasKey = true;
    n.key = key;
    return m.GetProperty(Value::Obj(a), n);
}

bool ArrayObject::GetIndexed(Machine& m, const Value& key, Value& out) {
    uint32_t i;
    if (!m.IsIndexKey(key, &i)) return false;
    if (i < items.size()) {
        if (items[i].IsHole()) return false;
        out = items[i];
        return true;
    }
    if (dyn)
        if (Value* v = dyn->Find(m.Intern(m.ToString(key)))) {
            out = *v;
            return true;
        }
    return false;  // past the end, the prototype chain may still answer
}

bool ArrayObject::SetIndexed(Machine& m, const Value& key, const Value& v) {
    uint32_t i;
    if (!m.IsIndexKey(key, &i)) return false;
    if (i >= kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer (" + m.ToStdString(key) + ").");
    if (i >= items.size()) items.resize(size_t(i) + 1, Value::Hole());
    items[i] = v.IsHole() ? Value::Undefined() : v;
    return true;
}

bool ArrayObject::DeleteIndexed(Machine& m, const Value& key, bool& result) {
    uint32_t i;
    if (!m.IsIndexKey(key, &i)) return false;
    if (i < items.size()) items[i] = Value::Hole();
    result = true;
    return true;
}

bool ArrayObject::HasIndexed(Machine& m, const Value& key, bool& result) {
    uint32_t i;
    if (!m.IsIndexKey(key, &i)) return false;
    result = i < items.size() && !items[i].IsHole();
    return true;
}

int ArrayObject::NextIndex(Machine& m, int pos) {
    if (pos < 0) return 0;
    while (size_t(pos) < items.size() && items[size_t(pos)].IsHole()) ++pos;
    if (size_t(pos) < items.size()) return pos + 1;
    int rest = Object::NextIndex(m, pos - int(items.size()));
    return rest ? rest + int(items.size()) : 0;
}

Value ArrayObject::NameAt(Machine& m, int pos) {
    if (pos >= 1 && size_t(pos) <= items.size()) return Value::Int(pos - 1);
    return Object::NameAt(m, pos - int(items.size()));
}

Value ArrayObject::ValueAt(Machine& m, int pos) {
    if (pos >= 1 && size_t(pos) <= items.size()) return ItemAt(m, this, size_t(pos - 1));
    return Object::ValueAt(m, pos - int(items.size()));
}

void ArrayObject::Trace(Tracer& t) {
    Object::Trace(t);
    for (const Value& v : items) t.Mark(v);
}

ArrayObject* Machine::NewArray(size_t length) {
    auto* a = New<ArrayObject>(arrayClass, arrayClass->prototype);
    a->traits = arrayClass->instanceTraits;
    a->items.resize(length, Value::Hole());
    return a;
}

namespace {

ArrayObject* Self(Machine& m, const Value& v) {
    if (!v.IsObject() || v.o->kind != ObjKind::Array) m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to Array.");
    return static_cast<ArrayObject*>(v.o);
}

Object* AllocArray(Machine& m, ClassObject* cls) { return m.New<ArrayObject>(cls, cls->prototype); }

Value ArrayInit(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    if (argc == 1 && args[0].IsNumber()) {
        double n = args[0].Num();
        if (n < 0 || n != std::floor(n) || n > kMaxDenseLength)
            m.RangeError(1005, "Array index is not a positive integer (" + m.ToStdString(args[0]) + ").");
        a->items.resize(size_t(n), Value::Hole());
    } else {
        a->items.assign(args, args + argc);
    }
    return Value::Undefined();
}

Value ArrayCall(Machine& m, Value, Args args, int argc) {
    Value a = Value::Obj(m.NewArray());
    ArrayInit(m, a, args, argc);
    return a;
}

std::string JoinItems(Machine& m, ArrayObject* a, const std::string& sep) {
    std::string out;
    for (size_t i = 0; i < a->items.size(); ++i) {
        if (i) out += sep;
        if (!a->items[i].IsNullish()) out += m.ToStdString(a->items[i]);
    }
    return out;
}

Value ArrayJoin(Machine& m, Value self, Args args, int argc) {
    Value sep = Arg(args, argc, 0);
    return Value::Str(m.Str(JoinItems(m, Self(m, self), sep.IsUndefined() ? "," : m.ToStdString(sep))));
}
Value ArrayToString(Machine& m, Value self, Args, int) {
    if (!self.IsObject() || self.o->kind != ObjKind::Array) return Value::Str(m.Intern(""));
    return Value::Str(m.Str(JoinItems(m, Self(m, self), ",")));
}
Value ArrayPush(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    if (a->items.size() + argc > kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer.");
    a->items.insert(a->items.end(), args, args + argc);
    return Value::Uint(uint32_t(a->items.size()));
}
// pop takes the last item actually stored, wherever it is, and the array
// still loses one from its length.
Value ArrayPop(Machine& m, Value self, Args, int) {
    ArrayObject* a = Self(m, self);
    if (a->items.empty()) return Value::Undefined();
    Value v;
    for (size_t i = a->items.size(); i-- > 0;)
        if (!a->items[i].IsHole()) {
            v = a->items[i];
            a->items[i] = Value::Hole();
            break;
        }
    a->items.pop_back();
    return v;
}
Value ArrayShift(Machine& m, Value self, Args, int) {
    ArrayObject* a = Self(m, self);
    if (a->items.empty()) return Value::Undefined();
    Value v = a->items.front();
    a->items.erase(a->items.begin());
    return v;
}
Value ArrayUnshift(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    a->items.insert(a->items.begin(), args, args + argc);
    return Value::Uint(uint32_t(a->items.size()));
}
int64_t RelIndex(Machine& m, const Value& v, int64_t len, int64_t dflt) {
    if (v.IsUndefined()) return dflt;
    double d = m.ToNumber(v);
    if (std::isnan(d)) return 0;
    d = std::trunc(d);
    if (d < 0) return std::max<int64_t>(0, len + int64_t(std::max(d, -1e15)));
    return std::min<int64_t>(len, int64_t(std::min(d, 1e15)));
}
Value ArraySlice(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    int64_t len = int64_t(a->items.size());
    int64_t b = RelIndex(m, Arg(args, argc, 0), len, 0);
    int64_t e = RelIndex(m, Arg(args, argc, 1), len, len);
    ArrayObject* r = m.NewArray();
    if (b < e) r->items.assign(a->items.begin() + b, a->items.begin() + e);
    return Value::Obj(r);
}
Value ArraySplice(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    if (argc == 0) return Value::Undefined();
    int64_t len = int64_t(a->items.size());
    int64_t b = RelIndex(m, Arg(args, argc, 0), len, 0);
    int64_t count = len - b;
    if (argc > 1) {
        // Not a number deletes nothing; past the end, to the end.
        const double n = m.ToNumber(args[1]);
        count = n >= double(len - b) ? len - b : n > 0 ? int64_t(n) : 0;
    }
    ArrayObject* r = m.NewArray();
    r->items.assign(a->items.begin() + b, a->items.begin() + b + count);
    a->items.erase(a->items.begin() + b, a->items.begin() + b + count);
    if (argc > 2) a->items.insert(a->items.begin() + b, args + 2, args + argc);
    return Value::Obj(r);
}
Value ArrayConcat(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    ArrayObject* r = m.NewArray();
    r->items = a->items;
    for (int i = 0; i < argc; ++i) {
        if (args[i].IsObject() && args[i].o->kind == ObjKind::Array) {
            auto& src = static_cast<ArrayObject*>(args[i].o)->items;
            r->items.insert(r->items.end(), src.begin(), src.end());
        } else {
            r->items.push_back(args[i]);
        }
    }
    return Value::Obj(r);
}
Value ArrayReverse(Machine& m, Value self, Args, int) {
    std::reverse(Self(m, self)->items.begin(), Self(m, self)->items.end());
    return self;
}
Value ArrayIndexOf(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    int64_t from = RelIndex(m, Arg(args, argc, 1), int64_t(a->items.size()), 0);
    for (size_t i = size_t(from); i < a->items.size(); ++i)
        if (m.StrictEquals(a->items[i], Arg(args, argc, 0))) return Value::Int(int32_t(i));
    return Value::Int(-1);
}
Value ArrayLastIndexOf(Machine& m, Value self, Args args, int argc) {
    ArrayObject* a = Self(m, self);
    int64_t len = int64_t(a->items.size());
    const double d = argc > 1 ? std::trunc(m.ToNumber(args[1])) : double(len - 1);
    int64_t from = std::isnan(d) ? 0 : int64_t(std::clamp(d, -double(len), double(len)));
    // A start before the first item still looks at the first.
    if (from < 0) from = std::max<int64_t>(from + len, 0);
    for (int64_t i = std::min(from, len - 1); i >= 0; --i)
        if (m.StrictEquals(a->items[size_t(i)], Arg(args, argc, 0))) return Value::Int(int32_t(i));
    return Value::Int(-1);
}

}  // namespace

Value IterateItems(Machine& m, const Value& self, const std::vector<Value>& items, Args args, int argc, Iter kind,
                   Object* out, const std::function<void(const Value&)>& keep) {
    Value fn = Arg(args, argc, 0), thisv = Arg(args, argc, 1);
    const bool collects = kind == Iter::Map || kind == Iter::Filter;
    if (fn.IsNullish()) {
        if (collects) return Value::Obj(out);
        return kind == Iter::ForEach ? Value::Undefined() : Value::Bool(kind == Iter::Every);
    }
    // The callback may grow or shrink the items: read them afresh each step.
    for (size_t i = 0; i < items.size(); ++i) {
        Value item = items[i];
        Value cargs[3] = {item, Value::Int(int32_t(i)), self};
        Value r = m.Call(fn, thisv, cargs, 3);
        switch (kind) {
        case Iter::ForEach: break;
        case Iter::Map: keep(r); break;
        case Iter::Filter: if (m.ToBoolean(r)) keep(item); break;
        case Iter::Some: if (m.ToBoolean(r)) return Value::Bool(true); break;
        case Iter::Every: if (!m.ToBoolean(r)) return Value::Bool(false); break;
        }
    }
    if (collects) return Value::Obj(out);
    if (kind == Iter::Some) return Value::Bool(false);
    if (kind == Iter::Every) return Value::Bool(true);
    return Value::Undefined();
}

namespace {

Value Iterate(Machine& m, Value self, Args args, int argc, Iter kind) {
    ArrayObject* a = Self(m, self);
    ArrayObject* out = m.NewArray();
    TempRoot keep(m, Value::Obj(out));
    return IterateItems(m, self, a->items, args, argc, kind, out, [&](const Value& v) { out->items.push_back(v); });
}
Value ArrayForEach(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::ForEach); }
Value ArrayMap(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Map); }
Value ArrayFilter(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Filter); }
Value ArraySome(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Some); }
Value ArrayEvery(Machine& m, Value s, Args a, int c) { return Iterate(m, s, a, c, Iter::Every); }

Value ArrayLength(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Self(m, self)->items.size())); }
Value ArraySetLength(Machine& m, Value self, Args args, int argc) {
    double n = m.ToNumber(Arg(args, argc, 0));
    if (n < 0 || n != std::floor(n) || n > kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer (" + m.ToStdString(args[0]) + ").");
    Self(m, self)->items.resize(size_t(n), Value::Hole());
    return Value::Undefined();
}

}  // namespace

void InstallArraySort(Machine& m, ClassObject* array);

void InstallArray(Machine& m) {
    ClassObject* c = m.DefineClass("", "Array", m.objectClass, AllocArray, false);
    m.arrayClass = c;
    c->call = ArrayCall;
    c->init = m.NewNativeMethod("Array", ArrayInit, 1);
    m.DefineGetter(c, "length", ArrayLength, ArraySetLength);
    m.DefineMethod(c, "join", ArrayJoin, 1);
    m.DefineMethod(c, "toString", ArrayToString, 0);
    m.DefineMethod(c, "toLocaleString", ArrayToString, 0);
    m.DefineMethod(c, "push", ArrayPush, 1);
    m.DefineMethod(c, "pop", ArrayPop, 0);
    m.DefineMethod(c, "shift", ArrayShift, 0);
    m.DefineMethod(c, "unshift", ArrayUnshift, 1);
    m.DefineMethod(c, "slice", ArraySlice, 2);
    m.DefineMethod(c, "splice", ArraySplice, 2);
    m.DefineMethod(c, "concat", ArrayConcat, 1);
    m.DefineMethod(c, "reverse", ArrayReverse, 0);
    m.DefineMethod(c, "indexOf", ArrayIndexOf, 1);
    m.DefineMethod(c, "lastIndexOf", ArrayLastIndexOf, 1);
    m.DefineMethod(c, "forEach", ArrayForEach, 1);
    m.DefineMethod(c, "map", ArrayMap, 1);
    m.DefineMethod(c, "filter", ArrayFilter, 1);
    m.DefineMethod(c, "some", ArraySome, 1);
    m.DefineMethod(c, "every", ArrayEvery, 1);
    m.DefineConstant(c, "CASEINSENSITIVE", Value::Int(1));
    m.DefineConstant(c, "DESCENDING", Value::Int(2));
    m.DefineConstant(c, "UNIQUESORT", Value::Int(4));
    m.DefineConstant(c, "RETURNINDEXEDARRAY", Value::Int(8));
    m.DefineConstant(c, "NUMERIC", Value::Int(16));
    m.DefineConstant(c, "length", Value::Int(1));
    InstallArraySort(m, c);
}

}  // namespace swf::avm2
