// Thumbnails read straight from BMP captures: box averages, both row
// orders, row padding, and a refusal (for GDI+ to decode) of anything else.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "picker/BmpThumbnail.h"

namespace {

// A BMP file of width x height (negative: top row first) whose pixel
// (x, y), counted from the top, is colour(x, y) as 0x00RRGGBB.
std::vector<uint8_t> Bmp(int width, int height, int bits, const std::function<uint32_t(int, int)>& colour,
                         uint32_t compression = 0) {
    const int rows = height < 0 ? -height : height;
    const size_t rowBytes = (size_t(width) * bits / 8 + 3) & ~size_t(3);
    const uint32_t offset = 14 + 40 + (compression == 3 ? 12 : 0);
    std::vector<uint8_t> file(offset + rowBytes * rows, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = static_cast<uint8_t>(bits);
    put32(30, compression);
    if (compression == 3) {
        put32(54, 0xFF0000);
        put32(58, 0xFF00);
        put32(62, 0xFF);
    }
    for (int y = 0; y < rows; ++y) {
        const int fileRow = height < 0 ? y : rows - 1 - y;
        uint8_t* p = &file[offset + fileRow * rowBytes];
        for (int x = 0; x < width && bits >= 24; ++x, p += bits / 8) {
            const uint32_t c = colour(x, y);
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    }
    return file;
}

bool Make(const std::vector<uint8_t>& file, int width, int height, Thumbnail& out) {
    auto read = [&file](uint64_t offset, size_t size, uint8_t* bytes) {
        if (offset > file.size() || size > file.size() - offset) return false;
        std::memcpy(bytes, file.data() + offset, size);
        return true;
    };
    return BmpThumbnail(read, width, height, out);
}

uint32_t At(const Thumbnail& t, int x, int y) { return t.pixels[size_t(y) * t.width + x]; }

TEST(BmpThumbnailTest, EachThumbnailPixelIsTheMeanOfItsBoxInEitherRowOrderAndDepth) {
    // Left half red, right half blue; the top quarter green.
    auto colour = [](int x, int y) -> uint32_t { return y < 45 ? 0x00FF00 : x < 120 ? 0xFF0000 : 0x0000FF; };
    for (int bits : {24, 32})
        for (int height : {180, -180}) {
            Thumbnail t;
            ASSERT_TRUE(Make(Bmp(240, height, bits, colour), 120, 90, t)) << bits << " " << height;
            ASSERT_EQ(t.pixels.size(), 120u * 90u);
            EXPECT_EQ(At(t, 0, 0), 0x00FF00u) << bits << " " << height;
            EXPECT_EQ(At(t, 59, 89), 0xFF0000u) << bits << " " << height;
            EXPECT_EQ(At(t, 60, 89), 0x0000FFu) << bits << " " << height;
        }
    // Three greys of one box (odd width, so rows are padded) average out.
    Thumbnail t;
    ASSERT_TRUE(Make(Bmp(3, 1, 24, [](int x, int) { return 0x010101u * (x * 90); }), 1, 1, t));
    EXPECT_EQ(At(t, 0, 0), 0x5A5A5Au);
    ASSERT_TRUE(Make(Bmp(4, 4, 32, [](int, int) { return 0x123456u; }, 3), 2, 2, t));
    EXPECT_EQ(At(t, 1, 1), 0x123456u);
}

TEST(BmpThumbnailTest, OtherFilesAreLeftToTheSystemDecoder) {
    auto grey = [](int, int) { return 0x808080u; };
    Thumbnail t;
    EXPECT_FALSE(Make(Bmp(8, 8, 8, grey), 4, 4, t));       // palette
    EXPECT_FALSE(Make(Bmp(8, 8, 32, grey, 1), 4, 4, t));   // RLE
    EXPECT_FALSE(Make(Bmp(64, 48, 32, grey), 120, 90, t));  // would be enlarged
    std::vector<uint8_t> cut = Bmp(240, 180, 24, grey);
    cut.resize(cut.size() - 100);
    EXPECT_FALSE(Make(cut, 120, 90, t));
    cut.resize(20);
    EXPECT_FALSE(Make(cut, 120, 90, t));
    std::vector<uint8_t> notBmp(200, 0);
    EXPECT_FALSE(Make(notBmp, 120, 90, t));
}

}  // namespace
