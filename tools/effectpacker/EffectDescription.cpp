#include "EffectDescription.h"

#include "EffectStates.h"
#include "PackError.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> Tokens(std::string line)
{
    // "a = b" and "a=b" read alike: spaces around '=' are dropped before splitting.
    std::string joined;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '=') {
            while (!joined.empty() && (joined.back() == ' ' || joined.back() == '\t'))
                joined.pop_back();
            joined += '=';
            while (i + 1 < line.size() && (line[i + 1] == ' ' || line[i + 1] == '\t'))
                ++i;
        } else {
            joined += line[i];
        }
    }
    std::vector<std::string> tokens;
    std::istringstream in(joined);
    std::string t;
    while (in >> t)
        tokens.push_back(t);
    return tokens;
}

bool IsName(const std::string& s)
{
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_'))
        return false;
    for (char c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            return false;
    return true;
}

bool SplitPair(const std::string& token, std::string& key, std::string& value)
{
    size_t eq = token.find('=');
    if (eq == std::string::npos)
        return false;
    key = token.substr(0, eq);
    value = token.substr(eq + 1);
    return true;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

class Parser {
public:
    explicit Parser(const std::string& path) { m_effect.file = path; }

    EffectDescription Run()
    {
        std::ifstream in(m_effect.file, std::ios::binary);
        if (!in)
            throw PackError(m_effect.file, 0, "cannot open the effect description");
        std::string line;
        while (std::getline(in, line)) {
            ++m_line;
            size_t hash = line.find('#');
            if (hash != std::string::npos)
                line.erase(hash);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::vector<std::string> t = Tokens(line);
            if (!t.empty())
                Statement(t);
        }
        Finish();
        return m_effect;
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw PackError(m_effect.file, m_line, message); }

    void Statement(const std::vector<std::string>& t)
    {
        const std::string& word = t[0];
        if (word == "param")
            Param(t);
        else if (word == "sampler")
            Sampler(t);
        else if (word == "technique")
            Technique(t);
        else if (word == "pass")
            Pass(t);
        else if (word == "state")
            State(t);
        else if (word == "pixelshader" || word == "vertexshader")
            Shader(t, word == "pixelshader");
        else
            Fail("unknown statement '" + word + "' (param, sampler, technique, pass, state, pixelshader, vertexshader)");
    }

    void DeclareName(const std::string& name)
    {
        if (!IsName(name))
            Fail("'" + name + "' is not a valid name");
        if (m_effect.FindParam(name))
            Fail("parameter '" + name + "' is declared twice");
    }

    static bool ParseType(const std::string& type, EffectParam& p)
    {
        if (type == "texture") {
            p.kind = ParamKind::Texture;
            p.paramClass = kClassObject;
            return true;
        }
        if (type == "int" || type == "bool") {
            p.kind = type == "int" ? ParamKind::Int : ParamKind::Bool;
            return true;
        }
        if (type.compare(0, 5, "float") != 0)
            return false;
        std::string shape = type.substr(5);
        p.kind = ParamKind::Float;
        if (shape.empty())
            return true;
        if (shape.size() == 1 && shape[0] >= '2' && shape[0] <= '4') {
            p.paramClass = kClassVector;
            p.columns = uint32_t(shape[0] - '0');
            return true;
        }
        if (shape.size() == 3 && shape[1] == 'x' && shape[0] >= '1' && shape[0] <= '4' && shape[2] >= '1' &&
            shape[2] <= '4') {
            // Effect-level matrices are always of the row class: Wine's SetMatrix refuses the
            // column class. Which way the registers hold them is the constant table's business.
            p.paramClass = kClassMatrixRows;
            p.rows = uint32_t(shape[0] - '0');
            p.columns = uint32_t(shape[2] - '0');
            return true;
        }
        return false;
    }

    uint32_t ParseNumber(const EffectParam& p, const std::string& text)
    {
        char* end = nullptr;
        uint32_t bits = 0;
        if (p.kind == ParamKind::Float) {
            float f = std::strtof(text.c_str(), &end);
            std::memcpy(&bits, &f, 4);
        } else if (p.kind == ParamKind::Bool && (text == "true" || text == "false")) {
            return text == "true" ? 1 : 0;
        } else {
            bits = uint32_t(std::strtol(text.c_str(), &end, 0));
        }
        if (text.empty() || *end)
            Fail("'" + text + "' is not a value of parameter '" + p.name + "'");
        return bits;
    }

    void Param(const std::vector<std::string>& t)
    {
        if (m_technique)
            Fail("parameters are declared before the first technique");
        if (t.size() < 3)
            Fail("expected: param <type> <name> [= values]");
        EffectParam p;
        p.line = m_line;
        if (!ParseType(t[1], p))
            Fail("unknown parameter type '" + t[1] + "' (float, float2..float4, floatRxC, int, bool, texture)");
        std::vector<std::string> values;
        std::string first;
        if (SplitPair(t[2], p.name, first)) {
            values.push_back(first);
        } else {
            p.name = t[2];
            if (t.size() > 3)
                Fail("expected '=' before the values of '" + p.name + "'");
        }
        if (p.name.find('[') != std::string::npos)
            Fail("array parameters are not supported");
        DeclareName(p.name);
        values.insert(values.end(), t.begin() + 3, t.end());
        if (p.kind == ParamKind::Texture) {
            if (!values.empty())
                Fail("a texture parameter takes no value");
        } else {
            const size_t count = size_t(p.rows) * p.columns;
            if (values.size() == 1 && values[0] == "identity" && p.paramClass == kClassMatrixRows) {
                if (p.rows != p.columns)
                    Fail("'identity' needs a square matrix");
                for (uint32_t i = 0; i < count; ++i)
                    p.value.push_back(i / p.columns == i % p.columns ? 0x3F800000u : 0u);
            } else if (values.empty()) {
                p.value.assign(count, 0);
            } else if (values.size() != count) {
                Fail("'" + p.name + "' needs " + std::to_string(count) + " values, got " + std::to_string(values.size()));
            } else {
                for (const std::string& v : values)
                    p.value.push_back(ParseNumber(p, v));
            }
        }
        m_effect.params.push_back(p);
    }

    void Sampler(const std::vector<std::string>& t)
    {
        if (m_technique)
            Fail("samplers are declared before the first technique");
        if (t.size() < 3)
            Fail("expected: sampler <name> <texture parameter> [State=Value ...]");
        EffectParam p;
        p.line = m_line;
        p.kind = ParamKind::Sampler;
        p.paramClass = kClassObject;
        p.name = t[1];
        DeclareName(p.name);
        p.texture = t[2];
        const EffectParam* texture = m_effect.FindParam(p.texture);
        if (!texture)
            Fail("sampler '" + p.name + "' reads texture '" + p.texture + "', which is not declared");
        if (texture->kind != ParamKind::Texture)
            Fail("sampler '" + p.name + "' reads '" + p.texture + "', which is not a texture");
        for (size_t i = 3; i < t.size(); ++i) {
            std::string key, value, error;
            if (!SplitPair(t[i], key, value))
                Fail("expected State=Value, got '" + t[i] + "'");
            StateSetting s;
            s.line = m_line;
            if (!EffectStates::ParseSamplerState(key, value, s, error))
                Fail(error);
            p.samplerStates.push_back(s);
        }
        m_effect.params.push_back(p);
    }

    void Technique(const std::vector<std::string>& t)
    {
        if (t.size() != 2 || !IsName(t[1]))
            Fail("expected: technique <name>");
        for (const EffectTechnique& other : m_effect.techniques)
            if (other.name == t[1])
                Fail("technique '" + t[1] + "' is declared twice");
        CloseTechnique();
        EffectTechnique tech;
        tech.name = t[1];
        tech.line = m_line;
        m_effect.techniques.push_back(tech);
        m_technique = &m_effect.techniques.back();
        m_pass = nullptr;
    }

    void Pass(const std::vector<std::string>& t)
    {
        if (!m_technique)
            Fail("a pass belongs to a technique: declare the technique first");
        if (t.size() != 2 || !IsName(t[1]))
            Fail("expected: pass <name>");
        for (const EffectPass& other : m_technique->passes)
            if (other.name == t[1])
                Fail("pass '" + t[1] + "' is declared twice in technique '" + m_technique->name + "'");
        EffectPass pass;
        pass.name = t[1];
        pass.line = m_line;
        m_technique->passes.push_back(pass);
        m_pass = &m_technique->passes.back();
    }

    void State(const std::vector<std::string>& t)
    {
        if (!m_pass)
            Fail("a state belongs to a pass: declare the pass first");
        std::string key, value, error;
        if (t.size() != 2 || !SplitPair(t[1], key, value))
            Fail("expected: state <Name> = <value>");
        StateSetting s;
        s.line = m_line;
        if (!EffectStates::ParseRenderState(key, value, s, error))
            Fail(error);
        for (const StateSetting& other : m_pass->states)
            if (other.code == s.code)
                Fail("state " + key + " is set twice in pass '" + m_pass->name + "'");
        m_pass->states.push_back(s);
    }

    RegisterBinding Binding(const std::string& token)
    {
        std::string reg, name;
        if (!SplitPair(token, reg, name) || reg.size() < 2 || (reg[0] != 'c' && reg[0] != 's'))
            Fail("expected a register binding such as c0=Amount or s0=MaskSampler, got '" + token + "'");
        RegisterBinding b;
        b.set = reg[0];
        char* end = nullptr;
        b.index = uint32_t(std::strtoul(reg.c_str() + 1, &end, 10));
        if (*end || !std::isdigit(static_cast<unsigned char>(reg[1])))
            Fail("'" + reg + "' is not a register");
        size_t colon = name.find(':');
        if (colon != std::string::npos) {
            if (name.substr(colon + 1) != "columns")
                Fail("unknown register layout '" + name.substr(colon + 1) + "' (only :columns)");
            b.columns = true;
            name.erase(colon);
        }
        b.param = name;
        const EffectParam* p = m_effect.FindParam(name);
        if (!p)
            Fail("register " + reg + " is bound to '" + name + "', which is not declared");
        if (b.set == 's') {
            if (p->kind != ParamKind::Sampler)
                Fail("register " + reg + " needs a sampler, and '" + name + "' is not one");
            if (b.columns)
                Fail(":columns applies to matrices only");
            return b;
        }
        if (p->kind != ParamKind::Float)
            Fail("register " + reg + " holds floats, and '" + name + "' is not a float parameter");
        if (b.columns && p->paramClass != kClassMatrixRows)
            Fail(":columns applies to matrices only");
        if (p->paramClass == kClassMatrixRows)
            b.count = b.columns ? p->columns : p->rows;
        return b;
    }

    void Shader(const std::vector<std::string>& t, bool pixel)
    {
        if (!m_pass)
            Fail("a shader belongs to a pass: declare the pass first");
        if (t.size() < 2)
            Fail("expected: " + t[0] + " <file> [register bindings]");
        for (const ShaderRef& other : m_pass->shaders)
            if (other.pixel == pixel)
                Fail("pass '" + m_pass->name + "' already has a " + (pixel ? "pixel" : "vertex") + " shader");
        ShaderRef s;
        s.pixel = pixel;
        s.line = m_line;
        s.path = FolderOf(m_effect.file) + t[1];
        for (size_t i = 2; i < t.size(); ++i) {
            RegisterBinding b = Binding(t[i]);
            for (const RegisterBinding& other : s.bindings) {
                if (other.param == b.param)
                    Fail("'" + b.param + "' is bound twice in this shader");
                if (other.set == b.set && b.index < other.index + other.count && other.index < b.index + b.count)
                    Fail("registers of '" + b.param + "' overlap those of '" + other.param + "'");
            }
            s.bindings.push_back(b);
        }
        m_pass->shaders.push_back(s);
    }

    void CloseTechnique()
    {
        if (m_technique && m_technique->passes.empty())
            throw PackError(m_effect.file, m_technique->line, "technique '" + m_technique->name + "' has no pass");
    }

    void Finish()
    {
        CloseTechnique();
        if (m_effect.techniques.empty())
            throw PackError(m_effect.file, 0, "the effect declares no technique");
    }

    EffectDescription m_effect;
    EffectTechnique* m_technique = nullptr;
    EffectPass* m_pass = nullptr;
    int m_line = 0;
};

}  // namespace

const EffectParam* EffectDescription::FindParam(const std::string& name) const
{
    int i = ParamIndex(name);
    return i < 0 ? nullptr : &params[size_t(i)];
}

int EffectDescription::ParamIndex(const std::string& name) const
{
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].name == name)
            return int(i);
    return -1;
}

EffectDescription EffectDescription::Load(const std::string& path)
{
    return Parser(path).Run();
}
