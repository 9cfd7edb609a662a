// AVM1 action records for DoAction tags and button actions.
//
// Encode() ends the list with the ActionEndFlag byte, so the result is the
// complete action list a tag carries. Raw() appends bytes as they are, for
// movies that test how the player copes with damaged actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfmake {

class Actions {
public:
    Actions& Stop();
    Actions& Play();
    Actions& NextFrame();
    Actions& PrevFrame();
    // 0-based frame index, as the file stores it.
    Actions& GotoFrame(uint16_t frame);
    Actions& GotoLabel(const std::string& label);
    Actions& GetUrl(const std::string& url, const std::string& target);
    // Sends "FSCommand:<command>" with `args`, the way movies talk to the host.
    Actions& FsCommand(const std::string& command, const std::string& args);
    Actions& PushString(const std::string& s);
    // Pops target then URL from the stack; `flags` are swf::GetUrl2Flags.
    Actions& GetUrl2(uint8_t flags);
    Actions& Raw(const std::vector<uint8_t>& bytes);

    bool Empty() const { return bytes_.empty(); }
    // The records followed by the end flag.
    std::vector<uint8_t> Encode() const;

private:
    void Simple(uint8_t code);
    void WithPayload(uint8_t code, const std::vector<uint8_t>& payload);

    std::vector<uint8_t> bytes_;
};

}  // namespace swfmake
