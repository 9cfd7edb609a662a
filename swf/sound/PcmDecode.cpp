// Uncompressed sound: 8-bit is unsigned around 128, 16-bit is signed
// little-endian (the "native" order is the writer's, little-endian for
// every movie that exists).
#include "swf/sound/SoundDecode.h"

namespace swf {

namespace {

class PcmDecoder : public SoundDecoder {
public:
    explicit PcmDecoder(const SoundFormat& f) : format_(f) {}

    bool Decode(const uint8_t* data, size_t size, size_t maxSamples, PcmBuffer& out, std::string& error) override {
        out.rate = format_.rate;
        out.channels = format_.Channels();
        const size_t width = format_.is16Bit ? 2 : 1;
        const size_t frameBytes = width * size_t(out.channels);
        size_t count = size / frameBytes * size_t(out.channels);
        bool ok = true;
        if (out.samples.size() + count > maxSamples) {
            count = maxSamples > out.samples.size() ? maxSamples - out.samples.size() : 0;
            error = "sound longer than the sound memory allows";
            ok = false;
        }
        out.samples.reserve(out.samples.size() + count);
        for (size_t i = 0; i < count; ++i) {
            if (width == 2)
                out.samples.push_back(static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
            else
                out.samples.push_back(static_cast<int16_t>((int(data[i]) - 128) * 256));
        }
        return ok;
    }

private:
    SoundFormat format_;
};

}  // namespace

std::unique_ptr<SoundDecoder> MakePcmDecoder(const SoundFormat& format) {
    return std::make_unique<PcmDecoder>(format);
}

std::unique_ptr<SoundDecoder> MakeSoundDecoder(const SoundFormat& format, bool stream) {
    switch (format.codec) {
    case SoundCodec::PcmNative:
    case SoundCodec::PcmLittle: return MakePcmDecoder(format);
    case SoundCodec::Adpcm: return MakeAdpcmDecoder(format);
    case SoundCodec::Mp3: return MakeMp3Decoder(format, stream);
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser: return MakeNellymoserDecoder(format);
    case SoundCodec::Speex: return MakeSpeexDecoder(format);
    }
    return nullptr;
}

}  // namespace swf
