// The parsed movie: header facts, a dictionary of characters and, for the
// root and for every sprite, a list of frames. A frame is a delta: the
// display-list commands, action blocks and background of that frame. The
// model is immutable once read; the timeline (Timeline.h) plays it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "swf/model/Bitmap.h"
#include "swf/model/Color.h"
#include "swf/model/Effects.h"
#include "swf/model/Font.h"
#include "swf/model/FormatCodes.h"
#include "swf/model/Geometry.h"
#include "swf/model/MorphShape.h"
#include "swf/model/Shape.h"
#include "swf/model/Sound.h"

namespace swf {

// One AVM1 action as read: its code and its payload bytes. The runner
// decodes payloads itself, so unknown actions cost nothing but their bytes.
struct ActionRecord {
    uint8_t code = 0;
    std::vector<uint8_t> payload;
};

struct ActionBlock {
    std::vector<ActionRecord> records;
    // A frame's block: how many of the frame's display commands came before it.
    size_t commandsBefore = 0;
};

// One onClipEvent handler: the events it runs on (ClipEventFlags) and, for
// keyPress, the key.
struct ClipEventAction {
    uint32_t events = 0;
    uint8_t keyCode = 0;
    ActionBlock actions;
};

// PlaceObject, PlaceObject2/3 and RemoveObject/2 as one record.
struct DisplayCommand {
    enum class Kind : uint8_t { Place, Remove };
    Kind kind = Kind::Place;
    uint16_t depth = 0;
    // Place: `move` modifies what sits at `depth`; without it a new object
    // is placed there. A character with `move` replaces the character.
    bool move = false;
    bool hasCharacter = false;
    bool hasMatrix = false;
    bool hasCxform = false;
    bool hasRatio = false;
    bool hasName = false;
    bool hasClipDepth = false;
    bool hasBlendMode = false;
    bool hasCacheAsBitmap = false;
    bool hasVisible = false;
    uint16_t characterId = 0;
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;
    uint8_t blendMode = 0;  // BlendMode codes; 0 and 1 are both Normal
    bool cacheAsBitmap = false;
    bool visible = true;
    std::string name;
    std::string className;  // PlaceObject3: kept for scripts
    bool hasFilters = false;
    FilterList filters;
    // onClipEvent handlers of a placed sprite (null: none); shared with
    // every object placed by the command.
    std::shared_ptr<const std::vector<ClipEventAction>> clipActions;
};

// DoInitAction: run once per sprite, before the actions of its frame.
struct InitAction {
    uint16_t spriteId = 0;
    ActionBlock actions;
};

struct Frame {
    std::vector<DisplayCommand> commands;
    std::vector<InitAction> initActions;
    std::vector<ActionBlock> actions;
    std::string label;
    Rgba background;  // the background in force at this frame
    std::vector<SoundStart> sounds;  // StartSound/StartSound2, in file order
    StreamBlock streamBlock;         // null: none in this frame
};

// The frames of the root or of one sprite.
struct TimelineData {
    // Never empty once read: the frames the file holds, padded to the
    // header's count when it declares more.
    std::vector<Frame> frames;
    // Playing stops at the last frame the file holds (0: all of `frames`),
    // as the player waits there for frames that never load.
    int playedFrames = 0;
    // Playing past that frame starts over only when the file's End tag came
    // right after its last ShowFrame: a timeline cut short, or ending in a
    // frame with no ShowFrame, stays where it is.
    bool loops = true;
    std::map<std::string, int> labels;  // label -> 0-based frame
    StreamHead stream;  // SoundStreamHead/2, if the timeline has one
};

// One kind per display kind that can be placed (swf/display/DisplayObject.h
// says how to add one); fonts and other data come as kinds of their own.
enum class CharacterKind : uint8_t {
    Shape,
    Sprite,
    Button,
    Bitmap,
    MorphShape,
    Font,        // not placeable; text refers to it by id
    StaticText,
    EditText,
    Sound,       // not placeable; started by frames, buttons and scripts
};

struct Character {
    explicit Character(CharacterKind k) : kind(k) {}
    virtual ~Character() = default;
    CharacterKind kind;
    uint16_t id = 0;
};

struct ShapeCharacter : Character {
    ShapeCharacter() : Character(CharacterKind::Shape) {}
    Shape shape;
};

struct SpriteCharacter : Character {
    SpriteCharacter() : Character(CharacterKind::Sprite) {}
    TimelineData timeline;
};

struct ButtonRecord {
    uint8_t states = 0;  // ButtonStateFlags
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform cxform;
    uint8_t blendMode = 0;
    FilterList filters;
};

struct ButtonAction {
    uint16_t conditions = 0;  // ButtonCondition bits
    ActionBlock actions;
};

struct ButtonCharacter : Character {
    ButtonCharacter() : Character(CharacterKind::Button) {}
    std::vector<ButtonRecord> records;  // in file order; drawn by depth
    std::vector<ButtonAction> actions;
    bool trackAsMenu = false;
    ButtonSounds sounds;  // DefineButtonSound
};

// Decoded once, when the movie is read; a bitmap that cannot be decoded is
// not defined at all, so fills of it draw nothing.
struct BitmapCharacter : Character {
    BitmapCharacter() : Character(CharacterKind::Bitmap) {}
    Bitmap bitmap;
    uint16_t deblocking = 0;  // DefineBitsJPEG4, 8.8; applied when decoded
};

struct MorphShapeCharacter : Character {
    MorphShapeCharacter() : Character(CharacterKind::MorphShape) {}
    MorphShape morph;
};

struct FontCharacter : Character {
    FontCharacter() : Character(CharacterKind::Font) {}
    FontData font;
};

struct StaticTextCharacter : Character {
    StaticTextCharacter() : Character(CharacterKind::StaticText) {}
    StaticTextData text;
};

struct EditTextCharacter : Character {
    EditTextCharacter() : Character(CharacterKind::EditText) {}
    EditTextData field;
};

struct SoundCharacter : Character {
    SoundCharacter() : Character(CharacterKind::Sound) {}
    SoundFormat format;
    uint32_t sampleCount = 0;  // per channel, as declared
    std::vector<uint8_t> data;  // coded; MP3 keeps its seek-sample count in front
};

// An ActionScript 3 block (DoABC): run when its frame is reached; a lazy
// one only defines its scripts until something needs them.
struct AbcBlock {
    int frame = 0;
    bool lazy = false;
    std::string name;
    std::vector<uint8_t> bytes;
};

// SymbolClass: a character (0: the main timeline) and its class name.
struct SymbolClassEntry {
    uint16_t id = 0;
    std::string className;
    int frame = 0;
};

struct MovieHeader {
    bool compressed = false;
    uint8_t version = 0;
    uint32_t fileLength = 0;
    Rect stage;
    uint16_t frameRate88 = 0;  // 8.8 fixed, as stored
    uint16_t frameCount = 0;
};

class Movie : public BitmapSource {
public:
    MovieHeader header;
    std::map<uint16_t, std::unique_ptr<Character>> dictionary;
    TimelineData root;
    std::map<uint16_t, Rect> scalingGrids;  // DefineScalingGrid, by character
    uint16_t scriptRecursion = 0;  // ScriptLimits' deepest nesting of calls; 0: not given
    // ExportAssets: linkage name to character, for attachMovie.
    std::map<std::string, uint16_t> exports;
    std::vector<AbcBlock> abcBlocks;
    std::vector<SymbolClassEntry> symbolClasses;
    // DefineSceneAndFrameLabelData on the root: (0-based first frame, name).
    std::vector<std::pair<int, std::string>> scenes, sceneLabels;
    bool hasSceneData = false;
    // DefineBinaryData: bytes a script class embeds, by character id.
    std::map<uint16_t, std::vector<uint8_t>> binaryData;

    const Character* Find(uint16_t id) const {
        auto it = dictionary.find(id);
        return it == dictionary.end() ? nullptr : it->second.get();
    }
    const Bitmap* FindBitmap(uint16_t id) const override {
        const Character* c = Find(id);
        return c && c->kind == CharacterKind::Bitmap ? &static_cast<const BitmapCharacter*>(c)->bitmap : nullptr;
    }
};

}  // namespace swf
