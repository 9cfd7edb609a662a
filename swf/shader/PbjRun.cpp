// The shader interpreter. Arithmetic is single precision, as shaders run;
// an instruction reads its source lanes through the swizzle and writes the
// destination lanes its mask names, in order. Two-operand instructions use
// the destination as their first operand. Comparisons leave their result in
// int register 0.
#include "swf/shader/PbjRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace swf::shader {

namespace {

constexpr uint16_t kIntBank = 0x8000;

int Index(uint16_t reg) { return reg & ~kIntBank; }

// Lanes a write mask (r=8 g=4 b=2 a=1) names, in write order.
int MaskLanes(uint8_t mask, int lanes[4]) {
    int n = 0;
    for (int c = 0; c < 4; ++c)
        if (mask & (8 >> c)) lanes[n++] = c;
    return n;
}

int32_t IntDiv(int32_t a, int32_t b) {
    if (b == 0 || (a == std::numeric_limits<int32_t>::min() && b == -1)) return 0;
    return a / b;
}

int32_t Truncate(float f) {
    if (!(f == f)) return 0;
    if (f >= 2147483647.0f) return std::numeric_limits<int32_t>::max();
    if (f <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return int32_t(f);
}

float Unary(Op op, float x) {
    switch (op) {
    case Op::Rcp: return 1.0f / x;
    case Op::Sin: return std::sin(x);
    case Op::Cos: return std::cos(x);
    case Op::Tan: return std::tan(x);
    case Op::Asin: return std::asin(x);
    case Op::Acos: return std::acos(x);
    case Op::Atan: return std::atan(x);
    case Op::Exp: return std::exp(x);
    case Op::Exp2: return std::exp2(x);
    case Op::Log: return std::log(x);
    case Op::Log2: return std::log2(x);
    case Op::Sqrt: return std::sqrt(x);
    case Op::RSqrt: return 1.0f / std::sqrt(x);
    case Op::Abs: return std::fabs(x);
    case Op::Sign: return x > 0 ? 1.0f : x < 0 ? -1.0f : 0.0f;
    case Op::Floor: return std::floor(x);
    case Op::Ceil: return std::ceil(x);
    case Op::Fract: return x - std::floor(x);
    default: return x;
    }
}

float Binary(Op op, float a, float b) {
    switch (op) {
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div: return a / b;
    case Op::Atan2: return std::atan2(a, b);
    case Op::Pow: return std::pow(a, b);
    case Op::Mod: return a - b * std::floor(a / b);
    case Op::Min: return std::min(a, b);
    case Op::Max: return std::max(a, b);
    case Op::Step: return b < a ? 0.0f : 1.0f;
    default: return b;
    }
}

int32_t IntBinary(Op op, int32_t a, int32_t b) {
    switch (op) {
    case Op::Add: return int32_t(uint32_t(a) + uint32_t(b));
    case Op::Sub: return int32_t(uint32_t(a) - uint32_t(b));
    case Op::Mul: return int32_t(uint32_t(a) * uint32_t(b));
    case Op::Div: return IntDiv(a, b);
    case Op::Min: return std::min(a, b);
    case Op::Max: return std::max(a, b);
    case Op::LogicalAnd: return a & b;
    case Op::LogicalOr: return a | b;
    case Op::LogicalXor: return a ^ b;
    default: return b;
    }
}

template <class T>
bool Compare(Op op, T a, T b) {
    switch (op) {
    case Op::Equal: case Op::VectorEqual: return a == b;
    case Op::NotEqual: case Op::VectorNotEqual: return a != b;
    case Op::LessThan: return a < b;
    case Op::LessThanEqual: return a <= b;
    default: return false;
    }
}

}  // namespace

Runner::Runner(const Program& program)
    : program_(program), f_(size_t(std::max(program.floatRegs, 1))), i_(size_t(std::max(program.intRegs, 1))) {
    for (Lanes& l : f_) l.fill(0);
    for (IntLanes& l : i_) l.fill(0);
    for (const Param& p : program.params) {
        if (p.output && !output_) output_ = &p;
        if (!p.output && p.name == "_OutCoord") outCoord_ = &p;
    }
}

void Runner::SetParam(const Param& param, const std::vector<double>& lanes) {
    auto lane = [&](size_t k) { return k < lanes.size() ? lanes[k] : 0.0; };
    if (IsMatrixType(param.type)) {
        const int n = param.mask;  // the matrix size
        for (int col = 0; col < n; ++col)
            for (int row = 0; row < n; ++row)
                if (float* e = Element(param.reg, n, col, row)) *e = float(lane(size_t(col * n + row)));
        return;
    }
    int dst[4];
    const int count = MaskLanes(param.mask, dst);
    for (int k = 0; k < count; ++k) {
        if (IsIntType(param.type)) i_[size_t(Index(param.reg))][size_t(dst[k])] = Truncate(float(lane(size_t(k))));
        else f_[size_t(Index(param.reg))][size_t(dst[k])] = float(lane(size_t(k)));
    }
}

void Runner::SetInput(int index, const Image* image) {
    if (index < 0) return;
    if (size_t(index) >= inputs_.size()) inputs_.resize(size_t(index) + 1, nullptr);
    inputs_[size_t(index)] = image;
}

Runner::Lanes Runner::ReadFloat(const Operand& o, int width) const {
    Lanes v{};
    const Lanes& r = f_[size_t(Index(o.reg))];
    for (int k = 0; k < width; ++k) v[size_t(k)] = r[(o.swizzle >> (6 - 2 * k)) & 3];
    return v;
}

Runner::IntLanes Runner::ReadInt(const Operand& o, int width) const {
    IntLanes v{};
    const IntLanes& r = i_[size_t(Index(o.reg))];
    for (int k = 0; k < width; ++k) v[size_t(k)] = r[(o.swizzle >> (6 - 2 * k)) & 3];
    return v;
}

void Runner::WriteFloat(uint16_t reg, uint8_t mask, const Lanes& v) {
    int lanes[4];
    const int n = MaskLanes(mask, lanes);
    for (int k = 0; k < n; ++k) f_[size_t(Index(reg))][size_t(lanes[k])] = v[size_t(k)];
}

void Runner::WriteInt(uint16_t reg, uint8_t mask, const IntLanes& v) {
    int lanes[4];
    const int n = MaskLanes(mask, lanes);
    for (int k = 0; k < n; ++k) i_[size_t(Index(reg))][size_t(lanes[k])] = v[size_t(k)];
}

Runner::Lanes Runner::Sample(int texture, float x, float y, bool linear) const {
    const Image* img = size_t(texture) < inputs_.size() ? inputs_[size_t(texture)] : nullptr;
    Lanes none{};
    // Far outside (or not a number) reads as outside: no image is that large.
    constexpr float kFar = 1e7f;
    if (!img || img->width <= 0 || img->height <= 0 || !(std::fabs(x) < kFar && std::fabs(y) < kFar)) return none;
    auto texel = [&](int px, int py) {
        Lanes v{};
        if (px < 0 || py < 0 || px >= img->width || py >= img->height) return v;
        const size_t at = (size_t(py) * size_t(img->width) + size_t(px)) * size_t(img->channels);
        for (int c = 0; c < img->channels; ++c) v[size_t(c)] = img->pixels[at + size_t(c)];
        return v;
    };
    if (!linear) return texel(int(std::floor(x)), int(std::floor(y)));
    const float fx = x - 0.5f, fy = y - 0.5f;
    const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    const float tx = fx - float(x0), ty = fy - float(y0);
    Lanes a = texel(x0, y0), b = texel(x0 + 1, y0), c = texel(x0, y0 + 1), d = texel(x0 + 1, y0 + 1), v{};
    for (size_t k = 0; k < 4; ++k)
        v[k] = (a[k] * (1 - tx) + b[k] * tx) * (1 - ty) + (c[k] * (1 - tx) + d[k] * tx) * ty;
    return v;
}

// A 2x2 matrix fills one register, columns one after the other; larger
// ones take a register a column.
float* Runner::Element(uint16_t reg, int n, int col, int row) {
    const size_t r = size_t(Index(reg) + (n == 2 ? 0 : col));
    if (r >= f_.size()) return nullptr;
    return &f_[r][size_t(n == 2 ? col * 2 + row : row)];
}

void Runner::MatrixOp(const Instr& in) {
    const int n = in.matrix;
    auto m = [&](uint16_t reg, int col, int row) {
        const float* e = Element(reg, n, col, row);
        return e ? *e : 0.0f;
    };
    std::vector<Lanes> result(size_t(n), Lanes{});
    if (in.op == Op::MatMatMul) {
        for (int col = 0; col < n; ++col)
            for (int row = 0; row < n; ++row) {
                float s = 0;
                for (int k = 0; k < n; ++k) s += m(in.dst, k, row) * m(in.src.reg, col, k);
                result[size_t(col)][size_t(row)] = s;
            }
        for (int col = 0; col < n; ++col)
            for (int row = 0; row < n; ++row)
                if (float* e = Element(in.dst, n, col, row)) *e = result[size_t(col)][size_t(row)];
        return;
    }
    // Vector times matrix, or matrix times vector: the vector is the
    // destination for VecMatMul and the source for MatVecMul.
    Lanes vec = in.op == Op::VecMatMul ? f_[size_t(Index(in.dst))] : ReadFloat(in.src, n);
    const uint16_t mat = in.op == Op::VecMatMul ? in.src.reg : in.dst;
    Lanes out{};
    for (int i = 0; i < n; ++i) {
        float s = 0;
        for (int k = 0; k < n; ++k)
            s += in.op == Op::VecMatMul ? vec[size_t(k)] * m(mat, i, k) : m(mat, k, i) * vec[size_t(k)];
        out[size_t(i)] = s;
    }
    WriteFloat(in.dst, in.mask, out);
}

void Runner::Step(const Instr& in) {
    const int width = in.width;
    const bool intDst = in.dst & kIntBank;
    switch (in.op) {
    case Op::Nop: case Op::If: case Op::Else: case Op::EndIf: return;
    case Op::LoadConstant: {
        if (intDst) {
            IntLanes v;
            v.fill(int32_t(in.constant));
            WriteInt(in.dst, in.mask, v);
        } else {
            float f;
            static_assert(sizeof f == sizeof in.constant);
            std::memcpy(&f, &in.constant, sizeof f);
            Lanes v;
            v.fill(f);
            WriteFloat(in.dst, in.mask, v);
        }
        return;
    }
    case Op::SampleNearest: case Op::SampleLinear: {
        Lanes c = ReadFloat(in.src, 2);
        WriteFloat(in.dst, in.mask, Sample(in.texture, c[0], c[1], in.op == Op::SampleLinear));
        return;
    }
    case Op::Select: {
        // Only a condition of exactly 1 (true) picks the first source.
        const bool pick = ReadInt(in.cond, 1)[0] == 1;
        const Operand& from = pick ? in.src : in.src2;
        if (intDst) WriteInt(in.dst, in.mask, ReadInt(from, width));
        else WriteFloat(in.dst, in.mask, ReadFloat(from, width));
        return;
    }
    case Op::MatMatMul: case Op::VecMatMul: case Op::MatVecMul:
        if (in.matrix) MatrixOp(in);
        return;
    default: break;
    }
    int lanes[4] = {0, 0, 0, 0};
    const int n = MaskLanes(in.mask, lanes);
    // The destination as the first operand: its masked lanes, in order.
    Operand self{in.dst, 0};
    for (int k = 0; k < 4; ++k) self.swizzle = uint8_t(self.swizzle | lanes[std::min(k, std::max(n - 1, 0))] << (6 - 2 * k));
    const bool intSrc = in.src.reg & kIntBank;
    switch (in.op) {
    case Op::IntToFloat: case Op::BoolToFloat: {
        // The reference player turns every bool into 0.0.
        IntLanes s = ReadInt(in.src, width);
        Lanes v{};
        if (in.op == Op::IntToFloat)
            for (int k = 0; k < width; ++k) v[size_t(k)] = float(s[size_t(k)]);
        WriteFloat(in.dst, in.mask, v);
        return;
    }
    case Op::FloatToInt: case Op::FloatToBool: {
        Lanes s = ReadFloat(in.src, width);
        IntLanes v{};
        for (int k = 0; k < width; ++k)
            v[size_t(k)] = in.op == Op::FloatToBool ? s[size_t(k)] != 0 : Truncate(std::nearbyint(s[size_t(k)]));
        WriteInt(in.dst, in.mask, v);
        return;
    }
    case Op::IntToBool: case Op::BoolToInt: case Op::LogicalNot: {
        // Bools are ints as given: an int made bool keeps its value (if
        // tests it against 0, select against 1), and not flips every bit.
        IntLanes s = ReadInt(in.src, width);
        if (in.op == Op::LogicalNot)
            for (int k = 0; k < width; ++k) s[size_t(k)] = ~s[size_t(k)];
        WriteInt(in.dst, in.mask, s);
        return;
    }
    case Op::Any: case Op::All: {
        IntLanes s = ReadInt(in.src, width);
        bool any = false, all = true;
        for (int k = 0; k < width; ++k) any |= s[size_t(k)] != 0, all &= s[size_t(k)] != 0;
        IntLanes v{};
        v[0] = in.op == Op::Any ? any : all;
        WriteInt(in.dst, in.mask, v);
        return;
    }
    case Op::Equal: case Op::NotEqual: case Op::LessThan: case Op::LessThanEqual:
    case Op::VectorEqual: case Op::VectorNotEqual: {
        IntLanes r{};
        for (int k = 0; k < width; ++k)
            r[size_t(k)] = intSrc ? Compare(in.op, ReadInt(self, width)[size_t(k)], ReadInt(in.src, width)[size_t(k)])
                                  : Compare(in.op, ReadFloat(self, width)[size_t(k)], ReadFloat(in.src, width)[size_t(k)]);
        if (in.op == Op::VectorEqual || in.op == Op::VectorNotEqual) {
            bool all = true;
            for (int k = 0; k < width; ++k) all &= r[size_t(k)] != 0;
            r = IntLanes{all, 0, 0, 0};
        }
        i_[0] = r;
        return;
    }
    case Op::Length: case Op::Distance: case Op::Dot: case Op::Normalize: case Op::Cross: {
        Lanes a = ReadFloat(self, width), b = ReadFloat(in.src, width), v{};
        auto dot = [&](const Lanes& x, const Lanes& y) {
            float s = 0;
            for (int k = 0; k < width; ++k) s += x[size_t(k)] * y[size_t(k)];
            return s;
        };
        if (in.op == Op::Length) v.fill(std::sqrt(dot(b, b)));
        else if (in.op == Op::Dot) v.fill(dot(a, b));
        else if (in.op == Op::Distance) {
            Lanes d{};
            for (int k = 0; k < width; ++k) d[size_t(k)] = a[size_t(k)] - b[size_t(k)];
            v.fill(std::sqrt(dot(d, d)));
        } else if (in.op == Op::Normalize) {
            const float len = std::sqrt(dot(b, b));
            for (int k = 0; k < width; ++k) v[size_t(k)] = b[size_t(k)] / len;
        } else {
            v = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0], 0};
        }
        WriteFloat(in.dst, in.mask, v);
        return;
    }
    default: break;
    }
    const bool twoOperands = in.op == Op::Add || in.op == Op::Sub || in.op == Op::Mul || in.op == Op::Div ||
                             in.op == Op::Atan2 || in.op == Op::Pow || in.op == Op::Mod || in.op == Op::Min ||
                             in.op == Op::Max || in.op == Op::Step || in.op == Op::LogicalAnd ||
                             in.op == Op::LogicalOr || in.op == Op::LogicalXor;
    if (intDst) {
        IntLanes a = ReadInt(self, width), b = ReadInt(in.src, width), v{};
        for (int k = 0; k < width; ++k) {
            const int32_t x = b[size_t(k)];
            if (twoOperands) v[size_t(k)] = IntBinary(in.op, a[size_t(k)], x);
            else if (in.op == Op::Abs) v[size_t(k)] = x < 0 ? int32_t(0u - uint32_t(x)) : x;
            else if (in.op == Op::Sign) v[size_t(k)] = x > 0 ? 1 : x < 0 ? -1 : 0;
            else v[size_t(k)] = x;
        }
        WriteInt(in.dst, in.mask, v);
        return;
    }
    Lanes a = ReadFloat(self, width), b = ReadFloat(in.src, width), v{};
    for (int k = 0; k < width; ++k)
        v[size_t(k)] = twoOperands ? Binary(in.op, a[size_t(k)], b[size_t(k)]) : Unary(in.op, b[size_t(k)]);
    WriteFloat(in.dst, in.mask, v);
}

Runner::Decoded Runner::Decode(const Instr& in) {
    Decoded d;
    d.in = &in;
    int lanes[4] = {0, 0, 0, 0};
    d.n = uint8_t(MaskLanes(in.mask, lanes));
    d.width = in.width;
    for (int k = 0; k < 4; ++k) {
        d.lanes[k] = uint8_t(lanes[k]);
        d.srcLane[k] = uint8_t((in.src.swizzle >> (6 - 2 * k)) & 3);
        d.selfLane[k] = uint8_t(lanes[std::min(k, std::max(int(d.n) - 1, 0))]);
    }
    d.dst = size_t(Index(in.dst));
    d.src = size_t(Index(in.src.reg));
    const bool ints = (in.dst & kIntBank) || (in.src.reg & kIntBank);
    if (in.dst & kIntBank) return d;
    switch (in.op) {
    case Op::LoadConstant:
        std::memcpy(&d.constant, &in.constant, sizeof d.constant);
        d.kind = Decoded::kFloatConstant;
        break;
    case Op::SampleNearest: case Op::SampleLinear: d.kind = Decoded::kFloatSample; break;
    case Op::Add: case Op::Sub: case Op::Mul: case Op::Div: case Op::Atan2: case Op::Pow: case Op::Mod:
    case Op::Min: case Op::Max: case Op::Step:
        if (!ints) d.kind = Decoded::kFloatTwo;
        break;
    case Op::Rcp: case Op::Sin: case Op::Cos: case Op::Tan: case Op::Asin: case Op::Acos: case Op::Atan:
    case Op::Exp: case Op::Exp2: case Op::Log: case Op::Log2: case Op::Sqrt: case Op::RSqrt: case Op::Abs:
    case Op::Sign: case Op::Floor: case Op::Ceil: case Op::Fract: case Op::Mov:
        if (!ints) d.kind = Decoded::kFloatOne;
        break;
    default: break;
    }
    return d;
}

// The float forms of Step, reading and writing registers in place.
void Runner::Fast(const Decoded& d) {
    Lanes& to = f_[d.dst];
    Lanes v{};
    switch (d.kind) {
    case Decoded::kFloatConstant: v.fill(d.constant); break;
    case Decoded::kFloatSample: {
        const Lanes& c = f_[d.src];
        v = Sample(d.in->texture, c[d.srcLane[0]], c[d.srcLane[1]], d.in->op == Op::SampleLinear);
        break;
    }
    case Decoded::kFloatTwo: {
        const Lanes& from = f_[d.src];
        auto each = [&](auto f) {
            for (int k = 0; k < d.width; ++k) v[size_t(k)] = f(to[d.selfLane[k]], from[d.srcLane[k]]);
        };
        // The frequent operations get their own loops.
        switch (d.in->op) {
        case Op::Add: each([](float a, float b) { return a + b; }); break;
        case Op::Sub: each([](float a, float b) { return a - b; }); break;
        case Op::Mul: each([](float a, float b) { return a * b; }); break;
        case Op::Div: each([](float a, float b) { return a / b; }); break;
        default: each([op = d.in->op](float a, float b) { return Binary(op, a, b); }); break;
        }
        break;
    }
    default: {
        const Lanes& from = f_[d.src];
        if (d.in->op == Op::Mov)
            for (int k = 0; k < d.width; ++k) v[size_t(k)] = from[d.srcLane[k]];
        else
            for (int k = 0; k < d.width; ++k) v[size_t(k)] = Unary(d.in->op, from[d.srcLane[k]]);
        break;
    }
    }
    for (int k = 0; k < d.n; ++k) to[d.lanes[k]] = v[size_t(k)];
}

void Runner::Run(int width, int height, std::vector<float>& out) {
    out.assign(size_t(std::max(width, 0)) * size_t(std::max(height, 0)) * 4, 0.0f);
    const std::vector<Lanes> floats = f_;
    const std::vector<IntLanes> ints = i_;
    struct Branch {
        bool outer, taken;
    };
    std::vector<Branch> branches;
    std::vector<Decoded> code;
    code.reserve(program_.code.size());
    for (const Instr& in : program_.code) code.push_back(Decode(in));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            f_ = floats;
            i_ = ints;
            if (outCoord_) SetParam(*outCoord_, {x + 0.5, y + 0.5});
            bool on = true;
            branches.clear();
            for (const Decoded& d : code) {
                const Instr& in = *d.in;
                if (in.op == Op::If) {
                    const bool taken = on && ReadInt(in.cond, 1)[0] != 0;
                    branches.push_back({on, taken});
                    on = taken;
                } else if (in.op == Op::Else) {
                    on = branches.back().outer && !branches.back().taken;
                } else if (in.op == Op::EndIf) {
                    on = branches.back().outer;
                    branches.pop_back();
                } else if (on) {
                    if (d.kind == Decoded::kGeneral) Step(in);
                    else Fast(d);
                }
            }
            if (!output_) continue;
            float* px = &out[(size_t(y) * size_t(width) + size_t(x)) * 4];
            int lanes[4];
            const int n = MaskLanes(output_->mask, lanes);
            for (int k = 0; k < n; ++k) {
                const size_t c = size_t(lanes[k]);
                px[k] = IsIntType(output_->type) ? float(i_[size_t(Index(output_->reg))][c])
                                                 : f_[size_t(Index(output_->reg))][c];
            }
        }
}

}  // namespace swf::shader
