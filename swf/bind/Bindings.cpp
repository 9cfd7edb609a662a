#include "swf/bind/Bindings.h"

#include <cmath>

#include "swf/bind/GeomValues.h"
#include "swf/display/ButtonObject.h"
#include "swf/display/TextObjects.h"

namespace swf::bind {

ScriptHost& HostOf(avm1::Vm& vm) { return static_cast<ScriptHost&>(vm.HostRef()); }

DisplayObject* ObjectOf(avm1::Vm& vm, const avm1::Value& v) {
    const avm1::ClipId id = vm.ClipOf(v);
    return id ? HostOf(vm).Object(id) : nullptr;
}

MovieClip* ClipOf(avm1::Vm& vm, const avm1::Value& v) {
    DisplayObject* o = ObjectOf(vm, v);
    return o ? o->AsClip() : nullptr;
}

ButtonObject* ButtonOf(avm1::Vm& vm, const avm1::Value& v) {
    DisplayObject* o = ObjectOf(vm, v);
    return o ? o->AsButton() : nullptr;
}

EditTextObject* TextOf(avm1::Vm& vm, const avm1::Value& v) {
    DisplayObject* o = ObjectOf(vm, v);
    return o ? o->AsEditText() : nullptr;
}

avm1::Value ValueOf(avm1::Vm& vm, const DisplayObject* obj) {
    // Objects scripts cannot hold (shapes, static text) read as their clip.
    const avm1::ClipId id = HostOf(vm).IdOf(obj);
    return id ? vm.ClipValue(id) : avm1::Value();
}

double NumberArg(avm1::CallArgs& a, size_t i) {
    return i < a.args.size() ? a.vm.ToNumber(a.args[i]) : std::nan("");
}

double NumberArg(avm1::CallArgs& a, size_t i, double fallback) {
    return i < a.args.size() && !a.args[i].IsNullish() ? a.vm.ToNumber(a.args[i]) : fallback;
}

void InstallTextSnapshot(avm1::Vm& vm);  // TextSnapshotClass.cpp
void InstallStyleSheet(avm1::Vm& vm);    // StyleSheetClass.cpp

void InstallBindings(avm1::Vm& vm) {
    InstallClipProperties(vm);
    InstallClipMethods(vm);
    InstallClipDrawing(vm);
    InstallClipEffects(vm);
    InstallListeners(vm);
    InstallClipAttach(vm);
    InstallColor(vm);
    InstallTextFieldMembers(vm);
    InstallTextFormat(vm);
    InstallSelection(vm);
    InstallBitmapData(vm);
    InstallClipBitmaps(vm);
    InstallLoadVars(vm);
    InstallMovieClipLoader(vm);
    InstallXml(vm);
    InstallExternalInterface(vm);
    InstallNetClasses(vm);
    InstallSound(vm);
    InstallGeom(vm);
    InstallTextSnapshot(vm);
    InstallStyleSheet(vm);
}

}  // namespace swf::bind
