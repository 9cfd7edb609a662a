// A button (DefineButton, DefineButton2): the characters of its drawn state
// as children, rebuilt when the pointer changes its phase. Its hit area is
// the shapes of its hit-state records.
//
// In an ActionScript 3 movie each state is instead one object made once:
// the state's only character, or a sprite holding its characters. The
// drawn state is the button's only child; the others wait aside, parentless.
#pragma once

#include "swf/display/DisplayObject.h"

namespace swf {

// Pointer phases of a button; the drawn state follows from the phase.
enum class ButtonPhase : uint8_t { Idle, OverUp, OverDown, OutDown };

class ButtonObject : public DisplayObject {
public:
    // The sprites of its first state queue their first frames on `queue`;
    // a named button takes no instance number (Instantiate).
    ButtonObject(PlayContext& ctx, const MovieAssets& from, uint16_t id, const ButtonCharacter& def, int nesting,
                 ActionQueue* queue = nullptr, bool named = false);
    ~ButtonObject() override;

    const ButtonCharacter& Definition() const { return def_; }
    const MovieAssets& Assets() const { return from_; }
    ButtonPhase Phase() const { return phase_; }
    // Changes the phase; the children are rebuilt when the drawn state
    // changes, the old ones leaving through `queue` (DepthOps.h: Leave).
    void SetPhase(PlayContext& ctx, ButtonPhase phase, ActionQueue* queue = nullptr);
    const DisplayList& Children() const { return children_; }

    static constexpr int kStates = 4;  // up, over, down, hit
    bool HoldsStates() const { return holds_; }
    // The object of state `s`, drawn or aside; null when none.
    DisplayObject* State(int s);
    // Whether state `s` is a sprite made to hold the state's characters.
    bool IsHolder(int s) const { return s >= 0 && s < kStates && holder_[s]; }
    int DrawnIndex() const;
    // An object of a state, or one a holder sprite holds, by serial.
    DisplayObject* FindPart(uint32_t serial);

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;
    // Grows `box` by the shapes of the hit state placed by `m`.
    void AddHitBounds(const Matrix& m, Rect& box, bool& any) const;
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override {
        AddChildBounds(children_, m, box, any);
    }
    bool Animates() const override { return animates_; }
    void Tick(PlayContext& ctx, ActionQueue* queue) override;
    ButtonObject* AsButton() override { return this; }
    const ButtonObject* AsButton() const override { return this; }

private:
    void BuildChildren(PlayContext& ctx, ActionQueue* queue);
    void BuildStates(PlayContext& ctx, ActionQueue* queue);
    std::unique_ptr<DisplayObject> MakeRecord(PlayContext& ctx, const ButtonRecord& rec, ActionQueue* queue);
    void ShowState(int s);

    PlayContext& ctx_;
    const MovieAssets& from_;
    const ButtonCharacter& def_;
    int nesting_;
    ButtonPhase phase_ = ButtonPhase::Idle;
    bool animates_ = false;  // some child changes by itself
    DisplayList children_;
    bool holds_ = false;
    std::unique_ptr<DisplayObject> aside_[kStates];  // the states not drawn
    bool holder_[kStates] = {};
    int shown_ = -1;  // the state in children_
};

uint8_t DrawnState(ButtonPhase phase);

}  // namespace swf
