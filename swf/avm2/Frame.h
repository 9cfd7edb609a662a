// One running method body: registers, operand stack and local scopes,
// all in the machine's value stack (so the collector sees them), and the
// captured scope chain it was called with.
#pragma once

#include "swf/avm2/Code.h"
#include "swf/avm2/Machine.h"

namespace swf::avm2 {

struct Frame {
    Machine& m;
    Method* method;
    const Code* code;
    const AbcModule* mod;
    ClassObject* declarer;
    Scope* outer;
    FunctionObject* callee;
    Value* regs = nullptr;
    Value* stack = nullptr;  // operand stack base
    Value* scopes = nullptr;
    int sp = 0;              // operand stack depth
    int scopeDepth = 0;
    uint64_t withMask = 0;   // which local scopes are `with` scopes
    Value dxns{};

    // The name of multiname `index`, taking its runtime parts from the stack.
    Name TakeName(uint32_t index);
    // The slot `n` names in `o` as the method's class declares it, when a
    // subclass of that class has declared the name again; null otherwise.
    const Value* OwnSlot(Object* o, const Name& n) const;
    // Scope search for findproperty/findpropstrict/getlex.
    Value FindProperty(const Name& n, bool strict);
    Object* GlobalObject() const;
    Scope* Capture();
    void SetupArguments(const Value& self, Args args, int argc);
    Value ReturnValue(const Value& v);
};

Value Interpret(Frame& f);

}  // namespace swf::avm2
