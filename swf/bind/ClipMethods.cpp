// MovieClip methods on the timeline and the tree: play and the gotos,
// depths, clips made, copied and removed, bounds, hit tests and points
// between spaces, drags, bytes loaded and getURL.
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/classes/ClipTransform.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/DepthOps.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

int Magic(CallArgs& a) { return a.callee && a.callee->fn ? a.callee->fn->magic : 0; }
avm1::ClipId IdOf(CallArgs& a) { return a.vm.ClipOf(a.self); }

enum { kPlay, kStop, kNext, kPrev };

Value PlayControl(CallArgs& a) {
    MovieClip* c = ClipOf(a);
    if (!c) return Value();
    switch (Magic(a)) {
    case kPlay: c->SetPlaying(true); break;
    case kStop: c->SetPlaying(false); break;
    case kNext: a.vm.Goto(c->serial, c->CurrentFrame() + 1, false); break;
    case kPrev: a.vm.Goto(c->serial, c->CurrentFrame() - 1, false); break;
    }
    return Value();
}

Value GotoAnd(CallArgs& a) {  // magic 1: gotoAndPlay
    if (ClipOf(a)) a.vm.GotoFrameValue(IdOf(a), a.Arg(0), Magic(a) == 1, 0);
    return Value();
}

Value GetDepth(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    return o ? Value::Num(ScriptDepth(*o)) : Value();
}

Value SwapDepthsNative(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    MovieClip* parent = o && o->parent ? o->parent->AsClip() : nullptr;
    if (!parent) return Value();
    double depth;
    if (DisplayObject* other = ObjectOf(a.vm, a.Arg(0))) {
        if (other->parent != parent) return Value();
        depth = ScriptDepth(*other);
    } else {
        depth = NumberArg(a, 0);
    }
    SwapDepths(*parent, *o, depth);
    return Value();
}

Value NextHighest(CallArgs& a) {
    MovieClip* c = ClipOf(a);
    return c ? Value::Num(NextHighestDepth(*c)) : Value();
}

Value AtDepth(CallArgs& a) {
    MovieClip* c = ClipOf(a);
    return c ? ValueOf(a.vm, InstanceAtDepth(*c, NumberArg(a, 0))) : Value();
}

// Copies an init object's own members onto a new clip.
void ApplyInit(avm1::Vm& vm, const Value& clip, const Value& init) {
    if (!init.IsObject() || clip.IsUndefined()) return;
    avm1::PinGuard pin(vm);
    for (const avm1::Property& p : init.o->Props())
        if (!(p.flags & avm1::kDontEnum)) vm.SetMember(clip, p.name, p.value);
}

Value CreateEmpty(CallArgs& a) {
    MovieClip* c = ClipOf(a);
    if (!c || a.args.size() < 2) return Value();
    ScriptHost& host = HostOf(a.vm);
    MovieClip* made = CreateEmptyClip(host.Context(), *c, a.vm.ToString(a.args[0]), NumberArg(a, 1));
    if (!made) {
        a.vm.Report("createEmptyMovieClip: depth out of range or clip budget spent");
        return Value();
    }
    host.Created(*made);
    // Its onConstruct (from MovieClip.prototype) runs at once, apart from
    // the calling script: what it throws stops only itself. It is called on
    // the clip itself, not its path: an older clip of the same name would
    // take the call.
    const Value self = Value::Obj(a.vm.ClipObject(made->serial));
    a.vm.CallApart(a.vm.GetMember(self, "onConstruct"), self);
    return ValueOf(a.vm, made);
}

Value Duplicate(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o || a.args.size() < 2) return Value();
    DisplayObject* copy =
        HostOf(a.vm).Duplicate(*o, a.vm.ToString(a.args[0]), NumberArg(a, 1));
    Value v = ValueOf(a.vm, copy);
    ApplyInit(a.vm, v, a.Arg(2));
    return v;
}

Value Remove(CallArgs& a) {
    if (DisplayObject* o = ObjectOf(a)) HostOf(a.vm).Remove(*o);
    return Value();
}

// getBounds(space) and getRect(space): {xMin, xMax, yMin, yMax} in pixels.
Value Bounds(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    // Anything but a display object names a space by its text, a path
    // found from this clip (undefined: "undefined" from version 7).
    const DisplayObject* space = a.args.empty() ? o : ObjectOf(a.vm, a.args[0]);
    if (!a.args.empty() && !space) {
        const std::string path = a.vm.ToString(a.args[0]);
        if (!path.empty()) space = HostOf(a.vm).Object(a.vm.ResolvePath(IdOf(a), path));
    }
    ScriptHost& host = HostOf(a.vm);
    if (a.vm.Version() >= 8 || host.Context().movie.header.version >= 8) host.wholeNowhere = true;
    if (!space) return Value();
    GeomRect r = GetBounds(*o, space);
    if (host.wholeNowhere && space != o && r.x == kNowherePixels && r.width == 0 && r.height == 0)
        r.x = r.y = 134217728 / 20.0;
    avm1::Object* out = a.vm.NewObject(a.vm.objectProto);
    a.vm.Put(out, "xMin", Value::Num(r.x));
    a.vm.Put(out, "xMax", Value::Num(r.Right()));
    a.vm.Put(out, "yMin", Value::Num(r.y));
    a.vm.Put(out, "yMax", Value::Num(r.Bottom()));
    return Value::Obj(out);
}

Value HitTestNative(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o || a.args.empty()) return Value::Bool(false);
    if (a.args.size() >= 2) {
        GeomPoint p{NumberArg(a, 0), NumberArg(a, 1)};
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return Value::Bool(false);
        // Outside its scripted mask nothing of the clip shows.
        const DisplayObject* mask = ScriptMaskOf(HostOf(a.vm).Context(), *o);
        if (mask && !HitTestPoint(*mask, p, true)) return Value::Bool(false);
        return Value::Bool(HitTestPoint(*o, p, a.vm.ToBool(a.Arg(2))));
    }
    DisplayObject* other = ObjectOf(a.vm, a.args[0]);
    return Value::Bool(other && HitTestObject(*o, *other));
}

// localToGlobal(pt) / globalToLocal(pt) (magic 1): changes pt.x and pt.y.
Value ConvertPoint(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    const Value& pt = a.Arg(0);
    if (!o || !pt.IsObject()) return Value();
    GeomPoint p{a.vm.ToNumber(a.vm.GetMember(pt, "x")), a.vm.ToNumber(a.vm.GetMember(pt, "y"))};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return Value();
    p = Magic(a) == 1 ? GlobalToLocal(*o, p) : LocalToGlobal(*o, p);
    a.vm.SetMember(pt, "x", Value::Num(p.x));
    a.vm.SetMember(pt, "y", Value::Num(p.y));
    return Value();
}

// startDrag(lockCenter, left, top, right, bottom)
Value StartDragNative(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    std::optional<GeomRect> limits;
    if (a.args.size() >= 5) {
        const double l = NumberArg(a, 1), t = NumberArg(a, 2), r = NumberArg(a, 3), b = NumberArg(a, 4);
        if (std::isfinite(l) && std::isfinite(t) && std::isfinite(r) && std::isfinite(b))
            limits = GeomRect{std::fmin(l, r), std::fmin(t, b), std::fabs(r - l), std::fabs(b - t)};
    }
    HostOf(a.vm).BeginDrag(*o, a.vm.ToBool(a.Arg(0)), limits);
    return Value();
}

Value StopDragNative(CallArgs& a) {
    HostOf(a.vm).StopDrag();
    return Value();
}

// The size of the movie the clip comes from (or was loaded with).
Value Bytes(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    const MovieClip* clip = o->AsClip();
    const Movie& movie = clip ? *clip->Assets().movie : HostOf(a.vm).Context().movie;
    return Value::Num(movie.header.fileLength);
}

// The version of the movie the clip comes from (or was loaded with).
Value SwfVersion(CallArgs& a) {
    const DisplayObject* o = ObjectOf(a);
    return o ? Value::Num(HostOf(a.vm).VersionOf(IdOf(a))) : Value();
}

Value GetUrlNative(CallArgs& a) {
    if (!ObjectOf(a) || a.args.empty()) return Value();
    a.vm.HostRef().GetUrl(a.vm.ToString(a.args[0]), a.vm.ToString(a.Arg(1)), SendMethod(a.vm, a.Arg(2)));
    return Value();
}

// loadVariables(url, method), loadMovie(url, method), unloadMovie().
Value LoadNative(CallArgs& a) {
    if (!ObjectOf(a) || (a.args.empty() && Magic(a) != 2)) return Value();
    ScriptHost& host = HostOf(a.vm);
    const std::string url = Magic(a) == 2 ? std::string() : a.vm.ToString(a.args[0]);
    if (Magic(a) == 1) host.LoadVariables(IdOf(a), url, SendMethod(a.vm, a.Arg(1)));
    else host.LoadClip(IdOf(a), url, SendMethod(a.vm, a.Arg(1)));
    return Value();
}

}  // namespace

int SendMethod(avm1::Vm& vm, const avm1::Value& v) {
    const std::string m = vm.ToString(v);
    return avm1::EqualNames(m, "GET", true) ? 1 : avm1::EqualNames(m, "POST", true) ? 2 : 0;
}

void InstallClipMethods(avm1::Vm& vm) {
    avm1::Object* clip = vm.clipProto;
    vm.DefineNative(clip, "play", PlayControl, kPlay);
    vm.DefineNative(clip, "stop", PlayControl, kStop);
    vm.DefineNative(clip, "nextFrame", PlayControl, kNext);
    vm.DefineNative(clip, "prevFrame", PlayControl, kPrev);
    vm.DefineNative(clip, "gotoAndStop", GotoAnd, 0);
    vm.DefineNative(clip, "gotoAndPlay", GotoAnd, 1);
    vm.DefineNative(clip, "getNextHighestDepth", NextHighest);
    vm.DefineNative(clip, "getInstanceAtDepth", AtDepth);
    vm.DefineNative(clip, "createEmptyMovieClip", CreateEmpty);
    vm.DefineNative(clip, "duplicateMovieClip", Duplicate);
    vm.DefineNative(clip, "removeMovieClip", Remove);
    vm.DefineNative(clip, "hitTest", HitTestNative);
    vm.DefineNative(clip, "startDrag", StartDragNative);
    vm.DefineNative(clip, "stopDrag", StopDragNative);
    vm.DefineNative(clip, "getBytesLoaded", Bytes);
    vm.DefineNative(clip, "getBytesTotal", Bytes);
    vm.DefineNative(clip, "getSWFVersion", SwfVersion);
    vm.DefineNative(clip, "getURL", GetUrlNative);
    vm.DefineNative(clip, "loadMovie", LoadNative, 0);
    vm.DefineNative(clip, "loadVariables", LoadNative, 1);
    vm.DefineNative(clip, "unloadMovie", LoadNative, 2);
    for (avm1::Object* proto : {vm.clipProto, vm.buttonProto, vm.textFieldProto}) {
        vm.DefineNative(proto, "getDepth", GetDepth);
        vm.DefineNative(proto, "swapDepths", SwapDepthsNative);
        vm.DefineNative(proto, "getBounds", Bounds);
        vm.DefineNative(proto, "getRect", Bounds);
        vm.DefineNative(proto, "localToGlobal", ConvertPoint, 0);
        vm.DefineNative(proto, "globalToLocal", ConvertPoint, 1);
    }
    // SWF 5 code does not see getDepth.
    if (avm1::Property* p = clip->Find("getDepth", false)) p->flags |= avm1::kOnlySwf6Up;
}

}  // namespace swf::bind
