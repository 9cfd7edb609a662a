// "sound_seed.swf": every sound tag and codec once, short, for the fuzzer.
#include "tools/moviegen/Movies.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SoundEncode.h"

namespace moviegen {

namespace {

constexpr uint32_t kRate = 11025;
constexpr size_t kFrames = 600;
constexpr size_t kMp3FrameBytes = 208;  // MPEG-1 layer III, 64 kbps at 44.1 kHz, unpadded

swf::SoundFormat Format(swf::SoundCodec codec, bool is16 = true, bool stereo = false) {
    swf::SoundFormat f;
    f.codec = codec;
    f.rate = kRate;
    f.is16Bit = is16;
    f.stereo = stereo;
    return f;
}

// One silent MP3 frame after the seek-sample count.
std::vector<uint8_t> SilentMp3() {
    std::vector<uint8_t> data{0, 0, 0xFF, 0xFB, 0x50, 0xC4};
    data.resize(2 + kMp3FrameBytes, 0);
    return data;
}

}  // namespace

swfmake::SwfWriter SoundSeedMovie() {
    swfmake::SwfWriter w(kSwfVersion, {0, 40 * kTwips, 0, 40 * kTwips}, 12);
    swfmake::TagList& t = w.Tags();
    const std::vector<int16_t> tone = swfmake::Sine(440, kRate, kFrames, 8000);
    const std::vector<int16_t> stereo = swfmake::Sine(440, kRate, kFrames, 8000, 2);
    t.DefineSound(1, Format(swf::SoundCodec::PcmLittle), kFrames, swfmake::EncodePcm16(tone));
    t.DefineSound(2, Format(swf::SoundCodec::PcmNative, false, true), kFrames, swfmake::EncodePcm8(stereo));
    t.DefineSound(3, Format(swf::SoundCodec::Adpcm, true, true), kFrames, swfmake::EncodeAdpcm(stereo, 2, 3));
    t.DefineSound(4, Format(swf::SoundCodec::Mp3), 1152, SilentMp3());
    t.DefineSound(5, Format(swf::SoundCodec::Nellymoser8k), 256, std::vector<uint8_t>(64, 0x5A));
    // No Speex frames: random ones are damaged ones; the fuzzer makes its own.
    t.DefineSound(6, Format(swf::SoundCodec::Speex), 0, {});
    t.ExportAssets({{1, "tone"}});
    swf::SoundInfo info;
    info.hasIn = info.hasOut = true;
    info.inPoint = 100;
    info.outPoint = 2000;
    info.loops = 2;
    info.envelope = {{0, 0, 32768}, {1000, 32768, 0}};
    for (uint16_t id = 1; id <= 6; ++id) t.StartSound(id, id == 1 ? info : swf::SoundInfo());
    t.StartSound2("tone");

    swfmake::ShapeBuilder b;
    b.FillRect({0, 20 * kTwips, 0, 20 * kTwips}, b.AddSolidFill({0, 0, 200, 255}));
    t.DefineShape(7, b.Build());
    t.DefineButton2(8, {{swf::kButtonUp | swf::kButtonOver | swf::kButtonDown | swf::kButtonHit, 7, 1, {}, {}}}, {});
    swf::ButtonSounds clicks;
    for (size_t i = 0; i < clicks.transitions.size(); ++i) clicks.transitions[i].soundId = uint16_t(1 + i);
    clicks.transitions[0].info.noMultiple = true;
    clicks.transitions[3].info.stop = true;
    t.DefineButtonSound(8, clicks);

    swfmake::TagList sprite;
    sprite.SoundStreamHead(Format(swf::SoundCodec::Adpcm), kFrames / 2);
    for (int k = 0; k < 2; ++k) {
        sprite.SoundStreamBlock(swfmake::EncodeAdpcm(
            std::vector<int16_t>(tone.begin() + k * long(kFrames) / 2, tone.begin() + (k + 1) * long(kFrames) / 2), 1, 4));
        sprite.ShowFrame();
    }
    t.DefineSprite(9, sprite);
    t.PlaceObject2(swfmake::NewPlacement(1, 8));
    t.PlaceObject2(swfmake::NewPlacement(2, 9));
    t.SoundStreamHead(Format(swf::SoundCodec::PcmLittle), kFrames / 2, 0, false);
    for (int k = 0; k < 3; ++k) {
        t.SoundStreamBlock(swfmake::EncodePcm16(std::vector<int16_t>(tone.begin(), tone.begin() + long(kFrames) / 2)));
        t.ShowFrame();
    }
    return w;
}

}  // namespace moviegen
