// NetConnection, LocalConnection, FileReference and FileReferenceList as a
// player without a network or a file dialog has them: scripts find every
// member, local connections open and close, and nothing ever arrives.
#include <memory>
#include <set>
#include <string>

#include "swf/avm1/Runtime.h"
#include "swf/bind/Bindings.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

struct ConnectionState : avm1::NativeData {
    enum { kClosed, kLocal, kRemote } state = kClosed;
    std::string name;  // LocalConnection: the channel it listens on
};

ConnectionState* StateOf(const Value& self) {
    if (!self.IsObject()) return nullptr;
    if (!self.o->native) self.o->native = std::make_shared<ConnectionState>();
    return dynamic_cast<ConnectionState*>(self.o->native.get());
}

void DefineShown(avm1::Vm& vm, avm1::Object* proto, const char* name, avm1::NativeFn fn) {
    vm.DefineNative(proto, name, fn);
    proto->Put(name, vm.Ci()).flags |= avm1::kDontDelete;
}

void Status(avm1::Vm& vm, const Value& self, const char* code) {
    avm1::Object* info = vm.NewObject(vm.objectProto);
    vm.SetMember(Value::Obj(info), "code", Value::String(code));
    vm.SetMember(Value::Obj(info), "level", Value::String("status"));
    avm1::PinGuard pin(vm);
    vm.CallMethod(self, "onStatus", {Value::Obj(info)});
}

// close(): a connection that was open says so; one to a server also
// answers its pending connect, with nothing.
Value NetClose(CallArgs& a) {
    ConnectionState* s = StateOf(a.self);
    if (!s || s->state == ConnectionState::kClosed) return Value();
    const bool remote = s->state == ConnectionState::kRemote;
    s->state = ConnectionState::kClosed;
    Status(a.vm, a.self, "NetConnection.Connect.Closed");
    if (remote) a.vm.CallMethod(a.self, "onStatus", {Value()});
    return Value();
}

// connect(null) opens at once; an address waits for a server that never
// answers. A connection already open closes first.
Value NetConnect(CallArgs& a) {
    ConnectionState* s = StateOf(a.self);
    if (!s || a.args.empty()) return Value::Bool(false);
    NetClose(a);
    if (a.Arg(0).IsNullish()) {
        s->state = ConnectionState::kLocal;
        Status(a.vm, a.self, "NetConnection.Connect.Success");
    } else {
        s->state = ConnectionState::kRemote;
    }
    return Value::Bool(true);
}

Value NoOp(CallArgs&) { return Value(); }
Value False(CallArgs&) { return Value::Bool(false); }

// Channel names in use by this player's LocalConnections, kept beside the
// global object.
struct Channels : avm1::NativeData {
    std::set<std::string> names;
};

std::set<std::string>* ChannelsOf(avm1::Vm& vm) {
    auto* c = dynamic_cast<Channels*>(vm.global->native.get());
    return c ? &c->names : nullptr;
}

// connect(name): false when this one listens already or another has the
// name.
Value LcConnect(CallArgs& a) {
    ConnectionState* s = StateOf(a.self);
    if (!s || !a.Arg(0).IsString() || a.Arg(0).Text().empty() || s->state != ConnectionState::kClosed)
        return Value::Bool(false);
    const std::string name = avm1::LowerAscii(a.Arg(0).Text());
    std::set<std::string>* channels = ChannelsOf(a.vm);
    if (channels && !channels->insert(name).second) return Value::Bool(false);
    s->state = ConnectionState::kLocal;
    s->name = name;
    return Value::Bool(true);
}

Value LcClose(CallArgs& a) {
    ConnectionState* s = StateOf(a.self);
    if (s && s->state != ConnectionState::kClosed) {
        if (std::set<std::string>* channels = ChannelsOf(a.vm)) channels->erase(s->name);
        s->state = ConnectionState::kClosed;
    }
    return Value();
}

// send(name, method, ...): accepted when both are strings.
Value LcSend(CallArgs& a) {
    return Value::Bool(a.Arg(0).IsString() && a.Arg(1).IsString() && !a.Arg(1).Text().empty());
}

Value LcDomain(CallArgs&) { return Value::String("localhost"); }

Value Broadcaster(CallArgs& a) {
    if (a.self.IsObject()) avm1::MakeBroadcaster(a.vm, a.self.o);
    return Value();
}

}  // namespace

void InstallNetClasses(avm1::Vm& vm) {
    avm1::Object* nc = vm.NewObject(vm.objectProto);
    vm.DefineClass("NetConnection", NoOp, nc);
    DefineShown(vm, nc, "connect", NetConnect);
    DefineShown(vm, nc, "close", NetClose);

    if (!vm.global->native) vm.global->native = std::make_shared<Channels>();
    avm1::Object* lc = vm.NewObject(vm.objectProto);
    vm.DefineClass("LocalConnection", NoOp, lc);
    DefineShown(vm, lc, "connect", LcConnect);
    DefineShown(vm, lc, "send", LcSend);
    DefineShown(vm, lc, "close", LcClose);
    DefineShown(vm, lc, "domain", LcDomain);

    avm1::Object* net = vm.FlashPackage("net");
    avm1::Object* file = vm.NewObject(vm.objectProto);
    vm.DefineClassIn(net, "FileReference", Broadcaster, file);
    for (const char* name : {"browse", "upload", "download"}) DefineShown(vm, file, name, False);
    DefineShown(vm, file, "cancel", NoOp);
    avm1::Object* list = vm.NewObject(vm.objectProto);
    vm.DefineClassIn(net, "FileReferenceList", Broadcaster, list);
    DefineShown(vm, list, "browse", False);
}

}  // namespace swf::bind
