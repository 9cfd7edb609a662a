// The stage rectangle of an SWF movie, read from its header without reading
// the movie: the window is sized before the movie loads.
//
// The file opens with an 8-byte header (signature, version, FileLength);
// the body that follows is plain, one zlib stream when the first byte is 'C',
// or LZMA when it is 'Z'. The body starts with the FrameSize RECT: a 5-bit
// Nbits, then Xmin, Xmax, Ymin, Ymax as signed Nbits-bit twips (1/20 pixel).
//
// Only the few bytes of that RECT are ever read or inflated; nothing is
// sized by FileLength, which comes from the file and may say anything.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swf {

// Pixels, in the order of a Windows RECT.
struct StageRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const StageRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool IsZero() const { return *this == StageRect{}; }
};

// Sequential bytes of a file. Read gives fewer than asked only at the end
// (a failing read may throw; the reader lets it through untouched).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t Read(uint8_t* buffer, size_t count) = 0;
};

// The stage rectangle in pixels (twips / 20, truncated toward zero), or the
// zero rectangle when the header or the RECT is cut short, FileLength is too
// small to hold the RECT, or the zlib stream fails before the RECT's bytes.
StageRect ReadStageRect(ByteSource& source);
StageRect ReadStageRect(const uint8_t* data, size_t size);

// Bytes the FrameSize RECT takes for a given Nbits.
constexpr size_t RectBytes(unsigned nbits) { return (5 + 4 * nbits + 7) / 8; }

}  // namespace swf
