// flash.external.ExternalInterface with no container around the player:
// nothing to call out to, but its helpers that write values as the
// container's XML are scripts' to call.
#include <algorithm>
#include <string>

#include "swf/bind/Bindings.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Bounds for hostile values: nesting, entries per array and output size.
constexpr int kMaxNesting = 64;
constexpr double kMaxEntries = 65536;
constexpr size_t kMaxOutput = size_t(1) << 22;

std::string EscapeXml(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

class XmlWriter {
public:
    explicit XmlWriter(avm1::Vm& vm) : vm_(vm) {}

    void Any(const Value& v) {
        if (Full()) return;
        switch (v.kind) {
        case Value::Kind::Undefined: out_ += "<undefined/>"; return;
        case Value::Kind::Null: out_ += "<null/>"; return;
        case Value::Kind::Bool: out_ += v.b ? "<true/>" : "<false/>"; return;
        case Value::Kind::Number: out_ += "<number>" + vm_.ToString(v) + "</number>"; return;
        case Value::Kind::String: {
            // An empty string is written as the word null.
            const std::string s = vm_.ToString(v);
            out_ += "<string>" + (s.empty() ? std::string("null") : EscapeXml(s)) + "</string>";
            return;
        }
        default: break;
        }
        if (vm_.IsFunction(v) || !v.IsObject()) {
            out_ += "<null/>";
            return;
        }
        // Anything with a length goes as an array: String objects too.
        if (!vm_.GetMember(v, "length").IsUndefined()) Array(v);
        else Object(v);
    }

    // <array> of index properties from 0 to length.
    void Array(const Value& v) {
        out_ += "<array>";
        Nested([&] {
            const double n = Length(v);
            for (double i = 0; i < n && !Full(); ++i) {
                const std::string id = vm_.ToString(Value::Num(i));
                out_ += "<property id=\"" + id + "\">";
                Any(Member(v, id));
                out_ += "</property>";
            }
        });
        out_ += "</array>";
    }

    // <arguments>: the values after the first (the called name).
    void Arguments(const Value& v) {
        out_ += "<arguments>";
        Nested([&] {
            const double n = Length(v);
            for (double i = 1; i < n && !Full(); ++i) Any(Member(v, vm_.ToString(Value::Num(i))));
        });
        out_ += "</arguments>";
    }

    // <object> of its enumerable properties, in the order for-in gives
    // them (the newest first).
    void Object(const Value& v) {
        out_ += "<object>";
        if (v.IsObject())
            Nested([&] {
                std::vector<std::string> names = vm_.EnumNames(v.o);
                std::reverse(names.begin(), names.end());
                for (const std::string& name : names) {
                    if (Full()) break;
                    out_ += "<property id=\"" + name + "\">";
                    Any(Member(v, name));
                    out_ += "</property>";
                }
            });
        out_ += "</object>";
    }

    Value Result() { return Value::String(std::move(out_)); }

private:
    template <typename F>
    void Nested(F f) {
        if (depth_ >= kMaxNesting) return;
        ++depth_;
        f();
        --depth_;
    }
    bool Full() const { return out_.size() > kMaxOutput; }
    Value Member(const Value& v, const std::string& name) {
        return v.IsObject() || v.IsString() ? vm_.GetMember(v, name) : Value();
    }
    double Length(const Value& v) {
        if (!v.IsObject() && !v.IsString()) return 0;
        const double n = vm_.ToNumber(vm_.GetMember(v, "length"));
        return n > 0 ? std::min(n, kMaxEntries) : 0;
    }

    avm1::Vm& vm_;
    std::string out_;
    int depth_ = 0;
};

enum { kAny, kArray, kArguments, kObject };

Value ToXml(CallArgs& a) {
    XmlWriter w(a.vm);
    switch (a.callee->fn->magic) {
    case kArray: w.Array(a.Arg(0)); break;
    case kArguments: w.Arguments(a.Arg(0)); break;
    case kObject: w.Object(a.Arg(0)); break;
    default: w.Any(a.Arg(0)); break;
    }
    return w.Result();
}

// null for nothing or an empty string.
Value EscapeXmlNative(CallArgs& a) {
    if (a.args.empty()) return Value::Null();
    const std::string s = a.vm.ToString(a.Arg(0));
    return s.empty() ? Value::Null() : Value::String(EscapeXml(s));
}

Value Available(CallArgs&) { return Value::Bool(false); }
Value AddCallback(CallArgs&) { return Value::Bool(false); }
Value CallOut(CallArgs&) { return Value::Null(); }

avm1::Object* Package(avm1::Vm& vm, avm1::Object* in, const char* name) {
    const Value v = vm.Get(in, name, Value::Obj(in));
    if (v.IsObject()) return v.o;
    avm1::Object* o = vm.NewObject(vm.objectProto);
    vm.SetHidden(in, name, Value::Obj(o));
    return o;
}

}  // namespace

void InstallExternalInterface(avm1::Vm& vm) {
    avm1::Object* external = Package(vm, Package(vm, vm.global, "flash"), "external");
    avm1::Object* ctor = vm.NewNative(CallOut);
    vm.SetHidden(ctor, "prototype", Value::Obj(vm.NewObject(vm.objectProto)));
    vm.SetHidden(external, "ExternalInterface", Value::Obj(ctor));
    vm.DefineAccessor(ctor, "available", Available, nullptr);
    vm.DefineNative(ctor, "addCallback", AddCallback);
    vm.DefineNative(ctor, "call", CallOut);
    vm.DefineNative(ctor, "_escapeXML", EscapeXmlNative);
    vm.DefineNative(ctor, "_toXML", ToXml, kAny);
    vm.DefineNative(ctor, "_arrayToXML", ToXml, kArray);
    vm.DefineNative(ctor, "_argumentsToXML", ToXml, kArguments);
    vm.DefineNative(ctor, "_objectToXML", ToXml, kObject);
    InstallExternalInterfaceReaders(vm, ctor);
}

}  // namespace swf::bind
