// TextFormat objects as scripts hold them, to and from the engine's
// partial formats: a property that is null or undefined is not set. Sizes,
// margins and spacing are pixels in scripts and twips in the engine.
#pragma once

#include "swf/avm1/Vm.h"
#include "swf/text/FormatPatch.h"

namespace swf::bind {

FormatPatch PatchFromValue(avm1::Vm& vm, const avm1::Value& v);
// A new TextFormat object with the patch's properties (null where unset).
avm1::Value ValueFromPatch(avm1::Vm& vm, const FormatPatch& p);

}  // namespace swf::bind
