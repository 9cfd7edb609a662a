// Object and Function: the root prototypes, property reflection
// (hasOwnProperty, addProperty, watch), Function.call/apply, and Error.
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

Object* Self(CallArgs& a) {
    if (a.self.IsObject()) return a.self.o;
    if (a.self.IsClip()) return a.vm.ClipObject(a.vm.ClipOf(a.self));
    return nullptr;
}

Value ObjectCtor(CallArgs& a) {
    if (a.args.empty() || a.Arg(0).IsNullish()) return a.construct ? Value() : Value::Obj(a.vm.NewObject());
    const Value& v = a.Arg(0);
    if (v.IsObject() || v.IsClip()) return v;
    // Object("s") wraps the primitive.
    Object* o = nullptr;
    switch (v.kind) {
    case Value::Kind::String: o = a.vm.NewObject(a.vm.stringProto); o->cls = ObjClass::String; break;
    case Value::Kind::Number: o = a.vm.NewObject(a.vm.numberProto); o->cls = ObjClass::Number; break;
    default: o = a.vm.NewObject(a.vm.booleanProto); o->cls = ObjClass::Boolean; break;
    }
    o->primitive = v;
    return Value::Obj(o);
}

Value ObjectToString(CallArgs& a) {
    Object* o = Self(a);
    if (o && o->fn) return Value::String("[type Function]");
    return Value::String("[object Object]");
}

Value ObjectValueOf(CallArgs& a) { return a.self; }

Value HasOwnProperty(CallArgs& a) {
    Object* o = Self(a);
    if (!o) return Value::Bool(false);
    std::string name = a.vm.ToString(a.Arg(0));
    if ((o->cls == ObjClass::Array || o->cls == ObjClass::Arguments) && a.vm.HasProperty(o, name)) {
        Object* saved = o->proto;
        o->proto = nullptr;  // only the object itself counts
        bool has = a.vm.HasProperty(o, name);
        o->proto = saved;
        return Value::Bool(has);
    }
    return Value::Bool(o->Find(name, a.vm.Ci()) != nullptr);
}

Value IsPropertyEnumerable(CallArgs& a) {
    Object* o = Self(a);
    const Property* p = o ? o->Find(a.vm.ToString(a.Arg(0)), a.vm.Ci()) : nullptr;
    return Value::Bool(p && !(p->flags & kDontEnum));
}

Value IsPrototypeOf(CallArgs& a) {
    Object* o = Self(a);
    const Value& v = a.Arg(0);
    if (!o || !v.IsObject()) return Value::Bool(false);
    int hops = 0;
    for (Object* p = v.o->proto; p && hops < 256; p = p->proto, ++hops)
        if (p == o) return Value::Bool(true);
    return Value::Bool(false);
}

// addProperty(name, getter, setter): a property computed by functions.
Value AddProperty(CallArgs& a) {
    Object* o = Self(a);
    std::string name = a.vm.ToString(a.Arg(0));
    const Value& getter = a.Arg(1);
    const Value& setter = a.Arg(2);
    // The setter must be a function or null: undefined is refused.
    if (!o || name.empty() || !a.vm.IsFunction(getter) || !(a.vm.IsFunction(setter) || setter.kind == Value::Kind::Null))
        return Value::Bool(false);
    Property& p = o->Put(name, a.vm.Ci());
    p.getter = getter.o;
    p.setter = a.vm.IsFunction(setter) ? setter.o : nullptr;  // a value it had stays behind, for watchers
    return Value::Bool(true);
}

Value WatchMethod(CallArgs& a) {
    Object* o = Self(a);
    std::string name = a.vm.ToString(a.Arg(0));
    if (!o || !a.vm.IsFunction(a.Arg(1))) return Value::Bool(false);
    if (!o->watches) o->watches = std::make_unique<std::unordered_map<std::string, Watch>>();
    (*o->watches)[a.vm.Ci() ? LowerAscii(name) : name] = Watch{a.Arg(1).o, a.Arg(2)};
    return Value::Bool(true);
}

Value Unwatch(CallArgs& a) {
    Object* o = Self(a);
    std::string name = a.vm.ToString(a.Arg(0));
    if (!o || !o->watches) return Value::Bool(false);
    return Value::Bool(o->watches->erase(a.vm.Ci() ? LowerAscii(name) : name) > 0);
}

Value RegisterClass(CallArgs&) { return Value::Bool(true); }  // clips come with the next step

// Function(x) gives x back, and so does super(x) in a subclass (new
// keeps its own object); Function() a bare object.
Value FunctionCtor(CallArgs& a) {
    if (a.construct) return a.args.empty() || a.args[0].IsObject() ? Value() : a.args[0];
    if (!a.args.empty()) return a.args[0];
    return Value::Obj(a.vm.HeapRef().New(ObjClass::Object, nullptr));
}

Value FunctionCall(CallArgs& a) {
    std::vector<Value> rest(a.args.size() > 1 ? a.args.begin() + 1 : a.args.end(), a.args.end());
    return a.vm.Call(a.self, a.vm.ThisFor(a.Arg(0)), rest);
}

Value FunctionApply(CallArgs& a) {
    std::vector<Value> args;
    const Value& list = a.Arg(1);
    if (list.IsObject() && (list.o->cls == ObjClass::Array || list.o->cls == ObjClass::Arguments))
        args = a.vm.ArrayValues(list.o);
    Value self = a.vm.ThisFor(a.Arg(0));
    return a.vm.Call(a.self, self, args);
}

Value ErrorCtor(CallArgs& a) {
    Object* o = a.construct && a.self.IsObject() ? a.self.o : a.vm.NewObject(a.vm.errorProto);
    if (!a.Arg(0).IsUndefined()) a.vm.Put(o, "message", a.Arg(0));
    return Value::Obj(o);
}

Value ErrorToString(CallArgs& a) { return Value::String(a.vm.ToStr(a.vm.GetMember(a.self, "message"))); }

}  // namespace

void InstallObjectAndFunction(Vm& vm) {
    Heap& heap = vm.HeapRef();
    vm.objectProto = heap.New(ObjClass::Object, nullptr);
    vm.functionProto = heap.New(ObjClass::Object, vm.objectProto);
    vm.global = heap.New(ObjClass::Object, nullptr);  // bare: no valueOf, no __proto__
    vm.clipProto = heap.New(ObjClass::Object, vm.objectProto);
    vm.errorProto = heap.New(ObjClass::Object, vm.objectProto);

    Object* object = vm.DefineClass("Object", ObjectCtor, vm.objectProto);
    vm.DefineNative(object, "registerClass", RegisterClass);
    vm.DefineNative(vm.objectProto, "toString", ObjectToString);
    vm.DefineNative(vm.objectProto, "toLocaleString", ObjectToString);
    vm.DefineNative(vm.objectProto, "valueOf", ObjectValueOf);
    vm.DefineNative(vm.objectProto, "hasOwnProperty", HasOwnProperty);
    vm.DefineNative(vm.objectProto, "isPropertyEnumerable", IsPropertyEnumerable);
    vm.DefineNative(vm.objectProto, "isPrototypeOf", IsPrototypeOf);
    // Version 5 movies see none of these three.
    for (const char* name : {"hasOwnProperty", "isPropertyEnumerable", "isPrototypeOf"})
        vm.objectProto->Find(name, false)->flags |= kOnlySwf6Up;
    vm.DefineNative(vm.objectProto, "addProperty", AddProperty);
    vm.DefineNative(vm.objectProto, "watch", WatchMethod);
    vm.DefineNative(vm.objectProto, "unwatch", Unwatch);

    vm.DefineClass("Function", FunctionCtor, vm.functionProto);
    vm.DefineNative(vm.functionProto, "call", FunctionCall);
    vm.DefineNative(vm.functionProto, "apply", FunctionApply);

    vm.DefineClass("Error", ErrorCtor, vm.errorProto);
    vm.SetHidden(vm.errorProto, "name", Value::String("Error"));
    vm.SetHidden(vm.errorProto, "message", Value::String("Error"));
    vm.DefineNative(vm.errorProto, "toString", ErrorToString);
    vm.DefineClass("MovieClip", FunctionCtor, vm.clipProto);
    vm.buttonProto = heap.New(ObjClass::Object, vm.objectProto);
    vm.DefineClass("Button", FunctionCtor, vm.buttonProto);
    vm.textFieldProto = heap.New(ObjClass::Object, vm.objectProto);
    vm.DefineClass("TextField", FunctionCtor, vm.textFieldProto);
}

}  // namespace swf::avm1
