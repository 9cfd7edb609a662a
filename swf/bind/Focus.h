// Keyboard focus as scripts and keys move it: one object of the movie at a
// time. Moving it tells the old object (onKillFocus, with the new one),
// the new one (onSetFocus, with the old one) and Selection's listeners
// (onSetFocus, old and new); a text field that takes focus shows its caret
// with all its text selected.
#pragma once

#include "swf/avm1/Vm.h"

namespace swf {

class DisplayObject;

namespace bind {

DisplayObject* Focused(avm1::Vm& vm);
// Null takes focus away; false when nothing changed.
bool SetFocus(avm1::Vm& vm, DisplayObject* obj);

}  // namespace bind
}  // namespace swf
