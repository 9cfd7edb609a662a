#include "tools/swfshot/Renderer.h"

#include <vector>

#include "swf/FrameBuffer.h"
#include "swf/Player.h"
#include "tools/fonts/SystemFonts.h"

namespace swfshot {

namespace {

// Stage twips to whole pixels, rounding up so no edge is cut off.
int StagePixels(int32_t twips) {
    int px = (twips + swf::kTwipsPerPixel - 1) / swf::kTwipsPerPixel;
    return px > 0 ? px : 1;
}

}  // namespace

int RunSwfshot(const Options& options, std::ostream& out, std::ostream& err) {
    swf::Player player;
    player.SetFontProvider(hostfonts::SystemFontProvider());
    if (!player.LoadFile(options.movie)) {
        err << "swfshot: cannot read the movie " << options.movie << "\n";
        for (const std::string& e : player.Errors()) err << "  " << e << "\n";
        return kExitBadMovie;
    }
    if (!options.quiet)
        for (const std::string& e : player.Errors()) err << "swfshot: warning: " << e << "\n";

    std::vector<int> frames;
    std::string error;
    if (!options.frames.Resolve(player.TotalFrames(), &frames, &error)) {
        err << "swfshot: " << error << "\n";
        return kExitBadFrames;
    }

    const swf::Rect stage = player.StageRect();
    const int width = options.width ? options.width : StagePixels(stage.Width());
    const int height = options.height ? options.height : StagePixels(stage.Height());
    player.SetScaleMode(options.scaleMode);
    player.SetQuality(options.quality);
    player.Stop();
    swf::FrameBuffer image(width, height);
    for (int frame : frames) {
        player.GotoFrame(frame - 1);  // the player counts from 0
        player.Render(image);
        std::vector<uint8_t> png = EncodePng(image, options.format);
        std::string name = FormatOutputName(options.outputPattern, frame);
        if (png.empty()) {
            err << "swfshot: cannot encode frame " << frame << "\n";
            return kExitOutputFailed;
        }
        if (!WriteFileBytes(name, png, &error)) {
            err << "swfshot: " << error << "\n";
            return kExitOutputFailed;
        }
        if (!options.quiet) out << name << "\n";
    }
    return kExitOk;
}

}  // namespace swfshot
