// Reflection: describeTypeJSON(value, flags) gathers what a value's class
// declares (bases, interfaces, constructor, variables, accessors, methods,
// metadata) under flags that pick the parts; describeType renders the same
// gathering as XML, the class side first and its instances' side in a
// <factory> element.
//
// What a class declares comes from its ABC traits when it has them, in
// declaration order, most derived class first; a member overridden lower
// down is reported once, by the class that declared it last. Built-in
// classes declare what their traits hold beyond their base's, with types
// unknown ("*"). Private, protected and internal members are not shown.
#include <algorithm>
#include <set>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

enum DescribeFlags : uint32_t {
    kHideNsUriMethods = 0x0001,
    kIncludeBases = 0x0002,
    kIncludeInterfaces = 0x0004,
    kIncludeVariables = 0x0008,
    kIncludeAccessors = 0x0010,
    kIncludeMethods = 0x0020,
    kIncludeMetadata = 0x0040,
    kIncludeConstructor = 0x0080,
    kIncludeTraits = 0x0100,
    kUseItraits = 0x0200,
    kHideObject = 0x0400,
    kFlash10Flags = 0x05FF,
};

struct Meta {
    std::string name;
    std::vector<std::pair<std::string, std::string>> args;
};

struct Param {
    std::string type;
    bool optional = false;
};

struct Member {
    enum Kind { Variable, Constant, Accessor, Method } kind = Variable;
    std::string name, uri, type, declaredBy, returnType;
    bool hasUri = false;
    bool canRead = false, canWrite = false;
    std::vector<Param> params;
    std::vector<Meta> metadata;
    std::string Access() const {
        if (kind == Constant) return "readonly";
        if (kind == Variable) return "readwrite";
        return canRead && canWrite ? "readwrite" : canRead ? "readonly" : "writeonly";
    }
};

struct Description {
    std::string name;
    bool isDynamic = false, isFinal = false, isStatic = false;
    bool hasTraits = false;
    std::vector<std::string> bases, interfaces;
    bool hasConstructor = false;
    std::vector<Param> constructor;
    std::vector<Member> members;
    std::vector<Meta> metadata;
};

// What the built-in classes declare beyond their traits: types and
// parameters (a trailing "=" marks an optional one), "()" for the
// constructor, "public" for a method the reference keeps out of the AS3
// namespace, "-" for one it does not declare at all.
struct NativeSignature {
    const char* cls;
    const char* member;
    const char* signature;
};
constexpr NativeSignature kNativeSignatures[] = {
    {"Object", "hasOwnProperty", "(*=):Boolean"},
    {"Object", "isPrototypeOf", "(*=):Boolean"},
    {"Object", "propertyIsEnumerable", "(*=):Boolean"},
    {"Object", "setPropertyIsEnumerable", "-"},
    {"Object", "()", "(*=)"},
    {"int", "()", "(*=)"},
    {"uint", "()", "(*=)"},
    {"Number", "()", "(*=)"},
    {"Boolean", "()", "(*=)"},
    {"String", "()", "(*=)"},
    {"Error", "()", "(String=,int=)"},
    {"Error", "errorID", "int"},
    {"Error", "getStackTrace", "public ():String"},
    {"flash.errors::DRMManagerError", "()", "(String,int,int)"},
    {"flash.errors::DRMManagerError", "subErrorID", "int"},
    {"flash.errors::DRMManagerError", "toString", "():String"},
};

const char* SignatureOf(const std::string& cls, const std::string& member) {
    for (const NativeSignature& s : kNativeSignatures)
        if (cls == s.cls && member == s.member) return s.signature;
    return nullptr;
}

// "(String=,int):Boolean" into parameters and a return type.
void ParseSignature(std::string sig, std::vector<Param>& params, std::string& returnType) {
    size_t open = sig.find('('), close = sig.find(')');
    if (open == std::string::npos || close == std::string::npos) return;
    params.clear();
    std::string list = sig.substr(open + 1, close - open - 1);
    for (size_t at = 0; at < list.size();) {
        size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        std::string p = list.substr(at, comma - at);
        bool optional = !p.empty() && p.back() == '=';
        if (optional) p.pop_back();
        params.push_back({p, optional});
        at = comma + 1;
    }
    if (close + 1 < sig.size() && sig[close + 1] == ':') returnType = sig.substr(close + 2);
}

class Describer {
public:
    Describer(Machine& m, uint32_t flags) : m_(m), flags_(flags) {}

    std::string TypeText(const AbcModule& mod, uint32_t mn) {
        if (mn == 0 || mn >= mod.names.size()) return "*";
        const MnInfo& n = mod.names[mn];
        if (n.kind != MnKind::TypeName && n.name && n.name->text == "void") return "void";
        ClassObject* c = nullptr;
        try {
            c = m_.ResolveType(mod, mn);
        } catch (const ScriptThrow&) {
            m_.thrown = Value::Undefined();
        }
        if (c) return c->QualifiedName();
        std::string local = n.name ? n.name->text : "*";
        return n.ns && !n.ns->uri->text.empty() ? n.ns->uri->text + "::" + local : local;
    }

    std::vector<Meta> Metadata(const AbcModule& mod, const std::vector<uint32_t>& indices) {
        std::vector<Meta> out;
        const AbcFile& f = *mod.abc;
        for (uint32_t i : indices) {
            if (i >= f.metadata.size()) continue;
            Meta meta;
            meta.name = f.strings[f.metadata[i].name];
            for (auto [k, v] : f.metadata[i].items) meta.args.emplace_back(f.strings[k], f.strings[v]);
            out.push_back(std::move(meta));
        }
        return out;
    }

    std::vector<Param> Params(const AbcModule& mod, uint32_t method) {
        std::vector<Param> out;
        if (method >= mod.abc->methods.size()) return out;
        const AbcMethod& am = mod.abc->methods[method];
        size_t firstOptional = am.paramTypes.size() - std::min(am.paramTypes.size(), am.optional.size());
        for (size_t i = 0; i < am.paramTypes.size(); ++i)
            out.push_back({TypeText(mod, am.paramTypes[i]), i >= firstOptional});
        return out;
    }

    // Members a class's own ABC traits declare, merged into `out`.
    void AbcMembers(ClassObject* k, const std::vector<AbcTrait>& traits, std::vector<Member>& out) {
        const AbcModule& mod = *k->module;
        for (const AbcTrait& tr : traits) {
            const MnInfo& n = mod.names[tr.name];
            if (!Visible(n.ns)) continue;
            Member mb;
            mb.name = n.name ? n.name->text : "";
            SetUri(mb, n.ns);
            mb.declaredBy = k->QualifiedName();
            if (flags_ & kIncludeMetadata) mb.metadata = Metadata(mod, tr.metadata);
            switch (tr.kind) {
            case TraitKind::Slot:
            case TraitKind::Const:
                mb.kind = tr.kind == TraitKind::Const ? Member::Constant : Member::Variable;
                mb.type = TypeText(mod, tr.type);
                break;
            case TraitKind::Getter:
            case TraitKind::Setter: {
                mb.kind = Member::Accessor;
                const AbcMethod* am = tr.index < mod.abc->methods.size() ? &mod.abc->methods[tr.index] : nullptr;
                if (tr.kind == TraitKind::Getter) {
                    mb.canRead = true;
                    mb.type = am ? TypeText(mod, am->returnType) : "*";
                } else {
                    mb.canWrite = true;
                    mb.type = am && !am->paramTypes.empty() ? TypeText(mod, am->paramTypes[0]) : "*";
                }
                break;
            }
            case TraitKind::Method:
            case TraitKind::Function:
                mb.kind = Member::Method;
                mb.params = Params(mod, tr.index);
                mb.returnType = tr.index < mod.abc->methods.size()
                                    ? TypeText(mod, mod.abc->methods[tr.index].returnType)
                                    : "*";
                break;
            default: continue;
            }
            Merge(out, std::move(mb));
        }
    }

    // Members a built-in class's traits hold beyond its base's.
    void NativeMembers(const std::string& declarer, const Traits* t, const Traits* base, std::vector<Member>& out) {
        std::vector<Member> own;
        for (const auto& [name, list] : t->names)
            for (const auto& [ns, b] : list) {
                if (!Visible(ns) || !name) continue;
                if (base && Inherited(t, base, name, ns, b)) continue;
                Member mb;
                mb.name = name->text;
                SetUri(mb, ns);
                mb.declaredBy = declarer;
                mb.type = "*";
                const char* sig = SignatureOf(declarer, mb.name);
                if (sig && std::string(sig) == "-") continue;
                switch (b.kind) {
                case Binding::Slot: mb.kind = Member::Variable; break;
                case Binding::Const: mb.kind = Member::Constant; break;
                case Binding::Accessor:
                    mb.kind = Member::Accessor;
                    mb.canRead = b.method != 0;
                    mb.canWrite = b.setter != 0;
                    break;
                case Binding::Method: {
                    mb.kind = Member::Method;
                    mb.returnType = "*";
                    const Method* me = b.method < t->vtable.size() ? t->vtable[b.method].method : nullptr;
                    for (int i = 0; me && me->native && i < me->nativeLength; ++i) mb.params.push_back({"*", true});
                    break;
                }
                default: continue;
                }
                if (sig) {
                    std::string text = sig;
                    if (text.rfind("public ", 0) == 0) {
                        mb.hasUri = false;
                        mb.uri.clear();
                        text = text.substr(7);
                    }
                    if (mb.kind == Member::Method)
                        ParseSignature(text, mb.params, mb.returnType);
                    else
                        mb.type = text;
                }
                own.push_back(std::move(mb));
            }
        // Hash order is no order: by name, so runs agree.
        std::sort(own.begin(), own.end(), [](const Member& a, const Member& b) { return a.name < b.name; });
        for (Member& mb : own) Merge(out, std::move(mb));
    }

    // The instances' side of `c`.
    void InstanceSide(ClassObject* c, Description& d) {
        for (ClassObject* k = c->base; k; k = k->base) d.bases.push_back(k->QualifiedName());
        std::set<ClassObject*> seen;
        for (ClassObject* i : c->interfaces)
            if (seen.insert(i).second) d.interfaces.push_back(i->QualifiedName());
        d.hasConstructor = true;
        if (c->abcInstance && c->module) {
            d.constructor = Params(*c->module, c->abcInstance->init);
            if (flags_ & kIncludeMetadata) d.metadata = ClassMetadata(c);
        } else {
            for (ClassObject* k = c; k; k = k->base)
                if (k->init) {
                    for (int i = 0; k->init->native && i < k->init->nativeLength; ++i) d.constructor.push_back({"*", true});
                    // A subclass takes its base's parameters when it takes as many.
                    for (ClassObject* b = k; b; b = b->base) {
                        const char* sig = SignatureOf(b->QualifiedName(), "()");
                        if (!sig) continue;
                        std::vector<Param> params;
                        std::string unused;
                        ParseSignature(sig, params, unused);
                        if (b == k || params.size() == d.constructor.size()) d.constructor = params;
                        break;
                    }
                    break;
                }
        }
        for (ClassObject* k = c; k; k = k->base) {
            if ((flags_ & kHideObject) && k == m_.objectClass) break;
            if (k->abcInstance && k->module)
                AbcMembers(k, k->abcInstance->traits, d.members);
            else
                NativeMembers(k->QualifiedName(), k->instanceTraits, k->base ? k->base->instanceTraits : nullptr,
                              d.members);
        }
    }

    // The class object's own side: its statics over what every class has.
    void ClassSide(ClassObject* c, Description& d) {
        d.bases = {m_.classClass->QualifiedName(), m_.objectClass->QualifiedName()};
        const AbcClass* ac = StaticTraits(c);
        if (ac)
            AbcMembers(c, ac->traits, d.members);
        else if (c->traits)
            NativeMembers(c->QualifiedName(), c->traits, m_.classClass->instanceTraits, d.members);
        Member proto;
        proto.kind = Member::Accessor;
        proto.name = "prototype";
        proto.type = "*";
        proto.declaredBy = m_.classClass->QualifiedName();
        proto.canRead = true;
        d.members.push_back(proto);
    }

    bool Describe(const Value& v, Description& d) {
        const bool isClass = v.IsObject() && v.o->kind == ObjKind::Class;
        if ((flags_ & kUseItraits) && !isClass) return false;
        if (v.IsNullish()) {
            d.name = v.IsNull() ? "null" : "void";
            d.isFinal = true;
            return true;
        }
        ClassObject* c = isClass ? static_cast<ClassObject*>(v.o) : m_.ClassOf(v);
        if (!c) c = m_.objectClass;
        d.name = c->QualifiedName();
        const bool classSide = isClass && !(flags_ & kUseItraits);
        if (classSide) {
            d.isDynamic = d.isFinal = d.isStatic = true;
        } else {
            d.isDynamic = !c->instanceTraits || !c->instanceTraits->sealed;
            d.isFinal = c->isFinal;
        }
        if (!(flags_ & kIncludeTraits)) return true;
        d.hasTraits = true;
        if (classSide)
            ClassSide(c, d);
        else
            InstanceSide(c, d);
        if ((flags_ & kHideNsUriMethods))
            d.members.erase(std::remove_if(d.members.begin(), d.members.end(),
                                           [](const Member& mb) { return mb.kind == Member::Method && mb.hasUri; }),
                            d.members.end());
        return true;
    }

    uint32_t flags() const { return flags_; }

private:
    bool Visible(const Ns* ns) const {
        if (!ns) return true;
        return ns->kind == NsKind::Package || ns->kind == NsKind::Namespace;
    }
    static void SetUri(Member& mb, const Ns* ns) {
        if (ns && !ns->uri->text.empty()) {
            mb.uri = ns->uri->text;
            mb.hasUri = true;
        }
    }
    static bool Inherited(const Traits* t, const Traits* base, String* name, Ns* ns, const Binding& b) {
        const Binding* bb = base->FindExact(name, ns);
        if (!bb || bb->kind != b.kind) return false;
        auto method = [](const Traits* tr, uint32_t i) { return i < tr->vtable.size() ? tr->vtable[i].method : nullptr; };
        switch (b.kind) {
        case Binding::Method: return method(t, b.method) == method(base, bb->method);
        case Binding::Accessor:
            return (b.method ? method(t, b.method - 1) : nullptr) == (bb->method ? method(base, bb->method - 1) : nullptr) &&
                   (b.setter ? method(t, b.setter - 1) : nullptr) == (bb->setter ? method(base, bb->setter - 1) : nullptr);
        default: return bb->slot == b.slot;
        }
    }
    // A member met again further up the chain: accessors gain the other
    // half; anything else was overridden and stays as first seen.
    static void Merge(std::vector<Member>& out, Member mb) {
        for (Member& have : out)
            if (have.name == mb.name && have.uri == mb.uri) {
                if (have.kind == Member::Accessor && mb.kind == Member::Accessor) {
                    // Each half brings its metadata from where it was last declared.
                    if ((mb.canRead && !have.canRead) || (mb.canWrite && !have.canWrite))
                        have.metadata.insert(have.metadata.end(), mb.metadata.begin(), mb.metadata.end());
                    have.canRead = have.canRead || mb.canRead;
                    have.canWrite = have.canWrite || mb.canWrite;
                }
                return;
            }
        out.push_back(std::move(mb));
    }
    const AbcClass* StaticTraits(ClassObject* c) {
        if (!c->abcInstance || !c->module) return nullptr;
        const AbcFile& f = *c->module->abc;
        for (size_t i = 0; i < f.instances.size(); ++i)
            if (&f.instances[i] == c->abcInstance) return i < f.classes.size() ? &f.classes[i] : nullptr;
        return nullptr;
    }
    std::vector<Meta> ClassMetadata(ClassObject* c) {
        // A class's metadata rides on the trait that defines it in its script.
        const AbcModule& mod = *c->module;
        for (const AbcScript& s : mod.abc->scripts)
            for (const AbcTrait& tr : s.traits)
                if (tr.kind == TraitKind::Class && tr.index < mod.abc->instances.size() &&
                    &mod.abc->instances[tr.index] == c->abcInstance)
                    return Metadata(mod, tr.metadata);
        return {};
    }

    Machine& m_;
    uint32_t flags_;
};

// JSON form ----------------------------------------------------------------------

Value StrValue(Machine& m, const std::string& s) { return Value::Str(m.Str(s)); }

Value MetaJson(Machine& m, const std::vector<Meta>& list, bool included) {
    if (!included) return Value::Null();
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    for (const Meta& meta : list) {
        Object* o = m.NewObject();
        a->items.push_back(Value::Obj(o));
        m.SetPublic(Value::Obj(o), "name", StrValue(m, meta.name));
        ArrayObject* args = m.NewArray();
        m.SetPublic(Value::Obj(o), "value", Value::Obj(args));
        for (const auto& [k, v] : meta.args) {
            Object* arg = m.NewObject();
            args->items.push_back(Value::Obj(arg));
            m.SetPublic(Value::Obj(arg), "key", StrValue(m, k));
            m.SetPublic(Value::Obj(arg), "value", StrValue(m, v));
        }
    }
    return Value::Obj(a);
}

Value ParamsJson(Machine& m, const std::vector<Param>& params) {
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    for (const Param& p : params) {
        Object* o = m.NewObject();
        a->items.push_back(Value::Obj(o));
        m.SetPublic(Value::Obj(o), "type", StrValue(m, p.type));
        m.SetPublic(Value::Obj(o), "optional", Value::Bool(p.optional));
    }
    return Value::Obj(a);
}

Value NamesJson(Machine& m, const std::vector<std::string>& names) {
    ArrayObject* a = m.NewArray();
    for (const std::string& n : names) a->items.push_back(StrValue(m, n));
    return Value::Obj(a);
}

Value MembersJson(Machine& m, const Description& d, uint32_t flags, Member::Kind kind) {
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    const bool variables = kind == Member::Variable;
    for (const Member& mb : d.members) {
        if (variables ? (mb.kind != Member::Variable && mb.kind != Member::Constant) : mb.kind != kind) continue;
        Object* o = m.NewObject();
        a->items.push_back(Value::Obj(o));
        Value ov = Value::Obj(o);
        m.SetPublic(ov, "name", StrValue(m, mb.name));
        m.SetPublic(ov, "uri", mb.hasUri ? StrValue(m, mb.uri) : Value::Null());
        m.SetPublic(ov, "metadata", MetaJson(m, mb.metadata, flags & kIncludeMetadata));
        if (kind == Member::Method) {
            m.SetPublic(ov, "declaredBy", StrValue(m, mb.declaredBy));
            m.SetPublic(ov, "returnType", StrValue(m, mb.returnType));
            m.SetPublic(ov, "parameters", ParamsJson(m, mb.params));
            continue;
        }
        m.SetPublic(ov, "access", StrValue(m, mb.Access()));
        m.SetPublic(ov, "type", StrValue(m, mb.type));
        if (kind == Member::Accessor) m.SetPublic(ov, "declaredBy", StrValue(m, mb.declaredBy));
    }
    return Value::Obj(a);
}

Value ToJson(Machine& m, const Description& d, uint32_t flags) {
    Object* o = m.NewObject();
    Value ov = Value::Obj(o);
    TempRoot keep(m, ov);
    m.SetPublic(ov, "name", StrValue(m, d.name));
    m.SetPublic(ov, "isDynamic", Value::Bool(d.isDynamic));
    m.SetPublic(ov, "isFinal", Value::Bool(d.isFinal));
    m.SetPublic(ov, "isStatic", Value::Bool(d.isStatic));
    if (!d.hasTraits) {
        m.SetPublic(ov, "traits", Value::Null());
        return ov;
    }
    Object* t = m.NewObject();
    Value tv = Value::Obj(t);
    m.SetPublic(ov, "traits", tv);
    auto part = [&](const char* name, uint32_t flag, const std::function<Value()>& make) {
        m.SetPublic(tv, name, (flags & flag) ? make() : Value::Null());
    };
    part("bases", kIncludeBases, [&] { return NamesJson(m, d.bases); });
    part("interfaces", kIncludeInterfaces, [&] { return NamesJson(m, d.interfaces); });
    part("constructor", kIncludeConstructor,
         [&] { return d.hasConstructor ? ParamsJson(m, d.constructor) : Value::Null(); });
    part("variables", kIncludeVariables, [&] { return MembersJson(m, d, flags, Member::Variable); });
    part("accessors", kIncludeAccessors, [&] { return MembersJson(m, d, flags, Member::Accessor); });
    part("methods", kIncludeMethods, [&] { return MembersJson(m, d, flags, Member::Method); });
    part("metadata", kIncludeMetadata, [&] { return MetaJson(m, d.metadata, true); });
    return ov;
}

// XML form -------------------------------------------------------------------------

std::string Attr(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + XmlEscape(value, true) + "\"";
}

void MetaXml(const std::vector<Meta>& list, std::string& out) {
    for (const Meta& meta : list) {
        out += "<metadata" + Attr("name", meta.name);
        if (meta.args.empty()) {
            out += "/>";
            continue;
        }
        out += ">";
        for (const auto& [k, v] : meta.args) out += "<arg" + Attr("key", k) + Attr("value", v) + "/>";
        out += "</metadata>";
    }
}

void ParamsXml(const std::vector<Param>& params, std::string& out) {
    for (size_t i = 0; i < params.size(); ++i)
        out += "<parameter" + Attr("index", std::to_string(i + 1)) + Attr("type", params[i].type) +
               Attr("optional", params[i].optional ? "true" : "false") + "/>";
}

void TraitsXml(const Description& d, std::string& out) {
    for (const std::string& b : d.bases) out += "<extendsClass" + Attr("type", b) + "/>";
    for (const std::string& i : d.interfaces) out += "<implementsInterface" + Attr("type", i) + "/>";
    if (d.hasConstructor && !d.constructor.empty()) {
        out += "<constructor>";
        ParamsXml(d.constructor, out);
        out += "</constructor>";
    }
    for (const Member& mb : d.members) {
        std::string inner;
        MetaXml(mb.metadata, inner);
        std::string tag;
        switch (mb.kind) {
        case Member::Variable:
        case Member::Constant:
            tag = mb.kind == Member::Constant ? "constant" : "variable";
            out += "<" + tag + Attr("name", mb.name) + Attr("type", mb.type);
            break;
        case Member::Accessor:
            tag = "accessor";
            out += "<" + tag + Attr("name", mb.name) + Attr("access", mb.Access()) + Attr("type", mb.type) +
                   Attr("declaredBy", mb.declaredBy);
            break;
        case Member::Method:
            tag = "method";
            out += "<" + tag + Attr("name", mb.name) + Attr("declaredBy", mb.declaredBy) +
                   Attr("returnType", mb.returnType);
            ParamsXml(mb.params, inner);
            break;
        }
        if (mb.hasUri) out += Attr("uri", mb.uri);
        out += inner.empty() ? "/>" : ">" + inner + "</" + tag + ">";
    }
    MetaXml(d.metadata, out);
}

Value DescribeXml(Machine& m, const Value& v, uint32_t flags) {
    Describer outer(m, flags & ~kUseItraits);
    Description d;
    outer.Describe(v, d);
    std::string out = "<type" + Attr("name", d.name);
    if (!d.bases.empty()) out += Attr("base", d.bases[0]);
    out += Attr("isDynamic", d.isDynamic ? "true" : "false") + Attr("isFinal", d.isFinal ? "true" : "false") +
           Attr("isStatic", d.isStatic ? "true" : "false") + ">";
    if (d.hasTraits) TraitsXml(d, out);
    if (d.hasTraits && v.IsObject() && v.o->kind == ObjKind::Class) {
        Describer inner(m, flags | kUseItraits);
        Description f;
        inner.Describe(v, f);
        out += "<factory" + Attr("type", f.name) + ">";
        TraitsXml(f, out);
        out += "</factory>";
    }
    out += "</type>";
    Value text = Value::Str(m.Str(out));
    return m.Construct(Value::Obj(m.xmlClass), &text, 1);
}

Value DescribeTypeJson(Machine& m, Value, Args args, int argc) {
    uint32_t flags = m.ToUint32(Arg(args, argc, 1));
    Describer describer(m, flags);
    Description d;
    if (!describer.Describe(Arg(args, argc, 0), d)) return Value::Null();
    return ToJson(m, d, flags);
}

Value AvmDescribeType(Machine& m, Value, Args args, int argc) {
    return DescribeXml(m, Arg(args, argc, 0), m.ToUint32(Arg(args, argc, 1)));
}

Value DescribeType(Machine& m, Value, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (v.IsUndefined()) m.NullError(v);
    return DescribeXml(m, v, kFlash10Flags);
}

}  // namespace

void InstallDescribeType(Machine& m) {
    m.DefineGlobalFunction("flash.utils", "describeType", DescribeType, 1);
    m.DefineGlobalFunction("avmplus", "describeType", AvmDescribeType, 2);
    // Only scripts of the avmplus package itself reach describeTypeJSON.
    RegisterDefinition(m, m.GetNs(NsKind::PackageInternal, m.Intern("avmplus")), m.Intern("describeTypeJSON"),
                       Value::Obj(m.NativeFunction("describeTypeJSON", DescribeTypeJson, 2)));
    const std::pair<const char*, uint32_t> flags[] = {
        {"HIDE_NSURI_METHODS", kHideNsUriMethods}, {"INCLUDE_BASES", kIncludeBases},
        {"INCLUDE_INTERFACES", kIncludeInterfaces}, {"INCLUDE_VARIABLES", kIncludeVariables},
        {"INCLUDE_ACCESSORS", kIncludeAccessors},   {"INCLUDE_METHODS", kIncludeMethods},
        {"INCLUDE_METADATA", kIncludeMetadata},     {"INCLUDE_CONSTRUCTOR", kIncludeConstructor},
        {"INCLUDE_TRAITS", kIncludeTraits},         {"USE_ITRAITS", kUseItraits},
        {"HIDE_OBJECT", kHideObject},               {"FLASH10_FLAGS", kFlash10Flags},
    };
    for (const auto& [name, value] : flags) m.DefineGlobalValue(name, Value::Uint(value), "avmplus");
}

}  // namespace swf::avm2
