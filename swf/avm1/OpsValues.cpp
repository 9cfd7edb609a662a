// Arithmetic, comparison, logic, bit and string ops. The SWF 4 forms
// (Add, Equals, Less) work on numbers only; the SWF 5 forms (Add2, Equals2,
// Less2) convert as the language does. Booleans are pushed as 1 and 0 for
// SWF 4 movies.
#include <cmath>

#include "swf/avm1/Frame.h"
#include "swf/avm1/Text.h"

namespace swf::avm1 {

namespace {

bool Utf8(const Vm& vm) { return vm.Version() >= 6; }

}  // namespace

bool Vm::StepValues(Frame& f, const Instr& in) {
    auto pushBool = [this](bool b) { Push(Value::Bool(b)); };
    auto num = [this, &f] { return ToNumber(Pop(f)); };
    // Both operands popped, the first (deeper) one converted first (but for
    // Equals).
    double a = 0, b = 0;
    auto nums = [this, &f, &a, &b] {
        Value vb = Pop(f), va = Pop(f);
        a = ToNumber(va);
        b = ToNumber(vb);
    };
    switch (in.op) {
    case kOpAdd: { nums(); Push(Value::Num(a + b)); return true; }
    case kOpSubtract: { nums(); Push(Value::Num(a - b)); return true; }
    case kOpMultiply: { nums(); Push(Value::Num(a * b)); return true; }
    case kOpDivide: {
        nums();
        if (b == 0 && Swf4Code()) Push(Value::String("#ERROR#"));
        else Push(Value::Num(a / b));
        return true;
    }
    case kOpModulo: { nums(); Push(Value::Num(std::fmod(a, b))); return true; }
    case kOpEquals: { double y = num(), x = num(); pushBool(x == y); return true; }  // the top converted first
    case kOpLess: { nums(); pushBool(a < b); return true; }
    case kOpAnd: { bool b = ToBool(Pop(f)), a = ToBool(Pop(f)); pushBool(a && b); return true; }
    case kOpOr: { bool b = ToBool(Pop(f)), a = ToBool(Pop(f)); pushBool(a || b); return true; }
    case kOpNot: pushBool(!ToBool(Pop(f))); return true;
    case kOpStringEquals: { Str b = ToStr(Pop(f)), a = ToStr(Pop(f)); pushBool(*a == *b); return true; }
    case kOpStringLess: { Str b = ToStr(Pop(f)), a = ToStr(Pop(f)); pushBool(*a < *b); return true; }
    case kOpStringGreater: { Str b = ToStr(Pop(f)), a = ToStr(Pop(f)); pushBool(*a > *b); return true; }
    case kOpStringAdd: { Str b = ToStr(Pop(f)), a = ToStr(Pop(f)); Push(Value::String(*a + *b)); return true; }
    case kOpStringLength:
    case kOpMBStringLength: {
        Str s = ToStr(Pop(f));
        const bool utf8 = in.op == kOpMBStringLength || Utf8(*this);
        Push(Value::Num(static_cast<double>(utf8 ? Chars(*s, true).size() : s->size())));
        return true;
    }
    case kOpStringExtract:
    case kOpMBStringExtract: {
        double count = num(), index = num();
        Str s = ToStr(Pop(f));
        const bool utf8 = in.op == kOpMBStringExtract || Utf8(*this);
        std::vector<uint32_t> chars = Chars(*s, utf8);
        // 1-based; a start before 1 counts from 1, a negative count means all.
        double start = std::isnan(index) ? 0 : std::max(0.0, std::trunc(index) - 1);
        double n = std::isnan(count) ? 0 : count < 0 ? double(chars.size()) : std::trunc(count);
        size_t b = static_cast<size_t>(std::min(start, double(chars.size())));
        size_t e = static_cast<size_t>(std::min(double(chars.size()), double(b) + n));
        Push(Value::String(FromChars(chars, b, e, utf8)));
        return true;
    }
    case kOpCharToAscii:
    case kOpMBCharToAscii: {
        Str s = ToStr(Pop(f));
        std::vector<uint32_t> chars = Chars(*s, in.op == kOpMBCharToAscii || Utf8(*this));
        Push(chars.empty() ? Value::Num(std::nan("")) : Value::Num(chars[0]));
        return true;
    }
    case kOpAsciiToChar:
    case kOpMBAsciiToChar: {
        double code = num();
        uint32_t c = static_cast<uint32_t>(ToInt32(code));
        Push(Value::String(c == 0 ? std::string() : CharString(c, in.op == kOpMBAsciiToChar || Utf8(*this))));
        return true;
    }
    case kOpToInteger: {
        double d = num();
        Push(Value::Num(std::isnan(d) ? 0 : std::trunc(d)));
        return true;
    }
    case kOpToNumber: Push(Value::Num(num())); return true;
    case kOpToString: Push(Value::String(ToStr(Pop(f)))); return true;
    case kOpTypeOf: Push(Value::String(TypeOf(Pop(f)))); return true;
    case kOpAdd2: {
        Value b = ToPrimitiveDefault(Pop(f)), a = ToPrimitiveDefault(Pop(f));
        if (a.IsString() || b.IsString()) {
            Str sa = ToStr(a), sb = ToStr(b);
            Push(Value::String(*sa + *sb));
        } else {
            Push(Value::Num(ToNumber(a) + ToNumber(b)));
        }
        return true;
    }
    case kOpLess2: { Value b = Pop(f), a = Pop(f); Push(Compare(a, b)); return true; }
    case kOpGreater: { Value b = Pop(f), a = Pop(f); Push(Compare(b, a)); return true; }
    case kOpEquals2: { Value b = Pop(f), a = Pop(f); Push(Value::Bool(LooseEquals(a, b))); return true; }
    case kOpStrictEquals: {
        Value b = Pop(f), a = Pop(f);
        // Strictly, NaN is NaN.
        Push(Value::Bool(StrictEquals(a, b) || (a.IsNumber() && b.IsNumber() && std::isnan(a.n) && std::isnan(b.n))));
        return true;
    }
    case kOpIncrement: Push(Value::Num(num() + 1)); return true;
    case kOpDecrement: Push(Value::Num(num() - 1)); return true;
    case kOpBitAnd: { nums(); Push(Value::Num(ToInt32(a) & ToInt32(b))); return true; }
    case kOpBitOr: { nums(); Push(Value::Num(ToInt32(a) | ToInt32(b))); return true; }
    case kOpBitXor: { nums(); Push(Value::Num(ToInt32(a) ^ ToInt32(b))); return true; }
    case kOpBitLShift: {
        nums();
        Push(Value::Num(static_cast<int32_t>(static_cast<uint32_t>(ToInt32(a)) << (ToInt32(b) & 31))));
        return true;
    }
    case kOpBitRShift: { nums(); Push(Value::Num(ToInt32(a) >> (ToInt32(b) & 31))); return true; }
    case kOpBitURShift: {
        nums();
        Push(Value::Num(static_cast<uint32_t>(ToInt32(a)) >> (ToInt32(b) & 31)));
        return true;
    }
    case kOpRandomNumber: {
        double max = num();
        int32_t m = ToInt32(max);
        Push(Value::Num(m > 0 ? std::floor(Random() * m) : 0));
        return true;
    }
    case kOpGetTime: Push(Value::Num(std::floor(host_.Now()))); return true;
    default: return false;
    }
}

}  // namespace swf::avm1
