// A field's content written back as the HTML scripts read from htmlText:
// one P (or LI for bullets) per paragraph, wrapped in TEXTFORMAT when the
// paragraph has margins, indents, leading or tab stops; inside it a FONT
// with face, size, colour, letter spacing and kerning, and for runs that
// differ from the paragraph's first character a nested FONT with only what
// differs; then A, B, I and U. Sizes and spacing are pixels, colours
// #RRGGBB, names upper case, text UTF-8 with <, > and & escaped.
#pragma once

#include <string>

#include "swf/text/FormattedText.h"

namespace swf {

// An empty text writes nothing: it has no paragraph.
std::string WriteHtml(const FormattedText& text);

}  // namespace swf
