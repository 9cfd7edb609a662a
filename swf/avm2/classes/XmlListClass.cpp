// The XMLList class, calls and comparisons on XML values, and the
// descendants operator.
#include <cstring>

#include "swf/avm2/classes/XmlModel.h"

namespace swf::avm2 {

namespace {

XmlListObject* Self(Machine& m, const Value& self) {
    if (!IsXmlList(self)) m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(self) + " to XMLList.");
    return AsList(self);
}

Object* AllocList(Machine& m, ClassObject* c) { return m.New<XmlListObject>(c, c->prototype); }

Value ListInit(Machine& m, Value self, Args args, int argc) {
    XmlListObject* from = ToXmlListValue(m, Arg(args, argc, 0));
    AsList(self)->items = from->items;
    return Value::Undefined();
}

Value ListCallAsFunction(Machine& m, Value, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (IsXmlList(v)) return v;
    return Value::Obj(ToXmlListValue(m, v));
}

// Calls the XML method `index` on each item and joins the lists they give.
template <size_t index>
Value PerItem(Machine& m, Value self, Args args, int argc) {
    size_t count;
    const XmlMethod& method = XmlMethods(&count)[index];
    XmlListObject* l = Self(m, self);
    XmlListObject* out = NewXmlList(m, l);
    TempRoot keep(m, Value::Obj(out));
    for (size_t i = 0; i < l->items.size(); ++i) {
        XmlObject* x = l->items[i];
        if (!x->IsElement()) continue;
        Append(out, method.fn(m, Value::Obj(x), args, argc));
    }
    return Value::Obj(out);
}

// Calls the XML method `index` on the list's one item.
template <size_t index>
Value OnOne(Machine& m, Value self, Args args, int argc) {
    size_t count;
    const XmlMethod& method = XmlMethods(&count)[index];
    XmlListObject* l = Self(m, self);
    if (l->items.size() != 1)
        m.TypeError(1086, std::string("The ") + method.name + " method only works on lists containing one item.");
    return method.fn(m, Value::Obj(l->items[0]), args, argc);
}

template <size_t... I>
void DefineAll(Machine& m, ClassObject* c, std::index_sequence<I...>) {
    size_t count;
    const XmlMethod* table = XmlMethods(&count);
    ((I < count ? m.DefineMethod(c, table[I].name, table[I].perItem ? PerItem<I> : OnOne<I>, table[I].length)
                : void()),
     ...);
}

Value Length(Machine& m, Value self, Args, int) { return Value::Int(int32_t(Self(m, self)->items.size())); }
Value ToStringFn(Machine& m, Value self, Args, int) {
    if (self.IsObject() && self.o == m.xmlListClass->prototype) return Value::Str(m.Intern(""));
    return Value::Str(m.Str(XmlListString(m, Self(m, self))));
}
Value ToXmlStringFn(Machine& m, Value self, Args, int) { return Value::Str(m.Str(ToXmlListString(m, Self(m, self)))); }
Value Copy(Machine& m, Value self, Args, int) {
    XmlListObject* l = Self(m, self);
    XmlListObject* out = NewXmlList(m, l->target);
    TempRoot keep(m, Value::Obj(out));
    for (XmlObject* x : l->items) out->items.push_back(DeepCopy(m, x));
    return Value::Obj(out);
}
Value Contains(Machine& m, Value self, Args args, int argc) {
    for (XmlObject* x : Self(m, self)->items)
        if (m.LooseEquals(Value::Obj(x), Arg(args, argc, 0))) return Value::Bool(true);
    return Value::Bool(false);
}
Value SimpleContent(Machine& m, Value self, Args, int) {
    XmlListObject* l = Self(m, self);
    if (l->items.size() == 1) return Value::Bool(HasSimpleContent(l->items[0]));
    for (XmlObject* x : l->items)
        if (x->IsElement()) return Value::Bool(false);
    return Value::Bool(true);
}
Value ComplexContent(Machine& m, Value self, Args, int) {
    XmlListObject* l = Self(m, self);
    if (l->items.size() == 1) return m.CallProperty(Value::Obj(l->items[0]), m.PublicName("hasComplexContent"), nullptr, 0);
    for (XmlObject* x : l->items)
        if (x->IsElement()) return Value::Bool(true);
    return Value::Bool(false);
}
Value Normalize(Machine& m, Value self, Args, int) {
    for (XmlObject* x : Self(m, self)->items)
        if (x->IsElement()) m.CallProperty(Value::Obj(x), m.PublicName("normalize"), nullptr, 0);
    return self;
}
Value Parent(Machine& m, Value self, Args, int) {
    XmlListObject* l = Self(m, self);
    if (l->items.empty()) return Value::Undefined();
    XmlObject* p = l->items[0]->parent;
    for (XmlObject* x : l->items)
        if (x->parent != p) return Value::Undefined();
    return p ? Value::Obj(p) : Value::Undefined();
}
Value PropertyIsEnumerable(Machine& m, Value self, Args args, int argc) {
    uint32_t index;
    Value key = Arg(args, argc, 0);
    return Value::Bool(m.IsIndexKey(key.IsString() ? key : Value::Str(m.ToString(key)), &index) &&
                       index < Self(m, self)->items.size());
}
Value HasOwn(Machine& m, Value self, Args args, int argc) {
    Value key = Arg(args, argc, 0);
    Name n = m.PublicName(m.Intern(m.ToString(key)));
    n.hasKey = true;
    n.key = key;
    return Value::Bool(XmlHas(m, Self(m, self), n));
}
Value ToJson(Machine& m, Value, Args, int) { return Value::Str(m.Intern("XMLList")); }
Value ValueOf(Machine&, Value self, Args, int) { return self; }

bool SimpleNode(const XmlObject* x) { return x->node == XKind::Text || x->node == XKind::Attribute; }

}  // namespace

void InstallXmlList(Machine& m) {
    ClassObject* c = m.DefineClass("", "XMLList", m.objectClass, AllocList, true);
    m.xmlListClass = c;
    c->isFinal = true;
    c->init = m.NewNativeMethod("XMLList", ListInit, 1);
    c->call = ListCallAsFunction;
    DefineAll(m, c, std::make_index_sequence<48>());
    using Entry = std::pair<const char*, NativeFn>;
    for (auto [name, fn] : {Entry{"length", Length}, Entry{"toString", ToStringFn}, Entry{"toXMLString", ToXmlStringFn},
                            Entry{"copy", Copy}, Entry{"contains", Contains}, Entry{"hasSimpleContent", SimpleContent},
                            Entry{"hasComplexContent", ComplexContent}, Entry{"normalize", Normalize},
                            Entry{"parent", Parent}, Entry{"propertyIsEnumerable", PropertyIsEnumerable},
                            Entry{"hasOwnProperty", HasOwn}, Entry{"toJSON", ToJson}, Entry{"valueOf", ValueOf}})
        m.DefineMethod(c, name, fn, std::strcmp(name, "length") == 0 ? 0 : 1);
    m.DefineConstant(c, "length", Value::Int(1));
}

Value XmlCall(Machine& m, const Value& obj, const Name& n, Args args, int argc) {
    Object* o = obj.o;
    if (n.name && n.HasPublic())
        for (Object* p = o->proto; p; p = p->proto)
            if (p->dyn)
                if (Value* f = p->dyn->Find(n.name)) return m.Call(*f, obj, args, argc);
    Value got = XmlGet(m, o, n);
    bool simple = o->kind == ObjKind::Xml ? HasSimpleContent(static_cast<XmlObject*>(o))
                                         : static_cast<XmlListObject*>(o)->items.size() == 1 &&
                                               HasSimpleContent(static_cast<XmlListObject*>(o)->items[0]);
    if (IsXmlList(got) && AsList(got)->items.empty() && simple)
        return m.CallProperty(Value::Str(TextValue(m, obj)), n, args, argc);
    m.TypeError(kErrCallOfNonFunction, "value is not a function.");
}

bool XmlEquals(Machine& m, const Value& a, const Value& b) {
    if (IsXmlList(b) && !IsXmlList(a)) return XmlEquals(m, b, a);
    if (IsXmlList(a)) {
        XmlListObject* l = AsList(a);
        if (b.IsUndefined()) return l->items.empty();
        if (IsXmlList(b)) {
            XmlListObject* r = AsList(b);
            if (l->items.size() != r->items.size()) return false;
            for (size_t i = 0; i < l->items.size(); ++i)
                if (!XmlEquals(m, Value::Obj(l->items[i]), Value::Obj(r->items[i]))) return false;
            return true;
        }
        return l->items.size() == 1 && XmlEquals(m, Value::Obj(l->items[0]), b);
    }
    if (IsXml(b) && !IsXml(a)) return XmlEquals(m, b, a);
    XmlObject* x = AsXml(a);
    if (IsXml(b)) {
        XmlObject* y = AsXml(b);
        if ((SimpleNode(x) && HasSimpleContent(y)) || (SimpleNode(y) && HasSimpleContent(x)))
            return XmlString(m, x) == XmlString(m, y);
        return XmlNodesEqual(m, x, y);
    }
    if (b.IsNullish()) return false;
    if (b.IsObject()) return false;
    return m.LooseEquals(Value::Str(TextValue(m, a)), b);
}

Value XmlConcat(Machine& m, const Value& a, const Value& b) {
    XmlListObject* l = NewXmlList(m);
    Append(l, a);
    Append(l, b);
    return Value::Obj(l);
}

void CollectDescendants(const std::vector<XmlObject*>& roots, const XQuery& q, XmlListObject* out) {
    // Document order without recursion, so deep trees cannot overflow.
    std::vector<std::pair<XmlObject*, bool>> stack;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back({*it, true});
    while (!stack.empty()) {
        auto [x, root] = stack.back();
        stack.pop_back();
        if (!root && !q.attribute && q.Matches(x)) out->items.push_back(x);
        if (!x->IsElement()) continue;
        if (q.attribute)
            for (XmlObject* a : x->attrs)
                if (q.Matches(a)) out->items.push_back(a);
        for (auto it = x->children.rbegin(); it != x->children.rend(); ++it) stack.push_back({*it, false});
    }
}

Value XmlDescendants(Machine& m, const Value& obj, const Name& n) {
    if (!IsXml(obj) && !IsXmlList(obj))
        m.TypeError(1016, "Descendants operator (..) not supported on type " + m.TypeName(obj) + ".");
    XmlListObject* out = NewXmlList(m);
    CollectDescendants(IsXml(obj) ? std::vector<XmlObject*>{AsXml(obj)} : AsList(obj)->items, QueryOf(m, n), out);
    return Value::Obj(out);
}

}  // namespace swf::avm2
