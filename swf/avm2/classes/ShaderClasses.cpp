// Pixel shaders for scripts: Shader, ShaderData (the compiled shader's
// metadata, inputs and parameters as dynamic properties), ShaderInput,
// ShaderParameter, ShaderJob (runs a shader into a BitmapData, a
// Vector.<Number> or a ByteArray), ShaderPrecision and ShaderParameterType.
#include <cmath>
#include <cstring>
#include <memory>

#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/Display.h"
#include "swf/classes/ScriptBitmaps.h"
#include "swf/shader/PbjRun.h"

namespace swf::avm2 {

namespace {

using shader::Param;
using shader::ParamType;
using shader::Program;

class ShaderDataObject : public Object {
public:
    ShaderDataObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    std::shared_ptr<const Program> program;
};

class ShaderInputObject : public Object {
public:
    ShaderInputObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    Value input = Value::Null();
    int width = 0, height = 0, index = 0, channels = 0;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(input);
    }
};

class ShaderParamObject : public Object {
public:
    ShaderParamObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    Value value = Value::Null();
    int index = 0;
    const char* type = "";
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(value);
    }
};

class ShaderObject : public Object {
public:
    ShaderObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    Value data = Value::Null();
    Value precision = Value::Null();
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(data), t.Mark(precision);
    }
};

class ShaderJobObject : public DispatcherObject {
public:
    ShaderJobObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    Value shader = Value::Null(), target = Value::Null();
    int width = 0, height = 0;
    double progress = 0;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(shader), t.Mark(target);
    }
};

[[noreturn]] void InvalidParameter(Machine& m) { m.ArgumentError(2004, "One of the parameters is invalid."); }

Value NumberArray(Machine& m, const std::vector<double>& lanes) {
    ArrayObject* a = m.NewArray();
    for (double d : lanes) a->items.push_back(Value::Number(d));
    return Value::Obj(a);
}

Value MetaValue(Machine& m, const shader::MetaValue& meta, bool scalarIfOne) {
    if (meta.type == ParamType::String) return Value::Str(m.Str(meta.text));
    if (scalarIfOne && meta.numbers.size() == 1) return Value::Number(meta.numbers[0]);
    return NumberArray(m, meta.numbers);
}

// The dynamic properties a compiled shader shows: its metadata and name,
// an object for every input image and for every parameter scripts set.
void Describe(Machine& m, ShaderDataObject* data) {
    const Value self = Value::Obj(data);
    const Program& p = *data->program;
    for (const shader::MetaValue& meta : p.meta) m.SetPublic(self, meta.name.c_str(), MetaValue(m, meta, true));
    m.SetPublic(self, "name", Value::Str(m.Str(p.name)));
    for (const shader::Texture& t : p.textures) {
        Value input = m.Construct(Value::Obj(m.FindClass("flash.display.ShaderInput")), nullptr, 0);
        TempRoot keep(m, input);
        auto* in = static_cast<ShaderInputObject*>(input.o);
        in->index = t.index;
        in->channels = t.channels;
        m.SetPublic(input, "name", Value::Str(m.Str(t.name)));
        m.SetPublic(self, t.name.c_str(), input);
    }
    int index = 0;
    for (const Param& param : p.params) {
        if (param.output || param.name.empty() || param.name[0] == '_') continue;
        Value v = m.Construct(Value::Obj(m.FindClass("flash.display.ShaderParameter")), nullptr, 0);
        TempRoot keep(m, v);
        auto* po = static_cast<ShaderParamObject*>(v.o);
        po->index = index++;
        po->type = shader::TypeName(param.type);
        m.SetPublic(v, "name", Value::Str(m.Str(param.name)));
        for (const shader::MetaValue& meta : param.meta) m.SetPublic(v, meta.name.c_str(), MetaValue(m, meta, false));
        const shader::MetaValue* def = param.Meta("defaultValue");
        std::vector<double> lanes = def ? def->numbers : std::vector<double>();
        lanes.resize(size_t(shader::LaneCount(param.type)), 0.0);
        po->value = NumberArray(m, lanes);
        m.SetPublic(self, param.name.c_str(), v);
    }
}

Value SetByteCode(Machine& m, Value self, Args args, int argc) {
    auto* data = DisplayInstance<ShaderDataObject>(m, self, "ShaderData");
    ByteArrayObject* b = AsByteArray(Arg(args, argc, 0));
    if (!b) return Value::Undefined();
    auto program = std::make_shared<Program>();
    std::string error;
    if (!shader::ReadProgram(b->bytes.data(), b->bytes.size(), *program, error)) InvalidParameter(m);
    data->program = std::move(program);
    Describe(m, data);
    return Value::Undefined();
}

// The constructor reads the code through a private method of its own, which
// stack traces of a refused shader show.
Value DataInit(Machine& m, Value self, Args args, int argc) {
    Value code = Arg(args, argc, 0);
    m.Invoke(DataState(m).shaderSetByteCode, self.o->cls, nullptr, self, &code, 1, nullptr);
    return Value::Undefined();
}

Value ShaderInit(Machine& m, Value self, Args args, int argc) {
    auto* s = DisplayInstance<ShaderObject>(m, self, "Shader");
    s->precision = Value::Str(m.Str("full"));
    Value code = Arg(args, argc, 0);
    if (!code.IsNullish()) m.SetPublic(self, "byteCode", code);
    return Value::Undefined();
}

Value ShaderByteCode(Machine& m, Value self, Args args, int argc) {
    auto* s = DisplayInstance<ShaderObject>(m, self, "Shader");
    Value code = Arg(args, argc, 0);
    s->data = m.Construct(Value::Obj(m.FindClass("flash.display.ShaderData")), &code, 1);
    return Value::Undefined();
}

Value ShaderGetData(Machine& m, Value self, Args, int) { return DisplayInstance<ShaderObject>(m, self, "Shader")->data; }
Value ShaderSetData(Machine& m, Value self, Args args, int argc) {
    DisplayInstance<ShaderObject>(m, self, "Shader")->data = Arg(args, argc, 0);
    return Value::Undefined();
}
Value ShaderGetPrecision(Machine& m, Value self, Args, int) { return DisplayInstance<ShaderObject>(m, self, "Shader")->precision; }
Value ShaderSetPrecision(Machine& m, Value self, Args args, int argc) {
    DisplayInstance<ShaderObject>(m, self, "Shader")->precision = Value::Str(m.Str(m.ToStdString(Arg(args, argc, 0))));
    return Value::Undefined();
}

#define SHADER_INT_PROPERTY(Name, Class, Object, field)                                  \
    Value Get##Name(Machine& m, Value self, Args, int) {                                 \
        return Value::Int(DisplayInstance<Object>(m, self, Class)->field);                          \
    }                                                                                    \
    Value Set##Name(Machine& m, Value self, Args args, int argc) {                       \
        DisplayInstance<Object>(m, self, Class)->field = m.ToInt32(Arg(args, argc, 0));             \
        return Value::Undefined();                                                       \
    }
SHADER_INT_PROPERTY(InputWidth, "ShaderInput", ShaderInputObject, width)
SHADER_INT_PROPERTY(InputHeight, "ShaderInput", ShaderInputObject, height)
SHADER_INT_PROPERTY(JobWidth, "ShaderJob", ShaderJobObject, width)
SHADER_INT_PROPERTY(JobHeight, "ShaderJob", ShaderJobObject, height)
#undef SHADER_INT_PROPERTY

Value InputChannels(Machine& m, Value self, Args, int) {
    return Value::Int(DisplayInstance<ShaderInputObject>(m, self, "ShaderInput")->channels);
}
Value InputIndex(Machine& m, Value self, Args, int) {
    return Value::Int(DisplayInstance<ShaderInputObject>(m, self, "ShaderInput")->index);
}
Value InputGet(Machine& m, Value self, Args, int) { return DisplayInstance<ShaderInputObject>(m, self, "ShaderInput")->input; }
Value InputSet(Machine& m, Value self, Args args, int argc) {
    DisplayInstance<ShaderInputObject>(m, self, "ShaderInput")->input = Arg(args, argc, 0);
    return Value::Undefined();
}

Value ParamIndex(Machine& m, Value self, Args, int) {
    return Value::Int(DisplayInstance<ShaderParamObject>(m, self, "ShaderParameter")->index);
}
Value ParamTypeName(Machine& m, Value self, Args, int) {
    return Value::Str(m.Str(DisplayInstance<ShaderParamObject>(m, self, "ShaderParameter")->type));
}
Value ParamGet(Machine& m, Value self, Args, int) { return DisplayInstance<ShaderParamObject>(m, self, "ShaderParameter")->value; }
Value ParamSet(Machine& m, Value self, Args args, int argc) {
    DisplayInstance<ShaderParamObject>(m, self, "ShaderParameter")->value = Arg(args, argc, 0);
    return Value::Undefined();
}

Value JobInit(Machine& m, Value self, Args args, int argc) {
    auto* j = DisplayInstance<ShaderJobObject>(m, self, "ShaderJob");
    j->shader = Arg(args, argc, 0).IsUndefined() ? Value::Null() : Arg(args, argc, 0);
    j->target = Arg(args, argc, 1).IsUndefined() ? Value::Null() : Arg(args, argc, 1);
    j->width = m.ToInt32(Arg(args, argc, 2));
    j->height = m.ToInt32(Arg(args, argc, 3));
    return Value::Undefined();
}

Value JobGetShader(Machine& m, Value self, Args, int) { return DisplayInstance<ShaderJobObject>(m, self, "ShaderJob")->shader; }
Value JobSetShader(Machine& m, Value self, Args args, int argc) {
    DisplayInstance<ShaderJobObject>(m, self, "ShaderJob")->shader = Arg(args, argc, 0);
    return Value::Undefined();
}
Value JobGetTarget(Machine& m, Value self, Args, int) { return DisplayInstance<ShaderJobObject>(m, self, "ShaderJob")->target; }
Value JobSetTarget(Machine& m, Value self, Args args, int argc) {
    DisplayInstance<ShaderJobObject>(m, self, "ShaderJob")->target = Arg(args, argc, 0);
    return Value::Undefined();
}
Value JobProgress(Machine& m, Value self, Args, int) {
    return Value::Number(DisplayInstance<ShaderJobObject>(m, self, "ShaderJob")->progress);
}
Value JobCancel(Machine&, Value, Args, int) { return Value::Undefined(); }

// A parameter's lanes as the job hands them to the shader: every lane given
// must be a number; lanes not given are 0, lanes past the type ignored.
std::vector<double> ParamLanes(Machine& m, const Param& param, const Value& value) {
    std::vector<double> lanes;
    if (!value.IsObject() || value.o->kind != ObjKind::Array) return lanes;
    auto* a = static_cast<ArrayObject*>(value.o);
    const size_t n = std::min(a->items.size(), size_t(shader::LaneCount(param.type)));
    for (size_t k = 0; k < n; ++k) {
        const Value& v = a->items[k];
        if (!v.IsNumber()) InvalidParameter(m);
        double d = v.Num();
        lanes.push_back(d);
    }
    return lanes;
}

// Floats of a Vector.<Number> or of a ByteArray (4 bytes each, in its
// byte order); false for other values.
bool FloatsOf(Machine& m, const Value& v, std::vector<float>& out) {
    if (ByteArrayObject* b = AsByteArray(v)) {
        for (size_t at = 0; at + 4 <= b->bytes.size(); at += 4) {
            const uint8_t* p = &b->bytes[at];
            uint32_t bits = b->littleEndian ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
                                            : uint32_t(p[3]) | uint32_t(p[2]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[0]) << 24;
            float f;
            std::memcpy(&f, &bits, sizeof f);
            out.push_back(f);
        }
        return true;
    }
    if (!v.IsObject() || v.o->kind != ObjKind::Vector) return false;
    const int32_t n = m.ToInt32(m.GetPublic(v, "length"));
    for (int32_t i = 0; i < n; ++i) {
        Value item;
        v.o->GetIndexed(m, Value::Int(i), item);
        out.push_back(float(m.ToNumber(item)));
    }
    return true;
}

[[noreturn]] void InputTooSmall(Machine& m) {
    m.ArgumentError(2165, "The input to the shader is too small for its width and height.");
}

// An input image from what the script set: a BitmapData (its pixels as
// 0..1 floats), or floats with the input's width and height.
bool ImageOf(Machine& m, const ShaderInputObject& in, shader::Image& img) {
    img.channels = in.channels;
    if (ScriptBitmap* bmp = ScriptBitmapOf(m, in.input)) {
        const BitmapData& d = bmp->Data();
        img.width = d.Width(), img.height = d.Height();
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const uint32_t argb = d.GetPixel32(x, y);
                const float c[4] = {float((argb >> 16) & 255) / 255, float((argb >> 8) & 255) / 255,
                                    float(argb & 255) / 255, float(argb >> 24) / 255};
                for (int k = 0; k < img.channels; ++k) img.pixels.push_back(c[k]);
            }
        return true;
    }
    std::vector<float> floats;
    if (!FloatsOf(m, in.input, floats)) return false;
    img.width = in.width, img.height = in.height;
    if (floats.size() < size_t(std::max(img.width, 0)) * size_t(std::max(img.height, 0)) * size_t(img.channels))
        InputTooSmall(m);
    img.pixels = std::move(floats);
    return true;
}

uint32_t ToChannel(float f) {
    if (!(f > 0)) return 0;
    if (f >= 1) return 255;
    return uint32_t(std::lround(f * 255));
}

void WriteTarget(Machine& m, const Value& target, int width, int height, const std::vector<float>& out) {
    if (ScriptBitmap* bmp = ScriptBitmapOf(m, target)) {
        BitmapData& d = bmp->Data();
        for (int y = 0; y < std::min(height, d.Height()); ++y)
            for (int x = 0; x < std::min(width, d.Width()); ++x) {
                const float* px = &out[(size_t(y) * size_t(width) + size_t(x)) * 4];
                d.SetPixel32(x, y, ToChannel(px[3]) << 24 | ToChannel(px[0]) << 16 | ToChannel(px[1]) << 8 | ToChannel(px[2]));
            }
        bmp->Changed();
        return;
    }
    if (ByteArrayObject* b = AsByteArray(target)) {
        b->bytes.clear();
        for (float f : out) {
            uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            for (int k = 0; k < 4; ++k) {
                const int shift = b->littleEndian ? 8 * k : 24 - 8 * k;
                b->bytes.push_back(uint8_t(bits >> shift));
            }
        }
        return;
    }
    if (target.IsObject() && target.o->kind == ObjKind::Vector) {
        m.SetPublic(target, "length", Value::Int(int32_t(out.size())));
        for (size_t i = 0; i < out.size(); ++i) target.o->SetIndexed(m, Value::Int(int32_t(i)), Value::Number(out[i]));
    }
}

Value JobStart(Machine& m, Value self, Args, int) {
    auto* j = DisplayInstance<ShaderJobObject>(m, self, "ShaderJob");
    auto* s = AsDisplayInstance<ShaderObject>(m, j->shader, "Shader");
    auto* data = s ? AsDisplayInstance<ShaderDataObject>(m, s->data, "ShaderData") : nullptr;
    if (!data || !data->program) InvalidParameter(m);
    const Program& program = *data->program;
    int width = j->width, height = j->height;
    if (ScriptBitmap* bmp = ScriptBitmapOf(m, j->target); bmp && (width <= 0 || height <= 0))
        width = bmp->Data().Width(), height = bmp->Data().Height();
    if (width <= 0 || height <= 0) InvalidParameter(m);

    shader::Runner runner(program);
    const Value dataValue = Value::Obj(data);
    for (const Param& param : program.params) {
        if (param.output || param.name.empty() || param.name[0] == '_') continue;
        auto* po = AsDisplayInstance<ShaderParamObject>(m, m.GetPublic(dataValue, param.name.c_str()), "ShaderParameter");
        if (po) runner.SetParam(param, ParamLanes(m, param, po->value));
    }
    std::vector<shader::Image> images(program.textures.size());
    for (size_t i = 0; i < program.textures.size(); ++i) {
        const shader::Texture& t = program.textures[i];
        auto* in = AsDisplayInstance<ShaderInputObject>(m, m.GetPublic(dataValue, t.name.c_str()), "ShaderInput");
        if (in && ImageOf(m, *in, images[i])) runner.SetInput(t.index, &images[i]);
    }
    // The shader runs on this thread once a pixel: a job that would keep
    // the player busy for more than seconds is refused.
    constexpr int64_t kMaxSteps = int64_t(1) << 31;
    if (int64_t(width) * height * int64_t(std::max<size_t>(program.code.size(), 1)) > kMaxSteps) InvalidParameter(m);
    std::vector<float> out;
    runner.Run(width, height, out);
    WriteTarget(m, j->target, width, height, out);
    j->progress = 1;
    return Value::Undefined();
}

Object* AllocData(Machine& m, ClassObject* c) { return m.New<ShaderDataObject>(c, c->prototype); }
Object* AllocInput(Machine& m, ClassObject* c) { return m.New<ShaderInputObject>(c, c->prototype); }
Object* AllocParam(Machine& m, ClassObject* c) { return m.New<ShaderParamObject>(c, c->prototype); }
Object* AllocShader(Machine& m, ClassObject* c) { return m.New<ShaderObject>(c, c->prototype); }
Object* AllocJob(Machine& m, ClassObject* c) { return m.New<ShaderJobObject>(c, c->prototype); }

void Constants(Machine& m, ClassObject* c, std::initializer_list<std::pair<const char*, const char*>> list) {
    for (auto& [name, value] : list) m.DefineConstant(c, name, Value::Str(m.Str(value)));
}

}  // namespace

void InstallShaders(Machine& m) {
    ClassObject* data = m.DefineClass("flash.display", "ShaderData", m.objectClass, AllocData, false);
    data->init = m.NewNativeMethod("ShaderData", DataInit, 1);
    data->init->traceName = "flash.display::ShaderData";
    Method* setByteCode = m.NewNativeMethod("_setByteCode", SetByteCode, 1);
    setByteCode->traceName = "flash.display::ShaderData/_setByteCode";
    DataState(m).shaderSetByteCode = setByteCode;

    ClassObject* input = m.DefineClass("flash.display", "ShaderInput", m.objectClass, AllocInput, false);
    m.DefineGetter(input, "channels", InputChannels);
    m.DefineGetter(input, "index", InputIndex);
    m.DefineGetter(input, "input", InputGet, InputSet);
    m.DefineGetter(input, "width", GetInputWidth, SetInputWidth);
    m.DefineGetter(input, "height", GetInputHeight, SetInputHeight);

    ClassObject* param = m.DefineClass("flash.display", "ShaderParameter", m.objectClass, AllocParam, false);
    m.DefineGetter(param, "index", ParamIndex);
    m.DefineGetter(param, "type", ParamTypeName);
    m.DefineGetter(param, "value", ParamGet, ParamSet);

    ClassObject* sh = m.DefineClass("flash.display", "Shader", m.objectClass, AllocShader, false);
    sh->init = m.NewNativeMethod("Shader", ShaderInit, 1);
    sh->init->traceName = "flash.display::Shader";
    m.DefineGetter(sh, "data", ShaderGetData, ShaderSetData);
    m.DefineGetter(sh, "byteCode", nullptr, ShaderByteCode);
    m.DefineGetter(sh, "precisionHint", ShaderGetPrecision, ShaderSetPrecision);

    ClassObject* job = m.DefineClass("flash.display", "ShaderJob", m.FindClass("flash.events.EventDispatcher"),
                                     AllocJob, false);
    job->init = m.NewNativeMethod("ShaderJob", JobInit, 4);
    m.DefineGetter(job, "shader", JobGetShader, JobSetShader);
    m.DefineGetter(job, "target", JobGetTarget, JobSetTarget);
    m.DefineGetter(job, "width", GetJobWidth, SetJobWidth);
    m.DefineGetter(job, "height", GetJobHeight, SetJobHeight);
    m.DefineGetter(job, "progress", JobProgress);
    m.DefineMethod(job, "start", JobStart, 1);
    m.DefineMethod(job, "cancel", JobCancel, 0);

    Constants(m, m.DefineClass("flash.display", "ShaderPrecision", m.objectClass, nullptr, true),
              {{"FULL", "full"}, {"FAST", "fast"}});
    Constants(m, m.DefineClass("flash.display", "ShaderParameterType", m.objectClass, nullptr, true),
              {{"BOOL", "bool"}, {"BOOL2", "bool2"}, {"BOOL3", "bool3"}, {"BOOL4", "bool4"},
               {"FLOAT", "float"}, {"FLOAT2", "float2"}, {"FLOAT3", "float3"}, {"FLOAT4", "float4"},
               {"INT", "int"}, {"INT2", "int2"}, {"INT3", "int3"}, {"INT4", "int4"},
               {"MATRIX2X2", "matrix2x2"}, {"MATRIX3X3", "matrix3x3"}, {"MATRIX4X4", "matrix4x4"}});
}

}  // namespace swf::avm2
