#include "swf/text/Layout.h"

#include <algorithm>

namespace swf {

namespace {

constexpr int32_t kDefaultTabTwips = 36 * 20;
constexpr int32_t kBulletIndent = 36 * 20;  // a list item's text, from its margins
constexpr int32_t kBulletInset = 6 * 20;     // the bullet, from the margins
constexpr char32_t kBullet = 0x2022;
constexpr int32_t kMaxSize = 2000 * 20;  // twips per em
constexpr int64_t kLimit = int64_t(1) << 29;  // positions stay well inside int32
constexpr int64_t kFine = 64;  // parts of a twip glyphs are placed at

int32_t Clamp(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -kLimit, kLimit)); }

// Font units to twips, truncated as the player measures: a descent of
// 94.7 twips is 94.
int32_t Scale(int64_t emValue, int32_t size, int32_t em) { return Clamp(emValue * size / em); }

bool HasInk(const Shape& s) {
    for (const ShapeLayer& l : s.layers)
        if (!l.edges.empty()) return true;
    return false;
}

// One character's face, glyph and horizontal metrics at its size.
struct CharInfo {
    FontFace* face = nullptr;
    FaceGlyph glyph;
    int32_t em = kEmSquare;
    int32_t size = 0;
    int32_t advance = 0;  // twips, with spacing and kerning; tabs fixed per line
    int32_t fraction = 0;  // 1/64 twips of the glyph's advance the twips leave out
    int32_t ascent = 0;
    int32_t descent = 0;
};

class Layouter {
public:
    Layouter(const FormattedText& text, const LayoutOptions& o, const FaceResolver& faces)
        : text_(text), options_(o), faces_(faces) {}

    TextLayout Run();

private:
    void Measure();
    void Paragraph(size_t begin, size_t end);
    size_t FitLine(size_t begin, size_t end, int32_t avail, std::vector<int32_t>& advances) const;
    void PlaceLine(size_t begin, size_t end, bool lastOfParagraph, int32_t left, int32_t avail,
                   const std::vector<int32_t>& advances, const TextFormat& pf, bool firstLine);
    int32_t TabAdvance(int32_t x, const TextFormat& pf) const;
    void SetTextHeight();
    void EmptyLine(const TextFormat& f);

    const FormattedText& text_;
    const LayoutOptions& options_;
    const FaceResolver& faces_;
    std::u32string chars_;
    std::vector<CharInfo> info_;
    TextLayout out_;
    int64_t y_ = 0;
    int32_t lastLeading_ = 0;  // of the last line placed
};

void Layouter::Measure() {
    chars_ = text_.Chars();
    info_.resize(chars_.size());
    const TextFormat* lastFormat = nullptr;
    FontFace* face = nullptr;
    DeviceFontMetrics m;
    for (size_t i = 0; i < chars_.size(); ++i) {
        if (options_.password && chars_[i] != U'\n') chars_[i] = U'*';
        const TextFormat& f = text_.FormatAt(i);
        if (&f != lastFormat) {
            face = faces_(f);
            m = face->Metrics();
            lastFormat = &f;
        }
        CharInfo& c = info_[i];
        c.face = face;
        c.em = std::max(m.emSquare, 1);
        c.size = std::clamp(f.size, 0, kMaxSize);
        c.ascent = Scale(m.ascent, c.size, c.em);
        c.descent = Scale(m.descent, c.size, c.em);
        if (chars_[i] == U'\n' || chars_[i] == U'\t') continue;
        if (!face->Find(chars_[i], &c.glyph) && options_.fallback) {
            // Another system face that has the character draws it at the
            // same size; the line keeps the chosen face's metrics.
            if (FontFace* other = options_.fallback(f, chars_[i]); other && other->Find(chars_[i], &c.glyph)) {
                c.face = other;
                c.em = std::max(other->Metrics().emSquare, 1);
            }
        }
        if (c.glyph.shape && !HasInk(*c.glyph.shape)) c.glyph.shape = nullptr;
        const int64_t fine = int64_t(c.glyph.advance) * c.size * kFine / c.em;
        c.advance = Clamp(fine / kFine + int64_t(f.letterSpacing));
        c.fraction = int32_t(fine % kFine);
        // Kerning narrows or widens the gap before this character.
        if (f.kerning && i > 0 && info_[i - 1].face == c.face && chars_[i - 1] != U'\n')
            info_[i - 1].advance = Clamp(int64_t(info_[i - 1].advance) +
                                         Scale(c.face->Kerning(chars_[i - 1], chars_[i]), c.size, c.em));
    }
}

int32_t Layouter::TabAdvance(int32_t x, const TextFormat& pf) const {
    for (int32_t stop : pf.tabStops)
        if (stop > x) return stop - x;
    const int32_t last = pf.tabStops.empty() ? 0 : pf.tabStops.back();
    const int32_t from = std::max(x - last, 0);
    return (from / kDefaultTabTwips + 1) * kDefaultTabTwips - from;
}

// Returns the end of the line starting at `begin`; fills `advances` for
// the characters up to it.
size_t Layouter::FitLine(size_t begin, size_t end, int32_t avail, std::vector<int32_t>& advances) const {
    const bool wrap = options_.wordWrap;
    const TextFormat& pf = text_.FormatAt(begin < text_.Size() ? begin : text_.Size() - 1);
    advances.clear();
    int64_t width = 0;
    size_t lastBreak = 0;  // one past the last space that fit; 0 for none
    for (size_t j = begin; j < end; ++j) {
        const int32_t adv = chars_[j] == U'\t' ? TabAdvance(Clamp(width), pf) : info_[j].advance;
        if (wrap && j > begin && chars_[j] != U' ' && width + adv > avail) {
            const size_t stop = lastBreak > begin ? lastBreak : j;
            advances.resize(stop - begin);
            return stop;
        }
        advances.push_back(adv);
        width += adv;
        if (chars_[j] == U' ') lastBreak = j + 1;
    }
    return end;
}

void Layouter::PlaceLine(size_t begin, size_t end, bool lastOfParagraph, int32_t left, int32_t avail,
                         const std::vector<int32_t>& advances, const TextFormat& pf, bool firstLine) {
    int32_t ascent = 0, descent = 0;
    size_t inkEnd = end;  // trailing spaces do not count for alignment
    while (inkEnd > begin && chars_[inkEnd - 1] == U' ') --inkEnd;
    int64_t width = 0;
    for (size_t j = begin; j < end; ++j) {
        ascent = std::max(ascent, info_[j].ascent);
        descent = std::max(descent, info_[j].descent);
        if (j < inkEnd) width += advances[j - begin];
    }
    if (begin == end) {  // an empty line takes its height from its format
        const size_t at = std::min(begin, info_.size() - 1);
        ascent = info_[at].ascent;
        descent = info_[at].descent;
    }
    int64_t x = left;
    int64_t extraPerSpace = 0, extraLeft = 0;
    const int64_t slack = avail - width;
    switch (pf.align) {
    case TextAlign::Right: x += std::max<int64_t>(slack, 0); break;
    case TextAlign::Center: x += std::max<int64_t>(slack, 0) / 2; break;
    case TextAlign::Justify: {
        int64_t spaces = 0;
        for (size_t j = begin; j < inkEnd; ++j) spaces += chars_[j] == U' ';
        if (!lastOfParagraph && spaces > 0 && slack > 0) {
            extraPerSpace = slack / spaces;
            extraLeft = slack % spaces;
        }
        break;
    }
    case TextAlign::Left: break;
    }
    const int32_t baseline = Clamp(y_ + ascent);
    LaidOutLine line;
    line.top = Clamp(y_);
    line.baseline = baseline;
    line.bottom = Clamp(int64_t(baseline) + descent);
    line.leading = pf.leading;
    // Trailing spaces take room on a line that starts at the left.
    if (options_.trailingSpacesAlwaysCount || pf.align == TextAlign::Left)
        for (size_t j = inkEnd; j < end; ++j) width += advances[j - begin];
    line.left = Clamp(x);
    line.width = Clamp(width);
    line.firstChar = begin;
    line.endChar = end;
    if (firstLine && pf.bullet && begin < info_.size()) {
        FaceGlyph bullet;
        const CharInfo& c = info_[begin];
        if (c.face->Find(kBullet, &bullet) && bullet.shape)
            out_.glyphs.push_back({bullet.shape, c.em, Clamp(left - kBulletIndent + kBulletInset), baseline, c.size,
                                   text_.FormatAt(begin).color, kBullet, begin});
    }
    int64_t underlineStart = 0;
    bool underlining = false;
    // Measures add whole twips per glyph; the glyphs themselves are drawn
    // where their exact advances put them.
    int64_t fraction = 0;
    for (size_t j = begin; j < end; ++j) {
        const CharInfo& c = info_[j];
        const TextFormat& f = text_.FormatAt(j);
        if (f.underline != underlining || (underlining && j > begin && f.color != text_.FormatAt(j - 1).color)) {
            if (underlining)
                out_.underlines.push_back({{Clamp(underlineStart), Clamp(x), baseline + c.size / 20,
                                            baseline + c.size / 20 + std::max(c.size / 20, 20)},
                                           text_.FormatAt(j - 1).color});
            underlining = f.underline;
            underlineStart = x;
        }
        if (c.glyph.shape && c.size > 0)
            out_.glyphs.push_back(
                {c.glyph.shape, c.em, Clamp(x + (fraction + kFine / 2) / kFine), baseline, c.size, f.color, chars_[j], j});
        out_.charX[j] = Clamp(x);
        x += advances[j - begin];
        if (chars_[j] != U'\t') fraction += c.fraction;
        if (chars_[j] == U' ' && j < inkEnd) {
            x += extraPerSpace + (extraLeft > 0 ? 1 : 0);
            if (extraLeft > 0) --extraLeft;
        }
    }
    if (underlining && end > begin) {
        const int32_t size = info_[end - 1].size;
        out_.underlines.push_back({{Clamp(underlineStart), Clamp(x), baseline + size / 20,
                                    baseline + size / 20 + std::max(size / 20, 20)},
                                   text_.FormatAt(end - 1).color});
    }
    if (end < out_.charX.size()) out_.charX[end] = Clamp(x);
    line.penEnd = Clamp(x);
    out_.lines.push_back(line);
    // The text's width counts a first line's indent, not the margins,
    // block indent or bullet every line has.
    out_.textWidth = std::max(out_.textWidth, Clamp(width + (firstLine ? std::max(pf.indent, 0) : 0)));
    out_.extent = std::max(out_.extent, Clamp(width + (left - options_.bounds.xMin - kFieldGutter)));
    y_ = std::clamp<int64_t>(y_ + ascent + descent + pf.leading, -kLimit, kLimit);
    lastLeading_ = pf.leading;
}

void Layouter::Paragraph(size_t begin, size_t end) {
    const TextFormat& pf = text_.FormatAt(begin < text_.Size() ? begin : text_.Size() - 1);
    const Rect& b = out_.bounds;
    std::vector<int32_t> advances;
    bool first = true;
    size_t at = begin;
    do {
        // A negative indent pulls the first line left no further than the
        // field's own left edge.
        const int64_t inset = std::max<int64_t>(int64_t(pf.leftMargin) + pf.blockIndent + (first ? pf.indent : 0), 0);
        const int64_t left = int64_t(b.xMin) + kFieldGutter + inset + (pf.bullet ? kBulletIndent : 0);
        const int64_t right = int64_t(b.xMax) - kFieldGutter - pf.rightMargin;
        const int32_t avail = Clamp(std::max<int64_t>(right - left, 0));
        const size_t stop = FitLine(at, end, avail, advances);
        PlaceLine(at, stop, stop == end, Clamp(left), avail, advances, pf, first);
        first = false;
        at = stop;
    } while (at < end);
}

// An empty text's line: a format's height and no width, textHeight 0.
void Layouter::EmptyLine(const TextFormat& f) {
    const DeviceFontMetrics m = faces_(f)->Metrics();
    const int32_t em = std::max(m.emSquare, 1), size = std::clamp(f.size, 0, kMaxSize);
    LaidOutLine line;
    line.top = Clamp(y_);
    line.baseline = Clamp(y_ + Scale(m.ascent, size, em));
    line.bottom = Clamp(int64_t(line.baseline) + Scale(m.descent, size, em));
    line.leading = f.leading;
    line.left = Clamp(int64_t(out_.bounds.xMin) + kFieldGutter + std::max(f.leftMargin + f.blockIndent + f.indent, 0));
    out_.lines.push_back(line);
}

// Leading separates lines: the last of several adds none, while a lone
// line keeps its own.
void Layouter::SetTextHeight() {
    const int64_t trailing = out_.lines.size() > 1 ? lastLeading_ : 0;
    out_.textHeight = Clamp(y_ - trailing - (int64_t(out_.bounds.yMin) + kFieldGutter));
}

TextLayout Layouter::Run() {
    out_.bounds = options_.bounds;
    Measure();
    out_.charX.assign(chars_.size() + 1, 0);
    y_ = int64_t(out_.bounds.yMin) + kFieldGutter;
    const size_t n = chars_.size();
    if (n == 0 && options_.emptyFormat) EmptyLine(*options_.emptyFormat);
    for (size_t begin = 0; n > 0;) {
        size_t end = begin;
        while (end < n && chars_[end] != U'\n') ++end;
        Paragraph(begin, end);
        if (end >= n) break;
        begin = end + 1;
        if (begin == n) {  // a final newline still opens an empty line
            SetTextHeight();  // which scrolls, but adds no height
            Paragraph(n, n);
            return out_;
        }
    }
    SetTextHeight();
    return out_;
}

}  // namespace

TextLayout LayOut(const FormattedText& text, const LayoutOptions& options, const FaceResolver& faces) {
    LayoutOptions o = options;
    const TextAlign align = o.autoSizeAnchor;
    if (o.autoSize && !o.wordWrap) {
        // Measure unbounded, then lay out in the grown field.
        LayoutOptions wide = o;
        wide.autoSize = false;
        wide.bounds.xMax = wide.bounds.xMin + Clamp(kLimit / 2);
        const TextLayout probe = Layouter(text, wide, faces).Run();
        const int32_t width = Clamp(int64_t(probe.extent) + 2 * kFieldGutter);
        Rect& b = o.bounds;
        if (align == TextAlign::Right)
            b.xMin = b.xMax - width;
        else if (align == TextAlign::Center)
            b.xMin = Clamp((int64_t(b.xMin) + b.xMax - width) / 2), b.xMax = b.xMin + width;
        else
            b.xMax = b.xMin + width;
    }
    TextLayout out = Layouter(text, o, faces).Run();
    if (o.autoSize) out.bounds.yMax = Clamp(int64_t(out.bounds.yMin) + out.textHeight + 2 * kFieldGutter);
    if (o.keepOutside) return out;
    // Glyphs wholly outside the field are not drawn.
    const Rect& b = out.bounds;
    out.glyphs.erase(std::remove_if(out.glyphs.begin(), out.glyphs.end(),
                                    [&](const PlacedGlyph& g) {
                                        return g.x >= b.xMax || g.x + g.height < b.xMin || g.y - g.height >= b.yMax ||
                                               g.y + g.height / 2 < b.yMin;
                                    }),
                     out.glyphs.end());
    return out;
}

}  // namespace swf
