// The settings of each flash.filters class, in constructor order, shared by
// the constructors (BuiltinFilters.cpp) and the conversions
// (FilterConvert.cpp).
#pragma once

#include <cstddef>

#include "swf/model/Effects.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

// How a setting is normalised: blur 0..255, quality 0..15, strength 0..255,
// alpha 0..1, colour 24-bit, matrix side 0..15, bevel type a known name.
enum class ParamType : uint8_t { Number, Blur, Quality, Strength, Alpha, Color, Side, Bool, Type, Array };

struct FilterParam {
    const char* name;
    ParamType type;
    // Bool: 0/1; Array: 1 for the identity colour matrix, else null;
    // Type: the class's typeDefault instead.
    double def;
};

struct FilterClass {
    const char* name;
    const FilterParam* params;
    size_t count;
    int typeDefault;  // index of inner, outer, full
};

const FilterClass& ClassOf(FilterKind kind);
Value NormaliseParam(Vm& vm, ParamType type, const Value& v);

}  // namespace swf::avm1
