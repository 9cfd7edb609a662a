#include "tools/swfmake/ImageEncode.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include "swf/model/FormatCodes.h"
#include "swf/model/FrameBuffer.h"
#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/SwfWriter.h"

namespace swfmake {

namespace {

// Our own images only, so a library error is a programming error: throw.
[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    throw std::runtime_error(std::string("JPEG encoding failed: ") + message);
}

class JpegEncoder {
public:
    JpegEncoder(const Image& image, int quality) : image_(image) {
        cinfo_.err = jpeg_std_error(&err_);
        err_.error_exit = OnJpegError;
        jpeg_create_compress(&cinfo_);
        jpeg_mem_dest(&cinfo_, &buffer_, &size_);
        cinfo_.image_width = JDIMENSION(image.width);
        cinfo_.image_height = JDIMENSION(image.height);
        cinfo_.input_components = 3;
        cinfo_.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo_);
        jpeg_set_quality(&cinfo_, quality, TRUE);
    }
    ~JpegEncoder() {
        jpeg_destroy_compress(&cinfo_);
        std::free(buffer_);
    }

    // Tables-only stream, then (re)starts the output for the image.
    std::vector<uint8_t> Tables() {
        jpeg_write_tables(&cinfo_);
        std::vector<uint8_t> out = Take();
        jpeg_mem_dest(&cinfo_, &buffer_, &size_);
        return out;
    }

    std::vector<uint8_t> Image(bool withTables) {
        jpeg_start_compress(&cinfo_, withTables ? TRUE : FALSE);
        std::vector<JSAMPLE> row(size_t(image_.width) * 3);
        while (cinfo_.next_scanline < cinfo_.image_height) {
            for (int x = 0; x < image_.width; ++x) {
                const swf::Rgba& c = image_.At(x, int(cinfo_.next_scanline));
                row[size_t(x) * 3] = c.r;
                row[size_t(x) * 3 + 1] = c.g;
                row[size_t(x) * 3 + 2] = c.b;
            }
            JSAMPROW rows[] = {row.data()};
            jpeg_write_scanlines(&cinfo_, rows, 1);
        }
        jpeg_finish_compress(&cinfo_);
        return Take();
    }

private:
    std::vector<uint8_t> Take() {
        std::vector<uint8_t> out(buffer_, buffer_ + size_);
        std::free(buffer_);
        buffer_ = nullptr;
        size_ = 0;
        return out;
    }

    const swfmake::Image& image_;
    jpeg_compress_struct cinfo_;
    jpeg_error_mgr err_;
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

int WriteGifBytes(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

uint32_t Key(swf::Rgba c) { return swf::FrameBuffer::Pack(c.a, c.r, c.g, c.b); }

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality) {
    JpegEncoder e(image, quality);
    return e.Image(true);
}

SplitJpeg EncodeJpegSplit(const Image& image, int quality) {
    JpegEncoder e(image, quality);
    SplitJpeg out;
    out.tables = e.Tables();
    out.image = e.Image(false);
    return out;
}

std::vector<uint8_t> EncodePngPixels(int width, int height, bool withAlpha, const uint8_t* pixels) {
    if (width <= 0 || height <= 0) return {};
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(width);
    png.height = png_uint_32(height);
    png.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, pixels, 0, nullptr)) return {};
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&png, out.data(), &size, 0, pixels, 0, nullptr)) return {};
    out.resize(size);
    return out;
}

std::vector<uint8_t> EncodePng(const Image& image) {
    static_assert(sizeof(swf::Rgba) == 4, "Image pixels are packed RGBA");
    std::vector<uint8_t> png =
        EncodePngPixels(image.width, image.height, true, reinterpret_cast<const uint8_t*>(image.pixels.data()));
    if (png.empty()) throw std::runtime_error("PNG encoding failed");
    return png;
}

std::vector<uint8_t> EncodeGif(const Image& image) {
    constexpr int kTableSize = 256;
    std::map<uint32_t, int> index;
    std::vector<GifColorType> colors(kTableSize, GifColorType{0, 0, 0});
    int transparent = -1;
    std::vector<GifPixelType> pixels;
    for (const swf::Rgba& c : image.pixels) {
        const swf::Rgba key = c.a == 0 ? swf::Rgba{0, 0, 0, 0} : swf::Rgba{c.r, c.g, c.b, 255};
        auto it = index.find(Key(key));
        if (it == index.end()) {
            const int i = int(index.size());
            if (i >= kTableSize) throw std::runtime_error("GIF image has more than 256 colours");
            it = index.emplace(Key(key), i).first;
            colors[size_t(i)] = GifColorType{key.r, key.g, key.b};
            if (key.a == 0) transparent = i;
        }
        pixels.push_back(GifPixelType(it->second));
    }
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteGifBytes, &error);
    ColorMapObject* map = GifMakeMapObject(kTableSize, colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map);
    if (transparent >= 0) {
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparent};
        GifByteType ext[4];
        const size_t n = EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext);
    }
    EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr);
    for (int y = 0; y < image.height; ++y) EGifPutLine(gif, pixels.data() + size_t(y) * image.width, image.width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

std::vector<uint8_t> AlphaPlane(const Image& image) {
    std::vector<uint8_t> out;
    out.reserve(image.pixels.size());
    for (const swf::Rgba& c : image.pixels) out.push_back(c.a);
    return out;
}

std::vector<uint8_t> EncodeLosslessBody(const Image& image, LosslessFormat format, bool withAlpha) {
    auto premul = [withAlpha](swf::Rgba c) {
        return withAlpha ? swf::FrameBuffer::Premultiply(c) : swf::FrameBuffer::Pack(255, c.r, c.g, c.b);
    };
    auto padded = [](size_t bytes) { return (bytes + swf::kLosslessRowAlign - 1) / swf::kLosslessRowAlign * swf::kLosslessRowAlign; };
    ByteWriter header;
    header.U8(uint8_t(format));
    header.U16(uint16_t(image.width));
    header.U16(uint16_t(image.height));
    std::vector<uint8_t> data;
    if (format == LosslessFormat::ColorMapped) {
        std::map<uint32_t, size_t> index;
        std::vector<uint32_t> table;
        for (const swf::Rgba& c : image.pixels)
            if (index.emplace(premul(c), table.size()).second) table.push_back(premul(c));
        if (table.size() > 256) throw std::runtime_error("colour-mapped image has more than 256 colours");
        header.U8(uint8_t(table.size() - 1));
        for (uint32_t c : table) {
            data.insert(data.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
            if (withAlpha) data.push_back(uint8_t(c >> 24));
        }
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) data.push_back(uint8_t(index[premul(image.At(x, y))]));
            data.resize(data.size() + padded(size_t(image.width)) - size_t(image.width));
        }
    } else if (format == LosslessFormat::Rgb15) {
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const swf::Rgba c = image.At(x, y);
                const uint32_t v = (uint32_t(c.r >> 3) << 10) | (uint32_t(c.g >> 3) << 5) | uint32_t(c.b >> 3);
                data.insert(data.end(), {uint8_t(v >> 8), uint8_t(v)});
            }
            data.resize(data.size() + padded(size_t(image.width) * 2) - size_t(image.width) * 2);
        }
    } else {
        for (const swf::Rgba& c : image.pixels) {
            const uint32_t p = premul(c);
            data.insert(data.end(), {withAlpha ? uint8_t(p >> 24) : uint8_t(0), uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    }
    std::vector<uint8_t> out = header.Take();
    const std::vector<uint8_t> packed = Deflate(data);
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

}  // namespace swfmake
