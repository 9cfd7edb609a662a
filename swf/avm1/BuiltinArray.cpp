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
constexpr double kMaxLength = 1 << 20;

Object* Arr(CallArgs& a) {
    if (a.self.IsObject() && (a.self.o->cls == ObjClass::Array || a.self.o->cls == ObjClass::Arguments))
        return a.self.o;
    return nullptr;
}

// Index arguments: negative counts from the end; clamped to [0, n].
size_t Clamp(Vm& vm, const Value& v, size_t n, size_t fallback) {
    if (v.IsUndefined()) return fallback;
    double d = vm.ToNumber(v);
    if (std::isnan(d)) return 0;
    d = std::trunc(d);
    if (d < 0) d += double(n);
    return static_cast<size_t>(std::clamp(d, 0.0, double(n)));
}

Value ArrayCtor(CallArgs& a) {
    Object* o = a.construct && a.self.IsObject() ? a.self.o : a.vm.NewArray();
    o->cls = ObjClass::Array;
    if (a.args.size() == 1 && a.Arg(0).IsNumber()) {
        double n = a.Arg(0).n;
        if (n >= 0 && n <= kMaxLength) o->elems.resize(static_cast<size_t>(n));
    } else {
        o->elems = a.args;
    }
    return Value::Obj(o);
}

Value Push(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    for (const Value& v : a.args)
        if (o->elems.size() < kMaxLength) o->elems.push_back(v);
    return Value::Num(double(o->elems.size()));
}

Value PopBack(CallArgs& a) {
    Object* o = Arr(a);
    if (!o || o->elems.empty()) return Value();
    Value v = o->elems.back();
    o->elems.pop_back();
    return v;
}

Value Shift(CallArgs& a) {
    Object* o = Arr(a);
    if (!o || o->elems.empty()) return Value();
    Value v = o->elems.front();
    o->elems.erase(o->elems.begin());
    return v;
}

Value Unshift(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    if (o->elems.size() + a.args.size() <= kMaxLength) o->elems.insert(o->elems.begin(), a.args.begin(), a.args.end());
    return Value::Num(double(o->elems.size()));
}

Value Slice(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    const size_t n = o->elems.size();
    size_t b = Clamp(a.vm, a.Arg(0), n, 0), e = Clamp(a.vm, a.Arg(1), n, n);
    return Value::Obj(a.vm.NewArray(b < e ? std::vector<Value>(o->elems.begin() + long(b), o->elems.begin() + long(e))
                                          : std::vector<Value>()));
}

Value Splice(CallArgs& a) {
    Object* o = Arr(a);
    if (!o || a.args.empty()) return Value();
    const size_t n = o->elems.size();
    size_t b = Clamp(a.vm, a.Arg(0), n, 0);
    size_t count = n - b;
    if (a.args.size() > 1) {
        double c = a.vm.ToNumber(a.Arg(1));
        count = std::isnan(c) || c < 0 ? 0 : static_cast<size_t>(std::min(c, double(n - b)));
    }
    std::vector<Value> removed(o->elems.begin() + long(b), o->elems.begin() + long(b + count));
    o->elems.erase(o->elems.begin() + long(b), o->elems.begin() + long(b + count));
    if (a.args.size() > 2 && o->elems.size() + a.args.size() <= kMaxLength)
        o->elems.insert(o->elems.begin() + long(b), a.args.begin() + 2, a.args.end());
    return Value::Obj(a.vm.NewArray(std::move(removed)));
}

Value Concat(CallArgs& a) {
    Object* o = Arr(a);
    std::vector<Value> out = o ? o->elems : std::vector<Value>();
    for (const Value& v : a.args) {
        if (v.IsObject() && v.o->cls == ObjClass::Array) out.insert(out.end(), v.o->elems.begin(), v.o->elems.end());
        else out.push_back(v);
        if (out.size() > kMaxLength) out.resize(static_cast<size_t>(kMaxLength));
    }
    return Value::Obj(a.vm.NewArray(std::move(out)));
}

Value Join(CallArgs& a) {
    Object* o = Arr(a);
    if (!o) return Value();
    std::string sep = a.Arg(0).IsUndefined() ? "," : a.vm.ToString(a.Arg(0));
    std::string out;
    std::vector<Value> elems = o->elems;  // toString of an element may change the array
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
    if (o) std::reverse(o->elems.begin(), o->elems.end());
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
    std::vector<size_t> idx(o->elems.size());
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    const std::vector<Value> elems = o->elems;
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
    o->elems = std::move(sorted);
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
        for (const Value& v : names.o->elems) fields.push_back(a.vm.ToString(v));
    else
        fields.push_back(a.vm.ToString(names));
    const Value& f = a.Arg(1);
    int flags = 0;
    if (f.IsObject() && f.o->cls == ObjClass::Array) {
        for (const Value& v : f.o->elems) fieldFlags.push_back(ToInt32(a.vm.ToNumber(v)));
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
