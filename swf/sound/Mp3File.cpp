#include "swf/sound/Mp3File.h"

namespace swf {

namespace {

constexpr size_t kMaxSamples = size_t(16) << 20;  // six minutes of 44.1 kHz stereo

}  // namespace

std::shared_ptr<const PcmBuffer> DecodeMp3File(const std::vector<uint8_t>& file, std::string& error) {
    SoundFormat format;
    format.codec = SoundCodec::Mp3;
    format.rate = 44100;
    // The event decoder expects DefineSound's seek count before the frames.
    std::vector<uint8_t> data(2, 0);
    data.insert(data.end(), file.begin(), file.end());
    auto pcm = std::make_shared<PcmBuffer>();
    MakeSoundDecoder(format, false)->Decode(data.data(), data.size(), kMaxSamples, *pcm, error);
    if (pcm->samples.empty()) {
        if (error.empty()) error = "no MP3 frames";
        return nullptr;
    }
    return pcm;
}

}  // namespace swf
