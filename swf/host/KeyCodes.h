#pragma once

namespace swf {

// Key codes as scripts see them (the Windows virtual-key numbers); letters
// are their upper-case ASCII code, digits their ASCII code.
enum KeyCode : int {
    kKeyBackspace = 8, kKeyTab = 9, kKeyEnter = 13, kKeyShift = 16, kKeyControl = 17,
    kKeyAlt = 18, kKeyEscape = 27, kKeySpace = 32, kKeyPageUp = 33, kKeyPageDown = 34,
    kKeyEnd = 35, kKeyHome = 36, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40,
    kKeyInsert = 45, kKeyDelete = 46,
};

} // namespace swf
