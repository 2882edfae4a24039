#include "ShaderProgram.h"

#include "PackError.h"

#include <d3dx9.h>

#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

// Register types of shader parameter tokens (D3DSPR_*).
enum : uint32_t {
    kTemp = 0, kInput = 1, kConst = 2, kAddrOrTexture = 3, kRastOut = 4, kAttrOut = 5, kTexCrdOut = 6,
    kConstInt = 7, kColorOut = 8, kDepthOut = 9, kSampler = 10, kConstBool = 14, kLoop = 15, kLabel = 18,
};

// Opcodes the checks need by name.
enum : uint32_t {
    kOpDcl = 31, kOpDefB = 47, kOpDefI = 48, kOpTexKill = 65, kOpTex = 66, kOpDef = 81,
    kOpComment = 0xFFFE, kOpEnd = 0xFFFF,
};

const uint32_t kPixelVersion = 0xFFFF0200;
const uint32_t kVertexVersion = 0xFFFE0200;

uint32_t RegType(uint32_t token) { return ((token >> 28) & 7) | ((token >> 8) & 0x18); }
uint32_t RegNum(uint32_t token) { return token & 0x7FF; }

// Instructions whose parameters are all sources (flow control).
bool HasNoDestination(uint32_t op)
{
    switch (op) {
    case 25: case 26: case 27: case 28: case 29: case 30:  // call callnz loop ret endloop label
    case 38: case 39: case 40: case 41: case 42: case 43:  // rep endrep if ifc else endif
    case 44: case 45: case kOpTexKill:                     // break breakc texkill
        return true;
    default:
        return false;
    }
}

// Instruction slots an opcode takes in the 2_0 models (macros expand to several).
unsigned Slots(uint32_t op)
{
    switch (op) {
    case 30: return 0;                               // label
    case 20: case 22: return 4;                      // m4x4 m3x4
    case 21: case 23: return 3;                      // m4x3 m3x3
    case 24: case 18: case 33: case 90: return 2;    // m3x2 lrp crs dp2add
    case 36: case 32: case 16: case 34: return 3;    // nrm pow lit sgn
    case 37: return 8;                               // sincos
    case 27: case 38: case 26: case 40: return 3;    // loop rep callnz if
    case 29: case 39: case 25: return 2;             // endloop endrep call
    default: return 1;
    }
}

struct ModelLimits {
    const char* name;
    std::map<uint32_t, std::pair<uint32_t, const char*>> registers;  // type -> (count, prefix)
};

const ModelLimits& Limits(bool pixel)
{
    static const ModelLimits ps = {"ps_2_0", {{kTemp, {12, "r"}}, {kInput, {2, "v"}}, {kConst, {32, "c"}},
                                              {kAddrOrTexture, {8, "t"}}, {kColorOut, {4, "oC"}},
                                              {kDepthOut, {1, "oDepth"}}, {kSampler, {16, "s"}}}};
    static const ModelLimits vs = {"vs_2_0", {{kTemp, {12, "r"}}, {kInput, {16, "v"}}, {kConst, {256, "c"}},
                                              {kAddrOrTexture, {1, "a"}}, {kRastOut, {3, "oPos/oFog/oPts"}},
                                              {kAttrOut, {2, "oD"}}, {kTexCrdOut, {8, "oT"}},
                                              {kConstInt, {16, "i"}}, {kConstBool, {16, "b"}}, {kLoop, {1, "aL"}},
                                              {kLabel, {16, "l"}}}};
    return pixel ? ps : vs;
}

std::string RegName(uint32_t type, uint32_t num, bool pixel)
{
    auto it = Limits(pixel).registers.find(type);
    std::string prefix = it == Limits(pixel).registers.end() ? "register type " + std::to_string(type) + " #"
                                                              : it->second.second;
    return prefix + std::to_string(num);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::string();
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Append(std::vector<uint8_t>& out, const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

void Put16(std::vector<uint8_t>& out, uint16_t v) { Append(out, &v, 2); }
void Put32(std::vector<uint8_t>& out, uint32_t v) { Append(out, &v, 4); }
void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); }

}  // namespace

ShaderProgram::ShaderProgram(const ShaderRef& ref, const EffectDescription& effect) : m_ref(ref), m_effect(effect)
{
    std::ifstream probe(ref.path, std::ios::binary);
    if (!probe)
        throw PackError(effect.file, ref.line, "cannot open shader '" + ref.path + "'");
    const std::string source = ReadFile(ref.path);
    CheckRegisterMap(source);
    MapInstructionLines(source);
    std::vector<uint32_t> code = Assemble(source);
    Analyse(code);
    std::vector<uint32_t> table = BuildConstantTable();
    m_bytecode.push_back(code[0]);
    m_bytecode.insert(m_bytecode.end(), table.begin(), table.end());
    m_bytecode.insert(m_bytecode.end(), code.begin() + 1, code.end());
}

// Each source line holding an instruction gives exactly one bytecode instruction (dcl and def
// included), so the n-th instruction of the bytecode sits on the n-th such line.
void ShaderProgram::MapInstructionLines(const std::string& source)
{
    std::istringstream in(source);
    std::string line;
    int lineNo = 0;
    bool sawVersion = false;
    while (std::getline(in, line)) {
        ++lineNo;
        size_t cut = std::min(line.find(';'), line.find("//"));
        if (cut != std::string::npos)
            line.erase(cut);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#')
            continue;
        if (!sawVersion) {
            sawVersion = true;
            continue;
        }
        m_instructionLines.push_back(lineNo);
    }
}

// Wine's assembler prefixes its messages with "Line N: "; the position moves into file:line.
std::string ShaderProgram::AssemblerMessages(const std::string& messages)
{
    std::istringstream in(messages);
    std::string line, out;
    while (std::getline(in, line)) {
        if (line.compare(0, 5, "Line ") == 0 && line.find(": ") != std::string::npos)
            line.erase(0, line.find(": ") + 2);
        if (!line.empty())
            out += (out.empty() ? "" : "\n") + line;
    }
    return out;
}

// Wine's parser errors ("syntax error") carry the faulty line; its other errors are raised once
// the lexer has moved past the statement's end of line (two lines at the end of the file), so
// they belong to the last instruction before the line it names.
int ShaderProgram::AssemblerLine(const std::string& messages) const
{
    size_t at = messages.find("Line ");
    if (at == std::string::npos)
        return 0;
    int line = std::atoi(messages.c_str() + at + 5);
    if (messages.find("syntax error") != std::string::npos)
        return line;
    int best = 0;
    for (int candidate : m_instructionLines)
        if (candidate < line)
            best = candidate;
    return best ? best : line;
}

int ShaderProgram::InstructionLine(size_t ordinal) const
{
    return ordinal < m_instructionLines.size() ? m_instructionLines[ordinal] : 0;
}

void ShaderProgram::Fail(const std::string& message, int line) const
{
    throw PackError(m_ref.path, line, message);
}

std::vector<uint32_t> ShaderProgram::Assemble(const std::string& source) const
{
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr = D3DXAssembleShader(source.data(), UINT(source.size()), nullptr, nullptr, 0, &code, &errors);
    std::string messages;
    if (errors) {
        messages.assign(static_cast<const char*>(errors->GetBufferPointer()), errors->GetBufferSize());
        while (!messages.empty() && (messages.back() == '\0' || messages.back() == '\n'))
            messages.pop_back();
        errors->Release();
    }
    if (FAILED(hr) || !code) {
        if (code)
            code->Release();
        Fail("does not assemble" + (messages.empty() ? std::string() : ": " + AssemblerMessages(messages)),
             AssemblerLine(messages));
    }
    std::vector<uint32_t> words(code->GetBufferSize() / 4);
    std::memcpy(words.data(), code->GetBufferPointer(), words.size() * 4);
    code->Release();
    if (words.empty())
        Fail("the assembler returned no bytecode");
    return words;
}

// The header of each shader copies the pass's register plan ("; c0  Amount  ..."); the
// description is the one source of truth, so the two must agree.
void ShaderProgram::CheckRegisterMap(const std::string& source) const
{
    std::map<std::string, std::pair<std::string, int>> header;  // register -> (name, line)
    std::istringstream in(source);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos)
            continue;
        if (line[start] != ';' && line.compare(start, 2, "//") != 0)
            break;  // the map is in the leading comment block only
        std::istringstream words(line.substr(start + (line[start] == ';' ? 1 : 2)));
        std::string reg, name;
        words >> reg >> name;
        if (reg.size() < 2 || (reg[0] != 'c' && reg[0] != 's') ||
            !std::all_of(reg.begin() + 1, reg.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            continue;
        if (header.count(reg))
            Fail("register map lists " + reg + " twice", lineNo);
        header[reg] = {name, lineNo};
    }
    std::set<std::string> planned;
    for (const RegisterBinding& b : m_ref.bindings) {
        std::string reg = std::string(1, b.set) + std::to_string(b.index);
        planned.insert(reg);
        auto it = header.find(reg);
        if (it == header.end())
            Fail("register map in the header lacks '" + reg + " " + b.param + "' (bound in " + m_effect.file +
                 ":" + std::to_string(m_ref.line) + ")");
        if (it->second.first != b.param)
            Fail("register map says " + reg + " is '" + it->second.first + "', the effect binds '" + b.param + "'",
                 it->second.second);
    }
    for (const auto& entry : header)
        if (!planned.count(entry.first))
            Fail("register map lists " + entry.first + " '" + entry.second.first + "', which the effect does not bind",
                 entry.second.second);
}

void ShaderProgram::Analyse(const std::vector<uint32_t>& code)
{
    const bool pixel = m_ref.pixel;
    const ModelLimits& limits = Limits(pixel);
    const uint32_t expected = pixel ? kPixelVersion : kVertexVersion;
    if (code[0] != expected) {
        char token[16];
        std::snprintf(token, sizeof token, "%08X", unsigned(code[0]));
        Fail(std::string("must be ") + limits.name + " (version token 0x" + token + ")");
    }

    std::set<uint32_t> defined;         // c registers set by def
    std::map<uint32_t, int> constReads;     // c registers read -> first line reading them
    std::map<uint32_t, int> relativeBases;  // c[a0.x + n] reads
    std::map<uint32_t, int> samplerReads;
    std::set<uint32_t> samplerDecls;
    std::set<std::pair<uint32_t, uint32_t>> declared;  // dcl'd inputs (type, number)
    std::vector<bool> tempWritten(12, false);
    std::vector<unsigned> depth(12, 0);  // dependent-read depth per temp (pixel shaders)
    bool wroteColour = false, wrotePosition = false, ended = false;
    unsigned arithmetic = 0, texture = 0;

    auto checkRange = [&](uint32_t type, uint32_t num, int line) {
        auto it = limits.registers.find(type);
        if (it == limits.registers.end())
            Fail(std::string("uses register type ") + std::to_string(type) + ", which " + limits.name + " lacks", line);
        if (num >= it->second.first)
            Fail("uses " + RegName(type, num, pixel) + ", beyond " + limits.name + "'s " +
                 std::to_string(it->second.first) + " " + it->second.second + " registers", line);
    };

    size_t i = 1;
    size_t ordinal = 0;
    while (i < code.size()) {
        const uint32_t token = code[i];
        const uint32_t op = token & 0xFFFF;
        if (op == kOpEnd) {
            ended = true;
            break;
        }
        if (op == kOpComment) {
            i += 1 + ((token >> 16) & 0x7FFF);
            continue;
        }
        const int line = InstructionLine(ordinal++);
        const size_t length = (token >> 24) & 0xF;
        if (i + length >= code.size())
            Fail("bytecode ends inside an instruction", line);
        if (token & 0x10000000)
            Fail(std::string("predicated instructions are beyond ") + limits.name, line);
        const uint32_t* p = &code[i + 1];
        i += 1 + length;

        if (op == kOpDcl) {
            if (length < 2)
                Fail("malformed dcl", line);
            uint32_t type = RegType(p[1]), num = RegNum(p[1]);
            checkRange(type, num, line);
            declared.insert({type, num});
            if (type == kSampler)
                samplerDecls.insert(num);
            continue;
        }
        if (op == kOpDef || op == kOpDefI || op == kOpDefB) {
            uint32_t type = RegType(p[0]), num = RegNum(p[0]);
            checkRange(type, num, line);
            if (type == kConst)
                defined.insert(num);
            continue;
        }

        if (op == kOpTex || op == kOpTexKill)
            texture += 1;
        else
            arithmetic += Slots(op);

        size_t k = 0;
        bool hasDst = !HasNoDestination(op);
        uint32_t dst = 0;
        if (hasDst)
            dst = p[k++];
        unsigned srcDepth = 0;
        std::vector<uint32_t> sources;
        for (; k < length; ++k) {
            const uint32_t src = p[k];
            const uint32_t type = RegType(src), num = RegNum(src);
            const bool relative = (src & 0x2000) != 0;
            sources.push_back(src);
            if (relative && !pixel)
                ++k;  // the address register token
            if (relative && pixel)
                Fail(std::string("relative addressing is beyond ") + limits.name, line);
            if (type != kConst || !relative)
                checkRange(type, num, line);
            switch (type) {
            case kTemp:
                if (!tempWritten[num])
                    Fail("reads r" + std::to_string(num) + " before anything writes it", line);
                srcDepth = std::max(srcDepth, depth[num]);
                break;
            case kConst:
                (relative ? relativeBases : constReads).insert({num, line});
                break;
            case kSampler:
                samplerReads.insert({num, line});
                break;
            case kInput:
                if (!declared.count({type, num}))
                    Fail("reads " + RegName(type, num, pixel) + " without a dcl", line);
                break;
            case kAddrOrTexture:
                if (pixel && !declared.count({type, num}))
                    Fail("reads t" + std::to_string(num) + " without a dcl", line);
                break;
            default:
                break;
            }
        }

        if (pixel && op == kOpTex) {
            if (sources.size() < 2)
                Fail("malformed texld", line);
            // ps_2_0 takes the coordinate register as it is: no swizzle, no modifier.
            if (((sources[0] >> 16) & 0xFF) != 0xE4 || ((sources[0] >> 24) & 0xF) != 0)
                Fail("texld with a swizzled or modified coordinate (not allowed in ps_2_0)", line);
            if (RegType(sources[1]) != kSampler)
                Fail("texld reads no sampler", line);
            if (!samplerDecls.count(RegNum(sources[1])))
                Fail("texld reads s" + std::to_string(RegNum(sources[1])) + " without a dcl_2d", line);
            srcDepth += 1;
            if (srcDepth > 4)
                Fail("a chain of " + std::to_string(srcDepth) + " dependent texture reads; ps_2_0 allows 4", line);
        }

        if (hasDst) {
            const uint32_t type = RegType(dst), num = RegNum(dst);
            checkRange(type, num, line);
            if (pixel && op == kOpTex && (type != kTemp || ((dst >> 16) & 0xF) != 0xF))
                Fail("texld must write a whole temporary register in ps_2_0", line);
            if (type == kTemp) {
                depth[num] = ((dst >> 16) & 0xF) == 0xF || !tempWritten[num] ? srcDepth : std::max(depth[num], srcDepth);
                tempWritten[num] = true;
            }
            if (type == kColorOut && num == 0)
                wroteColour = true;
            if (type == kRastOut && num == 0)
                wrotePosition = true;
        }
    }
    if (!ended)
        Fail("bytecode has no end token");

    if (pixel && !wroteColour)
        Fail("never writes oC0");
    if (!pixel && !wrotePosition)
        Fail("never writes oPos");
    if (pixel && (arithmetic > 64 || texture > 32))
        Fail("needs " + std::to_string(arithmetic) + " arithmetic and " + std::to_string(texture) +
             " texture instruction slots; ps_2_0 has 64 and 32");
    if (!pixel && arithmetic > 256)
        Fail("needs " + std::to_string(arithmetic) + " instruction slots; vs_2_0 has 256");

    auto boundAt = [&](char set, uint32_t reg) -> const RegisterBinding* {
        for (const RegisterBinding& b : m_ref.bindings)
            if (b.set == set && reg >= b.index && reg < b.index + b.count)
                return &b;
        return nullptr;
    };
    const uint32_t constCount = limits.registers.at(kConst).first;
    for (const RegisterBinding& b : m_ref.bindings) {
        const uint32_t limit = b.set == 'c' ? constCount : 16;
        if (b.index + b.count > limit)
            Fail(std::string("binds '") + b.param + "' beyond " + limits.name + "'s " + std::to_string(limit) + " " +
                 b.set + " registers");
        for (uint32_t r = b.index; b.set == 'c' && r < b.index + b.count; ++r)
            if (defined.count(r))
                Fail("c" + std::to_string(r) + " is both set by def and bound to '" + b.param + "'");
    }
    for (const auto& [c, line] : constReads)
        if (!defined.count(c) && !boundAt('c', c))
            Fail("reads c" + std::to_string(c) + ", which no parameter binds and no def sets", line);
    for (const auto& [c, line] : relativeBases)
        if (!boundAt('c', c))
            Fail("indexes from c" + std::to_string(c) + ", which no parameter binds", line);
    for (const auto& [s, line] : samplerReads)
        if (!boundAt('s', s))
            Fail("reads s" + std::to_string(s) + ", which no sampler parameter binds", line);
    for (const RegisterBinding& b : m_ref.bindings) {
        bool read = false;
        for (uint32_t r = b.index; r < b.index + b.count; ++r)
            read = read || (b.set == 'c' ? constReads.count(r) || relativeBases.count(r) : samplerReads.count(r));
        if (!read)
            m_warnings.push_back(m_ref.path + ": warning: '" + b.param + "' is bound to " + b.set +
                                 std::to_string(b.index) + " but the shader never reads it");
    }
}

// D3DXSHADER_CONSTANTTABLE with one entry per binding, as a comment block ready to splice in
// after the version token. D3DXAssembleShader writes none, and without it D3DX ties no parameter
// to the shader: the effect loads and draws with zero constants and no textures.
std::vector<uint32_t> ShaderProgram::BuildConstantTable() const
{
    const std::vector<RegisterBinding>& bindings = m_ref.bindings;
    const size_t n = bindings.size();
    const uint32_t entriesAt = 28;
    const uint32_t typesAt = entriesAt + uint32_t(20 * n);
    std::vector<uint8_t> body;
    body.resize(typesAt + 16 * n, 0);

    std::vector<uint8_t> strings;
    auto addString = [&](const std::string& s) {
        uint32_t at = uint32_t(body.size() + strings.size());
        Append(strings, s.c_str(), s.size() + 1);
        return at;
    };
    const uint32_t creator = addString("Glimmer effect packer");
    const uint32_t target = addString(m_ref.pixel ? "ps_2_0" : "vs_2_0");

    Set32(body, 0, 28);
    Set32(body, 4, creator);
    Set32(body, 8, m_ref.pixel ? kPixelVersion : kVertexVersion);
    Set32(body, 12, uint32_t(n));
    Set32(body, 16, entriesAt);
    Set32(body, 20, 0);
    Set32(body, 24, target);
    for (size_t i = 0; i < n; ++i) {
        const RegisterBinding& b = bindings[i];
        const EffectParam& p = *m_effect.FindParam(b.param);
        std::vector<uint8_t> entry, type;
        Put32(entry, addString(b.param));
        Put16(entry, b.set == 's' ? 3 : 2);  // D3DXRS_SAMPLER or D3DXRS_FLOAT4
        Put16(entry, uint16_t(b.index));
        Put16(entry, uint16_t(b.count));
        Put16(entry, 0);
        Put32(entry, typesAt + uint32_t(16 * i));
        Put32(entry, 0);
        std::memcpy(&body[entriesAt + 20 * i], entry.data(), 20);

        uint16_t cls = uint16_t(p.paramClass);
        if (b.set == 's')
            cls = kClassObject;
        else if (b.columns)
            cls = kClassMatrixColumns;
        Put16(type, cls);
        Put16(type, b.set == 's' ? 12 : 3);  // D3DXPT_SAMPLER2D or D3DXPT_FLOAT
        Put16(type, uint16_t(p.rows));
        Put16(type, uint16_t(p.columns));
        Put16(type, 1);  // elements
        Put16(type, 0);  // struct members
        Put32(type, 0);
        std::memcpy(&body[typesAt + 16 * i], type.data(), 16);
    }
    body.insert(body.end(), strings.begin(), strings.end());
    while (body.size() % 4)
        body.push_back(0);

    std::vector<uint32_t> block;
    const uint32_t bodyWords = uint32_t(body.size() / 4);
    if (bodyWords + 1 > 0x7FFF)
        Fail("constant table too large for a comment block");
    block.push_back(0xFFFE | ((bodyWords + 1) << 16));
    block.push_back(0x42415443);  // "CTAB"
    for (size_t i = 0; i < body.size(); i += 4) {
        uint32_t w;
        std::memcpy(&w, &body[i], 4);
        block.push_back(w);
    }
    return block;
}
