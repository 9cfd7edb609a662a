#include "swf/svg/SvgPath.h"

#include <map>
#include <vector>

namespace swf {

namespace {

constexpr int kHundredthsPerTwip = 5;  // 1 twip = 0.05 pixel
constexpr int kHundredths = 100;

struct Directed {
    Point from, control, to;
    bool curved;
};

uint64_t Key(Point p) { return (uint64_t(uint32_t(p.x)) << 32) | uint32_t(p.y); }

void AppendPoint(std::string& out, const Matrix& m, Point p) {
    const Point t = m.Apply(p);
    AppendPixels(out, t.x);
    out += ' ';
    AppendPixels(out, t.y);
}

void AppendSegment(std::string& out, const Matrix& m, const Directed& e) {
    if (e.curved) {
        out += 'Q';
        AppendPoint(out, m, e.control);
        out += ' ';
    } else {
        out += 'L';
    }
    AppendPoint(out, m, e.to);
}

}  // namespace

void AppendPixels(std::string& out, int64_t twips) {
    int64_t h = twips * kHundredthsPerTwip;
    if (h < 0) {
        out += '-';
        h = -h;
    }
    out += std::to_string(h / kHundredths);
    int frac = static_cast<int>(h % kHundredths);
    if (frac == 0) return;
    out += '.';
    out += static_cast<char>('0' + frac / 10);
    if (frac % 10) out += static_cast<char>('0' + frac % 10);
}

std::string FillPathData(const ShapeLayer& layer, uint16_t fill, const Matrix& toTarget) {
    std::vector<Directed> edges;
    for (const ShapeEdge& e : layer.edges) {
        if (e.fill1 == fill) edges.push_back({e.from, e.control, e.to, e.curved});
        if (e.fill0 == fill) edges.push_back({e.to, e.control, e.from, e.curved});
    }
    std::multimap<uint64_t, size_t> byStart;
    for (size_t i = 0; i < edges.size(); ++i) byStart.emplace(Key(edges[i].from), i);
    std::vector<bool> used(edges.size(), false);
    std::string d;
    for (size_t first = 0; first < edges.size(); ++first) {
        if (used[first]) continue;
        const Point start = edges[first].from;
        d += 'M';
        AppendPoint(d, toTarget, start);
        for (size_t cur = first;;) {
            used[cur] = true;
            AppendSegment(d, toTarget, edges[cur]);
            if (edges[cur].to == start) {
                d += 'Z';
                break;
            }
            // Any unused edge leaving this point continues the contour.
            auto range = byStart.equal_range(Key(edges[cur].to));
            size_t next = edges.size();
            for (auto it = range.first; it != range.second; ++it) {
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            }
            if (next == edges.size()) break;  // damaged shape: SVG closes it
            cur = next;
        }
    }
    return d;
}

void ForEachStrokePath(const ShapeLayer& layer, const Matrix& toTarget,
                       const std::function<void(uint16_t line, const std::string& data)>& visit) {
    std::string d;
    uint16_t line = 0;
    Point subpathStart, last;
    bool subpathHasEdges = false;
    auto closeIfRound = [&]() {
        if (subpathHasEdges && last == subpathStart) d += 'Z';
    };
    for (const ShapeEdge& e : layer.edges) {
        if (e.line != line) {
            closeIfRound();
            if (line != 0 && !d.empty()) visit(line, d);
            d.clear();
            line = e.line;
            subpathHasEdges = false;
        }
        if (line == 0) continue;
        if (!subpathHasEdges || e.from != last) {
            closeIfRound();
            d += 'M';
            AppendPoint(d, toTarget, e.from);
            subpathStart = e.from;
        }
        AppendSegment(d, toTarget, {e.from, e.control, e.to, e.curved});
        last = e.to;
        subpathHasEdges = true;
    }
    closeIfRound();
    if (line != 0 && !d.empty()) visit(line, d);
}

}  // namespace swf
