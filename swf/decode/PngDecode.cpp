// PNG through libpng's simplified reader, which handles every bit depth,
// palette and transparency chunk and reports errors without longjmp on our
// side. Output is straight-alpha BGRA (0xAARRGGBB in memory), premultiplied
// here.
#include <cstring>

#include <png.h>

#include "swf/decode/ImageDecode.h"

namespace swf {

bool DecodePng(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out, std::string& error) {
    out = Bitmap();
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        error = std::string("PNG data is damaged: ") + image.message;
        return false;
    }
    if (!CheckImageSize(image.width, image.height, maxBytes, error)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    out.width = static_cast<int32_t>(image.width);
    out.height = static_cast<int32_t>(image.height);
    out.pixels.resize(size_t(image.width) * image.height);
    const png_int_32 stride = static_cast<png_int_32>(image.width * sizeof(uint32_t));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), stride, nullptr)) {
        error = std::string("PNG data is damaged: ") + image.message;
        png_image_free(&image);
        out = Bitmap();
        return false;
    }
    PremultiplyPixels(out);
    return true;
}

}  // namespace swf
