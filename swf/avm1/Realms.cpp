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

namespace {

// Each built-in the families keep apart, as the machine and a saved set hold it.
struct RealmField {
    Object* Vm::*live;
    Object* Vm::Realm::*saved;
};

constexpr RealmField kRealmFields[] = {
    {&Vm::global, &Vm::Realm::global},
    {&Vm::objectProto, &Vm::Realm::objectProto},
    {&Vm::functionProto, &Vm::Realm::functionProto},
    {&Vm::arrayProto, &Vm::Realm::arrayProto},
    {&Vm::stringProto, &Vm::Realm::stringProto},
    {&Vm::numberProto, &Vm::Realm::numberProto},
    {&Vm::booleanProto, &Vm::Realm::booleanProto},
    {&Vm::dateProto, &Vm::Realm::dateProto},
    {&Vm::clipProto, &Vm::Realm::clipProto},
    {&Vm::buttonProto, &Vm::Realm::buttonProto},
    {&Vm::textFieldProto, &Vm::Realm::textFieldProto},
    {&Vm::errorProto, &Vm::Realm::errorProto},
    {&Vm::numberCtor, &Vm::Realm::numberCtor},
    {&Vm::stringCtor, &Vm::Realm::stringCtor},
    {&Vm::booleanCtor, &Vm::Realm::booleanCtor},
};

}  // namespace

Vm::Realm Vm::SaveRealm() const {
    Realm r;
    for (const RealmField& f : kRealmFields) r.*f.saved = this->*f.live;
    return r;
}

void Vm::LoadRealm(const Realm& r) {
    for (const RealmField& f : kRealmFields) this->*f.live = r.*f.saved;
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
