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

}  // namespace moviegen
