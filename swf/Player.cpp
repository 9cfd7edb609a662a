// The host API over the reader and the timeline.
//
// Deliberate choices:
//  1. A header frame rate of 0 plays at 12 fps: "as fast as possible" would
//     tie what a capture shows to the speed of the machine.
//  2. GotoFrame from the host shows the frame exactly as playing from the
//     start shows it (every sprite at its own frame), without running its
//     actions, and keeps the play state; frames entered by playing, or by a
//     goto from actions, run their actions. Loading runs frame 0's actions.
//  3. Playing past the last frame goes on at frame 0 unless the movie stops.
//  4. Host handlers are called after the engine has finished its step, so
//     they may call back into the player.
#include "swf/Player.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "swf/play/Scripts3.h"
#include "swf/play/Timeline.h"
#include "swf/read/MovieReader.h"
#include "swf/render/RasterBackend.h"
#include "swf/sound/Mixer.h"

namespace swf {

namespace {

constexpr uint16_t kDefaultFrameRate88 = 12 << 8;
constexpr uint64_t kClockUnitsPerFrame = 1000ull << 8;  // ms x (fps in 8.8)
constexpr int kMaxFramesPerAdvance = 4;
// Frames one Advance may run to catch up with a streaming sound.
constexpr int kMaxFramesBehindSound = 8;
const Rgba kNoMovieBackground{255, 255, 255, 255};

// Reads files from the folder of the movie at `moviePath`.
FileReader FolderReader(const std::string& moviePath) {
    const size_t slash = moviePath.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? std::string() : moviePath.substr(0, slash + 1);
    return [dir](const std::string& name, size_t limit, std::vector<uint8_t>& bytes) {
        std::ifstream in(dir + name, std::ios::binary);
        if (!in) return false;
        bytes.clear();
        char buffer[64 * 1024];
        while (in && bytes.size() <= limit) {
            in.read(buffer, sizeof buffer);
            bytes.insert(bytes.end(), buffer, buffer + in.gcount());
        }
        return bytes.size() <= limit;
    };
}

// _url: "file:///" and the path with forward slashes; empty from memory.
std::string MovieUrl(const std::string& path) {
    if (path.empty()) return std::string();
    std::string url = path;
    std::replace(url.begin(), url.end(), '\\', '/');
    return url[0] == '/' ? "file://" + url : "file:///" + url;
}

}  // namespace

struct Player::State {
    std::unique_ptr<Movie> movie;  // declared before the timeline that plays it
    std::unique_ptr<Timeline> timeline;
    Scripts3 as3;  // after the timeline: it holds the root clip
    std::vector<std::string> errors;
    int scaleMode = kShowAll;
    int alignFlags = 0;
    Quality quality = Quality::High;
    size_t scriptBudget = 0;  // 0: the machine's own
    // The _focusrect of a movie that loaded another into level 0.
    std::optional<bool> focusRect;
    int viewWidth = 0;  // the last render's target size, for pointer input
    int viewHeight = 0;
    bool sizedByHost = false;  // SetViewSize was called: kept across loads
    int hostWidth = 0, hostHeight = 0;
    uint64_t clock = 0;
    FsCommandHandler fsCommand;
    GetUrlHandler getUrl;
    std::shared_ptr<FontProvider> fonts;
    TraceHandler trace;
    FileReader files;        // the host's, if it gave one
    std::string moviePath;   // of LoadFile, for the movie's own folder
    bool focused = true;
    bool shiftDown = false, controlDown = false;  // for keys that edit text
    // Kept across frames: its scratch buffers are sized once, not per frame.
    std::unique_ptr<RasterBackend> raster;
    Mixer mixer;  // outlives every timeline that plays into it
    bool audioClock = false;
    std::vector<int16_t> unheard;  // the mix no host takes, still played out

    uint16_t Rate88() const {
        return movie && movie->header.frameRate88 ? movie->header.frameRate88 : kDefaultFrameRate88;
    }
    // Scripts' Stage.scaleMode and Stage.align win over the host's.
    Matrix View() const { return ViewOf(viewWidth, viewHeight); }
    Matrix ViewOf(int width, int height) const {
        if (!movie) return Matrix();
        if (!timeline) return ViewMatrix(movie->header.stage, width, height, scaleMode, alignFlags);
        const avm1::StageView& s = timeline->ScriptRuntime().stage;
        return ViewMatrix(movie->header.stage, width, height, s.ScaleMode(), s.Align());
    }
    void Draw(RenderBackend& backend, const Matrix& view) {
        backend.SetBitmaps(movie.get());
        if (!timeline) {
            backend.BeginFrame(kNoMovieBackground);
            backend.EndFrame();
        } else {
            timeline->Render(backend, view);
        }
    }
    // Tells scripts how the movie is shown.
    void ShareView() {
        if (!timeline) return;
        avm1::StageView& s = timeline->ScriptRuntime().stage;
        s.hostScaleMode = scaleMode;
        s.hostAlign = alignFlags;
        s.width = viewWidth;
        s.height = viewHeight;
    }
    // The host's reader, else one beside the movie's file (none from memory).
    FileReader Files() const {
        if (files || moviePath.empty()) return files;
        return FolderReader(moviePath);
    }
    void Dispatch(const std::vector<HostCall>& calls) {
        // Problems scripts met join the load errors, up to a bound.
        constexpr size_t kMaxErrors = 256;
        if (timeline)
            for (std::string& e : timeline->TakeScriptErrors())
                if (errors.size() < kMaxErrors) errors.push_back("actions: " + std::move(e));
        if (timeline)
            for (std::string& e : timeline->TakeSoundErrors())
                if (errors.size() < kMaxErrors) errors.push_back(std::move(e));
        for (const HostCall& c : calls) {
            if (c.trace) {
                TraceHandler h = trace;
                if (h) h(c.first);
            } else if (c.fsCommand) {
                FsCommandHandler h = fsCommand;  // a handler may replace itself
                if (h) h(c.first, c.second);
            } else {
                GetUrlHandler h = getUrl;
                if (h) h(c.first, c.second);
            }
        }
    }
};

Player::Player() : state_(std::make_unique<State>()) {}
Player::~Player() = default;

bool Player::LoadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Unload();
        state_->errors.push_back("cannot open " + path);
        return false;
    }
    // A plain movie beyond the size limit is cut there by the reader
    // anyway; a compressed one cannot need much more input than that.
    std::vector<uint8_t> bytes;
    char buffer[64 * 1024];
    while (in && bytes.size() < kMaxMovieBytes + sizeof buffer) {
        in.read(buffer, sizeof buffer);
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    }
    return Load(std::move(bytes), path);
}

bool Player::LoadBytes(std::vector<uint8_t> bytes) { return Load(std::move(bytes), std::string()); }

bool Player::Load(std::vector<uint8_t> bytes, const std::string& path) {
    Unload();
    ReadResult read = ReadMovie(bytes);
    state_->errors = std::move(read.errors);
    if (!read.movie) return false;
    state_->movie = std::move(read.movie);
    state_->timeline = std::make_unique<Timeline>(*state_->movie, state_->fonts);
    state_->moviePath = path;
    state_->timeline->Sounds().Attach(&state_->mixer);
    state_->timeline->SetStageQuality(state_->quality);
    if (state_->scriptBudget) state_->timeline->SetScriptBudget(state_->scriptBudget);
    if (state_->focusRect) state_->timeline->SetFocusRect(*std::exchange(state_->focusRect, std::nullopt));
    state_->timeline->SetLoadSource(MovieUrl(path), state_->Files());
    const Rect& stage = state_->movie->header.stage;
    state_->viewWidth = static_cast<int>(std::clamp<int64_t>((int64_t(stage.xMax) - stage.xMin) / kTwipsPerPixel, 0, INT32_MAX));
    state_->viewHeight = static_cast<int>(std::clamp<int64_t>((int64_t(stage.yMax) - stage.yMin) / kTwipsPerPixel, 0, INT32_MAX));
    if (state_->sizedByHost) {
        state_->viewWidth = state_->hostWidth;
        state_->viewHeight = state_->hostHeight;
    }
    state_->ShareView();
    State& s = *state_;
    s.as3.SetLoadSource(MovieUrl(path), s.Files());
    std::vector<HostCall> calls = s.timeline->Start();
    s.as3.Start(*s.movie, *s.timeline,
                [&s](const std::string& text) {
                    TraceHandler h = s.trace;
                    if (h) h(text);
                },
                [&s](const std::string& text) {
                    constexpr size_t kMaxErrors = 256;
                    if (s.errors.size() < kMaxErrors) s.errors.push_back("actions: " + text);
                });
    s.Dispatch(std::move(calls));
    return true;
}

void Player::Unload() {
    state_->mixer.StopAll();
    state_->as3.Reset();
    state_->timeline.reset();
    state_->movie.reset();
    state_->moviePath.clear();
    state_->errors.clear();
    state_->clock = 0;
}

bool Player::HasMovie() const { return state_->movie != nullptr; }
const std::vector<std::string>& Player::Errors() const { return state_->errors; }

Rect Player::StageRect() const { return state_->movie ? state_->movie->header.stage : Rect(); }
double Player::FrameRate() const { return state_->movie ? state_->Rate88() / 256.0 : 0.0; }
// The header's count: a movie holding more frames plays them, but the host
// seeks within what the header declares.
int Player::TotalFrames() const {
    if (!state_->timeline) return 0;
    const int held = state_->timeline->Root().TotalFrames();
    const int declared = state_->movie->header.frameCount;
    return declared > 0 ? std::min(held, declared) : held;
}
Rgba Player::Background() const {
    return state_->timeline ? state_->timeline->Background() : kNoMovieBackground;
}

int Player::CurrentFrame() const { return state_->timeline ? state_->timeline->Root().CurrentFrame() : 0; }

void Player::GotoFrame(int frame) {
    if (state_->timeline) state_->timeline->Seek(std::min(frame, TotalFrames() - 1));
}

void Player::Play() {
    if (state_->timeline) state_->timeline->Root().SetPlaying(true);
}

void Player::Stop() {
    if (state_->timeline) state_->timeline->Root().SetPlaying(false);
    if (state_->timeline) state_->timeline->Sounds().StopAll();
}

bool Player::IsPlaying() const { return state_->timeline && state_->timeline->Root().IsPlaying(); }

int Player::Advance(uint32_t elapsedMs) {
    if (!state_->timeline) return 0;
    if (state_->audioClock && state_->timeline->Root().IsPlaying()) {
        const int heard = state_->timeline->Sounds().StreamFrame(state_->timeline->Root().serial);
        if (heard >= 0) {
            state_->clock = 0;
            const int behind = std::min(heard - CurrentFrame(), kMaxFramesBehindSound);
            for (int i = 0; i < behind && state_->timeline; ++i) Tick();
            return std::max(behind, 0);
        }
    }
    // No host takes the mix (no audio device): sounds still run their course
    // in time, so that they end and scripts hear them end.
    if (!state_->audioClock && state_->mixer.VoiceCount() > 0) {
        constexpr uint32_t kMaxUnheardMs = 1000;
        const size_t frames = size_t(std::min(elapsedMs, kMaxUnheardMs)) * Mixer::kRate / 1000;
        state_->unheard.resize(frames * 2);
        state_->mixer.Mix(state_->unheard.data(), frames);
    }
    state_->clock += uint64_t(elapsedMs) * state_->Rate88();
    uint64_t due = state_->clock / kClockUnitsPerFrame;
    state_->clock %= kClockUnitsPerFrame;  // a stalled host skips, not replays
    int frames = static_cast<int>(std::min<uint64_t>(due, kMaxFramesPerAdvance));
    for (int i = 0; i < frames && state_->timeline; ++i) Tick();
    return frames;
}

void Player::Tick() {
    if (!state_->timeline) return;
    // A movie asked for in the last frame replaces this one before it runs.
    std::vector<ScriptHost::LevelLoad> level0 = state_->timeline->TakeLevel0Loads();
    if (!level0.empty() && !level0.back().name.empty()) {
        const std::string name = level0.back().name;
        std::vector<uint8_t> bytes;
        const FileReader files = state_->Files();
        if (!files || !files(name, Timeline::kMaxMovieFile, bytes)) {
            constexpr size_t kMaxErrors = 256;
            if (state_->errors.size() < kMaxErrors) state_->errors.push_back("loadMovie: cannot read " + name + " beside the movie");
        } else {
            const size_t slash = state_->moviePath.find_last_of("/\\");
            const std::string dir = slash == std::string::npos ? std::string() : state_->moviePath.substr(0, slash + 1);
            state_->focusRect = state_->timeline->FocusRect();
            Load(std::move(bytes), dir + name);
            state_->focusRect.reset();
            return;
        }
    }
    state_->Dispatch(state_->timeline->Tick());
    state_->as3.Frame();
}

void Player::MixAudio(int16_t* out, size_t frames) { state_->mixer.Mix(out, frames); }
void Player::SetAudioClock(bool on) { state_->audioClock = on; }
size_t Player::SoundsPlaying() const { return state_->mixer.VoiceCount(); }

bool Player::HasSound() const {
    const Movie* m = state_->movie.get();
    if (!m) return false;
    if (m->root.stream.present) return true;
    for (const auto& [id, c] : m->dictionary) {
        if (c->kind == CharacterKind::Sound) return true;
        if (c->kind == CharacterKind::Sprite && static_cast<const SpriteCharacter&>(*c).timeline.stream.present)
            return true;
    }
    return false;
}

namespace {

// A pixel's top left corner, where the player puts the pointer.
Point PixelCorner(int x, int y) {
    auto twips = [](int v) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(v) * kTwipsPerPixel, INT32_MIN, INT32_MAX));
    };
    return {twips(x), twips(y)};
}

}  // namespace

namespace {

// The pointer for ActionScript 3: the pixel's corner on the stage, so that
// whole pixels read as whole stage coordinates.
void PointerToScripts3(Scripts3& as3, const Matrix& view, int event, int x, int y, MouseButton button) {
    Matrix toStage;
    if (!as3.Active() || !view.Invert(&toStage)) return;
    const Point corner{static_cast<int32_t>(std::clamp<int64_t>(int64_t(x) * kTwipsPerPixel, INT32_MIN, INT32_MAX)),
                       static_cast<int32_t>(std::clamp<int64_t>(int64_t(y) * kTwipsPerPixel, INT32_MIN, INT32_MAX))};
    as3.Pointer(event, toStage.Apply(corner), button == MouseButton::Left);
}

}  // namespace

void Player::PointerMove(int x, int y) {
    if (state_->timeline)
        state_->Dispatch(state_->timeline->Pointer(PointerEvent::Move, PixelCorner(x, y), state_->View()));
    PointerToScripts3(state_->as3, state_->View(), Scripts3::kPointerMove, x, y, MouseButton::Left);
}

void Player::PointerDown(int x, int y, MouseButton button) {
    if (state_->timeline)
        state_->Dispatch(
            state_->timeline->Pointer(PointerEvent::Down, PixelCorner(x, y), state_->View(), button));
    PointerToScripts3(state_->as3, state_->View(), Scripts3::kPointerDown, x, y, button);
}

void Player::PointerUp(int x, int y, MouseButton button) {
    if (state_->timeline)
        state_->Dispatch(state_->timeline->Pointer(PointerEvent::Up, PixelCorner(x, y), state_->View(), button));
    PointerToScripts3(state_->as3, state_->View(), Scripts3::kPointerUp, x, y, button);
}

bool Player::PointerOverButton() const {
    return (state_->timeline && state_->timeline->PointerOverButton()) || state_->as3.PointerOverButton();
}

namespace {

// The key-press code of a button condition for a key, or 0 if none.
uint8_t ButtonKeyFor(int keyCode, int charCode) {
    switch (keyCode) {
    case kKeyLeft: return kButtonKeyLeft;
    case kKeyRight: return kButtonKeyRight;
    case kKeyHome: return kButtonKeyHome;
    case kKeyEnd: return kButtonKeyEnd;
    case kKeyInsert: return kButtonKeyInsert;
    case kKeyDelete: return kButtonKeyDelete;
    case kKeyBackspace: return kButtonKeyBackspace;
    case kKeyEnter: return kButtonKeyEnter;
    case kKeyUp: return kButtonKeyUp;
    case kKeyDown: return kButtonKeyDown;
    case kKeyPageUp: return kButtonKeyPageUp;
    case kKeyPageDown: return kButtonKeyPageDown;
    case kKeyTab: return kButtonKeyTab;
    case kKeyEscape: return kButtonKeyEscape;
    default: break;
    }
    constexpr int kFirstPrintable = 32, kLastPrintable = 126;
    return charCode >= kFirstPrintable && charCode <= kLastPrintable ? static_cast<uint8_t>(charCode) : 0;
}

}  // namespace

void Player::KeyDown(int keyCode, int charCode) {
    if (keyCode == kKeyShift) state_->shiftDown = true;
    if (keyCode == kKeyControl) state_->controlDown = true;
    if (!state_->timeline || !state_->focused) return;
    state_->Dispatch(state_->timeline->Key(true, keyCode, charCode));
    state_->as3.Key(true, keyCode, charCode);
    state_->Dispatch(state_->timeline->FocusKey(keyCode, charCode, state_->shiftDown, state_->controlDown));
    const uint8_t code = ButtonKeyFor(keyCode, charCode);
    if (code != 0 && state_->timeline) state_->Dispatch(state_->timeline->KeyPress(code));
}

void Player::KeyUp(int keyCode, int charCode) {
    if (keyCode == kKeyShift) state_->shiftDown = false;
    if (keyCode == kKeyControl) state_->controlDown = false;
    if (state_->timeline && state_->focused) state_->Dispatch(state_->timeline->Key(false, keyCode, charCode));
    if (state_->focused) state_->as3.Key(false, keyCode, charCode);
}
// Scripts hear the wheel before the field under the pointer scrolls.
void Player::Wheel(int lines) {
    state_->as3.Wheel(lines);
    if (state_->timeline) state_->Dispatch(state_->timeline->Wheel(lines));
}
void Player::Focus(bool in) {
    state_->focused = in;
    if (!in) state_->shiftDown = state_->controlDown = false;
    if (!in && state_->timeline) {
        state_->timeline->ScriptRuntime().keys.ReleaseAll();
        state_->timeline->HideFocusRect();
    }
    if (!in) state_->as3.FocusLost();
}
bool Player::HasFocus() const { return state_->focused; }

void Player::SetScaleMode(int mode) {
    state_->scaleMode = mode;
    state_->ShareView();
}
void Player::SetAlignMode(int flags) {
    state_->alignFlags = flags;
    state_->ShareView();
}

void Player::SetViewSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const bool changed = width != state_->viewWidth || height != state_->viewHeight;
    state_->sizedByHost = true;
    state_->hostWidth = state_->viewWidth = width;
    state_->hostHeight = state_->viewHeight = height;
    state_->ShareView();
    if (changed && state_->timeline && state_->timeline->ScriptRuntime().stage.ScaleMode() == kNoScale)
        state_->Dispatch(state_->timeline->StageResized());
}

bool Player::CursorHidden() const {
    return (state_->timeline && state_->timeline->ScriptRuntime().mouseHidden) || state_->as3.CursorHidden();
}
int Player::ScaleModeValue() const { return state_->scaleMode; }
int Player::AlignModeValue() const { return state_->alignFlags; }
void Player::SetScriptBudget(size_t instructions) {
    state_->scriptBudget = instructions;
    if (state_->timeline && instructions) state_->timeline->SetScriptBudget(instructions);
}

void Player::SetQuality(Quality quality) {
    state_->quality = quality;
    if (state_->timeline) state_->timeline->SetStageQuality(quality);
}

// Scripts may have changed it since (_quality).
Quality Player::GetQuality() const { return state_->timeline ? state_->timeline->StageQuality() : state_->quality; }

void Player::Render(FrameBuffer& target) {
    if (state_->raster)
        state_->raster->Retarget(target);
    else
        state_->raster = std::make_unique<RasterBackend>(target);
    RenderTo(*state_->raster, target.Width(), target.Height());
}

void Player::RenderTo(RenderBackend& backend, int width, int height) {
    state_->viewWidth = width;
    state_->viewHeight = height;
    state_->ShareView();
    backend.SetQuality(GetQuality());
    state_->Draw(backend, state_->View());
}

// A backend of its own: the playing view's scratch buffers and cached
// pictures stay sized for the screen.
void Player::RenderMagnified(FrameBuffer& target, int viewWidth, int viewHeight, Quality quality) {
    RasterBackend raster(target);
    raster.SetQuality(quality);
    state_->Draw(raster, MagnifyView(state_->ViewOf(viewWidth, viewHeight), target.Width(), viewWidth));
}

void Player::SetFontProvider(std::shared_ptr<FontProvider> provider) { state_->fonts = std::move(provider); }

void Player::SetFsCommandHandler(FsCommandHandler handler) { state_->fsCommand = std::move(handler); }
void Player::SetGetUrlHandler(GetUrlHandler handler) { state_->getUrl = std::move(handler); }
void Player::SetFileReader(FileReader reader) {
    state_->files = std::move(reader);
    if (state_->timeline) state_->timeline->SetLoadSource(MovieUrl(state_->moviePath), state_->Files());
    state_->as3.SetLoadSource(MovieUrl(state_->moviePath), state_->Files());
}
void Player::SetTraceHandler(TraceHandler handler) { state_->trace = std::move(handler); }

}  // namespace swf
