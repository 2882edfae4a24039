// The fire effect ("common_res.dll" 92) on a device, against a CPU reference of its flame
// formula: with a constant noise picture the flames are the pattern's intensity t, grown by
// "Density" to t (1 + Density), coloured ColorK1 + t ColorK2, lifted by 0.7 + "Brightness", alpha
// t (under the mask in "Main"). Where the pattern does not burn, no density makes it burn.
#include <d3dx9.h>

#include <algorithm>

#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

using namespace effect_testing;

namespace {

const unsigned kSize = DeviceFixture::kSize;
const uint32_t kCleared = 0xFF204060;
// Grey 0x80 everywhere: the three noise layers give n = 128 / 255, which bends the pattern's
// lookup by a twentieth of a texel at most.
const uint32_t kNoiseGrey = 0xFF808080;
const double kNoise = 128.0 / 255.0;

// Intensity grows down the rows: 4 y of 255.
uint32_t PatternRamp(unsigned, unsigned y) { return 0xFF000000u | (y * 4) * 0x010101u; }
uint32_t LeftHalfMask(unsigned x, unsigned) { return x < kSize / 2 ? 0xFFFFFFFFu : 0x00FFFFFFu; }

struct FlameValues {
    double k1[3], k2[3];
    double brightness, density;
};

const FlameValues kDefaults = {{1, 0, 0}, {0, 1, 0}, 0.3, 0.0};

// What a pixel shows when the pattern reads intensity p there and the mask weight is m.
uint32_t ExpectedPixel(const FlameValues& f, double p, double m)
{
    const double t = Saturate(Saturate(p * (kNoise + 0.5)) * (1 + f.density));
    const double lift = 0.7 + f.brightness;
    const double a = t * m;
    const double cleared[3] = {((kCleared >> 16) & 0xFF) / 255.0, ((kCleared >> 8) & 0xFF) / 255.0,
                               (kCleared & 0xFF) / 255.0};
    double rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = Saturate((f.k1[i] + t * f.k2[i]) * lift) * a + cleared[i] * (1 - a);
    return ToArgb({rgb[0], rgb[1], rgb[2], 1.0}) & 0x00FFFFFF;
}

// Pattern intensity at picture row v (bilinear between the rows' centres; the bend is left out).
double PatternAt(double v)
{
    const double row = std::clamp(v * kSize - 0.5, 0.0, double(kSize - 1));
    return row * 4 / 255.0;
}

class FireEffectTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = LoadEffect(Device(), "fire");
        ASSERT_TRUE(m_effect) << "fire effect not loaded";
        m_noise = MakeTexture(Device(), 16, 16, [](unsigned, unsigned) { return kNoiseGrey; });
        m_pattern = MakeTexture(Device(), kSize, kSize, PatternRamp);
        ASSERT_TRUE(m_noise && m_pattern);
    }
    void TearDown() override
    {
        m_effect.Reset();
        m_noise.Reset();
        m_pattern.Reset();
        DeviceFixture::TearDown();
    }

    void SetFlameValues(const FlameValues& f)
    {
        const float k1[3] = {float(f.k1[0]), float(f.k1[1]), float(f.k1[2])};
        const float k2[3] = {float(f.k2[0]), float(f.k2[1]), float(f.k2[2])};
        m_effect->SetFloatArray("ColorK1", k1, 3);
        m_effect->SetFloatArray("ColorK2", k2, 3);
        m_effect->SetFloat("Brightness", float(f.brightness));
        m_effect->SetFloat("Density", float(f.density));
    }

    // A quad of TexVertex over the whole target in pixel coordinates, (0, 0) to (1, 1), through
    // the effect's vertex shader with a matrix that maps pixels to the target.
    void Draw(const char* technique)
    {
        D3DXMATRIX toTarget;
        D3DXMatrixOrthoOffCenterLH(&toTarget, 0, float(kSize), float(kSize), 0, -1, 1);
        m_effect->SetMatrix("WorldViewProj", &toTarget);
        m_effect->SetMatrix("ViewProj", &toTarget);
        m_effect->SetTexture("Noise", m_noise.Get());
        m_effect->SetTexture("Pattern", m_pattern.Get());
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        struct Vertex {
            float x, y, z, u, v;
        };
        const float e = float(kSize) - 0.5f;
        const Vertex quad[4] = {{-0.5f, -0.5f, 0, 0, 0}, {e, -0.5f, 0, 1, 0}, {-0.5f, e, 0, 0, 1}, {e, e, 0, 1, 1}};
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        Device()->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        Device()->SetRenderState(D3DRS_ZENABLE, FALSE);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        UINT passes = 0;
        HRESULT hr = m_effect->Begin(&passes, 0);
        for (UINT i = 0; SUCCEEDED(hr) && i < passes; ++i) {
            hr = m_effect->BeginPass(i);
            if (SUCCEEDED(hr))
                hr = Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
            m_effect->EndPass();
        }
        m_effect->End();
        Device()->EndScene();
        ASSERT_EQ(hr, D3D_OK);
        ASSERT_EQ(passes, 1u);
    }

    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_noise, m_pattern;
};

TEST_F(FireEffectTest, DeclaresEveryNameTheBrushAndTheFlameLayerSet)
{
    ExpectParameters(m_effect.Get(), {"WorldViewProj", "ViewProj", "Noise", "Pattern", "Mask", "Background", "c11",
                                      "c12", "c13", "ColorK1", "ColorK2", "bg_scale_factor", "Brightness",
                                      "Density"});
    ExpectTechniques(m_effect.Get(), {"Main", "AsEffect"});
    EXPECT_EQ(m_effect->GetTechniqueByName("MainFX"), nullptr);
}

// What "AsEffect" works with when the flame layer sets only the matrices, pictures and offsets.
TEST_F(FireEffectTest, AsEffectDefaultsAreTheBrushDefaults)
{
    float k1[3] = {}, k2[3] = {}, scale[2] = {}, brightness = -1, density = -1;
    m_effect->GetFloatArray("ColorK1", k1, 3);
    m_effect->GetFloatArray("ColorK2", k2, 3);
    m_effect->GetFloatArray("bg_scale_factor", scale, 2);
    m_effect->GetFloat("Brightness", &brightness);
    m_effect->GetFloat("Density", &density);
    EXPECT_EQ(std::vector<float>(k1, k1 + 3), std::vector<float>({1, 0, 0}));
    EXPECT_EQ(std::vector<float>(k2, k2 + 3), std::vector<float>({0, 1, 0}));
    EXPECT_EQ(std::vector<float>(scale, scale + 2), std::vector<float>({1, 1}));
    EXPECT_FLOAT_EQ(brightness, 0.3f);
    EXPECT_FLOAT_EQ(density, 0.0f);
}

// "AsEffect": v as given, bright at the bottom, no mask; each case of colours, brightness and
// density against the reference, row by row.
TEST_F(FireEffectTest, AsEffectColoursThePatternAlongTheRamp)
{
    const FlameValues cases[] = {
        kDefaults,
        {{1, 0, 0}, {0, 1, 0}, 0.075, -0.5},   // the defaults at fade 0.5
        {{1, 0, 0}, {0, 1, 0}, 0.0, -1.0},     // fade 0: nothing burns
        {{0, 0, 1}, {1, 1, -1}, 0.6, 0.25},    // blue to white, lifted beyond 1
        {{1, 0, 0}, {0, 1, 0}, 0.3, 1.0},      // twice as thick: the lower half burns fully
    };
    for (const FlameValues& f : cases) {
        SCOPED_TRACE(testing::Message() << "brightness " << f.brightness << " density " << f.density);
        SetFlameValues(f);
        Draw("AsEffect");
        for (unsigned y = 1; y + 1 < kSize; y += 3)
            for (unsigned x : {0u, 21u, 63u}) {
                const uint32_t want = ExpectedPixel(f, PatternAt(PixelU(y, kSize)), 1.0);
                const uint32_t got = PixelAt(x, y) & 0x00FFFFFF;
                ASSERT_TRUE(ColorsNear(got, want, 3)) << std::hex << got << " want " << want << std::dec << " at "
                                                      << x << "," << y;
            }
    }
}

// "Main": the grid's v is turned (its v = 0 edge is the region's bottom), and the mask, read where
// ViewProj puts the point, keeps the right half of the target as it was. (The mask is read half a
// pixel off the pixel centres here, so the two columns at its edge are left out.)
TEST_F(FireEffectTest, MainTurnsTheGridAndMasksTheFlames)
{
    ComRef<IDirect3DTexture9> mask = MakeTexture(Device(), kSize, kSize, LeftHalfMask);
    ASSERT_TRUE(mask);
    m_effect->SetTexture("Mask", mask.Get());
    const float scale[2] = {1, 1};
    m_effect->SetFloatArray("bg_scale_factor", scale, 2);
    SetFlameValues(kDefaults);
    Draw("Main");
    for (unsigned y = 1; y + 1 < kSize; y += 3)
        for (unsigned x : {0u, 20u, 30u, 33u, 45u, 63u}) {
            const double m = x < kSize / 2 ? 1.0 : 0.0;
            const uint32_t want = ExpectedPixel(kDefaults, PatternAt(1.0 - PixelU(y, kSize)), m);
            const uint32_t got = PixelAt(x, y) & 0x00FFFFFF;
            ASSERT_TRUE(ColorsNear(got, want, 3)) << std::hex << got << " want " << want << std::dec << " at " << x
                                                  << "," << y;
        }
    SaveTarget("fire_main");
}

// The noise offsets bend the pattern: a noise picture with a bright spot moves the flames where
// the spot passes, and moving the offsets moves that place.
TEST_F(FireEffectTest, NoiseOffsetsMoveTheBend)
{
    m_noise = MakeTexture(Device(), kSize, kSize,
                          [](unsigned x, unsigned y) { return (y / 8) % 2 ? 0xFFFFFFFFu : 0xFF000000u; });
    ASSERT_TRUE(m_noise);
    SetFlameValues(kDefaults);
    const float still[2] = {0, 0};
    for (const char* name : {"c11", "c12", "c13"})
        m_effect->SetFloatArray(name, still, 2);
    Draw("AsEffect");
    const std::vector<uint32_t> before = ReadBack();
    const float moved[2] = {0, 0.0625f};
    m_effect->SetFloatArray("c11", moved, 2);
    Draw("AsEffect");
    const std::vector<uint32_t> after = ReadBack();
    ASSERT_EQ(before.size(), after.size());
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        if (!ColorsNear(before[i], after[i], 4))
            ++changed;
    EXPECT_GT(changed, int(kSize * kSize / 8));
}

}  // namespace
