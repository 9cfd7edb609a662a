#include "tools/swfmake/ShapeEncoder.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "swf/model/FormatCodes.h"

namespace swfmake {

namespace {

constexpr int kMaxEdgeBits = swf::kEdgeBitsBias + (1 << swf::kEdgeBitsField) - 1;

void WriteColor(ByteWriter& w, swf::Rgba c, int version) {
    if (version >= swf::kShapeRgbaVersion)
        w.Rgba(c);
    else
        w.Rgb(c);
}

void WriteGradient(ByteWriter& w, const swf::Gradient& g, bool focal, int version) {
    int count = std::min<int>(static_cast<int>(g.stops.size()), swf::kMaxGradientStops);
    w.Bits(static_cast<uint32_t>(g.spread), swf::kGradientSpreadBits);
    w.Bits(static_cast<uint32_t>(g.interpolation), swf::kGradientInterpolationBits);
    w.Bits(static_cast<uint32_t>(count), swf::kGradientCountBits);
    for (int i = 0; i < count; ++i) {
        w.U8(g.stops[i].ratio);
        WriteColor(w, g.stops[i].color, version);
    }
    if (focal) w.S16(g.focalPoint);
}

void WriteCount(ByteWriter& w, size_t count, int version) {
    assert(version >= swf::kShapeExtendedCountVersion || count < swf::kExtendedCount);
    if (count < swf::kExtendedCount || version < swf::kShapeExtendedCountVersion) {
        w.U8(static_cast<uint8_t>(count));
    } else {
        w.U8(swf::kExtendedCount);
        w.U16(static_cast<uint16_t>(count));
    }
}

void WriteStyleArrays(ByteWriter& w, const swf::ShapeLayer& layer, int version) {
    WriteCount(w, layer.fills.size(), version);
    for (const swf::FillStyle& f : layer.fills) WriteFillStyle(w, f, version);
    WriteCount(w, layer.lines.size(), version);
    for (const swf::LineStyle& l : layer.lines) WriteLineStyle(w, l, version);
}

// Like SignedBitsNeeded, for deltas that may not fit 32 bits at all.
int DeltaBits(int64_t v) {
    constexpr int kTooWide = 64;
    if (v > INT32_MAX || v < INT32_MIN) return kTooWide;
    return SignedBitsNeeded(static_cast<int32_t>(v));
}

struct StyleBits {
    int fill = 0;
    int line = 0;
};

StyleBits BitsFor(const swf::ShapeLayer& layer) {
    return {UnsignedBitsNeeded(static_cast<uint32_t>(layer.fills.size())),
            UnsignedBitsNeeded(static_cast<uint32_t>(layer.lines.size()))};
}

// Writes the shape records; tracks the pen and the current styles.
class RecordWriter {
public:
    RecordWriter(ByteWriter& w, int version) : w_(w), version_(version) {}

    void Shape(const swf::Shape& shape) {
        if (shape.layers.empty()) {
            w_.Bits(0, swf::kStyleBitsField);
            w_.Bits(0, swf::kStyleBitsField);
        }
        for (size_t i = 0; i < shape.layers.size(); ++i) Layer(shape.layers[i], i == 0);
        NonEdge(0);  // EndShapeRecord
        w_.FlushBits();
    }

private:
    // A style-change record (or, with no flags, the end): type bit 0, flags.
    void NonEdge(uint32_t flags) {
        w_.Bits(0, 1);
        w_.Bits(flags, swf::kStyleChangeFlagBits);
    }

    void Layer(const swf::ShapeLayer& layer, bool first) {
        bits_ = BitsFor(layer);
        if (first) {
            w_.Bits(bits_.fill, swf::kStyleBitsField);
            w_.Bits(bits_.line, swf::kStyleBitsField);
            stylesKnown_ = true;
        } else {
            NewStyles(layer);
        }
        for (const swf::ShapeEdge& e : layer.edges) Edge(e);
    }

    // A StyleChange with new arrays; the styles that follow are chosen by
    // the next edge's StyleChange, which we force.
    void NewStyles(const swf::ShapeLayer& layer) {
        NonEdge(swf::kChangeNewStyles);
        WriteStyleArrays(w_, layer, version_);
        w_.Bits(bits_.fill, swf::kStyleBitsField);
        w_.Bits(bits_.line, swf::kStyleBitsField);
        stylesKnown_ = false;
    }

    void Edge(const swf::ShapeEdge& e) {
        bool move = e.from != pen_;
        bool f0 = !stylesKnown_ || e.fill0 != fill0_;
        bool f1 = !stylesKnown_ || e.fill1 != fill1_;
        bool ln = !stylesKnown_ || e.line != line_;
        if (move || f0 || f1 || ln) StyleChange(e, move, f0, f1, ln);
        if (e.curved)
            Curve(e.control.x - e.from.x, e.control.y - e.from.y, e.to.x - e.control.x,
                  e.to.y - e.control.y);
        else
            Straight(e.to.x - e.from.x, e.to.y - e.from.y);
        pen_ = e.to;
    }

    void StyleChange(const swf::ShapeEdge& e, bool move, bool f0, bool f1, bool ln) {
        auto flag = [](bool on, uint32_t bit) { return on ? bit : 0u; };
        NonEdge(flag(ln, swf::kChangeLine) | flag(f1, swf::kChangeFill1) | flag(f0, swf::kChangeFill0) |
                flag(move, swf::kChangeMoveTo));
        if (move) {
            int n = std::max(SignedBitsNeeded(e.from.x), SignedBitsNeeded(e.from.y));
            w_.Bits(n, swf::kMoveBitsField);
            w_.SignedBits(e.from.x, n);
            w_.SignedBits(e.from.y, n);
        }
        if (f0) w_.Bits(e.fill0, bits_.fill);
        if (f1) w_.Bits(e.fill1, bits_.fill);
        if (ln) w_.Bits(e.line, bits_.line);
        fill0_ = e.fill0;
        fill1_ = e.fill1;
        line_ = e.line;
        stylesKnown_ = true;
    }

    void Straight(int64_t dx, int64_t dy) {
        int n = std::max({swf::kEdgeBitsBias, DeltaBits(dx), DeltaBits(dy)});
        if (n > kMaxEdgeBits) {
            Straight(dx / 2, dy / 2);
            Straight(dx - dx / 2, dy - dy / 2);
            return;
        }
        w_.Bits(1, 1);  // edge
        w_.Bits(1, 1);  // straight
        w_.Bits(n - swf::kEdgeBitsBias, swf::kEdgeBitsField);
        bool general = dx != 0 && dy != 0;
        w_.Bits(general, 1);
        if (general) {
            w_.SignedBits(static_cast<int32_t>(dx), n);
            w_.SignedBits(static_cast<int32_t>(dy), n);
        } else {
            bool vertical = dx == 0;
            w_.Bits(vertical, 1);
            w_.SignedBits(static_cast<int32_t>(vertical ? dy : dx), n);
        }
    }

    // Deltas: control - from, to - control.
    void Curve(int64_t cx, int64_t cy, int64_t ax, int64_t ay) {
        int n = swf::kEdgeBitsBias;
        for (int64_t v : {cx, cy, ax, ay}) n = std::max(n, DeltaBits(v));
        if (n > kMaxEdgeBits) {
            SplitCurve(cx, cy, ax, ay);
            return;
        }
        w_.Bits(1, 1);  // edge
        w_.Bits(0, 1);  // curved
        w_.Bits(n - swf::kEdgeBitsBias, swf::kEdgeBitsField);
        for (int64_t v : {cx, cy, ax, ay}) w_.SignedBits(static_cast<int32_t>(v), n);
    }

    // De Casteljau at t = 1/2 in integers, relative to the curve's start.
    void SplitCurve(int64_t cx, int64_t cy, int64_t ax, int64_t ay) {
        int64_t c1x = cx / 2, c1y = cy / 2;                   // first control
        int64_t c2x = cx + ax / 2, c2y = cy + ay / 2;         // second control
        int64_t mx = (c1x + c2x) / 2, my = (c1y + c2y) / 2;   // midpoint
        int64_t ex = cx + ax, ey = cy + ay;                   // end
        Curve(c1x, c1y, mx - c1x, my - c1y);
        Curve(c2x - mx, c2y - my, ex - c2x, ey - c2y);
    }

    ByteWriter& w_;
    int version_;
    StyleBits bits_;
    swf::Point pen_;
    uint16_t fill0_ = 0, fill1_ = 0, line_ = 0;
    bool stylesKnown_ = false;
};

bool AnyLine(const swf::Shape& shape, bool nonScaling) {
    for (const swf::ShapeLayer& layer : shape.layers)
        for (const swf::LineStyle& l : layer.lines)
            if ((l.noHScale || l.noVScale) == nonScaling) return true;
    return false;
}

}  // namespace

void WriteShapeRecords(ByteWriter& w, const swf::Shape& shape, int version) {
    RecordWriter records(w, version);
    records.Shape(shape);
}

void WriteFillStyle(ByteWriter& w, const swf::FillStyle& fill, int version) {
    switch (fill.kind) {
    case swf::FillKind::Solid:
        w.U8(swf::kFillSolid);
        WriteColor(w, fill.color, version);
        return;
    case swf::FillKind::LinearGradient:
    case swf::FillKind::RadialGradient:
    case swf::FillKind::FocalRadialGradient: {
        bool focal = fill.kind == swf::FillKind::FocalRadialGradient;
        w.U8(fill.kind == swf::FillKind::LinearGradient
                 ? swf::kFillLinear
                 : (focal ? swf::kFillFocal : swf::kFillRadial));
        w.Matrix(fill.matrix);
        WriteGradient(w, fill.gradient, focal, version);
        return;
    }
    case swf::FillKind::Bitmap:
        if (fill.bitmapRepeat)
            w.U8(fill.bitmapSmooth ? swf::kFillBitmapRepeatSmooth : swf::kFillBitmapRepeat);
        else
            w.U8(fill.bitmapSmooth ? swf::kFillBitmapClipSmooth : swf::kFillBitmapClip);
        w.U16(fill.bitmapId);
        w.Matrix(fill.matrix);
        return;
    }
}

void WriteLineStyle(ByteWriter& w, const swf::LineStyle& line, int version) {
    w.U16(line.width);
    if (version < swf::kShapeLineStyle2Version) {
        WriteColor(w, line.color, version);
        return;
    }
    w.Bits(static_cast<uint32_t>(line.startCap), swf::kCapStyleBits);
    w.Bits(static_cast<uint32_t>(line.join), swf::kJoinStyleBits);
    w.Bits(line.hasFill, 1);
    w.Bits(line.noHScale, 1);
    w.Bits(line.noVScale, 1);
    w.Bits(line.pixelHinting, 1);
    w.Bits(0, swf::kLineStyle2ReservedBits);
    w.Bits(line.noClose, 1);
    w.Bits(static_cast<uint32_t>(line.endCap), swf::kCapStyleBits);
    if (line.join == swf::JoinStyle::Miter) w.U16(line.miterLimit);
    if (line.hasFill)
        WriteFillStyle(w, line.fill, version);
    else
        w.Rgba(line.color);
}

std::vector<uint8_t> EncodeGlyphShape(const swf::Shape& glyph) {
    ByteWriter w;
    RecordWriter records(w, 1);
    records.Shape(glyph);
    return w.Take();
}

std::vector<uint8_t> EncodeDefineShape(uint16_t id, const swf::Shape& shape, int version,
                                       const ShapeOptions& options) {
    ByteWriter w;
    w.U16(id);
    w.Rect(shape.bounds);
    if (version >= swf::kShapeLineStyle2Version) {
        w.Rect(shape.edgeBounds);
        w.Bits(0, 5);
        w.Bits(options.fillWindingNonZero, 1);
        w.Bits(AnyLine(shape, true), 1);
        w.Bits(AnyLine(shape, false), 1);
    }
    static const swf::ShapeLayer kNoStyles;
    const swf::ShapeLayer& first = shape.layers.empty() ? kNoStyles : shape.layers.front();
    WriteStyleArrays(w, first, version);
    WriteShapeRecords(w, shape, version);
    return w.Take();
}

}  // namespace swfmake
