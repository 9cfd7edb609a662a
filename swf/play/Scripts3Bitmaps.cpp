// What ActionScript 3 bitmaps ask of the player: the images of bitmap
// characters tied to classes, and BitmapData.draw of engine objects.
#include "swf/display/BitmapDraw.h"
#include "swf/play/Scripts3Host.h"

namespace swf {

const Bitmap* Scripts3::Host::ClassImage(const avm2::ClassObject* cls) {
    uint16_t id = 0;
    const MovieClasses* from = SymbolOf(cls, id);
    return from && id ? from->assets->movie->FindBitmap(id) : nullptr;
}

const Bitmap* Scripts3::Host::ObjectImage(uint32_t serial, avm2::ClassObject*& tied) {
    tied = nullptr;
    const DisplayObject* o = Find(serial);
    if (!o || o->Kind() != DisplayKind::Bitmap) return nullptr;
    const MovieClasses& classes = ClassesOf(*o);
    auto it = classes.classOfId.find(o->characterId);
    if (it != classes.classOfId.end()) tied = m_.FindClass(it->second);
    return classes.assets->movie->FindBitmap(o->characterId);
}

void Scripts3::Host::DrawInto(ScriptBitmap& target, uint32_t serial, ScriptBitmap* source, const Matrix& m,
                              const ColorTransform& cx, bool smooth, const PixelRect* clip) {
    const DisplayObject* o = serial ? Find(serial) : nullptr;
    if ((serial && !o) || !ctx_.bitmaps) return;
    DrawIntoBitmap(*ctx_.bitmaps, target, o, source, m, cx, smooth, clip);
}

}  // namespace swf
