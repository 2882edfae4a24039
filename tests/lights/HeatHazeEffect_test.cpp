// The heat-haze effect ("common_res.dll" 63) on a device, against a CPU reference: the image read
// where the distortion picture's red and green, centred on 0.5, move it by up to 4 x "stenght".
#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

using namespace effect_testing;

namespace {

const unsigned kSize = DeviceFixture::kSize;

class HeatHazeEffectTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = LoadEffect(Device(), "heathaze");
        ASSERT_TRUE(m_effect) << "heat-haze effect not loaded";
    }
    void TearDown() override
    {
        m_effect.Reset();
        DeviceFixture::TearDown();
    }

    // Draws the scene picture through the haze with the given distortion picture and values and
    // compares every pixel whose shifted point stays inside the picture with the reference.
    void DrawAndCompare(const TexelFormula& bump, float strength, const float offset[2], const float scale[2])
    {
        ComRef<IDirect3DTexture9> scene = MakeTexture(Device(), kSize, kSize, Ramp);
        ComRef<IDirect3DTexture9> bumpTexture = MakeTexture(Device(), kSize, kSize, bump);
        ASSERT_TRUE(scene && bumpTexture);
        ASSERT_EQ(m_effect->SetTechnique("BumpmapDistortLow2"), D3D_OK);
        m_effect->SetTexture("SceneTex", scene.Get());
        m_effect->SetTexture("Bumpmap", bumpTexture.Get());
        m_effect->SetFloat("stenght", strength);
        m_effect->SetFloatArray("Offset", offset, 2);
        m_effect->SetFloatArray("bump_scale", scale, 2);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
        ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);

        const TexelTable bumpTable(kSize, kSize, bump, TexelTable::kWrap);
        const TexelTable picture(kSize, kSize, Ramp, TexelTable::kMirror);
        const std::vector<uint32_t> pixels = ReadBack();
        ASSERT_EQ(pixels.size(), kSize * kSize);
        int compared = 0;
        for (unsigned y = 0; y < kSize; y += 3)
            for (unsigned x = 0; x < kSize; x += 3) {
                const double u = PixelU(x, kSize), v = PixelU(y, kSize);
                const Rgba b = bumpTable.Sample(u * scale[0] + offset[0], v * scale[1] + offset[1]);
                const double su = u + (2 * b.r - 1) * 4 * strength, sv = v + (2 * b.g - 1) * 4 * strength;
                if (su < 0.5 / kSize || su > 1 - 0.5 / kSize || sv < 0.5 / kSize || sv > 1 - 0.5 / kSize)
                    continue;
                Rgba want = picture.Sample(su, sv);
                want.a = 1.0;
                const uint32_t got = pixels[y * kSize + x];
                ASSERT_TRUE(ColorsNear(got, ToArgb(want), 3))
                    << std::hex << got << " want " << ToArgb(want) << std::dec << " at " << x << "," << y;
                ++compared;
            }
        EXPECT_GT(compared, 300);
    }

    ComRef<ID3DXEffect> m_effect;
};

TEST_F(HeatHazeEffectTest, DeclaresEveryNameTheFlameLayerSets)
{
    ExpectParameters(m_effect.Get(), {"SceneTex", "Bumpmap", "stenght", "Offset", "bump_scale"});
    ExpectTechniques(m_effect.Get(), {"BumpmapDistortLow2"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "strength"), nullptr);
    D3DXPASS_DESC pass = {};
    ASSERT_EQ(m_effect->GetPassDesc(m_effect->GetPass(m_effect->GetTechniqueByName("BumpmapDistortLow2"), 0), &pass),
              D3D_OK);
    EXPECT_EQ(pass.pVertexShaderFunction, nullptr) << "the flame layer draws its quad without a vertex shader";
    EXPECT_NE(pass.pPixelShaderFunction, nullptr);
}

// A grey distortion picture (0.5) moves nothing.
TEST_F(HeatHazeEffectTest, NeutralDistortionKeepsTheImage)
{
    const float offset[2] = {0.3f, -0.3f}, scale[2] = {0.208f, 0.156f};
    DrawAndCompare([](unsigned, unsigned) { return 0xFF808080u; }, 0.0025f, offset, scale);
}

TEST_F(HeatHazeEffectTest, ConstantDistortionShiftsTheImage)
{
    const float offset[2] = {0, 0}, scale[2] = {1, 1};
    DrawAndCompare([](unsigned, unsigned) { return 0xFFC04080u; }, 0.02f, offset, scale);
}

// The distortion picture is read at uv x bump_scale + Offset, wrapping.
TEST_F(HeatHazeEffectTest, ScrolledAndScaledDistortion)
{
    const float offset[2] = {0.25f, 0.6f}, scale[2] = {0.5f, 2.0f};
    DrawAndCompare([](unsigned x, unsigned y) { return 0xFF000000u | (x * 4) << 16 | (255 - y * 4) << 8; }, 0.015f,
                   offset, scale);
}

}  // namespace
