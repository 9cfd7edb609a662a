#include "swf/play/Scripts3.h"

#include "swf/avm2/Machine.h"
#include "swf/avm2/classes/Display.h"

namespace swf {

// The main timeline seen from its script object.
class Scripts3::RootHost : public avm2::ClipHost {
public:
    explicit RootHost(MovieClip& clip) : clip_(clip) {}
    int CurrentFrame() const override { return std::max(clip_.CurrentFrame(), 0); }
    int TotalFrames() const override { return clip_.TotalFrames(); }
    void SetPlaying(bool playing) override { clip_.SetPlaying(playing); }
    void Goto(int frame) override {
        if (frame != clip_.CurrentFrame()) clip_.Goto(frame, 0, nullptr);
    }
    int LabelFrame(const std::string& label) const override {
        auto it = clip_.Data().labels.find(label);
        return it == clip_.Data().labels.end() ? -1 : it->second;
    }

private:
    MovieClip& clip_;
};

Scripts3::Scripts3() = default;
Scripts3::~Scripts3() = default;

void Scripts3::Reset() {
    root_ = nullptr;
    machine_.reset();
    host_.reset();
    lastFrame_ = -1;
}

void Scripts3::Start(const Movie& movie, MovieClip& root, Sink trace, Sink report) {
    Reset();
    if (movie.abcBlocks.empty()) return;
    machine_ = std::make_unique<avm2::Machine>();
    avm2::Machine& m = *machine_;
    m.swfVersion = movie.header.version;
    m.trace = std::move(trace);
    m.report = report;
    for (const AbcBlock& b : movie.abcBlocks) {
        if (b.frame != 0) continue;
        std::string error;
        if (!m.LoadAbc(b.bytes.data(), b.bytes.size(), !b.lazy, &error) && !error.empty())
            report("DoABC " + b.name + ": " + error);
    }
    host_ = std::make_unique<RootHost>(root);
    for (const SymbolClassEntry& e : movie.symbolClasses) {
        if (e.id != 0) continue;
        m.Entry([&] {
            avm2::ClassObject* c = m.FindClass(e.className);
            if (!c) return;
            // The host is there before the constructor runs: it may move
            // the timeline or read its frame.
            avm2::Object* o = m.Instantiate(c);
            avm2::Value self = avm2::Value::Obj(o);
            m.hostRoots.push_back(self);
            if (o->kind == avm2::ObjKind::Display && dynamic_cast<avm2::ClipObject*>(o)) {
                root_ = static_cast<avm2::ClipObject*>(o);
                root_->host = host_.get();
            }
            if (c->init) m.Invoke(c->init, c, c->scope, self, nullptr, 0);
        });
        break;
    }
    FrameScripts();
}

void Scripts3::EnterFrame() {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    std::vector<avm2::Value> targets = m.enterFrameTargets;
    for (const avm2::Value& t : targets) {
        m.Entry([&] {
            avm2::TempRoot keep(m, t);
            avm2::EventObject* e = avm2::NewEvent(m, "enterFrame");
            avm2::DispatchEvent(m, static_cast<avm2::DispatcherObject*>(t.o), e);
        });
    }
}

void Scripts3::FrameScripts() {
    if (!machine_ || !root_) return;
    avm2::Machine& m = *machine_;
    // A script that moves the timeline has the new frame's script run next,
    // a bounded number of times.
    constexpr int kMaxChained = 64;
    for (int i = 0; i < kMaxChained; ++i) {
        int frame = host_->CurrentFrame();
        if (frame == lastFrame_) return;
        lastFrame_ = frame;
        avm2::Value fn = root_->FrameScript(frame);
        if (fn.IsUndefined()) continue;
        m.Entry([&] { m.Call(fn, avm2::Value::Obj(root_), nullptr, 0); });
    }
}

}  // namespace swf
