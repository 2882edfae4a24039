// effectpacker DESCRIPTION OUTPUT
//
// Builds a compiled effect binary for D3DXCreateEffect from an effect description and its
// shader assembly files. Exit code 0 on success; on any fault it prints "file:line: message" to
// stderr, writes nothing and exits with 1 (2 for a wrong command line).
#include "EffectBinaryCheck.h"
#include "EffectDescription.h"
#include "EffectWriter.h"
#include "PackError.h"
#include "ShaderProgram.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: effectpacker DESCRIPTION OUTPUT\n");
        return 2;
    }
    const std::string output = argv[2];
    try {
        EffectDescription effect = EffectDescription::Load(argv[1]);
        std::vector<std::vector<std::vector<std::vector<uint32_t>>>> code;
        for (const EffectTechnique& tech : effect.techniques) {
            code.emplace_back();
            for (const EffectPass& pass : tech.passes) {
                code.back().emplace_back();
                for (const ShaderRef& ref : pass.shaders) {
                    ShaderProgram shader(ref, effect);
                    for (const std::string& w : shader.Warnings())
                        std::fprintf(stderr, "%s\n", w.c_str());
                    code.back().back().push_back(shader.Bytecode());
                }
            }
        }
        std::vector<uint8_t> bytes = EffectWriter(effect).Write(code);
        CheckEffectBinary(bytes, output);
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
            throw PackError(output, 0, "cannot write the effect binary");
    } catch (const PackError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::remove(output.c_str());
        return 1;
    }
    return 0;
}
