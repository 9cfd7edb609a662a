// What scripts change in the tree through the host: copies, removals and
// drags (the actions and the methods share these).
#include "swf/avm1/Vm.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/ClipProperties.h"
#include "swf/display/DepthOps.h"
#include "swf/bind/ScriptHost.h"

namespace swf {

namespace {

GeomPoint Pixels(Point twips) { return {twips.x / double(kTwipsPerPixel), twips.y / double(kTwipsPerPixel)}; }

bool Inside(const DisplayObject* obj, const DisplayObject* ancestor) {
    for (; obj; obj = obj->parent)
        if (obj == ancestor) return true;
    return false;
}

// The topmost clip under `stage` (twips) that is not `dragged` or in it.
const MovieClip* ClipUnder(const MovieClip& clip, const Matrix& m, Point stage, const DisplayObject* dragged) {
    for (auto it = clip.List().rbegin(); it != clip.List().rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (child.clipDepth || !child.visible || Inside(&child, dragged)) continue;
        const Matrix cm = m.Concat(child.matrix);
        if (const MovieClip* sub = child.AsClip()) {
            if (const MovieClip* deeper = ClipUnder(*sub, cm, stage, dragged)) return deeper;
            if (sub->HitTest(cm, stage)) return sub;
        }
    }
    return nullptr;
}

}  // namespace

DisplayObject* ScriptHost::Duplicate(DisplayObject& obj, const std::string& name, double depth) {
    DisplayObject* copy = DuplicateClip(ctx_, obj, name, depth);
    if (!copy && vm_) vm_->Report("duplicateMovieClip: depth out of range or clip budget spent");
    if (copy) Created(*copy);
    return copy;
}

void ScriptHost::Created(DisplayObject& obj) {
    if (queue_ && obj.AsClip()) queue_->push_back({obj.serial, nullptr, 0, kClipLoad});
}

void ScriptHost::Remove(DisplayObject& obj) {
    const avm1::ClipId id = obj.serial;
    if (drag_.Active() && Inside(Object(drag_.Clip()), &obj)) drag_.Stop();
    // With unload handlers to run, the clip's script object stays until they
    // did; otherwise references to it die at once.
    const bool unloads = queue_ && HasUnloadHandler(obj);
    if (RemoveClip(obj, &ctx_, unloads ? queue_ : nullptr) && vm_ && !unloads) vm_->ClipRemoved(id);
}

bool ScriptHost::HasUnloadHandler(DisplayObject& obj) {
    MovieClip* clip = obj.AsClip();
    if (!clip) return false;
    if (clip->clipActions)
        for (const ClipEventAction& a : *clip->clipActions)
            if (a.events & kClipUnload) return true;
    if (vm_ && vm_->HasClipObject(clip->serial)) {
        const avm1::Property* p = vm_->ClipObject(clip->serial)->Find("onUnload", vm_->Ci());
        if (p && p->value.IsObject()) return true;
    }
    for (auto& entry : clip->List())
        if (HasUnloadHandler(*entry.second)) return true;
    return false;
}

void ScriptHost::CloneSprite(avm1::ClipId clip, const std::string& name, int depth) {
    // The action carries the engine depth (the script depth plus the offset).
    if (DisplayObject* o = Object(clip)) Duplicate(*o, name, double(depth) - kScriptDepthOffset);
}

void ScriptHost::RemoveSprite(avm1::ClipId clip) {
    if (DisplayObject* o = Object(clip)) Remove(*o);
}

void ScriptHost::StartDrag(avm1::ClipId clip, bool lockCenter) {
    if (DisplayObject* o = Object(clip)) BeginDrag(*o, lockCenter, std::nullopt);
}

GeomPoint ScriptHost::PointerIn(const DisplayObject* space) const {
    return space ? GlobalToLocal(*space, Pixels(pointer_)) : Pixels(pointer_);
}

void ScriptHost::BeginDrag(DisplayObject& obj, bool lockCenter, std::optional<GeomRect> limits) {
    const GeomPoint at{*GetTransformProperty(obj, kPropX), *GetTransformProperty(obj, kPropY)};
    drag_.Start(obj.serial, at, PointerIn(obj.parent), lockCenter, limits);
    FollowDrag();
}

void ScriptHost::StopDrag() {
    if (!drag_.Active()) return;
    DisplayObject* dragged = Object(drag_.Clip());
    drag_.Stop();
    UpdateDropTarget(dragged);
}

void ScriptHost::UpdateDropTarget(const DisplayObject* dragged) {
    const MovieClip* under = root_ ? ClipUnder(*root_, Matrix(), pointer_, dragged) : nullptr;
    dropTarget_.clear();
    if (under) dropTarget_ = GetProperty(under->serial, kPropTarget).Text();
}

void ScriptHost::FollowDrag() {
    if (!drag_.Active()) return;
    DisplayObject* obj = Object(drag_.Clip());
    if (!obj) {
        drag_.Stop();
        return;
    }
    const GeomPoint to = drag_.Follow(PointerIn(obj->parent));
    SetTransformProperty(*obj, kPropX, to.x);
    SetTransformProperty(*obj, kPropY, to.y);
    UpdateDropTarget(obj);  // _droptarget follows the drag
}

}  // namespace swf
