// The display host of the ActionScript 3 machine: script objects over the
// engine's display objects, found by serial. Objects scripts made or took
// out of the tree are kept here until they go back in. The frame cycle is
// in Scripts3Frames.cpp, loaded movies in Scripts3Movies.cpp.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "swf/avm2/classes/Display.h"
#include "swf/display/ButtonObject.h"
#include "swf/display/MovieClip.h"
#include "swf/play/Timeline.h"
#include "swf/play/Scripts3.h"

namespace swf {

class Scripts3::Host : public avm2::DisplayHost {
public:
    Host(avm2::Machine& m, Timeline& timeline, const Movie& movie);
    ~Host() override;

    // Constructs the script objects of engine objects that have none yet
    // (what is under an object before the object itself) and forgets those
    // whose engine objects are gone.
    void Sync();
    // The DoABC blocks of the frames the root reached for the first time
    // run, then the classes their SymbolClass tags name are made.
    void RunFrameTags();
    // Each clip that entered a frame since its last script runs that
    // frame's script: on the stage, or under `under` alone.
    void RunFrameScripts(uint32_t under = 0);
    // Objects the timeline took away hear "removed" as if still in place:
    // their clips at the frames noted last, or at the ones they went back to.
    void SendRemovals();
    // Keeps each clip's frame as scripts last saw it, for SendRemovals.
    void NoteFrames();
    // `type` to every display object listening for it.
    void Broadcast(const char* type);
    // "enterFrame", while what the timeline just placed is not yet built.
    void EnterFrame();
    // "added" to `obj`, and "addedToStage" to it and, unless `alone`, what
    // it holds, when on the stage.
    void Added(DisplayObject& obj, bool alone = false);

    avm2::Value Wrap(uint32_t serial) override;
    void Create(avm2::DispatcherObject* d) override;
    void Constructing(avm2::DispatcherObject* d) override;
    avm2::Value Stage() override;
    uint32_t Root() override { return RootClip().serial; }
    uint32_t StageSerial() override { return StageClip().serial; }
    // What the stage holds beside the root.
    MovieClip& StageClip() { return timeline_.StageLayer(); }
    uint32_t Parent(uint32_t serial) override;
    std::vector<uint32_t> Children(uint32_t serial) override;
    bool IsContainer(uint32_t serial) override;
    std::string Name(uint32_t serial) override;
    void SetName(uint32_t serial, const std::string& name) override;
    std::optional<double> Get(uint32_t serial, int prop) override;
    void Set(uint32_t serial, int prop, double value) override;
    bool AddChild(uint32_t parent, uint32_t child, int index) override;
    bool RemoveChild(uint32_t parent, uint32_t child) override;
    int CurrentFrame(uint32_t clip) override;
    int TotalFrames(uint32_t clip) override;
    int CountedFrames(uint32_t clip) override;
    void SetPlaying(uint32_t clip, bool playing) override;
    bool IsPlaying(uint32_t clip) override;
    void Goto(uint32_t clip, int frame) override;
    int LabelFrame(uint32_t clip, const std::string& label) override;
    std::string LabelAt(uint32_t clip, int frame, bool exact) override;
    std::vector<std::pair<int, std::string>> Labels(uint32_t clip) override;
    std::vector<SceneSpan> Scenes(uint32_t clip) override;
    double StageWidth() override;
    double StageHeight() override;
    double FrameRate() override;
    bool ToStagePoint(uint32_t serial, double& x, double& y) override;
    bool ToLocalPoint(uint32_t serial, double& x, double& y) override;
    bool Bounds(uint32_t serial, uint32_t space, double out[4]) override;
    bool HitPoint(uint32_t serial, double x, double y, bool shape) override;
    bool HitObject(uint32_t a, uint32_t b) override;
    std::vector<uint32_t> ObjectsUnder(uint32_t container, double x, double y) override;

    // The engine object of a serial, wherever it is; null when gone.
    DisplayObject* Object(uint32_t serial) { return Find(serial); }
    // The character `cls` or its nearest base class stands for; 0: none.
    uint16_t SymbolOf(const avm2::ClassObject* cls) {
        uint16_t id = 0;
        return SymbolOf(cls, id) == &movies_.front() ? id : 0;
    }
    const Movie& MovieOf() const { return movie_; }
    avm2::Machine& Vm() { return m_; }
    std::vector<uint16_t> registeredFonts;  // by Font.registerFont, in order

    Drawing* DrawingOf(uint32_t serial) override;
    ScriptBitmaps* Bitmaps() override { return ctx_.bitmaps; }
    const PlayContext& Context() const { return ctx_; }
    const Bitmap* ClassImage(const avm2::ClassObject* cls) override;
    const Bitmap* ObjectImage(uint32_t serial, avm2::ClassObject*& tied) override;
    void DrawInto(ScriptBitmap& target, uint32_t serial, ScriptBitmap* source, const Matrix& m,
                  const ColorTransform& cx, bool smooth, const PixelRect* clip) override;
    FilterList Filters(uint32_t serial) override;
    void SetFilters(uint32_t serial, FilterList filters) override;
    bool GetMatrix(uint32_t serial, bool concatenated, GeomMatrix& out) override;
    void SetMatrix(uint32_t serial, const GeomMatrix& matrix) override;
    bool GetColor(uint32_t serial, bool concatenated, GeomColorTransform& out) override;
    void SetColor(uint32_t serial, const GeomColorTransform& color) override;
    const std::vector<uint8_t>* EmbeddedBytes(const std::string& className) override;
    uint32_t Mask(uint32_t serial) override;
    LoadedMovie ReadMovie(const std::vector<uint8_t>& bytes, const std::string& url) override;
    void RunFrameScriptsUnder(uint32_t serial) override;
    void SetMask(uint32_t serial, uint32_t mask) override;

private:
    // Objects scripts made or removed, kept for them to put back.
    static constexpr size_t kMaxOrphans = 1 << 14;
    // Objects one walk of the tree visits.
    static constexpr size_t kMaxWalk = 1 << 16;
    MovieClip& RootClip();
    DisplayObject* Find(uint32_t serial);
    MovieClip* FindClip(uint32_t serial);
    avm2::ClassObject* ClassFor(const DisplayObject& obj);
    // Makes the script object of `obj` and of what it holds, runs its
    // constructor unless `construct` is false, and sets it on its parent's
    // variable of its name.
    avm2::Value Build(DisplayObject& obj, bool construct, bool announce = true);
    // A button's states get their script objects (Scripts3Buttons.cpp).
    void ConstructStates(ButtonObject& button, bool timeline);
    uint32_t ButtonState(uint32_t button, int state) override;
    std::unordered_set<uint32_t> statesBuilt_;  // buttons whose states did
    std::unordered_set<uint32_t> stateHolders_;  // sprites made to hold a state
    // Objects whose constructors run: a frame script they have not added
    // yet still runs once they have.
    std::unordered_set<uint32_t> unfinished_;
    void AssignToParent(DisplayObject& obj, const avm2::Value& v);
    std::unique_ptr<DisplayObject> Detach(DisplayObject& obj);
    // `aside`: with the states a button does not draw.
    void Walk(DisplayObject& obj, std::vector<DisplayObject*>& out, size_t limit, bool aside = true);
    // The root, the objects on the stage beside it, and all they hold.
    void WalkStage(std::vector<DisplayObject*>& out);

    avm2::Machine& m_;
    PlayContext& ctx_;
    bool HasSceneData(uint32_t clip);
    const Movie& movie_;
    Timeline& timeline_;  // a seek rebuilds its root
    avm2::Value stage_;
    void Send(uint32_t serial, const char* type, bool bubbles);
    // Runs script: an entry from the host, or from inside a script.
    void Guarded(const std::function<void()>& fn);
    bool OnStage(const DisplayObject& obj);
    // "removed" to `obj`, and "removedFromStage" to it and what it holds
    // when on the stage.
    void Removing(DisplayObject& obj);
    void Index(DisplayObject& obj);

    std::unordered_map<uint32_t, avm2::Value> wrappers_;
    // Where each wrapped object was last seen: its parent and depth, checked
    // before use, so that a freed object is never touched.
    struct Where {
        uint32_t parent;
        int32_t depth;
        std::string name;  // kept for it to answer to while hearing it left
    };
    std::unordered_map<uint32_t, Where> where_;
    std::unordered_map<uint32_t, std::unique_ptr<DisplayObject>> orphans_;
    std::unordered_map<uint32_t, int> framesSeen_;
    // A clip's goto asked for by its own running frame script waits for
    // that script to end.
    void RunGoto(uint32_t clip, int frame);
    void RunQueuedGotos();
    uint32_t scriptClip_ = 0;  // whose frame script runs
    int gotoDepth_ = 0;
    std::vector<std::pair<uint32_t, int>> queuedGotos_;
    bool removing_ = false;
    // While removals are sent: the turn of each clip on the stage as clips
    // advance, and the clip whose removals are heard.
    std::unordered_map<uint32_t, size_t> advanceOrder_;
    uint32_t advancing_ = 0;
    void OrderAdvance(DisplayObject& obj);
    void ClearParentField(uint32_t serial, const std::unordered_set<uint32_t>& live);
    bool entering_ = false;

    // Movies the machine plays (Scripts3Movies.cpp): the host movie first,
    // then those Loaders brought in, each with the classes it ties to its
    // characters. A loaded movie's assets stay while its classes may be
    // constructed.
    struct MovieClasses {
        const MovieAssets* assets = nullptr;
        std::shared_ptr<MovieAssets> keep;
        std::unordered_map<uint16_t, std::string> classOfId;
        std::unordered_map<std::string, uint16_t> idOfClass;
    };
    std::vector<MovieClasses> movies_;
    int framesRun_ = -1;  // the root's frames whose tags ran
    // A clip playing `assets`' main timeline, at its first frame.
    std::unique_ptr<DisplayObject> NewMovieRoot(const MovieAssets& assets);
    void AddMovieClasses(const MovieAssets& assets, std::shared_ptr<MovieAssets> keep);
    // Whether the movie plays in this machine (else in the AVM1 one).
    bool IsAs3(const MovieAssets& assets) const;
    // The movie whose characters `obj` was built from.
    const MovieClasses& ClassesOf(const DisplayObject& obj);
    // The movie and character `cls` or its nearest base class stands for;
    // null: none. A loaded movie's document class stands for its root (0).
    const MovieClasses* SymbolOf(const avm2::ClassObject* cls, uint16_t& id);
};

}  // namespace swf
