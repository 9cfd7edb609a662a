// Font tags: DefineFont (glyph shapes only), DefineFontInfo/2 (name, style
// and codes of such a font), DefineFont2/3 (all of it in one tag),
// DefineFontAlignZones and DefineFontName (kept, not applied).
//
// Glyph offsets count from the start of the offset table. A glyph whose
// offsets fall outside the tag, or run backwards, stays empty and the tag is
// reported; the rest of the font is kept. Every count is checked against
// the bytes left before anything is reserved.
#include <algorithm>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr size_t kKerningNarrowBytes = 4;
constexpr size_t kKerningWideBytes = 6;
constexpr size_t kZoneRecordBytes = 10;  // count, two pairs of half-floats, mask
constexpr size_t kZoneDataBytes = 4;

FontData* FindFont(ReadContext& ctx, uint16_t id) {
    auto it = ctx.movie.dictionary.find(id);
    if (it == ctx.movie.dictionary.end() || it->second->kind != CharacterKind::Font) return nullptr;
    return &static_cast<FontCharacter&>(*it->second).font;
}

void TakeGlyphs(ReadContext& ctx, size_t count) {
    if (count > ctx.glyphsLeft) throw ReadError("too many glyphs in the movie");
    ctx.glyphsLeft -= count;
}

// Advance for a glyph without a layout table: its right-most point.
int32_t AdvanceFromShape(const Shape& s) {
    int32_t right = 0;
    for (const ShapeLayer& l : s.layers)
        for (const ShapeEdge& e : l.edges) right = std::max({right, e.from.x, e.to.x, e.control.x});
    return right;
}

// Reads a glyph from table[begin, end); a bad range leaves it empty and
// records the first problem in `problem`.
void ReadGlyphAt(ByteReader& table, size_t begin, size_t end, ReadContext& ctx, Glyph& g,
                 std::string& problem) {
    if (begin > end || end > table.Size()) {
        if (problem.empty()) problem = "glyph offset outside the tag";
        return;
    }
    try {
        ByteReader r = table.Sub(begin, end - begin);
        ReadGlyphShape(r, ctx, g.shape);
    } catch (const ReadError& e) {
        if (problem.empty()) problem = std::string("glyph shape: ") + e.what();
    }
}

void Finish(ReadContext& ctx, uint16_t id, std::unique_ptr<FontCharacter> c, const std::string& problem) {
    c->font.BuildCodeIndex();
    ctx.Define(id, std::move(c));
    if (!problem.empty()) throw ReadError(problem);
}

// DefineFont2 and DefineFont3 differ only in the glyph scale.
void ReadFont2(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const uint16_t id = r.U16();
    auto c = std::make_unique<FontCharacter>();
    FontData& f = c->font;
    f.emSquare = code == kTagDefineFont3 ? kEmSquareHighRes : kEmSquare;
    const uint8_t flags = r.U8();
    f.hasLayout = flags & kFontHasLayout;
    f.shiftJis = flags & kFontShiftJis;
    f.smallText = flags & kFontSmallText;
    f.ansi = flags & kFontAnsi;
    f.wideCodes = flags & kFontWideCodes;
    f.italic = flags & kFontItalic;
    f.bold = flags & kFontBold;
    const bool wideOffsets = flags & kFontWideOffsets;
    f.language = r.U8();
    size_t nameLength = r.U8();
    r.RequireItems(nameLength, 1, "font name");
    f.name.assign(reinterpret_cast<const char*>(r.Here()), nameLength);
    r.Skip(nameLength);
    f.name = f.name.substr(0, f.name.find('\0'));
    const size_t count = r.U16();
    const size_t offsetBytes = wideOffsets ? 4 : 2;
    r.RequireItems(count, offsetBytes, "glyph count");
    TakeGlyphs(ctx, count);
    f.glyphs.resize(count);
    // Offsets (and the code table's) count from the offset table.
    ByteReader table = r.Slice(r.Remaining());
    ByteReader offs = table;
    if (count == 0 && table.Remaining() < offsetBytes) {
        Finish(ctx, id, std::move(c), "");  // a device font by name only
        return;
    }
    std::vector<size_t> offsets(count + 1);
    for (size_t i = 0; i <= count; ++i) offsets[i] = wideOffsets ? offs.U32() : offs.U16();
    std::string problem;
    for (size_t i = 0; i < count; ++i) ReadGlyphAt(table, offsets[i], offsets[i + 1], ctx, f.glyphs[i], problem);
    if (offsets[count] > table.Size()) {
        Finish(ctx, id, std::move(c), "code table offset outside the tag");
        return;
    }
    ByteReader rest = table.Sub(offsets[count], table.Size() - offsets[count]);
    try {
        rest.RequireItems(count, f.wideCodes ? 2 : 1, "code table");
        for (Glyph& g : f.glyphs) g.code = f.wideCodes ? rest.U16() : rest.U8();
        f.hasCodes = true;
        if (f.hasLayout) {
            f.ascent = rest.U16();
            f.descent = rest.U16();
            f.leading = rest.S16();
            rest.RequireItems(count, 2, "advance table");
            for (Glyph& g : f.glyphs) g.advance = rest.S16();
            for (Glyph& g : f.glyphs) g.bounds = rest.ReadRect();
            size_t kerns = rest.U16();
            const size_t kernBytes = f.wideCodes ? kKerningWideBytes : kKerningNarrowBytes;
            if (kerns > rest.Remaining() / kernBytes) {
                if (problem.empty()) problem = "kerning table runs past the tag";
                kerns = rest.Remaining() / kernBytes;
            }
            f.kerning.resize(kerns);
            for (KerningPair& k : f.kerning) {
                k.left = f.wideCodes ? rest.U16() : rest.U8();
                k.right = f.wideCodes ? rest.U16() : rest.U8();
                k.adjust = rest.S16();
            }
        } else {
            for (Glyph& g : f.glyphs) g.advance = AdvanceFromShape(g.shape);
        }
    } catch (const ReadError& e) {
        if (problem.empty()) problem = e.what();
    }
    Finish(ctx, id, std::move(c), problem);
}

}  // namespace

void ReadDefineFont(ByteReader& r, uint16_t code, ReadContext& ctx) {
    if (code != kTagDefineFont) return ReadFont2(r, code, ctx);
    const uint16_t id = r.U16();
    auto c = std::make_unique<FontCharacter>();
    ByteReader table = r.Slice(r.Remaining());
    std::string problem;
    if (!table.AtEnd()) {
        ByteReader offs = table;
        const size_t first = offs.U16();
        const size_t count = first / 2;
        if (count * 2 > table.Size()) throw ReadError("offset table runs past the tag");
        TakeGlyphs(ctx, count);
        std::vector<size_t> offsets(count + 1, table.Size());
        offsets[0] = first;
        for (size_t i = 1; i < count; ++i) offsets[i] = offs.U16();
        c->font.glyphs.resize(count);
        for (size_t i = 0; i < count; ++i)
            ReadGlyphAt(table, offsets[i], offsets[i + 1], ctx, c->font.glyphs[i], problem);
        for (Glyph& g : c->font.glyphs) g.advance = AdvanceFromShape(g.shape);
    }
    Finish(ctx, id, std::move(c), problem);
}

void ReadDefineFontInfo(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const uint16_t id = r.U16();
    FontData* f = FindFont(ctx, id);
    if (!f) throw ReadError("font " + std::to_string(id) + " is not defined");
    size_t nameLength = r.U8();
    r.RequireItems(nameLength, 1, "font name");
    std::string name(reinterpret_cast<const char*>(r.Here()), nameLength);
    r.Skip(nameLength);
    f->name = name.substr(0, name.find('\0'));
    const uint8_t flags = r.U8();
    f->smallText = flags & kFontInfoSmallText;
    f->shiftJis = flags & kFontInfoShiftJis;
    f->ansi = flags & kFontInfoAnsi;
    f->italic = flags & kFontInfoItalic;
    f->bold = flags & kFontInfoBold;
    f->wideCodes = code == kTagDefineFontInfo2 || (flags & kFontInfoWideCodes);
    if (code == kTagDefineFontInfo2) f->language = r.U8();
    std::string problem;
    for (Glyph& g : f->glyphs) {
        if (r.Remaining() < (f->wideCodes ? 2u : 1u)) {
            problem = "code table is shorter than the font's glyphs";
            break;
        }
        g.code = f->wideCodes ? r.U16() : r.U8();
    }
    f->hasCodes = true;
    f->BuildCodeIndex();
    if (!problem.empty()) throw ReadError(problem);
}

void ReadDefineFontAlignZones(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    FontData* f = FindFont(ctx, id);
    if (!f) throw ReadError("font " + std::to_string(id) + " is not defined");
    f->csmTableHint = static_cast<uint8_t>(r.U8() >> (8 - kFontZoneHintBits));
    f->zones.clear();
    const size_t count = std::min(f->glyphs.size(), r.Remaining() / kZoneRecordBytes);
    f->zones.reserve(count);
    for (size_t i = 0; i < f->glyphs.size() && !r.AtEnd(); ++i) {
        AlignZone z;
        const size_t pairs = r.U8();
        r.RequireItems(pairs, kZoneDataBytes, "zone data");
        for (size_t p = 0; p < pairs; ++p) {
            const uint16_t coord = r.U16(), range = r.U16();
            if (p == 0) z.x = coord, z.width = range;
            if (p == 1) z.y = coord, z.height = range;
        }
        const uint8_t mask = r.U8();
        z.hasX = mask & kZoneMaskX;
        z.hasY = mask & kZoneMaskY;
        f->zones.push_back(z);
    }
}

void ReadDefineFontName(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    FontData* f = FindFont(ctx, id);
    if (!f) throw ReadError("font " + std::to_string(id) + " is not defined");
    f->fullName = r.String();
    f->copyright = r.String();
}

}  // namespace swf
