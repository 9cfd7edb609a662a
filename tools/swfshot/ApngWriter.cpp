#include "tools/swfshot/ApngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <string>

namespace swfshot {

namespace {

constexpr uint8_t kDisposeNone = 0;
constexpr uint8_t kBlendSource = 0;
constexpr uint32_t kLoopForever = 0;
constexpr uint32_t kMaxU16 = 0xFFFF;
constexpr uint32_t kMillisecond = 1000;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kChunkFrame = 12;  // length, type and CRC around the data

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

uint32_t GetU32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void AppendChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The CRC covers the type and the data, not the length.
    uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    PutU32(out, static_cast<uint32_t>(crc));
}

// A PNG of ours split into the chunks before its image data (IHDR first,
// whole) and the image data of all its IDAT chunks; false if it is not one.
bool SplitPng(const std::vector<uint8_t>& png, std::vector<uint8_t>* header, std::vector<uint8_t>* data) {
    if (png.size() < sizeof kPngSignature || !std::equal(kPngSignature, kPngSignature + 8, png.begin())) return false;
    size_t at = sizeof kPngSignature;
    while (at + kChunkFrame <= png.size()) {
        const size_t length = GetU32(&png[at]);
        if (length > png.size() - at - kChunkFrame) return false;
        const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        const auto begin = png.begin() + at, end = begin + kChunkFrame + length;
        if (type == "IEND") return !data->empty();
        if (type == "IDAT")
            data->insert(data->end(), begin + 8, begin + 8 + length);
        else if (data->empty())
            header->insert(header->end(), begin, end);
        at += kChunkFrame + length;
    }
    return false;
}

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
    std::vector<uint8_t> header, data;
    if (!SplitPng(EncodePng(image, format_), &header, &data)) return false;
    if (frames_ == 0) header_ = std::move(header);
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
    AppendChunk(chunks_, "fcTL", control);
    if (frames_ == 0) {
        // The first frame is also the still image viewers without APNG show.
        AppendChunk(chunks_, "IDAT", data);
    } else {
        std::vector<uint8_t> frameData;
        frameData.reserve(data.size() + 4);
        PutU32(frameData, sequence_++);
        frameData.insert(frameData.end(), data.begin(), data.end());
        AppendChunk(chunks_, "fdAT", frameData);
    }
    ++frames_;
    return true;
}

std::vector<uint8_t> ApngWriter::Finish() const {
    // acTL goes right after IHDR, ahead of the first picture's other chunks.
    const size_t ihdrSize = kChunkFrame + (header_.size() >= 4 ? GetU32(header_.data()) : 0);
    if (header_.size() < ihdrSize) return {};
    std::vector<uint8_t> png(std::begin(kPngSignature), std::end(kPngSignature));
    png.insert(png.end(), header_.begin(), header_.begin() + ihdrSize);
    std::vector<uint8_t> animation;
    PutU32(animation, static_cast<uint32_t>(frames_));
    PutU32(animation, kLoopForever);
    AppendChunk(png, "acTL", animation);
    png.insert(png.end(), header_.begin() + ihdrSize, header_.end());
    png.insert(png.end(), chunks_.begin(), chunks_.end());
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace swfshot
