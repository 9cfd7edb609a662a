// DefineSprite: a character with its own frames, read by the same tag loop
// as the root but taking only control tags.
#include "swf/read/TagReaders.h"

namespace swf {

void ReadDefineSprite(ByteReader& r, ReadContext& ctx, int spriteDepth) {
    uint16_t id = r.U16();
    uint16_t frameCount = r.U16();
    auto c = std::make_unique<SpriteCharacter>();
    TimelineBuilder tl(ctx, c->timeline);
    bool ended = ReadTagStream(r, ctx, tl, true, spriteDepth);
    const std::string name = "sprite " + std::to_string(id);
    tl.Finish(frameCount, name, ended);
    ctx.Define(id, std::move(c));
    if (!ended) throw ReadError(name + " ends without an End tag");
}

}  // namespace swf
