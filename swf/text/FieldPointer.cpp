// A field under the pointer: the character position a click lands on, the
// word a double click selects, and the caret's blink.
#include <algorithm>
#include <cstdlib>

#include "swf/text/EditText.h"

namespace swf {

size_t EditTextField::IndexAt(Point local) {
    const TextLayout& l = Layout();
    if (l.lines.empty() || l.charX.empty()) return 0;
    const int32_t x = local.x + hscroll_ * 20;
    const int32_t y = local.y + l.lines[size_t(scroll_)].top - l.lines[0].top;
    const LaidOutLine* on = &l.lines.front();
    for (const LaidOutLine& line : l.lines)
        if (y >= line.top) on = &line;
    size_t end = std::min(on->endChar, l.charX.size() - 1);
    // A line's ending newline belongs to it, but the caret stays before it.
    const std::u32string& chars = content_.Chars();
    if (end > on->firstChar && end - 1 < chars.size() && (chars[end - 1] == U'\n' || chars[end - 1] == U'\r')) --end;
    size_t best = std::min(on->firstChar, end);
    for (size_t i = best; i <= end; ++i)
        if (std::llabs(int64_t(l.charX[i]) - x) < std::llabs(int64_t(l.charX[best]) - x)) best = i;
    return best;
}

std::pair<size_t, size_t> EditTextField::WordAt(size_t index) const {
    const std::u32string& chars = content_.Chars();
    auto inWord = [&](size_t i) {
        const char32_t c = chars[i];
        return c != U' ' && c != U'\t' && c != U'\n' && c != U'\r' && c != U'.' && c != U',';
    };
    index = std::min(index, chars.size());
    size_t begin = index, end = index;
    while (begin > 0 && inWord(begin - 1)) --begin;
    while (end < chars.size() && inWord(end)) ++end;
    return {begin, end};
}

void EditTextField::SetCaretShown(bool shown) {
    if (shown == caretShown_) return;
    caretShown_ = shown;
    if (!dirty_ && focused_) Draw();
}

}  // namespace swf
