// Reading fonts and text: every font tag, static text runs, edit text
// fields, and the damaged forms each must survive.
#include "EngineTestUtil.h"
#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/TextTags.h"

namespace {

using namespace enginetest;

const swf::FontData* FontOf(const swf::Movie& m, uint16_t id) {
    const swf::Character* c = m.Find(id);
    return c && c->kind == swf::CharacterKind::Font ? &static_cast<const swf::FontCharacter*>(c)->font : nullptr;
}

swf::FontData KernedFont() {
    swf::FontData f = swfmake::BlockFont("Block", U"AV b\u0416");
    f.bold = true;
    f.language = 1;
    f.leading = 40;
    f.kerning = {{'A', 'V', -80}, {'V', 'A', -60}};
    return f;
}

swf::ReadResult ReadTags(const std::function<void(swfmake::TagList&)>& add) {
    swfmake::SwfWriter w(8, kStage, 12);
    add(w.Tags());
    w.Tags().ShowFrame();
    return swf::ReadMovie(w.Write(false));
}

TEST(FontReaderTest, DefineFont2And3ReadBackCodesLayoutAndKerning) {
    for (int version : {2, 3}) {
        SCOPED_TRACE(version);
        swf::ReadResult r = ReadTags([&](swfmake::TagList& t) { swfmake::DefineFont2(t, 1, KernedFont(), version); });
        ASSERT_TRUE(r.movie);
        EXPECT_TRUE(r.errors.empty()) << r.errors.front();
        const swf::FontData* f = FontOf(*r.movie, 1);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->name, "Block");
        EXPECT_EQ(f->emSquare, version == 3 ? swf::kEmSquareHighRes : swf::kEmSquare);
        EXPECT_TRUE(f->bold && f->wideCodes && f->hasLayout);
        EXPECT_EQ(f->ascent, 800);
        EXPECT_EQ(f->descent, 224);
        EXPECT_EQ(f->leading, 40);
        ASSERT_EQ(f->glyphs.size(), 5u);
        EXPECT_EQ(f->IndexOf(0x416), 4);
        EXPECT_EQ(f->IndexOf('Z'), -1);
        EXPECT_EQ(f->glyphs[0].advance, 640);
        EXPECT_EQ(f->glyphs[0].bounds, (swf::Rect{0, 512, -800, 0}));
        ASSERT_EQ(f->glyphs[0].shape.layers.size(), 1u);
        EXPECT_EQ(f->glyphs[0].shape.layers[0].edges.size(), 4u);
        EXPECT_TRUE(f->glyphs[2].shape.layers[0].edges.empty());  // the space
        EXPECT_EQ(f->Kerning('A', 'V'), -80);
        EXPECT_EQ(f->Kerning('V', 'A'), -60);
        EXPECT_EQ(f->Kerning('A', 'A'), 0);
        EXPECT_FALSE(f->IsDeviceOnly());
    }
}

TEST(FontReaderTest, DefineFontTakesNarrowCodesFromFontInfoAndNamesFromFontName) {
    swf::FontData font = swfmake::BlockFont("Info", U"xy");
    font.italic = true;
    swf::ReadResult r = ReadTags([&](swfmake::TagList& t) {
        t.Raw(swf::kTagDefineFont, swfmake::EncodeDefineFont(3, font));
        font.wideCodes = false;
        t.Raw(swf::kTagDefineFontInfo, swfmake::EncodeDefineFontInfo(3, font, false));
        t.Raw(swf::kTagDefineFontName, swfmake::EncodeDefineFontName(3, "Info Regular", "(c) nobody"));
    });
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    const swf::FontData* f = FontOf(*r.movie, 3);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, "Info");
    EXPECT_TRUE(f->italic);
    EXPECT_FALSE(f->wideCodes);
    EXPECT_EQ(f->IndexOf('y'), 1);
    EXPECT_EQ(f->glyphs[1].advance, 512);  // no layout: the ink's right edge
    EXPECT_EQ(f->fullName, "Info Regular");
    EXPECT_EQ(f->copyright, "(c) nobody");
}

TEST(FontReaderTest, StaticTextRunsKeepFontColourPositionsAndHeight) {
    const swf::FontData font = KernedFont();
    swf::StaticTextData text;
    text.bounds = {0, 2000, -300, 100};
    text.matrix = swf::Matrix::Translate(100, 200);
    text.runs.push_back(swfmake::MakeRun(font, 1, U"AV", 240, {10, 20, 30, 128}, 0, 0));
    text.runs.push_back(swfmake::MakeRun(font, 1, U"b", 480, {0, 0, 255, 255}, 50, 300));
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha);
        swf::ReadResult r = ReadTags([&](swfmake::TagList& t) {
            swfmake::DefineFont2(t, 1, font);
            swfmake::DefineText(t, 2, text, alpha);
        });
        ASSERT_TRUE(r.movie);
        EXPECT_TRUE(r.errors.empty()) << r.errors.front();
        const auto* c = static_cast<const swf::StaticTextCharacter*>(r.movie->Find(2));
        ASSERT_TRUE(c && c->kind == swf::CharacterKind::StaticText);
        EXPECT_EQ(c->text.bounds, text.bounds);
        EXPECT_EQ(c->text.matrix, text.matrix);
        ASSERT_EQ(c->text.runs.size(), 2u);
        EXPECT_EQ(c->text.runs[0].color, (swf::Rgba{10, 20, 30, uint8_t(alpha ? 128 : 255)}));
        ASSERT_EQ(c->text.runs[0].glyphs.size(), 2u);
        EXPECT_EQ(c->text.runs[0].glyphs[1].x, 150);  // 640 em at 240 twips
        EXPECT_EQ(c->text.runs[0].glyphs[1].index, 1);
        EXPECT_EQ(c->text.runs[1].height, 480);
        EXPECT_EQ(c->text.runs[1].y, 300);
        EXPECT_EQ(c->text.runs[1].glyphs[0].x, 50);
    }
}

TEST(FontReaderTest, EditTextFieldsReadBack) {
    swf::EditTextData f;
    f.bounds = {-40, 4000, -40, 800};
    f.wordWrap = f.multiline = f.password = f.readOnly = f.border = f.html = f.useOutlines = true;
    f.autoSize = true;
    f.selectable = false;
    f.hasFont = f.hasColor = f.hasMaxLength = f.hasLayout = true;
    f.fontId = 7;
    f.height = 360;
    f.color = {1, 2, 3, 4};
    f.maxLength = 99;
    f.align = swf::TextAlign::Justify;
    f.leftMargin = 20;
    f.rightMargin = 40;
    f.indent = 60;
    f.leading = -20;
    f.variable = "_root.name";
    f.initialText = "<p>Hi</p>";
    swf::ReadResult r = ReadTags([&](swfmake::TagList& t) {
        swfmake::DefineEditText(t, 5, f);
        swfmake::ByteWriter csm;
        csm.U16(5);
        csm.U8(0x48);  // FlashType 1, grid fit 1
        csm.U32(0x3F800000);
        csm.U32(0);
        csm.U8(0);
        t.Raw(swf::kTagCsmTextSettings, csm.Take());
    });
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    const auto* c = static_cast<const swf::EditTextCharacter*>(r.movie->Find(5));
    ASSERT_TRUE(c && c->kind == swf::CharacterKind::EditText);
    const swf::EditTextData& g = c->field;
    EXPECT_EQ(g.bounds, f.bounds);
    EXPECT_TRUE(g.wordWrap && g.multiline && g.password && g.readOnly && g.border && g.html && g.useOutlines);
    EXPECT_TRUE(g.autoSize);
    EXPECT_FALSE(g.selectable);
    EXPECT_EQ(g.fontId, 7);
    EXPECT_EQ(g.height, 360);
    EXPECT_EQ(g.color, f.color);
    EXPECT_EQ(g.maxLength, 99);
    EXPECT_EQ(g.align, swf::TextAlign::Justify);
    EXPECT_EQ(g.indent, 60);
    EXPECT_EQ(g.leading, -20);
    EXPECT_EQ(g.variable, "_root.name");
    EXPECT_EQ(g.initialText, "<p>Hi</p>");
    EXPECT_TRUE(g.settings.present);
    EXPECT_EQ(g.settings.useFlashType, 1);
    EXPECT_EQ(g.settings.gridFit, 1);
    EXPECT_EQ(g.settings.thicknessBits, 0x3F800000u);
}

// Each damaged tag is reported and what could be read is kept.
TEST(FontReaderTest, DamagedFontAndTextTagsAreReportedAndKept) {
    const swf::FontData font = KernedFont();
    struct Case {
        const char* name;
        std::function<void(swfmake::TagList&)> add;
        const char* error;   // part of the message
        size_t glyphs;       // of font 1, when defined
    };
    auto font2 = swfmake::EncodeDefineFont2(1, font);
    const Case cases[] = {
        {"glyph offset past the tag",
         [&](swfmake::TagList& t) {
             auto b = font2;
             b[2 + 1 + 1 + 1 + 5 + 2 + 2] = 0xF0;  // second glyph's offset, high byte
             t.Raw(swf::kTagDefineFont2, b);
         },
         "glyph offset outside the tag", 5},
        {"kerning table overruns",
         [&](swfmake::TagList& t) {
             auto b = font2;
             b.resize(b.size() - 3);
             t.Raw(swf::kTagDefineFont2, b);
         },
         "kerning table runs past the tag", 5},
        {"glyph count past the tag",
         [&](swfmake::TagList& t) { t.Raw(swf::kTagDefineFont2, {1, 0, 0, 0, 0, 0xFF, 0xFF}); },
         "glyph count exceeds tag", 0},
        {"font info without its font",
         [&](swfmake::TagList& t) { t.Raw(swf::kTagDefineFontInfo, swfmake::EncodeDefineFontInfo(9, font, false)); },
         "font 9 is not defined", 0},
        {"text with too many glyphs",
         [&](swfmake::TagList& t) {
             swfmake::ByteWriter w;
             w.U16(2);
             w.Rect({});
             w.Matrix({});
             w.U8(8);
             w.U8(8);
             w.U8(swf::kTextRecordType | swf::kTextHasFont);
             w.U16(1);
             w.U16(240);
             w.U8(200);
             w.U8(1);
             t.Raw(swf::kTagDefineText, w.Take());
         },
         "glyph count exceeds tag", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        swf::ReadResult r = ReadTags(c.add);
        ASSERT_TRUE(r.movie);
        ASSERT_FALSE(r.errors.empty());
        EXPECT_NE(r.errors.front().find(c.error), std::string::npos) << r.errors.front();
        const swf::FontData* f = FontOf(*r.movie, 1);
        EXPECT_EQ(f ? f->glyphs.size() : 0u, c.glyphs);
    }
}

TEST(FontReaderTest, RepeatedCodesFindTheFirstGlyph) {
    swf::FontData font = swfmake::BlockFont("Rep", U"aab");
    swf::ReadResult r = ReadTags([&](swfmake::TagList& t) { swfmake::DefineFont2(t, 1, font); });
    ASSERT_TRUE(r.movie);
    const swf::FontData* f = FontOf(*r.movie, 1);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->IndexOf('a'), 0);
    EXPECT_EQ(f->IndexOf('b'), 2);
}

TEST(FontReaderTest, FontWithoutGlyphsIsADeviceFontByName) {
    swf::FontData font;
    font.name = "Arial";
    font.hasLayout = true;
    swf::ReadResult r = ReadTags([&](swfmake::TagList& t) { swfmake::DefineFont2(t, 1, font); });
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    const swf::FontData* f = FontOf(*r.movie, 1);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, "Arial");
    EXPECT_TRUE(f->IsDeviceOnly());
}

}  // namespace
