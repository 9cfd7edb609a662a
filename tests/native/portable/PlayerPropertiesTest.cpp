#include "player/PlayerProperties.h"
#include "player/PlayerQuality.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// The movie player's creation data exactly as app/res/pictaro.rc gives it
// (116 words); the toolbar's differs only in its extent.
const uint16_t kMainWindowBlock[] = {
    0x0000, 0x0000, 0x5567, 0x5566, 0x0710, 0x0000, 0x40CD, 0x0000, 0x2D5F, 0x0000, 0x0008, 0x0002,
    0x0000, 0x0000, 0x0008, 0x0000, 0x0000, 0x0008, 0x0000, 0x0000, 0x0008, 0x000E, 0x0000, 0x0057,
    0x0069, 0x006E, 0x0064, 0x006F, 0x0077, 0x0000, 0x000B, 0xFFFF, 0x000B, 0xFFFF, 0x0008, 0x000A,
    0x0000, 0x0048, 0x0069, 0x0067, 0x0068, 0x0000, 0x0008, 0x0002, 0x0000, 0x0000, 0x000B, 0xFFFF,
    0x0008, 0x0000, 0x0000, 0x0008, 0x0002, 0x0000, 0x0000, 0x0008, 0x0010, 0x0000, 0x0053, 0x0068,
    0x006F, 0x0077, 0x0041, 0x006C, 0x006C, 0x0000, 0x000B, 0x0000, 0x000B, 0x0000, 0x0008, 0x0002,
    0x0000, 0x0000, 0x0008, 0x0000, 0x0000, 0x0008, 0x0002, 0x0000, 0x0000, 0x000D, 0x0000, 0x0000,
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x000B, 0x0001, 0x000B, 0x0000, 0x0008, 0x0000,
    0x0000, 0x0003, 0x0000, 0x0000, 0x0008, 0x0008, 0x0000, 0x0061, 0x006C, 0x006C, 0x0000, 0x0008,
    0x000C, 0x0000, 0x0066, 0x0061, 0x006C, 0x0073, 0x0065, 0x0000};
constexpr size_t kBlockSize = 232;
// Byte offsets inside that block.
constexpr size_t kFirstValue = 20;
constexpr size_t kWindowModeLength = 42;  // the 32-bit byte count of value 4
constexpr size_t kPlayValue = 60;

Bytes MainWindowBlock() {
    Bytes bytes(sizeof(kMainWindowBlock));
    for (size_t i = 0; i < sizeof(kMainWindowBlock) / 2; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(kMainWindowBlock[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(kMainWindowBlock[i] >> 8);
    }
    return bytes;
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Parses from a heap copy of exactly `size` bytes, so that ASan sees any
// read past the end.
bool ParseExact(const Bytes& bytes, size_t size, PlayerProperties& out) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(copy.get(), bytes.data(), size);
    return ParsePlayerProperties(copy.get(), size, out);
}

void ExpectDefaults(const PlayerProperties& p) {
    PlayerProperties defaults;
    EXPECT_EQ(p.scaleMode, defaults.scaleMode);
    EXPECT_EQ(p.quality, defaults.quality);
    EXPECT_EQ(p.windowMode, defaults.windowMode);
    EXPECT_EQ(p.movie, defaults.movie);
    EXPECT_EQ(p.extentWidth, 0);
}

TEST(PlayerPropertiesTest, MainWindowBlockGivesShowAllHighWindowAndNoMovie) {
    Bytes block = MainWindowBlock();
    ASSERT_EQ(block.size(), kBlockSize);
    PlayerProperties p;
    p.scaleMode = p.quality = p.windowMode = "unset";
    ASSERT_TRUE(ParseExact(block, block.size(), p));
    EXPECT_EQ(p.scaleMode, "ShowAll");
    EXPECT_EQ(p.quality, "High");
    EXPECT_EQ(p.windowMode, "Window");
    EXPECT_EQ(p.movie, "");
    EXPECT_TRUE(p.playing);
    EXPECT_TRUE(p.loop);
    EXPECT_EQ(p.extentWidth, 0x40CD);
    EXPECT_EQ(p.extentHeight, 0x2D5F);
    EXPECT_EQ(ScaleModeFromName(p.scaleMode), 0);
}

TEST(PlayerPropertiesTest, ValuesAreReadByPositionNotByGuess) {
    Bytes block = MainWindowBlock();
    // Play off: the flag of value 5.
    block[kPlayValue + 2] = 0;
    block[kPlayValue + 3] = 0;
    PlayerProperties p;
    ASSERT_TRUE(ParseExact(block, block.size(), p));
    EXPECT_FALSE(p.playing);
    EXPECT_TRUE(p.loop);
}

// A cut between two values is a shorter block, and reads as one; a cut
// inside a value fails and leaves the defaults.
TEST(PlayerPropertiesTest, TruncationsStayInsideAndFailMidValue) {
    Bytes block = MainWindowBlock();
    int accepted = 0;
    for (size_t size = 0; size < block.size(); ++size) {
        PlayerProperties p;
        if (ParseExact(block, size, p)) {
            ++accepted;
            EXPECT_EQ(p.extentWidth, 0x40CD) << "cut at " << size;
        } else {
            ExpectDefaults(p);
        }
    }
    constexpr int kValueBoundaries = 24;  // after the head and after each of the first 23 values
    EXPECT_EQ(accepted, kValueBoundaries);
    PlayerProperties p;
    EXPECT_FALSE(ParsePlayerProperties(nullptr, kBlockSize, p));
}

TEST(PlayerPropertiesTest, HostileBlocksAreRefusedWithoutReadingOutside) {
    const Bytes good = MainWindowBlock();
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Case cases[] = {
        {"huge string length", kWindowModeLength, 0xFFFFFFFFu},
        {"length one past the end", kWindowModeLength, kBlockSize},
        {"length that wraps a 32-bit sum", kWindowModeLength, 0xFFFFFFF0u},
        {"foreign signature", 4, 0x12345678u},
        {"non-zero lead", 0, 1},
        {"unknown value type", kFirstValue, 0x7777},
    };
    for (const Case& c : cases) {
        Bytes block = good;
        if (c.at == kFirstValue) {
            block[c.at] = static_cast<uint8_t>(c.value);
            block[c.at + 1] = static_cast<uint8_t>(c.value >> 8);
        } else {
            Put32(block, c.at, c.value);
        }
        PlayerProperties p;
        EXPECT_FALSE(ParseExact(block, block.size(), p)) << c.what;
        ExpectDefaults(p);
    }
    // Odd string length: the last half character is dropped, nothing more.
    Bytes block = good;
    Put32(block, kWindowModeLength, 13);
    block.erase(block.begin() + kWindowModeLength + 4 + 13);
    PlayerProperties p;
    EXPECT_TRUE(ParseExact(block, block.size(), p));
    EXPECT_EQ(p.windowMode, "Window");
}

TEST(PlayerPropertiesTest, ScaleNamesMapToTheControlsNumbersInAnyCase) {
    EXPECT_EQ(ScaleModeFromName("ShowAll"), 0);
    EXPECT_EQ(ScaleModeFromName("noborder"), 1);
    EXPECT_EQ(ScaleModeFromName("EXACTFIT"), 2);
    EXPECT_EQ(ScaleModeFromName("NoScale"), 3);
    EXPECT_EQ(ScaleModeFromName("NoScale "), 0);
    EXPECT_EQ(ScaleModeFromName(""), 0);
}

}  // namespace

TEST(PlayerQualityTest, NumbersAndNamesMapToTheEnginesQualities) {
    using swf::Quality;
    const struct {
        long number;
        const char* name;
        Quality quality;
        long reported;
    } cases[] = {
        {0, "Low", Quality::Low, 0},       {1, "HIGH", Quality::High, 1},
        {2, "autolow", Quality::Low, 0},   {3, "AutoHigh", Quality::High, 1},
        {-1, "medium", Quality::Medium, 1}, {-1, "Best", Quality::Best, 1},
    };
    for (const auto& c : cases) {
        Quality q = Quality::Best;
        if (c.number >= 0) {
            EXPECT_TRUE(QualityFromNumber(c.number, q)) << c.number;
            EXPECT_EQ(q, c.quality) << c.number;
        }
        q = c.quality == Quality::Low ? Quality::Best : Quality::Low;
        EXPECT_TRUE(QualityFromName(c.name, q)) << c.name;
        EXPECT_EQ(q, c.quality) << c.name;
        EXPECT_EQ(QualityNumber(q), c.reported) << c.name;
    }
    // Unknown values leave the quality alone; names read back as given.
    Quality q = Quality::Medium;
    EXPECT_FALSE(QualityFromNumber(4, q));
    EXPECT_FALSE(QualityFromNumber(-1, q));
    EXPECT_FALSE(QualityFromName("High ", q));
    EXPECT_FALSE(QualityFromName("", q));
    EXPECT_EQ(q, Quality::Medium);
    EXPECT_STREQ(QualityName(Quality::Medium), "Medium");
    EXPECT_STREQ(QualityName(Quality::Best), "Best");
}
