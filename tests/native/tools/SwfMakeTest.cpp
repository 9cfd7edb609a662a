// swfmake's encodings against hand-computed bytes and a reference reader.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/native/tools/BitReader.h"
#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;
using toolstest::BitReader;

Bytes Inflate(const Bytes& packed, size_t size) {
    Bytes out(size);
    uLongf outSize = static_cast<uLongf>(size);
    EXPECT_EQ(Z_OK, uncompress(out.data(), &outSize, packed.data(),
                               static_cast<uLong>(packed.size())));
    out.resize(outSize);
    return out;
}

TEST(BitPackingTest, SignedAndUnsignedWidths) {
    EXPECT_EQ(0, swfmake::SignedBitsNeeded(0));
    EXPECT_EQ(2, swfmake::SignedBitsNeeded(1));
    EXPECT_EQ(1, swfmake::SignedBitsNeeded(-1));
    EXPECT_EQ(2, swfmake::SignedBitsNeeded(-2));
    EXPECT_EQ(9, swfmake::SignedBitsNeeded(255));
    EXPECT_EQ(9, swfmake::SignedBitsNeeded(-256));
    EXPECT_EQ(32, swfmake::SignedBitsNeeded(INT32_MIN));
    EXPECT_EQ(32, swfmake::SignedBitsNeeded(INT32_MAX));
    EXPECT_EQ(0, swfmake::UnsignedBitsNeeded(0));
    EXPECT_EQ(8, swfmake::UnsignedBitsNeeded(255));
    EXPECT_EQ(9, swfmake::UnsignedBitsNeeded(256));
}

TEST(BitPackingTest, RectMatchesHandComputedBytes) {
    swfmake::ByteWriter w;
    w.Rect({0, 11000, 0, 8000});
    EXPECT_EQ((Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}), w.Data());

    swfmake::ByteWriter zero;
    zero.Rect({0, 0, 0, 0});
    EXPECT_EQ((Bytes{0x00}), zero.Data());  // NBits 0, padded
}

TEST(BitPackingTest, MatrixMatchesHandComputedBytes) {
    swfmake::ByteWriter identity;
    identity.Matrix(swf::Matrix());
    EXPECT_EQ((Bytes{0x00}), identity.Data());

    // No scale, no rotate, NBits 6 (00110), tx 20 (010100), ty -20 (101100).
    swfmake::ByteWriter moved;
    moved.Matrix(swf::Matrix::Translate(20, -20));
    EXPECT_EQ((Bytes{0x0C, 0xA5, 0x80}), moved.Data());
}

TEST(BitPackingTest, MatrixAndCxformReadBackThroughReferenceReader) {
    swf::Matrix m;
    m.a = 98304;  // 1.5
    m.d = -32768;
    m.b = 12;
    m.c = -70000;
    m.tx = -11000;
    m.ty = 3;
    swf::ColorTransform t;
    t.rMul = 128;
    t.aMul = -256;
    t.gAdd = 255;
    t.aAdd = -255;
    swfmake::ByteWriter w;
    w.Matrix(m);
    w.ColorTransform(t, true);
    w.ColorTransform(t, false);
    Bytes bytes = w.Take();

    BitReader r(bytes);
    ASSERT_EQ(1u, r.Bits(1));
    int n = r.Bits(5);
    EXPECT_EQ(m.a, r.SignedBits(n));
    EXPECT_EQ(m.d, r.SignedBits(n));
    ASSERT_EQ(1u, r.Bits(1));
    n = r.Bits(5);
    EXPECT_EQ(m.b, r.SignedBits(n));
    EXPECT_EQ(m.c, r.SignedBits(n));
    n = r.Bits(5);
    EXPECT_EQ(m.tx, r.SignedBits(n));
    EXPECT_EQ(m.ty, r.SignedBits(n));

    r.Align();
    EXPECT_EQ(1u, r.Bits(1));  // has add
    EXPECT_EQ(1u, r.Bits(1));  // has mul
    n = r.Bits(4);
    for (int expected : {128, 256, 256, -256, 0, 255, 0, -255}) EXPECT_EQ(expected, r.SignedBits(n));

    // Without alpha the alpha terms are neither written nor counted.
    r.Align();
    EXPECT_EQ(1u, r.Bits(1));
    EXPECT_EQ(1u, r.Bits(1));
    n = r.Bits(4);
    EXPECT_EQ(10, n);  // 256 needs 10 signed bits
    for (int expected : {128, 256, 256, 0, 255, 0}) EXPECT_EQ(expected, r.SignedBits(n));
    EXPECT_EQ(bytes.size(), r.BytePos());
}

TEST(BitPackingTest, ValuesTooWideForTheRecordAreClampedNotCorrupted) {
    swf::ColorTransform t;
    t.rMul = 20000;   // needs 16 bits; CXFORM holds 15
    t.bAdd = -30000;
    swfmake::ByteWriter w;
    w.ColorTransform(t, false);
    w.Matrix(swf::Matrix::Translate(INT32_MIN, 5));
    w.U8(0x5A);  // a sentinel after both records
    Bytes bytes = w.Take();
    BitReader r(bytes);
    r.Bits(2);
    int n = r.Bits(4);
    EXPECT_EQ(15, n);
    for (int expected : {16383, 256, 256, 0, 0, -16384}) EXPECT_EQ(expected, r.SignedBits(n));
    r.Align();
    r.Bits(2);
    n = r.Bits(5);
    EXPECT_EQ(31, n);
    EXPECT_EQ(-(1 << 30), r.SignedBits(n));
    EXPECT_EQ(5, r.SignedBits(n));
    EXPECT_EQ(0x5A, r.U8());
    EXPECT_EQ(bytes.size(), r.BytePos());
}

TEST(TagHeaderTest, ShortAndLongForms) {
    swfmake::TagList t;
    t.ShowFrame();
    t.Raw(77, Bytes(62, 0xAB));
    t.Raw(77, Bytes(63, 0xCD));
    t.Raw(77, Bytes(1, 0xEF), true);
    const Bytes& b = t.Bytes();
    BitReader r(b);
    EXPECT_EQ(swf::kTagShowFrame << 6, r.U16());
    EXPECT_EQ((77 << 6) | 62, r.U16());
    for (int i = 0; i < 62; ++i) r.U8();
    EXPECT_EQ((77 << 6) | 0x3F, r.U16());
    EXPECT_EQ(63u, r.U32());
    for (int i = 0; i < 63; ++i) r.U8();
    EXPECT_EQ((77 << 6) | 0x3F, r.U16());
    EXPECT_EQ(1u, r.U32());
    EXPECT_EQ(0xEF, r.U8());
    EXPECT_EQ(b.size(), r.BytePos());
    EXPECT_EQ(1, t.FrameCount());
}

TEST(HeaderTest, PlainHeaderFields) {
    swfmake::SwfWriter movie(10, {0, 11000, 0, 8000}, 24.5);
    movie.Tags().ShowFrame();
    movie.Tags().ShowFrame();
    Bytes file = movie.Write(false);
    BitReader r(file);
    EXPECT_EQ('F', r.U8());
    EXPECT_EQ('W', r.U8());
    EXPECT_EQ('S', r.U8());
    EXPECT_EQ(10, r.U8());
    EXPECT_EQ(file.size(), r.U32());
    for (int i = 0; i < 9; ++i) r.U8();  // the RECT checked above
    EXPECT_EQ(0x1880, r.U16());          // 24.5 in 8.8
    EXPECT_EQ(2, r.U16());
    // Two ShowFrames, then the End appended by Write.
    EXPECT_EQ(0x0040, r.U16());
    EXPECT_EQ(0x0040, r.U16());
    EXPECT_EQ(0x0000, r.U16());
    EXPECT_EQ(file.size(), r.BytePos());
}

TEST(HeaderTest, CompressedEqualsPlainAfterInflate) {
    swfmake::SwfWriter movie(8, {0, 550 * 20, 0, 400 * 20}, 12);
    movie.Tags().SetBackgroundColor({1, 2, 3, 255});
    for (int i = 0; i < 50; ++i) movie.Tags().ShowFrame();
    Bytes plain = movie.Write(false);
    Bytes packed = movie.Write(true);
    ASSERT_GT(packed.size(), 8u);
    EXPECT_EQ('C', packed[0]);
    // Version and FileLength (the inflated size) stay as in the plain file.
    EXPECT_TRUE(std::equal(plain.begin() + 3, plain.begin() + 8, packed.begin() + 3));
    Bytes body = Inflate(Bytes(packed.begin() + 8, packed.end()), plain.size());
    EXPECT_EQ(Bytes(plain.begin() + 8, plain.end()), body);
}

TEST(HeaderTest, OverridesWriteDamagedHeaders) {
    swfmake::SwfWriter movie(8, {0, 20, 0, 20}, 1);
    movie.SetFrameCount(7);
    movie.SetFileLength(3);
    movie.Tags().ShowFrame();
    movie.Tags().End();
    Bytes file = movie.Write(false);
    BitReader r(file);
    r.U32();
    EXPECT_EQ(3u, r.U32());
    // Only one End: Write does not add a second after an explicit one.
    EXPECT_EQ(0, file[file.size() - 1]);
    EXPECT_EQ(0, file[file.size() - 2]);
    EXPECT_EQ(0x40, file[file.size() - 4]);
    EXPECT_EQ(7, file[file.size() - 6]);  // frame count, then ShowFrame and End
}

TEST(ActionsTest, RecordsAndEndFlag) {
    swfmake::Actions a;
    a.Stop().GotoFrame(0x0102).FsCommand("action", "open").PushString("x").GetUrl2(
        swf::kGetUrl2LoadTarget);
    Bytes expected = {0x07, 0x81, 0x02, 0x00, 0x02, 0x01, 0x83};
    std::string url = "FSCommand:action";
    uint16_t len = static_cast<uint16_t>(url.size() + 1 + 5);
    expected.push_back(static_cast<uint8_t>(len));
    expected.push_back(0);
    expected.insert(expected.end(), url.begin(), url.end());
    expected.push_back(0);
    for (char c : std::string("open")) expected.push_back(static_cast<uint8_t>(c));
    expected.push_back(0);
    Bytes push = {0x96, 0x03, 0x00, 0x00, 'x', 0x00, 0x9A, 0x01, 0x00, 0x40, 0x00};
    expected.insert(expected.end(), push.begin(), push.end());
    EXPECT_EQ(expected, a.Encode());
}

}  // namespace
