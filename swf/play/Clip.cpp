#include "swf/play/Clip.h"

#include <algorithm>

namespace swf {

struct Clip::Pending {
    uint16_t characterId = 0;
    bool kept = false;     // the current object at this depth survives
    bool removed = false;  // forward only: the depth is emptied
    int created = 0;    // frame whose command created it
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;
    uint8_t blendMode = 0;
    std::string name;

    void Apply(const DisplayCommand& c) {
        if (c.hasMatrix) matrix = c.matrix;
        if (c.hasCxform) cxform = c.cxform;
        if (c.hasRatio) ratio = c.ratio;
        if (c.hasClipDepth) clipDepth = c.clipDepth;
        if (c.hasBlendMode) blendMode = c.blendMode;
        if (c.hasName) name = c.name;
    }
};

Clip::Clip(PlayContext& ctx, const TimelineData& data, int nesting)
    : ctx_(ctx), data_(data), nesting_(nesting), serial_(ctx.nextSerial++) {
    ctx_.liveClips[serial_] = this;
}

Clip::~Clip() { ctx_.liveClips.erase(serial_); }

void Clip::Start(ActionQueue* queue) { Goto(0, 0, queue); }

// Going forward, `pending` holds only the depths the frames touch, each
// starting from the object there (kept) or marked removed; going backward
// it is the whole list of the target frame, built from empty.
void Clip::Merge(int from, int to, bool forward, std::map<uint16_t, Pending>& pending) const {
    auto touch = [&](uint16_t depth) -> Pending* {
        auto it = pending.find(depth);
        if (it != pending.end()) return it->second.removed ? nullptr : &it->second;
        auto old = forward ? list_.find(depth) : list_.end();
        if (old == list_.end()) return nullptr;
        const DisplayObject& obj = old->second;
        Pending& p = pending[depth];
        p.characterId = obj.characterId;
        p.kept = true;
        p.matrix = obj.matrix;
        p.cxform = obj.cxform;
        p.ratio = obj.ratio;
        p.clipDepth = obj.clipDepth;
        p.blendMode = obj.blendMode;
        p.name = obj.name;
        return &p;
    };
    for (int f = from; f <= to; ++f) {
        for (const DisplayCommand& c : data_.frames[static_cast<size_t>(f)].commands) {
            if (c.kind == DisplayCommand::Kind::Remove) {
                if (forward) {
                    pending[c.depth] = Pending();
                    pending[c.depth].removed = true;
                } else {
                    pending.erase(c.depth);
                }
                continue;
            }
            if (!c.move) {
                Pending p;
                p.characterId = c.characterId;
                p.created = f;
                p.Apply(c);
                pending[c.depth] = std::move(p);
                continue;
            }
            Pending* p = touch(c.depth);
            if (!p) continue;  // moving nothing
            if (c.hasCharacter && c.characterId != p->characterId) {
                p->characterId = c.characterId;  // replaced: a new object, same placement
                p->kept = false;
                p->created = f;
            }
            p->Apply(c);
        }
    }
}

void Clip::Goto(int target, int keptTicks, ActionQueue* queue) {
    target = std::clamp(target, 0, TotalFrames() - 1);
    if (target == current_) return;
    const bool forward = target > current_;
    std::map<uint16_t, Pending> pending;
    Merge(forward ? current_ + 1 : 0, target, forward, pending);
    current_ = target;
    if (queue)
        for (const ActionBlock& b : data_.frames[static_cast<size_t>(target)].actions)
            queue->push_back({serial_, &b});

    if (!forward) {  // depths absent from the target frame go
        for (auto it = list_.begin(); it != list_.end();)
            it = pending.count(it->first) ? std::next(it) : list_.erase(it);
    }
    std::vector<uint32_t> created;  // advanced on creation, not again below
    for (auto& [depth, p] : pending) {
        auto old = list_.find(depth);
        if (p.removed) {
            if (old != list_.end()) list_.erase(old);
            continue;
        }
        const bool reuse = old != list_.end() &&
                           (p.kept || (!forward && old->second.characterId == p.characterId));
        if (!reuse) {
            DisplayObject fresh =
                Instantiate(ctx_, p.characterId, nesting_ + 1, p.created == target ? queue : nullptr);
            created.push_back(fresh.serial);
            Advance(fresh, target - p.created, nullptr);
            old = list_.insert_or_assign(depth, std::move(fresh)).first;
        }
        DisplayObject& obj = old->second;
        obj.depth = depth;
        obj.matrix = p.matrix;
        obj.cxform = p.cxform;
        obj.ratio = p.ratio;
        obj.clipDepth = p.clipDepth;
        obj.blendMode = p.blendMode;
        obj.name = std::move(p.name);
    }
    if (keptTicks <= 0) return;
    std::sort(created.begin(), created.end());
    for (auto& entry : list_) {
        DisplayObject& obj = entry.second;
        if ((obj.clip || obj.kind == DisplayKind::Button) &&
            !std::binary_search(created.begin(), created.end(), obj.serial))
            Advance(obj, keptTicks, queue);
    }
}

void Clip::Tick(ActionQueue* queue) {
    if (!queue) {
        const size_t cost = 1 + list_.size();
        if (ctx_.silentWorkLeft < cost) {
            ctx_.silentWorkLeft = 0;
            return;
        }
        ctx_.silentWorkLeft -= cost;
    }
    if (playing_ && TotalFrames() > 1) {
        int next = current_ + 1 < TotalFrames() ? current_ + 1 : 0;
        Goto(next, 1, queue);
    } else {
        TickChildren(list_, queue);
    }
}

void Clip::TickChildren(DisplayList& list, ActionQueue* queue) {
    for (auto& entry : list) Advance(entry.second, 1, queue);
}

void Clip::Advance(DisplayObject& obj, int ticks, ActionQueue* queue) {
    for (int i = 0; i < ticks; ++i) {
        if (!queue && ctx_.silentWorkLeft == 0) return;
        if (obj.clip) obj.clip->Tick(queue);
        if (obj.kind == DisplayKind::Button) TickChildren(obj.buttonChildren, queue);
        if (!obj.clip && obj.kind != DisplayKind::Button) return;
    }
}

DisplayObject Instantiate(PlayContext& ctx, uint16_t characterId, int nesting, ActionQueue* queue) {
    DisplayObject obj;
    obj.serial = ctx.nextSerial++;
    obj.characterId = characterId;
    obj.character = ctx.movie.Find(characterId);
    if (!obj.character) return obj;
    if (ctx.buildsLeft == 0) {
        obj.character = nullptr;  // over budget: an empty placeholder
        return obj;
    }
    --ctx.buildsLeft;
    switch (obj.character->kind) {
    case CharacterKind::Shape: obj.kind = DisplayKind::Shape; break;
    case CharacterKind::Sprite:
        obj.kind = DisplayKind::Sprite;
        // Sprites may place themselves; the nesting and clip limits end
        // the recursion (an over-limit sprite stays empty).
        if (nesting < PlayContext::kMaxNesting && ctx.liveClips.size() < PlayContext::kMaxLiveClips) {
            const auto& sprite = static_cast<const SpriteCharacter&>(*obj.character);
            obj.clip = std::make_unique<Clip>(ctx, sprite.timeline, nesting);
            obj.clip->Start(queue);
        }
        break;
    case CharacterKind::Button:
        obj.kind = DisplayKind::Button;
        BuildButtonChildren(ctx, obj, nesting);
        break;
    }
    return obj;
}

void BuildButtonChildren(PlayContext& ctx, DisplayObject& button, int nesting) {
    button.buttonChildren.clear();
    if (!button.character || button.character->kind != CharacterKind::Button) return;
    if (nesting >= PlayContext::kMaxNesting) return;
    uint8_t state = kButtonUp;
    switch (button.phase) {
    case ButtonPhase::Idle: state = kButtonUp; break;
    case ButtonPhase::OverUp:
    case ButtonPhase::OutDown: state = kButtonOver; break;
    case ButtonPhase::OverDown: state = kButtonDown; break;
    }
    const auto& def = static_cast<const ButtonCharacter&>(*button.character);
    for (const ButtonRecord& rec : def.records) {
        if (!(rec.states & state) || button.buttonChildren.count(rec.depth)) continue;
        DisplayObject child = Instantiate(ctx, rec.characterId, nesting + 1, nullptr);
        child.depth = rec.depth;
        child.matrix = rec.matrix;
        child.cxform = rec.cxform;
        child.blendMode = rec.blendMode;
        button.buttonChildren.emplace(rec.depth, std::move(child));
    }
}

}  // namespace swf
