#include "EffectStates.h"

#include <cstdlib>
#include <cstring>

namespace {

// D3DXPARAMETER_TYPE values of the state typedefs.
const uint32_t kBool = 1, kInt = 2, kFloat = 3;

struct NamedValue {
    const char* name;
    uint32_t value;
};

const NamedValue s_bool[] = {{"FALSE", 0}, {"TRUE", 1}, {nullptr, 0}};
const NamedValue s_blend[] = {{"ZERO", 1}, {"ONE", 2}, {"SRCCOLOR", 3}, {"INVSRCCOLOR", 4}, {"SRCALPHA", 5},
                              {"INVSRCALPHA", 6}, {"DESTALPHA", 7}, {"INVDESTALPHA", 8}, {"DESTCOLOR", 9},
                              {"INVDESTCOLOR", 10}, {"SRCALPHASAT", 11}, {"BLENDFACTOR", 14},
                              {"INVBLENDFACTOR", 15}, {nullptr, 0}};
const NamedValue s_blendOp[] = {{"ADD", 1}, {"SUBTRACT", 2}, {"REVSUBTRACT", 3}, {"MIN", 4}, {"MAX", 5}, {nullptr, 0}};
const NamedValue s_cull[] = {{"NONE", 1}, {"CW", 2}, {"CCW", 3}, {nullptr, 0}};
const NamedValue s_cmp[] = {{"NEVER", 1}, {"LESS", 2}, {"EQUAL", 3}, {"LESSEQUAL", 4}, {"GREATER", 5},
                            {"NOTEQUAL", 6}, {"GREATEREQUAL", 7}, {"ALWAYS", 8}, {nullptr, 0}};
const NamedValue s_fill[] = {{"POINT", 1}, {"WIREFRAME", 2}, {"SOLID", 3}, {nullptr, 0}};
const NamedValue s_shade[] = {{"FLAT", 1}, {"GOURAUD", 2}, {nullptr, 0}};
const NamedValue s_stencilOp[] = {{"KEEP", 1}, {"ZERO", 2}, {"REPLACE", 3}, {"INCRSAT", 4}, {"DECRSAT", 5},
                                  {"INVERT", 6}, {"INCR", 7}, {"DECR", 8}, {nullptr, 0}};
const NamedValue s_filter[] = {{"NONE", 0}, {"POINT", 1}, {"LINEAR", 2}, {"ANISOTROPIC", 3}, {nullptr, 0}};
const NamedValue s_address[] = {{"WRAP", 1}, {"MIRROR", 2}, {"CLAMP", 3}, {"BORDER", 4}, {"MIRRORONCE", 5},
                                {nullptr, 0}};

struct StateInfo {
    const char* name;
    uint32_t code;
    uint32_t type;
    const NamedValue* names;  // null: a number
};

const StateInfo s_renderStates[] = {
    {"ZEnable", 0, kBool, s_bool},
    {"FillMode", 1, kInt, s_fill},
    {"ShadeMode", 2, kInt, s_shade},
    {"ZWriteEnable", 3, kBool, s_bool},
    {"AlphaTestEnable", 4, kBool, s_bool},
    {"LastPixel", 5, kBool, s_bool},
    {"SrcBlend", 6, kInt, s_blend},
    {"DestBlend", 7, kInt, s_blend},
    {"CullMode", 8, kInt, s_cull},
    {"ZFunc", 9, kInt, s_cmp},
    {"AlphaRef", 10, kInt, nullptr},
    {"AlphaFunc", 11, kInt, s_cmp},
    {"DitherEnable", 12, kBool, s_bool},
    {"AlphaBlendEnable", 13, kBool, s_bool},
    {"FogEnable", 14, kBool, s_bool},
    {"SpecularEnable", 15, kBool, s_bool},
    {"StencilEnable", 22, kBool, s_bool},
    {"StencilFail", 23, kInt, s_stencilOp},
    {"StencilZFail", 24, kInt, s_stencilOp},
    {"StencilPass", 25, kInt, s_stencilOp},
    {"StencilFunc", 26, kInt, s_cmp},
    {"StencilRef", 27, kInt, nullptr},
    {"StencilMask", 28, kInt, nullptr},
    {"StencilWriteMask", 29, kInt, nullptr},
    {"TextureFactor", 30, kInt, nullptr},
    {"Lighting", 48, kBool, s_bool},
    {"ColorWriteEnable", 73, kInt, nullptr},
    {"BlendOp", 75, kInt, s_blendOp},
    {"ScissorTestEnable", 78, kBool, s_bool},
    {"SlopeScaleDepthBias", 79, kFloat, nullptr},
    {"BlendFactor", 96, kInt, nullptr},
    {"SRGBWriteEnable", 97, kBool, s_bool},
    {"DepthBias", 98, kFloat, nullptr},
    {"SeparateAlphaBlendEnable", 99, kBool, s_bool},
    {"SrcBlendAlpha", 100, kInt, s_blend},
    {"DestBlendAlpha", 101, kInt, s_blend},
    {"BlendOpAlpha", 102, kInt, s_blendOp},
    {nullptr, 0, 0, nullptr},
};

const StateInfo s_samplerStates[] = {
    {"AddressU", 165, kInt, s_address},
    {"AddressV", 166, kInt, s_address},
    {"AddressW", 167, kInt, s_address},
    {"BorderColor", 168, kInt, nullptr},
    {"MagFilter", 169, kInt, s_filter},
    {"MinFilter", 170, kInt, s_filter},
    {"MipFilter", 171, kInt, s_filter},
    {"MipMapLodBias", 172, kFloat, nullptr},
    {"MaxMipLevel", 173, kInt, nullptr},
    {"MaxAnisotropy", 174, kInt, nullptr},
    {"SRGBTexture", 175, kBool, s_bool},
    {nullptr, 0, 0, nullptr},
};

std::string Choices(const NamedValue* names)
{
    std::string s;
    for (; names->name; ++names)
        s += std::string(s.empty() ? "" : ", ") + names->name;
    return s;
}

bool ParseValue(const StateInfo& info, const std::string& text, uint32_t& value, std::string& error)
{
    if (info.names) {
        for (const NamedValue* n = info.names; n->name; ++n)
            if (text == n->name) {
                value = n->value;
                return true;
            }
        error = std::string(info.name) + " takes one of " + Choices(info.names) + ", not '" + text + "'";
        return false;
    }
    char* end = nullptr;
    if (info.type == kFloat) {
        float f = std::strtof(text.c_str(), &end);
        std::memcpy(&value, &f, 4);
    } else {
        value = uint32_t(std::strtoul(text.c_str(), &end, 0));
    }
    if (text.empty() || *end) {
        error = std::string(info.name) + " takes a number, not '" + text + "'";
        return false;
    }
    return true;
}

bool Parse(const StateInfo* table, const char* kind, const std::string& name, const std::string& value,
           StateSetting& out, std::string& error)
{
    for (const StateInfo* s = table; s->name; ++s) {
        if (name != s->name)
            continue;
        out.code = s->code;
        out.valueType = s->type;
        out.name = name;
        return ParseValue(*s, value, out.value, error);
    }
    error = std::string("unknown ") + kind + " '" + name + "'";
    return false;
}

}  // namespace

bool EffectStates::ParseRenderState(const std::string& name, const std::string& value, StateSetting& out,
                                    std::string& error)
{
    return Parse(s_renderStates, "render state", name, value, out, error);
}

bool EffectStates::ParseSamplerState(const std::string& name, const std::string& value, StateSetting& out,
                                     std::string& error)
{
    return Parse(s_samplerStates, "sampler state", name, value, out, error);
}
