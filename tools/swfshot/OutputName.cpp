#include "tools/swfshot/OutputName.h"

#include <cctype>

namespace swfshot {

namespace {

constexpr int kMaxFieldWidth = 9;

// Reads "%", optional "0", optional one width digit and "d" at `at`;
// returns the length of the conversion or 0 if it is not one.
size_t NumberLength(const std::string& p, size_t at, bool* zeroPad, int* fieldWidth) {
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

bool CheckOutputPattern(const std::string& pattern, std::string* error, PatternInfo* info) {
    PatternInfo found;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && (pattern[i + 1] == '%' || pattern[i + 1] == 'n')) {
            found.hasName |= pattern[i + 1] == 'n';
            ++i;
            continue;
        }
        bool zeroPad = false;
        int fieldWidth = 0;
        size_t len = NumberLength(pattern, i, &zeroPad, &fieldWidth);
        if (len == 0) {
            *error = "output pattern \"" + pattern + "\": only %d, %Nd, %0Nd, %n and %% may follow %";
            return false;
        }
        if (found.hasNumber) {
            *error = "output pattern \"" + pattern + "\" has more than one %d";
            return false;
        }
        found.hasNumber = true;
        i += len - 1;
    }
    if (info) *info = found;
    return true;
}

std::string FormatOutputName(const std::string& pattern, int number, const std::string& movieName) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && (pattern[i + 1] == '%' || pattern[i + 1] == 'n')) {
            out += pattern[i + 1] == 'n' ? movieName : "%";
            ++i;
            continue;
        }
        bool zeroPad = false;
        int fieldWidth = 0;
        size_t len = NumberLength(pattern, i, &zeroPad, &fieldWidth);
        std::string digits = std::to_string(number);
        if (static_cast<int>(digits.size()) < fieldWidth && fieldWidth <= kMaxFieldWidth)
            digits.insert(0, fieldWidth - digits.size(), zeroPad ? '0' : ' ');
        out += digits;
        i += len - 1;
    }
    return out;
}

std::string MovieName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return base;
}

}  // namespace swfshot
