// swfshot's option table, input scripts, animation delays and SVG numbers.
#include <gtest/gtest.h>

#include <functional>

#include "swf/Player.h"
#include "swf/svg/SvgPath.h"
#include "tools/swfshot/ApngWriter.h"
#include "tools/swfshot/InputScript.h"
#include "tools/swfshot/Options.h"

namespace {

using swfshot::Options;

TEST(SwfShotOptionsTest, EachOptionSetsItsFieldOrNamesTheProblem) {
    const struct {
        std::vector<std::string> args;
        std::function<bool(const Options&)> check;  // null: must fail
        const char* error;
    } cases[] = {
        {{"a.swf", "-o", "card.png", "-f", "10"}, [](const Options& o) { return o.Pattern() == "card.png"; }, ""},
        {{"a.swf"}, [](const Options& o) { return o.Pattern() == "frame_%04d.png" && !o.Plays(); }, ""},
        {{"a.swf", "b.swf"}, [](const Options& o) { return o.Pattern() == "%n_%04d.png" && o.movies.size() == 2; }, ""},
        {{"a.swf", "--svg"}, [](const Options& o) { return o.Pattern() == "frame_%04d.svg"; }, ""},
        {{"a.swf", "--ticks", "1-9/4"}, [](const Options& o) { return o.Plays() && o.tickText == "1-9/4"; }, ""},
        {{"a.swf", "--at", "0.5,2,1.125"}, [](const Options& o) { return o.atMs == std::vector<int>{500, 2000, 1125}; }, ""},
        {{"a.swf", "--input", "s.txt"}, [](const Options& o) { return o.Plays(); }, ""},
        {{"a.swf", "--scale", "0.5"}, [](const Options& o) { return o.scalePermille == 500 && o.scaleMode == 0; }, ""},
        {{"a.swf", "--scale", "exactfit"}, [](const Options& o) { return o.scalePermille == 1000 && o.scaleMode == 2; }, ""},
        {{"a.swf", "--quality", "best"}, [](const Options& o) { return o.quality == swf::Quality::Best; }, ""},
        {{"a.swf", "--transparent"}, [](const Options& o) { return o.transparent && o.format == swfshot::PngFormat::Rgba; }, ""},
        {{"a.swf", "--apng", "a.png"}, [](const Options& o) { return !o.WritesImages(); }, ""},
        {{"a.swf", "--apng", "a.png", "-o", "x%d.png"}, [](const Options& o) { return o.WritesImages(); }, ""},
        {{"--version"}, [](const Options& o) { return o.version; }, ""},
        {{"a.swf", "--trace", "-q"}, [](const Options& o) { return o.trace && o.quiet; }, ""},
        {{"a.swf", "--ticks", "0"}, nullptr, "bad frame list item \"0\""},
        {{"a.swf", "--at", "1,x"}, nullptr, "bad time list"},
        {{"a.swf", "--at", "-1"}, nullptr, "bad time list"},
        {{"a.swf", "--scale", "0"}, nullptr, "bad scale mode"},
        {{"a.swf", "--scale", "17"}, nullptr, "bad scale mode"},
        {{"a.swf", "--quality", "ultra"}, nullptr, "bad quality"},
        {{"a.swf", "b.swf", "--apng", "x.png"}, nullptr, "needs %n"},
        {{"a.swf", "-o", "%q.png"}, nullptr, "only %d"},
        {{"a.swf", "--input"}, nullptr, "needs a value"},
    };
    for (const auto& c : cases) {
        Options o;
        std::string error;
        const bool ok = swfshot::ParseArgs(c.args, &o, &error);
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        if (c.check) {
            EXPECT_TRUE(ok && c.check(o)) << line << error;
        } else {
            EXPECT_FALSE(ok) << line;
            EXPECT_NE(std::string::npos, error.find(c.error)) << line << ": " << error;
        }
    }
}

TEST(SwfShotOptionsTest, InputScriptLinesBecomeCommandsOrNameTheirLine) {
    using Kind = swfshot::InputCommand::Kind;
    std::vector<swfshot::InputCommand> cmds;
    std::string error;
    ASSERT_TRUE(swfshot::ParseInputScript("frame\nframe 5 # five\n  move -3 7\ndown 1 2 right\nup 1 2\n"
                                          "wheel -2\nkeydown a\nkeyup PageDown\nkeydown 7\nfocus out\n"
                                          "  text a#b \xC3\xA9\ntext\nkeydown x\ntext xy\n",
                                          "s", &cmds, &error))
        << error;
    ASSERT_EQ(14u, cmds.size());
    EXPECT_EQ(Kind::Frame, cmds[0].kind);
    EXPECT_EQ(1, cmds[0].count);
    EXPECT_EQ(5, cmds[1].count);
    EXPECT_EQ(2, cmds[1].line);
    EXPECT_EQ(Kind::Move, cmds[2].kind);
    EXPECT_EQ(-3, cmds[2].x);
    EXPECT_EQ(7, cmds[2].y);
    EXPECT_EQ(cmds[3].button, swf::MouseButton::Right);
    EXPECT_EQ(cmds[4].button, swf::MouseButton::Left);
    EXPECT_EQ(-2, cmds[5].count);
    EXPECT_EQ('A', cmds[6].keyCode);
    EXPECT_EQ('a', cmds[6].charCode);
    EXPECT_EQ(swf::kKeyPageDown, cmds[7].keyCode);
    EXPECT_EQ('7', cmds[8].keyCode);
    EXPECT_EQ(0, cmds[9].count);
    // The rest of the line is typed as it stands, '#' and all.
    EXPECT_EQ(Kind::Text, cmds[10].kind);
    EXPECT_EQ(U"a#b \u00E9", cmds[10].text);
    EXPECT_EQ(U"", cmds[11].text);
    EXPECT_EQ(U"y", cmds[13].text);  // the key held down typed its x

    const struct {
        const char* text;
        const char* error;
    } bad[] = {{"jump", "s line 1: unknown command"},
               {"texts", "unknown command"},
               {"\n\nframe 0", "s line 3: frame count"},
               {"frame 2 3", "line 1: frame takes"},
               {"move 1", "line 1: needs X Y"},
               {"down 1 2 thumb", "left, middle or right"},
               {"move 1 y", "whole numbers"},
               {"keydown Hyper", "unknown key"},
               {"focus sideways", "in or out"},
               {"wheel", "number of lines"}};
    for (const auto& b : bad) {
        EXPECT_FALSE(swfshot::ParseInputScript(b.text, "s", &cmds, &error)) << b.text;
        EXPECT_NE(std::string::npos, error.find(b.error)) << b.text << ": " << error;
    }
}

TEST(SwfShotOptionsTest, AnimationDelaysAreExactFractionsOfTheFrameRate) {
    const struct {
        int ticks;
        uint16_t rate88;
        uint16_t num, den;
    } cases[] = {{1, 12 << 8, 256, 12 << 8},       {3, 24 << 8, 768, 24 << 8},
                 {255, 30 << 8, 65280, 30 << 8},  {256, 12 << 8, 21333, 1000},  // milliseconds past 16 bits
                 {0, 12 << 8, 256, 12 << 8},      {1, 0, 256, 12 << 8},
                 {100000, 256, 65535, 1000}};
    for (const auto& c : cases) {
        swfshot::FrameDelay d = swfshot::DelayOfTicks(c.ticks, c.rate88);
        EXPECT_EQ(c.num, d.numerator) << c.ticks << "@" << c.rate88;
        EXPECT_EQ(c.den, d.denominator) << c.ticks << "@" << c.rate88;
    }
}

TEST(SwfShotOptionsTest, SvgPixelsHaveTwoDecimalsAndContoursClose) {
    const struct {
        int64_t twips;
        const char* text;
    } cases[] = {{0, "0"}, {1, "0.05"}, {2, "0.1"}, {20, "1"}, {25, "1.25"}, {-3, "-0.15"}, {-40, "-2"}};
    for (const auto& c : cases) {
        std::string s;
        swf::AppendPixels(s, c.twips);
        EXPECT_EQ(c.text, s) << c.twips;
    }
    // Two clockwise squares sharing an edge, as edge soup: the shared edge
    // has fill 1 on its right and fill 2 on its left, and comes first.
    swf::ShapeLayer layer;
    layer.fills.resize(2);
    auto edge = [&](int x0, int y0, int x1, int y1, uint16_t f0, uint16_t f1) {
        swf::ShapeEdge e;
        e.from = {x0, y0};
        e.to = {x1, y1};
        e.fill0 = f0;
        e.fill1 = f1;
        layer.edges.push_back(e);
    };
    edge(20, 0, 20, 20, 2, 1);
    edge(20, 20, 0, 20, 0, 1);
    edge(0, 20, 0, 0, 0, 1);
    edge(0, 0, 20, 0, 0, 1);
    edge(20, 0, 40, 0, 0, 2);
    edge(40, 0, 40, 20, 0, 2);
    edge(40, 20, 20, 20, 0, 2);
    EXPECT_EQ("M1 0L1 1L0 1L0 0L1 0Z", swf::FillPathData(layer, 1, swf::Matrix()));
    EXPECT_EQ("M1 1L1 0L2 0L2 1L1 1Z", swf::FillPathData(layer, 2, swf::Matrix()));
    EXPECT_EQ("", swf::FillPathData(layer, 3, swf::Matrix()));
}

}  // namespace
