// Scripted input for swfshot: one command a line, '#' starts a comment.
//   frame [N]                 play N frames (default 1)
//   move X Y | down X Y [B] | up X Y [B]   pointer in output pixels,
//                             B = left (default), middle or right
//   wheel LINES               scroll, positive away from the user
//   keydown KEY | keyup KEY   KEY: one character or a key name
//   focus in|out
//   text STRING               types STRING (the rest of the line, '#' and
//                             spaces included) into the focused field, a
//                             key press for each character; right after a
//                             keydown, the character that key typed is not
//                             typed again
// Only the left button presses buttons; the others move the pointer.
#pragma once

#include <string>
#include <vector>

#include "swf/host/MouseButton.h"

namespace swf {
class Player;
}

namespace swfshot {

struct InputCommand {
    enum class Kind { Frame, Move, Down, Up, Wheel, KeyDown, KeyUp, Focus, Text };
    Kind kind = Kind::Frame;
    int line = 0;    // 1-based, for messages
    int count = 1;   // Frame: frames; Wheel: lines; Focus: 1 in, 0 out
    int x = 0, y = 0;
    swf::MouseButton button = swf::MouseButton::Left;
    int keyCode = 0;
    int charCode = 0;
    std::u32string text;  // Text: the characters typed
};

// False with "NAME line N: why" for the first bad line.
bool ParseInputScript(const std::string& text, const std::string& name,
                      std::vector<InputCommand>* commands, std::string* error);
// Reads and parses a script file.
bool LoadInputScript(const std::string& path, std::vector<InputCommand>* commands, std::string* error);
// Gives one non-frame command to the player.
void ApplyInput(const InputCommand& command, swf::Player& player);

}  // namespace swfshot
