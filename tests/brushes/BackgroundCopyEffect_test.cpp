// The background copy effect ("common_res.dll" 75) on a device, against a CPU reference.
#include "support/MaskedEffectFixture.h"

using namespace effect_testing;

namespace {

// Opaque on the top half, transparent below; exact at pixel centres.
uint32_t TopMask(unsigned, unsigned y) { return y < 32 ? 0xFFFFFFFFu : 0x00FFFFFFu; }

class BackgroundCopyEffectTest : public MaskedEffectFixture {
protected:
    void SetUp() override
    {
        MaskedEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadMaskedEffect("backgroundcopy", TopMask);
    }

    std::vector<uint32_t> Draw(const char* technique, float x, float y)
    {
        EXPECT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        const float offset[2] = {x, y};
        m_effect->SetFloatArray("offset", offset, 2);
        m_effect->SetTexture("Background", m_picture.Get());
        m_effect->SetTexture("Mask", m_mask.Get());
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        EXPECT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
        return ReadBack();
    }

    // Under the mask the image at the shifted point (mirrored addressing); elsewhere Main leaves
    // the target and MainFX passes the image through.
    void ExpectCopyUnderMask(const char* technique, float ox, float oy)
    {
        static const TexelTable image(kSize, kSize, Ramp, TexelTable::kMirror);
        SCOPED_TRACE(testing::Message() << technique << " offset " << ox << "," << oy);
        const bool blended = std::string(technique) == "Main";
        std::vector<uint32_t> pixels = Draw(technique, ox, oy);
        ASSERT_EQ(pixels.size(), kSize * kSize);
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const uint32_t got = pixels[y * kSize + x];
                uint32_t want;
                if (y >= 32)
                    want = blended ? kCleared : Ramp(x, y);
                else
                    want = ToArgb(image.Sample(PixelU(x, kSize) + ox, PixelU(y, kSize) + oy));
                ASSERT_TRUE(ColorsNear(got, want, 2)) << std::hex << got << " want " << want << " at "
                                                      << std::dec << x << "," << y;
            }
    }
};

TEST_F(BackgroundCopyEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "offset", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "Offset"), nullptr);
}

// A quarter picture to the right and an eighth up (texel centres land on texel centres), and a
// shift that is no whole number of texels.
TEST_F(BackgroundCopyEffectTest, ShowsTheShiftedCopyUnderTheMaskOnly)
{
    for (const char* technique : {"Main", "MainFX"}) {
        ExpectCopyUnderMask(technique, 0.25f, -0.125f);
        ExpectCopyUnderMask(technique, -0.3f, 0.07f);
    }
}

// One whole picture further in both directions, under mirrored addressing: the picture turned
// upside down and left to right, texel for texel.
TEST_F(BackgroundCopyEffectTest, AWholePictureFurtherShowsItMirrored)
{
    std::vector<uint32_t> pixels = Draw("MainFX", 1.0f, 1.0f);
    ASSERT_EQ(pixels.size(), kSize * kSize);
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 0; x < kSize; ++x)
            ASSERT_TRUE(ColorsNear(pixels[y * kSize + x], Ramp(kSize - 1 - x, kSize - 1 - y), 1))
                << std::hex << pixels[y * kSize + x] << " at " << std::dec << x << "," << y;
}

}  // namespace
