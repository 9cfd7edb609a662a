// LoadVars: name=value pairs loaded from beside the movie or sent to the
// host. A load ends with onData(text) on the next frame; the default
// onData decodes the text and tells onLoad whether it came.
#include "swf/bind/Bindings.h"
#include "swf/classes/UrlVars.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Own enumerable members that are not functions, as the text sent, in the
// order for-in lists them (newest first); getters run.
std::string Encoded(avm1::Vm& vm, avm1::Object* o) {
    std::vector<std::string> names;
    for (const avm1::Property& p : o->Props())
        if (!(p.flags & avm1::kDontEnum) && (p.getter || !vm.IsFunction(p.value))) names.push_back(p.name);
    std::vector<UrlVar> vars;
    avm1::PinGuard pin(vm);
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        vars.emplace_back(*it, vm.ToString(vm.GetMember(Value::Obj(o), *it)));
    return EncodeUrlVars(vars);
}

Value ToText(CallArgs& a) { return a.self.IsObject() ? Value::String(Encoded(a.vm, a.self.o)) : Value(); }

// send(url, window, method): the host gets the address with the variables
// (GET), or the address alone with the method.
Value Send(CallArgs& a) {
    if (!a.self.IsObject() || a.args.empty()) return Value::Bool(false);
    const int method = a.args.size() > 2 ? SendMethod(a.vm, a.args[2]) : 2;
    std::string url = a.vm.ToString(a.args[0]);
    const std::string vars = Encoded(a.vm, a.self.o);
    if (method == 1 && !vars.empty()) url += (url.find('?') == std::string::npos ? "?" : "&") + vars;
    HostOf(a.vm).GetUrl(url, a.vm.ToString(a.Arg(1)), method);
    return Value::Bool(true);
}

Value Decode(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    for (const UrlVar& v : DecodeUrlVars(a.vm.ToString(a.Arg(0))))
        a.vm.SetMember(a.self, v.first, Value::String(v.second));
    return Value();
}

}  // namespace

void SetLoadedBytes(avm1::Vm& vm, avm1::Object* on, const Value& loaded, const Value& total) {
    for (const auto& [name, v] : {std::pair{ScriptHost::kLoadedBytes, loaded}, std::pair{ScriptHost::kTotalBytes, total}}) {
        avm1::Property& p = on->Put(name, vm.Ci());
        p.value = v;
        p.flags |= avm1::kDontEnum | avm1::kDontDelete;
    }
}

Value DataLoad(CallArgs& a) {
    if (!a.self.IsObject() || a.args.empty()) return Value::Bool(false);
    a.vm.SetHidden(a.self.o, "loaded", Value::Bool(false));
    SetLoadedBytes(a.vm, a.self.o, Value::Num(0), Value());
    HostOf(a.vm).LoadData(a.self, a.vm.ToString(a.args[0]), 0);
    return Value::Bool(true);
}

// sendAndLoad(url, target, method): a file beside the movie answers as a
// load into `target`; other addresses go to the host and get no answer.
Value DataSendAndLoad(CallArgs& a) {
    if (!a.self.IsObject() || a.args.size() < 2 || !a.args[1].IsObject()) return Value::Bool(false);
    a.vm.SetHidden(a.args[1].o, "loaded", Value::Bool(false));
    SetLoadedBytes(a.vm, a.args[1].o, Value::Num(0), Value());
    HostOf(a.vm).LoadData(a.args[1], a.vm.ToString(a.args[0]), a.args.size() > 2 ? SendMethod(a.vm, a.args[2]) : 2);
    return Value::Bool(true);
}

// The default onData: decode (magic 1: parse as XML), mark loaded, and
// tell onLoad.
Value DataOnData(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    const Value src = a.Arg(0);
    avm1::PinGuard pin(a.vm);
    if (src.IsUndefined()) {
        a.vm.CallMethod(a.self, "onLoad", {Value::Bool(false)});
        return Value();
    }
    const bool xml = a.callee && a.callee->fn && a.callee->fn->magic == 1;
    a.vm.CallMethod(a.self, xml ? "parseXML" : "decode", {src});
    a.vm.SetHidden(a.self.o, "loaded", Value::Bool(true));
    a.vm.CallMethod(a.self, "onLoad", {Value::Bool(true)});
    return Value();
}

Value DataNothing(CallArgs&) { return Value(); }

// getBytesLoaded / getBytesTotal (magic 1) of LoadVars and XML: what the
// load left in the members (undefined before any load).
Value LoadedBytes(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    return a.vm.GetMember(a.self, a.callee && a.callee->fn && a.callee->fn->magic == 1 ? ScriptHost::kTotalBytes
                                                                                       : ScriptHost::kLoadedBytes);
}

void InstallLoadVars(avm1::Vm& vm) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClass("LoadVars", DataNothing, proto);
    vm.DefineNative(proto, "load", DataLoad);
    vm.DefineNative(proto, "send", Send);
    vm.DefineNative(proto, "sendAndLoad", DataSendAndLoad);
    vm.DefineNative(proto, "decode", Decode);
    vm.DefineNative(proto, "toString", ToText);
    vm.DefineNative(proto, "onData", DataOnData);
    vm.DefineNative(proto, "getBytesLoaded", LoadedBytes);
    vm.DefineNative(proto, "getBytesTotal", LoadedBytes, 1);
    vm.DefineNative(proto, "addRequestHeader", DataNothing);
    vm.SetHidden(proto, "contentType", Value::String("application/x-www-form-urlencoded"));
}

}  // namespace swf::bind
