// Compiled pixel shaders: reading refuses what the interpreter could not run
// safely, and a small program runs per pixel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "swf/shader/PbjRun.h"

namespace swf::shader {
namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& b, std::initializer_list<int> bytes) {
    for (int v : bytes) b.push_back(uint8_t(v));
}

void Text(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

// version 1; out "dst" float4 f0.rgba; in "v" int i1.r; then `code`.
Bytes Program(std::initializer_list<int> code) {
    Bytes b;
    Append(b, {0xA5, 1, 0, 0, 0});
    Append(b, {0xA1, 2, 4, 0, 0, 0x0F});
    Text(b, "dst");
    Append(b, {0xA1, 1, 8, 1, 0x80, 0x08});
    Text(b, "v");
    Append(b, code);
    return b;
}

// ld f0.a, 1.0; i2f f0.r, i1.r
const std::initializer_list<int> kAlphaAndV = {0x32, 0, 0, 0x10, 0x3F, 0x80, 0, 0, 0x1F, 0, 0, 0x80, 1, 0x80, 0, 0};

TEST(ShaderTest, ReadsOnlyWhatRunsSafely) {
    struct Case {
        const char* what;
        Bytes bytes;
        bool ok;
    };
    const Case cases[] = {
        {"loads and converts", Program(kAlphaAndV), true},
        {"ceil of an int register", Program({0x1B, 0, 0, 0x80, 1, 0x80, 0, 0}), false},
        {"endif without if", Program({0x36, 0, 0, 0, 0, 0, 0, 0}), false},
        {"if without endif", Program({0x34, 0, 0, 0, 1, 0x80, 0, 0}), false},
        {"if on a float", Program({0x34, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0, 0, 0, 0}), false},
        {"unknown instruction", Program({0x7E, 0, 0, 0, 0, 0, 0, 0}), false},
        {"register past the bound", Program({0x1D, 0xFF, 0x7F, 0x80, 0, 0, 0, 0}), false},
        {"4x4 matrix of size 247", Program({0xA1, 0, 7, 0, 0, 0xF7, 0}), false},
    };
    for (const Case& c : cases) {
        shader::Program p;
        std::string error;
        EXPECT_EQ(ReadProgram(c.bytes.data(), c.bytes.size(), p, error), c.ok) << c.what << ": " << error;
    }
}

TEST(ShaderTest, TruncatedAnywhereIsReadOrRefused) {
    const Bytes full = Program(kAlphaAndV);
    for (size_t n = 0; n <= full.size(); ++n) {
        shader::Program p;
        std::string error;
        if (ReadProgram(full.data(), n, p, error)) {
            Runner r(p);
            std::vector<float> out;
            r.Run(2, 1, out);
            EXPECT_EQ(out.size(), 8u);
        }
    }
}

// Inputs the fuzzer found; each must run without undefined behaviour.
TEST(ShaderTest, FoundProgramsRunSafely) {
    const Bytes found[] = {
        // Samples an input at a coordinate that is not a number.
        {0x30, 0, 0, 0, 0x7E, 0x08, 0, 0, 0xA3, 0, 1, 0, 0x08, 0, 0x0A, 0xC6,
         0, 0, 0, 0x60, 0x30, 0, 0, 0x21, 0, 0x0A, 0, 0},
    };
    for (const Bytes& b : found) {
        shader::Program p;
        std::string error;
        if (!ReadProgram(b.data(), b.size(), p, error)) continue;
        Runner r(p);
        Image img{2, 2, 1, std::vector<float>(4, 0.5f)};
        for (const Texture& t : p.textures) r.SetInput(t.index, &img);
        std::vector<float> out;
        r.Run(2, 2, out);
        EXPECT_EQ(out.size(), 16u);
    }
}

TEST(ShaderTest, RunsOncePerPixelWithParameters) {
    const Bytes b = Program(kAlphaAndV);
    shader::Program p;
    std::string error;
    ASSERT_TRUE(ReadProgram(b.data(), b.size(), p, error)) << error;
    Runner r(p);
    r.SetParam(p.params[1], {3.7});  // ints truncate
    std::vector<float> out;
    r.Run(2, 2, out);
    ASSERT_EQ(out.size(), 16u);
    for (size_t px = 0; px < 4; ++px) {
        EXPECT_EQ(out[px * 4], 3.0f);
        EXPECT_EQ(out[px * 4 + 3], 1.0f);
    }
}

}  // namespace
}  // namespace swf::shader
