// MP3 tags for Sound.id3, from bytes built here: ID3v2.2 to 2.4 frames in
// each text encoding, ID3v1 and v1.1, and tags cut or lying about sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "swf/sound/Id3Tags.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes Syncsafe(size_t n) { return {uint8_t(n >> 21 & 0x7F), uint8_t(n >> 14 & 0x7F), uint8_t(n >> 7 & 0x7F), uint8_t(n & 0x7F)}; }

Bytes Frame(int version, const std::string& id, const Bytes& body) {
    Bytes f = Of(id);
    const size_t n = body.size();
    if (version == 2) {
        Append(f, {uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    } else {
        Append(f, version == 4 ? Syncsafe(n) : Bytes{uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
        Append(f, {0, 0});
    }
    Append(f, body);
    return f;
}

Bytes Tag(int version, const std::vector<Bytes>& frames, size_t padding = 4) {
    Bytes body;
    for (const Bytes& f : frames) Append(body, f);
    body.resize(body.size() + padding, 0);
    Bytes tag = Of("ID3");
    Append(tag, {uint8_t(version), 0, 0});
    Append(tag, Syncsafe(body.size()));
    Append(tag, body);
    return tag;
}

Bytes Text(uint8_t encoding, const Bytes& text) {
    Bytes b{encoding};
    Append(b, text);
    return b;
}

Bytes V1(const std::string& title, const std::string& artist, uint8_t track, uint8_t genre) {
    Bytes t = Of("TAG");
    auto field = [&](const std::string& s, size_t n) {
        Bytes f = Of(s);
        f.resize(n, 0);
        Append(t, f);
    };
    field(title, 30);
    field(artist, 30);
    field("Album", 30);
    field("1999", 4);
    field("nice", 28);
    Append(t, {0, track, genre});
    return t;
}

std::string Field(const swf::Id3Tags& tags, const std::string& name) {
    const std::string* v = tags.Find(name);
    return v ? *v : "<none>";
}

TEST(Id3TagsTest, TextFramesOfEachVersionAndEncodingReadAsUtf8UnderBothNames) {
    struct Case {
        const char* what;
        int version;
        std::string id;
        Bytes body;
        std::string name, expected;
    };
    const Case cases[] = {
        {"2.3 Latin-1", 3, "TPE1", Text(0, {'B', 0xE9, 'a'}), "artist", "B\xC3\xA9" "a"},
        {"2.4 UTF-8", 4, "TIT2", Text(3, Of("Caf\xC3\xA9")), "songname", "Caf\xC3\xA9"},
        {"2.3 UTF-16 little endian", 3, "TALB", Text(1, {0xFF, 0xFE, 'H', 0, 'i', 0, 0, 0}), "album", "Hi"},
        {"2.4 UTF-16 big endian", 4, "TRCK", Text(2, {0, '7', 0, '/', 0, '9'}), "track", "7/9"},
        {"surrogate pair", 3, "TCON", Text(1, {0xFE, 0xFF, 0xD8, 0x3D, 0xDE, 0x00}), "genre", "\xF0\x9F\x98\x80"},
        {"2.2 three-letter ids", 2, "TT2", Text(0, Of("Old")), "songname", "Old"},
        {"2.4 recording time", 4, "TDRC", Text(0, Of("2001")), "year", "2001"},
        {"comment skips language and description", 3, "COMM", Text(0, Of(std::string("engdesc\0words", 13))), "comment", "words"},
    };
    for (const Case& c : cases) {
        const Bytes file = Tag(c.version, {Frame(c.version, c.id, c.body)});
        const swf::Id3Tags tags = swf::ReadId3Tags(file);
        EXPECT_EQ(Field(tags, c.name), c.expected) << c.what;
        EXPECT_EQ(Field(tags, c.id), c.expected) << c.what;
    }
}

TEST(Id3TagsTest, Version1FillsWhatVersion2LeftAndKeepsItsTrack) {
    Bytes file = Tag(3, {Frame(3, "TIT2", Text(0, Of("From v2")))});
    file.resize(file.size() + 400, 0xAA);  // the audio
    Append(file, V1("From v1", "Band   ", 5, 17));
    const swf::Id3Tags tags = swf::ReadId3Tags(file);
    EXPECT_EQ(Field(tags, "songname"), "From v2");
    EXPECT_EQ(Field(tags, "artist"), "Band");
    EXPECT_EQ(Field(tags, "album"), "Album");
    EXPECT_EQ(Field(tags, "year"), "1999");
    EXPECT_EQ(Field(tags, "comment"), "nice");
    EXPECT_EQ(Field(tags, "track"), "5");
    EXPECT_EQ(Field(tags, "genre"), "17");
}

TEST(Id3TagsTest, DamagedTagsGiveWhatCameBeforeTheDamage) {
    const Bytes good = Frame(3, "TPE1", Text(0, Of("Kept")));
    Bytes lying = Frame(3, "TIT2", Text(0, Of("x")));
    lying[4] = 0x7F;  // a frame far longer than the tag
    EXPECT_EQ(Field(swf::ReadId3Tags(Tag(3, {good, lying})), "artist"), "Kept");
    EXPECT_EQ(Field(swf::ReadId3Tags(Tag(3, {good, lying})), "songname"), "<none>");

    const Bytes whole = Tag(4, {Frame(4, "TIT2", Text(1, {0xFF, 0xFE, 'a', 0, 'b', 0})), good});
    for (size_t cut = 0; cut < whole.size(); ++cut) swf::ReadId3Tags(Bytes(whole.begin(), whole.begin() + cut));
    EXPECT_TRUE(swf::ReadId3Tags(Of("ID3")).Empty());
    EXPECT_TRUE(swf::ReadId3Tags(Bytes(500, 0xFF)).Empty());
    Bytes badVersion = whole;
    badVersion[3] = 9;
    EXPECT_TRUE(swf::ReadId3Tags(badVersion).Empty());
}

}  // namespace
