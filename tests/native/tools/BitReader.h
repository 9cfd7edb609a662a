// A plain reference reader for the writer's output: MSB-first bits,
// little-endian bytes. Kept deliberately simple so it can be trusted.
#pragma once

#include <cstdint>
#include <vector>

namespace toolstest {

class BitReader {
public:
    explicit BitReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    uint32_t Bits(int count) {
        uint32_t v = 0;
        for (int i = 0; i < count; ++i) {
            uint8_t byte = bitPos_ / 8 < bytes_.size() ? bytes_[bitPos_ / 8] : 0;
            v = (v << 1) | ((byte >> (7 - bitPos_ % 8)) & 1u);
            ++bitPos_;
        }
        return v;
    }
    int32_t SignedBits(int count) {
        uint32_t v = Bits(count);
        if (count > 0 && count < 32 && (v >> (count - 1)) & 1u) v |= ~0u << count;
        return static_cast<int32_t>(v);
    }
    void Align() { bitPos_ = (bitPos_ + 7) / 8 * 8; }
    uint8_t U8() {
        Align();
        return static_cast<uint8_t>(Bits(8));
    }
    uint16_t U16() {
        uint16_t lo = U8();
        return static_cast<uint16_t>(lo | (U8() << 8));
    }
    uint32_t U32() {
        uint32_t lo = U16();
        return lo | (uint32_t(U16()) << 16);
    }
    size_t BytePos() const { return (bitPos_ + 7) / 8; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t bitPos_ = 0;
};

}  // namespace toolstest
