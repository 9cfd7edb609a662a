#include "swf/render/Surface.h"

namespace swf {

void CoverageSink::Row(int32_t y, const Span* spans, size_t count) {
    uint8_t* row = coverage_ + size_t(y) * width_;
    for (size_t i = 0; i < count; ++i) {
        const Span& s = spans[i];
        uint8_t* p = row + s.x;
        if (s.alpha == 255) {
            for (int32_t k = 0; k < s.len; ++k) p[k] = 255;
            continue;
        }
        for (int32_t k = 0; k < s.len; ++k) p[k] = static_cast<uint8_t>(p[k] + s.alpha - MulAlpha(p[k], s.alpha));
    }
}

void ClipSink::Row(int32_t y, const Span* spans, size_t count) {
    const uint8_t* row = clip_ + size_t(y) * width_;
    cut_.clear();
    for (size_t i = 0; i < count; ++i) {
        const Span& s = spans[i];
        const int32_t end = s.x + s.len;
        for (int32_t x = s.x; x < end;) {
            const uint8_t c = row[x];
            int32_t run = x + 1;
            while (run < end && row[run] == c) ++run;
            const uint8_t a = c == 255 ? s.alpha : MulAlpha(s.alpha, c);
            if (a != 0) cut_.push_back({x, run - x, a});
            x = run;
        }
    }
    if (!cut_.empty()) next_.Row(y, cut_.data(), cut_.size());
}

}  // namespace swf
