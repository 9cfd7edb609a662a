// RegExp: ECMAScript patterns run by the standard library's engine over the
// text's UTF-16 units, so indices are the ones scripts count. The flags g i
// m are the engine's own; s (dot matches newlines) and x (blanks in the
// pattern ignored) rewrite the pattern first. A pattern the engine refuses
// matches nothing. Texts past kMaxRegExpInput units are not searched: the
// engine recurses per character.
#include <cmath>
#include <memory>
#include <regex>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

void InstallStringPatterns(Machine& m);

namespace {

constexpr size_t kMaxRegExpInput = 1 << 14;

class RegExpObject : public Object {
public:
    RegExpObject(ClassObject* cls, Object* proto) : Object(ObjKind::RegExp, cls, proto) {}
    String* source = nullptr;
    bool global = false, ignoreCase = false, multiline = false, dotall = false, extended = false;
    double lastIndex = 0;
    std::shared_ptr<std::wregex> re;  // null: the pattern was refused
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(source);
    }
};

std::wstring Units(const std::string& s) {
    std::vector<uint32_t> u = Decode(s);
    return std::wstring(u.begin(), u.end());
}

std::string Utf8(const std::wstring& w, size_t from, size_t to) {
    std::vector<uint32_t> u(w.begin(), w.end());
    return EncodeUtf8(u, from, to);
}

// The pattern with s and x applied, outside character classes only.
std::wstring Rewrite(const std::wstring& p, bool dotall, bool extended) {
    std::wstring out;
    bool inClass = false;
    for (size_t i = 0; i < p.size(); ++i) {
        wchar_t c = p[i];
        if (c == L'\\' && i + 1 < p.size()) {
            out += c;
            out += p[++i];
            continue;
        }
        if (inClass) {
            if (c == L']') inClass = false;
            out += c;
            continue;
        }
        if (c == L'[') inClass = true;
        if (extended && (c == L' ' || c == L'\t' || c == L'\n' || c == L'\r')) continue;
        if (dotall && c == L'.') {
            out += L"[\\s\\S]";
            continue;
        }
        out += c;
    }
    return out;
}

RegExpObject* Self(Machine& m, const Value& v) {
    if (!v.IsObject() || v.o->kind != ObjKind::RegExp)
        m.CoercionFailed(v, "RegExp");
    return static_cast<RegExpObject*>(v.o);
}

Object* AllocRegExp(Machine& m, ClassObject* cls) { return m.New<RegExpObject>(cls, cls->prototype); }

void Compile(Machine& m, RegExpObject* r, const std::string& source, const std::string& flags) {
    r->source = m.Str(source);
    for (char f : flags) {
        if (f == 'g') r->global = true;
        else if (f == 'i') r->ignoreCase = true;
        else if (f == 'm') r->multiline = true;
        else if (f == 's') r->dotall = true;
        else if (f == 'x') r->extended = true;
    }
    auto opts = std::regex_constants::ECMAScript;
    if (r->ignoreCase) opts |= std::regex_constants::icase;
    if (r->multiline) opts |= std::regex_constants::multiline;
    try {
        r->re = std::make_shared<std::wregex>(Rewrite(Units(source), r->dotall, r->extended), opts);
    } catch (const std::exception&) {
        r->re = nullptr;
    }
}

Value RegExpInit(Machine& m, Value self, Args args, int argc) {
    RegExpObject* r = Self(m, self);
    Value p = Arg(args, argc, 0), f = Arg(args, argc, 1);
    if (p.IsObject() && p.o->kind == ObjKind::RegExp) {
        auto* src = static_cast<RegExpObject*>(p.o);
        if (!f.IsUndefined()) m.TypeError(1100, "Cannot supply flags when constructing one RegExp from another.");
        std::string flags = std::string(src->global ? "g" : "") + (src->ignoreCase ? "i" : "") + (src->multiline ? "m" : "") +
                            (src->dotall ? "s" : "") + (src->extended ? "x" : "");
        Compile(m, r, src->source->text, flags);
        return Value::Undefined();
    }
    Compile(m, r, p.IsUndefined() ? "" : m.ToStdString(p), f.IsUndefined() ? "" : m.ToStdString(f));
    return Value::Undefined();
}

Value RegExpCall(Machine& m, Value, Args args, int argc) {
    if (argc >= 1 && args[0].IsObject() && args[0].o->kind == ObjKind::RegExp && (argc < 2 || args[1].IsUndefined()))
        return args[0];
    return m.Construct(Value::Obj(m.regexpClass), args, argc);
}

}  // namespace

// One match from lastIndex (global) or the start: the result array with
// index and input, or null.
Value RegExpExec(Machine& m, const Value& self, String* input) {
    RegExpObject* r = Self(m, self);
    std::wstring text = Units(input->text);
    size_t start = r->global ? size_t(std::max(0.0, r->lastIndex)) : 0;
    std::wsmatch match;
    bool found = false;
    if (r->re && start <= text.size() && text.size() <= kMaxRegExpInput) {
        try {
            found = std::regex_search(text.cbegin() + ptrdiff_t(start), text.cend(), match, *r->re,
                                      start ? std::regex_constants::match_prev_avail : std::regex_constants::match_default);
        } catch (const std::exception&) {
            found = false;
        }
    }
    if (!found) {
        if (r->global) r->lastIndex = 0;
        return Value::Null();
    }
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    size_t at = start + size_t(match.position(0));
    for (size_t i = 0; i < match.size(); ++i) {
        if (!match[i].matched) {
            a->items.push_back(Value::Undefined());
            continue;
        }
        size_t b = size_t(match[i].first - text.cbegin()), e = size_t(match[i].second - text.cbegin());
        a->items.push_back(Value::Str(m.Str(Utf8(text, b, e))));
    }
    a->Dyn().Set(m.Intern("index"), Value::Int(int32_t(at)));
    a->Dyn().Set(m.Intern("input"), Value::Str(input));
    if (r->global) {
        size_t end = at + size_t(match.length(0));
        r->lastIndex = double(end == at ? end + 1 : end);
    }
    return Value::Obj(a);
}

namespace {

Value Exec(Machine& m, Value self, Args args, int argc) {
    return RegExpExec(m, self, m.ToString(Arg(args, argc, 0)));
}
Value Test(Machine& m, Value self, Args args, int argc) {
    return Value::Bool(!RegExpExec(m, self, m.ToString(Arg(args, argc, 0))).IsNull());
}
Value ToStringFn(Machine& m, Value self, Args, int) {
    RegExpObject* r = Self(m, self);
    std::string s = "/" + r->source->text + "/";
    if (r->global) s += "g";
    if (r->ignoreCase) s += "i";
    if (r->multiline) s += "m";
    if (r->dotall) s += "s";
    if (r->extended) s += "x";
    return Value::Str(m.Str(s));
}
Value Source(Machine& m, Value self, Args, int) { return Value::Str(Self(m, self)->source); }
Value Global(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->global); }
Value IgnoreCase(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->ignoreCase); }
Value Multiline(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->multiline); }
Value DotAll(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->dotall); }
Value Extended(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->extended); }
Value LastIndex(Machine& m, Value self, Args, int) { return Value::Number(Self(m, self)->lastIndex); }
Value SetLastIndex(Machine& m, Value self, Args args, int argc) {
    double d = std::trunc(m.ToNumber(Arg(args, argc, 0)));
    Self(m, self)->lastIndex = std::isnan(d) ? 0 : d;
    return Value::Undefined();
}

}  // namespace

void InstallRegExp(Machine& m) {
    ClassObject* c = m.DefineClass("", "RegExp", m.objectClass, AllocRegExp, false);
    m.regexpClass = c;
    c->init = m.NewNativeMethod("RegExp", RegExpInit, 1);
    c->call = RegExpCall;
    m.DefineMethod(c, "exec", Exec, 1);
    m.DefineMethod(c, "test", Test, 1);
    m.DefineMethod(c, "toString", ToStringFn, 0);
    m.DefineGetter(c, "source", Source);
    m.DefineGetter(c, "global", Global);
    m.DefineGetter(c, "ignoreCase", IgnoreCase);
    m.DefineGetter(c, "multiline", Multiline);
    m.DefineGetter(c, "dotall", DotAll);
    m.DefineGetter(c, "extended", Extended);
    m.DefineGetter(c, "lastIndex", LastIndex, SetLastIndex);
    m.DefineConstant(c, "length", Value::Int(1));
    InstallStringPatterns(m);
}

}  // namespace swf::avm2
