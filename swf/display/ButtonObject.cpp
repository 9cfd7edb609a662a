#include "swf/display/ButtonObject.h"

#include "swf/display/DepthOps.h"

namespace swf {

uint8_t DrawnState(ButtonPhase phase) {
    switch (phase) {
    case ButtonPhase::Idle: return kButtonUp;
    case ButtonPhase::OverUp:
    case ButtonPhase::OutDown: return kButtonOver;
    case ButtonPhase::OverDown: return kButtonDown;
    }
    return kButtonUp;
}

ButtonObject::ButtonObject(PlayContext& ctx, const MovieAssets& from, uint16_t id, const ButtonCharacter& def,
                           int nesting, ActionQueue* queue, bool named)
    : DisplayObject(DisplayKind::Button, ctx.nextSerial++, id, &def), ctx_(ctx), from_(from), def_(def),
      nesting_(nesting) {
    ctx_.scriptables[serial] = this;
    if (!named) instance = ++ctx.instancesMade;
    BuildChildren(ctx, queue);
}

ButtonObject::~ButtonObject() {
    ctx_.scriptables.erase(serial);
    ++ctx_.treeEdits;
}

void ButtonObject::SetPhase(PlayContext& ctx, ButtonPhase phase, ActionQueue* queue) {
    const bool redraw = DrawnState(phase_) != DrawnState(phase);
    phase_ = phase;
    if (redraw) BuildChildren(ctx, queue);
}

void ButtonObject::BuildChildren(PlayContext& ctx, ActionQueue* queue) {
    // The old state's sprites are replaced: they unload like clips leaving a timeline.
    for (auto& entry : children_) Leave(ctx, std::move(entry.second), queue, queue ? queue->size() : 0);
    children_.clear();
    animates_ = false;
    if (nesting_ >= PlayContext::kMaxNesting) return;
    const uint8_t state = DrawnState(phase_);
    for (const ButtonRecord& rec : def_.records) {
        if (!(rec.states & state) || children_.count(rec.depth)) continue;
        std::unique_ptr<DisplayObject> child = Instantiate(ctx, from_, rec.characterId, nesting_ + 1, queue);
        child->depth = rec.depth;
        child->matrix = rec.matrix;
        child->cxform = rec.cxform;
        child->blendMode = BlendModeFromCode(rec.blendMode);
        if (!rec.filters.empty()) child->filters = std::make_shared<const FilterList>(rec.filters);
        child->parent = this;
        animates_ = animates_ || child->Animates();
        children_.emplace(rec.depth, std::move(child));
    }
}

void ButtonObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    RenderChildren(rc, children_, m, cx);
}

void ButtonObject::Tick(PlayContext& ctx, ActionQueue* queue) {
    for (auto& entry : children_) AdvanceObject(ctx, *entry.second, 1, queue);
}

// Only shapes of the hit state count: sprites there are not hit yet.
bool ButtonObject::HitTest(const Matrix& m, Point point) const {
    for (const ButtonRecord& rec : def_.records) {
        if (!(rec.states & kButtonHit)) continue;
        const Character* c = from_.movie->Find(rec.characterId);
        if (c && c->kind == CharacterKind::Shape &&
            ShapeHitTest(static_cast<const ShapeCharacter&>(*c).shape, m.Concat(rec.matrix), point))
            return true;
    }
    return false;
}

void ButtonObject::AddHitBounds(const Matrix& m, Rect& box, bool& any) const {
    for (const ButtonRecord& rec : def_.records) {
        if (!(rec.states & kButtonHit)) continue;
        const Character* c = from_.movie->Find(rec.characterId);
        if (c && c->kind == CharacterKind::Shape)
            AddRect(m.Concat(rec.matrix), static_cast<const ShapeCharacter&>(*c).shape.bounds, box, any);
    }
}

}  // namespace swf
