// The XML class: one node of a tree, its methods and the parser settings.
#include <algorithm>
#include <tuple>

#include "swf/avm2/classes/XmlModel.h"

namespace swf::avm2 {

namespace {

XmlObject* Self(Machine& m, const Value& self) {
    if (!IsXml(self)) m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(self) + " to XML.");
    return AsXml(self);
}

Object* AllocXml(Machine& m, ClassObject* c) {
    auto* x = m.New<XmlObject>(c, c->prototype);
    x->value = m.Intern("");  // an empty text node until constructed
    return x;
}

// Makes `self` the node `from` is (its children move over).
void Become(XmlObject* self, XmlObject* from) {
    self->node = from->node;
    self->uri = from->uri;
    self->prefix = from->prefix;
    self->local = from->local;
    self->value = from->value;
    self->cdata = from->cdata;
    self->decls = from->decls;
    self->attrs = from->attrs;
    self->children = from->children;
    self->parent = nullptr;
    for (XmlObject* a : self->attrs) a->parent = self;
    for (XmlObject* c : self->children) c->parent = self;
}

Value XmlInit(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    XmlObject* from;
    if (IsXml(v) || (IsXmlList(v) && AsList(v)->items.size() == 1)) {
        from = DeepCopy(m, ToXmlNode(m, v));
    } else {
        from = ToXmlNode(m, v);
        if (from->parent || IsXml(v)) from = DeepCopy(m, from);
    }
    Become(AsXml(self), from);
    return Value::Undefined();
}

Value XmlCallAsFunction(Machine& m, Value, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (IsXml(v)) return v;
    return Value::Obj(ToXmlNode(m, v));
}

Value ListOf(Machine& m, XmlObject* x, const XQuery& q, bool attrs) {
    XmlListObject* l = NewXmlList(m, x);
    l->targetLocal = q.local;
    l->targetAttr = attrs;
    for (XmlObject* c : attrs ? x->attrs : x->children)
        if (q.Matches(c)) l->items.push_back(c);
    return Value::Obj(l);
}

XQuery Any(bool attribute) {
    XQuery q;
    q.attribute = attribute;
    return q;
}

Value Attribute(Machine& m, Value self, Args args, int argc) {
    return ListOf(m, Self(m, self), QueryOfValue(m, Arg(args, argc, 0), true), true);
}
Value Attributes(Machine& m, Value self, Args, int) { return ListOf(m, Self(m, self), Any(true), true); }
Value Children(Machine& m, Value self, Args, int) { return ListOf(m, Self(m, self), Any(false), false); }
Value Child(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    Value v = Arg(args, argc, 0);
    uint32_t index;
    if (v.IsNumber() && m.IsIndexKey(v, &index)) {
        XmlListObject* l = NewXmlList(m, x);
        if (index < x->children.size()) l->items.push_back(x->children[index]);
        return Value::Obj(l);
    }
    XQuery q = QueryOfValue(m, v, false);
    return ListOf(m, x, q, q.attribute);
}
Value Elements(Machine& m, Value self, Args args, int argc) {
    XQuery q = argc ? QueryOfValue(m, args[0], false) : Any(false);
    if (!q.local) {
        q.local = nullptr;
        XmlObject* x = Self(m, self);
        XmlListObject* l = NewXmlList(m, x);
        for (XmlObject* c : x->children)
            if (c->IsElement() && q.Matches(c)) l->items.push_back(c);
        return Value::Obj(l);
    }
    return ListOf(m, Self(m, self), q, false);
}
Value KindList(Machine& m, Value self, XKind kind, String* name) {
    XmlObject* x = Self(m, self);
    XmlListObject* l = NewXmlList(m, x);
    for (XmlObject* c : x->children)
        if (c->node == kind && (!name || name->text == "*" || c->local == name)) l->items.push_back(c);
    return Value::Obj(l);
}
Value Comments(Machine& m, Value self, Args, int) { return KindList(m, self, XKind::Comment, nullptr); }
Value Text(Machine& m, Value self, Args, int) { return KindList(m, self, XKind::Text, nullptr); }
Value Instructions(Machine& m, Value self, Args args, int argc) {
    return KindList(m, self, XKind::Instruction, argc ? m.Intern(m.ToString(args[0])) : nullptr);
}

Value Descendants(Machine& m, Value self, Args args, int argc) {
    XQuery q = argc ? QueryOfValue(m, args[0], false) : Any(false);
    XmlListObject* out = NewXmlList(m);
    CollectDescendants({Self(m, self)}, q, out);
    return Value::Obj(out);
}

Value AppendChild(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    Value v = Arg(args, argc, 0);
    if (!IsXml(v) && !IsXmlList(v)) v = Value::Obj(ToXmlNode(m, v));
    if (x->IsElement()) XmlInsertAt(m, x, x->children.size(), v);
    return self;
}
Value PrependChild(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    Value v = Arg(args, argc, 0);
    if (!IsXml(v) && !IsXmlList(v)) v = Value::Obj(ToXmlNode(m, v));
    if (x->IsElement()) XmlInsertAt(m, x, 0, v);
    return self;
}

long IndexIn(XmlObject* x, const Value& child) {
    XmlObject* c = IsXml(child) ? AsXml(child) : IsXmlList(child) && AsList(child)->items.size() == 1 ? AsList(child)->items[0] : nullptr;
    auto it = std::find(x->children.begin(), x->children.end(), c);
    return c && it != x->children.end() ? long(it - x->children.begin()) : -1;
}

Value InsertChild(Machine& m, Value self, Args args, int argc, bool after) {
    XmlObject* x = Self(m, self);
    if (!x->IsElement()) return Value::Undefined();
    Value ref = Arg(args, argc, 0), v = Arg(args, argc, 1);
    if (!IsXml(v) && !IsXmlList(v)) v = Value::Obj(ToXmlNode(m, v));
    if (ref.IsNullish()) {
        XmlInsertAt(m, x, after ? 0 : x->children.size(), v);
        return self;
    }
    long at = IndexIn(x, ref);
    if (at < 0) return Value::Undefined();
    XmlInsertAt(m, x, size_t(at + (after ? 1 : 0)), v);
    return self;
}
Value InsertAfter(Machine& m, Value self, Args args, int argc) { return InsertChild(m, self, args, argc, true); }
Value InsertBefore(Machine& m, Value self, Args args, int argc) { return InsertChild(m, self, args, argc, false); }

Value ChildIndex(Machine& m, Value self, Args, int) {
    XmlObject* x = Self(m, self);
    if (!x->parent || x->node == XKind::Attribute) return Value::Int(-1);
    return Value::Int(int32_t(IndexIn(x->parent, self)));
}
Value Copy(Machine& m, Value self, Args, int) { return Value::Obj(DeepCopy(m, Self(m, self))); }
Value Contains(Machine& m, Value self, Args args, int argc) { return Value::Bool(m.LooseEquals(self, Arg(args, argc, 0))); }
Value SimpleContent(Machine& m, Value self, Args, int) { return Value::Bool(HasSimpleContent(Self(m, self))); }
Value ComplexContent(Machine& m, Value self, Args, int) {
    XmlObject* x = Self(m, self);
    if (!x->IsElement()) return Value::Bool(false);
    for (XmlObject* c : x->children)
        if (c->IsElement()) return Value::Bool(true);
    return Value::Bool(false);
}
Value Length(Machine&, Value, Args, int) { return Value::Int(1); }
Value LocalName(Machine& m, Value self, Args, int) {
    XmlObject* x = Self(m, self);
    return x->local && x->node != XKind::Text && x->node != XKind::Comment ? Value::Str(x->local) : Value::Null();
}

Value MakeQName(Machine& m, String* uri, String* local) {
    Value a[2] = {Value::Str(uri ? uri : m.Intern("")), Value::Str(local)};
    return m.Construct(Value::Obj(m.qnameClass), a, 2);
}
Value MakeNamespace(Machine& m, String* prefix, String* uri) {
    if (!prefix) {
        Value a[1] = {Value::Str(uri)};
        return m.Construct(Value::Obj(m.namespaceClass), a, 1);
    }
    Value a[2] = {Value::Str(prefix), Value::Str(uri)};
    return m.Construct(Value::Obj(m.namespaceClass), a, 2);
}

Value NameOf(Machine& m, Value self, Args, int) {
    XmlObject* x = Self(m, self);
    if (x->node == XKind::Text || x->node == XKind::Comment || !x->local) return Value::Null();
    return MakeQName(m, x->node == XKind::Instruction ? m.Intern("") : x->uri, x->local);
}

std::vector<XNs> InScope(XmlObject* x) {
    std::vector<XNs> out;
    for (XmlObject* e = x; e; e = e->parent)
        for (const XNs& d : e->decls) {
            bool shadowed = false;
            for (const XNs& o : out)
                if (o.prefix && d.prefix && o.prefix->text == d.prefix->text) shadowed = true;
            if (!shadowed) out.push_back(d);
        }
    return out;
}

Value NamespaceOfNode(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    std::vector<XNs> scope = InScope(x->node == XKind::Attribute && x->parent ? x->parent : x);
    if (argc && !args[0].IsUndefined()) {
        std::string p = m.ToStdString(args[0]);
        for (const XNs& d : scope)
            if (d.prefix && d.prefix->text == p) return MakeNamespace(m, d.prefix, d.uri);
        return Value::Undefined();
    }
    if (x->node == XKind::Text || x->node == XKind::Comment || x->node == XKind::Instruction) return Value::Null();
    String* uri = x->uri ? x->uri : m.Intern("");
    for (const XNs& d : scope)
        if (d.uri->text == uri->text && (!x->prefix || (d.prefix && d.prefix->text == x->prefix->text)))
            return MakeNamespace(m, d.prefix, d.uri);
    return MakeNamespace(m, uri->text.empty() ? m.Intern("") : x->prefix, uri);
}

Value NsArray(Machine& m, const std::vector<XNs>& list) {
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    for (const XNs& d : list) a->items.push_back(MakeNamespace(m, d.prefix, d.uri));
    return Value::Obj(a);
}
Value InScopeNamespaces(Machine& m, Value self, Args, int) {
    std::vector<XNs> s = InScope(Self(m, self));
    if (s.empty()) s.push_back({m.Intern(""), m.Intern("")});
    return NsArray(m, s);
}
Value NamespaceDeclarations(Machine& m, Value self, Args, int) { return NsArray(m, Self(m, self)->decls); }

XNs NsParts(Machine& m, const Value& v) {
    if (v.IsObject() && v.o->kind == ObjKind::Namespace) {
        Value p = m.GetPublic(v, "prefix");
        return {p.IsUndefined() ? nullptr : m.Intern(m.ToString(p)), m.Intern(m.ToString(m.GetPublic(v, "uri")))};
    }
    if (v.IsObject() && v.o->kind == ObjKind::QName) {
        Value u = m.GetPublic(v, "uri");
        return {nullptr, m.Intern(u.IsNull() ? std::string() : m.ToStdString(u))};
    }
    return {nullptr, m.Intern(m.ToString(v))};
}

Value AddNamespace(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    if (!x->IsElement()) return self;
    XNs d = NsParts(m, Arg(args, argc, 0));
    if (!d.prefix) d.prefix = d.uri->text.empty() ? m.Intern("") : nullptr;
    if (!d.prefix) return self;
    for (XNs& e : x->decls)
        if (e.prefix->text == d.prefix->text) {
            e.uri = d.uri;
            return self;
        }
    x->decls.push_back(d);
    return self;
}
Value RemoveNamespace(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    XNs d = NsParts(m, Arg(args, argc, 0));
    x->decls.erase(std::remove_if(x->decls.begin(), x->decls.end(),
                                  [&](const XNs& e) {
                                      return e.uri->text == d.uri->text && (!d.prefix || e.prefix->text == d.prefix->text);
                                  }),
                   x->decls.end());
    return self;
}

Value NodeKind(Machine& m, Value self, Args, int) {
    static const char* const kinds[] = {"element", "text", "comment", "processing-instruction", "attribute"};
    return Value::Str(m.Intern(kinds[int(Self(m, self)->node)]));
}

void Normalize(Machine& m, XmlObject* x) {
    std::vector<XmlObject*> kept;
    for (XmlObject* c : x->children) {
        if (c->IsElement()) Normalize(m, c);
        if (c->node == XKind::Text && !kept.empty() && kept.back()->node == XKind::Text) {
            kept.back()->value = m.Str(kept.back()->value->text + c->value->text);
            c->parent = nullptr;
            continue;
        }
        kept.push_back(c);
    }
    x->children.clear();
    for (XmlObject* c : kept) {
        if (c->node == XKind::Text && c->value->text.empty()) c->parent = nullptr;
        else x->children.push_back(c);
    }
}
Value NormalizeFn(Machine& m, Value self, Args, int) {
    Normalize(m, Self(m, self));
    return self;
}
Value Parent(Machine& m, Value self, Args, int) {
    XmlObject* p = Self(m, self)->parent;
    return p ? Value::Obj(p) : Value::Undefined();
}
Value PropertyIsEnumerable(Machine& m, Value, Args args, int argc) {
    return Value::Bool(m.ToStdString(Arg(args, argc, 0)) == "0");
}
Value HasOwn(Machine& m, Value self, Args args, int argc) {
    Value key = Arg(args, argc, 0);
    Name n = m.PublicName(m.Intern(m.ToString(key)));
    n.hasKey = true;
    n.key = key;
    return Value::Bool(XmlHas(m, Self(m, self), n));
}

Value Replace(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    if (!x->IsElement()) return self;
    Value name = Arg(args, argc, 0), v = Arg(args, argc, 1);
    if (IsXml(v)) v = Value::Obj(DeepCopy(m, AsXml(v)));
    else if (!IsXmlList(v)) v = Value::Str(m.ToString(v));
    TempRoot keep(m, v);
    uint32_t index;
    if (m.IsIndexKey(name, &index)) {
        if (index < x->children.size()) XmlReplaceAt(m, x, index, v);
        return self;
    }
    XQuery q = QueryOfValue(m, name, false);
    long at = -1;
    for (long k = long(x->children.size()) - 1; k >= 0; --k) {
        if (!q.Matches(x->children[size_t(k)])) continue;
        if (at >= 0) {
            x->children[size_t(at)]->parent = nullptr;
            x->children.erase(x->children.begin() + at);
        }
        at = k;
    }
    if (at >= 0) XmlReplaceAt(m, x, size_t(at), v);
    return self;
}

Value SetChildren(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    if (!x->IsElement()) return self;
    Value v = Arg(args, argc, 0);
    for (XmlObject* c : x->children) c->parent = nullptr;
    x->children.clear();
    if (IsXml(v) || IsXmlList(v)) XmlInsertAt(m, x, 0, v);
    else if (String* s = m.ToString(v); !s->text.empty()) XmlReplaceAt(m, x, 0, Value::Str(s));
    return self;
}

Value SetLocalName(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    Value v = Arg(args, argc, 0);
    if (x->node == XKind::Text || x->node == XKind::Comment) return Value::Undefined();
    x->local = v.IsObject() && v.o->kind == ObjKind::QName ? QNameOf(m, v).local : m.Intern(m.ToString(v));
    return Value::Undefined();
}
Value SetName(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    Value v = Arg(args, argc, 0);
    if (x->node == XKind::Text || x->node == XKind::Comment) return Value::Undefined();
    if (v.IsObject() && v.o->kind == ObjKind::QName) {
        QNameParts p = QNameOf(m, v);
        x->local = p.local;
        x->uri = p.ns ? p.ns->uri : m.Intern("");
    } else {
        x->local = m.Intern(m.ToString(v));
        x->uri = m.Intern("");
    }
    x->prefix = nullptr;
    return Value::Undefined();
}
Value SetNamespace(Machine& m, Value self, Args args, int argc) {
    XmlObject* x = Self(m, self);
    if (!x->IsElement() && x->node != XKind::Attribute) return Value::Undefined();
    XNs d = NsParts(m, Arg(args, argc, 0));
    x->uri = d.uri;
    x->prefix = d.prefix;
    XmlObject* holder = x->node == XKind::Attribute ? x->parent : x;
    if (holder && d.prefix) {
        bool known = false;
        for (const XNs& e : holder->decls)
            if (e.prefix->text == d.prefix->text && e.uri->text == d.uri->text) known = true;
        if (!known) holder->decls.push_back(d);
    }
    return Value::Undefined();
}

Value ToStringFn(Machine& m, Value self, Args, int) {
    if (self.IsObject() && self.o == m.xmlClass->prototype) return Value::Str(m.Intern(""));
    return Value::Str(m.Str(XmlString(m, Self(m, self))));
}
Value ToXmlStringFn(Machine& m, Value self, Args, int) { return Value::Str(m.Str(ToXmlString(m, Self(m, self)))); }
Value ToJson(Machine& m, Value, Args, int) { return Value::Str(m.Intern("XML")); }
Value ValueOf(Machine&, Value self, Args, int) { return self; }

// Settings, on the class.
Value SettingsObject(Machine& m, const XmlSettings& s) {
    Object* o = m.NewObject();
    TempRoot keep(m, Value::Obj(o));
    m.SetPublic(Value::Obj(o), "ignoreComments", Value::Bool(s.ignoreComments));
    m.SetPublic(Value::Obj(o), "ignoreProcessingInstructions", Value::Bool(s.ignorePIs));
    m.SetPublic(Value::Obj(o), "ignoreWhitespace", Value::Bool(s.ignoreWhitespace));
    m.SetPublic(Value::Obj(o), "prettyIndent", Value::Int(s.prettyIndent));
    m.SetPublic(Value::Obj(o), "prettyPrinting", Value::Bool(s.prettyPrinting));
    return Value::Obj(o);
}
Value GetSettings(Machine& m, Value, Args, int) { return SettingsObject(m, Settings(m)); }
Value DefaultSettings(Machine& m, Value, Args, int) { return SettingsObject(m, XmlSettings{}); }
Value SetSettings(Machine& m, Value, Args args, int argc) {
    Value o = Arg(args, argc, 0);
    XmlSettings& s = Settings(m);
    if (o.IsNullish()) {
        s = XmlSettings{};
        return Value::Undefined();
    }
    if (!o.IsObject()) return Value::Undefined();
    auto flag = [&](const char* name, bool& out) {
        Value v = m.GetPublic(o, name);
        if (v.IsBool()) out = v.b;
    };
    flag("ignoreComments", s.ignoreComments);
    flag("ignoreProcessingInstructions", s.ignorePIs);
    flag("ignoreWhitespace", s.ignoreWhitespace);
    flag("prettyPrinting", s.prettyPrinting);
    Value indent = m.GetPublic(o, "prettyIndent");
    if (indent.IsNumber()) s.prettyIndent = m.ToInt32(indent);
    return Value::Undefined();
}

#define XML_FLAG(Getter, Setter, field)                                                                        \
    Value Getter(Machine& m, Value, Args, int) { return Value::Bool(Settings(m).field); }                    \
    Value Setter(Machine& m, Value, Args args, int argc) {                                                    \
        Settings(m).field = m.ToBoolean(Arg(args, argc, 0));                                                  \
        return Value::Undefined();                                                                            \
    }
XML_FLAG(GetIgnoreComments, SetIgnoreComments, ignoreComments)
XML_FLAG(GetIgnorePIs, SetIgnorePIs, ignorePIs)
XML_FLAG(GetIgnoreWhitespace, SetIgnoreWhitespace, ignoreWhitespace)
XML_FLAG(GetPrettyPrinting, SetPrettyPrinting, prettyPrinting)
#undef XML_FLAG
Value GetPrettyIndent(Machine& m, Value, Args, int) { return Value::Int(Settings(m).prettyIndent); }
Value SetPrettyIndent(Machine& m, Value, Args args, int argc) {
    Settings(m).prettyIndent = m.ToInt32(Arg(args, argc, 0));
    return Value::Undefined();
}

}  // namespace

const XmlMethod* XmlMethods(size_t* count) {
    static const XmlMethod table[] = {
        {"addNamespace", AddNamespace, 1, false},     {"appendChild", AppendChild, 1, false},
        {"attribute", Attribute, 1, true},            {"attributes", Attributes, 0, true},
        {"child", Child, 1, true},                    {"childIndex", ChildIndex, 0, false},
        {"children", Children, 0, true},              {"comments", Comments, 0, true},
        {"contains", Contains, 1, false},             {"copy", Copy, 0, false},
        {"descendants", Descendants, 1, true},        {"elements", Elements, 1, true},
        {"hasComplexContent", ComplexContent, 0, false}, {"hasSimpleContent", SimpleContent, 0, false},
        {"inScopeNamespaces", InScopeNamespaces, 0, false}, {"insertChildAfter", InsertAfter, 2, false},
        {"insertChildBefore", InsertBefore, 2, false}, {"length", Length, 0, false},
        {"localName", LocalName, 0, false},           {"name", NameOf, 0, false},
        {"namespace", NamespaceOfNode, 1, false},     {"namespaceDeclarations", NamespaceDeclarations, 0, false},
        {"nodeKind", NodeKind, 0, false},             {"normalize", NormalizeFn, 0, false},
        {"parent", Parent, 0, false},                 {"prependChild", PrependChild, 1, false},
        {"processingInstructions", Instructions, 1, true}, {"propertyIsEnumerable", PropertyIsEnumerable, 1, false},
        {"removeNamespace", RemoveNamespace, 1, false}, {"replace", Replace, 2, false},
        {"setChildren", SetChildren, 1, false},       {"setLocalName", SetLocalName, 1, false},
        {"setName", SetName, 1, false},               {"setNamespace", SetNamespace, 1, false},
        {"text", Text, 0, true},                      {"toString", ToStringFn, 0, false},
        {"toXMLString", ToXmlStringFn, 0, false},     {"toJSON", ToJson, 1, false},
        {"valueOf", ValueOf, 0, false},               {"hasOwnProperty", HasOwn, 1, false},
    };
    *count = sizeof(table) / sizeof(table[0]);
    return table;
}

void InstallXml(Machine& m) {
    ClassObject* c = m.DefineClass("", "XML", m.objectClass, AllocXml, true);
    m.xmlClass = c;
    c->isFinal = true;
    c->init = m.NewNativeMethod("XML", XmlInit, 1);
    c->call = XmlCallAsFunction;
    Settings(m) = XmlSettings{};
    size_t count = 0;
    const XmlMethod* table = XmlMethods(&count);
    for (size_t i = 0; i < count; ++i) m.DefineMethod(c, table[i].name, table[i].fn, table[i].length);
    m.DefineStaticGetter(c, "ignoreComments", GetIgnoreComments, SetIgnoreComments);
    m.DefineStaticGetter(c, "ignoreProcessingInstructions", GetIgnorePIs, SetIgnorePIs);
    m.DefineStaticGetter(c, "ignoreWhitespace", GetIgnoreWhitespace, SetIgnoreWhitespace);
    m.DefineStaticGetter(c, "prettyPrinting", GetPrettyPrinting, SetPrettyPrinting);
    m.DefineStaticGetter(c, "prettyIndent", GetPrettyIndent, SetPrettyIndent);
    // The settings methods answer in the AS3 namespace as well.
    Traits* statics = const_cast<Traits*>(c->traits);
    for (auto [name, fn, length] : {std::tuple<const char*, NativeFn, int>{"settings", GetSettings, 0},
                                    {"setSettings", SetSettings, 1}, {"defaultSettings", DefaultSettings, 0}}) {
        m.DefineStatic(c, name, fn, length);
        const Binding b = *statics->FindExact(m.Intern(name), m.publicNs);
        statics->Add(m.Intern(name), m.as3Ns) = b;
    }
    m.DefineConstant(c, "length", Value::Int(1));
    InstallXmlList(m);
    InstallXmlDocument(m);
}

}  // namespace swf::avm2
