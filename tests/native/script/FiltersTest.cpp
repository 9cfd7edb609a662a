// flash.filters from script: constructors with their defaults and clamps,
// clone, the conversions to the engine's filters and back, and blend mode
// names.
#include "ScriptTestUtil.h"
#include "swf/avm1/FilterClasses.h"

namespace {

using namespace scripttest;
using swf::Filter;
using swf::FilterKind;

Value Ctor(Machine& m, const char* cls) {
    const Value flash = m.vm.GetMember(Value::Obj(m.vm.global), "flash");
    return m.vm.GetMember(m.vm.GetMember(flash, "filters"), cls);
}

Value Construct(Machine& m, const char* cls, std::vector<Value> args) { return m.vm.Construct(Ctor(m, cls), args); }

std::string Prop(Machine& m, const Value& o, const char* name) {
    return m.vm.ToString(m.vm.GetMember(o, name));
}

Value Array(Machine& m, std::vector<double> v) {
    std::vector<Value> elems;
    for (double d : v) elems.push_back(Value::Num(d));
    return Value::Obj(m.vm.NewArray(std::move(elems)));
}

TEST(FiltersTest, ConstructorsClampAndCloneCopiesDeeply) {
    RunTable({
        // blurX past 255 is clamped; quality keeps its default.
        {R"(push 2, 300, 2; push 'flash'; getvariable; push 'filters'; getmember; push 'BlurFilter'; newmethod
            storeregister 1; pop
            push r:1; push 'blurX'; getmember; trace
            push r:1; push 'blurY'; getmember; trace
            push r:1; push 'quality'; getmember; trace)", "255|2|1"},
        // The glow's defaults: red, strength 2, 6-pixel blur.
        {R"(push 0; push 'flash'; getvariable; push 'filters'; getmember; push 'GlowFilter'; newmethod
            storeregister 1; pop
            push r:1; push 'color'; getmember; trace
            push r:1; push 'strength'; getmember; trace
            push r:1; push 'blurY'; getmember; trace)", "16711680|2|6"},
        // The gradient filters differ in their type's default only.
        {R"(push 0; push 'flash'; getvariable; push 'filters'; getmember; push 'GradientGlowFilter'; newmethod
            push 'type'; getmember; trace
            push 0; push 'flash'; getvariable; push 'filters'; getmember; push 'GradientBevelFilter'; newmethod
            push 'type'; getmember; trace)", "outer|inner"},
        // A clone has its own colour matrix.
        {R"(push 0; push 'flash'; getvariable; push 'filters'; getmember; push 'ColorMatrixFilter'; newmethod
            storeregister 1; pop
            push 0; push r:1; push 'clone'; callmethod; storeregister 2; pop
            push r:1; push 'matrix'; getmember; push 0, 7; setmember
            push r:2; push 'matrix'; getmember; push 0; getmember; trace
            push r:2; push 'matrix'; getmember; push 'length'; getmember; trace
            push r:2; push 'clone'; getmember; typeof; trace)", "1|20|function"},
    });
}

TEST(FiltersTest, EveryClassConvertsToTheEngineAndBackUnchanged) {
    Machine m;
    struct Case {
        const char* cls;
        std::vector<Value> args;
    };
    const Case cases[] = {
        {"DropShadowFilter", {Value::Num(5), Value::Num(30), Value::Num(0x123456), Value::Num(0.5), Value::Num(3),
                              Value::Num(7.5), Value::Num(1.3), Value::Num(3), Value::Bool(true), Value::Bool(false),
                              Value::Bool(true)}},
        {"BlurFilter", {Value::Num(10), Value::Num(0.25), Value::Num(2)}},
        {"GlowFilter", {}},
        {"BevelFilter", {Value::Num(2), Value::Num(135), Value::Num(0xFF00FF), Value::Num(0.8), Value::Num(0x00FF00),
                         Value::Num(0.2), Value::Num(4), Value::Num(4), Value::Num(2), Value::Num(1),
                         Value::String("full"), Value::Bool(true)}},
        {"GradientGlowFilter", {Value::Num(4), Value::Num(45), Array(m, {0xFF0000, 0x0000FF}), Array(m, {0, 1}),
                                Array(m, {0, 255})}},
        {"GradientBevelFilter", {Value::Num(4), Value::Num(-90), Array(m, {0xFFFFFF, 0, 0x000000}),
                                 Array(m, {1, 0, 1}), Array(m, {0, 128, 255})}},
        {"ConvolutionFilter", {Value::Num(3), Value::Num(1), Array(m, {0.5, 1, -0.25}), Value::Num(1),
                               Value::Num(10), Value::Bool(false)}},
        {"ColorMatrixFilter", {Array(m, {0.3, 0.59, 0.11, 0, 0, 0.3, 0.59, 0.11, 0, 0, 0.3, 0.59, 0.11, 0, 0,
                                          0, 0, 0, 1, 0})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls);
        const Value original = Construct(m, c.cls, c.args);
        Filter f;
        ASSERT_TRUE(swf::avm1::ToFilter(m.vm, original, f));
        const Value back = swf::avm1::FromFilter(m.vm, f);
        EXPECT_TRUE(m.vm.InstanceOf(back, Ctor(m, c.cls).o));
        for (const std::string& name : m.vm.EnumNames(original.o))
            EXPECT_EQ(Prop(m, back, name.c_str()), Prop(m, original, name.c_str())) << name;
    }
}

TEST(FiltersTest, SettingsReachTheEngineInItsUnits) {
    Machine m;
    Filter shadow;
    ASSERT_TRUE(swf::avm1::ToFilter(m.vm, Construct(m, "DropShadowFilter",
        {Value::Num(4), Value::Num(90), Value::Num(0x336699), Value::Num(0.5), Value::Num(2.5)}), shadow));
    EXPECT_EQ(shadow.kind, FilterKind::DropShadow);
    EXPECT_EQ(shadow.distance, 4 << 16);
    EXPECT_EQ(shadow.angle, 102944);  // pi / 2 in 16.16
    EXPECT_EQ(shadow.blurX, 5 << 15);
    EXPECT_EQ(shadow.blurY, 4 << 16);
    EXPECT_EQ(shadow.strength, 256);
    EXPECT_EQ((std::vector<int>{shadow.color.r, shadow.color.g, shadow.color.b, shadow.color.a}),
              (std::vector<int>{0x33, 0x66, 0x99, 128}));
    Filter bevel;
    ASSERT_TRUE(swf::avm1::ToFilter(m.vm, Construct(m, "BevelFilter", {}), bevel));
    EXPECT_TRUE(bevel.inner);
    EXPECT_EQ(bevel.highlight.r, 255);
    EXPECT_EQ(bevel.color.r, 0);
    // Not filters: plain objects, and a convolution without a matrix size.
    Filter none;
    EXPECT_FALSE(swf::avm1::ToFilter(m.vm, Value::Obj(m.vm.NewObject(m.vm.objectProto)), none));
    EXPECT_FALSE(swf::avm1::ToFilter(m.vm, Construct(m, "ConvolutionFilter", {}), none));
    const Value list = Value::Obj(m.vm.NewArray({Construct(m, "BlurFilter", {}), Value::Num(3),
                                                 Construct(m, "GlowFilter", {})}));
    const swf::FilterList filters = swf::avm1::ToFilterList(m.vm, list);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[1].kind, FilterKind::Glow);
}

TEST(FiltersTest, BlendModesByNameAndNumber) {
    Machine m;
    struct Case {
        Value in;
        bool ok;
        const char* name;
    };
    const Case cases[] = {{Value::String("multiply"), true, "multiply"}, {Value::Num(14), true, "hardlight"},
                          {Value::Num(1), true, "normal"},                {Value::String("Multiply"), false, ""},
                          {Value::Num(15), false, ""},                    {Value::Num(0), false, ""}};
    for (const Case& c : cases) {
        swf::BlendMode mode = swf::BlendMode::Normal;
        EXPECT_EQ(swf::avm1::ToBlendMode(m.vm, c.in, mode), c.ok) << m.vm.ToString(c.in);
        if (c.ok) EXPECT_EQ(m.vm.ToString(swf::avm1::FromBlendMode(mode)), c.name);
    }
}

}  // namespace
