// JSON.parse with a reviver and JSON.stringify with a replacer (function
// or list of names) and an indent. Objects of classes give their public
// variables and constants, then their getters, then dynamic properties.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "swf/avm2/classes/Builtins.h"
#include "swf/avm2/classes/DataState.h"

namespace swf::avm2 {

namespace {

constexpr int kMaxJsonDepth = 512;

[[noreturn]] void ParseError(Machine& m) { m.Throw(m.syntaxErrorClass, 1132, "Invalid JSON parse input."); }

class Parser {
public:
    Parser(Machine& m, const std::string& s) : m_(m), s_(s) {}

    Value Document() {
        Value v = Parse(0);
        Space();
        if (i_ != s_.size()) ParseError(m_);
        return v;
    }

private:
    Machine& m_;
    const std::string& s_;
    size_t i_ = 0;

    void Space() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
    }
    bool Take(char c) {
        Space();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Take(c)) ParseError(m_);
    }
    bool Word(const char* w) {
        size_t n = std::char_traits<char>::length(w);
        if (s_.compare(i_, n, w) != 0) return false;
        i_ += n;
        return true;
    }

    Value Parse(int depth) {
        if (depth > kMaxJsonDepth) ParseError(m_);
        Space();
        if (i_ >= s_.size()) ParseError(m_);
        char c = s_[i_];
        if (c == '{') return Obj(depth);
        if (c == '[') return Arr(depth);
        if (c == '"') return Value::Str(m_.Str(Str()));
        if (Word("true")) return Value::Bool(true);
        if (Word("false")) return Value::Bool(false);
        if (Word("null")) return Value::Null();
        if (c == '-' || (c >= '0' && c <= '9')) return Num();
        ParseError(m_);
    }

    Value Obj(int depth) {
        ++i_;
        Value o = Value::Obj(m_.NewObject());
        TempRoot keep(m_, o);
        if (Take('}')) return o;
        do {
            Space();
            if (i_ >= s_.size() || s_[i_] != '"') ParseError(m_);
            std::string k = Str();
            Expect(':');
            Value v = Parse(depth + 1);
            m_.SetProperty(o, m_.PublicName(k), v);
        } while (Take(','));
        Expect('}');
        return o;
    }

    Value Arr(int depth) {
        ++i_;
        ArrayObject* a = m_.NewArray(0);
        Value o = Value::Obj(a);
        TempRoot keep(m_, o);
        if (Take(']')) return o;
        do {
            Value v = Parse(depth + 1);
            a->items.push_back(v);
        } while (Take(','));
        Expect(']');
        return o;
    }

    uint32_t Hex4() {
        if (i_ + 4 > s_.size()) ParseError(m_);
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            char c = s_[i_++];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) ParseError(m_);
            v = v << 4 | uint32_t(d);
        }
        return v;
    }

    std::string Str() {
        ++i_;
        std::vector<uint32_t> units;
        size_t start = i_;
        std::string plain;
        for (;;) {
            if (i_ >= s_.size()) ParseError(m_);
            unsigned char c = s_[i_];
            if (c == '"') break;
            if (c < 0x20) ParseError(m_);
            if (c != '\\') {
                ++i_;
                continue;
            }
            plain.append(s_, start, i_ - start);
            ++i_;
            if (i_ >= s_.size()) ParseError(m_);
            char e = s_[i_++];
            uint32_t u = 0;
            switch (e) {
            case '"': u = '"'; break;
            case '\\': u = '\\'; break;
            case '/': u = '/'; break;
            case 'b': u = '\b'; break;
            case 'f': u = '\f'; break;
            case 'n': u = '\n'; break;
            case 'r': u = '\r'; break;
            case 't': u = '\t'; break;
            case 'u': u = Hex4(); break;
            default: ParseError(m_);
            }
            units.assign(1, u);
            // A pair of escaped surrogates is one character.
            if (u >= 0xD800 && u < 0xDC00 && s_.compare(i_, 2, "\\u") == 0) {
                size_t save = i_;
                i_ += 2;
                uint32_t lo = Hex4();
                if (lo >= 0xDC00 && lo < 0xE000) units.push_back(lo);
                else i_ = save;
            }
            plain += EncodeUtf8(units, 0, units.size());
            start = i_;
        }
        plain.append(s_, start, i_ - start);
        ++i_;
        return plain;
    }

    Value Num() {
        size_t b = i_;
        if (s_[i_] == '-') ++i_;
        auto digits = [&] {
            size_t d = i_;
            while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
            return i_ - d;
        };
        if (i_ < s_.size() && s_[i_] == '0') ++i_;
        else if (!digits()) ParseError(m_);
        if (i_ < s_.size() && s_[i_] == '.') {
            ++i_;
            if (!digits()) ParseError(m_);
        }
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
            if (!digits()) ParseError(m_);
        }
        return Value::Number(std::strtod(s_.substr(b, i_ - b).c_str(), nullptr));
    }
};

// Walks the parsed tree bottom-up through the reviver; undefined drops a key.
Value Revive(Machine& m, const Value& reviver, const Value& holder, String* key, int depth) {
    Value v = m.GetProperty(holder, KeyName(m, key->text));
    if (v.IsObject() && depth < kMaxJsonDepth) {
        TempRoot keep(m, v);
        std::vector<String*> keys;
        if (v.o->kind == ObjKind::Array) {
            auto* a = static_cast<ArrayObject*>(v.o);
            for (size_t i = 0; i < a->items.size(); ++i) keys.push_back(m.Intern(std::to_string(i)));
        } else if (v.o->dyn) {
            for (size_t p = v.o->dyn->Next(0); p; p = v.o->dyn->Next(p)) keys.push_back(v.o->dyn->KeyAt(p));
        }
        for (String* k : keys) {
            Value nv = Revive(m, reviver, v, k, depth + 1);
            if (nv.IsUndefined()) m.DeleteProperty(v, KeyName(m, k->text));
            else m.SetProperty(v, KeyName(m, k->text), nv);
        }
    }
    Value args[2] = {Value::Str(key), v};
    return m.Call(reviver, holder, args, 2);
}

Value JsonParse(Machine& m, Value, Args args, int argc) {
    Value text = Arg(args, argc, 0);
    if (text.IsNullish()) ParseError(m);
    std::string s = m.ToStdString(text);
    Value v = Parser(m, s).Document();
    Value reviver = Arg(args, argc, 1);
    if (!reviver.IsObject() || reviver.o->kind != ObjKind::Function) return v;
    TempRoot keep(m, v);
    Value root = Value::Obj(m.NewObject());
    TempRoot keepRoot(m, root);
    m.SetProperty(root, m.PublicName(""), v);
    return Revive(m, reviver, root, m.Intern(""), 0);
}

class Stringifier {
public:
    Stringifier(Machine& m, const Value& replacer, std::string gap) : m_(m), gap_(std::move(gap)) {
        if (replacer.IsObject() && replacer.o->kind == ObjKind::Function) fn_ = replacer;
        else if (replacer.IsObject() && replacer.o->kind == ObjKind::Array) {
            hasList_ = true;
            for (const Value& v : static_cast<ArrayObject*>(replacer.o)->items)
                if (v.IsString() || v.IsNumber()) list_.push_back(m.Intern(m.ToString(v)));
        }
    }

    // False when the value gives nothing (undefined, functions).
    bool Write(std::string& out, const Value& holder, String* key, Value v, const std::string& indent) {
        if (v.IsObject()) {
            Value toJson = m_.GetProperty(v, m_.PublicName("toJSON"));
            if (toJson.IsObject() && toJson.o->kind == ObjKind::Function) {
                Value k = Value::Str(key);
                v = m_.Call(toJson, v, &k, 1);
            }
        }
        if (!fn_.IsUndefined()) {
            Value a[2] = {Value::Str(key), v};
            v = m_.Call(fn_, holder, a, 2);
        }
        switch (v.tag) {
        case Tag::Undefined: return false;
        case Tag::Null: out += "null"; return true;
        case Tag::Boolean: out += v.b ? "true" : "false"; return true;
        case Tag::Int:
        case Tag::Number:
            out += std::isfinite(v.Num()) ? m_.NumberToString(v.Num())->text : "null";
            return true;
        case Tag::String: Quote(out, v.s->text); return true;
        case Tag::Object: break;
        }
        if (v.o->kind == ObjKind::Function) return false;
        if (v.o->kind == ObjKind::Boxed) {
            Value p = m_.ToPrimitive(v, false);
            return Write(out, holder, key, p, indent);
        }
        for (Object* s : stack_)
            if (s == v.o) m_.TypeError(1129, "Cyclic structure cannot be converted to JSON string.");
        if (stack_.size() > size_t(kMaxJsonDepth)) m_.Throw(m_.errorClass, 1023, "Stack overflow occurred.");
        stack_.push_back(v.o);
        TempRoot keep(m_, v);
        std::string inner = indent + gap_;
        if (v.o->kind == ObjKind::Array || v.o->kind == ObjKind::Vector) List(out, v, inner, indent);
        else Members(out, v, inner, indent);
        stack_.pop_back();
        return true;
    }

private:
    Machine& m_;
    std::string gap_;
    Value fn_;
    bool hasList_ = false;
    std::vector<String*> list_;
    std::vector<Object*> stack_;

    static void Quote(std::string& out, const std::string& s) {
        out += '"';
        for (unsigned char c : s) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += char(c);
                }
            }
        }
        out += '"';
    }

    void List(std::string& out, const Value& v, const std::string& inner, const std::string& indent) {
        uint32_t n = m_.ToUint32(m_.GetPublic(v, "length"));
        if (n == 0) {
            out += "[]";
            return;
        }
        out += '[';
        for (uint32_t i = 0; i < n; ++i) {
            if (i) out += ',';
            if (!gap_.empty()) out += "\n" + inner;
            String* k = m_.Intern(std::to_string(i));
            if (!Write(out, v, k, m_.GetProperty(v, IndexName(m_, i)), inner)) out += "null";
        }
        if (!gap_.empty()) out += "\n" + indent;
        out += ']';
    }

    std::vector<String*> Keys(const Value& v) {
        if (hasList_) return list_;
        std::vector<String*> keys;
        Object* o = v.o;
        const bool plainClass = !o->cls || o->cls == m_.objectClass;
        if (o->traits && !plainClass) {
            for (const SlotInfo& si : o->traits->slots)
                if (si.name && si.ns == m_.publicNs) keys.push_back(si.name);
            std::vector<std::pair<uint32_t, String*>> getters;
            for (const auto& [name, bindings] : o->traits->names)
                for (const auto& [ns, b] : bindings)
                    if (ns == m_.publicNs && b.kind == Binding::Accessor && b.method) getters.push_back({b.method, name});
            std::sort(getters.begin(), getters.end());
            for (auto& g : getters) keys.push_back(g.second);
        }
        if (o->kind == ObjKind::Dictionary) {
            for (int p = o->NextIndex(m_, 0); p; p = o->NextIndex(m_, p)) keys.push_back(m_.Intern(m_.ToString(o->NameAt(m_, p))));
        } else if (o->dyn) {
            for (size_t p = o->dyn->Next(0); p; p = o->dyn->Next(p))
                if (!o->dyn->DontEnum(o->dyn->KeyAt(p))) keys.push_back(o->dyn->KeyAt(p));
        }
        return keys;
    }

    void Members(std::string& out, const Value& v, const std::string& inner, const std::string& indent) {
        std::vector<String*> keys = Keys(v);
        bool any = false;
        out += '{';
        for (String* k : keys) {
            std::string item;
            Quote(item, k->text);
            item += gap_.empty() ? ":" : ": ";
            if (!Write(item, v, k, m_.GetProperty(v, m_.PublicName(k)), inner)) continue;
            if (any) out += ',';
            if (!gap_.empty()) out += "\n" + inner;
            out += item;
            any = true;
        }
        if (any && !gap_.empty()) out += "\n" + indent;
        out += '}';
    }
};

Value JsonStringify(Machine& m, Value, Args args, int argc) {
    Value space = Arg(args, argc, 2);
    std::string gap;
    if (space.IsNumber()) gap.assign(size_t(std::max(0.0, std::min(10.0, std::floor(space.Num())))), ' ');
    else if (space.IsString()) gap = space.s->text.substr(0, 10);
    Value replacer = Arg(args, argc, 1);
    if (!replacer.IsNullish() && !(replacer.IsObject() && (replacer.o->kind == ObjKind::Function ||
                                                            replacer.o->kind == ObjKind::Array)))
        m.TypeError(1131, "Replacer argument to JSON stringifier must be an array or a two parameter function.");
    Stringifier s(m, replacer, gap);
    Value holder = Value::Obj(m.NewObject());
    TempRoot keep(m, holder);
    std::string out;
    Value v = Arg(args, argc, 0);
    if (v.IsObject() && v.o->kind == ObjKind::Function) return Value::Str(m.Intern("null"));
    if (!s.Write(out, holder, m.Intern(""), v, "")) return Value::Undefined();
    return Value::Str(m.Str(out));
}

Object* AllocNone(Machine& m, ClassObject*) {
    m.Throw(m.errorClass, 1076, "JSON is not a constructor.");
}

}  // namespace

void InstallJson(Machine& m) {
    ClassObject* c = m.DefineClass("", "JSON", m.objectClass, AllocNone, true);
    c->isFinal = true;
    m.DefineStatic(c, "parse", JsonParse, 2);
    m.DefineStatic(c, "stringify", JsonStringify, 3);
}

}  // namespace swf::avm2
