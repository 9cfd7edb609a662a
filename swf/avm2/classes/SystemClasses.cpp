// flash.system: Capabilities, ApplicationDomain and SecurityDomain (one
// domain for the movie), System; and the avmplus names of flash.utils'
// reflection functions.
#include <algorithm>

#include "swf/avm2/classes/DataState.h"

namespace swf::avm2 {

namespace {

Value Definition(Machine& m, const Value& name) {
    Name n;
    n.name = m.Intern("getDefinitionByName");
    n.single = m.GetNs(NsKind::Package, m.Intern("flash.utils"));
    Value fn = m.GetDefinition(n);
    return m.Call(fn, Value::Null(), &name, 1);
}

Value GetDefinition(Machine& m, Value, Args args, int argc) {
    Value name = Arg(args, argc, 0);
    if (name.IsNullish()) m.TypeError(2007, "Parameter name must be non-null.");
    return Definition(m, name);
}

Value HasDefinition(Machine& m, Value, Args args, int argc) {
    Value name = Arg(args, argc, 0);
    if (name.IsNullish()) return Value::Bool(false);
    try {
        Definition(m, name);
        return Value::Bool(true);
    } catch (ScriptThrow&) {
        m.thrown = Value::Undefined();
        return Value::Bool(false);
    }
}

// The names the movie's own scripts define, "pkg::Name", in order.
Value DefinitionNames(Machine& m, Value, Args, int) {
    std::vector<std::string> names;
    for (auto& [name, list] : m.definitions)
        for (auto& [ns, d] : list) {
            if (!d.script || !ns || ns->kind != NsKind::Package) continue;
            names.push_back(ns->uri->text.empty() ? name->text : ns->uri->text + "::" + name->text);
        }
    std::sort(names.begin(), names.end());
    ClassObject* vc = m.ApplyType(m.vectorClass, {Value::Obj(m.stringClass)});
    Value v = m.Construct(Value::Obj(vc), &kNoItems, 1);
    for (size_t i = 0; i < names.size(); ++i)
        m.SetProperty(v, IndexName(m, uint32_t(i)), Value::Str(m.Str(names[i])));
    return v;
}

Value CurrentDomain(Machine& m, Value self, Args, int) {
    auto* c = static_cast<ClassObject*>(self.o);
    auto& one = DataState(m).singletons;
    auto it = one.find(c);
    if (it != one.end()) return it->second;
    Value d = Value::Obj(m.Instantiate(c));
    one[c] = d;
    return d;
}

Value Null(Machine&, Value, Args, int) { return Value::Null(); }
Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

Value SetClipboard(Machine& m, Value, Args args, int argc) {
    if (Arg(args, argc, 0).IsNullish()) m.TypeError(2007, "Parameter string must be non-null.");
    return Value::Undefined();
}
Value MinDomainMemory(Machine&, Value, Args, int) { return Value::Uint(1024); }

// Capabilities ------------------------------------------------------------------

struct Capability {
    const char* name;
    enum { Bool, Num, Str } kind;
    double num;
    const char* text;
};

const Capability kCapabilities[] = {
    {"avHardwareDisable", Capability::Bool, 1, nullptr}, {"hasAccessibility", Capability::Bool, 0, nullptr},
    {"hasAudio", Capability::Bool, 1, nullptr}, {"hasAudioEncoder", Capability::Bool, 0, nullptr},
    {"hasEmbeddedVideo", Capability::Bool, 1, nullptr}, {"hasIME", Capability::Bool, 0, nullptr},
    {"hasMP3", Capability::Bool, 1, nullptr}, {"hasPrinting", Capability::Bool, 0, nullptr},
    {"hasScreenBroadcast", Capability::Bool, 0, nullptr}, {"hasScreenPlayback", Capability::Bool, 0, nullptr},
    {"hasStreamingAudio", Capability::Bool, 1, nullptr}, {"hasStreamingVideo", Capability::Bool, 0, nullptr},
    {"hasTLS", Capability::Bool, 0, nullptr}, {"hasVideoEncoder", Capability::Bool, 0, nullptr},
    {"isDebugger", Capability::Bool, 1, nullptr}, {"isEmbeddedInAcrobat", Capability::Bool, 0, nullptr},
    {"localFileReadDisable", Capability::Bool, 0, nullptr}, {"supports32BitProcesses", Capability::Bool, 1, nullptr},
    {"supports64BitProcesses", Capability::Bool, 0, nullptr}, {"touchscreenType", Capability::Str, 0, "none"},
    {"language", Capability::Str, 0, "en"}, {"os", Capability::Str, 0, "Windows 10"},
    {"cpuArchitecture", Capability::Str, 0, "x86"}, {"playerType", Capability::Str, 0, "StandAlone"},
    {"version", Capability::Str, 0, "WIN 32,0,0,0"}, {"pixelAspectRatio", Capability::Num, 1, nullptr},
    {"screenColor", Capability::Str, 0, "color"}, {"screenDPI", Capability::Num, 72, nullptr},
    {"screenResolutionX", Capability::Num, 1536, nullptr}, {"screenResolutionY", Capability::Num, 864, nullptr},
    {"maxLevelIDC", Capability::Str, 0, "5.1"}, {"manufacturer", Capability::Str, 0, "Pictaro Windows"},
};

template <int I>
Value CapabilityGet(Machine& m, Value, Args, int) {
    const Capability& c = kCapabilities[I];
    if (c.kind == Capability::Bool) return Value::Bool(c.num != 0);
    if (c.kind == Capability::Num) return Value::Number(c.num);
    return Value::Str(m.Intern(c.text));
}

template <int... I>
void DefineCapabilities(Machine& m, ClassObject* c, std::integer_sequence<int, I...>) {
    (m.DefineStaticGetter(c, kCapabilities[I].name, CapabilityGet<I>), ...);
}

Value ServerString(Machine& m, Value, Args, int) {
    return Value::Str(m.Intern("A=t&SA=t&SV=t&EV=t&MP3=t&AE=t&VE=t&ACC=f&PR=t&SP=t&SB=f&DEB=t&V=WIN%2032%2C0%2C0%2C0"
                               "&M=Pictaro%20Windows&R=1536x864&COL=color&AR=1.0&OS=Windows%2010&L=en&IME=f&PT="
                               "StandAlone&AVD=f&LFD=f&WD=f&TLS=f&ML=5.1&DP=72"));
}

// System --------------------------------------------------------------------------

Value TotalMemory(Machine& m, Value, Args, int) { return Value::Uint(uint32_t(std::min<size_t>(m.heap.Bytes(), 0x7FFFFFFF))); }
Value TotalMemoryNumber(Machine& m, Value, Args, int) { return Value::Number(double(m.heap.Bytes())); }
Value GetFalse(Machine&, Value, Args, int) { return Value::Bool(false); }

}  // namespace

void InstallSystem(Machine& m) {
    struct {
        const char* pkg;
        const char* name;
        std::vector<std::pair<const char*, Value>> values;
    } constants[] = {
        {"flash.utils", "Endian", {{"BIG_ENDIAN", Value::Str(m.Intern("bigEndian"))},
                                   {"LITTLE_ENDIAN", Value::Str(m.Intern("littleEndian"))}}},
        {"flash.utils", "CompressionAlgorithm", {{"ZLIB", Value::Str(m.Intern("zlib"))},
                                                 {"DEFLATE", Value::Str(m.Intern("deflate"))},
                                                 {"LZMA", Value::Str(m.Intern("lzma"))}}},
        {"flash.net", "ObjectEncoding", {{"AMF0", Value::Int(0)}, {"AMF3", Value::Int(3)}, {"DEFAULT", Value::Int(3)}}},
    };
    for (auto& k : constants) {
        ClassObject* c = m.DefineClass(k.pkg, k.name, m.objectClass, nullptr, true);
        c->isFinal = true;
        for (auto& [name, v] : k.values) m.DefineConstant(c, name, v);
    }

    ClassObject* domain = m.DefineClass("flash.system", "ApplicationDomain", m.objectClass, nullptr, true);
    domain->isFinal = true;
    m.DefineStaticGetter(domain, "currentDomain", CurrentDomain);
    m.DefineStaticGetter(domain, "MIN_DOMAIN_MEMORY_LENGTH", MinDomainMemory);
    m.DefineGetter(domain, "parentDomain", Null);
    m.DefineGetter(domain, "domainMemory", Null, Nothing);
    m.DefineMethod(domain, "getDefinition", GetDefinition, 1);
    m.DefineMethod(domain, "hasDefinition", HasDefinition, 1);
    m.DefineMethod(domain, "getQualifiedDefinitionNames", DefinitionNames, 0);

    ClassObject* security = m.DefineClass("flash.system", "SecurityDomain", m.objectClass, nullptr, true);
    m.DefineStaticGetter(security, "currentDomain", CurrentDomain);
    m.DefineGetter(security, "domainID", ServerString);

    ClassObject* caps = m.DefineClass("flash.system", "Capabilities", m.objectClass, nullptr, true);
    DefineCapabilities(m, caps, std::make_integer_sequence<int, int(sizeof kCapabilities / sizeof kCapabilities[0])>());
    m.DefineStaticGetter(caps, "serverString", ServerString);

    ClassObject* system = m.DefineClass("flash.system", "System", m.objectClass, nullptr, true);
    m.DefineStaticGetter(system, "totalMemory", TotalMemory);
    m.DefineStaticGetter(system, "totalMemoryNumber", TotalMemoryNumber);
    m.DefineStaticGetter(system, "privateMemory", TotalMemoryNumber);
    m.DefineStaticGetter(system, "freeMemory", TotalMemoryNumber);
    m.DefineStaticGetter(system, "useCodePage", GetFalse, Nothing);
    m.DefineStaticGetter(system, "ime", Null);
    m.DefineStatic(system, "gc", Nothing, 0);
    m.DefineStatic(system, "pause", Nothing, 0);
    m.DefineStatic(system, "resume", Nothing, 0);
    m.DefineStatic(system, "exit", Nothing, 1);
    m.DefineStatic(system, "setClipboard", SetClipboard, 1);
    m.DefineStatic(system, "pauseForGCIfCollectionImminent", Nothing, 1);
    m.DefineStatic(system, "disposeXML", Nothing, 1);

    // flash.trace.Trace: the player's method tracing, which stays off; a
    // listener given is not kept.
    ClassObject* tr = m.DefineClass("flash.trace", "Trace", m.objectClass, nullptr, true);
    const std::pair<const char*, int> levels[] = {{"OFF", 0}, {"METHODS", 1}, {"METHODS_WITH_ARGS", 2},
                                                  {"METHODS_AND_LINES", 3}, {"METHODS_AND_LINES_WITH_ARGS", 4},
                                                  {"FILE", 1}, {"LISTENER", 2}};
    for (const auto& [name, value] : levels) m.DefineConstant(tr, name, Value::Int(value));
    m.DefineStatic(tr, "getLevel", [](Machine&, Value, Args, int) { return Value::Int(0); }, 1);
    m.DefineStatic(tr, "getListener", [](Machine&, Value, Args, int) { return Value::Null(); }, 0);
    m.DefineStatic(tr, "setLevel", Nothing, 2);
    m.DefineStatic(tr, "setListener", Nothing, 1);

    // The same reflection functions under the avmplus package.
    Ns* utils = m.GetNs(NsKind::Package, m.Intern("flash.utils"));
    for (const char* name : {"getQualifiedClassName", "getQualifiedSuperclassName", "getTimer"}) {
        Name n;
        n.name = m.Intern(name);
        n.single = utils;
        Value fn = m.GetDefinition(n);
        m.DefineGlobalValue(name, fn, "avmplus");
    }
}

}  // namespace swf::avm2
