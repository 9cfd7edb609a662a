// Draws one shape: the order of fills and strokes, and the glue between
// the flattener, the stroker, the rasteriser and the compositor.
//
// Order per layer: its fills in style order (each fill's region is the
// nonzero winding of its directed edges), then its strokes in edge order,
// one pass per run of polylines with the same line style, so a
// semi-transparent style is not blended twice where its polylines meet.
#pragma once

#include <functional>
#include <vector>

#include "swf/model/Bitmap.h"
#include "swf/model/Color.h"
#include "swf/model/FrameBuffer.h"
#include "swf/model/Shape.h"
#include "swf/render/Flatten.h"
#include "swf/render/Rasterizer.h"
#include "swf/render/StrokeHinting.h"
#include "swf/render/SpanRecording.h"
#include "swf/render/Stroker.h"
#include "swf/render/Surface.h"

namespace swf {

// The polylines a layer's strokes follow: consecutive edges with the same
// line style that meet end to start.
struct StrokeRun {
    uint16_t line = 0;           // 1-based line style
    std::vector<Point64> points;  // flattened, subpixels
    bool closed = false;          // ends where it starts and may join there
};

// Calls `visit` with each polyline of `layer` in edge order; with `hints`
// (one per line style), hinted styles' edges are moved to the pixel grid.
void ForEachPolyline(const ShapeLayer& layer, const FlatLayer& flat,
                     const std::function<void(const StrokeRun&)>& visit,
                     const std::vector<StrokeHint>* hints = nullptr);

StrokeStyle MakeStrokeStyle(const LineStyle& line, const Matrix& toTarget);

// Largest stroke half width of the layer, in subpixels (0 without lines).
Subpixel MaxHalfWidth(const ShapeLayer& layer, const Matrix& toTarget);

class ShapeRenderer {
public:
    // Where bitmap fills find their pixels; without it they draw nothing.
    void SetBitmaps(const BitmapSource* bitmaps) { bitmaps_ = bitmaps; }
    void Draw(const Surface& target, const Shape& shape, const Matrix& toTarget,
              const ColorTransform& cxform);
    void Draw(FrameBuffer& target, const Shape& shape, const Matrix& toTarget,
              const ColorTransform& cxform) {
        Draw(Surface{&target, nullptr, nullptr, target.Width(), target.Height()}, shape, toTarget, cxform);
    }
    // Draws through `recording`: fills it when `fresh`, else paints what it
    // holds (the same shape and matrix drew it).
    void DrawRecorded(const Surface& target, const Shape& shape, const Matrix& toTarget,
                      const ColorTransform& cxform, ShapeRecording& recording, bool fresh);
    uint64_t Work() const { return raster_.Work(); }
    // Centre sampling (low quality) never smooths bitmaps either, but mixes
    // gradient ramp entries.
    void SetSampling(Sampling sampling) {
        raster_.SetSampling(sampling);
        smoothBitmaps_ = sampling != Sampling::Centre;
    }

private:
    void DrawFills(const Surface& target, const Shape& shape, const ShapeLayer& layer,
                   const Matrix& toTarget, const ColorTransform& cxform);
    void DrawStrokes(const Surface& target, const ShapeLayer& layer, const Matrix& toTarget,
                     const ColorTransform& cxform, const Box& keep);
    void Composite(const Surface& target, const FillStyle* fill, Rgba color,
                   const Matrix& toTarget, const ColorTransform& cxform);
    template <typename Feed>
    void PaintSpans(const Surface& target, const FillStyle* fill, Rgba color, const Matrix& toTarget,
                    const ColorTransform& cxform, const Feed& feed);

    const BitmapSource* bitmaps_ = nullptr;
    bool smoothBitmaps_ = true;
    Rasterizer raster_;
    FlatLayer flat_;
    std::vector<FillEdgeRef> fillRefs_;
    std::vector<Span> clipped_;
    std::vector<StrokeStyle> styles_;  // of the layer's line styles
    std::vector<StrokeHint> hints_;
    ShapeRecording* recording_ = nullptr;  // passes drawn now are kept here
    uint16_t layerIndex_ = 0;
    uint16_t styleIndex_ = 0;
    bool strokePass_ = false;
};

}  // namespace swf
