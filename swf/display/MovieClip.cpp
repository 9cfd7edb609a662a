#include "swf/display/MovieClip.h"

#include <algorithm>
#include <string>
#include <vector>

#include "swf/display/DepthOps.h"
#include "swf/classes/Drawing.h"
#include "swf/sound/SoundSystem.h"

namespace swf {

struct MovieClip::Pending {
    uint16_t characterId = 0;
    bool kept = false;     // the current object at this depth survives
    bool removed = false;  // forward only: the depth is emptied
    bool replaced = false;  // forward only: the object there takes a new character
    int created = 0;       // frame whose command created it
    size_t order = 0;      // of that command among those merged
    int createdAt = -1;    // that command's index, when in the target frame
    // Going forward, when the object at this depth was taken away: not at
    // all, in a frame before the target, or by the target frame's command
    // of that index (its unload then follows the actions read before it).
    static constexpr int kStays = -2, kLeftBefore = -1;
    int leftAt = kStays;
    Placement place;

    void Leaves(int here) {
        if (leftAt == kStays) leftAt = here;
    }

    void Apply(const DisplayCommand& c) {
        if (c.hasMatrix) place.matrix = c.matrix;
        if (c.hasCxform) place.cxform = c.cxform;
        if (c.hasRatio) place.ratio = c.ratio;
        if (c.hasClipDepth) place.clipDepth = c.clipDepth;
        if (c.hasBlendMode) place.blendMode = BlendModeFromCode(c.blendMode);
        if (c.hasCacheAsBitmap) place.cacheAsBitmap = c.cacheAsBitmap;
        if (c.hasFilters)
            place.filters = c.filters.empty() ? nullptr : std::make_shared<const FilterList>(c.filters);
        if (c.hasVisible) place.visible = c.visible;
        if (c.hasName) place.name = c.name;
        if (!c.className.empty()) place.className = c.className;
        if (c.clipActions) place.clipActions = c.clipActions;
    }
};

MovieClip::MovieClip(PlayContext& ctx, const TimelineData& data, int nesting, uint16_t id,
                     const SpriteCharacter* def, const MovieAssets* from)
    : DisplayObject(DisplayKind::MovieClip, ctx.nextSerial++, id, def),
      ctx_(ctx),
      from_(from ? from : &ctx.assets),
      data_(data),
      nesting_(nesting) {
    ctx_.liveClips[serial] = this;
    ctx_.scriptables[serial] = this;
}

MovieClip::~MovieClip() {
    if (owned_) ctx_.retired.push_back(std::move(owned_));
    ctx_.liveClips.erase(serial);
    ctx_.scriptables.erase(serial);
    ++ctx_.treeEdits;
}

DisplayObject& MovieClip::Put(int32_t depth, std::unique_ptr<DisplayObject> obj) {
    DisplayObject& placed = *obj;
    list_.insert_or_assign(depth, std::move(obj));
    Renamed(placed);
    return placed;
}

void MovieClip::Renamed(const DisplayObject& child) {
    ++ctx_.treeEdits;
    names_.Note(child, list_);
}

void MovieClip::Start(ActionQueue* queue) { Goto(0, 0, queue); }

// Going forward, `pending` holds only the depths the frames touch, each
// starting from the object there (kept) or marked removed; going backward
// it is the whole list of the target frame, built from empty.
void MovieClip::Merge(int from, int to, bool forward, bool warn, std::map<int32_t, Pending>& pending) const {
    auto touch = [&](int32_t depth) -> Pending* {
        auto it = pending.find(depth);
        if (it != pending.end()) return it->second.removed ? nullptr : &it->second;
        auto old = forward ? list_.find(depth) : list_.end();
        if (old == list_.end()) return nullptr;
        Pending& p = pending[depth];
        p.characterId = old->second->characterId;
        p.place = *old->second;
        p.kept = true;
        return &p;
    };
    size_t order = 0;
    for (int f = from; f <= to; ++f) {
        const std::vector<DisplayCommand>& commands = data_.frames[static_cast<size_t>(f)].commands;
        for (size_t index = 0; index < commands.size(); ++index) {
            const DisplayCommand& c = commands[index];
            const int32_t depth = c.depth;
            const int here = f == to ? int(index) : Pending::kLeftBefore;
            ++order;
            if (c.kind == DisplayCommand::Kind::Remove) {
                if (forward) {
                    auto held = pending.find(depth);
                    Pending gone;
                    gone.leftAt = held != pending.end() ? held->second.leftAt : Pending::kStays;
                    gone.Leaves(here);
                    gone.removed = true;
                    pending[depth] = std::move(gone);
                } else {
                    pending.erase(depth);
                }
                continue;
            }
            if (!c.move) {
                // A depth that holds an object refuses a new one; the debug
                // player says so among the traces.
                auto held = pending.find(depth);
                const bool occupied = held != pending.end() ? !held->second.removed
                                                            : forward && list_.count(depth) != 0;
                if (occupied) {
                    if (warn) ctx_.warnings.push_back("Warning: Failed to place object at depth " + std::to_string(depth) + ".");
                    continue;
                }
                Pending p;
                p.characterId = c.characterId;
                p.created = f;
                p.order = order;
                p.createdAt = here;
                if (held != pending.end()) p.leftAt = held->second.leftAt;
                p.Apply(c);
                pending[depth] = std::move(p);
                continue;
            }
            Pending* p = touch(depth);
            if (!p) continue;  // moving nothing
            if (c.hasCharacter && c.characterId != p->characterId) {
                p->characterId = c.characterId;  // replaced: a new object, same placement
                if (p->kept) p->Leaves(here);
                p->replaced = p->replaced || p->kept;
                p->kept = false;
                p->created = f;
                p->order = order;
                p->createdAt = here;
            }
            p->Apply(c);
        }
    }
}

namespace {

// The queue as a frame's tags fill it: its blocks in order, and what its
// display commands cause (unload events, first frames of new clips) after
// the blocks read before the command.
class FrameQueue {
public:
    FrameQueue(ActionQueue* queue, const std::vector<ActionBlock>& blocks)
        : queue_(queue), blocks_(blocks), unloadAt_(queue ? queue->size() : 0) {}

    void PushBlocks(uint32_t serial) {
        for (const ActionBlock& b : blocks_) {
            queue_->push_back({serial, &b, 0});
            ends_.push_back(queue_->size());
        }
    }
    // Unload events of command `index` (-1: of an earlier frame, before
    // every block and init action).
    size_t UnloadAt(int index) const {
        const size_t n = BlocksBefore(index);
        return n ? ends_[n - 1] : unloadAt_;
    }
    // The first frame of a clip command `index` placed.
    size_t PlaceAt(int index) const {
        const size_t n = BlocksBefore(index);
        return n < ends_.size() ? ends_[n] - 1 : queue_->size();
    }
    void Inserted(size_t at, size_t count) {
        if (unloadAt_ >= at) unloadAt_ += count;
        for (size_t& end : ends_)
            if (end >= at) end += count;
    }

private:
    size_t BlocksBefore(int index) const {
        size_t n = 0;
        while (index >= 0 && n < ends_.size() && blocks_[n].commandsBefore <= size_t(index)) ++n;
        return n;
    }

    ActionQueue* queue_;
    const std::vector<ActionBlock>& blocks_;
    size_t unloadAt_;           // before the frame's init actions
    std::vector<size_t> ends_;  // where in the queue each block ends
};

}  // namespace

void MovieClip::Goto(int target, int keptTicks, ActionQueue* queue) {
    target = std::clamp(target, 0, TotalFrames() - 1);
    if (target == current_) return;
    const bool forward = target > current_;
    std::map<int32_t, Pending> pending;
    Merge(forward ? current_ + 1 : 0, target, forward, queue != nullptr, pending);
    const int crossedFrom = forward ? current_ + 1 : 0;
    current_ = target;
    ++framesEntered_;
    FrameQueue frame(queue, data_.frames[static_cast<size_t>(target)].actions);
    auto leave = [&](DisplayList::iterator it, int leftAt = Pending::kLeftBefore) {
        size_t at = frame.UnloadAt(leftAt);
        const size_t from = at;
        auto next = TakeOut(ctx_, *this, it, queue, at);
        frame.Inserted(from, at - from);
        return next;
    };
    if (queue) {
        // Init actions of every frame crossed, in case a goto skipped theirs.
        for (int f = std::max(crossedFrom, 0); f <= target; ++f)
            for (const InitAction& i : data_.frames[static_cast<size_t>(f)].initActions)
                queue->push_back({serial, &i.actions, i.spriteId});
        frame.PushBlocks(serial);
        if (ctx_.sounds) ctx_.sounds->EnterFrame(*from_->movie, data_, target, serial);
    }

    if (!forward) {  // depths absent from the target frame go, but not what scripts made
        for (auto it = list_.begin(); it != list_.end();)
            it = pending.count(it->first) || it->first >= kScriptDepthOffset || it->second->scriptChild ||
                         it->second->unloading
                     ? std::next(it)
                     : leave(it);
    }
    std::vector<uint32_t> created;  // advanced on creation, not again below
    // New objects are made in the order the frames placed them, so their
    // first frames run in that order.
    std::vector<std::pair<const int32_t, Pending>*> byOrder;
    byOrder.reserve(pending.size());
    for (auto& entry : pending) byOrder.push_back(&entry);
    std::stable_sort(byOrder.begin(), byOrder.end(),
                     [](const auto* x, const auto* y) { return x->second.order < y->second.order; });
    for (auto* entry : byOrder) {
        const int32_t depth = entry->first;
        Pending& p = entry->second;
        auto old = list_.find(depth);
        const int leftAt = forward ? p.leftAt : Pending::kLeftBefore;
        if (p.removed) {
            if (old != list_.end() && !old->second->scriptChild) leave(old, leftAt);
            continue;
        }
        // Going back keeps an object only when the target frame shows the
        // one the same command placed, not another of the same character.
        const bool reuse = old != list_.end() &&
                           (p.kept || (!forward && old->second->characterId == p.characterId &&
                                       old->second->placedAt == p.created));
        bool same = reuse;  // the object scripts knew stays
        if (!reuse) {
            // Placed by the target frame: its first frame runs where its
            // command sits among the frame's blocks.
            const bool inFrame = queue && p.created == target && p.createdAt >= 0;
            const bool named = !p.place.name.empty();
            ActionQueue own;
            std::unique_ptr<DisplayObject> fresh =
                Instantiate(ctx_, *from_, p.characterId, nesting_ + 1, inFrame ? &own : queue, named);
            if (inFrame && !own.empty()) {
                const size_t at = frame.PlaceAt(p.createdAt);
                queue->insert(queue->begin() + long(at), own.begin(), own.end());
                frame.Inserted(at, own.size());
            }
            fresh->parent = this;
            fresh->placedAt = p.created;
            AdvanceObject(ctx_, *fresh, target - p.created, nullptr);
            same = old != list_.end() && p.replaced && !from_->movie->abcBlocks.empty() &&
                   ReplaceInPlace(*old->second, *fresh);
            created.push_back(fresh->serial);
            if (old != list_.end()) leave(old, leftAt);  // replaced
            old = list_.insert_or_assign(depth, std::move(fresh)).first;
        }
        DisplayObject& obj = *old->second;
        obj.depth = depth;
        if (same && obj.scripted) {
            p.place.matrix = obj.matrix;
            p.place.cxform = obj.cxform;
        }
        const bool renamed = !reuse || obj.name != p.place.name;
        static_cast<Placement&>(obj) = std::move(p.place);
        if (renamed) Renamed(obj);
        // A clip placed on the way, skipped frames included, loads after
        // the actions it queued.
        if (!reuse && queue && obj.AsClip())
            queue->push_back({obj.serial, nullptr, 0, kClipLoad});
    }
    if (keptTicks <= 0) return;
    std::sort(created.begin(), created.end());
    for (auto& entry : list_) {
        DisplayObject& obj = *entry.second;
        if (obj.Animates() && !std::binary_search(created.begin(), created.end(), obj.serial))
            AdvanceObject(ctx_, obj, keptTicks, queue);
    }
}

void MovieClip::Tick(ActionQueue* queue) {
    if (!ctx_.ChargeWork(queue != nullptr, 1 + list_.size())) return;
    const int last = (data_.playedFrames > 0 ? std::min(data_.playedFrames, TotalFrames()) : TotalFrames()) - 1;
    if (playing_ && current_ < last) {
        Goto(current_ + 1, 1, queue);
    } else if (playing_ && data_.loops && last > 0) {
        Goto(0, 1, queue);
    } else {
        for (auto& entry : list_) AdvanceObject(ctx_, *entry.second, 1, queue);
    }
}

void MovieClip::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    if (drawing && !drawing->Empty()) rc.backend.DrawShape(drawing->GetShape(), m, cx);
    if (!owned_) return RenderChildren(rc, list_, m, cx);
    // A loaded movie's fills and grids name its own characters.
    const BitmapSource* bitmaps = rc.bitmaps;
    const std::map<uint16_t, Rect>* grids = rc.scalingGrids;
    rc.bitmaps = owned_->bitmaps;
    rc.scalingGrids = &owned_->movie->scalingGrids;
    rc.backend.SetBitmaps(rc.bitmaps);
    RenderChildren(rc, list_, m, cx);
    rc.bitmaps = bitmaps;
    rc.scalingGrids = grids;
    rc.backend.SetBitmaps(bitmaps);
}

Drawing& MovieClip::Graphics() {
    if (!drawing) drawing = std::make_unique<Drawing>();
    return *drawing;
}

void MovieClip::AddBounds(const Matrix& m, Rect& box, bool& any) const {
    if (drawing && !drawing->Empty()) AddRect(m, drawing->GetShape().bounds, box, any);
    AddChildBounds(list_, m, box, any);
}

bool MovieClip::DrawingHit(const Matrix& m, Point point) const {
    return drawing && !drawing->Empty() && ShapeHitTest(drawing->GetShape(), m, point);
}

bool MovieClip::HitTest(const Matrix& m, Point point) const {
    if (DrawingHit(m, point)) return true;
    for (const auto& entry : list_) {
        const DisplayObject& obj = *entry.second;
        if (obj.clipDepth == 0 && obj.HitTest(m.Concat(obj.matrix), point) &&
            InsideLayerMasks(list_, entry.first, m, point))
            return true;
    }
    return false;
}

}  // namespace swf
