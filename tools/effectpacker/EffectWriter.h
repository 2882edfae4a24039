#pragma once
#include "EffectDescription.h"

#include <cstdint>
#include <vector>

// Lays out a compiled effect binary ("fx_2_0", tag 0xFEFF0901) from a checked description and
// its shaders' bytecode (one entry per ShaderRef, in pass order). The layout is described in
// tools/README.md.
class EffectWriter {
public:
    explicit EffectWriter(const EffectDescription& effect) : m_effect(effect) {}

    // shaderCode[t][p][s] is the bytecode of shader s of pass p of technique t.
    std::vector<uint8_t> Write(const std::vector<std::vector<std::vector<std::vector<uint32_t>>>>& shaderCode);

private:
    uint32_t String(const std::string& s);
    uint32_t Typedef(uint32_t type, uint32_t cls, uint32_t name, uint32_t rows, uint32_t columns);
    uint32_t Value(const std::vector<uint32_t>& words);
    uint32_t SamplerBlock(const EffectParam& p, uint32_t paramIndex);
    void StateRecord(std::vector<uint32_t>& out, uint32_t code, uint32_t typeOffset, uint32_t valueOffset);

    const EffectDescription& m_effect;
    std::vector<uint32_t> m_pool;       // the data area; offsets are bytes from its start
    std::vector<uint32_t> m_resources;  // resource records, already laid out
    uint32_t m_resourceCount = 0;
    uint32_t m_nextObject = 1;          // id 0 is the runtime's scratch slot
};
