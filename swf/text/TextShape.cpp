#include "swf/text/TextShape.h"

#include <algorithm>

#include "swf/model/Movie.h"
#include "swf/text/FontLibrary.h"

namespace swf {

namespace {

int64_t RoundDivide(int64_t p, int64_t den) { return p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den); }

int32_t ScaleRound(int64_t v, int64_t num, int64_t den) {
    const int64_t q = RoundDivide(v * num, den);
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN / 2, INT32_MAX / 2));
}

constexpr int kCurvePieces = 8;  // a crossing curve's chords, in twips

int32_t Lerp(int32_t a, int32_t b, int64_t num, int64_t den) {
    return a + static_cast<int32_t>(RoundDivide((int64_t(b) - a) * num, den));
}

}  // namespace

void TextShapeBuilder::SetClip(const Rect& clip) {
    auto c = [](int32_t v) { return std::clamp(v, -kMaxClip, kMaxClip); };
    clip_ = {c(clip.xMin), c(clip.xMax), c(clip.yMin), c(clip.yMax)};
    clipping_ = true;
}

void TextShapeBuilder::AddClippedLine(Point a, Point b, const ShapeEdge& style) {
    if (a.y == b.y) return;  // no winding
    // Rows above and below the box: dropped.
    const bool down = a.y < b.y;
    Point top = down ? a : b, bottom = down ? b : a;
    if (bottom.y <= clip_.yMin || top.y >= clip_.yMax) return;
    if (top.y < clip_.yMin)
        top = {Lerp(top.x, bottom.x, int64_t(clip_.yMin) - top.y, int64_t(bottom.y) - top.y), clip_.yMin};
    if (bottom.y > clip_.yMax)
        bottom = {Lerp(top.x, bottom.x, int64_t(clip_.yMax) - top.y, int64_t(bottom.y) - top.y), clip_.yMax};
    // Split where it crosses the sides; the parts beside the box run along
    // its side.
    Point pts[4] = {top};
    int n = 1;
    for (int32_t side : {clip_.xMin, clip_.xMax}) {
        if ((top.x < side) == (bottom.x < side)) continue;
        const int32_t yAt = Lerp(top.y, bottom.y, int64_t(side) - top.x, int64_t(bottom.x) - top.x);
        if (yAt > top.y && yAt < bottom.y) pts[n++] = {side, yAt};
    }
    std::sort(pts + 1, pts + n, [](const Point& u, const Point& v) { return u.y < v.y; });
    pts[n++] = bottom;
    for (int i = 0; i + 1 < n; ++i) {
        Point u = pts[i], v = pts[i + 1];
        if (u.y == v.y) continue;
        const int64_t midX = (int64_t(u.x) + v.x) / 2;
        const int32_t x = midX < clip_.xMin ? clip_.xMin : midX > clip_.xMax ? clip_.xMax : INT32_MIN;
        if (x != INT32_MIN) u.x = v.x = x;
        ShapeEdge e = style;
        e.curved = false;
        e.from = down ? u : v;
        e.to = e.control = down ? v : u;
        layer_.edges.push_back(e);
    }
}

void TextShapeBuilder::AddClipped(const ShapeEdge& e) {
    if (!e.curved) return AddClippedLine(e.from, e.to, e);
    Point prev = e.from;
    for (int i = 1; i <= kCurvePieces; ++i) {
        const int64_t t = i, u = kCurvePieces - i, d = int64_t(kCurvePieces) * kCurvePieces;
        const Point p{static_cast<int32_t>(RoundDivide(u * u * e.from.x + 2 * t * u * e.control.x + t * t * e.to.x, d)),
                      static_cast<int32_t>(RoundDivide(u * u * e.from.y + 2 * t * u * e.control.y + t * t * e.to.y, d))};
        AddClippedLine(prev, p, e);
        prev = p;
    }
}

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
    const size_t first = layer_.edges.size();
    Rect box{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
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
            for (const Point& p : {out.from, out.control, out.to}) {
                box.xMin = std::min(box.xMin, p.x);
                box.xMax = std::max(box.xMax, p.x);
                box.yMin = std::min(box.yMin, p.y);
                box.yMax = std::max(box.yMax, p.y);
            }
        }
    }
    const bool inside = box.xMin >= clip_.xMin && box.xMax <= clip_.xMax && box.yMin >= clip_.yMin &&
                        box.yMax <= clip_.yMax;
    if (!clipping_ || inside) return;
    // A glyph across the box's edge: cut its edges.
    std::vector<ShapeEdge> crossing(layer_.edges.begin() + static_cast<std::ptrdiff_t>(first), layer_.edges.end());
    layer_.edges.resize(first);
    for (const ShapeEdge& e : crossing) AddClipped(e);
}

void TextShapeBuilder::AddRect(const Rect& rect, Rgba color) {
    Rect r = rect;
    if (clipping_) {
        r.xMin = std::max(r.xMin, clip_.xMin);
        r.xMax = std::min(r.xMax, clip_.xMax);
        r.yMin = std::max(r.yMin, clip_.yMin);
        r.yMax = std::min(r.yMax, clip_.yMax);
    }
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

