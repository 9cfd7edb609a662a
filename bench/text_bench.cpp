// Text rendering speed, one core: a 550 x 400 frame with about 2,000
// glyphs: static text (1,200 glyphs) and two edit fields (400 each), one in
// the movie's embedded font and one in a system font (FreeType, "_sans").
// The embedded font is made from the system's serif outlines, so glyphs
// have real curves. Prints frames per second next to the goal of 300, the
// cost of the first frame (layout and outline loading), and the glyph
// count. Build in Release. Never fails.
#include <chrono>
#include <cstdio>
#include <string>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "hostfonts/SystemFonts.h"
#include "tools/swfmake/TextTags.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalFps = 300;
constexpr int kFrames = 300;
constexpr int kStaticLines = 20;
constexpr int kCharsPerLine = 60;
constexpr size_t kFieldChars = 400;
const std::u32string kAlphabet = U" abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ,.!'";

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The system serif face as an embedded font at the high resolution.
swf::FontData FontFromSystem(swf::FontProvider& provider) {
    swf::FontData f;
    f.name = "BenchSerif";
    f.hasLayout = true;
    f.hasCodes = true;
    f.wideCodes = true;
    f.emSquare = swf::kEmSquareHighRes;
    auto font = provider.Open("_serif", false, false);
    if (!font) return f;
    const swf::DeviceFontMetrics m = font->Metrics();
    auto scale = [&](int32_t v) { return static_cast<int32_t>(int64_t(v) * f.emSquare / m.emSquare); };
    f.ascent = scale(m.ascent);
    f.descent = scale(m.descent);
    for (char32_t c : kAlphabet) {
        swf::DeviceGlyph dg;
        if (!font->LoadGlyph(c, &dg)) continue;
        swf::Glyph g;
        g.code = static_cast<uint16_t>(c);
        g.advance = scale(dg.advance);
        g.shape = dg.outline;
        for (swf::ShapeLayer& l : g.shape.layers)
            for (swf::ShapeEdge& e : l.edges)
                for (swf::Point* p : {&e.from, &e.control, &e.to}) *p = {scale(p->x), scale(p->y)};
        if (g.shape.layers.empty()) g.shape.layers.emplace_back();
        if (g.shape.layers[0].fills.empty()) g.shape.layers[0].fills.emplace_back();
        f.glyphs.push_back(std::move(g));
    }
    return f;
}

std::u32string Words(size_t count, size_t seed) {
    std::u32string s;
    for (size_t i = 0; s.size() < count; ++i) {
        const size_t len = 2 + (i * 7 + seed) % 7;
        for (size_t k = 0; k < len && s.size() < count; ++k) s.push_back(kAlphabet[1 + (i * 13 + k * 5 + seed) % 52]);
        if (s.size() < count) s.push_back(U' ');
    }
    return s;
}

std::string Utf8(const std::u32string& s) { return std::string(s.begin(), s.end()); }  // ASCII only

std::vector<uint8_t> BuildMovie(const swf::FontData& font) {
    swfmake::SwfWriter w(8, {0, 550 * 20, 0, 400 * 20}, 24);
    swfmake::DefineFont2(w.Tags(), 1, font, 3);
    swf::StaticTextData text;
    text.bounds = {0, 11000, 0, 6000};
    for (int line = 0; line < kStaticLines; ++line)
        text.runs.push_back(swfmake::MakeRun(font, 1, Words(kCharsPerLine, line), 240,
                                             {uint8_t(line * 10), 40, 90, 255}, 200, 300 + line * 260));
    swfmake::DefineText(w.Tags(), 2, text);
    swf::EditTextData field;
    field.multiline = field.wordWrap = true;
    field.hasFont = field.hasColor = true;
    field.height = 220;
    field.color = {10, 60, 10, 255};
    field.fontId = 1;
    field.useOutlines = true;
    field.bounds = {0, 5200, 0, 2400};
    field.initialText = Utf8(Words(kFieldChars, 3));
    swfmake::DefineEditText(w.Tags(), 3, field);
    field.useOutlines = false;
    field.hasFont = false;
    field.fontClass = "_sans";
    field.border = true;
    field.initialText = Utf8(Words(kFieldChars, 5));
    swfmake::DefineEditText(w.Tags(), 4, field);
    w.Tags().PlaceObject(2, 1);
    w.Tags().PlaceObject(3, 2, swf::Matrix::Translate(200, 5400));
    w.Tags().PlaceObject(4, 3, swf::Matrix::Translate(5600, 5400));
    w.Tags().ShowFrame();
    return w.Write(false);
}

}  // namespace

int main() {
#ifndef NDEBUG
    std::printf("note: a debug build; figures are not meaningful\n");
#endif
    auto provider = hostfonts::SystemFontProvider();
    if (!provider) {
        std::printf("text_bench: no system fonts; nothing measured\n");
        return 0;
    }
    const swf::FontData font = FontFromSystem(*provider);
    swf::Player player;
    player.SetFontProvider(provider);
    Clock::time_point load = Clock::now();
    if (!player.LoadBytes(BuildMovie(font))) {
        std::printf("text_bench: the movie did not load\n");
        return 0;
    }
    for (const std::string& e : player.Errors()) std::printf("  load error: %s\n", e.c_str());
    swf::FrameBuffer target(550, 400);
    player.Render(target);
    const double firstMs = MsSince(load);
    Clock::time_point t = Clock::now();
    for (int i = 0; i < kFrames; ++i) player.Render(target);
    const double ms = MsSince(t) / kFrames;
    const size_t glyphs = size_t(kStaticLines) * kCharsPerLine + 2 * kFieldChars;
    std::printf("text_bench: 550 x 400, about %zu glyphs (spaces included), %zu-glyph embedded font\n", glyphs,
                font.glyphs.size());
    std::printf("  first frame (load, layout, outlines): %.2f ms\n", firstMs);
    std::printf("  %.1f frames/s, %.3f ms/frame (goal %.0f frames/s)\n", 1000.0 / ms, ms, kGoalFps);
    return 0;
}
