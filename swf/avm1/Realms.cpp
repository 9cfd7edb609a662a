// The built-in sets of the two families of movie versions (Vm.h, Realm).
#include "swf/avm1/FilterClasses.h"
#include "swf/avm1/Runtime.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

void Vm::InstallBuiltins() {
    InstallObjectAndFunction(*this);
    InstallArray(*this);
    InstallString(*this);
    InstallNumberBooleanMath(*this);
    InstallDate(*this);
    InstallGlobals(*this);
    InstallFilters(*this);
    InstallBroadcasterKeyMouse(*this);
    InstallStageAndSystem(*this);
    InstallSoundAndSharedObject(*this);
    if (installClasses_) installClasses_(*this);
}

void Vm::SetClassInstaller(std::function<void(Vm&)> install) {
    installClasses_ = std::move(install);
    installClasses_(*this);
}

Vm::Realm Vm::SaveRealm() const {
    Realm r;
    r.global = global;
    r.objectProto = objectProto;
    r.functionProto = functionProto;
    r.arrayProto = arrayProto;
    r.stringProto = stringProto;
    r.numberProto = numberProto;
    r.booleanProto = booleanProto;
    r.dateProto = dateProto;
    r.clipProto = clipProto;
    r.buttonProto = buttonProto;
    r.textFieldProto = textFieldProto;
    r.errorProto = errorProto;
    r.numberCtor = numberCtor;
    r.stringCtor = stringCtor;
    r.booleanCtor = booleanCtor;
    return r;
}

void Vm::LoadRealm(const Realm& r) {
    global = r.global;
    objectProto = r.objectProto;
    functionProto = r.functionProto;
    arrayProto = r.arrayProto;
    stringProto = r.stringProto;
    numberProto = r.numberProto;
    booleanProto = r.booleanProto;
    dateProto = r.dateProto;
    clipProto = r.clipProto;
    buttonProto = r.buttonProto;
    textFieldProto = r.textFieldProto;
    errorProto = r.errorProto;
    numberCtor = r.numberCtor;
    stringCtor = r.stringCtor;
    booleanCtor = r.booleanCtor;
}

void Vm::UseFamily(int family) {
    if (family == family_) return;
    realms_[family_] = SaveRealm();
    family_ = family;
    if (built_[family]) {
        LoadRealm(realms_[family]);
        return;
    }
    LoadRealm(Realm{});
    built_[family] = true;  // before installing: the installers run code of this family
    PinGuard pin(*this);    // half-built, the set is no root yet
    InstallBuiltins();
    realms_[family] = SaveRealm();
}

const Vm::Realm& Vm::RealmFor(int version) {
    const int family = FamilyOf(version);
    if (!built_[family]) {
        const int current = family_;
        UseFamily(family);
        UseFamily(current);
    }
    if (family == family_) realms_[family] = SaveRealm();
    return realms_[family];
}

std::vector<Object*> Vm::Globals() const {
    std::vector<Object*> out{global};
    const int other = 1 - family_;
    if (built_[other] && realms_[other].global) out.push_back(realms_[other].global);
    return out;
}

}  // namespace swf::avm1
