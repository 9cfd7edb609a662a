// Final classes that only name values a method takes or gives: stage
// alignment and scaling, quality, bitmap channels, Stage3D's modes. Movies
// read them while setting up; a missing one stops the script there.
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

struct Named {
    const char* name;
    const char* text;  // null: a number
    int number = 0;
};

struct ConstantClass {
    const char* package;
    const char* name;
    ClassObject* Machine::*numberType;  // the type of the numbers it holds
    std::vector<Named> values;
};

const std::vector<ConstantClass>& Table() {
    static const std::vector<ConstantClass> table = {
        {"flash.display", "ActionScriptVersion", &Machine::uintClass,
         {{"ACTIONSCRIPT2", nullptr, 2}, {"ACTIONSCRIPT3", nullptr, 3}}},
        {"flash.display", "BitmapDataChannel", &Machine::uintClass,
         {{"RED", nullptr, 1}, {"GREEN", nullptr, 2}, {"BLUE", nullptr, 4}, {"ALPHA", nullptr, 8}}},
        {"flash.display", "BitmapEncodingColorSpace", nullptr,
         {{"COLORSPACE_AUTO", "auto"}, {"COLORSPACE_4_4_4", "4:4:4"}, {"COLORSPACE_4_2_2", "4:2:2"},
          {"COLORSPACE_4_2_0", "4:2:0"}}},
        {"flash.display", "ColorCorrection", nullptr, {{"DEFAULT", "default"}, {"OFF", "off"}, {"ON", "on"}}},
        {"flash.display", "ColorCorrectionSupport", nullptr,
         {{"DEFAULT_OFF", "defaultOff"}, {"DEFAULT_ON", "defaultOn"}, {"UNSUPPORTED", "unsupported"}}},
        {"flash.display", "PixelSnapping", nullptr, {{"ALWAYS", "always"}, {"AUTO", "auto"}, {"NEVER", "never"}}},
        {"flash.display", "SWFVersion", &Machine::uintClass,
         {{"FLASH1", nullptr, 1}, {"FLASH2", nullptr, 2}, {"FLASH3", nullptr, 3}, {"FLASH4", nullptr, 4},
          {"FLASH5", nullptr, 5}, {"FLASH6", nullptr, 6}, {"FLASH7", nullptr, 7}, {"FLASH8", nullptr, 8},
          {"FLASH9", nullptr, 9}, {"FLASH10", nullptr, 10}, {"FLASH11", nullptr, 11}, {"FLASH12", nullptr, 12}}},
        {"flash.display", "StageAlign", nullptr,
         {{"BOTTOM", "B"}, {"BOTTOM_LEFT", "BL"}, {"BOTTOM_RIGHT", "BR"}, {"LEFT", "L"}, {"RIGHT", "R"},
          {"TOP", "T"}, {"TOP_LEFT", "TL"}, {"TOP_RIGHT", "TR"}}},
        {"flash.display", "StageDisplayState", nullptr,
         {{"FULL_SCREEN", "fullScreen"}, {"FULL_SCREEN_INTERACTIVE", "fullScreenInteractive"}, {"NORMAL", "normal"}}},
        {"flash.display", "StageQuality", nullptr,
         {{"BEST", "best"}, {"HIGH", "high"}, {"HIGH_16X16", "16x16"}, {"HIGH_16X16_LINEAR", "16x16linear"},
          {"HIGH_8X8", "8x8"}, {"HIGH_8X8_LINEAR", "8x8linear"}, {"LOW", "low"}, {"MEDIUM", "medium"}}},
        {"flash.display", "StageScaleMode", nullptr,
         {{"EXACT_FIT", "exactFit"}, {"NO_BORDER", "noBorder"}, {"NO_SCALE", "noScale"}, {"SHOW_ALL", "showAll"}}},
        {"flash.display", "TriangleCulling", nullptr,
         {{"NEGATIVE", "negative"}, {"NONE", "none"}, {"POSITIVE", "positive"}}},
        {"flash.display3D", "Context3DBlendFactor", nullptr,
         {{"DESTINATION_ALPHA", "destinationAlpha"}, {"DESTINATION_COLOR", "destinationColor"}, {"ONE", "one"},
          {"ONE_MINUS_DESTINATION_ALPHA", "oneMinusDestinationAlpha"},
          {"ONE_MINUS_DESTINATION_COLOR", "oneMinusDestinationColor"},
          {"ONE_MINUS_SOURCE_ALPHA", "oneMinusSourceAlpha"}, {"ONE_MINUS_SOURCE_COLOR", "oneMinusSourceColor"},
          {"SOURCE_ALPHA", "sourceAlpha"}, {"SOURCE_COLOR", "sourceColor"}, {"ZERO", "zero"}}},
        {"flash.display3D", "Context3DBufferUsage", nullptr,
         {{"DYNAMIC_DRAW", "dynamicDraw"}, {"STATIC_DRAW", "staticDraw"}}},
        {"flash.display3D", "Context3DClearMask", &Machine::intClass,
         {{"ALL", nullptr, 7}, {"COLOR", nullptr, 1}, {"DEPTH", nullptr, 2}, {"STENCIL", nullptr, 4}}},
        {"flash.display3D", "Context3DCompareMode", nullptr,
         {{"ALWAYS", "always"}, {"EQUAL", "equal"}, {"GREATER", "greater"}, {"GREATER_EQUAL", "greaterEqual"},
          {"LESS", "less"}, {"LESS_EQUAL", "lessEqual"}, {"NEVER", "never"}, {"NOT_EQUAL", "notEqual"}}},
        {"flash.display3D", "Context3DMipFilter", nullptr,
         {{"MIPLINEAR", "miplinear"}, {"MIPNEAREST", "mipnearest"}, {"MIPNONE", "mipnone"}}},
        {"flash.display3D", "Context3DProfile", nullptr,
         {{"BASELINE", "baseline"}, {"BASELINE_CONSTRAINED", "baselineConstrained"},
          {"BASELINE_EXTENDED", "baselineExtended"}, {"STANDARD", "standard"},
          {"STANDARD_CONSTRAINED", "standardConstrained"}, {"STANDARD_EXTENDED", "standardExtended"}}},
        {"flash.display3D", "Context3DProgramType", nullptr, {{"FRAGMENT", "fragment"}, {"VERTEX", "vertex"}}},
        {"flash.display3D", "Context3DRenderMode", nullptr, {{"AUTO", "auto"}, {"SOFTWARE", "software"}}},
        {"flash.display3D", "Context3DStencilAction", nullptr,
         {{"DECREMENT_SATURATE", "decrementSaturate"}, {"DECREMENT_WRAP", "decrementWrap"},
          {"INCREMENT_SATURATE", "incrementSaturate"}, {"INCREMENT_WRAP", "incrementWrap"}, {"INVERT", "invert"},
          {"KEEP", "keep"}, {"SET", "set"}, {"ZERO", "zero"}}},
        {"flash.display3D", "Context3DTextureFilter", nullptr,
         {{"ANISOTROPIC16X", "anisotropic16x"}, {"ANISOTROPIC2X", "anisotropic2x"},
          {"ANISOTROPIC4X", "anisotropic4x"}, {"ANISOTROPIC8X", "anisotropic8x"}, {"LINEAR", "linear"},
          {"NEAREST", "nearest"}}},
        {"flash.display3D", "Context3DTextureFormat", nullptr,
         {{"BGRA", "bgra"}, {"BGRA_PACKED", "bgraPacked4444"}, {"BGR_PACKED", "bgrPacked565"},
          {"COMPRESSED", "compressed"}, {"COMPRESSED_ALPHA", "compressedAlpha"},
          {"RGBA_HALF_FLOAT", "rgbaHalfFloat"}}},
        {"flash.display3D", "Context3DTriangleFace", nullptr,
         {{"BACK", "back"}, {"FRONT", "front"}, {"FRONT_AND_BACK", "frontAndBack"}, {"NONE", "none"}}},
        {"flash.display3D", "Context3DVertexBufferFormat", nullptr,
         {{"BYTES_4", "bytes4"}, {"FLOAT_1", "float1"}, {"FLOAT_2", "float2"}, {"FLOAT_3", "float3"},
          {"FLOAT_4", "float4"}}},
        {"flash.display3D", "Context3DWrapMode", nullptr,
         {{"CLAMP", "clamp"}, {"CLAMP_U_REPEAT_V", "clamp_u_repeat_v"}, {"REPEAT", "repeat"},
          {"REPEAT_U_CLAMP_V", "repeat_u_clamp_v"}}},
        {"flash.geom", "Orientation3D", nullptr,
         {{"AXIS_ANGLE", "axisAngle"}, {"EULER_ANGLES", "eulerAngles"}, {"QUATERNION", "quaternion"}}},
    };
    return table;
}

}  // namespace

void InstallConstantClasses(Machine& m) {
    for (const ConstantClass& k : Table()) {
        if (m.FindClass(std::string(k.package) + "." + k.name)) continue;
        ClassObject* c = m.DefineClass(k.package, k.name, m.objectClass, nullptr, true);
        c->isFinal = true;
        for (const Named& v : k.values) {
            Value value = v.text                              ? Value::Str(m.Intern(v.text))
                          : m.*k.numberType == m.uintClass ? Value::Uint(uint32_t(v.number))
                                                            : Value::Int(v.number);
            m.DefineConstant(c, v.name, value);
        }
    }
}

}  // namespace swf::avm2
