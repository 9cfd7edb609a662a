// What the Key object reports: which keys are down, the last key and
// character, the lock keys' toggles, and the constants scripts compare with.
// Key codes are the Windows virtual-key numbers (letters as upper-case
// ASCII), the numbers scripts see.
#pragma once

#include <bitset>
#include <cstdint>

namespace swf {

class KeyState {
public:
    static constexpr int kCodes = 256;
    static constexpr int kCapsLock = 20;
    static constexpr int kNumLock = 144;
    static constexpr int kScrollLock = 145;

    // Codes outside 0..255 are kept as the last code but not as down.
    void Down(int code, int ascii);
    void Up(int code, int ascii);
    // Mouse buttons are keys 1 (left), 2 (right) and 4 (middle) to isDown,
    // without becoming the last key.
    void MouseButton(int code, bool down) {
        if (code >= 0 && code < kCodes) down_[size_t(code)] = down;
    }
    // Losing focus releases every key: the up events go to the window that
    // has the focus then, so none would ever arrive here.
    void ReleaseAll() { down_.reset(); }

    bool IsDown(int code) const { return code >= 0 && code < kCodes && down_[size_t(code)]; }
    bool IsToggled(int code) const;
    int Code() const { return code_; }
    int Ascii() const { return ascii_; }

private:
    std::bitset<kCodes> down_;
    int code_ = 0;
    int ascii_ = 0;
    bool caps_ = false, num_ = false, scroll_ = false;
};

// Key.BACKSPACE and the others: name to code; nullptr ends the table.
struct KeyConstant {
    const char* name;
    int code;
};
extern const KeyConstant kKeyConstants[];

}  // namespace swf
