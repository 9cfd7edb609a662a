#include "swf/model/Quality.h"

namespace swf {

namespace {

struct NamedQuality {
    const char* name;  // lower case
    Quality quality;
};

constexpr NamedQuality kQualities[] = {
    {"low", Quality::Low},       {"medium", Quality::Medium},   {"high", Quality::High},
    {"best", Quality::Best},     {"autolow", Quality::Low},     {"autohigh", Quality::High},
};

}  // namespace

bool QualityFromName(const std::string& name, Quality& out) {
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

const char* QualityName(Quality quality) {
    switch (quality) {
    case Quality::Low: return "Low";
    case Quality::Medium: return "Medium";
    case Quality::Best: return "Best";
    case Quality::High: break;
    }
    return "High";
}

}  // namespace swf
