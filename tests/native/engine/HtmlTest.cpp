// The HTML subset of text fields: what text and formats each input gives.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "swf/text/Html.h"
#include "swf/text/HtmlWriter.h"

namespace {

swf::TextFormat Base() {
    swf::TextFormat f;
    f.font = "Base";
    f.size = 240;
    return f;
}

struct HtmlCase {
    const char* name;
    std::string html;
    std::u32string text;
    std::function<void(const swf::FormattedText&)> check;
};

TEST(HtmlTest, TagsEntitiesAndDamagedMarkupGiveTheirTextAndFormats) {
    using swf::TextAlign;
    const HtmlCase cases[] = {
        {"paragraphs and alignment", "<p align='center'>Hi</p><P ALIGN=\"right\">Yo</P>", U"Hi\nYo\n",
         [](const swf::FormattedText& t) {
             EXPECT_EQ(t.FormatAt(0).align, TextAlign::Center);
             EXPECT_EQ(t.FormatAt(3).align, TextAlign::Right);
         }},
        {"justify", "<p align=\"justify\">j</p>", U"j\n",
         [](const swf::FormattedText& t) { EXPECT_EQ(t.FormatAt(0).align, TextAlign::Justify); }},
        {"bold italic underline", "<b>a</b><i>b</i><u>c</u>d", U"abcd",
         [](const swf::FormattedText& t) {
             EXPECT_TRUE(t.FormatAt(0).bold && !t.FormatAt(0).italic);
             EXPECT_TRUE(t.FormatAt(1).italic && !t.FormatAt(1).bold);
             EXPECT_TRUE(t.FormatAt(2).underline);
             EXPECT_EQ(t.FormatAt(3), Base());
         }},
        {"font attributes", "<font face='Times, serif' size='20' color='#FF8000' letterSpacing='2' kerning='1'>x</font>",
         U"x",
         [](const swf::FormattedText& t) {
             const swf::TextFormat& f = t.FormatAt(0);
             EXPECT_EQ(f.font, "Times, serif");
             EXPECT_EQ(f.size, 400);
             EXPECT_EQ(f.color, (swf::Rgba{255, 128, 0, 255}));
             EXPECT_EQ(f.letterSpacing, 40);
             EXPECT_TRUE(f.kerning);
         }},
        {"relative size", "<font size='+4'>a<font size='-10'>b</font></font>", U"ab",
         [](const swf::FormattedText& t) {
             EXPECT_EQ(t.FormatAt(0).size, 320);
             EXPECT_EQ(t.FormatAt(1).size, 120);
         }},
        {"sizes are kept from 1 to 127 points", "<font size='0'>a</font><font size='99999'>b</font>",
         U"ab",
         [](const swf::FormattedText& t) {
             EXPECT_EQ(t.FormatAt(0).size, 1 * 20);
             EXPECT_EQ(t.FormatAt(1).size, 127 * 20);
         }},
        {"line breaks", "a<br>b<BR/>c", U"a\nb\nc", nullptr},
        {"list items", "<li>one</li><li>two</li>", U"one\ntwo\n",
         [](const swf::FormattedText& t) { EXPECT_TRUE(t.FormatAt(0).bullet && t.FormatAt(4).bullet); }},
        {"links keep their address", "<a href='http://x.test/' target='_blank'>l</a>m", U"lm",
         [](const swf::FormattedText& t) {
             EXPECT_EQ(t.FormatAt(0).url, "http://x.test/");
             EXPECT_EQ(t.FormatAt(0).target, "_blank");
             EXPECT_EQ(t.FormatAt(1).url, "");
         }},
        {"textformat", "<textformat leftmargin='10' rightmargin='3' indent='-5' blockindent='4' leading='2' "
                       "tabstops='10,20,x'>t</textformat>",
         U"t",
         [](const swf::FormattedText& t) {
             const swf::TextFormat& f = t.FormatAt(0);
             EXPECT_EQ(f.leftMargin, 200);
             EXPECT_EQ(f.rightMargin, 60);
             EXPECT_EQ(f.indent, -100);
             EXPECT_EQ(f.blockIndent, 80);
             EXPECT_EQ(f.leading, 40);
             EXPECT_EQ(f.tabStops, (std::vector<int32_t>{200, 400, 0}));
         }},
        {"entities", "&lt;&gt;&amp;&quot;&apos;&nbsp;&#65;&#x42;&bogus;&#0;", U"<>&\"'\u00A0AB&bogus;&#0;", nullptr},
        {"unknown tags are dropped, their text kept", "<span class='q'>x</span><img src='y'/>z", U"xz", nullptr},
        {"a tag that never closes formats the rest", "<b>bold", U"bold",
         [](const swf::FormattedText& t) { EXPECT_TRUE(t.FormatAt(3).bold); }},
        {"a stray closing tag is ignored", "</i>x</p>", U"x", nullptr},
        {"closing any but the innermost tag is ignored", "<b><i>a</b>b</i>c</b>d", U"abcd",
         [](const swf::FormattedText& t) {
             EXPECT_TRUE(t.FormatAt(1).italic && t.FormatAt(1).bold);
             EXPECT_TRUE(t.FormatAt(2).bold && !t.FormatAt(2).italic);
             EXPECT_FALSE(t.FormatAt(3).bold);
         }},
        {"a lone angle bracket is text", "1 < 2 <", U"1 < 2 <", nullptr},
        {"an unterminated tag at the end", "a<font color='#00", U"a", nullptr},
        {"utf-8 and latin-1 bytes", "\xC3\xA9\xE9", U"\u00E9\u00E9", nullptr},
    };
    for (const HtmlCase& c : cases) {
        SCOPED_TRACE(c.name);
        swf::FormattedText t;
        swf::ParseHtml(c.html, Base(), t);
        EXPECT_EQ(t.Chars(), c.text);
        if (c.check && t.Size() == c.text.size()) c.check(t);
    }
}

// Markup breaks lines only in multiline fields; paragraphs do not nest, so
// only the first </p> of an open paragraph breaks.
TEST(HtmlTest, MarkupBreaksLinesOnlyInMultilineFields) {
    struct Case {
        std::string html;
        std::u32string multiline, singleLine;
    } cases[] = {
        {"<p>test</p>\n", U"test\n\n", U"test\n"},
        {"<p>a<p>b</p>c<p>d</p>e</p>", U"ab\ncd\ne", U"abcde"},
        {"text<li>a<li>b</li>c</li>d", U"text\na\nb\nc\nd", U"textabcd"},
        {"a <br> b", U"a \n b", U"a  b"},
        {"<p></p>", U"\n", U""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.html);
        for (bool multiline : {true, false}) {
            swf::HtmlReadOptions o;
            o.multiline = multiline;
            swf::FormattedText t;
            swf::ParseHtml(c.html, Base(), t, o);
            EXPECT_EQ(t.Chars(), multiline ? c.multiline : c.singleLine);
        }
    }
}

TEST(HtmlTest, ThousandsOfNestedTagsStayBoundedAndKeepTheText) {
    std::string html;
    for (int i = 0; i < 20000; ++i) html += "<font size='+1'><b>";
    html += "deep";
    for (int i = 0; i < 20000; ++i) html += "</b></font>";
    html += "!";
    swf::FormattedText t;
    swf::ParseHtml(html, Base(), t);
    EXPECT_EQ(t.Chars(), U"deep!");
    EXPECT_LE(t.Formats().size(), 4u);
    EXPECT_EQ(t.FormatAt(4), Base());
}

// Each line is a paragraph, but a break ending the text opens none.
TEST(HtmlTest, WrittenParagraphsFollowTheBreaks) {
    struct Case {
        std::u32string text;
        int paragraphs;
    } cases[] = {{U"", 0}, {U"\n", 1}, {U"\n\n", 2}, {U"a\n", 1}, {U"\na\n", 2}, {U"a\n\nb", 3}, {U"a\nb\n", 2}};
    for (const Case& c : cases) {
        swf::FormattedText t;
        for (char32_t ch : c.text) t.Append(ch, Base());
        const std::string html = swf::WriteHtml(t);
        int count = 0;
        for (size_t at = html.find("<P "); at != std::string::npos; at = html.find("<P ", at + 1)) ++count;
        EXPECT_EQ(count, c.paragraphs) << html;
    }
}

// A run opens FONT inside the previous one with what differs, and closes
// back to an open level whose font it has.
TEST(HtmlTest, WrittenFontsNestAndCloseBackToAMatchingLevel) {
    struct Case {
        std::vector<std::pair<int32_t, std::string>> runs;  // size in pixels, face
        std::string inner;                                  // what the paragraph's FONT holds
    } cases[] = {
        {{{12, "Base"}, {13, "Base"}, {14, "Base"}}, "a<FONT SIZE=\"13\">b<FONT SIZE=\"14\">c</FONT></FONT>"},
        {{{12, "Base"}, {13, "Base"}, {12, "Base"}}, "a<FONT SIZE=\"13\">b</FONT>c"},
        {{{12, "Base"}, {12, "X"}, {14, "X"}, {14, "Base"}, {12, "Base"}},
         "a<FONT FACE=\"X\">b<FONT SIZE=\"14\">c<FONT FACE=\"Base\">d</FONT></FONT></FONT>e"},
        {{{12, "Base"}, {13, "Base"}, {14, "Base"}, {13, "Base"}}, "a<FONT SIZE=\"13\">b<FONT SIZE=\"14\">c</FONT>d</FONT>"},
    };
    for (const Case& c : cases) {
        swf::FormattedText t;
        char32_t ch = U'a';
        for (const auto& [px, face] : c.runs) {
            swf::TextFormat f = Base();
            f.size = px * swf::TextFormat::kTwipsPerPixelForText;
            f.font = face;
            t.Append(ch++, f);
        }
        const std::string html = swf::WriteHtml(t);
        const std::string head = "KERNING=\"0\">";
        const size_t from = html.find(head) + head.size();
        const size_t to = html.rfind("</FONT></P>");
        EXPECT_EQ(html.substr(from, to - from), c.inner) << html;
    }
}

// A styler changes what each tag starts, by class and, for paragraphs,
// links and tags of the sheet's own, by name; a styled span ends with its
// closing tag.
TEST(HtmlTest, AStylerFormatsTagsByNameAndClass) {
    std::vector<std::string> seen;
    const swf::HtmlStyler styler = [&](const std::string& tag, const std::string& cls, swf::TextFormat& f) {
        seen.push_back(tag + "." + cls);
        if (tag == "p") f.bold = true;
        if (cls == "red") f.color = swf::Rgba{255, 0, 0, 255};
    };
    swf::FormattedText t;
    swf::HtmlReadOptions o;
    o.styler = styler;
    swf::ParseHtml("<p>a<span class='red'>b</span>c<unknown class=\"red\">d</p>", Base(), t, o);
    ASSERT_EQ(t.Chars(), U"abcd\n");
    EXPECT_TRUE(t.FormatAt(0).bold);
    EXPECT_EQ(t.FormatAt(1).color.r, 255);
    EXPECT_EQ(t.FormatAt(2).color.r, Base().color.r);
    EXPECT_TRUE(t.FormatAt(3).bold);
    EXPECT_EQ(t.FormatAt(3).color.r, 255);
    EXPECT_EQ(seen, (std::vector<std::string>{"p.", ".red", "unknown.red"}));
}

}  // namespace
