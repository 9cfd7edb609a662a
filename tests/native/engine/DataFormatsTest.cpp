// What scripts read back from XML text, URL-encoded variables, CSS and
// System.capabilities.
#include <gtest/gtest.h>

#include "swf/classes/Capabilities.h"
#include "swf/classes/StyleSheet.h"
#include "swf/classes/UrlVars.h"
#include "swf/classes/XmlDocument.h"

namespace swf {
namespace {

TEST(DataFormatsTest, CssRulesShareDeclarationsAmongSelectorsAndFailWhole) {
    std::vector<CssRule> rules;
    ASSERT_TRUE(ParseCss(" h1 , .note{ font-weight:bold ;margin-left : 4px; junk }\np{}", rules));
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].selectors, (std::vector<std::string>{"h1", ".note"}));
    using Decls = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(rules[0].declarations, (Decls{{"fontWeight", "bold "}, {"marginLeft", "4px"}}));
    EXPECT_TRUE(rules[1].declarations.empty());

    // A rule left open or text outside any rule fails the sheet; `rules`
    // keeps what it held.
    for (const char* bad : {"a { color: red", "a { color: red } stray", "{ color: red }"}) {
        EXPECT_FALSE(ParseCss(bad, rules)) << bad;
        EXPECT_EQ(rules.size(), 2u) << bad;
    }
    EXPECT_TRUE(ParseCss(" \n ", rules));
    EXPECT_TRUE(rules.empty());
}

TEST(DataFormatsTest, XmlTreeWithAttributesEntitiesAndDeclarations) {
    const XmlDocument d = ParseXml(
        "<?xml version=\"1.0\"?><!DOCTYPE menu><!-- skip -->"
        "<menu id='m1' title=\"a &amp; b\">\n  <item>Tea &lt;hot&gt; &#233;&#x41;</item>\n"
        "  <empty/><![CDATA[<raw> & ]]></menu>",
        true);
    EXPECT_EQ(d.status, kXmlOk);
    EXPECT_EQ(d.xmlDecl, "<?xml version=\"1.0\"?>");
    EXPECT_EQ(d.docTypeDecl, "<!DOCTYPE menu>");
    ASSERT_EQ(d.root.children.size(), 1u);
    const XmlNode& menu = d.root.children[0];
    EXPECT_EQ(menu.name, "menu");
    ASSERT_EQ(menu.attributes.size(), 2u);
    EXPECT_EQ(menu.attributes[1], (std::pair<std::string, std::string>{"title", "a & b"}));
    ASSERT_EQ(menu.children.size(), 3u);  // white space between them dropped
    EXPECT_EQ(menu.children[0].children[0].value, "Tea <hot> \xC3\xA9" "A");
    EXPECT_EQ(menu.children[1].name, "empty");
    EXPECT_TRUE(menu.children[1].children.empty());
    EXPECT_EQ(menu.children[2].type, XmlNodeType::Text);
    EXPECT_EQ(menu.children[2].value, "<raw> & ");

    const XmlDocument keep = ParseXml("<a> <b/> </a>", false);
    EXPECT_EQ(keep.root.children[0].children.size(), 3u);
    EXPECT_EQ(DecodeXmlEntities("&bogus; &amp &#xZZ; &#0;"), "&bogus; &amp &#xZZ; ");
}

TEST(DataFormatsTest, XmlErrorsGiveTheirStatusAndKeepWhatParsed) {
    const struct {
        const char* text;
        int status;
    } cases[] = {
        {"<a><![CDATA[open</a>", kXmlCdataOpen}, {"<?xml version", kXmlDeclarationOpen},
        {"<!DOCTYPE x", kXmlDoctypeOpen},        {"<a><!-- open", kXmlCommentOpen},
        {"<a <b>", kXmlMalformedElement},        {"<a x=1>", kXmlAttributeOpen},
        {"<a x='1>", kXmlAttributeOpen},         {"<a><b></b>", kXmlStartTagUnclosed},
        {"<a></b>", kXmlEndTagUnmatched},        {"</a>", kXmlEndTagUnmatched},
        {"<>", kXmlMalformedElement},            {"text only", kXmlOk},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseXml(c.text, false).status, c.status) << c.text;
    const XmlDocument part = ParseXml("<a><b/></c>", false);
    ASSERT_EQ(part.root.children.size(), 1u);
    EXPECT_EQ(part.root.children[0].children[0].name, "b");
}

TEST(DataFormatsTest, XmlDepthAndNodeCountAreBounded) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<d>";
    EXPECT_EQ(ParseXml(deep, false).status, kXmlOutOfMemory);
    std::string wide;
    for (int i = 0; i < 300000; ++i) wide += "<e/>";
    const XmlDocument d = ParseXml(wide, false);
    EXPECT_EQ(d.status, kXmlOutOfMemory);
    EXPECT_EQ(d.root.children.size(), kMaxXmlNodes);
}

TEST(DataFormatsTest, UrlVariablesDecodeAndEncode) {
    const std::vector<UrlVar> vars = DecodeUrlVars("name=Ann+Lee&score=%31%30&&flag&bad=%G1%4&x=a=b");
    const std::vector<UrlVar> expected = {
        {"name", "Ann Lee"}, {"score", "10"}, {"flag", ""}, {"bad", "%G1%4"}, {"x", "a=b"}};
    EXPECT_EQ(vars, expected);
    EXPECT_EQ(UrlEncode("a b&c/\xC3\xA9"), "a%20b%26c%2F%C3%A9");
    EXPECT_EQ(EncodeUrlVars({{"k", "v w"}, {"n", "1"}}), "k=v%20w&n=1");
    EXPECT_EQ(DecodeUrlVars(EncodeUrlVars(expected)), expected);
}

TEST(DataFormatsTest, CapabilitiesLookLikeAWindowsPlayer) {
    std::string version;
    for (const Capability* c = kCapabilities; c->name; ++c)
        if (std::string(c->name) == "version") version = c->text;
    EXPECT_EQ(version.substr(0, 6), "WIN 8,");
    const std::string s = CapabilitiesServerString();
    EXPECT_NE(s.find("V=WIN%208%2C0%2C24%2C0"), std::string::npos) << s;
    EXPECT_NE(s.find("OS=Windows%20XP"), std::string::npos) << s;
    EXPECT_NE(s.find("&R=1536x864"), std::string::npos) << s;
    EXPECT_NE(s.find("DEB=f"), std::string::npos) << s;

    EXPECT_TRUE(ValidSharedObjectName("scores_v2"));
    EXPECT_TRUE(ValidSharedObjectName("game/level1"));
    for (const char* bad : {"", "a b", "x~y", "pct%", "q?"}) EXPECT_FALSE(ValidSharedObjectName(bad)) << bad;
}

}  // namespace
}  // namespace swf
