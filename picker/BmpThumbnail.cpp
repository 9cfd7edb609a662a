#include "picker/BmpThumbnail.h"

#include <algorithm>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later ones begin with it
constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
constexpr uint32_t kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;
constexpr int32_t kMaxSide = 1 << 16;
constexpr int kRowsPerRead = 64;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

struct Layout {
    uint32_t dataOffset = 0;
    int width = 0, height = 0;
    bool bottomUp = true;
    int bytesPerPixel = 0;
    size_t rowBytes = 0;  // padded to 4 bytes
};

bool ReadLayout(const ByteReader& read, Layout& layout) {
    uint8_t h[kFileHeaderSize + kInfoHeaderSize];
    if (!read(0, sizeof h, h) || U16(h) != kBmpMagic) return false;
    const uint8_t* info = h + kFileHeaderSize;
    const uint32_t infoSize = U32(info);
    const auto width = static_cast<int32_t>(U32(info + 4)), height = static_cast<int32_t>(U32(info + 8));
    const uint16_t bits = U16(info + 14);
    const uint32_t compression = U32(info + 16);
    if (infoSize < kInfoHeaderSize || width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide ||
        height > kMaxSide || (bits != 24 && bits != 32))
        return false;
    if (compression == kBiBitfields) {
        // The masks follow a 40-byte header, or sit inside a longer one.
        uint8_t masks[12];
        if (bits != 32 || !read(kFileHeaderSize + kInfoHeaderSize, sizeof masks, masks) || U32(masks) != kRedMask ||
            U32(masks + 4) != kGreenMask || U32(masks + 8) != kBlueMask)
            return false;
    } else if (compression != kBiRgb) {
        return false;
    }
    layout.dataOffset = U32(h + 10);
    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.bottomUp = height > 0;
    layout.bytesPerPixel = bits / 8;
    layout.rowBytes = (size_t(width) * layout.bytesPerPixel + 3) & ~size_t(3);
    return true;
}

}  // namespace

bool BmpThumbnail(const ByteReader& read, int width, int height, Thumbnail& out) {
    Layout in;
    // Only ever smaller: then every thumbnail pixel has a box of its own.
    if (width <= 0 || height <= 0 || !ReadLayout(read, in) || in.width < width || in.height < height) return false;
    // Sums of blue, green, red and the count, per thumbnail pixel.
    std::vector<uint64_t> sums(size_t(width) * height * 4, 0);
    std::vector<int> column(in.width);
    for (int x = 0; x < in.width; ++x) column[x] = static_cast<int>(int64_t(x) * width / in.width);
    std::vector<uint8_t> rows(in.rowBytes * kRowsPerRead);
    for (int first = 0; first < in.height; first += kRowsPerRead) {
        const int count = std::min(kRowsPerRead, in.height - first);
        if (!read(in.dataOffset + uint64_t(first) * in.rowBytes, in.rowBytes * count, rows.data())) return false;
        for (int r = 0; r < count; ++r) {
            const int fileRow = first + r;
            const int y = in.bottomUp ? in.height - 1 - fileRow : fileRow;
            uint64_t* line = &sums[size_t(int64_t(y) * height / in.height) * width * 4];
            const uint8_t* p = &rows[size_t(r) * in.rowBytes];
            for (int x = 0; x < in.width; ++x, p += in.bytesPerPixel) {
                uint64_t* s = line + size_t(column[x]) * 4;
                s[0] += p[0];
                s[1] += p[1];
                s[2] += p[2];
                ++s[3];
            }
        }
    }
    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * height, 0);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const uint64_t* s = &sums[i * 4];
        auto mean = [s](int c) { return uint32_t((s[c] + s[3] / 2) / s[3]); };
        out.pixels[i] = (mean(2) << 16) | (mean(1) << 8) | mean(0);
    }
    return true;
}
