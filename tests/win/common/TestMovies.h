// Small movies for Windows tests, written with the movie library.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wintest {

constexpr int kTwipsPerPixel = 20;

// A movie made by tools/moviegen, from the folder PICTARO_MOVIES names
// (a Linux path is turned into its Z: drive form).
std::string MoviePath(const char* name);

// `frames` empty frames of a 200 x 100 stage at `fps`.
std::vector<uint8_t> FramesMovie(int frames, double fps);

// One frame whose action sends each (command, arguments) pair as an
// FSCommand, in order, then stops.
std::vector<uint8_t> FsCommandMovie(const std::vector<std::pair<std::string, std::string>>& commands);

}  // namespace wintest
