// What the built-in classes share with the machine and the interpreter:
// native object kinds, installers (one per class file) and helpers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "swf/avm2/Machine.h"

namespace swf::avm2 {

class ArrayObject : public Object {
public:
    ArrayObject(ClassObject* cls, Object* proto) : Object(ObjKind::Array, cls, proto) {}
    std::vector<Value> items;  // dense; holes are undefined
    bool GetIndexed(Machine& m, const Value& key, Value& out) override;
    bool SetIndexed(Machine& m, const Value& key, const Value& v) override;
    bool DeleteIndexed(Machine& m, const Value& key, bool& result) override;
    bool HasIndexed(Machine& m, const Value& key, bool& result) override;
    int NextIndex(Machine& m, int pos) override;
    Value NameAt(Machine& m, int pos) override;
    Value ValueAt(Machine& m, int pos) override;
    void Trace(Tracer& t) override;
};

// Item i as scripts read it: holes look through the prototype.
Value ItemAt(Machine& m, ArrayObject* a, size_t i);

// Arrays longer than this are refused (RangeError), so a script cannot
// make the dense storage huge with one assignment.
constexpr uint32_t kMaxDenseLength = 1u << 24;

struct QNameParts {
    Ns* ns = nullptr;  // null: any namespace
    String* local = nullptr;
    bool attribute = false;
};
QNameParts QNameOf(Machine& m, const Value& qname);
Ns* NamespaceOf(Machine& m, const Value& v);

bool InstanceOf(Machine& m, const Value& v, const Value& type);
Traits* CatchTraits(Machine& m, const AbcModule& mod, const AbcException& e);
void DomainMemory(Machine& m, uint8_t op, Value* stack, int& sp);
Value XmlDescendants(Machine& m, const Value& obj, const Name& n);
std::string XmlEscape(const std::string& s, bool attribute);

// Strings as scripts see them: UTF-16 units of our UTF-8 text, and back
// (a surrogate pair becomes one character).
std::vector<uint32_t> Decode(const std::string& s);
std::string EncodeUtf8(const std::vector<uint32_t>& units, size_t from, size_t to);

// forEach, map, filter, some, every over `items`: callback(item, index,
// self); what map and filter keep goes to `keep`, and `out` is their result.
enum class Iter { ForEach, Map, Filter, Some, Every };
Value IterateItems(Machine& m, const Value& self, const std::vector<Value>& items, Args args, int argc, Iter kind,
                   Object* out, const std::function<void(const Value&)>& keep);

// Argument helpers for native methods.
// Defines `name` in `ns` for every script, held by the built-in global.
void RegisterDefinition(Machine& m, Ns* ns, String* name, const Value& v);
inline Value Arg(Args args, int argc, int i) { return i < argc ? args[i] : Value::Undefined(); }

// Installers, in dependency order.
void InstallObject(Machine& m);
void InstallFunction(Machine& m);
void InstallObjectMethods(Machine& m);
void InstallArray(Machine& m);
void InstallString(Machine& m);
void InstallNumbers(Machine& m);
void InstallMath(Machine& m);
void InstallErrors(Machine& m);
void InstallGlobals(Machine& m);
void InstallNamespace(Machine& m);
void InstallDate(Machine& m);
void InstallUtils(Machine& m);
void InstallDescribeType(Machine& m);
void InstallDictionary(Machine& m);
void InstallProxy(Machine& m);
void InstallVector(Machine& m);
void InstallRegExp(Machine& m);
// One match of a RegExp: the match array (with index and input) or null.
Value RegExpExec(Machine& m, const Value& self, String* input);
// The QName a proxy's hooks receive for a name.
Value ProxyName(Machine& m, const Name& n, const Value& key);
void InstallDisplay(Machine& m);
void InstallXml(Machine& m);
void InstallDataClasses(Machine& m);  // geom, ByteArray, JSON, timers, net, system

}  // namespace swf::avm2
