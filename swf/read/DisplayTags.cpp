// PlaceObject 1/2/3, RemoveObject 1/2 and the per-timeline frame builder.
#include <algorithm>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

void ReadPlace2Fields(ByteReader& r, uint8_t flags, DisplayCommand& c, bool withClassName,
                      bool alphaCxform) {
    if (withClassName) c.className = r.String();
    if (flags & kPlaceHasCharacter) c.characterId = r.U16();
    if (flags & kPlaceHasMatrix) c.matrix = r.ReadMatrix();
    if (flags & kPlaceHasCxform) c.cxform = r.ReadCxform(alphaCxform);
    if (flags & kPlaceHasRatio) c.ratio = r.U16();
    if (flags & kPlaceHasName) c.name = r.String();
    if (flags & kPlaceHasClipDepth) c.clipDepth = r.U16();
    c.move = (flags & kPlaceMove) != 0;
    c.hasCharacter = (flags & kPlaceHasCharacter) != 0;
    c.hasMatrix = (flags & kPlaceHasMatrix) != 0;
    c.hasCxform = (flags & kPlaceHasCxform) != 0;
    c.hasRatio = (flags & kPlaceHasRatio) != 0;
    c.hasName = (flags & kPlaceHasName) != 0;
    c.hasClipDepth = (flags & kPlaceHasClipDepth) != 0;
}

}  // namespace

void ReadPlaceObject(ByteReader& r, uint16_t code, ReadContext& ctx, TimelineBuilder& tl) {
    DisplayCommand c;
    c.kind = DisplayCommand::Kind::Place;
    if (code == kTagPlaceObject) {
        c.characterId = r.U16();
        c.depth = r.U16();
        c.matrix = r.ReadMatrix();
        c.hasCharacter = c.hasMatrix = true;
        if (!r.AtEnd()) {
            c.cxform = r.ReadCxform(false);
            c.hasCxform = true;
        }
        tl.AddCommand(std::move(c));
        return;
    }
    uint8_t flags = r.U8();
    uint8_t flags3 = code == kTagPlaceObject3 ? r.U8() : 0;
    c.depth = r.U16();
    // Only its own flag brings a class name: a placed image (HasImage with
    // a character) carries none, whatever the format's notes suggest.
    ReadPlace2Fields(r, flags, c, (flags3 & kPlace3HasClassName) != 0, true);
    if (!c.move && !c.hasCharacter) throw ReadError("places nothing: neither a character nor a move");
    if (code == kTagPlaceObject3) {
        try {
            if (flags3 & kPlace3HasFilters) {
                c.filters = ReadFilterList(r);
                c.hasFilters = true;
            }
            if (flags3 & kPlace3HasBlendMode) {
                c.blendMode = r.U8();
                c.hasBlendMode = true;
            }
            if (flags3 & kPlace3HasCacheAsBitmap) {
                // Some writers set the flag and leave the byte out.
                c.cacheAsBitmap = r.AtEnd() || r.U8() != 0;
                c.hasCacheAsBitmap = true;
            }
            // Before version 11 the flag's bit was unused.
            if ((flags3 & kPlace3HasVisible) && ctx.version >= kPlaceVisibleVersion && !r.AtEnd()) {
                c.visible = r.U8() != 0;
                c.hasVisible = true;
            }
            if ((flags3 & kPlace3HasBackground) && ctx.version >= kPlaceVisibleVersion) r.U32();
        } catch (const ReadError& e) {
            // The placement itself is good; keep it and report the rest.
            c.filters.clear();
            tl.AddCommand(std::move(c));
            throw ReadError(std::string(e.what()) + "; filters and blend mode not read");
        }
    }
    if ((flags & kPlaceHasClipActions) && !r.AtEnd()) {
        try {
            c.clipActions = ReadClipActions(r, ctx);
        } catch (const ReadError& e) {
            tl.AddCommand(std::move(c));
            throw ReadError(std::string(e.what()) + "; clip event handlers not read");
        }
    }
    tl.AddCommand(std::move(c));
}

void ReadRemoveObject(ByteReader& r, uint16_t code, ReadContext&, TimelineBuilder& tl) {
    DisplayCommand c;
    c.kind = DisplayCommand::Kind::Remove;
    if (code == kTagRemoveObject) {
        c.characterId = r.U16();
        c.hasCharacter = true;
    }
    c.depth = r.U16();
    tl.AddCommand(std::move(c));
}

void TimelineBuilder::AddCommand(DisplayCommand cmd) {
    if (ctx_.commandsLeft == 0) throw ReadError("too many display-list commands in the movie");
    --ctx_.commandsLeft;
    pending_.commands.push_back(std::move(cmd));
    pendingUsed_ = true;
}

void TimelineBuilder::AddActions(ActionBlock block) {
    block.commandsBefore = pending_.commands.size();
    pending_.actions.push_back(std::move(block));
    pendingUsed_ = true;
}

void TimelineBuilder::AddInitActions(InitAction init) {
    pending_.initActions.push_back(std::move(init));
    pendingUsed_ = true;
}

void TimelineBuilder::SetLabel(const std::string& label) {
    int frame = static_cast<int>(out_.frames.size());
    out_.labels.emplace(label, frame);  // the first frame with a label keeps it
    if (pending_.label.empty()) pending_.label = label;
    pendingUsed_ = true;
}

void TimelineBuilder::ShowFrame() {
    if (out_.frames.size() >= ReadLimits::kMaxFramesPerTimeline || ctx_.framesLeft == 0)
        throw ReadError("too many frames");
    --ctx_.framesLeft;
    pending_.background = background_;
    out_.frames.push_back(std::move(pending_));
    pending_ = Frame();
    pendingUsed_ = false;
}

void TimelineBuilder::Finish(uint16_t declaredFrames, const std::string& where, bool ended) {
    out_.loops = ended && !pendingUsed_;
    if (pendingUsed_ || out_.frames.empty()) {  // a last frame without its ShowFrame still plays
        pending_.background = background_;
        out_.frames.push_back(std::move(pending_));
        pending_ = Frame();
        if (ctx_.framesLeft > 0) --ctx_.framesLeft;
    }
    out_.playedFrames = static_cast<int>(out_.frames.size());
    const size_t want = std::min<size_t>(declaredFrames, ReadLimits::kMaxFramesPerTimeline);
    if (out_.frames.size() > want && want > 0)
        ReportError(ctx_.errors, where + " holds " + std::to_string(out_.frames.size()) +
                                     " frames, more than its header's count of " + std::to_string(declaredFrames));
    if (out_.frames.size() < want) {
        size_t room = std::min(want - out_.frames.size(), ctx_.framesLeft);
        if (room < want - out_.frames.size())
            ReportError(ctx_.errors, where + ": frame budget exhausted; frame count cut");
        ctx_.framesLeft -= room;
        Frame empty;
        empty.background = out_.frames.back().background;
        out_.frames.resize(out_.frames.size() + room, empty);
    }
}

}  // namespace swf
