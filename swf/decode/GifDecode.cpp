// GIF through giflib, record by record rather than slurping the whole file,
// so that every frame's size is checked before anything is allocated. Only
// the first frame is shown, placed on the logical screen, which starts
// transparent; the graphic control extension before it may name a
// transparent colour index.
#include <algorithm>
#include <cstring>

#include <gif_lib.h>

#include "swf/decode/ImageDecode.h"

namespace swf {

namespace {

struct MemoryInput {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const size_t n = std::min(size_t(count < 0 ? 0 : count), in->size - in->pos);
    std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

std::string GifError(int code) {
    const char* text = GifErrorString(code);
    return std::string("GIF data is damaged: ") + (text ? text : "unknown error");
}

class GifReader {
public:
    explicit GifReader(GifFileType* gif) : gif_(gif) {}
    bool Read(size_t maxBytes, Bitmap& out, std::string& error);

private:
    bool ReadExtension(std::string& error);
    bool ReadFrame(Bitmap& out, std::string& error);

    GifFileType* gif_;
    int transparent_ = NO_TRANSPARENT_COLOR;
};

bool GifReader::ReadExtension(std::string& error) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif_, &code, &block) != GIF_OK) return error = GifError(gif_->Error), false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent_ = gcb.TransparentColor;
    }
    while (block) {
        if (DGifGetExtensionNext(gif_, &block) != GIF_OK) return error = GifError(gif_->Error), false;
    }
    return true;
}

bool GifReader::ReadFrame(Bitmap& out, std::string& error) {
    if (DGifGetImageDesc(gif_) != GIF_OK) return error = GifError(gif_->Error), false;
    const GifImageDesc& desc = gif_->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
    if (!map) return error = "GIF frame has no colour table", false;
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > ImageLimits::kMaxSide ||
        desc.Height > ImageLimits::kMaxSide)
        return error = "GIF frame size is out of range", false;
    std::vector<GifPixelType> line(size_t(desc.Width));
    // Interlaced frames come in four passes of rows.
    static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = desc.Interlace ? kStart[pass] : 0, step = desc.Interlace ? kStep[pass] : 1;
        for (int row = start; row < desc.Height; row += step) {
            if (DGifGetLine(gif_, line.data(), desc.Width) != GIF_OK) return error = GifError(gif_->Error), false;
            const int y = desc.Top + row;
            if (y < 0 || y >= out.height) continue;
            uint32_t* dst = out.pixels.data() + size_t(y) * size_t(out.width);
            for (int i = 0; i < desc.Width; ++i) {
                const int x = desc.Left + i, index = line[size_t(i)];
                if (x < 0 || x >= out.width || index == transparent_ || index >= map->ColorCount) continue;
                const GifColorType& c = map->Colors[index];
                dst[x] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
            }
        }
    }
    return true;
}

bool GifReader::Read(size_t maxBytes, Bitmap& out, std::string& error) {
    if (!CheckImageSize(gif_->SWidth, gif_->SHeight, maxBytes, error)) return false;
    out.width = gif_->SWidth;
    out.height = gif_->SHeight;
    out.pixels.assign(size_t(out.width) * size_t(out.height), 0u);
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif_, &type) != GIF_OK) return error = GifError(gif_->Error), false;
        switch (type) {
        case EXTENSION_RECORD_TYPE:
            if (!ReadExtension(error)) return false;
            break;
        case IMAGE_DESC_RECORD_TYPE: return ReadFrame(out, error);
        case TERMINATE_RECORD_TYPE: return error = "GIF has no image", false;
        default: return error = "GIF record type is unknown", false;
        }
    }
}

}  // namespace

bool DecodeGif(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out, std::string& error) {
    out = Bitmap();
    MemoryInput input{data, size, 0};
    int code = 0;
    GifFileType* gif = DGifOpen(&input, ReadMemory, &code);
    if (!gif) {
        error = GifError(code);
        return false;
    }
    GifReader reader(gif);
    const bool ok = reader.Read(maxBytes, out, error);
    DGifCloseFile(gif, &code);
    if (!ok) {
        out = Bitmap();
        return false;
    }
    PremultiplyPixels(out);
    return true;
}

}  // namespace swf
