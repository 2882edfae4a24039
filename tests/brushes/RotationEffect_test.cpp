// The rotation brush effect on a device, against a CPU reference of where it samples the picture.
#include "tests/brushes/DisplacementEffectFixture.h"

using namespace effect_testing;

namespace {

class RotationEffectTest : public DisplacementEffectFixture {
protected:
    void SetUp() override
    {
        DisplacementEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadBrushEffect("rotation");
    }
};

// The centre: the middle of pixel (24, 30), inside the mask.
const float kCenter[2] = {24.5f / 64, 30.5f / 64};
// Distinct entries, so that a swapped component shows; an aspect of 2 from "Scale".
const float kTransform[4] = {0.8f, 0.5f, -0.4f, 0.9f};
const float kScale[2] = {3.0f, 1.5f};

TEST_F(RotationEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "coord_transf", "offset", "mix_color", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
}

// The offset from the centre, in units of the picture's height, is multiplied by the matrix as a
// row vector; the masked difference moves the sample. The mix colour tints, and in "Main" its
// alpha blends the turned picture over the target. The centre pixel stays.
TEST_F(RotationEffectTest, TurnsThePictureAboutTheCentre)
{
    const float offset[2] = {-kCenter[0], -kCenter[1]};
    m_effect->SetFloatArray("coord_transf", kTransform, 4);
    m_effect->SetFloatArray("offset", offset, 2);
    m_effect->SetFloatArray("Scale", kScale, 2);
    auto turned = [](double u, double v, double m) {
        const double aspect = kScale[0] / kScale[1];
        const double x = (u - kCenter[0]) * aspect, y = v - kCenter[1];
        const double qx = (x * kTransform[0] + y * kTransform[2]) / aspect;
        const double qy = x * kTransform[1] + y * kTransform[3];
        return Point{u + (qx - (u - kCenter[0])) * m, v + (qy - y) * m};
    };
    struct Case {
        const char* technique;
        Rgba tint;
    } cases[] = {{"Main", {0.9, 0.8, 1.0, 0.75}}, {"MainFX", {0.9, 0.8, 1.0, 1.0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.technique);
        const float mix[4] = {float(c.tint.r), float(c.tint.g), float(c.tint.b), float(c.tint.a)};
        m_effect->SetFloatArray("mix_color", mix, 4);
        const int moved = DrawAndCompare(c.technique, turned, c.tint);
        EXPECT_GT(moved, 2000);
    }
    // The centre pixel keeps its colour (tinted) when nothing fades it.
    EXPECT_TRUE(ColorsNear(PixelAt(24, 30), ToArgb({(4 * 24) / 255.0 * 0.9, (4 * 30) / 255.0 * 0.8, 0x80 / 255.0, 1}), 1))
        << std::hex << PixelAt(24, 30);
}

}  // namespace
