// Bitmap tags: JPEGTables, DefineBits, DefineBitsJPEG2/3/4 and
// DefineBitsLossless/Lossless2, each decoded once, here, into premultiplied
// pixels.
//
//  1. DefineBits holds only the image part of a JPEG; its tables come from
//     the movie's JPEGTables tag.
//  2. JPEG2/3/4 data may instead be a PNG or a GIF89a; then any alpha plane
//     is ignored (the image brings its own alpha).
//  3. A JPEG3/4 alpha plane is zlib data of exactly one byte per pixel; the
//     JPEG colours are straight and get premultiplied by it.
//  4. Lossless pixels are zlib data: colour-mapped rows of indices padded to
//     4 bytes, 15-bit rows padded likewise, or 32-bit pixels. Lossless2's
//     colours (32-bit and colour table) are premultiplied already.
// A bitmap that cannot be decoded throws ReadError with the reason and is
// not defined; the decoded pixels of a movie share one memory budget.
#include <algorithm>

#include "swf/model/FrameBuffer.h"
#include "swf/decode/ImageDecode.h"
#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr size_t kColorTableMax = 256;

std::vector<uint8_t> InflateExactly(ByteReader& r, size_t want, const char* what) {
    std::vector<uint8_t> out;
    std::string error;
    // One byte past the need tells a longer stream apart.
    const bool ok = Inflate(r.Here(), r.Remaining(), want + 1, out, &error);
    if (out.size() != want || (!ok && out.size() < want))
        throw ReadError(std::string(what) + " has " + (out.size() > want ? "more than " : "") +
                        std::to_string(std::min(out.size(), want)) + " bytes where " +
                        std::to_string(want) + " are needed" + (ok ? "" : " (" + error + ")"));
    return out;
}

void Define(ReadContext& ctx, uint16_t id, std::unique_ptr<BitmapCharacter> c) {
    ctx.bitmapBytesLeft -= std::min(ctx.bitmapBytesLeft, c->bitmap.Bytes());
    ctx.Define(id, std::move(c));
}

Bitmap DecodeImageData(const uint8_t* data, size_t size, const std::vector<uint8_t>& tables,
                       size_t maxBytes) {
    Bitmap out;
    std::string error;
    bool ok = false;
    switch (SniffImage(data, size)) {
    case ImageFormat::Png: ok = DecodePng(data, size, maxBytes, out, error); break;
    case ImageFormat::Gif: ok = DecodeGif(data, size, maxBytes, out, error); break;
    default: {
        const std::vector<uint8_t> jpeg = JoinJpeg(tables.data(), tables.size(), data, size);
        ok = DecodeJpeg(jpeg.data(), jpeg.size(), maxBytes, out, error);
    }
    }
    if (!ok) throw ReadError(error);
    return out;
}

void ApplyAlphaPlane(Bitmap& bitmap, const std::vector<uint8_t>& alpha) {
    bool opaque = true;
    for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
        const uint32_t p = bitmap.pixels[i];
        const uint8_t a = alpha[i];
        opaque = opaque && a == 255;
        bitmap.pixels[i] = FrameBuffer::Premultiply(Rgba{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), a});
    }
    bitmap.opaque = opaque;
}

}  // namespace

void ReadJpegTables(ByteReader& r, ReadContext& ctx) {
    ctx.jpegTables.assign(r.Here(), r.Here() + r.Remaining());
}

void ReadDefineBitsJpeg(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto c = std::make_unique<BitmapCharacter>();
    size_t imageSize = r.Remaining();
    const bool hasAlpha = code == kTagDefineBitsJpeg3 || code == kTagDefineBitsJpeg4;
    if (hasAlpha) {
        imageSize = r.U32();
        if (code == kTagDefineBitsJpeg4) c->deblocking = r.U16();
        if (imageSize > r.Remaining()) throw ReadError("image data runs past the tag");
    }
    ByteReader image = r.Slice(imageSize);
    static const std::vector<uint8_t> kNoTables;
    const std::vector<uint8_t>& tables = code == kTagDefineBits ? ctx.jpegTables : kNoTables;
    const ImageFormat format = SniffImage(image.Here(), image.Remaining());
    c->bitmap = DecodeImageData(image.Here(), image.Remaining(), tables, ctx.bitmapBytesLeft);
    if (format == ImageFormat::Jpeg) DeblockJpeg(c->bitmap, c->deblocking);
    if (hasAlpha && format == ImageFormat::Jpeg && !r.AtEnd())
        ApplyAlphaPlane(c->bitmap, InflateExactly(r, c->bitmap.pixels.size(), "alpha plane"));
    Define(ctx, id, std::move(c));
}

namespace {

class LosslessParser {
public:
    LosslessParser(ByteReader& r, bool withAlpha) : r_(r), alpha_(withAlpha) {}
    Bitmap Read(size_t maxBytes);

private:
    void ColorMapped(const std::vector<uint8_t>& data, size_t tableSize, Bitmap& out) const;
    static void Rgb15(const std::vector<uint8_t>& data, Bitmap& out);
    void Rgb32(const std::vector<uint8_t>& data, Bitmap& out) const;

    ByteReader& r_;
    bool alpha_;
};

size_t PaddedRow(size_t bytes) { return (bytes + kLosslessRowAlign - 1) / kLosslessRowAlign * kLosslessRowAlign; }

Bitmap LosslessParser::Read(size_t maxBytes) {
    const uint8_t format = r_.U8();
    const size_t width = r_.U16(), height = r_.U16();
    if (format != kLosslessColorMapped && format != kLosslessRgb15 && format != kLosslessRgb32)
        throw ReadError("unknown lossless format " + std::to_string(format));
    const size_t tableSize = format == kLosslessColorMapped ? size_t(r_.U8()) + 1 : 0;
    std::string error;
    if (!CheckImageSize(int64_t(width), int64_t(height), maxBytes, error)) throw ReadError(error);
    const size_t colorBytes = alpha_ ? 4 : 3;
    size_t want = 0;
    switch (format) {
    case kLosslessColorMapped: want = tableSize * colorBytes + PaddedRow(width) * height; break;
    case kLosslessRgb15: want = PaddedRow(width * 2) * height; break;
    default: want = width * 4 * height; break;
    }
    const std::vector<uint8_t> data = InflateExactly(r_, want, "pixel data");
    Bitmap out;
    out.width = int32_t(width);
    out.height = int32_t(height);
    out.pixels.resize(width * height);
    if (format == kLosslessColorMapped) ColorMapped(data, tableSize, out);
    else if (format == kLosslessRgb15) Rgb15(data, out);
    else Rgb32(data, out);
    ClampPremultiplied(out);
    return out;
}

void LosslessParser::ColorMapped(const std::vector<uint8_t>& data, size_t tableSize, Bitmap& out) const {
    // Indices past the table show as transparent (Lossless2) or black.
    uint32_t table[kColorTableMax];
    std::fill(table, table + kColorTableMax, alpha_ ? 0u : 0xFF000000u);
    const size_t colorBytes = alpha_ ? 4 : 3;
    for (size_t i = 0; i < tableSize; ++i) {
        const uint8_t* c = data.data() + i * colorBytes;
        table[i] = FrameBuffer::Pack(alpha_ ? c[3] : 255, c[0], c[1], c[2]);
    }
    const uint8_t* rows = data.data() + tableSize * colorBytes;
    const size_t stride = PaddedRow(size_t(out.width));
    for (size_t y = 0; y < size_t(out.height); ++y)
        for (size_t x = 0; x < size_t(out.width); ++x)
            out.pixels[y * size_t(out.width) + x] = table[rows[y * stride + x]];
}

void LosslessParser::Rgb15(const std::vector<uint8_t>& data, Bitmap& out) {
    const size_t stride = PaddedRow(size_t(out.width) * 2);
    auto widen = [](uint32_t v5) { return uint8_t((v5 << 3) | (v5 >> 2)); };
    for (size_t y = 0; y < size_t(out.height); ++y) {
        for (size_t x = 0; x < size_t(out.width); ++x) {
            const uint8_t* p = data.data() + y * stride + x * 2;
            const uint32_t v = (uint32_t(p[0]) << 8) | p[1];
            out.pixels[y * size_t(out.width) + x] =
                FrameBuffer::Pack(255, widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
        }
    }
}

void LosslessParser::Rgb32(const std::vector<uint8_t>& data, Bitmap& out) const {
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const uint8_t* p = data.data() + i * 4;
        out.pixels[i] = FrameBuffer::Pack(alpha_ ? p[0] : 255, p[1], p[2], p[3]);
    }
}

}  // namespace

void ReadDefineBitsLossless(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto c = std::make_unique<BitmapCharacter>();
    LosslessParser parser(r, code == kTagDefineBitsLossless2);
    c->bitmap = parser.Read(ctx.bitmapBytesLeft);
    Define(ctx, id, std::move(c));
}

}  // namespace swf
