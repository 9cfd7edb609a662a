// flash.filters for scripts: the eight filter classes, and the conversions
// between their objects and the engine's filters and blend modes that the
// clip properties `filters` and `blendMode` and BitmapData.applyFilter use.
//
// A filter object keeps its settings as plain properties, normalised when
// constructed (blur 0..255, quality 0..15, alpha 0..1, colours 24-bit);
// a conversion clamps whatever a script wrote later.
#pragma once

#include "swf/model/Effects.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

// _global.flash.filters and its classes.
void InstallFilters(Vm& vm);

// The engine's filter for a filter object; false when `v` is none.
bool ToFilter(Vm& vm, const Value& v, Filter& out);
// A new object of `f`'s class holding its settings.
Value FromFilter(Vm& vm, const Filter& f);
// An array of filter objects (anything else in it is skipped), and back.
FilterList ToFilterList(Vm& vm, const Value& v);
Value FromFilterList(Vm& vm, const FilterList& list);

// Blend modes by name ("multiply") or number (3); false when neither.
bool ToBlendMode(Vm& vm, const Value& v, BlendMode& out);
Value FromBlendMode(BlendMode mode);

// The prototype of a filter class (null before InstallFilters).
Object* FilterPrototype(Vm& vm, FilterKind kind);

}  // namespace swf::avm1
