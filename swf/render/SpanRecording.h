// The spans of a drawn shape, kept so that the same shape under the same
// matrix can be painted again without flattening and rasterising it.
//
// A recording holds one pass per fill or stroke run in drawing order, each
// with its rows of spans; the paint is made again on replay, so colour
// transforms, masks and layers may differ between draws. Text is the user:
// a field's glyphs change rarely but draw every frame.
//
// The cache belongs to one backend and is keyed by the caller's shape key
// (new whenever the shape changes), the matrix and the target size. It is
// bounded by entries and spans; entries unused for a whole frame go.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"
#include "swf/render/Rasterizer.h"

namespace swf {

struct RecordedPass {
    uint16_t layer = 0;
    uint16_t style = 0;  // 1-based fill, or line when `stroke`
    bool stroke = false;
    std::vector<int32_t> rowY;
    std::vector<uint32_t> rowStart;  // into spans; one more than rowY
    std::vector<Span> spans;

    void Replay(SpanSink& sink) const;
};

struct ShapeRecording {
    std::vector<RecordedPass> passes;
    size_t SpanCount() const;
};

// Stores what passes through it, then forwards it.
class RecordingSink : public SpanSink {
public:
    explicit RecordingSink(RecordedPass& pass) : pass_(pass) { pass_.rowStart.assign(1, 0); }
    void Row(int32_t y, const Span* spans, size_t count) override;

private:
    RecordedPass& pass_;
};

class SpanCache {
public:
    static constexpr size_t kMaxEntries = 256;
    static constexpr size_t kMaxSpans = size_t(1) << 21;

    // The recording for this draw, or null. `fresh` tells whether it still
    // has to be filled (then the caller records into it).
    ShapeRecording* Find(uint64_t key, const Matrix& m, int width, int height, bool* fresh);
    // Drops entries not used since the last call.
    void NextFrame();
    void Clear();
    size_t Entries() const { return entries_.size(); }

private:
    struct Entry {
        Matrix matrix;
        int width = 0, height = 0;
        bool used = true;
        ShapeRecording recording;
    };
    std::unordered_map<uint64_t, Entry> entries_;
    size_t spans_ = 0;  // recorded before the last NextFrame
};

// A new key for a shape that will be drawn through the cache.
uint64_t NewShapeCacheKey();

}  // namespace swf
