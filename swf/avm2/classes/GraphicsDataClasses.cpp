// The drawing commands as values (GraphicsSolidFill, GraphicsBitmapFill,
// GraphicsGradientFill, GraphicsEndFill, GraphicsStroke, GraphicsPath) and
// Graphics.drawGraphicsData, which replays a list of them through the
// drawing methods. Each value keeps its constructor's arguments as public
// fields a script may change before drawing.
#include <cmath>
#include <map>
#include <string>

#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

struct FieldDefault {
    const char* name;
    Value value;
};

struct DataClass {
    const char* name;
    std::vector<FieldDefault> fields;  // in the constructor's order
    const char* kind;                  // the interface it is, beside IGraphicsData
};

const std::vector<DataClass>& DataClasses() {
    static const std::vector<DataClass> classes = {
        {"GraphicsSolidFill", {{"color", Value::Uint(0)}, {"alpha", Value::Number(1)}}, "IGraphicsFill"},
        {"GraphicsBitmapFill",
         {{"bitmapData", Value::Null()}, {"matrix", Value::Null()}, {"repeat", Value::Bool(true)},
          {"smooth", Value::Bool(false)}},
         "IGraphicsFill"},
        {"GraphicsGradientFill",
         {{"type", Value::Null()}, {"colors", Value::Null()}, {"alphas", Value::Null()}, {"ratios", Value::Null()},
          {"matrix", Value::Null()}, {"spreadMethod", Value::Null()}, {"interpolationMethod", Value::Null()},
          {"focalPointRatio", Value::Number(0)}},
         "IGraphicsFill"},
        {"GraphicsEndFill", {}, "IGraphicsFill"},
        {"GraphicsStroke",
         {{"thickness", Value::Number(NAN)}, {"pixelHinting", Value::Bool(false)}, {"scaleMode", Value::Null()},
          {"caps", Value::Null()}, {"joints", Value::Null()}, {"miterLimit", Value::Number(3)},
          {"fill", Value::Null()}},
         "IGraphicsStroke"},
        {"GraphicsPath", {{"commands", Value::Null()}, {"data", Value::Null()}, {"winding", Value::Null()}},
         "IGraphicsPath"},
    };
    return classes;
}

// The string defaults, which need the machine to make.
Value StringDefault(Machine& m, const std::string& cls, const std::string& field) {
    static const std::map<std::string, const char*> defaults = {
        {"GraphicsGradientFill.type", "linear"},          {"GraphicsGradientFill.spreadMethod", "pad"},
        {"GraphicsGradientFill.interpolationMethod", "rgb"}, {"GraphicsStroke.scaleMode", "normal"},
        {"GraphicsStroke.caps", "none"},                  {"GraphicsStroke.joints", "round"},
        {"GraphicsPath.winding", "evenOdd"},
    };
    auto it = defaults.find(cls + "." + field);
    return it == defaults.end() ? Value::Null() : Value::Str(m.Intern(it->second));
}

template <int K>
Value Init(Machine& m, Value self, Args args, int argc) {
    const DataClass& k = DataClasses()[K];
    for (size_t i = 0; i < k.fields.size(); ++i) {
        Value v = k.fields[i].value;
        if (int(i) < argc && !args[i].IsUndefined()) v = args[i];
        else if (Value text = StringDefault(m, k.name, k.fields[i].name); !text.IsNull()) v = text;
        m.SetPublic(self, k.fields[i].name, v);
    }
    return Value::Undefined();
}

bool IsA(Machine& m, const Value& v, const char* name) {
    ClassObject* c = m.FindClass(std::string("flash.display.") + name);
    return c && v.IsObject() && m.IsType(v, c);
}

// GraphicsPath's own methods append to its commands and data.
Value PathList(Machine& m, const Value& self, const char* field, ClassObject* of) {
    Value list = m.GetPublic(self, field);
    if (list.IsNullish()) {
        list = m.Construct(Value::Obj(m.ApplyType(m.vectorClass, {Value::Obj(of)})), nullptr, 0);
        m.SetPublic(self, field, list);
    }
    return list;
}

// A wide step takes the room of a curve: a point of zeros, then its own.
template <int Command, int Points, bool Wide = false>
Value PathStep(Machine& m, Value self, Args args, int argc) {
    Value commands = PathList(m, self, "commands", m.intClass);
    Value data = PathList(m, self, "data", m.numberClass);
    Value c = Value::Int(Command);
    m.CallProperty(commands, m.PublicName("push"), &c, 1);
    auto push = [&](double n) {
        Value d = Value::Number(n);
        m.CallProperty(data, m.PublicName("push"), &d, 1);
    };
    if (Wide) push(0), push(0);
    for (int i = 0; i < Points * 2; ++i) push(m.ToNumber(Arg(args, argc, i)));
    return Value::Undefined();
}

void Draw(Machine& m, const Value& g, const char* method, std::vector<Value> args) {
    m.CallProperty(g, m.PublicName(method), args.data(), int(args.size()));
}

// A fill given to a stroke: its colour for lineStyle, or its own line style.
void StrokeFill(Machine& m, const Value& g, const Value& fill) {
    if (IsA(m, fill, "GraphicsBitmapFill"))
        Draw(m, g, "lineBitmapStyle",
             {m.GetPublic(fill, "bitmapData"), m.GetPublic(fill, "matrix"), m.GetPublic(fill, "repeat"),
              m.GetPublic(fill, "smooth")});
    else if (IsA(m, fill, "GraphicsGradientFill"))
        Draw(m, g, "lineGradientStyle",
             {m.GetPublic(fill, "type"), m.GetPublic(fill, "colors"), m.GetPublic(fill, "alphas"),
              m.GetPublic(fill, "ratios"), m.GetPublic(fill, "matrix"), m.GetPublic(fill, "spreadMethod"),
              m.GetPublic(fill, "interpolationMethod"), m.GetPublic(fill, "focalPointRatio")});
}

void DrawOne(Machine& m, const Value& g, const Value& item) {
    if (IsA(m, item, "GraphicsSolidFill")) {
        Draw(m, g, "beginFill", {m.GetPublic(item, "color"), m.GetPublic(item, "alpha")});
    } else if (IsA(m, item, "GraphicsBitmapFill")) {
        Draw(m, g, "beginBitmapFill",
             {m.GetPublic(item, "bitmapData"), m.GetPublic(item, "matrix"), m.GetPublic(item, "repeat"),
              m.GetPublic(item, "smooth")});
    } else if (IsA(m, item, "GraphicsGradientFill")) {
        Draw(m, g, "beginGradientFill",
             {m.GetPublic(item, "type"), m.GetPublic(item, "colors"), m.GetPublic(item, "alphas"),
              m.GetPublic(item, "ratios"), m.GetPublic(item, "matrix"), m.GetPublic(item, "spreadMethod"),
              m.GetPublic(item, "interpolationMethod"), m.GetPublic(item, "focalPointRatio")});
    } else if (IsA(m, item, "GraphicsEndFill")) {
        Draw(m, g, "endFill", {});
    } else if (IsA(m, item, "GraphicsStroke")) {
        Value fill = m.GetPublic(item, "fill");
        Value color = Value::Uint(0), alpha = Value::Number(1);
        if (IsA(m, fill, "GraphicsSolidFill")) {
            color = m.GetPublic(fill, "color");
            alpha = m.GetPublic(fill, "alpha");
        }
        Draw(m, g, "lineStyle",
             {m.GetPublic(item, "thickness"), color, alpha, m.GetPublic(item, "pixelHinting"),
              m.GetPublic(item, "scaleMode"), m.GetPublic(item, "caps"), m.GetPublic(item, "joints"),
              m.GetPublic(item, "miterLimit")});
        StrokeFill(m, g, fill);
    } else if (IsA(m, item, "GraphicsPath")) {
        Draw(m, g, "drawPath",
             {m.GetPublic(item, "commands"), m.GetPublic(item, "data"), m.GetPublic(item, "winding")});
    }
}

Value DrawGraphicsData(Machine& m, Value self, Args args, int argc) {
    Value list = Arg(args, argc, 0);
    if (list.IsNullish()) m.NullError(list);
    uint32_t n = m.ToUint32(m.GetPublic(list, "length"));
    for (uint32_t i = 0; i < n; ++i) {
        Value item = m.GetProperty(list, m.PublicName(std::to_string(i)));
        if (!item.IsNullish()) DrawOne(m, self, item);
    }
    return Value::Undefined();
}

template <int K>
void DefineDataClass(Machine& m) {
    const DataClass& k = DataClasses()[K];
    ClassObject* c = m.DefineClass("flash.display", k.name, m.objectClass, nullptr, false);
    c->isFinal = true;
    c->init = m.NewNativeMethod(k.name, Init<K>, 0);
    c->interfaces.push_back(m.FindClass("flash.display.IGraphicsData"));
    c->interfaces.push_back(m.FindClass(std::string("flash.display.") + k.kind));
}

template <int... K>
void DefineDataClasses(Machine& m, std::integer_sequence<int, K...>) {
    (DefineDataClass<K>(m), ...);
}

}  // namespace

void InstallGraphicsData(Machine& m) {
    for (const char* name : {"IGraphicsData", "IGraphicsFill", "IGraphicsPath", "IGraphicsStroke"}) {
        ClassObject* i = m.DefineClass("flash.display", name, nullptr, nullptr, true);
        i->isInterface = true;
    }
    DefineDataClasses(m, std::make_integer_sequence<int, 6>());
    ClassObject* path = m.FindClass("flash.display.GraphicsPath");
    m.DefineMethod(path, "moveTo", PathStep<1, 1>, 2);
    m.DefineMethod(path, "lineTo", PathStep<2, 1>, 2);
    m.DefineMethod(path, "curveTo", PathStep<3, 2>, 4);
    m.DefineMethod(path, "wideMoveTo", PathStep<4, 1, true>, 2);
    m.DefineMethod(path, "wideLineTo", PathStep<5, 1, true>, 2);
    m.DefineMethod(path, "cubicCurveTo", PathStep<6, 3>, 6);
    if (ClassObject* g = m.FindClass("flash.display.Graphics")) m.DefineMethod(g, "drawGraphicsData", DrawGraphicsData, 1);
}

}  // namespace swf::avm2
