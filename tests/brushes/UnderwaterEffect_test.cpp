// The underwater effect ("common_res.dll" 88) on a device, against a CPU reference of its
// per-pixel formula.
#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

using namespace effect_testing;

namespace {

const unsigned kSize = DeviceFixture::kSize;
// Transparent, so that a pixel the pass leaves alone, or writes with the image's alpha, shows.
const uint32_t kCleared = 0x00FF00FF;

// Red and green ramps, half transparent: the pass must write alpha 1 whatever the image holds.
uint32_t HalfTransparentRamp(unsigned x, unsigned y) { return 0x80000080u | (x * 4) << 16 | (y * 4) << 8; }

struct RippleValues {
    float frequency[2];
    float amplitude;
    float time;
};

class UnderwaterEffectTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = LoadEffect(Device(), "underwater");
        ASSERT_TRUE(m_effect) << "underwater effect not loaded";
        m_background = MakeTexture(Device(), kSize, kSize, HalfTransparentRamp);
        ASSERT_TRUE(m_background);
    }

    void TearDown() override
    {
        m_effect.Reset();
        m_background.Reset();
        DeviceFixture::TearDown();
    }

    void Draw(const char* technique, const RippleValues& w)
    {
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        m_effect->SetFloatArray("frequency", w.frequency, 2);
        m_effect->SetFloat("amplitude", w.amplitude);
        m_effect->SetFloat("time", w.time);
        m_effect->SetTexture("Background", m_background.Get());
        // The layer hands the brush no mask.
        m_effect->SetTexture("Mask", nullptr);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    }

    // The image moved sideways by a wave down the picture and vertically by one across it, opaque.
    static uint32_t Expected(const RippleValues& w, unsigned x, unsigned y)
    {
        static const TexelTable image(kSize, kSize, HalfTransparentRamp, TexelTable::kMirror);
        const double twoPi = 6.283185307179586;
        double u = PixelU(x, kSize), v = PixelU(y, kSize);
        double du = w.amplitude * std::sin(twoPi * v * w.frequency[1] + w.time);
        double dv = w.amplitude * std::sin(twoPi * u * w.frequency[0] + w.time);
        return ToArgb(image.Sample(u + du, v + dv)) | 0xFF000000u;
    }

    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_background;
};

// Distinct values, so that swapped components show; the angles run over several periods, beyond
// [-pi, pi].
const RippleValues kRipple = {{3.0f, 2.0f}, 0.04f, 7.3f};

TEST_F(UnderwaterEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "frequency", "amplitude", "time", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "Frequency"), nullptr);
}

// Both techniques replace every pixel of the target with the rippled image, opaque.
TEST_F(UnderwaterEffectTest, RipplesTheWholeImageAndWritesEveryPixelOpaque)
{
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        Draw(technique, kRipple);
        std::vector<uint32_t> pixels = ReadBack();
        ASSERT_EQ(pixels.size(), kSize * kSize);
        int moved = 0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                uint32_t got = pixels[y * kSize + x];
                uint32_t want = Expected(kRipple, x, y);
                ASSERT_TRUE(ColorsNear(got, want, 3)) << std::hex << got << " want " << want << " at "
                                                      << std::dec << x << "," << y;
                if (!ColorsNear(want, HalfTransparentRamp(x, y) | 0xFF000000u, 2))
                    ++moved;
            }
        EXPECT_GT(moved, 2000) << "the ripples should move most pixels";
    }
}

TEST_F(UnderwaterEffectTest, AmplitudeZeroCopiesTheImage)
{
    RippleValues still = kRipple;
    still.amplitude = 0.0f;
    Draw("Main", still);
    std::vector<uint32_t> pixels = ReadBack();
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x)
            ASSERT_EQ(pixels[y * kSize + x], HalfTransparentRamp(x, y) | 0xFF000000u) << x << "," << y;
}

}  // namespace
