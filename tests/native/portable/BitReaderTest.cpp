#include "player/BitReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A heap block of exactly the bytes given, so ASan sees any read past it.
std::unique_ptr<uint8_t[]> Exact(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), block.get());
    return block;
}

TEST(BitReaderTest, ReadsMostSignificantBitFirstAcrossBytes) {
    const std::vector<uint8_t> bytes = {0xA5, 0x3C, 0xF0, 0x0F, 0x81, 0x7E, 0x12, 0x34, 0x56};
    auto block = Exact(bytes);
    BitReader reader(block.get(), 72);
    EXPECT_EQ(reader.ReadBits(1), 1u);
    EXPECT_EQ(reader.ReadBits(3), 0x2u);         // 010
    EXPECT_EQ(reader.ReadBits(8), 0x53u);        // 0101 0011
    EXPECT_EQ(reader.Position(), 12);
    EXPECT_EQ(reader.ReadBits(32), 0xCF00F817u); // spans five bytes from bit 4
    EXPECT_EQ(reader.Position(), 44);
    EXPECT_EQ(reader.ReadBits(28), 0xE123456u);  // up to the last bit
    EXPECT_EQ(reader.Position(), 72);
}

TEST(BitReaderTest, ZeroBitsReadNothingAndStayPut) {
    const uint8_t bytes[] = {0xFF, 0xFF};
    BitReader reader(bytes, 16);
    reader.Skip(3);
    EXPECT_EQ(reader.ReadBits(0), 0u);
    EXPECT_EQ(reader.Position(), 3);
}

TEST(BitReaderTest, SkipStopsAtBothEndsWithoutMoving) {
    const uint8_t bytes[] = {0, 0, 0};
    BitReader reader(bytes, 20);
    EXPECT_EQ(reader.Skip(20), 20);  // exactly the length is allowed
    EXPECT_EQ(reader.Skip(1), -1);
    EXPECT_EQ(reader.Position(), 20);
    EXPECT_EQ(reader.Skip(-21), -1);
    EXPECT_EQ(reader.Position(), 20);
    EXPECT_EQ(reader.Skip(-20), 0);
    EXPECT_EQ(reader.Skip(-1), -1);
    EXPECT_EQ(reader.Skip(INT64_MAX), -1);
    EXPECT_EQ(reader.Skip(INT64_MIN), -1);
    EXPECT_EQ(reader.Position(), 0);
    reader.Skip(13);
    reader.Reset();
    EXPECT_EQ(reader.Position(), 0);
}

// A read near the end must not fetch bytes beyond the buffer (the eight-byte
// load would): the missing bytes count as zero. The neighbouring 0xFF bytes
// would show up in the result if they were read.
TEST(BitReaderTest, ReadNearTheEndStaysInsideTheBuffer) {
    const uint8_t memory[] = {0xAB, 0xCD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    BitReader reader(memory, 16);
    reader.Skip(4);
    EXPECT_EQ(reader.ReadBits(32), 0xBCD00000u);

    auto block = Exact({0x80});
    BitReader tiny(block.get(), 8);
    EXPECT_EQ(tiny.ReadBits(32), 0x80000000u);
    EXPECT_EQ(tiny.ReadBits(32), 0u);  // past the end: nothing is fetched
}

TEST(BitReaderTest, ReleaseForgetsTheBufferWithoutTouchingIt) {
    auto block = Exact({0x12, 0x34});
    BitReader reader(block.get(), 16);
    reader.Skip(5);
    reader.Release();
    EXPECT_EQ(reader.Position(), 0);
    EXPECT_EQ(reader.ReadBits(16), 0u);
    EXPECT_EQ(block[0], 0x12);
    EXPECT_EQ(block[1], 0x34);
}

TEST(BitReaderTest, SignedBitsSignExtendEveryWidth) {
    for (uint8_t n = 1; n <= 31; ++n) {
        // Most negative, -1 and most positive of width n, packed back to back.
        const uint32_t mostNegative = 1u << (n - 1);
        const uint32_t minusOne = (1u << n) - 1;
        const uint32_t mostPositive = mostNegative - 1;
        std::vector<uint8_t> bytes(16, 0);
        uint64_t bitPos = 0;
        for (uint32_t v : {mostNegative, minusOne, mostPositive}) {
            for (int b = n - 1; b >= 0; --b, ++bitPos)
                if ((v >> b) & 1u) bytes[bitPos / 8] |= static_cast<uint8_t>(0x80 >> (bitPos % 8));
        }
        BitReader reader(bytes.data(), 128);
        EXPECT_EQ(ReadSignedBits(reader, n), -(int64_t{1} << (n - 1))) << "width " << int(n);
        EXPECT_EQ(ReadSignedBits(reader, n), -1) << "width " << int(n);
        EXPECT_EQ(ReadSignedBits(reader, n), (int64_t{1} << (n - 1)) - 1) << "width " << int(n);
    }
    const uint8_t bytes[] = {0x80, 0, 0, 0};
    BitReader reader(bytes, 32);
    EXPECT_EQ(ReadSignedBits(reader, 0), 0);
    EXPECT_EQ(reader.Position(), 0);
    EXPECT_EQ(ReadSignedBits(reader, 32), INT32_MIN);
}

}  // namespace
