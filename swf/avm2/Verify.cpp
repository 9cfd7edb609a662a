// Decoding and verification of a method body, in two passes:
//  1. decode every opcode at its byte offset into an Instr, checking
//     operands against the constant pools and registers;
//  2. resolve branch targets to instruction indices (a target between
//     instructions is VerifyError #1021), then walk every path from the
//     entry and the exception handlers with the stack and scope depths,
//     which must agree where paths meet, stay within the body's limits and
//     never run past the end.
#include <cstring>
#include <map>

#include "swf/avm2/Code.h"
#include "swf/avm2/Machine.h"
#include "swf/avm2/Verify.h"

namespace swf::avm2 {

namespace {

class Decoder {
public:
    Decoder(Machine& m, const AbcModule& mod, const AbcBody& body, uint32_t methodIndex, const std::string& label)
        : m_(m), mod_(mod), body_(body), method_(methodIndex), label_(label), bytes_(body.code) {}

    std::unique_ptr<Code> Run() {
        code_ = std::make_unique<Code>();
        code_->locals = body_.localCount;
        code_->maxStack = body_.maxStack;
        code_->maxScope = body_.maxScope > body_.initScope ? body_.maxScope - body_.initScope : 0;
        DecodeAll();
        ResolveTargets();
        Flow();
        return std::move(code_);
    }

private:
    [[noreturn]] void Fail(int id, const std::string& text) { m_.Throw(m_.verifyErrorClass, id, text); }

    uint8_t U8() {
        if (pos_ >= bytes_.size()) Fail(1020, "Code cannot fall off the end of a method.");
        return bytes_[pos_++];
    }
    uint32_t U30() {
        uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t b = U8();
            v |= uint32_t(b & 0x7F) << shift;
            if (!(b & 0x80)) break;
        }
        return v;
    }
    int32_t S24() {
        uint32_t v = U8();
        v |= uint32_t(U8()) << 8;
        v |= uint32_t(U8()) << 16;
        return int32_t(v << 8) >> 8;
    }
    uint32_t Pool(size_t size) {
        uint32_t i = U30();
        if (i == 0 || i >= size)
            Fail(1032, "Cpool index " + std::to_string(i) + " is out of range " + std::to_string(size) + ".");
        return i;
    }
    uint32_t Reg() {
        uint32_t r = U30();
        CheckReg(r);
        return r;
    }
    void CheckReg(uint32_t r) {
        if (r >= body_.localCount) Fail(1025, "An invalid register " + std::to_string(r) + " was accessed.");
    }
    // Only a method flagged for it may set the default XML namespace.
    void CheckDxns() {
        if (!(mod_.abc->methods[method_].flags & kSetDxns))
            Fail(1015, "Method " + label_ + "() cannot set default xml namespace");
    }
    // Runtime parts a multiname takes from the stack.
    int RtParts(uint32_t mn) const {
        const MnInfo& n = mod_.names[mn];
        return int(n.rtName) + int(n.rtNs);
    }

    void DecodeAll() {
        const AbcFile& f = *mod_.abc;
        while (pos_ < bytes_.size()) {
            size_t at = pos_;
            Instr in;
            in.op = U8();
            int pop = 0, push = 0;
            switch (in.op) {
            case OpBkpt: case OpNop: case OpLabel: case OpTimestamp: break;
            case OpThrow: pop = 1; break;
            case OpGetSuper: in.a = Pool(f.multinames.size()); pop = 1 + RtParts(in.a); push = 1; break;
            case OpSetSuper: in.a = Pool(f.multinames.size()); pop = 2 + RtParts(in.a); break;
            case OpDxns: CheckDxns(); in.a = Pool(f.strings.size()); break;
            case OpDxnsLate: CheckDxns(); pop = 1; break;
            case OpKill: in.a = Reg(); thisKept_ = thisKept_ && in.a != 0; break;
            case OpIfNlt: case OpIfNle: case OpIfNgt: case OpIfNge: case OpIfEq: case OpIfNe: case OpIfLt:
            case OpIfLe: case OpIfGt: case OpIfGe: case OpIfStrictEq: case OpIfStrictNe:
                in.a = S24(); pop = 2; break;
            case OpIfTrue: case OpIfFalse: in.a = S24(); pop = 1; break;
            case OpJump: in.a = S24(); break;
            case OpLookupSwitch: {
                in.a = S24();
                uint32_t count = U30();
                if (count > bytes_.size()) Fail(1020, "Code cannot fall off the end of a method.");
                std::vector<int> cases(count + 1);
                for (auto& c : cases) c = S24();
                in.b = int(code_->switches.size());
                code_->switches.push_back(std::move(cases));
                pop = 1;
                break;
            }
            case OpPushWith: case OpPushScope: pop = 1; scopeDelta_[at] = 1; break;
            case OpPopScope: scopeDelta_[at] = -1; break;
            case OpNextName: case OpNextValue: case OpHasNext: pop = 2; push = 1; break;
            case OpPushNull: case OpPushUndefined: case OpPushTrue: case OpPushFalse: case OpPushNaN: push = 1; break;
            case OpPushByte: in.k = Value::Int(int8_t(U8())); push = 1; break;
            case OpPushShort: in.k = Value::Int(int16_t(U30())); push = 1; break;
            case OpPop: pop = 1; break;
            case OpDup: pop = 1; push = 2; break;
            case OpSwap: pop = 2; push = 2; break;
            case OpPushString: in.k = Value::Str(mod_.strings[Pool(f.strings.size())]); push = 1; break;
            case OpPushInt: in.k = Value::Int(f.ints[Pool(f.ints.size())]); push = 1; break;
            case OpPushUint: in.k = Value::Uint(f.uints[Pool(f.uints.size())]); push = 1; break;
            case OpPushDouble: in.k = Value::Number(f.doubles[Pool(f.doubles.size())]); push = 1; break;
            case OpPushNamespace: in.a = Pool(f.namespaces.size()); push = 1; break;
            case OpHasNext2: in.a = Reg(); in.b = Reg(); push = 1; break;
            case OpLi8: case OpLi16: case OpLi32: case OpLf32: case OpLf64: pop = 1; push = 1; break;
            case OpSi8: case OpSi16: case OpSi32: case OpSf32: case OpSf64: pop = 2; break;
            case OpNewFunction:
                in.a = U30();
                if (uint32_t(in.a) >= f.methods.size()) Fail(1032, "Cpool index out of range.");
                // A class's method cannot also be a free function.
                if (mod_.methods[in.a]->owner) Fail(1107, "The ABC data is corrupt, attempt to read out of bounds.");
                push = 1;
                break;
            case OpCall: in.b = int(U30()); pop = 2 + in.b; push = 1; break;
            case OpConstruct: in.b = int(U30()); pop = 1 + in.b; push = 1; break;
            case OpCallMethod: in.a = U30(); in.b = U30(); pop = 1 + in.b; push = 1; break;
            case OpCallStatic:
                in.a = U30();
                if (uint32_t(in.a) >= f.methods.size()) Fail(1032, "Cpool index out of range.");
                // Only a method some class owns can be called directly.
                if (!mod_.methods[in.a]->owner) Fail(1107, "The ABC data is corrupt, attempt to read out of bounds.");
                in.b = U30(); pop = 1 + in.b; push = 1; break;
            case OpCallSuper: case OpCallProperty: case OpConstructProp: case OpCallPropLex:
            case OpCallSuperVoid: case OpCallPropVoid:
                in.a = Pool(f.multinames.size());
                in.b = int(U30());
                pop = 1 + in.b + RtParts(in.a);
                push = (in.op == OpCallSuperVoid || in.op == OpCallPropVoid) ? 0 : 1;
                break;
            case OpReturnVoid: break;
            case OpReturnValue: pop = 1; break;
            case OpConstructSuper: in.b = int(U30()); pop = 1 + in.b; break;
            case OpSxi1: case OpSxi8: case OpSxi16: pop = 1; push = 1; break;
            case OpApplyType: in.b = int(U30()); pop = 1 + in.b; push = 1; break;
            case OpNewObject: in.b = int(U30()); pop = 2 * in.b; push = 1; break;
            case OpNewArray: in.b = int(U30()); pop = in.b; push = 1; break;
            case OpNewActivation: push = 1; break;
            case OpNewClass:
                in.a = U30();
                if (uint32_t(in.a) >= f.classes.size()) Fail(1032, "Cpool index out of range.");
                pop = 1; push = 1; break;
            case OpGetDescendants: in.a = Pool(f.multinames.size()); pop = 1 + RtParts(in.a); push = 1; break;
            case OpNewCatch:
                in.a = U30();
                if (uint32_t(in.a) >= body_.exceptions.size()) Fail(1032, "Cpool index out of range.");
                push = 1; break;
            case OpFindPropStrict: case OpFindProperty:
                in.a = Pool(f.multinames.size()); pop = RtParts(in.a); push = 1; break;
            case OpFindDef: case OpGetLex: in.a = Pool(f.multinames.size()); push = 1; break;
            case OpSetProperty: case OpInitProperty:
                in.a = Pool(f.multinames.size()); pop = 2 + RtParts(in.a); break;
            case OpGetProperty: case OpDeleteProperty:
                in.a = Pool(f.multinames.size()); pop = 1 + RtParts(in.a); push = 1;
                if (in.op == OpGetProperty && !RtParts(in.a) && !code_->code.empty() &&
                    code_->code.back().op == OpGetLocal && code_->code.back().a == 0)
                    in.b = kOnThis;
                break;
            case OpGetLocal: in.a = Reg(); push = 1; break;
            case OpSetLocal: in.a = Reg(); pop = 1; thisKept_ = thisKept_ && in.a != 0; break;
            case OpGetGlobalScope: push = 1; break;
            case OpGetScopeObject: in.a = U8(); push = 1; break;
            case OpGetOuterScope: in.a = U30(); push = 1; break;
            case OpGetSlot: in.a = U30(); pop = 1; push = 1; break;
            case OpSetSlot: in.a = U30(); pop = 2; break;
            case OpGetGlobalSlot: in.a = U30(); push = 1; break;
            case OpSetGlobalSlot: in.a = U30(); pop = 1; break;
            case OpConvertS: case OpEscXElem: case OpEscXAttr: case OpConvertI: case OpConvertU: case OpConvertD:
            case OpConvertB: case OpConvertO: case OpCheckFilter: case OpCoerceB: case OpCoerceA: case OpCoerceI:
            case OpCoerceD: case OpCoerceS: case OpCoerceU: case OpCoerceO: case OpNegate: case OpIncrement:
            case OpDecrement: case OpTypeOf: case OpNot: case OpBitNot: case OpIncrementI: case OpDecrementI:
            case OpNegateI:
                pop = 1; push = 1; break;
            case OpCoerce: case OpAsType: case OpIsType:
                in.a = Pool(f.multinames.size()); pop = 1; push = 1; break;
            case OpAsTypeLate: case OpIsTypeLate: case OpAdd: case OpSubtract: case OpMultiply: case OpDivide:
            case OpModulo: case OpLShift: case OpRShift: case OpURShift: case OpBitAnd: case OpBitOr:
            case OpBitXor: case OpEquals: case OpStrictEquals: case OpLessThan: case OpLessEquals:
            case OpGreaterThan: case OpGreaterEquals: case OpInstanceOf: case OpIn: case OpAddI:
            case OpSubtractI: case OpMultiplyI:
                pop = 2; push = 1; break;
            case OpIncLocal: case OpDecLocal: case OpIncLocalI: case OpDecLocalI: in.a = Reg(); break;
            case OpGetLocal0: case OpGetLocal1: case OpGetLocal2: case OpGetLocal3:
                in.a = in.op - OpGetLocal0; CheckReg(in.a); in.op = OpGetLocal; push = 1; break;
            case OpSetLocal0: case OpSetLocal1: case OpSetLocal2: case OpSetLocal3:
                in.a = in.op - OpSetLocal0; CheckReg(in.a); in.op = OpSetLocal; pop = 1;
                thisKept_ = thisKept_ && in.a != 0;
                break;
            case OpDebug: U8(); U30(); U8(); U30(); in.op = OpNop; break;
            case OpDebugLine: case OpDebugFile: case OpBkptLine: U30(); in.op = OpNop; break;
            default:
                Fail(1011, "Method " + std::to_string(method_) + " contained illegal opcode " +
                               std::to_string(in.op) + " at offset " + std::to_string(at) + ".");
            }
            if (in.op == OpIfNlt || (in.op >= OpJump && in.op <= OpIfStrictNe) || in.op == OpIfNle ||
                in.op == OpIfNgt || in.op == OpIfNge)
                in.a = int32_t(pos_) + in.a;  // byte target for now
            if (in.op == OpLookupSwitch) {
                in.a = int32_t(at) + in.a;
                for (int& c : code_->switches[in.b]) c = int32_t(at) + c;
            }
            indexAt_[at] = int(code_->code.size());
            offsets_.push_back(at);
            pops_.push_back(pop);
            pushes_.push_back(push);
            code_->code.push_back(in);
        }
        // A body that writes register 0 may read through another receiver.
        if (!thisKept_)
            for (Instr& in : code_->code)
                if (in.op == OpGetProperty) in.b = 0;
    }

    int Target(int64_t byteOffset) {
        auto it = indexAt_.find(size_t(byteOffset));
        if (byteOffset < 0 || it == indexAt_.end())
            Fail(1021, "At least one branch target was not on a valid instruction in the method.");
        return it->second;
    }
    bool IsBranch(uint8_t op) const {
        return op == OpIfNlt || op == OpIfNle || op == OpIfNgt || op == OpIfNge || (op >= OpJump && op <= OpIfStrictNe);
    }

    // Code no path reaches is not checked: a branch of it may point
    // anywhere, and fails only if a path comes to it.
    static constexpr int kNoTarget = -1;
    int BranchTarget(int64_t byteOffset) {
        auto it = indexAt_.find(size_t(byteOffset));
        return byteOffset < 0 || it == indexAt_.end() ? kNoTarget : it->second;
    }

    void ResolveTargets() {
        for (Instr& in : code_->code) {
            if (IsBranch(in.op)) in.a = BranchTarget(in.a);
            if (in.op == OpLookupSwitch) {
                in.a = BranchTarget(in.a);
                for (int& c : code_->switches[in.b]) c = BranchTarget(c);
            }
        }
        for (const AbcException& e : body_.exceptions) {
            Handler h;
            h.from = Boundary(e.from);
            h.to = Boundary(e.to);
            h.target = Target(e.target);
            h.type = e.type;
            h.varName = e.varName;
            code_->handlers.push_back(h);
        }
    }
    // A try range edge: the first instruction at or after the offset.
    int Boundary(uint32_t offset) {
        auto it = indexAt_.lower_bound(offset);
        return it == indexAt_.end() ? int(code_->code.size()) : it->second;
    }

    void Flow() {
        size_t n = code_->code.size();
        if (n == 0) Fail(1020, "Code cannot fall off the end of a method.");
        std::vector<int> depth(n, -1), scope(n, -1);
        std::vector<int> work;
        auto reach = [&](int i, int d, int s) {
            if (i == kNoTarget) Fail(1021, "At least one branch target was not on a valid instruction in the method.");
            if (size_t(i) >= n) Fail(1020, "Code cannot fall off the end of a method.");
            if (depth[i] < 0) {
                depth[i] = d;
                scope[i] = s;
                work.push_back(i);
            } else if (depth[i] != d) {
                // The state arriving is named first, then the one held.
                Fail(1030, "Stack depth is unbalanced. " + std::to_string(d) + " != " + std::to_string(depth[i]) + ".");
            } else if (scope[i] != s) {
                Fail(1031, "Scope depth is unbalanced. " + std::to_string(s) + " != " + std::to_string(scope[i]) + ".");
            }
        };
        reach(0, 0, 0);
        std::vector<bool> handlerDone;
        for (;;) {
            while (!work.empty()) {
                int i = work.back();
                work.pop_back();
                const Instr& in = code_->code[i];
                int d = depth[i] - pops_[i];
                if (d < 0) Fail(1024, "Stack underflow occurred.");
                d += pushes_[i];
                if (uint32_t(d) > body_.maxStack) Fail(1023, "Stack overflow occurred.");
                int s = scope[i];
                auto sd = scopeDelta_.find(offsets_[i]);
                if (sd != scopeDelta_.end()) {
                    s += sd->second;
                    if (s < 0) Fail(1018, "Scope stack underflow occurred.");
                    if (uint32_t(s) > code_->maxScope) Fail(1017, "Scope stack overflow occurred.");
                }
                switch (in.op) {
                case OpJump: reach(in.a, d, s); continue;
                case OpLookupSwitch:
                    reach(in.a, d, s);
                    for (int c : code_->switches[in.b]) reach(c, d, s);
                    continue;
                case OpThrow: case OpReturnVoid: case OpReturnValue: continue;
                default: break;
                }
                if (IsBranch(in.op)) reach(in.a, d, s);
                reach(i + 1, d, s);
            }
            // Handlers reached from a covered instruction start with the
            // exception alone on the stack and no local scopes.
            bool seeded = false;
            handlerDone.resize(code_->handlers.size());
            for (size_t h = 0; h < code_->handlers.size(); ++h) {
                const Handler& hd = code_->handlers[h];
                if (handlerDone[h]) continue;
                bool covered = false;
                for (int i = hd.from; i < hd.to && i < int(n); ++i) covered = covered || depth[i] >= 0;
                if (!covered) continue;
                handlerDone[h] = true;
                reach(hd.target, 1, 0);
                seeded = true;
            }
            if (!seeded) break;
        }
    }

    Machine& m_;
    const AbcModule& mod_;
    const AbcBody& body_;
    uint32_t method_;
    const std::string& label_;
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
    std::unique_ptr<Code> code_;
    std::map<size_t, int> indexAt_;
    std::map<size_t, int> scopeDelta_;
    std::vector<size_t> offsets_;
    std::vector<int> pops_, pushes_;
    bool thisKept_ = true;  // register 0 never written
};

}  // namespace

std::unique_ptr<Code> DecodeBody(Machine& m, const AbcModule& mod, const AbcBody& body, uint32_t methodIndex,
                                 const std::string& label) {
    return Decoder(m, mod, body, methodIndex, label).Run();
}

}  // namespace swf::avm2
