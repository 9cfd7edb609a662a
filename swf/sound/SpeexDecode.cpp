// Speex through libspeex: wide band (16 kHz, 320 samples a frame), each
// frame padded to a whole byte as the encoder writes it, packed back to
// back with no length between them: a block decodes until its bits run out
// or a frame fails.
#include <speex/speex.h>

#include "swf/sound/SoundDecode.h"

namespace swf {

namespace {

constexpr int kMaxFrameSamples = 640;
constexpr int kMinFrameBits = 8;  // what is left after the last frame is padding

class SpeexDecoder : public SoundDecoder {
public:
    SpeexDecoder() {
        state_ = speex_decoder_init(&speex_wb_mode);
        if (state_) {
            int enhance = 1;
            speex_decoder_ctl(state_, SPEEX_SET_ENH, &enhance);
            speex_decoder_ctl(state_, SPEEX_GET_FRAME_SIZE, &frameSize_);
        }
        speex_bits_init(&bits_);
    }
    ~SpeexDecoder() override {
        speex_bits_destroy(&bits_);
        if (state_) speex_decoder_destroy(state_);
    }

    bool Decode(const uint8_t* data, size_t size, size_t maxSamples, PcmBuffer& out, std::string& error) override {
        out.rate = 16000;
        out.channels = 1;
        if (!state_ || frameSize_ <= 0 || frameSize_ > kMaxFrameSamples) {
            error = "the Speex decoder cannot start";
            return false;
        }
        if (size == 0) return true;
        if (size > size_t(INT32_MAX)) size = size_t(INT32_MAX);
        // A buffer of our own, as large as the data: libspeex would print a
        // notice on stderr each time its own one had to grow.
        if (size > buffer_.size()) {
            buffer_.resize(size);
            speex_bits_destroy(&bits_);
            speex_bits_init_buffer(&bits_, buffer_.data(), int(buffer_.size()));
        }
        speex_bits_read_from(&bits_, reinterpret_cast<const char*>(data), int(size));
        spx_int16_t frame[kMaxFrameSamples];
        while (speex_bits_remaining(&bits_) >= kMinFrameBits) {
            const int rc = speex_decode_int(state_, &bits_, frame);
            if (rc == -1) break;  // the stream's end mark
            if (rc != 0) {
                error = "Speex: damaged frame";
                return false;
            }
            if (out.samples.size() + size_t(frameSize_) > maxSamples) {
                error = "sound longer than the sound memory allows";
                return false;
            }
            out.samples.insert(out.samples.end(), frame, frame + frameSize_);
            speex_bits_advance(&bits_, speex_bits_remaining(&bits_) % 8);
        }
        return true;
    }

private:
    void* state_ = nullptr;
    SpeexBits bits_;
    std::vector<char> buffer_;
    int frameSize_ = 0;
};

}  // namespace

std::unique_ptr<SoundDecoder> MakeSpeexDecoder(const SoundFormat&) { return std::make_unique<SpeexDecoder>(); }

}  // namespace swf
