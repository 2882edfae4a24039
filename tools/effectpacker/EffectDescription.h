#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An effect as its description file declares it (syntax in tools/README.md).

enum class ParamKind { Float, Int, Bool, Texture, Sampler };

// D3DX's parameter classes, as the effect binary and the constant table store them.
enum ParamClass : uint32_t { kClassScalar = 0, kClassVector = 1, kClassMatrixRows = 2, kClassMatrixColumns = 3, kClassObject = 4 };

struct StateSetting {
    uint32_t code = 0;       // the effect runtime's state code
    uint32_t valueType = 0;  // D3DXPT_BOOL, D3DXPT_INT or D3DXPT_FLOAT
    uint32_t value = 0;      // the DWORD given to the device (float bits for float states)
    std::string name;
    int line = 0;
};

struct EffectParam {
    std::string name;
    ParamKind kind = ParamKind::Float;
    uint32_t paramClass = kClassScalar;
    uint32_t rows = 1;
    uint32_t columns = 1;
    std::vector<uint32_t> value;  // rows x columns DWORDs, row after row
    std::string texture;          // samplers: the texture parameter they read
    std::vector<StateSetting> samplerStates;
    int line = 0;

    bool IsNumeric() const { return kind == ParamKind::Float || kind == ParamKind::Int || kind == ParamKind::Bool; }
};

// One register range of a shader tied to a parameter: c<n> (float constants) or s<n> (samplers).
struct RegisterBinding {
    char set = 'c';  // 'c' or 's'
    uint32_t index = 0;
    uint32_t count = 1;
    std::string param;
    bool columns = false;  // matrices: registers hold columns (":columns")
};

struct ShaderRef {
    bool pixel = true;
    std::string path;  // resolved against the description's folder
    std::vector<RegisterBinding> bindings;
    int line = 0;
};

struct EffectPass {
    std::string name;
    std::vector<StateSetting> states;
    std::vector<ShaderRef> shaders;  // at most one vertex and one pixel shader
    int line = 0;
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectPass> passes;
    int line = 0;
};

struct EffectDescription {
    std::string file;
    std::vector<EffectParam> params;  // in declaration order, samplers included
    std::vector<EffectTechnique> techniques;

    const EffectParam* FindParam(const std::string& name) const;
    int ParamIndex(const std::string& name) const;

    // Reads and checks a description; throws PackError with file and line on the first fault.
    static EffectDescription Load(const std::string& path);
};
