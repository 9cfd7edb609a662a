// JPEG through libjpeg-turbo. Errors leave libjpeg by longjmp (its C code
// cannot carry C++ exceptions); nothing with a destructor lives between the
// setjmp and the library calls. A stream that ends early is decoded by the
// library as grey rows; that counts as damage here, and the bitmap is not
// shown.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "swf/decode/ImageDecode.h"

namespace swf {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* em = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, em->message);
    std::longjmp(em->jump, 1);
}

// Warnings are kept quiet; only the one about missing data matters.
void OnMessage(j_common_ptr cinfo, int level) {
    auto* em = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) em->truncated = true;
}

bool IsRgbLike(J_COLOR_SPACE space) { return space == JCS_GRAYSCALE || space == JCS_YCbCr || space == JCS_RGB; }

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out, std::string& error) {
    out = Bitmap();
    jpeg_decompress_struct cinfo;
    ErrorManager em;
    std::memset(&em, 0, sizeof em);
    cinfo.err = jpeg_std_error(&em.pub);
    em.pub.error_exit = OnError;
    em.pub.emit_message = OnMessage;
    if (setjmp(em.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out = Bitmap();
        error = std::string("JPEG data is damaged: ") + em.message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    bool ok = CheckImageSize(cinfo.image_width, cinfo.image_height, maxBytes, error);
    if (ok && !IsRgbLike(cinfo.jpeg_color_space)) {
        error = "JPEG colour space " + std::to_string(int(cinfo.jpeg_color_space)) + " is not supported";
        ok = false;
    }
    if (ok) {
        cinfo.out_color_space = JCS_EXT_BGRA;  // 0xAARRGGBB in memory, alpha 255
        jpeg_start_decompress(&cinfo);
        const size_t w = cinfo.output_width, h = cinfo.output_height;
        out.width = static_cast<int32_t>(w);
        out.height = static_cast<int32_t>(h);
        out.pixels.resize(w * h);
        while (cinfo.output_scanline < h) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(out.pixels.data() + size_t(cinfo.output_scanline) * w);
            if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
        }
        if (em.truncated || cinfo.output_scanline < h) {
            error = "JPEG data ends before the image does";
            ok = false;
        } else {
            jpeg_finish_decompress(&cinfo);
        }
    }
    jpeg_destroy_decompress(&cinfo);
    if (!ok) {
        out = Bitmap();
        return false;
    }
    out.opaque = true;
    return true;
}

}  // namespace swf
