// Fonts for text, embedded or from the system, behind one face interface,
// and the library that finds and caches them (and the static texts drawn
// with them) for one playing movie.
//
// A face gives glyph outlines and advances in its em units; outlines are
// cached per face, never per size, so text at every size shares them.
// Device faces come from the host's FontProvider: a family the system
// lacks falls back to "_sans", and without any provider (or when even
// "_sans" is missing) text draws nothing but still lays out by metrics.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "swf/host/DeviceFont.h"
#include "swf/model/Font.h"

namespace swf {

class Movie;
struct StaticTextCharacter;

struct FaceGlyph {
    const Shape* shape = nullptr;  // null: nothing to draw
    int32_t advance = 0;           // em units
};

class FontFace {
public:
    virtual ~FontFace() = default;
    virtual DeviceFontMetrics Metrics() const = 0;
    // False when the face has no glyph for `code`.
    virtual bool Find(char32_t code, FaceGlyph* out) = 0;
    virtual int32_t Kerning(char32_t left, char32_t right) = 0;
};

class FontLibrary {
public:
    // Distinct device faces kept open; further requests use "_sans".
    static constexpr size_t kMaxDeviceFaces = 64;

    explicit FontLibrary(const Movie& movie);
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // Replaces the provider; faces opened through the old one are dropped.
    void SetProvider(std::shared_ptr<FontProvider> provider);
    const std::shared_ptr<FontProvider>& Provider() const { return provider_; }

    // The movie's font `id` when it has outlines, else null.
    FontFace* Embedded(uint16_t id);
    // A movie font with outlines by name and style (style ignored when only
    // the name matches), else null.
    FontFace* EmbeddedByName(const std::string& name, bool bold, bool italic);
    // A system face; never null (an empty face when nothing is available).
    FontFace* Device(const std::string& family, bool bold, bool italic);
    // The first of the system's standard faces that has `code`, else null.
    FontFace* DeviceWith(char32_t code, bool bold, bool italic);

    // The glyphs of a static text as one shape, built once per movie and
    // shared by every instance (seeks rebuild instances often).
    const Shape& StaticTextDrawing(const StaticTextCharacter& text);
    // Names that drawing for the backend's cache of drawn shapes.
    uint64_t StaticTextKey(const StaticTextCharacter& text);

private:
    FontFace* OpenDevice(const std::string& family, bool bold, bool italic);

    const Movie& movie_;
    std::shared_ptr<FontProvider> provider_;
    std::unordered_map<uint16_t, std::unique_ptr<FontFace>> embedded_;
    std::map<std::string, std::unique_ptr<FontFace>> device_;  // null entries: not found
    std::unique_ptr<FontFace> empty_;
    struct StaticDrawing {
        Shape shape;
        uint64_t key = 0;
    };
    std::unordered_map<const StaticTextCharacter*, std::unique_ptr<StaticDrawing>> staticTexts_;
};

}  // namespace swf
