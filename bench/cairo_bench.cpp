// Our rasteriser against cairo on the same polygons.
//
// Plays sample.swf and records every shape drawn in every frame; each
// fill and stroke outline is flattened by our flattener and stroker (in
// subpixels), linked into closed contours, and then filled once by our
// rasteriser with its solid compositor and once by cairo (image surface,
// nonzero rule, default antialiasing, OVER), both with one solid colour per
// path. Only the filling is timed. Prints milliseconds per frame for both
// at 550x400 and 2200x1600 and the ratio (above 1: we are faster). Build in
// Release. Never fails.
#include <cairo.h>

#include <ctime>
#include <cstdio>
#include <map>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "swf/render/RenderBackend.h"
#include "swf/render/Flatten.h"
#include "swf/render/Paint.h"
#include "swf/render/Rasterizer.h"
#include "swf/render/ShapeRenderer.h"
#include "swf/render/Stroker.h"

namespace {

// Processor time, not wall time: the figures stay steady on a busy machine.
double ProcessorMs(std::clock_t since) { return 1000.0 * double(std::clock() - since) / CLOCKS_PER_SEC; }
using swf::Point64;

constexpr int kRounds = 3;
constexpr double kSubpixel = 256.0;
constexpr swf::Subpixel kKeepMargin = 2 * swf::kOnePixel;

struct Path {
    std::vector<std::vector<Point64>> contours;  // closed
    swf::Rgba color;
};
using FramePaths = std::vector<Path>;

struct Draw {
    const swf::Shape* shape;
    swf::Matrix toTarget;
};

class Recorder : public swf::RenderBackend {
public:
    std::vector<Draw> draws;
    void BeginFrame(swf::Rgba) override { draws.clear(); }
    void DrawShape(const swf::Shape& s, const swf::Matrix& m, const swf::ColorTransform&) override {
        draws.push_back({&s, m});
    }
    void EndFrame() override {}
};

// Collects lines, then links them end to start into contours.
class ContourSink : public swf::LineSink {
public:
    void Line(Point64 from, Point64 to) override {
        if (from != to) lines_.push_back({from, to});
    }
    std::vector<std::vector<Point64>> Take() {
        std::multimap<std::pair<int64_t, int64_t>, size_t> byStart;
        for (size_t i = 0; i < lines_.size(); ++i) byStart.emplace(std::make_pair(lines_[i].first.x, lines_[i].first.y), i);
        std::vector<bool> used(lines_.size());
        std::vector<std::vector<Point64>> out;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (used[i]) continue;
            std::vector<Point64> c{lines_[i].first};
            for (size_t cur = i;;) {
                used[cur] = true;
                c.push_back(lines_[cur].second);
                if (lines_[cur].second == c.front()) break;
                auto range = byStart.equal_range({lines_[cur].second.x, lines_[cur].second.y});
                size_t next = lines_.size();
                for (auto it = range.first; it != range.second; ++it)
                    if (!used[it->second]) next = it->second;
                if (next == lines_.size()) break;
                cur = next;
            }
            out.push_back(std::move(c));
        }
        lines_.clear();
        return out;
    }

private:
    std::vector<std::pair<Point64, Point64>> lines_;
};

swf::Rgba FillColor(const swf::FillStyle& f) {
    return f.kind == swf::FillKind::Solid || f.gradient.stops.empty() ? f.color : f.gradient.stops[0].color;
}

FramePaths Flatten(const Recorder& rec, int width, int height) {
    FramePaths paths;
    ContourSink sink;
    swf::FlatLayer flat;
    std::vector<swf::FillEdgeRef> refs;
    const swf::Box target{0, 0, swf::Subpixel(width) * swf::kOnePixel, swf::Subpixel(height) * swf::kOnePixel};
    for (const Draw& d : rec.draws) {
        for (const swf::ShapeLayer& layer : d.shape->layers) {
            const swf::Box keep = target.Expanded(swf::MaxHalfWidth(layer, d.toTarget) + kKeepMargin);
            swf::FlattenLayer(layer, d.toTarget, keep, flat);
            swf::SortFillEdges(layer, refs);
            for (size_t b = 0, e = 0; b < refs.size(); b = e) {
                for (e = b; e < refs.size() && refs[e].fill == refs[b].fill;) ++e;
                if (refs[b].fill > layer.fills.size()) continue;
                swf::EmitFillLines(flat, refs.data() + b, refs.data() + e, sink);
                paths.push_back({sink.Take(), FillColor(layer.fills[refs[b].fill - 1])});
            }
            swf::ForEachPolyline(layer, flat, [&](const swf::StrokeRun& run) {
                const swf::LineStyle& l = layer.lines[run.line - 1];
                swf::StrokePolyline(run.points, run.closed, swf::MakeStrokeStyle(l, d.toTarget), keep, sink);
                paths.push_back({sink.Take(), l.color});
            });
        }
    }
    return paths;
}

double Ours(const std::vector<FramePaths>& frames, int width, int height) {
    swf::FrameBuffer fb(width, height);
    swf::Rasterizer raster;
    const std::clock_t t = std::clock();
    for (const FramePaths& frame : frames) {
        fb.Fill({255, 255, 255, 255});
        for (const Path& p : frame) {
            raster.Reset(width, height);
            for (const auto& c : p.contours)
                for (size_t i = 1; i < c.size(); ++i) raster.AddLine(c[i - 1], c[i]);
            const swf::Paint paint = swf::MakeSolidPaint(p.color, swf::ColorTransform());
            swf::PaintCompositor compositor(fb, paint);
            raster.Render(compositor);
        }
    }
    return ProcessorMs(t);
}

double Cairo(const std::vector<FramePaths>& frames, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    const std::clock_t t = std::clock();
    for (const FramePaths& frame : frames) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        for (const Path& p : frame) {
            for (const auto& c : p.contours) {
                cairo_move_to(cr, c[0].x / kSubpixel, c[0].y / kSubpixel);
                for (size_t i = 1; i < c.size(); ++i) cairo_line_to(cr, c[i].x / kSubpixel, c[i].y / kSubpixel);
                cairo_close_path(cr);
            }
            cairo_set_source_rgba(cr, p.color.r / 255.0, p.color.g / 255.0, p.color.b / 255.0, p.color.a / 255.0);
            cairo_fill(cr);
        }
    }
    cairo_surface_flush(surface);
    const double ms = ProcessorMs(t);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string movie = argc > 1 ? argv[1] : std::string(PICTARO_MOVIES) + "/sample.swf";
    const struct {
        int width, height;
    } sizes[] = {{550, 400}, {2200, 1600}};
    for (const auto& size : sizes) {
        swf::Player player;
        if (!player.LoadFile(movie)) {
            std::printf("cannot load %s\n", movie.c_str());
            return 0;
        }
        Recorder rec;
        std::vector<FramePaths> frames;
        size_t pathCount = 0;
        for (int f = 0; f < player.TotalFrames(); ++f) {
            player.RenderTo(rec, size.width, size.height);
            frames.push_back(Flatten(rec, size.width, size.height));
            pathCount += frames.back().size();
            player.Tick();
        }
        double ours = 1e300, cairo = 1e300;
        for (int r = 0; r < kRounds; ++r) {
            ours = std::min(ours, Ours(frames, size.width, size.height));
            cairo = std::min(cairo, Cairo(frames, size.width, size.height));
        }
        const double n = static_cast<double>(frames.size());
        std::printf("%dx%d: %zu frames, %zu paths; ours %.3f ms/frame, cairo %.3f ms/frame of processor time, cairo/ours %.2f\n",
                    size.width, size.height, frames.size(), pathCount, ours / n, cairo / n, cairo / ours);
    }
    return 0;
}
