#include "swf/text/FormattedText.h"

#include <algorithm>

#include "swf/model/Utf8.h"

namespace swf {

bool TextFormat::operator==(const TextFormat& o) const {
    return font == o.font && size == o.size && color == o.color && bold == o.bold && italic == o.italic &&
           underline == o.underline && url == o.url && target == o.target && letterSpacing == o.letterSpacing &&
           kerning == o.kerning && align == o.align && leftMargin == o.leftMargin && rightMargin == o.rightMargin &&
           indent == o.indent && blockIndent == o.blockIndent && leading == o.leading && tabStops == o.tabStops &&
           bullet == o.bullet;
}

void FormattedText::Clear() {
    chars_.clear();
    formatOf_.clear();
    formats_.clear();
}

uint16_t FormattedText::FormatIndex(const TextFormat& f) {
    // Runs share formats and the recent ones are the likely match; looking
    // only that far back keeps appending linear (a format may then repeat).
    constexpr size_t kLookBack = 32;
    for (size_t i = formats_.size(), seen = 0; i-- > 0 && seen < kLookBack; ++seen)
        if (formats_[i] == f) return static_cast<uint16_t>(i);
    if (formats_.size() >= kMaxFormats) return static_cast<uint16_t>(formats_.size() - 1);
    formats_.push_back(f);
    return static_cast<uint16_t>(formats_.size() - 1);
}

void FormattedText::Append(char32_t c, const TextFormat& format) {
    if (chars_.size() >= kMaxChars) return;
    const uint16_t index = !formatOf_.empty() && formats_[formatOf_.back()] == format ? formatOf_.back()
                                                                                        : FormatIndex(format);
    chars_.push_back(c);
    formatOf_.push_back(index);
}

void FormattedText::Append(const std::u32string& chars, const TextFormat& format) {
    for (char32_t c : chars) Append(c, format);
}

void FormattedText::PopBack() {
    if (chars_.empty()) return;
    chars_.pop_back();
    formatOf_.pop_back();
}

void FormattedText::Replace(size_t begin, size_t end, const std::u32string& chars, const TextFormat& format) {
    begin = std::min(begin, chars_.size());
    end = std::clamp(end, begin, chars_.size());
    const size_t kept = chars_.size() - (end - begin);
    const size_t n = std::min(chars.size(), kMaxChars - std::min(kept, kMaxChars));
    const uint16_t index = FormatIndex(format);
    chars_.replace(begin, end - begin, chars, 0, n);
    formatOf_.erase(formatOf_.begin() + std::ptrdiff_t(begin), formatOf_.begin() + std::ptrdiff_t(end));
    formatOf_.insert(formatOf_.begin() + std::ptrdiff_t(begin), n, index);
}

void FormattedText::ChangeFormats(size_t begin, size_t end, const std::function<void(TextFormat&)>& change) {
    end = std::min(end, chars_.size());
    // Each format in use changes once, however many characters share it.
    std::vector<int32_t> changed(formats_.size(), -1);
    for (size_t i = begin; i < end; ++i) {
        const uint16_t old = formatOf_[i];
        if (changed[old] < 0) {
            TextFormat f = formats_[old];
            change(f);
            changed[old] = FormatIndex(f);
            if (changed.size() < formats_.size()) changed.resize(formats_.size(), -1);
        }
        formatOf_[i] = static_cast<uint16_t>(changed[old]);
    }
}

std::u32string DecodeUtf8(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const uint8_t b = static_cast<uint8_t>(s[i]);
        const int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
        char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
        bool ok = extra > 0 && i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const uint8_t cb = static_cast<uint8_t>(s[i + k]);
            if ((cb & 0xC0) != 0x80) ok = false;
            c = (c << 6) | (cb & 0x3F);
        }
        if (extra == 0 && b < 0x80) {
            out.push_back(b);
            ++i;
        } else if (ok && c <= 0x10FFFF) {
            out.push_back(c);
            i += 1 + extra;
        } else {
            out.push_back(b);  // Latin-1
            ++i;
        }
    }
    return out;
}

std::string EncodeUtf8(const std::u32string& s) {
    std::string out;
    for (char32_t c : s) AppendUtf8(out, uint32_t(c));
    return out;
}

}  // namespace swf
