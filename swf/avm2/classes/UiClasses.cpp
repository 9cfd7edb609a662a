// flash.ui: Keyboard's key codes and the keyboard's state, Mouse (hiding
// the cursor, its kind) and the classes naming their values. Key handlers
// compare event.keyCode with Keyboard's constants, so a movie without them
// stops at its first key.
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

struct KeyCode {
    const char* name;
    uint32_t code;
};

const KeyCode kNamedKeys[] = {
    {"BACKSPACE", 8},       {"TAB", 9},           {"ENTER", 13},          {"COMMAND", 15},
    {"SHIFT", 16},          {"CONTROL", 17},      {"ALTERNATE", 18},      {"CAPS_LOCK", 20},
    {"NUMPAD", 21},         {"ESCAPE", 27},       {"SPACE", 32},          {"PAGE_UP", 33},
    {"PAGE_DOWN", 34},      {"END", 35},          {"HOME", 36},           {"LEFT", 37},
    {"UP", 38},             {"RIGHT", 39},        {"DOWN", 40},           {"INSERT", 45},
    {"DELETE", 46},         {"NUMPAD_MULTIPLY", 106}, {"NUMPAD_ADD", 107}, {"NUMPAD_ENTER", 108},
    {"NUMPAD_SUBTRACT", 109}, {"NUMPAD_DECIMAL", 110}, {"NUMPAD_DIVIDE", 111}, {"SEMICOLON", 186},
    {"EQUAL", 187},         {"COMMA", 188},       {"MINUS", 189},         {"PERIOD", 190},
    {"SLASH", 191},         {"BACKQUOTE", 192},   {"LEFTBRACKET", 219},   {"BACKSLASH", 220},
    {"RIGHTBRACKET", 221},  {"QUOTE", 222},
};

const char* const kCursors[] = {"arrow", "auto", "button", "hand", "ibeam"};

template <const char* const* kName>
Object* NotConstructible(Machine& m, ClassObject*) {
    m.ArgumentError(2012, std::string(*kName) + " class cannot be instantiated.");
}
const char* const kKeyboardName = "Keyboard";
const char* const kMouseName = "Mouse";

Value False(Machine&, Value, Args, int) { return Value::Bool(false); }
Value True(Machine&, Value, Args, int) { return Value::Bool(true); }
Value Ignore(Machine&, Value, Args, int) { return Value::Undefined(); }
Value KeyboardType(Machine& m, Value, Args, int) { return Value::Str(m.Intern("alphanumeric")); }

Value Hide(Machine& m, Value, Args, int) {
    m.mouseHidden = true;
    return Value::Undefined();
}

Value Show(Machine& m, Value, Args, int) {
    m.mouseHidden = false;
    return Value::Undefined();
}

Value GetCursor(Machine& m, Value, Args, int) { return Value::Str(m.Intern(m.mouseCursor)); }

Value SetCursor(Machine& m, Value, Args args, int argc) {
    const std::string wanted = m.ToStdString(Arg(args, argc, 0));
    for (const char* c : kCursors)
        if (wanted == c) {
            m.mouseCursor = c;
            return Value::Undefined();
        }
    m.ArgumentError(2008, "Parameter cursor must be one of the accepted values.");
}

ClassObject* FinalClass(Machine& m, const char* name, Allocator alloc) {
    ClassObject* c = m.DefineClass("flash.ui", name, m.objectClass, alloc, true);
    c->isFinal = true;
    return c;
}

void Strings(Machine& m, const char* name, std::initializer_list<std::pair<const char*, const char*>> values) {
    ClassObject* c = FinalClass(m, name, nullptr);
    for (const auto& [key, text] : values) m.DefineConstant(c, key, Value::Str(m.Intern(text)));
}

}  // namespace

void InstallUiClasses(Machine& m) {
    ClassObject* keyboard = FinalClass(m, "Keyboard", NotConstructible<&kKeyboardName>);
    for (const KeyCode& k : kNamedKeys) m.DefineConstant(keyboard, k.name, Value::Uint(k.code));
    for (char c = 'A'; c <= 'Z'; ++c) m.DefineConstant(keyboard, std::string(1, c), Value::Uint(uint32_t(c)));
    for (int d = 0; d <= 9; ++d) {
        m.DefineConstant(keyboard, "NUMBER_" + std::to_string(d), Value::Uint(uint32_t(48 + d)));
        m.DefineConstant(keyboard, "NUMPAD_" + std::to_string(d), Value::Uint(uint32_t(96 + d)));
    }
    for (int f = 1; f <= 15; ++f) m.DefineConstant(keyboard, "F" + std::to_string(f), Value::Uint(uint32_t(111 + f)));
    // The player runs on a desktop: no soft keyboard, locks read off.
    m.DefineStaticGetter(keyboard, "capsLock", False);
    m.DefineStaticGetter(keyboard, "numLock", False);
    m.DefineStaticGetter(keyboard, "hasVirtualKeyboard", False);
    m.DefineStaticGetter(keyboard, "physicalKeyboardType", KeyboardType);

    ClassObject* location = FinalClass(m, "KeyLocation", nullptr);
    const std::pair<const char*, uint32_t> places[] = {{"STANDARD", 0}, {"LEFT", 1}, {"RIGHT", 2}, {"NUM_PAD", 3}};
    for (const auto& [name, value] : places) m.DefineConstant(location, name, Value::Uint(value));
    Strings(m, "KeyboardType", {{"ALPHANUMERIC", "alphanumeric"}, {"KEYPAD", "keypad"}, {"NONE", "none"}});
    Strings(m, "MouseCursor",
            {{"ARROW", "arrow"}, {"AUTO", "auto"}, {"BUTTON", "button"}, {"HAND", "hand"}, {"IBEAM", "ibeam"}});

    ClassObject* mouse = FinalClass(m, "Mouse", NotConstructible<&kMouseName>);
    m.DefineStatic(mouse, "hide", Hide, 0);
    m.DefineStatic(mouse, "show", Show, 0);
    m.DefineStaticGetter(mouse, "cursor", GetCursor, SetCursor);
    m.DefineStaticGetter(mouse, "supportsCursor", True);
    m.DefineStaticGetter(mouse, "supportsNativeCursor", True);
    // Cursors of the movie's own pictures are not drawn; the system's stay.
    m.DefineStatic(mouse, "registerCursor", Ignore, 2);
    m.DefineStatic(mouse, "unregisterCursor", Ignore, 1);
}

}  // namespace swf::avm2
