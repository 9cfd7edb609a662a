// How a display object is composited: blendMode (and blendShader, which
// sets it to "shader"), cacheAsBitmap and opaqueBackground.
#include "swf/avm2/classes/Display.h"
#include "swf/model/Effects.h"

namespace swf::avm2 {

namespace {

Value GetBlendMode(Machine& m, Value self, Args, int) {
    DispatcherObject* d = AsDisplay(m, self);
    if (d && d->shaderBlend) return Value::Str(m.Intern("shader"));
    const uint32_t s = SerialOf(m, self);
    std::optional<double> code = s ? m.display->Get(s, kDpBlendMode) : std::nullopt;
    return Value::Str(m.Intern(BlendModeName(BlendModeFromCode(uint8_t(code ? *code : 1)))));
}

Value SetBlendMode(Machine& m, Value self, Args args, int argc) {
    const std::string name = m.ToStdString(Arg(args, argc, 0));
    BlendMode mode = BlendMode::Normal;
    const bool shader = name == "shader";
    if (!shader && !BlendModeFromName(name.c_str(), mode))
        m.ArgumentError(2008, "Parameter blendMode must be one of the accepted values.");
    if (DispatcherObject* d = AsDisplay(m, self)) d->shaderBlend = shader;
    if (uint32_t s = SerialOf(m, self)) m.display->Set(s, kDpBlendMode, double(uint8_t(mode)));
    return Value::Undefined();
}

// Only a shader with code can blend; the object then blends by it (drawn
// as normal here).
Value SetBlendShader(Machine& m, Value self, Args args, int argc) {
    Value shader = Arg(args, argc, 0);
    ClassObject* c = m.FindClass("flash.display.Shader");
    if (!shader.IsObject() || !c || !shader.o->cls || !shader.o->cls->IsSubclassOf(c))
        m.TypeError(2007, "Parameter shader must be non-null.");
    if (m.GetPublic(shader, "data").IsNullish()) m.TypeError(2007, "Parameter data must be non-null.");
    Value name = Value::Str(m.Intern("shader"));
    return SetBlendMode(m, self, &name, 1);
}

Value GetCache(Machine& m, Value self, Args, int) {
    const uint32_t s = SerialOf(m, self);
    std::optional<double> v = s ? m.display->Get(s, kDpCacheAsBitmap) : std::nullopt;
    return Value::Bool(v && *v != 0);
}

Value SetCache(Machine& m, Value self, Args args, int argc) {
    if (uint32_t s = SerialOf(m, self)) m.display->Set(s, kDpCacheAsBitmap, m.ToBoolean(Arg(args, argc, 0)) ? 1 : 0);
    return Value::Undefined();
}

Value GetOpaque(Machine& m, Value self, Args, int) {
    const uint32_t s = SerialOf(m, self);
    std::optional<double> v = s ? m.display->Get(s, kDpOpaqueBackground) : std::nullopt;
    return v && *v >= 0 ? Value::Uint(uint32_t(*v)) : Value::Null();
}

Value SetOpaque(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    const double rgb = v.IsNullish() ? -1 : double(m.ToUint32(v) & 0xFFFFFF);
    if (uint32_t s = SerialOf(m, self)) m.display->Set(s, kDpOpaqueBackground, rgb);
    return Value::Undefined();
}

}  // namespace

void InstallDisplayEffects(Machine& m, ClassObject* display) {
    m.DefineGetter(display, "blendMode", GetBlendMode, SetBlendMode);
    m.DefineGetter(display, "blendShader", nullptr, SetBlendShader);
    m.DefineGetter(display, "cacheAsBitmap", GetCache, SetCache);
    m.DefineGetter(display, "opaqueBackground", GetOpaque, SetOpaque);

    ClassObject* names = m.DefineClass("flash.display", "BlendMode", m.objectClass, nullptr, true);
    names->isFinal = true;
    for (uint8_t code = 1; code <= kLastBlendMode; ++code) {
        std::string name = BlendModeName(BlendMode(code));
        std::string constant;
        for (char ch : name) constant += char(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
        m.DefineConstant(names, constant, Value::Str(m.Intern(name)));
    }
    m.DefineConstant(names, "SHADER", Value::Str(m.Intern("shader")));
}

}  // namespace swf::avm2
