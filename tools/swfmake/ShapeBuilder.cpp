#include "tools/swfmake/ShapeBuilder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swfmake {

namespace {

constexpr int32_t kGradientSquare = 32768;  // twips, side of the gradient square
constexpr int kOctants = 8;
constexpr int kFixedShift = 16;

// Unit circle at each 45-degree step, and the quadratic control point of
// the 45-degree arc after it (on the mid angle at 1/cos(22.5)), in 16.16.
// y grows downward, so increasing octants run clockwise on screen.
constexpr int32_t kRoot2Half = 46341;  // sqrt(2)/2
constexpr int32_t kTan22 = 27146;      // tan(22.5 degrees)
constexpr int32_t kOne = 1 << kFixedShift;
const swf::Point kOctantPoint[kOctants] = {
    {kOne, 0},           {kRoot2Half, kRoot2Half},   {0, kOne},  {-kRoot2Half, kRoot2Half},
    {-kOne, 0},          {-kRoot2Half, -kRoot2Half}, {0, -kOne}, {kRoot2Half, -kRoot2Half}};
const swf::Point kOctantControl[kOctants] = {
    {kOne, kTan22},   {kTan22, kOne},   {-kTan22, kOne},  {-kOne, kTan22},
    {-kOne, -kTan22}, {-kTan22, -kOne}, {kTan22, -kOne},  {kOne, -kTan22}};

int32_t ScaleFixed(int32_t radius, int32_t unit) {
    int64_t v = int64_t(radius) * unit;
    return static_cast<int32_t>(v >= 0 ? (v + (1 << 15)) >> kFixedShift
                                       : -((-v + (1 << 15)) >> kFixedShift));
}

swf::Point OnEllipse(const swf::Point& unit, int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
    return {cx + ScaleFixed(rx, unit.x), cy + ScaleFixed(ry, unit.y)};
}

// 16.16 factor that stretches kGradientSquare twips to `length` twips.
int32_t GradientScale(int32_t length) {
    return static_cast<int32_t>(int64_t(length) * swf::kFixedOne / kGradientSquare);
}

}  // namespace

swf::Matrix GradientBox(const swf::Rect& box) {
    swf::Matrix m;
    m.a = GradientScale(box.Width());
    m.d = GradientScale(box.Height());
    m.tx = box.xMin + box.Width() / 2;
    m.ty = box.yMin + box.Height() / 2;
    return m;
}

swf::Matrix GradientBoxVertical(const swf::Rect& box) {
    swf::Matrix m;
    // Gradient x runs along screen y; gradient y along screen -x.
    m.a = 0;
    m.b = GradientScale(box.Height());
    m.c = -GradientScale(box.Width());
    m.d = 0;
    m.tx = box.xMin + box.Width() / 2;
    m.ty = box.yMin + box.Height() / 2;
    return m;
}

swf::FillStyle SolidFill(swf::Rgba color) {
    swf::FillStyle f;
    f.kind = swf::FillKind::Solid;
    f.color = color;
    return f;
}

swf::FillStyle GradientFill(swf::FillKind kind, const swf::Matrix& matrix,
                            std::initializer_list<swf::GradientStop> stops) {
    swf::FillStyle f;
    f.kind = kind;
    f.matrix = matrix;
    f.gradient.stops.assign(stops.begin(), stops.end());
    return f;
}

swf::LineStyle SolidLine(uint16_t widthTwips, swf::Rgba color) {
    swf::LineStyle l;
    l.width = widthTwips;
    l.color = color;
    return l;
}

ShapeBuilder::ShapeBuilder() { shape_.layers.emplace_back(); }

uint16_t ShapeBuilder::AddFill(const swf::FillStyle& fill) {
    Layer().fills.push_back(fill);
    return static_cast<uint16_t>(Layer().fills.size());
}

uint16_t ShapeBuilder::AddLine(const swf::LineStyle& line) {
    Layer().lines.push_back(line);
    return static_cast<uint16_t>(Layer().lines.size());
}

void ShapeBuilder::NewLayer() {
    shape_.layers.emplace_back();
    fill0_ = fill1_ = line_ = 0;
}

ShapeBuilder& ShapeBuilder::SetFill0(uint16_t fill) {
    fill0_ = fill;
    return *this;
}

ShapeBuilder& ShapeBuilder::SetFill1(uint16_t fill) {
    fill1_ = fill;
    return *this;
}

ShapeBuilder& ShapeBuilder::SetLine(uint16_t line) {
    line_ = line;
    return *this;
}

ShapeBuilder& ShapeBuilder::MoveTo(int32_t x, int32_t y) {
    pen_ = subpathStart_ = {x, y};
    return *this;
}

void ShapeBuilder::AddEdge(swf::Point to, swf::Point control, bool curved) {
    swf::ShapeEdge e;
    e.from = pen_;
    e.control = control;
    e.to = to;
    e.curved = curved;
    e.fill0 = fill0_;
    e.fill1 = fill1_;
    e.line = line_;
    Layer().edges.push_back(e);
    pen_ = to;
}

ShapeBuilder& ShapeBuilder::LineTo(int32_t x, int32_t y) {
    AddEdge({x, y}, {}, false);
    return *this;
}

ShapeBuilder& ShapeBuilder::CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    AddEdge({x, y}, {cx, cy}, true);
    return *this;
}

ShapeBuilder& ShapeBuilder::Close() {
    if (pen_ != subpathStart_) LineTo(subpathStart_.x, subpathStart_.y);
    return *this;
}

ShapeBuilder& ShapeBuilder::Rectangle(const swf::Rect& r) {
    MoveTo(r.xMin, r.yMin);
    LineTo(r.xMax, r.yMin);
    LineTo(r.xMax, r.yMax);
    LineTo(r.xMin, r.yMax);
    return Close();
}

void ShapeBuilder::Arc(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        swf::Point c = OnEllipse(kOctantControl[i % kOctants], cx, cy, rx, ry);
        swf::Point p = OnEllipse(kOctantPoint[(i + 1) % kOctants], cx, cy, rx, ry);
        CurveTo(c.x, c.y, p.x, p.y);
    }
}

ShapeBuilder& ShapeBuilder::Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
    MoveTo(cx + rx, cy);
    Arc(cx, cy, rx, ry, 0, kOctants);
    // Rounding can leave the last point a twip off the first.
    return Close();
}

ShapeBuilder& ShapeBuilder::RoundedRect(const swf::Rect& r, int32_t radius) {
    radius = std::clamp(radius, 0, std::min(r.Width(), r.Height()) / 2);
    if (radius == 0) return Rectangle(r);
    constexpr int kQuarter = 2;  // octants per corner
    constexpr int kRightStart = 0, kBottomStart = 2, kLeftStart = 4, kTopStart = 6;
    MoveTo(r.xMin + radius, r.yMin);
    LineTo(r.xMax - radius, r.yMin);
    Arc(r.xMax - radius, r.yMin + radius, radius, radius, kTopStart, kQuarter);
    LineTo(r.xMax, r.yMax - radius);
    Arc(r.xMax - radius, r.yMax - radius, radius, radius, kRightStart, kQuarter);
    LineTo(r.xMin + radius, r.yMax);
    Arc(r.xMin + radius, r.yMax - radius, radius, radius, kBottomStart, kQuarter);
    LineTo(r.xMin, r.yMin + radius);
    Arc(r.xMin + radius, r.yMin + radius, radius, radius, kLeftStart, kQuarter);
    return Close();
}

ShapeBuilder& ShapeBuilder::Star(int32_t cx, int32_t cy, int points, int32_t outer,
                                 int32_t inner) {
    // Builds the figure from doubles once; only moviegen-style callers use
    // it, and the rounded twips are what the file stores.
    const double kPi = 3.14159265358979323846;
    int vertices = inner > 0 ? points * 2 : points;
    for (int i = 0; i < vertices; ++i) {
        double angle = -kPi / 2 + 2 * kPi * i / vertices;
        int32_t radius = (inner > 0 && i % 2) ? inner : outer;
        int32_t x = cx + static_cast<int32_t>(std::lround(radius * std::cos(angle)));
        int32_t y = cy + static_cast<int32_t>(std::lround(radius * std::sin(angle)));
        if (i == 0)
            MoveTo(x, y);
        else
            LineTo(x, y);
    }
    return Close();
}

ShapeBuilder& ShapeBuilder::FillRect(const swf::Rect& r, uint16_t fill, uint16_t line) {
    SetFill0(0).SetFill1(fill).SetLine(line);
    return Rectangle(r);
}

ShapeBuilder& ShapeBuilder::FillEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                                        uint16_t fill, uint16_t line) {
    SetFill0(0).SetFill1(fill).SetLine(line);
    return Ellipse(cx, cy, rx, ry);
}

ShapeBuilder& ShapeBuilder::FillRoundedRect(const swf::Rect& r, int32_t radius, uint16_t fill,
                                            uint16_t line) {
    SetFill0(0).SetFill1(fill).SetLine(line);
    return RoundedRect(r, radius);
}

swf::Shape ShapeBuilder::Build() const {
    swf::Shape shape = shape_;
    int32_t minX = std::numeric_limits<int32_t>::max(), minY = minX;
    int32_t maxX = std::numeric_limits<int32_t>::min(), maxY = maxX;
    uint16_t widest = 0;
    bool any = false;
    for (const swf::ShapeLayer& layer : shape.layers) {
        for (const swf::LineStyle& l : layer.lines) widest = std::max(widest, l.width);
        for (const swf::ShapeEdge& e : layer.edges) {
            const swf::Point points[] = {e.from, e.to, e.control};
            const int count = e.curved ? 3 : 2;
            for (int i = 0; i < count; ++i) {
                const swf::Point& p = points[i];
                minX = std::min(minX, p.x);
                minY = std::min(minY, p.y);
                maxX = std::max(maxX, p.x);
                maxY = std::max(maxY, p.y);
                any = true;
            }
        }
    }
    if (any) {
        shape.edgeBounds = {minX, maxX, minY, maxY};
        int32_t pad = widest / 2;
        shape.bounds = {minX - pad, maxX + pad, minY - pad, maxY + pad};
    }
    return shape;
}

}  // namespace swfmake
