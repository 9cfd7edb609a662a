// Native kinds of the display and event classes: event dispatchers with
// their listeners, events, and movie clips with their frame scripts. A
// display object stands for an engine object of the player, found by its
// serial through the machine's DisplayHost.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "swf/avm2/classes/Builtins.h"
#include "swf/classes/Geom.h"
#include "swf/model/Effects.h"

namespace swf {
class Drawing;
class ScriptBitmap;
class ScriptBitmaps;
struct Bitmap;
struct PixelRect;
}  // namespace swf

namespace swf::avm2 {

class EventObject : public Object {
public:
    EventObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    String* type = nullptr;
    bool bubbles = false, cancelable = false;
    bool defaultPrevented = false, stopped = false, stoppedNow = false;
    int phase = 2;
    Value target, currentTarget;
    std::vector<Value> fields;  // a subclass's own (EventClasses.cpp)
    void Trace(Tracer& t) override;
};

class DispatcherObject : public Object {
public:
    DispatcherObject(ClassObject* cls, Object* proto) : Object(ObjKind::Display, cls, proto) {}
    struct Listener {
        String* type;
        Value fn;
        bool capture;
        int priority;
    };
    std::vector<Listener> listeners;  // by priority, highest first, then by age
    uint32_t serial = 0;  // the engine object shown; 0: none
    bool isStage = false;
    bool built = false;  // the objects under it have their script objects
    bool shaderBlend = false;  // blendMode "shader": drawn as normal
    // What InteractiveObject, containers and Sprite switch for the pointer
    // and the Tab key; -1: the kind's own default.
    bool mouseEnabled = true, mouseChildren = true, doubleClickEnabled = false;
    bool buttonMode = false, useHandCursor = true, tabChildren = true;
    int tabEnabled = -1, tabIndex = -1;
    Value focusRect = Value::Null();
    Value graphics;  // its Graphics, made on first use
    Value filters;   // what scripts set, as kept
    bool filtersSet = false;
    bool Listens(String* type) const;
    void Trace(Tracer& t) override;
};

// Numeric properties of display objects, numbered as the engine's
// timeline properties are (pixels, percent and degrees).
enum DisplayProp : int {
    kDpX = 0, kDpY = 1, kDpXScale = 2, kDpYScale = 3, kDpAlpha = 6, kDpVisible = 7,
    kDpWidth = 8, kDpHeight = 9, kDpRotation = 10,
    // Beyond the timeline's: the blend mode's code, cacheAsBitmap as 0 or
    // 1, the opaque background as 0xRRGGBB or -1 for none.
    kDpBlendMode = 100, kDpCacheAsBitmap = 101, kDpOpaqueBackground = 102,
};

// What the display classes ask of the player about the engine objects
// they stand for, by serial (0: none). Frames are 0-based.
class DisplayHost {
public:
    virtual ~DisplayHost() = default;
    // The script object of an engine object, made on first use; null when gone.
    virtual Value Wrap(uint32_t serial) = 0;
    // While set, the next display object allocated stands for this serial
    // instead of a fresh engine object.
    uint32_t adopting = 0;
    // Gives a script-made display object a fresh engine object (serial
    // stays 0 when none can be made).
    virtual void Create(DispatcherObject* d) = 0;
    // The display constructor ran for `d`: the objects under its engine
    // object get their script objects.
    virtual void Constructing(DispatcherObject* d) = 0;
    virtual Value Stage() = 0;
    virtual uint32_t Root() = 0;
    // The container of what scripts put on the stage beside the root; its
    // script object is the stage. 0: none.
    virtual uint32_t StageSerial() { return 0; }
    virtual uint32_t Parent(uint32_t serial) = 0;
    virtual std::vector<uint32_t> Children(uint32_t serial) = 0;  // in depth order
    virtual bool IsContainer(uint32_t serial) = 0;
    virtual std::string Name(uint32_t serial) = 0;
    virtual void SetName(uint32_t serial, const std::string& name) = 0;
    virtual std::optional<double> Get(uint32_t serial, int prop) = 0;
    virtual void Set(uint32_t serial, int prop, double value) = 0;
    // Moves `child` into `parent` at `index` (past the end: on top), out of
    // where it was; false when it cannot go there.
    virtual bool AddChild(uint32_t parent, uint32_t child, int index) = 0;
    virtual bool RemoveChild(uint32_t parent, uint32_t child) = 0;
    virtual int CurrentFrame(uint32_t clip) = 0;
    virtual int TotalFrames(uint32_t clip) = 0;
    // What totalFrames and framesLoaded say, which may differ from the
    // frames a clip plays.
    virtual int CountedFrames(uint32_t clip) { return TotalFrames(clip); }
    virtual void SetPlaying(uint32_t clip, bool playing) = 0;
    virtual bool IsPlaying(uint32_t clip) = 0;
    virtual void Goto(uint32_t clip, int frame) = 0;
    // The first frame carrying `label`, or -1.
    virtual int LabelFrame(uint32_t clip, const std::string& label) = 0;
    // The label of the frame or of the last labelled one before it; empty: none.
    virtual std::string LabelAt(uint32_t clip, int frame, bool exact) = 0;
    // Scenes in order (first: 0-based frame); none: one scene of all frames.
    struct SceneSpan {
        std::string name;
        int first = 0, frames = 0;
    };
    virtual std::vector<SceneSpan> Scenes(uint32_t) { return {}; }
    // Every label in frame order, repeats kept (0-based frames).
    virtual std::vector<std::pair<int, std::string>> Labels(uint32_t) { return {}; }
    virtual double StageWidth() = 0;
    virtual double StageHeight() = 0;
    virtual double FrameRate() = 0;
    // A point in `serial`'s space (pixels) to the stage's, and back; false
    // when it has no place on the stage.
    virtual bool ToStagePoint(uint32_t, double&, double&) { return false; }
    virtual bool ToLocalPoint(uint32_t, double&, double&) { return false; }
    // The bounds of `serial` in `space`'s coordinates (0: its own), pixels
    // as x, y, width, height; false when it is gone.
    virtual bool Bounds(uint32_t, uint32_t, double[4]) { return false; }
    // The stage point against the object's stage bounds, or against what
    // it draws when `shape`.
    virtual bool HitPoint(uint32_t, double, double, bool) { return false; }
    // Whether the two objects' stage bounds overlap.
    virtual bool HitObject(uint32_t, uint32_t) { return false; }
    // What `container` holds under the stage point (pixels), bottom first.
    virtual std::vector<uint32_t> ObjectsUnder(uint32_t, double, double) { return {}; }
    // The pointer on the stage, pixels.
    double pointerX = 0, pointerY = 0;
    // stage.invalidate() asked for "render" before the next drawing.
    bool renderAsked = false;
    // The object with the keyboard focus: null, or a display object.
    Value focus = Value::Null();
    // The drawing of a container's engine object; null when it has none.
    virtual Drawing* DrawingOf(uint32_t) { return nullptr; }
    // The movie's script-made bitmaps; null without a player.
    virtual ScriptBitmaps* Bitmaps() { return nullptr; }
    // The image of the bitmap character `cls` or its nearest base class
    // stands for; null when none.
    virtual const Bitmap* ClassImage(const ClassObject*) { return nullptr; }
    // The image a bitmap placed by the timeline shows, and the class its
    // character is tied to (null: none); null for anything else.
    virtual const Bitmap* ObjectImage(uint32_t, ClassObject*& tied) {
        tied = nullptr;
        return nullptr;
    }
    // BitmapData.draw: the engine object `serial`, or when 0 `source`'s
    // pixels, into `target`; with `clip`, only inside it.
    virtual void DrawInto(ScriptBitmap&, uint32_t, ScriptBitmap*, const Matrix&, const ColorTransform&, bool,
                          const PixelRect*) {}
    virtual FilterList Filters(uint32_t) { return {}; }
    // The object whose shapes cut `serial` (0: none); setting a mask takes
    // it from what it cut before.
    virtual uint32_t Mask(uint32_t) { return 0; }
    virtual void SetMask(uint32_t, uint32_t) {}
    virtual void SetFilters(uint32_t, FilterList) {}
    // The object's matrix (pixels) in its parent, or to the stage when
    // `concatenated`; false when it is gone. Setting one marks it scripted.
    virtual bool GetMatrix(uint32_t, bool, GeomMatrix&) { return false; }
    virtual void SetMatrix(uint32_t, const GeomMatrix&) {}
    // Its colour transform, alone or with those of what holds it.
    virtual bool GetColor(uint32_t, bool, GeomColorTransform&) { return false; }
    virtual void SetColor(uint32_t, const GeomColorTransform&) {}
    // The bytes the movie embeds for a class of that dotted name; null when
    // it embeds none.
    virtual const std::vector<uint8_t>* EmbeddedBytes(const std::string&) { return nullptr; }
    // A movie a Loader read. `root` is its root's engine object, out of any
    // tree and not yet constructed, its first frame's ABC loaded; 0 when the
    // bytes hold no movie that can play.
    struct LoadedMovie {
        uint32_t root = 0;
        bool as3 = false;  // scripted in ActionScript 3; else an AVM1 movie
        int swfVersion = 0;
        double frameRate = 0;
        int width = 0, height = 0;  // the stage, pixels
    };
    virtual LoadedMovie ReadMovie(const std::vector<uint8_t>&, const std::string&) { return {}; }
    // The object of a timeline button's state (0 up, 1 over, 2 down, 3
    // hit); 0: none, or a button made by script.
    virtual uint32_t ButtonState(uint32_t, int) { return 0; }
    // Runs the frame scripts due under `serial` (a movie just shown).
    virtual void RunFrameScriptsUnder(uint32_t) {}
};

class ClipObject : public DispatcherObject {
public:
    ClipObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    std::vector<Value> frameScripts;  // by 0-based frame; undefined: none
    // The engine clip's count of frames entered when its script last ran:
    // a clip that enters a frame again, even the same one, runs it again.
    uint32_t framesEntered = 0;
    Value FrameScript(int frame) const {
        return frame >= 0 && size_t(frame) < frameScripts.size() ? frameScripts[frame] : Value::Undefined();
    }
    void Trace(Tracer& t) override;
};

// `v` as an instance of the flash.display class `cls` (or a subclass):
// null when it is not (As), TypeError #1034 (Self).
template <class T>
T* AsDisplayInstance(Machine& m, const Value& v, const char* cls) {
    ClassObject* c = m.FindClass(std::string("flash.display.") + cls);
    return c && v.IsObject() && v.o->cls && v.o->cls->IsSubclassOf(c) ? static_cast<T*>(v.o) : nullptr;
}

template <class T>
T* DisplayInstance(Machine& m, const Value& v, const char* cls) {
    T* t = AsDisplayInstance<T>(m, v, cls);
    if (!t) m.TypeError(1034, std::string("Type Coercion failed: cannot convert to flash.display.") + cls + ".");
    return t;
}

// Sends `event` (an Event) to `target`'s listeners, through the capture and
// bubble phases of the objects above it unless `alone`; false when cancelled.
bool DispatchEvent(Machine& m, DispatcherObject* target, EventObject* event, bool alone = false);
// A fresh Event of `type` from the host.
EventObject* NewEvent(Machine& m, const std::string& type, bool bubbles = false);
// The display object or stage `v` is, or null.
DispatcherObject* AsDisplay(Machine& m, const Value& v);
// A display object being allocated gets the engine object it stands for.
void AttachEngineObject(Machine& m, DispatcherObject* d);
void InstallDisplayObjects(Machine& m);
// getBounds, getRect, localToGlobal, globalToLocal and the hit tests.
void InstallDisplayGeometry(Machine& m, ClassObject* display);
void InstallContainerGeometry(Machine& m, ClassObject* container);
void InstallGraphics(Machine& m);
void InstallStage(Machine& m);
void InstallBitmaps(Machine& m);
void InstallFilters(Machine& m);
// The engine's filter for a flash.filters object; false for anything else.
bool EngineFilterOf(Machine& m, const Value& v, Filter& out);
void InstallSimpleButton(Machine& m);
void InstallScenes(Machine& m, ClassObject* clip);
void InstallShaders(Machine& m);
void InstallDisplayEffects(Machine& m, ClassObject* display);
// flash.geom.Transform and DisplayObject.transform.
void InstallTransform(Machine& m, ClassObject* display);
// The engine serial behind `self`, 0 when none (or no player).
uint32_t SerialOf(Machine& m, const Value& self);
// The pixels of a BitmapData value; null for other values and disposed ones.
ScriptBitmap* ScriptBitmapOf(Machine& m, const Value& v);
// The 0-based frame `frame` (number or label) names inside `scene`; throws
// when the scene or label is unknown, -1 for no frame.
int SceneFrame(Machine& m, uint32_t clip, const Value& frame, const Value& scene);
// The first frame of the scene holding `frame`, which frame numbers count from.
int SceneStart(Machine& m, uint32_t clip, int frame);
// The id a BitmapData is shown under (kept while fills name it); 0: none.
uint16_t BitmapIdOf(Machine& m, const Value& bitmapData);
void InstallEventClasses(Machine& m);
void InstallInteractive(Machine& m);
// Gives the keyboard focus to `to` (null: none): "focusOut" to the object
// losing it, then "focusIn" to the one taking it.
void MoveFocus(Machine& m, const Value& to, uint32_t keyCode);
// Whether `d` takes part in Tab order: as set, else buttons and sprites
// in button mode.
bool TabEnabled(Machine& m, const DispatcherObject* d);

}  // namespace swf::avm2
