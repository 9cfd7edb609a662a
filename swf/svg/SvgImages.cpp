// Pictures inside the SVG: bitmap fills, and the objects SVG cannot say,
// drawn by the raster backend. Both become PNG data URIs.
#include <algorithm>

#include "swf/model/Bitmap.h"
#include "swf/render/RasterBackend.h"
#include "swf/svg/SvgBackend.h"

namespace swf {

namespace {

constexpr double kChannelMax = 255.0;
constexpr double kMulOne = 256.0;

std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t v = uint32_t(bytes[i]) << 16;
        if (n > 1) v |= uint32_t(bytes[i + 1]) << 8;
        if (n > 2) v |= bytes[i + 2];
        out += kDigits[(v >> 18) & 63];
        out += kDigits[(v >> 12) & 63];
        out += n > 1 ? kDigits[(v >> 6) & 63] : '=';
        out += n > 2 ? kDigits[v & 63] : '=';
    }
    return out;
}

std::string Size(int width, int height) {
    return " width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
}

}  // namespace

std::string SvgBackend::DataUri(const FrameBuffer& image) const {
    const std::vector<uint8_t> png = encoder_ ? encoder_(image) : std::vector<uint8_t>();
    return png.empty() ? std::string() : "data:image/png;base64," + Base64(png);
}

std::string SvgBackend::ImageId(uint16_t bitmapId, const Bitmap& bitmap) {
    auto found = images_.find(bitmapId);
    if (found != images_.end()) return found->second;
    FrameBuffer copy(bitmap.width, bitmap.height);
    std::copy(bitmap.pixels.begin(), bitmap.pixels.end(), copy.Data());
    const std::string uri = DataUri(copy);
    std::string id;
    if (!uri.empty()) {
        id = NewId('i');
        body_ += "<defs><image id=\"" + id + "\"" + Size(bitmap.width, bitmap.height) +
                 " preserveAspectRatio=\"none\" xlink:href=\"" + uri + "\"/></defs>\n";
    }
    images_[bitmapId] = id;
    return id;
}

// The colour transform as a filter on straight colour, as the raster
// backend applies it.
std::string SvgBackend::ColorFilter(const ColorTransform& cx) {
    if (cx.IsIdentity()) return {};
    const std::string id = NewId('f');
    auto row = [](int channel, int mul, int add) {
        std::string r;
        for (int i = 0; i < 4; ++i) r += (i == channel ? SvgNumber(mul / kMulOne) : "0") + " ";
        return r + SvgNumber(add / kChannelMax) + " ";
    };
    body_ += "<filter id=\"" + id + "\" color-interpolation-filters=\"sRGB\"><feColorMatrix type=\"matrix\" values=\"" +
             row(0, cx.rMul, cx.rAdd) + row(1, cx.gMul, cx.gAdd) + row(2, cx.bMul, cx.bAdd) +
             row(3, cx.aMul, cx.aAdd) + "\"/></filter>\n";
    return " filter=\"url(#" + id + ")\"";
}

// Repeating fills are patterns of one tile; clipped ones the bitmap itself
// cut by the path (its edge texels are not stretched beyond it).
void SvgBackend::DrawBitmapFill(const FillStyle& fill, const std::string& pathData, const char* rule,
                                const Matrix& toTarget, const ColorTransform& cxform) {
    const Bitmap* bitmap = bitmaps_ ? bitmaps_->FindBitmap(fill.bitmapId) : nullptr;
    if (!bitmap || bitmap->Empty()) return;
    const std::string image = ImageId(fill.bitmapId, *bitmap);
    if (image.empty()) return;
    std::string use = "<use xlink:href=\"#" + image + "\"" + ColorFilter(cxform);
    if (!fill.bitmapSmooth || quality_ == Quality::Low) use += " image-rendering=\"optimizeSpeed\"";
    const std::string transform = SvgTransform(toTarget, fill.matrix);
    const std::string id = NewId(fill.bitmapRepeat ? 'p' : 'c');
    if (fill.bitmapRepeat) {
        body_ += "<pattern id=\"" + id + "\" patternUnits=\"userSpaceOnUse\"" + Size(bitmap->width, bitmap->height) +
                 " patternTransform=\"" + transform + "\">" + use + "/></pattern>\n";
        body_ += "<path d=\"" + pathData + "\" fill=\"url(#" + id + ")\"" + rule + "/>\n";
        return;
    }
    std::string clipRule = rule[0] ? " clip-rule=\"evenodd\"" : "";
    body_ += "<clipPath id=\"" + id + "\"><path d=\"" + pathData + "\"" + clipRule + "/></clipPath>\n";
    body_ += "<g clip-path=\"url(#" + id + ")\">" + use + " transform=\"" + transform + "\"/></g>\n";
}

void SvgBackend::BeginRaster(const LayerStyle& style) {
    rasterDepth_ = 1;
    if (!encoder_) return;  // nothing could show what it draws
    if (!rasterTarget_) {
        rasterTarget_ = std::make_unique<FrameBuffer>(width_, height_);
        raster_ = std::make_unique<RasterBackend>(*rasterTarget_);
        raster_->SetTransparent(true);
    }
    raster_->SetQuality(quality_);
    raster_->SetBitmaps(bitmaps_);
    raster_->BeginFrame(Rgba{0, 0, 0, 0});
    raster_->PushLayer(style);
}

// Embeds what the fallback drew, cut to the pixels it touched.
void SvgBackend::EndRaster() {
    if (!raster_) return;
    raster_->EndFrame();
    const FrameBuffer& full = *rasterTarget_;
    int x0 = full.Width(), y0 = full.Height(), x1 = -1, y1 = -1;
    for (int y = 0; y < full.Height(); ++y)
        for (int x = 0; x < full.Width(); ++x)
            if (full.At(x, y) != 0) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    if (x1 < 0) return;
    FrameBuffer cut(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y) std::copy(full.Row(y) + x0, full.Row(y) + x1 + 1, cut.Row(y - y0));
    const std::string uri = DataUri(cut);
    if (uri.empty()) return;
    body_ += "<image x=\"" + std::to_string(x0) + "\" y=\"" + std::to_string(y0) + "\"" +
             Size(cut.Width(), cut.Height()) + " xlink:href=\"" + uri + "\"/>\n";
}

}  // namespace swf
