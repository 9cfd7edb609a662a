#include "tools/swfshot/ApngWriter.h"

#include <algorithm>

namespace swfshot {

namespace {

constexpr uint8_t kDisposeNone = 0;
constexpr uint8_t kBlendSource = 0;
constexpr uint32_t kLoopForever = 0;
constexpr uint32_t kMaxU16 = 0xFFFF;
constexpr uint32_t kMillisecond = 1000;

}  // namespace

FrameDelay DelayOfTicks(int ticks, uint16_t rate88) {
    if (ticks < 1) ticks = 1;
    if (rate88 == 0) rate88 = 12 << 8;
    // Exact as ticks * 256 / rate88 while it fits 16 bits; else milliseconds.
    const uint64_t num = uint64_t(ticks) << 8;
    if (num <= kMaxU16) return {static_cast<uint16_t>(num), rate88};
    uint64_t ms = (num * kMillisecond + rate88 / 2) / rate88;
    return {static_cast<uint16_t>(std::min<uint64_t>(ms, kMaxU16)), static_cast<uint16_t>(kMillisecond)};
}

bool ApngWriter::AddFrame(const swf::FrameBuffer& image, FrameDelay delay) {
    if (image.Width() != width_ || image.Height() != height_) return false;
    std::vector<uint8_t> data = CompressImage(image, format_);
    if (data.empty()) return false;
    std::vector<uint8_t> control;
    PutU32(control, sequence_++);
    PutU32(control, static_cast<uint32_t>(width_));
    PutU32(control, static_cast<uint32_t>(height_));
    PutU32(control, 0);  // x offset
    PutU32(control, 0);  // y offset
    PutU16(control, delay.numerator);
    PutU16(control, delay.denominator);
    control.push_back(kDisposeNone);
    control.push_back(kBlendSource);
    AppendPngChunk(chunks_, "fcTL", control);
    if (frames_ == 0) {
        // The first frame is also the still image viewers without APNG show.
        AppendPngChunk(chunks_, "IDAT", data);
    } else {
        std::vector<uint8_t> frameData;
        frameData.reserve(data.size() + 4);
        PutU32(frameData, sequence_++);
        frameData.insert(frameData.end(), data.begin(), data.end());
        AppendPngChunk(chunks_, "fdAT", frameData);
    }
    ++frames_;
    return true;
}

std::vector<uint8_t> ApngWriter::Finish() const {
    std::vector<uint8_t> png(std::begin(kPngSignature), std::end(kPngSignature));
    AppendPngChunk(png, "IHDR", PngHeaderData(width_, height_, format_));
    std::vector<uint8_t> animation;
    PutU32(animation, static_cast<uint32_t>(frames_));
    PutU32(animation, kLoopForever);
    AppendPngChunk(png, "acTL", animation);
    png.insert(png.end(), chunks_.begin(), chunks_.end());
    AppendPngChunk(png, "IEND", {});
    return png;
}

}  // namespace swfshot
