#include "EffectWriter.h"

#include <cstring>

namespace {

// D3DXPARAMETER_TYPE values.
const uint32_t kTypeBool = 1, kTypeInt = 2, kTypeFloat = 3, kTypeTexture = 5, kTypeSampler2D = 12,
               kTypePixelShader = 15, kTypeVertexShader = 16;
const uint32_t kStateTexture = 164, kStateVertexShader = 146, kStatePixelShader = 147;
const uint32_t kNone = 0xFFFFFFFF;

void AppendBytes(std::vector<uint32_t>& out, const void* data, size_t size)
{
    const size_t words = (size + 3) / 4;
    size_t at = out.size();
    out.resize(at + words, 0);
    std::memcpy(&out[at], data, size);
}

}  // namespace

uint32_t EffectWriter::String(const std::string& s)
{
    uint32_t at = uint32_t(m_pool.size() * 4);
    m_pool.push_back(uint32_t(s.size() + 1));
    AppendBytes(m_pool, s.c_str(), s.size() + 1);
    return at;
}

uint32_t EffectWriter::Typedef(uint32_t type, uint32_t cls, uint32_t name, uint32_t rows, uint32_t columns)
{
    uint32_t at = uint32_t(m_pool.size() * 4);
    m_pool.insert(m_pool.end(), {type, cls, name, 0, 0});
    if (cls == kClassVector)
        m_pool.insert(m_pool.end(), {columns, rows});  // vectors store columns first
    else if (cls != kClassObject)
        m_pool.insert(m_pool.end(), {rows, columns});
    return at;
}

uint32_t EffectWriter::Value(const std::vector<uint32_t>& words)
{
    uint32_t at = uint32_t(m_pool.size() * 4);
    m_pool.insert(m_pool.end(), words.begin(), words.end());
    return at;
}

void EffectWriter::StateRecord(std::vector<uint32_t>& out, uint32_t code, uint32_t typeOffset, uint32_t valueOffset)
{
    out.insert(out.end(), {code, 0, typeOffset, valueOffset});
}

// State 0 is the Texture state naming the texture parameter (a usage-1 resource record); the
// stage comes from the shader's constant table when a pass applies its shader.
uint32_t EffectWriter::SamplerBlock(const EffectParam& p, uint32_t paramIndex)
{
    std::vector<uint32_t> block{uint32_t(1 + p.samplerStates.size())};
    StateRecord(block, kStateTexture, Typedef(kTypeTexture, kClassObject, 0, 0, 0), Value({m_nextObject++}));
    for (const StateSetting& s : p.samplerStates)
        StateRecord(block, s.code, Typedef(s.valueType, kClassScalar, 0, 1, 1), Value({s.value}));

    m_resources.insert(m_resources.end(), {kNone, paramIndex, kNone, 0, 1, uint32_t(p.texture.size() + 1)});
    AppendBytes(m_resources, p.texture.c_str(), p.texture.size() + 1);
    ++m_resourceCount;
    return Value(block);
}

std::vector<uint8_t> EffectWriter::Write(
    const std::vector<std::vector<std::vector<std::vector<uint32_t>>>>& shaderCode)
{
    m_pool.assign(1, 0);  // offset 0 reads as an empty string
    std::vector<uint32_t> structured;
    std::vector<uint32_t> objects;  // object list: texture parameters, size 0
    uint32_t objectEntries = 0;
    uint32_t shaderCount = 0;

    std::vector<uint32_t> paramRecords;
    for (size_t i = 0; i < m_effect.params.size(); ++i) {
        const EffectParam& p = m_effect.params[i];
        uint32_t name = String(p.name);
        uint32_t type = 0, value = 0;
        switch (p.kind) {
        case ParamKind::Texture:
            type = Typedef(kTypeTexture, kClassObject, name, 0, 0);
            objects.insert(objects.end(), {m_nextObject, 0});
            ++objectEntries;
            value = Value({m_nextObject++});
            break;
        case ParamKind::Sampler:
            type = Typedef(kTypeSampler2D, kClassObject, name, 0, 0);
            value = SamplerBlock(p, uint32_t(i));
            break;
        default:
            type = Typedef(p.kind == ParamKind::Float ? kTypeFloat : p.kind == ParamKind::Int ? kTypeInt : kTypeBool,
                           p.paramClass, name, p.rows, p.columns);
            value = Value(p.value);
            break;
        }
        paramRecords.insert(paramRecords.end(), {type, value, 0, 0});
    }

    std::vector<uint32_t> techniqueRecords;
    for (size_t t = 0; t < m_effect.techniques.size(); ++t) {
        const EffectTechnique& tech = m_effect.techniques[t];
        techniqueRecords.insert(techniqueRecords.end(), {String(tech.name), 0, uint32_t(tech.passes.size())});
        for (size_t pi = 0; pi < tech.passes.size(); ++pi) {
            const EffectPass& pass = tech.passes[pi];
            std::vector<uint32_t> states;
            for (const StateSetting& s : pass.states)
                StateRecord(states, s.code, Typedef(s.valueType, kClassScalar, 0, 1, 1), Value({s.value}));
            for (size_t si = 0; si < pass.shaders.size(); ++si) {
                const ShaderRef& ref = pass.shaders[si];
                const std::vector<uint32_t>& code = shaderCode[t][pi][si];
                uint32_t stateIndex = uint32_t(states.size() / 4);
                StateRecord(states, ref.pixel ? kStatePixelShader : kStateVertexShader,
                            Typedef(ref.pixel ? kTypePixelShader : kTypeVertexShader, kClassObject, 0, 0, 0),
                            Value({m_nextObject++}));
                m_resources.insert(m_resources.end(),
                                   {uint32_t(t), uint32_t(pi), kNone, stateIndex, 0, uint32_t(code.size() * 4)});
                m_resources.insert(m_resources.end(), code.begin(), code.end());
                ++m_resourceCount;
                ++shaderCount;
            }
            techniqueRecords.insert(techniqueRecords.end(), {String(pass.name), 0, uint32_t(states.size() / 4)});
            techniqueRecords.insert(techniqueRecords.end(), states.begin(), states.end());
        }
    }

    structured.insert(structured.end(), {uint32_t(m_effect.params.size()), uint32_t(m_effect.techniques.size()),
                                         shaderCount, m_nextObject});
    structured.insert(structured.end(), paramRecords.begin(), paramRecords.end());
    structured.insert(structured.end(), techniqueRecords.begin(), techniqueRecords.end());
    structured.insert(structured.end(), {objectEntries, m_resourceCount});
    structured.insert(structured.end(), objects.begin(), objects.end());
    structured.insert(structured.end(), m_resources.begin(), m_resources.end());

    std::vector<uint32_t> file{0xFEFF0901, uint32_t(m_pool.size() * 4)};
    file.insert(file.end(), m_pool.begin(), m_pool.end());
    file.insert(file.end(), structured.begin(), structured.end());
    std::vector<uint8_t> bytes(file.size() * 4);
    std::memcpy(bytes.data(), file.data(), bytes.size());
    return bytes;
}
