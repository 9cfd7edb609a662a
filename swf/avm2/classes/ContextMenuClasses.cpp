// flash.ui's context menus: ContextMenu, ContextMenuItem and the built-in
// items' switches, and the contextMenu an interactive object holds. The
// player never opens a menu; movies build them while setting up.
#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

// Where an interactive object keeps its menu, out of sight of scripts.
constexpr const char* kMenuKey = "__contextMenu";

const char* const kBuiltInItems[] = {"forwardAndBack", "loop", "play", "print", "quality", "rewind", "save", "zoom"};

Value BuiltInItemsInit(Machine& m, Value self, Args, int) {
    for (const char* name : kBuiltInItems) m.SetPublic(self, name, Value::Bool(true));
    return Value::Undefined();
}

Value MenuInit(Machine& m, Value self, Args, int) {
    m.SetPublic(self, "customItems", Value::Obj(m.NewArray()));
    ClassObject* items = m.FindClass("flash.ui.ContextMenuBuiltInItems");
    m.SetPublic(self, "builtInItems", m.Construct(Value::Obj(items), nullptr, 0));
    return Value::Undefined();
}

Value HideBuiltInItems(Machine& m, Value self, Args, int) {
    Value items = m.GetPublic(self, "builtInItems");
    if (items.IsObject())
        for (const char* name : kBuiltInItems) m.SetPublic(items, name, Value::Bool(false));
    return Value::Undefined();
}

Value MenuClone(Machine& m, Value self, Args, int) {
    ClassObject* menu = m.FindClass("flash.ui.ContextMenu");
    Value copy = m.Construct(Value::Obj(menu), nullptr, 0);
    m.SetPublic(copy, "customItems", m.GetPublic(self, "customItems"));
    return copy;
}

Value ItemInit(Machine& m, Value self, Args args, int argc) {
    m.SetPublic(self, "caption", Value::Str(m.ToString(Arg(args, argc, 0))));
    m.SetPublic(self, "separatorBefore", Value::Bool(argc > 1 && m.ToBoolean(args[1])));
    m.SetPublic(self, "enabled", Value::Bool(argc <= 2 || m.ToBoolean(args[2])));
    m.SetPublic(self, "visible", Value::Bool(argc <= 3 || m.ToBoolean(args[3])));
    return Value::Undefined();
}

Value GetMenu(Machine& m, Value self, Args, int) {
    Value* v = self.IsObject() && self.o->dyn ? self.o->dyn->Find(m.Intern(kMenuKey)) : nullptr;
    return v ? *v : Value::Null();
}

Value SetMenu(Machine& m, Value self, Args args, int argc) {
    if (!self.IsObject()) return Value::Undefined();
    self.o->Dyn().Set(m.Intern(kMenuKey), Arg(args, argc, 0));
    self.o->dyn->SetDontEnum(m.Intern(kMenuKey), true);
    return Value::Undefined();
}

}  // namespace

void InstallContextMenus(Machine& m) {
    ClassObject* dispatcher = m.FindClass("flash.events.EventDispatcher");
    ClassObject* items = m.DefineClass("flash.ui", "ContextMenuBuiltInItems", m.objectClass, nullptr, false);
    items->isFinal = true;
    items->init = m.NewNativeMethod("ContextMenuBuiltInItems", BuiltInItemsInit, 0);
    ClassObject* menu = m.DefineClass("flash.ui", "ContextMenu", dispatcher, dispatcher->allocate, false);
    menu->isFinal = true;
    menu->init = m.NewNativeMethod("ContextMenu", MenuInit, 0);
    m.DefineMethod(menu, "hideBuiltInItems", HideBuiltInItems, 0);
    m.DefineMethod(menu, "clone", MenuClone, 0);
    ClassObject* item = m.DefineClass("flash.ui", "ContextMenuItem", dispatcher, dispatcher->allocate, false);
    item->isFinal = true;
    item->init = m.NewNativeMethod("ContextMenuItem", ItemInit, 1);

    // Classes already made copied their bases' traits: each gets its own.
    ClassObject* interactive = m.FindClass("flash.display.InteractiveObject");
    ClassObject* stage = m.FindClass("flash.display.Stage");
    for (ClassObject* c : std::vector<ClassObject*>(m.builtinClasses))
        if (interactive && c != stage && c->IsSubclassOf(interactive)) m.DefineGetter(c, "contextMenu", GetMenu, SetMenu);
}

}  // namespace swf::avm2
