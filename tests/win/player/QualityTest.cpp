// The quality properties: low quality draws hard edges where high blends
// them, and the numbers and names read back as the control keeps them.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win/player/PlayerTestUtil.h"
#include "tools/moviegen/TestMovies.h"

using moviegen::PatternFacts;
using playertest::ToColorRef;

namespace {

// pattern.swf shown smaller than its stage, so that its edges fall inside
// pixels.
constexpr int kWidth = 367;
constexpr int kHeight = 267;
constexpr long kLow = 0;
constexpr long kHigh = 1;

// Pixels of the frame that are none of the movie's colours: blended edges.
long BlendedPixels(HWND player) {
    const COLORREF colours[] = {
        ToColorRef(PatternFacts::kTopLeft),     ToColorRef(PatternFacts::kTopRight),
        ToColorRef(PatternFacts::kBottomLeft),  ToColorRef(PatternFacts::kBottomRight),
        ToColorRef(PatternFacts::kSquare),      ToColorRef(PatternFacts::kBackground),
    };
    std::vector<COLORREF> pixels = playertest::PrintedPixels(player);
    EXPECT_EQ(pixels.size(), static_cast<size_t>(kWidth * kHeight));
    return static_cast<long>(std::count_if(pixels.begin(), pixels.end(), [&](COLORREF c) {
        return std::find(std::begin(colours), std::end(colours), c) == std::end(colours);
    }));
}

TEST(QualityTest, LowQualityFramesHaveNoBlendedEdgePixels) {
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, kWidth, kHeight);
    std::string movie = playertest::MoviePath("pattern.swf");
    player.SetMovie(movie.c_str());
    ASSERT_EQ(player.GetTotalFrames(), PatternFacts::kFrames) << movie;
    player.Stop();
    EXPECT_EQ(player.GetQuality(), kHigh);
    EXPECT_GT(BlendedPixels(player), 0);

    player.SetQuality(kLow);
    EXPECT_EQ(player.GetQuality(), kLow);
    EXPECT_EQ(BlendedPixels(player), 0);
    // Numbers and names the control does not know change nothing.
    player.SetQuality(4);
    player.SetQuality2("sharp");
    EXPECT_EQ(player.GetQuality(), kLow);
    // The quality outlives the movie.
    player.SetMovie(movie.c_str());
    EXPECT_EQ(BlendedPixels(player), 0);

    // Medium still smooths edges, so it reads back as high; AutoLow starts low.
    player.SetQuality2("medium");
    EXPECT_EQ(player.GetQuality(), kHigh);
    EXPECT_GT(BlendedPixels(player), 0);
    player.SetQuality2("AutoLow");
    EXPECT_EQ(BlendedPixels(player), 0);
}

}  // namespace
