// Text tags: DefineText/DefineText2 (glyph runs placed by the file),
// DefineEditText (a field the player lays out) and CSMTextSettings.
//
// A static text's records carry only what changes: font and height, colour
// and pen position persist from one record to the next, and the pen moves
// on by each glyph's advance. The reader resolves that into runs that each
// know their font, height, colour, baseline and glyph positions.
#include <algorithm>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr int kMaxEntryBits = 32;

TextRenderSettings* FindSettings(ReadContext& ctx, uint16_t id) {
    auto it = ctx.movie.dictionary.find(id);
    if (it == ctx.movie.dictionary.end()) return nullptr;
    Character& c = *it->second;
    if (c.kind == CharacterKind::StaticText) return &static_cast<StaticTextCharacter&>(c).text.settings;
    if (c.kind == CharacterKind::EditText) return &static_cast<EditTextCharacter&>(c).field.settings;
    return nullptr;
}

void ReadRecords(ByteReader& r, bool withAlpha, ReadContext& ctx, StaticTextData& t) {
    const int glyphBits = r.U8();
    const int advanceBits = r.U8();
    if (glyphBits > kMaxEntryBits || advanceBits > kMaxEntryBits) throw ReadError("glyph entry wider than 32 bits");
    TextRun state;
    state.color = Rgba{0, 0, 0, 255};
    int64_t x = 0;
    for (;;) {
        const uint8_t flags = r.U8();
        if (flags == 0) return;
        if (!(flags & kTextRecordType)) throw ReadError("text record of unknown type");
        if (flags & kTextHasFont) state.fontId = r.U16();
        if (flags & kTextHasColor) state.color = withAlpha ? r.Rgba32() : r.Rgb();
        if (flags & kTextHasX) x = r.S16();
        if (flags & kTextHasY) state.y = r.S16();
        if (flags & kTextHasFont) state.height = r.U16();
        const size_t count = r.U8();
        const size_t entryBits = std::max<size_t>(size_t(glyphBits) + advanceBits, 1);
        if (count > r.Remaining() * 8 / entryBits) throw ReadError("glyph count exceeds tag");
        if (count > ctx.glyphsLeft) throw ReadError("too many glyphs in the movie");
        ctx.glyphsLeft -= count;
        TextRun run = state;
        run.glyphs.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            StaticGlyph g;
            g.index = static_cast<uint16_t>(std::min<uint32_t>(r.Bits(glyphBits), UINT16_MAX));
            g.x = static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
            x = std::clamp<int64_t>(x + r.SignedBits(advanceBits), INT32_MIN, INT32_MAX);
            run.glyphs.push_back(g);
        }
        r.Align();
        if (!run.glyphs.empty()) t.runs.push_back(std::move(run));
    }
}

// Glyph indices against fonts read so far; such glyphs draw nothing.
std::string CheckGlyphIndices(const ReadContext& ctx, const StaticTextData& t) {
    for (const TextRun& run : t.runs) {
        const Character* c = ctx.movie.Find(run.fontId);
        if (!c || c->kind != CharacterKind::Font) continue;
        const size_t count = static_cast<const FontCharacter*>(c)->font.glyphs.size();
        for (const StaticGlyph& g : run.glyphs)
            if (g.index >= count)
                return "glyph index " + std::to_string(g.index) + " past font " + std::to_string(run.fontId) +
                       "'s " + std::to_string(count) + " glyphs";
    }
    return "";
}

}  // namespace

void ReadDefineText(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto c = std::make_unique<StaticTextCharacter>();
    c->text.bounds = r.ReadRect();
    c->text.matrix = r.ReadMatrix();
    try {
        ReadRecords(r, code == kTagDefineText2, ctx, c->text);
    } catch (const ReadError&) {
        ctx.Define(id, std::move(c));  // the records before the damage draw
        throw;
    }
    const std::string problem = CheckGlyphIndices(ctx, c->text);
    ctx.Define(id, std::move(c));
    if (!problem.empty()) throw ReadError(problem);
}

void ReadDefineEditText(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto c = std::make_unique<EditTextCharacter>();
    EditTextData& f = c->field;
    f.bounds = r.ReadRect();
    const uint16_t flags = static_cast<uint16_t>((r.U8() << 8) | r.U8());
    f.wordWrap = flags & kEditWordWrap;
    f.multiline = flags & kEditMultiline;
    f.password = flags & kEditPassword;
    f.readOnly = flags & kEditReadOnly;
    f.hasColor = flags & kEditHasTextColor;
    f.hasMaxLength = flags & kEditHasMaxLength;
    f.hasFont = flags & kEditHasFont;
    f.autoSize = flags & kEditAutoSize;
    f.hasLayout = flags & kEditHasLayout;
    f.selectable = !(flags & kEditNoSelect);
    f.border = flags & kEditBorder;
    f.wasStatic = flags & kEditWasStatic;
    f.html = flags & kEditHtml;
    f.useOutlines = flags & kEditUseOutlines;
    if (f.hasFont) f.fontId = r.U16();
    if (flags & kEditHasFontClass) f.fontClass = r.String();
    if (f.hasFont || (flags & kEditHasFontClass)) f.height = r.U16();
    if (f.hasColor) f.color = r.Rgba32();
    if (f.hasMaxLength) f.maxLength = r.U16();
    if (f.hasLayout) {
        const uint8_t align = r.U8();
        f.align = align <= uint8_t(TextAlign::Justify) ? TextAlign(align) : TextAlign::Left;
        f.leftMargin = r.U16();
        f.rightMargin = r.U16();
        f.indent = r.S16();
        f.leading = r.S16();
    }
    f.variable = r.String();
    if (flags & kEditHasText) f.initialText = r.String();
    ctx.Define(id, std::move(c));
}

void ReadCsmTextSettings(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    TextRenderSettings* s = FindSettings(ctx, id);
    if (!s) throw ReadError("text " + std::to_string(id) + " is not defined");
    s->present = true;
    s->useFlashType = static_cast<uint8_t>(r.Bits(kCsmFlashTypeBits));
    s->gridFit = static_cast<uint8_t>(r.Bits(kCsmGridFitBits));
    r.Bits(kCsmReservedBits);
    s->thicknessBits = r.U32();
    s->sharpnessBits = r.U32();
}

}  // namespace swf
