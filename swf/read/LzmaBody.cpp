// "ZWS" movies: after the 8-byte header come the compressed length (4
// bytes), the 5 bytes of LZMA properties and a raw LZMA stream (no size, no
// end marker needed). liblzma's raw decoder takes it with the properties
// decoded into an LZMA1 filter; output stops at `limit` like Inflate's.
#include <lzma.h>

#include <algorithm>
#include <cstring>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr size_t kLzmaChunk = 16 * 1024;
constexpr uint64_t kLzmaMemoryLimit = uint64_t(256) << 20;  // dictionary and state

}  // namespace

bool DecompressLzma(const uint8_t* in, size_t inSize, size_t limit, std::vector<uint8_t>& out,
                    std::string* error) {
    if (inSize < kLzmaHeaderBytes) {
        *error = "compressed data ends early";
        return false;
    }
    lzma_filter filters[2];
    filters[0].id = LZMA_FILTER_LZMA1;
    filters[0].options = nullptr;
    filters[1].id = LZMA_VLI_UNKNOWN;
    filters[1].options = nullptr;
    const uint8_t* props = in + kLzmaSizeBytes;
    if (lzma_properties_decode(&filters[0], nullptr, props, kLzmaPropsBytes) != LZMA_OK) {
        *error = "compressed data is damaged: bad LZMA properties";
        return false;
    }
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    if (options->dict_size > kLzmaMemoryLimit) {
        free(filters[0].options);
        *error = "compressed data is damaged: LZMA dictionary too large";
        return false;
    }
    lzma_stream zs = LZMA_STREAM_INIT;
    lzma_ret rc = lzma_raw_decoder(&zs, filters);
    free(filters[0].options);
    if (rc != LZMA_OK) {
        *error = "cannot start decompression";
        return false;
    }
    zs.next_in = in + kLzmaHeaderBytes;
    zs.avail_in = inSize - kLzmaHeaderBytes;
    bool ok = true;
    uint8_t buffer[kLzmaChunk];
    while (out.size() < limit) {
        size_t chunk = std::min(sizeof buffer, limit - out.size());
        zs.next_out = buffer;
        zs.avail_out = chunk;
        rc = lzma_code(&zs, zs.avail_in ? LZMA_RUN : LZMA_FINISH);
        size_t got = chunk - zs.avail_out;
        out.insert(out.end(), buffer, buffer + got);
        if (rc == LZMA_STREAM_END) break;
        if (rc != LZMA_OK) {
            // Input ran out before the output: a short file.
            *error = rc == LZMA_BUF_ERROR ? "compressed data ends early" : "compressed data is damaged";
            ok = false;
            break;
        }
        if (got == 0 && zs.avail_in == 0) {
            *error = "compressed data ends early";
            ok = false;
            break;
        }
    }
    lzma_end(&zs);
    return ok;
}

}  // namespace swf
