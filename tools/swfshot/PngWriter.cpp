#include "tools/swfshot/PngWriter.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/swfmake/ImageEncode.h"

namespace swfshot {

std::vector<uint8_t> EncodePng(const swf::FrameBuffer& image, PngFormat format) {
    if (image.Width() <= 0 || image.Height() <= 0) return {};
    const bool alpha = format == PngFormat::Rgba;
    std::vector<uint8_t> pixels;
    pixels.reserve(size_t(image.Width()) * image.Height() * (alpha ? 4 : 3));
    for (int y = 0; y < image.Height(); ++y) {
        const uint32_t* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            swf::Rgba c = swf::FrameBuffer::Unpremultiply(row[x]);
            pixels.insert(pixels.end(), {c.r, c.g, c.b});
            if (alpha) pixels.push_back(c.a);
        }
    }
    return swfmake::EncodePngPixels(image.Width(), image.Height(), alpha, pixels.data());
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
