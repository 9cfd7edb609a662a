#include "tools/swfshot/Progress.h"

#include <cstdio>
#include <string>

namespace swfshot {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

}  // namespace

void Progress::Start(long long total) {
    total_ = total;
    done_ = 0;
    start_ = lastDrawn_ = Clock::now();
}

void Progress::Step() {
    ++done_;
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < kRedrawEvery && done_ < total_) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? done_ / seconds : 0;
    char line[128];
    std::snprintf(line, sizeof line, "%lld/%lld images, %.1f/s, %.0f s left", done_, total_, rate,
                  rate > 0 ? (total_ - done_) / rate : 0.0);
    std::string text = line;
    const size_t width = text.size();
    if (width < drawnWidth_) text.append(drawnWidth_ - width, ' ');
    drawnWidth_ = width;
    out_ << '\r' << text << std::flush;
}

void Progress::Finish() {
    if (!enabled_ || drawnWidth_ == 0) return;
    out_ << '\r' << std::string(drawnWidth_, ' ') << '\r' << std::flush;
    drawnWidth_ = 0;
}

}  // namespace swfshot
