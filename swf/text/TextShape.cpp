#include "swf/text/TextShape.h"

#include <algorithm>

#include "swf/Movie.h"
#include "swf/text/FontLibrary.h"

namespace swf {

namespace {

int32_t ScaleRound(int64_t v, int64_t num, int64_t den) {
    const int64_t p = v * num;
    const int64_t q = p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN / 2, INT32_MAX / 2));
}

}  // namespace

uint16_t TextShapeBuilder::FillFor(Rgba color) {
    for (size_t i = layer_.fills.size(); i-- > 0;)
        if (layer_.fills[i].color == color) return static_cast<uint16_t>(i + 1);
    if (layer_.fills.size() >= kMaxFills) return static_cast<uint16_t>(layer_.fills.size());
    FillStyle f;
    f.color = color;
    layer_.fills.push_back(f);
    return static_cast<uint16_t>(layer_.fills.size());
}

void TextShapeBuilder::AddGlyph(const Shape& glyph, int32_t emSquare, int32_t height, int32_t x, int32_t y,
                                Rgba color) {
    if (emSquare <= 0 || height <= 0) return;
    size_t edges = 0;
    for (const ShapeLayer& l : glyph.layers) edges += l.edges.size();
    if (edges == 0 || layer_.edges.size() + edges > kMaxEdges) return;
    const uint16_t fill = FillFor(color);
    auto map = [&](Point p) {
        return Point{x + ScaleRound(p.x, height, emSquare), y + ScaleRound(p.y, height, emSquare)};
    };
    for (const ShapeLayer& l : glyph.layers) {
        for (const ShapeEdge& e : l.edges) {
            if (e.fill0 == 0 && e.fill1 == 0) continue;
            ShapeEdge out;
            out.from = map(e.from);
            out.control = map(e.control);
            out.to = map(e.to);
            out.curved = e.curved;
            out.fill0 = e.fill0 ? fill : 0;
            out.fill1 = e.fill1 ? fill : 0;
            layer_.edges.push_back(out);
        }
    }
}

void TextShapeBuilder::AddRect(const Rect& r, Rgba color) {
    if (r.Empty() || layer_.edges.size() + 4 > kMaxEdges) return;
    const uint16_t fill = FillFor(color);
    const Point corners[4] = {{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}};
    for (int i = 0; i < 4; ++i) {
        ShapeEdge e;
        e.from = corners[i];
        e.to = e.control = corners[(i + 1) % 4];
        e.fill1 = fill;  // clockwise on screen: the inside is on the right
        layer_.edges.push_back(e);
    }
}

Shape TextShapeBuilder::Take(const Rect& bounds) {
    Shape s;
    s.bounds = s.edgeBounds = bounds;
    if (!layer_.edges.empty()) s.layers.push_back(std::move(layer_));
    layer_ = ShapeLayer();
    return s;
}

Shape BuildStaticText(const StaticTextData& text, const Movie& movie, FontLibrary& fonts) {
    TextShapeBuilder b;
    for (const TextRun& run : text.runs) {
        const Character* c = movie.Find(run.fontId);
        if (!c || c->kind != CharacterKind::Font) continue;
        const FontData& font = static_cast<const FontCharacter*>(c)->font;
        FontFace* device = font.IsDeviceOnly() ? fonts.Device(font.name, font.bold, font.italic) : nullptr;
        for (const StaticGlyph& g : run.glyphs) {
            if (g.index >= font.glyphs.size()) continue;
            const Glyph& glyph = font.glyphs[g.index];
            if (!device) {
                b.AddGlyph(glyph.shape, font.emSquare, run.height, g.x, run.y, run.color);
                continue;
            }
            FaceGlyph dg;
            if (device->Find(glyph.code, &dg) && dg.shape)
                b.AddGlyph(*dg.shape, device->Metrics().emSquare, run.height, g.x, run.y, run.color);
        }
    }
    return b.Take(text.bounds);
}

}  // namespace swf

