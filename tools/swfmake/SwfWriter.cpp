#include "tools/swfmake/SwfWriter.h"

#include <lzma.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "tools/swfmake/FilterWriter.h"

namespace swfmake {

namespace {

constexpr int kRgbaCxformVersion = 2;
constexpr uint8_t kButtonHasFilters = 0x10, kButtonHasBlendMode = 0x20;

const uint16_t kShapeTagForVersion[] = {swf::kTagDefineShape, swf::kTagDefineShape, swf::kTagDefineShape2,
                                        swf::kTagDefineShape3, swf::kTagDefineShape4};

void WritePlacementBody(ByteWriter& w, const Placement& p, bool version3) {
    uint8_t flags = (p.move ? swf::kPlaceMove : 0) | (p.characterId ? swf::kPlaceHasCharacter : 0) |
                    (p.matrix ? swf::kPlaceHasMatrix : 0) | (p.cxform ? swf::kPlaceHasCxform : 0) |
                    (p.ratio ? swf::kPlaceHasRatio : 0) | (p.name ? swf::kPlaceHasName : 0) |
                    (p.clipDepth ? swf::kPlaceHasClipDepth : 0) |
                    (p.clipActions.empty() ? 0 : swf::kPlaceHasClipActions);
    w.U8(flags);
    if (version3) {
        w.U8((p.filters ? swf::kPlace3HasFilters : 0) | (p.blendMode ? swf::kPlace3HasBlendMode : 0) |
             (p.cacheAsBitmap ? swf::kPlace3HasCacheAsBitmap : 0) |
             (p.className ? swf::kPlace3HasClassName : 0) | (p.visible ? swf::kPlace3HasVisible : 0));
    }
    w.U16(p.depth);
    if (version3 && p.className) w.String(*p.className);
    if (p.characterId) w.U16(*p.characterId);
    if (p.matrix) w.Matrix(*p.matrix);
    if (p.cxform) w.ColorTransform(*p.cxform, true);
    if (p.ratio) w.U16(*p.ratio);
    if (p.name) w.String(*p.name);
    if (p.clipDepth) w.U16(*p.clipDepth);
    if (version3 && p.filters) WriteFilterList(w, *p.filters);
    if (version3 && p.blendMode) w.U8(*p.blendMode);
    if (version3 && p.cacheAsBitmap) w.U8(*p.cacheAsBitmap ? 1 : 0);
    if (version3 && p.visible) w.U8(*p.visible ? 1 : 0);
    if (p.clipActions.empty()) return;
    uint32_t all = 0;
    for (const ClipHandler& h : p.clipActions) all |= h.events;
    w.U16(0);
    w.U32(all);
    for (const ClipHandler& h : p.clipActions) {
        const std::vector<uint8_t> body = h.actions.Encode();
        const bool key = (h.events & swf::kClipKeyPress) != 0;
        w.U32(h.events);
        w.U32(static_cast<uint32_t>(body.size() + (key ? 1 : 0)));
        if (key) w.U8(h.keyCode);
        w.Raw(body);
    }
    w.U32(0);
}

void WriteButtonRecords(ByteWriter& w, const std::vector<ButtonRecord>& records, int version,
                        const std::vector<ButtonRecordEffects>& effects = {}) {
    for (size_t i = 0; i < records.size(); ++i) {
        const ButtonRecord& r = records[i];
        const ButtonRecordEffects fx = i < effects.size() ? effects[i] : ButtonRecordEffects{};
        w.U8(uint8_t(r.states | (fx.filters ? kButtonHasFilters : 0) | (fx.blendMode ? kButtonHasBlendMode : 0)));
        w.U16(r.characterId);
        w.U16(r.depth);
        w.Matrix(r.matrix);
        if (version < kRgbaCxformVersion) continue;
        w.ColorTransform(r.cxform, true);
        if (fx.filters) WriteFilterList(w, *fx.filters);
        if (fx.blendMode) w.U8(*fx.blendMode);
    }
    w.U8(0);  // CharacterEndFlag
}

}  // namespace

Placement NewPlacement(uint16_t depth, uint16_t characterId,
                       const std::optional<swf::Matrix>& matrix) {
    Placement p;
    p.depth = depth;
    p.characterId = characterId;
    p.matrix = matrix;
    return p;
}

Placement MovePlacement(uint16_t depth, const std::optional<swf::Matrix>& matrix,
                        const std::optional<swf::ColorTransform>& cxform) {
    Placement p;
    p.depth = depth;
    p.move = true;
    p.matrix = matrix;
    p.cxform = cxform;
    return p;
}

uint16_t FrameRateFixed(double framesPerSecond) {
    constexpr double kOne = 256.0;
    constexpr double kMax = 65535.0;
    double v = std::round(framesPerSecond * kOne);
    if (v < 0) v = 0;
    if (v > kMax) v = kMax;
    return static_cast<uint16_t>(v);
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

std::vector<uint8_t> LzmaBody(const std::vector<uint8_t>& data) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    constexpr size_t kPropsBytes = 5;
    constexpr size_t kSizeBytes = 4;
    std::vector<uint8_t> out(kSizeBytes + kPropsBytes + data.size() + data.size() / 2 + 1024);
    if (lzma_properties_encode(&filters[0], out.data() + kSizeBytes) != LZMA_OK) return {};
    lzma_stream zs = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&zs, filters) != LZMA_OK) return {};
    zs.next_in = data.data();
    zs.avail_in = data.size();
    zs.next_out = out.data() + kSizeBytes + kPropsBytes;
    zs.avail_out = out.size() - kSizeBytes - kPropsBytes;
    lzma_ret rc = lzma_code(&zs, LZMA_FINISH);
    size_t packed = zs.total_out;
    lzma_end(&zs);
    if (rc != LZMA_STREAM_END) return {};
    out.resize(kSizeBytes + kPropsBytes + packed);
    for (size_t i = 0; i < kSizeBytes; ++i) out[i] = uint8_t(packed >> (8 * i));
    return out;
}

void TagList::Raw(uint16_t code, const std::vector<uint8_t>& body, bool longForm) {
    ByteWriter w;
    uint32_t length = static_cast<uint32_t>(body.size());
    if (!longForm && length <= swf::kTagShortLengthMax) {
        w.U16(static_cast<uint16_t>((code << swf::kTagCodeShift) | length));
    } else {
        w.U16(static_cast<uint16_t>((code << swf::kTagCodeShift) | swf::kTagLongLength));
        w.U32(length);
    }
    w.Raw(body);
    RawBytes(w.Take());
    if (code == swf::kTagShowFrame) ++frames_;
    endsWithEnd_ = code == swf::kTagEnd;
}

void TagList::RawBytes(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    endsWithEnd_ = false;
}

void TagList::SetBackgroundColor(swf::Rgba color) {
    ByteWriter w;
    w.Rgb(color);
    Raw(swf::kTagSetBackgroundColor, w.Take());
}

void TagList::ShowFrame() { Raw(swf::kTagShowFrame, {}); }

void TagList::End() { Raw(swf::kTagEnd, {}); }

void TagList::FrameLabel(const std::string& label, bool namedAnchor) {
    ByteWriter w;
    w.String(label);
    if (namedAnchor) w.U8(1);
    Raw(swf::kTagFrameLabel, w.Take());
}

void TagList::DefineShape(uint16_t id, const swf::Shape& shape, int version,
                          const ShapeOptions& options) {
    constexpr int kMaxShapeVersion = 4;
    if (version < 1) version = 1;
    if (version > kMaxShapeVersion) version = kMaxShapeVersion;
    Raw(kShapeTagForVersion[version], EncodeDefineShape(id, shape, version, options));
}

void TagList::PlaceObject(uint16_t id, uint16_t depth, const swf::Matrix& matrix,
                          const std::optional<swf::ColorTransform>& cxform) {
    ByteWriter w;
    w.U16(id);
    w.U16(depth);
    w.Matrix(matrix);
    if (cxform) w.ColorTransform(*cxform, false);
    Raw(swf::kTagPlaceObject, w.Take());
}

void TagList::PlaceObject2(const Placement& p) {
    ByteWriter w;
    WritePlacementBody(w, p, false);
    Raw(swf::kTagPlaceObject2, w.Take());
}

void TagList::PlaceObject3(const Placement& p) {
    ByteWriter w;
    WritePlacementBody(w, p, true);
    Raw(swf::kTagPlaceObject3, w.Take());
}

void TagList::ExportAssets(const std::vector<std::pair<uint16_t, std::string>>& assets) {
    ByteWriter w;
    w.U16(static_cast<uint16_t>(assets.size()));
    for (const auto& a : assets) {
        w.U16(a.first);
        w.String(a.second);
    }
    Raw(swf::kTagExportAssets, w.Take());
}

void TagList::DefineScalingGrid(uint16_t id, const swf::Rect& center) {
    ByteWriter w;
    w.U16(id);
    w.Rect(center);
    Raw(swf::kTagDefineScalingGrid, w.Take());
}

void TagList::RemoveObject(uint16_t id, uint16_t depth) {
    ByteWriter w;
    w.U16(id);
    w.U16(depth);
    Raw(swf::kTagRemoveObject, w.Take());
}

void TagList::RemoveObject2(uint16_t depth) {
    ByteWriter w;
    w.U16(depth);
    Raw(swf::kTagRemoveObject2, w.Take());
}

void TagList::DefineSprite(uint16_t id, const TagList& sprite) {
    ByteWriter w;
    w.U16(id);
    w.U16(static_cast<uint16_t>(sprite.FrameCount()));
    w.Raw(sprite.Bytes());
    if (!sprite.EndsWithEnd()) w.U16(0);  // End tag header: code 0, length 0
    Raw(swf::kTagDefineSprite, w.Take());
}

void TagList::DefineButton(uint16_t id, const std::vector<ButtonRecord>& records,
                           const Actions& actions) {
    ByteWriter w;
    w.U16(id);
    WriteButtonRecords(w, records, 1);
    w.Raw(actions.Encode());
    Raw(swf::kTagDefineButton, w.Take());
}

void TagList::DefineButton2(uint16_t id, const std::vector<ButtonRecord>& records,
                            const std::vector<ButtonCondAction>& actions, bool trackAsMenu,
                            const std::vector<ButtonRecordEffects>& effects) {
    constexpr uint16_t kActionOffsetFieldSize = 2;
        ByteWriter recordBytes;
    WriteButtonRecords(recordBytes, records, kRgbaCxformVersion, effects);
    ByteWriter w;
    w.U16(id);
    w.U8(trackAsMenu ? swf::kButton2TrackAsMenu : 0);
    // ActionOffset counts from its own first byte; 0 means no actions.
    w.U16(actions.empty() ? 0
                          : static_cast<uint16_t>(kActionOffsetFieldSize + recordBytes.Size()));
    w.Raw(recordBytes.Take());
    for (size_t i = 0; i < actions.size(); ++i) {
        std::vector<uint8_t> code = actions[i].actions.Encode();
        bool last = i + 1 == actions.size();
        w.U16(last ? 0 : static_cast<uint16_t>(swf::kButtonCondHeaderBytes + code.size()));
        w.U16(actions[i].conditions);
        w.Raw(code);
    }
    Raw(swf::kTagDefineButton2, w.Take());
}

void TagList::DoAction(const Actions& actions) { Raw(swf::kTagDoAction, actions.Encode()); }

void TagList::DoInitAction(uint16_t spriteId, const Actions& actions) {
    ByteWriter w;
    w.U16(spriteId);
    w.Raw(actions.Encode());
    Raw(swf::kTagDoInitAction, w.Take());
}

SwfWriter::SwfWriter(uint8_t version, const swf::Rect& stage, double framesPerSecond)
    : version_(version), stage_(stage), frameRate_(FrameRateFixed(framesPerSecond)) {}

std::vector<uint8_t> SwfWriter::Write(bool compressed) const {
    ByteWriter body;
    body.Rect(stage_);
    body.U16(frameRate_);
    body.U16(frameCount_ ? *frameCount_ : static_cast<uint16_t>(tags_.FrameCount()));
    body.Raw(tags_.Bytes());
    if (!tags_.EndsWithEnd()) body.U16(0);
    std::vector<uint8_t> rest = body.Take();

    ByteWriter file;
    file.U8(compressed ? 'C' : 'F');
    file.U8('W');
    file.U8('S');
    file.U8(version_);
    file.U32(fileLength_ ? *fileLength_ : static_cast<uint32_t>(swf::kFileSignatureBytes + rest.size()));
    file.Raw(compressed ? Deflate(rest) : rest);
    return file.Take();
}

std::vector<uint8_t> SwfWriter::WriteLzma() const {
    std::vector<uint8_t> plain = Write(false);
    std::vector<uint8_t> rest(plain.begin() + swf::kFileSignatureBytes, plain.end());
    std::vector<uint8_t> out(plain.begin(), plain.begin() + swf::kFileSignatureBytes);
    out[0] = 'Z';
    std::vector<uint8_t> body = LzmaBody(rest);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool SwfWriter::WriteFile(const std::string& path, bool compressed) const {
    std::vector<uint8_t> bytes = Write(compressed);
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
    return std::fclose(f.release()) == 0;
}

}  // namespace swfmake
