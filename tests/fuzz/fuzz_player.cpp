// libFuzzer over the whole host path: load any bytes, play a few frames,
// seek, click, turn the wheel, press keys, resize the view and render into
// small frame buffers, mixing the sound of every frame. The same bytes also
// go through the text fields' HTML parser and layout, which a movie reaches
// only through an edit text tag, straight through every sound decoder, the
// ID3 reader (sounds loaded by script) and the window's stage header reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "swf/model/Movie.h"
#include "swf/Player.h"
#include "swf/read/StageHeader.h"
#include "swf/sound/Id3Tags.h"
#include "swf/sound/SoundDecode.h"
#include "swf/text/Html.h"
#include "swf/text/Layout.h"

namespace {

void FuzzHtml(const uint8_t* data, size_t size) {
    swf::FormattedText text;
    swf::ParseHtml(std::string(reinterpret_cast<const char*>(data), size), swf::TextFormat(), text);
    swf::Movie movie;
    swf::FontLibrary fonts(movie);
    swf::LayoutOptions options;
    options.bounds = {0, 2000, 0, 2000};
    options.wordWrap = options.multiline = options.autoSize = true;
    swf::LayOut(text, options, [&](const swf::TextFormat& f) { return fonts.Device(f.font, f.bold, f.italic); });
}

// The first byte picks the format, as a DefineSound's would; the rest is
// the sound, whole and then as two stream blocks.
void FuzzDecoders(const uint8_t* data, size_t size) {
    if (size < 1) return;
    constexpr size_t kMaxSamples = 1 << 20;
    swf::SoundFormat f;
    static const swf::SoundCodec kCodecs[] = {swf::SoundCodec::PcmLittle, swf::SoundCodec::Adpcm,
                                              swf::SoundCodec::Mp3, swf::SoundCodec::Nellymoser,
                                              swf::SoundCodec::Speex};
    f.codec = kCodecs[(data[0] >> 4) % 5];
    f.rate = 5512u << ((data[0] >> 2) & 3);
    f.is16Bit = data[0] & 2;
    f.stereo = data[0] & 1;
    for (bool stream : {false, true}) {
        swf::PcmBuffer out;
        std::string error;
        auto decoder = swf::MakeSoundDecoder(f, stream);
        const size_t half = (size - 1) / 2;
        decoder->Decode(data + 1, stream ? half : size - 1, kMaxSamples, out, error);
        if (stream) decoder->Decode(data + 1 + half, size - 1 - half, kMaxSamples, out, error);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzHtml(data, size);
    FuzzDecoders(data, size);
    swf::ReadId3Tags(std::vector<uint8_t>(data, data + size));
    swf::ReadStageRect(data, size);
    constexpr int kTicks = 4;
    constexpr int kWidth = 32, kHeight = 24;
    swf::Player player;
    // A sixteenth of the usual budget: scripts still loop past it, and an
    // instrumented run of one that does stays within the per-input timeout.
    player.SetScriptBudget(1 << 20);
    player.SetFsCommandHandler([](const std::string&, const std::string&) {});
    player.SetGetUrlHandler([](const std::string&, const std::string&) {});
    if (!player.LoadBytes(std::vector<uint8_t>(data, data + size))) return 0;
    swf::FrameBuffer target(kWidth, kHeight);
    player.Render(target);
    constexpr size_t kMixFrames = 735;  // a frame's sound at 60 fps
    std::vector<int16_t> sound(kMixFrames * 2);
    for (int i = 0; i < kTicks; ++i) {
        player.Tick();
        player.MixAudio(sound.data(), kMixFrames);
        player.PointerMove(i * 7, i * 5);
        player.Wheel(i % 2 ? -3 : 2);
        player.PointerDown(i * 7, i * 5);
        player.PointerUp(i * 7, i * 5);
        // Key events reach clip handlers, listeners and key presses.
        player.KeyDown(37 + i, 'a' + i);
        player.KeyUp(37 + i, 'a' + i);
        // Under noScale a new size reaches Stage's resize listeners.
        player.SetViewSize(kWidth + 8 * i, kHeight + 4 * i);
    }
    player.GotoFrame(player.TotalFrames() - 1);
    player.GotoFrame(1);
    player.SetScaleMode(swf::kNoScale);
    player.SetAlignMode(swf::kAlignLeft);
    player.Render(target);
    swf::FrameBuffer other(kHeight, kWidth);
    player.SetViewSize(kHeight, kWidth);
    player.Render(other);
    return 0;
}
