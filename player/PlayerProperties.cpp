#include "player/PlayerProperties.h"

#include <cstring>

namespace {

constexpr uint16_t kTypeInt32 = 3;
constexpr uint16_t kTypeString = 8;
constexpr uint16_t kTypeBool = 11;
constexpr uint16_t kTypeBlob16 = 13;
constexpr size_t kHeadSize = 20;
constexpr size_t kBlob16Size = 16;

class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Take(size_t count, const uint8_t** at) {
        if (count > m_size - m_pos) return false;
        *at = m_data + m_pos;
        m_pos += count;
        return true;
    }
    bool U16(uint16_t* value) {
        const uint8_t* p;
        if (!Take(2, &p)) return false;
        *value = static_cast<uint16_t>(p[0] | (p[1] << 8));
        return true;
    }
    bool U32(uint32_t* value) {
        const uint8_t* p;
        if (!Take(4, &p)) return false;
        *value = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        return true;
    }
    bool AtEnd() const { return m_pos == m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// UTF-16LE to 8-bit: the stored values are plain ASCII words.
std::string Narrow(const uint8_t* p, size_t bytes) {
    std::string text;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        uint16_t ch = static_cast<uint16_t>(p[i] | (p[i + 1] << 8));
        if (ch == 0) break;
        text += ch < 0x80 ? static_cast<char>(ch) : '?';
    }
    return text;
}

struct Value {
    uint16_t type = 0;
    uint32_t number = 0;
    std::string text;
};

bool ReadValue(Cursor& in, Value& value) {
    if (!in.U16(&value.type)) return false;
    const uint8_t* p;
    switch (value.type) {
    case kTypeString: {
        uint32_t bytes;
        if (!in.U32(&bytes) || !in.Take(bytes, &p)) return false;
        value.text = Narrow(p, bytes);
        return true;
    }
    case kTypeBool: {
        uint16_t flag;
        if (!in.U16(&flag)) return false;
        value.number = flag;
        return true;
    }
    case kTypeInt32: return in.U32(&value.number);
    case kTypeBlob16: return in.Take(kBlob16Size, &p);
    }
    return false;  // an unknown type: its size is unknown too
}

}  // namespace

bool ParsePlayerProperties(const uint8_t* data, size_t size, PlayerProperties& out) {
    if (!data || size < kHeadSize) return false;
    Cursor in(data, size);
    uint32_t zero, signature, version, width, height;
    in.U32(&zero);
    in.U32(&signature);
    in.U32(&version);
    in.U32(&width);
    in.U32(&height);
    if (zero != 0 || signature != kPlayerPropertySignature) return false;
    PlayerProperties parsed;
    parsed.extentWidth = static_cast<int32_t>(width);
    parsed.extentHeight = static_cast<int32_t>(height);
    for (int index = 1; !in.AtEnd(); ++index) {
        Value value;
        if (!ReadValue(in, value)) return false;
        switch (index) {
        case kPropMovie: parsed.movie = value.text; break;
        case kPropWindowMode: parsed.windowMode = value.text; break;
        case kPropPlay: parsed.playing = value.number != 0; break;
        case kPropLoop: parsed.loop = value.number != 0; break;
        case kPropQuality: parsed.quality = value.text; break;
        case kPropScaleMode: parsed.scaleMode = value.text; break;
        }
    }
    out = parsed;
    return true;
}

int ScaleModeFromName(const std::string& name) {
    static const char* const kNames[] = {"showall", "noborder", "exactfit", "noscale"};
    std::string lower;
    for (char ch : name) lower += (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    for (int mode = 0; mode < 4; ++mode)
        if (lower == kNames[mode]) return mode;
    return 0;
}
