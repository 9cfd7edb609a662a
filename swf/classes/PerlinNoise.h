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

// The minimal standard generator (x * 16807 mod 2^31-1) that noise draws
// from. A seed of 0 or below counts as 1 - seed, so 0 and 1 start alike.
class NoiseSource {
public:
    explicit NoiseSource(int32_t seed) {
        const int64_t s = seed > 0 ? int64_t(seed) : 1 - int64_t(seed);
        state_ = uint32_t(s % kModulus);
        if (state_ == 0) state_ = 1;
    }
    uint32_t Next() { return state_ = uint32_t(uint64_t(state_) * 16807u % kModulus); }

private:
    static constexpr uint32_t kModulus = 2147483647u;
    uint32_t state_;
};

// Noise planes one call computes (for its cost).
int PerlinPlanes(const PerlinOptions& o, bool transparent);
void FillPerlinNoise(BitmapData& d, const PerlinOptions& o);

}  // namespace swf
