// MP3 files scripts load (Sound.loadSound): decoded whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/sound/SoundDecode.h"

namespace swf {

// Null, with `error` set, when nothing decodes.
std::shared_ptr<const PcmBuffer> DecodeMp3File(const std::vector<uint8_t>& file, std::string& error);

}  // namespace swf
