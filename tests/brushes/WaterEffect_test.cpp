// The water brush effect ("common_res.dll" 90) on a device, against a CPU reference of its
// per-pixel formula.
#include "support/MaskedEffectFixture.h"

using namespace effect_testing;

namespace {

const unsigned kSize = MaskedEffectFixture::kSize;

struct WaterValues {
    uint32_t bump;  // one texel colour for the whole bump picture
    float scale[2];
    float bampTrans[4];
    float p1[3];
    float p2[3];
    float time;
    float direction1[2];
    float direction2[2];
    float shadows;
    float vhalf[3];
    float color[3];
};

// The pixel formula of the effect, with the displaced sample point.
Rgba Expected(const WaterValues& w, unsigned x, unsigned y)
{
    static const TexelTable picture(kSize, kSize, Ramp, TexelTable::kMirror);
    const double u = PixelU(x, kSize), v = PixelU(y, kSize);
    double g[3];
    for (int i = 0; i < 3; ++i)
        g[i] = (1 - v) * w.p1[i] + w.p2[i];
    const double wx = (u - 0.5) / g[0], wy = 2 * w.p2[1] / g[1];
    const double s = std::sin(wx * w.direction1[0] + wy * w.direction1[1] + w.time);
    const double bx = ((w.bump >> 16) & 0xFF) / 255.0 - 0.5, by = ((w.bump >> 8) & 0xFF) / 255.0 - 0.5;
    const double ox = bx * w.bampTrans[0] + by * w.bampTrans[1] + s * w.direction2[0];
    const double oy = bx * w.bampTrans[2] + by * w.bampTrans[3] + s * w.direction2[1];
    const double m = x < 32 ? 1.0 : 0.0;
    Rgba c = picture.Sample(u + g[2] * m * ox, v + g[2] * m * oy);
    const double len = std::sqrt(ox * ox + oy * oy + 0.03 * 0.03);
    const double n[3] = {ox / len, oy / len, 0.03 / len};
    const double shade = std::fabs(n[1] * w.shadows);
    const double highlight = std::pow(std::fabs(n[0] * w.vhalf[0] + n[1] * w.vhalf[1] + n[2] * w.vhalf[2]), 64);
    c.r = c.r * (1 + m * shade * w.color[0]) + m * highlight * w.color[0];
    c.g = c.g * (1 + m * shade * w.color[1]) + m * highlight * w.color[1];
    c.b = c.b * (1 + m * shade * w.color[2]) + m * highlight * w.color[2];
    c.a = m;
    return c;
}

class WaterEffectTest : public MaskedEffectFixture {
protected:
    void SetUp() override
    {
        MaskedEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadMaskedEffect("water");
    }

    void Draw(const char* technique, const WaterValues& w)
    {
        ComRef<IDirect3DTexture9> bump = MakeTexture(Device(), 16, 16, [&](unsigned, unsigned) { return w.bump; });
        ASSERT_TRUE(bump);
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        m_effect->SetTexture("BumpMap", bump.Get());
        m_effect->SetFloatArray("BampTrans", w.bampTrans, 4);
        m_effect->SetFloatArray("P1", w.p1, 3);
        m_effect->SetFloatArray("P2", w.p2, 3);
        m_effect->SetFloat("Time", w.time);
        m_effect->SetFloatArray("Direction1", w.direction1, 2);
        m_effect->SetFloatArray("Direction2", w.direction2, 2);
        m_effect->SetFloat("Shadows", w.shadows);
        m_effect->SetFloatArray("Vhalf", w.vhalf, 3);
        m_effect->SetFloatArray("Color", w.color, 3);
        m_effect->SetFloatArray("Scale", w.scale, 2);
        m_effect->SetTexture("Mask", m_mask.Get());
        m_effect->SetTexture("Background", m_picture.Get());
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    }

    // Main blends with the mask as alpha: the unmasked half keeps the target as it was.
    void ExpectMainMatches(const WaterValues& w)
    {
        Draw("Main", w);
        std::vector<uint32_t> pixels = ReadBack();
        ASSERT_EQ(pixels.size(), kSize * kSize);
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                uint32_t got = pixels[y * kSize + x];
                uint32_t want = x < 32 ? ToArgb(Expected(w, x, y)) : kCleared;
                ASSERT_TRUE(ColorsNear(got, want, 3)) << std::hex << got << " want " << want << " at "
                                                      << std::dec << x << "," << y;
            }
    }
};

TEST_F(WaterEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "BumpMap", "Scale", "BampTrans", "P1", "P2",
                                      "Time", "Direction1", "Direction2", "Shadows", "Color", "Vhalf"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "BumpTrans"), nullptr);
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "time"), nullptr);
}

// A bump picture at mid grey and no drift move nothing and shade nothing: the picture shows as it is
// under the mask.
TEST_F(WaterEffectTest, NeutralBumpShowsThePictureUnderTheMask)
{
    const WaterValues neutral = {0xFF808080u,      {0.6f, 0.6f},     {0.02f, 0, 0, 0.02f},
                                 {-0.998f, -1, -0.998f}, {1, 1.0327f, 1}, 3.0f,
                                 {-34.8f, -29.2f}, {0, 0},           0.5f,
                                 {0.447214f, 0.894427f, 0}, {1, 1, 1}};
    Draw("Main", neutral);
    std::vector<uint32_t> pixels = ReadBack();
    ASSERT_EQ(pixels.size(), kSize * kSize);
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            uint32_t got = pixels[y * kSize + x], want = x < 32 ? Ramp(x, y) : kCleared;
            ASSERT_TRUE(ColorsNear(got, want, 2)) << std::hex << got << " want " << want << std::dec << " at "
                                                  << x << "," << y;
        }
}

// A constant bump turned by BampTrans tilts the surface towards the light: displacement, slope
// shading and a highlight that the wave (Direction2) makes vary over the picture.
TEST_F(WaterEffectTest, ConstantBumpGivesThePredictedShading)
{
    const WaterValues tilted = {0xFFC04000u,     {1.2f, 0.6f},         {0.1f, 0, 0, -0.2f},
                                {-0.5f, -1, -0.5f}, {1, 2.366f, 1},     0.7f,
                                {-20, 12},       {0.004f, -0.003f},    0.25f,
                                {0.408248f, 0.816497f, 0.408248f},     {0.4f, 0.2f, 0.1f}};
    ExpectMainMatches(tilted);

    // The highlight really varies: some pixels are lit far more than others.
    double least = 1, most = 0;
    for (unsigned y = 0; y < kSize; y += 4)
        for (unsigned x = 0; x < 32; x += 4) {
            double red = Expected(tilted, x, y).r - TexelTable(kSize, kSize, Ramp, TexelTable::kMirror)
                                                        .Sample(PixelU(x, kSize), PixelU(y, kSize)).r;
            least = std::min(least, red);
            most = std::max(most, red);
        }
    EXPECT_GT(most - least, 0.1);
}

TEST_F(WaterEffectTest, MainFXWritesTheMaskAsAlpha)
{
    const WaterValues tilted = {0xFFC04000u,     {1.2f, 0.6f},         {0.1f, 0, 0, -0.2f},
                                {-0.5f, -1, -0.5f}, {1, 2.366f, 1},     0.7f,
                                {-20, 12},       {0.004f, -0.003f},    0.25f,
                                {0.408248f, 0.816497f, 0.408248f},     {0.4f, 0.2f, 0.1f}};
    Draw("MainFX", tilted);
    for (unsigned y : {5u, 40u})
        for (unsigned x : {10u, 31u, 32u, 60u}) {
            uint32_t want = ToArgb(Expected(tilted, x, y));
            EXPECT_TRUE(ColorsNear(PixelAt(x, y), want, 3)) << std::hex << PixelAt(x, y) << " want " << want
                                                             << std::dec << " at " << x << "," << y;
        }
}

}  // namespace
