// Timeline and host ops: gotos, play and stop, SetTarget, GetURL and
// FSCommand, Call, trace, and the clip ops the host carries out.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "swf/model/FormatCodes.h"
#include "swf/model/Movie.h"
#include "swf/avm1/Frame.h"
#include "swf/avm1/Text.h"

namespace swf::avm1 {

namespace {

constexpr int kMaxFrame = 1 << 16;

}  // namespace

// A frame given as a value: a 1-based number, a label, or a string of
// digits; "path:frame" names a clip too.
static bool FrameFromValue(Vm& vm, Host& host, ClipId& clip, const Value& v, int& frame) {
    if (!v.IsString()) {
        double d = vm.ToNumber(v);
        if (!std::isfinite(d) || d < 1 || d > kMaxFrame) return false;
        frame = static_cast<int>(d) - 1;
        return true;
    }
    std::string s = *v.s;
    size_t colon = s.rfind(':');
    if (colon != std::string::npos) {
        clip = vm.ResolveTarget(clip, s.substr(0, colon));
        s = s.substr(colon + 1);
        if (!clip) return false;
    }
    int label = host.FindLabel(clip, s);
    if (label >= 0) {
        frame = label;
        return true;
    }
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    frame = std::atoi(s.substr(0, 6).c_str()) - 1;
    return frame >= 0;
}

void Vm::GotoFrameValue(ClipId clip, const Value& v, bool play, int bias) {
    int frame = 0;
    if (!clip || !FrameFromValue(*this, host_, clip, v, frame)) return;
    Goto(clip, frame + bias, play);
}

void Vm::Goto(ClipId clip, int frame, bool play) {
    // Going back rebuilds from the first frame.
    const int from = host_.CurrentFrame(clip);
    Charge(kGotoCost + size_t(frame > from ? frame - from : std::max(frame, 0)));
    host_.Goto(clip, frame, play);
}

bool Vm::StepTimeline(Frame& f, const Instr& in) {
    ClipId target = ClipOf(f.target);
    // A tellTarget whose path named nothing: up to SWF 6 the timeline's
    // actions go to the root, later nowhere.
    if (!target && f.target.IsUndefined() && version_ <= 6)
        target = f.home && host_.InTree(f.home) ? RootOf(f.home) : host_.Level(0);
    const std::vector<std::string>& strings = f.prog->strings;
    switch (in.op) {
    case kOpPlay: if (target) host_.SetPlaying(target, true); return true;
    case kOpStop: if (target) host_.SetPlaying(target, false); return true;
    case kOpNextFrame:
    case kOpPrevFrame:
        if (target) Goto(target, host_.CurrentFrame(target) + (in.op == kOpNextFrame ? 1 : -1), false);
        return true;
    case kOpGotoFrame: if (target) Goto(target, in.u16, false); return true;
    case kOpGotoLabel: {
        if (!target) return true;
        int frame = host_.FindLabel(target, strings[in.index]);
        if (frame >= 0) Goto(target, frame, false);  // unknown labels do nothing
        return true;
    }
    case kOpGotoFrame2: {
        Value v = Pop(f);
        GotoFrameValue(target, v, (in.flags & kGotoFrame2Play) != 0, in.u16);
        return true;
    }
    case kOpGetUrl: host_.GetUrl(strings[in.index], strings[in.index + 1], 0); return true;
    case kOpGetUrl2: {
        Str window = ToStr(Pop(f));
        Str url = ToStr(Pop(f));
        host_.GetUrl(*url, *window,
                     in.flags & (kGetUrl2SendGet | kGetUrl2SendPost | kGetUrl2LoadTarget | kGetUrl2LoadVariables));
        return true;
    }
    case kOpSetTarget:
    case kOpSetTarget2: {
        // A clip or object names its target by its text: a reference to a
        // clip shadowed by an older one of the same name reaches the older.
        const std::string path = in.op == kOpSetTarget ? strings[in.index] : *ToStr(Pop(f));
        ClipId clip = ResolveTarget(f.home, path);
        f.target = ClipValue(clip);  // undefined when the path names nothing
        // At frame level the target's variables come into scope too.
        if (!f.activation && clip && !f.scope.empty()) f.scope[0] = ClipObject(clip);
        if (!f.activation && !clip && !f.scope.empty()) f.scope[0] = ClipObject(f.home);
        return true;
    }
    case kOpWaitForFrame: return true;  // every frame is loaded before playing
    case kOpWaitForFrame2: Pop(f); return true;
    case kOpCall: {
        Value v = Pop(f);
        ClipId clip = target;
        int frame = 0;
        if (!clip || !FrameFromValue(*this, host_, clip, v, frame)) return true;
        for (const ActionBlock* block : host_.FrameActions(clip, frame)) {
            if (depth_ + 1 >= maxDepth_) throw ScriptAbort{"calls nested too deep"};
            DepthGuard depth(depth_);
            auto it = programs_.find(block);
            if (it == programs_.end()) {
                RunBlock(*block, clip);  // decodes and caches it
                continue;
            }
            Frame called;
            StartTopFrame(called, it->second, clip);
            Execute(called);
        }
        HaltIfHomeGone(f);
        return true;
    }
    case kOpTrace: {
        Value v = Pop(f);
        std::string text = v.IsUndefined() ? "undefined" : ToString(v);
        if (version_ <= 5) {  // strings are 8-bit there: the output is UTF-8
            const std::vector<uint32_t> chars = Chars(text, false);
            text = FromChars(chars, 0, chars.size(), true);
        }
        host_.Trace(text);
        return true;
    }
    case kOpToggleQuality: host_.ToggleQuality(); return true;
    case kOpStopSounds: host_.StopSounds(); return true;
    case kOpCloneSprite: {
        double depth = ToNumber(Pop(f));
        Str name = ToStr(Pop(f));
        Value source = Pop(f);
        ClipId clip = source.IsClip() ? ClipOf(source) : ResolveTarget(target, *ToStr(source));
        if (clip && std::isfinite(depth)) host_.CloneSprite(clip, *name, static_cast<int>(depth));
        return true;
    }
    case kOpRemoveSprite: {
        Value v = Pop(f);
        ClipId clip = v.IsClip() ? ClipOf(v) : ResolveTarget(target, *ToStr(v));
        if (clip) host_.RemoveSprite(clip);
        return true;
    }
    case kOpStartDrag: {
        Value t = Pop(f);
        bool lockCenter = ToBool(Pop(f));
        if (ToBool(Pop(f)))
            for (int i = 0; i < 4; ++i) Pop(f);  // the constraint rectangle
        ClipId clip = t.IsClip() ? ClipOf(t) : ResolveTarget(target, *ToStr(t));
        if (clip) host_.StartDrag(clip, lockCenter);
        return true;
    }
    case kOpEndDrag: host_.StopDrag(); return true;
    default: return false;
    }
}

}  // namespace swf::avm1
