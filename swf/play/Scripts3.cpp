#include "swf/play/Scripts3.h"

#include "swf/avm2/Machine.h"
#include "swf/avm2/classes/Loading.h"
#include "swf/avm2/classes/Timers.h"
#include "swf/play/Scripts3Host.h"
#include "swf/play/Scripts3Text.h"

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
    avm2::ApplySwfVersion(m);
    m.traceUncaught = trace;
    m.trace = std::move(trace);
    m.report = report;
    avm2::SetLoadSource(m, loadUrl_, loadFiles_);
    const Rect& stage = movie.header.stage;
    avm2::SetMovieFacts(m, {double(movie.header.fileLength), movie.header.version, movie.header.frameRate88 / 256.0,
                            int((int64_t(stage.xMax) - stage.xMin) / kTwipsPerPixel),
                            int((int64_t(stage.yMax) - stage.yMin) / kTwipsPerPixel)});
    host_ = std::make_unique<Host>(m, timeline, movie);
    m.display = host_.get();
    InstallScriptText(m);
    host_->RunFrameTags();
    host_->Sync();
    host_->Added(timeline.Root(), true);
    host_->Broadcast("frameConstructed");
    host_->RunFrameScripts();
    host_->Broadcast("exitFrame");
    host_->NoteFrames();
    Render();
    // What the frame asked of files beside the movie is heard by its end.
    avm2::RunLoads(m);
}

void Scripts3::SetLoadSource(std::string url, FileReader files) {
    loadUrl_ = std::move(url);
    loadFiles_ = std::move(files);
    if (machine_) avm2::SetLoadSource(*machine_, loadUrl_, loadFiles_);
}

void Scripts3::Frame() {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    avm2::RunTimers(m);
    host_->SendRemovals();
    host_->EnterFrame();
    host_->RunFrameTags();
    host_->Sync();
    host_->Broadcast("frameConstructed");
    host_->RunFrameScripts();
    host_->Broadcast("exitFrame");
    host_->NoteFrames();
    Render();
    // What the frame asked of files beside the movie is heard by its end.
    avm2::RunLoads(m);
}

// The frame is drawn after its scripts: an invalidated stage tells its
// listeners first.
void Scripts3::Render() {
    if (!host_->renderAsked) return;
    host_->renderAsked = false;
    host_->Broadcast("render");
}

}  // namespace swf
