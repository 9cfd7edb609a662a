// Scenes of a movie clip: the Scene and FrameLabel classes, MovieClip's
// scenes, currentScene and currentLabels, and frames named within a scene.
#include <algorithm>

#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

class FrameLabelObject : public DispatcherObject {
public:
    FrameLabelObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    Value name = Value::Null();
    int frame = 0;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(name);
    }
};

class SceneObject : public Object {
public:
    SceneObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    Value name = Value::Null(), labels = Value::Null();
    int frames = 0;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(name), t.Mark(labels);
    }
};

Object* AllocLabel(Machine& m, ClassObject* cls) { return m.New<FrameLabelObject>(cls, cls->prototype); }
Object* AllocScene(Machine& m, ClassObject* cls) { return m.New<SceneObject>(cls, cls->prototype); }

Value LabelInit(Machine& m, Value self, Args args, int argc) {
    auto* l = DisplayInstance<FrameLabelObject>(m, self, "FrameLabel");
    Value name = Arg(args, argc, 0);
    l->name = name.IsNullish() ? Value::Null() : Value::Str(m.ToString(name));
    l->frame = m.ToInt32(Arg(args, argc, 1));
    return Value::Undefined();
}

Value LabelName(Machine& m, Value self, Args, int) { return DisplayInstance<FrameLabelObject>(m, self, "FrameLabel")->name; }
Value LabelFrame(Machine& m, Value self, Args, int) {
    return Value::Int(DisplayInstance<FrameLabelObject>(m, self, "FrameLabel")->frame);
}

Value SceneInit(Machine& m, Value self, Args args, int argc) {
    auto* s = DisplayInstance<SceneObject>(m, self, "Scene");
    Value name = Arg(args, argc, 0);
    s->name = name.IsNullish() ? Value::Null() : Value::Str(m.ToString(name));
    s->labels = Arg(args, argc, 1).IsNullish() ? Value::Null() : Arg(args, argc, 1);
    s->frames = m.ToInt32(Arg(args, argc, 2));
    return Value::Undefined();
}

Value SceneName(Machine& m, Value self, Args, int) { return DisplayInstance<SceneObject>(m, self, "Scene")->name; }
Value SceneLabels(Machine& m, Value self, Args, int) { return DisplayInstance<SceneObject>(m, self, "Scene")->labels; }
Value SceneFrames(Machine& m, Value self, Args, int) { return Value::Int(DisplayInstance<SceneObject>(m, self, "Scene")->frames); }

ClipObject* ClipOf(Machine& m, const Value& v) {
    ClassObject* clip = m.FindClass("flash.display.MovieClip");
    if (m.display && v.IsObject() && v.o->cls && clip && v.o->cls->IsSubclassOf(clip)) {
        auto* c = static_cast<ClipObject*>(v.o);
        return c->serial ? c : nullptr;
    }
    return nullptr;
}

// Without scene data a clip is one scene of all its frames.
std::vector<DisplayHost::SceneSpan> ScenesOf(Machine& m, uint32_t clip) {
    std::vector<DisplayHost::SceneSpan> scenes = m.display->Scenes(clip);
    int total = std::max(m.display->TotalFrames(clip), 1);
    if (scenes.empty()) scenes.push_back({"Scene 1", 0, total});
    return scenes;
}

size_t SceneIndexAt(const std::vector<DisplayHost::SceneSpan>& scenes, int frame) {
    size_t i = 0;
    while (i + 1 < scenes.size() && scenes[i + 1].first <= frame) ++i;
    return i;
}

// The scene's labels as FrameLabels, numbered from the scene's first frame.
Value LabelsIn(Machine& m, uint32_t clip, const DisplayHost::SceneSpan& scene) {
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    ClassObject* cls = m.FindClass("flash.display.FrameLabel");
    for (auto& [frame, name] : m.display->Labels(clip)) {
        if (frame < scene.first || frame >= scene.first + scene.frames) continue;
        Value args[2] = {Value::Str(m.Str(name)), Value::Int(frame - scene.first + 1)};
        a->items.push_back(m.Construct(Value::Obj(cls), args, 2));
    }
    return Value::Obj(a);
}

Value NewScene(Machine& m, uint32_t clip, const DisplayHost::SceneSpan& scene) {
    Value labels = LabelsIn(m, clip, scene);
    TempRoot keep(m, labels);
    Value args[3] = {Value::Str(m.Str(scene.name)), labels, Value::Int(scene.frames)};
    return m.Construct(Value::Obj(m.FindClass("flash.display.Scene")), args, 3);
}

Value CurrentScene(Machine& m, Value self, Args, int) {
    ClipObject* c = ClipOf(m, self);
    if (!c) return Value::Null();
    auto scenes = ScenesOf(m, c->serial);
    return NewScene(m, c->serial, scenes[SceneIndexAt(scenes, m.display->CurrentFrame(c->serial))]);
}

Value AllScenes(Machine& m, Value self, Args, int) {
    ArrayObject* a = m.NewArray();
    TempRoot keep(m, Value::Obj(a));
    if (ClipObject* c = ClipOf(m, self))
        for (const auto& s : ScenesOf(m, c->serial)) a->items.push_back(NewScene(m, c->serial, s));
    return Value::Obj(a);
}

Value CurrentLabels(Machine& m, Value self, Args, int) {
    ClipObject* c = ClipOf(m, self);
    if (!c) return Value::Obj(m.NewArray());
    auto scenes = ScenesOf(m, c->serial);
    return LabelsIn(m, c->serial, scenes[SceneIndexAt(scenes, m.display->CurrentFrame(c->serial))]);
}

}  // namespace

int SceneFrame(Machine& m, uint32_t clip, const Value& frame, const Value& sceneName) {
    auto scenes = ScenesOf(m, clip);
    size_t index = SceneIndexAt(scenes, m.display->CurrentFrame(clip));
    if (!sceneName.IsNullish()) {
        std::string want = m.ToStdString(sceneName);
        auto it = std::find_if(scenes.begin(), scenes.end(), [&](const auto& s) { return s.name == want; });
        if (it == scenes.end()) m.ArgumentError(2108, "Scene " + want + " was not found.");
        index = size_t(it - scenes.begin());
    }
    const DisplayHost::SceneSpan& scene = scenes[index];
    if (frame.IsString()) {
        std::string label = m.ToStdString(frame);
        auto labels = m.display->Labels(clip);
        for (auto& [f, name] : labels)
            if (name == label && f >= scene.first && f < scene.first + scene.frames) return f;
        // Without a scene named, a label elsewhere in the clip will do.
        if (sceneName.IsNullish())
            for (auto& [f, name] : labels)
                if (name == label) return f;
        // A number in a string is a frame number.
        double d = m.ToNumber(frame);
        if (!(d == d))
            m.ArgumentError(2109, "Frame label " + label + " not found in scene " + scene.name + ".");
    }
    double d = m.ToNumber(frame);
    if (!(d >= 1)) return scene.first;
    int last = std::max(m.display->TotalFrames(clip), 1) - 1;
    return std::min(double(scene.first) + d - 1, double(last));
}

int SceneStart(Machine& m, uint32_t clip, int frame) {
    if (m.display->Scenes(clip).empty()) return 0;
    auto scenes = ScenesOf(m, clip);
    return std::min(scenes[SceneIndexAt(scenes, frame)].first, frame);
}

void InstallScenes(Machine& m, ClassObject* clip) {
    ClassObject* dispatcher = m.FindClass("flash.events.EventDispatcher");
    ClassObject* label = m.DefineClass("flash.display", "FrameLabel", dispatcher, AllocLabel, false);
    label->init = m.NewNativeMethod("FrameLabel", LabelInit, 2);
    m.DefineGetter(label, "name", LabelName);
    m.DefineGetter(label, "frame", LabelFrame);

    ClassObject* scene = m.DefineClass("flash.display", "Scene", m.objectClass, AllocScene, false);
    scene->init = m.NewNativeMethod("Scene", SceneInit, 3);
    m.DefineGetter(scene, "name", SceneName);
    m.DefineGetter(scene, "labels", SceneLabels);
    m.DefineGetter(scene, "numFrames", SceneFrames);

    m.DefineGetter(clip, "currentScene", CurrentScene);
    m.DefineGetter(clip, "scenes", AllScenes);
    m.DefineGetter(clip, "currentLabels", CurrentLabels);
}

}  // namespace swf::avm2
