// Instantiate: the one place that maps a character kind to its display kind.
#include "swf/display/BitmapObject.h"
#include "swf/display/ButtonObject.h"
#include "swf/display/MorphShapeObject.h"
#include "swf/display/MovieClip.h"
#include "swf/display/ShapeObject.h"
#include "swf/display/TextObjects.h"

namespace swf {

namespace {

std::unique_ptr<DisplayObject> MakeSprite(PlayContext& ctx, const MovieAssets& from, uint16_t id,
                                          const SpriteCharacter& def, int nesting, ActionQueue* queue, bool named) {
    // Sprites may place themselves; the nesting and clip limits end the
    // recursion (an over-limit sprite stays empty).
    if (nesting >= PlayContext::kMaxNesting || ctx.liveClips.size() >= PlayContext::kMaxLiveClips)
        return std::make_unique<DisplayObject>(DisplayKind::Empty, ctx.nextSerial++, id, &def);
    auto clip = std::make_unique<MovieClip>(ctx, def.timeline, nesting, id, &def, &from);
    // A registered class is constructed before the clip's first actions.
    if (!named) clip->instance = ++ctx.instancesMade;
    if (queue) queue->push_back({clip->serial, nullptr, 0, kClipConstruct});
    clip->Start(queue);
    return clip;
}

std::unique_ptr<DisplayObject> Numbered(PlayContext& ctx, std::unique_ptr<DisplayObject> obj, bool named) {
    if (!named && ctx.as3 && !obj->instance) obj->instance = ++ctx.instancesMade;
    return obj;
}

}  // namespace

std::unique_ptr<DisplayObject> Instantiate(PlayContext& ctx, const MovieAssets& from, uint16_t id, int nesting,
                                           ActionQueue* queue, bool named) {
    const Character* c = from.movie->Find(id);
    if (!c || ctx.buildsLeft == 0)  // unknown, or over budget: an empty placeholder
        return std::make_unique<DisplayObject>(DisplayKind::Empty, ctx.nextSerial++, id, nullptr);
    --ctx.buildsLeft;
    switch (c->kind) {
    case CharacterKind::Shape:
        return Numbered(ctx, std::make_unique<ShapeObject>(ctx.nextSerial++, id, static_cast<const ShapeCharacter&>(*c)),
                        named);
    case CharacterKind::Sprite:
        return MakeSprite(ctx, from, id, static_cast<const SpriteCharacter&>(*c), nesting, queue, named);
    case CharacterKind::Button:
        return std::make_unique<ButtonObject>(ctx, from, id, static_cast<const ButtonCharacter&>(*c), nesting, queue,
                                              named);
    case CharacterKind::MorphShape:
        return Numbered(
            ctx, std::make_unique<MorphShapeObject>(ctx.nextSerial++, id, static_cast<const MorphShapeCharacter&>(*c)),
            named);
    case CharacterKind::Bitmap:
        return Numbered(ctx, std::make_unique<BitmapObject>(ctx.nextSerial++, id, static_cast<const BitmapCharacter&>(*c)),
                        named);
    case CharacterKind::StaticText:
        return Numbered(ctx, std::make_unique<StaticTextObject>(ctx, from, id, static_cast<const StaticTextCharacter&>(*c)),
                        named);
    case CharacterKind::EditText:
    {
        auto field = std::make_unique<EditTextObject>(ctx, from, id, static_cast<const EditTextCharacter&>(*c));
        if (!named) field->instance = ++ctx.instancesMade;
        return field;
    }
    case CharacterKind::Font:
    case CharacterKind::Sound: break;  // not placeable
    }
    return std::make_unique<DisplayObject>(DisplayKind::Empty, ctx.nextSerial++, id, c);
}

}  // namespace swf
