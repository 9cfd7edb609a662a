// Files the tools tests read back: generated movies and swfshot's PNGs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace toolstest {

// The whole file; empty when it cannot be opened.
inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

}  // namespace toolstest
