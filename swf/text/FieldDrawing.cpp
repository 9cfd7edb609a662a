// A field's drawing from its layout: background and border, the selection,
// the glyphs moved by the scroll position, and the caret.
#include <algorithm>
#include <cstdlib>

#include "swf/render/SpanRecording.h"
#include "swf/text/EditText.h"
#include "swf/text/TextShape.h"

namespace swf {

namespace {

constexpr Rgba kSelectionBack{0, 0, 0, 255};
constexpr Rgba kSelectedText{255, 255, 255, 255};
constexpr int32_t kCaretWidth = 20;

// The four edges of a box, filled inside with fill 1 or drawn with line 1.
void AddBox(ShapeLayer& layer, const Point (&c)[4], bool asLine) {
    for (int i = 0; i < 4; ++i) {
        ShapeEdge e;
        e.from = c[i];
        e.to = e.control = c[(i + 1) % 4];
        (asLine ? e.line : e.fill1) = 1;
        layer.edges.push_back(e);
    }
}

ShapeLayer SolidLayer(Rgba color) {
    ShapeLayer layer;
    FillStyle fill;
    fill.color = color;
    layer.fills.push_back(fill);
    return layer;
}

ShapeLayer Background(const Rect& r, Rgba color) {
    ShapeLayer back = SolidLayer(color);
    AddBox(back, {{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}}, false);
    return back;
}

}  // namespace

// With no text the caret still follows the new text's format: its margins,
// alignment and the face's full height.
Rect EditTextField::EmptyFieldCaret() {
    const TextFormat& f = defaultFormat_;
    const DeviceFontMetrics m = FaceFor(f)->Metrics();
    const int64_t em = std::max(m.emSquare, 1), size = std::max(f.size, 0);
    const int64_t height = (int64_t(m.ascent) + m.descent) * size / em;
    const Rect& b = layout_.bounds;
    const int64_t left = int64_t(b.xMin) + kFieldGutter + std::max<int64_t>(int64_t(f.leftMargin) + f.blockIndent + f.indent, 0);
    const int64_t right = int64_t(b.xMax) - kFieldGutter - f.rightMargin;
    int64_t x = left;
    if (f.align == TextAlign::Right)
        x = std::max(left, right);
    else if (f.align == TextAlign::Center)
        x = std::max(left, (left + right) / 2);
    const int64_t top = int64_t(b.yMin) + kFieldGutter;
    auto clamp = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, -(int64_t(1) << 29), int64_t(1) << 29)); };
    return {clamp(x), clamp(x + kCaretWidth), clamp(top), clamp(top + std::min<int64_t>(height, int64_t(1) << 29))};
}

void EditTextField::Draw() {
    const TextLayout& l = layout_;
    const Rect& b = l.bounds;
    const int32_t dx = hscroll_ * 20;
    const int32_t dy = l.lines.empty() ? 0 : l.lines[size_t(scroll_)].top - l.lines[0].top;
    const size_t selBegin = std::min(anchor_, caret_), selEnd = std::max(anchor_, caret_);
    const bool showSelection = focused_ && selBegin < selEnd;
    TextShapeBuilder builder;
    builder.SetClip(b);
    if (showSelection) {
        for (const LaidOutLine& line : l.lines) {
            const size_t from = std::max(selBegin, line.firstChar), to = std::min(selEnd, line.endChar);
            if (from >= to) continue;
            const int32_t bottom = line.baseline + (line.baseline - line.top) / 4;
            builder.AddRect({l.charX[from] - dx, l.charX[to] - dx, line.top - dy, bottom - dy}, kSelectionBack);
        }
    }
    for (const PlacedGlyph& g : l.glyphs) {
        const int32_t x = g.x - dx, y = g.y - dy;
        if (x >= b.xMax || x + g.height < b.xMin || y - g.height >= b.yMax || y + g.height / 2 < b.yMin) continue;
        const bool selected = showSelection && g.index >= selBegin && g.index < selEnd;
        builder.AddGlyph(*g.shape, g.emSquare, g.height, x, y, selected ? kSelectedText : g.color);
    }
    for (const auto& u : l.underlines) {
        const Rect& r = u.first;
        builder.AddRect({r.xMin - dx, r.xMax - dx, r.yMin - dy, r.yMax - dy}, u.second);
    }
    if (focused_ && caretShown_ && settings_.input && !showSelection && caret_ < l.charX.size()) {
        // The caret stands on the line that holds it, or the last one.
        const LaidOutLine* on = nullptr;
        for (const LaidOutLine& line : l.lines)
            if (caret_ >= line.firstChar) on = &line;
        if (on && !content_.Empty()) {  // an empty field's caret follows the new text's paragraph
            const int32_t bottom = on->baseline + (on->baseline - on->top) / 4;
            const int32_t x = l.charX[caret_] - dx;
            builder.AddRect({x, x + kCaretWidth, on->top - dy, bottom - dy}, defaultFormat_.color);
        } else {
            builder.AddRect(EmptyFieldCaret(), defaultFormat_.color);
        }
    }
    drawing_ = builder.Take(b);
    // The border is drawn apart, in whole target pixels (see BorderShape).
    if (settings_.background)
        drawing_.layers.insert(drawing_.layers.begin(), Background(b, settings_.backgroundColor));
    drawingKey_ = NewShapeCacheKey();
}

}  // namespace swf

namespace swf {

Shape FieldBorderShape(const Rect& r, Rgba color, const Matrix& toTarget, bool wholePixels) {
    Shape shape;
    if (!wholePixels || toTarget.b != 0 || toTarget.c != 0) {
        ShapeLayer& layer = shape.layers.emplace_back();
        LineStyle line;
        line.width = 0;
        line.pixelHinting = true;
        line.color = color;
        layer.lines.push_back(line);
        AddBox(layer,
               {toTarget.Apply({r.xMin, r.yMin}), toTarget.Apply({r.xMax, r.yMin}), toTarget.Apply({r.xMax, r.yMax}),
                toTarget.Apply({r.xMin, r.yMax})},
               true);
        return shape;
    }
    // To the nearest pixel (halves down), one pixel wide, inside from the
    // top left; the bottom right corner pixel stays empty.
    constexpr int64_t px = kTwipsPerPixel, limit = int64_t(1) << 29;
    auto pixel = [](int64_t twips) {
        const int64_t t = twips + px / 2 - 1;
        return (t >= 0 ? t : t - (px - 1)) / px * px;
    };
    const Point p0 = toTarget.Apply({r.xMin, r.yMin}), p1 = toTarget.Apply({r.xMax, r.yMax});
    // The corner and the size round apart, so the far edges follow the size.
    const int64_t x0 = pixel(std::min(p0.x, p1.x)), x1 = x0 + pixel(std::abs(int64_t(p1.x) - p0.x));
    const int64_t y0 = pixel(std::min(p0.y, p1.y)), y1 = y0 + pixel(std::abs(int64_t(p1.y) - p0.y));
    if (std::max({std::abs(x0), std::abs(x1), std::abs(y0), std::abs(y1)}) > limit) return shape;
    ShapeLayer& layer = shape.layers.emplace_back(SolidLayer(color));
    auto box = [&layer](int64_t xa, int64_t xb, int64_t ya, int64_t yb) {
        if (xa >= xb || ya >= yb) return;
        const int32_t l = int32_t(xa), rt = int32_t(xb), t = int32_t(ya), b = int32_t(yb);
        AddBox(layer, {{l, t}, {rt, t}, {rt, b}, {l, b}}, false);
    };
    box(x0, x1 + px, y0, y0 + px);
    box(x0, x0 + px, y0 + px, y1 + px);
    box(x1, x1 + px, y0 + px, y1);
    box(x0 + px, x1, y1, y1 + px);
    return shape;
}

}  // namespace swf
