// Sound tags: DefineSound, StartSound/StartSound2 with their SOUNDINFO,
// SoundStreamHead/2 and SoundStreamBlock, DefineButtonSound. The coded bytes
// are kept as they are; decoding waits until a sound plays.
#include <algorithm>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr uint32_t kNellymoser8kRate = 8000;
constexpr uint32_t kNellymoser16kRate = 16000;
constexpr uint32_t kSpeexRate = 16000;  // always wide band

SoundFormat ReadFormat(ByteReader& r) {
    SoundFormat f;
    const unsigned codec = r.Bits(4);
    f.rate = SoundRateFromCode(r.Bits(2));
    f.is16Bit = r.Bits(1) != 0;
    f.stereo = r.Bits(1) != 0;
    switch (codec) {
    case 0: case 1: case 2: case 3: case 6: break;
    case 4: f.rate = kNellymoser16kRate; break;
    case 5: f.rate = kNellymoser8kRate; break;
    case 11: f.rate = kSpeexRate; break;
    default: throw ReadError("unknown sound format " + std::to_string(codec));
    }
    f.codec = static_cast<SoundCodec>(codec);
    if (f.codec == SoundCodec::Nellymoser16k || f.codec == SoundCodec::Nellymoser8k || f.codec == SoundCodec::Speex)
        f.stereo = false;  // mono only, whatever the flag says
    return f;
}

std::vector<uint8_t> TakeBytes(ByteReader& r, ReadContext& ctx) {
    const size_t n = r.Remaining();
    if (n > ctx.soundBytesLeft) throw ReadError("sounds exceed the movie's sound budget");
    ctx.soundBytesLeft -= n;
    std::vector<uint8_t> bytes(r.Here(), r.Here() + n);
    r.Skip(n);
    return bytes;
}

SoundInfo ReadSoundInfo(ByteReader& r) {
    SoundInfo info;
    r.Bits(2);
    info.stop = r.Bits(1) != 0;
    info.noMultiple = r.Bits(1) != 0;
    const bool hasEnvelope = r.Bits(1) != 0;
    const bool hasLoops = r.Bits(1) != 0;
    info.hasOut = r.Bits(1) != 0;
    info.hasIn = r.Bits(1) != 0;
    r.Align();
    if (info.hasIn) info.inPoint = r.U32();
    if (info.hasOut) info.outPoint = r.U32();
    if (hasLoops) info.loops = r.U16();
    if (hasEnvelope) {
        constexpr size_t kPointBytes = 8;
        const size_t count = r.U8();
        r.RequireItems(count, kPointBytes, "envelope points");
        info.envelope.reserve(std::min(count, ReadLimits::kMaxEnvelopePoints));
        for (size_t i = 0; i < count; ++i) {
            SoundEnvelopePoint p;
            p.pos44 = r.U32();
            p.left = r.U16();
            p.right = r.U16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

}  // namespace

uint32_t SoundRateFromCode(unsigned code) {
    static constexpr uint32_t kRates[] = {5512, 11025, 22050, 44100};
    return kRates[code & 3];
}

void TimelineBuilder::AddSound(SoundStart start) {
    if (pending_.sounds.size() >= ReadLimits::kMaxSoundStartsPerFrame)
        throw ReadError("too many sounds started in one frame");
    pending_.sounds.push_back(std::move(start));
    pendingUsed_ = true;
}

void TimelineBuilder::SetStreamHead(const StreamHead& head) {
    if (!out_.stream.present) out_.stream = head;  // the first head wins
}

void TimelineBuilder::SetStreamBlock(StreamBlock block) {
    if (!pending_.streamBlock) pending_.streamBlock = std::move(block);
    pendingUsed_ = true;
}

void ReadDefineSound(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto sound = std::make_unique<SoundCharacter>();
    sound->format = ReadFormat(r);
    sound->sampleCount = r.U32();
    sound->data = TakeBytes(r, ctx);
    ctx.Define(id, std::move(sound));
}

void ReadStartSound(ByteReader& r, uint16_t code, ReadContext& ctx, TimelineBuilder& tl) {
    (void)ctx;
    SoundStart start;
    if (code == kTagStartSound2)
        start.className = r.String();
    else
        start.soundId = r.U16();
    start.info = ReadSoundInfo(r);
    tl.AddSound(std::move(start));
}

void ReadSoundStreamHead(ByteReader& r, ReadContext& ctx, TimelineBuilder& tl) {
    (void)ctx;
    StreamHead head;
    r.Bits(4);
    r.Bits(4);  // the playback format: the player's choice, not the data's
    head.format = ReadFormat(r);
    head.samplesPerBlock = r.U16();
    if (head.format.codec == SoundCodec::Mp3 && r.Remaining() >= 2) head.latencySeek = r.S16();
    head.present = true;
    tl.SetStreamHead(head);
}

void ReadSoundStreamBlock(ByteReader& r, ReadContext& ctx, TimelineBuilder& tl) {
    tl.SetStreamBlock(std::make_shared<const std::vector<uint8_t>>(TakeBytes(r, ctx)));
}

void ReadDefineButtonSound(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto it = ctx.movie.dictionary.find(id);
    if (it == ctx.movie.dictionary.end() || it->second->kind != CharacterKind::Button)
        throw ReadError("character " + std::to_string(id) + " is not a button");
    ButtonSounds sounds;
    for (SoundStart& s : sounds.transitions) {
        if (r.AtEnd()) break;
        s.soundId = r.U16();
        if (s.soundId != 0) s.info = ReadSoundInfo(r);
    }
    static_cast<ButtonCharacter&>(*it->second).sounds = std::move(sounds);
}

}  // namespace swf
