#include "swf/read/ByteReader.h"

#include "swf/model/FormatCodes.h"

namespace swf {

void ByteReader::Need(size_t n) const {
    if (n > size_ - pos_) throw ReadError("unexpected end of data");
}

uint8_t ByteReader::U8() {
    Align();
    Need(1);
    return data_[pos_++];
}

uint16_t ByteReader::U16() {
    Align();
    Need(2);
    uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t ByteReader::U32() {
    Align();
    Need(4);
    uint32_t v = uint32_t(data_[pos_]) | (uint32_t(data_[pos_ + 1]) << 8) |
                 (uint32_t(data_[pos_ + 2]) << 16) | (uint32_t(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
}

void ByteReader::Skip(size_t n) {
    Align();
    Need(n);
    pos_ += n;
}

ByteReader ByteReader::Slice(size_t n) {
    Align();
    Need(n);
    ByteReader r(data_ + pos_, n, base_ + pos_);
    pos_ += n;
    return r;
}

ByteReader ByteReader::Sub(size_t offset, size_t n) const {
    if (offset > size_ || n > size_ - offset) throw ReadError("offset outside the tag");
    return ByteReader(data_ + offset, n, base_ + offset);
}

std::string ByteReader::String() {
    Align();
    size_t start = pos_;
    while (pos_ < size_ && data_[pos_] != 0) ++pos_;
    std::string s(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    if (pos_ < size_) ++pos_;  // the terminator
    return s;
}

uint32_t ByteReader::Bits(int count) {
    if (count < 0 || count > 32) throw ReadError("bit field wider than 32 bits");
    uint64_t v = 0;
    for (int left = count; left > 0;) {
        if (bitCount_ == 0) {
            Need(1);
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        int take = left < bitCount_ ? left : bitCount_;
        uint32_t chunk = (bitBuffer_ >> (bitCount_ - take)) & ((1u << take) - 1u);
        v = (v << take) | chunk;
        bitCount_ -= take;
        left -= take;
    }
    return static_cast<uint32_t>(v);
}

int32_t ByteReader::SignedBits(int count) {
    uint32_t u = Bits(count);
    if (count == 0) return 0;
    if (count < 32 && (u & (1u << (count - 1)))) return static_cast<int32_t>(int64_t(u) - (int64_t(1) << count));
    return static_cast<int32_t>(count == 32 ? int64_t(int32_t(u)) : int64_t(u));
}

Rgba ByteReader::Rgb() {
    Rgba c;
    c.r = U8();
    c.g = U8();
    c.b = U8();
    c.a = 255;
    return c;
}

Rgba ByteReader::Rgba32() {
    Rgba c = Rgb();
    c.a = U8();
    return c;
}

Rect ByteReader::ReadRect() {
    Align();
    int n = static_cast<int>(Bits(kRectBitsField));
    Rect r;
    r.xMin = SignedBits(n);
    r.xMax = SignedBits(n);
    r.yMin = SignedBits(n);
    r.yMax = SignedBits(n);
    Align();
    return r;
}

Matrix ByteReader::ReadMatrix() {
    Align();
    Matrix m;
    if (Bits(1)) {
        int n = static_cast<int>(Bits(kRectBitsField));
        m.a = SignedBits(n);
        m.d = SignedBits(n);
    }
    if (Bits(1)) {
        int n = static_cast<int>(Bits(kRectBitsField));
        m.b = SignedBits(n);
        m.c = SignedBits(n);
    }
    int n = static_cast<int>(Bits(kRectBitsField));
    m.tx = SignedBits(n);
    m.ty = SignedBits(n);
    Align();
    return m;
}

ColorTransform ByteReader::ReadCxform(bool withAlpha) {
    Align();
    ColorTransform t;
    bool hasAdd = Bits(1) != 0;
    bool hasMul = Bits(1) != 0;
    int n = static_cast<int>(Bits(kCxformBitsField));
    // Fields are at most 15 bits wide, so they always fit an int16_t.
    auto field = [&] { return static_cast<int16_t>(SignedBits(n)); };
    if (hasMul) {
        t.rMul = field();
        t.gMul = field();
        t.bMul = field();
        if (withAlpha) t.aMul = field();
    }
    if (hasAdd) {
        t.rAdd = field();
        t.gAdd = field();
        t.bAdd = field();
        if (withAlpha) t.aAdd = field();
    }
    Align();
    return t;
}

void ByteReader::RequireItems(size_t count, size_t minBytes, const char* what) const {
    if (minBytes != 0 && count > Remaining() / minBytes) throw ReadError(std::string(what) + " exceeds tag");
}

}  // namespace swf
