// Script bindings of the display tree: the natives and accessors that
// MovieClip, Button and TextField objects inherit from their prototypes,
// each reaching the display object its `this` names through the player's
// ScriptHost.
//
// Adding members from a new file:
//  1. write `void InstallSomething(avm1::Vm& vm)` in swf/bind/Something.cpp,
//     defining natives with vm.DefineNative and properties with
//     vm.DefineAccessor on vm.clipProto, vm.buttonProto or vm.textFieldProto
//     (or a class of your own on vm.global);
//  2. declare it below and add one call to InstallBindings (Bindings.cpp).
// A native finds its object with ObjectOf(a) (or ClipOf/ButtonOf/TextOf for
// one kind): null when `this` is not such an object or it is gone, and then
// the native does nothing and returns undefined. Writes that move or
// recolour an object set its `scripted` flag, so the timeline leaves it be.
#pragma once

#include <functional>
#include <string>

#include "swf/avm1/Vm.h"
#include "swf/bind/ScriptHost.h"

namespace swf {

class ButtonObject;
class EditTextObject;

namespace bind {

// The player's host of a Vm the player built (every Vm bindings run in).
ScriptHost& HostOf(avm1::Vm& vm);

DisplayObject* ObjectOf(avm1::Vm& vm, const avm1::Value& v);
MovieClip* ClipOf(avm1::Vm& vm, const avm1::Value& v);
ButtonObject* ButtonOf(avm1::Vm& vm, const avm1::Value& v);
EditTextObject* TextOf(avm1::Vm& vm, const avm1::Value& v);
// The same for a native's `this`.
inline DisplayObject* ObjectOf(avm1::CallArgs& a) { return ObjectOf(a.vm, a.self); }
inline MovieClip* ClipOf(avm1::CallArgs& a) { return ClipOf(a.vm, a.self); }
inline ButtonObject* ButtonOf(avm1::CallArgs& a) { return ButtonOf(a.vm, a.self); }
inline EditTextObject* TextOf(avm1::CallArgs& a) { return TextOf(a.vm, a.self); }
// The script value of a display object (undefined for none).
avm1::Value ValueOf(avm1::Vm& vm, const DisplayObject* obj);

// Argument helpers: a number (NaN when missing), a number or a fallback
// when missing or undefined.
double NumberArg(avm1::CallArgs& a, size_t i);
double NumberArg(avm1::CallArgs& a, size_t i, double fallback);
// "GET" is 1, "POST" 2 (any case), anything else 0 (ClipMethods.cpp).
int SendMethod(avm1::Vm& vm, const avm1::Value& v);

// Gives a clip of an exported symbol its class registered with
// Object.registerClass: the class's prototype, then a call of its
// constructor (`fromHost`: outside any script, errors reported). Once per
// clip; true when a constructor ran. `beforeCtor` runs between the two (the
// clip's on(construct) handlers see the class's prototype, and run first).
bool ConstructClip(avm1::Vm& vm, MovieClip& clip, bool fromHost, const std::function<void()>& beforeCtor = {});

// Runs every installer once; the player calls it for each movie's Vm.
void InstallBindings(avm1::Vm& vm);

// filters of clips, buttons and fields (ClipEffects.cpp).
avm1::Value GetObjectFilters(avm1::CallArgs& a);
avm1::Value SetObjectFilters(avm1::CallArgs& a);
// tabIndex (FocusKeys.cpp): a field keeps it as an unsigned 32-bit number
// (magic kTabIndexUnsigned), clips and buttons as a signed one.
constexpr int kTabIndexUnsigned = 1;
avm1::Value GetTabIndex(avm1::CallArgs& a);
avm1::Value SetTabIndex(avm1::CallArgs& a);

// Installers, one per file.
void InstallClipProperties(avm1::Vm& vm);  // ClipMembers.cpp
void InstallClipMethods(avm1::Vm& vm);     // ClipMethods.cpp
void InstallClipDrawing(avm1::Vm& vm);     // ClipDrawing.cpp
void InstallClipEffects(avm1::Vm& vm);     // ClipEffects.cpp
void InstallListeners(avm1::Vm& vm);       // Listeners.cpp
void InstallClipAttach(avm1::Vm& vm);      // ClipAttach.cpp
void InstallColor(avm1::Vm& vm);           // ColorClass.cpp
void InstallTextFieldMembers(avm1::Vm& vm);  // TextFieldMembers.cpp
void InstallTextFormat(avm1::Vm& vm);        // TextFormatClass.cpp
// StyleSheet.transform: a TextFormat from a style's CSS properties (null
// for none).
avm1::Value TextFormatFromStyle(avm1::Vm& vm, const avm1::Value& style);
void InstallSelection(avm1::Vm& vm);         // SelectionClass.cpp
void InstallBitmapData(avm1::Vm& vm);        // BitmapDataClass.cpp
void InstallClipBitmaps(avm1::Vm& vm);       // ClipBitmaps.cpp
void InstallLoadVars(avm1::Vm& vm);          // LoadVarsClass.cpp
void InstallMovieClipLoader(avm1::Vm& vm);   // MovieClipLoaderClass.cpp
void InstallXml(avm1::Vm& vm);               // XmlClass.cpp
void InstallSound(avm1::Vm& vm);             // SoundClass.cpp
void InstallExternalInterface(avm1::Vm& vm);  // ExternalInterfaceClass.cpp
void InstallNetClasses(avm1::Vm& vm);  // NetClasses.cpp
void InstallExternalInterfaceReaders(avm1::Vm& vm, avm1::Object* ctor);  // ExternalInterfaceRead.cpp
// Sounds scripts started: positions, and onSoundComplete for those that
// ended (SoundClass.cpp); the timeline calls it once a tick.
void UpdateSounds(avm1::Vm& vm);
// Members LoadVars and XML share (LoadVarsClass.cpp): load, sendAndLoad,
// the default onData (magic 1: XML), getBytesLoaded/Total, and a harmless
// addRequestHeader.
avm1::Value DataLoad(avm1::CallArgs& a);
avm1::Value DataSendAndLoad(avm1::CallArgs& a);
avm1::Value DataOnData(avm1::CallArgs& a);
avm1::Value LoadedBytes(avm1::CallArgs& a);
// What a LoadVars or XML object shows of its load's progress.
void SetLoadedBytes(avm1::Vm& vm, avm1::Object* on, const avm1::Value& loaded, const avm1::Value& total);
avm1::Value DataNothing(avm1::CallArgs& a);
// flash.geom and MovieClip.transform: InstallGeom in GeomValues.h.
// Fields and the variables they name, both ways (TextVariables.cpp); the
// timeline calls it after each run of actions.
void SyncTextVariables(avm1::Vm& vm);
// One field and its variable, as soon as a script reads or sets its text.
void SyncTextVariable(avm1::Vm& vm, EditTextObject& field);
// A key for the focus (FocusKeys.cpp): Tab moves it, and the focused input
// field takes characters and editing keys. True when the key was used.
// `beforeTab` hears where Tab moves it before anything hears of the focus.
bool FocusKey(avm1::Vm& vm, int keyCode, int charCode, bool shift, bool ctrl,
              const std::function<void(DisplayObject&)>& beforeTab = {});

}  // namespace bind
}  // namespace swf
