// Bitmap tags of a TagList.
#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/SwfWriter.h"

namespace swfmake {

namespace {

std::vector<uint8_t> IdAnd(uint16_t id, const std::vector<uint8_t>& data) {
    ByteWriter w;
    w.U16(id);
    w.Raw(data);
    return w.Take();
}

std::vector<uint8_t> WithAlpha(uint16_t id, const std::vector<uint8_t>& image, const std::vector<uint8_t>& alpha,
                               const uint16_t* deblocking) {
    ByteWriter w;
    w.U16(id);
    w.U32(static_cast<uint32_t>(image.size()));
    if (deblocking) w.U16(*deblocking);
    w.Raw(image);
    if (!alpha.empty()) w.Raw(Deflate(alpha));
    return w.Take();
}

}  // namespace

void TagList::JpegTables(const std::vector<uint8_t>& tables) { Raw(swf::kTagJpegTables, tables); }

void TagList::DefineBits(uint16_t id, const std::vector<uint8_t>& image) {
    Raw(swf::kTagDefineBits, IdAnd(id, image));
}

void TagList::DefineBitsJpeg2(uint16_t id, const std::vector<uint8_t>& image) {
    Raw(swf::kTagDefineBitsJpeg2, IdAnd(id, image));
}

void TagList::DefineBitsJpeg3(uint16_t id, const std::vector<uint8_t>& image, const std::vector<uint8_t>& alpha) {
    Raw(swf::kTagDefineBitsJpeg3, WithAlpha(id, image, alpha, nullptr));
}

void TagList::DefineBitsJpeg4(uint16_t id, const std::vector<uint8_t>& image, const std::vector<uint8_t>& alpha,
                              uint16_t deblocking) {
    Raw(swf::kTagDefineBitsJpeg4, WithAlpha(id, image, alpha, &deblocking));
}

void TagList::DefineBitsLossless(uint16_t id, const std::vector<uint8_t>& body, bool withAlpha) {
    Raw(withAlpha ? swf::kTagDefineBitsLossless2 : swf::kTagDefineBitsLossless, IdAnd(id, body));
}

}  // namespace swfmake
