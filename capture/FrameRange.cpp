#include "capture/FrameRange.h"

CString FrameRangeProblem(const FrameRange& range, int totalFrames) {
    if (totalFrames < 1) return "The movie has no frames to capture.";
    if (range.from < 1 || range.from > totalFrames)
        return CString::FormatText("From must be a frame between 1 and %d.", totalFrames);
    if (range.to < range.from || range.to > totalFrames)
        return CString::FormatText("To must be a frame between %d and %d.", range.from, totalFrames);
    if (range.step < 1) return "Step must be 1 or more.";
    return CString();
}

int FrameRangeCount(const FrameRange& range) { return (range.to - range.from) / range.step + 1; }

int FrameRangeFrame(const FrameRange& range, int index) { return range.from + index * range.step; }
