#include "swf/text/EditText.h"

#include <algorithm>

#include "swf/model/Movie.h"
#include "swf/render/SpanRecording.h"
#include "swf/text/Html.h"
#include "swf/text/HtmlWriter.h"
#include "swf/text/TextShape.h"

namespace swf {

namespace {

constexpr uint8_t kUtf8Version = 6;
// From this version a centred or right-aligned line leaves its trailing
// spaces out of its width.
constexpr uint8_t kAlignedSpacesVersion = 8;
constexpr uint8_t kPairedBreaksVersion = 9;  // CR LF in script text is one break

const FontData* FontOf(const Movie& movie, uint16_t id) {
    const Character* c = movie.Find(id);
    return c && c->kind == CharacterKind::Font ? &static_cast<const FontCharacter*>(c)->font : nullptr;
}

}  // namespace

EditTextField::EditTextField(const EditTextData& def, const Movie& movie, FontLibrary& fonts, uint8_t version)
    : def_(def), movie_(movie), fonts_(fonts), version_(version), bounds_(def.bounds) {
    FieldSettings& o = settings_;
    o.wordWrap = def.wordWrap;
    o.multiline = def.multiline;
    o.password = def.password;
    o.input = !def.readOnly;
    o.selectable = def.selectable;
    o.html = def.html;
    o.embedFonts = def.useOutlines;
    o.border = o.background = def.border;
    o.autoSize = def.autoSize ? AutoSize::Left : AutoSize::None;
    o.maxChars = def.hasMaxLength ? def.maxLength : 0;
    o.variable = def.variable;
    TextFormat& f = defaultFormat_;
    if (const FontData* font = def.hasFont ? FontOf(movie, def.fontId) : nullptr) {
        f.font = font->name;
        // An HTML field takes bold and italic from its markup only.
        f.bold = font->bold && !def.html;
        f.italic = font->italic && !def.html;
    } else if (!def.fontClass.empty()) {
        f.font = def.fontClass;
    } else {
        f.font = "Times New Roman";  // fields write in it when not told
    }
    if (def.hasFont || !def.fontClass.empty()) f.size = def.height;
    if (def.hasColor) f.color = def.color;
    if (def.hasLayout) {
        // The player keeps these in whole pixels, cut toward zero.
        auto px = [](int32_t twips) { return twips / kTwipsPerPixel * kTwipsPerPixel; };
        // An HTML field with no text of its own starts left-aligned.
        f.align = def.html && def.initialText.empty() ? TextAlign::Left : def.align;
        f.leftMargin = px(def.leftMargin);
        f.rightMargin = px(def.rightMargin);
        f.indent = px(def.indent);
        f.leading = px(def.leading);
    }
    SetScriptText(def.initialText, def.html);
}

std::string EditTextField::Text() const {
    std::u32string s = content_.Chars();
    for (char32_t& c : s)
        if (c == U'\n') c = U'\r';
    return EncodeUtf8(s);
}

std::u32string EditTextField::ScriptChars(const std::string& text) const {
    std::u32string chars;
    if (version_ >= kUtf8Version)
        chars = DecodeUtf8(text);
    else
        for (char c : text) chars.push_back(static_cast<uint8_t>(c));
    // CR and LF are each a break; from version 9 CR LF is one.
    std::u32string out;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (version_ >= kPairedBreaksVersion && chars[i] == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n')
            continue;
        out.push_back(chars[i] == U'\r' ? U'\n' : chars[i]);
    }
    return out;
}

void EditTextField::SetText(const std::string& text) {
    setAsHtml_ = false;
    content_.Clear();
    for (char32_t c : ScriptChars(text)) content_.Append(c, defaultFormat_);
    Changed();
}

void EditTextField::SetHtmlText(const std::string& html) {
    setAsHtml_ = true;
    content_.Clear();
    HtmlReadOptions o;
    o.multiline = settings_.multiline;
    o.condenseWhite = settings_.condenseWhite;
    ParseHtml(html, defaultFormat_, content_, o);
    Changed();
}

std::string EditTextField::HtmlText() const { return WriteHtml(content_); }

void EditTextField::SetScriptText(const std::string& text, bool html) {
    if (html)
        SetHtmlText(text);
    else
        SetText(text);
}

void EditTextField::SetContent(const FormattedText& content) {
    content_ = content;
    Changed();
}

void EditTextField::Edit(const std::function<bool(FormattedText&)>& change) {
    if (change(content_)) Changed();
}

void EditTextField::SetDefaultFormat(const TextFormat& format) { defaultFormat_ = format; }

void EditTextField::SetSettings(const FieldSettings& settings) {
    settings_ = settings;
    Changed();
}

void EditTextField::SetBorder(bool on) {
    settings_.border = settings_.background = on;
    Changed();
}

void EditTextField::SetBounds(const Rect& bounds) {
    bounds_ = bounds;
    Changed();
}

void EditTextField::Changed() {
    dirty_ = true;
    const size_t n = content_.Size();
    caret_ = std::min(caret_, n);
    anchor_ = std::min(anchor_, n);
}

FontFace* EditTextField::FaceFor(const TextFormat& f) {
    if (settings_.embedFonts) {
        const FontData* own = def_.hasFont ? FontOf(movie_, def_.fontId) : nullptr;
        FontFace* face = own && own->name == f.font && own->bold == f.bold && own->italic == f.italic
                             ? fonts_.Embedded(def_.fontId)
                             : nullptr;
        if (!face) face = fonts_.EmbeddedByName(f.font, f.bold, f.italic);
        if (face) return face;
    }
    return fonts_.Device(f.font, f.bold, f.italic);
}

const TextLayout& EditTextField::Layout() {
    if (!dirty_) return layout_;
    LayoutOptions o;
    o.bounds = bounds_;
    o.wordWrap = settings_.wordWrap;
    o.multiline = settings_.multiline;
    o.password = settings_.password;
    o.autoSize = settings_.autoSize != AutoSize::None;
    o.autoSizeAnchor = settings_.autoSize == AutoSize::Right    ? TextAlign::Right
                       : settings_.autoSize == AutoSize::Center ? TextAlign::Center
                                                                : TextAlign::Left;
    o.trailingSpacesAlwaysCount = version_ < kAlignedSpacesVersion;
    o.keepOutside = true;
    o.emptyFormat = &defaultFormat_;
    if (!settings_.embedFonts)
        o.fallback = [this](const TextFormat& f, char32_t c) { return fonts_.DeviceWith(c, f.bold, f.italic); };
    layout_ = LayOut(content_, o, [this](const TextFormat& f) { return FaceFor(f); });
    dirty_ = false;
    scroll_ = std::min(scroll_, MaxScroll());
    hscroll_ = std::min(hscroll_, MaxHScroll());
    Draw();
    return layout_;
}

int EditTextField::MaxScroll() {
    const TextLayout& l = Layout();
    const int64_t visible = int64_t(l.bounds.yMax) - l.bounds.yMin - 2 * kFieldGutter;
    if (l.lines.empty()) return 0;
    const int64_t bottom = int64_t(l.lines[0].top) + l.textHeight;
    int k = 0;
    while (size_t(k) + 1 < l.lines.size() && bottom - l.lines[size_t(k)].top > visible) ++k;
    return k;
}

int EditTextField::Scroll() {
    Layout();
    return scroll_;
}

void EditTextField::SetScroll(int line) {
    const int s = std::clamp(line, 0, MaxScroll());
    if (s == scroll_) return;
    scroll_ = s;
    Draw();
}

int EditTextField::MaxHScroll() {
    const TextLayout& l = Layout();
    // A field narrower than its gutters shows nothing, not less.
    const int64_t visible = std::max<int64_t>(int64_t(l.bounds.xMax) - l.bounds.xMin - 2 * kFieldGutter, 0);
    // Input fields may scroll a quarter of their view (whole pixels) past
    // the text's end.
    const int64_t slack = settings_.input ? visible / 20 / 4 * 20 : 0;
    return static_cast<int>(std::max<int64_t>(0, l.textWidth - visible + slack) / 20);
}

void EditTextField::SetHScroll(int pixels) {
    const int h = std::clamp(pixels, 0, MaxHScroll());
    if (h == hscroll_) return;
    hscroll_ = h;
    Draw();
}

void EditTextField::SetSelection(size_t anchor, size_t caret) {
    const size_t n = content_.Size();
    anchor_ = std::min(anchor, n);
    caret_ = std::min(caret, n);
    Layout();
    ScrollToCaret();
    Draw();
}

void EditTextField::SetFocused(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    if (!dirty_) Draw();
}

// Brings the caret's line into view, and its column in fields that do
// not wrap.
void EditTextField::ScrollToCaret() {
    const TextLayout& l = layout_;
    for (size_t i = 0; i < l.lines.size(); ++i) {
        const LaidOutLine& line = l.lines[i];
        const bool last = i + 1 == l.lines.size();
        if (caret_ < line.firstChar || (caret_ > line.endChar && !last)) continue;
        if (int(i) < scroll_) scroll_ = int(i);
        const int64_t visible = int64_t(l.bounds.yMax) - l.bounds.yMin - 2 * kFieldGutter;
        const int32_t bottom = last ? line.bottom : l.lines[i + 1].top;
        while (scroll_ < int(i) && int64_t(bottom) - l.lines[size_t(scroll_)].top > visible) ++scroll_;
        scroll_ = std::min(scroll_, MaxScroll());  // an empty last line may stay below
        break;
    }
    if (settings_.wordWrap || caret_ >= l.charX.size()) return;
    const int32_t x = l.charX[caret_] - l.bounds.xMin - kFieldGutter;
    const int32_t width = l.bounds.xMax - l.bounds.xMin - 2 * kFieldGutter;
    if (x < hscroll_ * 20) hscroll_ = x / 20;
    if (x > hscroll_ * 20 + width) hscroll_ = (x - width + 19) / 20;
    hscroll_ = std::clamp(hscroll_, 0, MaxHScroll());
}

const Shape& EditTextField::Drawing() {
    Layout();
    return drawing_;
}

int EditTextField::BottomScroll() {
    const TextLayout& l = Layout();
    const int first = Scroll();
    if (l.lines.empty()) return 0;
    const int64_t visible = int64_t(l.bounds.yMax) - l.bounds.yMin - 2 * kFieldGutter;
    const int64_t top = l.lines[size_t(first)].top;
    // Only whole lines count; the first in view always does.
    int last = first;
    while (size_t(last) + 1 < l.lines.size() && l.lines[size_t(last) + 1].bottom - top <= visible) ++last;
    return last;
}

}  // namespace swf
