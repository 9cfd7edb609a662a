// The player control's persisted initial properties, as a dialog template
// carries them in a control's creation data: a 20-byte head (0, signature,
// version, extent in HIMETRIC) and then typed values, each a 16-bit type and
// its data. Portable: parsed and tested without Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PlayerProperties {
    int32_t extentWidth = 0;   // HIMETRIC
    int32_t extentHeight = 0;
    std::string windowMode = "Window";
    std::string quality = "High";
    std::string scaleMode = "ShowAll";
    std::string movie;  // empty: no movie
    bool playing = true;
    bool loop = true;
};

// Values in their stored order that the control uses.
enum PlayerPropertyIndex : int {
    kPropMovie = 1,
    kPropWindowMode = 4,
    kPropPlay = 5,
    kPropLoop = 6,
    kPropQuality = 7,
    kPropScaleMode = 12,
};

constexpr uint32_t kPlayerPropertySignature = 0x55665567;

// Fills `out` from the block; false (and `out` left with the defaults) when
// the block is missing, foreign or cut short. Reads nothing past `size`.
bool ParsePlayerProperties(const uint8_t* data, size_t size, PlayerProperties& out);

// The control's ScaleMode number for a stored scale name ("ShowAll" 0,
// "NoBorder" 1, "ExactFit" 2, "NoScale" 3; others: 0).
int ScaleModeFromName(const std::string& name);
