// What the tag readers share: the read context (the movie being
// built, its error list and the allocation budgets), and one entry point per
// tag family. Each reader gets a ByteReader over exactly its tag's body and
// throws ReadError on anything it cannot read; the tag loop reports it with
// the tag's code and offset and goes on with the next tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/FormatCodes.h"
#include "swf/model/Movie.h"
#include "swf/read/ByteReader.h"

namespace swf {

const char* TagName(uint16_t code);

// Caps on what a movie may make the reader allocate, whatever its counts
// say. Generous for real movies; a hostile one gets an error instead.
struct ReadLimits {
    static constexpr size_t kMaxFramesPerTimeline = 16000;
    static constexpr size_t kMaxFramesTotal = 1 << 18;
    static constexpr size_t kMaxEdgesPerShape = 1 << 20;
    static constexpr size_t kMaxEdgesTotal = 1 << 22;
    static constexpr size_t kMaxLayersPerShape = 1 << 12;
    static constexpr size_t kMaxCommandsTotal = 1 << 20;
    static constexpr size_t kMaxActionsTotal = 1 << 20;
    // Decoded pixels of all bitmaps together.
    static constexpr size_t kMaxBitmapBytesTotal = size_t(256) << 20;
    static constexpr size_t kMaxGlyphsTotal = 1 << 18;
    // Coded sound bytes (DefineSound and stream blocks) of all sounds.
    static constexpr size_t kMaxSoundBytesTotal = size_t(256) << 20;
    static constexpr size_t kMaxEnvelopePoints = 255;
    static constexpr size_t kMaxSoundStartsPerFrame = 64;
};

struct ReadContext {
    Movie& movie;
    std::vector<std::string>& errors;
    uint8_t version = 0;
    size_t framesLeft = ReadLimits::kMaxFramesTotal;
    size_t edgesLeft = ReadLimits::kMaxEdgesTotal;
    size_t commandsLeft = ReadLimits::kMaxCommandsTotal;
    size_t actionsLeft = ReadLimits::kMaxActionsTotal;
    size_t bitmapBytesLeft = ReadLimits::kMaxBitmapBytesTotal;
    std::vector<uint8_t> jpegTables{};  // JPEGTables, shared by every DefineBits
    size_t glyphsLeft = ReadLimits::kMaxGlyphsTotal;  // font glyphs and text glyphs
    size_t soundBytesLeft = ReadLimits::kMaxSoundBytesTotal;

    // Adds a character unless its id is taken (the first definition wins).
    void Define(uint16_t id, std::unique_ptr<Character> c);
};

// Collects the frames of one timeline while its tags are read.
class TimelineBuilder {
public:
    TimelineBuilder(ReadContext& ctx, TimelineData& out) : ctx_(ctx), out_(out) {}
    void AddCommand(DisplayCommand cmd);
    void AddActions(ActionBlock block);
    void AddInitActions(InitAction init);
    void SetLabel(const std::string& label);
    void SetBackground(Rgba c) { background_ = c; }
    // SoundReader.cpp
    void AddSound(SoundStart start);
    void SetStreamHead(const StreamHead& head);
    void SetStreamBlock(StreamBlock block);
    void ShowFrame();
    // Keeps a last frame that never got its ShowFrame and pads to the
    // header's count; a timeline always ends with at least 1 frame. `ended`:
    // the stream stopped at an End tag.
    void Finish(uint16_t declaredFrames, const std::string& where, bool ended);

private:
    ReadContext& ctx_;
    TimelineData& out_;
    Frame pending_;
    bool pendingUsed_ = false;
    Rgba background_{255, 255, 255, 255};
};

// Appends to a movie's error list, which stays short whatever the movie.
void ReportError(std::vector<std::string>& errors, std::string message);

// Reads tags from `body` until End or its end. A root stream takes every
// tag; a sprite's stream only the control tags. False when it stopped
// without an End tag.
bool ReadTagStream(ByteReader& body, ReadContext& ctx, TimelineBuilder& timeline, bool isSprite,
                   int spriteDepth);

// Family readers. `r` covers exactly the tag body.
void ReadDefineShape(ByteReader& r, uint16_t code, ReadContext& ctx);
// A font's glyph: shape records with one implied fill and no lines.
void ReadGlyphShape(ByteReader& r, ReadContext& ctx, Shape& out);
void ReadDefineFont(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadDefineFontInfo(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadDefineFontAlignZones(ByteReader& r, ReadContext& ctx);
void ReadDefineFontName(ByteReader& r, ReadContext& ctx);
void ReadDefineText(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadDefineEditText(ByteReader& r, ReadContext& ctx);
void ReadCsmTextSettings(ByteReader& r, ReadContext& ctx);
void ReadPlaceObject(ByteReader& r, uint16_t code, ReadContext& ctx, TimelineBuilder& tl);
void ReadRemoveObject(ByteReader& r, uint16_t code, ReadContext& ctx, TimelineBuilder& tl);
void ReadDefineSprite(ByteReader& r, ReadContext& ctx, int spriteDepth);
void ReadDefineButton(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadDefineButtonCxform(ByteReader& r, ReadContext& ctx);
// An action list up to its end flag (or the slice end). On damage `out`
// keeps the actions before it and ReadError is thrown.
void ReadActionBlock(ByteReader& r, ReadContext& ctx, ActionBlock& out);
// ClipActionReader.cpp
std::shared_ptr<const std::vector<ClipEventAction>> ReadClipActions(ByteReader& r, ReadContext& ctx);
void ReadExportAssets(ByteReader& r, ReadContext& ctx);
// A PlaceObject3 / DefineButton2 filter list (FilterReader.cpp).
FilterList ReadFilterList(ByteReader& r);
void ReadDefineScalingGrid(ByteReader& r, ReadContext& ctx);
void ReadJpegTables(ByteReader& r, ReadContext& ctx);
// DefineBits, DefineBitsJPEG2/3/4.
void ReadDefineBitsJpeg(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadDefineBitsLossless(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadDefineMorphShape(ByteReader& r, uint16_t code, ReadContext& ctx);
// DoABC and SymbolClass, root timeline only (AbcTags.cpp).
void ReadDoAbc(ByteReader& r, uint16_t code, ReadContext& ctx);
void ReadSymbolClass(ByteReader& r, ReadContext& ctx);
void ReadSceneData(ByteReader& r, ReadContext& ctx);
void ReadBinaryData(ByteReader& r, ReadContext& ctx);
// SoundReader.cpp: DefineSound, StartSound/2, SoundStreamHead/2,
// SoundStreamBlock and DefineButtonSound.
void ReadDefineSound(ByteReader& r, ReadContext& ctx);
void ReadStartSound(ByteReader& r, uint16_t code, ReadContext& ctx, TimelineBuilder& tl);
void ReadSoundStreamHead(ByteReader& r, ReadContext& ctx, TimelineBuilder& tl);
void ReadSoundStreamBlock(ByteReader& r, ReadContext& ctx, TimelineBuilder& tl);
void ReadDefineButtonSound(ByteReader& r, ReadContext& ctx);

// zlib data into `out`, at most `limit` bytes. False on a damaged or short
// stream (what came out before is kept).
bool Inflate(const uint8_t* in, size_t inSize, size_t limit, std::vector<uint8_t>& out,
             std::string* error);
// A "ZWS" body (compressed length, LZMA properties, raw LZMA data) into
// `out`, at most `limit` bytes; false on a damaged or short stream.
constexpr size_t kLzmaSizeBytes = 4;
constexpr size_t kLzmaPropsBytes = 5;
constexpr size_t kLzmaHeaderBytes = kLzmaSizeBytes + kLzmaPropsBytes;
bool DecompressLzma(const uint8_t* in, size_t inSize, size_t limit, std::vector<uint8_t>& out,
                    std::string* error);

// DefineShape4's caps, join, flags and miter limit, after the width.
void ReadLineStyle2Flags(ByteReader& r, LineStyle& line);
// The records of a SHAPE (style bit counts, then edges) into `layer`, whose
// style arrays are set already; every edge is kept, unstyled ones too. On
// damage `layer` keeps the edges before it and ReadError is thrown.
void ReadShapeRecords(ByteReader& r, ReadContext& ctx, ShapeLayer& layer);

}  // namespace swf
