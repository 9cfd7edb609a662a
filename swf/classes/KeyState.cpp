#include "swf/classes/KeyState.h"

namespace swf {

const KeyConstant kKeyConstants[] = {
    {"BACKSPACE", 8}, {"TAB", 9},     {"ENTER", 13},   {"SHIFT", 16},  {"CONTROL", 17},
    {"ALT", 18},      {"CAPSLOCK", 20}, {"ESCAPE", 27}, {"SPACE", 32},  {"PGUP", 33},
    {"PGDN", 34},     {"END", 35},    {"HOME", 36},    {"LEFT", 37},   {"UP", 38},
    {"RIGHT", 39},    {"DOWN", 40},   {"INSERT", 45},  {"DELETEKEY", 46}, {nullptr, 0},
};

void KeyState::Down(int code, int ascii) {
    const bool repeat = IsDown(code);
    code_ = code;
    ascii_ = ascii;
    if (code < 0 || code >= kCodes) return;
    down_[size_t(code)] = true;
    if (repeat) return;  // auto-repeat does not toggle the locks again
    if (code == kCapsLock) caps_ = !caps_;
    if (code == kNumLock) num_ = !num_;
    if (code == kScrollLock) scroll_ = !scroll_;
}

void KeyState::Up(int code, int ascii) {
    code_ = code;
    ascii_ = ascii;
    if (code >= 0 && code < kCodes) down_[size_t(code)] = false;
}

bool KeyState::IsToggled(int code) const {
    if (code == kCapsLock) return caps_;
    if (code == kNumLock) return num_;
    if (code == kScrollLock) return scroll_;
    return false;
}

}  // namespace swf
