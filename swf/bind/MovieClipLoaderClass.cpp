// MovieClipLoader: loadMovie with events. A loader broadcasts to its
// listeners, itself first; the player tells it onLoadStart, onLoadProgress
// and onLoadComplete as the clip is replaced, onLoadInit once the loaded
// movie's first frame has run, and onLoadError when nothing could be read
// (Timeline::FinishClipLoads).
#include <cmath>

#include "swf/bind/Bindings.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

Value Construct(CallArgs& a) {
    if (a.self.IsObject()) a.vm.SetHidden(a.self.o, "_listeners", Value::Obj(a.vm.NewArray({a.self})));
    return Value();
}

// A target as loadClip and getProgress take it: a clip, a path from the
// root, or a level number. `given` is false for values naming no target at
// all (other objects, null, nothing).
avm1::ClipId TargetOf(CallArgs& a, size_t i, bool& given) {
    const Value& v = a.Arg(i);
    given = true;
    if (v.IsNumber()) {
        const double level = std::floor(v.n);
        return level >= 0 && level < 1024 ? a.vm.HostRef().Level(int(level)) : 0;
    }
    if (v.IsString()) return a.vm.ResolvePath(a.vm.HostRef().Level(0), a.vm.ToString(v));
    const avm1::ClipId clip = a.vm.ClipOf(v);
    given = clip != 0;
    return clip;
}

Value LoadClip(CallArgs& a) {
    if (a.args.size() < 2) return Value::Bool(false);
    const std::string url = a.vm.ToString(a.args[0]);
    const Value& target = a.args[1];
    if (target.IsNumber() && std::isfinite(target.n) && target.n >= 1)
        return Value::Bool(HostOf(a.vm).LoadLevel(url, "_level" + std::to_string(int(std::min(target.n, 99.0)))));
    bool given = false;
    const avm1::ClipId clip = TargetOf(a, 1, given);
    return Value::Bool(clip && HostOf(a.vm).LoadClip(clip, url, 0, a.self));
}

Value UnloadClip(CallArgs& a) {
    bool given = false;
    const avm1::ClipId clip = TargetOf(a, 0, given);
    return Value::Bool(clip && HostOf(a.vm).LoadClip(clip, std::string(), 0));
}

// getProgress(target): what the target's movie loaded, all of it at once;
// both undefined for a target that is not there.
Value GetProgress(CallArgs& a) {
    bool given = false;
    const avm1::ClipId clip = TargetOf(a, 0, given);
    if (!given) return Value();
    avm1::Object* progress = a.vm.NewObject(a.vm.objectProto);
    Value bytes;
    if (const MovieClip* mc = HostOf(a.vm).Clip(clip)) bytes = Value::Num(mc->Assets().movie->header.fileLength);
    a.vm.SetMember(Value::Obj(progress), "bytesLoaded", bytes);
    a.vm.SetMember(Value::Obj(progress), "bytesTotal", bytes);
    return Value::Obj(progress);
}

}  // namespace

void InstallMovieClipLoader(avm1::Vm& vm) {
    avm1::Object* proto = vm.NewObject(vm.objectProto);
    vm.DefineClass("MovieClipLoader", Construct, proto);
    const Value broadcaster = vm.GetMember(Value::Obj(vm.global), "AsBroadcaster");
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
        vm.SetHidden(proto, name, vm.GetMember(broadcaster, name));
    vm.DefineNative(proto, "loadClip", LoadClip);
    vm.DefineNative(proto, "unloadClip", UnloadClip);
    vm.DefineNative(proto, "getProgress", GetProgress);
}

}  // namespace swf::bind
