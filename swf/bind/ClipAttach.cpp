// Clips from the library: attachMovie by linkage name (ExportAssets), the
// classes Object.registerClass ties to those names, and createTextField.
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/display/DepthOps.h"
#include "swf/display/TextObjects.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Registered classes by linkage name, a hidden global so the collector
// keeps them.
constexpr const char* kRegistry = "$registeredClasses";

avm1::Object* Registry(avm1::Vm& vm) {
    const avm1::Property* p = vm.global->Find(kRegistry, vm.Ci());
    return p && p->value.IsObject() ? p->value.o : nullptr;
}

// The linkage name's character, names compared in any case.
uint16_t Exported(const Movie& movie, const std::string& name) {
    auto it = movie.exports.find(name);
    if (it != movie.exports.end()) return it->second;
    for (const auto& e : movie.exports)
        if (avm1::EqualNames(e.first, name, true)) return e.second;
    return 0;
}

Value RegisteredClass(avm1::Vm& vm, const MovieClip& clip) {
    avm1::Object* reg = Registry(vm);
    const uint16_t characterId = clip.characterId;
    if (!reg || !characterId) return Value();
    for (const auto& e : clip.Assets().movie->exports) {
        if (e.second != characterId) continue;
        if (const avm1::Property* p = reg->Find(e.first, true)) return p->value;
    }
    return Value();
}

Value RegisterClassNative(CallArgs& a) {
    avm1::Object* reg = Registry(a.vm);
    // A function registers, null or undefined unregisters, anything else is refused.
    if (!reg || a.args.size() < 2) return Value::Bool(false);
    const std::string name = a.vm.ToString(a.args[0]);
    if (a.vm.IsFunction(a.Arg(1))) reg->Put(name, true).value = a.Arg(1);
    else if (a.Arg(1).IsNullish()) reg->Remove(name, true);
    else return Value::Bool(false);
    return Value::Bool(true);
}

void ApplyInit(avm1::Vm& vm, const Value& clip, const Value& init) {
    if (!init.IsObject() || clip.IsUndefined()) return;
    for (const avm1::Property& p : init.o->Props())
        if (!(p.flags & avm1::kDontEnum)) vm.SetMember(clip, p.name, p.value);
}

// attachMovie(linkage, name, depth, initObject)
Value AttachMovie(CallArgs& a) {
    MovieClip* parent = ClipOf(a);
    if (!parent || a.args.size() < 3) return Value();
    ScriptHost& host = HostOf(a.vm);
    const uint16_t id = Exported(*parent->Assets().movie, a.vm.ToString(a.args[0]));
    if (!id) return Value();
    DisplayObject* obj =
        AttachCharacter(host.Context(), *parent, id, a.vm.ToString(a.args[1]), NumberArg(a, 2), host.Queue());
    if (!obj) {
        a.vm.Report(parent->Nesting() + 1 >= PlayContext::kMaxNesting
                        ? "attachMovie: clips nested deeper than " + std::to_string(PlayContext::kMaxNesting)
                        : "attachMovie: depth out of range or clip budget spent");
        return Value();
    }
    avm1::PinGuard pin(a.vm);
    Value v = ValueOf(a.vm, obj);
    MovieClip* clip = obj->AsClip();
    if (clip && !clip->constructed) {
        // The class's prototype first, so the init object's setters and the
        // constructor see it.
        Value ctor = RegisteredClass(a.vm, *clip);
        Value proto = a.vm.IsFunction(ctor) ? a.vm.GetMember(ctor, "prototype") : Value();
        if (proto.IsObject()) a.vm.ClipObject(clip->serial)->proto = proto.o;
    }
    ApplyInit(a.vm, v, a.Arg(3));
    if (clip) ConstructClip(a.vm, *clip, false);
    host.Created(*obj);
    return v;
}

// createTextField(name, depth, x, y, width, height)
Value CreateTextField(CallArgs& a) {
    MovieClip* parent = ClipOf(a);
    if (!parent || a.args.size() < 6) return Value();
    double box[4];
    for (size_t i = 0; i < 4; ++i) {
        box[i] = NumberArg(a, i + 2);
        if (!std::isfinite(box[i])) box[i] = 0;
        // The field's box is in whole pixels, cut toward zero.
        box[i] = std::trunc(std::fmax(-1e6, std::fmin(1e6, box[i])));
    }
    ScriptHost& host = HostOf(a.vm);
    EditTextObject* field = CreateEmptyField(host.Context(), *parent, a.vm.ToString(a.args[0]), NumberArg(a, 1),
                                             {0, int32_t(box[2] * 20), 0, int32_t(box[3] * 20)});
    if (!field) return Value();
    field->matrix = Matrix::Translate(int32_t(box[0] * 20), int32_t(box[1] * 20));
    host.Created(*field);
    return a.vm.Version() >= 8 ? ValueOf(a.vm, field) : Value();
}

}  // namespace

bool ConstructClip(avm1::Vm& vm, MovieClip& clip, bool fromHost, const std::function<void()>& beforeCtor) {
    if (clip.constructed) return false;
    clip.constructed = true;
    Value ctor = RegisteredClass(vm, clip);
    if (!vm.IsFunction(ctor)) {
        if (beforeCtor) beforeCtor();
        return false;
    }
    avm1::PinGuard pin(vm);
    Value proto = vm.GetMember(ctor, "prototype");
    if (proto.IsObject()) vm.ClipObject(clip.serial)->proto = proto.o;
    if (beforeCtor) beforeCtor();
    if (!vm.HasClipObject(clip.serial)) return true;  // removed by the handlers
    const Value self = vm.ClipValue(clip.serial);
    if (fromHost) vm.CallFromHost(ctor, self);
    else vm.Call(ctor, self, {});
    return true;
}

void InstallClipAttach(avm1::Vm& vm) {
    vm.SetHidden(vm.global, kRegistry, Value::Obj(vm.NewObject(nullptr)));
    Value object = vm.GetMember(Value::Obj(vm.global), "Object");
    if (object.IsObject()) vm.DefineNative(object.o, "registerClass", RegisterClassNative);
    vm.DefineNative(vm.clipProto, "attachMovie", AttachMovie);
    vm.DefineNative(vm.clipProto, "createTextField", CreateTextField);
}

}  // namespace swf::bind
