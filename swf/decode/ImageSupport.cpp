// What the decoders share: format sniffing, the size limits, the joining of
// JPEG tables and data, and pixel conversion.
#include <algorithm>

#include "swf/model/FrameBuffer.h"
#include "swf/decode/ImageDecode.h"

namespace swf {

namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kRst0 = 0xD0, kRst7 = 0xD7;
constexpr uint8_t kTem = 0x01;

bool IsPair(const uint8_t* p, size_t left, uint8_t first, uint8_t second) {
    return left >= 4 && p[0] == kMarker && p[1] == first && p[2] == kMarker && p[3] == second;
}

}  // namespace

ImageFormat SniffImage(const uint8_t* data, size_t size) {
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof kPng && std::equal(kPng, kPng + sizeof kPng, data)) return ImageFormat::Png;
    if (size >= 6 && std::equal(data, data + 4, "GIF8") && (data[4] == '9' || data[4] == '7') && data[5] == 'a')
        return ImageFormat::Gif;
    if (IsPair(data, size, kEoi, kSoi)) data += 2, size -= 2;
    if (size >= 2 && data[0] == kMarker && data[1] == kSoi) return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

bool CheckImageSize(int64_t width, int64_t height, size_t maxBytes, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "image has no pixels";
        return false;
    }
    if (width > ImageLimits::kMaxSide || height > ImageLimits::kMaxSide) {
        error = "image of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is wider or taller than " + std::to_string(ImageLimits::kMaxSide);
        return false;
    }
    const int64_t pixels = width * height;
    if (pixels > ImageLimits::kMaxPixels) {
        error = "image of " + std::to_string(pixels) + " pixels exceeds " +
                std::to_string(ImageLimits::kMaxPixels);
        return false;
    }
    if (uint64_t(pixels) * sizeof(uint32_t) > maxBytes) {
        error = "image of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels exceeds the movie's decoded-bitmap memory";
        return false;
    }
    return true;
}

// Walks marker segments up to the first scan; past it, entropy-coded data
// only ever holds FF 00, RSTn or the final EOI, so it is copied as it is.
std::vector<uint8_t> JoinJpeg(const uint8_t* tables, size_t tablesSize, const uint8_t* data, size_t size) {
    auto skipStray = [](const uint8_t* p, size_t left) -> size_t { return IsPair(p, left, kEoi, kSoi) ? 4 : 0; };
    const size_t tablesSkip = skipStray(tables, tablesSize), dataSkip = skipStray(data, size);
    std::vector<uint8_t> in(tables + tablesSkip, tables + tablesSize);
    in.insert(in.end(), data + dataSkip, data + size);
    std::vector<uint8_t> out;
    out.reserve(in.size());
    size_t i = 0;
    const size_t n = in.size();
    bool seenSoi = false;
    while (i < n) {
        if (IsPair(in.data() + i, n - i, kEoi, kSoi)) {  // ends the tables, starts the image
            i += 4;
            continue;
        }
        if (in[i] != kMarker || i + 1 >= n) break;
        const uint8_t m = in[i + 1];
        if (m == kMarker) {  // fill byte
            ++i;
            continue;
        }
        if (m == kSoi) {
            if (!seenSoi) out.insert(out.end(), {kMarker, kSoi});
            seenSoi = true;
            i += 2;
            continue;
        }
        if (m == kEoi || m == kTem || (m >= kRst0 && m <= kRst7)) {
            out.insert(out.end(), in.begin() + i, in.begin() + i + 2);
            i += 2;
            continue;
        }
        if (i + 4 > n) break;
        const size_t length = (size_t(in[i + 2]) << 8) | in[i + 3];
        const size_t end = std::min(n, i + 2 + length);
        out.insert(out.end(), in.begin() + i, in.begin() + end);
        i = end;
        if (m == kSos) break;
    }
    out.insert(out.end(), in.begin() + std::min(i, n), in.end());
    return out;
}

void PremultiplyPixels(Bitmap& bitmap) {
    bool opaque = true;
    for (uint32_t& p : bitmap.pixels) {
        const uint8_t a = uint8_t(p >> 24);
        if (a == 255) continue;
        opaque = false;
        p = FrameBuffer::Premultiply(Rgba{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), a});
    }
    bitmap.opaque = opaque;
}

void ClampPremultiplied(Bitmap& bitmap) {
    bool opaque = true;
    for (uint32_t& p : bitmap.pixels) {
        const uint32_t a = p >> 24;
        if (a == 255) continue;
        opaque = false;
        const uint32_t r = std::min((p >> 16) & 0xFF, a), g = std::min((p >> 8) & 0xFF, a),
                       b = std::min(p & 0xFF, a);
        p = FrameBuffer::Pack(uint8_t(a), uint8_t(r), uint8_t(g), uint8_t(b));
    }
    bitmap.opaque = opaque;
}

}  // namespace swf
