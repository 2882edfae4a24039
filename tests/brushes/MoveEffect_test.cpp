// The move brush effect ("common_res.dll" 91) on a device, against a CPU reference of where it
// samples the picture.
#include "tests/brushes/DisplacementEffectFixture.h"

using namespace effect_testing;

namespace {

class MoveEffectTest : public DisplacementEffectFixture {
protected:
    void SetUp() override
    {
        DisplacementEffectFixture::SetUp();
        if (!HasFatalFailure())
            LoadBrushEffect("move");
    }
};

TEST_F(MoveEffectTest, DeclaresEveryNameItsBrushSets)
{
    ExpectParameters(m_effect.Get(), {"Background", "Mask", "Direction", "Scale"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "direction"), nullptr);
}

// The picture under the mask is the picture moved by "Direction": each pixel shows the point the
// shift brought there.
TEST_F(MoveEffectTest, ShiftsThePictureUnderTheMask)
{
    const float shift[2] = {0.09f, -0.05f};
    m_effect->SetFloatArray("Direction", shift, 2);
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        const int moved = DrawAndCompare(technique, [&](double u, double v, double m) {
            return Point{u - m * shift[0], v - m * shift[1]};
        });
        EXPECT_GT(moved, 2000) << "the shift should move every masked pixel";
    }
}

// No shift (the brush faded out): "Main" leaves the target as it was.
TEST_F(MoveEffectTest, NoShiftLeavesTheTarget)
{
    const float none[2] = {0, 0};
    m_effect->SetFloatArray("Direction", none, 2);
    ASSERT_EQ(m_effect->SetTechnique("Main"), D3D_OK);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
    ASSERT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    for (uint32_t pixel : ReadBack())
        ASSERT_EQ(pixel, kCleared);
}

}  // namespace
