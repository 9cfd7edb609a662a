#include "swf/play/Scripts3.h"

#include "swf/avm2/Machine.h"
#include "swf/play/Scripts3Host.h"

namespace swf {

Scripts3::Scripts3() = default;
Scripts3::~Scripts3() { Reset(); }

void Scripts3::Reset() {
    if (machine_) machine_->display = nullptr;
    machine_.reset();
    host_.reset();
}

void Scripts3::Start(const Movie& movie, Timeline& timeline, Sink trace, Sink report) {
    Reset();
    if (movie.abcBlocks.empty()) return;
    machine_ = std::make_unique<avm2::Machine>();
    avm2::Machine& m = *machine_;
    m.swfVersion = movie.header.version;
    m.trace = std::move(trace);
    m.report = report;
    host_ = std::make_unique<Host>(m, timeline, movie);
    m.display = host_.get();
    for (const AbcBlock& b : movie.abcBlocks) {
        if (b.frame != 0) continue;
        std::string error;
        if (!m.LoadAbc(b.bytes.data(), b.bytes.size(), !b.lazy, &error) && !error.empty())
            report("DoABC " + b.name + ": " + error);
    }
    host_->Sync();
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
    if (!machine_) return;
    host_->Sync();
    host_->RunFrameScripts();
}

}  // namespace swf
