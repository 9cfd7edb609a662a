// Display effects as read from a movie: bitmap filters, blend modes and the
// 9-slice grid. Plain data; the pixel work is in swf/render/Filters.h and
// swf/render/BlendModes.h.
//
// Units: blur sizes and distances are 16.16 pixels of the object's parent
// space at scale 1 (they scale with the view, not with the object's own
// matrix), angles 16.16 radians, strength 8.8. The file's 32-bit floats of
// the convolution and colour-matrix filters become 16.16 fixed point when
// read, so every build draws them alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"

namespace swf {

// How a layer is composited onto what lies below it. Values are the file's
// codes; 0 reads as Normal too.
enum class BlendMode : uint8_t {
    Normal = 1,
    Layer,
    Multiply,
    Screen,
    Lighten,
    Darken,
    Difference,
    Add,
    Subtract,
    Invert,
    Alpha,
    Erase,
    Overlay,
    HardLight,
};
constexpr uint8_t kLastBlendMode = static_cast<uint8_t>(BlendMode::HardLight);

inline BlendMode BlendModeFromCode(uint8_t code) {
    return code >= 2 && code <= kLastBlendMode ? static_cast<BlendMode>(code) : BlendMode::Normal;
}

// The names scripts use ("multiply", "hardlight").
inline const char* BlendModeName(BlendMode mode) {
    static const char* const kNames[] = {"normal", "layer",    "multiply", "screen", "lighten",
                                         "darken", "difference", "add",    "subtract", "invert",
                                         "alpha",  "erase",    "overlay",  "hardlight"};
    const uint8_t code = static_cast<uint8_t>(mode);
    return code >= 1 && code <= kLastBlendMode ? kNames[code - 1] : "normal";
}

// False for a name no mode has.
inline bool BlendModeFromName(const char* name, BlendMode& out) {
    for (uint8_t code = 1; code <= kLastBlendMode; ++code) {
        const char* n = BlendModeName(static_cast<BlendMode>(code));
        size_t i = 0;
        while (n[i] && n[i] == name[i]) ++i;
        if (!n[i] && !name[i]) {
            out = static_cast<BlendMode>(code);
            return true;
        }
    }
    return false;
}

enum class FilterKind : uint8_t {
    DropShadow = 0,
    Blur,
    Glow,
    Bevel,
    GradientGlow,
    Convolution,
    ColorMatrix,
    GradientBevel,
};
constexpr uint8_t kLastFilterKind = static_cast<uint8_t>(FilterKind::GradientBevel);

struct FilterStop {
    uint8_t ratio = 0;
    Rgba color;
};

constexpr int kMaxFilterStops = 15;
constexpr int kMaxConvolutionSide = 15;
constexpr size_t kMaxFiltersPerObject = 16;
constexpr int kColorMatrixSize = 20;

struct Filter {
    FilterKind kind = FilterKind::Blur;
    // Blur-based filters.
    int32_t blurX = 0, blurY = 0;  // 16.16 pixels
    int32_t angle = 0;             // 16.16 radians
    int32_t distance = 0;          // 16.16 pixels
    int16_t strength = 256;        // 8.8
    uint8_t passes = 1;            // box-blur passes (the quality)
    bool inner = false;
    bool knockout = false;
    bool hideObject = false;       // the file's CompositeSource flag, inverted
    bool onTop = false;            // bevels: both sides (a "full" bevel)
    Rgba color{0, 0, 0, 255};      // shadow / glow colour; a bevel's shadow
    Rgba highlight{255, 255, 255, 255};
    std::vector<FilterStop> stops;  // gradient glow and bevel
    // Convolution: weights already divided by the divisor.
    uint8_t matrixX = 0, matrixY = 0;
    std::vector<int32_t> weights;  // 16.16, row by row
    int32_t bias = 0;              // 16.16 channel units
    bool clamp = true;
    bool preserveAlpha = true;
    Rgba defaultColor{0, 0, 0, 0};
    // Colour matrix, four rows of 4 factors (16.16) and an offset (16.16
    // channel units), on straight colour.
    std::array<int32_t, kColorMatrixSize> matrix{};
};

using FilterList = std::vector<Filter>;

// The view's scale, 16.16, which filter sizes follow (not the object's own
// matrix).
struct FilterScale {
    int32_t x = kFixedOne;
    int32_t y = kFixedOne;
};

// How an offscreen layer is composited onto what lies below it.
struct LayerEffects {
    BlendMode blendMode = BlendMode::Normal;
    const FilterList* filters = nullptr;
    FilterScale scale;
    uint8_t alpha = 255;
    // Applied to the filtered picture: a filter's colours change with it.
    ColorTransform cxform;
    // A scroll rect: the picture is cut to these target pixels first.
    bool clipped = false;
    int clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;
};

// What a cached picture of an object was drawn with: its version (any
// change to it or its children changes it), its matrix to the target with
// the translation snapped to whole pixels, its colour transform and the
// view's scale.
struct CacheKey {
    uint64_t version = 0;
    Matrix toTarget;
    ColorTransform cxform;
    FilterScale scale;
};

// DefineScalingGrid: the centre rectangle, in the character's twips.
struct ScalingGrid {
    uint16_t characterId = 0;
    Rect center;
};

}  // namespace swf
