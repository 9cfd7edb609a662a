// Script bitmaps on movie clips: attachBitmap shows a BitmapData (and its
// later changes) at a depth; beginBitmapFill fills the clip's drawing with it.
#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"
#include "swf/display/BitmapObject.h"
#include "swf/display/DepthOps.h"
#include "swf/classes/Drawing.h"
#include "swf/classes/DrawingStyles.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

std::shared_ptr<ScriptBitmap> LiveArg(CallArgs& a, size_t i) {
    std::shared_ptr<ScriptBitmap> b = BitmapOf(a.Arg(i));
    return b && !b->Data().Disposed() && b->Id() ? b : nullptr;
}

// attachBitmap(bitmap, depth, pixelSnapping, smoothing)
Value AttachBitmap(CallArgs& a) {
    MovieClip* clip = ClipOf(a);
    std::shared_ptr<ScriptBitmap> bitmap = LiveArg(a, 0);
    if (!clip || !bitmap) return Value();
    PlayContext& ctx = HostOf(a.vm).Context();
    auto obj = std::make_unique<ScriptBitmapObject>(ctx.nextSerial++, std::move(bitmap), a.vm.ToBool(a.Arg(3)));
    if (!PlaceAtDepth(ctx, *clip, std::move(obj), NumberArg(a, 1)))
        a.vm.Report("attachBitmap: depth out of range or build budget spent");
    return Value();
}

// beginBitmapFill(bitmap, matrix, repeat, smoothing)
Value BeginBitmapFill(CallArgs& a) {
    MovieClip* clip = ClipOf(a);
    if (!clip) return Value();
    Drawing& d = clip->Graphics();
    std::shared_ptr<ScriptBitmap> bitmap = LiveArg(a, 0);
    if (!bitmap) {
        d.EndFill();
        return Value();
    }
    // The fill's matrix maps texels, a pixel each, into twips.
    GeomMatrix m = ReadMatrix(a.vm, a.Arg(1));
    for (double* term : {&m.a, &m.b, &m.c, &m.d}) *term *= kTwipsPerPixel;
    const bool repeat = a.args.size() < 3 || a.args[2].IsUndefined() || a.vm.ToBool(a.args[2]);
    d.BeginFillStyle(BitmapFillStyle(bitmap->Id(), m, repeat, a.vm.ToBool(a.Arg(3))));
    BitmapsOf(a.vm).Keep(bitmap);
    return Value();
}

}  // namespace

void InstallClipBitmaps(avm1::Vm& vm) {
    vm.DefineNative(vm.clipProto, "attachBitmap", AttachBitmap);
    vm.DefineNative(vm.clipProto, "beginBitmapFill", BeginBitmapFill);
}

}  // namespace swf::bind
