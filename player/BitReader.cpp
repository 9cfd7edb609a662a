#include "player/BitReader.h"

#include <cstring>

namespace {

constexpr int kBitsPerByte = 8;
constexpr int kLoadBytes = 8;
constexpr uint8_t kMaxReadBits = 32;

}  // namespace

BitReader::BitReader(const uint8_t* start, int64_t lengthBits)
    : m_start(start),
      m_length(start && lengthBits > 0 ? lengthBits : 0),
      m_current(start),
      m_bitOffset(0),
      m_bufferBytes((m_length + kBitsPerByte - 1) / kBitsPerByte) {}

BitReader::~BitReader() = default;

void BitReader::Reset() {
    m_current = m_start;
    m_bitOffset = 0;
}

int64_t BitReader::Skip(int64_t delta) {
    int64_t position = Position();
    // Compared before adding, so a huge delta cannot overflow.
    if (delta < -position || delta > m_length - position) return -1;
    int64_t target = position + delta;
    m_current = m_start + target / kBitsPerByte;
    m_bitOffset = static_cast<uint8_t>(target % kBitsPerByte);
    return target;
}

// The eight bytes from the current one as a big-endian number. Bytes past
// the end of the buffer read as zero instead of being fetched: a header may
// claim more data than the file holds.
uint64_t BitReader::LoadBigEndian64() const {
    int64_t available = m_bufferBytes - (m_current - m_start);
    if (available <= 0) return 0;
    uint8_t bytes[kLoadBytes] = {};
    std::memcpy(bytes, m_current, available < kLoadBytes ? static_cast<size_t>(available) : kLoadBytes);
    uint64_t value = 0;
    for (uint8_t byte : bytes) value = (value << kBitsPerByte) | byte;
    return value;
}

uint32_t BitReader::ReadBits(uint8_t n) {
    if (n == 0) return 0;
    if (n > kMaxReadBits) n = kMaxReadBits;
    uint64_t window = LoadBigEndian64() << m_bitOffset;
    uint32_t value = static_cast<uint32_t>(window >> (64 - n));
    // Past the window the reader stops at its end rather than walking off
    // the buffer; the caller reads only where there is data anyway.
    int64_t target = Position() + n;
    if (target > m_bufferBytes * kBitsPerByte) target = m_bufferBytes * kBitsPerByte;
    m_current = m_start + target / kBitsPerByte;
    m_bitOffset = static_cast<uint8_t>(target % kBitsPerByte);
    return value;
}

void BitReader::Release() {
    m_start = nullptr;
    m_current = nullptr;
    m_bitOffset = 0;
    m_length = 0;
    m_bufferBytes = 0;
}

int32_t ReadSignedBits(BitReader& reader, uint8_t n) {
    if (n == 0) return 0;
    if (n > kMaxReadBits) n = kMaxReadBits;
    uint32_t bits = reader.ReadBits(n);
    int64_t value = bits;
    if ((bits >> (n - 1)) & 1u) value -= int64_t{1} << n;
    return static_cast<int32_t>(value);
}
