// XML and XMLNode: a tree of script objects built by the parser in
// classes/XmlDocument, edited by scripts and written back by toString.
// Each node keeps its links as hidden members ($parent, $children); the
// sibling and child properties are read from them.
#include <algorithm>
#include <cstdint>

#include "swf/bind/Bindings.h"
#include "swf/classes/XmlDocument.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Object;
using avm1::Value;

const char kParent[] = "$parent";
const char kChildren[] = "$children";

Object* NodeProto(avm1::Vm& vm) {
    Value proto = vm.GetMember(vm.GetMember(Value::Obj(vm.global), "XMLNode"), "prototype");
    return proto.IsObject() ? proto.o : vm.objectProto;
}

Value Hidden(avm1::Vm& vm, Object* o, const char* name) {
    const avm1::Property* p = o->Find(name, vm.Ci());
    return p ? p->value : Value();
}

// The node's children array, made on first use.
Object* Children(avm1::Vm& vm, Object* node) {
    Value v = Hidden(vm, node, kChildren);
    if (v.IsObject()) return v.o;
    Object* list = vm.NewObject();  // a plain list in elems, never seen by scripts
    vm.SetHidden(node, kChildren, Value::Obj(list));
    return list;
}

Object* ParentOf(avm1::Vm& vm, Object* node) {
    Value v = Hidden(vm, node, kParent);
    return v.IsObject() ? v.o : nullptr;
}

// An element (type 1) names itself; a text node (3) holds its value.
void InitNode(avm1::Vm& vm, Object* node, int type, const Value& nameOrValue) {
    vm.SetHidden(node, "nodeType", Value::Num(type));
    vm.SetHidden(node, "nodeName", type == 1 ? nameOrValue : Value::Null());
    vm.SetHidden(node, "nodeValue", type == 1 ? Value::Null() : nameOrValue);
    vm.SetHidden(node, "attributes", Value::Obj(vm.NewObject()));
}

Object* NewNode(avm1::Vm& vm, Object* proto, int type, const Value& nameOrValue) {
    Object* node = vm.NewObject(proto);
    InitNode(vm, node, type, nameOrValue);
    return node;
}

void Detach(avm1::Vm& vm, Object* node) {
    Object* parent = ParentOf(vm, node);
    if (!parent) return;
    std::vector<Value>& kids = Children(vm, parent)->elems;
    for (size_t i = 0; i < kids.size(); ++i)
        if (kids[i].IsObject() && kids[i].o == node) {
            kids.erase(kids.begin() + long(i));
            break;
        }
    vm.SetHidden(node, kParent, Value::Null());
}

// Puts `node` under `parent` before index `at`; refuses to make a cycle.
bool Attach(avm1::Vm& vm, Object* parent, Object* node, size_t at) {
    // Scripts can reach the hidden links, so the walk is bounded too.
    size_t steps = 0;
    for (Object* p = parent; p; p = ParentOf(vm, p))
        if (p == node || ++steps > kMaxXmlNodes) return false;
    Detach(vm, node);
    std::vector<Value>& kids = Children(vm, parent)->elems;
    kids.insert(kids.begin() + long(std::min(at, kids.size())), Value::Obj(node));
    vm.SetHidden(node, kParent, Value::Obj(parent));
    return true;
}

void Build(avm1::Vm& vm, Object* proto, Object* into, const XmlNode& from) {
    for (const XmlNode& child : from.children) {
        const bool element = child.type == XmlNodeType::Element;
        Object* node = NewNode(vm, proto, element ? 1 : 3, Value::String(element ? child.name : child.value));
        if (element) {
            Object* attrs = Hidden(vm, node, "attributes").o;
            for (const auto& a : child.attributes) vm.Put(attrs, a.first, Value::String(a.second));
            Build(vm, proto, node, child);
        }
        Children(vm, into)->elems.push_back(Value::Obj(node));
        vm.SetHidden(node, kParent, Value::Obj(into));
    }
}

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

// `budget` counts nodes: hidden links edited by scripts may share nodes.
void Write(avm1::Vm& vm, Object* node, std::string& out, size_t depth, size_t& budget) {
    if (depth > kMaxXmlDepth || budget == 0) return;
    --budget;
    const Value kids = Hidden(vm, node, kChildren);
    if (vm.ToNumber(vm.GetMember(Value::Obj(node), "nodeType")) == 3) {
        out += Escaped(vm.ToString(vm.GetMember(Value::Obj(node), "nodeValue")));
        return;
    }
    const Value name = vm.GetMember(Value::Obj(node), "nodeName");
    const bool named = !name.IsNullish();
    if (named) {
        out += "<" + vm.ToString(name);
        const Value attrs = vm.GetMember(Value::Obj(node), "attributes");
        if (attrs.IsObject())
            for (const std::string& a : vm.EnumNames(attrs.o))
                out += " " + a + "=\"" + Escaped(vm.ToString(vm.GetMember(attrs, a))) + "\"";
        if (!kids.IsObject() || kids.o->elems.empty()) {
            out += " />";
            return;
        }
        out += ">";
    }
    if (kids.IsObject())
        for (const Value& k : std::vector<Value>(kids.o->elems))
            if (k.IsObject()) Write(vm, k.o, out, depth + 1, budget);
    if (named) out += "</" + vm.ToString(name) + ">";
}

Object* Clone(avm1::Vm& vm, Object* node, bool deep, size_t depth, size_t& budget) {
    const Value self = Value::Obj(node);
    Object* copy = NewNode(vm, node->proto, static_cast<int>(vm.ToNumber(vm.GetMember(self, "nodeType"))),
                           Value());
    vm.SetHidden(copy, "nodeName", vm.GetMember(self, "nodeName"));
    vm.SetHidden(copy, "nodeValue", vm.GetMember(self, "nodeValue"));
    const Value attrs = vm.GetMember(self, "attributes");
    Object* toAttrs = Hidden(vm, copy, "attributes").o;
    if (attrs.IsObject())
        for (const std::string& a : vm.EnumNames(attrs.o)) vm.Put(toAttrs, a, vm.GetMember(attrs, a));
    const Value kids = Hidden(vm, node, kChildren);
    if (deep && kids.IsObject() && depth < kMaxXmlDepth)
        for (const Value& k : std::vector<Value>(kids.o->elems))
            if (k.IsObject() && budget > 0 && --budget > 0)
                Attach(vm, copy, Clone(vm, k.o, true, depth + 1, budget), SIZE_MAX);
    return copy;
}

Value NodeCtor(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    InitNode(a.vm, a.self.o, NumberArg(a, 0, 1) == 3 ? 3 : 1, a.Arg(1));
    return Value();
}

Value ParseXmlNative(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    avm1::PinGuard pin(a.vm);
    Object* self = a.self.o;
    for (const Value& k : std::vector<Value>(Children(a.vm, self)->elems))
        if (k.IsObject()) a.vm.SetHidden(k.o, kParent, Value::Null());
    Children(a.vm, self)->elems.clear();
    const XmlDocument doc = ParseXml(a.vm.ToString(a.Arg(0)), a.vm.ToBool(a.vm.GetMember(a.self, "ignoreWhite")));
    Build(a.vm, NodeProto(a.vm), self, doc.root);
    a.vm.SetMember(a.self, "status", Value::Num(doc.status));
    a.vm.SetMember(a.self, "xmlDecl", doc.xmlDecl.empty() ? Value() : Value::String(doc.xmlDecl));
    a.vm.SetMember(a.self, "docTypeDecl", doc.docTypeDecl.empty() ? Value() : Value::String(doc.docTypeDecl));
    return Value();
}

Value XmlCtor(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    InitNode(a.vm, a.self.o, 1, Value::Null());
    a.vm.SetHidden(a.self.o, "status", Value::Num(0));
    if (!a.args.empty() && !a.args[0].IsNullish()) ParseXmlNative(a);
    return Value();
}

enum { kFirst, kLast, kNext, kPrevious, kParentNode, kChildNodes };

Value Link(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    const int magic = a.callee && a.callee->fn ? a.callee->fn->magic : 0;
    Object* self = a.self.o;
    if (magic == kParentNode) {
        Object* p = ParentOf(a.vm, self);
        return p ? Value::Obj(p) : Value::Null();
    }
    if (magic == kChildNodes) return Value::Obj(a.vm.NewArray(Children(a.vm, self)->elems));
    if (magic == kFirst || magic == kLast) {
        const std::vector<Value>& kids = Children(a.vm, self)->elems;
        if (kids.empty()) return Value::Null();
        return magic == kFirst ? kids.front() : kids.back();
    }
    Object* parent = ParentOf(a.vm, self);
    if (!parent) return Value::Null();
    const std::vector<Value>& kids = Children(a.vm, parent)->elems;
    for (size_t i = 0; i < kids.size(); ++i) {
        if (!kids[i].IsObject() || kids[i].o != self) continue;
        if (magic == kNext) return i + 1 < kids.size() ? kids[i + 1] : Value::Null();
        return i > 0 ? kids[i - 1] : Value::Null();
    }
    return Value::Null();
}

enum { kLocalName, kPrefix };

// The parts of a "prefix:local" node name; null for nodes without a name.
Value NamePart(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    const Value name = a.vm.GetMember(a.self, "nodeName");
    if (name.IsNullish()) return Value::Null();
    const std::string s = a.vm.ToString(name);
    const size_t colon = s.find(':');
    if (a.callee->fn->magic == kLocalName) return Value::String(colon == std::string::npos ? s : s.substr(colon + 1));
    return Value::String(colon == std::string::npos ? std::string() : s.substr(0, colon));
}

Value Create(CallArgs& a) {  // magic 3: createTextNode
    const int type = a.callee && a.callee->fn && a.callee->fn->magic == 3 ? 3 : 1;
    return Value::Obj(NewNode(a.vm, NodeProto(a.vm), type, Value::String(a.vm.ToString(a.Arg(0)))));
}

Value AppendChild(CallArgs& a) {
    if (a.self.IsObject() && a.Arg(0).IsObject()) Attach(a.vm, a.self.o, a.args[0].o, SIZE_MAX);
    return Value();
}

Value InsertBefore(CallArgs& a) {
    if (!a.self.IsObject() || !a.Arg(0).IsObject()) return Value();
    const std::vector<Value>& kids = Children(a.vm, a.self.o)->elems;
    for (size_t i = 0; i < kids.size(); ++i)
        if (a.Arg(1).IsObject() && kids[i].IsObject() && kids[i].o == a.args[1].o) {
            // Moving a node within its own list shifts the place it goes.
            Object* node = a.args[0].o;
            Detach(a.vm, node);
            size_t at = i;
            const std::vector<Value>& now = Children(a.vm, a.self.o)->elems;
            for (size_t j = 0; j < now.size(); ++j)
                if (now[j].IsObject() && now[j].o == a.args[1].o) at = j;
            Attach(a.vm, a.self.o, node, at);
            break;
        }
    return Value();
}

Value RemoveNode(CallArgs& a) {
    if (a.self.IsObject()) Detach(a.vm, a.self.o);
    return Value();
}

Value CloneNode(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    avm1::PinGuard pin(a.vm);
    size_t budget = kMaxXmlNodes;
    return Value::Obj(Clone(a.vm, a.self.o, a.vm.ToBool(a.Arg(0)), 0, budget));
}

Value HasChildNodes(CallArgs& a) {
    return Value::Bool(a.self.IsObject() && !Children(a.vm, a.self.o)->elems.empty());
}

Value ToText(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    std::string out;
    const bool document = a.self.o->proto != NodeProto(a.vm) && a.vm.GetMember(a.self, "nodeName").IsNullish();
    if (document) {
        const Value decl = a.vm.GetMember(a.self, "xmlDecl"), doctype = a.vm.GetMember(a.self, "docTypeDecl");
        if (!decl.IsNullish()) out += a.vm.ToString(decl);
        if (!doctype.IsNullish()) out += a.vm.ToString(doctype);
    }
    size_t budget = kMaxXmlNodes;
    Write(a.vm, a.self.o, out, 0, budget);
    return Value::String(out);
}

Value Send(CallArgs& a) {
    if (!a.self.IsObject() || a.args.empty()) return Value::Bool(false);
    HostOf(a.vm).GetUrl(a.vm.ToString(a.args[0]), a.vm.ToString(a.Arg(1)), 2);
    return Value::Bool(true);
}

}  // namespace

void InstallXml(avm1::Vm& vm) {
    Object* node = vm.NewObject();
    vm.DefineClass("XMLNode", NodeCtor, node);
    vm.DefineAccessor(node, "firstChild", Link, nullptr, kFirst);
    vm.DefineAccessor(node, "lastChild", Link, nullptr, kLast);
    vm.DefineAccessor(node, "nextSibling", Link, nullptr, kNext);
    vm.DefineAccessor(node, "previousSibling", Link, nullptr, kPrevious);
    vm.DefineAccessor(node, "parentNode", Link, nullptr, kParentNode);
    vm.DefineAccessor(node, "childNodes", Link, nullptr, kChildNodes);
    vm.DefineAccessor(node, "localName", NamePart, nullptr, kLocalName);
    vm.DefineAccessor(node, "prefix", NamePart, nullptr, kPrefix);
    vm.DefineNative(node, "appendChild", AppendChild);
    vm.DefineNative(node, "insertBefore", InsertBefore);
    vm.DefineNative(node, "removeNode", RemoveNode);
    vm.DefineNative(node, "cloneNode", CloneNode);
    vm.DefineNative(node, "hasChildNodes", HasChildNodes);
    vm.DefineNative(node, "toString", ToText);

    Object* xml = vm.NewObject(node);
    vm.DefineClass("XML", XmlCtor, xml);
    vm.DefineNative(xml, "createElement", Create, 1);
    vm.DefineNative(xml, "createTextNode", Create, 3);
    vm.DefineNative(xml, "parseXML", ParseXmlNative);
    vm.DefineNative(xml, "load", DataLoad);
    vm.DefineNative(xml, "send", Send);
    vm.DefineNative(xml, "sendAndLoad", DataSendAndLoad);
    vm.DefineNative(xml, "onData", DataOnData, 1);
    vm.DefineNative(xml, "getBytesLoaded", LoadedBytes);
    vm.DefineNative(xml, "getBytesTotal", LoadedBytes, 1);
    vm.DefineNative(xml, "addRequestHeader", DataNothing);
    vm.SetHidden(xml, "contentType", Value::String("application/x-www-form-urlencoded"));
    vm.SetHidden(xml, "ignoreWhite", Value::Bool(false));
}

}  // namespace swf::bind
