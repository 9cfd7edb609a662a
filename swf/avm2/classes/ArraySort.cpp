// Array.sort and sortOn: a compare function or the option flags
// (CASEINSENSITIVE, DESCENDING, UNIQUESORT, RETURNINDEXEDARRAY, NUMERIC).
// The player's quicksort: not stable, so items that compare equal come out
// in the order its swaps leave them; undefined sorts last.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <tuple>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

enum SortFlags { kCaseInsensitive = 1, kDescending = 2, kUnique = 4, kReturnIndexed = 8, kNumeric = 16 };

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower((unsigned char)c));
    return s;
}

// Movies before version 11 compare two whole numbers that fit the machine's
// 29-bit int by the difference of their values times eight, in 32 bits: far
// apart ones wrap and come out the wrong way round.
constexpr int kExactNumericSortSince = 11;
constexpr int32_t kIntAtomLimit = 1 << 28;

bool SmallInt(const Value& v, int32_t& out) {
    double d = v.tag == Tag::Int ? v.i : v.tag == Tag::Number ? v.d : 0.5;
    if (d != std::trunc(d) || d < -kIntAtomLimit || d >= kIntAtomLimit || (d == 0 && std::signbit(d))) return false;
    out = int32_t(d);
    return true;
}

// -1, 0, 1 by the flags.
int CompareByFlags(Machine& m, const Value& a, const Value& b, int flags) {
    if (flags & kNumeric) {
        int32_t i, j;
        if (m.swfVersion < kExactNumericSortSince && SmallInt(a, i) && SmallInt(b, j)) {
            int32_t diff = int32_t(uint32_t(i) * 8u - uint32_t(j) * 8u);
            return diff < 0 ? -1 : diff > 0 ? 1 : 0;
        }
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

// Sorts `order` by `cmp` (negative: first before second) the player's way:
// the middle item of a range moved to its front as pivot, items no greater
// gathered on the left and no smaller on the right by swaps from both ends,
// the pivot placed between them, ranges of three or fewer sorted by hand.
// The larger side waits on a list while the smaller is sorted.
template <typename Cmp>
void PlayerQuickSort(std::vector<size_t>& order, Cmp cmp) {
    if (order.size() < 2) return;
    auto c = [&](size_t i, size_t j) { return cmp(order[i], order[j]); };
    auto swap = [&](size_t i, size_t j) { std::swap(order[i], order[j]); };
    std::vector<std::pair<size_t, size_t>> waiting;  // [lo, hi]
    size_t lo = 0, hi = order.size() - 1;
    for (;;) {
        size_t n = hi - lo + 1;
        if (n == 2 && c(lo, lo + 1) > 0) swap(lo, lo + 1);
        if (n == 3) {
            if (c(lo, lo + 1) > 0) swap(lo, lo + 1);
            if (c(lo + 1, lo + 2) > 0) {
                swap(lo + 1, lo + 2);
                if (c(lo, lo + 1) > 0) swap(lo, lo + 1);
            }
        }
        if (n > 3) {
            swap(lo + n / 2, lo);
            size_t left = lo, right = hi + 1;
            for (;;) {
                do ++left;
                while (left <= hi && c(left, lo) <= 0);
                do --right;
                while (right > lo && c(right, lo) >= 0);
                if (right < left) break;
                swap(left, right);
            }
            swap(lo, right);
            // [lo, right) holds the smaller side, [left, hi] the larger.
            size_t leftEnd = right ? right - 1 : 0;
            bool hasLeft = right > lo + 1, hasRight = left < hi;
            if (right - lo >= hi - left + 1) {
                if (hasLeft) waiting.emplace_back(lo, leftEnd);
                if (hasRight) {
                    lo = left;
                    continue;
                }
            } else {
                if (hasRight) waiting.emplace_back(left, hi);
                if (hasLeft) {
                    hi = leftEnd;
                    continue;
                }
            }
        }
        if (waiting.empty()) return;
        std::tie(lo, hi) = waiting.back();
        waiting.pop_back();
    }
}

// A value items are ordered by (the item itself, or one of its fields), with
// its flags; sortOn's later fields break ties of earlier ones.
struct SortKey {
    std::vector<Value> values;
    int flags = 0;
};

// Holes read through the prototype, and the sorted items are the array's own.
std::vector<Value> ReadItems(Machine& m, ArrayObject* a) {
    std::vector<Value> items;
    items.reserve(a->items.size());
    for (size_t i = 0; i < a->items.size(); ++i) items.push_back(ItemAt(m, a, i));
    return items;
}

// `flags` holds the options for the whole call (UNIQUESORT, RETURNINDEXEDARRAY).
Value SortItems(Machine& m, Value self, const std::vector<Value>& items, const std::vector<SortKey>& keys, Value fn,
                int flags) {
    auto* a = static_cast<ArrayObject*>(self.o);
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto cmp = [&](size_t i, size_t j) -> int {
        for (const SortKey& k : keys) {
            const Value& x = k.values[i];
            const Value& y = k.values[j];
            if (x.IsUndefined() || y.IsUndefined()) {
                if (x.IsUndefined() && y.IsUndefined()) continue;
                return x.IsUndefined() ? 1 : -1;
            }
            int c;
            if (!fn.IsNullish()) {
                Value args[2] = {x, y};
                // What the function returns is read as an int: a fraction is 0.
                int32_t r = m.ToInt32(m.Call(fn, Value::Null(), args, 2));
                c = r < 0 ? -1 : r > 0 ? 1 : 0;
            } else {
                c = CompareByFlags(m, x, y, k.flags);
            }
            if (k.flags & kDescending) c = -c;
            if (c) return c;
        }
        return 0;
    };
    PlayerQuickSort(order, cmp);
    if (flags & kUnique)
        for (size_t i = 1; i < order.size(); ++i)
            if (cmp(order[i - 1], order[i]) == 0) return Value::Int(0);
    if (flags & kReturnIndexed) {
        ArrayObject* r = m.NewArray();
        for (size_t i : order) r->items.push_back(Value::Int(int32_t(i)));
        return Value::Obj(r);
    }
    std::vector<Value> sorted;
    for (size_t i : order) sorted.push_back(items[i]);
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
    std::vector<Value> items = ReadItems(m, static_cast<ArrayObject*>(self.o));
    return SortItems(m, self, items, {SortKey{items, flags}}, fn, flags);
}

// sortOn("field", flags) or sortOn(["f1", "f2"], [flags1, flags2]): with a
// list of flags, the first also holds the options for the whole call.
Value ArraySortOn(Machine& m, Value self, Args args, int argc) {
    if (!self.IsObject() || self.o->kind != ObjKind::Array) return self;
    Value names = Arg(args, argc, 0);
    std::vector<std::string> fields;
    if (names.IsObject() && names.o->kind == ObjKind::Array)
        for (const Value& v : ReadItems(m, static_cast<ArrayObject*>(names.o))) fields.push_back(m.ToStdString(v));
    else
        fields.push_back(m.ToStdString(names));
    if (fields.empty()) return self;
    Value opt = Arg(args, argc, 1);
    std::vector<int> fieldFlags(fields.size(), 0);
    if (opt.IsObject() && opt.o->kind == ObjKind::Array) {
        std::vector<Value> given = ReadItems(m, static_cast<ArrayObject*>(opt.o));
        for (size_t i = 0; i < given.size() && i < fields.size(); ++i) fieldFlags[i] = m.ToInt32(given[i]);
    } else if (!opt.IsUndefined()) {
        std::fill(fieldFlags.begin(), fieldFlags.end(), m.ToInt32(opt));
    }
    std::vector<Value> items = ReadItems(m, static_cast<ArrayObject*>(self.o));
    std::vector<SortKey> keys(fields.size());
    for (size_t f = 0; f < fields.size(); ++f) {
        keys[f].flags = fieldFlags[f];
        Name n = m.PublicName(fields[f]);
        for (const Value& v : items) keys[f].values.push_back(v.IsObject() ? m.GetProperty(v, n) : Value::Undefined());
    }
    return SortItems(m, self, items, keys, Value::Undefined(), fieldFlags[0]);
}

}  // namespace

void InstallArraySort(Machine& m, ClassObject* array) {
    m.DefineMethod(array, "sort", ArraySort, 0);
    m.DefineMethod(array, "sortOn", ArraySortOn, 2);
}

}  // namespace swf::avm2
