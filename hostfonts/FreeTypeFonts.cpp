// FreeType + fontconfig behind the engine's FontProvider.
//
// Glyphs are loaded unscaled and unhinted (FT_LOAD_NO_SCALE), so outlines,
// advances and metrics are the font's own units and the engine scales them
// exactly like embedded glyphs; one outline serves every size.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string>

#include "swf/text/OutlineBuilder.h"
#include "hostfonts/SystemFonts.h"

namespace hostfonts {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// One FreeType library for the process; faces keep it alive.
struct Library {
    FT_Library ft = nullptr;
    Library() {
        if (FT_Init_FreeType(&ft) != 0) ft = nullptr;
    }
    ~Library() {
        if (ft) FT_Done_FreeType(ft);
    }
};

// FreeType's outline walk, into the engine's outline builder.
swf::Point ToPoint(const FT_Vector* v) { return {static_cast<int32_t>(v->x), static_cast<int32_t>(v->y)}; }

int MoveTo(const FT_Vector* to, void* user) {
    static_cast<swf::OutlineBuilder*>(user)->MoveTo(ToPoint(to));
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    static_cast<swf::OutlineBuilder*>(user)->LineTo(ToPoint(to));
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    static_cast<swf::OutlineBuilder*>(user)->QuadTo(ToPoint(control), ToPoint(to));
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<swf::OutlineBuilder*>(user)->CubicTo(ToPoint(c1), ToPoint(c2), ToPoint(to));
    return 0;
}

class FreeTypeFont : public swf::DeviceFont {
public:
    FreeTypeFont(std::shared_ptr<Library> lib, FT_Face face) : lib_(std::move(lib)), face_(face) {}
    ~FreeTypeFont() override { FT_Done_Face(face_); }

    swf::DeviceFontMetrics Metrics() const override {
        swf::DeviceFontMetrics m;
        m.emSquare = face_->units_per_EM > 0 ? face_->units_per_EM : swf::kEmSquare;
        m.ascent = face_->ascender;
        m.descent = -face_->descender;
        m.leading = std::max(0, face_->height - m.ascent - m.descent);
        return m;
    }

    bool LoadGlyph(char32_t code, swf::DeviceGlyph* out) override {
        const FT_UInt index = FT_Get_Char_Index(face_, code);
        if (index == 0) return false;
        if (FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
        out->advance = static_cast<int32_t>(face_->glyph->metrics.horiAdvance);
        if (face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return true;
        FT_Outline& outline = face_->glyph->outline;
        if (outline.n_contours == 0) return true;  // a space
        // TrueType outer contours run clockwise (y up): the ink on the right.
        swf::OutlineBuilder builder(FT_Outline_Get_Orientation(&outline) == FT_ORIENTATION_TRUETYPE);
        FT_Outline_Funcs funcs{};
        funcs.move_to = &MoveTo;
        funcs.line_to = &LineTo;
        funcs.conic_to = &ConicTo;
        funcs.cubic_to = &CubicTo;
        FT_Outline_Decompose(&outline, &funcs, &builder);
        out->outline = builder.Take();
        return true;
    }

    int32_t Kerning(char32_t left, char32_t right) override {
        if (!FT_HAS_KERNING(face_)) return 0;
        FT_Vector k{};
        if (FT_Get_Kerning(face_, FT_Get_Char_Index(face_, left), FT_Get_Char_Index(face_, right),
                           FT_KERNING_UNSCALED, &k) != 0)
            return 0;
        return static_cast<int32_t>(k.x);
    }

private:
    std::shared_ptr<Library> lib_;
    FT_Face face_;
};

class FreeTypeProvider : public swf::FontProvider {
public:
    explicit FreeTypeProvider(std::shared_ptr<Library> lib) : lib_(std::move(lib)) {}

    std::unique_ptr<swf::DeviceFont> Open(const std::string& family, bool bold, bool italic) override {
        // The generic names are the faces a Windows player picks; fontconfig
        // substitutes a metric-compatible face where those are missing, so
        // lines break and glyphs sit where they would there.
        const std::string generic = family == "_sans"        ? "Arial"
                                    : family == "_serif"     ? "Times New Roman"
                                    : family == "_typewriter" ? "Courier New"
                                                              : "";
        const std::string wanted = generic.empty() ? family : generic;
        std::string file, found;
        int index = 0;
        if (!Match(wanted, bold, italic, &file, &index, &found)) return nullptr;
        // A named family must be installed: fontconfig would substitute.
        if (generic.empty() && Lower(found) != Lower(family)) return nullptr;
        FT_Face face = nullptr;
        if (FT_New_Face(lib_->ft, file.c_str(), index, &face) != 0) return nullptr;
        if (!FT_IS_SCALABLE(face)) {
            FT_Done_Face(face);
            return nullptr;
        }
        return std::make_unique<FreeTypeFont>(lib_, face);
    }

private:
    static bool Match(const std::string& family, bool bold, bool italic, std::string* file, int* index,
                      std::string* found) {
        static std::mutex lock;  // fontconfig's default config is shared
        std::lock_guard<std::mutex> guard(lock);
        FcPattern* pattern = FcPatternCreate();
        if (!pattern) return false;
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match) return false;
        FcChar8* path = nullptr;
        FcChar8* name = nullptr;
        const bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
                        FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch;
        if (ok) {
            *file = reinterpret_cast<const char*>(path);
            *found = reinterpret_cast<const char*>(name);
            if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
        }
        FcPatternDestroy(match);
        return ok;
    }

    std::shared_ptr<Library> lib_;
};

}  // namespace

std::shared_ptr<swf::FontProvider> SystemFontProvider() {
    if (!FcInit()) return nullptr;
    auto lib = std::make_shared<Library>();
    if (!lib->ft) return nullptr;
    return std::make_shared<FreeTypeProvider>(std::move(lib));
}

}  // namespace hostfonts
