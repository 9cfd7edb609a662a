// Text field layout by glyph positions, with a stub system font: every
// character but the space is a box; em 1000, advance 500, ascent 800,
// descent 200. At 10 pixels (200 twips) a character advances 100 twips and
// a line is 200 twips tall; the first baseline is 40 + 160 = 200.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "StubFonts.h"
#include "swf/model/Movie.h"
#include "swf/text/EditText.h"
#include "swf/text/Html.h"
#include "swf/text/Layout.h"
#include "swf/text/OutlineBuilder.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/TextTags.h"

namespace {

using enginetest::StubFont;
using enginetest::StubProvider;

struct Fixture {
    swf::Movie movie;
    std::shared_ptr<StubProvider> provider = std::make_shared<StubProvider>();
    swf::FontLibrary fonts{movie};
    Fixture() { fonts.SetProvider(provider); }

    swf::TextLayout Lay(const std::string& html, swf::Rect bounds, bool wrap = true, bool autoSize = false,
                        bool password = false, int32_t size = 200) {
        swf::TextFormat base;
        base.size = size;
        swf::FormattedText text;
        swf::ParseHtml(html, base, text);
        swf::LayoutOptions o;
        o.bounds = bounds;
        o.wordWrap = wrap;
        o.multiline = true;
        o.autoSize = autoSize;
        o.password = password;
        return swf::LayOut(text, o, [&](const swf::TextFormat& f) { return fonts.Device(f.font, f.bold, f.italic); });
    }
};

using Positions = std::vector<std::pair<int32_t, int32_t>>;  // pen x, baseline

Positions Of(const swf::TextLayout& l) {
    Positions p;
    for (const swf::PlacedGlyph& g : l.glyphs) p.emplace_back(g.x, g.y);
    return p;
}

TEST(TextLayoutTest, GlyphPositionsFollowWrapAlignmentMarginsAndLeading) {
    struct Case {
        const char* name;
        std::string html;
        int32_t width;  // field width, twips
        Positions expected;
    };
    const Case cases[] = {
        {"left, spaces advance", "ab c", 2000, {{40, 200}, {140, 200}, {340, 200}}},
        {"wraps after the last space that fits", "aaa bbb cc", 580,
         {{40, 200}, {140, 200}, {240, 200}, {40, 400}, {140, 400}, {240, 400}, {40, 600}, {140, 600}}},
        {"a word wider than the line breaks between letters", "abcdefg", 380,
         {{40, 200}, {140, 200}, {240, 200}, {40, 400}, {140, 400}, {240, 400}, {40, 600}}},
        {"right", "<p align='right'>ab</p>", 2000, {{1760, 200}, {1860, 200}}},
        {"centre", "<p align='center'>ab</p>", 2000, {{900, 200}, {1000, 200}}},
        {"justify widens spaces except on the last line", "<p align='justify'>aa bb cc</p>", 680,
         {{40, 200}, {140, 200}, {440, 200}, {540, 200}, {40, 400}, {140, 400}}},
        {"margins and first-line indent", "<textformat leftmargin='10' indent='5'>ab cd</textformat>", 580,
         {{340, 200}, {440, 200}, {240, 400}, {340, 400}}},
        {"a negative indent stops at the field's left edge", "<textformat indent='-30'>ab cd</textformat>", 580,
         {{40, 200}, {140, 200}, {340, 200}, {440, 200}}},
        {"a negative indent eats into the margin", "<textformat leftmargin='10' indent='-4'>ab</textformat>", 2000,
         {{160, 200}, {260, 200}}},
        {"right margin narrows the line", "<textformat rightmargin='10'>ab cd</textformat>", 580,
         {{40, 200}, {140, 200}, {40, 400}, {140, 400}}},
        {"leading adds to the line height", "<textformat leading='3'>a<br>b</textformat>", 2000,
         {{40, 200}, {40, 460}}},
        {"letter spacing", "<font letterSpacing='2'>abc</font>", 2000, {{40, 200}, {180, 200}, {320, 200}}},
        {"paragraphs and empty lines", "a\n\nb", 2000, {{40, 200}, {40, 600}}},
        {"tabs go to the next stop", "<textformat tabstops='20'>a\tb\tc</textformat>", 4000,
         {{40, 200}, {440, 200}, {1160, 200}}},
        {"a character no font has draws nothing", "a#b", 2000, {{40, 200}, {140, 200}}},
        {"bigger text sets the baseline", "a<font size='20'>b</font>", 2000, {{40, 360}, {140, 360}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture fx;
        swf::TextLayout l = fx.Lay(c.html, {0, c.width, 0, 4000});
        EXPECT_EQ(Of(l), c.expected);
    }
}

TEST(TextLayoutTest, KerningAppliesOnlyWhenTheFormatAsksForIt) {
    // An embedded font: em 1024, advance 640; at 512 twips 320, kerning -80 em is -40.
    swf::Movie movie;
    auto font = std::make_unique<swf::FontCharacter>();
    font->font = swfmake::BlockFont("Kern", U"AV");
    font->font.kerning = {{'A', 'V', -80}};
    font->font.BuildCodeIndex();
    movie.dictionary.emplace(1, std::move(font));
    swf::FontLibrary fonts(movie);
    for (bool kerning : {false, true}) {
        swf::TextFormat f;
        f.size = 512;
        f.kerning = kerning;
        swf::FormattedText text;
        text.Append(U"AV", f);
        swf::LayoutOptions o;
        o.bounds = {0, 4000, 0, 2000};
        swf::TextLayout l = swf::LayOut(text, o, [&](const swf::TextFormat&) { return fonts.Embedded(1); });
        ASSERT_EQ(l.glyphs.size(), 2u);
        EXPECT_EQ(l.glyphs[1].x, kerning ? 320 : 360);
    }
}

TEST(TextLayoutTest, AutosizePasswordAndClipping) {
    Fixture fx;
    // Autosize without wrap: the field grows to the text from its left edge.
    swf::TextLayout grown = fx.Lay("abcd", {100, 200, 0, 100}, false, true);
    EXPECT_EQ(grown.bounds, (swf::Rect{100, 100 + 400 + 80, 0, 200 + 80}));
    EXPECT_EQ(grown.glyphs.size(), 4u);
    // Password fields draw asterisks (the stub draws every character alike,
    // so look at the codes).
    swf::TextLayout secret = fx.Lay("pw", {0, 2000, 0, 1000}, false, false, true);
    ASSERT_EQ(secret.glyphs.size(), 2u);
    EXPECT_EQ(secret.glyphs[0].code, U'*');
    // Lines below the field and letters right of it are not drawn.
    swf::TextLayout clipped = fx.Lay("a<br>b<br>c", {0, 2000, 0, 300});
    EXPECT_EQ(clipped.glyphs.size(), 2u);
    swf::TextLayout narrow = fx.Lay("abcdefghij", {0, 300, 0, 1000}, false);
    EXPECT_EQ(narrow.glyphs.size(), 3u);
}

TEST(TextLayoutTest, MissingFamiliesFallBackToSansAndOutlinesAreCachedPerFont) {
    Fixture fx;
    swf::TextLayout l = fx.Lay("<font face='NoSuchFont'>aa</font><font size='40'>a</font>", {0, 4000, 0, 4000});
    EXPECT_EQ(l.glyphs.size(), 3u);
    EXPECT_EQ(fx.provider->requests, (std::vector<std::string>{"NoSuchFont", "_sans"}));
    // One outline for 'a' at both sizes: the same shape object.
    EXPECT_EQ(l.glyphs[0].shape, l.glyphs[2].shape);
    // A list of families is tried in turn.
    fx.provider->requests.clear();
    fx.Lay("<font face='Gone, Also Gone ,'>a</font>", {0, 4000, 0, 4000});
    EXPECT_EQ(fx.provider->requests, (std::vector<std::string>{"Gone", "Also Gone"}));
}

TEST(TextLayoutTest, HugeSizesAndFieldsStayInRange) {
    Fixture fx;
    // Scripts' formats may ask for any size; HTML keeps within 127 points.
    swf::TextLayout big = fx.Lay("ab", {0, 2000000000, 0, 2000000000}, true, false, false, 99999 * 20);
    ASSERT_EQ(big.glyphs.size(), 2u);
    EXPECT_EQ(big.glyphs[1].x - big.glyphs[0].x, 20000);  // 2000 px clamp, half an em
    swf::TextLayout zero = fx.Lay("ab", {0, 2000, 0, 2000}, true, false, false, 0);
    EXPECT_TRUE(zero.glyphs.empty());
    swf::TextLayout tiny = fx.Lay("ab cd", {0, 0, 0, 0}, true, true);
    EXPECT_GT(tiny.bounds.yMax, 0);
}

TEST(TextLayoutTest, EditFieldTextRoundTripsAndRedrawsOnlyAfterChanges) {
    swf::Movie movie;
    swf::FontLibrary fonts(movie);
    auto provider = std::make_shared<StubProvider>();
    fonts.SetProvider(provider);
    swf::EditTextData def;
    def.bounds = {0, 2000, 0, 1000};
    def.multiline = true;
    def.border = true;
    def.hasFont = false;
    def.initialText = "one\rtwo";
    swf::EditTextField field(def, movie, fonts, 8);
    EXPECT_EQ(field.Text(), "one\rtwo");
    const swf::Shape& first = field.Drawing();
    ASSERT_EQ(first.layers.size(), 2u);  // border and background, then glyphs
    EXPECT_EQ(field.Layout().lines.size(), 2u);
    field.SetHtmlText("<b>\xC3\xA9</b>");
    EXPECT_EQ(field.Text(), "\xC3\xA9");
    EXPECT_TRUE(field.Content().FormatAt(0).bold);
    EXPECT_EQ(field.Layout().lines.size(), 1u);
    swf::EditTextField latin(def, movie, fonts, 5);
    latin.SetText("\xE9");
    EXPECT_EQ(latin.Content().Chars(), U"\u00E9");
}

}  // namespace

namespace {

// Host outlines: y flipped, cubics split at their midpoint, contours closed,
// and the ink kept on the side the font's direction says.
TEST(TextLayoutTest, OutlineBuilderFlipsYSplitsCubicsAndClosesContours) {
    swf::OutlineBuilder b(true);
    b.MoveTo({0, 0});
    b.LineTo({0, 100});
    b.CubicTo({40, 140}, {80, 140}, {120, 100});
    b.LineTo({120, 0});
    const swf::Shape s = b.Take();
    ASSERT_EQ(s.layers.size(), 1u);
    const auto& edges = s.layers[0].edges;
    ASSERT_EQ(edges.size(), 5u);
    EXPECT_EQ(edges[0].to, (swf::Point{0, -100}));
    EXPECT_TRUE(edges[1].curved);
    EXPECT_EQ(edges[1].to, (swf::Point{60, -130}));
    EXPECT_EQ(edges[2].to, (swf::Point{120, -100}));
    EXPECT_EQ(edges[4].to, (swf::Point{0, 0}));  // closed back to the start
    for (const swf::ShapeEdge& e : edges) EXPECT_TRUE(e.fill0 == 1 && e.fill1 == 0);
    swf::OutlineBuilder other(false);
    other.MoveTo({0, 0});
    other.LineTo({5, 5});
    EXPECT_EQ(other.Take().layers[0].edges[0].fill1, 1);
    EXPECT_TRUE(swf::OutlineBuilder(true).Take().layers.empty());
}

}  // namespace
