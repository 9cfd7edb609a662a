// The frames "Capture Every Frame" takes: From, To and Step as the user
// types them, frames counted from 1 as the dialog shows them. Portable.
#pragma once

#include "framework/String.h"

struct FrameRange {
    int from = 1;
    int to = 1;
    int step = 1;
};

// Empty when the range fits a movie of `totalFrames`; else what is wrong,
// for the user.
CString FrameRangeProblem(const FrameRange& range, int totalFrames);
// How many frames a valid range takes, and the index-th of them (from 0).
int FrameRangeCount(const FrameRange& range);
int FrameRangeFrame(const FrameRange& range, int index);
