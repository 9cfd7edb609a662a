// A text field as the player shows it: its definition, its current text
// and formats, and the drawing made from them.
//
// This is the engine's interface to a field: the text and its formats can
// be read and replaced (as plain text or as HTML), its settings changed as
// scripts do, and the shape is laid out again only after a change. While
// focused, the caret and the selection (kept here, changed by the editor
// in FieldEditor.h) are drawn too: the selection black with white text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "swf/model/Font.h"
#include "swf/model/Shape.h"
#include "swf/text/FontLibrary.h"
#include "swf/text/FormattedText.h"
#include "swf/text/Layout.h"

namespace swf {

class Movie;

enum class AutoSize : uint8_t { None, Left, Center, Right };
// The name scripts read and write: "none", "left", "center" or "right".
inline const char* AutoSizeName(AutoSize s) {
    switch (s) {
    case AutoSize::Left: return "left";
    case AutoSize::Center: return "center";
    case AutoSize::Right: return "right";
    case AutoSize::None: break;
    }
    return "none";
}

// What scripts may change about a field; starts from its definition.
struct FieldSettings {
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool input = false;  // typing allowed
    bool selectable = true;
    bool mouseWheel = true;  // the wheel scrolls it
    bool html = false;
    bool embedFonts = false;
    bool border = false;
    bool background = false;
    AutoSize autoSize = AutoSize::None;
    Rgba borderColor{0, 0, 0, 255};
    Rgba backgroundColor{255, 255, 255, 255};
    size_t maxChars = 0;  // 0: no limit
    bool hasRestrict = false;  // without it any character may be typed
    std::string restrict;
    std::string variable;
    bool condenseWhite = false;  // HTML set: runs of white space read as one space
    // Advanced anti-aliasing settings scripts keep (drawing ignores them).
    bool advancedAntiAlias = false;
    uint8_t gridFit = 1;  // 0 none, 1 pixel, 2 subpixel
    double sharpness = 0;
    double thickness = 0;
};

// A field's border in target twips for `toTarget` (field to target). Fields
// of system text frame themselves in whole pixels unless turned; the others
// get a hairline along their edges.
Shape FieldBorderShape(const Rect& bounds, Rgba color, const Matrix& toTarget, bool wholePixels);

class EditTextField {
public:
    // `version` is the movie's: before 6 text bytes are Latin-1, not UTF-8.
    EditTextField(const EditTextData& def, const Movie& movie, FontLibrary& fonts, uint8_t version);

    const EditTextData& Definition() const { return def_; }
    const std::string& VariableName() const { return settings_.variable; }
    const FieldSettings& Settings() const { return settings_; }
    void SetSettings(const FieldSettings& settings);
    // The bound variable's value when field and variable last agreed.
    std::string& BoundValue() { return boundValue_; }

    // Plain text; paragraphs are separated by "\r" as scripts see them.
    std::string Text() const;
    void SetText(const std::string& text);
    // Script text as the field keeps it: Latin-1 before version 6, and
    // every line break (CR or LF) one LF; CR LF is two before version 9.
    std::u32string ScriptChars(const std::string& text) const;
    // Replaces the content with parsed HTML (any field accepts it).
    void SetHtmlText(const std::string& html);
    // The content as HTML, the form scripts read back.
    std::string HtmlText() const;
    // Whether the text was last set as HTML (it stays HTML to scripts
    // when the field stops being an HTML field).
    bool SetAsHtml() const { return setAsHtml_; }
    // The text a script sets: HTML when the field is an HTML field.
    void SetScriptText(const std::string& text, bool html);
    const FormattedText& Content() const { return content_; }
    void SetContent(const FormattedText& content);
    // Edits in place; `change` returns whether it changed anything.
    void Edit(const std::function<bool(FormattedText&)>& change);
    // The format new text takes: the definition's font, size, colour and
    // paragraph layout.
    const TextFormat& DefaultFormat() const { return defaultFormat_; }
    void SetDefaultFormat(const TextFormat& format);

    bool Border() const { return settings_.border; }
    void SetBorder(bool on);
    Rgba BorderColor() const { return settings_.borderColor; }
    Rgba BackgroundColor() const { return settings_.backgroundColor; }

    // The field's box before autosize; scripts resize it.
    const Rect& Bounds() const { return bounds_; }
    void SetBounds(const Rect& bounds);

    // Lines scrolled off the top (scroll is this plus one) and pixels off
    // the left; both clamped to what the text allows.
    int Scroll();
    int MaxScroll();
    void SetScroll(int line);
    int HScroll() const { return hscroll_; }
    int MaxHScroll();
    // The last line wholly in view, counted from 0.
    int BottomScroll();
    void SetHScroll(int pixels);

    // Caret and selection as character positions; `anchor` is where the
    // selection started, the caret where it ends.
    size_t Caret() const { return caret_; }
    size_t Anchor() const { return anchor_; }
    void SetSelection(size_t anchor, size_t caret);
    bool Focused() const { return focused_; }
    void SetFocused(bool focused);
    // The character position nearest `local` (twips, the field's space, as
    // drawn with its scroll): where a click puts the caret.
    size_t IndexAt(Point local);
    // The word around `index`, [first, end): what a double click selects.
    std::pair<size_t, size_t> WordAt(size_t index) const;
    // The caret blinks: hidden in the off half of each blink.
    void SetCaretShown(bool shown);

    // Laid out on demand; valid until the next change.
    const TextLayout& Layout();
    // Background, border and glyphs in the field's space.
    const Shape& Drawing();
    // Changes whenever the drawing does.
    uint64_t DrawingKey() const { return drawingKey_; }

private:
    FontFace* FaceFor(const TextFormat& f);
    void Changed();
    void Draw();
    Rect EmptyFieldCaret();
    void ScrollToCaret();

    const EditTextData& def_;
    const Movie& movie_;
    FontLibrary& fonts_;
    uint8_t version_;
    TextFormat defaultFormat_;
    FormattedText content_;
    FieldSettings settings_;
    Rect bounds_;
    int scroll_ = 0;   // lines
    int hscroll_ = 0;  // pixels
    size_t caret_ = 0;
    size_t anchor_ = 0;
    bool focused_ = false;
    bool caretShown_ = true;
    std::string boundValue_;
    bool setAsHtml_ = false;
    bool dirty_ = true;
    TextLayout layout_;
    Shape drawing_;
    uint64_t drawingKey_ = 0;
};

}  // namespace swf
