#include "player/PlayerQuality.h"

#include <cstddef>

namespace {

struct NamedQuality {
    const char* name;  // lower case
    swf::Quality quality;
};

// Indexed by the Quality number first; Medium and Best only have names.
constexpr NamedQuality kQualities[] = {
    {"low", swf::Quality::Low},         {"high", swf::Quality::High},
    {"autolow", swf::Quality::Low},     {"autohigh", swf::Quality::High},
    {"medium", swf::Quality::Medium},   {"best", swf::Quality::Best},
};
constexpr long kNumberedQualities = 4;

}  // namespace

bool QualityFromNumber(long number, swf::Quality& out) {
    if (number < 0 || number >= kNumberedQualities) return false;
    out = kQualities[number].quality;
    return true;
}

bool QualityFromName(const std::string& name, swf::Quality& out) {
    std::string lower;
    for (char ch : name) lower += (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    for (const NamedQuality& q : kQualities) {
        if (lower == q.name) {
            out = q.quality;
            return true;
        }
    }
    return false;
}

long QualityNumber(swf::Quality quality) { return quality == swf::Quality::Low ? 0 : 1; }

const char* QualityName(swf::Quality quality) {
    switch (quality) {
    case swf::Quality::Low: return "Low";
    case swf::Quality::Medium: return "Medium";
    case swf::Quality::Best: return "Best";
    case swf::Quality::High: break;
    }
    return "High";
}
