// Bit fields over a byte buffer, most significant bit first, as the SWF
// format packs them. The reader never owns the buffer and never looks at a
// byte outside the ceil(length / 8) bytes it was given.
#pragma once

#include <cstdint>

class BitReader {
public:
    BitReader(const uint8_t* start, int64_t lengthBits);
    virtual ~BitReader();
    BitReader(const BitReader&) = delete;
    BitReader& operator=(const BitReader&) = delete;

    void Reset();
    // New position, or -1 (nothing moves) when it would leave 0..length.
    int64_t Skip(int64_t delta);
    // The next n (0..32) bits, first bit read in the result's high end.
    uint32_t ReadBits(uint8_t n);
    // Forgets the buffer; the owner frees it.
    void Release();

    int64_t Position() const { return (m_current - m_start) * 8 + m_bitOffset; }
    int64_t Length() const { return m_length; }

private:
    uint64_t LoadBigEndian64() const;

    const uint8_t* m_start;
    int64_t m_length;
    const uint8_t* m_current;
    uint8_t m_bitOffset;
    int64_t m_bufferBytes;
};

// n bits read as a two's complement number of width n; 0 for n = 0.
int32_t ReadSignedBits(BitReader& reader, uint8_t n);
