#include "swf/read/StageHeader.h"

#include <lzma.h>
#include <zlib.h>

#include <cstring>

#include "swf/model/Geometry.h"
#include "swf/read/ByteReader.h"

namespace swf {

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kFileLengthOffset = 4;
constexpr uint8_t kCompressedSignature = 'C';
constexpr uint8_t kLzmaSignature = 'Z';
// A "ZWS" body opens with the compressed length and 5 bytes of LZMA
// properties; the raw LZMA stream follows.
constexpr size_t kLzmaSizeBytes = 4;
constexpr size_t kLzmaPropsBytes = 5;
constexpr uint32_t kLzmaMaxDictionary = 256u << 20;
constexpr unsigned kNbitsShift = 3;
constexpr unsigned kMaxNbits = 31;
constexpr size_t kMaxRectBytes = RectBytes(kMaxNbits);
// Compressed bytes fed to inflate at a time: a RECT needs a few dozen.
constexpr size_t kInflateChunk = 256;

size_t ReadFully(ByteSource& source, uint8_t* buffer, size_t count) {
    size_t total = 0;
    while (total < count) {
        size_t got = source.Read(buffer + total, count - total);
        if (got == 0) break;
        total += got;
    }
    return total;
}

uint32_t LittleEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

// The first bytes of a body, no more than `limit` (FileLength) of them.
class BodyReader {
public:
    virtual ~BodyReader() = default;
    // Fills body[0..want) when the body has that many bytes; false otherwise.
    virtual bool Fetch(uint8_t* body, size_t want) = 0;
};

class PlainBody : public BodyReader {
public:
    PlainBody(ByteSource& source, uint64_t limit) : m_source(source), m_limit(limit) {}

    bool Fetch(uint8_t* body, size_t want) override {
        if (want > m_limit) return false;
        m_have += ReadFully(m_source, body + m_have, want - m_have);
        return m_have == want;
    }

private:
    ByteSource& m_source;
    uint64_t m_limit;
    size_t m_have = 0;
};

// Inflates just enough of the stream. Like a one-shot inflate of the body
// into FileLength bytes, it takes at most FileLength input bytes and keeps at
// most FileLength output bytes.
class InflatedBody : public BodyReader {
public:
    InflatedBody(ByteSource& source, uint64_t limit) : m_source(source), m_limit(limit) {
        std::memset(&m_stream, 0, sizeof m_stream);
        m_ready = inflateInit(&m_stream) == Z_OK;
    }
    ~InflatedBody() override {
        if (m_ready) inflateEnd(&m_stream);
    }
    InflatedBody(const InflatedBody&) = delete;
    InflatedBody& operator=(const InflatedBody&) = delete;

    bool Fetch(uint8_t* body, size_t want) override {
        if (!m_ready || want > m_limit) return false;
        m_stream.next_out = body + m_have;
        m_stream.avail_out = static_cast<uInt>(want - m_have);
        while (m_stream.avail_out > 0) {
            if (m_stream.avail_in == 0 && !Refill()) break;
            int status = inflate(&m_stream, Z_NO_FLUSH);
            if (status != Z_OK) break;  // end of stream, damage, or no progress
        }
        m_have = want - m_stream.avail_out;
        return m_have == want;
    }

private:
    bool Refill() {
        size_t count = kInflateChunk;
        if (m_limit - m_consumed < count) count = static_cast<size_t>(m_limit - m_consumed);
        size_t got = count ? ReadFully(m_source, m_input, count) : 0;
        m_consumed += got;
        m_stream.next_in = m_input;
        m_stream.avail_in = static_cast<uInt>(got);
        return got > 0;
    }

    ByteSource& m_source;
    uint64_t m_limit;
    uint64_t m_consumed = 0;
    size_t m_have = 0;
    z_stream m_stream;
    bool m_ready = false;
    uint8_t m_input[kInflateChunk];
};

// The LZMA twin of InflatedBody.
class LzmaBody : public BodyReader {
public:
    LzmaBody(ByteSource& source, uint64_t limit) : m_source(source), m_limit(limit) {
        uint8_t head[kLzmaSizeBytes + kLzmaPropsBytes];
        if (ReadFully(source, head, sizeof head) < sizeof head) return;
        lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
        if (lzma_properties_decode(&filters[0], nullptr, head + kLzmaSizeBytes, kLzmaPropsBytes) != LZMA_OK)
            return;
        auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
        bool sane = options->dict_size <= kLzmaMaxDictionary;
        m_ready = sane && lzma_raw_decoder(&m_stream, filters) == LZMA_OK;
        free(filters[0].options);
    }
    ~LzmaBody() override { lzma_end(&m_stream); }
    LzmaBody(const LzmaBody&) = delete;
    LzmaBody& operator=(const LzmaBody&) = delete;

    bool Fetch(uint8_t* body, size_t want) override {
        if (!m_ready || want > m_limit) return false;
        m_stream.next_out = body + m_have;
        m_stream.avail_out = want - m_have;
        while (m_stream.avail_out > 0) {
            if (m_stream.avail_in == 0 && !Refill()) break;
            if (lzma_code(&m_stream, LZMA_RUN) != LZMA_OK) break;
        }
        m_have = want - m_stream.avail_out;
        return m_have == want;
    }

private:
    bool Refill() {
        size_t got = ReadFully(m_source, m_input, kInflateChunk);
        m_stream.next_in = m_input;
        m_stream.avail_in = got;
        return got > 0;
    }

    ByteSource& m_source;
    uint64_t m_limit;
    size_t m_have = 0;
    lzma_stream m_stream = LZMA_STREAM_INIT;
    bool m_ready = false;
    uint8_t m_input[kInflateChunk];
};

// The bytes hold the whole RECT (RectBytes of its Nbits), so the engine's
// bounded reader cannot run out here.
StageRect DecodeRect(const uint8_t* body, size_t rectBytes) {
    swf::ByteReader reader(body, rectBytes);
    swf::Rect twips = reader.ReadRect();
    // C++ division truncates toward zero: -30 twips is -1 pixel, not -2.
    constexpr int32_t k = swf::kTwipsPerPixel;
    return StageRect{twips.xMin / k, twips.yMin / k, twips.xMax / k, twips.yMax / k};
}

StageRect ReadRect(BodyReader& body) {
    uint8_t bytes[kMaxRectBytes] = {};
    if (!body.Fetch(bytes, 1)) return {};
    unsigned nbits = bytes[0] >> kNbitsShift;
    size_t rectBytes = RectBytes(nbits);
    if (!body.Fetch(bytes, rectBytes)) return {};
    return DecodeRect(bytes, rectBytes);
}

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    size_t Read(uint8_t* buffer, size_t count) override {
        size_t left = m_size - m_offset;
        if (count > left) count = left;
        if (count) std::memcpy(buffer, m_data + m_offset, count);
        m_offset += count;
        return count;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
};

}  // namespace

StageRect ReadStageRect(ByteSource& source) {
    uint8_t header[kHeaderBytes];
    if (ReadFully(source, header, kHeaderBytes) < kHeaderBytes) return {};
    uint32_t fileLength = LittleEndian32(header + kFileLengthOffset);
    if (header[0] == kCompressedSignature) {
        InflatedBody body(source, fileLength);
        return ReadRect(body);
    }
    if (header[0] == kLzmaSignature) {
        LzmaBody body(source, fileLength);
        return ReadRect(body);
    }
    PlainBody body(source, fileLength);
    return ReadRect(body);
}

StageRect ReadStageRect(const uint8_t* data, size_t size) {
    MemorySource source(data, size);
    return ReadStageRect(source);
}

}  // namespace swf
