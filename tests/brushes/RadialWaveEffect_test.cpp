// The radial waves brush effect ("common_res.dll" 103) on a device, against a CPU reference of
// where it samples the picture.
#include <cmath>

#include "tests/brushes/DisplacementEffectFixture.h"

using namespace effect_testing;

namespace {

class RadialWaveEffectTest : public DisplacementEffectFixture {
protected:
    void SetUp() override
    {
        DisplacementEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadBrushEffect("radialwave");
    }
};

// The centre: the middle of pixel (24, 30), inside the mask.
const float kCenter[2] = {24.5f / 64, 30.5f / 64};

TEST_F(RadialWaveEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "bg_scale_factor", "center", "frequency", "amplitude",
                                      "time", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
}

// Each pixel moves along the line from the centre by amplitude x sin(frequency x radius + time),
// the radius measured after scaling the offset by "bg_scale_factor". The centre pixel stays.
TEST_F(RadialWaveEffectTest, RingsMoveThePictureAlongTheRadius)
{
    const float factor[2] = {1.0f, 0.8f};
    const float frequency = 40.0f, amplitude = 0.03f, time = 1.3f;
    m_effect->SetFloatArray("bg_scale_factor", factor, 2);
    m_effect->SetFloatArray("center", kCenter, 2);
    m_effect->SetFloat("frequency", frequency);
    m_effect->SetFloat("amplitude", amplitude);
    m_effect->SetFloat("time", time);
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        const int moved = DrawAndCompare(technique, [&](double u, double v, double m) {
            const double dx = u - kCenter[0], dy = v - kCenter[1];
            const double squared = dx * factor[0] * dx * factor[0] + dy * factor[1] * dy * factor[1];
            const double radius = std::sqrt(squared);
            const double step = std::sin(frequency * radius + time) * m * amplitude / std::sqrt(squared + 1e-8);
            return Point{u + dx * step, v + dy * step};
        });
        EXPECT_GT(moved, 1500) << "the rings should move most masked pixels";
        EXPECT_TRUE(ColorsNear(PixelAt(24, 30), Ramp(24, 30), 1)) << std::hex << PixelAt(24, 30);
    }
}

}  // namespace
