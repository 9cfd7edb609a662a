#include "swf/sound/Id3Tags.h"

#include <cstring>

#include "swf/model/Utf8.h"

namespace swf {

namespace {

constexpr size_t kV2HeaderBytes = 10;
constexpr size_t kV1Bytes = 128;
constexpr size_t kMaxFields = 64;
constexpr size_t kMaxTextBytes = 4096;  // per field, after conversion
constexpr uint8_t kExtendedHeaderFlag = 0x40;

enum Encoding : uint8_t { kLatin1 = 0, kUtf16Bom = 1, kUtf16Be = 2, kUtf8 = 3 };

struct Alias {
    const char* v22;
    const char* v23;
    const char* name;  // the ID3v1 name scripts read
};
constexpr Alias kAliases[] = {
    {"TT2", "TIT2", "songname"}, {"TP1", "TPE1", "artist"}, {"TAL", "TALB", "album"}, {"TYE", "TYER", "year"},
    {"", "TDRC", "year"},        {"COM", "COMM", "comment"}, {"TRK", "TRCK", "track"}, {"TCO", "TCON", "genre"},
};

// Text up to its terminator (or the end); `p` moves past the terminator.
std::string DecodeText(const uint8_t*& p, const uint8_t* end, uint8_t encoding) {
    std::string out;
    if (encoding == kUtf16Bom || encoding == kUtf16Be) {
        bool bigEndian = encoding == kUtf16Be;
        if (encoding == kUtf16Bom && end - p >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
            bigEndian = p[0] == 0xFE;
            p += 2;
        }
        uint32_t high = 0;
        while (end - p >= 2) {
            const uint32_t unit = bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
            p += 2;
            if (unit == 0) break;
            if (unit >= 0xD800 && unit < 0xDC00) {
                high = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit < 0xE000) {
                if (high) AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                high = 0;
                continue;
            }
            high = 0;
            if (out.size() < kMaxTextBytes) AppendUtf8(out, unit);
        }
        if (end - p == 1) ++p;
        return out;
    }
    while (p < end) {
        const uint8_t c = *p++;
        if (c == 0) break;
        if (out.size() >= kMaxTextBytes) continue;
        if (encoding == kUtf8) out += char(c);
        else AppendUtf8(out, c);
    }
    return out;
}

void Add(Id3Tags& tags, const std::string& name, const std::string& value) {
    if (tags.fields.size() >= kMaxFields || tags.Find(name)) return;
    tags.fields.emplace_back(name, value);
}

// A frame's ID3v1 name takes the value of the frame seen last, where the
// name first appeared.
void SetAlias(Id3Tags& tags, const std::string& name, const std::string& value) {
    for (auto& f : tags.fields)
        if (f.first == name) {
            f.second = value;
            return;
        }
    Add(tags, name, value);
}

uint32_t Syncsafe(const uint8_t* p) { return uint32_t(p[0] & 0x7F) << 21 | (p[1] & 0x7F) << 14 | (p[2] & 0x7F) << 7 | (p[3] & 0x7F); }
uint32_t BigEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

// A text frame's value; comments skip their language and description.
void AddFrame(Id3Tags& tags, const std::string& id, const uint8_t* p, const uint8_t* end) {
    const bool comment = id == "COMM" || id == "COM";
    if (id[0] != 'T' && !comment) return;
    if (p >= end) return;
    const uint8_t encoding = *p++;
    if (encoding > kUtf8) return;
    if (comment) {
        if (end - p < 3) return;
        p += 3;
        DecodeText(p, end, encoding);
    }
    const std::string value = DecodeText(p, end, encoding);
    for (const Alias& a : kAliases)
        if (id == a.v22 || id == a.v23) SetAlias(tags, a.name, value);
    if (tags.fields.size() < kMaxFields) tags.fields.emplace_back(id, value);
}

void ReadV2(const std::vector<uint8_t>& file, Id3Tags& tags) {
    if (file.size() < kV2HeaderBytes || std::memcmp(file.data(), "ID3", 3) != 0) return;
    const uint8_t version = file[3];
    if (version < 2 || version > 4) return;
    const size_t size = Syncsafe(&file[6]);
    const uint8_t* p = file.data() + kV2HeaderBytes;
    const uint8_t* end = file.data() + std::min(file.size(), kV2HeaderBytes + size);
    if ((file[5] & kExtendedHeaderFlag) && version >= 3) {
        if (end - p < 4) return;
        const size_t ext = version == 4 ? Syncsafe(p) : BigEndian(p, 4) + 4;
        if (ext > size_t(end - p)) return;
        p += ext;
    }
    const size_t idBytes = version == 2 ? 3 : 4;
    const size_t headerBytes = version == 2 ? 6 : 10;
    while (size_t(end - p) >= headerBytes && p[0] != 0) {
        const std::string id(reinterpret_cast<const char*>(p), idBytes);
        const size_t frameBytes = version == 2 ? BigEndian(p + 3, 3) : version == 4 ? Syncsafe(p + 4) : BigEndian(p + 4, 4);
        p += headerBytes;
        if (frameBytes > size_t(end - p)) return;
        AddFrame(tags, id, p, p + frameBytes);
        p += frameBytes;
    }
}

// Fixed fields, padded with NULs or spaces; ID3v1.1 keeps the track in the
// comment's last byte.
void ReadV1(const std::vector<uint8_t>& file, Id3Tags& tags) {
    if (file.size() < kV1Bytes) return;
    const uint8_t* t = file.data() + file.size() - kV1Bytes;
    if (std::memcmp(t, "TAG", 3) != 0) return;
    auto field = [](const uint8_t* p, size_t length) {
        const uint8_t* end = p + length;
        const uint8_t* q = p;
        std::string s = DecodeText(q, end, kLatin1);
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    };
    Add(tags, "songname", field(t + 3, 30));
    Add(tags, "artist", field(t + 33, 30));
    Add(tags, "album", field(t + 63, 30));
    Add(tags, "year", field(t + 93, 4));
    Add(tags, "comment", field(t + 97, 30));
    if (t[125] == 0 && t[126] != 0) Add(tags, "track", std::to_string(t[126]));
    Add(tags, "genre", std::to_string(t[127]));
}

}  // namespace

const std::string* Id3Tags::Find(const std::string& name) const {
    for (const auto& f : fields)
        if (f.first == name) return &f.second;
    return nullptr;
}

Id3Tags ReadId3Tags(const std::vector<uint8_t>& file) {
    Id3Tags tags;
    ReadV2(file, tags);
    ReadV1(file, tags);
    return tags;
}

}  // namespace swf
