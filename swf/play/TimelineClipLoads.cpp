// loadMovie into a clip: a movie or a picture beside the movie takes the
// clip's place on the next frame, as a new clip with the old one's name,
// depth and placement, so the old one's variables and handlers go with it
// (its unload events run first). The loaded movie's characters, fonts and
// bitmaps stay its own; its actions run in this movie's script machine.
#include "swf/avm1/Object.h"
#include "swf/decode/ImageDecode.h"
#include "swf/display/DepthOps.h"
#include "swf/play/Timeline.h"
#include "swf/read/MovieReader.h"

namespace swf {

namespace {

// A picture holds at most what a bitmap in a movie may decode to.
constexpr size_t kMaxPictureBytes = size_t(ImageLimits::kMaxPixels) * 4;

struct LoadedMovie : MovieAssets, BitmapSource {
    std::unique_ptr<Movie> own;
    std::unique_ptr<FontLibrary> ownFonts;
    const BitmapSource* rest = nullptr;  // the bitmaps scripts made

    const Bitmap* FindBitmap(uint16_t id) const override {
        const Bitmap* b = own->FindBitmap(id);
        return b ? b : rest->FindBitmap(id);
    }
};

bool IsMovie(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[1] == 'W' && bytes[2] == 'S' &&
           (bytes[0] == 'F' || bytes[0] == 'C' || bytes[0] == 'Z');
}

// One frame showing the picture at (0, 0).
std::unique_ptr<Movie> PictureMovie(const std::vector<uint8_t>& bytes, uint8_t version, std::string& error) {
    Bitmap bitmap;
    bool ok = false;
    switch (SniffImage(bytes.data(), bytes.size())) {
    case ImageFormat::Jpeg: ok = DecodeJpeg(bytes.data(), bytes.size(), kMaxPictureBytes, bitmap, error); break;
    case ImageFormat::Png: ok = DecodePng(bytes.data(), bytes.size(), kMaxPictureBytes, bitmap, error); break;
    case ImageFormat::Gif: ok = DecodeGif(bytes.data(), bytes.size(), kMaxPictureBytes, bitmap, error); break;
    case ImageFormat::Unknown: error = "neither a movie nor a JPEG, PNG or GIF picture"; break;
    }
    if (!ok) return nullptr;
    auto movie = std::make_unique<Movie>();
    movie->header.version = version;
    movie->header.fileLength = static_cast<uint32_t>(bytes.size());
    movie->header.frameCount = 1;
    movie->header.stage = {0, bitmap.width * kTwipsPerPixel, 0, bitmap.height * kTwipsPerPixel};
    auto picture = std::make_unique<BitmapCharacter>();
    picture->bitmap = std::move(bitmap);
    movie->dictionary[1] = std::move(picture);
    DisplayCommand place;
    place.depth = 1;
    place.hasCharacter = true;
    place.characterId = 1;
    movie->root.frames.emplace_back();
    movie->root.frames[0].commands.push_back(place);
    return movie;
}

// A MovieClipLoader's event, to whoever its broadcastMessage tells.
void Tell(avm1::Vm& vm, const avm1::Value& loader, const char* event, std::vector<avm1::Value> args) {
    args.insert(args.begin(), avm1::Value::String(event));
    vm.CallHandler(loader, "broadcastMessage", args);
}

// A new clip playing `loaded` (nothing when null) takes `old`'s place.
MovieClip& Replace(PlayContext& ctx, MovieClip& old, MovieClip& parent, std::unique_ptr<DisplayObject>& slot,
                   std::shared_ptr<MovieAssets> loaded, ActionQueue& queue) {
    --ctx.buildsLeft;
    auto fresh = std::make_unique<MovieClip>(ctx, loaded ? loaded->movie->root : EmptyTimeline(),
                                             old.Nesting(), old.characterId);
    if (loaded) fresh->Own(std::move(loaded));
    static_cast<Placement&>(*fresh) = static_cast<const Placement&>(old);
    fresh->depth = old.depth;
    fresh->placedAt = old.placedAt;  // the timeline going back keeps it
    fresh->parent = &parent;
    fresh->scripted = old.scripted;
    Leave(ctx, std::move(slot), &queue, queue.size());
    MovieClip& clip = *fresh;
    parent.Put(clip.depth, std::move(fresh));
    // Unlike a clip a frame places, it loads before its first frame runs.
    queue.push_back({clip.serial, nullptr, 0, kClipLoad});
    clip.Start(&queue);
    return clip;
}

}  // namespace

std::shared_ptr<MovieAssets> Timeline::ReadLoaded(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (!scriptHost_.ReadBeside(name, kMaxMovieFile, bytes)) {
        vm_.Report("loadMovie: cannot read " + name + " beside the movie");
        return nullptr;
    }
    std::unique_ptr<Movie> movie;
    if (IsMovie(bytes)) {
        ReadResult read = ReadMovie(bytes);
        for (const std::string& e : read.errors) vm_.Report("loadMovie: " + name + ": " + e);
        movie = std::move(read.movie);
    } else {
        std::string error;
        movie = PictureMovie(bytes, ctx_.movie.header.version, error);
        if (!movie) vm_.Report("loadMovie: " + name + ": " + error);
    }
    if (!movie || movie->root.frames.empty()) return nullptr;
    const std::string& base = scriptHost_.Url();
    return AdoptMovie(std::move(movie), base.substr(0, base.find_last_of('/') + 1) + name);
}

std::shared_ptr<MovieAssets> Timeline::AdoptMovie(std::unique_ptr<Movie> movie, std::string url) {
    auto loaded = std::make_shared<LoadedMovie>();
    loaded->own = std::move(movie);
    loaded->ownFonts = std::make_unique<FontLibrary>(*loaded->own);
    loaded->ownFonts->SetProvider(fonts_.Provider());
    loaded->rest = &bitmaps_;
    loaded->url = std::move(url);
    loaded->movie = loaded->own.get();
    loaded->fonts = loaded->ownFonts.get();
    loaded->bitmaps = loaded.get();
    return loaded;
}

void Timeline::StartLoaded(MovieClip& clip) {
    ActionQueue queue;
    vm_.ClipObject(clip.serial)->Put("_lockroot", vm_.Ci()).value = avm1::Value::Bool(true);
    clip.Start(&queue);
    queue.push_back({clip.serial, nullptr, 0, kClipLoad});
    std::vector<HostCall> calls = RunActions(queue);
    constexpr size_t kMaxPending = 4096;
    for (HostCall& c : calls)
        if (pendingCalls_.size() < kMaxPending) pendingCalls_.push_back(std::move(c));
}

std::vector<HostCall> Timeline::FinishClipLoads() {
    std::vector<ScriptHost::ClipLoad> loads = scriptHost_.TakeClipLoads();
    if (loads.empty()) return {};
    ActionQueue queue;
    std::vector<HostCall> calls;
    std::vector<std::pair<avm1::Value, avm1::ClipId>> inited;  // loaders and their clips
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    for (const ScriptHost::ClipLoad& load : loads) {
        MovieClip* old = ctx_.FindClip(load.clip);
        MovieClip* parent = old && old->parent ? old->parent->AsClip() : nullptr;
        auto at = parent ? parent->List().find(old->depth) : DisplayList::iterator();
        if (!parent || at == parent->List().end() || at->second.get() != old) {  // gone, or replaced this frame already
            scriptHost_.Release(load.key);
            continue;
        }
        std::shared_ptr<MovieAssets> loaded;
        if (old->Nesting() >= PlayContext::kMaxNesting || ctx_.buildsLeft == 0 ||
            ctx_.liveClips.size() >= PlayContext::kMaxLiveClips) {
            vm_.Report("loadMovie: " + load.name + " not loaded, clips nested too deep or too many");
        } else if (load.name.empty() || (loaded = ReadLoaded(load.name))) {
            // A clip locked as _root before the load stays so.
            const avm1::Property* lock =
                vm_.HasClipObject(old->serial) ? vm_.ClipObject(old->serial)->Find("_lockroot", vm_.Ci()) : nullptr;
            const bool locked = lock && !lock->getter && vm_.ToBool(lock->value);
            MovieClip& clip = Replace(ctx_, *old, *parent, at->second, std::move(loaded), queue);
            if (locked) vm_.ClipObject(clip.serial)->Put("_lockroot", vm_.Ci()).value = avm1::Value::Bool(true);
            if (load.loader.IsUndefined()) continue;
            const avm1::Value target = vm_.ClipValue(clip.serial);
            const double size = clip.Assets().movie->header.fileLength;
            Tell(vm_, load.loader, "onLoadStart", {target});
            Tell(vm_, load.loader, "onLoadProgress", {target, avm1::Value::Num(size), avm1::Value::Num(size)});
            Tell(vm_, load.loader, "onLoadComplete", {target, avm1::Value::Num(0)});
            inited.emplace_back(load.loader, clip.serial);
            continue;
        }
        // The clip stays as it was.
        if (load.loader.IsObject())
            Tell(vm_, load.loader, "onLoadError", {vm_.ClipValue(old->serial), avm1::Value::String("URLNotFound")});
        scriptHost_.Release(load.key);
    }
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    if (inited.empty()) return calls;
    // Once the loaded movie's first frame has run.
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    for (const auto& [loader, clip] : inited)
        if (ctx_.FindClip(clip)) Tell(vm_, loader, "onLoadInit", {vm_.ClipValue(clip)});
    for (const ScriptHost::ClipLoad& load : loads) scriptHost_.Release(load.key);
    more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

}  // namespace swf
