// What a text field tells its script: onChanged after typing and onScroller
// when scroll, hscroll or maxscroll moved, each to the field's own handler
// and then to the objects added with its addListener.
#pragma once

#include "swf/avm1/Vm.h"

namespace swf {

class EditTextObject;

namespace bind {

// Notes the field's scroll before a change; Tell() fires onScroller when
// it moved. Only fields with a handler or listeners are measured, so
// scripts that never listen pay no layout for it.
class ScrollWatch {
public:
    ScrollWatch(avm1::Vm& vm, EditTextObject* field);
    void Tell();

private:
    struct Spot {
        int scroll = 0, hscroll = 0, maxscroll = 0;
        bool operator==(const Spot& o) const {
            return scroll == o.scroll && hscroll == o.hscroll && maxscroll == o.maxscroll;
        }
    };
    static Spot Measure(EditTextObject& field);

    avm1::Vm& vm_;
    EditTextObject* field_;
    uint32_t serial_ = 0;
    Spot before_;
};

// onChanged to the field and its listeners.
void TellChanged(avm1::Vm& vm, EditTextObject& field);
void InstallTextEvents(avm1::Vm& vm);

}  // namespace bind
}  // namespace swf
