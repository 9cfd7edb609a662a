#include "tools/swfshot/PngWriter.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace swfshot {

namespace {

constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColorTypeRgb = 2;
constexpr uint8_t kColorTypeRgba = 6;
constexpr uint8_t kFilterNone = 0;
constexpr int kAlphaShift = 24, kRedShift = 16, kGreenShift = 8;
constexpr unsigned kChannelMax = 255;

// Filter byte then the pixels of each row.
std::vector<uint8_t> Scanlines(const swf::FrameBuffer& image, PngFormat format) {
    const size_t channels = format == PngFormat::Rgba ? 4 : 3;
    std::vector<uint8_t> raw;
    raw.reserve(image.Height() * (1 + image.Width() * channels));
    for (int y = 0; y < image.Height(); ++y) {
        raw.push_back(kFilterNone);
        const uint32_t* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            swf::Rgba c = Unpremultiply(row[x]);
            raw.push_back(c.r);
            raw.push_back(c.g);
            raw.push_back(c.b);
            if (format == PngFormat::Rgba) raw.push_back(c.a);
        }
    }
    return raw;
}

}  // namespace

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void AppendPngChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The CRC covers the type and the data, not the length.
    uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    PutU32(out, static_cast<uint32_t>(crc));
}

std::vector<uint8_t> PngHeaderData(int width, int height, PngFormat format) {
    std::vector<uint8_t> header;
    PutU32(header, static_cast<uint32_t>(width));
    PutU32(header, static_cast<uint32_t>(height));
    header.push_back(kBitDepth);
    header.push_back(format == PngFormat::Rgba ? kColorTypeRgba : kColorTypeRgb);
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method: adaptive
    header.push_back(0);  // no interlace
    return header;
}

std::vector<uint8_t> CompressImage(const swf::FrameBuffer& image, PngFormat format) {
    std::vector<uint8_t> raw = Scanlines(image, format);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);
    return packed;
}

swf::Rgba Unpremultiply(uint32_t argb) {
    unsigned a = (argb >> kAlphaShift) & kChannelMax;
    unsigned r = (argb >> kRedShift) & kChannelMax;
    unsigned g = (argb >> kGreenShift) & kChannelMax;
    unsigned b = argb & kChannelMax;
    if (a == 0) return {0, 0, 0, 0};
    if (a == kChannelMax) return {uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)};
    auto un = [a](unsigned v) {
        unsigned s = (v * kChannelMax + a / 2) / a;
        return static_cast<uint8_t>(s > kChannelMax ? kChannelMax : s);
    };
    return {un(r), un(g), un(b), uint8_t(a)};
}

std::vector<uint8_t> EncodePng(const swf::FrameBuffer& image, PngFormat format) {
    if (image.Width() <= 0 || image.Height() <= 0) return {};
    std::vector<uint8_t> packed = CompressImage(image, format);
    if (packed.empty()) return {};
    std::vector<uint8_t> png(std::begin(kPngSignature), std::end(kPngSignature));
    AppendPngChunk(png, "IHDR", PngHeaderData(image.Width(), image.Height(), format));
    AppendPngChunk(png, "IDAT", packed);
    AppendPngChunk(png, "IEND", {});
    return png;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error) {
    auto fail = [&](int err) {
        if (error) *error = "cannot write " + path + ": " + std::strerror(err);
        return false;
    };
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return fail(errno);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int err = errno;
    if (std::fclose(f) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written) {
        // A half-written image would pass for a capture; leave none. Only
        // regular files go: the path may name a device.
        struct stat info;
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) std::remove(path.c_str());
        return fail(err);
    }
    return true;
}

}  // namespace swfshot
