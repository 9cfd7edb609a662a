// Error and its subclasses: message, name, errorID, toString as
// "Name: message", getStackTrace (the running methods when it was made).
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

// An error's name comes from its nearest built-in class, whatever subclass
// a movie makes of it.
Value OwnName(Machine& m, const Value& self) {
    ClassObject* k = self.IsObject() ? self.o->cls : nullptr;
    while (k && k->abcInstance) k = k->base;
    return k ? m.GetProperty(Value::Obj(k->prototype), m.PublicName("name")) : Value::Str(m.Intern("Error"));
}

Value ErrorInit(Machine& m, Value self, Args args, int argc) {
    Value msg = Arg(args, argc, 0);
    m.SetPublic(self, "name", OwnName(m, self));
    m.SetPublic(self, "message", msg.IsUndefined() ? Value::Str(m.Intern("")) : Value::Str(m.ToString(msg)));
    Object* o = self.o;
    o->Dyn().Set(m.Intern("__errorID"), argc > 1 ? Value::Int(m.ToInt32(args[1])) : Value::Int(0));
    o->dyn->SetDontEnum(m.Intern("__errorID"), true);
    // The stack is the one the error was made on, read when asked for.
    o->dyn->Set(m.Intern("__stack"), Value::Str(m.Str(m.StackTrace())));
    o->dyn->SetDontEnum(m.Intern("__stack"), true);
    return Value::Undefined();
}

Value PackageErrorInit(Machine& m, Value self, Args args, int argc) {
    ErrorInit(m, self, args, argc);
    m.SetPublic(self, "name", Value::Str(m.Intern("Error")));
    return Value::Undefined();
}

Value DrmErrorInit(Machine& m, Value self, Args args, int argc) {
    PackageErrorInit(m, self, args, argc);
    self.o->Dyn().Set(m.Intern("__subErrorID"), Value::Int(m.ToInt32(Arg(args, argc, 2))));
    self.o->dyn->SetDontEnum(m.Intern("__subErrorID"), true);
    return Value::Undefined();
}

Value DrmSubErrorId(Machine& m, Value self, Args, int) {
    Value* v = self.IsObject() && self.o->dyn ? self.o->dyn->Find(m.Intern("__subErrorID")) : nullptr;
    return v ? *v : Value::Int(0);
}

Value DrmToString(Machine& m, Value self, Args, int) {
    std::string msg = m.ToStdString(m.GetPublic(self, "message"));
    return Value::Str(m.Str("DRMManagerError: '" + msg + "', error ID:'" + m.ToStdString(m.GetPublic(self, "errorID")) +
                            "', subErrorID:'" + m.ToStdString(DrmSubErrorId(m, self, nullptr, 0)) + "'"));
}

Value ErrorToString(Machine& m, Value self, Args, int) {
    std::string name = m.ToStdString(m.GetPublic(self, "name"));
    std::string msg = m.ToStdString(m.GetPublic(self, "message"));
    return Value::Str(m.Str(msg.empty() ? name : name + ": " + msg));
}

Value ErrorIdGetter(Machine& m, Value self, Args, int) {
    if (!self.IsObject() || !self.o->dyn) return Value::Int(0);
    Value* v = self.o->dyn->Find(m.Intern("__errorID"));
    return v ? *v : Value::Int(0);
}

// The error's text as toString gives it without a subclass's override,
// then a line for each method that was running when it was made.
Value ErrorStackTrace(Machine& m, Value self, Args, int) {
    if (!self.IsObject() || !self.o->dyn) return Value::Null();
    Value* stack = self.o->dyn->Find(m.Intern("__stack"));
    if (!stack || !stack->IsString()) return Value::Null();
    std::string name = m.ToStdString(m.GetPublic(self, "name"));
    std::string msg = m.ToStdString(m.GetPublic(self, "message"));
    return Value::Str(m.Str((msg.empty() ? name : name + ": " + msg) + stack->s->text));
}

Value ErrorCall(Machine& m, Value, Args args, int argc) { return m.Construct(Value::Obj(m.errorClass), args, argc); }

ClassObject* MakeError(Machine& m, const std::string& pkg, const std::string& name, ClassObject* base) {
    ClassObject* c = m.DefineClass(pkg, name, base, nullptr, false);
    c->init = m.NewNativeMethod(name, ErrorInit, 2);
    c->prototype->Dyn().Set(m.Intern("name"), Value::Str(m.Intern(name)));
    c->prototype->dyn->SetDontEnum(m.Intern("name"), true);
    // Instances of the flash.errors classes are named Error all the same.
    if (!pkg.empty()) c->init = m.NewNativeMethod(name, PackageErrorInit, 2);
    if (pkg.empty()) m.DefineConstant(c, "length", Value::Int(1));
    return c;
}

}  // namespace

void InstallErrors(Machine& m) {
    ClassObject* e = MakeError(m, "", "Error", m.objectClass);
    m.errorClass = e;
    e->call = ErrorCall;
    // message and name are plain public variables of each error.
    Traits* t = e->instanceTraits;
    for (const char* var : {"message", "name"}) {
        Binding& b = t->Add(m.Intern(var), m.publicNs);
        b = Binding{Binding::Slot, uint32_t(t->slots.size()), 0, 0};
        SlotInfo si;
        si.name = m.Intern(var);
        si.ns = m.publicNs;
        si.initial = Value::Str(m.Intern(""));
        t->slots.push_back(si);
    }
    // Error.prototype is itself an Error: its name and message live in its
    // slots, so objects further down the chain do not see them.
    Object* proto = e->prototype;
    proto->dyn->Remove(m.Intern("name"));
    proto->cls = e;
    m.InitSlots(proto, t);
    m.SetPublic(Value::Obj(proto), "name", Value::Str(m.Intern("Error")));
    m.SetPublic(Value::Obj(proto), "message", Value::Str(m.Intern("Error")));
    m.DefineGetter(e, "errorID", ErrorIdGetter);
    m.DefineMethod(e, "getStackTrace", ErrorStackTrace, 0);
    e->prototype->Dyn().Set(m.Intern("toString"), Value::Obj(m.NativeFunction("toString", ErrorToString, 0)));
    e->prototype->dyn->SetDontEnum(m.Intern("toString"), true);
    m.typeErrorClass = MakeError(m, "", "TypeError", e);
    m.referenceErrorClass = MakeError(m, "", "ReferenceError", e);
    m.rangeErrorClass = MakeError(m, "", "RangeError", e);
    m.argumentErrorClass = MakeError(m, "", "ArgumentError", e);
    m.verifyErrorClass = MakeError(m, "", "VerifyError", e);
    m.evalErrorClass = MakeError(m, "", "EvalError", e);
    m.syntaxErrorClass = MakeError(m, "", "SyntaxError", e);
    m.uriErrorClass = MakeError(m, "", "URIError", e);
    m.securityErrorClass = MakeError(m, "", "SecurityError", e);
    m.definitionErrorClass = MakeError(m, "", "DefinitionError", e);
    m.uninitializedErrorClass = MakeError(m, "", "UninitializedError", e);
    ClassObject* io = MakeError(m, "flash.errors", "IOError", e);
    MakeError(m, "flash.errors", "EOFError", io);
    MakeError(m, "flash.errors", "IllegalOperationError", e);
    MakeError(m, "flash.errors", "MemoryError", e);
    MakeError(m, "flash.errors", "StackOverflowError", e);
    MakeError(m, "flash.errors", "ScriptTimeoutError", e);
    MakeError(m, "flash.errors", "InvalidSWFError", e);
    ClassObject* drm = MakeError(m, "flash.errors", "DRMManagerError", e);
    drm->init = m.NewNativeMethod("DRMManagerError", DrmErrorInit, 3);
    drm->prototype->dyn->Remove(m.Intern("name"));
    m.DefineGetter(drm, "subErrorID", DrmSubErrorId);
    m.DefineMethod(drm, "toString", DrmToString, 0);
}

}  // namespace swf::avm2
