// flash.net's plain data classes: URLRequest, URLRequestHeader, FileFilter,
// URLRequestMethod, URLVariables, and SharedObject kept in memory for the
// life of the player.
#include <algorithm>

#include "swf/avm2/classes/DataState.h"

namespace swf::avm2 {

namespace {

// An object whose properties are kept natively, in order.
class RecordObject : public Object {
public:
    RecordObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    std::vector<Value> fields;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        for (const Value& v : fields) t.Mark(v);
    }
};

Object* AllocRecord(Machine& m, ClassObject* cls) { return m.New<RecordObject>(cls, cls->prototype); }

RecordObject* Rec(Machine& m, const Value& v, size_t n) {
    auto* r = v.IsObject() ? dynamic_cast<RecordObject*>(v.o) : nullptr;
    if (!r) m.NullError(Value::Null());
    if (r->fields.size() < n) r->fields.resize(n, Value::Null());
    return r;
}

template <int I>
Value Get(Machine& m, Value self, Args, int) {
    return Rec(m, self, I + 1)->fields[I];
}

// Strings: null stays null.
template <int I>
Value SetString(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    Rec(m, self, I + 1)->fields[I] = v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    return Value::Undefined();
}

template <int I>
Value SetAny(Machine& m, Value self, Args args, int argc) {
    Rec(m, self, I + 1)->fields[I] = Arg(args, argc, 0);
    return Value::Undefined();
}

// URLRequest ------------------------------------------------------------------

enum { kUrl, kMethod, kData, kContentType, kHeaders, kDigest, kRequestFields };

Value RequestInit(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Rec(m, self, kRequestFields);
    Value url = Arg(args, argc, 0);
    r->fields[kUrl] = url.IsNullish() ? Value::Null() : Value::Str(m.ToString(url));
    r->fields[kMethod] = Value::Str(m.Intern("GET"));
    r->fields[kContentType] = Value::Str(m.Intern("application/x-www-form-urlencoded"));
    r->fields[kHeaders] = Value::Obj(m.NewArray(0));
    return Value::Undefined();
}

// Only GET and POST, in all capitals or all small letters.
Value SetMethod(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (v.IsNullish()) m.TypeError(2007, "Parameter method must be non-null.");
    std::string s = m.ToStdString(v);
    if (s != "GET" && s != "get" && s != "POST" && s != "post")
        m.ArgumentError(2008, "Parameter method must be one of the accepted values.");
    Rec(m, self, kRequestFields)->fields[kMethod] = Value::Str(m.ToString(v));
    return Value::Undefined();
}

Value HeaderInit(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Rec(m, self, 2);
    r->fields[0] = Value::Str(argc > 0 ? m.ToString(args[0]) : m.Intern(""));
    r->fields[1] = Value::Str(argc > 1 ? m.ToString(args[1]) : m.Intern(""));
    return Value::Undefined();
}

// FileFilter: description, extension, macType (null unless given).
Value FileFilterInit(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Rec(m, self, 3);
    for (int i = 0; i < 3; ++i) {
        Value v = Arg(args, argc, i);
        r->fields[i] = v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    }
    return Value::Undefined();
}

// URLVariables ------------------------------------------------------------------

// flash.utils' escapeMultiByte or unescapeMultiByte on `s`.
std::string Percent(Machine& m, const char* fn, const std::string& s) {
    Value arg = Value::Str(m.Str(s));
    Name n;
    n.name = m.Intern(fn);
    n.single = m.GetNs(NsKind::Package, m.Intern("flash.utils"));
    return m.ToStdString(m.Call(m.GetDefinition(n), Value::Null(), &arg, 1));
}
std::string Unescape(Machine& m, const std::string& s) { return Percent(m, "unescapeMultiByte", s); }
std::string Escape(Machine& m, const std::string& s) { return Percent(m, "escapeMultiByte", s); }

Value Decode(Machine& m, Value self, Args args, int argc) {
    std::string s = m.ToStdString(Arg(args, argc, 0));
    size_t i = 0;
    while (i <= s.size()) {
        size_t amp = s.find('&', i);
        if (amp == std::string::npos) amp = s.size();
        std::string pair = s.substr(i, amp - i);
        i = amp + 1;
        size_t eq = pair.find('=');
        if (eq == std::string::npos)
            m.Throw(m.errorClass, 2101,
                    "The String passed to URLVariables.decode() must be a URL-encoded query string containing "
                    "name/value pairs.");
        // A plus is a space in a query string.
        std::replace(pair.begin(), pair.end(), '+', ' ');
        Name n = m.PublicName(Unescape(m, pair.substr(0, eq)));
        Value v = Value::Str(m.Str(Unescape(m, pair.substr(eq + 1))));
        // A name given twice collects its values in an array; one set to
        // null or undefined is simply replaced.
        if (m.HasProperty(self, n) && !m.GetProperty(self, n).IsNullish()) {
            Value old = m.GetProperty(self, n);
            if (old.IsObject() && old.o->kind == ObjKind::Array) {
                static_cast<ArrayObject*>(old.o)->items.push_back(v);
            } else {
                ArrayObject* a = m.NewArray(0);
                a->items = {old, v};
                m.SetProperty(self, n, Value::Obj(a));
            }
        } else {
            m.SetProperty(self, n, v);
        }
    }
    return Value::Undefined();
}

Value VariablesInit(Machine& m, Value self, Args args, int argc) {
    Value src = Arg(args, argc, 0);
    if (!src.IsNullish()) Decode(m, self, &src, 1);
    return Value::Undefined();
}

Value VariablesToString(Machine& m, Value self, Args, int) {
    std::string out;
    Object* o = self.IsObject() ? self.o : nullptr;
    if (o && o->dyn)
        for (size_t p = o->dyn->Next(0); p; p = o->dyn->Next(p)) {
            if (o->dyn->DontEnum(o->dyn->KeyAt(p))) continue;
            std::string k = Escape(m, o->dyn->KeyAt(p)->text);
            Value v = o->dyn->ValueAt(p);
            std::vector<Value> values = {v};
            if (v.IsObject() && v.o->kind == ObjKind::Array) values = static_cast<ArrayObject*>(v.o)->items;
            for (const Value& x : values) out += (out.empty() ? "" : "&") + k + "=" + Escape(m, m.ToStdString(x));
        }
    return Value::Str(m.Str(out));
}

// SharedObject ------------------------------------------------------------------

enum { kSoData, kSoFields };

Value GetLocal(Machine& m, Value, Args args, int argc) {
    std::string name = m.ToStdString(Arg(args, argc, 0));
    std::string path = argc > 1 && !args[1].IsNullish() ? m.ToStdString(args[1]) : "";
    DataStateObject& d = DataState(m);
    std::string key = path + "\n" + name;
    auto it = d.sharedObjects.find(key);
    if (it != d.sharedObjects.end()) return it->second;
    Value so = Value::Obj(m.Instantiate(m.FindClass("flash.net.SharedObject")));
    Rec(m, so, kSoFields)->fields[kSoData] = Value::Obj(m.NewObject());
    d.sharedObjects[key] = so;
    return so;
}

Value Flush(Machine& m, Value, Args, int) { return Value::Str(m.Intern("flushed")); }
Value ClearSo(Machine& m, Value self, Args, int) {
    Rec(m, self, kSoFields)->fields[kSoData] = Value::Obj(m.NewObject());
    return Value::Undefined();
}
Value SoSize(Machine& m, Value self, Args, int) {
    Value data = Rec(m, self, kSoFields)->fields[kSoData];
    size_t n = data.IsObject() && data.o->dyn ? data.o->dyn->Count() : 0;
    return Value::Uint(uint32_t(n * 16));
}
Value SoSetProperty(Machine& m, Value self, Args args, int argc) {
    Value data = Rec(m, self, kSoFields)->fields[kSoData];
    m.SetProperty(data, m.PublicName(m.ToString(Arg(args, argc, 0))), Arg(args, argc, 1));
    return Value::Undefined();
}
Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

}  // namespace

void InstallNet(Machine& m) {
    ClassObject* r = m.DefineClass("flash.net", "URLRequest", m.objectClass, AllocRecord, true);
    r->isFinal = true;
    r->init = m.NewNativeMethod("URLRequest", RequestInit, 1);
    m.DefineGetter(r, "url", Get<kUrl>, SetString<kUrl>);
    m.DefineGetter(r, "method", Get<kMethod>, SetMethod);
    m.DefineGetter(r, "data", Get<kData>, SetAny<kData>);
    m.DefineGetter(r, "contentType", Get<kContentType>, SetString<kContentType>);
    m.DefineGetter(r, "requestHeaders", Get<kHeaders>, SetAny<kHeaders>);
    m.DefineGetter(r, "digest", Get<kDigest>, SetString<kDigest>);

    ClassObject* h = m.DefineClass("flash.net", "URLRequestHeader", m.objectClass, AllocRecord, true);
    h->init = m.NewNativeMethod("URLRequestHeader", HeaderInit, 2);
    m.DefineGetter(h, "name", Get<0>, SetString<0>);
    m.DefineGetter(h, "value", Get<1>, SetString<1>);

    ClassObject* ff = m.DefineClass("flash.net", "FileFilter", m.objectClass, AllocRecord, true);
    ff->init = m.NewNativeMethod("FileFilter", FileFilterInit, 3);
    m.DefineGetter(ff, "description", Get<0>, SetString<0>);
    m.DefineGetter(ff, "extension", Get<1>, SetString<1>);
    m.DefineGetter(ff, "macType", Get<2>, SetString<2>);

    ClassObject* method = m.DefineClass("flash.net", "URLRequestMethod", m.objectClass, nullptr, true);
    for (const char* s : {"GET", "POST", "PUT", "DELETE", "HEAD", "OPTIONS"})
        m.DefineConstant(method, s, Value::Str(m.Intern(s)));

    ClassObject* v = m.DefineClass("flash.net", "URLVariables", m.objectClass, nullptr, false);
    v->init = m.NewNativeMethod("URLVariables", VariablesInit, 1);
    m.DefineMethod(v, "decode", Decode, 1);
    m.DefineMethod(v, "toString", VariablesToString, 0);

    ClassObject* so = m.DefineClass("flash.net", "SharedObject", m.FindClass("flash.events.EventDispatcher"),
                                    AllocRecord, true);
    m.DefineGetter(so, "data", Get<kSoData>);
    m.DefineGetter(so, "size", SoSize);
    m.DefineMethod(so, "flush", Flush, 1);
    m.DefineMethod(so, "clear", ClearSo, 0);
    m.DefineMethod(so, "close", Nothing, 0);
    m.DefineMethod(so, "setProperty", SoSetProperty, 2);
    m.DefineMethod(so, "setDirty", Nothing, 1);
    m.DefineStatic(so, "getLocal", GetLocal, 3);
}

}  // namespace swf::avm2
