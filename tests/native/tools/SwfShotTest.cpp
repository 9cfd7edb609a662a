// swfshot's command line, frame lists, output names and PNG files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/native/tools/PngDecode.h"
#include "tools/swfshot/FrameList.h"
#include "tools/swfshot/Options.h"
#include "tools/swfshot/PngWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<int> Frames(const std::string& list, int total) {
    swfshot::FrameList f;
    std::string error;
    EXPECT_TRUE(f.Parse(list, &error)) << list << ": " << error;
    std::vector<int> frames;
    EXPECT_TRUE(f.Resolve(total, &frames, &error)) << list << ": " << error;
    return frames;
}

std::string ParseError(const std::string& list) {
    swfshot::FrameList f;
    std::string error;
    EXPECT_FALSE(f.Parse(list, &error)) << list;
    return error;
}

TEST(FrameListTest, ItemsResolveToAscendingDistinctFrames) {
    EXPECT_EQ((std::vector<int>{1, 50, 120}), Frames("120,1,50", 360));
    EXPECT_EQ((std::vector<int>{1, 50, 120}), Frames(" 1 , 50,120,50 ", 360));
    EXPECT_EQ((std::vector<int>{5, 6, 7}), Frames("5-7", 10));
    EXPECT_EQ((std::vector<int>{1, 11, 21, 31}), Frames("1-40/10", 100));
    EXPECT_EQ((std::vector<int>{1, 11, 21}), Frames("every:10", 25));
    EXPECT_EQ((std::vector<int>{8, 9, 10}), Frames("8-", 10));
    EXPECT_EQ((std::vector<int>{4, 7, 10}), Frames("4-end/3", 10));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Frames("all", 3));
    EXPECT_EQ((std::vector<int>{1, 360}), Frames("1,last", 360));
}

TEST(FrameListTest, SyntaxErrorsNameTheItem) {
    EXPECT_NE(std::string::npos, ParseError("1,,3").find("empty item"));
    EXPECT_NE(std::string::npos, ParseError("1,x").find("\"x\""));
    EXPECT_NE(std::string::npos, ParseError("0").find("\"0\""));  // 1-based
    EXPECT_NE(std::string::npos, ParseError("9-3").find("backwards"));
    EXPECT_NE(std::string::npos, ParseError("1-9/0").find("step"));
    EXPECT_NE(std::string::npos, ParseError("every:0").find("step"));
    EXPECT_NE(std::string::npos, ParseError("5/2").find("range"));
    EXPECT_NE(std::string::npos, ParseError("-3").find("\"-3\""));
    EXPECT_NE(std::string::npos, ParseError("99999999999").find("\"99999999999\""));
    EXPECT_NE(std::string::npos, ParseError("").find("empty"));
}

TEST(FrameListTest, FramesPastTheEndAreRefusedButOpenRangesStop) {
    swfshot::FrameList f;
    std::string error;
    std::vector<int> frames;
    ASSERT_TRUE(f.Parse("1,101", &error));
    EXPECT_FALSE(f.Resolve(100, &frames, &error));
    EXPECT_NE(std::string::npos, error.find("101"));
    EXPECT_TRUE(frames.empty());

    ASSERT_TRUE(f.Parse("90-/20", &error));
    ASSERT_TRUE(f.Resolve(100, &frames, &error));
    EXPECT_EQ((std::vector<int>{90}), frames);

    ASSERT_TRUE(f.Parse("200-", &error));
    EXPECT_FALSE(f.Resolve(100, &frames, &error));
    EXPECT_NE(std::string::npos, error.find("no frame"));
}

TEST(OutputNameTest, PatternsAreCheckedAndFilledWithoutPrintf) {
    std::string error;
    EXPECT_TRUE(swfshot::CheckOutputPattern("out_%04d.png", &error));
    EXPECT_EQ("out_0007.png", swfshot::FormatOutputName("out_%04d.png", 7));
    EXPECT_EQ("out_12345.png", swfshot::FormatOutputName("out_%04d.png", 12345));
    EXPECT_EQ("f   7.png", swfshot::FormatOutputName("f%4d.png", 7));
    EXPECT_EQ("100%_3.png", swfshot::FormatOutputName("100%%_%d.png", 3));
    EXPECT_TRUE(swfshot::CheckOutputPattern("same.png", &error));  // one picture needs no %d
    EXPECT_EQ("cards/intro_0003.png", swfshot::FormatOutputName("cards/%n_%04d.png", 3, "intro"));
    EXPECT_EQ("intro-intro.png", swfshot::FormatOutputName("%n-%n.png", 3, "intro"));
    EXPECT_FALSE(swfshot::CheckOutputPattern("%d_%d.png", &error));
    EXPECT_FALSE(swfshot::CheckOutputPattern("%s.png", &error));
    EXPECT_FALSE(swfshot::CheckOutputPattern("%n%", &error));
    EXPECT_FALSE(swfshot::CheckOutputPattern("x%", &error));
    EXPECT_EQ("intro", swfshot::MovieName("a/b.c/intro.swf"));
    EXPECT_EQ("intro", swfshot::MovieName("C:\\cards\\intro.swf"));
    EXPECT_EQ(".hidden", swfshot::MovieName(".hidden"));
}

TEST(OptionsTest, ParsesOptionsAndRejectsBadOnes) {
    swfshot::Options o;
    std::string error;
    ASSERT_TRUE(swfshot::ParseArgs({"-f", "1,50", "--size", "1100x800", "m.swf", "-o",
                                    "a%d.png", "--scale", "noscale", "--alpha", "-q"},
                                   &o, &error))
        << error;
    EXPECT_EQ(std::vector<std::string>{"m.swf"}, o.movies);
    EXPECT_EQ(1100, o.width);
    EXPECT_EQ(800, o.height);
    EXPECT_EQ("a%d.png", o.outputPattern);
    EXPECT_EQ(3, o.scaleMode);
    EXPECT_EQ(swfshot::PngFormat::Rgba, o.format);
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(swf::Quality::High, o.quality);
    swfshot::Options low;
    ASSERT_TRUE(swfshot::ParseArgs({"m.swf", "--quality", "low"}, &low, &error)) << error;
    EXPECT_EQ(swf::Quality::Low, low.quality);

    auto fails = [](std::vector<std::string> args, const char* words) {
        swfshot::Options opts;
        std::string err;
        EXPECT_FALSE(swfshot::ParseArgs(args, &opts, &err)) << words;
        EXPECT_NE(std::string::npos, err.find(words)) << err;
    };
    fails({}, "no movie");
    fails({"a.swf", "b.swf", "-o", "x%d.png"}, "needs %n");
    fails({"a.swf", "--size", "0x10"}, "bad size");
    fails({"a.swf", "--size", "100000x10"}, "bad size");
    fails({"a.swf", "--size", "16384x16384"}, "bad size");  // too many pixels
    fails({"a.swf", "--size", "10x"}, "bad size");
    fails({"a.swf", "--scale", "zoom"}, "bad scale mode");
    fails({"a.swf", "--quality", "ultra"}, "bad quality");
    fails({"a.swf", "--frames"}, "needs a value");
    fails({"a.swf", "--bogus"}, "unknown option");
    fails({"a.swf", "-o", "x%d%d.png"}, "more than one %d");
    fails({"a.swf", "-f", "a"}, "bad frame list");
}

TEST(PngWriterTest, RgbaImageDecodesToStraightColours) {
    swf::FrameBuffer image(3, 2);
    image.Row(0)[0] = swf::FrameBuffer::Premultiply({255, 0, 0, 255});
    image.Row(0)[1] = swf::FrameBuffer::Premultiply({200, 100, 50, 128});
    image.Row(0)[2] = 0;  // transparent
    image.Row(1)[0] = swf::FrameBuffer::Premultiply({10, 20, 30, 255});
    image.Row(1)[1] = swf::FrameBuffer::Premultiply({0, 255, 0, 1});
    image.Row(1)[2] = swf::FrameBuffer::Premultiply({255, 255, 255, 255});
    toolstest::Png png = toolstest::DecodePng(swfshot::EncodePng(image, swfshot::PngFormat::Rgba));
    EXPECT_EQ(3u, png.width);
    EXPECT_EQ(2u, png.height);
    EXPECT_EQ(6, png.colorType);
    const Bytes expected = {0, 255, 0, 0, 255, 200, 100, 50, 128, 0, 0, 0, 0,
                            0, 10, 20, 30, 255, 0, 255, 0, 1, 255, 255, 255, 255};
    // 200*128/255 = 100.4 -> 100 stored -> 100*255/128 = 199.2 -> 199.
    Bytes got = png.pixels;
    EXPECT_EQ(199, got[5]);
    got[5] = 200;
    EXPECT_EQ(expected, got);
}

TEST(PngWriterTest, RgbImageDropsAlpha) {
    swf::FrameBuffer image(2, 1);
    image.Fill({1, 2, 3, 255});
    toolstest::Png png = toolstest::DecodePng(swfshot::EncodePng(image, swfshot::PngFormat::Rgb));
    EXPECT_EQ(2, png.colorType);
    EXPECT_EQ((Bytes{0, 1, 2, 3, 1, 2, 3}), png.pixels);
    EXPECT_TRUE(swfshot::EncodePng(swf::FrameBuffer(0, 5), swfshot::PngFormat::Rgb).empty());
}

TEST(PngWriterTest, UnpremultiplyRoundsAndClamps) {
    EXPECT_EQ((swf::Rgba{0, 0, 0, 0}), swf::FrameBuffer::Unpremultiply(0x00FFFFFFu));  // invalid input
    EXPECT_EQ((swf::Rgba{255, 255, 255, 16}), swf::FrameBuffer::Unpremultiply(0x10FFFFFFu));
    EXPECT_EQ((swf::Rgba{255, 128, 0, 128}), swf::FrameBuffer::Unpremultiply(0x80804000u));
}

TEST(PngWriterTest, UnwritablePathIsReportedAndWritableOneHoldsTheBytes) {
    std::string error;
    EXPECT_FALSE(swfshot::WriteFileBytes("/nonexistent-dir/x.png", {1, 2}, &error));
    EXPECT_NE(std::string::npos, error.find("/nonexistent-dir/x.png"));
    std::string path = ::testing::TempDir() + "swfshot_png_test.bin";
    ASSERT_TRUE(swfshot::WriteFileBytes(path, {1, 2, 3}, &error)) << error;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, f);
    uint8_t buf[4] = {};
    EXPECT_EQ(3u, std::fread(buf, 1, sizeof buf, f));
    std::fclose(f);
    std::remove(path.c_str());
}

}  // namespace
