#include "swf/display/DepthOps.h"

#include <algorithm>
#include <cmath>

#include "swf/display/ButtonObject.h"
#include "swf/display/TextObjects.h"
#include "swf/classes/Drawing.h"

namespace swf {

namespace {

// The engine depth of a script depth, or false when out of range. Depths
// wrap to 32 bits first, as the script's integer conversion does.
bool ToEngineDepth(double scriptDepth, int32_t* out) {
    if (!std::isfinite(scriptDepth)) return false;
    const double wrapped = std::fmod(std::trunc(scriptDepth), 4294967296.0);
    const int32_t d = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(wrapped)));
    if (d < kMinScriptDepth || d > kMaxScriptDepth) return false;
    *out = d + kScriptDepthOffset;
    return true;
}

bool WithinBudget(const PlayContext& ctx) {
    return ctx.buildsLeft > 0 && ctx.liveClips.size() < PlayContext::kMaxLiveClips;
}

// Names (unless name is null), parents and puts a new object at an engine depth.
template <class T>
T* Adopt(MovieClip& parent, int32_t depth, const std::string* name, std::unique_ptr<T> obj) {
    if (name) obj->name = *name;
    obj->depth = depth;
    obj->parent = &parent;
    T* raw = obj.get();
    parent.Put(depth, std::move(obj));
    return raw;
}

}  // namespace

const TimelineData& EmptyTimeline() {
    static const TimelineData empty = [] {
        TimelineData t;
        t.frames.emplace_back();
        return t;
    }();
    return empty;
}

DisplayObject* InstanceAtDepth(const MovieClip& parent, double scriptDepth) {
    int32_t depth = 0;
    if (!ToEngineDepth(scriptDepth, &depth)) return nullptr;
    auto it = parent.List().find(depth);
    return it == parent.List().end() ? nullptr : it->second.get();
}

int32_t NextHighestDepth(const MovieClip& parent) {
    const DisplayList& list = parent.List();
    if (list.empty()) return 0;
    const int32_t top = list.rbegin()->first - kScriptDepthOffset;
    return top < 0 ? 0 : top + 1;
}

bool SwapDepths(MovieClip& parent, DisplayObject& obj, double scriptDepth) {
    int32_t to = 0;
    if (obj.parent != &parent || !ToEngineDepth(scriptDepth, &to)) return false;
    DisplayList& list = parent.List();
    auto from = list.find(obj.depth);
    if (from == list.end() || from->second.get() != &obj) return false;
    if (to == obj.depth) return true;
    std::unique_ptr<DisplayObject> moving = std::move(from->second);
    auto there = list.find(to);
    if (there != list.end()) {
        from->second = std::move(there->second);
        from->second->depth = obj.depth;
        there->second = std::move(moving);  // before Renamed, which may walk the whole list
        parent.Renamed(*from->second);
    } else {
        list.erase(from);
        list.emplace(to, std::move(moving));
    }
    obj.depth = to;
    parent.Renamed(obj);
    obj.scripted = true;  // the timeline no longer finds it where it put it
    return true;
}

MovieClip* CreateEmptyClip(PlayContext& ctx, MovieClip& parent, const std::string& name, double scriptDepth) {
    int32_t depth = 0;
    if (!ToEngineDepth(scriptDepth, &depth) || !WithinBudget(ctx) ||
        parent.Nesting() + 1 >= PlayContext::kMaxNesting)
        return nullptr;
    --ctx.buildsLeft;
    // It belongs to its parent's movie: that movie's version and library.
    auto clip = std::make_unique<MovieClip>(ctx, EmptyTimeline(), parent.Nesting() + 1, 0, nullptr, &parent.Assets());
    clip->Start(nullptr);
    return Adopt(parent, depth, &name, std::move(clip));
}

namespace {

std::unique_ptr<EditTextCharacter> EmptyFieldDefinition(const Rect& bounds) {
    auto def = std::make_unique<EditTextCharacter>();
    def->field.bounds = bounds;
    def->field.height = 12 * kTwipsPerPixel;
    def->field.readOnly = true;
    return def;
}

}  // namespace

DisplayObject* DuplicateClip(PlayContext& ctx, DisplayObject& obj, const std::string& name, double scriptDepth) {
    MovieClip* parent = obj.parent ? obj.parent->AsClip() : nullptr;
    int32_t depth = 0;
    if (!parent || !ToEngineDepth(scriptDepth, &depth) || !WithinBudget(ctx)) return nullptr;
    std::unique_ptr<DisplayObject> copy;
    const MovieClip* source = obj.AsClip();
    const bool scriptField = obj.AsEditText() && obj.characterId == 0;
    if (source && &source->Data() == &EmptyTimeline()) {
        --ctx.buildsLeft;
        auto clip = std::make_unique<MovieClip>(ctx, EmptyTimeline(), parent->Nesting() + 1);
        clip->Start(nullptr);
        copy = std::move(clip);
    } else if (scriptField) {
        // A field a script made copies as a new empty one with no size.
        --ctx.buildsLeft;
        copy = std::make_unique<EditTextObject>(ctx, EmptyFieldDefinition({}));
    } else {
        copy = Instantiate(ctx, parent->Assets(), obj.characterId, parent->Nesting() + 1, nullptr);
    }
    if (!copy) return nullptr;
    static_cast<Placement&>(*copy) = static_cast<const Placement&>(obj);
    if (copy->AsEditText()) copy->filters.reset();  // a field's copy leaves its filters behind
    copy->scripted = true;
    if (MovieClip* clip = copy->AsClip(); clip && source && source->drawing)
        clip->drawing = std::make_unique<Drawing>(*source->drawing);
    return Adopt(*parent, depth, &name, std::move(copy));
}

DisplayObject* AttachCharacter(PlayContext& ctx, MovieClip& parent, uint16_t characterId, const std::string& name,
                               double scriptDepth, ActionQueue* queue) {
    int32_t depth = 0;
    // A class that attaches its own symbol from its constructor ends here.
    if (!ToEngineDepth(scriptDepth, &depth) || !WithinBudget(ctx) ||
        parent.Nesting() + 1 >= PlayContext::kMaxNesting)
        return nullptr;
    return Adopt(parent, depth, &name, Instantiate(ctx, parent.Assets(), characterId, parent.Nesting() + 1, queue));
}

EditTextObject* CreateEmptyField(PlayContext& ctx, MovieClip& parent, const std::string& name, double scriptDepth,
                                 const Rect& bounds) {
    int32_t depth = 0;
    if (!ToEngineDepth(scriptDepth, &depth) || !WithinBudget(ctx)) return nullptr;
    --ctx.buildsLeft;
    return Adopt(parent, depth, &name, std::make_unique<EditTextObject>(ctx, EmptyFieldDefinition(bounds)));
}

DisplayObject* PlaceAtDepth(PlayContext& ctx, MovieClip& parent, std::unique_ptr<DisplayObject> obj,
                            double scriptDepth) {
    int32_t depth = 0;
    if (!ToEngineDepth(scriptDepth, &depth) || !WithinBudget(ctx)) return nullptr;
    --ctx.buildsLeft;
    return Adopt(parent, depth, nullptr, std::move(obj));
}

bool RemoveClip(DisplayObject& obj, PlayContext* ctx, ActionQueue* queue) {
    MovieClip* parent = obj.parent ? obj.parent->AsClip() : nullptr;
    const int32_t d = ScriptDepth(obj);
    if (!parent || d < 0 || d > kMaxRemovableDepth) return false;
    auto it = parent->List().find(obj.depth);
    if (it == parent->List().end() || it->second.get() != &obj) return false;
    if (!ctx) {
        parent->List().erase(it);
        return true;
    }
    size_t at = queue ? queue->size() : 0;
    TakeOut(*ctx, *parent, it, queue, at);
    return true;
}

namespace {

// Clips, and the clips a button's state holds, outer first.
void QueueUnloads(DisplayObject& obj, std::vector<QueuedActions>& out) {
    const DisplayList* children = nullptr;
    if (MovieClip* clip = obj.AsClip()) {
        out.push_back({clip->serial, nullptr, 0, kClipUnload});
        children = &clip->List();
    } else if (const ButtonObject* button = obj.AsButton()) {
        children = &button->Children();
    }
    if (children)
        for (auto& entry : *children)
            if (!entry.second->unloading) QueueUnloads(*entry.second, out);  // a kept one's are queued
}

}  // namespace

size_t Leave(PlayContext& ctx, std::unique_ptr<DisplayObject> obj, ActionQueue* queue, size_t at) {
    ++ctx.treeEdits;  // out of the tree, though still found by serial for a while
    if (!obj || !queue) return 0;
    std::vector<QueuedActions> unloads;
    QueueUnloads(*obj, unloads);
    at = std::min(at, queue->size());
    queue->insert(queue->begin() + long(at), unloads.begin(), unloads.end());
    ctx.leaving.push_back(std::shared_ptr<DisplayObject>(std::move(obj)));
    return unloads.size();
}

DisplayList::iterator TakeOut(PlayContext& ctx, MovieClip& parent, DisplayList::iterator it, ActionQueue* queue,
                              size_t& at) {
    DisplayList& list = parent.List();
    std::unique_ptr<DisplayObject> out = std::move(it->second);
    it = list.erase(it);
    const bool keep = queue && out->AsClip() && !out->unloading && ctx.handlesUnload && ctx.handlesUnload(*out);
    if (!keep) {
        at += Leave(ctx, std::move(out), queue, at);
        return it;
    }
    std::vector<QueuedActions> unloads;
    QueueUnloads(*out, unloads);
    at = std::min(at, queue->size());
    queue->insert(queue->begin() + long(at), unloads.begin(), unloads.end());
    at += unloads.size();
    const int32_t below = -1 - out->depth;
    auto there = list.find(below);
    if (there != list.end()) {  // kept there before: that one goes now
        ++ctx.treeEdits;
        ctx.leaving.push_back(std::shared_ptr<DisplayObject>(std::move(there->second)));
        list.erase(there);
    }
    out->depth = below;
    out->unloading = true;
    ctx.unloading.push_back(out->serial);
    DisplayObject& kept = *out;
    list.emplace(below, std::move(out));
    parent.Renamed(kept);
    return it;
}

void DropUnloaded(PlayContext& ctx) {
    std::vector<uint32_t> serials;
    serials.swap(ctx.unloading);
    for (uint32_t serial : serials) {
        DisplayObject* obj = ctx.FindObject(serial);
        MovieClip* parent = obj && obj->unloading && obj->parent ? obj->parent->AsClip() : nullptr;
        if (!parent) continue;
        auto it = parent->List().find(obj->depth);
        if (it == parent->List().end() || it->second.get() != obj) continue;
        ++ctx.treeEdits;
        ctx.leaving.push_back(std::shared_ptr<DisplayObject>(std::move(it->second)));
        parent->List().erase(it);
    }
}

bool ReplaceInPlace(DisplayObject& was, DisplayObject& fresh) {
    const bool drawn = was.Kind() == DisplayKind::Shape || was.Kind() == DisplayKind::MorphShape;
    if (!drawn || fresh.Kind() != was.Kind()) return false;
    std::swap(fresh.serial, was.serial);
    fresh.instance = was.instance;
    fresh.placedAt = was.placedAt;
    fresh.scripted = was.scripted;
    fresh.scriptTransform = std::move(was.scriptTransform);
    fresh.scrollRect = was.scrollRect;
    fresh.opaqueBackground = was.opaqueBackground;
    fresh.scale9Grid = was.scale9Grid;
    fresh.scriptMask = was.scriptMask;
    fresh.maskOf = was.maskOf;
    return true;
}

}  // namespace swf
