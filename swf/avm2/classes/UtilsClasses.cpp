// flash.utils basics (getQualifiedClassName, getQualifiedSuperclassName,
// getDefinitionByName, getTimer), Date (time value only for now), and the interpreter's helpers for instanceof,
// catch scopes, domain memory and E4X escapes.
#include <chrono>
#include <cmath>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

std::string QualifiedClassName(Machine& m, const Value& v) {
    if (v.IsNullish()) return v.IsNull() ? "null" : "void";
    ClassObject* c = v.IsObject() && v.o->kind == ObjKind::Class ? static_cast<ClassObject*>(v.o) : m.ClassOf(v);
    return c ? c->QualifiedName() : "Object";
}

Value GetQualifiedClassName(Machine& m, Value, Args args, int argc) {
    return Value::Str(m.Str(QualifiedClassName(m, Arg(args, argc, 0))));
}

Value GetQualifiedSuperclassName(Machine& m, Value, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (v.IsNullish()) return Value::Null();
    ClassObject* c = v.IsObject() && v.o->kind == ObjKind::Class ? static_cast<ClassObject*>(v.o) : m.ClassOf(v);
    if (!c || !c->base) return Value::Null();
    return Value::Str(m.Str(c->base->QualifiedName()));
}

Value GetDefinitionByName(Machine& m, Value, Args args, int argc) {
    std::string name = m.ToStdString(Arg(args, argc, 0));
    std::string pkg, local = name;
    size_t colons = name.rfind("::"), dot = name.rfind('.');
    if (colons != std::string::npos) {
        pkg = name.substr(0, colons);
        local = name.substr(colons + 2);
    } else if (dot != std::string::npos) {
        pkg = name.substr(0, dot);
        local = name.substr(dot + 1);
    }
    Name n;
    n.name = m.Intern(local);
    n.single = m.GetNs(NsKind::Package, m.Intern(pkg));
    Object* g = m.FindDefinition(n);
    if (!g) m.ReferenceError(1065, "Variable " + local + " is not defined.");
    return m.GetProperty(Value::Obj(g), n);
}

Value GetTimer(Machine& m, Value, Args, int) {
    using namespace std::chrono;
    return Value::Int(int32_t(duration_cast<milliseconds>(steady_clock::now() - m.startTime).count()));
}

}  // namespace

bool InstanceOf(Machine& m, const Value& v, const Value& type) {
    if (!type.IsObject()) m.TypeError(1040, "The right-hand side of instanceof must be a class or function.");
    Object* proto = nullptr;
    if (type.o->kind == ObjKind::Class) proto = static_cast<ClassObject*>(type.o)->prototype;
    else if (type.o->kind == ObjKind::Function) {
        Value p = m.GetPublic(type, "prototype");
        proto = p.IsObject() ? p.o : nullptr;
    } else {
        m.TypeError(1040, "The right-hand side of instanceof must be a class or function.");
    }
    // Every number is a Number here, whatever class `is` gives it.
    Object* first = v.IsNumber() ? m.numberClass->prototype : m.ProtoOf(v);
    for (Object* p = first; p; p = p->proto)
        if (p == proto) return true;
    return false;
}

Traits* CatchTraits(Machine& m, const AbcModule& mod, const AbcException& e) {
    Traits* t = m.NewTraits(nullptr);
    if (e.varName) {
        const MnInfo& n = mod.names[e.varName];
        Binding& b = t->Add(n.name ? n.name : m.Intern(""), n.ns ? n.ns : m.publicNs);
        b = Binding{Binding::Slot, 0, 0, 0};
        SlotInfo si;
        si.name = n.name;
        si.ns = n.ns;
        // The variable keeps the type its handler catches.
        si.type = e.type;
        si.module = &mod;
        t->slots.push_back(si);
    }
    return t;
}

void DomainMemory(Machine& m, uint8_t, Value*, int&) {
    m.RangeError(1506, "The specified range is invalid.");
}

std::string XmlEscape(const std::string& s, bool attribute) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += attribute ? ">" : "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        case '\n': out += attribute ? "&#xA;" : "\n"; break;
        case '\r': out += attribute ? "&#xD;" : "\r"; break;
        case '\t': out += attribute ? "&#x9;" : "\t"; break;
        default: out += c;
        }
    }
    return out;
}

ClassObject* Machine::ApplyType(ClassObject* base, const std::vector<Value>& params) {
    if (base != vectorClass || params.size() != 1)
        TypeError(1127, "Type application attempted on a non-parameterized type.");
    ClassObject* of = params[0].IsObject() && params[0].o->kind == ObjKind::Class ? static_cast<ClassObject*>(params[0].o) : nullptr;
    auto it = base->applied.find(of);
    if (it != base->applied.end()) return it->second;
    std::string name = "Vector.<" + (of ? of->QualifiedName() : std::string("*")) + ">";
    // Vectors of object types are vectors of `*` as well.
    const bool numeric = of == intClass || of == uintClass || of == numberClass;
    ClassObject* parent = of && !numeric ? ApplyType(base, {Value::Null()}) : base;
    ClassObject* c = DefineClass("__AS3__.vec", name, parent, nullptr, true);
    c->init = base->init;
    c->call = base->call;
    c->vectorOf = of;
    c->isVector = true;
    c->instanceTraits = base->instanceTraits;
    base->applied[of] = c;
    return c;
}

void InstallUtils(Machine& m) {
    m.DefineGlobalFunction("flash.utils", "getQualifiedClassName", GetQualifiedClassName, 1);
    m.DefineGlobalFunction("flash.utils", "getQualifiedSuperclassName", GetQualifiedSuperclassName, 1);
    m.DefineGlobalFunction("flash.utils", "getDefinitionByName", GetDefinitionByName, 1);
    m.DefineGlobalFunction("flash.utils", "getTimer", GetTimer, 0);
    InstallVector(m);
    InstallRegExp(m);
    InstallDescribeType(m);
}

// Host entries ---------------------------------------------------------------

// What no handler caught: an error as its stack trace, anything else as its
// text.
void Machine::Uncaught(const Value& e) {
    std::string text;
    try {
        text = ToStdString(e);
        if (e.IsObject() && e.o->cls && e.o->cls->IsSubclassOf(errorClass)) {
            Value st = CallProperty(e, Name{Intern("getStackTrace"), nullptr, as3Ns}, nullptr, 0);
            if (st.IsString()) text = st.s->text;
        }
    } catch (...) {
        thrown = Value::Undefined();
        text = "an error that cannot be shown";
    }
    if (traceUncaught) traceUncaught(text);
    if (report) report("Uncaught " + text);
}

bool Machine::Entry(const std::function<void()>& fn) {
    steps = 0;
    try {
        fn();
        if (callDepth == 0) MaybeCollect();
    } catch (ScriptThrow&) {
        Value e = thrown;
        thrown = Value::Undefined();
        Uncaught(e);
        valueTop = 0;
        callDepth = 0;
        return false;
    } catch (ScriptAbort& a) {
        if (report) report("Script stopped: " + a.why);
        valueTop = 0;
        callDepth = 0;
        return false;
    }
    return true;
}

Value Machine::ConstructFromHost(ClassObject* cls) {
    Value r;
    Entry([&] { r = Construct(Value::Obj(cls), nullptr, 0); });
    return r;
}

}  // namespace swf::avm2
