// DefineMorphShape and DefineMorphShape2 into swf::MorphShape.
//
// Layout: id, start and end bounds (MorphShape2: both edge bounds and the
// stroke-scaling flags), the offset of the end edges, style pairs, then the
// start edges (with style changes) and the end edges (moves only). Edges
// pair up in order. Colours are RGBA. Style and edge counts are bounded
// like DefineShape's.
#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr size_t kMinMorphFillBytes = 9;   // type + two RGBA colours
constexpr size_t kMinMorphLineBytes = 12;  // two widths + two RGBA colours
constexpr int kMorphGradientCountMask = 0x0F;

class MorphParser {
public:
    MorphParser(ByteReader& r, int version) : r_(r), version_(version) {}
    void ReadStyles(MorphShape& m);

private:
    void ReadFill(FillStyle& start, FillStyle& end);
    void ReadLine(LineStyle& start, LineStyle& end);
    void ReadGradient(Gradient& start, Gradient& end);
    size_t Count();

    ByteReader& r_;
    int version_;
};

size_t MorphParser::Count() {
    size_t n = r_.U8();
    return n == kExtendedCount ? r_.U16() : n;
}

void MorphParser::ReadGradient(Gradient& start, Gradient& end) {
    const uint8_t head = r_.U8();
    start.spread = end.spread = SpreadMode(std::min<int>(head >> 6, int(SpreadMode::Repeat)));
    start.interpolation = end.interpolation = ((head >> 4) & 3) == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
    const int count = head & kMorphGradientCountMask;
    uint8_t lastStart = 0, lastEnd = 0;
    for (int i = 0; i < count && i < kMaxGradientStops; ++i) {
        GradientStop s, e;
        s.ratio = lastStart = std::max(r_.U8(), lastStart);
        s.color = r_.Rgba32();
        e.ratio = lastEnd = std::max(r_.U8(), lastEnd);
        e.color = r_.Rgba32();
        start.stops.push_back(s);
        end.stops.push_back(e);
    }
}

void MorphParser::ReadFill(FillStyle& start, FillStyle& end) {
    const uint8_t type = r_.U8();
    switch (type) {
    case kFillSolid:
        start.color = r_.Rgba32();
        end.color = r_.Rgba32();
        return;
    case kFillLinear:
    case kFillRadial:
    case kFillFocal:
        start.kind = end.kind = type == kFillLinear   ? FillKind::LinearGradient
                                : type == kFillRadial ? FillKind::RadialGradient
                                                      : FillKind::FocalRadialGradient;
        start.matrix = r_.ReadMatrix();
        end.matrix = r_.ReadMatrix();
        ReadGradient(start.gradient, end.gradient);
        if (type == kFillFocal) {
            start.gradient.focalPoint = r_.S16();
            end.gradient.focalPoint = r_.S16();
        }
        if (start.gradient.stops.empty()) {
            start = end = FillStyle();
            start.color = end.color = Rgba{0, 0, 0, 0};
        }
        return;
    case kFillBitmapRepeatSmooth:
    case kFillBitmapClipSmooth:
    case kFillBitmapRepeat:
    case kFillBitmapClip:
        start.kind = end.kind = FillKind::Bitmap;
        start.bitmapId = end.bitmapId = r_.U16();
        start.matrix = r_.ReadMatrix();
        end.matrix = r_.ReadMatrix();
        start.bitmapRepeat = end.bitmapRepeat = type == kFillBitmapRepeatSmooth || type == kFillBitmapRepeat;
        start.bitmapSmooth = end.bitmapSmooth = type == kFillBitmapRepeatSmooth || type == kFillBitmapClipSmooth;
        return;
    default: throw ReadError("unknown morph fill style type " + std::to_string(type));
    }
}

void MorphParser::ReadLine(LineStyle& start, LineStyle& end) {
    start.width = r_.U16();
    end.width = r_.U16();
    if (version_ >= 2) {
        ReadLineStyle2Flags(r_, start);
        const uint16_t width = end.width;
        end = start;
        end.width = width;
        if (start.hasFill) {
            ReadFill(start.fill, end.fill);
            return;
        }
    }
    start.color = r_.Rgba32();
    end.color = r_.Rgba32();
}

void MorphParser::ReadStyles(MorphShape& m) {
    const size_t fills = Count();
    r_.RequireItems(fills, kMinMorphFillBytes, "morph fill style count");
    m.startFills.resize(fills);
    m.endFills.resize(fills);
    for (size_t i = 0; i < fills; ++i) ReadFill(m.startFills[i], m.endFills[i]);
    const size_t lines = Count();
    r_.RequireItems(lines, kMinMorphLineBytes, "morph line style count");
    m.startLines.resize(lines);
    m.endLines.resize(lines);
    for (size_t i = 0; i < lines; ++i) ReadLine(m.startLines[i], m.endLines[i]);
}

}  // namespace

void ReadDefineMorphShape(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const int version = code == kTagDefineMorphShape2 ? 2 : 1;
    const uint16_t id = r.U16();
    auto c = std::make_unique<MorphShapeCharacter>();
    MorphShape& m = c->morph;
    m.startBounds = r.ReadRect();
    m.endBounds = r.ReadRect();
    m.startEdgeBounds = m.startBounds;
    m.endEdgeBounds = m.endBounds;
    if (version == 2) {
        m.startEdgeBounds = r.ReadRect();
        m.endEdgeBounds = r.ReadRect();
        r.U8();  // stroke-scaling hints
    }
    const uint32_t offset = r.U32();
    const size_t endEdgesAt = r.Pos() + offset;
    MorphParser(r, version).ReadStyles(m);
    ShapeLayer start, end;
    start.fills = m.startFills;
    start.lines = m.startLines;
    ReadShapeRecords(r, ctx, start);
    // The offset says where the end edges start; without a usable one they
    // follow the start edges.
    if (offset != 0 && endEdgesAt >= r.Pos() && endEdgesAt < r.Size()) r.Skip(endEdgesAt - r.Pos());
    ReadShapeRecords(r, ctx, end);
    if (start.edges.size() != end.edges.size())
        throw ReadError("start has " + std::to_string(start.edges.size()) + " edges, end " +
                        std::to_string(end.edges.size()));
    m.startEdges = std::move(start.edges);
    m.endEdges = std::move(end.edges);
    ctx.Define(id, std::move(c));
}

}  // namespace swf
