// SVG export of what plain paths cannot say: a bitmap fill, a mask, and an
// object with a filter (embedded as a picture), each rendered back with
// rsvg and compared with the PNG at points away from edges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/native/tools/PngDecode.h"
#include "tests/native/tools/TestFiles.h"
#include "tools/swfmake/ActionAsm.h"
#include "tools/swfmake/ImageEncode.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"
#include "tools/swfshot/Options.h"
#include "tools/swfshot/Renderer.h"

namespace {

using toolstest::Bytes;

constexpr int kTwips = 20;
const swf::Rect kStage{0, 100 * kTwips, 0, 50 * kTwips};
const swf::Rgba kWhite{255, 255, 255, 255}, kRed{220, 0, 0, 255}, kGreen{0, 160, 0, 255},
    kBlue{0, 0, 200, 255};

swf::Shape Box(int x0, int x1, int y0, int y1, const swf::FillStyle& fill) {
    swfmake::ShapeBuilder b;
    b.FillRect({x0 * kTwips, x1 * kTwips, y0 * kTwips, y1 * kTwips}, b.AddFill(fill));
    return b.Build();
}

// A 20x20 bitmap, red on the left and blue on the right, shown 1:1 at (5, 5).
swf::FillStyle BitmapFill() {
    swf::FillStyle f;
    f.kind = swf::FillKind::Bitmap;
    f.bitmapId = 1;
    f.bitmapRepeat = false;
    f.bitmapSmooth = false;
    f.matrix = swf::Matrix::Scale(kTwips * swf::kFixedOne, kTwips * swf::kFixedOne);
    f.matrix.tx = f.matrix.ty = 5 * kTwips;
    return f;
}

std::string Temp(const std::string& name) { return ::testing::TempDir() + "svg_export_" + name; }

std::string WriteMovie(const std::string& path) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor(kWhite);
    swfmake::Image image(20, 20, kRed);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x) image.At(x, y) = kBlue;
    t.DefineBitsLossless(1, swfmake::EncodeLosslessBody(image, swfmake::LosslessFormat::Rgb32, false), false);
    t.DefineShape(2, Box(5, 25, 5, 25, BitmapFill()));
    t.DefineShape(3, Box(40, 60, 0, 50, swfmake::SolidFill(kBlue)));  // the mask
    t.DefineShape(4, Box(30, 70, 10, 40, swfmake::SolidFill(kGreen)));
    t.DefineShape(5, Box(78, 96, 10, 40, swfmake::SolidFill(kRed)));
    t.PlaceObject2(swfmake::NewPlacement(1, 2));
    swfmake::Placement mask = swfmake::NewPlacement(2, 3);
    mask.clipDepth = 3;
    t.PlaceObject2(mask);
    t.PlaceObject2(swfmake::NewPlacement(3, 4));
    swfmake::Placement blurred = swfmake::NewPlacement(4, 5);
    swf::Filter blur;
    blur.kind = swf::FilterKind::Blur;
    blur.blurX = blur.blurY = 4 * swf::kFixedOne;
    blurred.filters = swf::FilterList{blur};
    t.PlaceObject3(blurred);
    t.ShowFrame();
    EXPECT_TRUE(w.WriteFile(path, false));
    return path;
}

int Shoot(const std::vector<std::string>& args) {
    swfshot::Options o;
    std::string error;
    if (!swfshot::ParseArgs(args, &o, &error)) return swfshot::kExitUsage;
    std::ostringstream out, err;
    return swfshot::RunSwfshot(o, out, err);
}

TEST(SvgExportTest, BitmapsMasksAndFilteredObjectsRenderLikeThePng) {
    const std::string movie = WriteMovie(Temp("svg_parts.swf"));
    const std::string svgPath = Temp("svg_parts.svg"), pngPath = Temp("svg_parts.png");
    ASSERT_EQ(swfshot::kExitOk, Shoot({movie, "--svg", "-o", svgPath}));
    ASSERT_EQ(swfshot::kExitOk, Shoot({movie, "-o", pngPath}));
    const Bytes svg = toolstest::ReadFile(svgPath);
    const std::string text(svg.begin(), svg.end());
    for (const char* part : {"<mask ", "mask=\"url(#", "<clipPath", "data:image/png;base64,", "<image "})
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    if (std::system("rsvg-convert --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "rsvg-convert not installed";
    const std::string rendered = Temp("svg_parts_rsvg.png");
    ASSERT_EQ(0, std::system(("rsvg-convert -o '" + rendered + "' '" + svgPath + "'").c_str()));
    const toolstest::Png theirs = toolstest::DecodePng(toolstest::ReadFile(rendered)), ours = toolstest::DecodePng(toolstest::ReadFile(pngPath));
    ASSERT_EQ(ours.width, theirs.width);
    const struct {
        int x, y;
        const char* what;
    } points[] = {{8, 15, "bitmap, red half"},   {22, 15, "bitmap, blue half"}, {35, 25, "masked out"},
                  {50, 25, "inside the mask"},   {65, 25, "masked out"},        {87, 25, "blurred, middle"},
                  {80, 12, "blurred, near the corner"}};
    for (const auto& p : points) {
        const Bytes a = toolstest::PixelAt(ours, p.x, p.y), b = toolstest::PixelAt(theirs, p.x, p.y);
        for (size_t ch = 0; ch < 3; ++ch) EXPECT_NEAR(a[ch], b[ch], 3) << p.what << " channel " << ch;
    }
}

// A green sprite "s" at depth 1 and a blue sprite "m" over it, then `script`.
std::string WriteScriptMaskMovie(const std::string& path, const std::string& script) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor(kWhite);
    t.DefineShape(1, Box(30, 70, 10, 40, swfmake::SolidFill(kGreen)));
    t.DefineShape(2, Box(40, 60, 0, 50, swfmake::SolidFill(kBlue)));
    for (uint16_t id : {1, 2}) {
        swfmake::TagList inner;
        inner.PlaceObject(id, 1);
        inner.ShowFrame();
        t.DefineSprite(uint16_t(10 + id), inner);
        swfmake::Placement p = swfmake::NewPlacement(id, uint16_t(10 + id));
        p.name = id == 1 ? "s" : "m";
        t.PlaceObject2(p);
    }
    t.DoAction(swfmake::Actions().Raw(swfmake::Assemble(script)));
    t.ShowFrame();
    EXPECT_TRUE(w.WriteFile(path, false));
    return path;
}

// A mask set by a script is written like a clip depth's: the mask's shapes
// white inside <mask>, the clip in a group that refers to it, the mask
// itself not drawn; setMask(null) leaves both drawn plainly.
TEST(SvgExportTest, ScriptMaskBecomesAMaskElementAroundTheClip) {
    const std::string setMask = "push 'm'; getvariable; push 1; push 's'; getvariable; push 'setMask'; callmethod; pop\n";
    const std::string svgPath = Temp("script_mask.svg");
    const std::string on = WriteScriptMaskMovie(Temp("script_mask.swf"), setMask);
    ASSERT_EQ(swfshot::kExitOk, Shoot({on, "--svg", "--ticks", "1", "-o", svgPath}));
    Bytes bytes = toolstest::ReadFile(svgPath);
    std::string text(bytes.begin(), bytes.end());
    const size_t open = text.find("<mask id=\"");
    ASSERT_NE(std::string::npos, open) << text;
    const std::string id = text.substr(open + 10, text.find('"', open + 10) - open - 10);
    const size_t close = text.find("</mask>", open);
    const std::string mask = text.substr(open, close - open);
    EXPECT_NE(std::string::npos, mask.find("#ffffff")) << "the mask's shape, white";
    EXPECT_EQ(std::string::npos, mask.find("#00a000")) << "the clip is not part of the mask";
    const size_t use = text.find("<g mask=\"url(#" + id + ")\">", close);
    ASSERT_NE(std::string::npos, use) << text;
    EXPECT_NE(std::string::npos, text.find("#00a000", use)) << "the clip, inside the masked group";
    EXPECT_EQ(std::string::npos, text.find("#0000c8")) << "the mask is not drawn";

    const std::string off = WriteScriptMaskMovie(
        Temp("script_mask_off.swf"), setMask + "push null; push 1; push 's'; getvariable; push 'setMask'; callmethod; pop");
    ASSERT_EQ(swfshot::kExitOk, Shoot({off, "--svg", "--ticks", "1", "-o", svgPath}));
    bytes = toolstest::ReadFile(svgPath);
    text.assign(bytes.begin(), bytes.end());
    EXPECT_EQ(std::string::npos, text.find("<mask "));
    EXPECT_NE(std::string::npos, text.find("#0000c8"));
}

}  // namespace
