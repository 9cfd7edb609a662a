// flash.utils.Proxy: names that the class's own traits do not define go to
// the flash_proxy methods of the subclass (getProperty, setProperty,
// deleteProperty, hasProperty, callProperty, nextNameIndex, nextName,
// nextValue), which throw when a subclass leaves them out.
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

Value Hook(Machine& m, Object* self, const char* name, Args args, int argc) {
    return m.CallProperty(Value::Obj(self), Name{m.Intern(name), nullptr, m.proxyNs}, args, argc);
}

class ProxyObject : public Object {
public:
    ProxyObject(ClassObject* cls, Object* proto) : Object(ObjKind::Proxy, cls, proto) {}

    bool GetIndexed(Machine& m, const Value& key, Value& out) override {
        out = Hook(m, this, "getProperty", &key, 1);
        return true;
    }
    bool SetIndexed(Machine& m, const Value& key, const Value& v) override {
        Value args[2] = {key, v};
        Hook(m, this, "setProperty", args, 2);
        return true;
    }
    bool DeleteIndexed(Machine& m, const Value& key, bool& result) override {
        result = m.ToBoolean(Hook(m, this, "deleteProperty", &key, 1));
        return true;
    }
    bool HasIndexed(Machine& m, const Value& key, bool& result) override {
        result = m.ToBoolean(Hook(m, this, "hasProperty", &key, 1));
        return true;
    }
    int NextIndex(Machine& m, int pos) override {
        Value i = Value::Int(pos);
        return m.ToInt32(Hook(m, this, "nextNameIndex", &i, 1));
    }
    Value NameAt(Machine& m, int pos) override {
        Value i = Value::Int(pos);
        return Hook(m, this, "nextName", &i, 1);
    }
    Value ValueAt(Machine& m, int pos) override {
        Value i = Value::Int(pos);
        return Hook(m, this, "nextValue", &i, 1);
    }
};

Object* AllocProxy(Machine& m, ClassObject* cls) { return m.New<ProxyObject>(cls, cls->prototype); }

Value ProxyInit(Machine&, Value, Args, int) { return Value::Undefined(); }

[[noreturn]] void NotImplemented(Machine& m, const char* what) {
    ClassObject* c = m.FindClass("flash.errors.IllegalOperationError");
    m.Throw(c ? c : m.errorClass, 2088,
            std::string("The Proxy class does not implement ") + what + ". It must be overridden by a subclass.");
}

#define PROXY_DEFAULT(fn, what) \
    Value fn(Machine& m, Value, Args, int) { NotImplemented(m, what); }
PROXY_DEFAULT(DefaultGet, "getProperty")
PROXY_DEFAULT(DefaultSet, "setProperty")
PROXY_DEFAULT(DefaultDelete, "deleteProperty")
PROXY_DEFAULT(DefaultHas, "hasProperty")
PROXY_DEFAULT(DefaultCall, "callProperty")
PROXY_DEFAULT(DefaultNextNameIndex, "nextNameIndex")
PROXY_DEFAULT(DefaultNextName, "nextName")
PROXY_DEFAULT(DefaultNextValue, "nextValue")
PROXY_DEFAULT(DefaultDescendants, "getDescendants")
#undef PROXY_DEFAULT

Value DefaultIsAttribute(Machine& m, Value, Args args, int argc) {
    QNameParts q = QNameOf(m, Arg(args, argc, 0));
    return Value::Bool(q.attribute);
}

void DefineProxyMethod(Machine& m, ClassObject* c, const char* name, NativeFn fn, int length) {
    Method* me = m.NewNativeMethod(name, fn, length);
    Traits* t = c->instanceTraits;
    Binding& b = t->Add(m.Intern(name), m.proxyNs);
    b = Binding{Binding::Method, 0, uint32_t(t->vtable.size()), 0};
    t->vtable.push_back({me, nullptr});
}

}  // namespace

// The name a proxy hook receives: a QName of the name's namespace (public
// when the name is looked up in a set holding it) and its local name.
Value ProxyName(Machine& m, const Name& n, const Value& key) {
    Ns* ns = n.single;
    if (!ns && n.set && !n.set->empty()) ns = n.HasPublic() ? m.publicNs : (*n.set)[0];
    // A name in any namespace has a null uri; any name at all is "*".
    const bool anyNs = !ns && !n.set && !n.hasKey;
    Value local = key.IsObject() && key.o->kind == ObjKind::QName ? Value::Str(QNameOf(m, key).local)
                  : !n.hasKey && !n.name                           ? Value::Str(m.Intern("*"))
                                                                   : Value::Str(m.ToString(key));
    Value args[2] = {anyNs ? Value::Null() : Value::Str(ns ? ns->uri : m.Intern("")), local};
    return m.Construct(Value::Obj(m.qnameClass), args, 2);
}

void InstallProxy(Machine& m) {
    ClassObject* c = m.DefineClass("flash.utils", "Proxy", m.objectClass, AllocProxy, true);
    m.proxyClass = c;
    c->init = m.NewNativeMethod("Proxy", ProxyInit, 0);
    DefineProxyMethod(m, c, "getProperty", DefaultGet, 1);
    DefineProxyMethod(m, c, "setProperty", DefaultSet, 2);
    DefineProxyMethod(m, c, "deleteProperty", DefaultDelete, 1);
    DefineProxyMethod(m, c, "hasProperty", DefaultHas, 1);
    DefineProxyMethod(m, c, "callProperty", DefaultCall, 1);
    DefineProxyMethod(m, c, "nextNameIndex", DefaultNextNameIndex, 1);
    DefineProxyMethod(m, c, "nextName", DefaultNextName, 1);
    DefineProxyMethod(m, c, "nextValue", DefaultNextValue, 1);
    DefineProxyMethod(m, c, "getDescendants", DefaultDescendants, 1);
    DefineProxyMethod(m, c, "isAttribute", DefaultIsAttribute, 1);
    Value uri = Value::Str(m.proxyNs->uri);
    m.DefineGlobalValue("flash_proxy", m.Construct(Value::Obj(m.namespaceClass), &uri, 1), "flash.utils");
}

}  // namespace swf::avm2
