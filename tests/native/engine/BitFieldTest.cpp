// The engine's bit fields, which the stage-rectangle reader of opening a
// movie shares: most significant bit first, bounded by the slice.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "swf/read/ByteReader.h"

namespace {

using swf::ByteReader;

// A heap block of exactly the bytes given, so ASan sees any read past it.
std::unique_ptr<uint8_t[]> Exact(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), block.get());
    return block;
}

TEST(BitFieldTest, ReadsMostSignificantBitFirstAcrossBytes) {
    const std::vector<uint8_t> bytes = {0xA5, 0x3C, 0xF0, 0x0F, 0x81, 0x7E, 0x12, 0x34, 0x56};
    auto block = Exact(bytes);
    ByteReader reader(block.get(), bytes.size());
    EXPECT_EQ(reader.Bits(1), 1u);
    EXPECT_EQ(reader.Bits(3), 0x2u);          // 010
    EXPECT_EQ(reader.Bits(8), 0x53u);         // 0101 0011
    EXPECT_EQ(reader.Bits(0), 0u);            // nothing read, nothing moves
    EXPECT_EQ(reader.Bits(32), 0xCF00F817u);  // spans five bytes from bit 4
    EXPECT_EQ(reader.Bits(28), 0xE123456u);   // up to the last bit
    EXPECT_TRUE(reader.AtEnd());
}

// A read past the slice throws instead of fetching the bytes after it.
TEST(BitFieldTest, ReadPastTheEndThrowsInsteadOfReadingOn) {
    auto block = Exact({0x80});
    ByteReader reader(block.get(), 1);
    EXPECT_EQ(reader.Bits(4), 0x8u);
    EXPECT_THROW(reader.Bits(5), swf::ReadError);
    ByteReader wide(block.get(), 1);
    EXPECT_THROW(wide.Bits(33), swf::ReadError);
}

TEST(BitFieldTest, SignedBitsSignExtendEveryWidth) {
    for (int n = 1; n <= 31; ++n) {
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
        ByteReader reader(bytes.data(), bytes.size());
        EXPECT_EQ(reader.SignedBits(n), -(int64_t{1} << (n - 1))) << "width " << n;
        EXPECT_EQ(reader.SignedBits(n), -1) << "width " << n;
        EXPECT_EQ(reader.SignedBits(n), (int64_t{1} << (n - 1)) - 1) << "width " << n;
    }
    const uint8_t bytes[] = {0x80, 0, 0, 0};
    ByteReader reader(bytes, sizeof bytes);
    EXPECT_EQ(reader.SignedBits(0), 0);
    EXPECT_EQ(reader.SignedBits(32), INT32_MIN);
}

}  // namespace
