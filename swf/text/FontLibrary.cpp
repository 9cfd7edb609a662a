#include "swf/text/FontLibrary.h"

#include <algorithm>

#include "swf/model/Movie.h"
#include "swf/render/SpanRecording.h"
#include "swf/text/TextShape.h"

namespace swf {

namespace {

class EmbeddedFace : public FontFace {
public:
    explicit EmbeddedFace(const FontData& font) : font_(font) {}

    DeviceFontMetrics Metrics() const override {
        DeviceFontMetrics m;
        m.emSquare = font_.emSquare;
        m.ascent = font_.ascent;
        m.descent = font_.descent;
        m.leading = font_.leading;
        if (!font_.hasLayout) {  // no metrics stored: the usual proportions
            m.ascent = font_.emSquare * 4 / 5;
            m.descent = font_.emSquare / 5;
        }
        return m;
    }

    bool Find(char32_t code, FaceGlyph* out) override {
        const int32_t i = font_.IndexOf(code);
        if (i < 0) return false;
        const Glyph& g = font_.glyphs[static_cast<size_t>(i)];
        out->shape = &g.shape;
        out->advance = g.advance;
        return true;
    }

    int32_t Kerning(char32_t left, char32_t right) override { return font_.Kerning(left, right); }

private:
    const FontData& font_;
};

class DeviceFace : public FontFace {
public:
    // Code points cached per face. Laid-out text points into the cache, so
    // it never drops an entry; past the cap, new characters draw nothing.
    static constexpr size_t kMaxCachedGlyphs = 1 << 14;

    explicit DeviceFace(std::unique_ptr<DeviceFont> font) : font_(std::move(font)), metrics_(font_->Metrics()) {
        if (metrics_.emSquare <= 0) metrics_.emSquare = kEmSquare;
    }

    DeviceFontMetrics Metrics() const override { return metrics_; }

    bool Find(char32_t code, FaceGlyph* out) override {
        auto it = cache_.find(code);
        if (it == cache_.end()) {
            if (cache_.size() >= kMaxCachedGlyphs) return false;
            auto glyph = std::make_unique<DeviceGlyph>();
            if (!font_->LoadGlyph(code, glyph.get())) glyph.reset();
            it = cache_.emplace(code, std::move(glyph)).first;
        }
        if (!it->second) return false;
        out->shape = &it->second->outline;
        out->advance = it->second->advance;
        return true;
    }

    int32_t Kerning(char32_t left, char32_t right) override { return font_->Kerning(left, right); }

private:
    std::unique_ptr<DeviceFont> font_;
    DeviceFontMetrics metrics_;
    std::unordered_map<char32_t, std::unique_ptr<DeviceGlyph>> cache_;
};

class EmptyFace : public FontFace {
public:
    DeviceFontMetrics Metrics() const override {
        DeviceFontMetrics m;
        m.ascent = kEmSquare * 4 / 5;
        m.descent = kEmSquare / 5;
        return m;
    }
    bool Find(char32_t, FaceGlyph*) override { return false; }
    int32_t Kerning(char32_t, char32_t) override { return 0; }
};

const FontData* FontById(const Movie& movie, uint16_t id) {
    const Character* c = movie.Find(id);
    if (!c || c->kind != CharacterKind::Font) return nullptr;
    return &static_cast<const FontCharacter*>(c)->font;
}

}  // namespace

FontLibrary::FontLibrary(const Movie& movie) : movie_(movie), empty_(std::make_unique<EmptyFace>()) {}

FontLibrary::~FontLibrary() = default;

void FontLibrary::SetProvider(std::shared_ptr<FontProvider> provider) {
    provider_ = std::move(provider);
    device_.clear();
}

FontFace* FontLibrary::Embedded(uint16_t id) {
    auto it = embedded_.find(id);
    if (it != embedded_.end()) return it->second.get();
    const FontData* font = FontById(movie_, id);
    std::unique_ptr<FontFace> face;
    if (font && !font->IsDeviceOnly()) face = std::make_unique<EmbeddedFace>(*font);
    return embedded_.emplace(id, std::move(face)).first->second.get();
}

FontFace* FontLibrary::EmbeddedByName(const std::string& name, bool bold, bool italic) {
    FontFace* byName = nullptr;
    for (const auto& entry : movie_.dictionary) {
        if (entry.second->kind != CharacterKind::Font) continue;
        const FontData& f = static_cast<const FontCharacter&>(*entry.second).font;
        if (f.name != name) continue;
        FontFace* face = Embedded(entry.first);
        if (!face) continue;
        if (f.bold == bold && f.italic == italic) return face;
        if (!byName) byName = face;
    }
    return byName;
}

FontFace* FontLibrary::OpenDevice(const std::string& family, bool bold, bool italic) {
    const std::string key = family + (bold ? "|b" : "|") + (italic ? "i" : "");
    auto it = device_.find(key);
    if (it != device_.end()) return it->second.get();
    if (!provider_ || device_.size() >= kMaxDeviceFaces) return nullptr;
    std::unique_ptr<DeviceFont> font = provider_->Open(family, bold, italic);
    std::unique_ptr<FontFace> face;
    if (font) face = std::make_unique<DeviceFace>(std::move(font));
    return device_.emplace(key, std::move(face)).first->second.get();
}

const Shape& FontLibrary::StaticTextDrawing(const StaticTextCharacter& text) {
    std::unique_ptr<StaticDrawing>& s = staticTexts_[&text];
    if (!s) s = std::make_unique<StaticDrawing>(StaticDrawing{BuildStaticText(text.text, movie_, *this), NewShapeCacheKey()});
    return s->shape;
}

uint64_t FontLibrary::StaticTextKey(const StaticTextCharacter& text) {
    StaticTextDrawing(text);
    return staticTexts_[&text]->key;
}

FontFace* FontLibrary::DeviceWith(char32_t code, bool bold, bool italic) {
    FaceGlyph g;
    for (const char* family : {"_sans", "_serif", "_typewriter"})
        if (FontFace* f = OpenDevice(family, bold, italic); f && f->Find(code, &g)) return f;
    return nullptr;
}

FontFace* FontLibrary::Device(const std::string& family, bool bold, bool italic) {
    // A font name may list families to try in turn: "Arial, Helvetica".
    for (size_t at = 0; at <= family.size();) {
        const size_t comma = std::min(family.find(',', at), family.size());
        const size_t b = family.find_first_not_of(' ', at);
        const size_t e = family.find_last_not_of(' ', comma - 1);
        if (b < comma && e != std::string::npos && e >= b)
            if (FontFace* f = OpenDevice(family.substr(b, e - b + 1), bold, italic)) return f;
        at = comma + 1;
    }
    if (FontFace* f = OpenDevice("_sans", bold, italic)) return f;
    if (FontFace* f = OpenDevice("_sans", false, false)) return f;
    return empty_.get();
}

}  // namespace swf
