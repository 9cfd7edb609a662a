#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/SwfWriter.h"

namespace swfmake {

namespace {

constexpr unsigned kRateCodes[] = {5512, 11025, 22050, 44100};

void Format(ByteWriter& w, const swf::SoundFormat& f) {
    unsigned rateCode = 0;
    for (unsigned i = 0; i < 4; ++i)
        if (kRateCodes[i] == f.rate) rateCode = i;
    w.Bits(static_cast<uint32_t>(f.codec), 4);
    w.Bits(rateCode, 2);
    w.Bits(f.is16Bit ? 1 : 0, 1);
    w.Bits(f.stereo ? 1 : 0, 1);
}

void Info(ByteWriter& w, const swf::SoundInfo& info) {
    w.Bits(0, 2);
    w.Bits(info.stop, 1);
    w.Bits(info.noMultiple, 1);
    w.Bits(!info.envelope.empty(), 1);
    w.Bits(info.loops != 1, 1);
    w.Bits(info.hasOut, 1);
    w.Bits(info.hasIn, 1);
    w.FlushBits();
    if (info.hasIn) w.U32(info.inPoint);
    if (info.hasOut) w.U32(info.outPoint);
    if (info.loops != 1) w.U16(info.loops);
    if (!info.envelope.empty()) {
        w.U8(static_cast<uint8_t>(info.envelope.size()));
        for (const swf::SoundEnvelopePoint& p : info.envelope) {
            w.U32(p.pos44);
            w.U16(p.left);
            w.U16(p.right);
        }
    }
}

}  // namespace

void TagList::DefineSound(uint16_t id, const swf::SoundFormat& format, uint32_t sampleCount,
                          const std::vector<uint8_t>& data) {
    ByteWriter w;
    w.U16(id);
    Format(w, format);
    w.U32(sampleCount);
    w.Raw(data);
    Raw(swf::kTagDefineSound, w.Take());
}

void TagList::StartSound(uint16_t soundId, const swf::SoundInfo& info) {
    ByteWriter w;
    w.U16(soundId);
    Info(w, info);
    Raw(swf::kTagStartSound, w.Take());
}

void TagList::StartSound2(const std::string& className, const swf::SoundInfo& info) {
    ByteWriter w;
    w.String(className);
    Info(w, info);
    Raw(swf::kTagStartSound2, w.Take());
}

void TagList::SoundStreamHead(const swf::SoundFormat& format, uint16_t samplesPerBlock, int16_t latencySeek,
                              bool version2) {
    ByteWriter w;
    Format(w, format);  // playback: the stream's, its codec field reserved
    Format(w, format);
    w.U16(samplesPerBlock);
    if (format.codec == swf::SoundCodec::Mp3) w.S16(latencySeek);
    std::vector<uint8_t> body = w.Take();
    body[0] &= 0x0F;  // the playback half has no codec field
    Raw(version2 ? swf::kTagSoundStreamHead2 : swf::kTagSoundStreamHead, body);
}

void TagList::SoundStreamBlock(const std::vector<uint8_t>& data) { Raw(swf::kTagSoundStreamBlock, data); }

void TagList::DefineButtonSound(uint16_t buttonId, const swf::ButtonSounds& sounds) {
    ByteWriter w;
    w.U16(buttonId);
    for (const swf::SoundStart& s : sounds.transitions) {
        w.U16(s.soundId);
        if (s.soundId) Info(w, s.info);
    }
    Raw(swf::kTagDefineButtonSound, w.Take());
}

}  // namespace swfmake
