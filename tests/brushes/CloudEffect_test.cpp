// The cloud brush's effect ("common_res.dll" 162) on a device: the clouds' strength and colour
// against a CPU reference, and their drift along minus the brush's direction as the phase grows.
#include <algorithm>
#include <cmath>

#include "brushes/Vo_CloudFX.h"
#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

using namespace effect_testing;

namespace {

const unsigned kSize = DeviceFixture::kSize;
const uint32_t kCleared = 0xFF000000;

// Smooth grey hills that repeat across the 64 x 64 cloud picture.
uint32_t Clouds(unsigned x, unsigned y)
{
    const double v = 0.5 + 0.25 * std::sin(x * 2 * 3.14159265 / 64) + 0.2 * std::cos(y * 2 * 3.14159265 / 32);
    const uint32_t g = static_cast<uint32_t>(Saturate(v) * 255 + 0.5);
    return 0xFF000000u | g << 16 | g << 8 | g;
}

class CloudEffectTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = LoadEffect(Device(), "cloud");
        ASSERT_TRUE(m_effect) << "cloud effect not loaded";
        m_clouds = MakeTexture(Device(), kSize, kSize, Clouds);
        m_white = MakeTexture(Device(), 1, 1, [](unsigned, unsigned) { return 0xFFFFFFFFu; });
        ASSERT_TRUE(m_clouds && m_white);
        m_effect->SetTexture("Background", m_clouds.Get());
        m_effect->SetTexture("Mask", m_white.Get());
        // The region is the whole picture; its v runs up, the mask's down.
        const float maskShift[4] = {1, 0, -1, 1};
        m_effect->SetFloatArray("mask_tex_shift", maskShift, 4);
        const float white[3] = {1, 1, 1}, black[3] = {0, 0, 0};
        m_effect->SetFloatArray("ColorK1", white, 3);
        m_effect->SetFloatArray("ColorK2", black, 3);
        m_effect->SetFloat("Threshold", 1.0f);
        m_effect->SetFloat("Density", 1.0f);
        const float unit[2] = {1, 1};
        m_effect->SetFloatArray("Scale", unit, 2);
        CloudShapeParams().SetEffectConstants(m_effect.Get());
    }

    void TearDown() override
    {
        m_effect.Reset();
        m_clouds.Reset();
        m_white.Reset();
        DeviceFixture::TearDown();
    }

    std::vector<uint32_t> Draw()
    {
        EXPECT_EQ(m_effect->SetTechnique("Main"), D3D_OK);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        // The target covered by a region quad as the brush's grid lays it: v runs up the screen.
        EXPECT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize, QuadV::kUp), D3D_OK);
        return ReadBack();
    }

    // The brush's "Velocity" for an angle and a phase.
    void SetDrift(unsigned angle, float phase)
    {
        Vo_CloudFX brush;
        brush.Angle().SetValue(angle);
        brush.Speed().Rescale(0.0f, phase / 0.2f);  // one update of 0.2 s reaches the phase
        brush.Update(0.2f);
        float velocity[2];
        brush.Velocity(velocity);
        m_effect->SetFloatArray("Velocity", velocity, 2);
    }

    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_clouds;
    ComRef<IDirect3DTexture9> m_white;
};

TEST_F(CloudEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "Scale", "Threshold", "Density", "ColorK1", "ColorK2",
                                      "Velocity", "mask_tex_shift", "PX_Transform", "PY_TransformH",
                                      "PY_TransformZ", "tex_shift"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
}

// Strength saturate((n - 1) x threshold + 1) x density, colour from K2 (thin) to K1 (thick) by
// the brightness n, weighted by the mask, blended over the target. The cloud picture is read at
// (x, -y) x "Scale" - "Velocity" with y the region's v upwards.
TEST_F(CloudEffectTest, StrengthAndColourFollowThePicture)
{
    const TexelTable clouds(kSize, kSize, Clouds, TexelTable::kWrap);
    ComRef<IDirect3DTexture9> mask = MakeTexture(Device(), kSize, kSize, HalfMask);
    ASSERT_TRUE(mask);
    m_effect->SetTexture("Mask", mask.Get());
    const double k1[3] = {1.0, 0.8, 0.6}, k2[3] = {0.2, 0.2, 0.4}, threshold = 2.0, density = 0.8;
    const float k1f[3] = {1.0f, 0.8f, 0.6f}, k2f[3] = {0.2f, 0.2f, 0.4f}, velocity[2] = {0.25f, -0.125f};
    m_effect->SetFloatArray("ColorK1", k1f, 3);
    m_effect->SetFloatArray("ColorK2", k2f, 3);
    m_effect->SetFloat("Threshold", 2.0f);
    m_effect->SetFloat("Density", 0.8f);
    m_effect->SetFloatArray("Velocity", velocity, 2);
    const std::vector<uint32_t> pixels = Draw();
    ASSERT_EQ(pixels.size(), kSize * kSize);
    int clouded = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const double u = PixelU(x, kSize), vUp = 1.0 - PixelU(y, kSize);
            const Rgba c = clouds.Sample(u - 0.25, -vUp + 0.125);
            const double n = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
            const double strength = Saturate(Saturate((n - 1) * threshold + 1) * density) * (x < 32 ? 1 : 0);
            const Rgba want = {(k2[0] + (k1[0] - k2[0]) * n) * strength, (k2[1] + (k1[1] - k2[1]) * n) * strength,
                               (k2[2] + (k1[2] - k2[2]) * n) * strength, 1.0};
            const uint32_t got = pixels[y * kSize + x];
            ASSERT_TRUE(ColorsNear(got | 0xFF000000u, ToArgb(want), 3))
                << std::hex << got << " want " << ToArgb(want) << std::dec << " at " << x << "," << y;
            clouded += strength > 0.1;
        }
    EXPECT_GT(clouded, 500);
}

// As the phase grows the clouds move along minus the direction: with Scale 1 a phase of 0.25
// moves them a quarter of the region, 16 pixels; angle 0 points right, 90 up the picture.
TEST_F(CloudEffectTest, CloudsDriftAlongMinusTheDirection)
{
    struct Case {
        unsigned angle;
        int dx, dy;  // where a cloud goes on the screen, in pixels
    } cases[] = {{0, -16, 0}, {180, 16, 0}, {90, 0, 16}, {270, 0, -16}};
    SetDrift(0, 0.0f);
    const std::vector<uint32_t> before = Draw();
    ASSERT_EQ(before.size(), kSize * kSize);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        SetDrift(c.angle, 0.25f);
        const std::vector<uint32_t> after = Draw();
        ASSERT_EQ(after.size(), kSize * kSize);
        int moved = 0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const unsigned from = ((y - c.dy) % kSize) * kSize + (x - c.dx) % kSize;
                ASSERT_TRUE(ColorsNear(after[y * kSize + x], before[from], 3)) << x << "," << y;
                moved += !ColorsNear(after[y * kSize + x], before[y * kSize + x], 3);
            }
        EXPECT_GT(moved, 1000);
    }
}

}  // namespace
