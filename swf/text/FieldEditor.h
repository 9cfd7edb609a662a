// Typing into a field: characters replace the selection at the caret,
// filtered by the field's restrict pattern and cut at its maxChars; editing
// keys move the caret (with Shift, the selection's end) or delete.
//
// Restrict patterns: characters and ranges ("A-Z") that may be typed; '^'
// switches to characters that may not (a leading '^' allows everything
// else); '\' takes the next character literally. A character that is not
// allowed but whose other case is gets that case. An empty pattern allows
// nothing; no pattern allows everything.
#pragma once

#include <string>

#include "swf/text/EditText.h"

namespace swf {

enum class EditKey { Left, Right, Up, Down, Home, End, Backspace, Delete, Enter };

// `c` as typing into a field with `pattern` gives it, or 0 when refused.
char32_t RestrictChar(const std::u32string& pattern, char32_t c);

class FieldEditor {
public:
    explicit FieldEditor(EditTextField& field) : field_(field) {}

    // Typed text; true when the text changed.
    bool Type(const std::u32string& chars);
    bool Press(EditKey key, bool shift, bool ctrl);
    // Script replacement of the selection (no restrict or maxChars), in
    // `format`; the caret ends after the new text.
    void ReplaceSelection(const std::u32string& chars, const TextFormat& format);
    void SelectAll() { field_.SetSelection(0, field_.Content().Size()); }

private:
    // The format typed text takes: that of the character before the caret.
    TextFormat TypingFormat() const;
    size_t LineStep(size_t from, int lines);

    EditTextField& field_;
};

}  // namespace swf
