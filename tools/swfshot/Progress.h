// The progress line on a terminal: images done of total, rate, time left,
// redrawn in place at most a few times a second.
#pragma once

#include <chrono>
#include <ostream>

namespace swfshot {

class Progress {
public:
    Progress(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
    void Start(long long total);
    void Step();
    // Clears the line so that what follows starts on a fresh one.
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& out_;
    bool enabled_;
    long long total_ = 0, done_ = 0;
    Clock::time_point start_, lastDrawn_;
    size_t drawnWidth_ = 0;
};

}  // namespace swfshot
