// onClipEvent handlers (the clip actions of PlaceObject2/3) and ExportAssets.
#include "swf/read/TagReaders.h"

namespace swf {

namespace {

// Bounds the handlers of one placement, so a damaged list cannot run long.
constexpr size_t kMaxClipActions = 256;

uint32_t EventFlags(ByteReader& r, uint8_t version) { return version >= 6 ? r.U32() : r.U16(); }

}  // namespace

std::shared_ptr<const std::vector<ClipEventAction>> ReadClipActions(ByteReader& r, ReadContext& ctx) {
    auto out = std::make_shared<std::vector<ClipEventAction>>();
    r.U16();  // reserved
    EventFlags(r, ctx.version);  // the union of the records' events
    const size_t flagsSize = ctx.version >= 6 ? 4 : 2;
    // A list cut short of its closing flags ends with the tag.
    while (r.Remaining() >= flagsSize) {
        ClipEventAction a;
        a.events = EventFlags(r, ctx.version);
        if (a.events == 0) break;
        if (out->size() >= kMaxClipActions) throw ReadError("too many clip event handlers");
        uint32_t size = r.U32();
        if (size > r.Remaining()) throw ReadError("clip event handler longer than its tag");
        ByteReader body(r.Here(), size);
        r.Skip(size);
        if (a.events & kClipKeyPress) a.keyCode = body.AtEnd() ? 0 : body.U8();
        ReadActionBlock(body, ctx, a.actions);
        out->push_back(std::move(a));
    }
    return out;
}

void ReadExportAssets(ByteReader& r, ReadContext& ctx) {
    const uint16_t count = r.U16();
    for (uint16_t i = 0; i < count && !r.AtEnd(); ++i) {
        const uint16_t id = r.U16();
        std::string name = r.String();
        ctx.movie.exports[std::move(name)] = id;  // a name exported again names the later character
    }
}

}  // namespace swf
