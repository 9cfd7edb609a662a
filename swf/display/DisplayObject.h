// Display objects: what a timeline places at a depth. Each kind is a
// subclass of DisplayObject that draws, hit-tests and ticks itself; the
// containers (movie clips, buttons) only walk their children in depth order.
//
// Adding a kind (morph shape, static text, edit text, bitmap, ...):
//  1. its character: a CharacterKind value and a struct in swf/Movie.h,
//     filled by its tag reader;
//  2. one file pair here, <Kind>Object.h/.cpp (MorphShapeObject,
//     StaticTextObject, EditTextObject, BitmapObject), a subclass that
//     overrides Render, HitTest and AddBounds (getBounds, _width), and
//     Tick/Animates if it changes by itself;
//  3. one case in Instantiate (Factory.cpp).
// The placement fields below are shared by every kind; the timeline sets
// them, the kinds only read them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "swf/model/Movie.h"
#include "swf/model/Effects.h"
#include "swf/render/RenderBackend.h"
#include "swf/display/PlayContext.h"

namespace swf {

enum class DisplayKind : uint8_t {
    Empty,  // an unknown id, or over a budget: holds its depth, draws nothing
    Shape,
    MovieClip,
    Button,
    MorphShape,
    StaticText,
    EditText,
    Bitmap,
};

class ClipTransform;
class DisplayObject;
class MovieClip;
class ButtonObject;
class EditTextObject;

using DisplayList = std::map<int32_t, std::unique_ptr<DisplayObject>>;  // by depth, drawn in order

// Where and how an object is placed: what the timeline's commands set.
struct Placement {
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    // Objects above this one up to this depth are masked by it (0: none).
    int32_t clipDepth = 0;
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    bool visible = true;
    std::string name;
    std::string className;
    std::shared_ptr<const FilterList> filters;  // null: none
    // onClipEvent handlers from the placement (null: none).
    std::shared_ptr<const std::vector<ClipEventAction>> clipActions;
};

// What a render walk carries down the tree.
struct RenderContext {
    explicit RenderContext(RenderBackend& to) : backend(to) {}
    RenderBackend& backend;
    // Drawing a mask: only shapes count, so layers and masks inside it are
    // not drawn (what they hold is, unmasked).
    bool definingMask = false;
    // Objects one frame may visit: trees nested many times over stop here.
    size_t objectsLeft = kMaxObjectsPerFrame;
    static constexpr size_t kMaxObjectsPerFrame = 1 << 16;
    FilterScale filterScale;  // the view's scale
    const std::map<uint16_t, Rect>* scalingGrids = nullptr;
    const BitmapSource* bitmaps = nullptr;  // what the backend's fills find now
    // For masks set by scripts: where objects are found by serial, and the
    // stage's matrix to the target. Null: such masks are ignored.
    const PlayContext* objects = nullptr;
    Matrix view;
    // The masks cutting what is drawn now, where each is: a cached picture
    // has them baked in, so they are part of its key.
    uint64_t masks = 0;
};

class DisplayObject : public Placement {
public:
    DisplayObject(DisplayKind kind, uint32_t serial, uint16_t characterId, const Character* character)
        : serial(serial), characterId(characterId), character(character), kind_(kind) {}
    virtual ~DisplayObject() = default;
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    DisplayKind Kind() const { return kind_; }

    // Draws the object (not its placement: `m` and `cx` already include it).
    virtual void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const;
    // Whether the object covers `point` (target twips) when placed by `m`.
    virtual bool HitTest(const Matrix& m, Point point) const;
    // Grows `box` by what the object draws, placed by `m`; `any` says
    // whether `box` holds anything yet.
    virtual void AddBounds(const Matrix& m, Rect& box, bool& any) const;
    // Whether Tick does anything; false lets the timeline skip the object.
    virtual bool Animates() const { return false; }
    // One clock tick of the object and of what it holds.
    virtual void Tick(PlayContext& ctx, ActionQueue* queue);

    virtual MovieClip* AsClip() { return nullptr; }
    virtual const MovieClip* AsClip() const { return nullptr; }
    virtual ButtonObject* AsButton() { return nullptr; }
    virtual const ButtonObject* AsButton() const { return nullptr; }
    virtual EditTextObject* AsEditText() { return nullptr; }
    virtual const EditTextObject* AsEditText() const { return nullptr; }

    uint32_t serial = 0;  // unique per instance, for identity across gotos
    // Numbers the scriptable objects in creation order, parents before what
    // they hold; an unnamed one is called "instanceN" by scripts.
    uint32_t instance = 0;
    std::string ScriptName() const { return name.empty() && instance ? "instance" + std::to_string(instance) : name; }
    int32_t depth = 0;
    // The parent's frame whose command placed it (-1: not the timeline).
    int placedAt = -1;
    uint16_t characterId = 0;
    const Character* character = nullptr;
    DisplayObject* parent = nullptr;
    // A script moved or recoloured it: the timeline's moves leave its
    // matrix and colour transform alone from then on.
    bool scripted = false;
    // Put in its parent by an ActionScript 3 script: the timeline going
    // back or removing at its depth leaves it where it is.
    bool scriptChild = false;
    // A button's state it does not draw: parentless, yet playing.
    bool asideState = false;
    // Removed while it had unload handlers to run: kept in its parent at
    // -1 - its old depth until the next frame (DepthOps.h: TakeOut).
    bool unloading = false;
    // Scale and rotation as scripts last wrote them (ClipProperties.cpp).
    mutable std::shared_ptr<ClipTransform> scriptTransform;
    // Set by scripts (twips of the object's space): only this rectangle
    // shows, its top-left corner at the object's origin.
    std::optional<Rect> scrollRect;
    void SetScrollRect(const std::optional<Rect>& rect) { scrollRect = rect; }
    // Set by scripts: a colour filled under the object's bounds, and a
    // 9-slice grid (twips of the object's space) over its character's.
    std::optional<Rgba> opaqueBackground;
    std::optional<Rect> scale9Grid;
    // setMask (serials, 0: none): the object whose shapes cut this one and
    // all it holds, and on that mask, the object it cuts; a mask in use is
    // not drawn or hit.
    uint32_t scriptMask = 0;
    uint32_t maskOf = 0;
    // _focusrect set on the object itself (unset: the movie's).
    std::optional<bool> focusRect;
    // Set by scripts: its place in the tab order.
    std::optional<double> tabIndex;

private:
    DisplayKind kind_;
};

// The mask a script set on `obj` (null: none, or gone), and whether `obj`
// is such a mask now (then it is neither drawn nor hit).
const DisplayObject* ScriptMaskOf(const PlayContext& ctx, const DisplayObject& obj);
bool ScriptMaskInUse(const PlayContext& ctx, const DisplayObject& obj);

// Whether the layer masks of `list` (placed by `m`) whose range reaches
// `depth` all cover `point`: where they do not, nothing at that depth is hit.
bool InsideLayerMasks(const DisplayList& list, int32_t depth, const Matrix& m, Point point);
// The same, and inside the mask a script set on the child there (`point`
// and `m` in stage twips).
bool InsideMasks(const PlayContext& ctx, const DisplayList& list, int32_t depth, const Matrix& m, Point point);

// Adds `r` mapped through `m` to `box`.
void AddRect(const Matrix& m, const Rect& r, Rect& box, bool& any);
// Adds every child of `list` (masks included), each through its placement.
void AddChildBounds(const DisplayList& list, const Matrix& m, Rect& box, bool& any);

// Draws a list in depth order, each child through its placement. A child
// with a clip depth is a mask: not drawn, it clips the children above it
// up to that depth; where ranges overlap (nested or crossing) the masks cut
// by their intersection, and a sprite used as a mask keeps its own masks.
// A blend mode other than Normal draws the child into an offscreen layer;
// Layer moves the child's alpha there, so the child fades as one picture.
void RenderChildren(RenderContext& rc, const DisplayList& list, const Matrix& m, const ColorTransform& cx);

// Runs `ticks` clock ticks of `obj`; silent (queue null) ticks stop when the
// host call's silent budget is spent.
void AdvanceObject(PlayContext& ctx, DisplayObject& obj, int ticks, ActionQueue* queue);

// A new display object of a character, never null (Factory.cpp). Sprites
// get their clip started at frame 0, buttons their Up state. Unknown ids,
// and anything past the build budget or the nesting limits, give an Empty
// object that still holds its depth. An object placed with a name (`named`)
// takes no instance number.
std::unique_ptr<DisplayObject> Instantiate(PlayContext& ctx, const MovieAssets& from, uint16_t characterId,
                                           int nesting, ActionQueue* queue, bool named = false);

}  // namespace swf
