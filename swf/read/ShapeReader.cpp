// DefineShape 1-4: style arrays and shape records into swf::Shape.
//
// Versions differ only in details: colours are RGB in 1 and 2 and RGBA from
// 3; an extended (16-bit) fill style count exists from 2; line styles carry
// caps, joins and optional fills in 4. Style indices that point past their
// array are read as "no style" so the renderer never indexes out of range;
// gradient ratios are kept as given, in any order (the ramp decides what they
// show), and an empty gradient becomes a transparent fill.
#include <algorithm>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr size_t kMinFillBytes = 3;  // type + shortest payload
constexpr int16_t kFocalMax = 256;  // 1.0 in 8.8

int32_t SatAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

class ShapeParser {
public:
    // presetStyles: the first layer's style arrays are given (a morph's), and
    // every edge is kept, unstyled ones too, so start and end edges pair up.
    ShapeParser(ByteReader& r, int version, ReadContext& ctx, bool presetStyles = false)
        : r_(r), version_(version), ctx_(ctx), preset_(presetStyles) {}

    // A glyph has no style arrays: one implied fill, no lines.
    void Read(Shape& shape, bool glyph = false);

private:
    Rgba Color() { return version_ >= kShapeRgbaVersion ? r_.Rgba32() : r_.Rgb(); }
    Gradient ReadGradient(bool focal);
    FillStyle ReadFill();
    LineStyle ReadLine();
    void ReadStyles(ShapeLayer& layer);
    void AddEdge(Shape& shape, Point from, Point control, Point to, bool curved);

    ByteReader& r_;
    int version_;
    ReadContext& ctx_;
    bool preset_;
    uint16_t fill0_ = 0, fill1_ = 0, line_ = 0;
    size_t edges_ = 0;
};

Gradient ShapeParser::ReadGradient(bool focal) {
    Gradient g;
    uint32_t spread = r_.Bits(kGradientSpreadBits);
    uint32_t interp = r_.Bits(kGradientInterpolationBits);
    uint32_t count = r_.Bits(kGradientCountBits);
    g.spread = spread <= uint32_t(SpreadMode::Repeat) ? SpreadMode(spread) : SpreadMode::Pad;
    g.interpolation = interp == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
    for (uint32_t i = 0; i < count && i < kMaxGradientStops; ++i) {
        GradientStop s;
        s.ratio = r_.U8();
        s.color = Color();
        g.stops.push_back(s);
    }
    if (focal) g.focalPoint = std::clamp<int16_t>(r_.S16(), -kFocalMax, kFocalMax);
    return g;
}

FillStyle ShapeParser::ReadFill() {
    FillStyle f;
    uint8_t type = r_.U8();
    switch (type) {
    case kFillSolid:
        f.kind = FillKind::Solid;
        f.color = Color();
        return f;
    case kFillLinear:
    case kFillRadial:
    case kFillFocal:
        f.kind = type == kFillLinear   ? FillKind::LinearGradient
                 : type == kFillRadial ? FillKind::RadialGradient
                                       : FillKind::FocalRadialGradient;
        f.matrix = r_.ReadMatrix();
        f.gradient = ReadGradient(type == kFillFocal);
        if (f.gradient.stops.empty()) {
            f = FillStyle();
            f.color = Rgba{0, 0, 0, 0};
        }
        return f;
    case kFillBitmapRepeatSmooth:
    case kFillBitmapClipSmooth:
    case kFillBitmapRepeat:
    case kFillBitmapClip:
        f.kind = FillKind::Bitmap;
        f.bitmapId = r_.U16();
        f.matrix = r_.ReadMatrix();
        f.bitmapRepeat = type == kFillBitmapRepeatSmooth || type == kFillBitmapRepeat;
        f.bitmapSmooth = type == kFillBitmapRepeatSmooth || type == kFillBitmapClipSmooth;
        return f;
    default: throw ReadError("unknown fill style type " + std::to_string(type));
    }
}

LineStyle ShapeParser::ReadLine() {
    LineStyle l;
    l.width = r_.U16();
    if (version_ < kShapeLineStyle2Version) {
        l.color = Color();
        return l;
    }
    ReadLineStyle2Flags(r_, l);
    if (l.hasFill)
        l.fill = ReadFill();
    else
        l.color = r_.Rgba32();
    return l;
}

void ShapeParser::ReadStyles(ShapeLayer& layer) {
    size_t fills = r_.U8();
    if (fills == kExtendedCount && version_ >= kShapeExtendedCountVersion) fills = r_.U16();
    r_.RequireItems(fills, kMinFillBytes, "fill style count");
    layer.fills.reserve(fills);
    for (size_t i = 0; i < fills; ++i) layer.fills.push_back(ReadFill());
    size_t lines = r_.U8();
    if (lines == kExtendedCount) lines = r_.U16();
    const size_t minLineBytes = version_ == 4 ? 7 : version_ == 3 ? 6 : 5;
    r_.RequireItems(lines, minLineBytes, "line style count");
    layer.lines.reserve(lines);
    for (size_t i = 0; i < lines; ++i) layer.lines.push_back(ReadLine());
}

void ShapeParser::AddEdge(Shape& shape, Point from, Point control, Point to, bool curved) {
    if (fill0_ == 0 && fill1_ == 0 && line_ == 0 && !preset_) return;  // moves the pen only
    if (++edges_ > ReadLimits::kMaxEdgesPerShape || ctx_.edgesLeft == 0)
        throw ReadError("too many edges");
    --ctx_.edgesLeft;
    ShapeEdge e;
    e.from = from;
    e.control = control;
    e.to = to;
    e.curved = curved;
    e.fill0 = fill0_;
    e.fill1 = fill1_;
    e.line = line_;
    shape.layers.back().edges.push_back(e);
}

void ShapeParser::Read(Shape& shape, bool glyph) {
    if (!preset_) {
        shape.layers.emplace_back();
        if (glyph)
            shape.layers.back().fills.emplace_back();
        else
            ReadStyles(shape.layers.back());
    }
    int fillBits = static_cast<int>(r_.Bits(kStyleBitsField));
    int lineBits = static_cast<int>(r_.Bits(kStyleBitsField));
    Point pos;
    for (;;) {
        if (r_.Bits(1) == 0) {
            uint32_t flags = r_.Bits(kStyleChangeFlagBits);
            if (flags == 0) return;  // EndShapeRecord
            if (flags & kChangeMoveTo) {
                int n = static_cast<int>(r_.Bits(kMoveBitsField));
                pos.x = r_.SignedBits(n);
                pos.y = r_.SignedBits(n);
            }
            // Indices are read now but refer to the new arrays if any follow.
            uint32_t f0 = (flags & kChangeFill0) ? r_.Bits(fillBits) : fill0_;
            uint32_t f1 = (flags & kChangeFill1) ? r_.Bits(fillBits) : fill1_;
            uint32_t ln = (flags & kChangeLine) ? r_.Bits(lineBits) : line_;
            if (flags & kChangeNewStyles) {
                if (preset_) throw ReadError("morph shape brings new styles");
                if (shape.layers.size() >= ReadLimits::kMaxLayersPerShape) throw ReadError("too many style layers");
                shape.layers.emplace_back();
                ReadStyles(shape.layers.back());
                fillBits = static_cast<int>(r_.Bits(kStyleBitsField));
                lineBits = static_cast<int>(r_.Bits(kStyleBitsField));
                if (!(flags & kChangeFill0)) f0 = 0;
                if (!(flags & kChangeFill1)) f1 = 0;
                if (!(flags & kChangeLine)) ln = 0;
            }
            const ShapeLayer& layer = shape.layers.back();
            fill0_ = f0 <= layer.fills.size() ? static_cast<uint16_t>(f0) : 0;
            fill1_ = f1 <= layer.fills.size() ? static_cast<uint16_t>(f1) : 0;
            line_ = ln <= layer.lines.size() ? static_cast<uint16_t>(ln) : 0;
            continue;
        }
        bool straight = r_.Bits(1) != 0;
        int n = static_cast<int>(r_.Bits(kEdgeBitsField)) + kEdgeBitsBias;
        Point from = pos;
        if (straight) {
            int32_t dx = 0, dy = 0;
            if (r_.Bits(1)) {
                dx = r_.SignedBits(n);
                dy = r_.SignedBits(n);
            } else if (r_.Bits(1)) {
                dy = r_.SignedBits(n);
            } else {
                dx = r_.SignedBits(n);
            }
            pos = {SatAdd(pos.x, dx), SatAdd(pos.y, dy)};
            AddEdge(shape, from, from, pos, false);
        } else {
            int32_t cx = r_.SignedBits(n), cy = r_.SignedBits(n);
            int32_t ax = r_.SignedBits(n), ay = r_.SignedBits(n);
            Point control{SatAdd(pos.x, cx), SatAdd(pos.y, cy)};
            pos = {SatAdd(control.x, ax), SatAdd(control.y, ay)};
            AddEdge(shape, from, control, pos, true);
        }
    }
}

}  // namespace

void ReadLineStyle2Flags(ByteReader& r, LineStyle& l) {
    constexpr uint32_t kMiterJoin = 2;
    auto cap = [](uint32_t v) { return v <= uint32_t(CapStyle::Square) ? CapStyle(v) : CapStyle::Round; };
    l.startCap = cap(r.Bits(kCapStyleBits));
    uint32_t join = r.Bits(kJoinStyleBits);
    l.join = join <= kMiterJoin ? JoinStyle(join) : JoinStyle::Round;
    l.hasFill = r.Bits(1) != 0;
    l.noHScale = r.Bits(1) != 0;
    l.noVScale = r.Bits(1) != 0;
    l.pixelHinting = r.Bits(1) != 0;
    r.Bits(kLineStyle2ReservedBits);
    l.noClose = r.Bits(1) != 0;
    l.endCap = cap(r.Bits(kCapStyleBits));
    if (join == kMiterJoin) l.miterLimit = r.U16();
}

void ReadShapeRecords(ByteReader& r, ReadContext& ctx, ShapeLayer& layer) {
    Shape shape;
    shape.layers.push_back(std::move(layer));
    ShapeParser parser(r, kShapeRgbaVersion, ctx, /*presetStyles=*/true);
    try {
        parser.Read(shape);
    } catch (const ReadError&) {
        layer = std::move(shape.layers.front());
        throw;
    }
    if (shape.layers.size() != 1) throw ReadError("morph shape brings new styles");
    layer = std::move(shape.layers.front());
}

void ReadGlyphShape(ByteReader& r, ReadContext& ctx, Shape& out) {
    ShapeParser parser(r, 1, ctx);
    parser.Read(out, true);
}

void ReadDefineShape(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const int version = code == kTagDefineShape    ? 1
                        : code == kTagDefineShape2 ? 2
                        : code == kTagDefineShape3 ? 3
                                                   : 4;
    uint16_t id = r.U16();
    auto c = std::make_unique<ShapeCharacter>();
    Shape& shape = c->shape;
    shape.bounds = r.ReadRect();
    shape.edgeBounds = shape.bounds;
    if (version >= kShapeLineStyle2Version) {
        shape.edgeBounds = r.ReadRect();
        shape.evenOdd = !(r.U8() & kShape4NonZeroWinding);  // the rest: stroke-scaling hints
    }
    ShapeParser parser(r, version, ctx);
    try {
        parser.Read(shape);
    } catch (const ReadError&) {
        // Keep what was read: the edges before the damage still draw.
        if (shape.layers.empty()) throw;
        ctx.Define(id, std::move(c));
        throw;
    }
    ctx.Define(id, std::move(c));
}

}  // namespace swf
