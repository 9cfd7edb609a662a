// XML values: a tree of nodes (elements, text, comments, processing
// instructions, attributes) and lists of nodes. What the XML and XMLList
// classes, the property hooks and the conversions share.
#pragma once

#include <string>
#include <vector>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

enum class XKind : uint8_t { Element, Text, Comment, Instruction, Attribute };

// A namespace declared on an element: prefix null when it has none.
struct XNs {
    String* prefix = nullptr;
    String* uri = nullptr;
};

class XmlObject : public Object {
public:
    XmlObject(ClassObject* c, Object* p) : Object(ObjKind::Xml, c, p) {}
    XKind node = XKind::Text;
    String* uri = nullptr;     // elements, attributes: namespace URI, "" for none
    String* prefix = nullptr;  // the prefix it was written with, null unknown
    String* local = nullptr;   // elements, attributes, instructions
    String* value = nullptr;   // text, comment, instruction body, attribute value
    bool cdata = false;
    XmlObject* parent = nullptr;
    std::vector<XmlObject*> children;
    std::vector<XmlObject*> attrs;
    std::vector<XNs> decls;
    bool IsElement() const { return node == XKind::Element; }
    int NextIndex(Machine&, int pos) override { return pos < 1 ? 1 : 0; }
    Value NameAt(Machine&, int) override { return Value::Int(0); }
    Value ValueAt(Machine&, int) override { return Value::Obj(this); }
    void Trace(Tracer& t) override;
};

class XmlListObject : public Object {
public:
    XmlListObject(ClassObject* c, Object* p) : Object(ObjKind::XmlList, c, p) {}
    std::vector<XmlObject*> items;
    // Where writes to an empty list go: the object and the name it came from.
    Object* target = nullptr;
    String* targetLocal = nullptr;  // null: no name (or any)
    String* targetUri = nullptr;
    bool targetAttr = false;
    int NextIndex(Machine&, int pos) override { return pos >= 0 && size_t(pos) < items.size() ? pos + 1 : 0; }
    Value NameAt(Machine&, int pos) override { return Value::Int(pos - 1); }
    Value ValueAt(Machine&, int pos) override {
        return pos >= 1 && size_t(pos) <= items.size() ? Value::Obj(items[size_t(pos) - 1]) : Value::Undefined();
    }
    void Trace(Tracer& t) override;
};

struct XmlSettings {
    bool ignoreComments = true;
    bool ignorePIs = true;
    bool ignoreWhitespace = true;
    bool prettyPrinting = true;
    int prettyIndent = 2;
};
XmlSettings& Settings(Machine& m);

// What a name selects: a local name (null: any) in one of some URIs (empty
// list: any namespace), among attributes or children.
struct XQuery {
    String* local = nullptr;
    std::vector<String*> uris;
    bool anyNs = true;
    bool attribute = false;
    bool Matches(const XmlObject* x) const;
};
XQuery QueryOf(Machine& m, const Name& n);
XQuery QueryOfValue(Machine& m, const Value& v, bool attribute);

inline bool IsXml(const Value& v) { return v.IsObject() && v.o->kind == ObjKind::Xml; }
inline bool IsXmlList(const Value& v) { return v.IsObject() && v.o->kind == ObjKind::XmlList; }
inline XmlObject* AsXml(const Value& v) { return static_cast<XmlObject*>(v.o); }
inline XmlListObject* AsList(const Value& v) { return static_cast<XmlListObject*>(v.o); }

XmlObject* NewXml(Machine& m, XKind kind);
XmlListObject* NewXmlList(Machine& m, Object* target = nullptr);
XmlObject* DeepCopy(Machine& m, XmlObject* x, XmlObject* parent = nullptr);

// Parses markup into nodes under a holder element (its children are the
// top-level nodes); malformed markup throws the reference's TypeError.
XmlObject* ParseMarkup(Machine& m, const std::string& text);
// The value as XML: a node, or a parsed string (TypeError #1088 when the
// string holds more than one top-level node).
XmlObject* ToXmlNode(Machine& m, const Value& v);
XmlListObject* ToXmlListValue(Machine& m, const Value& v);

bool HasSimpleContent(const XmlObject* x);
std::string XmlString(Machine& m, XmlObject* x);
std::string XmlListString(Machine& m, XmlListObject* l);
std::string ToXmlString(Machine& m, XmlObject* x, int indent = 0);
std::string ToXmlListString(Machine& m, XmlListObject* l);
bool XmlNodesEqual(Machine& m, const XmlObject* a, const XmlObject* b);

// The E4X property operations.
Value XmlGet(Machine& m, Object* o, const Name& n);
void XmlPut(Machine& m, Object* o, const Name& n, const Value& v);
bool XmlDelete(Machine& m, Object* o, const Name& n);
bool XmlHas(Machine& m, Object* o, const Name& n);
void XmlReplaceAt(Machine& m, XmlObject* x, size_t i, const Value& v);
void XmlInsertAt(Machine& m, XmlObject* x, size_t i, const Value& v);
void Append(XmlListObject* l, const Value& v);
String* TextValue(Machine& m, const Value& v);
void CollectDescendants(const std::vector<XmlObject*>& roots, const XQuery& q, XmlListObject* out);
Value XmlCall(Machine& m, const Value& obj, const Name& n, Args args, int argc);
bool XmlEquals(Machine& m, const Value& a, const Value& b);
Value XmlConcat(Machine& m, const Value& a, const Value& b);

// XML's methods; XMLList runs the `perItem` ones over its items and the
// others on its one item.
struct XmlMethod {
    const char* name;
    NativeFn fn;
    int length;
    bool perItem;
};
const XmlMethod* XmlMethods(size_t* count);
void InstallXmlList(Machine& m);
void InstallXmlDocument(Machine& m);

}  // namespace swf::avm2
