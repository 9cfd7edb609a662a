// flash.xml.XMLNode and XMLDocument: the older DOM-like tree. A node's
// childNodes array is live: it changes as children are added and removed.
#include <algorithm>

#include "swf/avm2/classes/Builtins.h"
#include "swf/classes/XmlDocument.h"

namespace swf::avm2 {

namespace {

class XmlNodeObject : public Object {
public:
    XmlNodeObject(ClassObject* c, Object* p) : Object(ObjKind::Plain, c, p) {}
    int type = 1;
    Value name = Value::Null();
    Value value = Value::Null();
    Object* attributes = nullptr;
    XmlNodeObject* parent = nullptr;
    std::vector<XmlNodeObject*> children;
    ArrayObject* childArray = nullptr;
    // Documents only.
    bool isDocument = false;
    bool ignoreWhite = false;
    Value xmlDecl = Value::Null();
    Value docTypeDecl = Value::Null();
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(name);
        t.Mark(value);
        t.Mark(attributes);
        t.Mark(parent);
        for (XmlNodeObject* c : children) t.Mark(c);
        t.Mark(childArray);
        t.Mark(xmlDecl);
        t.Mark(docTypeDecl);
    }
};

ClassObject* NodeClass(Machine& m) { return m.FindClass("flash.xml.XMLNode"); }

XmlNodeObject* Self(Machine& m, const Value& v) {
    auto* n = v.IsObject() ? dynamic_cast<XmlNodeObject*>(v.o) : nullptr;
    if (!n) m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to flash.xml.XMLNode.");
    return n;
}

void Sync(XmlNodeObject* n) {
    if (!n->childArray) return;
    n->childArray->items.clear();
    for (XmlNodeObject* c : n->children) n->childArray->items.push_back(Value::Obj(c));
}

void Detach(XmlNodeObject* c) {
    if (XmlNodeObject* p = c->parent) {
        p->children.erase(std::remove(p->children.begin(), p->children.end(), c), p->children.end());
        Sync(p);
    }
    c->parent = nullptr;
}

void Insert(Machine& m, XmlNodeObject* p, XmlNodeObject* c, size_t at) {
    size_t depth = 0;
    for (XmlNodeObject* a = p; a; a = a->parent, ++depth)
        if (a == c) m.ArgumentError(2069, "The XMLNode parameter cannot be the node itself or one of its ancestors.");
    // The printer recurses: trees stay shallow enough for it.
    std::vector<std::pair<XmlNodeObject*, size_t>> stack{{c, depth + 1}};
    while (!stack.empty()) {
        auto [n, d] = stack.back();
        stack.pop_back();
        if (d > 2048) m.ArgumentError(2069, "The XMLNode parameter cannot be the node itself or one of its ancestors.");
        for (XmlNodeObject* k : n->children) stack.push_back({k, d + 1});
    }
    Detach(c);
    if (at > p->children.size()) at = p->children.size();
    p->children.insert(p->children.begin() + long(at), c);
    c->parent = p;
    Sync(p);
}

Object* Alloc(Machine& m, ClassObject* c) {
    auto* n = m.New<XmlNodeObject>(c, c->prototype);
    return n;
}

XmlNodeObject* Make(Machine& m, int type, const std::string& text) {
    ClassObject* c = NodeClass(m);
    auto* n = static_cast<XmlNodeObject*>(m.Instantiate(c));
    n->type = type;
    if (type == 1) n->name = Value::Str(m.Str(text));
    else n->value = Value::Str(m.Str(text));
    return n;
}

void Build(Machine& m, XmlNodeObject* into, const XmlNode& from) {
    for (const XmlNode& c : from.children) {
        XmlNodeObject* n = Make(m, c.type == XmlNodeType::Element ? 1 : 3, c.type == XmlNodeType::Element ? c.name : c.value);
        Insert(m, into, n, into->children.size());
        if (c.type != XmlNodeType::Element) continue;
        n->attributes = m.NewObject();
        for (auto& [k, v] : c.attributes) m.SetProperty(Value::Obj(n->attributes), m.PublicName(k), Value::Str(m.Str(v)));
        Build(m, n, c);
    }
}

void Parse(Machine& m, XmlNodeObject* doc, const std::string& text) {
    for (XmlNodeObject* c : std::vector<XmlNodeObject*>(doc->children)) Detach(c);
    XmlDocument parsed = ParseXml(text, doc->ignoreWhite);
    if (!parsed.xmlDecl.empty()) doc->xmlDecl = Value::Str(m.Str(parsed.xmlDecl));
    if (!parsed.docTypeDecl.empty()) doc->docTypeDecl = Value::Str(m.Str(parsed.docTypeDecl));
    Build(m, doc, parsed.root);
}

std::string Escape(const std::string& s, bool attribute) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"' && attribute) out += "&quot;";
        else if (c == '\'' && attribute) out += "&apos;";
        else out += c;
    }
    return out;
}

std::string Print(Machine& m, XmlNodeObject* n) {
    if (n->type != 1) return n->value.IsNullish() ? std::string() : Escape(m.ToStdString(n->value), false);
    std::string inner;
    for (XmlNodeObject* c : n->children) inner += Print(m, c);
    if (n->name.IsNullish()) return inner;
    std::string name = m.ToStdString(n->name);
    std::string out = "<" + name;
    if (n->attributes) {
        Value a = Value::Obj(n->attributes);
        for (int pos = n->attributes->NextIndex(m, 0); pos; pos = n->attributes->NextIndex(m, pos))
            out += " " + m.ToStdString(n->attributes->NameAt(m, pos)) + "=\"" +
                   Escape(m.ToStdString(n->attributes->ValueAt(m, pos)), true) + "\"";
        (void)a;
    }
    if (n->children.empty()) return out + " />";
    return out + ">" + inner + "</" + name + ">";
}

Value NodeInit(Machine& m, Value self, Args args, int argc) {
    XmlNodeObject* n = Self(m, self);
    n->type = m.ToInt32(Arg(args, argc, 0));
    Value v = Arg(args, argc, 1);
    if (n->type == 1) n->name = v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    else n->value = v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    return Value::Undefined();
}

Value NodeOrNull(XmlNodeObject* n) { return n ? Value::Obj(n) : Value::Null(); }
XmlNodeObject* Sibling(XmlNodeObject* n, int step) {
    if (!n->parent) return nullptr;
    auto& k = n->parent->children;
    auto it = std::find(k.begin(), k.end(), n);
    long at = long(it - k.begin()) + step;
    return at >= 0 && at < long(k.size()) ? k[size_t(at)] : nullptr;
}

Value FirstChild(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    return NodeOrNull(n->children.empty() ? nullptr : n->children.front());
}
Value LastChild(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    return NodeOrNull(n->children.empty() ? nullptr : n->children.back());
}
Value NextSibling(Machine& m, Value self, Args, int) { return NodeOrNull(Sibling(Self(m, self), 1)); }
Value PreviousSibling(Machine& m, Value self, Args, int) { return NodeOrNull(Sibling(Self(m, self), -1)); }
Value ParentNode(Machine& m, Value self, Args, int) { return NodeOrNull(Self(m, self)->parent); }
Value ChildNodes(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    if (!n->childArray) {
        n->childArray = m.NewArray();
        Sync(n);
    }
    return Value::Obj(n->childArray);
}
Value GetAttributes(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    if (!n->attributes) n->attributes = m.NewObject();
    return Value::Obj(n->attributes);
}
Value SetAttributes(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    Self(m, self)->attributes = v.IsObject() ? v.o : nullptr;
    return Value::Undefined();
}
Value GetName(Machine& m, Value self, Args, int) { return Self(m, self)->name; }
Value SetName(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    Self(m, self)->name = v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    return Value::Undefined();
}
Value GetValue(Machine& m, Value self, Args, int) { return Self(m, self)->value; }
Value SetValue(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    Self(m, self)->value = v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    return Value::Undefined();
}
Value GetType(Machine& m, Value self, Args, int) { return Value::Int(Self(m, self)->type); }
Value SetType(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->type = m.ToInt32(Arg(args, argc, 0));
    return Value::Undefined();
}
std::string NamePart(Machine& m, XmlNodeObject* n, bool prefix) {
    if (n->name.IsNullish()) return "";
    std::string s = m.ToStdString(n->name);
    size_t colon = s.find(':');
    if (colon == std::string::npos) return prefix ? "" : s;
    return prefix ? s.substr(0, colon) : s.substr(colon + 1);
}
Value LocalName(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    return n->name.IsNullish() ? Value::Null() : Value::Str(m.Str(NamePart(m, n, false)));
}
Value Prefix(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    return n->name.IsNullish() ? Value::Null() : Value::Str(m.Str(NamePart(m, n, true)));
}

Value AppendChild(Machine& m, Value self, Args args, int argc) {
    auto* n = Self(m, self);
    Insert(m, n, Self(m, Arg(args, argc, 0)), n->children.size());
    return Value::Undefined();
}
Value InsertBefore(Machine& m, Value self, Args args, int argc) {
    auto* n = Self(m, self);
    XmlNodeObject* c = Self(m, Arg(args, argc, 0));
    Value before = Arg(args, argc, 1);
    auto it = before.IsObject() ? std::find(n->children.begin(), n->children.end(), before.o) : n->children.end();
    Insert(m, n, c, size_t(it - n->children.begin()));
    return Value::Undefined();
}
Value RemoveNode(Machine& m, Value self, Args, int) {
    Detach(Self(m, self));
    return Value::Undefined();
}
Value HasChildNodes(Machine& m, Value self, Args, int) { return Value::Bool(!Self(m, self)->children.empty()); }
XmlNodeObject* Clone(Machine& m, XmlNodeObject* n, bool deep) {
    auto* c = static_cast<XmlNodeObject*>(m.Instantiate(NodeClass(m)));
    TempRoot keep(m, Value::Obj(c));
    c->type = n->type;
    c->name = n->name;
    c->value = n->value;
    if (n->attributes) {
        c->attributes = m.NewObject();
        for (int pos = n->attributes->NextIndex(m, 0); pos; pos = n->attributes->NextIndex(m, pos))
            m.SetProperty(Value::Obj(c->attributes), m.PublicName(m.Intern(m.ToString(n->attributes->NameAt(m, pos)))),
                          n->attributes->ValueAt(m, pos));
    }
    if (deep)
        for (XmlNodeObject* k : n->children) Insert(m, c, Clone(m, k, true), c->children.size());
    return c;
}
Value CloneNode(Machine& m, Value self, Args args, int argc) {
    return Value::Obj(Clone(m, Self(m, self), m.ToBoolean(Arg(args, argc, 0))));
}
Value ToStringFn(Machine& m, Value self, Args, int) {
    auto* n = Self(m, self);
    std::string head;
    if (n->isDocument) {
        if (!n->xmlDecl.IsNullish()) head += m.ToStdString(n->xmlDecl);
        if (!n->docTypeDecl.IsNullish()) head += m.ToStdString(n->docTypeDecl);
    }
    return Value::Str(m.Str(head + Print(m, n)));
}

Value DocInit(Machine& m, Value self, Args args, int argc) {
    auto* d = Self(m, self);
    d->isDocument = true;
    d->type = 1;
    Value source = Arg(args, argc, 0);
    if (!source.IsNullish()) Parse(m, d, m.ToStdString(source));
    return Value::Undefined();
}
Value ParseXmlFn(Machine& m, Value self, Args args, int argc) {
    Parse(m, Self(m, self), m.ToStdString(Arg(args, argc, 0)));
    return Value::Undefined();
}
Value CreateElement(Machine& m, Value, Args args, int argc) { return Value::Obj(Make(m, 1, m.ToStdString(Arg(args, argc, 0)))); }
Value CreateTextNode(Machine& m, Value, Args args, int argc) { return Value::Obj(Make(m, 3, m.ToStdString(Arg(args, argc, 0)))); }
Value GetIgnoreWhite(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->ignoreWhite); }
Value SetIgnoreWhite(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->ignoreWhite = m.ToBoolean(Arg(args, argc, 0));
    return Value::Undefined();
}
Value GetXmlDecl(Machine& m, Value self, Args, int) { return Self(m, self)->xmlDecl; }
Value SetXmlDecl(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->xmlDecl = Arg(args, argc, 0);
    return Value::Undefined();
}
Value GetDocType(Machine& m, Value self, Args, int) { return Self(m, self)->docTypeDecl; }
Value SetDocType(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->docTypeDecl = Arg(args, argc, 0);
    return Value::Undefined();
}

}  // namespace

void InstallXmlDocument(Machine& m) {
    ClassObject* node = m.DefineClass("flash.xml", "XMLNode", m.objectClass, Alloc, true);
    node->init = m.NewNativeMethod("XMLNode", NodeInit, 2);
    m.DefineGetter(node, "firstChild", FirstChild);
    m.DefineGetter(node, "lastChild", LastChild);
    m.DefineGetter(node, "nextSibling", NextSibling);
    m.DefineGetter(node, "previousSibling", PreviousSibling);
    m.DefineGetter(node, "parentNode", ParentNode);
    m.DefineGetter(node, "childNodes", ChildNodes);
    m.DefineGetter(node, "attributes", GetAttributes, SetAttributes);
    m.DefineGetter(node, "nodeName", GetName, SetName);
    m.DefineGetter(node, "nodeValue", GetValue, SetValue);
    m.DefineGetter(node, "nodeType", GetType, SetType);
    m.DefineGetter(node, "localName", LocalName);
    m.DefineGetter(node, "prefix", Prefix);
    m.DefineMethod(node, "appendChild", AppendChild, 1);
    m.DefineMethod(node, "insertBefore", InsertBefore, 2);
    m.DefineMethod(node, "removeNode", RemoveNode, 0);
    m.DefineMethod(node, "hasChildNodes", HasChildNodes, 0);
    m.DefineMethod(node, "cloneNode", CloneNode, 1);
    m.DefineMethod(node, "toString", ToStringFn, 0);
    ClassObject* doc = m.DefineClass("flash.xml", "XMLDocument", node, Alloc, false);
    doc->init = m.NewNativeMethod("XMLDocument", DocInit, 1);
    m.DefineGetter(doc, "ignoreWhite", GetIgnoreWhite, SetIgnoreWhite);
    m.DefineGetter(doc, "xmlDecl", GetXmlDecl, SetXmlDecl);
    m.DefineGetter(doc, "docTypeDecl", GetDocType, SetDocType);
    m.DefineMethod(doc, "parseXML", ParseXmlFn, 1);
    m.DefineMethod(doc, "createElement", CreateElement, 1);
    m.DefineMethod(doc, "createTextNode", CreateTextNode, 1);
    m.DefineMethod(doc, "toString", ToStringFn, 0);
}

}  // namespace swf::avm2
