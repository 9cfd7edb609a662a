// Test-side PNG reader: splits the chunks, checks each CRC, inflates the
// image data (zlib checks the Adler-32) and undoes the row filters. 8-bit
// RGB and RGBA only; of an animation it reads the frame controls and the
// first frame.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <string>
#include <vector>

namespace toolstest {

using Bytes = std::vector<uint8_t>;

// Splits a PNG into chunks, checking every CRC.
struct Png {
    uint32_t width = 0, height = 0;
    uint8_t colorType = 0;
    Bytes pixels;  // inflated scanlines, filter bytes included (all 0 once read)
    // Animation: acTL's frame count and each fcTL's delay.
    uint32_t animationFrames = 0;
    std::vector<std::pair<uint16_t, uint16_t>> delays;
    uint32_t frameDataChunks = 0;  // fdAT
};

inline uint32_t BigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the five row filters in place, leaving filter byte 0 on each row.
inline void Unfilter(Png& png, size_t channels) {
    const size_t stride = 1 + png.width * channels;
    for (size_t y = 0; y < png.height && (y + 1) * stride <= png.pixels.size(); ++y) {
        uint8_t* row = &png.pixels[y * stride];
        const uint8_t* up = y ? row - stride : nullptr;
        for (size_t i = 1; i < stride; ++i) {
            int a = i > channels ? row[i - channels] : 0, b = up ? up[i] : 0;
            int c = up && i > channels ? up[i - channels] : 0;
            int add = row[0] == 1 ? a : row[0] == 2 ? b : row[0] == 3 ? (a + b) / 2 : row[0] == 4 ? Paeth(a, b, c) : 0;
            row[i] = static_cast<uint8_t>(row[i] + add);
        }
        row[0] = 0;
    }
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
        } else if (type == "acTL") {
            png.animationFrames = BigEndian(data);
        } else if (type == "fcTL") {
            png.delays.push_back({uint16_t(data[20] << 8 | data[21]), uint16_t(data[22] << 8 | data[23])});
        } else if (type == "fdAT") {
            ++png.frameDataChunks;
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
    Unfilter(png, channels);
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
