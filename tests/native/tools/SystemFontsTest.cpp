// The FreeType host fonts: the generic families exist, names that are not
// installed are refused (the engine then falls back), and an edit field in
// "_sans" draws real glyphs inside its box only.
#include <gtest/gtest.h>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "hostfonts/SystemFonts.h"
#include "tools/swfmake/TextTags.h"

namespace {

TEST(SystemFontsTest, GenericFamiliesGiveOutlinesAdvancesAndMetrics) {
    auto provider = hostfonts::SystemFontProvider();
    ASSERT_TRUE(provider);
    for (const char* family : {"_sans", "_serif", "_typewriter"}) {
        SCOPED_TRACE(family);
        auto font = provider->Open(family, false, false);
        ASSERT_TRUE(font);
        const swf::DeviceFontMetrics m = font->Metrics();
        EXPECT_GT(m.emSquare, 0);
        EXPECT_GT(m.ascent, m.emSquare / 2);
        EXPECT_GT(m.descent, 0);
        swf::DeviceGlyph a;
        ASSERT_TRUE(font->LoadGlyph(U'A', &a));
        EXPECT_GT(a.advance, m.emSquare / 4);
        ASSERT_EQ(a.outline.layers.size(), 1u);
        EXPECT_GE(a.outline.layers[0].edges.size(), 3u);
        swf::DeviceGlyph space;
        ASSERT_TRUE(font->LoadGlyph(U' ', &space));
        EXPECT_TRUE(space.outline.layers.empty());
        swf::DeviceGlyph none;
        EXPECT_FALSE(font->LoadGlyph(0x10FFFD, &none));
    }
    swf::DeviceGlyph i, w;
    auto mono = provider->Open("_typewriter", false, false);
    ASSERT_TRUE(mono->LoadGlyph(U'i', &i) && mono->LoadGlyph(U'W', &w));
    EXPECT_EQ(i.advance, w.advance);
    EXPECT_FALSE(provider->Open("No Such Family 12345", false, false));
    EXPECT_TRUE(provider->Open("_sans", true, true));
}

TEST(SystemFontsTest, SansFieldPutsDarkPixelsInsideItsBoxOnly) {
    swfmake::SwfWriter w(8, {0, 4000, 0, 3000}, 12);
    swf::EditTextData f;
    f.bounds = {0, 2400, 0, 800};  // 120 x 40 px at (20, 20)
    f.fontClass = "_sans";
    f.height = 480;
    f.hasColor = true;
    f.multiline = f.wordWrap = true;
    f.initialText = "Happy birthday to you, dear friend of many years";
    swfmake::DefineEditText(w.Tags(), 1, f);
    w.Tags().PlaceObject(1, 1, swf::Matrix::Translate(400, 400));
    w.Tags().ShowFrame();
    swf::Player p;
    p.SetFontProvider(hostfonts::SystemFontProvider());
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    swf::FrameBuffer fb(200, 150);
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    p.Render(fb);
    int inside = 0, outside = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool dark = (fb.At(x, y) & 0xFF) < 128;
            (x >= 20 && x < 140 && y >= 20 && y < 60 ? inside : outside) += dark;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

}  // namespace
