// swfshot end to end: movies in, PNG files out, exact pixels and exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/native/tools/PngDecode.h"
#include "tests/native/tools/TestFiles.h"
#include "tools/moviegen/TestMovies.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"
#include "tools/swfshot/Options.h"
#include "tools/swfshot/Renderer.h"

namespace {

using toolstest::Bytes;
using toolstest::ReadFile;

class SwfShotRenderTest : public ::testing::Test {
protected:
    std::string Temp(const std::string& name) { return ::testing::TempDir() + "swfshot_" + name; }

    int Run(std::vector<std::string> args) {
        swfshot::Options options;
        std::string error;
        if (!swfshot::ParseArgs(args, &options, &error)) {
            err_ << error;
            return swfshot::kExitUsage;
        }
        return swfshot::RunSwfshot(options, out_, err_);
    }

    std::string GeneratedMovie(const char* name) {
        const char* dir = std::getenv("PICTARO_MOVIES");
        std::string path = dir ? std::string(dir) + "/" + name : std::string();
        return ReadFile(path).empty() ? std::string() : path;
    }

    std::ostringstream out_, err_;
};

Bytes Rgb(swf::Rgba c) { return {c.r, c.g, c.b}; }

TEST_F(SwfShotRenderTest, PatternFrameHasExactColoursAtKnownPoints) {
    using F = moviegen::PatternFacts;
    std::string movie = GeneratedMovie("pattern.swf");
    if (movie.empty()) GTEST_SKIP() << "movies not generated";
    std::string pattern = Temp("pattern_%d.png");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "-f", "2", "-o", pattern})) << err_.str();
    toolstest::Png png = toolstest::DecodePng(ReadFile(swfshot::FormatOutputName(pattern, 2)));
    ASSERT_EQ(uint32_t(F::kWidth), png.width);
    ASSERT_EQ(uint32_t(F::kHeight), png.height);
    const int cx = F::kWidth / 2, cy = F::kHeight / 2, half = F::kSquareSize / 2;
    EXPECT_EQ(Rgb(F::kTopLeft), toolstest::PixelAt(png, 0, 0));
    EXPECT_EQ(Rgb(F::kTopLeft), toolstest::PixelAt(png, cx - 1, cy - half - 1));
    EXPECT_EQ(Rgb(F::kTopRight), toolstest::PixelAt(png, cx, 0));
    EXPECT_EQ(Rgb(F::kTopRight), toolstest::PixelAt(png, F::kWidth - 1, cy - 1));
    EXPECT_EQ(Rgb(F::kBottomLeft), toolstest::PixelAt(png, 0, F::kHeight - 1));
    EXPECT_EQ(Rgb(F::kBottomLeft), toolstest::PixelAt(png, cx - half - 1, cy));
    EXPECT_EQ(Rgb(F::kBottomRight), toolstest::PixelAt(png, F::kWidth - 1, F::kHeight - 1));
    EXPECT_EQ(Rgb(F::kSquare), toolstest::PixelAt(png, cx - half, cy - half));
    EXPECT_EQ(Rgb(F::kSquare), toolstest::PixelAt(png, cx + half - 1, cy + half - 1));
    EXPECT_EQ(Rgb(F::kBottomRight), toolstest::PixelAt(png, cx + half, cy + half));
    std::remove(swfshot::FormatOutputName(pattern, 2).c_str());
}

TEST_F(SwfShotRenderTest, EachChosenFrameShowsItsOwnBarAtTheChosenSize) {
    using F = moviegen::Frames100Facts;
    std::string movie = GeneratedMovie("frames100.swf");
    if (movie.empty()) GTEST_SKIP() << "movies not generated";
    std::string pattern = Temp("bar_%03d.png");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "-f", "37,100,1", "-o", pattern, "-q"})) << err_.str();
    EXPECT_EQ("", out_.str());  // quiet
    const int y = F::kBarTop + F::kBarHeight / 2;
    for (int frame : {1, 37, 100}) {
        std::string name = swfshot::FormatOutputName(pattern, frame);
        toolstest::Png png = toolstest::DecodePng(ReadFile(name));
        const int end = frame * F::kBarStep;  // first pixel past the bar
        EXPECT_EQ(Rgb(F::kBar), toolstest::PixelAt(png, end - 1, y)) << frame;
        EXPECT_EQ(Rgb(F::kBackground), toolstest::PixelAt(png, end, y)) << frame;
        std::remove(name.c_str());
    }
    // Half size: every bar end halves as well.
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "-f", "40", "-o", pattern, "-s", "275x200"}));
    toolstest::Png half = toolstest::DecodePng(ReadFile(swfshot::FormatOutputName(pattern, 40)));
    EXPECT_EQ(275u, half.width);
    EXPECT_EQ(Rgb(F::kBar), toolstest::PixelAt(half, 99, y / 2));
    EXPECT_EQ(Rgb(F::kBackground), toolstest::PixelAt(half, 100, y / 2));
    std::remove(swfshot::FormatOutputName(pattern, 40).c_str());
}

TEST_F(SwfShotRenderTest, FailuresGiveTheirExitCodesAndMessages) {
    std::string garbage = Temp("garbage.swf");
    FILE* f = std::fopen(garbage.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("this is not a movie", f);
    std::fclose(f);
    EXPECT_EQ(swfshot::kExitBadMovie, Run({garbage, "-o", Temp("g_%d.png")}));
    EXPECT_NE(std::string::npos, err_.str().find(garbage));
    EXPECT_EQ(swfshot::kExitBadMovie, Run({Temp("missing.swf"), "-o", Temp("m_%d.png")}));
    std::remove(garbage.c_str());

    swfmake::SwfWriter writer(8, {0, 400, 0, 400}, 12);
    writer.Tags().ShowFrame();
    writer.Tags().ShowFrame();
    std::string twoFrames = Temp("two.swf");
    ASSERT_TRUE(writer.WriteFile(twoFrames, false));
    err_.str("");
    EXPECT_EQ(swfshot::kExitBadFrames, Run({twoFrames, "-f", "3", "-o", Temp("t_%d.png")}));
    EXPECT_NE(std::string::npos, err_.str().find("frame 3"));
    EXPECT_EQ(swfshot::kExitOutputFailed,
              Run({twoFrames, "-o", "/nonexistent-dir/shot_%d.png"}));
    EXPECT_EQ(swfshot::kExitUsage, Run({twoFrames, "-f", "two"}));
    std::remove(twoFrames.c_str());
}

}  // namespace
