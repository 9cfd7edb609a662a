#include "swf/render/SpanRecording.h"

#include <atomic>

namespace swf {

void RecordedPass::Replay(SpanSink& sink) const {
    for (size_t r = 0; r < rowY.size(); ++r)
        sink.Row(rowY[r], spans.data() + rowStart[r], rowStart[r + 1] - rowStart[r]);
}

size_t ShapeRecording::SpanCount() const {
    size_t n = 0;
    for (const RecordedPass& p : passes) n += p.spans.size();
    return n;
}

void RecordingSink::Row(int32_t y, const Span* spans, size_t count) {
    pass_.rowY.push_back(y);
    pass_.spans.insert(pass_.spans.end(), spans, spans + count);
    pass_.rowStart.push_back(static_cast<uint32_t>(pass_.spans.size()));
}

ShapeRecording* SpanCache::Find(uint64_t key, const Matrix& m, int width, int height, bool* fresh) {
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        Entry& e = it->second;
        if (e.matrix == m && e.width == width && e.height == height) {
            e.used = true;
            *fresh = false;
            return &e.recording;
        }
        // Moved or resized: record again in place.
        spans_ -= std::min(spans_, e.recording.SpanCount());
        e = Entry{m, width, height, true, {}};
        *fresh = true;
        return &e.recording;
    }
    if (entries_.size() >= kMaxEntries || spans_ >= kMaxSpans) return nullptr;
    Entry& e = entries_[key];
    e.matrix = m;
    e.width = width;
    e.height = height;
    *fresh = true;
    return &e.recording;
}

void SpanCache::NextFrame() {
    spans_ = 0;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (!it->second.used) {
            it = entries_.erase(it);
            continue;
        }
        it->second.used = false;
        spans_ += it->second.recording.SpanCount();
        ++it;
    }
}

void SpanCache::Clear() {
    entries_.clear();
    spans_ = 0;
}

uint64_t NewShapeCacheKey() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace swf
