// A text field as the player shows it: its definition, its current text
// and formats, and the drawing made from them.
//
// This is the engine's interface to a field: the text and its formats can
// be read and replaced (as plain text or as HTML), and the shape is laid
// out again only after a change. Input, selection, the caret and focus are
// not handled here.
#pragma once

#include <cstdint>
#include <string>

#include "swf/Font.h"
#include "swf/Shape.h"
#include "swf/text/FontLibrary.h"
#include "swf/text/FormattedText.h"
#include "swf/text/Layout.h"

namespace swf {

class Movie;

class EditTextField {
public:
    // `version` is the movie's: before 6 text bytes are Latin-1, not UTF-8.
    EditTextField(const EditTextData& def, const Movie& movie, FontLibrary& fonts, uint8_t version);

    const EditTextData& Definition() const { return def_; }
    const std::string& VariableName() const { return def_.variable; }

    // Plain text; paragraphs are separated by "\r" as scripts see them.
    std::string Text() const;
    void SetText(const std::string& text);
    // Replaces the content with parsed HTML (any field accepts it).
    void SetHtmlText(const std::string& html);
    const FormattedText& Content() const { return content_; }
    void SetContent(const FormattedText& content);
    // The format new text takes: the definition's font, size, colour and
    // paragraph layout.
    const TextFormat& DefaultFormat() const { return defaultFormat_; }
    void SetDefaultFormat(const TextFormat& format);

    bool Border() const { return border_; }
    void SetBorder(bool on);
    Rgba BorderColor() const { return borderColor_; }
    Rgba BackgroundColor() const { return backgroundColor_; }

    // Laid out on demand; valid until the next change.
    const TextLayout& Layout();
    // Background, border and glyphs in the field's space.
    const Shape& Drawing();

private:
    FontFace* FaceFor(const TextFormat& f);
    void Changed();

    const EditTextData& def_;
    const Movie& movie_;
    FontLibrary& fonts_;
    uint8_t version_;
    TextFormat defaultFormat_;
    FormattedText content_;
    bool border_;
    Rgba borderColor_{0, 0, 0, 255};
    Rgba backgroundColor_{255, 255, 255, 255};
    bool dirty_ = true;
    TextLayout layout_;
    Shape drawing_;
};

}  // namespace swf
