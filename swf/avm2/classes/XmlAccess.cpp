// Reading, writing and deleting names on XML values, and converting
// values to XML.
#include <algorithm>

#include "swf/avm2/classes/XmlModel.h"

namespace swf::avm2 {

namespace {

bool IndexOf(Machine& m, const Name& n, uint32_t* index) {
    return n.hasKey && !n.attribute && m.IsIndexKey(n.key, index);
}

void SetTarget(XmlListObject* l, const XQuery& q) {
    l->targetLocal = q.local;
    l->targetUri = q.anyNs || q.uris.empty() ? nullptr : q.uris[0];
    l->targetAttr = q.attribute;
}

void GetInto(XmlObject* x, const XQuery& q, XmlListObject* out) {
    if (q.attribute) {
        for (XmlObject* a : x->attrs)
            if (q.Matches(a)) out->items.push_back(a);
        return;
    }
    for (XmlObject* c : x->children)
        if (q.Matches(c)) out->items.push_back(c);
}

// Trees stay shallow enough for the printer and the copier, which recurse.
constexpr size_t kMaxTreeDepth = 2048;

void CheckDepth(Machine& m, XmlObject* x, XmlObject* c) {
    size_t depth = 0;
    for (XmlObject* p = x; p; p = p->parent) {
        if (p == c) m.TypeError(1118, "Illegal cyclical loop between nodes.");
        ++depth;
    }
    std::vector<std::pair<XmlObject*, size_t>> stack{{c, depth + 1}};
    while (!stack.empty()) {
        auto [n, d] = stack.back();
        stack.pop_back();
        if (d > kMaxTreeDepth) m.TypeError(1090, "XML parser failure: element is malformed.");
        for (XmlObject* k : n->children) stack.push_back({k, d + 1});
    }
}

void Detach(XmlObject* x) {
    x->parent = nullptr;
}

// The list's single target node, made when the list came from a name that
// matched nothing yet (x.a.b = v makes <a/> in x).
XmlObject* ResolveTarget(Machine& m, XmlListObject* l) {
    if (!l->items.empty()) return l->items.size() == 1 ? l->items[0] : nullptr;
    if (!l->target || !l->targetLocal || l->targetAttr) return nullptr;
    XmlObject* base = nullptr;
    if (l->target->kind == ObjKind::XmlList) base = ResolveTarget(m, static_cast<XmlListObject*>(l->target));
    else base = static_cast<XmlObject*>(l->target);
    if (!base || !base->IsElement()) return nullptr;
    XmlObject* e = NewXml(m, XKind::Element);
    e->local = l->targetLocal;
    e->uri = l->targetUri ? l->targetUri : m.Intern("");
    e->parent = base;
    base->children.push_back(e);
    l->items.push_back(e);
    return e;
}

}  // namespace

void Append(XmlListObject* l, const Value& v) {
    if (IsXml(v)) l->items.push_back(AsXml(v));
    else if (IsXmlList(v))
        for (XmlObject* x : AsList(v)->items) l->items.push_back(x);
}

String* TextValue(Machine& m, const Value& v) {
    if (IsXml(v)) return m.Str(XmlString(m, AsXml(v)));
    if (IsXmlList(v)) return m.Str(XmlListString(m, AsList(v)));
    return m.ToString(v);
}

Value XmlGet(Machine& m, Object* o, const Name& n) {
    uint32_t index;
    if (IndexOf(m, n, &index)) {
        if (o->kind == ObjKind::Xml) return index == 0 ? Value::Obj(o) : Value::Undefined();
        auto* l = static_cast<XmlListObject*>(o);
        return index < l->items.size() ? Value::Obj(l->items[index]) : Value::Undefined();
    }
    XQuery q = QueryOf(m, n);
    XmlListObject* out = NewXmlList(m, o);
    SetTarget(out, q);
    if (o->kind == ObjKind::Xml) {
        GetInto(static_cast<XmlObject*>(o), q, out);
    } else {
        for (XmlObject* x : static_cast<XmlListObject*>(o)->items)
            if (x->IsElement()) GetInto(x, q, out);
    }
    return Value::Obj(out);
}

void XmlReplaceAt(Machine& m, XmlObject* x, size_t i, const Value& v) {
    if (i > x->children.size()) i = x->children.size();
    if (IsXmlList(v)) {
        std::vector<XmlObject*> items = AsList(v)->items;
        if (i < x->children.size()) {
            Detach(x->children[i]);
            x->children.erase(x->children.begin() + long(i));
        }
        for (size_t k = 0; k < items.size(); ++k) {
            CheckDepth(m, x, items[k]);
            items[k]->parent = x;
            x->children.insert(x->children.begin() + long(i + k), items[k]);
        }
        return;
    }
    XmlObject* c;
    if (IsXml(v) && AsXml(v)->node != XKind::Attribute) {
        c = AsXml(v);
    } else {
        c = NewXml(m, XKind::Text);
        c->value = TextValue(m, v);
    }
    CheckDepth(m, x, c);
    // A node moved from elsewhere in this element leaves its old place.
    if (c->parent == x) {
        auto it = std::find(x->children.begin(), x->children.end(), c);
        if (it != x->children.end() && size_t(it - x->children.begin()) != i) {
            size_t at = size_t(it - x->children.begin());
            x->children.erase(it);
            if (at < i) --i;
        }
    }
    c->parent = x;
    if (i < x->children.size()) {
        if (x->children[i] != c) Detach(x->children[i]);
        x->children[i] = c;
    } else {
        x->children.push_back(c);
    }
}

void XmlInsertAt(Machine& m, XmlObject* x, size_t i, const Value& v) {
    if (i > x->children.size()) i = x->children.size();
    std::vector<XmlObject*> items;
    if (IsXmlList(v)) {
        items = AsList(v)->items;
    } else if (IsXml(v)) {
        items.push_back(AsXml(v));
    } else {
        XmlObject* t = NewXml(m, XKind::Text);
        t->value = m.ToString(v);
        items.push_back(t);
    }
    for (size_t k = 0; k < items.size(); ++k) {
        XmlObject* c = items[k];
        CheckDepth(m, x, c);
        c->parent = x;
        x->children.insert(x->children.begin() + long(i + k), c);
    }
}

void XmlPut(Machine& m, Object* o, const Name& n, const Value& v) {
    uint32_t index;
    if (o->kind == ObjKind::XmlList) {
        auto* l = static_cast<XmlListObject*>(o);
        if (IndexOf(m, n, &index)) {
            if (index < l->items.size()) {
                XmlObject* old = l->items[index];
                if (old->parent) {
                    auto& kids = old->parent->children;
                    auto it = std::find(kids.begin(), kids.end(), old);
                    if (it != kids.end()) {
                        XmlObject* parent = old->parent;
                        size_t at = size_t(it - kids.begin());
                        Value put = IsXml(v) || IsXmlList(v) ? v : Value::Str(m.ToString(v));
                        XmlReplaceAt(m, parent, at, put);
                        if (at < parent->children.size()) l->items[index] = parent->children[at];
                        return;
                    }
                }
                if (IsXml(v)) l->items[index] = AsXml(v);
                else if (old->IsElement()) {
                    for (XmlObject* c : old->children) Detach(c);
                    old->children.clear();
                    XmlReplaceAt(m, old, 0, Value::Str(m.ToString(v)));
                }
                return;
            }
            XmlObject* base = l->target && l->target->kind == ObjKind::Xml ? static_cast<XmlObject*>(l->target)
                              : l->target ? ResolveTarget(m, static_cast<XmlListObject*>(l->target)) : nullptr;
            if (base && l->targetLocal) {
                XmlObject* e = NewXml(m, XKind::Element);
                e->local = l->targetLocal;
                e->uri = l->targetUri ? l->targetUri : m.Intern("");
                Value val = IsXml(v) ? v : Value::Obj(e);
                XmlInsertAt(m, base, base->children.size(), val);
                if (!IsXml(v)) XmlReplaceAt(m, e, 0, Value::Str(m.ToString(v)));
                l->items.push_back(AsXml(val));
            } else if (IsXml(v)) {
                l->items.push_back(AsXml(v));
            }
            return;
        }
        if (l->items.size() > 1) m.TypeError(1089, "Assignment to lists with more than one item is not supported.");
        XmlObject* one = ResolveTarget(m, l);
        if (one) XmlPut(m, one, n, v);
        return;
    }
    auto* x = static_cast<XmlObject*>(o);
    if (IndexOf(m, n, &index)) m.TypeError(1087, "Assignment to indexed XML is not allowed.");
    if (!x->IsElement()) return;
    XQuery q = QueryOf(m, n);
    if (q.attribute) {
        std::string text;
        if (IsXmlList(v)) {
            for (size_t i = 0; i < AsList(v)->items.size(); ++i)
                text += (i ? " " : "") + XmlString(m, AsList(v)->items[i]);
        } else {
            text = TextValue(m, v)->text;
        }
        XmlObject* found = nullptr;
        for (size_t i = 0; i < x->attrs.size();) {
            if (q.Matches(x->attrs[i])) {
                if (!found) {
                    found = x->attrs[i++];
                    continue;
                }
                Detach(x->attrs[i]);
                x->attrs.erase(x->attrs.begin() + long(i));
            } else {
                ++i;
            }
        }
        if (!found) {
            if (!q.local) return;
            found = NewXml(m, XKind::Attribute);
            found->local = q.local;
            found->uri = q.anyNs || q.uris.empty() ? m.Intern("") : q.uris[0];
            found->parent = x;
            x->attrs.push_back(found);
        }
        found->value = m.Str(text);
        return;
    }
    Value c = v;
    if (IsXml(v) && (AsXml(v)->node == XKind::Text || AsXml(v)->node == XKind::Attribute))
        c = Value::Str(TextValue(m, v));
    else if (IsXml(v)) c = Value::Obj(DeepCopy(m, AsXml(v)));
    else if (IsXmlList(v)) {
        XmlListObject* copy = NewXmlList(m);
        for (XmlObject* i : AsList(v)->items) copy->items.push_back(DeepCopy(m, i));
        c = Value::Obj(copy);
    } else {
        c = Value::Str(m.ToString(v));
    }
    TempRoot keep(m, c);
    const bool primitive = c.IsString() && q.local;
    long at = -1;
    for (long k = long(x->children.size()) - 1; k >= 0; --k) {
        if (!q.Matches(x->children[size_t(k)])) continue;
        if (at >= 0) {
            Detach(x->children[size_t(at)]);
            x->children.erase(x->children.begin() + at);
        }
        at = k;
    }
    if (at < 0) {
        at = long(x->children.size());
        if (primitive) {
            XmlObject* e = NewXml(m, XKind::Element);
            e->local = q.local;
            e->uri = q.anyNs || q.uris.empty() ? m.Intern("") : q.uris[0];
            XmlReplaceAt(m, x, size_t(at), Value::Obj(e));
        }
    }
    if (primitive) {
        XmlObject* e = x->children[size_t(at)];
        for (XmlObject* k : e->children) Detach(k);
        e->children.clear();
        if (!c.s->text.empty()) XmlReplaceAt(m, e, 0, c);
        return;
    }
    XmlReplaceAt(m, x, size_t(at), c);
}

bool XmlDelete(Machine& m, Object* o, const Name& n) {
    uint32_t index;
    if (o->kind == ObjKind::XmlList) {
        auto* l = static_cast<XmlListObject*>(o);
        if (IndexOf(m, n, &index)) {
            if (index >= l->items.size()) return true;
            XmlObject* x = l->items[index];
            if (XmlObject* p = x->parent) {
                auto& from = x->node == XKind::Attribute ? p->attrs : p->children;
                from.erase(std::remove(from.begin(), from.end(), x), from.end());
                Detach(x);
            }
            l->items.erase(l->items.begin() + long(index));
            return true;
        }
        for (XmlObject* x : l->items)
            if (x->IsElement()) XmlDelete(m, x, n);
        return true;
    }
    auto* x = static_cast<XmlObject*>(o);
    if (IndexOf(m, n, &index)) m.TypeError(1119, "Delete operator is not supported with operand of type XML.");
    XQuery q = QueryOf(m, n);
    auto& from = q.attribute ? x->attrs : x->children;
    for (size_t i = 0; i < from.size();) {
        if (q.Matches(from[i])) {
            Detach(from[i]);
            from.erase(from.begin() + long(i));
        } else {
            ++i;
        }
    }
    return true;
}

bool XmlHas(Machine& m, Object* o, const Name& n) {
    uint32_t index;
    if (IndexOf(m, n, &index))
        return o->kind == ObjKind::Xml ? index == 0 : index < static_cast<XmlListObject*>(o)->items.size();
    XQuery q = QueryOf(m, n);
    XmlListObject probe(nullptr, nullptr);
    if (o->kind == ObjKind::Xml) GetInto(static_cast<XmlObject*>(o), q, &probe);
    else
        for (XmlObject* x : static_cast<XmlListObject*>(o)->items)
            if (x->IsElement()) GetInto(x, q, &probe);
    return !probe.items.empty();
}

XmlObject* ToXmlNode(Machine& m, const Value& v) {
    if (IsXml(v)) return AsXml(v);
    if (IsXmlList(v)) {
        if (AsList(v)->items.size() == 1) return AsList(v)->items[0];
        m.TypeError(1088, "The markup in the document following the root element must be well-formed.");
    }
    if (v.IsNullish()) {
        XmlObject* t = NewXml(m, XKind::Text);
        t->value = m.Intern("");
        return t;
    }
    std::string text = m.ToStdString(v);
    XmlObject* holder = ParseMarkup(m, text);
    if (holder->children.empty()) {
        XmlObject* t = NewXml(m, XKind::Text);
        t->value = m.Intern("");
        return t;
    }
    if (holder->children.size() > 1)
        m.TypeError(1088, "The markup in the document following the root element must be well-formed.");
    return holder->children[0];
}

XmlListObject* ToXmlListValue(Machine& m, const Value& v) {
    XmlListObject* l = NewXmlList(m);
    if (IsXmlList(v)) {
        l->items = AsList(v)->items;
        return l;
    }
    if (IsXml(v)) {
        l->items.push_back(AsXml(v));
        return l;
    }
    if (v.IsNullish()) return l;
    TempRoot keep(m, Value::Obj(l));
    XmlObject* holder = ParseMarkup(m, m.ToStdString(v));
    l->items = holder->children;
    return l;
}

}  // namespace swf::avm2
