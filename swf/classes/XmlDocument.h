// The XML object's parser: text into element and text nodes, with the
// status numbers scripts read (0 when the whole text parsed).
//
// What is kept: elements with their attributes in file order, text with
// entities decoded (CDATA as it is), the <?xml ...?> declaration and the
// DOCTYPE as raw text. Comments and other processing instructions are
// dropped. On an error the nodes parsed so far stay. Depth and node count
// are bounded; past them parsing stops with the out-of-memory status.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace swf {

enum class XmlNodeType { Element = 1, Text = 3 };

struct XmlNode {
    XmlNodeType type = XmlNodeType::Element;
    std::string name;   // elements
    std::string value;  // text
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlNode> children;
};

enum XmlStatus : int {
    kXmlOk = 0,
    kXmlCdataOpen = -2,
    kXmlDeclarationOpen = -3,
    kXmlDoctypeOpen = -4,
    kXmlCommentOpen = -5,
    kXmlMalformedElement = -6,
    kXmlOutOfMemory = -7,
    kXmlAttributeOpen = -8,
    kXmlStartTagUnclosed = -9,
    kXmlEndTagUnmatched = -10,
};

struct XmlDocument {
    XmlNode root;  // an unnamed element holding the top-level nodes
    std::string xmlDecl;
    std::string docTypeDecl;
    int status = kXmlOk;
};

constexpr size_t kMaxXmlDepth = 512;
constexpr size_t kMaxXmlNodes = 200000;

// ignoreWhite drops text nodes that are only white space.
XmlDocument ParseXml(const std::string& text, bool ignoreWhite);
// &lt; &gt; &amp; &quot; &apos; and numeric references; others stay as they are.
std::string DecodeXmlEntities(const std::string& s);

}  // namespace swf
