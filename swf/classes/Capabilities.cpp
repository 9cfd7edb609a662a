#include "swf/classes/Capabilities.h"

#include <cstdio>

#include "swf/classes/UrlVars.h"

namespace swf {

const Capability kCapabilities[] = {
    {Capability::Bool, "avHardwareDisable", "AVD", false, 0, nullptr},
    {Capability::Bool, "hasAccessibility", "ACC", true, 0, nullptr},
    {Capability::Bool, "hasAudio", "A", true, 0, nullptr},
    {Capability::Bool, "hasAudioEncoder", "AE", true, 0, nullptr},
    {Capability::Bool, "hasEmbeddedVideo", "EV", true, 0, nullptr},
    {Capability::Bool, "hasMP3", "MP3", true, 0, nullptr},
    {Capability::Bool, "hasPrinting", "PR", true, 0, nullptr},
    {Capability::Bool, "hasScreenBroadcast", "SB", false, 0, nullptr},
    {Capability::Bool, "hasScreenPlayback", "SP", false, 0, nullptr},
    {Capability::Bool, "hasStreamingAudio", "SA", true, 0, nullptr},
    {Capability::Bool, "hasStreamingVideo", "SV", true, 0, nullptr},
    {Capability::Bool, "hasVideoEncoder", "VE", true, 0, nullptr},
    {Capability::Bool, "isDebugger", "DEB", false, 0, nullptr},
    {Capability::Bool, "localFileReadDisable", "LFD", false, 0, nullptr},
    {Capability::String, "language", "L", false, 0, "en"},
    {Capability::String, "manufacturer", "M", false, 0, "Pictaro Windows"},
    {Capability::String, "os", "OS", false, 0, "Windows XP"},
    {Capability::Number, "pixelAspectRatio", "AR", false, 1, nullptr},
    {Capability::String, "playerType", "PT", false, 0, "StandAlone"},
    {Capability::String, "screenColor", "COL", false, 0, "color"},
    {Capability::Number, "screenDPI", "DP", false, 72, nullptr},
    {Capability::Number, "screenResolutionX", nullptr, false, 1536, nullptr},
    {Capability::Number, "screenResolutionY", nullptr, false, 864, nullptr},
    {Capability::String, "version", "V", false, 0, "WIN 8,0,24,0"},
    {Capability::Bool, nullptr, nullptr, false, 0, nullptr},
};

std::string CapabilitiesServerString() {
    std::string out;
    int resX = 0, resY = 0;
    for (const Capability* c = kCapabilities; c->name; ++c) {
        if (!c->serverKey) {
            (std::string(c->name).back() == 'X' ? resX : resY) = int(c->number);
            continue;
        }
        std::string value;
        if (c->kind == Capability::Bool) {
            value = c->flag ? "t" : "f";
        } else if (c->kind == Capability::Number) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%g", c->number);
            value = buf;
        } else {
            value = UrlEncode(c->text);
        }
        if (!out.empty()) out += '&';
        out += std::string(c->serverKey) + '=' + value;
    }
    return out + "&R=" + std::to_string(resX) + 'x' + std::to_string(resY);
}

bool ValidSharedObjectName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if (std::string("~%&\\;:\"',<>?# ").find(c) != std::string::npos) return false;
    return true;
}

}  // namespace swf
