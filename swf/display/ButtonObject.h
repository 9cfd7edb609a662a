// A button (DefineButton, DefineButton2): the characters of its drawn state
// as children, rebuilt when the pointer changes its phase. Its hit area is
// the shapes of its hit-state records.
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

    PlayContext& ctx_;
    const MovieAssets& from_;
    const ButtonCharacter& def_;
    int nesting_;
    ButtonPhase phase_ = ButtonPhase::Idle;
    bool animates_ = false;  // some child changes by itself
    DisplayList children_;
};

uint8_t DrawnState(ButtonPhase phase);

}  // namespace swf
