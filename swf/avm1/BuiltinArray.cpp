// Array: the constructor and every method, sort and sortOn with their
// option flags. Sorting works on a list of indices: a script comparator may
// answer inconsistently, and that must give some order, never a crash.
#include <algorithm>
#include <cmath>

#include "swf/avm1/Text.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

enum SortFlags { kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16 };

Object* Arr(CallArgs& a) {
    if (a.self.IsObject() && (a.self.o->cls == ObjClass::Array || a.self.o->cls == ObjClass::Arguments))
        return a.self.o;
    return nullptr;
}

// Elements are written and deleted as members, by name: watchers and
// setters run, flags hold. They are read as stored, past any getter that
// addProperty put on them; holes read through the prototype.
std::string Name(int64_t i) { return std::to_string(i); }
Value At(Vm& vm, Object* o, int64_t i) {
    const std::string name = Name(i);
    if (const Property* p = o->Find(name, vm.Ci())) return p->value;
    return vm.Get(o, name, Value::Obj(o));
}
void SetAt(Vm& vm, Object* o, int64_t i, const Value& v) { vm.Put(o, Name(i), v); }
void DeleteAt(Vm& vm, Object* o, int64_t i) { vm.DeleteMember(o, Name(i)); }
void SetLength(Vm& vm, Object* o, int64_t n) { vm.SetArrayLength(o, static_cast<int32_t>(uint32_t(n))); }

// How many elements the methods visit: none for a negative length.
int64_t Count(const Object* o) { return std::clamp<int64_t>(o->length, 0, Vm::kMaxArrayWalk); }

// Every element, as the methods that work on a copy read them.
std::vector<Value> Values(Vm& vm, Object* o) {
    std::vector<Value> out;
    const int64_t n = Count(o);
    out.reserve(size_t(n));
    for (int64_t i = 0; i < n; ++i) out.push_back(At(vm, o, i));
    return out;
}

// Writes `values` over the elements in place; elements past them go.
void Store(Vm& vm, Object* o, const std::vector<Value>& values) {
    const int64_t old = Count(o);
    for (size_t i = 0; i < values.size(); ++i) SetAt(vm, o, int64_t(i), values[i]);
    for (int64_t i = int64_t(values.size()); i < old; ++i) DeleteAt(vm, o, i);
    SetLength(vm, o, int64_t(values.size()));
}

// Index arguments: negative counts from the end; clamped to [0, n].
int64_t Clamp(Vm& vm, const Value& v, int64_t n, int64_t fallback) {
    if (v.IsUndefined()) return fallback;
    double d = vm.ToNumber(v);
    if (std::isnan(d)) return 0;
    d = std::trunc(d);
    if (d < 0) d += double(n);
    return static_cast<int64_t>(std::clamp(d, 0.0, double(n)));
}

// Array(n) with one number makes an empty array of that length (negative
// ones too); any other arguments are the elements.
Value ArrayCtor(CallArgs& a) {
    Object* o = a.construct && a.self.IsObject() ? a.self.o : a.vm.NewArray();
    o->cls = ObjClass::Array;
    if (a.args.size() == 1 && a.Arg(0).IsNumber()) a.vm.SetArrayLength(o, ToInt32(a.Arg(0).n));
    else a.vm.SetArrayValues(o, a.args);
    return Value::Obj(o);
}

Value Push(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    int64_t n = o->length;
    for (const Value& v : a.args) SetAt(a.vm, o, n++, v);
    SetLength(a.vm, o, n);
    return Value::Num(double(o->length));
}

Value PopBack(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    if (o->length <= 0) {
        SetLength(a.vm, o, 0);
        return Value();
    }
    const int64_t last = o->length - 1;
    Value v = At(a.vm, o, last);
    DeleteAt(a.vm, o, last);
    SetLength(a.vm, o, last);
    return v;
}

// shift and unshift move each element by reading, writing and deleting it,
// so an element that cannot be deleted stays where it was as well.
Value Shift(CallArgs& a) {
    Object* o = Arr(a);
    if (!o || o->length <= 0) return Value();
    const int64_t n = Count(o);
    Value first = At(a.vm, o, 0);
    for (int64_t i = 1; i < n; ++i) {
        SetAt(a.vm, o, i - 1, At(a.vm, o, i));
        DeleteAt(a.vm, o, i);
    }
    if (n == 1) DeleteAt(a.vm, o, 0);
    SetLength(a.vm, o, n - 1);
    return first;
}

Value Unshift(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    const int64_t n = Count(o), k = int64_t(a.args.size());
    if (k > 0) {
        for (int64_t i = n - 1; i >= 0; --i) {
            SetAt(a.vm, o, i + k, At(a.vm, o, i));
            DeleteAt(a.vm, o, i);
        }
        for (int64_t i = 0; i < k; ++i) SetAt(a.vm, o, i, a.args[size_t(i)]);
    }
    SetLength(a.vm, o, n + k);
    return Value::Num(double(o->length));
}

Value Slice(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    const int64_t n = Count(o);
    const int64_t b = Clamp(a.vm, a.Arg(0), n, 0), e = Clamp(a.vm, a.Arg(1), n, n);
    std::vector<Value> out;
    for (int64_t i = b; i < e; ++i) out.push_back(At(a.vm, o, i));
    return Value::Obj(a.vm.NewArray(std::move(out)));
}

Value Splice(CallArgs& a) {
    Object* o = Arr(a);
    if (!o || a.args.empty()) return Value();
    std::vector<Value> elems = Values(a.vm, o);
    const int64_t n = int64_t(elems.size());
    const int64_t b = Clamp(a.vm, a.Arg(0), n, 0);
    int64_t count = n - b;
    if (a.args.size() > 1) {
        double c = a.vm.ToNumber(a.Arg(1));
        count = std::isnan(c) || c < 0 ? 0 : static_cast<int64_t>(std::min(c, double(n - b)));
    }
    std::vector<Value> removed(elems.begin() + long(b), elems.begin() + long(b + count));
    elems.erase(elems.begin() + long(b), elems.begin() + long(b + count));
    if (a.args.size() > 2) elems.insert(elems.begin() + long(b), a.args.begin() + 2, a.args.end());
    Store(a.vm, o, elems);
    return Value::Obj(a.vm.NewArray(std::move(removed)));
}

Value Concat(CallArgs& a) {
    Object* o = Arr(a);
    std::vector<Value> out = o ? Values(a.vm, o) : std::vector<Value>();
    for (const Value& v : a.args) {
        if (v.IsObject() && v.o->cls == ObjClass::Array) {
            const std::vector<Value> more = Values(a.vm, v.o);
            out.insert(out.end(), more.begin(), more.end());
        } else {
            out.push_back(v);
        }
        if (out.size() > size_t(Vm::kMaxArrayWalk)) out.resize(size_t(Vm::kMaxArrayWalk));
    }
    return Value::Obj(a.vm.NewArray(std::move(out)));
}

Value Join(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    std::string sep = a.Arg(0).IsUndefined() ? "," : a.vm.ToString(a.Arg(0));
    std::string out;
    const std::vector<Value> elems = Values(a.vm, o);  // toString of an element may change the array
    for (size_t i = 0; i < elems.size(); ++i) {
        if (i) out += sep;
        if (elems[i].IsObject() && elems[i].o == o) continue;  // a[0] = a
        out += elems[i].IsUndefined() ? (a.vm.Version() >= 7 ? "undefined" : "") : a.vm.ToString(elems[i]);
    }
    return Value::String(std::move(out));
}

Value ToStringA(CallArgs& a) {
    std::vector<Value> none;
    CallArgs j{a.vm, a.self, none, a.callee, false};
    return Join(j);
}

Value Reverse(CallArgs& a) {
    Object* o = Arr(a);
    if (o) {
        std::vector<Value> elems = Values(a.vm, o);
        std::reverse(elems.begin(), elems.end());
        Store(a.vm, o, elems);
    }
    return a.self;
}

// -1, 0, 1 under the flags, without a comparator.
int CompareByFlags(Vm& vm, const Value& x, const Value& y, int flags) {
    int r;
    // NUMERIC orders only two numbers by value; any other pair, even two
    // strings of digits, compares as strings.
    if ((flags & kNumeric) && x.IsNumber() && y.IsNumber()) {
        // NaN after every number, so that the order stays total.
        double a = x.n, b = y.n;
        if (std::isnan(a) || std::isnan(b)) r = std::isnan(a) - std::isnan(b);
        else r = a < b ? -1 : a > b ? 1 : 0;
    } else {
        std::string a = vm.ToString(x), b = vm.ToString(y);
        if (flags & kCaseInsensitive) {
            const bool utf8 = vm.Version() >= 6;
            a = ChangeCase(a, false, utf8);
            b = ChangeCase(b, false, utf8);
        }
        r = CharsLess(a, b) ? -1 : CharsLess(b, a) ? 1 : 0;
    }
    return (flags & kDescending) ? -r : r;
}

template <typename Less>
void MergeSort(std::vector<size_t>& idx, Less less) {
    std::vector<size_t> tmp(idx.size());
    for (size_t width = 1; width < idx.size(); width *= 2) {
        for (size_t lo = 0; lo < idx.size(); lo += 2 * width) {
            size_t mid = std::min(lo + width, idx.size()), hi = std::min(lo + 2 * width, idx.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) tmp[k++] = less(idx[j], idx[i]) ? idx[j++] : idx[i++];
            while (i < mid) tmp[k++] = idx[i++];
            while (j < hi) tmp[k++] = idx[j++];
        }
        idx.swap(tmp);
    }
}

// The player's order: a quicksort with the first element of each range as
// pivot, the smaller ones swapped in behind it. It is not stable, and
// equal keys (two spellings under CASEINSENSITIVE) come out in the order
// it leaves them. Ranges are kept on a list rather than recursed into, the
// left one first as recursion would.
template <typename Less>
void PivotSort(std::vector<size_t>& idx, Less less) {
    std::vector<std::pair<size_t, size_t>> todo;  // [lo, hi)
    if (idx.size() > 1) todo.emplace_back(0, idx.size());
    while (!todo.empty()) {
        auto [lo, hi] = todo.back();
        todo.pop_back();
        const size_t pivot = idx[lo];
        size_t last = lo;
        for (size_t j = lo + 1; j < hi; ++j)
            if (less(idx[j], pivot)) std::swap(idx[++last], idx[j]);
        std::swap(idx[lo], idx[last]);
        if (hi - last > 2) todo.emplace_back(last + 1, hi);
        if (last - lo > 1) todo.emplace_back(lo, last);
    }
}

// Past this many elements the quicksort's worst case (sorted or equal
// keys: quadratic) could stall a capture, so a merge sort orders them.
constexpr size_t kMaxPivotSort = 4096;

// Sorts by `cmp` (negative: a before b); applies the unique and indexed
// flags. Returns what sort returns.
template <typename Cmp>
Value SortWith(CallArgs& a, Object* o, int flags, Cmp cmp) {
    const std::vector<Value> elems = Values(a.vm, o);
    std::vector<size_t> idx(elems.size());
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    auto less = [&](size_t x, size_t y) { return cmp(elems[x], elems[y]) < 0; };
    if (idx.size() <= kMaxPivotSort) PivotSort(idx, less);
    else MergeSort(idx, less);
    if (flags & kUniqueSort)
        for (size_t i = 1; i < idx.size(); ++i)
            if (cmp(elems[idx[i - 1]], elems[idx[i]]) == 0) return Value::Num(0);
    if (flags & kReturnIndexedArray) {
        std::vector<Value> out;
        for (size_t i : idx) out.push_back(Value::Num(double(i)));
        return Value::Obj(a.vm.NewArray(std::move(out)));
    }
    std::vector<Value> sorted;
    for (size_t i : idx) sorted.push_back(elems[i]);
    Store(a.vm, o, sorted);
    return a.self;
}

Value Sort(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    Value fn;
    int flags = 0;
    // sort(), sort(compare[, flags]), sort(flags): a defined second
    // argument always holds the flags. An object that is no function
    // compares everything equal; a first argument of another kind sorts
    // nothing.
    if (a.Arg(0).IsObject()) fn = a.Arg(0);
    else if (!a.args.empty() && !a.Arg(0).IsNumber()) return Value();
    if (!a.Arg(1).IsUndefined()) flags = ToInt32(a.vm.ToNumber(a.Arg(1)));
    else if (a.Arg(0).IsNumber()) flags = ToInt32(a.Arg(0).n);
    Vm& vm = a.vm;
    if (fn.IsObject()) {
        const bool callable = vm.IsFunction(fn);
        return SortWith(a, o, flags, [&](const Value& x, const Value& y) {
            if (!callable) return 0;
            double r = vm.ToNumber(vm.Call(fn, Value(), {x, y}));
            int c = r < 0 ? -1 : r > 0 ? 1 : 0;
            return (flags & kDescending) ? -c : c;
        });
    }
    return SortWith(a, o, flags, [&](const Value& x, const Value& y) { return CompareByFlags(vm, x, y, flags); });
}

// The value sortOn orders an element by: an object's own stored field, no
// getter or prototype consulted; a primitive stands for itself.
Value SortField(Vm& vm, const Value& v, const std::string& name) {
    if (!v.IsObject()) return v;
    Object* o = v.o;
    if (o->cls == ObjClass::Array || o->cls == ObjClass::String || o->cls == ObjClass::Clip)
        return vm.GetMember(v, name);
    const Property* p = o->Find(name, vm.Ci());
    return p && !p->getter ? p->value : Value();
}

// sortOn("field", flags) or sortOn(["f1", "f2"], [flags1, flags2]).
Value SortOn(CallArgs& a) {
    Object* o = Arr(a);
    if (!o || a.args.empty()) return Value();
    std::vector<std::string> fields;
    std::vector<int> fieldFlags;
    const Value& names = a.Arg(0);
    if (names.IsObject() && names.o->cls == ObjClass::Array)
        for (const Value& v : Values(a.vm, names.o)) fields.push_back(a.vm.ToString(v));
    else
        fields.push_back(a.vm.ToString(names));
    const Value& f = a.Arg(1);
    int flags = 0;
    if (f.IsObject() && f.o->cls == ObjClass::Array) {
        for (const Value& v : Values(a.vm, f.o)) fieldFlags.push_back(ToInt32(a.vm.ToNumber(v)));
    } else {
        flags = ToInt32(a.vm.ToNumber(f));
    }
    // Per-field flags count only when there is one for each field; the
    // first field's also decide uniqueness and the indexed result.
    if (fieldFlags.size() != fields.size()) fieldFlags.assign(fields.size(), flags);
    if (!fieldFlags.empty()) flags = fieldFlags[0];
    Vm& vm = a.vm;
    return SortWith(a, o, flags, [&](const Value& x, const Value& y) {
        for (size_t i = 0; i < fields.size(); ++i) {
            int c = CompareByFlags(vm, SortField(vm, x, fields[i]), SortField(vm, y, fields[i]), fieldFlags[i]);
            if (c) return c;
        }
        return 0;
    });
}

}  // namespace

void InstallArray(Vm& vm) {
    vm.arrayProto = vm.NewObject();
    Object* array = vm.DefineClass("Array", ArrayCtor, vm.arrayProto);
    const std::pair<const char*, int> flags[] = {{"CASEINSENSITIVE", kCaseInsensitive}, {"DESCENDING", kDescending},
                                                  {"UNIQUESORT", kUniqueSort},
                                                  {"RETURNINDEXEDARRAY", kReturnIndexedArray}, {"NUMERIC", kNumeric}};
    for (const auto& [name, value] : flags) vm.SetHidden(array, name, Value::Num(value));
    const std::pair<const char*, NativeFn> methods[] = {
        {"push", Push}, {"pop", PopBack}, {"shift", Shift}, {"unshift", Unshift}, {"slice", Slice},
        {"splice", Splice}, {"concat", Concat}, {"join", Join}, {"toString", ToStringA}, {"reverse", Reverse},
        {"sort", Sort}, {"sortOn", SortOn},
    };
    for (const auto& [name, fn] : methods) vm.DefineNative(vm.arrayProto, name, fn);
}

}  // namespace swf::avm1
