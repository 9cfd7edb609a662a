#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace swf {

// Files scripts load from beside the movie (loadVariables, LoadVars, XML):
// `name` is a relative path without "..". False when it is missing or
// longer than `limit` bytes.
using FileReader = std::function<bool(const std::string& name, size_t limit, std::vector<uint8_t>& bytes)>;

} // namespace swf
