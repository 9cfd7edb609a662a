#include "tools/swfmake/ByteWriter.h"

#include "swf/model/FormatCodes.h"

#include <algorithm>
#include <cassert>

namespace swfmake {

namespace {

constexpr int kBitsPerByte = 8;
// The widest signed value each NBits field can describe.
constexpr int kMaxRectBits = (1 << swf::kRectBitsField) - 1;
constexpr int kMaxCxformBits = (1 << swf::kCxformBitsField) - 1;

// Values beyond what the record can hold are clamped rather than written
// with too few bits, which would corrupt every field after them.
int32_t Fit(int32_t v, int bits) {
    const int32_t hi = static_cast<int32_t>((uint32_t(1) << (bits - 1)) - 1);
    return std::clamp(v, -hi - 1, hi);
}

int MaxSignedBits(std::initializer_list<int32_t> values) {
    int n = 0;
    for (int32_t v : values) n = std::max(n, SignedBitsNeeded(v));
    return n;
}

}  // namespace

int SignedBitsNeeded(int32_t v) {
    if (v == 0) return 0;
    uint32_t magnitude = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    return UnsignedBitsNeeded(magnitude) + 1;
}

int UnsignedBitsNeeded(uint32_t v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

void ByteWriter::U8(uint8_t v) {
    FlushBits();
    bytes_.push_back(v);
}

void ByteWriter::U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
}

void ByteWriter::String(const std::string& s) {
    FlushBits();
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    bytes_.push_back(0);
}

void ByteWriter::Raw(const std::vector<uint8_t>& bytes) { Raw(bytes.data(), bytes.size()); }

void ByteWriter::Raw(const uint8_t* data, size_t size) {
    FlushBits();
    bytes_.insert(bytes_.end(), data, data + size);
}

void ByteWriter::Bits(uint32_t v, int count) {
    assert(count >= 0 && count <= 32);
    // One bit at a time keeps the buffer small; writers are not hot.
    for (int i = count - 1; i >= 0; --i) {
        bitBuffer_ = (bitBuffer_ << 1) | ((v >> i) & 1u);
        if (++bitCount_ == kBitsPerByte) {
            bytes_.push_back(static_cast<uint8_t>(bitBuffer_));
            bitBuffer_ = 0;
            bitCount_ = 0;
        }
    }
}

void ByteWriter::SignedBits(int32_t v, int count) {
    assert(count == 32 || SignedBitsNeeded(v) <= count);
    Bits(static_cast<uint32_t>(v), count);
}

void ByteWriter::FlushBits() {
    if (bitCount_ == 0) return;
    bytes_.push_back(static_cast<uint8_t>(bitBuffer_ << (kBitsPerByte - bitCount_)));
    bitBuffer_ = 0;
    bitCount_ = 0;
}

void ByteWriter::Rgb(swf::Rgba c) {
    U8(c.r);
    U8(c.g);
    U8(c.b);
}

void ByteWriter::Rgba(swf::Rgba c) {
    Rgb(c);
    U8(c.a);
}

void ByteWriter::Rect(const swf::Rect& r) {
    FlushBits();
    swf::Rect f{Fit(r.xMin, kMaxRectBits), Fit(r.xMax, kMaxRectBits), Fit(r.yMin, kMaxRectBits),
                Fit(r.yMax, kMaxRectBits)};
    int n = MaxSignedBits({f.xMin, f.xMax, f.yMin, f.yMax});
    Bits(n, swf::kRectBitsField);
    SignedBits(f.xMin, n);
    SignedBits(f.xMax, n);
    SignedBits(f.yMin, n);
    SignedBits(f.yMax, n);
    FlushBits();
}

void ByteWriter::Matrix(const swf::Matrix& in) {
    FlushBits();
    swf::Matrix m;
    m.a = Fit(in.a, kMaxRectBits);
    m.b = Fit(in.b, kMaxRectBits);
    m.c = Fit(in.c, kMaxRectBits);
    m.d = Fit(in.d, kMaxRectBits);
    m.tx = Fit(in.tx, kMaxRectBits);
    m.ty = Fit(in.ty, kMaxRectBits);
    bool hasScale = m.a != swf::kFixedOne || m.d != swf::kFixedOne;
    Bits(hasScale, 1);
    if (hasScale) {
        int n = MaxSignedBits({m.a, m.d});
        Bits(n, swf::kRectBitsField);
        SignedBits(m.a, n);
        SignedBits(m.d, n);
    }
    bool hasRotate = m.b != 0 || m.c != 0;
    Bits(hasRotate, 1);
    if (hasRotate) {
        int n = MaxSignedBits({m.b, m.c});
        Bits(n, swf::kRectBitsField);
        SignedBits(m.b, n);
        SignedBits(m.c, n);
    }
    int n = MaxSignedBits({m.tx, m.ty});
    Bits(n, swf::kRectBitsField);
    SignedBits(m.tx, n);
    SignedBits(m.ty, n);
    FlushBits();
}

void ByteWriter::ColorTransform(const swf::ColorTransform& in, bool withAlpha) {
    FlushBits();
    auto fit = [](int16_t v) { return static_cast<int16_t>(Fit(v, kMaxCxformBits)); };
    swf::ColorTransform t;
    t.rMul = fit(in.rMul);
    t.gMul = fit(in.gMul);
    t.bMul = fit(in.bMul);
    t.aMul = fit(in.aMul);
    t.rAdd = fit(in.rAdd);
    t.gAdd = fit(in.gAdd);
    t.bAdd = fit(in.bAdd);
    t.aAdd = fit(in.aAdd);
    constexpr int16_t kIdentityMul = 256;
    bool hasMul = t.rMul != kIdentityMul || t.gMul != kIdentityMul || t.bMul != kIdentityMul ||
                  (withAlpha && t.aMul != kIdentityMul);
    bool hasAdd = t.rAdd != 0 || t.gAdd != 0 || t.bAdd != 0 || (withAlpha && t.aAdd != 0);
    Bits(hasAdd, 1);
    Bits(hasMul, 1);
    int n = 0;
    if (hasMul) {
        n = std::max(n, MaxSignedBits({t.rMul, t.gMul, t.bMul}));
        if (withAlpha) n = std::max(n, SignedBitsNeeded(t.aMul));
    }
    if (hasAdd) {
        n = std::max(n, MaxSignedBits({t.rAdd, t.gAdd, t.bAdd}));
        if (withAlpha) n = std::max(n, SignedBitsNeeded(t.aAdd));
    }
    Bits(n, swf::kCxformBitsField);
    auto four = [&](int16_t r, int16_t g, int16_t b, int16_t a) {
        SignedBits(r, n);
        SignedBits(g, n);
        SignedBits(b, n);
        if (withAlpha) SignedBits(a, n);
    };
    if (hasMul) four(t.rMul, t.gMul, t.bMul, t.aMul);
    if (hasAdd) four(t.rAdd, t.gAdd, t.bAdd, t.aAdd);
    FlushBits();
}

const std::vector<uint8_t>& ByteWriter::Data() {
    FlushBits();
    return bytes_;
}

std::vector<uint8_t> ByteWriter::Take() {
    FlushBits();
    std::vector<uint8_t> out;
    out.swap(bytes_);
    return out;
}

}  // namespace swfmake
