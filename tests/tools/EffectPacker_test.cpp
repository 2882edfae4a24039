// The effect packer's output, loaded by D3DX and drawn on a device, and its errors.
#include "support/DeviceFixture.h"
#include "support/ProcessRunner.h"
#include "support/TestPaths.h"
#include "tests/tools/ToolsTestData.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct Colour {
    float r, g, b, a;
};

// 4 x 4 textures with a different colour in every texel; point sampling over the 64 x 64 target
// gives 16 x 16 blocks.
Colour MaskTexel(int i, int j)
{
    return {(40 + 50 * i) / 255.0f, (200 - 40 * j) / 255.0f, (30 + 20 * (i + j)) / 255.0f, (255 - 30 * i) / 255.0f};
}

Colour BackgroundTexel(int i, int j)
{
    return {(220 - 45 * j) / 255.0f, (60 + 35 * i) / 255.0f, (100 + 25 * j) / 255.0f, (200 + 10 * i) / 255.0f};
}

uint8_t ToByte(float v)
{
    v = std::min(1.0f, std::max(0.0f, v));
    return uint8_t(std::lround(v * 255.0f));
}

uint32_t ToArgb(Colour c)
{
    return uint32_t(ToByte(c.a)) << 24 | uint32_t(ToByte(c.r)) << 16 | uint32_t(ToByte(c.g)) << 8 | ToByte(c.b);
}

Colour Saturate(Colour c)
{
    auto s = [](float v) { return std::min(1.0f, std::max(0.0f, v)); };
    return {s(c.r), s(c.g), s(c.b), s(c.a)};
}

// Values that differ from the description's defaults and from each other, so a register bound
// to the wrong parameter shows.
const float kAmount = 0.375f;
const float kOffset[2] = {0.125f, 0.0625f};
const float kTint[4] = {0.625f, 0.3125f, 0.875f, 0.75f};
const D3DXMATRIX kXform(0.25f, 0.5f, 0.125f, 0.0f,   //
                        0.0f, 0.25f, 0.625f, 0.125f,  //
                        0.5f, 0.125f, 0.25f, 0.0f,    //
                        0.0f, 0.0f, 0.0f, 1.0f);
// Row-vector convention: (x, y) of the 64 x 64 target to clip space.
const D3DXMATRIX kProjection(1.0f / 32, 0, 0, 0,   //
                             0, -1.0f / 32, 0, 0,  //
                             0, 0, 1, 0,           //
                             -1, 1, 0, 1);
const uint32_t kClear = 0xFF0000FF;

class EffectPackerTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        std::vector<uint8_t> bytes = ReadToolsTestFile("test.fxo");
        ASSERT_FALSE(bytes.empty()) << "test.fxo was not built";
        ID3DXBuffer* errors = nullptr;
        HRESULT hr = D3DXCreateEffect(Device(), bytes.data(), UINT(bytes.size()), nullptr, nullptr, 0, nullptr,
                                      &m_effect, &errors);
        if (errors)
            errors->Release();
        ASSERT_EQ(hr, D3D_OK);
        m_mask = MakeTexture(MaskTexel);
        m_background = MakeTexture(BackgroundTexel);
        ASSERT_TRUE(m_mask && m_background);
    }

    void TearDown() override
    {
        if (m_effect)
            m_effect->Release();
        if (m_mask)
            m_mask->Release();
        if (m_background)
            m_background->Release();
        DeviceFixture::TearDown();
    }

    IDirect3DTexture9* MakeTexture(Colour (*texel)(int, int))
    {
        IDirect3DTexture9* texture = nullptr;
        if (FAILED(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
            return nullptr;
        D3DLOCKED_RECT locked;
        texture->LockRect(0, &locked, nullptr, 0);
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + j * locked.Pitch)[i] =
                    ToArgb(texel(i, j));
        texture->UnlockRect(0);
        return texture;
    }

    void SetValues()
    {
        ASSERT_EQ(m_effect->SetFloat("Amount", kAmount), D3D_OK);
        ASSERT_EQ(m_effect->SetFloatArray("Offset", kOffset, 2), D3D_OK);
        ASSERT_EQ(m_effect->SetFloatArray("Tint", kTint, 4), D3D_OK);
        ASSERT_EQ(m_effect->SetMatrix("Xform", &kXform), D3D_OK);
        ASSERT_EQ(m_effect->SetMatrix("Projection", &kProjection), D3D_OK);
        ASSERT_EQ(m_effect->SetTexture("Mask", m_mask), D3D_OK);
        ASSERT_EQ(m_effect->SetTexture("Background", m_background), D3D_OK);
    }

    // One full-target quad per pass; texel centres land on pixel centres (the half-pixel shift).
    void Draw(const char* technique, bool vertexShader)
    {
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        ASSERT_EQ(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0), D3D_OK);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        struct ScreenVertex { float x, y, z, rhw, u, v; };
        struct WorldVertex { float x, y, z, u, v; };
        const float lo = -0.5f, hi = kSize - 0.5f;
        const ScreenVertex screen[4] = {{lo, hi, 0.5f, 1, 0, 1}, {lo, lo, 0.5f, 1, 0, 0}, {hi, hi, 0.5f, 1, 1, 1}, {hi, lo, 0.5f, 1, 1, 0}};
        const WorldVertex world[4] = {{lo, hi, 0.5f, 0, 1}, {lo, lo, 0.5f, 0, 0}, {hi, hi, 0.5f, 1, 1}, {hi, lo, 0.5f, 1, 0}};
        UINT passes = 0;
        ASSERT_EQ(m_effect->Begin(&passes, 0), D3D_OK);
        for (UINT p = 0; p < passes; ++p) {
            m_effect->BeginPass(p);
            if (vertexShader) {
                Device()->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
                Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, world, sizeof(WorldVertex));
            } else {
                Device()->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
                Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(ScreenVertex));
            }
            m_effect->EndPass();
        }
        m_effect->End();
        Device()->EndScene();
    }

    void ExpectPixels(const std::function<Colour(Colour mask, Colour background)>& reference)
    {
        std::vector<uint32_t> pixels = ReadBack();
        ASSERT_EQ(pixels.size(), size_t(kSize) * kSize);
        int wrong = 0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const int i = int(x) / 16, j = int(y) / 16;
                const uint32_t expected = ToArgb(reference(MaskTexel(i, j), BackgroundTexel(i, j)));
                const uint32_t got = pixels[y * kSize + x];
                if (!ColorsNear(got, expected, 3) && wrong++ < 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << std::hex << got << ", expected "
                                  << expected;
            }
        EXPECT_EQ(wrong, 0);
    }

    ID3DXEffect* m_effect = nullptr;
    IDirect3DTexture9* m_mask = nullptr;
    IDirect3DTexture9* m_background = nullptr;
};

TEST_F(EffectPackerTest, DeclaredNamesAreFoundAndOthersAreNot)
{
    D3DXEFFECT_DESC desc;
    ASSERT_EQ(m_effect->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Parameters, 9u);
    EXPECT_EQ(desc.Techniques, 3u);
    for (const char* name : {"Amount", "Offset", "Tint", "Xform", "Projection", "Mask", "Background", "MaskSampler",
                             "BackgroundSampler"})
        EXPECT_NE(m_effect->GetParameterByName(nullptr, name), nullptr) << name;
    for (const char* name : {"Main", "MainFX", "WithVS"})
        EXPECT_NE(m_effect->GetTechniqueByName(name), nullptr) << name;
    // Names are case-sensitive.
    for (const char* name : {"amount", "Missing", "Mask "})
        EXPECT_EQ(m_effect->GetParameterByName(nullptr, name), nullptr) << name;
    EXPECT_EQ(m_effect->GetTechniqueByName("main"), nullptr);
    EXPECT_NE(m_effect->SetTechnique("Missing"), D3D_OK);
}

TEST_F(EffectPackerTest, ParametersHaveTheDeclaredShapeAndDefaults)
{
    struct Case {
        const char* name;
        D3DXPARAMETER_CLASS cls;
        D3DXPARAMETER_TYPE type;
        UINT rows, columns;
    };
    const Case cases[] = {
        {"Amount", D3DXPC_SCALAR, D3DXPT_FLOAT, 1, 1},
        {"Offset", D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 2},  // vectors store columns first in the file
        {"Tint", D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 4},
        // Effect-level matrices are of the row class: Wine's SetMatrix refuses the column class.
        {"Xform", D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 4},
        {"Projection", D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 4},
        {"Mask", D3DXPC_OBJECT, D3DXPT_TEXTURE, 0, 0},
        {"MaskSampler", D3DXPC_OBJECT, D3DXPT_SAMPLER2D, 0, 0},
    };
    for (const Case& c : cases) {
        D3DXPARAMETER_DESC desc;
        ASSERT_EQ(m_effect->GetParameterDesc(c.name, &desc), D3D_OK) << c.name;
        EXPECT_EQ(desc.Class, c.cls) << c.name;
        EXPECT_EQ(desc.Type, c.type) << c.name;
        if (c.cls != D3DXPC_OBJECT) {
            EXPECT_EQ(desc.Rows, c.rows) << c.name;
            EXPECT_EQ(desc.Columns, c.columns) << c.name;
        }
    }
    float amount = 0;
    EXPECT_EQ(m_effect->GetFloat("Amount", &amount), D3D_OK);
    EXPECT_EQ(amount, 0.5f);
    float tint[4] = {};
    EXPECT_EQ(m_effect->GetFloatArray("Tint", tint, 4), D3D_OK);
    EXPECT_EQ(tint[0], 0.5f);
    EXPECT_EQ(tint[1], 0.25f);
    EXPECT_EQ(tint[2], 0.75f);
    EXPECT_EQ(tint[3], 1.0f);
    D3DXMATRIX xform;
    EXPECT_EQ(m_effect->GetMatrix("Xform", &xform), D3D_OK);
    EXPECT_EQ(xform._12, 0.25f);
    EXPECT_EQ(xform._23, 0.25f);
    EXPECT_EQ(xform._34, 0.1f);
    EXPECT_EQ(xform._31, 0.25f);
}

TEST_F(EffectPackerTest, EveryTechniqueValidates)
{
    for (const char* name : {"Main", "MainFX", "WithVS"})
        EXPECT_EQ(m_effect->ValidateTechnique(name), D3D_OK) << name;
}

TEST_F(EffectPackerTest, MainDrawsMaskByAmountPlusTintedBackgroundShifted)
{
    SetValues();
    Draw("Main", false);
    ExpectPixels([](Colour m, Colour b) {
        Colour c{m.r * kAmount + b.r * kTint[0], m.g * kAmount + b.g * kTint[1], m.b * kAmount + b.b * kTint[2],
                 m.a * kAmount + b.a * kTint[3]};
        c.r += kOffset[0];
        c.g += kOffset[1];
        return c;
    });
}

TEST_F(EffectPackerTest, MainFXTransformsTheMaskByRowsAndBlendsHalfOverTheTarget)
{
    SetValues();
    Draw("MainFX", false);
    ExpectPixels([](Colour m, Colour b) {
        const float v[4] = {m.r, m.g, m.b, m.a};
        float row[3];
        for (int i = 0; i < 3; ++i)
            row[i] = kXform.m[i][0] * v[0] + kXform.m[i][1] * v[1] + kXform.m[i][2] * v[2] + kXform.m[i][3] * v[3];
        Colour src = Saturate({row[0] + b.r * kAmount, row[1] + b.g * kAmount, row[2] + b.b * kAmount, 0.5f});
        const Colour dst{0, 0, 1, 1};  // the clear colour
        return Colour{src.r * 0.5f + dst.r * 0.5f, src.g * 0.5f + dst.g * 0.5f, src.b * 0.5f + dst.b * 0.5f,
                      src.a * src.a + dst.a * (1 - src.a)};
    });
}

TEST_F(EffectPackerTest, WithVSProjectsThroughColumnsAndAddsASecondPass)
{
    SetValues();
    Draw("WithVS", true);
    ExpectPixels([](Colour m, Colour) {
        Colour first = Saturate({m.r * kTint[0], m.g * kTint[1], m.b * kTint[2], m.a * kTint[3]});
        return Colour{first.r + kTint[0], first.g + kTint[1], first.b + kTint[2], first.a + kTint[3]};
    });
}

// A fault in an effect's sources stops the packer with "file:line: message" and no output.
class EffectPackerErrorTest : public ::testing::Test {
protected:
    static std::wstring Packer() { return BuiltProgramPath(L"tools\\effectpacker\\effectpacker.exe"); }

    static std::string Folder(const std::string& name)
    {
        std::string dir = TestArtifactsDir() + "\\packer-" + name;
        CreateDirectoryA(dir.c_str(), nullptr);
        return dir;
    }

    // Runs the packer on dir\\test.fxd, writing dir\\out.fxo (removed first).
    static ProcessResult Pack(const std::string& dir)
    {
        DeleteFileA((dir + "\\out.fxo").c_str());
        const std::wstring wide(dir.begin(), dir.end());
        return ProcessRunner::Run(Packer(), L"\"" + wide + L"\\test.fxd\" \"" + wide + L"\\out.fxo\"", 60000);
    }

    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    static void Write(const std::string& path, const std::string& text)
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
};

const char kGoodShader[] = "; c0 Amount\nps_2_0\nmov oC0, c0\n";

struct ErrorCase {
    const char* name;
    const char* description;
    const char* shader;  // ps.psh beside the description; null: the good one
    const char* expected;
};

const char kOnePass[] = "param float Amount = 1\ntechnique T\npass P\npixelshader ps.psh c0=Amount\n";
const char kSampled[] = "param texture Tex\nsampler S Tex\ntechnique T\npass P\npixelshader ps.psh s0=S\n";

std::string ManyInstructions()
{
    std::string s = "; c0 Amount\nps_2_0\nmov r0, c0\n";
    for (int i = 0; i < 64; ++i)
        s += "add r0, r0, c0\n";
    return s + "mov oC0, r0\n";
}

TEST_F(EffectPackerErrorTest, BrokenSourcesGiveFileLineAndMessage)
{
    static const std::string many = ManyInstructions();
    const ErrorCase cases[] = {
        // description faults
        {"statement", "param float Amount = 1\ntechniqe T\n", nullptr, "test.fxd:2: unknown statement 'techniqe'"},
        {"undeclared", "param float A = 1\ntechnique T\npass P\npixelshader ps.psh c0=Amount\n", nullptr,
         "test.fxd:4: register c0 is bound to 'Amount', which is not declared"},
        {"sampler-texture", "sampler S Tex\n", nullptr, "test.fxd:1: sampler 'S' reads texture 'Tex', which is not declared"},
        {"value-count", "param float4 Tint = 1 2 3\n", nullptr, "test.fxd:1: 'Tint' needs 4 values, got 3"},
        {"state-value", "param float Amount = 1\ntechnique T\npass P\nstate SrcBlend = SOURCEALPHA\n", nullptr,
         "test.fxd:4: SrcBlend takes one of"},
        {"no-pass", "param float Amount = 1\ntechnique T\ntechnique U\npass P\n", nullptr,
         "test.fxd:2: technique 'T' has no pass"},
        {"kind", "param texture Tex\nsampler S Tex\ntechnique T\npass P\npixelshader ps.psh c0=S\n", nullptr,
         "test.fxd:5: register c0 holds floats, and 'S' is not a float parameter"},
        {"overlap", "param float4x4 M\nparam float A\ntechnique T\npass P\npixelshader ps.psh c0=M c2=A\n", nullptr,
         "test.fxd:5: registers of 'A' overlap those of 'M'"},
        {"missing-shader", "param float Amount = 1\ntechnique T\npass P\npixelshader nothere.psh c0=Amount\n", nullptr,
         "test.fxd:4: cannot open shader"},
        // shader faults, with the shader's line where the bytecode allows
        {"map", kOnePass, "; c0 Tint\nps_2_0\nmov oC0, c0\n", "ps.psh:1: register map says c0 is 'Tint'"},
        {"syntax", kOnePass, "; c0 Amount\nps_2_0\nmovx oC0, c0\nmov oC0, c0\n", "ps.psh:3: does not assemble"},
        // Wine's assembler names the line after the statement for errors other than syntax.
        {"operands", kOnePass, "; c0 Amount\nps_2_0\nmov oC0, c0, c0, c0\n",
         "ps.psh:3: does not assemble: "},
        {"operands-mid", kOnePass, "; c0 Amount\nps_2_0\nmov oC0, c0, c0\nmov oC0, c0\n\n",
         "ps.psh:3: does not assemble: "},
        {"unbound", kOnePass, "; c0 Amount\nps_2_0\nadd r0, c0, c1\nmov oC0, r0\n",
         "ps.psh:3: reads c1, which no parameter binds and no def sets"},
        {"no-colour", kOnePass, "; c0 Amount\nps_2_0\nmov r0, c0\n", "ps.psh: never writes oC0"},
        {"uninitialised", kOnePass, "; c0 Amount\nps_2_0\nadd r0, r1, c0\nmov oC0, r0\n",
         "ps.psh:3: reads r1 before anything writes it"},
        {"too-long", kOnePass, many.c_str(), "ps.psh: needs 66 arithmetic and 0 texture instruction slots"},
        {"dependent", kSampled,
         "; s0 S\nps_2_0\ndcl t0.xy\ndcl_2d s0\ntexld r0, t0, s0\ntexld r0, r0, s0\ntexld r0, r0, s0\n"
         "texld r0, r0, s0\ntexld r0, r0, s0\nmov oC0, r0\n",
         "ps.psh:9: a chain of 5 dependent texture reads; ps_2_0 allows 4"},
        {"swizzle", kSampled, "; s0 S\nps_2_0\ndcl t0\ndcl_2d s0\ntexld r0, t0.yxzw, s0\nmov oC0, r0\n",
         "ps.psh:5: texld with a swizzled or modified coordinate"},
        {"model", kOnePass, "; c0 Amount\nps_3_0\nmov oC0, c0\n", "ps.psh: must be ps_2_0"},
        {"constant-range", "param float A\ntechnique T\npass P\npixelshader ps.psh c40=A\n",
         "; c40 A\nps_2_0\nmov oC0, c40\n", "ps.psh:3: does not assemble: "},
        {"vs-constant-range", "param float4x4 M\ntechnique T\npass P\nvertexshader ps.psh c254=M:columns\n",
         "; c254 M\nvs_2_0\ndcl_position v0\nm4x4 oPos, v0, c254\n", "ps.psh: binds 'M' beyond vs_2_0's 256 c registers"},
        {"vs-position", "param float4x4 M\ntechnique T\npass P\nvertexshader ps.psh c0=M:columns\n",
         "; c0 M\nvs_2_0\ndcl_position v0\nm4x4 oT0, v0, c0\n", "ps.psh: never writes oPos"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = Folder(c.name);
        Write(dir + "\\test.fxd", c.description);
        Write(dir + "\\ps.psh", c.shader ? c.shader : kGoodShader);
        ProcessResult r = Pack(dir);
        ASSERT_TRUE(r.started);
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_NE(r.output.find(c.expected), std::string::npos) << r.output;
        EXPECT_FALSE(Exists(dir + "\\out.fxo")) << "output written";
    }
}

TEST_F(EffectPackerErrorTest, UnreadBindingWarnsButStillWrites)
{
    const std::string dir = Folder("unread");
    Write(dir + "\\test.fxd", "param float Amount = 1\nparam float4 Tint\ntechnique T\npass P\n"
                               "pixelshader ps.psh c0=Amount c1=Tint\n");
    Write(dir + "\\ps.psh", "; c0 Amount\n; c1 Tint\nps_2_0\nmov oC0, c0\n");
    ProcessResult r = Pack(dir);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("ps.psh: warning: 'Tint' is bound to c1 but the shader never reads it"), std::string::npos)
        << r.output;
    EXPECT_TRUE(Exists(dir + "\\out.fxo"));
}

TEST_F(EffectPackerErrorTest, WrongCommandLineIsRefused)
{
    ProcessResult r = ProcessRunner::Run(Packer(), L"only-one-argument", 60000);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_NE(r.output.find("usage: effectpacker"), std::string::npos) << r.output;
}

}  // namespace
