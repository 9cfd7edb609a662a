// swfmake: writes SWF movies from code, for our sample movies and tests.
//
// A TagList is a timeline (the movie's or a sprite's): definition and
// control tags in order. SwfWriter adds the header and writes the file,
// plain ("FWS") or zlib-compressed ("CWS"). Nothing here validates what the
// caller asks for: tests use that (Raw, SetFrameCount) to write damaged
// movies on purpose.
//
// Units are the file's: twips for coordinates, 16.16 matrices, 8.8 colour
// transform factors, 0-based frame numbers in actions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Effects.h"
#include "swf/model/FormatCodes.h"
#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"
#include "swf/model/Sound.h"
#include "tools/swfmake/Actions.h"
#include "tools/swfmake/ShapeEncoder.h"

namespace swfmake {

// An onClipEvent handler: its events (swf::ClipEventFlags) and, for
// keyPress, the key.
struct ClipHandler {
    uint32_t events = 0;
    Actions actions;
    uint8_t keyCode = 0;
};

// PlaceObject2/3. Optional fields are written only when set. Clip handlers
// are written with 32-bit event flags, for movies of version 6 and later.
struct Placement {
    uint16_t depth = 1;
    std::optional<uint16_t> characterId;
    bool move = false;  // modify (or replace) what is at `depth`
    std::optional<swf::Matrix> matrix;
    std::optional<swf::ColorTransform> cxform;  // written with alpha
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    // PlaceObject3 only.
    std::optional<swf::FilterList> filters;
    std::optional<uint8_t> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<std::string> className;
    std::optional<bool> visible;
    std::vector<ClipHandler> clipActions;
};

// A new character at `depth`, optionally with a matrix.
Placement NewPlacement(uint16_t depth, uint16_t characterId,
                       const std::optional<swf::Matrix>& matrix = std::nullopt);
// Changes what is already at `depth` (PlaceObject2 "move").
Placement MovePlacement(uint16_t depth, const std::optional<swf::Matrix>& matrix,
                        const std::optional<swf::ColorTransform>& cxform = std::nullopt);

struct ButtonRecord {
    uint8_t states = swf::kButtonUp;  // ButtonStateFlags
    uint16_t characterId = 0;
    uint16_t depth = 1;
    swf::Matrix matrix;
    swf::ColorTransform cxform;  // DefineButton2 only
};

// DefineButton2's per-record filters and blend mode.
struct ButtonRecordEffects {
    std::optional<swf::FilterList> filters;
    std::optional<uint8_t> blendMode;
};

struct ButtonCondAction {
    uint16_t conditions = swf::kCondOverDownToOverUp;  // ButtonCondition bits
    Actions actions;
};

class TagList {
public:
    void SetBackgroundColor(swf::Rgba color);
    void ShowFrame();
    void FrameLabel(const std::string& label, bool namedAnchor = false);
    void End();

    // version 1..4 chooses DefineShape..DefineShape4.
    void DefineShape(uint16_t id, const swf::Shape& shape, int version = 3,
                     const ShapeOptions& options = {});

    // Bitmaps (tools/swfmake/BitmapTags.cpp). Image data is written as given:
    // a JPEG, or for JPEG2/3/4 also a PNG or GIF (ImageEncode.h). An alpha
    // plane (one byte per pixel) is compressed here.
    void JpegTables(const std::vector<uint8_t>& tables);
    void DefineBits(uint16_t id, const std::vector<uint8_t>& imageWithoutTables);
    void DefineBitsJpeg2(uint16_t id, const std::vector<uint8_t>& image);
    void DefineBitsJpeg3(uint16_t id, const std::vector<uint8_t>& image, const std::vector<uint8_t>& alpha);
    void DefineBitsJpeg4(uint16_t id, const std::vector<uint8_t>& image, const std::vector<uint8_t>& alpha,
                         uint16_t deblocking);
    // body: EncodeLosslessBody's output.
    void DefineBitsLossless(uint16_t id, const std::vector<uint8_t>& body, bool withAlpha);

    // version 1 or 2: DefineMorphShape or DefineMorphShape2.
    void DefineMorphShape(uint16_t id, const swf::MorphShape& morph, int version = 1);

    void PlaceObject(uint16_t id, uint16_t depth, const swf::Matrix& matrix = {},
                     const std::optional<swf::ColorTransform>& cxform = std::nullopt);
    void PlaceObject2(const Placement& p);
    void PlaceObject3(const Placement& p);
    void RemoveObject(uint16_t id, uint16_t depth);
    void RemoveObject2(uint16_t depth);

    // Frame count is the sprite's ShowFrame count; End is added if missing.
    void DefineSprite(uint16_t id, const TagList& sprite);
    void DefineButton(uint16_t id, const std::vector<ButtonRecord>& records,
                      const Actions& actions);
    // `effects`, when given, pairs with `records` by index.
    void DefineButton2(uint16_t id, const std::vector<ButtonRecord>& records,
                       const std::vector<ButtonCondAction>& actions, bool trackAsMenu = false,
                       const std::vector<ButtonRecordEffects>& effects = {});
    void DoAction(const Actions& actions);
    // The 9-slice centre of a sprite or button, in its twips.
    void DefineScalingGrid(uint16_t id, const swf::Rect& center);
    // Run once for sprite `spriteId` before the actions of its frame.
    void DoInitAction(uint16_t spriteId, const Actions& actions);
    // Linkage names for attachMovie.
    void ExportAssets(const std::vector<std::pair<uint16_t, std::string>>& assets);

    // Sounds (tools/swfmake/SoundTags.cpp). Data is written as given: the
    // caller codes it (SoundEncode.h), MP3 with its seek-sample prefix.
    void DefineSound(uint16_t id, const swf::SoundFormat& format, uint32_t sampleCount,
                     const std::vector<uint8_t>& data);
    void StartSound(uint16_t soundId, const swf::SoundInfo& info = {});
    void StartSound2(const std::string& className, const swf::SoundInfo& info = {});
    // SoundStreamHead2 (or SoundStreamHead when `version2` is false).
    void SoundStreamHead(const swf::SoundFormat& format, uint16_t samplesPerBlock, int16_t latencySeek = 0,
                         bool version2 = true);
    void SoundStreamBlock(const std::vector<uint8_t>& data);
    // One sound per transition (ButtonSounds order); id 0: none.
    void DefineButtonSound(uint16_t buttonId, const swf::ButtonSounds& sounds);

    // Any tag; longForm forces the 6-byte header even for short bodies.
    void Raw(uint16_t code, const std::vector<uint8_t>& body, bool longForm = false);
    // Appends bytes with no tag header at all (truncated or garbage tails).
    void RawBytes(const std::vector<uint8_t>& bytes);

    int FrameCount() const { return frames_; }
    bool EndsWithEnd() const { return endsWithEnd_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int frames_ = 0;
    bool endsWithEnd_ = false;
};

class SwfWriter {
public:
    SwfWriter(uint8_t version, const swf::Rect& stage, double framesPerSecond);

    // The root timeline.
    TagList& Tags() { return tags_; }
    const TagList& Tags() const { return tags_; }

    void SetVersion(uint8_t version) { version_ = version; }
    void SetStage(const swf::Rect& stage) { stage_ = stage; }
    // 8.8 fixed point, as stored.
    void SetFrameRateFixed(uint16_t rate) { frameRate_ = rate; }
    // Overrides the counted ShowFrames, for damaged headers.
    void SetFrameCount(uint16_t count) { frameCount_ = count; }
    // Overrides the header's FileLength (otherwise the true length).
    void SetFileLength(uint32_t length) { fileLength_ = length; }

    // Ids for definitions, from 1 up.
    uint16_t NextId() { return nextId_++; }

    // End is appended unless the list already ends with it.
    std::vector<uint8_t> Write(bool compressed) const;
    // The same movie as "ZWS": LZMA after the 8-byte header.
    std::vector<uint8_t> WriteLzma() const;
    bool WriteFile(const std::string& path, bool compressed) const;

private:
    uint8_t version_;
    swf::Rect stage_;
    uint16_t frameRate_;
    std::optional<uint16_t> frameCount_;
    std::optional<uint32_t> fileLength_;
    uint16_t nextId_ = 1;
    TagList tags_;
};

// Converts frames per second to the header's 8.8 value, rounded.
uint16_t FrameRateFixed(double framesPerSecond);
// zlib-compresses (used for CWS; exposed for tests).
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data);
// A ZWS body: compressed length, the 5 LZMA property bytes, raw LZMA data.
std::vector<uint8_t> LzmaBody(const std::vector<uint8_t>& data);

}  // namespace swfmake
