// A text field's content: characters with a format each. Paragraphs end at
// '\n'; a paragraph's layout (alignment, margins, indent, leading, tab
// stops, bullet) is the format of its first character. Sizes, margins and
// spacing are twips.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Font.h"

namespace swf {

struct TextFormat {
    std::string font = "_sans";
    int32_t size = 12 * kTwipsPerPixelForText;  // twips per em
    Rgba color{0, 0, 0, 255};
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::string url;  // kept; links draw as text
    std::string target;
    int32_t letterSpacing = 0;
    bool kerning = false;
    TextAlign align = TextAlign::Left;
    int32_t leftMargin = 0;
    int32_t rightMargin = 0;
    int32_t indent = 0;
    int32_t blockIndent = 0;
    int32_t leading = 0;
    std::vector<int32_t> tabStops;
    bool bullet = false;

    static constexpr int32_t kTwipsPerPixelForText = 20;
    bool operator==(const TextFormat& o) const;
    bool operator!=(const TextFormat& o) const { return !(*this == o); }
};

class FormattedText {
public:
    // Past this many characters the rest of a text is dropped.
    static constexpr size_t kMaxChars = 1 << 18;
    static constexpr size_t kMaxFormats = 1 << 12;

    void Clear();
    void Append(const std::u32string& chars, const TextFormat& format);
    void Append(char32_t c, const TextFormat& format);

    const std::u32string& Chars() const { return chars_; }
    size_t Size() const { return chars_.size(); }
    const TextFormat& FormatAt(size_t i) const { return formats_[formatOf_[i]]; }
    // The formats in use, for readers of the field's formatting.
    const std::vector<TextFormat>& Formats() const { return formats_; }
    bool Empty() const { return chars_.empty(); }
    void PopBack();
    // Characters [begin, end) become `chars` in `format` (clamped to the
    // text; what would pass kMaxChars is dropped).
    void Replace(size_t begin, size_t end, const std::u32string& chars, const TextFormat& format);
    // Changes the format of every character in [begin, end).
    void ChangeFormats(size_t begin, size_t end, const std::function<void(TextFormat&)>& change);

private:
    uint16_t FormatIndex(const TextFormat& f);

    std::u32string chars_;
    std::vector<uint16_t> formatOf_;
    std::vector<TextFormat> formats_;
};

// UTF-8 to code points; a byte that starts no valid sequence is taken as
// Latin-1, so old movies' 8-bit text still shows.
std::u32string DecodeUtf8(const std::string& s);
std::string EncodeUtf8(const std::u32string& s);

}  // namespace swf
