// Namespace and QName values.
#include <cctype>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

class NamespaceObject : public Object {
public:
    NamespaceObject(ClassObject* c, Object* p) : Object(ObjKind::Namespace, c, p) {}
    Value prefix;
    String* uri = nullptr;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(prefix);
        t.Mark(uri);
    }
};

class QNameObject : public Object {
public:
    QNameObject(ClassObject* c, Object* p) : Object(ObjKind::QName, c, p) {}
    String* uri = nullptr;  // null: any namespace
    String* local = nullptr;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(uri);
        t.Mark(local);
    }
    // A QName enumerates "uri" and "localName"; its values come the other
    // way round (the local name first).
    int NextIndex(Machine&, int pos) override { return pos >= 0 && pos < 2 ? pos + 1 : 0; }
    Value NameAt(Machine& m, int pos) override {
        return pos == 1 ? Value::Str(m.Intern("uri")) : pos == 2 ? Value::Str(m.Intern("localName")) : Value::Undefined();
    }
    Value ValueAt(Machine& m, int pos) override {
        String* s = pos == 1 ? local : pos == 2 ? uri : nullptr;
        if (pos == 2 && !s) return Value::Null();
        return s ? Value::Str(s) : Value::Str(m.Intern(""));
    }
};

Object* AllocNamespace(Machine& m, ClassObject* c) { return m.New<NamespaceObject>(c, c->prototype); }
Object* AllocQName(Machine& m, ClassObject* c) { return m.New<QNameObject>(c, c->prototype); }

Value NsInit(Machine& m, Value self, Args args, int argc) {
    auto* ns = static_cast<NamespaceObject*>(self.o);
    if (argc == 0) {
        ns->uri = m.Intern("");
        ns->prefix = Value::Str(m.Intern(""));
    } else if (argc == 1) {
        Value a = args[0];
        if (a.IsObject() && a.o->kind == ObjKind::Namespace) {
            ns->uri = static_cast<NamespaceObject*>(a.o)->uri;
            ns->prefix = static_cast<NamespaceObject*>(a.o)->prefix;
        } else if (a.IsObject() && a.o->kind == ObjKind::QName) {
            String* u = static_cast<QNameObject*>(a.o)->uri;
            ns->uri = u ? u : m.Intern("");
        } else {
            ns->uri = m.Intern(m.ToString(a));
            ns->prefix = ns->uri->text.empty() ? Value::Str(m.Intern("")) : Value::Undefined();
        }
    } else {
        Value u = args[1];
        if (u.IsObject() && u.o->kind == ObjKind::QName) ns->uri = static_cast<QNameObject*>(u.o)->uri;
        else if (u.IsObject() && u.o->kind == ObjKind::Namespace) ns->uri = static_cast<NamespaceObject*>(u.o)->uri;
        else ns->uri = m.Intern(m.ToString(u));
        if (!ns->uri) ns->uri = m.Intern("");
        String* p = m.ToString(args[0]);
        if (ns->uri->text.empty()) {
            if (!p->text.empty()) m.TypeError(1098, "Illegal prefix " + p->text + " for no namespace.");
            ns->prefix = Value::Str(m.Intern(""));
        } else {
            // Only a name usable as an XML prefix is kept.
            bool name = !args[0].IsNullish() && !p->text.empty();
            for (size_t i = 0; name && i < p->text.size(); ++i) {
                unsigned char c = (unsigned char)p->text[i];
                name = std::isalpha(c) || c == '_' || c >= 0x80 || (i > 0 && (std::isdigit(c) || c == '-' || c == '.'));
            }
            ns->prefix = args[0].IsNullish() ? Value::Undefined()
                         : p->text.empty()    ? Value::Str(m.Intern(""))
                         : name               ? Value::Str(m.Intern(p))
                                              : Value::Undefined();
        }
    }
    return Value::Undefined();
}
Value NsUri(Machine&, Value self, Args, int) { return Value::Str(static_cast<NamespaceObject*>(self.o)->uri); }
Value NsPrefix(Machine&, Value self, Args, int) { return static_cast<NamespaceObject*>(self.o)->prefix; }
Value NsToString(Machine& m, Value self, Args, int) {
    if (!self.IsObject() || self.o->kind != ObjKind::Namespace) return Value::Str(m.ToString(self));
    return Value::Str(static_cast<NamespaceObject*>(self.o)->uri);
}
Value NsCall(Machine& m, Value, Args args, int argc) { return m.Construct(Value::Obj(m.namespaceClass), args, argc); }

Value QnInit(Machine& m, Value self, Args args, int argc) {
    auto* q = static_cast<QNameObject*>(self.o);
    Value nsv, namev;
    if (argc >= 2) {
        nsv = args[0];
        namev = args[1];
    } else if (argc == 1) {
        namev = args[0];
    }
    if (namev.IsObject() && namev.o->kind == ObjKind::QName) {
        auto* src = static_cast<QNameObject*>(namev.o);
        q->local = src->local;
        q->uri = argc >= 2 ? nullptr : src->uri;
        if (argc < 2) return Value::Undefined();
    } else {
        q->local = m.Intern(namev.IsUndefined() ? std::string() : m.ToStdString(namev));
    }
    if (argc >= 2) {
        if (nsv.IsNull()) q->uri = nullptr;
        else if (nsv.IsObject() && nsv.o->kind == ObjKind::Namespace) q->uri = static_cast<NamespaceObject*>(nsv.o)->uri;
        else q->uri = m.Intern(m.ToString(nsv));
    } else {
        q->uri = q->local->text == "*" ? nullptr : m.Intern("");
    }
    return Value::Undefined();
}
Value QnLocal(Machine&, Value self, Args, int) { return Value::Str(static_cast<QNameObject*>(self.o)->local); }
Value QnUri(Machine&, Value self, Args, int) {
    String* u = static_cast<QNameObject*>(self.o)->uri;
    return u ? Value::Str(u) : Value::Null();
}
Value QnToString(Machine& m, Value self, Args, int) {
    if (!self.IsObject() || self.o->kind != ObjKind::QName)
        m.TypeError(1004, "Method QName.prototype.toString was invoked on an incompatible object.");
    auto* q = static_cast<QNameObject*>(self.o);
    if (!q->uri) return Value::Str(m.Str("*::" + q->local->text));
    if (q->uri->text.empty()) return Value::Str(q->local);
    return Value::Str(m.Str(q->uri->text + "::" + q->local->text));
}
Value QnCall(Machine& m, Value, Args args, int argc) {
    if (argc == 1 && args[0].IsObject() && args[0].o->kind == ObjKind::QName) return args[0];
    return m.Construct(Value::Obj(m.qnameClass), args, argc);
}

}  // namespace

QNameParts QNameOf(Machine& m, const Value& v) {
    auto* q = static_cast<QNameObject*>(v.o);
    QNameParts p;
    p.local = q->local ? m.Intern(q->local) : m.Intern("");
    p.ns = q->uri ? m.GetNs(NsKind::Package, q->uri) : nullptr;
    return p;
}

Ns* NamespaceOf(Machine& m, const Value& v) {
    if (v.IsObject() && v.o->kind == ObjKind::Namespace) return m.GetNs(NsKind::Package, static_cast<NamespaceObject*>(v.o)->uri);
    return m.GetNs(NsKind::Package, m.Intern(m.ToString(v)));
}

void InstallNamespace(Machine& m) {
    ClassObject* ns = m.DefineClass("", "Namespace", m.objectClass, AllocNamespace, true);
    m.namespaceClass = ns;
    ns->isFinal = true;
    ns->init = m.NewNativeMethod("Namespace", NsInit, 2);
    ns->call = NsCall;
    m.DefineGetter(ns, "uri", NsUri);
    m.DefineGetter(ns, "prefix", NsPrefix);
    m.DefineConstant(ns, "length", Value::Int(2));
    m.DefineMethod(ns, "toString", NsToString, 0);
    m.DefineMethod(ns, "valueOf", NsToString, 0);
    ClassObject* qn = m.DefineClass("", "QName", m.objectClass, AllocQName, true);
    m.qnameClass = qn;
    qn->isFinal = true;
    qn->init = m.NewNativeMethod("QName", QnInit, 2);
    qn->call = QnCall;
    m.DefineGetter(qn, "localName", QnLocal);
    m.DefineGetter(qn, "uri", QnUri);
    m.DefineConstant(qn, "length", Value::Int(2));
    m.DefineMethod(qn, "toString", QnToString, 0);
    m.DefineMethod(qn, "valueOf", [](Machine&, Value self, Args, int) { return self; }, 0);
}

}  // namespace swf::avm2
