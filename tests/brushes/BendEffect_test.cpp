// The bend brush effect on a device, against a CPU reference of where it samples the picture.
#include <cmath>

#include "tests/brushes/DisplacementEffectFixture.h"

using namespace effect_testing;

namespace {

class BendEffectTest : public DisplacementEffectFixture {
protected:
    void SetUp() override
    {
        DisplacementEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadBrushEffect("bend");
    }
};

// The centre: the middle of pixel (24, 30), inside the mask.
const float kCenter[2] = {24.5f / 64, 30.5f / 64};
// "Scale" for an aspect of 2 and a scale of 0.5: aspect / s, 1 / s, s / aspect, s.
const float kScale[4] = {4.0f, 2.0f, 0.25f, 0.5f};

TEST_F(BendEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "Center", "Angle", "Bend", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "center"), nullptr);
}

// A point at distance r from the centre (in units of the height) turns by
// Angle x 2^(-Bend x r) x mask about the centre. The centre pixel stays.
TEST_F(BendEffectTest, SwirlsThePictureAboutTheCentre)
{
    const float angle = 0.8f, bend = 3.0f;
    m_effect->SetFloatArray("Center", kCenter, 2);
    m_effect->SetFloat("Angle", angle);
    m_effect->SetFloat("Bend", bend);
    m_effect->SetFloatArray("Scale", kScale, 4);
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        const int moved = DrawAndCompare(technique, [&](double u, double v, double m) {
            const double aspect = 2.0;
            const double x = (u - kCenter[0]) * aspect, y = v - kCenter[1];
            const double r = std::sqrt(x * x + y * y + 1e-8);
            const double turn = angle * std::pow(2.0, -bend * r) * m;
            const double qx = (x * std::cos(turn) - y * std::sin(turn)) / aspect;
            const double qy = x * std::sin(turn) + y * std::cos(turn);
            return Point{kCenter[0] + qx, kCenter[1] + qy};
        });
        EXPECT_GT(moved, 2000);
        EXPECT_TRUE(ColorsNear(PixelAt(24, 30), Ramp(24, 30), 1)) << std::hex << PixelAt(24, 30);
    }
}

// An angle of 0 (the brush faded out): "Main" leaves the target as it was.
TEST_F(BendEffectTest, NoTurnLeavesTheTarget)
{
    m_effect->SetFloatArray("Center", kCenter, 2);
    m_effect->SetFloat("Angle", 0.0f);
    m_effect->SetFloat("Bend", 3.0f);
    m_effect->SetFloatArray("Scale", kScale, 4);
    ASSERT_EQ(m_effect->SetTechnique("Main"), D3D_OK);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
    ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    for (uint32_t pixel : ReadBack())
        ASSERT_EQ(pixel, kCleared);
}

}  // namespace
