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

// Only plain relative names reach the file reader: no scheme, drive, root
// or "..", so a movie reads nothing but what lies beside it.
inline bool BesideMovie(const std::string& url) {
    return !url.empty() && url.find(':') == std::string::npos && url[0] != '/' && url[0] != '\\' &&
           url.find("..") == std::string::npos;
}

} // namespace swf
