// Bitmap tags as swfmake writes them: every tag and pixel format read back,
// the stray JPEG marker pair, PNG and GIF inside JPEG tags, and hostile
// images that must be refused with a message naming the tag and the reason.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "EngineTestUtil.h"
#include "swf/model/Movie.h"
#include "swf/decode/ImageDecode.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/ImageEncode.h"

namespace {

using swf::Rgba;
using swfmake::Image;

// A few exact colours, including translucent ones, in a 5 x 3 image (odd
// widths exercise row padding).
Image Palette(bool translucent) {
    const Rgba colors[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                           {255, 255, 255, 255}, {0, 0, 0, 255}, {132, 66, 255, 255}};
    Image image(5, 3);
    for (int i = 0; i < 15; ++i) {
        Rgba c = colors[i % 6];
        if (translucent && i % 4 == 1) c.a = i % 8 == 1 ? 0 : 128;
        image.pixels[size_t(i)] = c;
    }
    return image;
}

// What the player should hold: premultiplied as the reader rounds it.
uint32_t Expected(Rgba c) { return swf::FrameBuffer::Premultiply(c); }

struct Read {
    swf::ReadResult result;
    const swf::Bitmap* bitmap = nullptr;
};

Read ReadBitmap(const swfmake::SwfWriter& w, uint16_t id = 1) {
    Read r;
    r.result = swf::ReadMovie(w.Write(false));
    if (r.result.movie) r.bitmap = r.result.movie->FindBitmap(id);
    return r;
}

swfmake::SwfWriter Writer() { return swfmake::SwfWriter(10, enginetest::kStage, 12); }

void ExpectPixels(const swf::Bitmap* b, const Image& image) {
    ASSERT_TRUE(b);
    ASSERT_EQ(b->width, image.width);
    ASSERT_EQ(b->height, image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) ASSERT_EQ(b->pixels[i], Expected(image.pixels[i])) << i;
}

TEST(BitmapReaderTest, LosslessFormatsReadBackExactly) {
    struct Case {
        swfmake::LosslessFormat format;
        bool alpha;
    };
    const Case cases[] = {{swfmake::LosslessFormat::ColorMapped, false}, {swfmake::LosslessFormat::ColorMapped, true},
                          {swfmake::LosslessFormat::Rgb15, false}, {swfmake::LosslessFormat::Rgb32, false},
                          {swfmake::LosslessFormat::Rgb32, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format) * 10 + c.alpha);
        const Image image = Palette(c.alpha);
        auto w = Writer();
        w.Tags().DefineBitsLossless(1, swfmake::EncodeLosslessBody(image, c.format, c.alpha), c.alpha);
        const Read r = ReadBitmap(w);
        EXPECT_TRUE(r.result.errors.empty());
        ExpectPixels(r.bitmap, image);  // every colour of Palette survives 15 bits
        EXPECT_EQ(r.bitmap->opaque, !c.alpha);
    }
}

TEST(BitmapReaderTest, PngAndGifInsideJpegTagsAndJpeg3AlphaPremultiply) {
    const Image image = Palette(true);
    Image gifImage = image;  // GIF has no partial alpha
    for (Rgba& c : gifImage.pixels)
        if (c.a != 255) c = Rgba{0, 0, 0, 0};
    auto w = Writer();
    w.Tags().DefineBitsJpeg2(1, swfmake::EncodePng(image));
    w.Tags().DefineBitsJpeg3(2, swfmake::EncodeGif(gifImage), {1, 2, 3});  // alpha ignored
    w.Tags().DefineBitsJpeg4(3, swfmake::EncodePng(image), {}, 0x0180);
    swf::ReadResult r = swf::ReadMovie(w.Write(false));
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    ExpectPixels(r.movie->FindBitmap(1), image);
    ExpectPixels(r.movie->FindBitmap(2), gifImage);
    ExpectPixels(r.movie->FindBitmap(3), image);
    EXPECT_EQ(static_cast<const swf::BitmapCharacter*>(r.movie->Find(3))->deblocking, 0x0180);
}

// Flat grey JPEGs decode to within a step of their grey.
TEST(BitmapReaderTest, EveryJpegTagDecodesWithTablesAlphaAndStrayMarkers) {
    const Image grey(16, 8, Rgba{100, 100, 100, 255});
    const std::vector<uint8_t> jpeg = swfmake::EncodeJpeg(grey, 95);
    const swfmake::SplitJpeg split = swfmake::EncodeJpegSplit(grey, 95);
    std::vector<uint8_t> stray = {0xFF, 0xD9, 0xFF, 0xD8};
    std::vector<uint8_t> strayJpeg = stray;
    strayJpeg.insert(strayJpeg.end(), jpeg.begin(), jpeg.end());
    // Tables and image in one JPEG2 block, as old files carry them.
    std::vector<uint8_t> joined = split.tables;
    joined.insert(joined.end(), split.image.begin(), split.image.end());
    std::vector<uint8_t> alpha(16 * 8, 51);
    auto w = Writer();
    w.Tags().JpegTables(stray.size() ? [&] {
        std::vector<uint8_t> t = stray;
        t.insert(t.end(), split.tables.begin(), split.tables.end());
        return t;
    }() : split.tables);
    w.Tags().DefineBits(1, split.image);
    w.Tags().DefineBitsJpeg2(2, strayJpeg);
    w.Tags().DefineBitsJpeg2(3, joined);
    w.Tags().DefineBitsJpeg3(4, jpeg, alpha);
    w.Tags().DefineBitsJpeg4(5, jpeg, alpha, 256);
    swf::ReadResult r = swf::ReadMovie(w.Write(false));
    ASSERT_TRUE(r.movie);
    for (const std::string& e : r.errors) ADD_FAILURE() << e;
    for (uint16_t id = 1; id <= 5; ++id) {
        SCOPED_TRACE(id);
        const swf::Bitmap* b = r.movie->FindBitmap(id);
        ASSERT_TRUE(b);
        ASSERT_EQ(b->width, 16);
        const uint32_t p = b->At(7, 3);
        const int a = id >= 4 ? 51 : 255;
        EXPECT_EQ(int(p >> 24), a);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 100 * a / 255, 2);
        EXPECT_EQ(b->opaque, a == 255);
    }
}

std::vector<uint8_t> LosslessHeader(uint8_t format, uint16_t w, uint16_t h, std::vector<uint8_t> zdata) {
    swfmake::ByteWriter b;
    b.U8(format);
    b.U16(w);
    b.U16(h);
    b.Raw(zdata);
    return b.Take();
}

TEST(BitmapReaderTest, HostileImagesAreRefusedWithTheTagAndTheReason) {
    const Image small(4, 4, Rgba{9, 9, 9, 255});
    const std::vector<uint8_t> jpeg = swfmake::EncodeJpeg(small, 80);
    const std::vector<uint8_t> png = swfmake::EncodePng(small);
    Image noisy(32, 32);
    for (size_t i = 0; i < noisy.pixels.size(); ++i) noisy.pixels[i] = Rgba{uint8_t(i * 37), uint8_t(i * 11), uint8_t(i), 255};
    const std::vector<uint8_t> noisyJpeg = swfmake::EncodeJpeg(noisy, 90);
    std::vector<uint8_t> corrupt = jpeg;
    for (size_t i = corrupt.size() / 2; i < corrupt.size() - 2; ++i) corrupt[i] = 0x55;
    // A PNG header claiming 9000 x 10 pixels.
    std::vector<uint8_t> widePng = png;
    widePng[18] = 9000 >> 8, widePng[19] = 9000 & 0xFF;
    constexpr size_t kIhdrType = 12, kIhdrCrc = 29;
    const uLong crc = crc32(0, widePng.data() + kIhdrType, kIhdrCrc - kIhdrType);
    for (int i = 0; i < 4; ++i) widePng[kIhdrCrc + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    struct Case {
        const char* tag;
        const char* why;
        std::function<void(swfmake::TagList&)> write;
    };
    const std::vector<Case> cases = {
        {"DefineBitsLossless", "8192 x 1 pixels is wider",
         [](swfmake::TagList& t) { t.DefineBitsLossless(1, LosslessHeader(5, 8192, 1, swfmake::Deflate({0})), false); }},
        {"DefineBitsLossless2", "16777216 pixels exceeds",
         [](swfmake::TagList& t) { t.DefineBitsLossless(1, LosslessHeader(5, 4096, 4096, swfmake::Deflate({0})), true); }},
        {"DefineBitsLossless", "pixel data has 3 bytes where 64 are needed",
         [](swfmake::TagList& t) { t.DefineBitsLossless(1, LosslessHeader(5, 4, 4, swfmake::Deflate({1, 2, 3})), false); }},
        {"DefineBitsLossless2", "unknown lossless format 7",
         [](swfmake::TagList& t) { t.DefineBitsLossless(1, LosslessHeader(7, 4, 4, {}), true); }},
        {"DefineBitsJPEG2", "JPEG data ends before the image does",
         [&](swfmake::TagList& t) { t.DefineBitsJpeg2(1, {noisyJpeg.begin(), noisyJpeg.end() - 100}); }},
        {"DefineBitsJPEG2", "JPEG data is damaged",
         [&](swfmake::TagList& t) { t.DefineBitsJpeg2(1, {jpeg.begin(), jpeg.begin() + 20}); }},
        {"DefineBitsJPEG3", "alpha plane has 15 bytes where 16",
         [&](swfmake::TagList& t) { t.DefineBitsJpeg3(1, jpeg, std::vector<uint8_t>(15, 1)); }},
        {"DefineBitsJPEG3", "alpha plane has more than 16 bytes",
         [&](swfmake::TagList& t) { t.DefineBitsJpeg3(1, jpeg, std::vector<uint8_t>(17, 1)); }},
        {"DefineBitsJPEG2", "PNG data is damaged",
         [&](swfmake::TagList& t) { t.DefineBitsJpeg2(1, {png.begin(), png.begin() + long(png.size()) - 20}); }},
        {"DefineBitsJPEG2", "9000 x 4 pixels is wider", [&](swfmake::TagList& t) { t.DefineBitsJpeg2(1, widePng); }},
        {"DefineBitsJPEG2", "GIF data is damaged",
         [](swfmake::TagList& t) { t.DefineBitsJpeg2(1, {'G', 'I', 'F', '8', '9', 'a', 1}); }},
        {"DefineBits", "JPEG data is damaged", [&](swfmake::TagList& t) { t.DefineBits(1, corrupt); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto w = Writer();
        c.write(w.Tags());
        // The frame after the bad bitmap still plays.
        w.Tags().DefineShape(2, enginetest::Square(100), 3);
        w.Tags().PlaceObject2(swfmake::NewPlacement(1, 2));
        w.Tags().ShowFrame();
        swf::Player player;
        ASSERT_TRUE(player.LoadBytes(w.Write(false)));
        ASSERT_EQ(player.Errors().size(), 1u);
        const std::string& e = player.Errors().front();
        EXPECT_NE(e.find(std::string("(") + c.tag + ")"), std::string::npos) << e;
        EXPECT_NE(e.find(c.why), std::string::npos) << e;
        swf::FrameBuffer fb(200, 150);
        player.Render(fb);
        EXPECT_EQ(fb.At(2, 2), swf::FrameBuffer::Pack(255, 200, 0, 0));
    }
}

TEST(BitmapReaderTest, DecodersRefuseImagesPastTheMemoryTheyAreGiven) {
    const Image image(8, 8, Rgba{1, 2, 3, 255});
    const std::vector<uint8_t> jpeg = swfmake::EncodeJpeg(image, 80), png = swfmake::EncodePng(image),
                               gif = swfmake::EncodeGif(image);
    using Decoder = bool (*)(const uint8_t*, size_t, size_t, swf::Bitmap&, std::string&);
    const std::pair<Decoder, const std::vector<uint8_t>*> decoders[] = {
        {swf::DecodeJpeg, &jpeg}, {swf::DecodePng, &png}, {swf::DecodeGif, &gif}};
    for (const auto& [decode, data] : decoders) {
        swf::Bitmap out;
        std::string error;
        EXPECT_TRUE(decode(data->data(), data->size(), 8 * 8 * 4, out, error)) << error;
        EXPECT_FALSE(decode(data->data(), data->size(), 8 * 8 * 4 - 1, out, error));
        EXPECT_NE(error.find("decoded-bitmap memory"), std::string::npos) << error;
        EXPECT_TRUE(out.pixels.empty());
    }
}

}  // namespace

namespace {

// A row of 16 grey pixels: the two 8-pixel blocks are `left` and `right`,
// with `bump` added to the pixel beside the seam on the left.
swf::Bitmap GreyBlocks(int left, int right, int bump = 0) {
    swf::Bitmap b;
    b.width = 16;
    b.height = 1;
    for (int x = 0; x < 16; ++x) {
        const int v = x < 8 ? left + (x == 6 ? bump : 0) : right;
        b.pixels.push_back(0xFF000000u | uint32_t(v) * 0x010101u);
    }
    return b;
}

TEST(DeblockTest, SmoothsOnlySmallStepsOnTheBlockGridBetweenFlatSides) {
    struct Case {
        int left, right, bump;
        uint16_t strength;
        int p0, q0;  // the grey either side of the seam afterwards
    };
    const Case cases[] = {
        {100, 104, 0, 256, 101, 103},  // (100+200+104+2)/4, (100+208+104+2)/4
        {100, 116, 0, 256, 100, 116},  // a step at the threshold is an edge
        {100, 116, 0, 512, 104, 112},  // a stronger filter takes it
        {100, 104, 8, 256, 100, 104},  // a rough side is detail
        {100, 104, 0, 0, 100, 104},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.right * 1000 + c.strength + c.bump);
        swf::Bitmap b = GreyBlocks(c.left, c.right, c.bump);
        swf::DeblockJpeg(b, c.strength);
        EXPECT_EQ(b.pixels[7], 0xFF000000u | uint32_t(c.p0) * 0x010101u);
        EXPECT_EQ(b.pixels[8], 0xFF000000u | uint32_t(c.q0) * 0x010101u);
        EXPECT_EQ(b.pixels[5], GreyBlocks(c.left, c.right).pixels[5]);
    }
}

TEST(DeblockTest, Jpeg4DeblocksWithItsValueAndJpeg3DoesNot) {
    Image image(16, 8, Rgba{96, 96, 96, 255});
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x) image.pixels[size_t(y * 16 + x)] = Rgba{104, 104, 104, 255};
    const std::vector<uint8_t> jpeg = swfmake::EncodeJpeg(image, 100);
    const std::vector<uint8_t> alpha(16 * 8, 255);
    auto w = Writer();
    w.Tags().DefineBitsJpeg3(1, jpeg, alpha);
    w.Tags().DefineBitsJpeg4(2, jpeg, alpha, 512);
    swf::ReadResult r = swf::ReadMovie(w.Write(false));
    ASSERT_TRUE(r.movie);
    const swf::Bitmap* plain = r.movie->FindBitmap(1);
    const swf::Bitmap* smooth = r.movie->FindBitmap(2);
    ASSERT_TRUE(plain && smooth);
    const auto grey = [](uint32_t p) { return int(p & 0xFF); };
    EXPECT_LT(grey(plain->At(7, 4)) + 4, grey(plain->At(8, 4)));
    EXPECT_GT(grey(smooth->At(7, 4)), grey(plain->At(7, 4)));
    EXPECT_LT(grey(smooth->At(8, 4)), grey(plain->At(8, 4)));
    EXPECT_EQ(smooth->At(3, 4), plain->At(3, 4));
}

}  // namespace
