// XML nodes: making, copying, matching names, printing and comparing.
#include <algorithm>
#include <map>
#include <mutex>

#include "swf/avm2/classes/XmlModel.h"

namespace swf::avm2 {

void XmlObject::Trace(Tracer& t) {
    Object::Trace(t);
    t.Mark(uri);
    t.Mark(prefix);
    t.Mark(local);
    t.Mark(value);
    t.Mark(parent);
    for (XmlObject* c : children) t.Mark(c);
    for (XmlObject* a : attrs) t.Mark(a);
    for (const XNs& d : decls) {
        t.Mark(d.prefix);
        t.Mark(d.uri);
    }
}

void XmlListObject::Trace(Tracer& t) {
    Object::Trace(t);
    for (XmlObject* x : items) t.Mark(x);
    t.Mark(target);
    t.Mark(targetLocal);
    t.Mark(targetUri);
}

XmlSettings& Settings(Machine& m) {
    // Settings belong to a machine; kept aside so the machine's own layout
    // does not change for them.
    static std::mutex lock;
    static std::map<const Machine*, XmlSettings> all;
    std::lock_guard<std::mutex> hold(lock);
    return all[&m];
}

XmlObject* NewXml(Machine& m, XKind kind) {
    auto* x = m.New<XmlObject>(m.xmlClass, m.xmlClass->prototype);
    x->traits = m.xmlClass->instanceTraits;
    x->node = kind;
    return x;
}

XmlListObject* NewXmlList(Machine& m, Object* target) {
    auto* l = m.New<XmlListObject>(m.xmlListClass, m.xmlListClass->prototype);
    l->traits = m.xmlListClass->instanceTraits;
    l->target = target;
    return l;
}

XmlObject* DeepCopy(Machine& m, XmlObject* x, XmlObject* parent) {
    XmlObject* c = NewXml(m, x->node);
    c->uri = x->uri;
    c->prefix = x->prefix;
    c->local = x->local;
    c->value = x->value;
    c->cdata = x->cdata;
    c->decls = x->decls;
    c->parent = parent;
    for (XmlObject* a : x->attrs) c->attrs.push_back(DeepCopy(m, a, c));
    for (XmlObject* k : x->children) c->children.push_back(DeepCopy(m, k, c));
    return c;
}

bool XQuery::Matches(const XmlObject* x) const {
    if (attribute != (x->node == XKind::Attribute)) return false;
    if (local && (x->node != (attribute ? XKind::Attribute : XKind::Element) || x->local != local)) return false;
    if (anyNs) return true;
    if (x->node != XKind::Element && x->node != XKind::Attribute) return false;
    for (String* u : uris)
        if (u == x->uri || (u && x->uri && u->text == x->uri->text)) return true;
    return false;
}

XQuery QueryOf(Machine& m, const Name& n) {
    XQuery q;
    q.attribute = n.attribute;
    String* name = n.name;
    if (n.hasKey && n.key.IsObject() && n.key.o->kind == ObjKind::QName) return QueryOfValue(m, n.key, n.attribute);
    if (name && !q.attribute && name->text.size() > 1 && name->text[0] == '@') {
        q.attribute = true;
        name = m.Intern(name->text.substr(1));
    }
    q.local = name && name->text != "*" ? m.Intern(name) : nullptr;
    if (n.single) {
        q.anyNs = false;
        q.uris.push_back(n.single->uri);
    } else if (n.set && q.local) {
        q.anyNs = false;
        if (n.HasPublic()) q.uris.push_back(m.Intern(""));
        for (Ns* ns : *n.set)
            if (ns->kind == NsKind::Namespace && !ns->uri->text.empty()) q.uris.push_back(ns->uri);
    }
    return q;
}

XQuery QueryOfValue(Machine& m, const Value& v, bool attribute) {
    XQuery q;
    q.attribute = attribute;
    if (v.IsObject() && v.o->kind == ObjKind::QName) {
        QNameParts p = QNameOf(m, v);
        q.local = p.local->text == "*" ? nullptr : p.local;
        if (p.ns) {
            q.anyNs = false;
            q.uris.push_back(p.ns->uri);
        }
        return q;
    }
    std::string s = m.ToStdString(v);
    if (!attribute && s.size() > 1 && s[0] == '@') {
        q.attribute = true;
        s = s.substr(1);
    }
    if (s != "*") {
        q.local = m.Intern(s);
        q.anyNs = false;
        q.uris.push_back(m.Intern(""));
    }
    return q;
}

bool HasSimpleContent(const XmlObject* x) {
    if (x->node == XKind::Comment || x->node == XKind::Instruction) return false;
    for (XmlObject* c : x->children)
        if (c->IsElement()) return false;
    return true;
}

std::string XmlString(Machine& m, XmlObject* x) {
    if (x->node == XKind::Text || x->node == XKind::Attribute) return x->value ? x->value->text : "";
    if (!HasSimpleContent(x)) return ToXmlString(m, x);
    std::string s;
    for (XmlObject* c : x->children)
        if (c->node == XKind::Text) s += c->value->text;
    return s;
}

std::string XmlListString(Machine& m, XmlListObject* l) {
    bool simple = true;
    for (XmlObject* x : l->items)
        if (x->IsElement() && !(l->items.size() == 1 && HasSimpleContent(x))) simple = false;
    if (!simple) return ToXmlListString(m, l);
    std::string s;
    for (XmlObject* x : l->items)
        if (x->node != XKind::Comment && x->node != XKind::Instruction) s += XmlString(m, x);
    return s;
}

namespace {

std::string Qualified(String* prefix, String* local) {
    return prefix && !prefix->text.empty() ? prefix->text + ":" + local->text : local->text;
}

// The prefix in scope for `uri`, preferring `want`; null when none is.
String* PrefixFor(const std::vector<XNs>& scope, String* uri, String* want) {
    String* found = nullptr;
    for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
        if (it->uri->text != uri->text || !it->prefix) continue;
        // A nearer declaration of the same prefix for another URI hides it.
        bool hidden = false;
        for (auto in = scope.rbegin(); in != it; ++in)
            if (in->prefix && in->prefix->text == it->prefix->text) hidden = true;
        if (hidden) continue;
        if (want && it->prefix->text == want->text) return it->prefix;
        if (!found) found = it->prefix;
    }
    return found;
}

void Print(Machine& m, XmlObject* x, std::vector<XNs>& scope, int indent, std::string& out) {
    const XmlSettings& set = Settings(m);
    if (set.prettyPrinting) out.append(size_t(std::max(indent, 0)), ' ');
    switch (x->node) {
    case XKind::Text:
        if (x->cdata) out += "<![CDATA[" + x->value->text + "]]>";
        else out += XmlEscape(x->value->text, false);
        return;
    case XKind::Attribute: out += XmlEscape(x->value->text, true); return;
    case XKind::Comment: out += "<!--" + x->value->text + "-->"; return;
    case XKind::Instruction: out += "<?" + x->local->text + " " + x->value->text + "?>"; return;
    case XKind::Element: break;
    }
    const size_t outer = scope.size();
    std::vector<XNs> fresh;
    for (const XNs& d : x->decls) {
        bool known = false;
        for (const XNs& s : scope)
            if (s.prefix && d.prefix && s.prefix->text == d.prefix->text && s.uri->text == d.uri->text) known = true;
        if (!known) fresh.push_back(d);
        scope.push_back(d);
    }
    auto bind = [&](XmlObject* n, bool attribute) -> String* {
        if (!n->uri || n->uri->text.empty()) {
            if (!attribute && PrefixFor(scope, m.Intern(""), m.Intern("")) == nullptr) {
                for (const XNs& s : scope)
                    if (s.prefix && s.prefix->text.empty() && !s.uri->text.empty()) {
                        XNs d{m.Intern(""), m.Intern("")};
                        fresh.push_back(d);
                        scope.push_back(d);
                        break;
                    }
            }
            return nullptr;
        }
        String* p = PrefixFor(scope, n->uri, n->prefix);
        if (p && (!attribute || !p->text.empty())) return p;
        String* want = n->prefix && !(attribute && n->prefix->text.empty()) ? n->prefix : nullptr;
        if (!want) want = attribute ? m.Intern("ns" + std::to_string(scope.size())) : m.Intern("");
        XNs d{want, n->uri};
        fresh.push_back(d);
        scope.push_back(d);
        return want;
    };
    std::string name = Qualified(bind(x, false), x->local);
    std::vector<std::string> attrNames;
    for (XmlObject* a : x->attrs) attrNames.push_back(Qualified(bind(a, true), a->local));
    out += "<" + name;
    for (const XNs& d : fresh)
        out += (d.prefix->text.empty() ? std::string(" xmlns") : " xmlns:" + d.prefix->text) + "=\"" +
               XmlEscape(d.uri->text, true) + "\"";
    for (size_t i = 0; i < x->attrs.size(); ++i)
        out += " " + attrNames[i] + "=\"" + XmlEscape(x->attrs[i]->value->text, true) + "\"";
    if (x->children.empty()) {
        out += "/>";
        scope.resize(outer);
        return;
    }
    out += ">";
    const bool indentKids =
        set.prettyPrinting && (x->children.size() > 1 || x->children[0]->node != XKind::Text);
    for (XmlObject* c : x->children) {
        if (indentKids) out += "\n";
        Print(m, c, scope, indentKids ? indent + set.prettyIndent : 0, out);
    }
    if (indentKids) {
        out += "\n";
        out.append(size_t(std::max(indent, 0)), ' ');
    }
    out += "</" + name + ">";
    scope.resize(outer);
}

}  // namespace

std::string ToXmlString(Machine& m, XmlObject* x, int indent) {
    std::vector<XNs> scope;
    // Namespaces declared above the node are in scope for it.
    std::vector<XmlObject*> chain;
    for (XmlObject* p = x->parent; p; p = p->parent) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const XNs& d : (*it)->decls) scope.push_back(d);
    std::vector<XNs> inherited = scope;
    std::string out;
    // Ancestors' declarations the node uses are written on it.
    if (x->IsElement()) {
        std::vector<XNs> keep;
        std::swap(keep, x->decls);
        std::vector<XNs> used = keep;
        auto uses = [&](String* uri) {
            if (!uri || uri->text.empty()) return;
            for (const XNs& d : used)
                if (d.uri->text == uri->text) return;
            for (auto it = inherited.rbegin(); it != inherited.rend(); ++it)
                if (it->uri->text == uri->text) {
                    used.push_back(*it);
                    return;
                }
        };
        uses(x->uri);
        for (XmlObject* a : x->attrs) uses(a->uri);
        x->decls = used;
        std::vector<XNs> none;
        Print(m, x, none, indent, out);
        x->decls = keep;
        return out;
    }
    Print(m, x, scope, indent, out);
    return out;
}

std::string ToXmlListString(Machine& m, XmlListObject* l) {
    std::string out;
    for (size_t i = 0; i < l->items.size(); ++i) {
        if (i) out += "\n";
        out += ToXmlString(m, l->items[i]);
    }
    return out;
}

bool XmlNodesEqual(Machine& m, const XmlObject* a, const XmlObject* b) {
    if (a == b) return true;
    if (a->node != b->node) return false;
    auto same = [](String* x, String* y) { return x == y || (x && y && x->text == y->text); };
    if (a->node != XKind::Text && a->node != XKind::Comment && !same(a->local, b->local)) return false;
    if ((a->IsElement() || a->node == XKind::Attribute) && !same(a->uri ? a->uri : nullptr, b->uri)) {
        if (!((!a->uri || a->uri->text.empty()) && (!b->uri || b->uri->text.empty()))) return false;
    }
    if (!a->IsElement()) return same(a->value, b->value);
    if (a->attrs.size() != b->attrs.size() || a->children.size() != b->children.size()) return false;
    for (XmlObject* x : a->attrs) {
        bool found = false;
        for (XmlObject* y : b->attrs)
            if (XmlNodesEqual(m, x, y)) found = true;
        if (!found) return false;
    }
    for (size_t i = 0; i < a->children.size(); ++i)
        if (!XmlNodesEqual(m, a->children[i], b->children[i])) return false;
    return true;
}

}  // namespace swf::avm2
