#pragma once
#include "EffectDescription.h"

#include <cstdint>
#include <string>
#include <vector>

// One pass shader: assembled from its source, checked against the shader model's limits and
// against the pass's register bindings, and given the constant table through which D3DX ties
// effect parameters to its registers.
class ShaderProgram {
public:
    // Throws PackError naming the shader file (and line where one is known).
    ShaderProgram(const ShaderRef& ref, const EffectDescription& effect);

    // Bytecode with the constant table spliced in after the version token.
    const std::vector<uint32_t>& Bytecode() const { return m_bytecode; }
    // Notes that do not stop the build (a bound register the shader never reads).
    const std::vector<std::string>& Warnings() const { return m_warnings; }

private:
    std::vector<uint32_t> Assemble(const std::string& source) const;
    void CheckRegisterMap(const std::string& source) const;
    void MapInstructionLines(const std::string& source);
    int InstructionLine(size_t ordinal) const;
    static std::string AssemblerMessages(const std::string& messages);
    int AssemblerLine(const std::string& messages) const;
    void Analyse(const std::vector<uint32_t>& code);
    std::vector<uint32_t> BuildConstantTable() const;
    [[noreturn]] void Fail(const std::string& message, int line = 0) const;

    const ShaderRef& m_ref;
    const EffectDescription& m_effect;
    std::vector<uint32_t> m_bytecode;
    std::vector<std::string> m_warnings;
    std::vector<int> m_instructionLines;  // source line of each bytecode instruction
};
