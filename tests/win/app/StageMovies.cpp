#include "tests/win/app/StageMovies.h"

namespace opentest {

namespace {

constexpr int kTwipsPerPixel = 20;
constexpr int kRectBits = 31;  // wide enough for any stage a test asks for
constexpr uint16_t kShowFrameTag = 1 << 6;
constexpr uint16_t kEndTag = 0;
constexpr uint16_t kFrameRate = 24 << 8;

class Bits {
public:
    void Put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (m_used == 0) m_bytes.push_back(0);
            if ((value >> i) & 1u) m_bytes.back() |= static_cast<uint8_t>(0x80 >> m_used);
            m_used = (m_used + 1) % 8;
        }
    }
    void U16(uint16_t value) {
        m_used = 0;
        m_bytes.push_back(static_cast<uint8_t>(value));
        m_bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    int m_used = 0;
};

}  // namespace

std::vector<uint8_t> StageMovie(int widthPixels, int heightPixels, int frames) {
    Bits body;
    body.Put(kRectBits, 5);
    body.Put(0, kRectBits);
    body.Put(static_cast<uint32_t>(widthPixels * kTwipsPerPixel), kRectBits);
    body.Put(0, kRectBits);
    body.Put(static_cast<uint32_t>(heightPixels * kTwipsPerPixel), kRectBits);
    body.U16(kFrameRate);
    body.U16(static_cast<uint16_t>(frames));
    for (int i = 0; i < frames; ++i) body.U16(kShowFrameTag);
    body.U16(kEndTag);

    uint32_t length = static_cast<uint32_t>(8 + body.Bytes().size());
    std::vector<uint8_t> file = {'F', 'W', 'S', 6};
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(length >> (8 * i)));
    file.insert(file.end(), body.Bytes().begin(), body.Bytes().end());
    return file;
}

}  // namespace opentest
