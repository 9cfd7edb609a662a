#include "tools/swfshot/InputScript.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "swf/Player.h"

namespace swfshot {

namespace {

constexpr int kMaxFramesPerCommand = 1000000;
constexpr int kMaxCoordinate = 1 << 20;
constexpr int kMaxWheelLines = 1000;
constexpr size_t kMaxScriptBytes = 1 << 20;

struct KeyName {
    const char* name;
    int keyCode;
    int charCode;
};
const KeyName kKeyNames[] = {
    {"tab", swf::kKeyTab, '\t'},          {"enter", swf::kKeyEnter, '\r'},
    {"escape", swf::kKeyEscape, 27},      {"backspace", swf::kKeyBackspace, '\b'},
    {"delete", swf::kKeyDelete, 127},     {"left", swf::kKeyLeft, 0},
    {"right", swf::kKeyRight, 0},         {"up", swf::kKeyUp, 0},
    {"down", swf::kKeyDown, 0},           {"home", swf::kKeyHome, 0},
    {"end", swf::kKeyEnd, 0},             {"pageup", swf::kKeyPageUp, 0},
    {"pagedown", swf::kKeyPageDown, 0},   {"shift", swf::kKeyShift, 0},
    {"control", swf::kKeyControl, 0},     {"alt", swf::kKeyAlt, 0},
    {"space", swf::kKeySpace, ' '},
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ParseInt(const std::string& s, int min, int max, int* out) {
    if (s.empty() || s.size() > 8) return false;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    int v = 0;
    for (; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        v = v * 10 + (s[i] - '0');
    }
    v = s[0] == '-' ? -v : v;
    if (v < min || v > max) return false;
    *out = v;
    return true;
}

bool ParseKey(const std::string& word, InputCommand* c) {
    if (word.size() == 1) {
        unsigned char ch = static_cast<unsigned char>(word[0]);
        c->charCode = ch;
        c->keyCode = std::isalpha(ch) ? std::toupper(ch) : std::isdigit(ch) ? ch : 0;
        return true;
    }
    for (const KeyName& k : kKeyNames) {
        if (Lower(word) == k.name) {
            c->keyCode = k.keyCode;
            c->charCode = k.charCode;
            return true;
        }
    }
    return false;
}

// Fills `c` from the words of one line; the message says what is wrong.
const char* ParseCommand(const std::vector<std::string>& w, InputCommand* c) {
    using Kind = InputCommand::Kind;
    const std::string verb = Lower(w[0]);
    if (verb == "frame") {
        c->kind = Kind::Frame;
        if (w.size() > 2) return "frame takes at most one number";
        if (w.size() == 2 && !ParseInt(w[1], 1, kMaxFramesPerCommand, &c->count))
            return "frame count must be a whole number from 1";
        return nullptr;
    }
    if (verb == "move" || verb == "down" || verb == "up") {
        c->kind = verb == "move" ? Kind::Move : verb == "down" ? Kind::Down : Kind::Up;
        if (w.size() < 3 || w.size() > 4) return "needs X Y and an optional button";
        if (!ParseInt(w[1], -kMaxCoordinate, kMaxCoordinate, &c->x) ||
            !ParseInt(w[2], -kMaxCoordinate, kMaxCoordinate, &c->y))
            return "X and Y must be whole numbers (output pixels)";
        if (w.size() == 4) {
            const std::string b = Lower(w[3]);
            if (b != "left" && b != "middle" && b != "right") return "the button is left, middle or right";
            c->button = b == "left" ? swf::MouseButton::Left
                        : b == "middle" ? swf::MouseButton::Middle : swf::MouseButton::Right;
        }
        return nullptr;
    }
    if (verb == "wheel") {
        c->kind = Kind::Wheel;
        if (w.size() != 2 || !ParseInt(w[1], -kMaxWheelLines, kMaxWheelLines, &c->count))
            return "wheel takes a number of lines";
        return nullptr;
    }
    if (verb == "keydown" || verb == "keyup") {
        c->kind = verb == "keydown" ? Kind::KeyDown : Kind::KeyUp;
        if (w.size() != 2 || !ParseKey(w[1], c)) return "unknown key (one character or a key name)";
        return nullptr;
    }
    if (verb == "focus") {
        c->kind = Kind::Focus;
        if (w.size() != 2 || (Lower(w[1]) != "in" && Lower(w[1]) != "out")) return "focus takes in or out";
        c->count = Lower(w[1]) == "in";
        return nullptr;
    }
    return "unknown command";
}

// UTF-8 to characters; a malformed byte stands for itself.
std::u32string Characters(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
        bool ok = i + size_t(extra) < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char n = static_cast<unsigned char>(s[i + size_t(k)]);
            ok = (n & 0xC0) == 0x80;
            c = c << 6 | (n & 0x3F);
        }
        if (!ok || b >= 0xF8 || (b >= 0x80 && b < 0xC0)) {
            out.push_back(b);
            ++i;
            continue;
        }
        out.push_back(c);
        i += size_t(extra) + 1;
    }
    return out;
}

// "text STRING": the rest of the line after the verb and one blank.
bool ParseText(const std::string& line, InputCommand* c) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || Lower(line.substr(at, 4)) != "text") return false;
    at += 4;
    if (at < line.size() && line[at] != ' ' && line[at] != '\t') return false;
    if (at < line.size()) ++at;
    std::string rest = line.substr(std::min(at, line.size()));
    if (!rest.empty() && rest.back() == '\r') rest.pop_back();
    c->kind = InputCommand::Kind::Text;
    c->text = Characters(rest);
    return true;
}

}  // namespace

bool ParseInputScript(const std::string& text, const std::string& name,
                      std::vector<InputCommand>* commands, std::string* error) {
    commands->clear();
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        InputCommand typed;
        if (ParseText(line, &typed)) {
            typed.line = number;
            // A key held down has typed its own character already: text
            // right after it that starts with that character repeats it.
            const InputCommand* before = commands->empty() ? nullptr : &commands->back();
            if (before && before->kind == InputCommand::Kind::KeyDown && before->charCode != 0 &&
                !typed.text.empty() && typed.text[0] == char32_t(before->charCode))
                typed.text.erase(0, 1);
            commands->push_back(typed);
            continue;
        }
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        InputCommand c;
        c.line = number;
        if (const char* why = ParseCommand(w, &c)) {
            *error = name + " line " + std::to_string(number) + ": " + why + " (\"" + w[0] + "\")";
            return false;
        }
        commands->push_back(c);
    }
    return true;
}

bool LoadInputScript(const std::string& path, std::vector<InputCommand>* commands, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the input script " + path;
        return false;
    }
    std::string text(kMaxScriptBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxScriptBytes) {
        *error = "input script " + path + " is over " + std::to_string(kMaxScriptBytes) + " bytes";
        return false;
    }
    return ParseInputScript(text, path, commands, error);
}

void ApplyInput(const InputCommand& c, swf::Player& player) {
    using Kind = InputCommand::Kind;
    switch (c.kind) {
    case Kind::Frame: break;  // the caller plays frames: they count as ticks
    case Kind::Move: player.PointerMove(c.x, c.y); break;
    case Kind::Down:
        player.PointerDown(c.x, c.y, c.button);
        break;
    case Kind::Up:
        player.PointerUp(c.x, c.y, c.button);
        break;
    case Kind::Wheel: player.Wheel(c.count); break;
    case Kind::KeyDown: player.KeyDown(c.keyCode, c.charCode); break;
    case Kind::KeyUp: player.KeyUp(c.keyCode, c.charCode); break;
    case Kind::Focus: player.Focus(c.count != 0); break;
    case Kind::Text:
        for (char32_t ch : c.text) {
            // Letters and digits come with their key; other characters
            // only as what the key press typed.
            const int key = ch < 128 && std::isalpha(int(ch)) ? std::toupper(int(ch)) : ch < 128 && std::isdigit(int(ch)) ? int(ch) : 0;
            player.KeyDown(key, int(ch));
            player.KeyUp(key, int(ch));
        }
        break;
    }
}

}  // namespace swfshot
