// DefineMorphShape and DefineMorphShape2: style pairs, the start edges with
// their styles, then the end edges as moves and edges only.
#include "tools/swfmake/ShapeEncoder.h"
#include "tools/swfmake/SwfWriter.h"

namespace swfmake {

namespace {

constexpr int kMorphShapeVersion = 3;  // RGBA colours, like DefineShape3

void WriteCount(ByteWriter& w, size_t n) {
    if (n >= swf::kExtendedCount) {
        w.U8(swf::kExtendedCount);
        w.U16(static_cast<uint16_t>(n));
    } else {
        w.U8(static_cast<uint8_t>(n));
    }
}

void WriteMorphFill(ByteWriter& w, const swf::FillStyle& s, const swf::FillStyle& e) {
    switch (s.kind) {
    case swf::FillKind::Solid:
        w.U8(swf::kFillSolid);
        w.Rgba(s.color);
        w.Rgba(e.color);
        return;
    case swf::FillKind::LinearGradient:
    case swf::FillKind::RadialGradient:
    case swf::FillKind::FocalRadialGradient: {
        const bool focal = s.kind == swf::FillKind::FocalRadialGradient;
        w.U8(s.kind == swf::FillKind::LinearGradient ? swf::kFillLinear : focal ? swf::kFillFocal : swf::kFillRadial);
        w.Matrix(s.matrix);
        w.Matrix(e.matrix);
        const size_t n = std::min(s.gradient.stops.size(), e.gradient.stops.size());
        w.U8(uint8_t((uint32_t(s.gradient.spread) << 6) | (uint32_t(s.gradient.interpolation) << 4) | n));
        for (size_t i = 0; i < n; ++i) {
            w.U8(s.gradient.stops[i].ratio);
            w.Rgba(s.gradient.stops[i].color);
            w.U8(e.gradient.stops[i].ratio);
            w.Rgba(e.gradient.stops[i].color);
        }
        if (focal) {
            w.S16(s.gradient.focalPoint);
            w.S16(e.gradient.focalPoint);
        }
        return;
    }
    case swf::FillKind::Bitmap: {
        ByteWriter one;
        WriteFillStyle(one, s, kMorphShapeVersion);  // type and id
        const std::vector<uint8_t>& bytes = one.Data();
        w.Raw(bytes.data(), 3);
        w.Matrix(s.matrix);
        w.Matrix(e.matrix);
        return;
    }
    }
}

void WriteMorphLine(ByteWriter& w, const swf::LineStyle& s, const swf::LineStyle& e, int version) {
    w.U16(s.width);
    w.U16(e.width);
    if (version >= 2) {
        // The flags as DefineShape4 writes them, without the width and colour.
        ByteWriter one;
        WriteLineStyle(one, s, swf::kShapeLineStyle2Version);
        const std::vector<uint8_t>& bytes = one.Data();
        const size_t flagBytes = s.join == swf::JoinStyle::Miter ? 4 : 2;
        w.Raw(bytes.data() + 2, flagBytes);
        if (s.hasFill) {
            WriteMorphFill(w, s.fill, e.fill);
            return;
        }
    }
    w.Rgba(s.color);
    w.Rgba(e.color);
}

swf::Shape OneLayer(const std::vector<swf::ShapeEdge>& edges, bool keepStyles, const swf::MorphShape& m) {
    swf::Shape shape;
    shape.layers.resize(1);
    swf::ShapeLayer& layer = shape.layers.front();
    layer.edges = edges;
    if (keepStyles) {
        layer.fills = m.startFills;
        layer.lines = m.startLines;
    } else {
        for (swf::ShapeEdge& e : layer.edges) e.fill0 = e.fill1 = e.line = 0;
    }
    return shape;
}

}  // namespace

std::vector<uint8_t> EncodeDefineMorphShape(uint16_t id, const swf::MorphShape& m, int version) {
    ByteWriter w;
    w.U16(id);
    w.Rect(m.startBounds);
    w.Rect(m.endBounds);
    if (version >= 2) {
        w.Rect(m.startEdgeBounds);
        w.Rect(m.endEdgeBounds);
        w.U8(0);
    }
    ByteWriter body;
    WriteCount(body, m.startFills.size());
    for (size_t i = 0; i < m.startFills.size(); ++i) WriteMorphFill(body, m.startFills[i], m.endFills[i]);
    WriteCount(body, m.startLines.size());
    for (size_t i = 0; i < m.startLines.size(); ++i) WriteMorphLine(body, m.startLines[i], m.endLines[i], version);
    WriteShapeRecords(body, OneLayer(m.startEdges, true, m), kMorphShapeVersion);
    const size_t endOffset = body.Size();
    WriteShapeRecords(body, OneLayer(m.endEdges, false, m), kMorphShapeVersion);
    w.U32(static_cast<uint32_t>(endOffset));
    w.Raw(body.Take());
    return w.Take();
}

void TagList::DefineMorphShape(uint16_t id, const swf::MorphShape& morph, int version) {
    Raw(version >= 2 ? swf::kTagDefineMorphShape2 : swf::kTagDefineMorphShape, EncodeDefineMorphShape(id, morph, version));
}

}  // namespace swfmake
