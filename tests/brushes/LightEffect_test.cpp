// The light brushes' effect ("common_res.dll" 76) on a device, against CPU references of its
// per-pixel formulas: the brightening of "Main" and "MainFX" and the four colour blends.
#include <algorithm>

#include "support/MaskedEffectFixture.h"

using namespace effect_testing;

namespace {

Rgba Texel(unsigned x, unsigned y)
{
    const uint32_t c = Ramp(x, y);
    return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, 1.0};
}

class LightEffectTest : public MaskedEffectFixture {
protected:
    void SetUp() override
    {
        MaskedEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadMaskedEffect("light");
    }

    void Draw(const char* technique)
    {
        ASSERT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    }

    // Every pixel: the formula under the mask; outside it the cleared target when the pass
    // blends, else the picture itself.
    void ExpectPixels(bool blended, const std::function<Rgba(const Rgba&)>& formula)
    {
        std::vector<uint32_t> pixels = ReadBack();
        ASSERT_EQ(pixels.size(), kSize * kSize);
        int changed = 0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const uint32_t got = pixels[y * kSize + x];
                if (x >= 32) {
                    ASSERT_EQ(got, blended ? kCleared : Ramp(x, y)) << "unmasked pixel " << x << "," << y;
                    continue;
                }
                const uint32_t want = ToArgb(formula(Texel(x, y)));
                ASSERT_TRUE(ColorsNear(got, want, 3))
                    << std::hex << got << " want " << want << " at " << std::dec << x << "," << y;
                if (want != Ramp(x, y))
                    ++changed;
            }
        EXPECT_GT(changed, 900) << "the pass should change most masked pixels";
    }
};

TEST_F(LightEffectTest, DeclaresEveryNameItsBrushesSet)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "Scale", "multiplier", "BlendColor", "Texture1",
                                      "Texture2"});
    ExpectTechniques(m_effect.Get(),
                     {"Main", "MainFX", "Blend_Normal", "Blend_Screen", "PS_ColorDodge", "Blend_Sum"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "Multiplier"), nullptr);
    EXPECT_EQ(m_effect->GetTechniqueByName("PS_Colordodge"), nullptr);
}

// The picture under the mask is brightened by 1 + multiplier, up to white.
TEST_F(LightEffectTest, BrightensUnderTheMask)
{
    m_effect->SetTexture("Background", m_picture.Get());
    m_effect->SetTexture("Mask", m_mask.Get());
    m_effect->SetFloat("multiplier", 0.6f);
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        Draw(technique);
        ExpectPixels(std::string(technique) == "Main", [](const Rgba& c) {
            return Rgba{c.r * 1.6, c.g * 1.6, c.b * 1.6, c.a};
        });
    }
}

// "Main" with a multiplier of 0 (faded out) leaves the target as it was.
TEST_F(LightEffectTest, MultiplierZeroLeavesTheTarget)
{
    m_effect->SetTexture("Background", m_picture.Get());
    m_effect->SetTexture("Mask", m_mask.Get());
    m_effect->SetFloat("multiplier", 0.0f);
    Draw("Main");
    for (uint32_t pixel : ReadBack())
        ASSERT_EQ(pixel, kCleared);
}

// Each blend lays the colour over the image with strength a = colour alpha x mask. The colour's
// red of 1 makes the dodge divide by its guard and saturate instead of dividing by 0.
TEST_F(LightEffectTest, EachBlendUnderTheMask)
{
    const double c[3] = {1.0, 0.6, 0.1}, a = 0.7;
    const float blendColor[4] = {1.0f, 0.6f, 0.1f, 0.7f};
    m_effect->SetTexture("Texture1", m_picture.Get());
    m_effect->SetTexture("Texture2", m_mask.Get());
    // Left unset, so that a blend reading them in place of its own two textures shows.
    m_effect->SetTexture("Background", nullptr);
    m_effect->SetTexture("Mask", nullptr);
    m_effect->SetFloatArray("BlendColor", blendColor, 4);
    auto mix = [a](double image, double blended) { return image + (blended - image) * a; };
    struct Case {
        const char* technique;
        std::function<double(double image, double colour)> channel;
    } cases[] = {
        {"Blend_Normal", [&](double i, double k) { return mix(i, k); }},
        {"Blend_Screen", [&](double i, double k) { return mix(i, 1 - (1 - i) * (1 - k)); }},
        {"PS_ColorDodge", [&](double i, double k) { return mix(i, std::min(i / std::max(1 - k, 1 / 256.0), 1.0)); }},
        {"Blend_Sum", [&](double i, double k) { return std::min(i + a * k, 1.0); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.technique);
        Draw(test.technique);
        ExpectPixels(true, [&](const Rgba& i) {
            return Rgba{test.channel(i.r, c[0]), test.channel(i.g, c[1]), test.channel(i.b, c[2]), i.a};
        });
    }
}

}  // namespace
