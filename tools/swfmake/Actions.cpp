#include "tools/swfmake/Actions.h"

#include "tools/swfmake/ByteWriter.h"

namespace swfmake {

namespace {

enum ActionCode : uint8_t {
    kActionEnd = 0x00,
    kActionNextFrame = 0x04,
    kActionPrevFrame = 0x05,
    kActionPlay = 0x06,
    kActionStop = 0x07,
    kActionGotoFrame = 0x81,
    kActionGetUrl = 0x83,
    kActionPushCode = 0x96,
    kActionGotoLabel = 0x8C,
    kActionGetUrl2 = 0x9A,
};

constexpr uint8_t kPushTypeString = 0;
constexpr uint8_t kFirstCodeWithLength = 0x80;

}  // namespace

void Actions::Simple(uint8_t code) { bytes_.push_back(code); }

void Actions::WithPayload(uint8_t code, const std::vector<uint8_t>& payload) {
    ByteWriter w;
    w.U8(code);
    if (code >= kFirstCodeWithLength) w.U16(static_cast<uint16_t>(payload.size()));
    w.Raw(payload);
    std::vector<uint8_t> record = w.Take();
    bytes_.insert(bytes_.end(), record.begin(), record.end());
}

Actions& Actions::Stop() {
    Simple(kActionStop);
    return *this;
}

Actions& Actions::Play() {
    Simple(kActionPlay);
    return *this;
}

Actions& Actions::NextFrame() {
    Simple(kActionNextFrame);
    return *this;
}

Actions& Actions::PrevFrame() {
    Simple(kActionPrevFrame);
    return *this;
}

Actions& Actions::GotoFrame(uint16_t frame) {
    ByteWriter w;
    w.U16(frame);
    WithPayload(kActionGotoFrame, w.Take());
    return *this;
}

Actions& Actions::GotoLabel(const std::string& label) {
    ByteWriter w;
    w.String(label);
    WithPayload(kActionGotoLabel, w.Take());
    return *this;
}

Actions& Actions::GetUrl(const std::string& url, const std::string& target) {
    ByteWriter w;
    w.String(url);
    w.String(target);
    WithPayload(kActionGetUrl, w.Take());
    return *this;
}

Actions& Actions::FsCommand(const std::string& command, const std::string& args) {
    return GetUrl("FSCommand:" + command, args);
}

Actions& Actions::PushString(const std::string& s) {
    ByteWriter w;
    w.U8(kPushTypeString);
    w.String(s);
    WithPayload(kActionPushCode, w.Take());
    return *this;
}

Actions& Actions::GetUrl2(uint8_t flags) {
    WithPayload(kActionGetUrl2, {flags});
    return *this;
}

Actions& Actions::Raw(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<uint8_t> Actions::Encode() const {
    std::vector<uint8_t> out = bytes_;
    out.push_back(kActionEnd);
    return out;
}

}  // namespace swfmake
