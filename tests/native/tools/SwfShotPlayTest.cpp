// swfshot playing movies: ticks against seeking, scripted input, and each
// output kind read back (transparent PNG, animated PNG, SVG).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/native/tools/PngDecode.h"
#include "tests/native/tools/TestFiles.h"
#include "tools/swfmake/ActionAsm.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"
#include "tools/swfshot/Options.h"
#include "tools/swfshot/Renderer.h"

namespace {

using toolstest::Bytes;
using toolstest::ReadFile;

constexpr int kTwips = 20;
const swf::Rect kStage{0, 100 * kTwips, 0, 50 * kTwips};
const swf::Rgba kWhite{255, 255, 255, 255}, kRed{220, 0, 0, 255}, kGreen{0, 160, 0, 255},
    kBlue{0, 0, 200, 255};
constexpr int kBarStep = 20;  // pixels the sprite's bar moves per frame

swf::Shape Box(int x0, int x1, int y0, int y1, swf::Rgba color) {
    swfmake::ShapeBuilder b;
    b.FillRect({x0 * kTwips, x1 * kTwips, y0 * kTwips, y1 * kTwips}, b.AddSolidFill(color));
    return b.Build();
}

// One root frame; a four-frame sprite moves a 10-pixel red bar 20 pixels a frame.
swfmake::SwfWriter SpriteMovie() {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor(kWhite);
    t.DefineShape(1, Box(0, 10, 0, 50, kRed));
    swfmake::TagList sprite;
    sprite.PlaceObject2(swfmake::NewPlacement(1, 1));
    sprite.ShowFrame();
    for (int k = 1; k < 4; ++k) {
        sprite.PlaceObject2(swfmake::MovePlacement(1, swf::Matrix::Translate(k * kBarStep * kTwips, 0)));
        sprite.ShowFrame();
    }
    t.DefineSprite(2, sprite);
    t.PlaceObject2(swfmake::NewPlacement(1, 2));
    t.ShowFrame();
    return w;
}

// Stopped on frame 1 with a blue button on the left; its release goes to
// frame 2, which adds a green box on the right.
swfmake::SwfWriter ButtonMovie() {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor(kWhite);
    t.DefineShape(1, Box(0, 50, 0, 50, kBlue));
    t.DefineShape(2, Box(50, 100, 0, 50, kGreen));
    swfmake::ButtonCondAction click;
    click.actions.GotoFrame(1);
    t.DefineButton2(3, {{swf::kButtonUp | swf::kButtonOver | swf::kButtonDown | swf::kButtonHit, 1, 1, {}, {}}},
                    {click});
    t.DoAction(swfmake::Actions().Stop());
    t.PlaceObject2(swfmake::NewPlacement(1, 3));
    t.ShowFrame();
    t.PlaceObject2(swfmake::NewPlacement(2, 2));
    t.ShowFrame();
    return w;
}

Bytes Rgb(swf::Rgba c) { return {c.r, c.g, c.b}; }

class SwfShotPlayTest : public ::testing::Test {
protected:
    std::string Temp(const std::string& name) { return ::testing::TempDir() + "swfshot_play_" + name; }
    std::string Write(const swfmake::SwfWriter& w, const std::string& name) {
        std::string path = Temp(name);
        EXPECT_TRUE(w.WriteFile(path, false));
        return path;
    }
    std::string WriteText(const std::string& name, const std::string& text) {
        std::string path = Temp(name);
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs(text.c_str(), f);
        std::fclose(f);
        return path;
    }
    int Run(std::vector<std::string> args) {
        swfshot::Options options;
        std::string error;
        err_.str("");
        if (!swfshot::ParseArgs(args, &options, &error)) {
            err_ << error;
            return swfshot::kExitUsage;
        }
        return swfshot::RunSwfshot(options, out_, err_);
    }
    toolstest::Png Read(const std::string& path) { return toolstest::DecodePng(ReadFile(path)); }

    std::ostringstream out_, err_;
};

// The bar's left edge in each picture tells which sprite frame it shows.
int BarLeft(const toolstest::Png& png) {
    for (uint32_t x = 0; x < png.width; ++x)
        if (toolstest::PixelAt(png, x, 25) == Rgb(kRed)) return static_cast<int>(x);
    return -1;
}

TEST_F(SwfShotPlayTest, TicksPlaySpritesWhereSeekingStaysOnTheOnlyFrame) {
    const std::string movie = Write(SpriteMovie(), "sprite.swf");
    const std::string out = Temp("sprite_%d.png");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--ticks", "1,3,6", "-o", out, "-q"})) << err_.str();
    EXPECT_EQ(0, BarLeft(Read(swfshot::FormatOutputName(out, 1))));
    EXPECT_EQ(2 * kBarStep, BarLeft(Read(swfshot::FormatOutputName(out, 3))));
    EXPECT_EQ(1 * kBarStep, BarLeft(Read(swfshot::FormatOutputName(out, 6))));  // looped: 6 = 4 + 2
    // 0.25 s at 12 fps is three frames played after the first.
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--at", "0.25", "-o", Temp("at.png"), "-q"})) << err_.str();
    EXPECT_EQ(3 * kBarStep, BarLeft(Read(Temp("at.png"))));
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "-f", "1", "-o", Temp("seek.png"), "-q"}));
    EXPECT_EQ(0, BarLeft(Read(Temp("seek.png"))));
    EXPECT_EQ(swfshot::kExitBadFrames, Run({movie, "-f", "3", "-o", Temp("seek%d.png")}));
    EXPECT_NE(std::string::npos, err_.str().find("past the movie's last frame (1)"));
    // Several pictures need %d; one does not.
    EXPECT_EQ(swfshot::kExitUsage, Run({movie, "--ticks", "1-2", "-o", Temp("same.png")}));
    EXPECT_NE(std::string::npos, err_.str().find("needs %d"));
}

TEST_F(SwfShotPlayTest, InputScriptClickingTheButtonChangesThePicture) {
    const std::string movie = Write(ButtonMovie(), "button.swf");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--ticks", "3", "-o", Temp("idle.png"), "-q"}));
    EXPECT_EQ(Rgb(kWhite), toolstest::PixelAt(Read(Temp("idle.png")), 75, 25));

    const std::string script = WriteText("click.txt", "# click the button\nmove 10 10\ndown 10 10 left\n"
                                                      "up 10 10\nframe 2\n");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--input", script, "-o", Temp("clicked.png"), "-q"})) << err_.str();
    toolstest::Png clicked = Read(Temp("clicked.png"));
    EXPECT_EQ(Rgb(kGreen), toolstest::PixelAt(clicked, 75, 25));
    EXPECT_EQ(Rgb(kBlue), toolstest::PixelAt(clicked, 25, 25));
    // At double size the same script clicks at output pixels, still on the button.
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--input", script, "--scale", "2", "-o", Temp("big.png"), "-q"}));
    EXPECT_EQ(Rgb(kGreen), toolstest::PixelAt(Read(Temp("big.png")), 150, 50));
    // A right click presses nothing.
    const std::string right = WriteText("right.txt", "down 10 10 right\nup 10 10 right\nframe\n");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--input", right, "-o", Temp("right.png"), "-q"}));
    EXPECT_EQ(Rgb(kWhite), toolstest::PixelAt(Read(Temp("right.png")), 75, 25));

    const std::string bad = WriteText("bad.txt", "move 1 1\n\nclick 3 4\n");
    EXPECT_EQ(swfshot::kExitUsage, Run({movie, "--input", bad, "-o", Temp("bad.png")}));
    EXPECT_NE(std::string::npos, err_.str().find("line 3")) << err_.str();
}

// A blue button on the left whose scripts move the red clip "box": a click
// puts it at x 70, the key k at x 85.
swfmake::SwfWriter ScriptedButtonMovie() {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor(kWhite);
    t.DefineShape(1, Box(0, 50, 0, 50, kBlue));
    t.DefineShape(2, Box(0, 10, 0, 10, kRed));
    swfmake::TagList sprite;
    sprite.PlaceObject2(swfmake::NewPlacement(1, 2));
    sprite.ShowFrame();
    t.DefineSprite(4, sprite);
    auto moveBox = [](uint16_t conditions, int x) {
        swfmake::ButtonCondAction a;
        a.conditions = conditions;
        a.actions.Raw(swfmake::Assemble("push 'box', 0, " + std::to_string(x) + "\nsetproperty"));
        return a;
    };
    t.DefineButton2(3, {{swf::kButtonUp | swf::kButtonOver | swf::kButtonDown | swf::kButtonHit, 1, 1, {}, {}}},
                    {moveBox(swf::kCondOverDownToOverUp, 70), moveBox('k' << swf::kCondKeyShift, 85)});
    t.PlaceObject2(swfmake::NewPlacement(1, 3));
    swfmake::Placement box = swfmake::NewPlacement(2, 4, swf::Matrix::Translate(50 * kTwips, 0));
    box.name = "box";
    t.PlaceObject2(box);
    t.ShowFrame();
    return w;
}

TEST_F(SwfShotPlayTest, InputScriptClicksAndKeysRunButtonScriptsThatMoveAClip) {
    const std::string movie = Write(ScriptedButtonMovie(), "scripted.swf");
    const struct {
        const char* name;
        const char* script;
        int redAt;
    } cases[] = {{"none", "frame 2\n", 55},
                 {"click", "move 10 10\ndown 10 10\nup 10 10\nframe\n", 75},
                 {"key", "keydown k\nkeyup k\nframe\n", 90},
                 {"unfocused key", "focus out\nkeydown k\nkeyup k\nframe\n", 55}};
    for (const auto& c : cases) {
        const std::string script = WriteText("scripted.txt", c.script);
        ASSERT_EQ(swfshot::kExitOk, Run({movie, "--input", script, "-o", Temp("scripted.png"), "-q"})) << err_.str();
        const toolstest::Png png = Read(Temp("scripted.png"));
        for (int x : {55, 75, 90})
            EXPECT_EQ(x == c.redAt ? Rgb(kRed) : Rgb(kWhite), toolstest::PixelAt(png, x, 5)) << c.name << " at " << x;
    }
}

TEST_F(SwfShotPlayTest, TransparentPictureHasAlphaZeroWhereNothingIsDrawn) {
    const std::string movie = Write(SpriteMovie(), "clear.swf");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--transparent", "-o", Temp("clear.png"), "-q"}));
    toolstest::Png png = Read(Temp("clear.png"));
    ASSERT_EQ(6, png.colorType);
    EXPECT_EQ((Bytes{220, 0, 0, 255}), toolstest::PixelAt(png, 5, 25));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), toolstest::PixelAt(png, 50, 25));
}

TEST_F(SwfShotPlayTest, AnimatedPngHoldsEveryPictureWithTheFrameRatesDelays) {
    const std::string movie = Write(SpriteMovie(), "anim.swf");
    const std::string apng = Temp("anim.png");
    const struct {
        const char* ticks;
        uint32_t frames;
        uint16_t delay;  // of 256 / 12 fps units
    } cases[] = {{"1-4", 4, 256}, {"1-10/3", 4, 768}, {"2", 1, 256}};
    for (const auto& c : cases) {
        ASSERT_EQ(swfshot::kExitOk, Run({movie, "--ticks", c.ticks, "--apng", apng, "-q"})) << err_.str();
        toolstest::Png png = Read(apng);
        EXPECT_EQ(c.frames, png.animationFrames) << c.ticks;
        EXPECT_EQ(c.frames - 1, png.frameDataChunks) << c.ticks;
        ASSERT_EQ(c.frames, png.delays.size()) << c.ticks;
        for (const auto& d : png.delays) EXPECT_EQ(std::make_pair(c.delay, uint16_t(12 << 8)), d) << c.ticks;
    }
    EXPECT_EQ(0, BarLeft(Read(apng)) - kBarStep);  // the still image is the first picture: tick 2
}

TEST_F(SwfShotPlayTest, SameMovieGivesTheSameBytesEveryTime) {
    const std::string movie = Write(SpriteMovie(), "same.swf");
    const struct {
        std::vector<std::string> output;
        const char* file;
    } cases[] = {{{"-o", Temp("same.png")}, "same.png"},
                 {{"--transparent", "-o", Temp("same.png")}, "same.png"},
                 {{"--ticks", "1-4", "--apng", Temp("same_anim.png")}, "same_anim.png"}};
    for (const auto& c : cases) {
        std::vector<std::string> args = {movie, "-q"};
        args.insert(args.end(), c.output.begin(), c.output.end());
        ASSERT_EQ(swfshot::kExitOk, Run(args)) << err_.str();
        const Bytes first = ReadFile(Temp(c.file));
        ASSERT_EQ(swfshot::kExitOk, Run(args)) << err_.str();
        EXPECT_EQ(first, ReadFile(Temp(c.file))) << c.file;
    }
}

bool HaveRsvg() { return std::system("rsvg-convert --version > /dev/null 2>&1") == 0; }

TEST_F(SwfShotPlayTest, SvgHoldsTheShapesAndRendersLikeThePng) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor(kWhite);
    swfmake::ShapeBuilder b;
    const swf::Rect left{0, 40 * kTwips, 0, 50 * kTwips};
    auto fill = swfmake::GradientFill(swf::FillKind::LinearGradient, swfmake::GradientBox(left),
                                      {{0, kRed}, {255, kBlue}});
    fill.gradient.spread = swf::SpreadMode::Reflect;
    b.FillRect(left, b.AddFill(fill));
    b.FillRect({60 * kTwips, 90 * kTwips, 10 * kTwips, 40 * kTwips}, b.AddSolidFill(kGreen),
               b.AddSolidLine(4 * kTwips, kBlue));
    t.DefineShape(1, b.Build());
    t.PlaceObject2(swfmake::NewPlacement(1, 1));
    t.ShowFrame();
    const std::string movie = Write(w, "vector.swf");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--svg", "-o", Temp("vector.svg"), "-q"})) << err_.str();
    const Bytes svg = ReadFile(Temp("vector.svg"));
    const std::string text(svg.begin(), svg.end());
    for (const char* part : {"<svg ", "width=\"100\"", "<linearGradient", "spreadMethod=\"reflect\"",
                             "stop-color=\"#dc0000\"", "fill=\"#00a000\"", "stroke=\"#0000c8\"",
                             "stroke-width=\"4\"", "</svg>"})
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    if (!HaveRsvg()) GTEST_SKIP() << "rsvg-convert not installed";
    const std::string rendered = Temp("vector_rsvg.png");
    ASSERT_EQ(0, std::system(("rsvg-convert -o '" + rendered + "' '" + Temp("vector.svg") + "'").c_str()));
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "-o", Temp("vector.png"), "-q"}));
    toolstest::Png theirs = Read(rendered), ours = Read(Temp("vector.png"));
    ASSERT_EQ(ours.width, theirs.width);
    // Away from edges the pictures agree within gradient rounding.
    const struct {
        int x, y;
    } points[] = {{2, 25}, {20, 25}, {38, 25}, {75, 25}, {60, 25}, {95, 5}};
    for (const auto& [x, y] : points) {
        Bytes a = toolstest::PixelAt(ours, x, y), b2 = toolstest::PixelAt(theirs, x, y);
        for (size_t ch = 0; ch < 3; ++ch) EXPECT_NEAR(a[ch], b2[ch], 3) << x << "," << y << " channel " << ch;
    }
}

}  // namespace
