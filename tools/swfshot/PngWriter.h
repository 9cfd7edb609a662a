// A small PNG encoder: 8-bit RGB or RGBA, no interlace, zlib via the
// system library, chunk CRCs from zlib's crc32.
//
// The frame buffer holds premultiplied pixels; PNG stores straight alpha,
// so RGBA output divides the colour back out (rounded to nearest).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/FrameBuffer.h"

namespace swfshot {

enum class PngFormat { Rgb, Rgba };

// Empty on failure (a zero-sized image or a zlib error).
std::vector<uint8_t> EncodePng(const swf::FrameBuffer& image, PngFormat format);

// The pieces, shared with the animated PNG writer.
extern const uint8_t kPngSignature[8];
void PutU32(std::vector<uint8_t>& out, uint32_t v);
void PutU16(std::vector<uint8_t>& out, uint16_t v);
void AppendPngChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data);
std::vector<uint8_t> PngHeaderData(int width, int height, PngFormat format);
// Filtered, deflated scanlines (IDAT contents); empty on a zlib error.
std::vector<uint8_t> CompressImage(const swf::FrameBuffer& image, PngFormat format);
// Straight RGBA of one premultiplied pixel.
swf::Rgba Unpremultiply(uint32_t argb);
// False with a message ("cannot write <path>: <reason>").
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error);

}  // namespace swfshot
