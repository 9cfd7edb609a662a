// Function: call, apply, length and the `prototype` of constructor
// functions.
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

FunctionObject* AsFunction(Machine& m, const Value& v) {
    if (!v.IsObject() || v.o->kind != ObjKind::Function) m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to Function.");
    return static_cast<FunctionObject*>(v.o);
}

Value FunctionCall(Machine& m, Value self, Args args, int argc) {
    if (self.IsNullish()) return Value::Undefined();
    Value thisv = Arg(args, argc, 0);
    return m.Call(self, thisv, argc > 1 ? args + 1 : nullptr, argc > 1 ? argc - 1 : 0);
}

Value FunctionApply(Machine& m, Value self, Args args, int argc) {
    Value thisv = Arg(args, argc, 0);
    Value list = Arg(args, argc, 1);
    if (self.IsNullish()) return Value::Undefined();
    if (list.IsNullish()) return m.Call(self, thisv, nullptr, 0);
    if (!list.IsObject() || list.o->kind != ObjKind::Array)
        m.TypeError(1116, "second argument to Function.prototype.apply must be an array.");
    auto* a = static_cast<ArrayObject*>(list.o);
    std::vector<Value> copy;
    for (size_t i = 0; i < a->items.size(); ++i) copy.push_back(ItemAt(m, a, i));
    return m.Call(self, thisv, copy.data(), int(copy.size()));
}

Value FunctionLength(Machine& m, Value self, Args, int) {
    FunctionObject* f = AsFunction(m, self);
    if (!f->method) return Value::Int(0);
    if (f->method->native) return Value::Int(f->method->nativeLength);
    return Value::Int(int32_t(f->method->abc->methods[f->method->index].paramTypes.size()));
}

Value FunctionGetPrototype(Machine& m, Value self, Args, int) {
    FunctionObject* f = AsFunction(m, self);
    if (!f->prototypeObj) {
        f->prototypeObj = m.NewObject();
        f->prototypeObj->Dyn().Set(m.Intern("constructor"), self);
        f->prototypeObj->dyn->SetDontEnum(m.Intern("constructor"), true);
    }
    return Value::Obj(f->prototypeObj);
}

Value FunctionSetPrototype(Machine& m, Value self, Args args, int argc) {
    FunctionObject* f = AsFunction(m, self);
    Value v = Arg(args, argc, 0);
    f->prototypeObj = v.IsObject() ? v.o : nullptr;
    return Value::Undefined();
}

Value FunctionToString(Machine& m, Value, Args, int) { return Value::Str(m.Intern("function Function() {}")); }

Value FunctionInit(Machine& m, Value, Args, int argc) {
    if (argc > 0) m.Throw(m.evalErrorClass, 1066, "The form function('function body') is not supported.");
    return Value::Undefined();
}

Value EmptyFunction(Machine&, Value, Args, int) { return Value::Undefined(); }

Value FunctionCallAsFunction(Machine& m, Value, Args, int argc) {
    if (argc > 0) m.Throw(m.evalErrorClass, 1066, "The form function('function body') is not supported.");
    return Value::Obj(m.NativeFunction("", EmptyFunction, 0));
}

Object* AllocFunction(Machine& m, ClassObject* cls) {
    auto* f = m.New<FunctionObject>(cls, cls->prototype);
    f->method = m.NewNativeMethod("", EmptyFunction, 0);
    return f;
}

}  // namespace

void InstallFunction(Machine& m) {
    // Function's class object exists before any function does.
    m.functionClass = nullptr;
    ClassObject* fn = m.DefineClass("", "Function", m.objectClass, AllocFunction, false);
    m.functionClass = fn;
    fn->call = FunctionCallAsFunction;
    fn->init = m.NewNativeMethod("Function", FunctionInit, 0);
    // Function.prototype is itself a function that does nothing.
    auto* proto = m.New<FunctionObject>(fn, fn->prototype->proto);
    proto->method = m.NewNativeMethod("", EmptyFunction, 0);
    proto->traits = fn->instanceTraits;
    proto->dyn = fn->prototype->dyn;
    fn->prototype->dyn = nullptr;
    fn->prototype = proto;
    m.DefineMethod(fn, "call", FunctionCall, 1);
    m.DefineMethod(fn, "apply", FunctionApply, 2);
    m.DefineGetter(fn, "length", FunctionLength);
    m.DefineGetter(fn, "prototype", FunctionGetPrototype, FunctionSetPrototype);
    fn->prototype->Dyn().Set(m.Intern("toString"), Value::Obj(m.NativeFunction("toString", FunctionToString, 0)));
    fn->prototype->dyn->SetDontEnum(m.Intern("toString"), true);
    m.DefineConstant(fn, "length", Value::Int(1));
}

}  // namespace swf::avm2
