// A clip's drawing from script: the pen, the open fill and the Shape they
// build, drawn by the same renderer as shapes from the file.
//
// Units: points are twips in the clip's space; matrices map gradient or
// bitmap space into it (16.16 terms, twip translation) as the file's do.
// Rules kept from the original player:
//  1. A fill runs from BeginFill to EndFill (or the next Begin*Fill). When a
//     subpath of it is left open (a MoveTo, or the end of the fill), it is
//     closed by a straight edge, stroked with the current line style.
//  2. Later fills cover earlier fills and lines; lines drawn while a fill is
//     open cover it. So a fill starts a new layer once the current layer
//     has lines, and lines share the layer of the fill they belong to.
//  3. Fills use the even-odd rule: a second outline inside the first one
//     in the same fill leaves a hole, whichever way either runs.
//  4. Without a line style and outside a fill, LineTo and CurveTo only move
//     the pen. Clear drops everything, the line style included.
//  5. Budgets: past kMaxEdges edges or kMaxLayers layers the drawing stops
//     growing (the rest is dropped and Overflowed() says so), so a script
//     drawing millions of segments costs bounded memory and drawing time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/model/Shape.h"

namespace swf {

// lineStyle's arguments as the engine takes them; width in twips (0 draws
// a hairline), colour with its alpha already 0..255.
struct PenStyle {
    uint16_t width = 0;
    Rgba color;
    bool pixelHinting = false;
    bool noHScale = false;
    bool noVScale = false;
    CapStyle caps = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    uint16_t miterLimit = 3 << 8;  // 8.8 fixed, 1..255
};

class Drawing {
public:
    static constexpr size_t kMaxEdges = 200000;
    static constexpr size_t kMaxLayers = 4096;

    Drawing();
    void Clear();
    void LineStyle(const PenStyle& pen);
    void NoLineStyle();
    // Paints the current line style with a gradient (no line style: ignored).
    void LineGradientStyle(const FillStyle& fill);
    void BeginFill(Rgba color);
    // Any fill style: gradients and bitmaps come with their matrix.
    void BeginFillStyle(const FillStyle& fill);
    void EndFill();
    void MoveTo(Point p);
    void LineTo(Point p);
    void CurveTo(Point control, Point anchor);

    // The shape to draw; its bounds include half the widest line.
    const Shape& GetShape();
    bool Empty() const { return shape_.layers.empty(); }
    bool Overflowed() const { return overflowed_; }
    Point Pen() const { return pen_; }

private:
    ShapeLayer& NewLayer();
    ShapeLayer& LayerForFill();
    ShapeLayer& CurrentLayer();
    void AddEdge(Point control, Point to, bool curved);
    void CloseSubpath();
    bool Room(size_t edges);

    Shape shape_;
    // Storage of the first layer before the last Clear, for the redraw
    // that scripts usually make right after it.
    std::vector<ShapeLayer> spareLayers_;
    ShapeLayer spareLayer_;
    Point pen_;
    Point subpathStart_;
    bool filling_ = false;
    uint16_t fill_ = 0;      // open fill, 1-based in the current layer
    bool hasLine_ = false;
    ::swf::LineStyle line_;  // current line style, added to a layer on first use
    uint16_t lineIndex_ = 0;  // current line style in the current layer, 0 = not added yet
    bool layerHasLines_ = false;
    size_t edges_ = 0;
    bool overflowed_ = false;
    bool boundsDirty_ = true;
};

}  // namespace swf
