// Little-endian byte output with the file's MSB-first bit packing.
//
// Bit fields are packed from the most significant bit of each byte; any
// byte-sized write first pads the pending bit field to a byte boundary, as
// the file format requires. RECT, MATRIX and CXFORM use the fewest bits that
// hold every value of the record; values wider than the record's bit-count
// field allows (31 bits, 15 for CXFORM) are clamped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"

namespace swfmake {

// Bits needed to store v as a signed (two's complement) field; 0 for 0.
int SignedBitsNeeded(int32_t v);
// Bits needed to store v as an unsigned field; 0 for 0.
int UnsignedBitsNeeded(uint32_t v);

class ByteWriter {
public:
    void U8(uint8_t v);
    void U16(uint16_t v);
    void U32(uint32_t v);
    void S16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    // NUL-terminated; the text itself must not contain NUL.
    void String(const std::string& s);
    void Raw(const std::vector<uint8_t>& bytes);
    void Raw(const uint8_t* data, size_t size);

    // Unsigned field of `count` bits (0..32); v must fit.
    void Bits(uint32_t v, int count);
    // Signed field of `count` bits (0..32); v must fit.
    void SignedBits(int32_t v, int count);
    // Pads the pending bit field with zeros to the next byte.
    void FlushBits();

    void Rgb(swf::Rgba c);
    void Rgba(swf::Rgba c);
    void Rect(const swf::Rect& r);
    void Matrix(const swf::Matrix& m);
    // CXFORM (no alpha) or CXFORMWITHALPHA.
    void ColorTransform(const swf::ColorTransform& t, bool withAlpha);

    // Flushes pending bits, then gives the bytes.
    const std::vector<uint8_t>& Data();
    std::vector<uint8_t> Take();
    size_t Size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
    uint32_t bitBuffer_ = 0;  // pending bits, right-aligned
    int bitCount_ = 0;        // 0..7 pending
};

}  // namespace swfmake
