// The movies one ActionScript 3 machine plays: the host movie and those its
// Loaders read. A loaded movie joins the machine rather than getting its own:
// its classes become definitions beside the host's (the host's win a name
// both define, as a child domain finds its parent's first), and its clips
// tick on the host's clock. Each display object takes its class from the
// movie its characters came from, so the two movies' character ids never
// mix.
#include "swf/avm2/Machine.h"
#include "swf/play/Scripts3Host.h"
#include "swf/read/MovieReader.h"

namespace swf {

void Scripts3::Host::AddMovieClasses(const MovieAssets& assets, std::shared_ptr<MovieAssets> keep) {
    MovieClasses c;
    c.assets = &assets;
    c.keep = std::move(keep);
    const Movie& movie = *assets.movie;
    for (const SymbolClassEntry& e : movie.symbolClasses) {
        c.classOfId[e.id] = e.className;
        c.idOfClass.emplace(e.className, e.id);
    }
    // A class tied to no character the movie defines serves as the document
    // class when none is tied to the root itself.
    if (!c.classOfId.count(0))
        for (const SymbolClassEntry& e : movie.symbolClasses)
            if (e.id != 0 && !movie.Find(e.id) && !movie.binaryData.count(e.id)) {
                c.classOfId[0] = e.className;
                break;
            }
    movies_.push_back(std::move(c));
}

const Scripts3::Host::MovieClasses& Scripts3::Host::ClassesOf(const DisplayObject& obj) {
    const MovieClip* clip = obj.AsClip();
    const MovieAssets* from = clip && clip->Loaded() ? &clip->Assets() : nullptr;
    if (!from && obj.parent)
        if (const MovieClip* p = obj.parent->AsClip()) from = &p->Assets();
    for (const MovieClasses& c : movies_)
        if (c.assets == from) return c;
    return movies_.front();
}

bool Scripts3::Host::IsAs3(const MovieAssets& assets) const {
    for (const MovieClasses& c : movies_)
        if (c.assets == &assets) return true;
    return false;
}

const Scripts3::Host::MovieClasses* Scripts3::Host::SymbolOf(const avm2::ClassObject* cls, uint16_t& id) {
    for (const avm2::ClassObject* k = cls; k; k = k->base) {
        std::string q = k->QualifiedName();
        if (size_t at = q.find("::"); at != std::string::npos) q.replace(at, 2, ".");
        for (size_t i = 0; i < movies_.size(); ++i) {
            const MovieClasses& c = movies_[i];
            auto it = c.idOfClass.find(q);
            if (it == c.idOfClass.end()) continue;
            id = it->second;
            // The document class stands for the root, whichever id names it.
            auto root = c.classOfId.find(0);
            if (root != c.classOfId.end() && root->second == q && !c.assets->movie->Find(id)) id = 0;
            if (id == 0 && i == 0) continue;
            return &c;
        }
    }
    return nullptr;
}

avm2::ClassObject* Scripts3::Host::ClassFor(const DisplayObject& obj) {
    if (stateHolders_.count(obj.serial)) return m_.FindClass("flash.display.Sprite");
    const MovieClip* clip = obj.AsClip();
    const bool isRoot = &obj == &RootClip() || (clip && clip->Loaded());
    const uint16_t id = isRoot ? 0 : obj.characterId;
    // An ActionScript 1/2 movie a Loader brought in plays in the other
    // machine: scripts here see it as one opaque object.
    if (clip && clip->Loaded() && !IsAs3(clip->Assets())) return m_.FindClass("flash.display.AVM1Movie");
    const MovieClasses& classes = ClassesOf(obj);
    auto it = classes.classOfId.find(id);
    if (it != classes.classOfId.end() && (id != 0 || isRoot))
        if (avm2::ClassObject* c = m_.FindClass(it->second)) {
            // A document class that is no Sprite cannot be the root: the
            // player says so and the root stays a plain MovieClip.
            avm2::ClassObject* sprite = m_.FindClass("flash.display.Sprite");
            avm2::ClassObject* display = m_.FindClass("flash.display.DisplayObject");
            // A bitmap tied to a BitmapData class shows as a plain Bitmap.
            if (id != 0 && display && !c->IsSubclassOf(display)) return m_.FindClass("flash.display.Bitmap");
            if (id != 0 || !sprite || c->IsSubclassOf(sprite)) return c;
            if (m_.trace)
                m_.trace("TypeError: Error #2023: Class " + m_.TypeName(avm2::Value::Obj(c)) +
                         " must inherit from Sprite to link to the root.");
        }
    switch (obj.Kind()) {
    case DisplayKind::MovieClip: return m_.FindClass("flash.display.MovieClip");
    case DisplayKind::Button: return m_.FindClass("flash.display.SimpleButton");
    case DisplayKind::EditText: return m_.FindClass("flash.text.TextField");
    case DisplayKind::StaticText: return m_.FindClass("flash.text.StaticText");
    case DisplayKind::Bitmap: return m_.FindClass("flash.display.Bitmap");
    case DisplayKind::MorphShape: return m_.FindClass("flash.display.MorphShape");
    default: return m_.FindClass("flash.display.Shape");
    }
}

const std::vector<uint8_t>* Scripts3::Host::EmbeddedBytes(const std::string& className) {
    for (const MovieClasses& c : movies_) {
        auto it = c.idOfClass.find(className);
        if (it == c.idOfClass.end()) continue;
        const auto& data = c.assets->movie->binaryData;
        auto found = data.find(it->second);
        if (found != data.end()) return &found->second;
    }
    return nullptr;
}

std::unique_ptr<DisplayObject> Scripts3::Host::NewMovieRoot(const MovieAssets& assets) {
    --ctx_.buildsLeft;
    auto clip = std::make_unique<MovieClip>(ctx_, assets.movie->root, 1, 0, nullptr, &assets);
    clip->Start(nullptr);
    return clip;
}

avm2::DisplayHost::LoadedMovie Scripts3::Host::ReadMovie(const std::vector<uint8_t>& bytes, const std::string& url) {
    constexpr size_t kMaxMovies = 256;
    if (movies_.size() >= kMaxMovies || ctx_.buildsLeft == 0 || ctx_.liveClips.size() >= PlayContext::kMaxLiveClips ||
        orphans_.size() >= kMaxOrphans)
        return {};
    ReadResult read = swf::ReadMovie(bytes);
    for (const std::string& e : read.errors)
        if (m_.report) m_.report("Loader: " + url + ": " + e);
    if (!read.movie || read.movie->root.frames.empty()) return {};
    std::shared_ptr<MovieAssets> assets = timeline_.AdoptMovie(std::move(read.movie), url);
    const Movie& movie = *assets->movie;
    LoadedMovie out;
    out.as3 = !movie.abcBlocks.empty();
    out.swfVersion = movie.header.version;
    out.frameRate = movie.header.frameRate88 / 256.0;
    const Rect& stage = movie.header.stage;
    out.width = int((int64_t(stage.xMax) - stage.xMin) / kTwipsPerPixel);
    out.height = int((int64_t(stage.yMax) - stage.yMin) / kTwipsPerPixel);
    if (out.as3) AddMovieClasses(*assets, assets);
    --ctx_.buildsLeft;
    auto clip = std::make_unique<MovieClip>(ctx_, movie.root, 1);
    clip->Own(assets);
    MovieClip& root = *clip;
    out.root = clip->serial;
    orphans_[out.root] = std::move(clip);
    if (out.as3) root.Start(nullptr);
    else timeline_.StartLoaded(root);
    for (const AbcBlock& b : movie.abcBlocks) {
        if (b.frame != 0) continue;
        std::string error;
        if (!m_.LoadAbc(b.bytes.data(), b.bytes.size(), !b.lazy, &error) && !error.empty() && m_.report)
            m_.report("DoABC " + b.name + ": " + error);
    }
    return out;
}

void Scripts3::Host::RunFrameTags() {
    const int now = RootClip().CurrentFrame();
    while (framesRun_ < now) {
        const int frame = ++framesRun_;
        // A later frame's classes are defined first; the classes its
        // SymbolClass names are made, then its blocks' entry scripts run.
        std::vector<avm2::ScriptEntry*> entries;
        for (const AbcBlock& b : movie_.abcBlocks) {
            if (b.frame != frame) continue;
            std::string error;
            const size_t before = m_.modules.size();
            if (!m_.LoadAbc(b.bytes.data(), b.bytes.size(), !b.lazy && frame == 0, &error) && !error.empty() &&
                m_.report)
                m_.report("DoABC " + b.name + ": " + error);
            else if (!b.lazy && frame != 0 && m_.modules.size() > before && !m_.modules.back()->scripts.empty())
                entries.push_back(&m_.modules.back()->scripts.back());
        }
        if (frame == 0) continue;
        for (const SymbolClassEntry& e : movie_.symbolClasses)
            if (e.frame == frame) Guarded([&] { m_.FindClass(e.className); });
        for (avm2::ScriptEntry* s : entries)
            if (s->state == avm2::ScriptEntry::Fresh) Guarded([&] { m_.RunScript(*s); });
    }
}

void Scripts3::Host::RunFrameScriptsUnder(uint32_t serial) {
    if (serial) RunFrameScripts(serial);
}

}  // namespace swf
