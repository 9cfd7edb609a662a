// ASnative(table, index): the numbered entry points some movies (and
// hand-written class libraries) call instead of the named built-ins.
// Each number maps onto the built-in it stands for, looked up by name when
// asked, so the bindings installed after the globals are found too. Numbers
// we do not know give undefined, which scripts call harmlessly.
#include <cstring>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

struct NativeName {
    int table;
    const char* owner;  // a global, or "Global.prototype"; "" for _global itself
    const char* names;  // the methods by index, space separated; "-" skips one
};

const NativeName kTables[] = {
    {5, "Mouse", "show hide"},
    {100, "", "escape unescape parseInt parseFloat"},
    {101, "Object.prototype",
     "watch unwatch addProperty valueOf toString hasOwnProperty isPrototypeOf isPropertyEnumerable"},
    {103, "Date.prototype",
     "getFullYear getYear getMonth getDate getDay getHours getMinutes getSeconds getMilliseconds "
     "setFullYear setMonth setDate setHours setMinutes setSeconds setMilliseconds getTime setTime "
     "getTimezoneOffset toString setYear"},
    {106, "Number.prototype", "valueOf toString"},
    {107, "Boolean.prototype", "valueOf toString"},
    {200, "Math", "abs min max sin cos atan2 tan exp log sqrt round random floor ceil atan asin acos pow"},
    {251, "String.prototype",
     "valueOf toString toUpperCase toLowerCase charAt charCodeAt concat indexOf lastIndexOf slice substring "
     "split substr"},
    {252, "Array.prototype", "- push pop concat shift unshift slice join splice toString sort reverse sortOn"},
    {600, "Selection", "getBeginIndex getEndIndex getCaretIndex getFocus setFocus setSelection"},
    {700, "Color.prototype", "setRGB setTransform getRGB getTransform"},
    {800, "Key", "getAscii getCode isDown isToggled"},
    {900, "MovieClip.prototype",
     "attachMovie swapDepths localToGlobal globalToLocal hitTest getBounds getBytesTotal getBytesLoaded "
     "attachAudio attachVideo getDepth setMask play stop nextFrame prevFrame gotoAndPlay gotoAndStop "
     "duplicateMovieClip removeMovieClip startDrag stopDrag"},
    {901, "MovieClip.prototype",
     "createEmptyMovieClip beginFill beginGradientFill moveTo lineTo curveTo lineStyle endFill clear"},
};

// The index-th space-separated word of `names`, or "" past the end.
std::string Word(const char* names, int index) {
    const char* p = names;
    for (int i = 0; *p; ++i) {
        const char* end = std::strchr(p, ' ');
        if (!end) end = p + std::strlen(p);
        if (i == index) return std::string(p, end);
        p = *end ? end + 1 : end;
    }
    return std::string();
}

Value Member(Vm& vm, const Value& on, const std::string& name) {
    return on.IsObject() ? vm.Get(on.o, name, on) : Value();
}

}  // namespace

Value NativeByNumber(Vm& vm, int table, int index) {
    if (index < 0) return Value();
    for (const NativeName& t : kTables) {
        if (t.table != table) continue;
        const std::string method = Word(t.names, index);
        if (method.empty() || method == "-") return Value();
        Value on = Value::Obj(vm.global);
        const std::string owner = t.owner;
        size_t pos = 0;
        while (pos < owner.size()) {
            size_t dot = owner.find('.', pos);
            if (dot == std::string::npos) dot = owner.size();
            on = Member(vm, on, owner.substr(pos, dot - pos));
            pos = dot + 1;
        }
        Value fn = Member(vm, on, method);
        return vm.IsFunction(fn) ? fn : Value();
    }
    return Value();
}

}  // namespace swf::avm1
