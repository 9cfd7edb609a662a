// Array.sort and sortOn: a compare function or the option flags
// (CASEINSENSITIVE, DESCENDING, UNIQUESORT, RETURNINDEXEDARRAY, NUMERIC).
// A merge sort, so an inconsistent compare function cannot break it;
// undefined sorts last.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

enum SortFlags { kCaseInsensitive = 1, kDescending = 2, kUnique = 4, kReturnIndexed = 8, kNumeric = 16 };

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower((unsigned char)c));
    return s;
}

// -1, 0, 1 by the flags.
int CompareByFlags(Machine& m, const Value& a, const Value& b, int flags) {
    if (flags & kNumeric) {
        double x = m.ToNumber(a), y = m.ToNumber(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    std::string x = m.ToStdString(a), y = m.ToStdString(b);
    if (flags & kCaseInsensitive) {
        x = Lower(x);
        y = Lower(y);
    }
    return x < y ? -1 : x > y ? 1 : 0;
}

Value SortItems(Machine& m, Value self, const std::vector<Value>& keys, Value fn, int flags) {
    auto* a = static_cast<ArrayObject*>(self.o);
    std::vector<size_t> order(a->items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto cmp = [&](size_t i, size_t j) -> int {
        const Value& x = keys[i];
        const Value& y = keys[j];
        if (x.IsUndefined() || y.IsUndefined()) return x.IsUndefined() ? (y.IsUndefined() ? 0 : 1) : -1;
        int c;
        if (!fn.IsNullish()) {
            Value args[2] = {x, y};
            double r = m.ToNumber(m.Call(fn, Value::Null(), args, 2));
            c = r < 0 ? -1 : r > 0 ? 1 : 0;
        } else {
            c = CompareByFlags(m, x, y, flags);
        }
        return (flags & kDescending) ? -c : c;
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t i, size_t j) { return cmp(i, j) < 0; });
    if (flags & kUnique)
        for (size_t i = 1; i < order.size(); ++i)
            if (cmp(order[i - 1], order[i]) == 0) return Value::Int(0);
    if (flags & kReturnIndexed) {
        ArrayObject* r = m.NewArray();
        for (size_t i : order) r->items.push_back(Value::Int(int32_t(i)));
        return Value::Obj(r);
    }
    std::vector<Value> sorted;
    for (size_t i : order) sorted.push_back(a->items[i]);
    a->items = std::move(sorted);
    return self;
}

Value ArraySort(Machine& m, Value self, Args args, int argc) {
    if (!self.IsObject() || self.o->kind != ObjKind::Array) return self;
    Value fn;
    int flags = 0;
    if (argc > 0 && args[0].IsObject() && args[0].o->kind == ObjKind::Function) {
        fn = args[0];
        if (argc > 1) flags = m.ToInt32(args[1]);
    } else if (argc > 0) {
        flags = m.ToInt32(args[0]);
    }
    std::vector<Value> keys = static_cast<ArrayObject*>(self.o)->items;
    return SortItems(m, self, keys, fn, flags);
}

Value ArraySortOn(Machine& m, Value self, Args args, int argc) {
    if (!self.IsObject() || self.o->kind != ObjKind::Array) return self;
    Value names = Arg(args, argc, 0);
    std::string field = names.IsObject() && names.o->kind == ObjKind::Array
                            ? (static_cast<ArrayObject*>(names.o)->items.empty()
                                   ? std::string()
                                   : m.ToStdString(static_cast<ArrayObject*>(names.o)->items[0]))
                            : m.ToStdString(names);
    Value opt = Arg(args, argc, 1);
    int flags = 0;
    if (opt.IsObject() && opt.o->kind == ObjKind::Array) {
        auto& items = static_cast<ArrayObject*>(opt.o)->items;
        if (!items.empty()) flags = m.ToInt32(items[0]);
    } else if (!opt.IsUndefined()) {
        flags = m.ToInt32(opt);
    }
    std::vector<Value> keys;
    for (const Value& v : static_cast<ArrayObject*>(self.o)->items)
        keys.push_back(v.IsObject() ? m.GetProperty(v, m.PublicName(field)) : Value::Undefined());
    return SortItems(m, self, keys, Value::Undefined(), flags);
}

}  // namespace

void InstallArraySort(Machine& m, ClassObject* array) {
    m.DefineMethod(array, "sort", ArraySort, 0);
    m.DefineMethod(array, "sortOn", ArraySortOn, 2);
}

}  // namespace swf::avm2
