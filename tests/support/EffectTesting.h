#pragma once
// Helpers of the effect tests of the brushes and layers: the project's compiled effects from the
// build folder, textures filled by a formula (among them the ramp picture and the half mask most
// tests draw with), a full-target quad drawn through every pass of a technique, and CPU references
// of the texture sampling that the shaders rely on (bilinear, mirrored or wrapped addressing, one
// mip level).
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/ComRef.h"
#include "support/TestPaths.h"

namespace effect_testing {

// The effect binary that the build packed from resources/effects/<name>/.
inline std::vector<uint8_t> ReadEffectBinary(const std::string& name)
{
    return ReadBuiltFile(L"resources\\effects\\" + std::wstring(name.begin(), name.end()) + L".fxo");
}

inline ComRef<ID3DXEffect> LoadEffect(IDirect3DDevice9* device, const std::string& name)
{
    ComRef<ID3DXEffect> effect;
    std::vector<uint8_t> bytes = ReadEffectBinary(name);
    if (bytes.empty())
        return effect;
    D3DXCreateEffect(device, bytes.data(), static_cast<UINT>(bytes.size()), nullptr, nullptr, 0,
                     nullptr, effect.Receive(), nullptr);
    return effect;
}

struct Rgba {
    double r, g, b, a;  // 0 to 1
};

using TexelFormula = std::function<uint32_t(unsigned x, unsigned y)>;

// A managed A8R8G8B8 texture of one level whose texels come from a formula (0xAARRGGBB).
inline ComRef<IDirect3DTexture9> MakeTexture(IDirect3DDevice9* device, unsigned width, unsigned height,
                                             const TexelFormula& texel)
{
    ComRef<IDirect3DTexture9> texture;
    if (FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     texture.Receive(), nullptr)))
        return texture;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return ComRef<IDirect3DTexture9>();
    for (unsigned y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (unsigned x = 0; x < width; ++x)
            row[x] = texel(x, y);
    }
    texture->UnlockRect(0);
    return texture;
}

// Red and green ramps over a fixed blue across a 64 x 64 picture, so that every displacement and
// every channel's formula shows in the colour.
inline uint32_t Ramp(unsigned x, unsigned y) { return 0xFF000080u | (x * 4) << 16 | (y * 4) << 8; }

// Opaque on the left half of a 64 x 64 mask, transparent on the right; at pixel centres the
// filtered alpha is exactly 1 up to column 31 and exactly 0 from column 32.
inline uint32_t HalfMask(unsigned x, unsigned) { return x < 32 ? 0xFFFFFFFFu : 0x00FFFFFFu; }

// The same texels sampled on the CPU the way the device filters them.
class TexelTable {
public:
    enum Addressing { kMirror, kWrap };

    TexelTable(unsigned width, unsigned height, const TexelFormula& texel, Addressing addressing)
        : m_width(width), m_height(height), m_addressing(addressing), m_texels(width * height)
    {
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x)
                m_texels[y * width + x] = texel(x, y);
    }

    // Bilinear filtering between the four texel centres around (u, v).
    Rgba Sample(double u, double v) const
    {
        double tx = u * m_width - 0.5, ty = v * m_height - 0.5;
        double fx = std::floor(tx), fy = std::floor(ty);
        double wx = tx - fx, wy = ty - fy;
        int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
        Rgba out = {0, 0, 0, 0};
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) {
                double w = (i ? wx : 1 - wx) * (j ? wy : 1 - wy);
                uint32_t c = m_texels[Index(y0 + j, m_height) * m_width + Index(x0 + i, m_width)];
                out.r += w * ((c >> 16) & 0xFF) / 255.0;
                out.g += w * ((c >> 8) & 0xFF) / 255.0;
                out.b += w * (c & 0xFF) / 255.0;
                out.a += w * ((c >> 24) & 0xFF) / 255.0;
            }
        return out;
    }

private:
    unsigned Index(int i, unsigned size) const
    {
        int n = static_cast<int>(size);
        if (m_addressing == kWrap)
            return static_cast<unsigned>(((i % n) + n) % n);
        int period = 2 * n;
        int k = ((i % period) + period) % period;
        return static_cast<unsigned>(k < n ? k : period - 1 - k);
    }

    unsigned m_width, m_height;
    Addressing m_addressing;
    std::vector<uint32_t> m_texels;
};

inline double Saturate(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

inline uint32_t ToArgb(const Rgba& c)
{
    auto byte = [](double v) { return static_cast<uint32_t>(Saturate(v) * 255.0 + 0.5); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

// The texture coordinates at the centre of target pixel (x, y) for a quad that covers a target
// of size x size pixels with (0, 0) to (1, 1).
inline double PixelU(unsigned x, unsigned size) { return (x + 0.5) / size; }

// Which way texture v runs over the target: down, as a picture's quad lays it, or up, as a brush's
// region grid lays it (v 0 at the bottom row).
enum class QuadV { kDown, kUp };

// Draws a pre-transformed quad over the whole target through every pass of the effect's current
// technique. The vertex stream is bound and no vertex shader set before Begin, as the layer does.
inline HRESULT DrawQuadWithEffect(IDirect3DDevice9* device, ID3DXEffect* effect, unsigned size,
                                  QuadV v = QuadV::kDown)
{
    struct Vertex {
        float x, y, z, rhw, u, v;
    };
    const float s = static_cast<float>(size) - 0.5f;
    const float top = v == QuadV::kDown ? 0.0f : 1.0f, bottom = 1.0f - top;
    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, top}, {s, -0.5f, 0, 1, 1, top},
                            {-0.5f, s, 0, 1, 0, bottom}, {s, s, 0, 1, 1, bottom}};
    device->SetVertexShader(nullptr);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    HRESULT hr = device->BeginScene();
    if (FAILED(hr))
        return hr;
    UINT passes = 0;
    hr = effect->Begin(&passes, 0);
    for (UINT i = 0; SUCCEEDED(hr) && i < passes; ++i) {
        hr = effect->BeginPass(i);
        if (SUCCEEDED(hr))
            hr = device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        effect->EndPass();
    }
    effect->End();
    device->EndScene();
    return hr;
}

// The values of the effect's float array parameter; -99 stands where it holds fewer.
inline std::vector<float> EffectFloats(ID3DXEffect* effect, const char* name, unsigned count)
{
    std::vector<float> values(count, -99.0f);
    effect->GetFloatArray(name, values.data(), count);
    return values;
}

// Every name in names is a parameter (or technique) of the effect, and the misspellings are not.
inline void ExpectParameters(ID3DXEffect* effect, const std::vector<const char*>& names)
{
    for (const char* name : names)
        EXPECT_NE(effect->GetParameterByName(nullptr, name), nullptr) << "parameter " << name;
}

inline void ExpectTechniques(ID3DXEffect* effect, const std::vector<const char*>& names)
{
    for (const char* name : names) {
        D3DXHANDLE technique = effect->GetTechniqueByName(name);
        EXPECT_NE(technique, nullptr) << "technique " << name;
        if (technique) {
            EXPECT_EQ(effect->ValidateTechnique(technique), D3D_OK) << "technique " << name;
        }
    }
}

}  // namespace effect_testing
