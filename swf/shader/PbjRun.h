// Running a compiled shader over an output rectangle: once per pixel, with
// the output coordinate (pixel centre) in `_OutCoord`, parameters set
// beforehand and input images sampled in their own pixel space.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "swf/shader/Pbj.h"

namespace swf::shader {

// An input image: `channels` floats a pixel, rows top to bottom.
struct Image {
    int width = 0, height = 0, channels = 4;
    std::vector<float> pixels;
};

class Runner {
public:
    explicit Runner(const Program& program);

    // The lanes of a parameter, in declaration order (columns of a matrix
    // one after another); missing lanes are 0.
    void SetParam(const Param& param, const std::vector<double>& lanes);
    // Input image of texture index `index`; null or absent reads as
    // transparent black.
    void SetInput(int index, const Image* image);

    // Every pixel of a width x height output: 4 floats each (r, g, b, a),
    // rows top to bottom, from the program's first output parameter.
    void Run(int width, int height, std::vector<float>& out);

private:
    using Lanes = std::array<float, 4>;
    using IntLanes = std::array<int32_t, 4>;

    // An instruction with its lanes worked out once, and a kind for the
    // common float forms run without the general path.
    struct Decoded {
        enum Kind : uint8_t { kGeneral, kFloatTwo, kFloatOne, kFloatConstant, kFloatSample };
        const Instr* in = nullptr;
        Kind kind = kGeneral;
        uint8_t n = 0, width = 0;
        uint8_t lanes[4] = {}, srcLane[4] = {}, selfLane[4] = {};
        size_t dst = 0, src = 0;
        float constant = 0;
    };
    static Decoded Decode(const Instr& in);
    void Fast(const Decoded& d);

    void Step(const Instr& in);
    Lanes ReadFloat(const Operand& o, int width) const;
    IntLanes ReadInt(const Operand& o, int width) const;
    void WriteFloat(uint16_t reg, uint8_t mask, const Lanes& v);
    void WriteInt(uint16_t reg, uint8_t mask, const IntLanes& v);
    Lanes Sample(int texture, float x, float y, bool linear) const;
    void MatrixOp(const Instr& in);
    float* Element(uint16_t reg, int n, int col, int row);

    const Program& program_;
    std::vector<Lanes> f_;
    std::vector<IntLanes> i_;
    std::vector<const Image*> inputs_;
    const Param* outCoord_ = nullptr;
    const Param* output_ = nullptr;
};

}  // namespace swf::shader
