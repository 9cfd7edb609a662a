#include "tools/swfmake/TextTags.h"

#include <algorithm>

#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/ShapeEncoder.h"

namespace swfmake {

namespace {

bool NeedsWideCodes(const swf::FontData& font) {
    if (font.wideCodes) return true;
    for (const swf::Glyph& g : font.glyphs)
        if (g.code > 0xFF) return true;
    for (const swf::KerningPair& k : font.kerning)
        if (k.left > 0xFF || k.right > 0xFF) return true;
    return false;
}

void WriteName(ByteWriter& w, const std::string& name) {
    const size_t n = std::min<size_t>(name.size(), 0xFF);
    w.U8(static_cast<uint8_t>(n));
    w.Raw(reinterpret_cast<const uint8_t*>(name.data()), n);
}

void WriteCode(ByteWriter& w, uint16_t code, bool wide) {
    if (wide)
        w.U16(code);
    else
        w.U8(static_cast<uint8_t>(code));
}

std::vector<std::vector<uint8_t>> EncodeGlyphs(const swf::FontData& font) {
    std::vector<std::vector<uint8_t>> out;
    for (const swf::Glyph& g : font.glyphs) out.push_back(EncodeGlyphShape(g.shape));
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeDefineFont(uint16_t id, const swf::FontData& font) {
    ByteWriter w;
    w.U16(id);
    auto glyphs = EncodeGlyphs(font);
    size_t offset = glyphs.size() * 2;
    for (const auto& g : glyphs) {
        w.U16(static_cast<uint16_t>(offset));
        offset += g.size();
    }
    for (const auto& g : glyphs) w.Raw(g);
    return w.Take();
}

std::vector<uint8_t> EncodeDefineFontInfo(uint16_t id, const swf::FontData& font, bool version2) {
    const bool wide = version2 || NeedsWideCodes(font);
    ByteWriter w;
    w.U16(id);
    WriteName(w, font.name);
    uint8_t flags = 0;
    if (font.smallText) flags |= swf::kFontInfoSmallText;
    if (font.shiftJis) flags |= swf::kFontInfoShiftJis;
    if (font.ansi) flags |= swf::kFontInfoAnsi;
    if (font.italic) flags |= swf::kFontInfoItalic;
    if (font.bold) flags |= swf::kFontInfoBold;
    if (wide) flags |= swf::kFontInfoWideCodes;
    w.U8(flags);
    if (version2) w.U8(font.language);
    for (const swf::Glyph& g : font.glyphs) WriteCode(w, g.code, wide);
    return w.Take();
}

std::vector<uint8_t> EncodeDefineFont2(uint16_t id, const swf::FontData& font, int version) {
    (void)version;  // the layout is the same; the reader scales by tag
    const bool wide = NeedsWideCodes(font);
    auto glyphs = EncodeGlyphs(font);
    size_t shapeBytes = 0;
    for (const auto& g : glyphs) shapeBytes += g.size();
    const bool wideOffsets = (glyphs.size() + 1) * 2 + shapeBytes > 0xFFFF;
    ByteWriter w;
    w.U16(id);
    uint8_t flags = 0;
    if (font.hasLayout) flags |= swf::kFontHasLayout;
    if (font.shiftJis) flags |= swf::kFontShiftJis;
    if (font.smallText) flags |= swf::kFontSmallText;
    if (font.ansi) flags |= swf::kFontAnsi;
    if (wideOffsets) flags |= swf::kFontWideOffsets;
    if (wide) flags |= swf::kFontWideCodes;
    if (font.italic) flags |= swf::kFontItalic;
    if (font.bold) flags |= swf::kFontBold;
    w.U8(flags);
    w.U8(font.language);
    WriteName(w, font.name);
    w.U16(static_cast<uint16_t>(glyphs.size()));
    const size_t offsetBytes = wideOffsets ? 4 : 2;
    size_t offset = (glyphs.size() + 1) * offsetBytes;
    auto writeOffset = [&](size_t v) {
        if (wideOffsets)
            w.U32(static_cast<uint32_t>(v));
        else
            w.U16(static_cast<uint16_t>(v));
    };
    for (const auto& g : glyphs) {
        writeOffset(offset);
        offset += g.size();
    }
    writeOffset(offset);  // the code table
    for (const auto& g : glyphs) w.Raw(g);
    for (const swf::Glyph& g : font.glyphs) WriteCode(w, g.code, wide);
    if (!font.hasLayout) return w.Take();
    w.U16(static_cast<uint16_t>(font.ascent));
    w.U16(static_cast<uint16_t>(font.descent));
    w.S16(static_cast<int16_t>(font.leading));
    for (const swf::Glyph& g : font.glyphs) w.S16(static_cast<int16_t>(g.advance));
    for (const swf::Glyph& g : font.glyphs) w.Rect(g.bounds);
    w.U16(static_cast<uint16_t>(font.kerning.size()));
    for (const swf::KerningPair& k : font.kerning) {
        WriteCode(w, k.left, wide);
        WriteCode(w, k.right, wide);
        w.S16(k.adjust);
    }
    return w.Take();
}

std::vector<uint8_t> EncodeDefineFontName(uint16_t id, const std::string& name, const std::string& copyright) {
    ByteWriter w;
    w.U16(id);
    w.String(name);
    w.String(copyright);
    return w.Take();
}

std::vector<uint8_t> EncodeDefineText(uint16_t id, const swf::StaticTextData& text, bool withAlpha) {
    int glyphBits = 0, advanceBits = 0;
    for (const swf::TextRun& run : text.runs)
        for (size_t i = 0; i < run.glyphs.size(); ++i) {
            glyphBits = std::max(glyphBits, UnsignedBitsNeeded(run.glyphs[i].index));
            if (i + 1 < run.glyphs.size())
                advanceBits = std::max(advanceBits, SignedBitsNeeded(run.glyphs[i + 1].x - run.glyphs[i].x));
        }
    ByteWriter w;
    w.U16(id);
    w.Rect(text.bounds);
    w.Matrix(text.matrix);
    w.U8(static_cast<uint8_t>(glyphBits));
    w.U8(static_cast<uint8_t>(advanceBits));
    for (const swf::TextRun& run : text.runs) {
        w.U8(swf::kTextRecordType | swf::kTextHasFont | swf::kTextHasColor | swf::kTextHasX | swf::kTextHasY);
        w.U16(run.fontId);
        if (withAlpha)
            w.Rgba(run.color);
        else
            w.Rgb(run.color);
        w.S16(static_cast<int16_t>(run.glyphs.empty() ? 0 : run.glyphs.front().x));
        w.S16(static_cast<int16_t>(run.y));
        w.U16(run.height);
        w.U8(static_cast<uint8_t>(std::min<size_t>(run.glyphs.size(), 0xFF)));
        for (size_t i = 0; i < run.glyphs.size() && i < 0xFF; ++i) {
            w.Bits(run.glyphs[i].index, glyphBits);
            const int32_t adv = i + 1 < run.glyphs.size() ? run.glyphs[i + 1].x - run.glyphs[i].x : 0;
            w.SignedBits(adv, advanceBits);
        }
        w.FlushBits();
    }
    w.U8(0);
    return w.Take();
}

std::vector<uint8_t> EncodeDefineEditText(uint16_t id, const swf::EditTextData& f) {
    ByteWriter w;
    w.U16(id);
    w.Rect(f.bounds);
    uint16_t flags = 0;
    auto set = [&](bool on, uint16_t bit) {
        if (on) flags |= bit;
    };
    set(!f.initialText.empty(), swf::kEditHasText);
    set(f.wordWrap, swf::kEditWordWrap);
    set(f.multiline, swf::kEditMultiline);
    set(f.password, swf::kEditPassword);
    set(f.readOnly, swf::kEditReadOnly);
    set(f.hasColor, swf::kEditHasTextColor);
    set(f.hasMaxLength, swf::kEditHasMaxLength);
    set(f.hasFont, swf::kEditHasFont);
    set(!f.fontClass.empty(), swf::kEditHasFontClass);
    set(f.autoSize, swf::kEditAutoSize);
    set(f.hasLayout, swf::kEditHasLayout);
    set(!f.selectable, swf::kEditNoSelect);
    set(f.border, swf::kEditBorder);
    set(f.wasStatic, swf::kEditWasStatic);
    set(f.html, swf::kEditHtml);
    set(f.useOutlines, swf::kEditUseOutlines);
    w.U8(static_cast<uint8_t>(flags >> 8));
    w.U8(static_cast<uint8_t>(flags));
    if (f.hasFont) w.U16(f.fontId);
    if (!f.fontClass.empty()) w.String(f.fontClass);
    if (f.hasFont || !f.fontClass.empty()) w.U16(f.height);
    if (f.hasColor) w.Rgba(f.color);
    if (f.hasMaxLength) w.U16(f.maxLength);
    if (f.hasLayout) {
        w.U8(static_cast<uint8_t>(f.align));
        w.U16(f.leftMargin);
        w.U16(f.rightMargin);
        w.U16(f.indent);
        w.S16(f.leading);
    }
    w.String(f.variable);
    if (!f.initialText.empty()) w.String(f.initialText);
    return w.Take();
}

void DefineFont2(TagList& tags, uint16_t id, const swf::FontData& font, int version) {
    tags.Raw(version == 3 ? swf::kTagDefineFont3 : swf::kTagDefineFont2, EncodeDefineFont2(id, font, version));
}

void DefineText(TagList& tags, uint16_t id, const swf::StaticTextData& text, bool withAlpha) {
    tags.Raw(withAlpha ? swf::kTagDefineText2 : swf::kTagDefineText, EncodeDefineText(id, text, withAlpha));
}

void DefineEditText(TagList& tags, uint16_t id, const swf::EditTextData& field) {
    tags.Raw(swf::kTagDefineEditText, EncodeDefineEditText(id, field));
}

swf::FontData BlockFont(const std::string& name, const std::u32string& codes, int32_t inkWidth, int32_t advance,
                        int32_t ascent, int32_t descent) {
    swf::FontData f;
    f.name = name;
    f.hasLayout = true;
    f.hasCodes = true;
    f.wideCodes = true;
    f.ascent = ascent;
    f.descent = descent;
    for (char32_t c : codes) {
        swf::Glyph g;
        g.code = static_cast<uint16_t>(c);
        g.advance = advance;
        if (c != U' ') {
            ShapeBuilder b;
            const swf::Rect box{0, inkWidth, -ascent, 0};
            b.FillRect(box, b.AddSolidFill(swf::Rgba{0, 0, 0, 255}));
            g.shape = b.Build();
            g.bounds = box;
        } else {
            g.shape.layers.emplace_back();
            g.shape.layers.back().fills.emplace_back();
        }
        f.glyphs.push_back(std::move(g));
    }
    return f;
}

swf::TextRun MakeRun(const swf::FontData& font, uint16_t fontId, const std::u32string& text, uint16_t height,
                     swf::Rgba color, int32_t x, int32_t y) {
    swf::TextRun run;
    run.fontId = fontId;
    run.height = height;
    run.color = color;
    run.y = y;
    int64_t pen = 0;  // em units times height
    for (char32_t c : text) {
        for (size_t i = 0; i < font.glyphs.size(); ++i) {
            if (font.glyphs[i].code != c) continue;
            run.glyphs.push_back({static_cast<uint16_t>(i), x + static_cast<int32_t>(pen / font.emSquare)});
            pen += int64_t(font.glyphs[i].advance) * height;
            break;
        }
    }
    return run;
}

}  // namespace swfmake
