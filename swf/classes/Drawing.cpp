#include "swf/classes/Drawing.h"

#include <algorithm>
#include <limits>

namespace swf {

namespace {

constexpr size_t kMaxStyles = std::numeric_limits<uint16_t>::max();

void Include(Rect& r, bool& any, Point p) {
    if (!any) {
        r = {p.x, p.x, p.y, p.y};
        any = true;
        return;
    }
    r.xMin = std::min(r.xMin, p.x);
    r.xMax = std::max(r.xMax, p.x);
    r.yMin = std::min(r.yMin, p.y);
    r.yMax = std::max(r.yMax, p.y);
}

}  // namespace

Drawing::Drawing() {
    shape_.evenOdd = true;  // a path drawn inside its own fill cuts a hole
}

void Drawing::Clear() {
    constexpr size_t kKeepEdges = 1024;
    std::vector<ShapeLayer> layers = std::move(shape_.layers);
    *this = Drawing();
    if (layers.empty() || layers.front().edges.capacity() > kKeepEdges) return;
    spareLayer_ = std::move(layers.front());
    spareLayer_.fills.clear();
    spareLayer_.lines.clear();
    spareLayer_.edges.clear();
    layers.clear();
    spareLayers_ = std::move(layers);
}

void Drawing::LineStyle(const PenStyle& pen) {
    line_ = {};
    line_.width = pen.width;
    line_.color = pen.color;
    line_.pixelHinting = pen.pixelHinting;
    line_.noHScale = pen.noHScale;
    line_.noVScale = pen.noVScale;
    line_.startCap = line_.endCap = pen.caps;
    line_.join = pen.join;
    line_.miterLimit = std::clamp<uint16_t>(pen.miterLimit, 1 << 8, 255 << 8);
    hasLine_ = true;
    lineIndex_ = 0;
}

void Drawing::NoLineStyle() {
    hasLine_ = false;
    lineIndex_ = 0;
}

void Drawing::LineGradientStyle(const FillStyle& fill) {
    if (!hasLine_) return;
    line_.hasFill = true;
    line_.fill = fill;
    lineIndex_ = 0;
}

void Drawing::BeginFill(Rgba color) {
    FillStyle fill;
    fill.color = color;
    BeginFillStyle(fill);
}

void Drawing::BeginFillStyle(const FillStyle& fill) {
    EndFill();
    ShapeLayer& layer = LayerForFill();
    if (layer.fills.size() >= kMaxStyles) {
        overflowed_ = true;
        return;
    }
    layer.fills.push_back(fill);
    fill_ = static_cast<uint16_t>(layer.fills.size());
    filling_ = true;
    subpathStart_ = pen_;
}

void Drawing::EndFill() {
    if (!filling_) return;
    CloseSubpath();
    filling_ = false;
    fill_ = 0;
}

void Drawing::MoveTo(Point p) {
    if (filling_) CloseSubpath();
    pen_ = p;
    subpathStart_ = p;
}

void Drawing::LineTo(Point p) { AddEdge({}, p, false); }

void Drawing::CurveTo(Point control, Point anchor) { AddEdge(control, anchor, true); }

ShapeLayer& Drawing::NewLayer() {
    if (shape_.layers.empty() && shape_.layers.capacity() == 0) shape_.layers.swap(spareLayers_);
    shape_.layers.push_back(std::move(spareLayer_));
    spareLayer_ = ShapeLayer();
    return shape_.layers.back();
}

ShapeLayer& Drawing::LayerForFill() {
    const bool needNew = shape_.layers.empty() || layerHasLines_;
    if (needNew && shape_.layers.size() < kMaxLayers) {
        NewLayer();
        lineIndex_ = 0;
        layerHasLines_ = false;
    } else if (needNew) {
        overflowed_ = true;  // keeps drawing into the last layer
    }
    return shape_.layers.back();
}

ShapeLayer& Drawing::CurrentLayer() {
    return shape_.layers.empty() ? NewLayer() : shape_.layers.back();
}

bool Drawing::Room(size_t edges) {
    if (edges_ + edges <= kMaxEdges) return true;
    overflowed_ = true;
    return false;
}

void Drawing::AddEdge(Point control, Point to, bool curved) {
    const bool stroked = hasLine_;
    if ((!filling_ && !stroked) || !Room(1)) {
        pen_ = to;
        return;
    }
    ShapeLayer& layer = CurrentLayer();
    if (stroked && lineIndex_ == 0) {
        if (layer.lines.size() >= kMaxStyles) {
            overflowed_ = true;
            pen_ = to;
            return;
        }
        layer.lines.push_back(line_);
        lineIndex_ = static_cast<uint16_t>(layer.lines.size());
    }
    ShapeEdge e;
    e.from = pen_;
    e.control = control;
    e.to = to;
    e.curved = curved;
    e.fill1 = filling_ ? fill_ : 0;
    e.line = stroked ? lineIndex_ : 0;
    layerHasLines_ = layerHasLines_ || stroked;
    layer.edges.push_back(e);
    ++edges_;
    boundsDirty_ = true;
    pen_ = to;
}

void Drawing::CloseSubpath() {
    if (pen_ != subpathStart_) AddEdge({}, subpathStart_, false);
}

const Shape& Drawing::GetShape() {
    if (!boundsDirty_) return shape_;
    boundsDirty_ = false;
    Rect edges;
    bool any = false;
    int32_t halfLine = 0;
    for (const ShapeLayer& layer : shape_.layers) {
        for (const ShapeEdge& e : layer.edges) {
            Include(edges, any, e.from);
            Include(edges, any, e.to);
            if (e.curved) Include(edges, any, e.control);
            if (e.line != 0) halfLine = std::max<int32_t>(halfLine, layer.lines[e.line - 1].width / 2);
        }
    }
    shape_.edgeBounds = edges;
    shape_.bounds = edges;
    if (any) {
        const int64_t grow = halfLine;
        shape_.bounds = {int32_t(std::max<int64_t>(INT32_MIN, edges.xMin - grow)),
                         int32_t(std::min<int64_t>(INT32_MAX, edges.xMax + grow)),
                         int32_t(std::max<int64_t>(INT32_MIN, edges.yMin - grow)),
                         int32_t(std::min<int64_t>(INT32_MAX, edges.yMax + grow))};
    }
    return shape_;
}

}  // namespace swf
