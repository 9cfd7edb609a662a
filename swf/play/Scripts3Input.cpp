// The pointer, the wheel and keys for ActionScript 3: mouse events to the
// interactive object under the pointer (over/out and roll events as it
// moves between objects), keyboard events to the focus, and Tab moving it.
#include <algorithm>

#include "swf/avm2/Machine.h"
#include "swf/display/ClipGeometry.h"
#include "swf/host/KeyCodes.h"
#include "swf/play/Scripts3Host.h"

namespace swf {

namespace {

constexpr int kMaxPickDepth = 64;

avm2::DispatcherObject* ScriptOf(Scripts3::Host& h, const DisplayObject& obj) {
    avm2::Value v = h.Wrap(obj.serial);
    return v.IsObject() && v.o->kind == avm2::ObjKind::Display ? static_cast<avm2::DispatcherObject*>(v.o) : nullptr;
}

bool Interactive(const DisplayObject& obj) {
    return obj.AsClip() || obj.AsButton() || obj.AsEditText();
}

// The object under `p` in `clip` that hears the pointer: the topmost
// interactive one hit, a container standing for what it holds, or null.
DisplayObject* Pick(Scripts3::Host& h, MovieClip& clip, const Matrix& toStage, Point p, int depth) {
    if (depth > kMaxPickDepth) return nullptr;
    auto& list = clip.List();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& obj = *it->second;
        if (!obj.visible || obj.clipDepth != 0) continue;
        const Matrix m = toStage.Concat(obj.matrix);
        avm2::DispatcherObject* d = ScriptOf(h, obj);
        if (MovieClip* c = obj.AsClip()) {
            DisplayObject* under = Pick(h, *c, m, p, depth + 1);
            if (!under) continue;
            if (d && !d->mouseChildren) under = c;
            if (under == c && d && !d->mouseEnabled) continue;
            return under;
        }
        if (!obj.HitTest(m, p)) continue;
        if (Interactive(obj) && (!d || d->mouseEnabled)) return &obj;
        if (!Interactive(obj)) return &clip;
    }
    return nullptr;
}

}  // namespace

void Scripts3::Pointer(int event, Point stage, bool primary) {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    Host& h = *host_;
    h.pointerX = stage.x / double(kTwipsPerPixel);
    h.pointerY = stage.y / double(kTwipsPerPixel);
    DisplayObject* root = h.Object(h.Root());
    if (!root || !root->AsClip()) return;
    DisplayObject* under = Pick(h, *root->AsClip(), root->matrix, stage, 0);
    const uint32_t target = under ? under->serial : 0;
    m.Entry([&] {
        if (target != overSerial_) RollBetween(overSerial_, target);
        overSerial_ = target;
        if (!primary) return;
        if (event == kPointerMove) Mouse(target, "mouseMove", avm2::Value::Null());
        if (event == kPointerDown) {
            pressed_ = true;
            downSerial_ = target;
            Mouse(target, "mouseDown", avm2::Value::Null());
        }
        if (event == kPointerUp && pressed_) {
            pressed_ = false;
            Mouse(target, "mouseUp", avm2::Value::Null());
            if (target == downSerial_) Mouse(target, "click", avm2::Value::Null());
        }
    });
}

void Scripts3::Wheel(int lines) {
    if (!machine_) return;
    machine_->Entry([&] { Mouse(overSerial_, "mouseWheel", avm2::Value::Null(), lines); });
}

avm2::Value Scripts3::TargetOf(uint32_t serial) {
    return serial ? host_->Wrap(serial) : host_->Stage();
}

void Scripts3::Mouse(uint32_t serial, const char* type, const avm2::Value& related, int delta) {
    avm2::Machine& m = *machine_;
    avm2::Value target = TargetOf(serial);
    avm2::DispatcherObject* d = avm2::AsDisplay(m, target);
    avm2::ClassObject* cls = m.FindClass("flash.events.MouseEvent");
    if (!d || !cls) return;
    double x = host_->pointerX, y = host_->pointerY;
    if (serial) host_->ToLocalPoint(serial, x, y);
    const bool rolls = std::string(type) == "rollOver" || std::string(type) == "rollOut";
    avm2::Value args[11] = {avm2::Value::Str(m.Intern(type)), avm2::Value::Bool(!rolls), avm2::Value::Bool(false),
                            avm2::Value::Number(x), avm2::Value::Number(y), related,
                            avm2::Value::Bool(false), avm2::Value::Bool(false), avm2::Value::Bool(false),
                            avm2::Value::Bool(pressed_), avm2::Value::Int(delta)};
    avm2::Value e = m.Construct(avm2::Value::Obj(cls), args, 11);
    avm2::TempRoot keep(m, e);
    avm2::DispatchEvent(m, d, static_cast<avm2::EventObject*>(e.o));
}

// The objects from `serial` up to the stage, nearest first.
std::vector<uint32_t> Scripts3::Chain(uint32_t serial) {
    std::vector<uint32_t> out;
    for (uint32_t s = serial; s && out.size() < size_t(kMaxPickDepth); s = host_->Parent(s)) out.push_back(s);
    return out;
}

void Scripts3::RollBetween(uint32_t from, uint32_t to) {
    avm2::Value fromV = from ? TargetOf(from) : avm2::Value::Null();
    avm2::Value toV = to ? TargetOf(to) : avm2::Value::Null();
    avm2::TempRoot keepFrom(*machine_, fromV), keepTo(*machine_, toV);
    const std::vector<uint32_t> left = Chain(from), entered = Chain(to);
    auto in = [](const std::vector<uint32_t>& v, uint32_t s) { return std::find(v.begin(), v.end(), s) != v.end(); };
    if (from) Mouse(from, "mouseOut", toV);
    for (uint32_t s : left)
        if (!in(entered, s)) Mouse(s, "rollOut", toV);
    // Entering: outer objects first.
    for (auto it = entered.rbegin(); it != entered.rend(); ++it)
        if (!in(left, *it)) Mouse(*it, "rollOver", fromV);
    if (to) Mouse(to, "mouseOver", fromV);
}

void Scripts3::Key(bool down, int keyCode, int charCode) {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    m.Entry([&] {
        avm2::Value target = host_->focus.IsObject() ? host_->focus : host_->Stage();
        avm2::DispatcherObject* d = avm2::AsDisplay(m, target);
        avm2::ClassObject* cls = m.FindClass("flash.events.KeyboardEvent");
        if (!d || !cls) return;
        avm2::Value args[9] = {avm2::Value::Str(m.Intern(down ? "keyDown" : "keyUp")), avm2::Value::Bool(true),
                               avm2::Value::Bool(false), avm2::Value::Uint(uint32_t(charCode)),
                               avm2::Value::Uint(uint32_t(keyCode)), avm2::Value::Uint(0),
                               avm2::Value::Bool(false), avm2::Value::Bool(false), avm2::Value::Bool(false)};
        avm2::Value e = m.Construct(avm2::Value::Obj(cls), args, 9);
        avm2::TempRoot keep(m, e);
        avm2::DispatchEvent(m, d, static_cast<avm2::EventObject*>(e.o));
    });
}

}  // namespace swf
