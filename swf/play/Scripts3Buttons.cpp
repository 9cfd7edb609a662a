// A button's states in ActionScript 3. Its state objects are constructed
// before the button's own constructor:
//  1. each state's characters, up, over, down then hit, hanging from the
//     button meanwhile (they see the stage, but no container as parent);
//  2. the characters of a state with several go into its holder sprite and
//     hear "added" there, off the stage;
//  3. the drawn state joins the button: "added", then "addedToStage" when
//     the button is on the stage; the others stay parentless;
//  4. a button the timeline placed then has the frame's broadcasts and
//     scripts run, as if its frame were constructed anew, and only then its
//     own constructor runs.
#include "swf/avm2/Machine.h"
#include "swf/play/Scripts3Host.h"

namespace swf {

namespace {

ButtonObject* AsButton(DisplayObject* o) { return o ? o->AsButton() : nullptr; }

}  // namespace

void Scripts3::Host::ConstructStates(ButtonObject& button, bool timeline) {
    if (!statesBuilt_.insert(button.serial).second) return;
    const uint32_t serial = button.serial;
    // The characters, as serials: constructors may change the tree.
    std::vector<uint32_t> parts;
    for (int s = 0; s < ButtonObject::kStates; ++s) {
        DisplayObject* state = button.State(s);
        if (!state) continue;
        if (button.IsHolder(s)) {
            stateHolders_.insert(state->serial);
            where_[state->serial] = {serial, state->depth, state->name};
            for (auto& [depth, part] : state->AsClip()->List()) parts.push_back(part->serial);
        } else {
            parts.push_back(state->serial);
        }
    }
    for (uint32_t p : parts)
        if (DisplayObject* part = button.FindPart(p)) {
            part->parent = &button;
            where_[p] = {serial, part->depth, part->name};
        }
    for (uint32_t p : parts)
        Guarded([&] {
            ButtonObject* b = AsButton(Find(serial));
            if (DisplayObject* part = b ? b->FindPart(p) : nullptr) Build(*part, true, false);
        });
    ButtonObject* b = AsButton(Find(serial));
    if (!b) return;
    // Back where they belong: in their holder, in the button, or nowhere.
    std::vector<uint32_t> held;
    for (int s = 0; s < ButtonObject::kStates; ++s) {
        DisplayObject* state = b->State(s);
        if (!state) continue;
        state->parent = nullptr;
        if (!b->IsHolder(s)) continue;
        Build(*state, true, false);
        for (auto& [depth, part] : state->AsClip()->List()) {
            part->parent = state;
            Index(*part);
            held.push_back(part->serial);
        }
    }
    for (uint32_t p : held) Send(p, "added", true);
    b = AsButton(Find(serial));
    if (DisplayObject* drawn = b ? b->State(b->DrawnIndex()) : nullptr) {
        drawn->parent = b;
        if (!wrappers_.count(drawn->serial)) Build(*drawn, true, false);
        if (DisplayObject* d = Find(drawn->serial)) Added(*d);
    }
    if (!timeline) return;
    Broadcast("frameConstructed");
    RunFrameScripts();
    Broadcast("exitFrame");
}

uint32_t Scripts3::Host::ButtonState(uint32_t button, int state) {
    ButtonObject* b = AsButton(Find(button));
    DisplayObject* s = b && b->HoldsStates() ? b->State(state) : nullptr;
    return s ? s->serial : 0;
}

}  // namespace swf
