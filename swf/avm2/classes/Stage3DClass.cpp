// flash.display.Stage3D without a GPU: the stage's four layers keep their
// place and visibility, and never get a Context3D.
#include <cmath>
#include <string>
#include <utility>

#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

constexpr int kLayers = 4;
// A layer's corner stays within the largest stage.
constexpr double kMinCoord = -8192, kMaxCoord = 8191;

class Stage3DObject : public DispatcherObject {
public:
    Stage3DObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    double x = 0, y = 0;
    bool visible = true;
};

Object* AllocStage3D(Machine& m, ClassObject* cls) { return m.New<Stage3DObject>(cls, cls->prototype); }

Stage3DObject* Self(Machine& m, const Value& v) {
    auto* s = v.IsObject() ? dynamic_cast<Stage3DObject*>(v.o) : nullptr;
    if (!s) m.NullError(Value::Null());
    return s;
}

template <double Stage3DObject::*F>
Value GetCoord(Machine& m, Value self, Args, int) {
    return Value::Number(Self(m, self)->*F);
}

template <double Stage3DObject::*F>
Value SetCoord(Machine& m, Value self, Args args, int argc) {
    Stage3DObject* s = Self(m, self);
    double d = m.ToNumber(Arg(args, argc, 0));
    if (!(d >= kMinCoord && d <= kMaxCoord)) m.ArgumentError(2006, "The supplied index is out of bounds.");
    s->*F = d;
    return Value::Undefined();
}

Value GetVisible(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->visible); }
Value SetVisible(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->visible = m.ToBoolean(Arg(args, argc, 0));
    return Value::Undefined();
}

Value Null(Machine&, Value, Args, int) { return Value::Null(); }
Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

Value Stage3Ds(Machine& m, Value, Args, int) {
    ClassObject* layer = m.FindClass("flash.display.Stage3D");
    auto& one = DataState(m).singletons;
    auto it = one.find(layer);
    if (it != one.end()) return it->second;
    ClassObject* type = m.ApplyType(m.vectorClass, {Value::Obj(layer)});
    Value v = m.Construct(Value::Obj(type), nullptr, 0);
    TempRoot keep(m, v);
    for (int i = 0; i < kLayers; ++i) {
        Value s = Value::Obj(m.Instantiate(layer));
        m.CallProperty(v, m.PublicName("push"), &s, 1);
    }
    m.SetPublic(v, "fixed", Value::Bool(true));
    one[layer] = v;
    return v;
}

// The GPU's objects exist only as a context makes them.
struct GpuClass {
    const char* pkg;
    const char* name;
    const char* base;  // within the table, or null for EventDispatcher / Object
};

const GpuClass kGpuClasses[] = {
    {"flash.display3D", "Context3D", "flash.events.EventDispatcher"},
    {"flash.display3D", "Program3D", nullptr},
    {"flash.display3D", "IndexBuffer3D", nullptr},
    {"flash.display3D", "VertexBuffer3D", nullptr},
    {"flash.display3D.textures", "TextureBase", "flash.events.EventDispatcher"},
    {"flash.display3D.textures", "Texture", "flash.display3D.textures.TextureBase"},
    {"flash.display3D.textures", "CubeTexture", "flash.display3D.textures.TextureBase"},
    {"flash.display3D.textures", "RectangleTexture", "flash.display3D.textures.TextureBase"},
    {"flash.display3D.textures", "VideoTexture", "flash.display3D.textures.TextureBase"},
};

template <int I>
Value NotScriptMade(Machine& m, Value, Args, int) {
    m.ArgumentError(2012, std::string(kGpuClasses[I].name) + "$ class cannot be instantiated.");
}

template <int... I>
void DefineGpuClasses(Machine& m, std::integer_sequence<int, I...>) {
    auto one = [&](int i, NativeFn init) {
        const GpuClass& k = kGpuClasses[i];
        ClassObject* base = k.base ? m.FindClass(k.base) : m.objectClass;
        ClassObject* c = m.DefineClass(k.pkg, k.name, base, base ? base->allocate : nullptr, true);
        c->init = m.NewNativeMethod(k.name, init, 0);
    };
    (one(I, NotScriptMade<I>), ...);
}

}  // namespace

void InstallStage3D(Machine& m) {
    DefineGpuClasses(m, std::make_integer_sequence<int, int(sizeof kGpuClasses / sizeof kGpuClasses[0])>());
    ClassObject* layer =
        m.DefineClass("flash.display", "Stage3D", m.FindClass("flash.events.EventDispatcher"), AllocStage3D, true);
    m.DefineGetter(layer, "x", GetCoord<&Stage3DObject::x>, SetCoord<&Stage3DObject::x>);
    m.DefineGetter(layer, "y", GetCoord<&Stage3DObject::y>, SetCoord<&Stage3DObject::y>);
    m.DefineGetter(layer, "visible", GetVisible, SetVisible);
    m.DefineGetter(layer, "context3D", Null);
    m.DefineMethod(layer, "requestContext3D", Nothing, 0);
    m.DefineMethod(layer, "requestContext3DMatchingProfiles", Nothing, 1);
    if (ClassObject* stage = m.FindClass("flash.display.Stage")) m.DefineGetter(stage, "stage3Ds", Stage3Ds);
}

}  // namespace swf::avm2
