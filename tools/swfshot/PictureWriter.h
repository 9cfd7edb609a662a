// Writes the pictures of one movie: PNG or SVG files named by the output
// pattern, and the frames of the animated PNG.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "swf/model/FrameBuffer.h"
#include "tools/swfshot/ApngWriter.h"
#include "tools/swfshot/Options.h"

namespace swf {
class Player;
class RasterBackend;
}  // namespace swf

namespace swfshot {

class PictureWriter {
public:
    PictureWriter(const Options& options, std::ostream& out);
    ~PictureWriter();

    // Starts a movie whose pictures will be `numbers` (ascending); false
    // when the pattern cannot name them all apart.
    bool Begin(const std::string& moviePath, int width, int height, uint16_t rate88,
               const std::vector<int>& numbers, std::string* error);
    // Draws what the player shows now as picture `number`.
    bool Shoot(swf::Player& player, int number, std::string* error);
    // Writes the animation, if one was asked for.
    bool Finish(std::string* error);

private:
    FrameDelay DelayAfter(size_t index) const;

    const Options& options_;
    std::ostream& out_;
    std::string movieName_;
    int width_ = 0, height_ = 0;
    uint16_t rate88_ = 0;
    std::vector<int> numbers_;
    size_t shot_ = 0;
    swf::FrameBuffer image_;
    std::unique_ptr<swf::RasterBackend> raster_;
    std::unique_ptr<ApngWriter> apng_;
};

}  // namespace swfshot
