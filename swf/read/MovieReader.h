// Bytes to Movie: signature, header, decompression and the root tag stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/Movie.h"

namespace swf {

struct ReadResult {
    std::unique_ptr<Movie> movie;  // null when not even the header was valid
    std::vector<std::string> errors;
};

// A compressed movie inflates to at most this many bytes, whatever its
// header claims; the rest is reported and not read.
constexpr size_t kMaxMovieBytes = size_t(64) << 20;

ReadResult ReadMovie(const std::vector<uint8_t>& bytes);
// The movie as it plays: uncompressed, signed "FWS"; empty when the bytes
// are no movie or do not expand.
std::vector<uint8_t> ExpandMovie(const std::vector<uint8_t>& bytes);

}  // namespace swf
