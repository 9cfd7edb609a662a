#include "swf/display/ButtonObject.h"

#include "swf/display/DepthOps.h"
#include "swf/display/MovieClip.h"

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
    if (ctx.as3)
        BuildStates(ctx, queue);
    else
        BuildChildren(ctx, queue);
}

ButtonObject::~ButtonObject() {
    ctx_.scriptables.erase(serial);
    ++ctx_.treeEdits;
}

void ButtonObject::SetPhase(PlayContext& ctx, ButtonPhase phase, ActionQueue* queue) {
    const bool redraw = DrawnState(phase_) != DrawnState(phase);
    phase_ = phase;
    if (!redraw) return;
    if (holds_)
        ShowState(DrawnIndex());
    else
        BuildChildren(ctx, queue);
}

std::unique_ptr<DisplayObject> ButtonObject::MakeRecord(PlayContext& ctx, const ButtonRecord& rec,
                                                        ActionQueue* queue) {
    std::unique_ptr<DisplayObject> child = Instantiate(ctx, from_, rec.characterId, nesting_ + 1, queue);
    child->depth = rec.depth;
    child->matrix = rec.matrix;
    child->cxform = rec.cxform;
    child->blendMode = BlendModeFromCode(rec.blendMode);
    if (!rec.filters.empty()) child->filters = std::make_shared<const FilterList>(rec.filters);
    return child;
}

int ButtonObject::DrawnIndex() const {
    switch (DrawnState(phase_)) {
    case kButtonOver: return 1;
    case kButtonDown: return 2;
    default: return 0;
    }
}

// States in order up, over, down, hit, each's characters in record order;
// the holder sprites are made after all of them.
void ButtonObject::BuildStates(PlayContext& ctx, ActionQueue* queue) {
    holds_ = true;
    if (nesting_ >= PlayContext::kMaxNesting) return;
    constexpr uint8_t kFlags[kStates] = {kButtonUp, kButtonOver, kButtonDown, kButtonHit};
    DisplayList parts[kStates];
    for (int s = 0; s < kStates; ++s)
        for (const ButtonRecord& rec : def_.records)
            if ((rec.states & kFlags[s]) && !parts[s].count(rec.depth))
                parts[s].emplace(rec.depth, MakeRecord(ctx, rec, queue));
    for (int s = 0; s < kStates; ++s) {
        if (parts[s].size() == 1) {
            aside_[s] = std::move(parts[s].begin()->second);
            continue;
        }
        if (ctx.buildsLeft == 0) continue;
        --ctx.buildsLeft;
        auto holder = std::make_unique<MovieClip>(ctx, EmptyTimeline(), nesting_ + 1);
        holder->Start(nullptr);
        holder->instance = ++ctx.instancesMade;
        for (auto& [depth, part] : parts[s]) {
            part->parent = holder.get();
            holder->Put(depth, std::move(part));
        }
        holder_[s] = true;
        aside_[s] = std::move(holder);
    }
    for (auto& state : aside_)
        if (state) state->asideState = true;
    ShowState(DrawnIndex());
}

void ButtonObject::ShowState(int s) {
    if (s == shown_) return;
    if (shown_ >= 0 && !children_.empty()) {
        aside_[shown_] = std::move(children_.begin()->second);
        aside_[shown_]->parent = nullptr;
        aside_[shown_]->asideState = true;
        children_.clear();
    }
    shown_ = s;
    if (!aside_[s]) return;
    aside_[s]->parent = this;
    aside_[s]->asideState = false;
    const int32_t depth = aside_[s]->depth;
    children_.emplace(depth, std::move(aside_[s]));
    animates_ = false;
    for (int i = 0; i < kStates; ++i)
        if (DisplayObject* state = State(i)) animates_ = animates_ || state->Animates();
}

DisplayObject* ButtonObject::State(int s) {
    if (s < 0 || s >= kStates) return nullptr;
    if (s == shown_ && !children_.empty()) return children_.begin()->second.get();
    return aside_[s].get();
}

DisplayObject* ButtonObject::FindPart(uint32_t serial) {
    for (int s = 0; s < kStates; ++s) {
        DisplayObject* st = State(s);
        if (!st) continue;
        if (st->serial == serial) return st;
        if (MovieClip* c = holder_[s] ? st->AsClip() : nullptr)
            for (auto& [depth, part] : c->List())
                if (part->serial == serial) return part.get();
    }
    return nullptr;
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
        std::unique_ptr<DisplayObject> child = MakeRecord(ctx, rec, queue);
        child->parent = this;
        animates_ = animates_ || child->Animates();
        children_.emplace(rec.depth, std::move(child));
    }
}

void ButtonObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    RenderChildren(rc, children_, m, cx);
}

// States kept aside play on as the drawn one does.
void ButtonObject::Tick(PlayContext& ctx, ActionQueue* queue) {
    for (auto& entry : children_) AdvanceObject(ctx, *entry.second, 1, queue);
    for (auto& state : aside_)
        if (state) AdvanceObject(ctx, *state, 1, queue);
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
