#include "tools/swfshot/Options.h"

#include <cctype>
#include <cstdlib>

#include "PictaroVersion.h"
#include "swf/Player.h"

namespace swfshot {

namespace {

constexpr int kMinScalePermille = 10, kMaxScalePermille = 16000;
constexpr int kMaxDecimals = 3;
constexpr long long kMaxAtMs = 1000LL * 3600 * 24;  // a day of playing
const char kVersion[] = "swfshot " PICTARO_VERSION;

struct Name {
    const char* name;
    int value;
};
const Name kScaleModes[] = {{"showall", swf::kShowAll},
                            {"noborder", swf::kNoBorder},
                            {"exactfit", swf::kExactFit},
                            {"noscale", swf::kNoScale}};

template <size_t N>
bool Lookup(const Name (&names)[N], const std::string& text, int* value) {
    for (const Name& n : names) {
        if (text == n.name) {
            *value = n.value;
            return true;
        }
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
    return static_cast<long long>(*width) * *height <= kMaxImagePixels;
}

// A decimal such as "2", "0.5" or "1.25" in thousandths, without locale.
bool ParseThousandths(const std::string& text, long long limit, long long* out) {
    long long whole = 0;
    int decimals = -1;
    long long frac = 0;
    for (char c : text) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            if (decimals < 0) {
                whole = whole * 10 + (c - '0');
                if (whole > limit) return false;
            } else if (++decimals <= kMaxDecimals) {
                frac = frac * 10 + (c - '0');
            }
        } else {
            return false;
        }
    }
    if (text.empty() || text == ".") return false;
    for (int d = decimals < 0 ? 0 : decimals; d < kMaxDecimals; ++d) frac *= 10;
    *out = whole * 1000 + frac;
    return *out <= limit * 1000;
}

bool ParseAt(const std::string& text, std::vector<int>* ms) {
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        long long v = 0;
        if (!ParseThousandths(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                              kMaxAtMs / 1000, &v))
            return false;
        ms->push_back(static_cast<int>(v));
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

}  // namespace

std::string Options::Pattern() const {
    if (!outputPattern.empty()) return outputPattern;
    std::string p = movies.size() > 1 ? "%n_%04d" : "frame_%04d";
    return p + (kind == ImageKind::Svg ? ".svg" : ".png");
}

bool ParseArgs(const std::vector<std::string>& args, Options* o, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        auto value = [&]() {
            if (i + 1 >= args.size()) {
                *error = "option " + a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        auto bad = [&](const std::string& what, const std::string& hint) {
            *error = "bad " + what + " \"" + v + "\"" + hint;
            return false;
        };
        if (a == "-h" || a == "--help") {
            o->help = true;
        } else if (a == "--version") {
            o->version = true;
        } else if (a == "-q" || a == "--quiet") {
            o->quiet = true;
        } else if (a == "--trace") {
            o->trace = true;
        } else if (a == "--alpha") {
            o->format = PngFormat::Rgba;
        } else if (a == "--transparent") {
            o->transparent = true;
            o->format = PngFormat::Rgba;
        } else if (a == "--svg") {
            o->kind = ImageKind::Svg;
        } else if (a == "-f" || a == "--frames") {
            if (!value()) return false;
            o->frameText = v;
        } else if (a == "--ticks") {
            if (!value()) return false;
            if (!o->ticks.Parse(v, error)) return false;
            o->tickText = v;
        } else if (a == "--at") {
            if (!value()) return false;
            if (!ParseAt(v, &o->atMs)) return bad("time list", ": seconds, such as 0.5,2,10");
        } else if (a == "--input") {
            if (!value()) return false;
            o->inputPath = v;
        } else if (a == "--apng") {
            if (!value()) return false;
            o->apngPath = v;
        } else if (a == "--audio") {
            if (!value()) return false;
            o->audioPath = v;
        } else if (a == "-o" || a == "--output") {
            if (!value()) return false;
            o->outputPattern = v;
            o->outputGiven = true;
        } else if (a == "-s" || a == "--size") {
            if (!value()) return false;
            if (!ParseSize(v, &o->width, &o->height))
                return bad("size", ": write WIDTHxHEIGHT, each 1.." + std::to_string(kMaxSide) + ", at most " +
                                       std::to_string(kMaxImagePixels) + " pixels");
        } else if (a == "--scale") {
            if (!value()) return false;
            long long permille = 0;
            if (Lookup(kScaleModes, v, &o->scaleMode)) continue;
            if (!ParseThousandths(v, kMaxScalePermille / 1000, &permille) || permille < kMinScalePermille)
                return bad("scale mode", ": showall, noborder, exactfit, noscale or a size factor 0.01..16");
            o->scalePermille = static_cast<int>(permille);
        } else if (a == "--quality") {
            if (!value()) return false;
            if (!swf::QualityFromName(v, o->quality)) return bad("quality", ": low, medium, high or best");
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            *error = "unknown option " + a;
            return false;
        } else {
            o->movies.push_back(a);
        }
    }
    if (o->help || o->version) return true;
    if (o->movies.empty()) {
        *error = "no movie given";
        return false;
    }
    PatternInfo info;
    if (!CheckOutputPattern(o->Pattern(), error, &info)) return false;
    PatternInfo apng;
    if (!o->apngPath.empty() && !CheckOutputPattern(o->apngPath, error, &apng)) return false;
    if (o->movies.size() > 1 && !o->apngPath.empty() && !apng.hasName) {
        *error = "animation name \"" + o->apngPath + "\" needs %n to tell several movies apart";
        return false;
    }
    PatternInfo audio;
    if (!o->audioPath.empty() && !CheckOutputPattern(o->audioPath, error, &audio)) return false;
    if (o->movies.size() > 1 && !o->audioPath.empty() && !audio.hasName) {
        *error = "sound file name \"" + o->audioPath + "\" needs %n to tell several movies apart";
        return false;
    }
    if (!o->audioPath.empty() && !o->Plays()) {
        *error = "--audio needs the movie played (--ticks, --at or --input): seeking plays no sound";
        return false;
    }
    if (o->movies.size() > 1 && o->WritesImages() && !info.hasName) {
        *error = "output pattern \"" + o->Pattern() + "\" needs %n to tell several movies apart";
        return false;
    }
    return o->frames.Parse(o->frameText, error);
}

std::string HelpText() {
    return "usage: swfshot [options] MOVIE.swf [MOVIE.swf ...]\n"
           "Renders frames of Flash movies to PNG or SVG files, or to an animated PNG.\n"
           "\n"
           "Which pictures (LIST: N, A-B, A-B/S, A-, every:S, all, last, comma-separated):\n"
           "  -f, --frames LIST    seek the main timeline to these frames, no actions\n"
           "                       (default 1)\n"
           "      --ticks LIST     play from load, as the player does (actions, sprites,\n"
           "                       buttons); the picture after that many frames shown\n"
           "      --at SECONDS,..  play from load; the picture after that much time\n"
           "      --input FILE     play from load while a script gives input:\n"
           "                         frame [N]            play N frames (default 1)\n"
           "                         move|down|up X Y [left|middle|right]\n"
           "                         wheel LINES          keydown KEY   keyup KEY\n"
           "                         focus in|out         # comment\n"
           "                       X Y are output-image pixels; KEY is one character or\n"
           "                       Tab Enter Escape Backspace Delete Left Right Up Down\n"
           "                       Home End PageUp PageDown Shift Control Alt Space\n"
           "\n"
           "Output:\n"
           "  -o, --output NAME    file name; %d, %4d or %04d is the frame (or tick)\n"
           "                       number, %n the movie's name, %% a percent sign;\n"
           "                       %d is needed for several pictures, %n for several\n"
           "                       movies (default frame_%04d.png, %n_%04d.png)\n"
           "  -s, --size WxH       image size in pixels (default: the movie's stage)\n"
           "      --scale F        multiply the size by F (0.01 to 16)\n"
           "      --scale MODE     showall (default), noborder, exactfit or noscale\n"
           "      --quality Q      low (no anti-aliasing), medium, high (default) or best\n"
           "      --transparent    no background: RGBA, alpha 0 where nothing is drawn\n"
           "      --alpha          write RGBA images instead of RGB\n"
           "      --svg            write SVG files (vectors) instead of PNG\n"
           "      --apng FILE      write the pictures as one animated PNG at the movie's\n"
           "                       frame rate (no still images unless -o is given too)\n"
           "      --audio FILE     write the sound of the frames played as a WAV file\n"
           "                       (44.1 kHz stereo 16-bit; no still images unless -o)\n"
           "\n"
           "Messages:\n"
           "  -q, --quiet          print nothing but errors, no progress line\n"
           "      --trace          print the movie's trace output\n"
           "      --version        show the version\n"
           "  -h, --help           show this text\n"
           "\n"
           "Exit codes: 0 done, 2 bad command line or input script, 3 movie unreadable,\n"
           "4 frames not in the movie, 5 an image could not be written.\n";
}

std::string VersionText() { return std::string(kVersion) + "\n"; }

}  // namespace swfshot
