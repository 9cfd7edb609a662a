#include "swf/play/ActionRunner.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "swf/FormatCodes.h"
#include "swf/read/ByteReader.h"

namespace swf {

namespace {

constexpr size_t kMaxStack = 1024;

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// GetURL and GetURL2 both reach the host this way: an FSCommand or a URL.
HostCall ToHostCall(const std::string& url, const std::string& window) {
    if (StartsWithNoCase(url, kFsCommandPrefix))
        return {true, url.substr(sizeof kFsCommandPrefix - 1), window};
    return {false, url, window};
}

}  // namespace

// Only what GetURL2, GotoFrame2 and SetTarget need: numbers and strings.
struct ActionRunner::Value {
    bool isString = false;
    double number = 0;
    std::string text;

    std::string ToString() const {
        if (isString) return text;
        if (std::isnan(number)) return "NaN";
        if (number == std::floor(number) && std::fabs(number) < 1e15)
            return std::to_string(static_cast<long long>(number));
        return std::to_string(number);
    }
};

void ActionRunner::RunQueue(ActionQueue& queue) {
    for (size_t i = 0; i < queue.size() && i < kMaxBlocksPerCall; ++i) {
        QueuedActions q = queue[i];  // the queue may grow while this runs
        Run(*q.block, q.clipSerial, queue);
    }
    queue.clear();
}

MovieClip* ActionRunner::ResolveTarget(MovieClip& from, const std::string& path) const {
    if (path.empty()) return &from;
    MovieClip* clip = &from;
    size_t pos = 0;
    if (path[0] == '/') {
        clip = &root_;
        pos = 1;
    }
    while (clip && pos < path.size()) {
        size_t end = path.find_first_of("/.", pos);
        std::string part = path.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? path.size() : end + 1;
        if (part.empty()) continue;
        if (part == "_root") {
            clip = &root_;
            continue;
        }
        MovieClip* found = nullptr;
        for (auto& entry : clip->List())
            if (entry.second->AsClip() && entry.second->name == part) found = entry.second->AsClip();
        clip = found;
    }
    return clip;
}

void ActionRunner::Run(const ActionBlock& block, uint32_t clipSerial, ActionQueue& queue) {
    if (!ctx_.FindClip(clipSerial)) return;  // removed by an earlier action
    const uint32_t homeSerial = clipSerial;
    uint32_t targetSerial = clipSerial;
    std::vector<std::string> pool;
    std::vector<Value> stack;
    auto pop = [&stack] {
        Value v;
        if (!stack.empty()) {
            v = std::move(stack.back());
            stack.pop_back();
        }
        return v;
    };
    for (const ActionRecord& a : block.records) {
        if (actionsLeft_ == 0) return;
        --actionsLeft_;
        // Any goto may remove clips, so the target is looked up each time.
        MovieClip* target = ctx_.FindClip(targetSerial);
        ByteReader r(a.payload.data(), a.payload.size());
        try {
            switch (a.code) {
            case kActionPlay: if (target) target->SetPlaying(true); break;
            case kActionStop: if (target) target->SetPlaying(false); break;
            case kActionNextFrame:
            case kActionPrevFrame:
                if (!target) break;
                target->SetPlaying(false);
                target->Goto(target->CurrentFrame() + (a.code == kActionNextFrame ? 1 : -1), 0, &queue);
                break;
            case kActionGotoFrame: {
                uint16_t frame = r.U16();
                if (!target) break;
                target->SetPlaying(false);
                target->Goto(frame, 0, &queue);
                break;
            }
            case kActionGotoLabel: {
                std::string label = r.String();
                if (!target) break;
                auto it = target->Data().labels.find(label);
                if (it == target->Data().labels.end()) break;  // unknown labels do nothing
                target->SetPlaying(false);
                target->Goto(it->second, 0, &queue);
                break;
            }
            case kActionGotoFrame2: {
                uint8_t flags = r.U8();
                int bias = (flags & kGotoFrame2HasBias) ? r.U16() : 0;
                Value v = pop();
                if (!target) break;
                int frame = -1;
                if (v.isString) {
                    auto it = target->Data().labels.find(v.text);
                    if (it != target->Data().labels.end()) frame = it->second;
                    else if (!v.text.empty() && std::isdigit(static_cast<unsigned char>(v.text[0])))
                        frame = std::atoi(v.text.substr(0, 6).c_str()) - 1;
                } else if (std::isfinite(v.number) && v.number >= 1 && v.number <= 65536) {
                    frame = static_cast<int>(v.number) - 1;  // 1-based on the stack
                }
                if (frame < 0) break;
                target->SetPlaying((flags & kGotoFrame2Play) != 0);
                target->Goto(frame + bias, 0, &queue);
                break;
            }
            case kActionGetUrl: {
                std::string url = r.String();
                std::string window = r.String();
                hostCalls_.push_back(ToHostCall(url, window));
                break;
            }
            case kActionGetUrl2: {
                r.U8();  // send method and target kind: only the strings matter here
                std::string window = pop().ToString();
                std::string url = pop().ToString();
                hostCalls_.push_back(ToHostCall(url, window));
                break;
            }
            case kActionConstantPool: {
                size_t count = r.U16();
                pool.clear();
                for (size_t i = 0; i < count && !r.AtEnd(); ++i) pool.push_back(r.String());
                break;
            }
            case kActionPush:
                while (!r.AtEnd()) {
                    Value v;
                    const uint8_t type = r.U8();
                    switch (type) {
                    case kPushString: v.isString = true; v.text = r.String(); break;
                    case kPushFloat: {
                        uint32_t bits = r.U32();
                        float f;
                        std::memcpy(&f, &bits, sizeof f);
                        v.number = f;
                        break;
                    }
                    case kPushNull:
                    case kPushUndefined: break;
                    case kPushRegister: r.U8(); break;
                    case kPushBool: v.number = r.U8() ? 1 : 0; break;
                    case kPushDouble: {
                        // Stored as two little-endian halves, high word first.
                        uint64_t hi = r.U32(), lo = r.U32();
                        uint64_t bits = (hi << 32) | lo;
                        std::memcpy(&v.number, &bits, sizeof v.number);
                        break;
                    }
                    case kPushInt: v.number = static_cast<int32_t>(r.U32()); break;
                    case kPushConstant8:
                    case kPushConstant16: {
                        size_t i = type == kPushConstant8 ? r.U8() : r.U16();
                        v.isString = true;
                        if (i < pool.size()) v.text = pool[i];
                        break;
                    }
                    default: throw ReadError("unknown push type");
                    }
                    if (stack.size() < kMaxStack) stack.push_back(std::move(v));
                }
                break;
            case kActionPop: pop(); break;
            case kActionSetTarget: {
                std::string path = r.String();
                MovieClip* base = ctx_.FindClip(homeSerial);
                MovieClip* t = base ? ResolveTarget(*base, path) : nullptr;
                targetSerial = t ? t->Serial() : 0;
                break;
            }
            default: break;  // not supported yet: skipped by its length
            }
        } catch (const ReadError&) {
            // A short payload: this action is dropped, the block goes on.
        }
    }
}

}  // namespace swf
