#include "swf/render/ShapeRenderer.h"

#include <algorithm>

#include "swf/render/Paint.h"

namespace swf {

namespace {

// Slack around the target for flattening: a chord outside it is exact.
constexpr Subpixel kKeepMargin = 2 * kOnePixel;

#ifndef NDEBUG
// Whether the directed edges of one fill form closed contours: every point
// is left as often as it is reached. Then every row's covers sum to zero,
// which debug builds assert; open input is drawn but not asserted on.
bool FillIsClosed(const ShapeLayer& layer, const FillEdgeRef* begin, const FillEdgeRef* end) {
    auto key = [](Point p) { return (uint64_t(uint32_t(p.x)) << 32) | uint32_t(p.y); };
    std::vector<uint64_t> starts, ends;
    for (const FillEdgeRef* r = begin; r != end; ++r) {
        const ShapeEdge& e = layer.edges[r->edge];
        starts.push_back(key(r->reversed ? e.to : e.from));
        ends.push_back(key(r->reversed ? e.from : e.to));
    }
    std::sort(starts.begin(), starts.end());
    std::sort(ends.begin(), ends.end());
    return starts == ends;
}
#endif

}  // namespace

void ForEachPolyline(const ShapeLayer& layer, const FlatLayer& flat,
                     const std::function<void(const StrokeRun&)>& visit, const std::vector<StrokeHint>* hints) {
    StrokeRun run;
    const ShapeEdge* prev = nullptr;
    auto flush = [&] {
        if (run.points.empty()) return;
        run.closed = run.points.size() > 2 && run.points.front() == run.points.back() &&
                     !layer.lines[run.line - 1].noClose;
        visit(run);
        run.points.clear();
    };
    for (size_t i = 0; i < layer.edges.size(); ++i) {
        const ShapeEdge& e = layer.edges[i];
        const bool valid = e.line != 0 && e.line <= layer.lines.size();
        const bool continues = valid && prev && prev->line == e.line && prev->to == e.from;
        if (!continues) flush();
        prev = valid ? &e : nullptr;
        if (!valid) continue;
        run.line = e.line;
        const uint32_t first = flat.start[i], last = flat.start[i + 1];
        const size_t at = run.points.size();
        run.points.insert(run.points.end(), flat.points.begin() + first, flat.points.begin() + last);
        if (hints) HintEdge(run.points.data() + at, last - first, (*hints)[e.line - 1]);
        // The first point of a continuing edge repeats the previous end.
        if (at > 0) run.points.erase(run.points.begin() + at);
    }
    flush();
}

StrokeStyle MakeStrokeStyle(const LineStyle& line, const Matrix& toTarget) {
    StrokeStyle s;
    s.halfWidth = StrokeHalfWidth(line, toTarget);
    s.pen = StrokePen(line, toTarget);
    s.startCap = line.startCap;
    s.endCap = line.endCap;
    s.join = line.join;
    s.miterLimit = line.miterLimit;
    return s;
}

Subpixel MaxHalfWidth(const ShapeLayer& layer, const Matrix& toTarget) {
    Subpixel hw = 0;
    for (const LineStyle& l : layer.lines)
        hw = std::max(hw, PenReach(StrokePen(l, toTarget), StrokeHalfWidth(l, toTarget)));
    return hw;
}

void ShapeRenderer::Draw(const Surface& target, const Shape& shape, const Matrix& toTarget,
                         const ColorTransform& cxform) {
    if (target.width <= 0 || target.height <= 0) return;
    const Box targetBox{0, 0, Subpixel(target.width) * kOnePixel, Subpixel(target.height) * kOnePixel};
    layerIndex_ = 0;
    for (const ShapeLayer& layer : shape.layers) {
        const Box keep = targetBox.Expanded(MaxHalfWidth(layer, toTarget) + kKeepMargin);
        FlattenLayer(layer, toTarget, keep, flat_);
        DrawFills(target, shape, layer, toTarget, cxform);
        // A mask is its fills: its outlines add no coverage.
        if (target.pixels) DrawStrokes(target, layer, toTarget, cxform, keep);
        ++layerIndex_;
    }
}

void ShapeRenderer::DrawRecorded(const Surface& target, const Shape& shape, const Matrix& toTarget,
                                 const ColorTransform& cxform, ShapeRecording& recording, bool fresh) {
    if (fresh) {
        recording_ = &recording;
        Draw(target, shape, toTarget, cxform);
        recording_ = nullptr;
        return;
    }
    for (const RecordedPass& pass : recording.passes) {
        if (pass.layer >= shape.layers.size()) continue;
        const ShapeLayer& layer = shape.layers[pass.layer];
        const size_t styles = pass.stroke ? layer.lines.size() : layer.fills.size();
        if (pass.style == 0 || pass.style > styles || (pass.stroke && !target.pixels)) continue;
        const FillStyle* fill = nullptr;
        Rgba color;
        if (!pass.stroke) {
            fill = &layer.fills[pass.style - 1];
        } else {
            const LineStyle& l = layer.lines[pass.style - 1];
            fill = l.hasFill ? &l.fill : nullptr;
            color = l.color;
        }
        PaintSpans(target, fill, color, toTarget, cxform, [&](SpanSink& sink) { pass.Replay(sink); });
    }
}

void ShapeRenderer::DrawFills(const Surface& target, const Shape& shape, const ShapeLayer& layer,
                              const Matrix& toTarget, const ColorTransform& cxform) {
    SortFillEdges(layer, fillRefs_);
    raster_.SetFillRule(shape.evenOdd ? FillRule::EvenOdd : FillRule::NonZero);
    const FillEdgeRef* refs = fillRefs_.data();
    for (size_t begin = 0; begin < fillRefs_.size();) {
        size_t end = begin;
        while (end < fillRefs_.size() && refs[end].fill == refs[begin].fill) ++end;
        const uint16_t fill = refs[begin].fill;
        if (fill <= layer.fills.size()) {
            raster_.Reset(target.width, target.height);
            styleIndex_ = fill;
            strokePass_ = false;
#ifndef NDEBUG
            raster_.SetExpectClosed(FillIsClosed(layer, refs + begin, refs + end));
#endif
            EmitFillLines(flat_, refs + begin, refs + end, raster_);
            Composite(target, &layer.fills[fill - 1], Rgba{}, toTarget, cxform);
        }
        begin = end;
    }
}

void ShapeRenderer::DrawStrokes(const Surface& target, const ShapeLayer& layer, const Matrix& toTarget,
                                const ColorTransform& cxform, const Box& keep) {
    raster_.SetFillRule(FillRule::NonZero);
    styles_.clear();
    hints_.clear();
    for (const LineStyle& l : layer.lines) {
        styles_.push_back(MakeStrokeStyle(l, toTarget));
        hints_.push_back(HintStroke(l, styles_.back().halfWidth));
        if (!smoothBitmaps_ && hints_.back() == StrokeHint::CentresBefore) {
            // Sampled at centres, a thin line is a one pixel band between
            // its end points as they are, with no caps.
            hints_.back() = StrokeHint::None;
            styles_.back().startCap = styles_.back().endCap = CapStyle::None;
        }
    }
    uint16_t passLine = 0;
    auto finishPass = [&] {
        if (passLine == 0) return;
        const LineStyle& l = layer.lines[passLine - 1];
        raster_.SetExpectClosed(true);
        styleIndex_ = passLine;
        strokePass_ = true;
        Composite(target, l.hasFill ? &l.fill : nullptr, l.color, toTarget, cxform);
        passLine = 0;
    };
    ForEachPolyline(layer, flat_, [&](const StrokeRun& run) {
        if (run.line != passLine) {
            finishPass();
            raster_.Reset(target.width, target.height);
            passLine = run.line;
        }
        StrokePolyline(run.points, run.closed, styles_[run.line - 1], keep, raster_);
    }, &hints_);
    finishPass();
}

void ShapeRenderer::Composite(const Surface& target, const FillStyle* fill, Rgba color,
                              const Matrix& toTarget, const ColorTransform& cxform) {
    if (raster_.Empty()) return;
    if (!recording_) return PaintSpans(target, fill, color, toTarget, cxform, [&](SpanSink& s) { raster_.Render(s); });
    // Kept whatever this draw's paint, since a later one may differ.
    recording_->passes.emplace_back();
    RecordedPass& pass = recording_->passes.back();
    pass.layer = layerIndex_;
    pass.style = styleIndex_;
    pass.stroke = strokePass_;
    RecordingSink sink(pass);
    raster_.Render(sink);
    PaintSpans(target, fill, color, toTarget, cxform, [&](SpanSink& s) { pass.Replay(s); });
}

template <typename Feed>
void ShapeRenderer::PaintSpans(const Surface& target, const FillStyle* fill, Rgba color, const Matrix& toTarget,
                               const ColorTransform& cxform, const Feed& feed) {
    if (!target.pixels) {  // a mask: its shape counts, not its paint
        CoverageSink coverage(target.coverage, target.width);
        if (!target.clip) return feed(coverage);
        ClipSink clip(coverage, target.clip, target.width, clipped_);
        return feed(clip);
    }
    Paint paint = fill ? MakePaint(*fill, toTarget, cxform, bitmaps_) : MakeSolidPaint(color, cxform);
    paint.smooth = paint.smooth && smoothBitmaps_;
    paint.mixRamp = !smoothBitmaps_;
    if (paint.kind == PaintKind::None) return;
    PaintCompositor compositor(*target.pixels, paint);
    if (!target.clip) return feed(compositor);
    ClipSink clip(compositor, target.clip, target.width, clipped_);
    feed(clip);
}

}  // namespace swf
