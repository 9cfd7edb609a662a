// MP3 through libmpg123, fed from memory. An event sound's data opens with
// a 16-bit seek-sample count; every stream block with a sample count and a
// seek count, and the frames of one stream run on across blocks, so one
// decoder handle lives as long as the stream.
#include <mpg123.h>

#include <mutex>

#include "swf/sound/SoundDecode.h"

namespace swf {

namespace {

constexpr size_t kEventPrefixBytes = 2;   // SeekSamples
constexpr size_t kStreamPrefixBytes = 4;  // SampleCount, SeekSamples
constexpr size_t kOutChunk = 16384;       // bytes of PCM per decode call

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

class Mp3Decoder : public SoundDecoder {
public:
    Mp3Decoder(const SoundFormat& f, bool stream) : format_(f), stream_(stream) {
        InitLibraryOnce();
        int err = MPG123_OK;
        handle_ = mpg123_new(nullptr, &err);
        if (!handle_) return;
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        mpg123_format_none(handle_);
        const long* rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (size_t i = 0; i < rateCount; ++i)
            mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_open_feed(handle_) != MPG123_OK) {
            mpg123_delete(handle_);
            handle_ = nullptr;
        }
    }
    ~Mp3Decoder() override {
        if (handle_) mpg123_delete(handle_);
    }

    bool Decode(const uint8_t* data, size_t size, size_t maxSamples, PcmBuffer& out, std::string& error) override {
        if (!handle_) {
            error = "the MP3 decoder cannot start";
            return false;
        }
        if (out.samples.empty()) {
            out.rate = format_.rate;
            out.channels = format_.Channels();
        }
        const size_t prefix = stream_ ? kStreamPrefixBytes : (fed_ ? 0 : kEventPrefixBytes);
        fed_ = true;
        if (size < prefix) return true;
        const unsigned char* in = data + prefix;
        size_t inSize = size - prefix;
        unsigned char chunk[kOutChunk];
        for (;;) {
            size_t done = 0;
            const int rc = mpg123_decode(handle_, in, inSize, chunk, sizeof chunk, &done);
            in = nullptr;
            inSize = 0;
            if (rc == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0, encoding = 0;
                mpg123_getformat(handle_, &rate, &channels, &encoding);
                if (out.samples.empty() || (out.rate == uint32_t(rate) && out.channels == channels)) {
                    out.rate = uint32_t(rate);
                    out.channels = channels;
                } else {
                    error = "MP3 frames change format midway";
                    return false;
                }
            }
            const size_t count = done / sizeof(int16_t);
            if (out.samples.size() + count > maxSamples) {
                error = "sound longer than the sound memory allows";
                return false;
            }
            const int16_t* pcm = reinterpret_cast<const int16_t*>(chunk);
            out.samples.insert(out.samples.end(), pcm, pcm + count);
            if (rc == MPG123_NEED_MORE || rc == MPG123_DONE) return true;
            if (rc == MPG123_ERR) {
                error = std::string("MP3: ") + mpg123_strerror(handle_);
                return false;
            }
        }
    }

private:
    SoundFormat format_;
    bool stream_;
    bool fed_ = false;
    mpg123_handle* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundDecoder> MakeMp3Decoder(const SoundFormat& format, bool stream) {
    return std::make_unique<Mp3Decoder>(format, stream);
}

}  // namespace swf
