// A bounded reader over one slice of the movie: little-endian integers and
// the format's MSB-first bit fields. Every read checks the slice's end; a
// read past it throws ReadError, which the tag loop turns into a message
// naming the tag and its offset. Nothing here allocates more than the slice
// can back (strings are at most the bytes left).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"

namespace swf {

struct ReadError : std::runtime_error {
    explicit ReadError(const std::string& what) : std::runtime_error(what) {}
};

class ByteReader {
public:
    // `base` is the file offset of data[0], for messages only.
    ByteReader(const uint8_t* data, size_t size, size_t base = 0)
        : data_(data), size_(size), base_(base) {}

    size_t Pos() const { return pos_; }
    size_t Size() const { return size_; }
    size_t Remaining() const { return size_ - pos_; }
    size_t FileOffset() const { return base_ + pos_; }
    bool AtEnd() const { return pos_ >= size_; }
    const uint8_t* Here() const { return data_ + pos_; }

    uint8_t U8();
    uint16_t U16();
    int16_t S16() { return static_cast<int16_t>(U16()); }
    uint32_t U32();
    void Skip(size_t n);
    // A reader over the next n bytes, which this reader then skips.
    ByteReader Slice(size_t n);
    // A reader over bytes [offset, offset + n) of this slice, wherever the
    // read position is; throws when that range is outside the slice.
    ByteReader Sub(size_t offset, size_t n) const;
    // NUL-terminated; a missing terminator ends the string at the slice end.
    std::string String();

    // Bit fields; byte reads first drop any partly used byte (Align).
    uint32_t Bits(int count);   // 0..32
    int32_t SignedBits(int count);  // 0..32
    void Align() { bitCount_ = 0; }

    Rgba Rgb();
    Rgba Rgba32();
    Rect ReadRect();
    Matrix ReadMatrix();
    ColorTransform ReadCxform(bool withAlpha);

    // Throws unless `count` items of at least `minBytes` each can still fit.
    void RequireItems(size_t count, size_t minBytes, const char* what) const;

private:
    void Need(size_t n) const;

    const uint8_t* data_;
    size_t size_;
    size_t base_;
    size_t pos_ = 0;
    uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;  // unread bits left in bitBuffer_ (low bits)
};

}  // namespace swf
