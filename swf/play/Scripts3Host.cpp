#include "swf/play/Scripts3Host.h"

#include <algorithm>
#include <climits>

#include "swf/avm2/Machine.h"
#include "swf/display/ClipProperties.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/DepthOps.h"
#include "swf/display/TextObjects.h"

namespace swf {

namespace {

// A field made by script: 100 pixels square, dynamic, in Times New Roman.
std::unique_ptr<DisplayObject> NewScriptField(PlayContext& ctx) {
    constexpr int32_t kSide = 100 * kTwipsPerPixel;
    auto def = std::make_unique<EditTextCharacter>();
    def->field.bounds = Rect{0, kSide, 0, kSide};
    def->field.readOnly = true;
    auto obj = std::make_unique<EditTextObject>(ctx, std::move(def));
    TextFormat f = obj->Field().DefaultFormat();
    f.font = "Times New Roman";
    obj->Field().SetDefaultFormat(f);
    return obj;
}

}  // namespace

Scripts3::Host::Host(avm2::Machine& m, Timeline& timeline, const Movie& movie)
    : m_(m), ctx_(timeline.Context()), movie_(movie), timeline_(timeline) {
    AddMovieClasses(ctx_.assets, nullptr);
}

Scripts3::Host::~Host() = default;

void Scripts3::Host::Guarded(const std::function<void()>& fn) {
    if (m_.callDepth == 0) {
        m_.Entry(fn);
        return;
    }
    // Inside a script: what a listener throws stops the listener only.
    try {
        fn();
    } catch (const avm2::ScriptThrow&) {
        avm2::Value e = m_.thrown;
        m_.thrown = avm2::Value::Undefined();
        m_.Uncaught(e);
    }
}

MovieClip& Scripts3::Host::RootClip() { return timeline_.Root(); }

DisplayObject* Scripts3::Host::Find(uint32_t serial) {
    if (!serial) return nullptr;
    if (serial == RootClip().serial) return &RootClip();
    if (serial == StageClip().serial) return &StageClip();
    if (DisplayObject* o = ctx_.FindObject(serial)) return o;
    auto it = orphans_.find(serial);
    if (it != orphans_.end()) return it->second.get();
    auto w = where_.find(serial);
    if (w == where_.end()) return nullptr;
    DisplayObject* p = w->second.parent == RootClip().serial    ? &RootClip()
                       : w->second.parent == StageClip().serial ? &StageClip()
                                                                : ctx_.FindObject(w->second.parent);
    auto o = orphans_.find(w->second.parent);
    if (!p && o != orphans_.end()) p = o->second.get();
    if (ButtonObject* button = p ? p->AsButton() : nullptr) return button->FindPart(serial);
    MovieClip* clip = p ? p->AsClip() : nullptr;
    if (!clip) return nullptr;
    auto at = clip->List().find(w->second.depth);
    return at != clip->List().end() && at->second->serial == serial ? at->second.get() : nullptr;
}

void Scripts3::Host::Index(DisplayObject& obj) {
    if (!obj.parent) return;
    Where& w = where_[obj.serial];
    w.parent = obj.parent->serial;
    w.depth = obj.depth;
    if (w.name != obj.name) w.name = obj.name;
}

MovieClip* Scripts3::Host::FindClip(uint32_t serial) {
    DisplayObject* o = Find(serial);
    return o ? o->AsClip() : nullptr;
}

void Scripts3::Host::Walk(DisplayObject& obj, std::vector<DisplayObject*>& out, size_t limit, bool aside) {
    size_t first = out.size();
    out.push_back(&obj);
    Index(obj);
    for (size_t i = first; i < out.size() && out.size() < limit; ++i) {
        if (ButtonObject* b = out[i]->AsButton(); b && b->HoldsStates())
            for (int s = 0; s < ButtonObject::kStates; ++s) {
                DisplayObject* state = b->State(s);
                if (state && (aside || state->parent == b) && out.size() < limit) out.push_back(state);
            }
        if (MovieClip* c = out[i]->AsClip(); c && !(c->Loaded() && !IsAs3(c->Assets())))
            for (auto& [depth, child] : c->List()) {
                if (out.size() >= limit) break;
                out.push_back(child.get());
                Index(*child);
            }
    }
}

void Scripts3::Host::WalkStage(std::vector<DisplayObject*>& out) {
    Walk(RootClip(), out, kMaxWalk);
    for (auto& [depth, child] : StageClip().List()) Walk(*child, out, kMaxWalk);
}

avm2::Value Scripts3::Host::Build(DisplayObject& obj, bool construct, bool announce) {
    auto known = wrappers_.find(obj.serial);
    if (known != wrappers_.end()) return known->second;
    avm2::ClassObject* cls = ClassFor(obj);
    if (!cls) return avm2::Value::Null();
    if (!obj.instance && obj.name.empty() && &obj != &RootClip()) obj.instance = ++ctx_.instancesMade;
    adopting = obj.serial;
    avm2::Object* o = m_.Instantiate(cls);
    adopting = 0;
    if (o->kind != avm2::ObjKind::Display) return avm2::Value::Null();
    avm2::Value v = avm2::Value::Obj(o);
    wrappers_[obj.serial] = v;
    m_.hostRoots.push_back(v);
    AssignToParent(obj, v);
    if (construct) {
        const uint32_t serial = obj.serial;
        if (ButtonObject* b = obj.AsButton(); b && b->HoldsStates()) ConstructStates(*b, true);
        unfinished_.insert(serial);
        struct Finished {
            std::unordered_set<uint32_t>& set;
            uint32_t serial;
            ~Finished() { set.erase(serial); }
        } finished{unfinished_, serial};
        if (cls->init) m_.Invoke(cls->init, cls, cls->scope, v, nullptr, 0);
        Constructing(static_cast<avm2::DispatcherObject*>(o));
        DisplayObject* again = Find(serial);
        if (announce && again && again->parent) Added(*again, true);
    }
    return v;
}

void Scripts3::Host::Constructing(avm2::DispatcherObject* d) {
    d->built = true;
    DisplayObject* obj = Find(d->serial);
    if (ButtonObject* b = obj ? obj->AsButton() : nullptr; b && b->HoldsStates()) ConstructStates(*b, false);
    MovieClip* clip = FindClip(d->serial);
    if (!clip) return;
    std::vector<DisplayObject*> kids;
    for (auto& [depth, child] : clip->List()) {
        Index(*child);
        kids.push_back(child.get());
    }
    // A child whose constructor throws leaves its siblings and parent be.
    for (DisplayObject* k : kids) Guarded([&] { Build(*k, true); });
}

void Scripts3::Host::AssignToParent(DisplayObject& obj, const avm2::Value& v) {
    if (!obj.parent || obj.name.empty()) return;
    auto pw = wrappers_.find(obj.parent->serial);
    if (pw == wrappers_.end()) return;
    avm2::Name n = m_.PublicName(obj.name);
    try {
        if (m_.HasProperty(pw->second, n) || pw->second.o->IsDynamic()) m_.SetProperty(pw->second, n, v);
    } catch (const avm2::ScriptThrow&) {
        m_.thrown = avm2::Value::Undefined();
    }
}

void Scripts3::Host::Sync() {
    std::vector<DisplayObject*> all;
    WalkStage(all);
    // Constructors may change the tree, even free what the walk found: go
    // by serial and look each object up again.
    std::vector<uint32_t> serials;
    serials.reserve(all.size());
    for (const DisplayObject* o : all) serials.push_back(o->serial);
    for (uint32_t serial : serials)
        if (!wrappers_.count(serial))
            Guarded([&] {
                if (DisplayObject* again = Find(serial)) Build(*again, true);
            });
    m_.hostRoots.clear();
    m_.hostRoots.push_back(focus);
    if (stage_.IsObject()) m_.hostRoots.push_back(stage_);
    for (auto& [s, v] : wrappers_) m_.hostRoots.push_back(v);
}

void Scripts3::Host::Send(uint32_t serial, const char* type, bool bubbles) {
    auto w = wrappers_.find(serial);
    if (w == wrappers_.end()) return;
    avm2::Value target = w->second;
    Guarded([&] {
        avm2::TempRoot keep(m_, target);
        avm2::EventObject* e = avm2::NewEvent(m_, type, bubbles);
        avm2::DispatchEvent(m_, static_cast<avm2::DispatcherObject*>(target.o), e);
    });
}

bool Scripts3::Host::OnStage(const DisplayObject& obj) {
    const DisplayObject* top = &obj;
    while (top->parent) top = top->parent;
    return top == &RootClip() || top == &StageClip();
}

void Scripts3::Host::Added(DisplayObject& obj, bool alone) {
    Send(obj.serial, "added", true);
    if (!OnStage(obj)) return;
    std::vector<DisplayObject*> all;
    if (alone)
        all.push_back(&obj);
    else
        Walk(obj, all, kMaxWalk, false);
    std::vector<uint32_t> serials;
    for (DisplayObject* o : all) serials.push_back(o->serial);
    for (uint32_t s : serials) Send(s, "addedToStage", false);
}

avm2::Value Scripts3::Host::Wrap(uint32_t serial) {
    if (serial && serial == StageClip().serial) return Stage();
    DisplayObject* o = Find(serial);
    if (!o) {
        auto it = wrappers_.find(serial);
        return it == wrappers_.end() ? avm2::Value::Null() : it->second;
    }
    return Build(*o, true);
}

void Scripts3::Host::Create(avm2::DispatcherObject* d) {
    if (ctx_.buildsLeft == 0 || ctx_.liveClips.size() >= PlayContext::kMaxLiveClips || orphans_.size() >= kMaxOrphans)
        return;
    uint16_t id = 0;
    const MovieClasses* from = SymbolOf(d->cls, id);
    avm2::ClassObject* textField = m_.FindClass("flash.text.TextField");
    std::unique_ptr<DisplayObject> obj;
    if (from && id) {
        obj = Instantiate(ctx_, *from->assets, id, 1, nullptr);
    } else if (from) {
        obj = NewMovieRoot(*from->assets);
    } else if (textField && d->cls->IsSubclassOf(textField)) {
        --ctx_.buildsLeft;
        obj = NewScriptField(ctx_);
    } else {
        --ctx_.buildsLeft;
        auto clip = std::make_unique<MovieClip>(ctx_, EmptyTimeline(), 1);
        clip->Start(nullptr);
        obj = std::move(clip);
    }
    if (!obj->instance) obj->instance = ++ctx_.instancesMade;
    d->serial = obj->serial;
    orphans_[d->serial] = std::move(obj);
    avm2::Value v = avm2::Value::Obj(d);
    wrappers_[d->serial] = v;
    m_.hostRoots.push_back(v);
}

bool Scripts3::Host::ToStagePoint(uint32_t serial, double& x, double& y) {
    DisplayObject* o = Find(serial);
    if (!o) return false;
    const Point p = ToStage(*o).Apply(Point{int32_t(x * kTwipsPerPixel), int32_t(y * kTwipsPerPixel)});
    x = p.x / double(kTwipsPerPixel);
    y = p.y / double(kTwipsPerPixel);
    return true;
}

bool Scripts3::Host::ToLocalPoint(uint32_t serial, double& x, double& y) {
    DisplayObject* o = Find(serial);
    Matrix back;
    if (!o || !ToStage(*o).Invert(&back)) return false;
    const Point p = back.Apply(Point{int32_t(x * kTwipsPerPixel), int32_t(y * kTwipsPerPixel)});
    x = p.x / double(kTwipsPerPixel);
    y = p.y / double(kTwipsPerPixel);
    return true;
}

avm2::Value Scripts3::Host::Stage() {
    if (!stage_.IsObject()) {
        avm2::ClassObject* c = m_.FindClass("flash.display.Stage");
        if (!c) return avm2::Value::Null();
        stage_ = avm2::Value::Obj(m_.Instantiate(c));
        m_.hostRoots.push_back(stage_);
    }
    return stage_;
}

uint32_t Scripts3::Host::Parent(uint32_t serial) {
    if (DisplayObject* o = Find(serial)) return o->parent ? o->parent->serial : 0;
    // Gone, and hearing so: still where it was.
    auto w = where_.find(serial);
    return w == where_.end() || orphans_.count(serial) ? 0 : w->second.parent;
}

std::vector<uint32_t> Scripts3::Host::Children(uint32_t serial) {
    std::vector<uint32_t> out;
    if (MovieClip* c = FindClip(serial))
        for (auto& [depth, child] : c->List())
            // What the timeline places joins its parent when built, after enterFrame.
            if (!entering_ || wrappers_.count(child->serial)) out.push_back(child->serial);
    return out;
}

bool Scripts3::Host::IsContainer(uint32_t serial) { return FindClip(serial) != nullptr; }

Drawing* Scripts3::Host::DrawingOf(uint32_t serial) {
    MovieClip* c = FindClip(serial);
    return c ? &c->Graphics() : nullptr;
}

FilterList Scripts3::Host::Filters(uint32_t serial) {
    DisplayObject* o = Find(serial);
    return o && o->filters ? *o->filters : FilterList{};
}

void Scripts3::Host::SetFilters(uint32_t serial, FilterList filters) {
    if (DisplayObject* o = Find(serial))
        o->filters = filters.empty() ? nullptr : std::make_shared<const FilterList>(std::move(filters));
}

uint32_t Scripts3::Host::Mask(uint32_t serial) {
    DisplayObject* o = Find(serial);
    return o && o->scriptMask && Find(o->scriptMask) ? o->scriptMask : 0;
}

void Scripts3::Host::SetMask(uint32_t serial, uint32_t maskSerial) {
    DisplayObject* o = Find(serial);
    if (!o) return;
    DisplayObject* mask = maskSerial != serial ? Find(maskSerial) : nullptr;
    if (DisplayObject* old = Find(o->scriptMask)) old->maskOf = 0;
    o->scriptMask = 0;
    if (!mask) return;
    if (DisplayObject* before = Find(mask->maskOf)) before->scriptMask = 0;
    o->scriptMask = mask->serial;
    mask->maskOf = o->serial;
}

std::string Scripts3::Host::Name(uint32_t serial) {
    DisplayObject* o = Find(serial);
    if (!o) {
        auto w = where_.find(serial);
        return w == where_.end() ? "" : w->second.name;
    }
    if (o == &RootClip() && o->name.empty()) return "root1";
    if (!o->instance && o->name.empty()) o->instance = ++ctx_.instancesMade;
    return o->ScriptName();
}

void Scripts3::Host::SetName(uint32_t serial, const std::string& name) {
    DisplayObject* o = Find(serial);
    if (!o) return;
    o->name = name;
    if (MovieClip* p = o->parent ? o->parent->AsClip() : nullptr) p->Renamed(*o);
}

std::optional<double> Scripts3::Host::Get(uint32_t serial, int prop) {
    DisplayObject* o = Find(serial);
    if (!o) return std::nullopt;
    switch (prop) {
    case avm2::kDpVisible: return o->visible ? 1 : 0;
    case avm2::kDpBlendMode: return double(uint8_t(o->blendMode));
    case avm2::kDpCacheAsBitmap: return o->cacheAsBitmap ? 1 : 0;
    case avm2::kDpOpaqueBackground: {
        if (!o->opaqueBackground) return -1;
        const Rgba c = *o->opaqueBackground;
        return double(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
    default: return GetTransformProperty(*o, prop);
    }
}

void Scripts3::Host::Set(uint32_t serial, int prop, double value) {
    DisplayObject* o = Find(serial);
    if (!o) return;
    switch (prop) {
    case avm2::kDpVisible: o->visible = value != 0; return;
    case avm2::kDpBlendMode: o->blendMode = BlendModeFromCode(value >= 0 && value < 256 ? uint8_t(value) : 0); return;
    case avm2::kDpCacheAsBitmap: o->cacheAsBitmap = value != 0; return;
    case avm2::kDpOpaqueBackground:
        if (value < 0) o->opaqueBackground.reset();
        else {
            const uint32_t c = value < 4294967296.0 ? uint32_t(value) : 0xFFFFFFu;
            o->opaqueBackground = Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
        }
        return;
    default: SetTransformProperty(*o, prop, value);
    }
}

std::unique_ptr<DisplayObject> Scripts3::Host::Detach(DisplayObject& obj) {
    auto orphan = orphans_.find(obj.serial);
    if (orphan != orphans_.end()) {
        std::unique_ptr<DisplayObject> out = std::move(orphan->second);
        orphans_.erase(orphan);
        return out;
    }
    MovieClip* p = obj.parent ? obj.parent->AsClip() : nullptr;
    if (!p) return nullptr;
    auto it = p->List().find(obj.depth);
    if (it == p->List().end() || it->second.get() != &obj) return nullptr;
    std::unique_ptr<DisplayObject> out = std::move(it->second);
    p->List().erase(it);
    out->parent = nullptr;
    ++ctx_.treeEdits;
    return out;
}

bool Scripts3::Host::AddChild(uint32_t parent, uint32_t child, int index) {
    MovieClip* p = FindClip(parent);
    DisplayObject* c = Find(child);
    if (!p || !c || c == &RootClip() || p->Nesting() + 1 >= PlayContext::kMaxNesting) return false;
    bool moved = c->parent != p;
    if (moved && c->parent) {
        Removing(*c);
        // Listeners may have moved things: look again.
        p = FindClip(parent);
        c = Find(child);
        if (!p || !c) return false;
    }
    std::unique_ptr<DisplayObject> moving = Detach(*c);
    if (!moving) return false;
    moving->scriptChild = true;
    std::vector<std::unique_ptr<DisplayObject>> kids;
    for (auto& [depth, k] : p->List()) kids.push_back(std::move(k));
    p->List().clear();
    index = std::clamp(index, 0, int(kids.size()));
    kids.insert(kids.begin() + index, std::move(moving));
    // Depths keep their order: timeline objects keep theirs where they can,
    // the one put in sits just above the one before it.
    int64_t prev = INT64_MIN;
    for (size_t i = 0; i < kids.size(); ++i) {
        int64_t d = kids[i]->depth;
        if (int(i) == index)
            d = prev == INT64_MIN ? (i + 1 < kids.size() ? int64_t(kids[i + 1]->depth) - 1 : kScriptDepthOffset)
                                  : prev + 1;
        d = std::max(d, prev == INT64_MIN ? d : prev + 1);
        d = std::min<int64_t>(d, INT32_MAX);
        prev = d;
        kids[i]->depth = int32_t(d);
        kids[i]->parent = p;
        Index(*kids[i]);
        p->Put(int32_t(d), std::move(kids[i]));
    }
    if (moved)
        if (DisplayObject* again = Find(child)) Added(*again);
    return true;
}

void Scripts3::Host::Removing(DisplayObject& obj) {
    uint32_t serial = obj.serial;
    bool onStage = OnStage(obj);
    std::vector<DisplayObject*> all;
    Walk(obj, all, kMaxWalk, false);
    std::vector<uint32_t> serials;
    for (DisplayObject* o : all) serials.push_back(o->serial);
    Send(serial, "removed", true);
    if (onStage)
        for (uint32_t s : serials) Send(s, "removedFromStage", false);
}

bool Scripts3::Host::RemoveChild(uint32_t parent, uint32_t child) {
    DisplayObject* c = Find(child);
    if (!c || !c->parent || c->parent->serial != parent) return false;
    Removing(*c);
    c = Find(child);
    if (!c || !c->parent || c->parent->serial != parent) return false;
    std::unique_ptr<DisplayObject> out = Detach(*c);
    if (out && orphans_.size() < kMaxOrphans) orphans_[child] = std::move(out);
    return true;
}

double Scripts3::Host::StageWidth() { return (movie_.header.stage.xMax - movie_.header.stage.xMin) / 20.0; }
double Scripts3::Host::StageHeight() { return (movie_.header.stage.yMax - movie_.header.stage.yMin) / 20.0; }
double Scripts3::Host::FrameRate() { return movie_.header.frameRate88 / 256.0; }

}  // namespace swf
