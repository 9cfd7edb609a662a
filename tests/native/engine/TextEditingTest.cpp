// Typing into a field: restrict patterns, maxChars, the selection replaced,
// caret keys and deletion, as the text a user sees afterwards.
#include <gtest/gtest.h>

#include "StubFonts.h"
#include "swf/model/Movie.h"
#include "swf/text/FieldEditor.h"

namespace {

using namespace swf;

TEST(TextEditingTest, RestrictPatternsAllowWhatTheyName) {
    struct Case {
        const char32_t* pattern;
        char32_t typed;
        char32_t got;
    } cases[] = {
        {U"0-9", U'5', U'5'},        {U"0-9", U'a', 0},          {U"A-Z", U'q', U'Q'},  // the other case
        {U"^0-9", U'5', 0},          {U"^0-9", U'x', U'x'},      {U"A-Z^Q", U'Q', 0},
        {U"A-Z^Q", U'R', U'R'},      {U"\\-", U'-', U'-'},       {U"a\\-z", U'b', 0},
        {U"", U'a', 0},              {U"a-c^b", U'b', 0},        {U"\\^", U'^', U'^'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RestrictChar(c.pattern, c.typed), c.got) << std::u32string(c.pattern).size() << " " << int(c.typed);
}

struct Fixture {
    Movie movie;
    FontLibrary fonts{movie};
    EditTextData def;
    std::unique_ptr<EditTextField> field;
    explicit Fixture(const std::string& text, bool multiline = false) {
        fonts.SetProvider(std::make_shared<enginetest::StubProvider>());
        def.bounds = {0, 4000, 0, 2000};
        def.multiline = multiline;
        def.initialText = text;
        field = std::make_unique<EditTextField>(def, movie, fonts, 8);
        FieldSettings s = field->Settings();
        s.input = true;
        field->SetSettings(s);
    }
};

TEST(TextEditingTest, TypingReplacesTheSelectionWithinMaxChars) {
    Fixture f("hello");
    FieldEditor e(*f.field);
    f.field->SetSelection(1, 3);
    EXPECT_TRUE(e.Type(U"EY"));
    EXPECT_EQ(f.field->Text(), "hEYlo");
    EXPECT_EQ(f.field->Caret(), 3u);
    FieldSettings s = f.field->Settings();
    s.maxChars = 7;
    s.hasRestrict = true;
    s.restrict = "a-z";
    f.field->SetSettings(s);
    EXPECT_TRUE(e.Type(U"x1yz"));  // '1' refused, then cut at 7
    EXPECT_EQ(f.field->Text(), "hEYxylo");
    EXPECT_FALSE(e.Type(U"q"));
    e.Type(U"\r");  // a single-line field takes no breaks
    EXPECT_EQ(f.field->Text(), "hEYxylo");
}

TEST(TextEditingTest, KeysMoveTheCaretAndDelete) {
    Fixture f("abc\rdef", true);
    FieldEditor e(*f.field);
    f.field->SetSelection(0, 0);
    e.Press(EditKey::End, false, false);
    EXPECT_EQ(f.field->Caret(), 3u);
    e.Press(EditKey::Down, false, false);
    EXPECT_EQ(f.field->Caret(), 7u);
    e.Press(EditKey::Home, true, false);  // selects "def"
    EXPECT_EQ(f.field->Anchor(), 7u);
    EXPECT_EQ(f.field->Caret(), 4u);
    e.Press(EditKey::Backspace, false, false);
    EXPECT_EQ(f.field->Text(), "abc\r");
    e.Press(EditKey::Backspace, false, false);
    e.Press(EditKey::Left, false, false);
    e.Press(EditKey::Delete, false, false);
    EXPECT_EQ(f.field->Text(), "ab");
    e.Press(EditKey::Enter, false, false);
    EXPECT_EQ(f.field->Text(), "ab\r");
    // Read-only fields keep their text.
    FieldSettings s = f.field->Settings();
    s.input = false;
    f.field->SetSettings(s);
    EXPECT_FALSE(e.Press(EditKey::Backspace, false, false));
    EXPECT_FALSE(e.Type(U"z"));
    EXPECT_EQ(f.field->Text(), "ab\r");
}

}  // namespace

namespace {

TEST(TextEditingTest, EmptyFieldCaretFollowsTheNewTextsParagraph) {
    struct Case {
        swf::TextAlign align;
        int32_t left, right, xMin;
    } cases[] = {
        {swf::TextAlign::Left, 100, 0, 140},   // gutter and margin
        {swf::TextAlign::Right, 0, 100, 3860},  // on the right edge
        {swf::TextAlign::Center, 0, 0, 2000},
    };
    for (const Case& c : cases) {
        Fixture f("");
        swf::TextFormat format = f.field->DefaultFormat();
        format.font = "_sans";
        format.size = 240;
        format.align = c.align;
        format.leftMargin = c.left;
        format.rightMargin = c.right;
        f.field->SetDefaultFormat(format);
        f.field->SetFocused(true);
        swf::Rect box{1 << 30, -(1 << 30), 1 << 30, -(1 << 30)};
        for (const swf::ShapeLayer& l : f.field->Drawing().layers)
            for (const swf::ShapeEdge& e : l.edges)
                for (const swf::Point& p : {e.from, e.to}) {
                    box.xMin = std::min(box.xMin, p.x), box.xMax = std::max(box.xMax, p.x);
                    box.yMin = std::min(box.yMin, p.y), box.yMax = std::max(box.yMax, p.y);
                }
        EXPECT_EQ(box.xMin, c.xMin) << int(c.align);
        EXPECT_EQ(box.yMin, 40);
        EXPECT_EQ(box.yMax, 40 + 240);  // ascent and descent of the face
    }
}

}  // namespace
