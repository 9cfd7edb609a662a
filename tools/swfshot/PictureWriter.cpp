#include "tools/swfshot/PictureWriter.h"

#include "swf/Player.h"
#include "swf/render/RasterBackend.h"
#include "swf/svg/SvgBackend.h"

namespace swfshot {

PictureWriter::PictureWriter(const Options& options, std::ostream& out) : options_(options), out_(out) {}
PictureWriter::~PictureWriter() = default;

bool PictureWriter::Begin(const std::string& moviePath, int width, int height, uint16_t rate88,
                          const std::vector<int>& numbers, std::string* error) {
    PatternInfo info;
    CheckOutputPattern(options_.Pattern(), error, &info);
    if (options_.WritesImages() && numbers.size() > 1 && !info.hasNumber) {
        *error = "output name \"" + options_.Pattern() + "\" needs %d for " + std::to_string(numbers.size()) +
                 " pictures";
        return false;
    }
    movieName_ = MovieName(moviePath);
    width_ = width;
    height_ = height;
    rate88_ = rate88;
    numbers_ = numbers;
    shot_ = 0;
    image_.Resize(width, height);
    if (raster_)
        raster_->Retarget(image_);
    else
        raster_ = std::make_unique<swf::RasterBackend>(image_);
    raster_->SetTransparent(options_.transparent);
    apng_.reset();
    if (!options_.apngPath.empty()) apng_ = std::make_unique<ApngWriter>(width, height, options_.format);
    return true;
}

FrameDelay PictureWriter::DelayAfter(size_t index) const {
    int gap = 1;
    if (index + 1 < numbers_.size())
        gap = numbers_[index + 1] - numbers_[index];
    else if (index > 0)
        gap = numbers_[index] - numbers_[index - 1];
    return DelayOfTicks(gap, rate88_);
}

bool PictureWriter::Shoot(swf::Player& player, int number, std::string* error) {
    const std::string name = FormatOutputName(options_.Pattern(), number, movieName_);
    const bool images = options_.WritesImages();
    if (images && options_.kind == ImageKind::Svg) {
        swf::SvgBackend svg(width_, height_);
        svg.SetTransparent(options_.transparent);
        svg.SetImageEncoder([](const swf::FrameBuffer& image) { return EncodePng(image, PngFormat::Rgba); });
        player.RenderTo(svg, width_, height_);
        const std::string& doc = svg.Document();
        if (!WriteFileBytes(name, std::vector<uint8_t>(doc.begin(), doc.end()), error)) return false;
    }
    if ((images && options_.kind == ImageKind::Png) || apng_) {
        player.RenderTo(*raster_, width_, height_);
        if (apng_ && !apng_->AddFrame(image_, DelayAfter(shot_))) {
            *error = "cannot encode picture " + std::to_string(number);
            return false;
        }
        if (images && options_.kind == ImageKind::Png) {
            std::vector<uint8_t> png = EncodePng(image_, options_.format);
            if (png.empty()) {
                *error = "cannot encode picture " + std::to_string(number);
                return false;
            }
            if (!WriteFileBytes(name, png, error)) return false;
        }
    }
    ++shot_;
    if (images && !options_.quiet) out_ << name << "\n";
    return true;
}

bool PictureWriter::Finish(std::string* error) {
    if (!apng_) return true;
    const std::string name = FormatOutputName(options_.apngPath, 0, movieName_);
    if (!WriteFileBytes(name, apng_->Finish(), error)) return false;
    if (!options_.quiet) out_ << name << "\n";
    return true;
}

}  // namespace swfshot
