// Playing follows the player control: after load the first frame is shown
// (tick 1); each tick runs one frame of the root and every sprite with its
// actions. An input script acts between ticks: the picture of tick T is
// taken when the script next plays a frame (or ends), so input given at T
// shows in it.
#include "tools/swfshot/Renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "swf/Player.h"
#include "swf/render/RenderBackend.h"
#include "tools/swfshot/InputScript.h"
#include "tools/swfshot/PictureWriter.h"
#include "tools/swfshot/Progress.h"
#include "tools/swfshot/OutputName.h"
#include "tools/swfshot/PngWriter.h"
#include "tools/swfshot/WavWriter.h"
#include "hostfonts/SystemFonts.h"

namespace swfshot {

namespace {

// As many ticks as a frame list may name.
constexpr long long kMaxTick = 1000000;
constexpr long long kMsPerSecond = 1000;
constexpr int kRateOne = 256;  // 8.8 frame rate

// Gives the player a view size for pointer input without drawing.
class NullBackend : public swf::RenderBackend {
public:
    void BeginFrame(swf::Rgba) override {}
    void DrawShape(const swf::Shape&, const swf::Matrix&, const swf::ColorTransform&) override {}
    void EndFrame() override {}
};

// Stage twips to whole pixels, rounding up so no edge is cut off.
int StagePixels(int32_t twips) {
    int px = (twips + swf::kTwipsPerPixel - 1) / swf::kTwipsPerPixel;
    return px > 0 ? px : 1;
}

int Scaled(int pixels, int permille) {
    long long v = (static_cast<long long>(pixels) * permille + 500) / 1000;
    return static_cast<int>(std::clamp<long long>(v, 1, kMaxSide + 1LL));
}

struct Movie {
    swf::Player player;
    int width = 0, height = 0;
    uint16_t rate88 = 0;
    std::vector<int> numbers;
    std::string name;  // for %n
};

class Batch {
public:
    Batch(const Options& o, std::ostream& out, std::ostream& err)
        : o_(o), out_(out), err_(err), writer_(o, out), progress_(err, o.progress && !o.quiet) {}
    int Run();

private:
    int Fail(int code, const std::string& message) {
        progress_.Finish();
        err_ << "swfshot: " << message << "\n";
        return code;
    }
    int ShootMovie(const std::string& path);
    int Load(const std::string& path, Movie& m);
    int ChooseNumbers(Movie& m);
    int Seek(Movie& m);
    int Play(Movie& m);
    bool Shoot(Movie& m, int number, std::string* error) {
        if (!writer_.Shoot(m.player, number, error)) return false;
        progress_.Step();
        return true;
    }

    const Options& o_;
    std::ostream& out_;
    std::ostream& err_;
    PictureWriter writer_;
    Progress progress_;
    std::vector<InputCommand> script_;
    int scriptTicks_ = 0;  // frames the script plays
};

int Batch::Run() {
    std::string error;
    if (!o_.inputPath.empty()) {
        if (!LoadInputScript(o_.inputPath, &script_, &error)) return Fail(kExitUsage, error);
        long long frames = 0;
        for (const InputCommand& c : script_)
            if (c.kind == InputCommand::Kind::Frame) frames += c.count;
        if (frames + 1 > kMaxTick) return Fail(kExitUsage, o_.inputPath + " plays more than " +
                                                               std::to_string(kMaxTick) + " frames");
        scriptTicks_ = static_cast<int>(frames);
    }
    int result = kExitOk;
    for (const std::string& movie : o_.movies) {
        int code = ShootMovie(movie);
        if (result == kExitOk) result = code;
    }
    progress_.Finish();
    return result;
}

int Batch::Load(const std::string& path, Movie& m) {
    m.player.SetFontProvider(hostfonts::SystemFontProvider());
    // Scripts end lines with \r as often as \n; the log gets one line each.
    if (o_.trace)
        m.player.SetTraceHandler([this](const std::string& text) {
            for (size_t i = 0; i < text.size(); ++i) {
                if (text[i] != '\r') out_ << text[i];
                else if (i + 1 >= text.size() || text[i + 1] != '\n') out_ << '\n';
            }
            out_ << "\n";
        });
    if (!m.player.LoadFile(path)) {
        std::string message = "cannot read the movie " + path;
        for (const std::string& e : m.player.Errors()) message += "\n  " + e;
        return Fail(kExitBadMovie, message);
    }
    if (!o_.quiet)
        for (const std::string& e : m.player.Errors()) err_ << "swfshot: warning: " << path << ": " << e << "\n";
    m.name = MovieName(path);
    const swf::Rect stage = m.player.StageRect();
    m.width = Scaled(o_.width ? o_.width : StagePixels(stage.Width()), o_.scalePermille);
    m.height = Scaled(o_.height ? o_.height : StagePixels(stage.Height()), o_.scalePermille);
    if (m.width > kMaxSide || m.height > kMaxSide ||
        static_cast<long long>(m.width) * m.height > kMaxImagePixels)
        return Fail(kExitUsage, "the image size " + std::to_string(m.width) + "x" + std::to_string(m.height) +
                                    " is too large (" + std::to_string(kMaxSide) + " a side at most)");
    m.rate88 = static_cast<uint16_t>(std::lround(m.player.FrameRate() * kRateOne));
    m.player.SetScaleMode(o_.scaleMode);
    m.player.SetQuality(o_.quality);
    return kExitOk;
}

int Batch::ChooseNumbers(Movie& m) {
    std::string error;
    const int total = m.player.TotalFrames();
    if (!o_.Plays()) {
        if (!o_.frames.Resolve(total, &m.numbers, &error)) return Fail(kExitBadFrames, error);
        return kExitOk;
    }
    if (!o_.tickText.empty() && !o_.ticks.Resolve(total, &m.numbers, &error, true))
        return Fail(kExitBadFrames, error);
    for (int ms : o_.atMs)
        m.numbers.push_back(static_cast<int>(
            std::min<long long>(1 + static_cast<long long>(ms) * m.rate88 / (kMsPerSecond * kRateOne), kMaxTick + 1)));
    if (o_.tickText.empty() && o_.atMs.empty()) m.numbers.push_back(1 + scriptTicks_);
    std::sort(m.numbers.begin(), m.numbers.end());
    m.numbers.erase(std::unique(m.numbers.begin(), m.numbers.end()), m.numbers.end());
    if (m.numbers.back() > kMaxTick)
        return Fail(kExitBadFrames, "tick " + std::to_string(m.numbers.back()) + " is past the limit of " +
                                        std::to_string(kMaxTick));
    return kExitOk;
}

int Batch::Seek(Movie& m) {
    std::string error;
    m.player.Stop();
    for (int frame : m.numbers) {
        m.player.GotoFrame(frame - 1);  // the player counts from 0
        if (!Shoot(m, frame, &error)) return Fail(kExitOutputFailed, error);
    }
    return kExitOk;
}

int Batch::Play(Movie& m) {
    NullBackend null;
    m.player.RenderTo(null, m.width, m.height);  // pointer input in output pixels
    std::string error;
    int tick = 1;
    size_t next = 0;
    auto shootDue = [&]() {
        for (; next < m.numbers.size() && m.numbers[next] == tick; ++next)
            if (!Shoot(m, tick, &error)) return false;
        return true;
    };
    std::unique_ptr<SoundTrack> track;
    if (!o_.audioPath.empty()) track = std::make_unique<SoundTrack>(m.rate88);
    auto playOne = [&]() {
        if (!shootDue()) return false;
        if (track) track->Frame(m.player);  // the sound heard while `tick` shows
        m.player.Tick();
        ++tick;
        return true;
    };
    for (const InputCommand& c : script_) {
        if (c.kind != InputCommand::Kind::Frame) {
            ApplyInput(c, m.player);
            continue;
        }
        for (int i = 0; i < c.count; ++i)
            if (!playOne()) return Fail(kExitOutputFailed, error);
    }
    while (next < m.numbers.size())
        if (!(m.numbers[next] == tick ? shootDue() : playOne())) return Fail(kExitOutputFailed, error);
    if (!track) return kExitOk;
    track->Frame(m.player);  // the last frame shown
    if (!WriteFileBytes(FormatOutputName(o_.audioPath, 0, m.name), track->Wav(), &error))
        return Fail(kExitOutputFailed, error);
    return kExitOk;
}

int Batch::ShootMovie(const std::string& path) {
    Movie m;
    int code = Load(path, m);
    if (code == kExitOk) code = ChooseNumbers(m);
    if (code != kExitOk) return code;
    std::string error;
    if (!writer_.Begin(path, m.width, m.height, m.rate88, m.numbers, &error)) return Fail(kExitUsage, error);
    progress_.Start(static_cast<long long>(m.numbers.size()));
    code = o_.Plays() ? Play(m) : Seek(m);
    if (code == kExitOk && !writer_.Finish(&error)) return Fail(kExitOutputFailed, error);
    return code;
}

}  // namespace

int RunSwfshot(const Options& options, std::ostream& out, std::ostream& err) {
    Batch batch(options, out, err);
    return batch.Run();
}

}  // namespace swfshot
