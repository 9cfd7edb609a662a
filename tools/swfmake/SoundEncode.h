// Coding test signals into the movie format's sound codecs: PCM and ADPCM
// (ours, matching the engine's decoder), and a sine to code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swfmake {

// `frames` frames of a sine of `hz` at `rate`, peak `amplitude`, the same
// in every one of `channels` channels (interleaved).
std::vector<int16_t> Sine(double hz, uint32_t rate, std::size_t frames, int amplitude, int channels = 1);

std::vector<uint8_t> EncodePcm16(const std::vector<int16_t>& samples);
std::vector<uint8_t> EncodePcm8(const std::vector<int16_t>& samples);
// `bits` 2..5 per code; packets of 4096 frames as the format has them.
std::vector<uint8_t> EncodeAdpcm(const std::vector<int16_t>& samples, int channels, int bits);

}  // namespace swfmake
