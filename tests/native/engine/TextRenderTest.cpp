// Text drawn through the player: glyph pixels at known places for static
// text (embedded glyphs, text matrix, colour transform) and for edit text
// in a system font through a stub provider.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "StubFonts.h"
#include "swf/model/FrameBuffer.h"
#include "swf/render/RasterBackend.h"
#include "swf/text/TextShape.h"
#include "tools/swfmake/TextTags.h"

namespace {

using namespace enginetest;

constexpr uint32_t kWhite = 0xFFFFFFFF;

// Block glyphs at 1280 twips per em: 640 twips (32 px) wide, 1000 twips
// (50 px) tall above the baseline, advancing 800 twips (40 px).
swf::FrameBuffer RenderStatic(const std::optional<swf::ColorTransform>& cx, uint16_t glyphIndexOffset = 0,
                              std::vector<std::string>* errors = nullptr) {
    swfmake::SwfWriter w(8, kStage, 12);
    const swf::FontData font = swfmake::BlockFont("Block", U"AB", 512, 640, 800, 224);
    swfmake::DefineFont2(w.Tags(), 1, font);
    swf::StaticTextData text;
    text.bounds = {0, 4000, -1000, 100};
    text.matrix = swf::Matrix::Translate(200, 1200);
    text.runs.push_back(swfmake::MakeRun(font, 1, U"AB", 1280, {200, 0, 0, 255}, 0, 0));
    for (auto& g : text.runs[0].glyphs) g.index = static_cast<uint16_t>(g.index + glyphIndexOffset);
    swfmake::DefineText(w.Tags(), 2, text);
    w.Tags().PlaceObject(2, 1, {}, cx);
    w.Tags().ShowFrame();
    swf::Player p;
    p.LoadBytes(w.Write(false));
    if (errors) *errors = p.Errors();
    swf::FrameBuffer fb(200, 150);
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    p.Render(fb);
    return fb;
}

TEST(TextRenderTest, StaticTextGlyphPixelsLandWhereTheTextMatrixPutsThem) {
    const swf::FrameBuffer fb = RenderStatic(std::nullopt);
    const uint32_t red = swf::FrameBuffer::Pack(255, 200, 0, 0);
    // First glyph: x 10..42, y 10..60; second from x 50.
    EXPECT_EQ(fb.At(10, 10), red);
    EXPECT_EQ(fb.At(41, 59), red);
    EXPECT_EQ(fb.At(9, 30), kWhite);
    EXPECT_EQ(fb.At(42, 30), kWhite);
    EXPECT_EQ(fb.At(20, 9), kWhite);
    EXPECT_EQ(fb.At(20, 60), kWhite);
    EXPECT_EQ(fb.At(50, 30), red);
    EXPECT_EQ(fb.At(81, 30), red);
    EXPECT_EQ(fb.At(82, 30), kWhite);
}

TEST(TextRenderTest, ColourTransformsApplyToText) {
    swf::ColorTransform half;
    half.rMul = 128;
    half.gAdd = 50;
    const swf::FrameBuffer fb = RenderStatic(half);
    EXPECT_EQ(fb.At(20, 30), swf::FrameBuffer::Pack(255, 100, 50, 0));
}

TEST(TextRenderTest, GlyphIndicesPastTheFontDrawNothingAndAreListed) {
    std::vector<std::string> errors;
    const swf::FrameBuffer fb = RenderStatic(std::nullopt, 1, &errors);  // glyphs 1 and 2 of 2
    EXPECT_EQ(fb.At(20, 30), swf::FrameBuffer::Pack(255, 200, 0, 0));
    EXPECT_EQ(fb.At(60, 30), kWhite);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("glyph index 2 past font 1"), std::string::npos) << errors[0];
}

// A field in "_sans" puts dark pixels inside its box and none outside.
TEST(TextRenderTest, EditTextInASystemFontDrawsInsideItsBox) {
    swfmake::SwfWriter w(8, kStage, 12);
    swf::EditTextData f;
    f.bounds = {0, 2000, 0, 600};  // 100 x 30 px
    f.hasFont = false;
    f.fontClass = "_sans";
    f.height = 400;  // 20 px: boxes 8 px wide, 16 px tall, advancing 10 px
    f.hasColor = true;
    f.color = {0, 0, 0, 255};
    f.initialText = "Hello world, this is long";
    swfmake::DefineEditText(w.Tags(), 1, f);
    w.Tags().PlaceObject(1, 1, swf::Matrix::Translate(400, 400));
    w.Tags().ShowFrame();
    swf::Player p;
    p.SetFontProvider(std::make_shared<StubProvider>());
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    swf::FrameBuffer fb(200, 150);
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    p.Render(fb);
    int inside = 0, outside = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool dark = (fb.At(x, y) & 0xFF) < 128;
            const bool in = x >= 20 && x < 120 && y >= 20 && y < 50;
            (in ? inside : outside) += dark;
        }
    EXPECT_GT(inside, 8 * 16 * 5);
    EXPECT_EQ(outside, 0);
    // First glyph: gutter 2 px, baseline at 2 + 16 px; box 8 x 16 px.
    EXPECT_EQ(fb.At(22, 22), swf::FrameBuffer::Pack(255, 0, 0, 0));
    EXPECT_EQ(fb.At(21, 30), kWhite);
}

// One field placed at `place` on a 200 x 150 px picture, no font provider.
swf::FrameBuffer RenderField(const swf::EditTextData& f, const swf::Matrix& place) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::DefineEditText(w.Tags(), 1, f);
    w.Tags().PlaceObject(1, 1, place);
    w.Tags().ShowFrame();
    swf::Player p;
    EXPECT_TRUE(p.LoadBytes(w.Write(false)));
    swf::FrameBuffer fb(200, 150);
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    p.Render(fb);
    return fb;
}

TEST(TextRenderTest, WithoutAFontProviderSystemFontTextDrawsNothing) {
    swf::EditTextData f;
    f.bounds = {0, 2000, 0, 600};
    f.border = true;
    f.initialText = "abc";
    const swf::FrameBuffer fb = RenderField(f, swf::Matrix::Translate(400, 400));
    EXPECT_EQ(fb.At(30, 30), kWhite);                               // background, no glyphs
    EXPECT_NE(fb.At(20, 30), kWhite);  // the border
}

TEST(TextRenderTest, SystemTextBordersTakeWholePixelsAndLeaveTheFarCornerEmpty) {
    constexpr uint32_t kBlack = 0xFF000000;
    struct Case {
        swf::Matrix place;
        int x0, x1, y0, y1;  // border pixels, both ends inside
    } cases[] = {
        {swf::Matrix::Translate(410, 410), 20, 30, 20, 30},  // halves round down
        // 38.2 + 13.65 px: the corner and the size round apart.
        {{89455, 0, 0, 89455, 764, 964}, 38, 52, 48, 62},
    };
    for (const Case& c : cases) {
        swf::EditTextData f;
        f.bounds = {0, 200, 0, 200};
        f.border = true;
        const swf::FrameBuffer fb = RenderField(f, c.place);
        const int my = (c.y0 + c.y1) / 2, mx = (c.x0 + c.x1) / 2;
        EXPECT_EQ(std::vector<uint32_t>({fb.At(c.x0 - 1, my), fb.At(c.x0, my), fb.At(c.x1, my), fb.At(c.x1 + 1, my)}),
                  std::vector<uint32_t>({kWhite, kBlack, kBlack, kWhite})) << c.x0;
        EXPECT_EQ(std::vector<uint32_t>({fb.At(mx, c.y0 - 1), fb.At(mx, c.y0), fb.At(mx, c.y1), fb.At(mx, c.y1 + 1)}),
                  std::vector<uint32_t>({kWhite, kBlack, kBlack, kWhite})) << c.y0;
        EXPECT_EQ(fb.At(c.x1, c.y1), kWhite) << c.x0;
        EXPECT_EQ(fb.At(c.x1 - 1, c.y1), kBlack) << c.x0;
        EXPECT_EQ(fb.At(c.x1, c.y1 - 1), kBlack) << c.x0;
    }
}

}  // namespace

namespace {

// Cutting glyphs to a box keeps every pixel inside it as drawn uncut, and
// leaves every pixel outside it untouched. Cut points are rounded to whole
// twips and curves that cross the box are flattened first, so pixels along
// a cut edge may differ by a few levels; a wrong winding would differ by
// hundreds.
TEST(TextRenderTest, ClippedGlyphsMatchUnclippedOnesInsideTheBox) {
    for (bool curved : {false, true}) {
        SCOPED_TRACE(curved);
        swfmake::ShapeBuilder b;
        const uint16_t ink = b.AddSolidFill({0, 0, 0, 255});
        b.SetFill1(ink).MoveTo(0, -900);
        if (curved)
            b.CurveTo(700, -1000, 900, 0);
        else
            b.LineTo(900, -100);
        b.LineTo(100, 100).LineTo(0, -900);
        b.SetFill1(0).SetFill0(ink).MoveTo(200, -500).LineTo(400, -300).LineTo(300, -200).LineTo(200, -500);
        const swf::Shape glyph = b.Build();
        const swf::Rect box{130, 470, 60, 330};  // twips: cuts through edges and the hole
        auto draw = [&](bool clip) {
            swf::TextShapeBuilder t;
            if (clip) t.SetClip(box);
            t.AddGlyph(glyph, 1000, 400, 50, 400, {0, 0, 0, 255});
            t.AddRect({0, 600, 300, 320}, {0, 0, 255, 255});  // an underline across the box
            const swf::Shape s = t.Take({0, 600, 0, 600});
            swf::FrameBuffer fb(30, 30);
            swf::RasterBackend r(fb);
            r.BeginFrame({255, 255, 255, 255});
            r.DrawShape(s, swf::Matrix(), swf::ColorTransform());
            return fb;
        };
        const swf::FrameBuffer whole = draw(false), cut = draw(true);
        int inkInside = 0, worst = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const int x0 = x * 20, y0 = y * 20;
                const bool in = x0 >= box.xMin && x0 + 20 <= box.xMax && y0 >= box.yMin && y0 + 20 <= box.yMax;
                const bool out = x0 + 20 <= box.xMin || x0 >= box.xMax || y0 + 20 <= box.yMin || y0 >= box.yMax;
                if (out) EXPECT_EQ(cut.At(x, y), kWhite) << x << "," << y;
                if (!in) continue;
                inkInside += whole.At(x, y) != kWhite;
                for (int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(int((cut.At(x, y) >> shift) & 0xFF) -
                                                     int((whole.At(x, y) >> shift) & 0xFF)));
            }
        EXPECT_GT(inkInside, 20);
        EXPECT_LE(worst, curved ? 24 : 4);
    }
}

}  // namespace
