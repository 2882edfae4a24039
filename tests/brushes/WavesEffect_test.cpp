// The waves brush effect ("common_res.dll" 77) on a device, against a CPU reference of its
// per-pixel formula.
#include "support/MaskedEffectFixture.h"

using namespace effect_testing;

namespace {

struct WaveValues {
    float direction[2];
    float directionN[2];
    float frequency;
    float amplitude;
    float time;
};

class WavesEffectTest : public MaskedEffectFixture {
protected:
    void SetUp() override
    {
        MaskedEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadMaskedEffect("waves");
    }

    void Draw(const char* technique, const WaveValues& w)
    {
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        m_effect->SetFloatArray("direction", w.direction, 2);
        m_effect->SetFloatArray("direction_n", w.directionN, 2);
        m_effect->SetFloat("frequency", w.frequency);
        m_effect->SetFloat("amplitude", w.amplitude);
        m_effect->SetFloat("time", w.time);
        m_effect->SetTexture("Background", m_picture.Get());
        m_effect->SetTexture("Mask", m_mask.Get());
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    }

    // The picture at the point moved along the displacement axis by the masked sine wave.
    static Rgba Expected(const WaveValues& w, unsigned x, unsigned y)
    {
        static const TexelTable picture(kSize, kSize, Ramp, TexelTable::kMirror);
        double u = PixelU(x, kSize), v = PixelU(y, kSize);
        double m = x < 32 ? 1.0 : 0.0;
        double s = std::sin(w.frequency * (u * w.direction[0] + v * w.direction[1]) + w.time);
        double d = s * m * w.amplitude;
        return picture.Sample(u + w.directionN[0] * d, v + w.directionN[1] * d);
    }
};

// Distinct values, so that a swapped register or component shows. The angle runs over several
// periods across the picture, beyond [-pi, pi].
const WaveValues kWave = {{0.6f, -0.8f}, {0.8f, 0.6f}, 31.0f, 0.05f, 7.3f};

TEST_F(WavesEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "direction", "direction_n", "frequency",
                                      "amplitude", "time", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "Direction"), nullptr);
    EXPECT_EQ(m_effect->GetTechniqueByName("main"), nullptr);
}

// Main blends over the target: outside the mask the target stays byte-identical. MainFX writes
// the next image: outside the mask that is the picture itself, texel for texel.
TEST_F(WavesEffectTest, MovesThePictureUnderTheMaskOnly)
{
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        const bool blended = std::string(technique) == "Main";
        Draw(technique, kWave);
        std::vector<uint32_t> pixels = ReadBack();
        ASSERT_EQ(pixels.size(), kSize * kSize);
        int moved = 0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                uint32_t got = pixels[y * kSize + x];
                if (x >= 32) {
                    ASSERT_EQ(got, blended ? kCleared : Ramp(x, y)) << "unmasked pixel " << x << "," << y;
                    continue;
                }
                uint32_t want = ToArgb(Expected(kWave, x, y));
                ASSERT_TRUE(ColorsNear(got, want, 3)) << std::hex << got << " want " << want << " at "
                                                      << std::dec << x << "," << y;
                if (want != Ramp(x, y))
                    ++moved;
            }
        EXPECT_GT(moved, 500) << "the wave should move most masked pixels";
    }
}

TEST_F(WavesEffectTest, AmplitudeZeroLeavesThePictureUnchanged)
{
    WaveValues faded = kWave;
    faded.amplitude = 0.0f;
    Draw("Main", faded);
    std::vector<uint32_t> pixels = ReadBack();
    for (uint32_t pixel : pixels)
        ASSERT_EQ(pixel, kCleared);

    // The full-picture pass copies the picture texel for texel.
    Draw("MainFX", faded);
    pixels = ReadBack();
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x)
            ASSERT_EQ(pixels[y * kSize + x], Ramp(x, y)) << x << "," << y;
}

}  // namespace
