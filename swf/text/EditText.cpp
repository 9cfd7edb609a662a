#include "swf/text/EditText.h"

#include "swf/Movie.h"
#include "swf/text/Html.h"
#include "swf/text/TextShape.h"

namespace swf {

namespace {

constexpr uint8_t kUtf8Version = 6;

const FontData* FontOf(const Movie& movie, uint16_t id) {
    const Character* c = movie.Find(id);
    return c && c->kind == CharacterKind::Font ? &static_cast<const FontCharacter*>(c)->font : nullptr;
}

}  // namespace

EditTextField::EditTextField(const EditTextData& def, const Movie& movie, FontLibrary& fonts, uint8_t version)
    : def_(def), movie_(movie), fonts_(fonts), version_(version), border_(def.border) {
    TextFormat& f = defaultFormat_;
    if (const FontData* font = def.hasFont ? FontOf(movie, def.fontId) : nullptr) {
        f.font = font->name;
        f.bold = font->bold;
        f.italic = font->italic;
    } else if (!def.fontClass.empty()) {
        f.font = def.fontClass;
    }
    if (def.hasFont || !def.fontClass.empty()) f.size = def.height;
    if (def.hasColor) f.color = def.color;
    if (def.hasLayout) {
        f.align = def.align;
        f.leftMargin = def.leftMargin;
        f.rightMargin = def.rightMargin;
        f.indent = def.indent;
        f.leading = def.leading;
    }
    if (def.html)
        SetHtmlText(def.initialText);
    else
        SetText(def.initialText);
}

std::string EditTextField::Text() const {
    std::u32string s = content_.Chars();
    for (char32_t& c : s)
        if (c == U'\n') c = U'\r';
    return EncodeUtf8(s);
}

void EditTextField::SetText(const std::string& text) {
    content_.Clear();
    std::u32string chars;
    if (version_ >= kUtf8Version)
        chars = DecodeUtf8(text);
    else
        for (char c : text) chars.push_back(static_cast<uint8_t>(c));
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') continue;  // CR LF is one break
        content_.Append(chars[i] == U'\r' ? U'\n' : chars[i], defaultFormat_);
    }
    Changed();
}

void EditTextField::SetHtmlText(const std::string& html) {
    content_.Clear();
    ParseHtml(html, defaultFormat_, content_);
    Changed();
}

void EditTextField::SetContent(const FormattedText& content) {
    content_ = content;
    Changed();
}

void EditTextField::SetDefaultFormat(const TextFormat& format) { defaultFormat_ = format; }

void EditTextField::SetBorder(bool on) {
    border_ = on;
    Changed();
}

void EditTextField::Changed() { dirty_ = true; }

FontFace* EditTextField::FaceFor(const TextFormat& f) {
    if (def_.useOutlines) {
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
    o.bounds = def_.bounds;
    o.wordWrap = def_.wordWrap;
    o.multiline = def_.multiline;
    o.password = def_.password;
    o.autoSize = def_.autoSize;
    layout_ = LayOut(content_, o, [this](const TextFormat& f) { return FaceFor(f); });
    TextShapeBuilder b;
    b.SetClip(layout_.bounds);
    for (const PlacedGlyph& g : layout_.glyphs) b.AddGlyph(*g.shape, g.emSquare, g.height, g.x, g.y, g.color);
    for (const auto& u : layout_.underlines) b.AddRect(u.first, u.second);
    drawing_ = b.Take(layout_.bounds);
    if (border_) {
        // Background and a hairline border under the glyphs.
        ShapeLayer frame;
        FillStyle bg;
        bg.color = backgroundColor_;
        frame.fills.push_back(bg);
        LineStyle line;
        line.width = 0;
        line.color = borderColor_;
        frame.lines.push_back(line);
        const Rect& r = layout_.bounds;
        const Point c[4] = {{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}};
        for (int i = 0; i < 4; ++i) {
            ShapeEdge e;
            e.from = c[i];
            e.to = e.control = c[(i + 1) % 4];
            e.fill1 = 1;
            e.line = 1;
            frame.edges.push_back(e);
        }
        drawing_.layers.insert(drawing_.layers.begin(), std::move(frame));
    }
    dirty_ = false;
    return layout_;
}

const Shape& EditTextField::Drawing() {
    Layout();
    return drawing_;
}

}  // namespace swf
