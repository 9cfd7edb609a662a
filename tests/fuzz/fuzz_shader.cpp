// libFuzzer over compiled pixel shaders: any bytes as a shader, read and,
// when accepted, run over a small output with every input image present.
// A refused shader is an error; nothing may crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/shader/PbjRun.h"

namespace shader = swf::shader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shader::Program program;
    std::string error;
    if (!shader::ReadProgram(data, size, program, error)) return 0;
    shader::Runner runner(program);
    for (const shader::Param& p : program.params) runner.SetParam(p, {1.5, -2, 0.25, 1e30, -0.0});
    std::vector<shader::Image> images(program.textures.size());
    for (size_t i = 0; i < images.size(); ++i) {
        images[i].width = 2, images[i].height = 3;
        images[i].channels = program.textures[i].channels;
        images[i].pixels.assign(size_t(2 * 3 * images[i].channels), 0.5f);
        runner.SetInput(program.textures[i].index, &images[i]);
    }
    std::vector<float> out;
    runner.Run(3, 2, out);
    return 0;
}
