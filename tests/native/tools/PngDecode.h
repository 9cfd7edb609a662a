// Test-side PNG reader: splits the chunks, checks each CRC and inflates
// the image data (zlib checks the Adler-32). Only what our writer emits.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace toolstest {

using Bytes = std::vector<uint8_t>;

// Splits a PNG into chunks, checking every CRC.
struct Png {
    uint32_t width = 0, height = 0;
    uint8_t colorType = 0;
    Bytes pixels;  // inflated scanlines, filter bytes included
};

inline uint32_t BigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline Png DecodePng(const Bytes& file) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Png png;
    if (file.size() < signature.size()) {
        ADD_FAILURE() << "not a PNG: " << file.size() << " bytes";
        return png;
    }
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));
    Bytes idat;
    std::string last;
    for (size_t at = signature.size(); at + 12 <= file.size();) {
        uint32_t len = BigEndian(&file[at]);
        std::string type(file.begin() + at + 4, file.begin() + at + 8);
        const uint8_t* data = &file[at + 8];
        uLong crc = crc32(0L, &file[at + 4], len + 4);
        EXPECT_EQ(crc, BigEndian(data + len)) << type;
        if (type == "IHDR") {
            png.width = BigEndian(data);
            png.height = BigEndian(data + 4);
            EXPECT_EQ(8, data[8]);
            png.colorType = data[9];
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + len);
        }
        last = type;
        at += 12 + len;
    }
    EXPECT_EQ("IEND", last);
    const size_t channels = png.colorType == 6 ? 4 : 3;
    png.pixels.resize(png.height * (1 + png.width * channels));
    uLongf size = static_cast<uLongf>(png.pixels.size());
    // uncompress also checks the Adler-32 of the zlib stream.
    EXPECT_EQ(Z_OK, uncompress(png.pixels.data(), &size, idat.data(), idat.size()));
    EXPECT_EQ(png.pixels.size(), size);
    return png;
}

// Straight RGB(A) of pixel (x, y); filter byte 0 on every row.
inline std::vector<uint8_t> PixelAt(const Png& png, int x, int y) {
    const size_t channels = png.colorType == 6 ? 4 : 3;
    const size_t row = 1 + png.width * channels;
    auto at = png.pixels.begin() + y * row + 1 + x * channels;
    return std::vector<uint8_t>(at, at + channels);
}

}  // namespace toolstest
