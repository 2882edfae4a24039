// The waterfall brush effect ("common_res.dll" 105) on a device, against a CPU reference of its
// per-pixel formulas.
#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

using namespace effect_testing;

namespace {

const unsigned kSize = DeviceFixture::kSize;
const uint32_t kCleared = 0xFF103050;

// Bands of the picture: rows 0-15 the base colour (green), rows 16-31 half-way (e = 0.25), rows
// 32-63 the opposite colour (e = 3).
uint32_t Bands(unsigned, unsigned y)
{
    if (y < 16)
        return 0xFF00FF00u;
    return y < 32 ? 0xFF80FF00u : 0xFFFF00FFu;
}
uint32_t FullMask(unsigned, unsigned) { return 0xFFFFFFFFu; }

class WaterfallEffectTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = LoadEffect(Device(), "waterfall");
        ASSERT_TRUE(m_effect) << "waterfall effect not loaded";
    }

    // Device objects go before the device.
    void TearDown() override
    {
        m_effect.Reset();
        DeviceFixture::TearDown();
    }

    void DrawColorWaves(const char* technique, const TexelFormula& picture, const TexelFormula& mask,
                        float shiftX, float shiftY, float transluency, float treshold)
    {
        ComRef<IDirect3DTexture9> background = MakeTexture(Device(), kSize, kSize, picture);
        ComRef<IDirect3DTexture9> maskTexture = MakeTexture(Device(), kSize, kSize, mask);
        ASSERT_TRUE(background && maskTexture);
        const float base[3] = {0, 1, 0};
        const float shift[2] = {shiftX, shiftY};
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        m_effect->SetTexture("Mask", maskTexture.Get());
        m_effect->SetTexture("Background", background.Get());
        m_effect->SetFloatArray("base_color", base, 3);
        m_effect->SetFloat("treshold", treshold);
        m_effect->SetFloatArray("shift", shift, 2);
        m_effect->SetFloat("transluency", transluency);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    }

    ComRef<ID3DXEffect> m_effect;
};

unsigned Alpha(uint32_t c) { return c >> 24; }
unsigned Byte(double v) { return static_cast<unsigned>(v * 255.0 + 0.5); }

TEST_F(WaterfallEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "NoiseMap", "shift", "transluency", "treshold",
                                      "base_color", "noise_shift", "noise_amplitude", "bump_scale"});
    ExpectTechniques(m_effect.Get(), {"ColorWaves", "Noise", "ColorWavesFX", "NoiseFX", "DrawBackground"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "threshold"), nullptr);
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "translucency"), nullptr);
    EXPECT_EQ(m_effect->GetTechniqueByName("Main"), nullptr);
}

// With blending off the alpha lands in the target: the translucency over the base colour, the
// threshold ramp half-way, 0 far from it.
TEST_F(WaterfallEffectTest, ColorWavesAlphaFollowsTheDistanceToTheBaseColour)
{
    DrawColorWaves("ColorWavesFX", Bands, FullMask, 0, 0, 0.7f, 0.5f);
    const double halfWay = 0.7 * ((1 - 0.25 / 3) - 0.5) / 0.5;
    struct Row {
        unsigned y;
        unsigned alpha;
    } rows[] = {{2, Byte(0.7)}, {12, Byte(0.7)}, {20, Byte(halfWay)}, {28, Byte(halfWay)}, {40, 0}, {62, 0}};
    for (const Row& row : rows)
        for (unsigned x : {0u, 30u, 63u}) {
            uint32_t got = PixelAt(x, row.y);
            EXPECT_NEAR(int(Alpha(got)), int(row.alpha), 2) << x << "," << row.y;
            EXPECT_TRUE(ColorsNear(got & 0xFFFFFF, Bands(x, row.y) & 0xFFFFFF, 2)) << std::hex << got;
        }
}

// The strip is the picture moved by shift; the mask counts both where the pixel is and where it
// samples from.
TEST_F(WaterfallEffectTest, ColorWavesSamplesAtTheShiftedPointUnderBothMasks)
{
    DrawColorWaves("ColorWavesFX", Bands, HalfMask, 0.25f, 0.25f, 1.0f, 0.5f);
    // Rows 0-15 sample rows 16-31 (half-way colour); rows 16-31 sample the far colour.
    const double halfWay = ((1 - 0.25 / 3) - 0.5) / 0.5;
    EXPECT_NEAR(int(Alpha(PixelAt(4, 8))), int(Byte(halfWay)), 2);
    EXPECT_NEAR(int(Alpha(PixelAt(4, 24))), 0, 2);
    // Column 20 samples column 36, outside the mask; column 40 is outside itself.
    EXPECT_NEAR(int(Alpha(PixelAt(20, 8))), 0, 2);
    EXPECT_NEAR(int(Alpha(PixelAt(40, 8))), 0, 2);
}

// "ColorWaves" blends the strip over the target with its alpha.
TEST_F(WaterfallEffectTest, ColorWavesBlendsOverTheTarget)
{
    DrawColorWaves("ColorWaves", Bands, FullMask, 0, 0, 0.7f, 0.5f);
    const uint32_t cleared = kCleared;
    auto mix = [&](int shift, double a) {
        double src = ((Bands(0, 2) >> shift) & 0xFF), dst = ((cleared >> shift) & 0xFF);
        return int(src * a + dst * (1 - a) + 0.5);
    };
    uint32_t got = PixelAt(10, 5);
    EXPECT_NEAR(int((got >> 16) & 0xFF), mix(16, 0.7), 3);
    EXPECT_NEAR(int((got >> 8) & 0xFF), mix(8, 0.7), 3);
    EXPECT_NEAR(int(got & 0xFF), mix(0, 0.7), 3);
    EXPECT_TRUE(ColorsNear(PixelAt(10, 50), cleared, 1));
}

// A threshold of 1 (the brush's default) must not divide by zero: nothing shows, and no pixel is
// left undefined.
TEST_F(WaterfallEffectTest, ThresholdOneShowsNothing)
{
    DrawColorWaves("ColorWavesFX", Bands, FullMask, 0, 0, 0.7f, 1.0f);
    for (unsigned y : {0u, 8u, 20u, 40u})
        EXPECT_EQ(Alpha(PixelAt(5, y)), 0u) << y;
    DrawColorWaves("ColorWaves", Bands, FullMask, 0, 0, 0.7f, 1.0f);
    for (uint32_t pixel : ReadBack())
        ASSERT_EQ(pixel, kCleared);
}

// "Noise": two samples of the scrolled noise picture displace the picture under the mask.
TEST_F(WaterfallEffectTest, NoiseDisplacesAsPredicted)
{
    auto noise = [](unsigned x, unsigned y) { return 0xFF000000u | (x * 4) << 16 | (255 - y * 4) << 8; };
    ComRef<IDirect3DTexture9> noiseTexture = MakeTexture(Device(), kSize, kSize, noise);
    ComRef<IDirect3DTexture9> background = MakeTexture(Device(), kSize, kSize, Ramp);
    ComRef<IDirect3DTexture9> mask = MakeTexture(Device(), kSize, kSize, HalfMask);
    ASSERT_TRUE(noiseTexture && background && mask);
    const float noiseShift[2] = {0.1f, 0.2f};
    const float bumpScale[2] = {0.5f, 0.25f};
    const float amplitude = 0.05f;
    ASSERT_EQ(m_effect->SetTechnique("NoiseFX"), D3D_OK);
    m_effect->SetTexture("Mask", mask.Get());
    m_effect->SetTexture("Background", background.Get());
    m_effect->SetTexture("NoiseMap", noiseTexture.Get());
    m_effect->SetFloatArray("noise_shift", noiseShift, 2);
    m_effect->SetFloatArray("bump_scale", bumpScale, 2);
    m_effect->SetFloat("noise_amplitude", amplitude);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
    ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);

    const TexelTable noiseTable(kSize, kSize, noise, TexelTable::kWrap);
    const TexelTable picture(kSize, kSize, Ramp, TexelTable::kMirror);
    std::vector<uint32_t> pixels = ReadBack();
    ASSERT_EQ(pixels.size(), kSize * kSize);
    int moved = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const double u = PixelU(x, kSize), v = PixelU(y, kSize);
            const double px = u * bumpScale[0] + noiseShift[0], py = v * bumpScale[1] + noiseShift[1];
            const Rgba s1 = noiseTable.Sample(px, py);
            const Rgba s2 = noiseTable.Sample(px + noiseShift[0], py + noiseShift[1]);
            const double m = x < 32 ? 1.0 : 0.0;
            const double dx = (s1.r + s2.g) * amplitude - amplitude, dy = (s1.g + s2.r) * amplitude - amplitude;
            Rgba want = picture.Sample(u + m * dx, v + m * dy);
            want.a = m;
            uint32_t got = pixels[y * kSize + x];
            ASSERT_TRUE(ColorsNear(got, ToArgb(want), 3)) << std::hex << got << " want " << ToArgb(want)
                                                          << std::dec << " at " << x << "," << y;
            if (m > 0 && (got & 0xFFFFFF) != (Ramp(x, y) & 0xFFFFFF))
                ++moved;
        }
    EXPECT_GT(moved, 500);
}

}  // namespace
