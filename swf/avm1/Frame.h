// One running script call (see Vm.h for the rules). Internal to the
// interpreter's files.
#pragma once

#include <memory>
#include <vector>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

// A Try in progress: which part runs, and a throw waiting for its finally.
struct Vm::Handler {
    enum class Part : uint8_t { Try, Catch, Finally };
    const TryInfo* info = nullptr;
    Part part = Part::Try;
    size_t scopeSize = 0;
    size_t withCount = 0;
    bool pending = false;
    Value pendingValue;
    bool pendingReturn = false;  // a return left try or catch: finish it after finally
};

struct Vm::Frame {
    struct With {
        uint32_t begin, end;
    };
    std::shared_ptr<const Program> prog;
    uint32_t pc = 0, end = 0;
    size_t base = 0;              // this frame's bottom of the value stack
    std::vector<Object*> scope;   // outermost first; [0] the timeline's clip
    Value thisv;
    Value target;                 // the clip timeline actions act on
    ClipId home = 0;              // the clip the code belongs to
    bool homeInTree = false;      // on stage when the code started
    int version = 0;              // SWF version of the home's movie; 0: the VM's own
    std::vector<Value> regs;
    Object* activation = nullptr; // locals of a function; null at top level
    Object* callee = nullptr;
    Object* arguments = nullptr;
    Object* super = nullptr;
    Object* homeProto = nullptr;  // where the method was found: `super` is above it
    std::shared_ptr<const std::vector<Value>> pool;
    std::vector<With> withs;
    std::vector<Handler> handlers;
    Value result;
    bool returned = false;
    bool constructing = false;
    bool thisInRegister = false;  // preloaded: the name reads the timeline
    bool sharesStack = false;     // a block run by the player: leaves its values for the next
    int superHops = 0;            // `this` to homeProto, 0 when not a method
};

// `super` follows the chain of `this` as it is when used: a method that
// changes its object's __proto__ and then calls super() reaches the new
// constructor. Brings a Super object up to date with that chain.
void RefreshSuper(Vm& vm, Object* super);
// How many __proto__ links lead from self to holder; 0 when none do.
int HopsTo(const Value& self, const Object* holder);

// Counts a nested call for the depth limit while it runs.
struct DepthGuard {
    explicit DepthGuard(int& d) : d_(d) { ++d_; }
    ~DepthGuard() { --d_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    int& d_;
};

}  // namespace swf::avm1
