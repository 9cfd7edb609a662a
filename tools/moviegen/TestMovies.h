// Known facts of the test movies, shared by moviegen and the tests that
// check captures and seeks against them.
#pragma once

#include <cstdint>

#include "swf/model/Color.h"

namespace moviegen {

// pattern.swf: 550 x 400 px, four quadrants split at the stage centre and a
// 100 x 100 px square centred on it. Coordinates in pixels.
struct PatternFacts {
    static constexpr int kWidth = 550;
    static constexpr int kHeight = 400;
    static constexpr int kSquareSize = 100;
    static constexpr int kFrames = 2;
    static constexpr swf::Rgba kTopLeft{220, 40, 40, 255};
    static constexpr swf::Rgba kTopRight{40, 180, 60, 255};
    static constexpr swf::Rgba kBottomLeft{40, 70, 220, 255};
    static constexpr swf::Rgba kBottomRight{240, 200, 30, 255};
    static constexpr swf::Rgba kSquare{255, 255, 255, 255};
    static constexpr swf::Rgba kBackground{0, 0, 0, 255};
};

// frames100.swf: 550 x 400 px, frame n (1-based) shows a bar from x = 0 to
// n * kBarStep px, rows kBarTop..kBarTop + kBarHeight.
struct Frames100Facts {
    static constexpr int kWidth = 550;
    static constexpr int kHeight = 400;
    static constexpr int kFrames = 100;
    static constexpr int kBarStep = 5;
    static constexpr int kBarTop = 180;
    static constexpr int kBarHeight = 40;
    static constexpr swf::Rgba kBar{30, 120, 200, 255};
    static constexpr swf::Rgba kBackground{255, 255, 255, 255};
};

// text.swf: 550 x 400 px on white, one edit text field in "_sans" (black,
// kSize px, one line) whose box is kLeft..kLeft + kBoxWidth x
// kTop..kTop + kBoxHeight px. Its glyphs come from the system's fonts.
struct TextFieldFacts {
    static constexpr int kWidth = 550;
    static constexpr int kHeight = 400;
    static constexpr int kLeft = 100;
    static constexpr int kTop = 150;
    static constexpr int kBoxWidth = 300;
    static constexpr int kBoxHeight = 40;
    static constexpr int kSize = 24;
    static constexpr swf::Rgba kText{0, 0, 0, 255};
    static constexpr swf::Rgba kBackground{255, 255, 255, 255};
};

// card3.swf: a card made with ActionScript 3. Its document class stops on
// the frame labelled "front" (kFront fills the stage), adds a yellow text
// field set from script, a red button that moves to the frame "back"
// (kBack fills the stage), and a black ball that steps right on every
// enterFrame, back to x = 0 past kBallTurn; a key turns the field
// kTextKeyRgb. Pixels.
struct Card3Facts {
    static constexpr int kWidth = 550;
    static constexpr int kHeight = 400;
    static constexpr int kTextLeft = 20, kTextTop = 20, kTextWidth = 300, kTextHeight = 40;
    static constexpr int kButtonLeft = 400, kButtonTop = 300, kButtonWidth = 100, kButtonHeight = 50;
    static constexpr int kBallTop = 200, kBallSize = 20, kBallStep = 4, kBallTurn = 500;
    static constexpr uint32_t kTextRgb = 0xFFFF00, kTextKeyRgb = 0x00FFFF, kButtonRgb = 0xFF0000, kBallRgb = 0x000000;
    static constexpr swf::Rgba kFront{40, 70, 220, 255};
    static constexpr swf::Rgba kBack{40, 180, 60, 255};
};

}  // namespace moviegen
