// Anti-aliased scan conversion with exact area coverage.
//
// Lines (in subpixels, 1/256 pixel) are clipped to the target, then walked
// cell by cell: each pixel cell accumulates `cover` (signed height of the
// line parts inside it) and `area` (height times the summed x fractions at
// both ends, i.e. twice the trapezoid to the left of the line). A sweep
// integrates each row from the left; the winding there is the running cover
// and the pixel's coverage is cover * 2 * kOnePixel - area. The nonzero
// rule is applied in the sweep only, so edges may arrive in any order and
// need not be stitched into contours.
//
// Alpha rounding, stated once: alpha = round-half-up(coverage * 255), with
// coverage = min(|winding area|, 1) of the pixel. A half-covered pixel gives
// 128, a fully covered one 255.
//
// Memory: cells live in a dense grid of band rows x (width + 1) columns,
// sized from a fixed budget, so a hostile coordinate cannot make anything
// grow; tall shapes are drawn band by band with identical results, since
// each line's row crossings are computed from its own end points only.
// Each row also lists its touched cells, so the sweep costs per cell, not
// per pixel, and long runs leave as single spans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "swf/render/RasterMath.h"

namespace swf {

struct Span {
    int32_t x = 0;    // pixel
    int32_t len = 0;  // pixels
    uint8_t alpha = 0;
};

enum class FillRule : uint8_t { NonZero, EvenOdd };

// How a pixel's alpha follows from the outline: exact area coverage;
// coverage rounded to quarters (what a 2x2 grid of samples gives); or one
// sample at the pixel centre, all or nothing.
enum class Sampling : uint8_t { Exact, Quarters, Centre };

// Receives the spans of one row at a time, left to right, non-overlapping.
class SpanSink {
public:
    virtual ~SpanSink() = default;
    virtual void Row(int32_t y, const Span* spans, size_t count) = 0;
};

class Rasterizer : public LineSink {
public:
    // Largest target side handled; keeps clipped subpixels inside int32.
    static constexpr int32_t kMaxSide = 1 << 22;

    // Starts a new line set for a width x height pixel target.
    void Reset(int32_t width, int32_t height);
    // Adds a directed line; any coordinates are accepted and clipped.
    void AddLine(Point64 from, Point64 to);
    void Line(Point64 from, Point64 to) override { AddLine(from, to); }
    bool Empty() const { return lines_.empty(); }
    // Lines and touched cells rendered so far: what a render cost, for
    // callers that bound the work scripts can ask for.
    uint64_t Work() const { return work_; }
    // Debug builds then assert that every row's covers sum to zero, which
    // holds whenever the lines form closed contours.
    void SetExpectClosed(bool closed) { expectClosed_ = closed; }
    // Kept across Reset; NonZero and Exact unless set.
    void SetFillRule(FillRule rule) {
        rule_ = rule;
        plainAlpha_ = rule_ == FillRule::NonZero && sampling_ == Sampling::Exact;
    }
    void SetSampling(Sampling sampling) {
        sampling_ = sampling;
        plainAlpha_ = rule_ == FillRule::NonZero && sampling_ == Sampling::Exact;
    }
    // Sweeps the lines with the fill rule and sends the spans to `sink`.
    void Render(SpanSink& sink);
    // Tests force smaller bands and the plain per-pixel sweep that the
    // sparse one must match; nothing else may.
    friend struct RasterizerTestAccess;

private:
    struct StoredLine {
        int32_t x0, y0, x1, y1;  // subpixels inside the target
    };

    void ClipLine(Point64 a, Point64 b, int depth);
    void ClipInsideRange(Point64 a, Point64 b);
    void EmitVertical(Subpixel x, Subpixel ya, Subpixel yb);
    void Emit(Subpixel x0, Subpixel y0, Subpixel x1, Subpixel y1);
    void RenderLine(const StoredLine& line, int32_t bandTop, int32_t bandBottom);
    void RenderRowPiece(int32_t row, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t sign);
    void AddCell(int32_t row, int32_t col, int32_t dy, int32_t fxSum);
    void PrepareCells();
    void PushSpan(int32_t x, int32_t len, uint8_t alpha);
    void SweepRow(int32_t row, int32_t y, SpanSink& sink);
    void SweepRowDense(int32_t row, int32_t y, SpanSink& sink);
    void FinishRow(int32_t y, int64_t winding, int32_t next, SpanSink& sink);
    void RenderCentres(SpanSink& sink);
    bool Inside(int64_t winding) const { return rule_ == FillRule::EvenOdd ? (winding & 1) != 0 : winding != 0; }
    uint8_t Alpha(int64_t area) const;

    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t bandRows_ = 0;
    int32_t forcedBandRows_ = 0;
    bool expectClosed_ = false;
    bool referenceSweep_ = false;
    FillRule rule_ = FillRule::NonZero;
    Sampling sampling_ = Sampling::Exact;
    bool plainAlpha_ = true;  // nonzero and exact: the common, fastest case
    int32_t minY_ = 0;  // subpixel extent of the stored lines
    int32_t maxY_ = 0;
    std::vector<StoredLine> lines_;
    uint64_t work_ = 0;
    std::vector<StoredLine> active_;  // lines crossing the current band
    std::vector<int64_t> cover_;  // per cell of the band, in subpixels
    std::vector<int64_t> area_;   // per cell, subpixels squared (x2)
    std::vector<uint8_t> touched_;  // per cell: listed in rowCells_
    std::vector<std::vector<int32_t>> rowCells_;  // touched columns per band row
    std::vector<Span> spans_;
    std::vector<std::pair<int32_t, int32_t>> crossings_;  // x, direction
};

// Alpha of a pixel whose accumulated winding area is `area` (2 * 256 * 256
// per full pixel and winding unit), nonzero rule.
inline uint8_t AlphaFromArea(int64_t area) {
    constexpr int64_t kFull = int64_t(2) * kOnePixel * kOnePixel;
    constexpr int kFullShift = 2 * kPixelBits + 1;
    int64_t w = area < 0 ? -area : area;
    if (w >= kFull) return 255;
    return static_cast<uint8_t>((w * 255 + kFull / 2) >> kFullShift);
}

// The same with the even-odd rule: the winding area folds back every two
// full units, so a pixel covered twice over is empty.
inline uint8_t AlphaFromAreaEvenOdd(int64_t area) {
    constexpr int64_t kFull = int64_t(2) * kOnePixel * kOnePixel;
    int64_t w = (area < 0 ? -area : area) & (2 * kFull - 1);
    return AlphaFromArea(w > kFull ? 2 * kFull - w : w);
}

// Rounds an alpha to the nearest quarter: 0, 64, 128, 191 or 255.
inline uint8_t QuarterAlpha(uint8_t alpha) {
    static constexpr uint8_t kQuarters[5] = {0, 64, 128, 191, 255};
    return kQuarters[(alpha * 4 + 127) / 255];
}

}  // namespace swf
