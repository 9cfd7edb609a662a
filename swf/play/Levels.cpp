#include "swf/play/Levels.h"

#include "swf/render/RenderBackend.h"
#include "swf/play/Timeline.h"
#include "swf/read/MovieReader.h"

namespace swf {

namespace {

constexpr size_t kMaxRequestsPerFrame = Levels::kMaxLevel + 1;
constexpr size_t kMaxErrors = 256;

void Note(std::vector<std::string>& errors, std::string error) {
    if (errors.size() < kMaxErrors) errors.push_back(std::move(error));
}

void Append(std::vector<HostCall>& to, std::vector<HostCall> more) {
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

}  // namespace

struct Levels::Level {
    std::unique_ptr<Movie> movie;  // before the timeline that plays it
    std::unique_ptr<Timeline> timeline;
};

Levels::Levels() = default;
Levels::~Levels() = default;

void Levels::Collect(Timeline& timeline) {
    for (ScriptHost::LevelLoad& l : timeline.TakeLevelLoads())
        if (requests_.size() < kMaxRequestsPerFrame) requests_.push_back(std::move(l));
}

std::vector<HostCall> Levels::Apply(const FileReader& files, const std::string& baseUrl,
                                    const std::shared_ptr<FontProvider>& fonts, std::vector<std::string>& errors,
                                    Level0& level0) {
    std::vector<HostCall> calls;
    std::vector<ScriptHost::LevelLoad> requests = std::move(requests_);
    requests_.clear();
    for (const ScriptHost::LevelLoad& r : requests) {
        if (r.name.empty()) {  // unloadMovieNum
            levels_.erase(r.level);
            continue;
        }
        std::vector<uint8_t> bytes;
        if (!files || !files(r.name, kMaxMovieFile, bytes)) {
            Note(errors, "loadMovie: cannot read " + r.name + " beside the movie");
            continue;
        }
        if (r.level == 0) {
            level0 = {std::move(bytes), r.name};
            continue;
        }
        ReadResult read = ReadMovie(bytes);
        for (std::string& e : read.errors) Note(errors, r.name + ": " + std::move(e));
        if (!read.movie) continue;
        auto level = std::make_unique<Level>();
        level->movie = std::move(read.movie);
        level->timeline = std::make_unique<Timeline>(*level->movie, fonts);
        const size_t slash = baseUrl.find_last_of('/');
        level->timeline->SetLoadSource(baseUrl.substr(0, slash == std::string::npos ? 0 : slash + 1) + r.name, files);
        levels_[r.level] = std::move(level);
        Timeline& t = *levels_[r.level]->timeline;
        Append(calls, t.Start());
        Collect(t);
    }
    return calls;
}

std::vector<HostCall> Levels::Tick() {
    std::vector<HostCall> calls;
    for (auto& entry : levels_) {
        Append(calls, entry.second->timeline->Tick());
        Collect(*entry.second->timeline);
    }
    return calls;
}

void Levels::Render(RenderBackend& backend, const Matrix& view) const {
    for (const auto& entry : levels_) entry.second->timeline->RenderLayer(backend, view);
}

void Levels::Clear() {
    levels_.clear();
    requests_.clear();
}

}  // namespace swf
