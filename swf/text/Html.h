// The HTML a text field accepts: p (align), font (face, size, color,
// letterSpacing, kerning), b, i, u, br, li, a (href, target), textformat
// (leftmargin, rightmargin, indent, blockindent, leading, tabstops) and
// character entities. Other tags are dropped with their markup; their text
// stays. Sizes are in pixels in the markup and twips in the result.
//
// Bounds: one pass over the input; tags nest at most kMaxDepth deep (deeper
// tags are read but change no format), attributes and names are capped, and
// a tag that never closes simply formats the rest of the text.
#pragma once

#include <functional>
#include <string>

#include "swf/text/FormattedText.h"

namespace swf {

constexpr size_t kMaxHtmlDepth = 64;

// A style sheet's say over each opening tag: given the tag's name (empty
// when the tag takes no style by name) and its class attribute, it changes
// the format the tag starts.
using HtmlStyler = std::function<void(const std::string& tag, const std::string& cls, TextFormat& f)>;

struct HtmlReadOptions {
    // Paragraphs, list items and <br> break lines only in multiline
    // fields; a single-line field keeps just the line breaks of the text.
    bool multiline = true;
    bool condenseWhite = false;  // runs of white space in the text read as one space
    HtmlStyler styler;
};

// Appends the text of `html` to `out`, formatted from `base`.
void ParseHtml(const std::string& html, const TextFormat& base, FormattedText& out,
               const HtmlReadOptions& options = {});

}  // namespace swf
