#include "tools/swfshot/Options.h"

#include <cctype>
#include <cstdlib>

#include "swf/Player.h"

namespace swfshot {

namespace {

// Keeps one frame buffer under 256 MB.
constexpr int kMaxSide = 16384;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
constexpr int kMaxFieldWidth = 9;

struct ScaleName {
    const char* name;
    int mode;
};
const ScaleName kScaleNames[] = {{"showall", swf::kShowAll},
                                 {"noborder", swf::kNoBorder},
                                 {"exactfit", swf::kExactFit},
                                 {"noscale", swf::kNoScale}};

struct QualityName {
    const char* name;
    swf::Quality quality;
};
const QualityName kQualityNames[] = {{"low", swf::Quality::Low},
                                     {"medium", swf::Quality::Medium},
                                     {"high", swf::Quality::High},
                                     {"best", swf::Quality::Best}};

bool ParseQuality(const std::string& text, swf::Quality* quality) {
    for (const QualityName& q : kQualityNames)
        if (text == q.name) {
            *quality = q.quality;
            return true;
        }
    return false;
}

bool ParseSize(const std::string& text, int* width, int* height) {
    size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == text.size()) return false;
    auto number = [](const std::string& s, int* out) {
        if (s.size() > 5) return false;
        for (char c : s)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        *out = std::atoi(s.c_str());
        return *out >= 1 && *out <= kMaxSide;
    };
    if (!number(text.substr(0, x), width) || !number(text.substr(x + 1), height)) return false;
    return static_cast<long long>(*width) * *height <= kMaxPixels;
}

bool ParseScale(const std::string& text, int* mode) {
    for (const ScaleName& s : kScaleNames) {
        if (text == s.name) {
            *mode = s.mode;
            return true;
        }
    }
    return false;
}

// Reads "%", optional "0", optional width digits and "d" at `at`; returns
// the length of the conversion or 0 if it is not one.
size_t ConversionLength(const std::string& p, size_t at, bool* zeroPad, int* fieldWidth) {
    size_t i = at + 1;
    *zeroPad = i < p.size() && p[i] == '0';
    if (*zeroPad) ++i;
    size_t digitsAt = i;
    while (i < p.size() && std::isdigit(static_cast<unsigned char>(p[i]))) ++i;
    if (i - digitsAt > 1 || i >= p.size() || p[i] != 'd') return 0;
    *fieldWidth = i > digitsAt ? p[digitsAt] - '0' : 0;
    return i + 1 - at;
}

}  // namespace

bool CheckOutputPattern(const std::string& pattern, std::string* error) {
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        bool zeroPad = false;
        int fieldWidth = 0;
        size_t len = ConversionLength(pattern, i, &zeroPad, &fieldWidth);
        if (len == 0) {
            *error = "output pattern \"" + pattern + "\": only %d, %Nd, %0Nd and %% may follow %";
            return false;
        }
        ++conversions;
        i += len - 1;
    }
    if (conversions != 1) {
        *error = "output pattern \"" + pattern + "\" needs exactly one %d for the frame number";
        return false;
    }
    return true;
}

std::string FormatOutputName(const std::string& pattern, int frame) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool zeroPad = false;
        int fieldWidth = 0;
        size_t len = ConversionLength(pattern, i, &zeroPad, &fieldWidth);
        std::string number = std::to_string(frame);
        if (static_cast<int>(number.size()) < fieldWidth && fieldWidth <= kMaxFieldWidth)
            number.insert(0, fieldWidth - number.size(), zeroPad ? '0' : ' ');
        out += number;
        i += len - 1;
    }
    return out;
}

bool ParseArgs(const std::vector<std::string>& args, Options* o, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) {
                *error = "option " + a + " needs a value";
                return false;
            }
            *out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            o->help = true;
        } else if (a == "-q" || a == "--quiet") {
            o->quiet = true;
        } else if (a == "--alpha") {
            o->format = PngFormat::Rgba;
        } else if (a == "-f" || a == "--frames") {
            if (!value(&o->frameText)) return false;
        } else if (a == "-o" || a == "--output") {
            if (!value(&o->outputPattern)) return false;
        } else if (a == "-s" || a == "--size") {
            if (!value(&v)) return false;
            if (!ParseSize(v, &o->width, &o->height)) {
                *error = "bad size \"" + v + "\": write WIDTHxHEIGHT, each 1.." +
                         std::to_string(kMaxSide) + ", at most " + std::to_string(kMaxPixels) +
                         " pixels";
                return false;
            }
        } else if (a == "--scale") {
            if (!value(&v)) return false;
            if (!ParseScale(v, &o->scaleMode)) {
                *error = "bad scale mode \"" + v + "\": showall, noborder, exactfit or noscale";
                return false;
            }
        } else if (a == "--quality") {
            if (!value(&v)) return false;
            if (!ParseQuality(v, &o->quality)) {
                *error = "bad quality \"" + v + "\": low, medium, high or best";
                return false;
            }
        } else if (!a.empty() && a[0] == '-') {
            *error = "unknown option " + a;
            return false;
        } else if (o->movie.empty()) {
            o->movie = a;
        } else {
            *error = "more than one movie given (" + o->movie + ", " + a + ")";
            return false;
        }
    }
    if (o->help) return true;
    if (o->movie.empty()) {
        *error = "no movie given";
        return false;
    }
    if (!CheckOutputPattern(o->outputPattern, error)) return false;
    return o->frames.Parse(o->frameText, error);
}

std::string HelpText() {
    return "usage: swfshot [options] MOVIE.swf\n"
           "Renders chosen frames of a Flash movie to PNG files.\n"
           "\n"
           "  -f, --frames LIST    frames to render, counted from 1 (default 1):\n"
           "                         N          one frame        1,50,120  a list\n"
           "                         A-B        a range          A-B/S     every S-th of A..B\n"
           "                         A-         A to the end     every:S   1, 1+S, 1+2S, ...\n"
           "                         all        every frame      last      the last frame\n"
           "  -o, --output PATTERN output file names; %d, %4d or %04d is the frame\n"
           "                       number, %% a percent sign (default frame_%04d.png)\n"
           "  -s, --size WxH       image size in pixels (default: the movie's stage)\n"
           "      --scale MODE     showall (default), noborder, exactfit or noscale\n"
           "      --quality Q      low (no anti-aliasing), medium, high (default) or best\n"
           "      --alpha          write RGBA images instead of RGB\n"
           "  -q, --quiet          print nothing but errors\n"
           "  -h, --help           show this text\n"
           "\n"
           "Exit codes: 0 done, 2 bad command line, 3 movie unreadable,\n"
           "4 frames not in the movie, 5 an image could not be written.\n";
}

}  // namespace swfshot
