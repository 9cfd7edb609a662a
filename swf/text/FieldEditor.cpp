#include "swf/text/FieldEditor.h"

#include <algorithm>

namespace swf {

namespace {

char32_t OtherCase(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}

bool Allowed(const std::u32string& p, char32_t c) {
    bool allowed = !p.empty() && p[0] == U'^';
    bool including = true;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == U'^') {
            including = !including;
            continue;
        }
        char32_t lo = p[i];
        if (lo == U'\\' && i + 1 < p.size()) lo = p[++i];
        char32_t hi = lo;
        if (i + 2 < p.size() && p[i + 1] == U'-') {
            i += 2;
            hi = p[i];
            if (hi == U'\\' && i + 1 < p.size()) hi = p[++i];
        }
        if (c >= lo && c <= hi) allowed = including;
    }
    return allowed;
}

}  // namespace

char32_t RestrictChar(const std::u32string& pattern, char32_t c) {
    if (Allowed(pattern, c)) return c;
    const char32_t other = OtherCase(c);
    return other != c && Allowed(pattern, other) ? other : 0;
}

TextFormat FieldEditor::TypingFormat() const {
    const FormattedText& t = field_.Content();
    const size_t at = std::min(field_.Caret(), field_.Anchor());
    if (t.Empty()) return field_.DefaultFormat();
    return t.FormatAt(at > 0 ? at - 1 : 0);
}

bool FieldEditor::Type(const std::u32string& chars) {
    const FieldSettings& s = field_.Settings();
    if (!s.input) return false;
    const std::u32string pattern = DecodeUtf8(s.restrict);
    std::u32string accepted;
    for (char32_t c : chars) {
        if (c == U'\r' || c == U'\n') {
            if (s.multiline) accepted.push_back(U'\n');
            continue;
        }
        if (c < 0x20 && c != U'\t') continue;
        if (s.hasRestrict && !(c = RestrictChar(pattern, c))) continue;
        accepted.push_back(c);
    }
    const size_t begin = std::min(field_.Caret(), field_.Anchor()), end = std::max(field_.Caret(), field_.Anchor());
    const size_t kept = field_.Content().Size() - (end - begin);
    if (s.maxChars > 0) accepted.resize(std::min(accepted.size(), s.maxChars - std::min(kept, s.maxChars)));
    if (accepted.empty() && begin == end) return false;
    ReplaceSelection(accepted, TypingFormat());
    return true;
}

void FieldEditor::ReplaceSelection(const std::u32string& chars, const TextFormat& format) {
    const size_t begin = std::min(field_.Caret(), field_.Anchor()), end = std::max(field_.Caret(), field_.Anchor());
    field_.Edit([&](FormattedText& t) {
        t.Replace(begin, end, chars, format);
        return true;
    });
    const size_t caret = std::min(begin + chars.size(), field_.Content().Size());
    field_.SetSelection(caret, caret);
}

// The position `lines` lines up or down from `from`, at the same x.
size_t FieldEditor::LineStep(size_t from, int lines) {
    const TextLayout& l = field_.Layout();
    size_t on = 0;
    for (size_t i = 0; i < l.lines.size(); ++i)
        if (from >= l.lines[i].firstChar) on = i;
    const int64_t target = int64_t(on) + lines;
    if (l.lines.empty() || target < 0) return 0;
    if (target >= int64_t(l.lines.size())) return field_.Content().Size();
    const int32_t x = from < l.charX.size() ? l.charX[from] : 0;
    const LaidOutLine& line = l.lines[size_t(target)];
    size_t best = line.firstChar;
    for (size_t j = line.firstChar; j <= line.endChar && j < l.charX.size(); ++j)
        if (std::abs(l.charX[j] - x) < std::abs(l.charX[best] - x)) best = j;
    return best;
}

bool FieldEditor::Press(EditKey key, bool shift, bool ctrl) {
    const FieldSettings& s = field_.Settings();
    const size_t n = field_.Content().Size();
    const size_t caret = field_.Caret(), anchor = field_.Anchor();
    const size_t begin = std::min(caret, anchor), end = std::max(caret, anchor);
    auto moveTo = [&](size_t to, size_t collapsed) {
        field_.SetSelection(shift ? anchor : (begin == end ? to : collapsed), to);
        return false;
    };
    switch (key) {
    case EditKey::Left: return moveTo(caret > 0 ? caret - 1 : 0, begin);
    case EditKey::Right: return moveTo(std::min(caret + 1, n), end);
    case EditKey::Home:
    case EditKey::End: {
        const TextLayout& l = field_.Layout();
        const LaidOutLine* on = nullptr;
        for (const LaidOutLine& line : l.lines)
            if (caret >= line.firstChar) on = &line;
        if (key == EditKey::Home) return moveTo(ctrl || !on ? 0 : on->firstChar, begin);
        return moveTo(ctrl || !on ? n : std::min(on->endChar, n), end);
    }
    case EditKey::Up: return moveTo(LineStep(caret, -1), begin);
    case EditKey::Down: return moveTo(LineStep(caret, 1), end);
    case EditKey::Enter: return s.multiline && Type(U"\n");
    case EditKey::Backspace:
    case EditKey::Delete:
        if (!s.input) return false;
        if (begin == end) {
            if (key == EditKey::Backspace ? caret == 0 : caret >= n) return false;
            const size_t at = key == EditKey::Backspace ? caret - 1 : caret;
            field_.SetSelection(at, at + 1);
        }
        ReplaceSelection(U"", TypingFormat());
        return true;
    }
    return false;
}

}  // namespace swf
