// The tags of an MP3 file, for Sound.id3: an ID3v2 tag at the start
// (versions 2.2 to 2.4) and an ID3v1 tag in the last 128 bytes. Text
// frames come out under their frame id (TIT2, TPE1, COMM ...), each after
// the ID3v1 name scripts read for the common ones (songname, artist, album,
// year, comment, track, genre); a frame that repeats comes out again under
// its id, and its v1 name holds the last one. v2 wins over v1. Text is UTF-8; v1 and
// ISO-8859-1 frames are taken as Latin-1. Every length is checked against
// the bytes there: a damaged tag gives what was read before the damage.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace swf {

struct Id3Tags {
    // In the order found; only a repeated frame's id appears twice.
    std::vector<std::pair<std::string, std::string>> fields;
    bool Empty() const { return fields.empty(); }
    const std::string* Find(const std::string& name) const;
};

Id3Tags ReadId3Tags(const std::vector<uint8_t>& file);

}  // namespace swf
