// GetGlyphOutline(GGO_NATIVE | GGO_UNHINTED) on a font created at its em
// square's height gives unscaled TrueType contours: polygon headers, each
// followed by lines, quadratic B-splines (consecutive off-curve points with
// implied on-curve midpoints) or cubic splines, in 16.16 fixed point with
// y up.
#include "hostfonts/GdiFontProvider.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "swf/text/OutlineBuilder.h"

namespace {

constexpr UINT kOutlineFormat = GGO_NATIVE | GGO_UNHINTED;
constexpr int kProbeHeight = 2048;  // to learn the em square
constexpr DWORD kMaxOutlineBytes = 1 << 20;

swf::Point ToPoint(const POINTFX& p) {
    auto fixed = [](const FIXED& f) {
        const int32_t v = (int32_t(f.value) << 16) | f.fract;
        return (v + 0x8000) >> 16;
    };
    return {fixed(p.x), fixed(p.y)};
}

std::wstring Wide(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

HFONT MakeFont(const std::wstring& face, int height, bool bold, bool italic) {
    LOGFONTW lf = {};
    lf.lfHeight = -height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

class GdiFont : public swf::DeviceFont {
public:
    GdiFont(HDC dc, HFONT font, const OUTLINETEXTMETRICW& otm) : dc_(dc), font_(font), old_(::SelectObject(dc, font)) {
        metrics_.emSquare = static_cast<int32_t>(otm.otmEMSquare);
        metrics_.ascent = otm.otmTextMetrics.tmAscent;
        metrics_.descent = otm.otmTextMetrics.tmDescent;
        metrics_.leading = otm.otmTextMetrics.tmExternalLeading;
    }
    ~GdiFont() override {
        ::SelectObject(dc_, old_);
        ::DeleteObject(font_);
        ::DeleteDC(dc_);
    }

    swf::DeviceFontMetrics Metrics() const override { return metrics_; }

    bool LoadGlyph(char32_t code, swf::DeviceGlyph* out) override {
        if (code > 0xFFFF) return false;  // GDI takes UTF-16 units here
        WORD index = 0;
        const WCHAR ch = static_cast<WCHAR>(code);
        if (::GetGlyphIndicesW(dc_, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
            return false;
        const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS gm = {};
        const DWORD size = ::GetGlyphOutlineW(dc_, ch, kOutlineFormat, &gm, 0, nullptr, &identity);
        if (size == GDI_ERROR) return false;
        out->advance = gm.gmCellIncX;
        if (size == 0 || size > kMaxOutlineBytes) return true;  // blank (a space)
        std::vector<uint8_t> buffer(size);
        if (::GetGlyphOutlineW(dc_, ch, kOutlineFormat, &gm, size, buffer.data(), &identity) == GDI_ERROR)
            return false;
        out->outline = Parse(buffer);
        return true;
    }

private:
    // TrueType contours: ink on the right of their direction, y up.
    static swf::Shape Parse(const std::vector<uint8_t>& buffer) {
        swf::OutlineBuilder b(true);
        size_t at = 0;
        while (at + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
            TTPOLYGONHEADER header;
            memcpy(&header, buffer.data() + at, sizeof header);
            if (header.cb < sizeof header || header.cb > buffer.size() - at) break;
            const size_t end = at + header.cb;
            b.MoveTo(ToPoint(header.pfxStart));
            swf::Point last = ToPoint(header.pfxStart);
            size_t p = at + sizeof header;
            while (p + offsetof(TTPOLYCURVE, apfx) <= end) {
                TTPOLYCURVE curve;
                memcpy(&curve, buffer.data() + p, offsetof(TTPOLYCURVE, apfx));
                const size_t count = curve.cpfx;
                const uint8_t* points = buffer.data() + p + offsetof(TTPOLYCURVE, apfx);
                if (p + offsetof(TTPOLYCURVE, apfx) + count * sizeof(POINTFX) > end) break;
                auto pt = [&](size_t i) {
                    POINTFX v;
                    memcpy(&v, points + i * sizeof(POINTFX), sizeof v);
                    return ToPoint(v);
                };
                if (curve.wType == TT_PRIM_LINE) {
                    for (size_t i = 0; i < count; ++i) b.LineTo(last = pt(i));
                } else if (curve.wType == TT_PRIM_QSPLINE) {
                    for (size_t i = 0; i + 1 < count; ++i) {
                        const swf::Point c = pt(i), next = pt(i + 1);
                        const swf::Point to = i + 2 == count ? next : swf::Point{(c.x + next.x) / 2, (c.y + next.y) / 2};
                        b.QuadTo(c, last = to);
                    }
                } else if (curve.wType == TT_PRIM_CSPLINE) {
                    for (size_t i = 0; i + 2 < count; i += 3) b.CubicTo(pt(i), pt(i + 1), last = pt(i + 2));
                }
                p += offsetof(TTPOLYCURVE, apfx) + count * sizeof(POINTFX);
            }
            at = end;
        }
        return b.Take();
    }

    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
    swf::DeviceFontMetrics metrics_;
};

}  // namespace

std::unique_ptr<swf::DeviceFont> GdiFontProvider::Open(const std::string& family, bool bold, bool italic) {
    const bool generic = family == "_sans" || family == "_serif" || family == "_typewriter";
    const std::wstring face = family == "_sans"         ? L"Arial"
                              : family == "_serif"      ? L"Times New Roman"
                              : family == "_typewriter" ? L"Courier New"
                                                        : Wide(family);
    if (face.empty()) return nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    // First learn the face's em square, then make it at exactly that height
    // so outlines come in design units.
    HFONT probe = MakeFont(face, kProbeHeight, bold, italic);
    OUTLINETEXTMETRICW otm = {};
    otm.otmSize = sizeof otm;
    bool ok = probe != nullptr;
    if (ok) {
        HGDIOBJ old = ::SelectObject(dc, probe);
        ok = ::GetOutlineTextMetricsW(dc, sizeof otm, &otm) != 0 && otm.otmEMSquare > 0;
        WCHAR actual[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, actual);
        // A named family must exist: the font mapper would substitute.
        if (ok && !generic && lstrcmpiW(actual, face.c_str()) != 0) ok = false;
        ::SelectObject(dc, old);
        ::DeleteObject(probe);
    }
    HFONT font = ok ? MakeFont(face, static_cast<int>(otm.otmEMSquare), bold, italic) : nullptr;
    if (font) {
        HGDIOBJ old = ::SelectObject(dc, font);
        ok = ::GetOutlineTextMetricsW(dc, sizeof otm, &otm) != 0;
        ::SelectObject(dc, old);
    }
    if (!font || !ok) {
        if (font) ::DeleteObject(font);
        ::DeleteDC(dc);
        return nullptr;
    }
    return std::make_unique<GdiFont>(dc, font, otm);
}
