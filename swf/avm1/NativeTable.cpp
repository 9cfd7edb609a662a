// ASnative(table, index): the numbered entry points some movies (and
// hand-written class libraries) call instead of the named built-ins.
// Each number maps onto the built-in it stands for, looked up by name when
// asked, so the bindings installed after the globals are found too. Numbers
// we do not know give undefined, which scripts call harmlessly.
#include <cmath>
#include <cstring>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

constexpr int kMathTable = 200;

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

// An unused number of the Math table: it converts its first two arguments
// as the others do and gives NaN.
Value MathUnused(CallArgs& a) {
    for (size_t i = 0; i < a.args.size() && i < 2; ++i) a.vm.ToNumber(a.args[i]);
    return Value::Num(std::nan(""));
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
        if (method.empty() && table == kMathTable) return Value::Obj(vm.NewNative(MathUnused));
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

namespace {

// A leading version digit hides the name from older movies: 6 to 9, or 10.
// A lone 1 is read and means nothing more; other digits stay in the name.
uint16_t VersionPrefix(std::string& name) {
    uint16_t flags = 0;
    size_t skip = 0;
    if (name.size() > 1 && name[0] == '1') {
        skip = 1;
        if (name[1] == '0') flags = kOnlySwf10Up, skip = 2;
    } else if (!name.empty() && name[0] >= '6' && name[0] <= '9') {
        const uint16_t byDigit[] = {kOnlySwf6Up, kOnlySwf7Up, kOnlySwf8Up, kOnlySwf9Up};
        flags = byDigit[name[0] - '6'];
        skip = 1;
    }
    name.erase(0, skip);
    return flags;
}

// ASSetNative(object, table, "name,name", first): each name gets the
// numbered built-in from `first` on; an empty name still takes a number.
// ASSetNativeAccessor makes each a property read and written by its
// number and the next.
Value SetNatives(CallArgs& a) {
    const bool accessor = a.callee->fn->magic != 0;
    if (a.args.size() < 3 || !a.Arg(0).IsObject()) return Value();
    Object* o = a.Arg(0).o;
    const int table = ToInt32(a.vm.ToNumber(a.Arg(1)));
    const std::string names = a.vm.ToString(a.Arg(2));
    int index = a.args.size() > 3 ? ToInt32(a.vm.ToNumber(a.Arg(3))) : 0;
    for (size_t pos = 0; pos <= names.size(); ++index) {
        size_t comma = names.find(',', pos);
        if (comma == std::string::npos) comma = names.size();
        std::string name = names.substr(pos, comma - pos);
        pos = comma + 1;
        const uint16_t flags = VersionPrefix(name);
        if (name.empty()) continue;
        Property* own = o->Find(name, a.vm.Ci());
        if (accessor) {
            const Value get = NativeByNumber(a.vm, table, index), set = NativeByNumber(a.vm, table, index + 1);
            Property& p = own ? *own : o->Put(name, a.vm.Ci());
            p = Property{p.name, Value(), get.IsObject() ? get.o : nullptr, set.IsObject() ? set.o : nullptr, flags};
        } else if (own) {
            own->value = NativeByNumber(a.vm, table, index);
        } else {
            Property& p = o->Put(name, a.vm.Ci());
            p.value = NativeByNumber(a.vm, table, index);
            p.flags = flags;
        }
    }
    return Value();
}

}  // namespace

void InstallNativeSetters(Vm& vm) {
    vm.DefineNative(vm.global, "ASSetNative", SetNatives, 0);
    vm.DefineNative(vm.global, "ASSetNativeAccessor", SetNatives, 1);
}

}  // namespace swf::avm1
