#include "tools/swfmake/Actions.h"

#include "swf/model/FormatCodes.h"
#include "tools/swfmake/ByteWriter.h"

namespace swfmake {

void Actions::Simple(uint8_t code) { bytes_.push_back(code); }

void Actions::WithPayload(uint8_t code, const std::vector<uint8_t>& payload) {
    ByteWriter w;
    w.U8(code);
    if (code & swf::kActionHasLength) w.U16(static_cast<uint16_t>(payload.size()));
    w.Raw(payload);
    std::vector<uint8_t> record = w.Take();
    bytes_.insert(bytes_.end(), record.begin(), record.end());
}

Actions& Actions::Stop() {
    Simple(swf::kActionStop);
    return *this;
}

Actions& Actions::Play() {
    Simple(swf::kActionPlay);
    return *this;
}

Actions& Actions::NextFrame() {
    Simple(swf::kActionNextFrame);
    return *this;
}

Actions& Actions::PrevFrame() {
    Simple(swf::kActionPrevFrame);
    return *this;
}

Actions& Actions::GotoFrame(uint16_t frame) {
    ByteWriter w;
    w.U16(frame);
    WithPayload(swf::kActionGotoFrame, w.Take());
    return *this;
}

Actions& Actions::GotoLabel(const std::string& label) {
    ByteWriter w;
    w.String(label);
    WithPayload(swf::kActionGotoLabel, w.Take());
    return *this;
}

Actions& Actions::GetUrl(const std::string& url, const std::string& target) {
    ByteWriter w;
    w.String(url);
    w.String(target);
    WithPayload(swf::kActionGetUrl, w.Take());
    return *this;
}

Actions& Actions::FsCommand(const std::string& command, const std::string& args) {
    return GetUrl(swf::kFsCommandPrefix + command, args);
}

Actions& Actions::PushString(const std::string& s) {
    ByteWriter w;
    w.U8(swf::kPushString);
    w.String(s);
    WithPayload(swf::kActionPush, w.Take());
    return *this;
}

Actions& Actions::GetUrl2(uint8_t flags) {
    WithPayload(swf::kActionGetUrl2, {flags});
    return *this;
}

Actions& Actions::Raw(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<uint8_t> Actions::Encode() const {
    std::vector<uint8_t> out = bytes_;
    out.push_back(swf::kActionEnd);
    return out;
}

}  // namespace swfmake
