#include "swf/render/Rasterizer.h"

#include <algorithm>
#include <cassert>
#include <climits>

namespace swf {

namespace {

// Coordinates within +-2^30 can be clipped with 64-bit products; larger ones
// are halved first. The depth bound stops a degenerate line from recursing.
constexpr Subpixel kExactRange = Subpixel(1) << 30;
constexpr int kMaxClipDepth = 64;
// Cells per band (17 bytes each); bands are at most this many rows. With a
// sparse sweep the band height hardly matters, so it stays small to keep
// the grid in cache.
constexpr int64_t kCellBudget = 1 << 15;
constexpr int32_t kMaxBandRows = 16;
// Area of a full pixel per unit of cover: 2 * kOnePixel (area is doubled).
constexpr int64_t kAreaPerCover = int64_t(2) * kOnePixel;

bool InExactRange(Point64 p) {
    return p.x > -kExactRange && p.x < kExactRange && p.y > -kExactRange && p.y < kExactRange;
}

// x where the line a-b reaches y, rounded; a.y != b.y, |coordinates| < 2^30.
Subpixel XAtY(Point64 a, Point64 b, Subpixel y) {
    return a.x + RoundDiv((b.x - a.x) * (y - a.y), b.y - a.y);
}

Subpixel YAtX(Point64 a, Point64 b, Subpixel x) {
    return a.y + RoundDiv((b.y - a.y) * (x - a.x), b.x - a.x);
}

}  // namespace

void Rasterizer::Reset(int32_t width, int32_t height) {
    width_ = std::clamp(width, 0, kMaxSide);
    height_ = std::clamp(height, 0, kMaxSide);
    lines_.clear();
    expectClosed_ = false;
    minY_ = INT32_MAX;
    maxY_ = INT32_MIN;
}

void Rasterizer::AddLine(Point64 from, Point64 to) {
    if (width_ == 0 || height_ == 0 || from.y == to.y) return;
    ClipLine(from, to, 0);
}

void Rasterizer::ClipLine(Point64 a, Point64 b, int depth) {
    const Subpixel right = Subpixel(width_) * kOnePixel;
    const Subpixel bottom = Subpixel(height_) * kOnePixel;
    if (a.y == b.y || depth > kMaxClipDepth) return;
    if (std::max(a.y, b.y) <= 0 || std::min(a.y, b.y) >= bottom) return;
    // Beside the target only the heights matter: left of it the line still
    // winds every pixel to its right, right of it it balances the row.
    if (std::max(a.x, b.x) <= 0) return EmitVertical(0, a.y, b.y);
    if (std::min(a.x, b.x) >= right) return EmitVertical(right, a.y, b.y);
    if (InExactRange(a) && InExactRange(b)) return ClipInsideRange(a, b);
    Point64 mid{a.x + (b.x - a.x) / 2, a.y + (b.y - a.y) / 2};
    ClipLine(a, mid, depth + 1);
    ClipLine(mid, b, depth + 1);
}

void Rasterizer::ClipInsideRange(Point64 a, Point64 b) {
    const Subpixel right = Subpixel(width_) * kOnePixel;
    const Subpixel bottom = Subpixel(height_) * kOnePixel;
    auto clampY = [&](Point64 p) {
        if (p.y < 0) return Point64{XAtY(a, b, 0), 0};
        if (p.y > bottom) return Point64{XAtY(a, b, bottom), bottom};
        return p;
    };
    const Point64 ca = clampY(a), cb = clampY(b);
    // Split at the left and right edges; outer parts become verticals there.
    Subpixel edges[2] = {0, right};
    Point64 pts[4] = {ca};
    int n = 1;
    for (Subpixel edge : edges) {
        bool crosses = (ca.x < edge && cb.x > edge) || (ca.x > edge && cb.x < edge);
        if (crosses) pts[n++] = {edge, YAtX(ca, cb, edge)};
    }
    if (n == 3 && (pts[1].x < pts[2].x) != (ca.x < cb.x)) std::swap(pts[1], pts[2]);
    pts[n++] = cb;
    for (int i = 0; i + 1 < n; ++i) {
        Point64 p = pts[i], q = pts[i + 1];
        Subpixel midX = p.x / 2 + q.x / 2;
        if (midX <= 0) EmitVertical(0, p.y, q.y);
        else if (midX >= right) EmitVertical(right, p.y, q.y);
        else Emit(p.x, p.y, q.x, q.y);
    }
}

void Rasterizer::EmitVertical(Subpixel x, Subpixel ya, Subpixel yb) {
    const Subpixel bottom = Subpixel(height_) * kOnePixel;
    Emit(x, std::clamp<Subpixel>(ya, 0, bottom), x, std::clamp<Subpixel>(yb, 0, bottom));
}

void Rasterizer::Emit(Subpixel x0, Subpixel y0, Subpixel x1, Subpixel y1) {
    if (y0 == y1) return;
    const Subpixel right = Subpixel(width_) * kOnePixel;
    StoredLine l{int32_t(std::clamp<Subpixel>(x0, 0, right)), int32_t(y0),
           int32_t(std::clamp<Subpixel>(x1, 0, right)), int32_t(y1)};
    lines_.push_back(l);
    minY_ = std::min(minY_, std::min(l.y0, l.y1));
    maxY_ = std::max(maxY_, std::max(l.y0, l.y1));
}

uint8_t Rasterizer::Alpha(int64_t area) const {
    if (plainAlpha_) return AlphaFromArea(area);
    const uint8_t a = rule_ == FillRule::EvenOdd ? AlphaFromAreaEvenOdd(area) : AlphaFromArea(area);
    return sampling_ == Sampling::Quarters ? QuarterAlpha(a) : a;
}

void Rasterizer::Render(SpanSink& sink) {
    if (lines_.empty()) return;
    if (sampling_ == Sampling::Centre) return RenderCentres(sink);
    PrepareCells();
    const int32_t firstRow = minY_ >> kPixelBits;
    const int32_t lastRow = std::min((maxY_ - 1) >> kPixelBits, height_ - 1);
    auto lineTop = [](const StoredLine& l) { return std::min(l.y0, l.y1); };
    auto lineBottom = [](const StoredLine& l) { return std::max(l.y0, l.y1); };
    // Several bands: walk the lines top-down with an active list so each
    // line is visited only by the bands it crosses.
    if (lastRow - firstRow >= bandRows_) {
        std::sort(lines_.begin(), lines_.end(),
                  [&](const StoredLine& a, const StoredLine& b) { return lineTop(a) < lineTop(b); });
    }
    work_ += lines_.size();
    active_.clear();
    size_t next = 0;
    for (int32_t top = firstRow; top <= lastRow; top += bandRows_) {
        const int32_t bandEnd = std::min(top + bandRows_, lastRow + 1);
        const int32_t endSub = bandEnd * kOnePixel;
        while (next < lines_.size() && lineTop(lines_[next]) < endSub) active_.push_back(lines_[next++]);
        for (const StoredLine& l : active_) RenderLine(l, top, bandEnd);
        active_.erase(std::remove_if(active_.begin(), active_.end(),
                                     [&](const StoredLine& l) { return lineBottom(l) <= endSub; }),
                      active_.end());
        for (int32_t y = top; y < bandEnd; ++y) {
            if (referenceSweep_) SweepRowDense(y - top, y, sink);
            else SweepRow(y - top, y, sink);
        }
    }
}

// The cell grid outlives a render: every sweep leaves its cells zeroed, so
// only a new target width costs a fresh allocation.
void Rasterizer::PrepareCells() {
    const int32_t columns = width_ + 1;
    int32_t rows = static_cast<int32_t>(std::clamp<int64_t>(kCellBudget / columns, 1, kMaxBandRows));
    if (forcedBandRows_ > 0) rows = forcedBandRows_;
    const size_t cells = size_t(rows) * columns;
    if (rows == bandRows_ && cover_.size() == cells) return;
    bandRows_ = rows;
    cover_.assign(cells, 0);
    area_.assign(cells, 0);
    touched_.assign(cells, 0);
    rowCells_.assign(rows, {});
}

void Rasterizer::RenderLine(const StoredLine& line, int32_t bandTop, int32_t bandBottom) {
    Point64 a{line.x0, line.y0}, b{line.x1, line.y1};
    int32_t sign = 1;
    if (a.y > b.y) {
        std::swap(a, b);
        sign = -1;
    }
    // Row crossings come from the end points alone, never from the band.
    auto xAt = [&](Subpixel y) { return y == a.y ? a.x : y == b.y ? b.x : XAtY(a, b, y); };
    Subpixel ya = std::max<Subpixel>(a.y, Subpixel(bandTop) * kOnePixel);
    const Subpixel yEnd = std::min<Subpixel>(b.y, Subpixel(bandBottom) * kOnePixel);
    Subpixel xa = xAt(ya);
    int32_t row = int32_t(ya >> kPixelBits);
    while (ya < yEnd) {
        const Subpixel rowTop = Subpixel(row) * kOnePixel;
        const Subpixel yb = std::min(rowTop + kOnePixel, yEnd);
        const Subpixel xb = xAt(yb);
        RenderRowPiece(row - bandTop, int32_t(xa), int32_t(ya - rowTop), int32_t(xb),
                       int32_t(yb - rowTop), sign);
        ya = yb;
        xa = xb;
        ++row;
    }
}

// One line piece inside a row, ya < yb as row fractions, walked cell by cell.
void Rasterizer::RenderRowPiece(int32_t row, int32_t xa, int32_t ya, int32_t xb, int32_t yb,
                                int32_t sign) {
    if (xa == xb) {
        AddCell(row, xa >> kPixelBits, sign * (yb - ya), 2 * (xa & (kOnePixel - 1)));
        return;
    }
    const bool rightward = xb > xa;
    // A start exactly on a column edge belongs to the cell the line enters.
    int32_t col = rightward ? (xa >> kPixelBits) : ((xa - 1) >> kPixelBits);
    int32_t fxPrev = xa - col * kOnePixel;
    int32_t yPrev = ya;
    const int64_t dx = int64_t(xb) - xa, dy = int64_t(yb) - ya;
    for (;;) {
        const int32_t edge = rightward ? (col + 1) * kOnePixel : col * kOnePixel;
        if (rightward ? edge >= xb : edge <= xb) break;
        const int32_t yEdge = int32_t(ya + RoundDiv(dy * (int64_t(edge) - xa), dx));
        const int32_t fxEdge = rightward ? kOnePixel : 0;
        AddCell(row, col, sign * (yEdge - yPrev), fxPrev + fxEdge);
        yPrev = yEdge;
        fxPrev = kOnePixel - fxEdge;
        col += rightward ? 1 : -1;
    }
    AddCell(row, col, sign * (yb - yPrev), fxPrev + (xb - col * kOnePixel));
}

void Rasterizer::AddCell(int32_t row, int32_t col, int32_t dy, int32_t fxSum) {
    if (dy == 0) return;
    const size_t i = size_t(row) * (width_ + 1) + col;
    cover_[i] += dy;
    area_[i] += int64_t(dy) * fxSum;
    if (!touched_[i]) {
        touched_[i] = 1;
        rowCells_[row].push_back(col);
    }
}

void Rasterizer::PushSpan(int32_t x, int32_t len, uint8_t alpha) {
    if (alpha == 0 || len <= 0) return;
    if (!spans_.empty() && spans_.back().alpha == alpha && spans_.back().x + spans_.back().len == x) {
        spans_.back().len += len;
    } else {
        spans_.push_back({x, len, alpha});
    }
}

// Visits only the touched cells, in x order; between two of them the
// winding is constant, so the run costs one span whatever its length.
void Rasterizer::SweepRow(int32_t row, int32_t y, SpanSink& sink) {
    std::vector<int32_t>& cols = rowCells_[row];
    if (cols.empty()) return;
    work_ += cols.size();
    std::sort(cols.begin(), cols.end());
    const size_t base = size_t(row) * (width_ + 1);
    spans_.clear();
    int64_t winding = 0;
    int32_t next = 0;  // first pixel not yet emitted
    for (int32_t col : cols) {
        if (winding != 0) PushSpan(next, std::min(col, width_) - next, Alpha(winding * kAreaPerCover));
        const size_t i = base + col;
        winding += cover_[i];
        const int64_t a = area_[i];
        cover_[i] = area_[i] = 0;
        touched_[i] = 0;
        if (col < width_) PushSpan(col, 1, Alpha(winding * kAreaPerCover - a));
        next = col + 1;
    }
    FinishRow(y, winding, next, sink);
    cols.clear();
}

// The plain reference for SweepRow: every pixel from the first touched
// cell to the last, one at a time.
void Rasterizer::SweepRowDense(int32_t row, int32_t y, SpanSink& sink) {
    const std::vector<int32_t>& cols = rowCells_[row];
    if (cols.empty()) return;
    const int32_t lo = *std::min_element(cols.begin(), cols.end());
    const int32_t hi = *std::max_element(cols.begin(), cols.end());
    const size_t base = size_t(row) * (width_ + 1);
    spans_.clear();
    int64_t winding = 0;
    for (int32_t x = lo; x <= hi; ++x) {
        const size_t i = base + x;
        winding += cover_[i];
        const int64_t a = area_[i];
        cover_[i] = area_[i] = 0;
        touched_[i] = 0;
        if (x < width_) PushSpan(x, 1, Alpha(winding * kAreaPerCover - a));
    }
    FinishRow(y, winding, hi + 1, sink);
    rowCells_[row].clear();
}

void Rasterizer::FinishRow(int32_t y, int64_t winding, int32_t next, SpanSink& sink) {
    // Open input leaves a winding at the right end: it fills to the edge.
    assert(!expectClosed_ || winding == 0);
    if (winding != 0 && next < width_) PushSpan(next, width_ - next, Alpha(winding * kAreaPerCover));
    if (!spans_.empty()) sink.Row(y, spans_.data(), spans_.size());
}

// One sample per pixel at its centre: each row's crossings of the line
// y = row + 1/2 (lines are half-open at their bottom end), sorted, give
// the runs where the rule says inside; a pixel is in when its centre is,
// i.e. from ceil(x - 1/2) up to but not including the run's end.
void Rasterizer::RenderCentres(SpanSink& sink) {
    auto lineTop = [](const StoredLine& l) { return std::min(l.y0, l.y1); };
    auto lineBottom = [](const StoredLine& l) { return std::max(l.y0, l.y1); };
    std::sort(lines_.begin(), lines_.end(),
              [&](const StoredLine& a, const StoredLine& b) { return lineTop(a) < lineTop(b); });
    auto firstPixel = [this](Subpixel x) {
        return int32_t(std::clamp<Subpixel>((x - kOnePixel / 2 + kOnePixel - 1) >> kPixelBits, 0, width_));
    };
    const int32_t firstRow = minY_ >> kPixelBits;
    const int32_t lastRow = std::min((maxY_ - 1) >> kPixelBits, height_ - 1);
    active_.clear();
    size_t next = 0;
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        const int32_t yc = row * kOnePixel + kOnePixel / 2;
        while (next < lines_.size() && lineTop(lines_[next]) <= yc) active_.push_back(lines_[next++]);
        active_.erase(std::remove_if(active_.begin(), active_.end(),
                                     [&](const StoredLine& l) { return lineBottom(l) <= yc; }),
                      active_.end());
        crossings_.clear();
        for (const StoredLine& l : active_) {
            if (lineTop(l) > yc) continue;
            const Point64 a{l.x0, l.y0}, b{l.x1, l.y1};
            crossings_.emplace_back(int32_t(XAtY(a, b, yc)), l.y0 < l.y1 ? 1 : -1);
        }
        if (crossings_.empty()) continue;
        std::sort(crossings_.begin(), crossings_.end());
        spans_.clear();
        int64_t winding = 0;
        for (size_t i = 0; i < crossings_.size(); ++i) {
            winding += crossings_[i].second;
            if (!Inside(winding)) continue;
            const int32_t from = firstPixel(crossings_[i].first);
            const int32_t to = i + 1 < crossings_.size() ? firstPixel(crossings_[i + 1].first) : width_;
            PushSpan(from, to - from, 255);
        }
        if (!spans_.empty()) sink.Row(row, spans_.data(), spans_.size());
    }
}

}  // namespace swf
