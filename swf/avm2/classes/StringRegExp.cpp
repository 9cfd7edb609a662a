// The String methods that take patterns: replace, match and search. A
// pattern that is no RegExp is a literal text for replace and becomes a
// RegExp for match and search.
#include <algorithm>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

bool IsRegExp(const Value& v) { return v.IsObject() && v.o->kind == ObjKind::RegExp; }

Value ToRegExp(Machine& m, const Value& v) {
    if (IsRegExp(v)) return v;
    Value p = v.IsUndefined() ? Value::Str(m.Intern("")) : Value::Str(m.ToString(v));
    return m.Construct(Value::Obj(m.regexpClass), &p, 1);
}

// The replacement for one match: a function's result, or the text with
// $&, $`, $', $$ and $1..$99 filled in.
std::string Replacement(Machine& m, const Value& repl, ArrayObject* match, const std::vector<uint32_t>& units,
                        size_t at, String* input) {
    const std::string whole = m.ToStdString(match->items[0]);
    const size_t len = Decode(whole).size();
    if (repl.IsObject() && repl.o->kind == ObjKind::Function) {
        std::vector<Value> args(match->items.begin(), match->items.end());
        args.push_back(Value::Int(int32_t(at)));
        args.push_back(Value::Str(input));
        return m.ToStdString(m.Call(repl, Value::Null(), args.data(), int(args.size())));
    }
    const std::string r = m.ToStdString(repl);
    std::string out;
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] != '$' || i + 1 >= r.size()) {
            out += r[i];
            continue;
        }
        char c = r[i + 1];
        if (c == '$') out += '$', ++i;
        else if (c == '&') out += whole, ++i;
        else if (c == '`') out += EncodeUtf8(units, 0, at), ++i;
        else if (c == '\'') out += EncodeUtf8(units, std::min(units.size(), at + len), units.size()), ++i;
        else if (c >= '0' && c <= '9') {
            size_t n = size_t(c - '0'), used = 1;
            if (i + 2 < r.size() && r[i + 2] >= '0' && r[i + 2] <= '9' && n * 10 + size_t(r[i + 2] - '0') < match->items.size()) {
                n = n * 10 + size_t(r[i + 2] - '0');
                used = 2;
            }
            if (n == 0 || n >= match->items.size()) {
                out += '$';
                continue;
            }
            if (!match->items[n].IsUndefined()) out += m.ToStdString(match->items[n]);
            i += used;
        } else {
            out += '$';
        }
    }
    return out;
}

Value StrReplace(Machine& m, Value self, Args args, int argc) {
    String* input = m.ToString(self);
    std::vector<uint32_t> units = Decode(input->text);
    Value pattern = Arg(args, argc, 0), repl = Arg(args, argc, 1);
    std::string out;
    size_t done = 0;
    if (!IsRegExp(pattern)) {
        std::vector<uint32_t> needle = Decode(m.ToStdString(pattern));
        auto it = std::search(units.begin(), units.end(), needle.begin(), needle.end());
        if (it == units.end()) return Value::Str(input);
        size_t at = size_t(it - units.begin());
        ArrayObject* match = m.NewArray();
        TempRoot keep(m, Value::Obj(match));
        match->items.push_back(Value::Str(m.Str(EncodeUtf8(needle, 0, needle.size()))));
        out = EncodeUtf8(units, 0, at) + Replacement(m, repl, match, units, at, input) +
              EncodeUtf8(units, at + needle.size(), units.size());
        return Value::Str(m.Str(out));
    }
    const bool global = m.ToBoolean(m.GetPublic(pattern, "global"));
    if (global) m.SetPublic(pattern, "lastIndex", Value::Int(0));
    for (;;) {
        Value r = RegExpExec(m, pattern, input);
        if (r.IsNull()) break;
        auto* match = static_cast<ArrayObject*>(r.o);
        TempRoot keep(m, r);
        size_t at = size_t(m.ToNumber(m.GetPublic(r, "index")));
        size_t len = Decode(m.ToStdString(match->items[0])).size();
        out += EncodeUtf8(units, done, at) + Replacement(m, repl, match, units, at, input);
        done = at + len;
        if (!global || done >= units.size() + (len == 0 ? 0 : 1)) break;
    }
    out += EncodeUtf8(units, std::min(done, units.size()), units.size());
    if (global) m.SetPublic(pattern, "lastIndex", Value::Int(0));
    return Value::Str(m.Str(out));
}

Value StrMatch(Machine& m, Value self, Args args, int argc) {
    String* input = m.ToString(self);
    Value re = ToRegExp(m, Arg(args, argc, 0));
    TempRoot keepRe(m, re);
    if (!m.ToBoolean(m.GetPublic(re, "global"))) return RegExpExec(m, re, input);
    m.SetPublic(re, "lastIndex", Value::Int(0));
    ArrayObject* all = m.NewArray();
    TempRoot keep(m, Value::Obj(all));
    for (size_t guard = 0; guard <= input->text.size(); ++guard) {
        Value r = RegExpExec(m, re, input);
        if (r.IsNull()) break;
        all->items.push_back(static_cast<ArrayObject*>(r.o)->items[0]);
    }
    m.SetPublic(re, "lastIndex", Value::Int(0));
    return Value::Obj(all);
}

Value StrSearch(Machine& m, Value self, Args args, int argc) {
    String* input = m.ToString(self);
    Value re = ToRegExp(m, Arg(args, argc, 0));
    TempRoot keepRe(m, re);
    Value saved = m.GetPublic(re, "lastIndex");
    m.SetPublic(re, "lastIndex", Value::Int(0));
    Value r = RegExpExec(m, re, input);
    m.SetPublic(re, "lastIndex", saved);
    return r.IsNull() ? Value::Int(-1) : m.GetPublic(r, "index");
}

}  // namespace

void InstallStringPatterns(Machine& m) {
    m.DefineMethod(m.stringClass, "replace", StrReplace, 2);
    m.DefineMethod(m.stringClass, "match", StrMatch, 1);
    m.DefineMethod(m.stringClass, "search", StrSearch, 1);
}

}  // namespace swf::avm2
