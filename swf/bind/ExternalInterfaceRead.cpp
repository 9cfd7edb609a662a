// ExternalInterface's readers of the container's XML: _toAS and its array,
// arguments and object forms take parsed XML nodes (or anything shaped like
// them) back to script values.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "swf/bind/Bindings.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr int kMaxNesting = 64;
constexpr size_t kMaxChildren = 65536;

// The tag a node names: a string or a String object; other values name
// nothing (their toString is never asked).
std::string NodeName(avm1::Vm& vm, const Value& node) {
    if (!node.IsObject()) return {};
    const Value name = vm.GetMember(node, "nodeName");
    if (name.IsString()) return name.Text();
    if (name.IsObject() && name.o->cls == avm1::ObjClass::String) return vm.ToString(name.o->primitive);
    return {};
}

// A number's text: blanks before it, nothing after, decimal digits only
// (no "Infinity", no hex); anything else is NaN.
double ReadNumber(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    const std::string rest = s.substr(i);
    if (rest.empty()) return std::nan("");
    bool digits = false;
    for (char c : rest) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits = true;
        else if (!std::strchr("+-.eE", c)) return std::nan("");
    }
    if (!digits) return std::nan("");
    char* end = nullptr;
    const double d = std::strtod(rest.c_str(), &end);
    return end && *end == '\0' ? d : std::nan("");
}

class XmlReader {
public:
    explicit XmlReader(avm1::Vm& vm) : vm_(vm) {}

    Value Any(const Value& node) {
        const std::string name = NodeName(vm_, node);
        if (name == "null") return Value::Null();
        if (name == "true") return Value::Bool(true);
        if (name == "false") return Value::Bool(false);
        if (name == "string") return Value::String(vm_.ToString(vm_.GetMember(node, "firstChild")));
        if (name == "number") return Value::Num(ReadNumber(vm_.ToString(vm_.GetMember(node, "firstChild"))));
        if (name == "array") return Array(node);
        if (name == "object") return Object(node);
        return Value();
    }

    // <array><property id="0">value</property>...</array>
    Value Array(const Value& node) {
        Value out = Value::Obj(vm_.NewArray());
        Properties(node, out);
        return out;
    }

    Value Object(const Value& node) {
        Value out = Value::Obj(vm_.NewObject(vm_.objectProto));
        Properties(node, out);
        return out;
    }

    // <arguments>value...</arguments>
    Value Arguments(const Value& node) {
        std::vector<Value> values;
        Children(node, [&](const Value& child) { values.push_back(Any(child)); });
        return Value::Obj(vm_.NewArray(std::move(values)));
    }

private:
    template <typename F>
    void Children(const Value& node, F each) {
        if (!node.IsObject() || depth_ >= kMaxNesting) return;
        const Value list = vm_.GetMember(node, "childNodes");
        if (!list.IsObject() || list.o->cls != avm1::ObjClass::Array) return;
        ++depth_;
        const std::vector<Value> children = vm_.ArrayValues(list.o);  // reading may run scripts
        for (size_t i = 0; i < children.size() && i < kMaxChildren; ++i) each(children[i]);
        --depth_;
    }

    void Properties(const Value& node, const Value& out) {
        Children(node, [&](const Value& child) {
            if (NodeName(vm_, child) != "property") return;
            const Value id = vm_.GetMember(vm_.GetMember(child, "attributes"), "id");
            vm_.SetMember(out, vm_.ToString(id), Any(vm_.GetMember(child, "firstChild")));
        });
    }

    avm1::Vm& vm_;
    int depth_ = 0;
};

enum { kAny, kArray, kArguments, kObject };

Value ToAs(CallArgs& a) {
    XmlReader r(a.vm);
    avm1::PinGuard pin(a.vm);
    switch (a.callee->fn->magic) {
    case kArray: return r.Array(a.Arg(0));
    case kArguments: return r.Arguments(a.Arg(0));
    case kObject: return r.Object(a.Arg(0));
    default: return r.Any(a.Arg(0));
    }
}

}  // namespace

void InstallExternalInterfaceReaders(avm1::Vm& vm, avm1::Object* ctor) {
    vm.DefineNative(ctor, "_toAS", ToAs, kAny);
    vm.DefineNative(ctor, "_arrayToAS", ToAs, kArray);
    vm.DefineNative(ctor, "_argumentsToAS", ToAs, kArguments);
    vm.DefineNative(ctor, "_objectToAS", ToAs, kObject);
}

}  // namespace swf::bind
