// What the user sees and gets: a window's pixels read back from the screen,
// and picture files decoded as any viewer would.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// 0x00RRGGBB rows, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Pixels& other) const {
        return width == other.width && height == other.height && rgb == other.rgb;
    }
};

// The screen under the window's rectangle (so what is shown, whoever drew
// it); false when it cannot be read.
bool GrabScreen(HWND window, Pixels* out);

// Pixels in the rectangle that differ from `reference` of the same row.
int CountDifferentFromRow(const Pixels& pixels, const RECT& area, int referenceX);

struct ImageFile {
    bool decoded = false;
    UINT width = 0;
    UINT height = 0;
    GUID format = {};
    std::vector<uint32_t> samples;  // ARGB on a coarse grid, row by row
    int distinctSampled = 0;        // 1 means a blank picture
};

// Decodes the file with GDI+ (started by the test program's application).
ImageFile ReadImageFile(const std::string& path);

// The file's first bytes, for format signatures.
std::string FileHead(const std::string& path, size_t count);

}  // namespace e2e
