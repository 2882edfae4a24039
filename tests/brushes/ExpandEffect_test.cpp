// The expansion brush effect ("common_res.dll" 102) on a device, against a CPU reference of where
// it samples the picture.
#include "tests/brushes/DisplacementEffectFixture.h"

using namespace effect_testing;

namespace {

class ExpandEffectTest : public DisplacementEffectFixture {
protected:
    void SetUp() override
    {
        DisplacementEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadBrushEffect("expand");
    }
};

// The centre: the middle of pixel (24, 30), inside the mask.
const float kCenter[2] = {24.5f / 64, 30.5f / 64};

TEST_F(ExpandEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "amplitude", "center", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "Center"), nullptr);
}

// Growing pulls each sample towards the centre (the picture is magnified about it), shrinking
// pushes it away; the centre pixel keeps its colour and the pixels around it move.
TEST_F(ExpandEffectTest, GrowsAndShrinksAboutTheCentre)
{
    m_effect->SetFloatArray("center", kCenter, 2);
    const float cases[][2] = {{0.3f, 0.0f}, {0.0f, 0.2f}};
    for (const auto& amplitude : cases) {
        m_effect->SetFloatArray("amplitude", amplitude, 2);
        const double factor = amplitude[1] - amplitude[0];
        for (const char* technique : {"Main", "MainFX"}) {
            SCOPED_TRACE(testing::Message() << technique << " grow " << amplitude[0] << " shrink " << amplitude[1]);
            const int moved = DrawAndCompare(technique, [&](double u, double v, double m) {
                return Point{u + (u - kCenter[0]) * m * factor, v + (v - kCenter[1]) * m * factor};
            });
            EXPECT_GT(moved, 2000) << "every masked pixel but those next to the centre should move";
            EXPECT_TRUE(ColorsNear(PixelAt(24, 30), Ramp(24, 30), 1)) << std::hex << PixelAt(24, 30);
        }
    }
}

}  // namespace
