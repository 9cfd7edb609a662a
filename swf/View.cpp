// ViewMatrix: the control's scale and align modes as one matrix from stage
// twips to target twips. Scales are 16.16 and rounded down, so a ShowAll
// stage never spills out of its target; slack is split by the align flags
// (neither flag on an axis centres it). The stage's xMin/yMin land on the
// aligned origin.
#include <algorithm>

#include "swf/Player.h"

namespace swf {

namespace {

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Scale (16.16) that maps `from` onto `to`; 1.0 when either is empty.
int64_t FitScale(int64_t to, int64_t from) {
    if (from <= 0 || to <= 0) return kFixedOne;
    return std::max<int64_t>(1, to * kFixedOne / from);
}

int64_t AlignOffset(int64_t slack, bool low, bool high) {
    if (low && high) return slack / 2;  // opposite sides cancel out
    if (low) return 0;
    if (high) return slack;
    return slack / 2;
}

}  // namespace

Matrix ViewMatrix(const Rect& stage, int width, int height, int scaleMode, int alignFlags) {
    const int64_t stageW = int64_t(stage.xMax) - stage.xMin, stageH = int64_t(stage.yMax) - stage.yMin;
    const int64_t targetW = int64_t(std::max(width, 0)) * kTwipsPerPixel;
    const int64_t targetH = int64_t(std::max(height, 0)) * kTwipsPerPixel;
    const int64_t fitX = FitScale(targetW, stageW), fitY = FitScale(targetH, stageH);
    int64_t sx = kFixedOne, sy = kFixedOne;
    switch (scaleMode) {
    case kNoScale: break;
    case kExactFit: sx = fitX; sy = fitY; break;
    case kNoBorder: sx = sy = std::max(fitX, fitY); break;
    case kShowAll:
    default: sx = sy = std::min(fitX, fitY); break;
    }
    const int64_t scaledW = stageW * sx / kFixedOne, scaledH = stageH * sy / kFixedOne;
    const int64_t offX = AlignOffset(targetW - scaledW, alignFlags & kAlignLeft, alignFlags & kAlignRight);
    const int64_t offY = AlignOffset(targetH - scaledH, alignFlags & kAlignTop, alignFlags & kAlignBottom);
    Matrix m;
    m.a = Clamp32(sx);
    m.d = Clamp32(sy);
    m.tx = Clamp32(offX - int64_t(stage.xMin) * sx / kFixedOne);
    m.ty = Clamp32(offY - int64_t(stage.yMin) * sy / kFixedOne);
    return m;
}

Matrix MagnifyView(const Matrix& view, int to, int from) {
    if (to <= 0 || from <= 0) return view;
    auto scale = [&](int32_t v) { return Clamp32(int64_t(v) * to / from); };
    Matrix m;
    m.a = scale(view.a);
    m.b = scale(view.b);
    m.c = scale(view.c);
    m.d = scale(view.d);
    m.tx = scale(view.tx);
    m.ty = scale(view.ty);
    return m;
}

}  // namespace swf
