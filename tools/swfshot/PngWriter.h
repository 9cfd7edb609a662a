// Pictures as PNG: 8-bit RGB or RGBA, encoded by the tools' one PNG encoder
// (libpng, tools/swfmake/ImageEncode.h).
//
// The frame buffer holds premultiplied pixels; PNG stores straight alpha,
// so RGBA output divides the colour back out (rounded to nearest).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/FrameBuffer.h"

namespace swfshot {

enum class PngFormat { Rgb, Rgba };

// Empty on failure (a zero-sized image or an encoder error).
std::vector<uint8_t> EncodePng(const swf::FrameBuffer& image, PngFormat format);

// False with a message ("cannot write <path>: <reason>").
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error);

}  // namespace swfshot
