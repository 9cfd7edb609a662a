// Seeded gradient noise for BitmapData.perlinNoise, in fixed point so the
// same call gives the same pixels on every build.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/classes/BitmapData.h"
#include "swf/classes/Geom.h"

namespace swf {

struct PerlinOptions {
    double baseX = 1, baseY = 1;  // pixels per lattice cell of the first octave
    int octaves = 1;  // each one twice the frequency and half the weight
    int32_t seed = 0;
    bool stitch = false;  // lattice wrapped to tile at the bitmap's edges
    bool fractal = false;  // signed sum; off: turbulence (sum of magnitudes)
    uint32_t channels = 7;  // 1 red, 2 green, 4 blue, 8 alpha
    bool gray = false;  // one noise for red, green and blue
    std::vector<GeomPoint> offsets;  // per octave, pixels; missing ones are 0
};

constexpr int kMaxPerlinOctaves = 16;

// Noise planes one call computes (for its cost).
int PerlinPlanes(const PerlinOptions& o, bool transparent);
void FillPerlinNoise(BitmapData& d, const PerlinOptions& o);

}  // namespace swf
